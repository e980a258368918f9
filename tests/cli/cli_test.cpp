// sumaris-cli as a user runs it: output bytes, exit statuses and error lines.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/CliRunner.h"
#include "support/QtPrint.h"

namespace {

using Result = CliResult;

Result cli(const QStringList& args, const QByteArray& input = {}) { return RunCliTool(args, input); }

TEST(Cli, FormNewPrintsEveryControl) {
    Result r = cli({"form", "new", "TFRMPIT_37"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.count("\r\n"), 184);
    EXPECT_TRUE(r.out.startsWith("5=20  \r\n") || r.out.contains("\r\n5=20  \r\n"));
    EXPECT_TRUE(r.out.contains("\r\n14=  .  .    \r\n"));
}

TEST(Cli, FormApplyRoundTripsAndEncodes) {
    const QByteArray input = "12=\xA3\xA5KA\r\n44=1,5\r\n999=x\r\n"; // ŁĄKA in Windows-1250
    Result r = cli({"form", "apply", "TFRMPIT_37"}, input);
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains("\r\n12=\xA3\xA5KA\r\n"));
    EXPECT_TRUE(r.out.contains("\r\n44=1.5\r\n"));
    Result u = cli({"--utf8", "form", "apply", "TFRMPIT_37"}, input);
    EXPECT_TRUE(u.out.contains(QStringLiteral("\r\n12=ŁĄKA\r\n").toUtf8()));
}

TEST(Cli, WordsAndPicture) {
    EXPECT_EQ(cli({"--utf8", "words", "12.34"}).out, QStringLiteral("dwanaście zł trzydzieścicztery gr\n").toUtf8());
    EXPECT_EQ(cli({"picture", "###,###.##", "1234.5"}).out, QByteArray("  1,234.50\n"));
}

TEST(Cli, EvalLintAndRecalc) {
    EXPECT_EQ(cli({"eval", "7 DIV 2"}).out, QByteArray("3\n"));
    EXPECT_EQ(cli({"eval", "'abc'"}).out, QByteArray("ABC\n"));
    EXPECT_EQ(cli({"eval", "--case-sensitive", "'abc'"}).out, QByteArray("abc\n"));
    EXPECT_EQ(cli({"eval", "--import", "9999999999"}).out, QByteArray("9999999999\n"));
    EXPECT_EQ(cli({"eval", "P_12"}).out, QByteArray("\n"));

    QTemporaryDir dir;
    QFile rules(dir.filePath("bad.exp"));
    ASSERT_TRUE(rules.open(QIODevice::WriteOnly));
    rules.write("54=[52]-[53]\r\n100=[44]+\r\n9999=1\r\n");
    rules.close();
    Result lint = cli({"lint", rules.fileName(), "--layout", "TFRMPIT_37"});
    EXPECT_EQ(lint.status, 1);
    EXPECT_TRUE(lint.out.startsWith("2: 100=[44]+")) << lint.out.toStdString();
    EXPECT_TRUE(lint.out.contains("3: 9999=1"));
    EXPECT_EQ(cli({"lint", "TFRMPIT_37"}).status, 0);

    Result r = cli({"recalc", "TFRMPIT_37"}, "6=1\r\n52=100000\r\n53=3000\r\n56=13710\r\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains("\r\n54=97000\r\n"));
    EXPECT_TRUE(r.out.contains("\r\n139=5670\r\n"));
    EXPECT_TRUE(r.out.contains("--\n"));
}

TEST(Cli, ErrorsAreOneLineWithStatusTwo) {
    QTemporaryDir dir;
    const QList<QStringList> bad = {
        {"form", "new", "TFRMPIT_99"},
        {"form", "apply", "TFRMPIT_37", dir.filePath("missing.txt")},
        {"form"},
        {"nonsense"},
        {"words"},
    };
    for (const QStringList& args : bad) {
        Result r = cli(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

} // namespace
