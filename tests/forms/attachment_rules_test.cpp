// The rule files of the PIT-37 attachments for tax year 2022. The child relief of PIT/O is worked
// out by hand from art. 27f: 1 112,04 zł a year for the first and for the second child, 2 000,04 zł
// for the third, 2 700 zł for the fourth and each further one, 1/12 of that for every month
// (92,67 / 166,67 / 225 zł). Then the limits of the deductions from income, the check messages,
// the totals of PIT/D and the attachment list of the declarations.
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "support/QtPrint.h"

#include "app/util/Encoding.h"
#include "app/util/Folders.h"
#include "forms/FormDocument.h"
#include "forms/FormTypes.h"
#include "forms/rules/RuleEngine.h"

namespace {

// Taxpayer and spouse with complete identification; children with valid PESEL numbers.
const char* kTaxpayer = "1=44051401359\n5=KOWALSKI\n6=JAN\n";
const char* kSpouse = "2=50032112343\n8=KOWALSKA\n9=ANNA\n";
const char* kChildren = "201=15232901234\n301=17261001239\n401=19310204567\n501=21211507898\n";

class Attachment {
public:
    Attachment(const char* type, const char* rules, const char* series, const QString& text)
        : doc_(FormDocument::create(QString::fromLatin1(type))), engine_(*doc_) {
        doc_->ExpandSeries(QString::fromLatin1(series));
        doc_->ApplyDocumentText(text);
        loaded_ = engine_.LoadRules(QString::fromLatin1(rules)); // runs the first pass
        // The rules compute in file order, so one pass settles the form: a second changes nothing.
        const QString once = doc_->BuildDocumentText();
        engine_.Recalculate();
        settled_ = doc_->BuildDocumentText() == once;
    }
    void Set(const QString& text) {
        doc_->ApplyDocumentText(text);
        engine_.Recalculate();
    }
    bool ok() const { return loaded_ && settled_; }
    double Number(int field) const { return doc_->GetFieldText(field).toDouble(); }
    QStringList Hints() const { return engine_.ErrorHints(); }
    bool HasHint(const QString& text) const {
        for (const QString& h : engine_.ErrorHints())
            if (h.contains(text)) return true;
        return false;
    }

private:
    std::unique_ptr<FormDocument> doc_;
    RuleEngine engine_;
    bool loaded_ = false, settled_ = false;
};

class AttachmentRules : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SetAppFolder(QStringLiteral(SOURCE_ROOT "/data")); }
    static void TearDownTestSuite() { SetAppFolder(QString()); }
};

struct ChildCase {
    const char* name;
    const char* series;
    const char* figures;
    std::vector<std::pair<int, double>> expected;
    bool clean;
};

TEST_F(AttachmentRules, PitOChildRelief) {
    // Box 3000 "Wylicz": each child's relief goes to the taxpayer less what the spouse takes, and
    // the sums of part E (1012, 1013) are carried into part C (53, 54) and its totals (60, 61).
    const ChildCase cases[] = {
        {"one child, whole year", "0;1;", "552=1\n205=12\n",
         {{208, 1112.04}, {209, 1112.04}, {211, 1}, {52, 1}, {1012, 1112.04}, {53, 1112.04}, {60, 1112.04}}, true},
        {"two children", "0;2;", "205=12\n305=12\n",
         {{308, 1112.04}, {311, 2}, {52, 2}, {1012, 2224.08}, {60, 2224.08}}, true},
        {"four children", "0;4;", "205=12\n305=12\n405=12\n505=12\n",
         {{408, 2000.04}, {508, 2700}, {52, 4}, {1012, 6924.12}, {53, 6924.12}, {60, 6924.12}}, true},
        // Born in July: six months of the third child's rate, 6 × 166,67.
        {"third child for six months", "0;3;", "205=12\n305=12\n405=6\n",
         {{408, 1000.02}, {1012, 3224.10}}, true},
        // Minor until her birthday, then an adult learning child: the months add up to 12;
        // an adult child with the care allowance for three months: 3 × 92,67.
        {"months in two categories", "0;2;", "205=5\n207=7\n306=3\n",
         {{208, 1112.04}, {308, 278.01}, {1012, 1390.05}}, true},
        // A child without months keeps no number: the next child is still the second.
        {"row without months", "0;3;", "205=12\n405=12\n",
         {{211, 1}, {311, 1}, {411, 2}, {308, 0}, {408, 1112.04}, {52, 2}, {1012, 2224.08}}, false},
        {"spouse takes part", "0;2;", "205=12\n305=12\n310=300\n",
         {{209, 1112.04}, {309, 812.04}, {1012, 1924.08}, {1013, 300}, {53, 1924.08}, {54, 300},
          {60, 1924.08}, {61, 300}}, true},
    };
    for (const ChildCase& c : cases) {
        SCOPED_TRACE(c.name);
        Attachment form("TFRMPIT_O", "FRMPIT_O.EXP", c.series,
                        QString::fromUtf8(kTaxpayer) + QString::fromUtf8(kSpouse) + QString::fromUtf8(kChildren) +
                            "3000=1\n" + QString::fromUtf8(c.figures));
        ASSERT_TRUE(form.ok());
        for (const auto& [field, value] : c.expected) EXPECT_DOUBLE_EQ(form.Number(field), value) << "field " << field;
        if (c.clean) {
            EXPECT_EQ(form.Hints(), QStringList());
        }
    }
}

TEST_F(AttachmentRules, PitODeductionsFromIncomeAndTheirLimits) {
    // Internet 760 zł per person; IKZE 2022: 1,2 × 5 922 = 7 106,40 zł (1,8 × = 10 659,60 zł in
    // business); donations for public benefit, worship and blood together up to 6% of income.
    Attachment form("TFRMPIT_O", "FRMPIT_O.EXP", "1;0;",
                    QString::fromUtf8(kTaxpayer) + QString::fromUtf8(kSpouse) +
                        "13=800\n14=760\n15=7106.40\n16=7106.41\n17=2600\n21=1000\n25=53000\n1500=60000\n"
                        "173=Fundacja\n174=3600\n");
    ASSERT_TRUE(form.ok());
    EXPECT_DOUBLE_EQ(form.Number(46), 64506.40);
    EXPECT_DOUBLE_EQ(form.Number(47), 7866.41);
    EXPECT_EQ(form.Hints(),
              QStringList({"Ulga na Internet podatnika (poz. 13) nie może przekroczyć 760 zł.",
                           "Wpłaty na IKZE małżonka (poz. 16) przekraczają limit 2022 r. 7 106,40 zł - wyższy limit "
                           "10 659,60 zł mają tylko osoby prowadzące pozarolniczą działalność gospodarczą."}));
    form.Set(QStringLiteral("1500=59999\n"));
    EXPECT_TRUE(form.HasHint(QStringLiteral("przekraczają 6% dochodu")));
}

TEST_F(AttachmentRules, PitOCheckMessages) {
    const struct {
        const char* name;
        const char* series;
        const char* figures;
        const char* message; // empty: the form is clean
    } cases[] = {
        {"child without any identification", "0;1;", "201=\n205=12\n552=1\n",
         "Dziecko nr 1 (część E): wpisz numer PESEL albo nazwisko, imię i datę urodzenia."},
        {"child identified by name and date of birth", "0;1;",
         "201=\n202=NOWAK\n203=ADAM\n204=01.02.2015\n205=12\n552=1\n", ""},
        {"wrong check digit", "0;1;", "201=15232901235\n205=12\n552=1\n", "Dziecko nr 1 (część E): błędny numer PESEL."},
        {"more than 12 months", "0;2;", "205=12\n305=8\n306=5\n",
         "Dziecko nr 2 (część E): łączna liczba miesięcy nie może przekroczyć 12."},
        {"negative amount", "0;0;", "11=-5\n", "Kwoty odliczeń i darowizn nie mogą być ujemne."},
        {"one child, income above 56 000 zł", "0;1;", "205=12\n752=1\n1500=56000.01\n",
         "Przy jednym dziecku dochód przekracza limit"},
        {"one child, married, income within 112 000 zł", "0;1;", "205=12\n552=1\n1500=112000\n", ""},
        {"relief above part E", "0;1;", "205=12\n552=1\n3000=0\n209=1112.04\n53=1200\n",
         "Ulga na dzieci podatnika (poz. 53) przekracza kwotę przysługującą mu według części E."},
        {"spouse's column without spouse", "0;0;", "12=100\n",
         "Kwoty w kolumnie małżonka wypełnia się tylko wtedy, gdy podano dane małżonka (poz. 2 lub 8)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Attachment form("TFRMPIT_O", "FRMPIT_O.EXP", c.series,
                        QString::fromUtf8(kTaxpayer) + QString::fromUtf8(kChildren) + QString::fromUtf8(c.figures));
        ASSERT_TRUE(form.ok());
        const QString message = QString::fromUtf8(c.message);
        if (message.isEmpty()) {
            EXPECT_EQ(form.Hints(), QStringList());
        } else {
            EXPECT_TRUE(form.HasHint(message)) << form.Hints().join(u'\n').toStdString();
        }
    }
}

TEST_F(AttachmentRules, PitDTotals) {
    // Interest relief 1 500 + 500 (box 16 -> PIT-37 box 126); loan of 1992 repaid 1 000 less
    // 200 refunded plus 700 carried from past years, 900 deducted (26 -> 128); tax part 300 + 400,
    // 600 deducted (34 -> 136), 100 left for later years.
    Attachment form("TFRMPIT_D", "FRMPIT_D.EXP", "",
                    QString::fromUtf8("1=44051401359\n4=KOWALSKI\n5=JAN\n2=50032112343\n7=KOWALSKA\n8=ANNA\n"
                                      "11=2500\n12=2000\n13=1500\n14=500\n17=spłata kredytu z 1993 r.\n"
                                      "18=1000\n19=200\n20=700\n23=900\n28=300\n29=400\n32=600\n"));
    ASSERT_TRUE(form.ok());
    const std::pair<int, double> expected[] = {{15, 0},   {16, 2000}, {22, 1500}, {25, 600},
                                               {26, 900}, {31, 700},  {34, 600},  {35, 100}};
    for (const auto& [field, value] : expected) EXPECT_DOUBLE_EQ(form.Number(field), value) << "field " << field;
    EXPECT_EQ(form.Hints(), QStringList());
}

TEST_F(AttachmentRules, AttachmentListNamesEachDeclarationOnce) {
    // The list of a declaration is the first line that contains its window name, so a name
    // contained in a longer type code (FRMPIT_36 in TFRMPIT_36L) must have its line first.
    QFile f(DataFolder() + QStringLiteral("zalaczniki.dat"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = FromWin1250(f.readAll()).toUpper().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (const FormType& t : AllFormTypes()) {
        if (t.role != FormRole::Declaration) continue;
        SCOPED_TRACE(t.typeCode().toStdString());
        QStringList line;
        for (const QString& l : lines)
            if (l.contains(t.windowName())) {
                line = l.split(u';');
                break;
            }
        ASSERT_FALSE(line.isEmpty());
        EXPECT_EQ(line[0], t.typeCode());
        EXPECT_TRUE(line.contains(QStringLiteral("TFRMORD_ZU")));
        for (const QString& code : line.mid(1)) {
            const FormType* a = FindFormType(code);
            ASSERT_NE(a, nullptr) << code.toStdString();
            EXPECT_NE(a->role, FormRole::Declaration) << code.toStdString();
        }
    }
    EXPECT_EQ(lines.value(lines.indexOf(QRegularExpression(QStringLiteral("^TFRMPIT_37;.*")))),
              QStringLiteral("TFRMPIT_37;TFRMPIT_O;TFRMPIT_D;TFRMPIT_2K;TFRMORD_ZU"));
}

} // namespace
