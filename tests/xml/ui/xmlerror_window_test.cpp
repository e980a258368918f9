// The schema error window and the clipboard export around it.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrlQuery>
#include <gtest/gtest.h>

#include "support/QtPrint.h"
#include "support/ScriptedInteraction.h"

#include "app/util/Folders.h"
#include "xml/ui/XmlErrorWindow.h"
#include "xml/ui/XmlExportCommand.h"

namespace {

const QString kMessage = QStringLiteral("Linia:7\r\nElement 'Rok': '20' is not valid.\r\n<Rok>20</Rok>");

TEST(XmlErrorWindow, ShowsCopiesAndMailsTheReport) {
    Tfrm_XMLError w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Straszny error"));
    w.SetError(kMessage, QStringLiteral("frmPit_37_long"), QString());
    auto* memo = w.findChild<QPlainTextEdit*>(QStringLiteral("mmo_Error"));
    ASSERT_TRUE(memo);
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->toPlainText(),
              QStringLiteral("Linia:7\nElement 'Rok': '20' is not valid.\n<Rok>20</Rok>"));
    EXPECT_FALSE(w.findChild<QPushButton*>(QStringLiteral("btn_Select"))->isEnabled()); // clipboard: no file

    QApplication::clipboard()->clear();
    w.findChild<QPushButton*>(QStringLiteral("btn_Schowek"))->click();
    EXPECT_EQ(QApplication::clipboard()->text(), memo->toPlainText());

    const QUrl link = w.MailLink();
    EXPECT_EQ(link.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(link.path(), Tfrm_XMLError::SupportAddress);
    const QUrlQuery query(link);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("Błąd parsowania dokumentu XML frmPit_37_"));
    EXPECT_EQ(
        query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded),
        QStringLiteral(
            "Linia:7\nElement 'Rok': '20' is not valid.\n<Rok>20</Rok>\n\n\nWysłane z programu Sumaris"));

    w.SetError(kMessage, QStringLiteral("frmPit_37"), QStringLiteral("/tmp/PIT-37_Kowalski_Jan.xml"));
    EXPECT_TRUE(w.findChild<QPushButton*>(QStringLiteral("btn_Select"))->isEnabled());
    EXPECT_EQ(w.FileName(), QStringLiteral("/tmp/PIT-37_Kowalski_Jan.xml"));
}

// A repository whose PIT-37 copy is our test schema.
QString testRepository(const QTemporaryDir& dir) {
    const QString shipped = QStringLiteral(SOURCE_ROOT "/data/_BIN2022/Repozytorium");
    const QString repo = dir.filePath(QStringLiteral("Repozytorium"));
    QDirIterator it(shipped, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QDir().mkpath(QFileInfo(repo + file.mid(shipped.size())).absolutePath());
        QFile::copy(file, repo + file.mid(shipped.size()));
    }
    QFile::copy(QStringLiteral(SOURCE_ROOT "/tests/xml/fixtures/test_pit37.xsd"),
                repo + QStringLiteral("/frmPit_37.xsd"));
    return repo;
}

TEST(XmlExportCommand, ClipboardExportValidatesTheClipboardText) {
    ScriptedInteraction person;
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    QTemporaryDir dir;
    XmlExportRequest request;
    request.typeCode = QStringLiteral("TFRMPIT_37");
    request.toClipboard = true;
    request.validation.repositoryFolder = testRepository(dir);
    const QString good =
        QStringLiteral("1=12345678903\r\n5=2022\r\n6=1\r\n10=1\r\n509=1435\r\n12=Kowalski\r\n"
                       "13=Jan\r\n14=05.03.1980\r\n16=MAZOWIECKIE\r\n17=WARSZAWA\r\n18=WARSZAWA\r\n"
                       "20=1\r\n22=WARSZAWA\r\n23=00-001\r\n138=0\r\n");
    request.declarationText = good;
    XmlExportOutcome outcome = RunXmlExport(nullptr, request, nullptr);
    EXPECT_TRUE(outcome.written);
    EXPECT_TRUE(outcome.valid);
    EXPECT_TRUE(outcome.fileName.isEmpty());
    EXPECT_EQ(outcome.message, QStringLiteral("Dokument XML pomyślnie zapisano w SCHOWKU SYSTEMOWYM."));
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("<?xml")));
    EXPECT_TRUE(
        QApplication::clipboard()->text().contains(QStringLiteral("<etd:Nazwisko>Kowalski</etd:Nazwisko>")));

    // Invalid: the error window opens with the report; the clipboard keeps the document.
    Tfrm_XMLError window;
    QString shown;
    QTimer::singleShot(0, &window, [&] {
        shown = window.findChild<QPlainTextEdit*>(QStringLiteral("mmo_Error"))->toPlainText();
        window.reject();
    });
    request.declarationText = QStringLiteral("5=20  \r\n") + good;
    outcome = RunXmlExport(nullptr, request, &window);
    EXPECT_TRUE(outcome.written);
    EXPECT_FALSE(outcome.valid);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Linia:7\n"))) << shown.toStdString();
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral("<Rok>20</Rok>")));
    EXPECT_TRUE(person.boxes.isEmpty());
}

} // namespace
