// The PIT-37 export with the shipped template: the manner of taxation, addresses, the tax
// result, income groups and the attachments. Every export is also checked against our own
// test schema (fixtures/test_pit37.xsd), which states the element order the template assumes
// over the tax authority's shared person and address types.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/QtPrint.h"
#include "support/ScriptedInteraction.h"

#include "app/util/Folders.h"
#include "forms/FormDocument.h"
#include "xml/DeclarationExport.h"
#include "xml/XmlValidation.h"

namespace {

const QString kNamespace = QStringLiteral("http://crd.gov.pl/wzor/2023/03/13/12275/");

// A stored PIT-37 as the editor saves it (every control has its line), with the taxpayer filled
// in; `lines` come first, and the export reads the first line of a number.
QString declaration(const QString& lines = QString()) {
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    auto doc = FormDocument::create(QStringLiteral("TFRMPIT_37"));
    doc->ApplyDocumentText(
        QStringLiteral("1=12345678903\r\n5=2022\r\n6=1\r\n10=1\r\n509=1435\r\n12=Kowalski\r\n"
                       "13=Jan\r\n14=05.03.1980\r\n16=MAZOWIECKIE\r\n17=WARSZAWA\r\n"
                       "18=WARSZAWA\r\n19=PROSTA\r\n20=1\r\n22=WARSZAWA\r\n23=00-001\r\n"));
    return lines + doc->BuildDocumentText();
}

struct Exported {
    XmlExportResult result;
    std::unique_ptr<XmlDocument> doc;
    XmlNode root() const { return doc->documentElement(); }
    // The text of the element a path finds from the document element; "<none>" when absent.
    QString at(const QString& path) const {
        const XmlNode n = FindXmlNode(root(), path);
        return n ? n.text() : QStringLiteral("<none>");
    }
    QString names(const QString& path) const {
        QStringList list;
        for (const XmlNode& c : FindXmlNode(root(), path).children())
            list.append(c.name());
        return list.join(u' ');
    }
};

Exported exportPit37(const QString& text, const QList<StoredAttachment>& attachments = {}) {
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    Exported e;
    e.result = ExportDeclarationXml(QStringLiteral("TFRMPIT_37"), text, attachments);
    EXPECT_TRUE(e.result.produced);
    e.doc = std::make_unique<XmlDocument>(XmlDocument::parse(e.result.xml, QStringLiteral("out.xml")));

    XmlValidationOptions fixture;
    fixture.repositoryFolder = QStringLiteral(SOURCE_ROOT "/data/_BIN2022/Repozytorium");
    const XmlValidationResult check =
        ValidateXmlData(QStringLiteral(TEST_FIXTURES "/test_pit37.xsd"), QString::fromUtf8(e.result.xml),
                        true, kNamespace, fixture);
    EXPECT_TRUE(check.valid()) << XmlErrorMessage(check).toStdString() << check.detail.toStdString() << "\n"
                               << e.result.xml.toStdString();
    return e;
}

TEST(Pit37Export, TaxpayerAndFileName) {
    const Exported e = exportPit37(declaration());
    EXPECT_EQ(e.result.suggestedFileName, QStringLiteral("PIT-37_Kowalski_Jan.xml"));
    EXPECT_EQ(e.result.schemaLocation, kNamespace + QStringLiteral("schemat.xsd"));
    EXPECT_EQ(e.at(QStringLiteral("CelZlozenia")), QStringLiteral("1"));
    EXPECT_EQ(e.at(QStringLiteral("Rok")), QStringLiteral("2022"));
    EXPECT_EQ(e.at(QStringLiteral("KodUrzedu")), QStringLiteral("1435"));
    EXPECT_EQ(e.names(QStringLiteral("Podmiot1|OsobaFizyczna")),
              QStringLiteral("etd:PESEL etd:ImiePierwsze etd:Nazwisko etd:DataUrodzenia"));
    EXPECT_EQ(e.at(QStringLiteral("Podmiot1|etd:DataUrodzenia")), QStringLiteral("1980-03-05"));
    EXPECT_EQ(e.names(QStringLiteral("Podmiot1|AdresPol")),
              QStringLiteral("KodKraju Wojewodztwo Powiat Gmina Ulica NrDomu Miejscowosc KodPocztowy"));
    EXPECT_EQ(e.at(QStringLiteral("Podmiot1|AdresPol|KodKraju")), QStringLiteral("PL"));
    // No attachments: no Zalaczniki at all.
    EXPECT_EQ(e.names(QStringLiteral("Deklaracja")),
              QStringLiteral("Naglowek Podmiot1 PozycjeSzczegolowe Pouczenia"));
}

TEST(Pit37Export, MannerOfTaxationDecidesTheSpouse) {
    struct Case {
        int box;
        const char* p6;
        const char* podmiot2; // children of Podmiot2, or "<none>"
    } cases[] = {
        {6, "1", "<none>"},
        {506, "2", "OsobaFizyczna AdresZamieszkania"},
        {606, "3", "OsobaFizyczna"},
        {706, "4", "<none>"},
    };
    const QString spouse =
        QStringLiteral("2=1234567890\r\n24=Kowalska\r\n25=Anna\r\n26=01.01.1982\r\n527=\r\n"
                       "28=MAZOWIECKIE\r\n29=WARSZAWA\r\n30=WARSZAWA\r\n32=2\r\n33=3\r\n"
                       "34=WARSZAWA\r\n35=00-002\r\n");
    for (const Case& c : cases) {
        QString boxes;
        for (int b : {6, 506, 606, 706})
            boxes += QStringLiteral("%1=%2\r\n").arg(b).arg(b == c.box ? 1 : 0);
        const Exported e = exportPit37(declaration(boxes + spouse));
        EXPECT_EQ(e.at(QStringLiteral("P_6")), QString::fromLatin1(c.p6)) << c.box;
        const XmlNode p2 = FindXmlNode(e.root(), QStringLiteral("Podmiot2"));
        EXPECT_EQ(p2 ? e.names(QStringLiteral("Podmiot2")) : QStringLiteral("<none>"),
                  QString::fromLatin1(c.podmiot2))
            << c.box;
        if (p2) {
            // A 10-character identifier is a NIP.
            EXPECT_EQ(e.names(QStringLiteral("Podmiot2|OsobaFizyczna")),
                      QStringLiteral("etd:NIP etd:ImiePierwsze etd:Nazwisko etd:DataUrodzenia"));
        }
    }
    const Exported joint = exportPit37(declaration(QStringLiteral("6=0\r\n506=1\r\n") + spouse));
    EXPECT_EQ(joint.names(QStringLiteral("Podmiot2|AdresPol")),
              QStringLiteral("KodKraju Wojewodztwo Powiat Gmina NrDomu NrLokalu Miejscowosc KodPocztowy"));
}

TEST(Pit37Export, ForeignAddress) {
    const Exported e =
        exportPit37(declaration(QStringLiteral("515=de\r\n19=Hauptstrasse\r\n22=Berlin\r\n23=  -   \r\n")));
    EXPECT_EQ(e.names(QStringLiteral("Podmiot1|AdresZamieszkania")), QStringLiteral("AdresZagr"));
    EXPECT_EQ(e.names(QStringLiteral("Podmiot1|AdresZagr")),
              QStringLiteral("KodKraju Miejscowosc Ulica NrDomu"));
    EXPECT_EQ(e.at(QStringLiteral("Podmiot1|AdresZagr|KodKraju")), QStringLiteral("DE"));
}

TEST(Pit37Export, TaxToPayAndOverpayment) {
    struct Case {
        const char* lines;
        const char* p138;
        const char* p139;
    } cases[] = {
        {"138=0\r\n139=0\r\n", "0", "<none>"},
        {"138=\r\n139=\r\n", "0", "<none>"},
        {"138=512\r\n139=0\r\n", "512", "<none>"},
        {"138=0\r\n139=300\r\n", "<none>", "300"},
    };
    for (const Case& c : cases) {
        const Exported e = exportPit37(declaration(QString::fromLatin1(c.lines)));
        EXPECT_EQ(e.at(QStringLiteral("P_138")), QString::fromLatin1(c.p138)) << c.lines;
        EXPECT_EQ(e.at(QStringLiteral("P_139")), QString::fromLatin1(c.p139)) << c.lines;
    }
}

TEST(Pit37Export, PositionsComeInTheirOrder) {
    const Exported e = exportPit37(declaration(QStringLiteral(
        // a source with zeros and two empty fields; an all-zero source is left out
        "52=5000\r\n53=0\r\n54=0\r\n55=0\r\n56=5000\r\n57=\r\n58=\r\n59=0\r\n60=0\r\n61=0\r\n"
        // exempt revenue: the taxpayer's boxes come before the spouse's
        "37=1\r\n36=1\r\n44=100\r\n"
        "611=1\r\n129=5000\r\n127=0\r\n138=0\r\n139=0\r\n147=0000012345\r\n150=1\r\n"
        "656=1\r\n757=1\r\n559=1\r\n561=PL\r\n563=BPKOPLPW\r\n162=PLN\r\n163=PL61109010140000071219812874\r\n"
        "164=1\r\n")));
    EXPECT_EQ(e.names(QStringLiteral("PozycjeSzczegolowe")),
              QStringLiteral("P_6 P_11 P_36 P_44 P_37 P_52 P_53 P_54 P_55 P_56 P_127 P_129 P_130 P_137 P_138 "
                             "P_144 P_145 P_147 P_150 P_156 P_157 P_159_1 P_161A P_163_2 P_162 P_163_1 "
                             "P_164_1"));
    EXPECT_EQ(e.at(QStringLiteral("P_11")), QStringLiteral("2"));
    EXPECT_EQ(e.at(QStringLiteral("P_53")), QStringLiteral("0"));
    EXPECT_EQ(e.at(QStringLiteral("P_127")), QStringLiteral("0")); // as stored
    EXPECT_EQ(e.at(QStringLiteral("P_156")), QStringLiteral("2"));
    EXPECT_EQ(e.at(QStringLiteral("P_157")), QStringLiteral("3"));
}

// Document texts of the attachments, as their editors store them.
QString pitO(const QString& surname, const QString& more = QString()) {
    return QStringLiteral("1=12345678903\r\n2=\r\n5=%1\r\n6=JAN\r\n7=05.03.1980\r\n8=\r\n4=1\r\n")
               .arg(surname) +
           more;
}

const QString kPitORows = QStringLiteral(
    "11=1000\r\n12=0\r\n43=x\r\n53=0\r\n54=0\r\n1012=1000\r\n1013=0\r\n"
    "171=1234567890\r\n173=Opis\r\n174=100\r\n175=50\r\n271=9876543210\r\n274=20\r\n371=\r\n"
    "201=22222222222\r\n202=\r\n203=\r\n204=  .  .    \r\n205=1112.04\r\n"
    "301=\r\n302=KOWALSKA\r\n303=ANNA\r\n304=01.02.2015\r\n305=0\r\n306=556\r\n401=\r\n402=\r\n403=\r\n");

TEST(Pit37Export, AttachmentsInTheirPlaces) {
    ScriptedInteraction person;
    const QList<StoredAttachment> attachments = {
        {QStringLiteral("TFRMORD_ZU"), QStringLiteral("13=Korekta omyłki.\r\n")},
        {QStringLiteral("TFRMPIT_2K"),
         QStringLiteral("1=12345678903\r\n2=\r\n3=KOWALSKI\r\n4=JAN\r\n5=05.03.1980\r\n6=\r\n9=0\r\n209=1\r\n"
                        "10=Adres\r\n12=2021\r\n15=100\r\n")},
        {QStringLiteral("TFRMPIT_D"),
         QStringLiteral(
             "1=1234567890\r\n2=98765432109\r\n4=KOWALSKI\r\n5=JAN\r\n6=05.03.1980\r\n7=KOWALSKA\r\n"
             "8=ANNA\r\n9=01.01.1982\r\n10=A\r\n13=0\r\n14=200\r\n17=\r\n18=x\r\n27=B\r\n35=7\r\n")},
        {QStringLiteral("TFRMPIT_O"), pitO(QStringLiteral("KOWALSKI"), kPitORows)},
    };
    const Exported e = exportPit37(declaration(), attachments);
    EXPECT_TRUE(person.boxes.isEmpty());
    EXPECT_EQ(e.names(QStringLiteral("Zalaczniki")),
              QStringLiteral("Zalacznik_PIT_O Zalacznik_PIT_D Zalacznik_PIT-2K zzu:Zalacznik_ORD-ZU"));

    // PIT/O: no spouse part; P_53 written as 0 because its sum 1012 is filled, P_54 not.
    EXPECT_EQ(e.names(QStringLiteral("Zalacznik_PIT_O")),
              QStringLiteral("Naglowek Podmiot1 PozycjeSzczegolowe"));
    EXPECT_EQ(e.names(QStringLiteral("Zalacznik_PIT_O|PozycjeSzczegolowe")),
              QStringLiteral("P_4 P_11 P_43 P_53 P_52A P_D P_D P_E P_E"));
    const XmlNode pozO = FindXmlNode(e.root(), QStringLiteral("Zalacznik_PIT_O|PozycjeSzczegolowe"));
    QStringList rows;
    for (const XmlNode& row : pozO.children()) {
        if (!row.name().startsWith(u"P_D") && !row.name().startsWith(u"P_E")) continue;
        QStringList cells;
        for (const XmlNode& c : row.children())
            cells.append(c.name() + u'=' + c.text());
        rows.append(cells.join(u' '));
    }
    EXPECT_EQ(rows, QStringList({
                        QStringLiteral("P_D1=1234567890 P_D3=Opis P_D4=100 P_D5=50"),
                        QStringLiteral("P_D1=9876543210 P_D4=20"),
                        QStringLiteral("P_E1=22222222222 P_E5=1112.04"),
                        QStringLiteral("P_E2=KOWALSKA P_E3=ANNA P_E4=2015-02-01 P_E6=556"),
                    }));

    // PIT/D: a NIP, the spouse with a PESEL; the second deduction is skipped without its kind.
    EXPECT_EQ(e.names(QStringLiteral("Zalacznik_PIT_D|Podmiot1")),
              QStringLiteral("etd:NIP etd:ImiePierwsze etd:Nazwisko etd:DataUrodzenia"));
    EXPECT_EQ(e.at(QStringLiteral("Zalacznik_PIT_D|Podmiot2|etd:PESEL")), QStringLiteral("98765432109"));
    EXPECT_EQ(e.names(QStringLiteral("Zalacznik_PIT_D|PozycjeSzczegolowe")),
              QStringLiteral("P_10 P_14 P_27 P_35"));

    EXPECT_EQ(e.names(QStringLiteral("Zalacznik_PIT-2K|PozycjeSzczegolowe")),
              QStringLiteral("P_9 P_10 P_12 P_15"));
    EXPECT_EQ(e.at(QStringLiteral("Zalacznik_PIT-2K|P_9")), QStringLiteral("2"));
    EXPECT_EQ(e.at(QStringLiteral("Zalacznik_ORD-ZU|P_13")), QStringLiteral("Korekta omyłki."));
}

// A PIT/O as its editor stores it: two rows in each series, the second donee left blank.
TEST(Pit37Export, PitOFromItsEditor) {
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    auto pito = FormDocument::create(QStringLiteral("TFRMPIT_O"));
    pito->ExpandSeries(QStringLiteral("2;2;"));
    pito->ApplyDocumentText(
        QStringLiteral("1=12345678903\r\n4=1\r\n5=KOWALSKI\r\n6=JAN\r\n7=05.03.1980\r\n"
                       "171=1234567890\r\n173=Fundacja\r\n174=100\r\n"
                       "201=22222222222\r\n302=KOWALSKA\r\n303=ZOFIA\r\n304=01.02.2015\r\n"
                       "305=12\r\n"));
    const Exported e = exportPit37(declaration(), {{pito->typeCode(), pito->BuildDocumentText()}});
    QStringList rows;
    for (const XmlNode& row :
         FindXmlNode(e.root(), QStringLiteral("Zalacznik_PIT_O|PozycjeSzczegolowe")).children()) {
        if (row.firstChild().isNull()) continue;
        QStringList cells;
        for (const XmlNode& c : row.children())
            cells.append(c.name() + u'=' + c.text());
        rows.append(cells.join(u' '));
    }
    EXPECT_EQ(rows, QStringList({
                        QStringLiteral("P_D1=1234567890 P_D3=Fundacja P_D4=100 P_D5=0"),
                        QStringLiteral("P_E1=22222222222"),
                        QStringLiteral("P_E2=KOWALSKA P_E3=ZOFIA P_E4=2015-02-01 P_E5=12"),
                    }));
}

TEST(Pit37Export, OneAttachmentOfEachTypeIsExported) {
    ScriptedInteraction person;
    const Exported e =
        exportPit37(declaration(), {
                                       {QStringLiteral("TFRMPIT_O"), pitO(QStringLiteral("PIERWSZY"))},
                                       {QStringLiteral("TFRMPIT_O"), pitO(QStringLiteral("DRUGI"))},
                                   });
    EXPECT_EQ(e.names(QStringLiteral("Zalaczniki")), QStringLiteral("Zalacznik_PIT_O"));
    EXPECT_EQ(e.at(QStringLiteral("Zalacznik_PIT_O|etd:Nazwisko")), QStringLiteral("PIERWSZY"));
    // The empty prototype rows are gone.
    EXPECT_EQ(e.names(QStringLiteral("Zalacznik_PIT_O|PozycjeSzczegolowe")), QStringLiteral("P_4"));
    ASSERT_EQ(person.boxes.size(), 1);
    EXPECT_EQ(person.boxes[0].caption, QStringLiteral("Za dużo załączników"));
    EXPECT_TRUE(
        person.boxes[0].text.contains(QStringLiteral("PIT-37 można załączyć najwyżej 1 załącznik PIT-O.")));
}

TEST(Pit37Export, MissingOrHeaderlessTemplateAndBadInput) {
    ScriptedInteraction person;
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("_BIN2022"));
    QDir().mkpath(data + QStringLiteral("/xmltempl"));
    SetAppFolder(dir.path());

    // No template: a warning, nothing exported.
    XmlExportResult r = ExportDeclarationXml(QStringLiteral("TFRMPIT_37"), QStringLiteral("6=1\r\n"), {});
    EXPECT_FALSE(r.produced);
    ASSERT_EQ(person.boxes.size(), 1);
    EXPECT_EQ(person.boxes[0].kind, int(BoxWarning));
    EXPECT_EQ(person.boxes[0].text, QStringLiteral("Brak pliku schematu XML dla wybranego dokumentu."));

    // A template without a header (found without regard to case): nothing, and no message.
    auto write = [&](const QByteArray& text) {
        QFile f(data + QStringLiteral("/xmltempl/FRMPIT_37.XML"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    };
    write("<Deklaracja xmlns=\"urn:x\"><Podmiot1/></Deklaracja>");
    r = ExportDeclarationXml(QStringLiteral("TFRMPIT_37"), QStringLiteral("6=1\r\n"), {});
    EXPECT_FALSE(r.produced);
    EXPECT_TRUE(r.xml.isEmpty());
    EXPECT_EQ(person.boxes.size(), 1);

    // A damaged template or a damaged box text is a clear error.
    write("<Deklaracja><Naglowek></Deklaracja>");
    EXPECT_THROW(ExportDeclarationXml(QStringLiteral("TFRMPIT_37"), QStringLiteral("6=1\r\n"), {}), XmlError);
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    try {
        ExportDeclarationXml(QStringLiteral("TFRMPIT_37"), QStringLiteral("6=tak\r\n706=0\r\n"), {});
        FAIL();
    } catch (const XmlExportError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QStringLiteral("'tak'"))) << e.what();
    }
    EXPECT_THROW(ExportDeclarationXml(QStringLiteral("TFRMPIT_O"), QString(), {}), XmlExportError);
}

} // namespace
