// The export framework on small templates: value getters and rules, repeated rows, the
// attachments of a declaration and the too-many-attachments warning.
#include <gtest/gtest.h>

#include "support/QtPrint.h"
#include "support/ScriptedInteraction.h"

#include "xml/XmlExport.h"

namespace {

QString names(XmlNode parent) {
    QStringList list;
    for (const XmlNode& c : parent.children())
        list.append(c.name());
    return list.join(u' ');
}

XmlDocument parse(const char* text) {
    return XmlDocument::parse(QByteArray(text), QStringLiteral("t.xml"));
}

TEST(XmlExportValues, KindsRulesAndRanges) {
    XmlDocument doc = parse("<r/>");
    const QString text =
        QStringLiteral("1=1234567890 \r\n14=05.03.1980\r\n26=  .  .    \r\n44=0\r\n45=12.5\r\n"
                       "46= 7 \r\n1=999\r\nx=5\r\nabc\r\n47=\n");
    XmlExport x(doc, text, {});
    struct Case {
        int number, kind;
        const char* expected;
    } cases[] = {
        {1, 1, "1234567890"}, // the first line of a number counts
        {14, 0, "1980-03-05"}, {26, 0, ""}, {44, 1, "0"},    {44, 2, "0"}, {44, 3, "0"},
        {44, 4, ""},           {44, 5, ""}, {45, 4, "12.5"}, {46, 1, "7"}, {46, 4, "7"},
        {47, 4, ""},           {99, 1, ""}, {99, 0, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(x.GetXmlFieldValue(c.number, c.kind), QString::fromLatin1(c.expected))
            << c.number << " kind " << c.kind;
    EXPECT_EQ(x.GetXmlFieldRange(44, 47), QStringLiteral("12.57"));
    EXPECT_EQ(x.GetXmlFieldRange(44, 44), QString());
    EXPECT_EQ(x.GetXmlFieldRange(1, 1), QStringLiteral("1234567890999"));
    EXPECT_EQ(x.GetXmlFieldValue(1, 1, true), QString()); // no current attachment

    EXPECT_TRUE(IsNipIdentifier(QStringLiteral(" 1234567890 ")));
    EXPECT_FALSE(IsNipIdentifier(QStringLiteral("12345678903")));
    EXPECT_FALSE(IsNipIdentifier(QString()));
    EXPECT_EQ(ZeroToEmpty(QStringLiteral("0")), QString());
    EXPECT_EQ(ZeroToEmpty(QStringLiteral("00")), QStringLiteral("00"));

    EXPECT_EQ(x.BoxValue(44), 0);
    EXPECT_EQ(x.BoxValue(47), 0); // empty counts as not ticked
    EXPECT_EQ(x.BoxValue(99), 0);
    EXPECT_THROW(x.BoxValue(45), XmlExportError);
}

TEST(XmlExportBlocks, HeaderChoosesPurposeLaterBoxWinning) {
    const char* tmpl =
        "<r><Naglowek><CelZlozenia poz=\"P_10\">1</CelZlozenia><Rok/><KodUrzedu/></Naglowek></r>";
    struct Case {
        const char* text;
        const char* cel;
        const char* children;
    } cases[] = {
        {"10=1\r\n510=0\r\n5=2022\r\n509=1435\r\n", "1", "CelZlozenia Rok KodUrzedu"},
        {"10=0\r\n510=1\r\n5=2022\r\n", "2", "CelZlozenia Rok"},
        {"10=1\r\n510=1\r\n", "2", "CelZlozenia"},
    };
    for (const Case& c : cases) {
        XmlDocument doc = parse(tmpl);
        XmlExport x(doc, QString::fromLatin1(c.text), {});
        const XmlNode n = FindXmlNode(x.root(), QStringLiteral("Naglowek"));
        x.HeaderBlock(n, 10, 510, 5, 509);
        EXPECT_EQ(FindXmlNode(n, QStringLiteral("CelZlozenia")).text(), QString::fromLatin1(c.cel)) << c.text;
        EXPECT_EQ(names(n), QString::fromLatin1(c.children)) << c.text;
    }
    // Neither box ticked: the template's purpose stays.
    XmlDocument doc = parse("<r><Naglowek><CelZlozenia>2</CelZlozenia></Naglowek></r>");
    XmlExport x(doc, QStringLiteral("10=0\r\n510=0\r\n"), {});
    x.HeaderBlock(x.root().firstChild(), 10, 510, 5, 509);
    EXPECT_EQ(x.root().firstChild().firstChild().text(), QStringLiteral("2"));
}

const char* kRows = "<r><S><a/><row><k/><v/></row><b/></S></r>";

TEST(XmlExportBlocks, RepeatingRowsStandAtThePrototypeInOrder) {
    struct Case {
        const char* text;
        const char* children;
        const char* values;
    } cases[] = {
        {"", "a b", ""},
        {"101=  \r\n201=B\r\n", "a b", ""}, // the first blank key ends the table
        {"101=A\r\n102=1\r\n201=B\r\n202=\r\n301=C\r\n302=3\r\n401=\r\n501=E\r\n", "a row row row b",
         "A1|B|C3"},
    };
    for (const Case& c : cases) {
        XmlDocument doc = parse(kRows);
        XmlExport x(doc, QString::fromLatin1(c.text), {});
        const XmlNode s = FindXmlNode(x.root(), QStringLiteral("S"));
        x.FillRepeatingRows(
            s, QStringLiteral("row"), [&](int i) { return x.T(100 * i + 1); },
            [&](XmlNode row, int i) {
                SetXmlChild(row, QStringLiteral("k"), x.T(100 * i + 1));
                SetXmlChild(row, QStringLiteral("v"), x.T(100 * i + 2));
            });
        EXPECT_EQ(names(s), QString::fromLatin1(c.children)) << c.text;
        QStringList values;
        for (const XmlNode& row : s.children())
            if (row.name() == u"row") values.append(row.text());
        EXPECT_EQ(values.join(u'|'), QString::fromLatin1(c.values)) << c.text;
    }
}

const char* kAttachments =
    "<r><Zalaczniki><Z_O><P_1/></Z_O><Z_ZG><P_1/></Z_ZG><Z_D><P_1/></Z_D></Zalaczniki></r>";

TEST(XmlExportAttachments, LookupIsByTypeWithoutRegardToCase) {
    XmlDocument doc = parse(kAttachments);
    XmlExport x(doc, QString(),
                {{QStringLiteral("TFRMPIT_D"), QStringLiteral("1=d")},
                 {QStringLiteral("tfrmpit_o "), QStringLiteral("1=o1")},
                 {QStringLiteral("TFRMPIT_O"), QStringLiteral("1=o2")}});
    EXPECT_FALSE(x.HasAttachment(QStringLiteral("FRMPIT_ZG")));
    EXPECT_FALSE(x.AnyAttachmentExported);
    EXPECT_FALSE(x.AttachmentFound);
    EXPECT_TRUE(x.HasAttachment(QStringLiteral("FRMPIT_O")));
    EXPECT_TRUE(x.AnyAttachmentExported);
    EXPECT_TRUE(x.AttachmentFound);
    EXPECT_EQ(x.T(1, true), QStringLiteral("o1"));
    EXPECT_EQ(x.T(1), QString()); // the declaration's own text is separate
    EXPECT_TRUE(x.HasNextAttachment(QStringLiteral("FRMPIT_O")));
    EXPECT_EQ(x.T(1, true), QStringLiteral("o2"));
    EXPECT_FALSE(x.HasNextAttachment(QStringLiteral("FRMPIT_O")));
    EXPECT_FALSE(x.HasAttachment(QStringLiteral("FRMPIT_ZG")));
    EXPECT_FALSE(x.AttachmentFound);
    EXPECT_TRUE(x.AnyAttachmentExported); // stays set for the rest of the export
}

TEST(XmlExportAttachments, SingleAndRepeatedTypes) {
    ScriptedInteraction person;
    XmlDocument doc = parse(kAttachments);
    XmlExport x(doc, QString(),
                {{QStringLiteral("TFRMPIT_O"), QStringLiteral("1=o1")},
                 {QStringLiteral("TFRMPIT_ZG"), QStringLiteral("1=z1")},
                 {QStringLiteral("TFRMPIT_O"), QStringLiteral("1=o2")},
                 {QStringLiteral("TFRMPIT_ZG"), QStringLiteral("1=z2")},
                 {QStringLiteral("TFRMPIT_O"), QStringLiteral("1=o3")}});
    const XmlNode zal = FindXmlNode(x.root(), QStringLiteral("Zalaczniki"));
    auto fill = [&](XmlNode a) { SetXmlChild(a, QStringLiteral("P_1"), x.T(1, true)); };
    x.FillSingleAttachment(zal, QStringLiteral("Z_O"), QStringLiteral("FRMPIT_O"), QStringLiteral("PIT-37"),
                           QStringLiteral("PIT-O"), fill);
    x.FillRepeatingAttachments(zal, QStringLiteral("Z_ZG"), QStringLiteral("FRMPIT_ZG"), fill);
    x.FillSingleAttachment(zal, QStringLiteral("Z_D"), QStringLiteral("FRMPIT_D"), QStringLiteral("PIT-37"),
                           QStringLiteral("PIT-D"), fill);
    x.FillSingleAttachment(zal, QStringLiteral("Z_X"), QStringLiteral("FRMPIT_O"), QStringLiteral("PIT-37"),
                           QStringLiteral("PIT-O"), fill); // not in the template: nothing happens

    EXPECT_EQ(names(zal), QStringLiteral("Z_O Z_ZG Z_ZG"));
    QStringList values;
    for (const XmlNode& a : zal.children())
        values.append(a.text());
    EXPECT_EQ(values.join(u' '), QStringLiteral("o1 z1 z2"));
    ASSERT_EQ(person.boxes.size(), 1); // once, however many more there are
    EXPECT_EQ(person.boxes[0].kind, int(BoxWarning));
    EXPECT_EQ(person.boxes[0].caption, QStringLiteral("Za dużo załączników"));
    EXPECT_EQ(person.boxes[0].text,
              TooManyAttachmentsText(QStringLiteral("PIT-37"), QStringLiteral("PIT-O"), 1));
}

TEST(XmlExportAttachments, TooManyWarningText) {
    EXPECT_EQ(TooManyAttachmentsText(QStringLiteral("PIT-37"), QStringLiteral("PIT-O"), 1),
              QStringLiteral("UWAGA! Zgodnie ze świętym schematem XML do deklaracji\r\n"
                             "PIT-37 można załączyć najwyżej 1 załącznik PIT-O.\r\n"
                             "Wyeksportowana deklaracja będzie niekompletna!\r\n"
                             "Jeżeli pominięte w eksporcie XML załączniki powinny\r\n"
                             "być załączone do deklaracji, należy je wysłać oddzielnie."));
    struct Case {
        int limit;
        const char* line;
    } cases[] = {
        {0, "PIT-36 nie można załączyć załączników PIT-B."},
        {2, "PIT-36 można załączyć najwyżej 2 załączniki PIT-B."},
        {4, "PIT-36 można załączyć najwyżej 4 załączniki PIT-B."},
        {5, "PIT-36 można załączyć najwyżej 5 załączników PIT-B."},
        {99, "PIT-36 można załączyć najwyżej 99 załączników PIT-B."},
        {100, "PIT-36 można załączyć najwyżej 100 załącznik PIT-B."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TooManyAttachmentsText(QStringLiteral("PIT-36"), QStringLiteral("PIT-B"), c.limit)
                      .split(QStringLiteral("\r\n"))[1],
                  QString::fromUtf8(c.line));
}

} // namespace
