// The rule engine over a small form: line shapes, references and their value modes,
// variables, DYNSUM, ITERATION, ERROR lines, and the reuse of results across passes.
#include <gtest/gtest.h>

#include "support/QtPrint.h"
#include "support/ScriptedInteraction.h"
#include "forms/FormDocument.h"
#include "forms/rules/RuleEngine.h"

namespace {

const char* kLayout = R"LAY(
form frmRules "TEST"
field 5 masked mask="\2\0##;1;_" "Rok"
field 6 radio group=6 "A"
field 506 radio group=6 "B"
field 12 text "Nazwisko"
field 14 masked mask="99.99.9999;1;_" "Data"
field 19 text "Ulica"
field 31 text "Ulica małżonka"
field 44 amount "Kwota"
field 45 amount "Kwota 2"
field 100 amount calc "Suma"
field 101 amount calc "Wynik"
field 102 whole calc "Całość"
field 120 amount calc "Dochód"
field 1000 count key=SERIA calc "Liczba"
series 1 count=1000 "Wiersz @"
field 11 amount "Przychód"
field 15 amount "Przychód"
field 16 amount "Koszty"
field 20 amount calc "Dochód"
endseries
)LAY";

class Rules : public ::testing::Test {
protected:
    std::unique_ptr<FormDocument> doc;
    std::unique_ptr<RuleEngine> engine;
    void SetUp() override {
        static auto layout = std::make_shared<FormLayout>(FormLayout::parse(QString::fromUtf8(kLayout)));
        doc = std::make_unique<FormDocument>(layout);
        engine = std::make_unique<RuleEngine>(*doc);
    }
    QString run(const QStringList& rules, const QString& docText, int field) {
        SetUp();
        doc->ApplyDocumentText(docText);
        engine->SetRules(rules);
        engine->Recalculate();
        return doc->GetFieldText(field);
    }
};

TEST_F(Rules, LineShapesAndReferences) {
    struct Case {
        QStringList rules;
        const char* doc;
        int field;
        const char* expected;
    } cases[] = {
        {{"100=[44]+[45]"}, "44=10.5\n45=2.25", 100, "12.75"},
        {{"102=[44]+[45]"}, "44=10.5\n45=2.25", 102, "13"}, // the field rounds to its decimals
        {{"IF [6]=1 THEN 120=[44] ELSE 120=0"}, "6=1\n44=7", 120, "7"},
        {{"IF [6]=1 THEN 120=[44] ELSE 120=0"}, "506=1\n44=7\n120=3", 120, "0"},
        // a lower-case else is part of the then-action, which then fails and clears the target
        {{"IF [6]=1 THEN 120=[44] else 120=0"}, "6=1\n44=7\n120=3", 120, "0"},
        {{"IF [6]=1 THEN 120=[44] else 120=0"}, "506=1\n44=7\n120=3", 120, "3"},
        {{"if [6]=1 then 120=5"}, "6=1", 120, "5"},
        {{"X=[44]*2", "101=[X]"}, "44=4", 101, "8"},
        {{"101=[X]", "X=[44]*2"}, "44=4", 101, "0"}, // a variable assigned below is not seen yet
        {{"101=[999]+1"}, "", 101, "1"},          // a field the form lacks reads as 0
        {{"101=1+"}, "101=5", 101, "0"},          // a failing expression clears its target
        {{"garbage line", "101=2"}, "", 101, "2"},
        {{"12=STR [5]+[12]"}, "5=2010\n12=KOWALSKA", 12, "2010KOWALSKA"},
        {{"12=[5]+[12]"}, "5=2010\n12=KOWALSKA", 12, "2010KOWALSKA"}, // mode switches on the text
        {{"101=IF([44]>100,1,2)"}, "44=20", 101, "2"},
        {{"101=IF([44]>100,5,2)+LENGTH('')"}, "44=20", 101, "5"}, // string mode: '20'>'100' compares texts
        {{"12=STR[14]"}, "", 12, "  .  .    "},
        // an inserted value is not scanned again, brackets and all
        {{"31=[19]"}, "19=ul. [44] 5", 31, "ul. [44] 5"},
        // an apostrophe inside a value survives (doubled on insertion)
        {{"31=STR[19]"}, "19=O'NEILL", 31, "O'NEILL"},
        {{"31=[19]+' '+[12]"}, "19=Rue d'Arc\n12=X", 31, "Rue d'Arc X"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.rules, QString::fromUtf8(c.doc), c.field), QString::fromUtf8(c.expected)) << c.rules.join(" | ").toStdString();
    }
}

TEST_F(Rules, DynSumAndIteration) {
    doc->ExpandSeries(QStringLiteral("3;"));
    doc->ApplyDocumentText(QStringLiteral("115=100\r\n116=30\r\n215=50\r\n216=60\r\n315=10\r\n111=1\r\n211=2\r\n311=4\r\n"));
    engine->SetRules({"ITERATION=20;100;seriesCountEdt_1;[@15]-[@16]", "100=DYNSUM([111],100,seriesCountEdt_1)",
                      "101=DYNSUM([120],100,3)", "102=DYNSUM(nonsense)"});
    engine->Recalculate();
    EXPECT_EQ(doc->GetFieldText(120), QStringLiteral("70"));
    EXPECT_EQ(doc->GetFieldText(220), QStringLiteral("-10"));
    EXPECT_EQ(doc->GetFieldText(320), QStringLiteral("10"));
    EXPECT_EQ(doc->GetFieldText(100), QStringLiteral("7"));
    EXPECT_EQ(doc->GetFieldText(101), QStringLiteral("70"));
    EXPECT_EQ(doc->GetFieldText(102), QStringLiteral("0"));
    EXPECT_EQ(engine->ExpandDynSum(QStringLiteral("DYNSUM([111],100,seriesCountEdt_1)")),
              QStringLiteral("SUM([111],[211],[311])"));
    EXPECT_EQ(engine->ExpandDynSum(QStringLiteral("DYNSUM(111,100,3)")), QStringLiteral("Wrong input data!"));

    SetUp(); // no rows: the sum is empty and its target 0
    doc->ApplyDocumentText(QStringLiteral("100=5"));
    engine->SetRules({"100=DYNSUM([111],100,seriesCountEdt_1)"});
    engine->Recalculate();
    EXPECT_EQ(doc->GetFieldText(100), QStringLiteral("0"));
}

TEST_F(Rules, ErrorHintsKeepTheirLetters) {
    engine->SetRules({"ERROR1=IF([44]<0,'Kwota nie może być ujemna','')", "  ERROR2='wcięta linia się nie liczy'",
                      "Errors='Bez znaku równości też'", "101=[ERROR1]"});
    doc->SetFieldText(44, QStringLiteral("-5"));
    engine->Recalculate();
    EXPECT_EQ(engine->ErrorHints(), QStringList{QStringLiteral("Kwota nie może być ujemna")} << QStringLiteral("Bez znaku równości też"));
    EXPECT_EQ(engine->GetVariable(QStringLiteral("error1")), QStringLiteral("KWOTA NIE MOŻE BYĆ UJEMNA"));
    doc->SetFieldText(44, QStringLiteral("5"));
    engine->Recalculate();
    EXPECT_EQ(engine->ErrorHints(), QStringList{QStringLiteral("Bez znaku równości też")});
    EXPECT_FALSE(engine->Evaluator().caseSensitive);
}

TEST_F(Rules, SwitchedOffRulesChangeNothing) {
    engine->SetRules({"100=[44]*2"});
    engine->disabled = true;
    doc->SetFieldText(44, QStringLiteral("3"));
    engine->Recalculate();
    EXPECT_EQ(doc->GetFieldText(100), QStringLiteral("0"));
}

TEST_F(Rules, MessageBoxesShowOnEveryPass) {
    ScriptedInteraction person;
    engine->SetRules({"MESSAGEBOX('Uwaga')"});
    engine->Recalculate();
    engine->Recalculate();
    ASSERT_EQ(person.boxes.size(), 2);
    EXPECT_EQ(person.boxes[0].text, QStringLiteral("UWAGA"));
}

// Reusing results must give exactly what evaluating every line afresh gives, pass after pass,
// while values change under the rules.
TEST_F(Rules, ReusedResultsEqualFreshEvaluation) {
    const QStringList rules = {
        "IF [6]=1 THEN 100=[44]+[45] ELSE 100=[44]-[45]", "X=[100]*3", "101=[X]/7", "102=BCROUND([101],1)",
        "12=STR[5]+[12]", "120=IF([44]>[45],[44],[45])", "31=[19]", "ERROR1=IF([100]<0,'ujemna '+[12],'')",
        "101=[44]+[12]", "ITERATION=20;100;seriesCountEdt_1;[@15]-[@16]"};
    auto a = std::make_unique<FormDocument>(doc->layoutPtr());
    auto b = std::make_unique<FormDocument>(doc->layoutPtr());
    RuleEngine cached(*a), fresh(*b);
    fresh.useCache = false;
    cached.SetRules(rules);
    fresh.SetRules(rules);
    const char* steps[] = {"6=1\n44=10\n45=2.5\n5=2022\n12=A", "44=-3", "506=1", "19=x [44] y", "45=abc",
                           "12=O'Brien", "44=1e3", "44=1,5", "6=1"};
    a->ExpandSeries(QStringLiteral("2;"));
    b->ExpandSeries(QStringLiteral("2;"));
    for (const char* s : steps) {
        a->ApplyDocumentText(QString::fromUtf8(s));
        b->ApplyDocumentText(QString::fromUtf8(s));
        for (int pass = 0; pass < 2; ++pass) {
            cached.Recalculate();
            fresh.Recalculate();
            EXPECT_EQ(a->BuildDocumentText(), b->BuildDocumentText()) << s;
            EXPECT_EQ(cached.ErrorHints(), fresh.ErrorHints()) << s;
            EXPECT_EQ(cached.Variables(), fresh.Variables()) << s;
        }
    }
}

} // namespace
