// date, bit and small text helpers, command-line switches, NAME= lines.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <climits>
#include <ostream>
#include <stdexcept>

#include "app/util/Encoding.h"
#include "app/util/Texts.h"

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

TEST(DateText, DayMonthYear) {
    EXPECT_EQ(DateText(QDate(2023, 3, 5)), QStringLiteral("05.03.2023"));
    EXPECT_EQ(DateText(QDate(1999, 12, 31)), QStringLiteral("31.12.1999"));
    EXPECT_EQ(DateText(QDate()), QString());
    EXPECT_EQ(YearOf(QDate(2022, 1, 1)), 2022);
}

TEST(TimeText, HoursMinutes) {
    EXPECT_EQ(TimeText(QTime(9, 5)), QStringLiteral("09:05"));
    EXPECT_EQ(TimeText(QTime(23, 59, 59)), QStringLiteral("23:59"));
    EXPECT_EQ(TimeText(QTime(0, 0)), QStringLiteral("00:00"));
}

struct LedgerDateCase {
    int day, month, year;
    const char* expected;
};

TEST(LedgerDateText, Table) {
    const char* invalid = "  .  .    ";
    const LedgerDateCase cases[] = {
        {5, 3, 2023, "05.03.2023"},  {31, 12, 1800, "31.12.1800"}, {1, 1, 2500, "01.01.2500"},
        {31, 2, 2023, "31.02.2023"}, // no calendar check, only the ranges
        {0, 1, 2000, invalid},       {32, 1, 2000, invalid},       {1, 0, 2000, invalid},
        {1, 13, 2000, invalid},      {1, 1, 1799, invalid},        {1, 1, 2501, invalid},
        {0, 0, 0, invalid},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.day) + "." + std::to_string(c.month) + "." + std::to_string(c.year));
        EXPECT_EQ(LedgerDateText(c.day, c.month, c.year), QString::fromUtf8(c.expected));
    }
    EXPECT_EQ(QString::fromUtf8(invalid).size(), 10);
}

TEST(SmallTexts, DashesFileNamesChoice) {
    EXPECT_EQ(RemoveDashes(QStringLiteral("12-345-67")), QStringLiteral("1234567"));
    EXPECT_EQ(RemoveDashes(QStringLiteral("---")), QString());
    EXPECT_EQ(LedgerFileName(12, 2022), QStringLiteral("12kpr.2022"));
    EXPECT_EQ(LedgerFileName(0, -1), QStringLiteral("0kpr.-1"));
    EXPECT_EQ(ChooseText(true, QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("a"));
    EXPECT_EQ(ChooseText(false, QStringLiteral("a"), QStringLiteral("b")), QStringLiteral("b"));
}

struct BitCase {
    int32_t value;
    int n;
    bool set;
};

TEST(Bits, Table) {
    const BitCase cases[] = {
        {5, 0, true},   {5, 1, false},  {5, 2, true},   {INT32_MIN, 31, true},  {-1, 31, true},
        {0, 31, false}, {1, 32, false}, {1, -1, false}, {0x40000000, 30, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " bit " + std::to_string(c.n));
        EXPECT_EQ(BitIsSet(c.value, c.n), c.set);
        if (c.n >= 0 && c.n <= 31) {
            EXPECT_EQ(BitIsClear(c.value, c.n), !c.set);
        }
    }
    EXPECT_EQ(SetBit(0, 31), INT32_MIN);
    EXPECT_EQ(SetBit(4, 0), 5);
    EXPECT_EQ(SetBit(5, 0), 5);
    EXPECT_EQ(SetBit(5, 40), 5);
    EXPECT_TRUE(BitIsSet(SetBit(0, 17), 17));
}

TEST(TrimBlanks, ControlCharactersAndBlanks) {
    EXPECT_EQ(TrimBlanks(QStringLiteral("  a b \t\r\n")), QStringLiteral("a b"));
    EXPECT_EQ(TrimBlanks(QString(QChar(1)) + QStringLiteral("x") + QChar(0x1F)), QStringLiteral("x"));
    EXPECT_EQ(TrimBlanks(QString(QChar(0xA0)) + QStringLiteral("x")),
              QString(QChar(0xA0)) + QStringLiteral("x"));
    EXPECT_EQ(TrimBlanks(QStringLiteral("   ")), QString());
}

TEST(CommandLineSwitch, ExplicitArguments) {
    const QStringList args = {QStringLiteral("prog"), QStringLiteral("/debug"), QStringLiteral("/Foo=bar"),
                              QStringLiteral("/debug2")};
    struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"/DEBUG", "/DEBUG"}, // the first match wins
        {"FOO", "/FOO=BAR"},  // contained anywhere, returned in upper case
        {"PROG", "PROG"},     // every explicit argument is a candidate
        {"/X", ""},           // none
        {"debug", ""},        // the text is compared as given
        {"", ""},             // an empty text matches nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CommandLineSwitch(QString::fromUtf8(c.text), args), QString::fromUtf8(c.expected));
    }
}

TEST(CommandLineSwitch, ProcessArgumentsSkipTheProgram) {
    // The test program's own name is argument 0 and is not a candidate.
    EXPECT_EQ(CommandLineSwitch(QStringLiteral("TEXTS_TEST")), QString());
    EXPECT_EQ(CommandLineSwitch(QStringLiteral("/NO-SUCH-SWITCH-HERE")), QString());
}

class ReadNameLineTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
};

TEST_F(ReadNameLineTest, Table) {
    ASSERT_TRUE(dir.isValid());
    struct {
        const char* content;
        const char* expected;
    } cases[] = {
        {"foo\r\n  NAME= First \r\nNAME=Second  \r\nname=lower\r\n", "Second"}, // last wins, case counts
        {"NAME=only", "only"},
        {"nothing here\n", ""},
        {"", ""},
        {"NAME=\n", ""},
        {"\tNAME=x\rOTHER=y\r", "x"}, // lone CR ends a line too
        {"NAME = spaced\n", ""},      // must begin exactly with NAME=
    };
    int i = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        const QString path = write(QStringLiteral("f%1.txt").arg(i++), QByteArray(c.content));
        EXPECT_EQ(ReadNameLine(path), QString::fromUtf8(c.expected));
    }
}

TEST_F(ReadNameLineTest, Windows1250Text) {
    const QString name = QStringLiteral("Zażółć gęślą jaźń");
    const QString path = write(QStringLiteral("pl.txt"), ToWin1250(QStringLiteral("NAME=") + name + "\r\n"));
    EXPECT_EQ(ReadNameLine(path), name);
}

TEST_F(ReadNameLineTest, MissingFileIsEmptyUnreadableFails) {
    EXPECT_EQ(ReadNameLine(dir.filePath(QStringLiteral("missing.txt"))), QString());
    EXPECT_EQ(ReadNameLine(QString()), QString());
    QDir(dir.path()).mkdir(QStringLiteral("sub")); // exists but cannot be read as a file
    EXPECT_THROW(ReadNameLine(dir.filePath(QStringLiteral("sub"))), std::runtime_error);
}

} // namespace
