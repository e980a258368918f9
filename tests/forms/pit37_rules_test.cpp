// The PIT-37 rule file: returns for tax year 2022 worked out by hand from the act (art. 27 ust. 1
// scale 12% less 3 600 zł, 10 800 zł + 32% above 120 000 zł; art. 6 ust. 2 and ust. 4c: twice
// the tax on half the base; art. 63 Ordynacji: bases and tax rounded to whole złoty, 50 gr up),
// the check messages a preparer relies on, and the copies between sections.
#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "support/QtPrint.h"

#include "app/util/Folders.h"
#include "forms/FormDocument.h"
#include "forms/rules/RuleEngine.h"
#include "forms/rules/RuleLinter.h"

namespace {

// A taxpayer whose identification is complete and consistent (PESEL 44051401359 belongs to
// someone born 14.05.1944), so that the worked examples produce no messages at all.
const char* kTaxpayer =
    "1=44051401359\n5=2022\n9=Urząd Skarbowy Warszawa-Mokotów\n509=1471\n10=1\n"
    "12=KOWALSKI\n13=JAN\n14=14.05.1944\n";
// The spouse of the joint returns: PESEL 50032112343, born 21.03.1950.
const char* kSpouse = "2=50032112343\n24=KOWALSKA\n25=ANNA\n26=21.03.1950\n";

class Pit37Form {
public:
    explicit Pit37Form(const QString& text) : doc_(FormDocument::create(QStringLiteral("TFRMPIT_37"))), engine_(*doc_) {
        loaded_ = engine_.LoadRules(QStringLiteral("FRMPIT_37.EXP"));
        Set(text);
    }

    // Applies more document text and recalculates until the document stops changing.
    void Set(const QString& text) {
        doc_->ApplyDocumentText(text);
        settled_ = false;
        for (int pass = 0; pass < 5 && !settled_; ++pass) {
            const QString before = doc_->BuildDocumentText();
            engine_.Recalculate();
            settled_ = doc_->BuildDocumentText() == before;
        }
    }

    bool loaded() const { return loaded_; }
    bool settled() const { return settled_; }
    double Number(int field) const { return doc_->GetFieldText(field).toDouble(); }
    QString Text(int field) const { return doc_->GetFieldText(field); }
    QString Hints() const { return engine_.ErrorHints().join(u'\n'); }
    RuleEngine& engine() { return engine_; }
    FormDocument& doc() { return *doc_; }

private:
    std::unique_ptr<FormDocument> doc_;
    RuleEngine engine_;
    bool loaded_ = false;
    bool settled_ = false;
};

class Pit37Rules : public ::testing::Test {
protected:
    static void SetUpTestSuite() { SetAppFolder(QStringLiteral(SOURCE_ROOT "/data")); }
    static void TearDownTestSuite() { SetAppFolder(QString()); }
};

TEST_F(Pit37Rules, RuleFileIsCleanAndRunsWithoutFailures) {
    // A failing line does nothing and says nothing, so both the linter (fields of the layout,
    // variables set above, an empty and a sample form) and a realistic joint return with every
    // steering box ticked must run through without a single failure.
    Pit37Form form(QStringLiteral("6=1"));
    ASSERT_TRUE(form.loaded());
    for (const LintFinding& f : LintRules(form.engine().Rules(), form.doc().layoutPtr()))
        ADD_FAILURE() << f.line << ": " << f.text.toStdString() << " -> " << f.message.toStdString();

    QStringList failures;
    form.engine().onFailure = [&](int line, const QString& expression, const QString& error) {
        failures << QStringLiteral("%1: %2 (%3)").arg(line + 1).arg(expression, error);
    };
    form.Set(QString::fromUtf8(kTaxpayer) + QString::fromUtf8(kSpouse) +
             "506=1\n52=100000\n53=3000\n56=6800\n122=13710\n87=40000\n88=3000\n91=2200\n123=5484\n"
             "1000=1\n15=Polska\n515=PL\n22=Warszawa\n23=02-495\n4000=1\n659=1\n3000=1\n147=0000012345\n");
    EXPECT_EQ(failures, QStringList());
}

struct WorkedExample {
    const char* name;
    const char* figures;
    std::vector<std::pair<int, double>> expected;
};

TEST_F(Pit37Rules, WorkedExamplesOfTaxYear2022) {
    const WorkedExample examples[] = {
        // One employment contract: revenue 100 000, costs 250 × 12 = 3 000, social contributions
        // 13,71% (9,76 + 1,5 + 2,45) = 13 710, advances 6 800. Income 97 000; base
        // 97 000 - 13 710 = 83 290; tax 83 290 × 12% - 3 600 = 9 994,80 - 3 600 = 6 394,80;
        // tax due 6 395; overpayment 6 800 - 6 395 = 405.
        {"employment",
         "6=1\n52=100000\n53=3000\n56=6800\n122=13710\n",
         {{54, 97000}, {55, 0}, {83, 100000}, {84, 97000}, {85, 0}, {86, 6800}, {127, 83290}, {129, 83290},
          {130, 6394.80}, {135, 6394.80}, {137, 6395}, {138, 0}, {139, 405}, {144, 0}, {145, 405}}},
        // Above the threshold: revenue 180 000, costs 3 000; contributions: pension and disability
        // 11,26% of the capped base 177 660 = 20 004,52 plus sickness 2,45% of 180 000 = 4 410,
        // together 24 414,52. Base 177 000 - 24 414,52 = 152 585,48 -> 152 585; tax
        // 10 800 + 32% × 32 585 = 10 800 + 10 427,20 = 21 227,20 (no second 3 600 off).
        {"above 120 000 zł",
         "6=1\n52=180000\n53=3000\n56=22000\n122=24414.52\n",
         {{54, 177000}, {127, 152585.48}, {129, 152585}, {130, 21227.20}, {135, 21227.20}, {137, 21227},
          {138, 0}, {139, 773}}},
        // Exactly at the threshold both formulas give 10 800; one złoty above adds 32 gr.
        {"base 120 000", "6=1\n52=123000\n53=3000\n56=11000\n",
         {{129, 120000}, {130, 10800}, {137, 10800}, {139, 200}}},
        {"base 120 001", "6=1\n52=123001\n53=3000\n56=11000\n",
         {{129, 120001}, {130, 10800.32}, {137, 10800}, {138, 0}, {139, 200}}},
        // Joint return (art. 6 ust. 2): taxpayer 150 000 - 3 000 - 20 565 (13,71%) = 126 435,
        // spouse 40 000 - 3 000 - 5 484 = 31 516; base 157 951, half 78 975,50;
        // 2 × (78 975,50 × 12% - 3 600) = 2 × 5 877,06 = 11 754,12. Advances 14 000 + 2 200.
        // Separately they would owe 12 859,20 + 181,92.
        {"joint",
         "506=1\n52=150000\n53=3000\n56=14000\n122=20565\n87=40000\n88=3000\n91=2200\n123=5484\n",
         {{54, 147000}, {84, 147000}, {86, 14000}, {89, 37000}, {118, 40000}, {119, 37000}, {121, 2200},
          {127, 157951}, {129, 157951}, {130, 11754.12}, {137, 11754}, {138, 0}, {139, 4446}}},
        // A widow(er) settling with the deceased spouse is taxed the same way.
        {"widow(er)",
         "606=1\n52=150000\n53=3000\n56=14000\n122=20565\n87=40000\n88=3000\n91=2200\n123=5484\n",
         {{127, 157951}, {129, 157951}, {130, 11754.12}, {137, 11754}, {139, 4446}}},
        // Single parent (art. 6 ust. 4c as worded from 2022): 60 000 - 3 000 - 8 226 = 48 774;
        // half 24 387 × 12% = 2 926,44 < 3 600, so no tax (alone it would be 2 252,88). The child
        // relief of 1 112,04 finds no tax and is refunded up to the contributions: social 8 226
        // plus health 9% × (60 000 - 8 226) = 4 659,66, together 12 885,66. Total refund
        // 3 200 + 1 112,04.
        {"single parent",
         "706=1\n52=60000\n53=3000\n56=3200\n122=8226\n140=12885.66\n142=1112.04\n152=1\n",
         {{127, 48774}, {129, 48774}, {130, 0}, {135, 0}, {137, 0}, {138, 0}, {139, 3200}, {144, 1112.04},
          {145, 4312.04}}},
        // Civil contract (art. 13 pkt 8): revenue 20 000, contributions 13,71% = 2 742, costs 20% of
        // 17 258 = 3 451,60; income 16 548,40; base 13 806,40 -> 13 806; 12% is 1 656,72, below
        // 3 600, so the tax is 0 and the 1 657 withheld comes back.
        {"civil contract, 20% costs",
         "6=1\n62=20000\n63=3451.60\n66=1657\n67=20000\n68=3451.60\n122=2742\n",
         {{64, 16548.40}, {65, 0}, {83, 20000}, {84, 16548.40}, {127, 13806.40}, {129, 13806}, {130, 0},
          {137, 0}, {139, 1657}, {145, 1657}}},
        // A loss in one source does not reduce the income of another: employment 50 000 - 3 000
        // = 47 000, copyright 1 000 - 1 500 = loss 500. Base 47 000 - 6 855 = 40 145; tax
        // 4 817,40 - 3 600 = 1 217,40; due 1 217; to pay 1 217 - 1 000 = 217; 1,5% of 1 217 is
        // 18,255, rounded down to 10 gr: 18,20.
        {"loss",
         "6=1\n52=50000\n53=3000\n56=1000\n69=1000\n70=1500\n122=6855\n3000=1\n147=0000012345\n",
         {{54, 47000}, {71, 0}, {72, 500}, {83, 51000}, {84, 47000}, {85, 500}, {127, 40145}, {129, 40145},
          {130, 1217.40}, {137, 1217}, {138, 217}, {139, 0}, {148, 18.20}}},
        // Half a złoty rounds up, also where the even neighbour is below: 37 000,50 -> 37 001;
        // tax 4 440,12 - 3 600 = 840,12; less 1,62 from PIT/O = 838,50 -> 839.
        {"rounding half up",
         "6=1\n52=40000.50\n53=3000\n56=400\n133=1.62\n152=1\n",
         {{54, 37000.50}, {127, 37000.50}, {129, 37001}, {130, 840.12}, {135, 838.50}, {137, 839},
          {138, 439}, {139, 0}}},
        // Deductions: internet relief 760 from income, PIT/D interest 1 000 from income and 500 of
        // housing relief from the tax. Base 97 000 - 13 710 - 760 - 1 000 = 81 530; tax
        // 9 783,60 - 3 600 = 6 183,60; additions 100; PIT/O from the tax 1 112,04 -> 5 171,56;
        // less 500 = 4 671,56 -> 4 672.
        {"deductions",
         "6=1\n52=100000\n53=3000\n56=6800\n122=13710\n124=760\n126=1000\n131=zwrot ulgi\n132=100\n"
         "133=1112.04\n136=500\n152=1\n155=1\n",
         {{127, 81530}, {129, 81530}, {130, 6183.60}, {135, 5171.56}, {137, 4672}, {138, 0}, {139, 2128}}},
    };
    for (const WorkedExample& ex : examples) {
        SCOPED_TRACE(ex.name);
        const QString spouse = QString::fromUtf8(ex.figures).contains(QLatin1String("87=")) ? QString::fromUtf8(kSpouse)
                                                                                              : QString();
        Pit37Form form(QString::fromUtf8(kTaxpayer) + spouse + QString::fromUtf8(ex.figures));
        ASSERT_TRUE(form.loaded());
        EXPECT_TRUE(form.settled());
        for (const auto& [field, value] : ex.expected)
            EXPECT_NEAR(form.Number(field), value, 0.001) << "field " << field << " = " << form.Text(field).toStdString();
        EXPECT_EQ(form.Hints(), QString());
    }
}

TEST_F(Pit37Rules, DeductionsStayWithinEachSpousesIncome) {
    // Contributions of 2 500 against an income of 5 000 - 3 000 = 2 000: the excess of 500 does
    // not reduce the other spouse's income. 0 + (100 000 - 3 000 - 13 710) = 83 290, half
    // 41 645, 2 × (4 997,40 - 3 600) = 2 794,80; either spouse may be the one with the excess.
    const struct {
        const char* figures;
        const char* message;
    } cases[] = {
        {"52=5000\n53=3000\n122=2500\n87=100000\n88=3000\n91=7000\n123=13710\n", "(poz. 122) przekraczają jego dochód"},
        {"87=5000\n88=3000\n123=2500\n52=100000\n53=3000\n56=7000\n122=13710\n", "(poz. 123) przekraczają jego dochód"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.figures);
        Pit37Form form(QString::fromUtf8(kTaxpayer) + QString::fromUtf8(kSpouse) + "506=1\n" + QString::fromUtf8(c.figures));
        EXPECT_NEAR(form.Number(127), 83290, 0.001);
        EXPECT_NEAR(form.Number(130), 2794.80, 0.001);
        EXPECT_TRUE(form.Hints().contains(QString::fromUtf8(c.message))) << form.Hints().toStdString();
    }
}

TEST_F(Pit37Rules, ValidIdentifiersRaiseNoMessage) {
    // PESEL months carry the century: 23 is March 2002, 81 January 1800.
    const char* identifiers[] = {
        "1=02231501015\n14=15.03.2002", "1=99022800123\n14=28.02.1999", "1=65123104569\n14=31.12.1965",
        "1=00810101232\n14=01.01.1800", "1=7770001996",                  "1=5260250995",
        "506=1\n2=9510001233\n24=KOWALSKA\n25=ANNA\n26=21.03.1950",
        "506=1\n2=02231501015\n24=KOWALSKA\n25=ANNA\n26=15.03.2002",
    };
    for (const char* id : identifiers) {
        SCOPED_TRACE(id);
        Pit37Form form(QString::fromUtf8(kTaxpayer) + "6=1\n52=100000\n53=3000\n56=6800\n" + QString::fromUtf8(id));
        EXPECT_EQ(form.Hints(), QString());
    }
}

struct MessageCase {
    const char* change;  // document text applied over a clean return
    const char* message; // a part of the message expected
};

TEST_F(Pit37Rules, ChecksReportWhatIsWrong) {
    const QString clean = QString::fromUtf8(kTaxpayer) + "6=1\n52=100000\n53=3000\n56=6800\n122=13710\n";
    const MessageCase cases[] = {
        {"5=", "Nie wpisano roku podatkowego (poz. 5)."},
        {"5=2021", "dotyczy roku podatkowego 2022"},
        {"1=", "Nie wpisano identyfikatora podatkowego podatnika"},
        {"1=440514013", "musi mieć 10 cyfr (NIP) albo 11 cyfr (PESEL)"},
        {"1=44051401358", "Błędny numer PESEL podatnika (poz. 1)"},
        {"1=1234563217", "Błędny NIP podatnika (poz. 1)"},
        {"14=15.05.1944", "nie zgadza się z numerem PESEL"},
        {"14=", "Wpisz datę urodzenia podatnika (poz. 14)."},
        {"10=0", "Zaznacz cel złożenia"},
        {"510=1", "zaznacz rodzaj korekty (poz. 11)"},
        {"511=1", "zaznacza się tylko przy korekcie"},
        {"6=0", "Nie wybrano sposobu opodatkowania (poz. 6)."},
        {"509=", "Nie wybrano urzędu skarbowego"},
        {"13=", "Wpisz nazwisko i imię podatnika"},
        {"506=1\n24=KOWALSKA\n25=ANNA\n26=21.03.1950", "wpisz identyfikator małżonka"},
        {"506=1\n2=50032112344\n24=KOWALSKA\n25=ANNA\n26=21.03.1950", "Błędny numer PESEL małżonka"},
        {"506=1\n2=50032112343", "wpisz nazwisko i imię małżonka"},
        {"87=1000\n88=250", "tylko przy wspólnym opodatkowaniu"},
        {"53=0", "bez kosztów uzyskania przychodu (poz. 53)"},
        {"52=-100", "części D.1 nie mogą być ujemne"},
        {"122=-1", "nie mogą być ujemne"},
        {"57=120000\n58=1500", "nie mogą przekraczać przychodu lub kosztów swojego wiersza"},
        {"57=10000\n58=6000", "nie mogą przekraczać połowy przychodu"},
        {"61=500", "zaliczkę w wierszu bez przychodu"},
        {"44=90000\n36=1", "przekraczają limit 85 528 zł"},
        {"44=1000", "zaznacz podstawę zwolnienia"},
        {"124=90000\n152=1", "(poz. 124) przekraczają dochód pomniejszony o składki"},
        {"124=760", "wymagają załącznika PIT/O"},
        {"133=7000\n152=1", "przekraczają podatek (poz. 130 i 132)"},
        {"142=500\n140=9000\n152=1", "podatek należny (poz. 137) powinien wynosić 0"},
        {"148=200\n147=0000012345", "nie może przekroczyć 1,5% podatku należnego"},
        {"148=50", "Wpisz numer KRS"},
        {"148=50\n147=12345", "Numer KRS (poz. 147) musi mieć 10 cyfr."},
    };
    Pit37Form form(clean);
    ASSERT_EQ(form.Hints(), QString());
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.change);
        Pit37Form broken(clean + QString::fromUtf8(c.change));
        EXPECT_TRUE(broken.Hints().contains(QString::fromUtf8(c.message))) << broken.Hints().toStdString();
    }
}

TEST_F(Pit37Rules, MessagesFollowCorrections) {
    Pit37Form form(QString::fromUtf8(kTaxpayer) + "6=1\n52=100000\n53=3000\n56=6800\n");
    ASSERT_EQ(form.Hints(), QString());

    form.Set(QStringLiteral("1=44051401358"));
    EXPECT_TRUE(form.Hints().contains(QStringLiteral("PESEL podatnika"))) << form.Hints().toStdString();
    form.Set(QStringLiteral("1=44051401359"));
    EXPECT_EQ(form.Hints(), QString());

    // A NIP needs no date check against the identifier.
    form.Set(QStringLiteral("1=1234563218"));
    EXPECT_EQ(form.Hints(), QString());

    form.Set(QStringLiteral("10=0"));
    EXPECT_TRUE(form.Hints().contains(QStringLiteral("cel złożenia"))) << form.Hints().toStdString();
    form.Set(QStringLiteral("510=1"));
    EXPECT_FALSE(form.Hints().contains(QStringLiteral("cel złożenia"))) << form.Hints().toStdString();
    EXPECT_TRUE(form.Hints().contains(QStringLiteral("rodzaj korekty"))) << form.Hints().toStdString();
    form.Set(QStringLiteral("511=1"));
    EXPECT_EQ(form.Hints(), QString());

    // The figures follow an edit too: costs now 4 500 (several employments).
    form.Set(QStringLiteral("53=4500"));
    EXPECT_NEAR(form.Number(54), 95500, 0.001);
    EXPECT_NEAR(form.Number(130), 95500 * 0.12 - 3600, 0.001);
}

TEST_F(Pit37Rules, AddressCopyAndAccountHolderKeepApostrophes) {
    Pit37Form form(QString::fromUtf8(kTaxpayer) + QString::fromUtf8(kSpouse) +
                   "506=1\n12=O'NEILL\n13=John\n15=Irlandia\n515=ie\n19=O'Connell Street\n20=12\n21=3\n"
                   "22=Dublin\n23=00-950\n31=stara ulica\n1000=1\n4000=1\n559=1\n");
    EXPECT_EQ(form.Text(27), QStringLiteral("Irlandia"));
    EXPECT_EQ(form.Text(527), QStringLiteral("IE"));
    EXPECT_EQ(form.Text(31), QStringLiteral("O'Connell Street"));
    EXPECT_EQ(form.Text(32), QStringLiteral("12"));
    EXPECT_EQ(form.Text(33), QStringLiteral("3"));
    EXPECT_EQ(form.Text(34), QStringLiteral("Dublin"));
    EXPECT_EQ(form.Text(35), QStringLiteral("00-950"));
    EXPECT_EQ(form.Text(160), QStringLiteral("O'NEILL John"));
    EXPECT_EQ(form.Hints(), QString());

    // The spouse chosen as the account holder.
    form.Set(QStringLiteral("659=1"));
    EXPECT_EQ(form.Text(160), QStringLiteral("KOWALSKA ANNA"));

    // Unticked, the spouse's own address is the user's again.
    form.Set(QStringLiteral("1000=0\n31=Długa"));
    EXPECT_EQ(form.Text(31), QStringLiteral("Długa"));
}

} // namespace
