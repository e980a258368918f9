// sumaris-cli export / validate / schemas as a user runs them: from document texts to XML,
// exit statuses and the error report, and filling the local repository from a registry.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/CliRunner.h"
#include "support/QtPrint.h"

#include "LoopbackRegistry.h"

namespace {

using Result = CliResult;

Result cli(const QStringList& args, const QByteArray& input = {}) { return RunCliTool(args, input); }

class XmlCli : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return f.fileName();
    }
    QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

// Windows-1250, as stored: "Łącka" is A3 B9 63 6B 61.
const QByteArray kDeclaration = "1=12345678903\r\n5=2022\r\n6=1\r\n10=1\r\n509=1435\r\n12=\xA3\xB9"
                                "cka\r\n13=Ewa\r\n"
                                "14=05.03.1980\r\n16=MAZOWIECKIE\r\n17=WARSZAWA\r\n18=WARSZAWA\r\n20=1\r\n"
                                "22=WARSZAWA\r\n23=00-001\r\n138=0\r\n139=0\r\n";

TEST_F(XmlCli, ExportThenValidate) {
    const QString decl = write(QStringLiteral("pit37.txt"), kDeclaration);
    const QString att = write(QStringLiteral("pito.txt"), "1=12345678903\r\n5=\xA3\xB9"
                                                          "cka\r\n6=Ewa\r\n7=05.03.1980\r\n4=1\r\n");
    const QString out = dir.filePath(QStringLiteral("out.xml"));
    Result r =
        cli({QStringLiteral("export"), QStringLiteral("TFRMPIT_37"), decl, QStringLiteral("--attachment"),
             QStringLiteral("TFRMPIT_O=") + att, QStringLiteral("-o"), out});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray xml = read(out);
    EXPECT_TRUE(xml.contains(QStringLiteral("<etd:Nazwisko>Łącka</etd:Nazwisko>").toUtf8()));
    EXPECT_TRUE(xml.contains("<Zalacznik_PIT_O>"));

    // Standard output when no file is named.
    r = cli({QStringLiteral("export"), QStringLiteral("TfrmPit_37"), decl});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));

    const QString fixture = QStringLiteral(TEST_FIXTURES "/test_pit37.xsd");
    r = cli({QStringLiteral("validate"), out, QStringLiteral("--schema"), fixture});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();

    // The year left empty: status 1 and the report.
    QByteArray broken = xml;
    broken.replace("<Rok>2022</Rok>", "<Rok>20</Rok>");
    r = cli({QStringLiteral("--utf8"), QStringLiteral("validate"), write(QStringLiteral("bad.xml"), broken),
             QStringLiteral("--schema"), fixture});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.startsWith("Linia:7\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.endsWith("\n<Rok>20</Rok>\n")) << r.out.toStdString();

    // No local copy of the form's schema: nothing checked, status 1 and the warning.
    QTemporaryDir empty;
    r = cli({QStringLiteral("validate"), out, QStringLiteral("--repository"), empty.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("weryfikacja")) << r.err.toStdString();
}

TEST_F(XmlCli, SchemasFetchFillsTheRepository) {
    QHash<QString, QByteArray> files;
    files.insert(QStringLiteral("/wzor/2023/03/13/12275/schemat.xsd"),
                 read(QStringLiteral(TEST_FIXTURES "/test_pit37.xsd")));
    const QString shipped = QStringLiteral(SOURCE_ROOT "/data/_BIN2022/Repozytorium/crd.gov.pl");
    for (const char* path :
         {"/xml/schematy/dziedzinowe/mf/2022/09/13/eD/DefinicjeTypy/StrukturyDanych_v12-0E.xsd",
          "/xml/schematy/dziedzinowe/mf/2023/09/06/eD/KodyKrajow/KodyKrajow_v13-0E.xsd",
          "/xml/schematy/dziedzinowe/mf/2021/12/23/eD/KodyUrzedowSkarbowychExWUS/"
          "KodyUrzedowSkarbowychExWUS_v8-0E.xsd",
          "/xml/schematy/dziedzinowe/mf/2022/09/13/eD/ORDZU/ORD-ZU(3)_v10-0E.xsd"})
        files.insert(QString::fromLatin1(path), read(shipped + QString::fromLatin1(path)));
    LoopbackRegistry registry(files);
    const QString repo = dir.filePath(QStringLiteral("Repozytorium"));

    Result r = cli({QStringLiteral("schemas"), QStringLiteral("list"), QStringLiteral("--repository"), repo});
    EXPECT_TRUE(r.out.contains("frmPit_37\thttp://crd.gov.pl/wzor/2023/03/13/12275/schemat.xsd\tbrak"));
    r = cli({QStringLiteral("schemas"), QStringLiteral("fetch"), QStringLiteral("--repository"), repo,
             QStringLiteral("--registry"), registry.base()});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_EQ(r.out, QByteArray("frmPit_37: OK\n"));
    registry.stop();
    r = cli({QStringLiteral("schemas"), QStringLiteral("list"), QStringLiteral("--repository"), repo});
    EXPECT_TRUE(r.out.contains("frmPit_37\thttp://crd.gov.pl/wzor/2023/03/13/12275/schemat.xsd\tlokalnie"));

    // Offline, the form is known by the document's namespace; imports resolve in the repository.
    QFile::copy(QStringLiteral(SOURCE_ROOT "/data/_BIN2022/Repozytorium/catalog.xml"),
                repo + QStringLiteral("/catalog.xml"));
    const QString out = dir.filePath(QStringLiteral("out.xml"));
    ASSERT_EQ(cli({QStringLiteral("export"), QStringLiteral("TFRMPIT_37"),
                   write(QStringLiteral("d.txt"), kDeclaration), QStringLiteral("-o"), out})
                  .status,
              0);
    r = cli({QStringLiteral("validate"), out, QStringLiteral("--repository"), repo});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();

    // Unreachable registry: status 1 with the reason.
    r = cli({QStringLiteral("schemas"), QStringLiteral("fetch"), QStringLiteral("--repository"),
             dir.filePath(QStringLiteral("x")), QStringLiteral("--registry"), registry.base()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.startsWith("frmPit_37: ")) << r.out.toStdString();
}

TEST_F(XmlCli, UsageAndInputErrors) {
    const QString decl = write(QStringLiteral("pit37.txt"), kDeclaration);
    const QList<std::pair<QStringList, int>> cases = {
        {{QStringLiteral("export"), QStringLiteral("TFRMPIT_99"), decl}, 2},
        {{QStringLiteral("export"), QStringLiteral("TFRMPIT_O"), decl}, 2},
        {{QStringLiteral("export"), QStringLiteral("TFRMPIT_37")}, 2},
        {{QStringLiteral("export"), QStringLiteral("TFRMPIT_37"), decl, QStringLiteral("--attachment"), decl},
         2},
        {{QStringLiteral("export"), QStringLiteral("TFRMPIT_37"), dir.filePath(QStringLiteral("brak.txt"))},
         1},
        {{QStringLiteral("export"), QStringLiteral("TFRMPIT_37"),
          write(QStringLiteral("zly.txt"), "6=x\r\n")},
         1},
        {{QStringLiteral("validate")}, 2},
        {{QStringLiteral("validate"), decl, QStringLiteral("--type"), QStringLiteral("TFRMPIT_37"),
          QStringLiteral("--schema"), decl},
         2},
        {{QStringLiteral("schemas"), QStringLiteral("zrob")}, 2},
    };
    for (const auto& [args, status] : cases) {
        const Result r = cli(args);
        EXPECT_EQ(r.status, status) << args.join(u' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

} // namespace
