// sumaris-cli export --db: a stored PIT-37 with its stored attachments gives the same bytes as
// the export of the same document texts, and only its own attachments go with it.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include "store/StoreFixture.h"
#include "support/CliRunner.h"
#include "support/QtPrint.h"

#include "app/util/Encoding.h"
#include "forms/FormDocument.h"

namespace {

using Result = CliResult;

Result cli(const QStringList& args, const QByteArray& input = {}) { return RunCliTool(args, input); }

class StoreExportCli : public StoreTest {
protected:
    // The text a form's editor stores for these values, written as a file.
    QString document(const QString& name, const QString& type, const QString& series, const QString& values) {
        auto doc = FormDocument::create(type);
        doc->ExpandSeries(series);
        doc->ApplyDocumentText(values);
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(ToWin1250(doc->BuildDocumentText()));
        return f.fileName();
    }
    QString put(const QString& type, const QString& file, const QString& master = QString()) {
        QStringList args{
            QStringLiteral("db"), QStringLiteral("put"), QStringLiteral("--db"), dbPath, type, file};
        if (!master.isEmpty()) args << QStringLiteral("--master") << master;
        const Result r = cli(args);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return QString::fromLatin1(r.out).trimmed();
    }
    QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(StoreExportCli, StoredDeclarationExportsAsItsTexts) {
    const QString decl = document(
        QStringLiteral("pit37.txt"), QStringLiteral("TFRMPIT_37"), QString(),
        QStringLiteral(
            "1=44051401359\r\n5=2022\r\n6=1\r\n10=1\r\n509=1435\r\n12=Łącka\r\n13=Ewa\r\n14=05.03.1980\r\n"
            "16=MAZOWIECKIE\r\n17=WARSZAWA\r\n18=WARSZAWA\r\n20=1\r\n22=WARSZAWA\r\n23=00-001\r\n"
            "52=85000.5\r\n53=3000\r\n54=82000.5\r\n"));
    const QString pitO = document(
        QStringLiteral("pito.txt"), QStringLiteral("TFRMPIT_O"), QStringLiteral("0;2;"),
        QStringLiteral(
            "1=44051401359\r\n4=1\r\n5=Łącka\r\n6=Ewa\r\n201=15232901234\r\n205=12\r\n208=1112.04\r\n"
            "209=1112.04\r\n301=17261001239\r\n305=12\r\n308=1112.04\r\n309=1112.04\r\n1012=2224.08\r\n"));
    const QString pitD = document(QStringLiteral("pitd.txt"), QStringLiteral("TFRMPIT_D"), QString(),
                                  QStringLiteral("1=44051401359\r\n4=Łącka\r\n5=Ewa\r\n10=A\r\n14=200\r\n"));
    const QString other = document(QStringLiteral("other.txt"), QStringLiteral("TFRMPIT_37"), QString(),
                                   QStringLiteral("1=12345678903\r\n12=Inny\r\n"));
    const QString pit2k = document(QStringLiteral("pit2k.txt"), QStringLiteral("TFRMPIT_2K"), QString(),
                                   QStringLiteral("1=12345678903\r\n12=2021\r\n15=100\r\n"));

    const QString id = put(QStringLiteral("TFRMPIT_37"), decl);
    const QString otherId = put(QStringLiteral("TFRMPIT_37"), other);
    // Stored out of type order: the store lists attachments by type, PIT/D before PIT/O.
    const QString pitOId = put(QStringLiteral("TFRMPIT_O"), pitO, id);
    put(QStringLiteral("TFRMPIT_2K"), pit2k, otherId);
    put(QStringLiteral("TFRMPIT_D"), pitD, id);

    const QString fromStore = dir.filePath(QStringLiteral("store.xml"));
    Result r = cli({QStringLiteral("export"), QStringLiteral("--db"), dbPath, QStringLiteral("--id"), id,
                    QStringLiteral("-o"), fromStore});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QString fromTexts = dir.filePath(QStringLiteral("texts.xml"));
    r = cli({QStringLiteral("export"), QStringLiteral("TFRMPIT_37"), decl, QStringLiteral("--attachment"),
             QStringLiteral("TFRMPIT_D=") + pitD, QStringLiteral("--attachment"),
             QStringLiteral("TFRMPIT_O=") + pitO, QStringLiteral("-o"), fromTexts});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray xml = read(fromStore);
    EXPECT_EQ(xml, read(fromTexts));
    EXPECT_TRUE(xml.contains("<Zalacznik_PIT_O>"));
    EXPECT_TRUE(xml.contains("<Zalacznik_PIT_D>"));
    EXPECT_FALSE(xml.contains("PIT-2K")); // the other declaration's attachment
    EXPECT_TRUE(xml.contains(QStringLiteral("<etd:Nazwisko>Łącka</etd:Nazwisko>").toUtf8()));

    // Standard output without -o.
    r = cli({QStringLiteral("export"), QStringLiteral("--db"), dbPath, QStringLiteral("--id"), id});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, xml);

    // An attachment, a missing document and a missing number are refused.
    r = cli({QStringLiteral("export"), QStringLiteral("--db"), dbPath, QStringLiteral("--id"), pitOId});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("attachment of document " + id.toLatin1())) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    r = cli({QStringLiteral("export"), QStringLiteral("--db"), dbPath, QStringLiteral("--id"),
             QStringLiteral("999")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("no document with FOR_ID 999"));
    r = cli({QStringLiteral("export"), QStringLiteral("--db"), dbPath});
    EXPECT_EQ(r.status, 2);
}

} // namespace
