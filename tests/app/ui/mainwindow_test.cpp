// The main window: menu file, menu actions, first show and window placement.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "app/ui/AppWindows.h"
#include "app/ui/ConfigPage.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Pictures.h"
#include "app/ui/QtInteraction.h"
#include "app/util/Encoding.h"
#include "app/util/Folders.h"
#include "store/GlobalKonfig.h"
#include "store/ui/ArchivePage.h"
#include "support/ScriptedInteraction.h"

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        // Closing a window must not end the test program's event loops.
        QGuiApplication::setQuitOnLastWindowClosed(false);
        SetAppFolder(dir.path());
        QDir(dir.path()).mkpath(QStringLiteral("_BIN2022"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                           dir.filePath(QStringLiteral("settings")));
        WriteMenu(QStringLiteral("0;TFRMPIT_ALL;5;Wszystkie dokumenty\r\n"
                                 "0;;0;Zeznania roczne\r\n"
                                 "1;TFRMPIT_37;1;PIT-37 (29)\r\n"
                                 "0;;0;Narzędzia\r\n"
                                 "1;pg_konfig;4;Konfiguracja programu\r\n"
                                 "1;HTML;3;Wypełnianie formularzy\r\n"));
    }
    void TearDown() override {
        App = AppWindows();
        SetAppFolder(QString());
    }

    void WriteMenu(const QString& text) { WriteFile(QStringLiteral("_BIN2022/Menu.dat"), ToWin1250(text)); }
    QString WriteFile(const QString& relative, const QByteArray& bytes) {
        const QString path = dir.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    static QTreeWidgetItem* NodeAt(TfrmMain& w, int index) {
        QTreeWidgetItemIterator it(w.tv_Menu);
        for (int i = 0; *it && i < index; ++i)
            ++it;
        return *it;
    }

    QTemporaryDir dir;
    ScriptedInteraction interaction;
};

struct MenuNode {
    QString caption;
    int picture;
    QString action;
    QString parent; // empty for a top-level node
};

TEST_F(MainWindowTest, MenuFileBuildsTreeAndActionList) {
    const struct {
        const char* name;
        QString file;
        QList<MenuNode> nodes;
    } cases[] = {
        {"child before any group goes top level",
         QStringLiteral(
             "1;TFRMPIT_37;1;PIT-37\r\n1;TFRMPIT_36;1;PIT-36\r\n0;;0;Załączniki\r\n2;TFRMPIT_O;2;PIT/O\r\n"),
         {{"PIT-37", 1, "TFRMPIT_37", ""},
          {"PIT-36", 1, "TFRMPIT_36", ""},
          {"Załączniki", 0, "", ""},
          {"PIT/O", 2, "TFRMPIT_O", "Załączniki"}}},
        {"short lines read missing fields as empty",
         QStringLiteral("0;;4;Grupa\r\n1\r\n1;PG_ARCH;3\r\n"),
         {{"Grupa", 4, "", ""}, {"", 0, "", "Grupa"}, {"", 3, "PG_ARCH", "Grupa"}}},
        {"picture that is no integer counts as 0; LF line ends, no final break",
         QStringLiteral("0;HTML;x;Pomoc\n1;HTML;;Skróty klawiszowe"),
         {{"Pomoc", 0, "HTML", ""}, {"Skróty klawiszowe", 0, "HTML", "Pomoc"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteMenu(c.file);
        TfrmMain w;
        EXPECT_TRUE(interaction.boxes.isEmpty());
        ASSERT_EQ(w.mmo_Actions.size(), c.nodes.size());
        for (int i = 0; i < c.nodes.size(); ++i) {
            SCOPED_TRACE(i);
            const MenuNode& want = c.nodes[i];
            QTreeWidgetItem* item = NodeAt(w, i);
            ASSERT_NE(item, nullptr);
            EXPECT_EQ(item->text(0), want.caption);
            EXPECT_EQ(item->icon(0).cacheKey(), MenuImageList()[want.picture].cacheKey());
            EXPECT_EQ(w.mmo_Actions[i], want.action);
            EXPECT_EQ(item->parent() ? item->parent()->text(0) : QString(), want.parent);
        }
    }
}

TEST_F(MainWindowTest, MissingMenuFileIsReportedOnceAndLeavesAnEmptyTree) {
    QFile::remove(dir.filePath(QStringLiteral("_BIN2022/Menu.dat")));
    TfrmMain w;
    ASSERT_EQ(interaction.boxes.size(), 1);
    EXPECT_EQ(interaction.boxes[0].kind, BoxError);
    EXPECT_TRUE(interaction.boxes[0].text.contains(QStringLiteral("Menu.dat")));
    EXPECT_EQ(w.tv_Menu->topLevelItemCount(), 0);
    EXPECT_TRUE(w.mmo_Actions.isEmpty());
    EXPECT_EQ(w.pnl_Version->text(), QStringLiteral("wersja: 4.14"));
}

TEST_F(MainWindowTest, DocumentListActionsShowRegistryAndSetNew) {
    TfrmMain w;
    QSignalSpy requested(&w, &TfrmMain::documentsRequested);
    w.pg_1->setCurrentWidget(w.pg_Arch);

    w.RunMenuAction(QStringLiteral("TFRMPIT_ALL"));
    EXPECT_EQ(w.pg_1->currentWidget(), w.pg_PITY);
    EXPECT_FALSE(w.newEnabled);

    w.RunMenuAction(QStringLiteral("TFRMPIT_37"));
    EXPECT_TRUE(w.newEnabled);
    ASSERT_EQ(requested.size(), 2);
    EXPECT_EQ(requested[1][0].toString(), QStringLiteral("TFRMPIT_37"));
}

TEST_F(MainWindowTest, PageActionsFindPagesWithoutRegardToCase) {
    TfrmMain w;
    w.RunMenuAction(QStringLiteral("PG_KONFIG"));
    EXPECT_EQ(w.pg_1->currentWidget(), w.pg_Konfig);
    w.RunMenuAction(QStringLiteral("PG_KPRLIST"));
    EXPECT_EQ(w.pg_1->currentWidget(), w.pg_KPRList);

    // Nothing matches: the page and the "Nowy" state stay as they were.
    QSignalSpy requested(&w, &TfrmMain::documentsRequested);
    w.newEnabled = false;
    for (const char* action : {"XYZ", "PG_NIEMA", "FRMNIEMA", ""})
        w.RunMenuAction(QString::fromLatin1(action));
    EXPECT_EQ(w.pg_1->currentWidget(), w.pg_KPRList);
    EXPECT_FALSE(w.newEnabled);
    EXPECT_TRUE(requested.isEmpty());
}

TEST_F(MainWindowTest, SelectingANodeRunsItsActionInUpperCase) {
    TfrmMain w;
    w.tv_Menu->setCurrentItem(NodeAt(w, 4)); // "pg_konfig" in the file
    EXPECT_EQ(w.CurrentAction, 4);
    EXPECT_EQ(w.pg_1->currentWidget(), w.pg_Konfig);
}

TEST_F(MainWindowTest, HelpNodeOpensItsPageFoundWithoutRegardToCase) {
    const QString page =
        WriteFile(QStringLiteral("_BIN2022/HELP/wypelnianie_formularzy/Wypelnianie_Formularzy.HTML"),
                  "<html><body>Pomoc</body></html>");
    TfrmMain w;
    w.tv_Menu->setCurrentItem(NodeAt(w, 5));
    EXPECT_EQ(w.pg_1->currentWidget(), w.pg_HTML);
    EXPECT_EQ(w.Web->source().toLocalFile(), page);
    EXPECT_EQ(TfrmMain::HelpTopic(QStringLiteral("Kopia bezpieczeństwa")),
              QStringLiteral("Kopia_bezpieczenstwa"));
}

TEST_F(MainWindowTest, WindowActionShowsTheNamedWindowModally) {
    TfrmMain w;
    TPlaceholderWindow print(QStringLiteral("frmPrint"), QStringLiteral("Wydruk"));
    App.frmPrint = &print;
    bool wasShown = false;
    QTimer::singleShot(0, &print, [&] {
        wasShown = print.isVisible() && print.isModal();
        print.reject();
    });
    w.RunMenuAction(QStringLiteral("FRMPRINT"));
    EXPECT_TRUE(wasShown);
}

TEST_F(MainWindowTest, WhatsNewMarkerIsShownOnceAndAlwaysDeleted) {
    const QString marker = WriteFile(QStringLiteral("zmiany_cont.txt"), "1");
    {
        // No page: nothing to show, yet the marker must go so the question never comes back.
        TfrmMain w;
        TfrmCoNowego whatsNew(nullptr, dir.filePath(QStringLiteral("brak.html")));
        App.frmCoNowego = &whatsNew;
        EXPECT_FALSE(whatsNew.PageExists());
        w.OnFirstShow();
        EXPECT_FALSE(QFile::exists(marker));
        EXPECT_TRUE(w.tmr_1->isActive());
    }
    WriteFile(QStringLiteral("zmiany_cont.txt"), "1");
    const QString page = WriteFile(QStringLiteral("sumaris.html"), "<html><body>Zmiany</body></html>");
    TfrmMain w;
    TfrmCoNowego whatsNew(nullptr, page);
    App.frmCoNowego = &whatsNew;
    int shown = 0;
    QTimer::singleShot(0, &whatsNew, [&] {
        shown += whatsNew.isVisible();
        whatsNew.accept();
    });
    w.OnFirstShow();
    w.OnFirstShow();
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(QFile::exists(marker));
}

TEST_F(MainWindowTest, PlacementIsRestoredIncludingMaximisedState) {
    const QRect normal(10, 20, 820, 470);
    {
        TfrmMain w;
        w.setGeometry(normal);
        w.show();
        w.close();
    }
    {
        TfrmMain w;
        EXPECT_FALSE(w.isMaximized());
        EXPECT_EQ(w.geometry(), normal);
        w.showMaximized();
        w.close();
    }
    // The flag goes through the settings record, which the data module reads and writes.
    EXPECT_TRUE(GlobalKonfig().FullScreen);
    TfrmMain w;
    w.show();
    EXPECT_TRUE(w.windowState() & Qt::WindowMaximized);
    w.showNormal();
    w.close();
    EXPECT_FALSE(GlobalKonfig().FullScreen);
}

TEST(SelectItemTest, KeysConfirmOrCancelThePreselectedLine) {
    const QStringList lines{QStringLiteral("Pierwsza"), QStringLiteral("Druga"), QStringLiteral("Trzecia")};
    const struct {
        int preselected;
        Qt::Key key;
        int expected;
    } cases[] = {{1, Qt::Key_F2, 1}, {7, Qt::Key_Return, 0}, {2, Qt::Key_Escape, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.preselected);
        TfrmSelectItem picker;
        picker.SetLines(lines, c.preselected, true);
        picker.show();
        picker.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&picker));
        QTest::keyClick(picker.List(), c.key);
        EXPECT_EQ(picker.ChosenIndex(), c.expected);
        EXPECT_FALSE(picker.isVisible());
    }
}

} // namespace
