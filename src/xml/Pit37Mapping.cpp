#include "xml/Pit37Mapping.h"

namespace {

QString P(int n) {
    return QStringLiteral("P_") + QString::number(n);
}
QString P(const char* name) {
    return QString::fromLatin1(name);
}

// Elements missing from the template are appended, so the order of the calls below is the
// order of the schema wherever the template leaves an element out.
class Pit37 : public DeclarationMapping {
public:
    QString typeCode() const override { return QStringLiteral("TFRMPIT_37"); }
    QString namespaceUri() const override {
        return QStringLiteral("http://crd.gov.pl/wzor/2023/03/13/12275/");
    }

    QString suggestedFileName(const XmlExport& x) const override {
        return QStringLiteral("PIT-37_") + x.T(12) + u'_' + x.T(13) + QStringLiteral(".xml");
    }

    void Fill(XmlExport& x, XmlNode naglowek) const override {
        const XmlNode root = x.root();
        x.HeaderBlock(naglowek, 10, 510, 5, 509);

        const XmlNode podmiot1 = FindXmlNode(root, QStringLiteral("Podmiot1"));
        x.PersonBlock(FindXmlNode(podmiot1, QStringLiteral("OsobaFizyczna")), {1, 13, 12, 14});
        x.AddressBlock(FindXmlNode(podmiot1, QStringLiteral("AdresZamieszkania")),
                       {515, 16, 17, 18, 19, 20, 21, 22, 23});

        // "Indywidualnie" or "Osoba samotnie wychowująca dzieci": the return has no spouse.
        if (x.BoxValue(6) + x.BoxValue(706) < 1) {
            const XmlNode podmiot2 = FindXmlNode(root, QStringLiteral("Podmiot2"));
            x.PersonBlock(FindXmlNode(podmiot2, QStringLiteral("OsobaFizyczna")), {2, 25, 24, 26});
            if (x.Box(606))
                RemoveXmlChild(podmiot2, QStringLiteral("AdresZamieszkania"));
            else
                x.AddressBlock(FindXmlNode(podmiot2, QStringLiteral("AdresZamieszkania")),
                               {527, 28, 29, 30, 31, 32, 33, 34, 35});
        } else {
            RemoveXmlChild(root, QStringLiteral("Podmiot2"));
        }

        fillPositions(x, FindXmlNode(root, QStringLiteral("PozycjeSzczegolowe")));

        const XmlNode zalaczniki = FindXmlNode(root, QStringLiteral("Zalaczniki"));
        const QString self = QStringLiteral("PIT-37");
        x.FillSingleAttachment(zalaczniki, QStringLiteral("Zalacznik_PIT_O"), QStringLiteral("FRMPIT_O"),
                               self, QStringLiteral("PIT-O"), [&](XmlNode a) { fillPitO(x, a); });
        x.FillSingleAttachment(zalaczniki, QStringLiteral("Zalacznik_PIT_D"), QStringLiteral("FRMPIT_D"),
                               self, QStringLiteral("PIT-D"), [&](XmlNode a) { fillPitD(x, a); });
        x.FillSingleAttachment(zalaczniki, QStringLiteral("Zalacznik_PIT-2K"), QStringLiteral("FRMPIT_2K"),
                               self, QStringLiteral("PIT-2K"), [&](XmlNode a) { fillPit2K(x, a); });
        x.FillSingleAttachment(zalaczniki, QStringLiteral("Zalacznik_ORD-ZU"), QStringLiteral("FRMORD_ZU"),
                               self, QString(), [&](XmlNode a) {
                                   SetXmlChild(FindXmlNode(a, QStringLiteral("PozycjeSzczegolowe")), P(13),
                                               x.T(13, true));
                               });
    }

private:
    static void fillPositions(XmlExport& x, XmlNode poz) {
        SetXmlChild(poz, P(6), x.Choice({{6, "1"}, {506, "2"}, {606, "3"}, {706, "4"}}));
        SetXmlChild(poz, P(7), x.N(7));
        SetXmlChild(poz, P(8), x.N(8));
        // Neither kind of correction chosen: the template decides.
        SetXmlChildIfFilled(poz, P(11), x.Choice({{511, "1"}, {611, "2"}}));

        // Exempt revenue: the taxpayer's boxes first, then the spouse's.
        for (int n : {36, 48, 42, 38, 40, 44, 46, 50, 37, 49, 43, 39, 41, 45, 47, 51})
            SetXmlChild(poz, P(n), x.N(n));

        // A source of income is written as a whole, zeros included, once anything in it is filled.
        static const std::pair<int, int> groups[] = {{52, 58},  {59, 61},   {62, 68},   {69, 75},
                                                     {76, 82},  {83, 86},   {87, 93},   {94, 96},
                                                     {97, 103}, {104, 110}, {111, 117}, {118, 121}};
        for (const auto& [first, last] : groups) {
            if (x.GetXmlFieldRange(first, last).isEmpty()) continue;
            for (int n = first; n <= last; ++n)
                SetXmlChild(poz, P(n), x.T(n));
        }

        for (int n = 122; n <= 137; ++n) {
            const bool asStored = n == 127 || n == 129 || n == 130 || n == 137;
            SetXmlChild(poz, P(n), asStored ? x.T(n) : x.N(n));
        }

        // Neither tax to pay nor overpayment: the tax to pay is written as 0.
        const QString toPay = x.N(138), overpaid = x.N(139);
        SetXmlChild(poz, P(138), toPay);
        SetXmlChild(poz, P(139), overpaid);
        if (toPay == overpaid) SetXmlChild(poz, P(138), QStringLiteral("0"));

        for (int n : {140, 142, 141, 143})
            SetXmlChild(poz, P(n), x.N(n));
        SetXmlChild(poz, P(144), x.T(144));
        SetXmlChild(poz, P(145), x.T(145));
        SetXmlChild(poz, P(146), x.N(146));
        SetXmlChild(poz, P(147), x.T(147));
        SetXmlChild(poz, P(148), x.N(148));
        SetXmlChild(poz, P(149), x.T(149));
        SetXmlChild(poz, P(150), x.N(150));
        SetXmlChild(poz, P(151), x.T(151));
        for (int n = 152; n <= 155; ++n)
            SetXmlChild(poz, P(n), x.N(n));
        SetXmlChild(poz, P(156), x.Choice({{556, "1"}, {656, "2"}}));
        SetXmlChild(poz, P(157), x.Choice({{557, "1"}, {657, "2"}, {757, "3"}}));
        SetXmlChild(poz, P(158), x.T(158));
        SetXmlChild(poz, P("P_159_1"), x.N(559));
        SetXmlChild(poz, P("P_159_2"), x.N(659));
        SetXmlChild(poz, P(160), x.T(160));
        SetXmlChild(poz, P("P_161A"), x.T(561));
        SetXmlChild(poz, P("P_163_2"), x.T(563));
        SetXmlChild(poz, P(162), x.T(162));
        SetXmlChild(poz, P("P_163_1"), x.T(163));
        SetXmlChild(poz, P("P_164_1"), x.N(164));
        SetXmlChild(poz, P("P_164_2"), x.N(564));
    }

    // The spouse's part of an attachment is written when its identifier or surname is filled.
    static void fillSpouse(XmlExport& x, XmlNode attachment, int identifier, int surname,
                           const PersonFields& f, IdentifierRule rule) {
        if (!(x.T(identifier, true) + x.T(surname, true)).trimmed().isEmpty())
            x.PersonBlock(FindXmlNode(attachment, QStringLiteral("Podmiot2")), f, true, rule);
        else
            RemoveXmlChild(attachment, QStringLiteral("Podmiot2"));
    }

    static void fillPitO(XmlExport& x, XmlNode a) {
        x.PersonBlock(FindXmlNode(a, QStringLiteral("Podmiot1")), {1, 6, 5, 7}, true);
        fillSpouse(x, a, 2, 8, {2, 9, 8, 10}, IdentifierRule::NipOrPesel);

        const XmlNode poz = FindXmlNode(a, QStringLiteral("PozycjeSzczegolowe"));
        SetXmlChild(poz, P(4), x.T(4, true));
        for (int n = 11; n <= 42; ++n)
            SetXmlChild(poz, P(n), x.N(n, true));
        SetXmlChild(poz, P(43), x.T(43, true));
        for (int n = 44; n <= 52; ++n)
            SetXmlChild(poz, P(n), x.N(n, true));
        // With deductions summed in 1012 / 1013, P_53 / P_54 are written even when 0.
        SetXmlChild(poz, P(53), x.N(1012, true).isEmpty() ? x.N(53, true) : x.T(53, true));
        SetXmlChild(poz, P(54), x.N(1013, true).isEmpty() ? x.N(54, true) : x.T(54, true));
        SetXmlChild(poz, P("P_52A"), x.N(1012, true));
        SetXmlChild(poz, P("P_52B"), x.N(1013, true));
        SetXmlChild(poz, P(55), x.N(55, true));
        SetXmlChild(poz, P(56), x.N(56, true));
        SetXmlChild(poz, P(57), x.T(57, true));
        SetXmlChild(poz, P(58), x.N(58, true));
        SetXmlChild(poz, P(59), x.N(59, true));
        SetXmlChild(poz, P(60), x.T(60, true));
        SetXmlChild(poz, P(61), x.T(61, true));

        x.FillRepeatingRows(
            poz, QStringLiteral("P_D"), [&](int i) { return x.T(100 * i + 71, true); },
            [&](XmlNode row, int i) {
                SetXmlChild(row, P("P_D1"), x.T(100 * i + 71, true));
                SetXmlChild(row, P("P_D3"), x.T(100 * i + 73, true));
                SetXmlChild(row, P("P_D4"), x.T(100 * i + 74, true));
                SetXmlChild(row, P("P_D5"), x.T(100 * i + 75, true));
            });

        x.FillRepeatingRows(
            poz, QStringLiteral("P_E"),
            [&](int i) {
                const int b = 100 * i + 100;
                return x.T(b + 1, true) + x.T(b + 2, true) + x.T(b + 3, true);
            },
            [&](XmlNode row, int i) {
                const int b = 100 * i + 100;
                const QString identifier = x.T(b + 1, true);
                if (!identifier.isEmpty()) {
                    SetXmlChild(row, P("P_E1"), identifier);
                    for (const char* name : {"P_E2", "P_E3", "P_E4"})
                        RemoveXmlChild(row, P(name));
                } else {
                    RemoveXmlChild(row, P("P_E1"));
                    SetXmlChild(row, P("P_E2"), x.T(b + 2, true));
                    SetXmlChild(row, P("P_E3"), x.T(b + 3, true));
                    SetXmlChild(row, P("P_E4"), x.D(b + 4, true));
                }
                for (int k = 5; k <= 10; ++k)
                    SetXmlChild(row, QStringLiteral("P_E") + QString::number(k), x.N(b + k, true));
            });
    }

    static void fillPitD(XmlExport& x, XmlNode a) {
        const auto rule = IdentifierRule::NipOrPeselRemoveOther;
        x.PersonBlock(FindXmlNode(a, QStringLiteral("Podmiot1")), {1, 5, 4, 6}, true, rule);
        fillSpouse(x, a, 2, 7, {2, 8, 7, 9}, rule);

        const XmlNode poz = FindXmlNode(a, QStringLiteral("PozycjeSzczegolowe"));
        for (int n = 10; n <= 12; ++n)
            SetXmlChild(poz, P(n), x.T(n, true));
        for (int n = 13; n <= 16; ++n)
            SetXmlChild(poz, P(n), x.N(n, true));
        // The second deduction is written only with its kind.
        if (!x.T(17, true).isEmpty()) {
            for (int n = 17; n <= 22; ++n)
                SetXmlChild(poz, P(n), x.T(n, true));
            for (int n = 23; n <= 26; ++n)
                SetXmlChild(poz, P(n), x.N(n, true));
        }
        for (int n = 27; n <= 31; ++n)
            SetXmlChild(poz, P(n), x.T(n, true));
        for (int n = 32; n <= 35; ++n)
            SetXmlChild(poz, P(n), x.N(n, true));
    }

    static void fillPit2K(XmlExport& x, XmlNode a) {
        x.PersonBlock(FindXmlNode(a, QStringLiteral("Podmiot1")), {1, 4, 3, 5}, true);
        fillSpouse(x, a, 2, 6, {2, 7, 6, 8}, IdentifierRule::NipOrPesel);

        const XmlNode poz = FindXmlNode(a, QStringLiteral("PozycjeSzczegolowe"));
        SetXmlChildIfFilled(poz, P(9), x.Choice({{9, "1"}, {209, "2"}, {309, "3"}, {409, "4"}}, true));
        for (int n = 10; n <= 15; ++n)
            SetXmlChild(poz, P(n), x.T(n, true));
    }
};

} // namespace

const DeclarationMapping& Pit37Mapping() {
    static const Pit37 mapping;
    return mapping;
}
