// Backup and restore through the embedded engine's services, as the archive page runs them,
// and the page's proposed file names and settings.
#include <QDir>
#include <gtest/gtest.h>

#include "StoreFixture.h"
#include "support/QtPrint.h"
#include "support/ScriptedInteraction.h"

#include "forms/FormDocument.h"
#include "store/Archive.h"
#include "store/Dane.h"
#include "store/GlobalKonfig.h"

namespace {

const QString kBackupQuestion =
    "Czy na pewno przeprowadzić proces ARCHIWIZACJI danych?\n\nJeżeli plik %1 istnieje, to zostanie\n"
    "usunięty i zastąpiony bieżącą archiwizacją.\nJeżeli chcesz zachować istniejące dotchczas archiwum\n"
    "wciśnij NIE i zmień nazwę archiwum.";
const QString kRestoreQuestion = "Czy na pewno ODTWORZYĆ dane z pliku archiwum?\n"
                                 "Bieżące dane z programu zostaną bezpowrotnie skasowane\n"
                                 "i zastąpione danymi z archiwum.";

// A backup without its last record: the zeros that pad it out, then the end mark, cut off.
QByteArray withoutEndMark(const QByteArray& backup) {
    qsizetype end = backup.size();
    while (end > 0 && backup[end - 1] == '\0')
        --end;
    return backup.left(end - 1);
}

std::unique_ptr<FormDocument> pit37(const QString& nip, const QString& surname) {
    auto doc = FormDocument::create("TFRMPIT_37");
    doc->ApplyDocumentText("1=" + nip + "\r\n12=" + surname + "\r\n13=JAN\r\n5=2022\r\n10=1\r\n");
    return doc;
}

class ArchiveTest : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        konfig.BazaDanych = dbPath;
        konfig.Uzytkownik = "SYSDBA";
        konfig.Haslo = "plumtrees";
        konfig.ArchiwSciezka = dir.path() + "/";
        konfig.ArchiwUzytkownik = "SYSDBA";
        konfig.ArchiwHaslo = "plumtrees";
        dane = std::make_unique<TDane>(konfig);
        dane->OpenDatabase();
        dane->Notatki = QString::fromUtf8("notatka żółta");
        for (const char* name : {"KOWALSKI", "NOWAK", "ŻÓŁKIEWSKA"})
            dane->SaveDocument(true, *pit37("12345678903", QString::fromUtf8(name)), false);
        dane->CommitAndRefresh(true);
        saved = documents();
    }
    // Every stored document as another connection sees it.
    QList<QVariantList> documents() {
        fb::Attachment att = fb::Attachment::open(LocalParams(dbPath));
        fb::Transaction tx = att.startTransaction(true);
        return att.rows(tx, "select FOR_ID, FOR_TYP, FOR_NAZWISKO, FOR_DANE, FOR_NOTATKI, CREATE_AT "
                            "from FORMS order by FOR_ID");
    }
    void changeDocuments() {
        dane->QueryDocuments("", "", "", "");
        dane->DeleteRecord(dane->Forms());
        dane->SaveDocument(true, *pit37("98765432109", "PO KOPII"), false);
        dane->CommitAndRefresh(true);
        ASSERT_NE(documents(), saved);
    }
    ArchiveEdits edits(const QString& file) {
        ArchiveEdits e = DataArchive(*dane, konfig).Edits();
        e.file = file;
        return e;
    }
    QStringList boxTexts() const {
        QStringList t;
        for (const auto& b : ui.boxes)
            t << b.text;
        return t;
    }
    QStringList scratchFiles() const { return QDir(dir.path()).entryList({"*.tmp"}, QDir::Files); }

    ScriptedInteraction ui;
    TGlobalKonfig konfig;
    std::unique_ptr<TDane> dane;
    QList<QVariantList> saved;
};

TEST_F(ArchiveTest, BackupThenRestoreBringsTheDocumentsBack) {
    const QString file = dir.filePath("kopia.gbk");
    DataArchive archive(*dane, konfig);
    QStringList log;
    QList<bool> busy;
    ArchiveObserver observer;
    observer.line = [&](const QString& line) { log << line; };
    observer.busy = [&](bool on) { busy << on; };
    int reconnects = 0;
    observer.beforeReconnect = [&] { ++reconnects; };

    ui.boxAnswers = {BoxResult::Yes};
    konfig.ArchiwSciezka.clear();
    EXPECT_EQ(archive.Archiwizuj(edits(" " + file + " "), observer), ArchiveOutcome::Done);
    EXPECT_EQ(boxTexts(), (QStringList{kBackupQuestion.arg(" " + file + " "),
                                       "Operacja ARCHIWIZACJI przebiegła pomyślnie!"}));
    EXPECT_EQ(ui.boxes[0].kind, BoxYesNo);
    EXPECT_TRUE(QFile::exists(file));
    EXPECT_TRUE(log.contains("gbak:closing file, committing, and finishing. " +
                             QString::number(QFileInfo(file).size()) + " bytes written"))
        << qPrintable(log.join('\n'));
    EXPECT_EQ(busy, (QList<bool>{true, false}));
    EXPECT_EQ(konfig.ArchiwSciezka, " " + dir.path() + "/"); // the edits are stored after a run

    changeDocuments();
    ui.boxes.clear();
    log.clear();
    ui.boxAnswers = {BoxResult::Yes};
    EXPECT_EQ(archive.Odtwarzaj(edits(file), observer), ArchiveOutcome::Done);
    EXPECT_EQ(boxTexts(), (QStringList{kRestoreQuestion, "Operacja odtwarzania danych przebiegła pomyślnie!",
                                       "OK. Połączenie z bazą nawiązane!"}));
    EXPECT_EQ(documents(), saved);
    EXPECT_EQ(reconnects, 1);
    EXPECT_TRUE(dane->Connected());
    dane->QueryDocuments("TFRMPIT_37", "", "FOR_ID", "");
    EXPECT_EQ(dane->Forms().recordCount(), 3);
    EXPECT_TRUE(log.contains("gbak:finishing, closing, and going home"));
    EXPECT_TRUE(scratchFiles().isEmpty()) << qPrintable(scratchFiles().join(' '));
}

TEST_F(ArchiveTest, NoChangesNothing) {
    DataArchive archive(*dane, konfig);
    const QString file = dir.filePath("kopia.gbk");
    const QString folder = konfig.ArchiwSciezka;
    EXPECT_EQ(archive.Archiwizuj(edits(file)), ArchiveOutcome::Cancelled);
    EXPECT_FALSE(QFile::exists(file));
    ASSERT_TRUE(QFile::copy(SOURCE_ROOT "/data/_BIN2022/SQL/scrpt_Forms.sql", file)); // any file
    ArchiveEdits e = edits(file);
    e.user = "KTOS";
    EXPECT_EQ(archive.Odtwarzaj(e), ArchiveOutcome::Cancelled);
    EXPECT_EQ(boxTexts(), (QStringList{kBackupQuestion.arg(file), kRestoreQuestion}));
    EXPECT_TRUE(dane->Connected());
    EXPECT_EQ(konfig.ArchiwSciezka, folder);
    EXPECT_EQ(konfig.ArchiwUzytkownik, "SYSDBA");
}

// A damaged backup is found out before the current database is replaced: it stays as it was,
// connected, and no scratch database is left behind.
TEST_F(ArchiveTest, ADamagedBackupLeavesTheDatabaseAlone) {
    const QString good = dir.filePath("dobra.gbk");
    BackupDatabase(ServiceAccess{QString(), "SYSDBA", "plumtrees"}, dbPath, good);
    QFile in(good);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray whole = in.readAll();
    changeDocuments();
    const QList<QVariantList> current = documents();

    QByteArray noise(4096, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 7919) % 251);
    const struct {
        const char* name;
        QByteArray content;
    } cases[] = {
        {"urwana.gbk", whole.left(whole.size() / 2)},
        {"prawie.gbk", withoutEndMark(whole)},
        {"smieci.gbk", noise},
        {"pusta.gbk", QByteArray()},
    };
    DataArchive archive(*dane, konfig);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = dir.filePath(c.name);
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(c.content);
        out.close();
        ui.boxes.clear();
        ui.boxAnswers = {BoxResult::Yes};
        EXPECT_EQ(archive.Odtwarzaj(edits(file)), ArchiveOutcome::Failed);
        ASSERT_EQ(ui.boxes.size(), 2);
        EXPECT_EQ(ui.boxes[1].kind, BoxError);
        EXPECT_TRUE(ui.boxes[1].text.startsWith("Nie można odtworzyć danych z pliku archiwum " + file +
                                                ".\nBieżące dane pozostały bez zmian.\n\n"))
            << qPrintable(ui.boxes[1].text);
        EXPECT_TRUE(dane->Connected());
        EXPECT_EQ(documents(), current);
        EXPECT_TRUE(scratchFiles().isEmpty()) << qPrintable(scratchFiles().join(' '));
    }
    EXPECT_THROW(
        RestoreDatabase(ServiceAccess{QString(), "SYSDBA", "plumtrees"}, dir.filePath("brak.gbk"), dbPath),
        RestoreCheckFailed);
    EXPECT_EQ(documents(), current);

    // The whole file still restores.
    RestoreDatabase(ServiceAccess{QString(), "SYSDBA", "plumtrees"}, good, dbPath, {}, {},
                    [&] { dane->CloseDatabase(); });
    EXPECT_EQ(documents(), saved);
}

// The backup service writes over whatever file it is given: never a database, never reported
// as done when it failed.
TEST_F(ArchiveTest, ABackupNeverOverwritesADatabaseAndFailuresAreNotSuccesses) {
    const QString other = dir.filePath("inna.fb");
    ASSERT_TRUE(QFile::copy(dbPath, other));
    DataArchive archive(*dane, konfig);
    for (const QString& file : {dbPath, dir.path() + "/./test.fb", other, dir.filePath("brak/kopia.gbk")}) {
        SCOPED_TRACE(qPrintable(file));
        ui.boxes.clear();
        ui.boxAnswers = {BoxResult::Yes};
        EXPECT_EQ(archive.Archiwizuj(edits(file)), ArchiveOutcome::Failed);
        ASSERT_EQ(ui.boxes.size(), 2);
        EXPECT_EQ(ui.boxes[1].kind, BoxError);
        EXPECT_FALSE(ui.boxes[1].text.isEmpty());
    }
    EXPECT_EQ(documents(), saved);
    fb::Attachment att = fb::Attachment::open(LocalParams(other));
    EXPECT_EQ(konfig.ArchiwSciezka, dir.path() + "/"); // a failed run stores nothing
}

TEST(ArchiveNames, ProposedFileIsDatedAndNamedAfterTheDatabase) {
    const QDate day(2023, 4, 15);
    EXPECT_EQ(ProposedBackupFile("C:\\Sumaris\\", "C:\\Dane\\_Sumaris2022.FB", day),
              "C:\\Sumaris\\2023-04-15_Sumaris2022.gbk");
    EXPECT_EQ(ProposedBackupFile("/kopie/", "serwer/_baza.fb", QDate(2023, 12, 1)),
              "/kopie/2023-12-01_baza.gbk");
    EXPECT_EQ(ProposedBackupFile("/kopie/", "/dane/baza", day), "/kopie/2023-04-15baza");
    EXPECT_EQ(ProposedBackupFile("/kopie/", "/dane.v2/b.fb.fb", day), "/kopie/2023-04-15b.fb.gbk");
    EXPECT_EQ(ArchiveFolderOf("C:\\Kopie\\x.gbk"), "C:\\Kopie\\");
    EXPECT_EQ(ArchiveFolderOf("/a/b/x.gbk"), "/a/b/");
    EXPECT_EQ(ArchiveFolderOf("x.gbk"), "");
    EXPECT_EQ(BrowseStartFile(" /a/x.gbk"), " /a/x.gbk");
    EXPECT_EQ(BrowseStartFile("  "), ProgramDataFolder() + "_Sumaris2022.gbk");
}

TEST(ArchiveSettings, EditsSettingsAndFactoryValues) {
    TGlobalKonfig konfig;
    konfig.BazaDanych = "/dane/_Sumaris2022.FB";
    konfig.ArchiwSciezka = "/kopie/";
    konfig.ArchiwUzytkownik = "ADAM";
    konfig.ArchiwHaslo = "tajne";
    TDane dane(konfig);
    DataArchive archive(dane, konfig);
    ArchiveEdits e = archive.Edits(QDate(2023, 4, 15));
    EXPECT_EQ(e.file, "/kopie/2023-04-15_Sumaris2022.gbk");
    EXPECT_EQ(archive.Edits(QDate(2023, 4, 16)).file, "/kopie/2023-04-16_Sumaris2022.gbk");
    EXPECT_EQ(e.user, "ADAM");

    // A blank server means this computer: the database's own server, or the embedded engine.
    e.server = "  ";
    e.user = " ADAM ";
    EXPECT_EQ(archive.Access(e).server, "");
    EXPECT_EQ(archive.Access(e).user, "ADAM");
    konfig.AdresSieciowySerwera = "127.0.0.1/3051";
    EXPECT_EQ(archive.Access(e).server, "127.0.0.1/3051");
    e.server = " kopie.lan ";
    EXPECT_EQ(archive.Access(e).server, "kopie.lan");

    e.file = "/inne/kopia.gbk";
    archive.StoreEdits(e);
    EXPECT_EQ(konfig.ArchiwSciezka, "/inne/");
    EXPECT_EQ(konfig.ArchiwAdresSieciowySerwera, " kopie.lan ");

    ScriptedInteraction ui;
    EXPECT_FALSE(archive.ResetToFactory(e, QDate(2023, 4, 15)));
    EXPECT_EQ(konfig.ArchiwSciezka, "/inne/");
    ui.boxAnswers = {BoxResult::Yes};
    EXPECT_TRUE(archive.ResetToFactory(e, QDate(2023, 4, 15)));
    ASSERT_EQ(ui.boxes.size(), 2);
    EXPECT_EQ(ui.boxes[1].text, "Czy na pewno przywrócić ustawienia fabryczne archiwum?");
    EXPECT_EQ(ui.boxes[1].caption, "Przywracanie parametrów domyślnych");
    EXPECT_EQ(ui.boxes[1].kind, BoxYesNo);
    EXPECT_EQ(e.file, ProgramDataFolder() + "2023-04-15_Sumaris2022.gbk");
    EXPECT_EQ(e.server, "");
    EXPECT_EQ(e.user, "SYSDBA");
    EXPECT_EQ(e.password, "plumtrees");
}

} // namespace
