// the two field splitters.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <ostream>

#include "app/util/Splitters.h"

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '[';
    for (const QString& s : l)
        *os << '"' << s.toStdString() << "\" ";
    *os << ']';
}

namespace {

struct SplitCase {
    const char* line;
    const char* delimiter;
    QStringList fields;
};

TEST(TTCL, SplitTable) {
    const SplitCase cases[] = {
        {"0;TFRMPIT_37;3;PIT-37", ";", {"0", "TFRMPIT_37", "3", "PIT-37"}},
        {"", ";", {}},
        {"a;", ";", {"a", ""}},
        {";", ";", {"", ""}},
        {";a", ";", {"", "a"}},
        {"a;;b", ";", {"a", "", "b"}},
        {"abc", ";", {"abc"}},
        {" a ; b ", ";", {" a ", " b "}}, // never trimmed
        {"a::b::", "::", {"a", "b", ""}},
        {"a;b", "", {"a;b"}}, // an empty delimiter never occurs
        {" ", ";", {" "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " split at " + c.delimiter);
        TTCL t;
        t.Split(QString::fromUtf8(c.line), QString::fromUtf8(c.delimiter));
        EXPECT_EQ(t.Fields(), c.fields);
        EXPECT_EQ(t.Count(), c.fields.size());
    }
}

TEST(TTCL, FieldsCountFromOne) {
    TTCL t;
    t.Split(QStringLiteral("0;TFRMPIT_37;3;PIT-37; 12;-7;1-2;99999999999;+4"), QStringLiteral(";"));
    EXPECT_EQ(t.Field(1), QStringLiteral("0"));
    EXPECT_EQ(t.Field(2), QStringLiteral("TFRMPIT_37"));
    EXPECT_EQ(t.Field(0), QString());
    EXPECT_EQ(t.Field(10), QString());
    EXPECT_EQ(t.Field(-1), QString());
    const struct {
        int i;
        int value;
    } ints[] = {{1, 0}, {3, 3}, {2, 0}, {4, 0}, {5, 12}, {6, -7}, {7, 0}, {8, 0}, {9, 4}, {10, 0}, {0, 0}};
    for (const auto& c : ints) {
        SCOPED_TRACE(c.i);
        EXPECT_EQ(t.FieldAsInteger(c.i), c.value);
    }
    t.Split(QString(), QStringLiteral(";")); // replaces the fields
    EXPECT_EQ(t.Count(), 0);
}

struct SplitterCase {
    const char* text;
    const char* delimiter;
    bool trim;
    QStringList fields;
};

TEST(TStringSplitter, SetTextTable) {
    const SplitterCase cases[] = {
        {" a , b ,c ", ",", true, {"a", "b", "c"}},
        {"a,b,", ",", true, {"a", "b", ""}}, // a trailing delimiter gives a final empty field
        {"a, ", ",", true, {"a", ""}},       // the whole text is trimmed first
        {"", ",", true, {}},
        {"   ", ",", true, {}},
        {",", ",", true, {"", ""}},
        {"a", ",", true, {"a"}},
        {"a,,b", ",", true, {"a", "", "b"}},
        {"key = value", "=", true, {"key", "value"}},
        {"a=b=c", "=", true, {"a", "b", "c"}},
        {"a;b", "", true, {"a;b"}},
        {" a , b ", ",", false, {" a ", " b "}},
        {"a, ", ",", false, {"a", " "}},
        {"a,", ",", false, {"a", ""}},
        {" ", ",", false, {" "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " split at " + c.delimiter + (c.trim ? " trimmed" : ""));
        TStringSplitter s;
        s.trim = c.trim;
        s.SetDelimiter(QString::fromUtf8(c.delimiter));
        s.SetText(QString::fromUtf8(c.text));
        ASSERT_EQ(s.Count(), c.fields.size());
        for (int i = 0; i < s.Count(); ++i)
            EXPECT_EQ(s.Field(i), c.fields[i]) << "field " << i;
    }
}

TEST(TStringSplitter, DefaultsAndListOperations) {
    TStringSplitter s;
    EXPECT_EQ(s.Delimiter(), QStringLiteral(","));
    EXPECT_TRUE(s.trim);
    s.SetText(QStringLiteral(" a , b ,c "));
    EXPECT_EQ(s.GetText(), QStringLiteral("a,b,c"));
    EXPECT_EQ(s.IndexOf(QStringLiteral("b")), 1);
    EXPECT_EQ(s.IndexOf(QStringLiteral("x")), -1);
    EXPECT_EQ(s.Field(-1), QString());
    EXPECT_EQ(s.Field(3), QString());
    s.SetText(QStringLiteral("x")); // replaces the fields
    EXPECT_EQ(s.Count(), 1);
    s.Clear();
    EXPECT_EQ(s.Count(), 0);
    EXPECT_EQ(s.GetText(), QString());

    s.Add(QStringLiteral(" x "));
    s.Add(QStringLiteral("y"));
    s.SetDelimiter(QStringLiteral("="));
    EXPECT_EQ(s.GetText(), QStringLiteral("x=y")); // each field trimmed when trimming is on
    s.trim = false;
    EXPECT_EQ(s.GetText(), QStringLiteral(" x =y"));
}

} // namespace
