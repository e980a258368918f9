// The expression language: lexing, typing, operators, built-in and host functions, the
// evaluator's value modes and references, and the import engine's variant.
#include <gtest/gtest.h>

#include <QDate>
#include <QHash>
#include <QString>

#include "support/QtPrint.h"
#include "support/ScriptedInteraction.h"

#include "forms/expr/ConditionEvaluator.h"
#include "forms/expr/ExprNodes.h"
#include "forms/expr/ExprValue.h"

namespace {

struct Case {
    QString expression;
    QString expected;
};

QString Evaluate(TConditionEvaluator& evaluator, const QString& expression) {
    evaluator.setCondition(expression);
    return evaluator.EvaluateText();
}

void ExpectValues(TConditionEvaluator& evaluator, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression.left(80).toStdString());
        EXPECT_EQ(Evaluate(evaluator, c.expression), c.expected);
        EXPECT_EQ(evaluator.lastError(), QString());
    }
}

void ExpectErrors(TConditionEvaluator& evaluator, std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression.left(80).toStdString());
        EXPECT_EQ(Evaluate(evaluator, c.expression), QString());
        EXPECT_EQ(evaluator.lastError(), c.expected);
    }
}

// References from a table, as a host would supply them.
class TableEvaluator : public TConditionEvaluator {
public:
    QHash<QString, QString> values;
    QStringList asked;
    QString GetReferenceValue(const QString& name) override {
        asked.append(name);
        return values.value(name);
    }
};

TEST(ExprOperators, PrecedenceAssociativityAndIntegerArithmetic) {
    TConditionEvaluator e;
    ExpectValues(e, {
                        {"7 DIV 2", "3"},
                        {"-7 DIV 2", "-3"},
                        {"-7 MOD 2", "-1"},
                        {"7 MOD -2", "1"},
                        {"7/2", "3.5"},
                        {"6/2", "3"},
                        {"2^10", "1024"},
                        {"2^-1", "0.5"},
                        {"2^0.5", "1.4142135623731"},
                        {"1+2*3", "7"},
                        {"(1+2)*3", "9"},
                        {"10-4-3", "3"},
                        {"2*3 DIV 4", "1"},
                        {"1<2=TRUE", "TRUE"},
                        {"-2^2", "4"},
                        {"--3", "3"},
                        {"+3", "3"},
                        {" \t1\r\n+\n2 ", "3"},
                        {"$FF", "255"},
                        {"$ff+1", "256"},
                        {"$FFFFFFFF", "-1"},
                        {"NOT 0", "-1"},
                        {"5 AND 3", "1"},
                        {"5 or 3", "7"},
                        {"5 XOR 3", "6"},
                        {"1 SHL 31", "-2147483648"},
                        {"1 SHL 33", "2"},
                        {"-1 SHR 28", "15"},
                        {"TRUE+1", "2"},
                        {"TRUE AND 3", "1"},
                        {"007", "7"},
                        {"2147483647", "2147483647"},
                        // computed integers do not wrap at 32 bits
                        {"2147483647+1", "2147483648"},
                        {"100000*100000", "10000000000"},
                        {"-2147483647-1", "-2147483648"},
                        {"(0-2147483647-1) DIV -1", "2147483648"},
                    });
}

TEST(ExprOperators, BooleansAndShortCircuit) {
    TConditionEvaluator e;
    ExpectValues(e, {
                        {"TRUE AND FALSE", "FALSE"},
                        {"TRUE OR FALSE", "TRUE"},
                        {"TRUE XOR TRUE", "FALSE"},
                        {"NOT TRUE", "FALSE"},
                        {"NOT 1=2", "FALSE"}, // (NOT 1) = 2: -2 = 2
                        {"TRUE=TRUE", "TRUE"},
                        {"TRUE<>FALSE", "TRUE"},
                        {"TRUE=1", "TRUE"},
                        {"FALSE AND (1/0=1)", "FALSE"},
                        {"TRUE OR (1/0=1)", "TRUE"},
                    });
}

TEST(ExprOperators, ComparisonsByCommonType) {
    TConditionEvaluator e;
    ExpectValues(e, {
                        {"5='5'", "TRUE"},
                        {"5.0='5'", "TRUE"},
                        {"10<9", "FALSE"},
                        {"10<'9'", "TRUE"}, // as texts
                        {"'B'>'A'", "TRUE"},
                        {"'AB'<'ABC'", "TRUE"},
                        {"'ABC'<='ABC'", "TRUE"},
                        {"'ABC'>='ABD'", "FALSE"},
                        // code page order: Ś is 8C, Ą is A5 (the other way round in Unicode)
                        {"'Ś'<'Ą'", "TRUE"},
                        {"'Ą'>'Z'", "TRUE"},
                        {"2=2.0", "TRUE"},
                        {"1.5<>1.5", "FALSE"},
                        {"0.1+0.2=0.3", "FALSE"}, // exact, no tolerance
                        {"3>2.5", "TRUE"},
                    });
}

TEST(ExprOperators, StringsConcatenate) {
    TConditionEvaluator e;
    ExpectValues(e, {
                        {"'AB'+'C'", "ABC"},
                        {"'A'+1", "A1"},
                        {"1+'A'", "1A"},
                        {"'A'+1.5", "A1.5"},
                        {"'A'+TRUE", "ATRUE"},
                        {"'IT''S'", "IT'S"},
                        {"''", ""},
                        {"''''", "'"},
                        {"'A'+2*3", "A6"},
                        {"'1'+1=11", "TRUE"},
                    });
}

TEST(ExprValues, FloatTexts) {
    TConditionEvaluator e;
    ExpectValues(e, {
                        {"0.1+0.2", "0.3"},
                        {"1/3", "0.333333333333333"},
                        {"2/3", "0.666666666666667"},
                        {"1e5", "100000"},
                        {"1E20", "1E20"},
                        {"1E-5", "1E-5"},
                        {"1.5E-7", "1.5E-7"},
                        {"0.0001", "0.0001"},
                        {"0.00012", "0.00012"},
                        {"1E15", "1E15"},
                        {"123456789012345.0", "123456789012345"},
                        {"1234567890123456.0", "1.23456789012346E15"},
                        {"-1.5", "-1.5"},
                        {"0-0.0", "0"},
                        {"1.", "1"},
                        {"1E-400", "0"},
                        {"12.50", "12.5"},
                    });
}

TEST(ExprValues, TextOfFloatsFollowsTheThresholds) {
    EXPECT_EQ(FloatText(99999.5), QStringLiteral("99999.5"));
    EXPECT_EQ(FloatText(0.000099), QStringLiteral("9.9E-5"));
    EXPECT_EQ(FloatText(-2.5e-9), QStringLiteral("-2.5E-9"));
    EXPECT_EQ(FloatText(999999999999999.9), QStringLiteral("1E15"));
    EXPECT_EQ(FloatText(1e300), QStringLiteral("1E300"));
}

TEST(ExprFunctions, BuiltIns) {
    TConditionEvaluator e;
    ExpectValues(e, {
                        {"IF(1>2,'A','B')", "B"},
                        {"IF(TRUE,1,'A')+1", "2"},
                        {"IF(FALSE,1,'A')+1", "A1"},
                        {"IF(TRUE,1,1/0)", "1"},        // the other branch is not read
                        {"IF(FALSE,SQRT('X'),2)", "2"}, // nor are its arguments checked
                        {"(STRING(1)+1)", "11"},        // a leading STRING would be taken for the STR prefix
                        {"LENGTH(STRING(123))", "3"},
                        {"FLOAT(3)", "3"},
                        {"TRUNC(-2.7)", "-2"},
                        {"TRUNC(3000000000.5)", "3000000000"},
                        {"ROUND(2.5)", "2"},
                        {"ROUND(3.5)", "4"},
                        {"ROUND(-2.5)", "-2"},
                        {"ROUND(2.51)", "3"},
                        {"ROUND(7)", "7"},
                        {"ROUND(2.5)/2", "1"},
                        {"ABS(-3)", "3"},
                        {"ABS(-1.25)", "1.25"},
                        {"INT(-2.7)", "-2"},
                        {"FRAC(2.75)", "0.75"},
                        {"SQR(3)", "9"},
                        {"SQRT(16)", "4"},
                        {"PI", "3.14159265358979"},
                        {"PI(1,2)", "3.14159265358979"},
                        {"POWER(2,10)", "1024"},
                        {"POWER(-2,3)", "-8"},
                        {"EXP(0)", "1"},
                        {"LN(1)", "0"},
                        {"ARCTAN(1)*4", "3.14159265358979"},
                        {"COS(0)", "1"},
                        {"SIN(0)", "0"},
                        {"LOWER('ĄB')", "ąb"},
                        {"COPY('ABCDEF',2,3)", "BCD"},
                        {"COPY('ABCDEF',0,3)", "ABC"},
                        {"COPY('ABCDEF',5,10)", "EF"},
                        {"COPY('ABC',4,1)", ""},
                        {"COPY('ABC',2,-1)", ""},
                        {"COPY('ABC',TRUE,2)", "AB"},
                        {"POS('C','ABCD')", "3"},
                        {"POS('X','ABCD')", "0"},
                        {"POS('','ABCD')", "0"},
                        {"LENGTH('')", "0"},
                        {"LENGTH('ŻÓŁW')", "4"},
                        {"LENGTH(12.5)", "4"},
                    });
    // FLOAT(7) is a Float, so DIV does not apply to it
    EXPECT_EQ(Evaluate(e, QStringLiteral("FLOAT(7) DIV 2")), QString());
    EXPECT_EQ(e.lastError(), QStringLiteral("Operator opDiv incompatible with Float"));
}

TEST(ExprFunctions, HostFunctionsOfTheFormEngine) {
    TConditionEvaluator e;
    ExpectValues(e, {
                        {"SUM(1,2,3.5)", "6.5"},
                        {"SUM(7)", "7"},
                        {"SUM(1,2)*2", "6"},
                        {"AVG(1,2)", "1.5"},
                        {"MIN(3,1,2)", "1"},
                        {"MAX(3,1,2)", "3"},
                        {"OPP(1234.56,0.015)", "18.5"},
                        {"OPP(1000,0.015)", "15"},
                        // 180 x 0.015 x 10 is a hair below 27 in binary; the amount is 2.70
                        {"OPP(180,0.015)", "2.7"},
                        {"DOGROSZA(2.345)", "2.35"},
                        {"DOGROSZA(-2.345)", "-2.35"},
                        {"DOGROSZA(0)", "0"},
                        {"DOGROSZA(1.004)", "1"},
                        {"BCROUND(1234.49,1)", "1234"},
                        {"BCROUND(1234.5,1)", "1235"},
                        {"BCROUND(-1234.5,1)", "-1235"},
                        {"BCROUND(1249,100)", "1200"},
                        {"BCROUND(0,10)", "0"},
                        {"DATETOSTR(44625)", "05.03.2022"},
                        {"DATETOSTR(0)", "30.12.1899"},
                        {"DATETOSTR(44625.75)", "05.03.2022"},
                        {"YEAR(44625)", "2022"},
                        {"MONTH(44625)", "3"},
                        {"DAY(44625)", "5"},
                        {"DAYOFWEEK(44625)", "7"}, // a Saturday
                        {"DAYOFWEEK(44627)", "2"}, // a Monday
                        {"DAYOFWEEK(44626)", "1"}, // a Sunday
                        {"YEAR(1E7)", "0"},
                        {"MONTH(-1E7)", "0"},
                        {"DAYOFWEEK(1E7)", "8"},
                        {"TIMETOSTR(0.5)", "12:00"},
                        {"TIMETOSTR(44625.75+1/1440)", "18:01"},
                        {"TIMETOSTR(0.9999999999)", "00:00"},
                        {"FORMAT(1234.5)", "1234.50"},
                        {"FORMAT(-5)", "-5.00"},
                        {"FORMAT(1234.5,'###,###.##')", "1,234.50"},
                        {"FORMAT(-1234.5,'###,###.##')", "-1,234.50"},
                        {"FORMAT(12.345,'#.##')", "12.35"},
                        {"FORMAT('ABC')", "ABC"},
                        {"IFEMPTY(0,7)", "7"},
                        {"IFEMPTY(3,7)", "3"},
                        {"BITISON(5,2)", "TRUE"},
                        {"BITISON(5,1)", "FALSE"},
                        {"BITISOFF(5,1)", "TRUE"},
                        {"BITISON(-1,31)", "TRUE"},
                        {"BITISON(1,32)", "TRUE"}, // the low 5 bits of the bit number
                        {"NIP('111-222-33-44')", "1112223344"},
                        {"NIP('12-34')", "12-34"},
                        {"NIP('1234567890-12')", "123456789012"},
                        {"NOKRESKA('1-2-3')", "123"},
                        {"POSITIV(-5)", "0"},
                        {"POSITIV(5.5)", "5.5"},
                        {"LVTO(5,-3)", "0"},
                        {"LVTO(5,3)", "3"},
                        {"LVTO(2,3)", "2"},
                    });
    const qint64 today = QDate(1899, 12, 30).daysTo(QDate::currentDate());
    EXPECT_EQ(Evaluate(e, QStringLiteral("DATE")), QString::number(today));
    EXPECT_EQ(Evaluate(e, QStringLiteral("DATE(1,2)")), QString::number(today));
    EXPECT_EQ(Evaluate(e, QStringLiteral("DATETOSTR(DATE)")), QDate::currentDate().toString(u"dd.MM.yyyy"));
}

TEST(ExprFunctions, OppFloorsTheExactAmountToTenGroszy) {
    // 1.5% of a whole-zloty tax, floored to 0.10: binary rounding of the product must not cost 0.10
    TConditionEvaluator e;
    for (int tax = 0; tax <= 300000; tax += 7) {
        const int tenths = tax * 15 / 100;
        const QString expected = FloatText(tenths / 10.0);
        ASSERT_EQ(Evaluate(e, QStringLiteral("OPP(%1,0.015)").arg(tax)), expected) << tax;
    }
}

TEST(ExprFunctions, IfEmptyFollowsTheValueMode) {
    TConditionEvaluator e;
    ExpectValues(e, {
                        {"IFEMPTY('','X')", "X"},
                        {"IFEMPTY('A','X')", "A"},
                        {"IFEMPTY('''''','X')", "X"}, // the text of two apostrophes
                        {"STR IFEMPTY(0,7)", "0"},
                        {"BOOL IFEMPTY(0,7)", "0"},
                        {"NUM IFEMPTY(0,7)", "7"},
                    });
}

TEST(ExprErrors, LexicalAndSyntax) {
    TConditionEvaluator e;
    ExpectErrors(e, {
                        {"1e+5", "Bad numeric format"},
                        {"1.2.3", "Bad numeric format"},
                        {"1E5.2", "Bad numeric format"},
                        {"1E5E2", "Bad numeric format"},
                        {"1E", "Bad numeric format"},
                        {"1E-", "Bad numeric format"},
                        {"12345678901234567890123456789", "Bad numeric format"},
                        {"1.000000000000000000000000000", "Bad numeric format"},
                        {"99999999999", "'99999999999' is not a valid integer value"},
                        {"2147483648", "'2147483648' is not a valid integer value"},
                        {"1E400", "Floating point overflow"},
                        {"$", "Invalid char in hex number"},
                        {"$G", "Invalid char in hex number"},
                        {"$100000000", "Invalid char in hex number"},
                        {"'ABC", "Unterminated string"},
                        {"'AB''", "Unterminated string"},
                        {".5", "Syntax error"},
                        {"#", "Syntax error"},
                        {"1+ą", "Syntax error"},
                        {"1+[", "Syntax error"},
                        {"1)", ") not appropriate"},
                        {"1 2", "2 not appropriate"},
                        {"1 ANDX 2", "A not appropriate"},
                        {"TRUE(1)", "( not appropriate"},
                        {"*2", "opMult not allowed here"},
                        {"1+AND", "opAnd not allowed here"},
                        {"1*<>2", "opNEQ not allowed here"},
                        {"1+", "Unexpected end of factor"},
                        {"()", "Unexpected end of factor"},
                        {"PI()", "Unexpected end of factor"},
                        {"SUM()", "Unexpected end of factor"},
                        {"SUM(1,)", "Unexpected end of factor"},
                        {"(1+2", " ) expected"},
                        {"(1 2)", " ) expected"},
                        {"SUM(1", "Incorrectly formed parameters"},
                        {"SUM(1;2)", "Incorrectly formed parameters"},
                        {"P_12", "Unknown Identifier P_12"},
                        {"p_12(1)", "Unknown Identifier P_12"},
                        {"DIV2", "Unknown Identifier DIV2"},
                    });
    const QString longDigits(256, QLatin1Char('0'));
    ExpectErrors(e, {{u'$' + longDigits, "Hex string too long"}});
    ExpectValues(e, {{u'$' + longDigits.left(255), "0"}});
    const QString text256(256, QLatin1Char('A'));
    ExpectValues(e, {{u'\'' + text256 + u'\'', text256}});
    ExpectErrors(e, {{QStringLiteral("'A") + text256 + u'\'', "String too long"}});
}

TEST(ExprErrors, TypesAndReadings) {
    TConditionEvaluator e;
    ExpectErrors(e, {
                        {"-'A'", "Operator opMinus incompatible with String"},
                        {"'A'*2", "Operator opMult incompatible with String"},
                        {"'A'-'B'", "Operator opMinus incompatible with String"},
                        {"1.5 DIV 2", "Operator opDiv incompatible with Float"},
                        {"1.5 AND 1", "Operator opAnd incompatible with Float"},
                        {"NOT 1.5", "Operator opNot incompatible with Float"},
                        {"TRUE+FALSE", "Operator opPlus incompatible with Boolean"},
                        {"TRUE*TRUE", "Operator opMult incompatible with Boolean"},
                        {"-TRUE", "Operator opMinus incompatible with Boolean"},
                        {"TRUE<FALSE", "cannot apply opLT to boolean operands"},
                        {"TRUE>=FALSE", "cannot apply opGTE to boolean operands"},
                        {"IF(1,'A','B')", "Invalid parameters to If"},
                        {"IF(TRUE,1)", "Invalid parameters to If"},
                        {"IF", "Invalid parameters to If"},
                        {"ABS('X')", "Invalid parameter to ABS"},
                        {"SQRT(1,2)", "Invalid parameter to SQRT"},
                        {"POWER(2)", "Invalid parameter to POWER"},
                        {"TRUNC", "Invalid parameter to TRUNC"},
                        {"COPY('ABC',1.5,1)", "Invalid parameter to COPY"},
                        {"COPY('ABC',1)", "Invalid parameter to COPY"},
                        {"POS('A')", "Invalid parameter to POS"},
                        {"UPPER('A','B')", "Invalid parameter to UPPER"},
                        {"FLOAT", "Invalid parameter to FLOAT"},
                        {"+'A'", "Cannot read String as String"},
                        {"FLOAT('A')+1", "Cannot read String as Float"},
                        {"(BOOLEAN(1)=TRUE)", "Cannot read Integer as boolean"},
                        {"IF(BOOLEAN(1),1,2)", "Cannot read Integer as boolean"},
                    });
}

TEST(ExprErrors, Arithmetic) {
    TConditionEvaluator e;
    ExpectErrors(e, {
                        {"1/0", "Floating point division by zero"},
                        {"0/0", "Invalid floating point operation"},
                        {"1 DIV 0", "Division by zero"},
                        {"1 MOD 0", "Division by zero"},
                        {"0^-1", "Floating point division by zero"},
                        {"(0-8)^(1/3)", "Invalid floating point operation"},
                        {"LN(0)", "Invalid floating point operation"},
                        {"SQRT(0-1)", "Invalid floating point operation"},
                        {"EXP(1000)", "Floating point overflow"},
                        {"1E300*1E300", "Floating point overflow"},
                        {"ROUND(1E19)", "Integer overflow"},
                        {"2000000000*2000000000*2000000000", "Integer overflow"},
                    });
}

TEST(ExprErrors, HostFunctionsThatCannotBeComputedAreUnknown) {
    TConditionEvaluator e;
    ExpectErrors(e, {
                        {"SUM", "Unknown Identifier SUM"},
                        {"OPP(1)", "Unknown Identifier OPP"},
                        {"SUM(1,'X')", "Unknown Identifier SUM"},
                        {"SUM(1/0)", "Unknown Identifier SUM"},
                        {"BITISON(1.5,0)", "Unknown Identifier BITISON"},
                        {"DATETOSTR(1E7)", "Unknown Identifier DATETOSTR"},
                        {"TRIM('A')", "Unknown Identifier TRIM"},
                        {"ASKYESNO('A')", "Unknown Identifier ASKYESNO"},
                        {"STRING(1)", "Unknown Identifier ING"}, // the STR prefix is taken first
                    });
}

TEST(ExprErrors, HostileNestingFailsCleanly) {
    TConditionEvaluator e;
    auto nested = [](int n) { return QString(n, QLatin1Char('(')) + u'1' + QString(n, QLatin1Char(')')); };
    const int n = 100000;
    const QString tooDeep = QStringLiteral("Expression nested too deeply");
    ExpectErrors(e, {
                        {nested(n), tooDeep},
                        {QString(n, QLatin1Char('-')) + u'1', tooDeep},
                        {u'1' + QStringLiteral("+1").repeated(n), tooDeep},
                        {QStringLiteral("SUM(").repeated(n), tooDeep},
                    });
    // well within the limits
    ExpectValues(e, {{nested(150), "1"}, {u'0' + QStringLiteral("+1").repeated(900), "900"}});
}

TEST(ExprNodes, ReadingsByType) {
    TFloatLiteral f(1.5);
    try {
        (void)f.IntegerValue();
        FAIL() << "no error";
    } catch (const EExpression& ex) {
        EXPECT_EQ(ex.message(), QStringLiteral("Cannot read Float as prInteger"));
    }
    EXPECT_THROW((void)f.BooleanValue(), EExpression);
    // an operator node of type Float reads as integer 0
    TBinaryOp sum(ExprOp::Plus, std::make_unique<TFloatLiteral>(1.5), std::make_unique<TFloatLiteral>(1.5));
    EXPECT_EQ(sum.IntegerValue(), 0);
    EXPECT_EQ(sum.FloatValue(), 3.0);
    TBooleanLiteral t(true);
    EXPECT_EQ(t.FloatValue(), 1.0);
    EXPECT_EQ(t.IntegerValue(), 1);
    EXPECT_EQ(t.TextValue(), QStringLiteral("TRUE"));
    TStringLiteral s(QStringLiteral("5"));
    EXPECT_THROW((void)s.FloatValue(), EExpression);
    EXPECT_THROW(TUnaryOp(ExprOp::Mult, std::make_unique<TIntegerLiteral>(1)), EExpression);
    EXPECT_THROW(TRelationalOp(ExprOp::Plus, std::make_unique<TIntegerLiteral>(1),
                               std::make_unique<TIntegerLiteral>(1)),
                 EExpression);
}

TEST(ExprEvaluator, ParsedTreeCanBeReadAgain) {
    TConditionEvaluator e;
    const ExprPtr root = e.ParseExpression(QStringLiteral("IF(2>1,SUM(1,2),'A')*2"));
    EXPECT_EQ(root->ValueType(), ExprType::Float); // SUM gives a Float
    EXPECT_EQ(root->TextValue(), QStringLiteral("6"));
    EXPECT_EQ(root->FloatValue(), 6.0);
    EXPECT_EQ(root->TextValue(), QStringLiteral("6"));
    EXPECT_THROW(e.ParseExpression(QStringLiteral("1+")), EExpression);
}

TEST(ExprEvaluator, ModePrefixes) {
    TConditionEvaluator e;
    struct ModeCase {
        const char* text;
        ConditionType type;
        const char* rest;
    };
    const ModeCase cases[] = {
        {"  STR 1+2 ", ConditionType::ctString, "1+2"},
        {"str'A'", ConditionType::ctString, "'A'"},
        {"NUM 1", ConditionType::ctNumeric, "1"},
        {"BOOL TRUE", ConditionType::ctBoolean, "TRUE"},
        {"1='A'", ConditionType::ctString, "1='A'"},
        {"NUM 'A'", ConditionType::ctString, "NUM 'A'"}, // an apostrophe wins
        {"STRING(1)", ConditionType::ctString, "ING(1)"},
        {"BOOLEAN(1)", ConditionType::ctBoolean, "EAN(1)"},
        {"1+2", ConditionType::ctBoolean, "1+2"}, // the default, set below
    };
    e.defaultConditionType = ConditionType::ctBoolean;
    for (const ModeCase& c : cases) {
        SCOPED_TRACE(c.text);
        QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(e.DetectConditionType(text), c.type);
        EXPECT_EQ(text, QString::fromUtf8(c.rest));
    }
    // the prefix chooses the mode, not the arithmetic
    EXPECT_EQ(Evaluate(e, QStringLiteral("STR 1+2")), QStringLiteral("3"));
    EXPECT_EQ(e.conditionType, ConditionType::ctString);
    EXPECT_EQ(Evaluate(e, QStringLiteral("NUM 'A'+1")), QString());
    EXPECT_EQ(e.lastError(), QStringLiteral("Unknown Identifier NUM"));
}

TEST(ExprEvaluator, CaseOfTheCondition) {
    TConditionEvaluator e;
    e.setCondition(QStringLiteral("  'zażółć' + [x] "));
    EXPECT_EQ(e.condition(), QStringLiteral("'ZAŻÓŁĆ' + [X]"));
    ExpectValues(e, {{"'abc'='ABC'", "TRUE"}, {"'abc'", "ABC"}, {"if(true,'a','b')", "A"}});

    e.caseSensitive = true;
    ExpectValues(e, {
                        {"'abc'='ABC'", "FALSE"},
                        {"'abc'", "abc"},
                        {"if(true,'a','b')", "a"},
                        {"upper('ąbc')", "ĄBC"},
                        {"sum(1,2)", "3"},
                    });
    EXPECT_EQ(Evaluate(e, QStringLiteral("p_12")), QString());
    EXPECT_EQ(e.lastError(), QStringLiteral("Unknown Identifier P_12"));
}

TEST(ExprEvaluator, EmptyConditionIsNoError) {
    TConditionEvaluator e;
    EXPECT_EQ(Evaluate(e, QStringLiteral("1/0")), QString());
    EXPECT_FALSE(e.lastError().isEmpty());
    EXPECT_EQ(Evaluate(e, QStringLiteral("  \t")), QString());
    EXPECT_EQ(e.lastError(), QString());
    EXPECT_EQ(Evaluate(e, QStringLiteral("STR")), QString());
    EXPECT_EQ(e.lastError(), QStringLiteral("Unexpected end of factor"));
}

TEST(ExprEvaluator, ReferencesAreSubstitutedOnce) {
    TableEvaluator e;
    e.values = {{QStringLiteral("A"), QStringLiteral("10")},
                {QStringLiteral("B"), QStringLiteral("2.5")},
                {QStringLiteral("C"), QStringLiteral("[A]")},
                {QStringLiteral(" A "), QStringLiteral("7")}};
    struct SubstCase {
        const char* text;
        const char* expected;
    };
    const SubstCase cases[] = {
        {"[A]+[B]", "10+2.5"},
        {"[C]+[A]", "[A]+10"}, // an inserted value is not scanned again
        {"[ A ]", "7"},        // the name as written
        {"[]", ""},
        {"X]+[A]", "X]+[A]"}, // a "]" before the first "[" ends the substitution
        {"[A]+[B", "10+[B"},
        {"[[A]]", "]"},
        {"no refs", "no refs"},
    };
    for (const SubstCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(e.SubstituteReferences(QString::fromUtf8(c.text)), QString::fromUtf8(c.expected));
    }
    e.asked.clear();
    EXPECT_EQ(Evaluate(e, QStringLiteral("[a]*[b]")), QStringLiteral("25"));
    EXPECT_EQ(e.asked, QStringList({QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(TConditionEvaluator().GetReferenceValue(QStringLiteral("A")), QString());
}

TEST(ExprHost, AskOffersTheTextsAndNumbersTheChoice) {
    ScriptedInteraction ui;
    ui.pickAnswers = {1, -1, 2};
    TConditionEvaluator e;
    EXPECT_EQ(Evaluate(e, QStringLiteral("ASK('Tak','Nie',1+1)")), QStringLiteral("2"));
    EXPECT_EQ(Evaluate(e, QStringLiteral("ASK('Tak','Nie',1+1)")), QStringLiteral("0"));
    EXPECT_EQ(Evaluate(e, QStringLiteral("ASK('Tak','Nie',1+1)*10")), QStringLiteral("30"));
    ASSERT_EQ(ui.picks.size(), 3);
    EXPECT_EQ(ui.picks[0], QStringList({QStringLiteral("TAK"), QStringLiteral("NIE"), QStringLiteral("2")}));
    // the same list again preselects the last choice
    EXPECT_EQ(ui.preselections, QList<int>({-1, 1, 1}));
}

TEST(ExprHost, MessageBoxShowsLinesEvenInAnUntakenBranch) {
    ScriptedInteraction ui;
    TConditionEvaluator e;
    EXPECT_EQ(Evaluate(e, QStringLiteral("MESSAGEBOX('Uwaga',12.5)")), QStringLiteral("0"));
    ASSERT_EQ(ui.boxes.size(), 1);
    EXPECT_EQ(ui.boxes[0].kind, int(BoxInfo));
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("UWAGA\n12.5"));
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Informacje"));

    EXPECT_EQ(Evaluate(e, QStringLiteral("IF(1>2,MESSAGEBOX('X'),5)")), QStringLiteral("5"));
    ASSERT_EQ(ui.boxes.size(), 2);
    EXPECT_EQ(ui.boxes[1].text, QStringLiteral("X"));

    // arguments that fail: no box, no value
    EXPECT_EQ(Evaluate(e, QStringLiteral("MESSAGEBOX(1/0)")), QString());
    EXPECT_EQ(ui.boxes.size(), 2);
}

TEST(ExprImport, DiffersFromTheFormEngine) {
    TImportConditionEvaluator imp;
    TConditionEvaluator form;
    ExpectValues(imp, {
                          {"12345678901", "12345678901"},
                          {"12345678901+1", "123456789011"},
                          {"00012345678901", "00012345678901"},
                          {"2147483647", "2147483647"},
                          {"LVTO(5,-3)", "-3"},
                          {"LVTO(5,3)", "3"},
                          {"TRIM(' A B ')", "A B"},
                          {"SUM(1,2)", "3"},
                          {"COPY('ABCDEF',2,3)", "BCD"},
                      });
    ExpectErrors(imp, {{"OPP(1234.56,0.015)", "Unknown Identifier OPP"}, {"1.2.3", "Bad numeric format"}});
    ExpectValues(form, {{"LVTO(5,-3)", "0"}});
}

TEST(ExprImport, AskYesNo) {
    ScriptedInteraction ui;
    ui.boxAnswers = {BoxResult::Yes, BoxResult::No};
    TImportConditionEvaluator imp;
    EXPECT_EQ(Evaluate(imp, QStringLiteral("ASKYESNO('Czy','dalej?')")), QStringLiteral("1"));
    EXPECT_EQ(Evaluate(imp, QStringLiteral("ASKYESNO('Czy')")), QStringLiteral("0"));
    ASSERT_EQ(ui.boxes.size(), 2);
    EXPECT_EQ(ui.boxes[0].kind, int(BoxYesNo));
    EXPECT_EQ(ui.boxes[0].text, QStringLiteral("CZY\nDALEJ?"));
    EXPECT_EQ(ui.boxes[0].caption, QStringLiteral("Uwaga!"));
}

TEST(ExprImport, ConditionIsTrue) {
    TImportConditionEvaluator imp;
    const std::pair<const char*, bool> cases[] = {
        {"", true},        {"  ", true},       {"TRUE", true},       {"true", true},
        {"1=1", true},     {"1=2", false},     {"FALSE", false},     {"1", false}, // not a Boolean
        {"'A'", false},    {"1/0=1", true},    {"P_12", true},       {"IF(1,TRUE,FALSE)", true},
        {"'a'='A'", true}, {"BOOL 2>1", true}, {"NOT (2>1)", false},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(imp.ConditionIsTrue(QString::fromUtf8(text)), expected);
    }
}

} // namespace
