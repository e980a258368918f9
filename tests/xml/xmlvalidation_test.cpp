// Schema validation: the local repository without network, the first error's line, reason and
// source text, documents that try to read files, and the remote registry (a loopback server)
// whose schemas are then kept for validating offline.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/QtPrint.h"
#include "support/ScriptedInteraction.h"

#include "LoopbackRegistry.h"
#include "app/util/Folders.h"
#include "xml/DeclarationExport.h"
#include "xml/XmlValidation.h"

namespace {

const QString kNamespace = QStringLiteral("http://crd.gov.pl/wzor/2023/03/13/12275/");
const QString kLocation = kNamespace + QStringLiteral("schemat.xsd");
const QString kShipped = QStringLiteral(SOURCE_ROOT "/data/_BIN2022/Repozytorium");
const QString kFixture = QStringLiteral(TEST_FIXTURES "/test_pit37.xsd");

QByteArray readAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A repository with the shipped shared schemas and, when asked, our test schema as the PIT-37
// copy.
QString makeRepository(const QTemporaryDir& dir, bool withForm) {
    const QString repo = dir.filePath(QStringLiteral("Repozytorium"));
    QDirIterator it(kShipped, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        writeAll(repo + file.mid(kShipped.size()), readAll(file));
    }
    if (withForm) writeAll(repo + QStringLiteral("/frmPit_37.xsd"), readAll(kFixture));
    return repo;
}

QByteArray exportedPit37(const QString& year = QStringLiteral("2022")) {
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    const QString text =
        QStringLiteral("1=12345678903\r\n5=%1\r\n6=1\r\n10=1\r\n509=1435\r\n12=Kowalski\r\n13=Jan\r\n"
                       "14=05.03.1980\r\n16=MAZOWIECKIE\r\n17=WARSZAWA\r\n18=WARSZAWA\r\n20=1\r\n"
                       "22=WARSZAWA\r\n23=00-001\r\n138=0\r\n139=0\r\n")
            .arg(year);
    return ExportDeclarationXml(QStringLiteral("TFRMPIT_37"), text, {}).xml;
}

// Fails the test when anybody tries the network.
class NoNetwork : public SchemaFetcher {
public:
    int calls = 0;
    bool fetch(const QUrl&, QByteArray*, QString* error) override {
        ++calls;
        *error = QStringLiteral("no network here");
        return false;
    }
};

XmlValidationOptions localOptions(const QString& repo, SchemaFetcher* fetcher) {
    XmlValidationOptions o;
    o.localRepository = true;
    o.componentName = QStringLiteral("frmPit_37");
    o.repositoryFolder = repo;
    o.fetcher = fetcher;
    return o;
}

TEST(XmlValidation, LocalRepositoryValidatesWithoutNetwork) {
    ScriptedInteraction person;
    QTemporaryDir dir;
    const QString repo = makeRepository(dir, true);
    NoNetwork network;
    const QString file = dir.filePath(QStringLiteral("PIT-37_Kowalski_Jan.xml"));
    writeAll(file, exportedPit37());

    XmlValidationResult r = ValidateXml(kLocation, file, false, kNamespace, localOptions(repo, &network));
    EXPECT_TRUE(r.valid()) << XmlErrorMessage(r).toStdString() << r.detail.toStdString();
    EXPECT_EQ(r.schemaLocation, repo + QStringLiteral("/frmPit_37.xsd"));
    r = ValidateXml(kLocation, QString::fromUtf8(exportedPit37()), true, kNamespace,
                    localOptions(repo, &network));
    EXPECT_TRUE(r.valid());
    EXPECT_EQ(network.calls, 0);
    EXPECT_TRUE(person.boxes.isEmpty());
    EXPECT_TRUE(person.infoTexts.isEmpty());
}

TEST(XmlValidation, MissingSchemaIsReportedNotTreatedAsAnError) {
    ScriptedInteraction person;
    QTemporaryDir dir;
    NoNetwork network;
    // No form copy; and a form copy whose import is not in the repository.
    const QString empty = dir.filePath(QStringLiteral("empty"));
    const QString partial = dir.filePath(QStringLiteral("partial"));
    writeAll(partial + QStringLiteral("/frmPit_37.xsd"), readAll(kFixture));
    for (const QString& repo : {empty, partial}) {
        const XmlValidationResult r = ValidateXml(kLocation, QString::fromUtf8(exportedPit37()), true,
                                                  kNamespace, localOptions(repo, &network));
        EXPECT_EQ(r.status, XmlValidationStatus::SchemaUnavailable) << repo.toStdString();
        EXPECT_FALSE(r.detail.isEmpty());
    }
    EXPECT_EQ(network.calls, 0);
    ASSERT_EQ(person.boxes.size(), 2);
    EXPECT_EQ(person.boxes[0].kind, int(BoxWarning));
    EXPECT_EQ(person.boxes[0].caption, QStringLiteral("Błąd"));
    EXPECT_EQ(person.boxes[0].text,
              QStringLiteral("Nie można połączyć się ze zdalnym źródłem schematów.\r\n\r\n"
                             "Dokument zostanie zapisany, ale weryfikacja \r\n"
                             "struktury dokumentu nie bedzie przeprowadzona."));

    // A schema of another namespace does not serve.
    QTemporaryDir other;
    const XmlValidationResult r =
        ValidateXmlData(kLocation, QString::fromUtf8(exportedPit37()), true, QStringLiteral("urn:inny"),
                        localOptions(makeRepository(other, true), &network));
    EXPECT_EQ(r.status, XmlValidationStatus::SchemaUnavailable);
}

TEST(XmlValidation, FirstErrorWithLineReasonAndSource) {
    QTemporaryDir dir;
    const QString repo = makeRepository(dir, true);
    NoNetwork network;
    // The year box left at its mask text "20  ".
    XmlValidationResult r =
        ValidateXmlData(kLocation, QString::fromUtf8(exportedPit37(QStringLiteral("20  "))), true, kNamespace,
                        localOptions(repo, &network));
    ASSERT_EQ(r.status, XmlValidationStatus::Invalid);
    EXPECT_EQ(r.line, 7);
    EXPECT_EQ(r.sourceText, QStringLiteral("<Rok>20</Rok>"));
    EXPECT_TRUE(r.reason.contains(QStringLiteral("Rok"))) << r.reason.toStdString();
    EXPECT_TRUE(XmlErrorMessage(r).startsWith(QStringLiteral("Linia:7\r\n")));
    EXPECT_TRUE(XmlErrorMessage(r).endsWith(QStringLiteral("\r\n<Rok>20</Rok>")));

    // Not well-formed: the parser's line, checked before the schema.
    r = ValidateXmlData(kLocation,
                        QStringLiteral("<?xml version=\"1.0\"?>\n<Deklaracja>\n  <A>\n</Deklaracja>\n"), true,
                        kNamespace, localOptions(repo, &network));
    ASSERT_EQ(r.status, XmlValidationStatus::Invalid);
    EXPECT_EQ(r.line, 4);
    EXPECT_EQ(r.sourceText, QStringLiteral("</Deklaracja>"));

    // No schema at all: well-formedness only.
    XmlValidationOptions none = localOptions(repo, &network);
    none.componentName.clear();
    EXPECT_TRUE(ValidateXmlData(QString(), QStringLiteral("<a/>"), true, QString(), none).valid());

    // A file that cannot be read.
    ScriptedInteraction person;
    r = ValidateXml(kLocation, dir.filePath(QStringLiteral("brak.xml")), false, kNamespace,
                    localOptions(repo, &network));
    EXPECT_EQ(r.status, XmlValidationStatus::LoadFailed);
    ASSERT_EQ(person.boxes.size(), 1);
    EXPECT_TRUE(person.boxes[0].text.startsWith(QStringLiteral("Błąd \"XML.load(") + dir.path()));
}

TEST(XmlValidation, DocumentsCannotReadFilesOrTheNetwork) {
    QTemporaryDir dir;
    const QString repo = makeRepository(dir, true);
    writeAll(dir.filePath(QStringLiteral("secret.txt")), "TOP-SECRET");
    NoNetwork network;
    const QString doc = QStringLiteral("<?xml version=\"1.0\"?>\n<!DOCTYPE Deklaracja [\n"
                                       "<!ENTITY a SYSTEM \"file://%1\">\n"
                                       "<!ENTITY b SYSTEM \"http://crd.gov.pl/xml/x\">\n]>\n"
                                       "<Deklaracja xmlns=\"%2\">&a;&b;</Deklaracja>\n")
                            .arg(dir.filePath(QStringLiteral("secret.txt")), kNamespace);
    const XmlValidationResult r =
        ValidateXmlData(kLocation, doc, true, kNamespace, localOptions(repo, &network));
    ASSERT_EQ(r.status, XmlValidationStatus::Invalid);
    EXPECT_EQ(r.line, 3);
    EXPECT_TRUE(r.reason.contains(QStringLiteral("not loaded"))) << r.reason.toStdString();
    EXPECT_FALSE(r.reason.contains(QStringLiteral("TOP-SECRET")));
    EXPECT_EQ(network.calls, 0);
}

QHash<QString, QByteArray> registryFiles() {
    QHash<QString, QByteArray> files;
    files.insert(QStringLiteral("/wzor/2023/03/13/12275/schemat.xsd"), readAll(kFixture));
    const QString root = kShipped + QStringLiteral("/crd.gov.pl");
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        files.insert(file.mid(root.size()), readAll(file));
    }
    return files;
}

TEST(XmlValidation, RemoteRegistrySchemasAreKeptForOfflineUse) {
    ScriptedInteraction person;
    QTemporaryDir dir;
    const QString repo = dir.filePath(QStringLiteral("Repozytorium"));
    LoopbackRegistry registry(registryFiles());
    XmlValidationOptions remote;
    remote.localRepository = false;
    remote.componentName = QStringLiteral("frmPit_37");
    remote.repositoryFolder = repo;
    remote.registryMirror = registry.base();
    const QString text = QString::fromUtf8(exportedPit37());

    XmlValidationResult r = ValidateXml(kLocation, text, true, kNamespace, remote);
    EXPECT_TRUE(r.valid()) << r.detail.toStdString() << XmlErrorMessage(r).toStdString();
    EXPECT_TRUE(registry.requests().contains(QStringLiteral("/wzor/2023/03/13/12275/schemat.xsd")));
    EXPECT_TRUE(person.infoTexts.contains(QStringLiteral("Weryfikacja ze zdalnym schematem....")));
    EXPECT_TRUE(QFile::exists(repo + QStringLiteral("/frmPit_37.xsd")));
    EXPECT_TRUE(QFile::exists(repo + QStringLiteral("/crd.gov.pl/wzor/2023/03/13/12275/schemat.xsd")));
    EXPECT_TRUE(QFile::exists(repo + QStringLiteral("/crd.gov.pl/xml/schematy/dziedzinowe/mf/2022/09/13/eD/"
                                                    "DefinicjeTypy/StrukturyDanych_v12-0E.xsd")));
    registry.stop();

    // Offline now: the local repository serves, the registry is not asked.
    writeAll(repo + QStringLiteral("/catalog.xml"), readAll(kShipped + QStringLiteral("/catalog.xml")));
    NoNetwork network;
    r = ValidateXml(kLocation, text, true, kNamespace, localOptions(repo, &network));
    EXPECT_TRUE(r.valid()) << r.detail.toStdString();
    EXPECT_EQ(network.calls, 0);

    // The registry gone: the warning, and nothing checked.
    r = ValidateXml(kLocation, text, true, kNamespace, remote);
    EXPECT_EQ(r.status, XmlValidationStatus::SchemaUnavailable);
    EXPECT_EQ(person.boxes.size(), 1);
}

TEST(XmlValidation, ABrokenAnswerIsNotKept) {
    QTemporaryDir dir;
    QHash<QString, QByteArray> files = registryFiles();
    files.insert(QStringLiteral("/wzor/2023/03/13/12275/schemat.xsd"), "<html>Przerwa techniczna</html>");
    LoopbackRegistry registry(files);
    XmlValidationOptions remote;
    remote.localRepository = false;
    remote.componentName = QStringLiteral("frmPit_37");
    remote.repositoryFolder = dir.path();
    remote.registryMirror = registry.base();
    QString error;
    EXPECT_FALSE(FetchSchemaToRepository(kLocation, kNamespace, remote, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(XmlValidation, SuccessTexts) {
    EXPECT_EQ(XmlSavedMessage(true, QString()),
              QStringLiteral("Dokument XML pomyślnie zapisano w SCHOWKU SYSTEMOWYM."));
    EXPECT_EQ(XmlSavedMessage(false, QStringLiteral("/tmp/a.xml")),
              QStringLiteral("Dokument XML pomyślnie zapisano w pliku \r\n/tmp/a.xml"));
}

} // namespace
