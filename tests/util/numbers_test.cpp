// number texts, picture formatting and the program's rounding.
#include <gtest/gtest.h>

#include <QString>
#include <cmath>
#include <limits>
#include <ostream>
#include <stdexcept>

#include "app/util/Numbers.h"

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

struct TextToNumber {
    const char* text;
    double expected;
};

TEST(ParseNumber, Table) {
    const TextToNumber cases[] = {
        {"12.5", 12.5}, {" 12,5 ", 12.5}, {"-3", -3},   {"", 0},          {"   ", 0},
        {"abc", 0},     {",", 0},         {".", 0},     {"-", 0},         {"1.234,5", 0},
        {"1,234.5", 0}, {"1e3", 1000},    {"+5", 5},    {".5", 0.5},      {"5.", 5},
        {",25", 0.25},  {"1 2", 0},       {"12abc", 0}, {"inf", 0},       {"nan", 0},
        {"1e400", 0},   {"\t7\r\n", 7},   {"0x10", 0},  {"-0,01", -0.01}, {"1234567.89", 1234567.89},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(ParseNumber(QString::fromUtf8(c.text)), c.expected);
    }
}

struct PictureCase {
    const char* picture;
    double value;
    const char* expected;
};

TEST(FormatPicture, Table) {
    const PictureCase cases[] = {
        // the comma before the first digit becomes a blank
        {"###,###.##", 1234.5, "  1,234.50"},
        {"###,###.##", 12.5, "     12.50"},
        // minus on the last blank before the first digit, or in front
        {"###,###.##", -1234.5, " -1,234.50"},
        {"###,###.##", -12.5, "    -12.50"},
        {"###,###.##", 123456.5, "123,456.50"},
        {"###,###.##", -123456.5, "-123,456.50"},
        // written text wider than the picture: the text as it is
        {"###,###.##", 1234567.891, "1234567.89"},
        {"###,###.##", -1234567.891, "-1234567.89"},
        {"#.##", 12.345, "12.35"},
        // half away from zero on the 15-digit text
        {"##.##", 0.125, " 0.13"},
        {"###", 2.5, "  3"},
        {"###", -2.5, " -3"},
        {"###.#", 0, "  0.0"},
        {"##.##", 1.005, " 1.01"},
        // other characters are copied
        {"Kwota: ###.## zł", 5, "Kwota:   5.00 zł"},
        {"Kwota: ###.## zł", -5, "-Kwota:   5.00 zł"},
        // a value that rounds to zero keeps its remembered minus
        {"#.##", -0.001, "-0.00"},
        // no "#" at all
        {"", 7, "7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.picture) + " / " + std::to_string(c.value));
        EXPECT_EQ(FormatPicture(QString::fromUtf8(c.picture), c.value), QString::fromUtf8(c.expected));
    }
}

TEST(FormatPicture, AtMostFiftyCharacters) {
    const QString result = FormatPicture(QString(60, QLatin1Char('#')), 12);
    EXPECT_EQ(result, QString(50, QLatin1Char(' ')));
    EXPECT_EQ(FormatPicture(QString(60, QLatin1Char('#')), 1e60).size(), 50);
}

struct AmountCase {
    double value;
    const char* expected;
};

TEST(FormatAmount, Table) {
    const AmountCase cases[] = {
        {-3, "-3.00"},
        {4.14, "4.14"},
        {1234.5, "1234.50"},
        {0, "0.00"},
        {12.345, "12.35"},
        {-12.345, "-12.35"},
        {1.005, "1.01"},
        {0.004, "0.00"},
        {1234567890123.45, "1234567890123.45"},
        {1e20, "100000000000000000000.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(FormatAmount(c.value), QString::fromUtf8(c.expected));
    }
}

struct RoundCase {
    double value;
    double arg;
    double expected;
};

TEST(RoundToMultiple, Table) {
    const RoundCase cases[] = {
        {0, 10, 0},          {14, 10, 10},       {15, 10, 20},    {-15, 10, -20}, {-14, 10, -10},
        {2.345, 0.01, 2.35}, {149.99, 100, 100}, {150, 100, 200}, {7, 0, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " step " + std::to_string(c.arg));
        EXPECT_DOUBLE_EQ(RoundToMultiple(c.value, c.arg), c.expected);
    }
}

TEST(RoundCents, Table) {
    const RoundCase cases[] = {
        {2.345, 0, 2.35}, {-2.345, 0, -2.35}, {0, 0, 0},          {0.125, 0, 0.13},        {0.124, 0, 0.12},
        {1e-9, 0, 0},     {1.0049, 0, 1.0},   {-0.005, 0, -0.01}, {1234.5678, 0, 1234.57},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_DOUBLE_EQ(RoundCents(c.value), c.expected);
    }
}

TEST(RoundHalfAway, Table) {
    const RoundCase cases[] = {
        {12.345, 2, 12.35}, {2.5, 0, 3},     {-2.5, 0, -3},         {-2.345, 2, -2.35}, {1.005, 2, 1.01},
        {0.049, 1, 0},      {0.05, 1, 0.1},  {9.995, 2, 10},        {1234.5, -1, 1230}, {1235, -1, 1240},
        {0, 2, 0},          {1e20, 2, 1e20}, {0.285, 2, 0.29},      {1.45, 1, 1.5},     {0.5, 0, 1},
        {0.4999, 0, 0},     {-0.5, 0, -1},   {123.456, 5, 123.456},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " dp " + std::to_string(c.arg));
        EXPECT_DOUBLE_EQ(RoundHalfAway(c.value, int(c.arg)), c.expected);
    }
    EXPECT_TRUE(std::isnan(RoundHalfAway(std::numeric_limits<double>::quiet_NaN(), 2)));
}

TEST(GeneralNumberText, Table) {
    const AmountCase cases[] = {
        {1234.5, "1234.5"},
        {0, "0"},
        {-0.0, "0"},
        {-12.34, "-12.34"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {0.00001, "0.00001"},
        {0.000025, "0.000025"},
        {0.000001, "1E-6"},
        {-1.5e-7, "-1.5E-7"},
        {1.5e20, "1.5E20"},
        {123456789012345, "123456789012345"},
        {1234567890123456, "1.23456789012346E15"},
        {1e15, "1E15"},
        {100, "100"},
        {1e300, "1E300"},
        {2.5, "2.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(GeneralNumberText(c.value), QString::fromUtf8(c.expected));
    }
}

struct FixedCase {
    double value;
    int decimals;
    bool grouped;
    const char* expected;
};

TEST(FixedNumberText, Table) {
    const FixedCase cases[] = {
        {1234.5, 2, true, "1,234.50"},
        {1234.5, 2, false, "1234.50"},
        {-0.001, 2, false, "0.00"},
        {-0.004, 2, true, "0.00"},
        {-0.0, 0, false, "0"},
        {0, 0, false, "0"},
        {1234567, 0, true, "1,234,567"},
        {-1234567.891, 2, true, "-1,234,567.89"},
        {999.995, 2, true, "1,000.00"},
        {12.345, 2, false, "12.35"},
        {0.5, 0, false, "1"},
        {-0.5, 0, false, "-1"},
        {123, 2, true, "123.00"},
        {100, 0, true, "100"},
        {0.05, 1, false, "0.1"},
        {0.001234, 4, false, "0.0012"},
        {1e20, 0, true, "100,000,000,000,000,000,000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(FixedNumberText(c.value, c.decimals, c.grouped), QString::fromUtf8(c.expected));
    }
}

struct BoolCase {
    const char* text;
    bool expected;
};

TEST(IsIntegerText, Table) {
    const BoolCase cases[] = {
        {"", true},     {"123", true},  {"-12", true}, {"1-2", true},  {"12-", true}, {"-", true},
        {"--1", false}, {"1.5", false}, {" 1", false}, {"abc", false}, {"+1", false}, {"１", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IsIntegerText(QString::fromUtf8(c.text)), c.expected);
    }
}

TEST(IntegerOrZero, Table) {
    const TextToNumber cases[] = {
        {"", 0},
        {"abc", 0},
        {"12", 12},
        {"-12", -12},
        {"007", 7},
        {"1.5", 0},
        {"--1", 0},
        {"2147483647", 2147483647.0},
        {"-2147483648", -2147483648.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IntegerOrZero(QString::fromUtf8(c.text)), int(c.expected));
    }
}

TEST(IntegerOrZero, ThrowsForTextThatLooksIntegerButIsNot) {
    for (const char* text : {"1-2", "-", "12-", "2147483648", "-2147483649", "99999999999"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(IntegerOrZero(QString::fromUtf8(text)), std::invalid_argument);
    }
}

TEST(IsNumberText, Table) {
    const BoolCase cases[] = {
        {"", true},    {"12", true},     {"12.5", true},   {"12,5", true},   {"-12.5", true}, {"-", true},
        {".", true},   {"1.2.3", false}, {"1.2,3", false}, {"1,2,3", false}, {"1-2", false},  {"--1", false},
        {"+1", false}, {"1e5", false},   {" 1", false},    {"12.", true},    {"abc", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IsNumberText(QString::fromUtf8(c.text)), c.expected);
    }
}

TEST(ZeroPad, Table) {
    EXPECT_EQ(ZeroPad(5, 3), QStringLiteral("005"));
    EXPECT_EQ(ZeroPad(1234, 2), QStringLiteral("1234"));
    EXPECT_EQ(ZeroPad(0, 0), QStringLiteral("0"));
    EXPECT_EQ(ZeroPad(7, -1), QStringLiteral("7"));
    EXPECT_EQ(ZeroPad(-5, 4), QStringLiteral("00-5")); // zeros go in front of the whole text
}

TEST(PadLeft, Table) {
    EXPECT_EQ(PadLeft(QStringLiteral("ab"), 5, QLatin1Char('*')), QStringLiteral("***ab"));
    EXPECT_EQ(PadLeft(QStringLiteral("abcdef"), 3, QLatin1Char(' ')), QStringLiteral("abcdef"));
    EXPECT_EQ(PadLeft(QString(), 2, QLatin1Char('x')), QStringLiteral("xx"));
}

} // namespace
