// The DOM layer and the element operations of the export: where set-child-value finds or
// appends an element, the search order of FindXmlNode, removals, copies of rows, output.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/QtPrint.h"

#include "xml/XmlExport.h"

namespace {

const char* kDoc = R"(<?xml version="1.0" encoding="UTF-8"?>
<Deklaracja xmlns="urn:form" xmlns:etd="urn:types">
  <Naglowek>
    <Rok>2021</Rok>
  </Naglowek>
  <Podmiot1>
    <OsobaFizyczna/>
    <etd:Adres>
      <etd:Miejscowosc>A</etd:Miejscowosc>
    </etd:Adres>
  </Podmiot1>
  <PozycjeSzczegolowe>
    <P_1>x</P_1>
    <Wiersz><P_9>deep</P_9></Wiersz>
    <P_9>top</P_9>
  </PozycjeSzczegolowe>
  <Zalaczniki>
    <Zalacznik_A><Podmiot1><P_9>att</P_9></Podmiot1></Zalacznik_A>
  </Zalaczniki>
</Deklaracja>
)";

XmlDocument parse(const char* text = kDoc) {
    return XmlDocument::parse(QByteArray(text), QStringLiteral("t.xml"));
}

QString names(XmlNode parent) {
    QStringList list;
    for (const XmlNode& c : parent.children())
        list.append(c.name());
    return list.join(u' ');
}

TEST(XmlDom, SetChildValueFindsInOwnNamespaceOrAppendsLast) {
    XmlDocument doc = parse();
    const XmlNode root = doc.documentElement();
    const XmlNode naglowek = FindXmlNode(root, QStringLiteral("Naglowek"));

    // An existing child of the same namespace is replaced in place.
    naglowek.setChildValue(QStringLiteral("Rok"), QStringLiteral("2022"));
    EXPECT_EQ(names(naglowek), QStringLiteral("Rok"));
    EXPECT_EQ(FindXmlNode(naglowek, QStringLiteral("Rok")).text(), QStringLiteral("2022"));

    // Unprefixed and new: appended last in the parent's namespace.
    const XmlNode kod = naglowek.setChildValue(QStringLiteral("KodUrzedu"), QStringLiteral("1435"));
    EXPECT_EQ(names(naglowek), QStringLiteral("Rok KodUrzedu"));
    EXPECT_EQ(kod.namespaceUri(), QStringLiteral("urn:form"));

    // Prefixed: the namespace bound to the prefix. Only children in the parent's own namespace
    // are looked up, so etd: elements under a form element are always appended, in call order.
    const XmlNode person = FindXmlNode(root, QStringLiteral("OsobaFizyczna"));
    person.setChildValue(QStringLiteral("etd:PESEL"), QStringLiteral("1"));
    person.setChildValue(QStringLiteral("etd:ImiePierwsze"), QStringLiteral("JAN"));
    person.setChildValue(QStringLiteral("etd:PESEL"), QStringLiteral("2"));
    EXPECT_EQ(names(person), QStringLiteral("etd:PESEL etd:ImiePierwsze etd:PESEL"));
    EXPECT_EQ(person.firstChild().namespaceUri(), QStringLiteral("urn:types"));

    // Inside an etd: element an unprefixed name matches the etd: child by its local name.
    const XmlNode adres = FindXmlNode(root, QStringLiteral("Adres"));
    adres.setChildValue(QStringLiteral("Miejscowosc"), QStringLiteral("B"));
    adres.setChildValue(QStringLiteral("Ulica"), QStringLiteral("C"));
    EXPECT_EQ(names(adres), QStringLiteral("etd:Miejscowosc etd:Ulica"));

    // Text is text: markup characters are escaped on output, Polish letters stay UTF-8.
    person.setChildValue(QStringLiteral("etd:Nazwisko"), QStringLiteral("Łącka & <Syn>"));
    const QByteArray out = doc.serialize();
    EXPECT_TRUE(out.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_TRUE(
        out.contains(QStringLiteral("<etd:Nazwisko>Łącka &amp; &lt;Syn&gt;</etd:Nazwisko>").toUtf8()));
    EXPECT_EQ(out.count("xmlns:etd="), 1); // no declaration was added

    EXPECT_THROW(person.setChildValue(QStringLiteral("xx:Nowy"), QStringLiteral("1")), XmlError);
    EXPECT_THROW(XmlNode().setChildValue(QStringLiteral("P_1"), QStringLiteral("1")), XmlError);
}

TEST(XmlDom, FindXmlNodeSearchOrder) {
    XmlDocument doc = parse();
    const XmlNode root = doc.documentElement();
    const XmlNode poz = FindXmlNode(root, QStringLiteral("PozycjeSzczegolowe"));

    // Children are compared by name before any child is entered: the P_9 beside the row wins.
    EXPECT_EQ(FindXmlNode(poz, QStringLiteral("P_9")).text(), QStringLiteral("top"));
    // From the document element, a section name is found at the top before inside an attachment.
    EXPECT_EQ(FindXmlNode(root, QStringLiteral("Podmiot1")).parent(), root);
    // The element itself matches; with the flag clear so do its siblings (by name only).
    EXPECT_EQ(FindXmlNode(poz, QStringLiteral("PozycjeSzczegolowe")), poz);
    EXPECT_EQ(FindXmlNode(poz, QStringLiteral("Naglowek")).name(), QStringLiteral("Naglowek"));
    EXPECT_EQ(FindXmlNode(poz, QStringLiteral("Zalaczniki")).name(), QStringLiteral("Zalaczniki"));
    EXPECT_TRUE(FindXmlNode(poz, QStringLiteral("Naglowek"), true).isNull());
    // Siblings' descendants are not searched.
    EXPECT_TRUE(FindXmlNode(poz, QStringLiteral("Rok")).isNull());
    // A prefixed name must match the prefix; an unprefixed one ignores it.
    EXPECT_FALSE(FindXmlNode(root, QStringLiteral("etd:Miejscowosc")).isNull());
    EXPECT_FALSE(FindXmlNode(root, QStringLiteral("Miejscowosc")).isNull());
    EXPECT_TRUE(FindXmlNode(root, QStringLiteral("xx:Miejscowosc")).isNull());
    // Paths narrow the search to what the earlier parts found.
    EXPECT_EQ(FindXmlNode(root, QStringLiteral("P_9")).text(), QStringLiteral("top"));
    EXPECT_EQ(FindXmlNode(root, QStringLiteral("Zalaczniki|P_9")).text(), QStringLiteral("att"));
    EXPECT_EQ(FindXmlNode(root, QStringLiteral("Zalaczniki|Podmiot1|P_9")).text(), QStringLiteral("att"));
    EXPECT_TRUE(FindXmlNode(root, QStringLiteral("Brak|P_9")).isNull());
    EXPECT_TRUE(FindXmlNode(XmlNode(), QStringLiteral("P_9")).isNull());
}

TEST(XmlDom, NameMatching) {
    struct Case {
        const char* element;
        const char* wanted;
        bool match;
    } cases[] = {
        {"etd:NIP", "NIP", true},  {"etd:NIP", "etd:NIP", true}, {"NIP", "etd:NIP", false},
        {"etd:NIP", "nip", false}, {"a:b:c", "b:c", false},      {"a:b:c", "a:b:c", true},
        {"P_11", "P_1", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XmlNameMatches(QString::fromLatin1(c.element), QString::fromLatin1(c.wanted)), c.match)
            << c.element << " / " << c.wanted;
}

TEST(XmlDom, SetRemoveAndRefusedRemoval) {
    XmlDocument doc = parse();
    const XmlNode root = doc.documentElement();
    const XmlNode poz = FindXmlNode(root, QStringLiteral("PozycjeSzczegolowe"));

    SetXmlChild(poz, QStringLiteral("P_1"), QStringLiteral("  "));        // blank removes
    SetXmlChild(poz, QStringLiteral("P_2"), QString());                   // absent: nothing happens
    SetXmlChildIfFilled(poz, QStringLiteral("P_3"), QStringLiteral(" ")); // blank leaves alone
    SetXmlChild(poz, QStringLiteral("P_4"), QStringLiteral("0"));         // "0" is a value
    EXPECT_EQ(names(poz), QStringLiteral("Wiersz P_9 P_4"));

    // The element found is not a child: the DOM refuses, the export ends with the reason.
    EXPECT_THROW(RemoveXmlChild(FindXmlNode(root, QStringLiteral("Podmiot1")), QStringLiteral("Miejscowosc")),
                 XmlError);
    RemoveXmlChild(FindXmlNode(root, QStringLiteral("Podmiot1")),
                   QStringLiteral("Rok")); // a sibling's child: not found
    EXPECT_THROW(RemoveXmlChild(root, QStringLiteral("Wiersz")), XmlError);
    RemoveXmlChild(XmlNode(), QStringLiteral("P_1")); // nothing to remove from
}

TEST(XmlDom, ClonesKeepNamespacesAndLandAfterTheirReference) {
    XmlDocument doc =
        parse(R"(<r xmlns="urn:form" xmlns:etd="urn:types"><a/><row k="1"><etd:x/><y/></row><b/></r>)");
    const XmlNode root = doc.documentElement();
    const XmlNode row = FindXmlNode(root, QStringLiteral("row"));
    XmlOwnedNode kept = row.cloneDeep();
    const XmlNode second = root.insertAfter(kept.node().cloneDeep(), row);
    second.setChildValue(QStringLiteral("y"), QStringLiteral("2"));
    EXPECT_EQ(names(root), QStringLiteral("a row row b"));
    const QByteArray out = doc.serialize();
    EXPECT_EQ(out.count("xmlns"), 2) << out.toStdString();
    EXPECT_TRUE(out.contains("<row k=\"1\">\n    <etd:x/>\n    <y>2</y>\n  </row>")) << out.toStdString();
    EXPECT_THROW(second.insertAfter(row.cloneDeep(), root), XmlError);
}

TEST(XmlDom, DamagedDocumentsAreClearErrors) {
    try {
        XmlDocument::parse("<a>\n<b>\n</a>", QStringLiteral("frmPit_37.xml"));
        FAIL();
    } catch (const XmlError& e) {
        const QString text = QString::fromUtf8(e.what());
        EXPECT_TRUE(text.startsWith(QStringLiteral("frmPit_37.xml: line 3:"))) << e.what();
    }
    EXPECT_THROW(XmlDocument::parse("", QStringLiteral("e.xml")), XmlError);
    EXPECT_THROW(XmlDocument::parse("<a xmlns:p='u'><q:b/></a>", QStringLiteral("ns.xml")), XmlError);
    EXPECT_THROW(XmlDocument::load(QStringLiteral("/nonexistent/frmPit_37.xml")), XmlError);
}

TEST(XmlDom, ExternalEntitiesAreNeverRead) {
    QTemporaryDir dir;
    const QString secret = dir.filePath(QStringLiteral("secret.txt"));
    QFile f(secret);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("TOP-SECRET");
    f.close();
    const QByteArray doc = "<?xml version=\"1.0\"?>\n<!DOCTYPE r [<!ENTITY x SYSTEM \"file://" +
                           secret.toUtf8() + "\">]>\n<r><a>&x;</a></r>";
    try {
        XmlDocument::parse(doc, QStringLiteral("xxe.xml"));
        FAIL() << "a template that needs an outside file is broken";
    } catch (const XmlError& e) {
        EXPECT_TRUE(QByteArray(e.what()).contains("not loaded")) << e.what();
        EXPECT_FALSE(QByteArray(e.what()).contains("TOP-SECRET"));
    }
}

} // namespace
