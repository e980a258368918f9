// Polish letters between the code pages of the ledger program, printers and Windows.
#include <gtest/gtest.h>

#include <QString>
#include <ostream>

#include "app/util/CodePage.h"

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"';
    for (const QChar c : s) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x80 && c.unicode() < 0x100))
            *os << "\\x" << std::hex << int(c.unicode()) << std::dec;
        else
            *os << QString(c).toStdString();
    }
    *os << '"';
}

namespace {

const QString kPolish = QStringLiteral("ąćęłńóśżźĄĆĘŁŃÓŚŻŹ");

QString Bytes(std::initializer_list<int> bytes) {
    QString out;
    for (int b : bytes)
        out += QChar(b);
    return out;
}

const QString kMazovia = Bytes({0x86, 0x8D, 0x91, 0x92, 0xA4, 0xA2, 0x9E, 0xA7, 0xA6, 0x8F, 0x95, 0x90, 0x9C,
                                0xA5, 0xA3, 0x98, 0xA1, 0xA0});
const QString kCp852 = Bytes({0xA5, 0x86, 0xA9, 0x88, 0xE4, 0xA2, 0x98, 0xBE, 0xAB, 0xA4, 0x8F, 0xA8, 0x9D,
                              0xE3, 0xE0, 0x97, 0xBD, 0x8D});
const QString kLatin = QStringLiteral("acelnoszzACELNOSZZ");
const QString kMarks = QStringLiteral(",',/''''`,',/'''-'");

// Must run first: the page a fresh process starts with.
TEST(CodePage, CurrentPageIsWindows1250AtStart) {
    EXPECT_EQ(CurrentCodePage(), CpWindows1250);
}

TEST(CodePage, ZolcToOverstrikeMarks) {
    const QString expected = QStringLiteral("Z\b-o\b'l\b/c\b'");
    EXPECT_EQ(ConvertCodePage(CpOverstrike, QStringLiteral("Żółć")), expected);
    EXPECT_EQ(expected.size(), 12);
}

TEST(CodePage, EveryLetterFromWindows1250) {
    struct {
        int target;
        QString row;
    } cases[] = {{CpLatin, kLatin}, {CpMazovia, kMazovia}, {Cp852, kCp852}, {CpWindows1250, kPolish}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(ConvertCodePage(c.target, kPolish), c.row);
        for (int k = 0; k < 18; ++k)
            EXPECT_EQ(ConvertCodePage(c.target, kPolish.mid(k, 1)), c.row.mid(k, 1)) << "letter " << k;
    }
    QString overstrike;
    for (int k = 0; k < 18; ++k)
        overstrike += kLatin.mid(k, 1) + QChar(8) + kMarks.mid(k, 1);
    EXPECT_EQ(ConvertCodePage(CpOverstrike, kPolish), overstrike);
}

TEST(CodePage, BetweenPagesAndBack) {
    struct {
        int source, target;
        QString from, to;
    } cases[] = {
        {CpMazovia, CpWindows1250, kMazovia, kPolish}, {Cp852, CpWindows1250, kCp852, kPolish},
        {CpMazovia, Cp852, kMazovia, kCp852},          {Cp852, CpMazovia, kCp852, kMazovia},
        {CpMazovia, CpLatin, kMazovia, kLatin},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.source) + " -> " + std::to_string(c.target));
        EXPECT_EQ(ConvertFrom(c.source, c.target, c.from), c.to);
        EXPECT_EQ(CurrentCodePage(), CpWindows1250);
    }
    // the same byte is a different letter in different pages
    EXPECT_EQ(ConvertFrom(CpMazovia, CpWindows1250, Bytes({0x86})), QStringLiteral("ą"));
    EXPECT_EQ(ConvertFrom(Cp852, CpWindows1250, Bytes({0x86})), QStringLiteral("ć"));
}

TEST(CodePage, OtherCharactersStay) {
    const QString text = QStringLiteral("Zażółć gęślą jaźń, 123 €");
    EXPECT_EQ(ConvertCodePage(CpLatin, text), QStringLiteral("Zazolc gesla jazn, 123 €"));
    EXPECT_EQ(ConvertFrom(CpMazovia, CpWindows1250, ConvertCodePage(CpMazovia, text)), text);
    EXPECT_EQ(ConvertFrom(Cp852, CpWindows1250, ConvertCodePage(Cp852, text)), text);
    EXPECT_EQ(ConvertCodePage(CpLatin, QString()), QString());
}

TEST(CodePage, TargetIsCurrentPageLeavesTextAlone) {
    EXPECT_EQ(ConvertCodePage(CpWindows1250, QStringLiteral("ąb")), QStringLiteral("ąb"));
    EXPECT_EQ(ConvertFrom(CpMazovia, CpMazovia, kPolish), kPolish);
    EXPECT_EQ(ConvertCodePage(7, QStringLiteral("ą")), QStringLiteral("ą")); // no such page
}

TEST(CodePage, FirstPositionWinsForRepeatedCharacters) {
    // "z" stands for both ż and ź in page 0; the first position (ż) is found
    EXPECT_EQ(ConvertFrom(CpLatin, CpWindows1250, QStringLiteral("zZ")), QStringLiteral("żŻ"));
    // "'" occurs many times in page 3; the first is ć
    EXPECT_EQ(ConvertFrom(CpOverstrike, CpWindows1250, QStringLiteral("'")), QStringLiteral("ć"));
}

TEST(CodePage, SetCurrentPageAndRestore) {
    SetCurrentCodePage(CpMazovia);
    EXPECT_EQ(CurrentCodePage(), CpMazovia);
    EXPECT_EQ(ConvertCodePage(CpWindows1250, Bytes({0x86, 0x41})), QStringLiteral("ąA"));
    EXPECT_EQ(ConvertFrom(Cp852, CpWindows1250, Bytes({0x86})), QStringLiteral("ć"));
    EXPECT_EQ(CurrentCodePage(), CpMazovia); // restored to what it was before the call
    SetCurrentCodePage(CpWindows1250);
}

TEST(CodePage, FixedLengthFormsCutTheResult) {
    struct {
        QString result;
        QString expected;
    } cases[] = {
        {ConvertCodePage(CpOverstrike, QStringLiteral("ąb"), 4), QStringLiteral("a\b,b")},
        {ConvertCodePage(CpOverstrike, QStringLiteral("żółw"), 3), QStringLiteral("z\b'")},
        {ConvertCodePage(CpLatin, QStringLiteral("żółw"), 10), QStringLiteral("zolw")},
        {ConvertCodePage(CpLatin, QStringLiteral("żółw"), 0), QString()},
        {ConvertCodePage(CpLatin, QStringLiteral("żółw"), -1), QString()},
        {ConvertFrom(CpMazovia, CpWindows1250, kMazovia, 5), QStringLiteral("ąćęłń")},
        {ConvertFrom(CpWindows1250, CpWindows1250, QStringLiteral("abcdef"), 2), QStringLiteral("ab")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.result, c.expected);
    EXPECT_EQ(CurrentCodePage(), CpWindows1250);
}

} // namespace
