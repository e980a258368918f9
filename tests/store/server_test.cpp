// The store against a real Firebird server: a database created through "127.0.0.1/PORT:path",
// documents saved, listed and loaded, and the archive page's backup and restore run by the
// server's own services. The server is the packaged binary, started for this test program on
// a free loopback port with its own configuration and security database.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <signal.h>
#include <stdexcept>
#include <sys/prctl.h>

#include "StoreFixture.h"
#include "support/QtPrint.h"
#include "support/ScriptedInteraction.h"

#include "forms/FormDocument.h"
#include "store/Archive.h"
#include "store/Dane.h"
#include "store/GlobalKonfig.h"

namespace {

QString firstExisting(const QStringList& candidates) {
    for (const QString& c : candidates)
        if (QFileInfo(c).isExecutable()) return c;
    return QString();
}

QString firstFolderWith(const QStringList& candidates, const QString& file) {
    for (const QString& c : candidates)
        if (QFile::exists(c + "/" + file)) return c;
    return QString();
}

void writeFile(const QString& path, const QByteArray& content) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        throw std::runtime_error(("cannot write " + path).toStdString());
}

// A server of our own: its root folder holds firebird.conf (loopback only, our port, our
// security database), the lock files and the databases. Stopped when destroyed; the kernel
// kills it should this program die first.
class TestServer {
public:
    TestServer() {
        const QString server =
            firstExisting({"/usr/sbin/firebird", "/usr/lib/x86_64-linux-gnu/firebird/3.0/bin/firebird",
                           "/opt/firebird/bin/firebird"});
        const QString isql = firstExisting(
            {QStandardPaths::findExecutable("isql-fb"), "/usr/bin/isql-fb", "/opt/firebird/bin/isql"});
        if (server.isEmpty())
            throw std::runtime_error("Firebird server binary not found (/usr/sbin/firebird): install the "
                                     "Debian package firebird3.0-server");
        if (isql.isEmpty())
            throw std::runtime_error("isql-fb not found: install the Debian package firebird3.0-utils");
        if (!root_.isValid()) throw std::runtime_error("no temporary folder");
        for (const char* sub : {"lock", "tmp", "data"})
            QDir(root_.path()).mkdir(sub);
        // Everything else of the installed root (messages, plugins) linked as it is. The
        // character sets are copied: the server ignores a module that is only a link.
        const QString installed = firstFolderWith(
            {"/usr/lib/x86_64-linux-gnu/firebird/3.0", "/usr/lib/firebird/3.0", "/opt/firebird"},
            "firebird.msg");
        if (installed.isEmpty())
            throw std::runtime_error("Firebird root folder (with firebird.msg) not found");
        for (const QFileInfo& entry :
             QDir(installed).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            const QString name = entry.fileName();
            if (name == u"firebird.conf" || name == u"databases.conf") continue;
            if (name != u"intl") {
                QFile::link(entry.absoluteFilePath(), root_.filePath(name));
                continue;
            }
            QDir(root_.path()).mkdir(name);
            for (const QFileInfo& f : QDir(entry.absoluteFilePath()).entryInfoList(QDir::Files))
                if (!QFile::copy(f.canonicalFilePath(), root_.filePath(name + "/" + f.fileName())))
                    throw std::runtime_error(("cannot copy " + f.absoluteFilePath()).toStdString());
        }
        writeFile(root_.filePath("databases.conf"), {});
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("FIREBIRD", root_.path());
        env_.insert("FIREBIRD_LOCK", root_.filePath("lock"));
        env_.insert("FIREBIRD_TMP", root_.filePath("tmp"));
        env_.remove("ISC_USER");
        env_.remove("ISC_PASSWORD");

        // The port goes into the configuration before the security database is made, as the
        // embedded isql reads the same file.
        QString failure;
        for (int attempt = 0; attempt < 3; ++attempt) {
            port_ = freePort();
            writeConfiguration();
            if (attempt == 0) createSecurityDatabase(isql);
            if (start(server, failure)) return;
        }
        throw std::runtime_error(("Firebird server did not start: " + failure).toStdString());
    }
    ~TestServer() { stop(); }
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    QString address() const { return "127.0.0.1/" + QString::number(port_); }
    QString folder() const { return root_.filePath("data"); }

private:
    static int freePort() {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0)) throw std::runtime_error("no free loopback port");
        return probe.serverPort();
    }

    void writeConfiguration() {
        writeFile(root_.filePath("firebird.conf"), QStringLiteral("RemoteBindAddress = 127.0.0.1\n"
                                                                  "RemoteServicePort = %1\n"
                                                                  "SecurityDatabase = %2\n"
                                                                  "ServerMode = Super\n")
                                                       .arg(port_)
                                                       .arg(root_.filePath("security3.fdb"))
                                                       .toUtf8());
    }

    void createSecurityDatabase(const QString& isql) {
        QProcess p;
        p.setProcessEnvironment(env_);
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(isql, {"-q", "-user", "SYSDBA"});
        p.write(QStringLiteral("create database '%1';\ncreate user SYSDBA password 'plumtrees';\ncommit;\n")
                    .arg(root_.filePath("security3.fdb"))
                    .toUtf8());
        p.closeWriteChannel();
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            throw std::runtime_error(("cannot create the security database: " + p.readAll()).toStdString());
    }

    bool start(const QString& binary, QString& failure) {
        proc_ = std::make_unique<QProcess>();
        proc_->setProcessEnvironment(env_);
        proc_->setProcessChannelMode(QProcess::MergedChannels);
        // A restore that runs out of backup asks the server's console for the next volume.
        proc_->setStandardInputFile(QProcess::nullDevice());
        proc_->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        proc_->start(binary, {});
        if (!proc_->waitForStarted(10000)) {
            failure = binary + ": " + proc_->errorString();
            proc_.reset();
            return false;
        }
        for (int waited = 0; waited < 15000; waited += 100) {
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, quint16(port_));
            if (s.waitForConnected(100)) return true;
            if (proc_->state() == QProcess::NotRunning) break;
            QThread::msleep(100);
        }
        failure = QStringLiteral("nothing listens on port %1; output: ").arg(port_) + proc_->readAll();
        stop();
        return false;
    }

    void stop() {
        if (!proc_) return;
        if (proc_->state() != QProcess::NotRunning) {
            proc_->terminate();
            if (!proc_->waitForFinished(15000)) {
                proc_->kill();
                proc_->waitForFinished(5000);
            }
        }
        proc_.reset();
    }

    QTemporaryDir root_;
    QProcessEnvironment env_;
    std::unique_ptr<QProcess> proc_;
    int port_ = 0;
};

std::unique_ptr<FormDocument> pit37(const QString& nip, const QString& surname, const QString& name) {
    auto doc = FormDocument::create("TFRMPIT_37");
    doc->ApplyDocumentText("1=" + nip + "\r\n12=" + surname + "\r\n13=" + name + "\r\n5=2022\r\n10=1\r\n");
    return doc;
}

class ServerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
        try {
            server = new TestServer;
        } catch (const std::exception& e) {
            startFailure = e.what();
        }
    }
    static void TearDownTestSuite() {
        delete server;
        server = nullptr;
    }

    void SetUp() override {
        ASSERT_NE(server, nullptr) << startFailure;
        konfig.AdresSieciowySerwera = server->address();
        konfig.Uzytkownik = konfig.ArchiwUzytkownik = "SYSDBA";
        konfig.Haslo = konfig.ArchiwHaslo = "plumtrees";
        konfig.ArchiwSciezka = server->folder() + "/";
    }

    fb::ConnectParams params() const {
        fb::ConnectParams p;
        p.database = ConnectionString(konfig.AdresSieciowySerwera, konfig.BazaDanych);
        p.user = "SYSDBA";
        p.password = "plumtrees";
        return p;
    }
    QList<QVariantList> documents() const {
        fb::Attachment att = fb::Attachment::open(params());
        fb::Transaction tx = att.startTransaction(true);
        return att.rows(tx, "select FOR_ID, FOR_TYP, FOR_NIP, FOR_NAZWISKO, FOR_IMIE, FOR_DANE, CREATE_AT "
                            "from FORMS order by FOR_ID");
    }
    // Every listed PIT-37 loaded into a form, as its field text.
    QStringList loadedTexts(TDane& dane) const {
        dane.QueryDocuments("TFRMPIT_37", "", "FOR_ID", "");
        QStringList texts;
        for (int i = 0; i < dane.Forms().recordCount(); ++i) {
            dane.Forms().moveTo(i);
            auto doc = FormDocument::create("TFRMPIT_37");
            dane.LoadDocument(*doc, false);
            texts << doc->BuildDocumentText();
        }
        return texts;
    }

    static TestServer* server;
    static std::string startFailure;
    ScriptedInteraction ui;
    TGlobalKonfig konfig;
};
TestServer* ServerTest::server = nullptr;
std::string ServerTest::startFailure;

TEST_F(ServerTest, DocumentsSurviveBackupAndRestoreByTheServer) {
    konfig.BazaDanych = server->folder() + "/nowa.fb";
    const DatabaseTarget target{konfig.AdresSieciowySerwera, konfig.BazaDanych, "SYSDBA", "plumtrees"};
    const CreationOutcome created = RunCreationScripts(target);
    ASSERT_TRUE(created.ok) << qPrintable(created.errors.join('\n'));

    TDane dane(konfig);
    ASSERT_TRUE(dane.Connect(false));
    EXPECT_EQ(dane.DatabaseName(), konfig.AdresSieciowySerwera + ":" + konfig.BazaDanych);
    QStringList texts;
    for (const auto& [nip, surname, name] :
         {std::tuple{"12345678903", "KOWALSKI", "JAN"}, std::tuple{"98765432109", "ŻÓŁKIEWSKA-NOWAK", "ANNA"},
          std::tuple{"55555555555", "O'BRIEN", "ŁUCJA"}}) {
        auto doc = pit37(nip, QString::fromUtf8(surname), QString::fromUtf8(name));
        dane.SaveDocument(true, *doc, false);
        texts << doc->BuildDocumentText();
    }
    dane.CommitAndRefresh(true);
    dane.QueryDocuments("TFRMPIT_37", "", "", "żółk");
    ASSERT_EQ(dane.Forms().recordCount(), 1);
    EXPECT_EQ(dane.Forms().current()->C_FOR_NAZIMIE, QString::fromUtf8("ŻÓŁKIEWSKA-NOWAK ANNA"));
    EXPECT_EQ(loadedTexts(dane), texts);
    const QList<QVariantList> saved = documents();

    // A blank server edit: the services of the database's own server.
    DataArchive archive(dane, konfig);
    ArchiveEdits edits = archive.Edits();
    ASSERT_TRUE(edits.server.isEmpty());
    EXPECT_EQ(edits.file, server->folder() + "/" + QDate::currentDate().toString("yyyy-MM-dd") + "nowa.gbk");
    QStringList log;
    ArchiveObserver observer;
    observer.line = [&](const QString& line) { log << line; };
    ui.boxAnswers = {BoxResult::Yes};
    ASSERT_EQ(archive.Archiwizuj(edits, observer), ArchiveOutcome::Done) << qPrintable(ui.boxes.last().text);
    EXPECT_EQ(ui.boxes.last().text, "Operacja ARCHIWIZACJI przebiegła pomyślnie!");
    EXPECT_TRUE(QFile::exists(edits.file));
    EXPECT_EQ(log.filter("writing data for table FORMS").size(), 1) << qPrintable(log.join('\n'));

    dane.QueryDocuments("", "", "", "");
    dane.DeleteRecord(dane.Forms());
    dane.CommitAndRefresh(true);
    ASSERT_NE(documents(), saved);

    ui.boxes.clear();
    log.clear();
    ui.boxAnswers = {BoxResult::Yes};
    ASSERT_EQ(archive.Odtwarzaj(edits, observer), ArchiveOutcome::Done) << qPrintable(ui.boxes.last().text);
    EXPECT_EQ(ui.boxes.size(), 3);
    EXPECT_EQ(ui.boxes.last().text, "OK. Połączenie z bazą nawiązane!");
    EXPECT_TRUE(log.contains("gbak:finishing, closing, and going home"));
    EXPECT_EQ(documents(), saved);
    EXPECT_EQ(loadedTexts(dane), texts);
    EXPECT_EQ(QDir(server->folder()).entryList({"*.tmp"}), QStringList());
}

// The server's restore takes a backup file that ends too early for complete; the page must not.
TEST_F(ServerTest, AnIncompleteBackupOnTheServerChangesNothing) {
    konfig.BazaDanych = server->folder() + "/kopia.fb";
    ASSERT_TRUE(QFile::copy(TemplateDatabase(), konfig.BazaDanych));
    TDane dane(konfig);
    dane.OpenDatabase();
    dane.SaveDocument(true, *pit37("12345678903", "KOWALSKI", "JAN"), false);
    dane.CommitAndRefresh(true);
    const QString whole = server->folder() + "/cala.gbk";
    BackupDatabase(ServiceAccess{server->address(), "SYSDBA", "plumtrees"}, konfig.BazaDanych, whole);
    dane.SaveDocument(true, *pit37("98765432109", "NOWAK", "PIOTR"), false);
    dane.CommitAndRefresh(true);
    const QList<QVariantList> current = documents();

    QFile in(whole);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QString cut = server->folder() + "/urwana.gbk";
    QByteArray backup = in.readAll();
    while (backup.endsWith('\0')) // the padding, then the end mark
        backup.chop(1);
    writeFile(cut, backup.chopped(1));
    DataArchive archive(dane, konfig);
    ArchiveEdits edits = archive.Edits();
    edits.file = cut;
    ui.boxAnswers = {BoxResult::Yes};
    EXPECT_EQ(archive.Odtwarzaj(edits), ArchiveOutcome::Failed);
    ASSERT_EQ(ui.boxes.size(), 2);
    EXPECT_TRUE(ui.boxes[1].text.contains("Bieżące dane pozostały bez zmian."))
        << qPrintable(ui.boxes[1].text);
    EXPECT_TRUE(dane.Connected());
    EXPECT_EQ(documents(), current);
    EXPECT_EQ(QDir(server->folder()).entryList({"*.tmp"}), QStringList());
}

} // namespace
