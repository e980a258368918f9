// The program password: at most four attempts, and the main window closing after them.
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "support/ScriptedInteraction.h"

#include "app/ui/AppWindows.h"
#include "app/ui/LoginWindow.h"
#include "app/ui/MainWindow.h"
#include "app/util/Folders.h"
#include "store/GlobalKonfig.h"

namespace {

// Types one entry each time the dialog shows ("\x1b" presses Escape) and notes the status line
// it showed.
class Person : public QObject {
public:
    Person(Tfrm_Login& dialog, QStringList entries) : dialog_(dialog), entries_(std::move(entries)) {
        dialog.installEventFilter(this);
    }
    QStringList statusSeen;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            QTimer::singleShot(0, this, [this] {
                statusSeen << dialog_.lbl_Status->text();
                EXPECT_TRUE(dialog_.ed_Haslo->text().isEmpty());
                const QString entry = entries_.isEmpty() ? QString("\x1b") : entries_.takeFirst();
                if (entry == "\x1b") {
                    QTest::keyClick(dialog_.ed_Haslo, Qt::Key_Escape);
                    return;
                }
                QTest::keyClicks(dialog_.ed_Haslo, entry);
                QTest::keyClick(dialog_.ed_Haslo, Qt::Key_Return);
            });
        return false;
    }

private:
    Tfrm_Login& dialog_;
    QStringList entries_;
};

TEST(LoginLoop, FourAttemptsAtMost) {
    const QStringList all{"", "Niepoprawne hasło", "Znowu niepoprawne!", "Ostatnia próba!"};
    const struct {
        const char* name;
        QStringList entries;
        bool passes;
        QStringList seen;
    } cases[] = {
        {"right at once", {"Tajne 1"}, true, all.mid(0, 1)},
        {"right at the fourth", {"x", "tajne 1", " Tajne 1", "Tajne 1"}, true, all},
        {"four wrong", {"a", "b", "c", "d", "Tajne 1"}, false, all},
        {"escape at once", {"\x1b"}, false, all.mid(0, 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Tfrm_Login dialog;
        Person person(dialog, c.entries);
        EXPECT_EQ(RunLoginLoop(dialog, "Tajne 1"), c.passes);
        EXPECT_EQ(person.statusSeen, c.seen);
    }
}

TEST(LoginLoop, MainWindowClosesWithoutThePassword) {
    QGuiApplication::setQuitOnLastWindowClosed(false);
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    ScriptedInteraction interaction;
    for (bool right : {false, true}) {
        SCOPED_TRACE(right);
        GlobalKonfig().HasloProgramu = "abc";
        TfrmMain w;
        Tfrm_Login dialog(&w);
        App.frm_Login = &dialog;
        Person person(dialog, right ? QStringList{"abc"} : QStringList{});
        w.show();
        w.OnFirstShow();
        EXPECT_EQ(w.isVisible(), right);
        EXPECT_EQ(w.tmr_1->isActive(), right);
        App = AppWindows();
    }
    GlobalKonfig() = TGlobalKonfig();
}

} // namespace
