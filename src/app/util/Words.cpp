#include "app/util/Words.h"

#include "app/util/Numbers.h"

#include <cmath>
#include <cstdint>

namespace {

const char16_t* const kDigitWords[10] = {u"",     u"jeden", u"dwa",    u"trzy",  u"cztery",
                                         u"pięć", u"sześć", u"siedem", u"osiem", u"dziewięć"};
const char16_t* const kTeenStems[10] = {u"",     u"jede", u"dwa",    u"trzy",  u"czter",
                                        u"pięt", u"szes", u"siedem", u"osiem", u"dziewięt"};

QString Word(const char16_t* w) {
    return QString::fromUtf16(w);
}

// The words of one group of three digits, without blanks between them.
QString GroupWords(int hundreds, int tens, int units) {
    QString out;
    if (hundreds == 1)
        out += QStringLiteral("sto");
    else if (hundreds == 2)
        out += QStringLiteral("dwieście");
    else if (hundreds == 3 || hundreds == 4)
        out += Word(kDigitWords[hundreds]) + QStringLiteral("sta");
    else if (hundreds >= 5)
        out += Word(kDigitWords[hundreds]) + QStringLiteral("set");

    if (tens == 1) {
        if (units == 0)
            out += QStringLiteral("dziesięć");
        else
            out += Word(kTeenStems[units]) + QStringLiteral("naście");
        return out;
    }
    if (tens == 2)
        out += QStringLiteral("dwadzieścia");
    else if (tens == 3)
        out += QStringLiteral("trzydzieści");
    else if (tens == 4)
        out += QStringLiteral("czterdzieści");
    else if (tens >= 5)
        out += Word(kDigitWords[tens]) + QStringLiteral("dziesiąt");
    out += Word(kDigitWords[units]);
    return out;
}

// 0 singular, 1 plural nominative, 2 plural genitive.
int GrammaticalNumber(int hundreds, int tens, int units) {
    if (units == 0 || units >= 5 || tens == 1) return 2;
    if (units == 1) return (hundreds == 0 && tens == 0) ? 0 : 2;
    return 1;
}

// The magnitude of the number as the kind writes it, at most 12 digits.
bool IntegerOfKind(double number, const QString& kind, unsigned long long& magnitude) {
    const QString k = kind.toUpper();
    double value = 0;
    if (k == QLatin1String("D") || k == QLatin1String("R")) {
        value = std::isfinite(number) ? RoundHalfAway(number, 0) : 0.0;
    } else if (k == QLatin1String("L")) {
        value = std::isfinite(number) ? std::trunc(number) : 0.0;
        if (value > INT32_MAX) value = INT32_MAX;
        if (value < INT32_MIN) value = INT32_MIN;
    } else if (k == QLatin1String("W")) {
        value = std::isfinite(number) ? std::trunc(number) : 0.0;
        if (value > UINT16_MAX) value = UINT16_MAX;
        if (value < 0) value = 0;
    } else {
        return false;
    }
    // Twelve characters hold the number; a sign or further digits have no words.
    magnitude = static_cast<unsigned long long>(std::fmod(std::fabs(value), 1e12));
    return true;
}

} // namespace

QString NumberInWords(double number, const QString& kind) {
    unsigned long long magnitude = 0;
    if (!IntegerOfKind(number, kind, magnitude)) return QStringLiteral("nic");

    static const char16_t* const kScales[3][3] = {
        {u"miliard", u"miliardy", u"miliardów"},
        {u"milion", u"miliony", u"milionów"},
        {u"tysiąc", u"tysiące", u"tysięcy"},
    };
    const int groups[4] = {int(magnitude / 1000000000ULL), int(magnitude / 1000000ULL % 1000),
                           int(magnitude / 1000ULL % 1000), int(magnitude % 1000)};
    QString out;
    for (int g = 0; g < 4; ++g) {
        const int h = groups[g] / 100, t = groups[g] / 10 % 10, u = groups[g] % 10;
        QString words = GroupWords(h, t, u);
        if (words.isEmpty()) continue;
        if (g < 3) words += Word(kScales[g][GrammaticalNumber(h, t, u)]);
        out += words + QLatin1Char(' ');
    }
    return out;
}

QString AmountInWords(double amount) {
    const QString text = FixedNumberText(std::isfinite(amount) ? std::fabs(amount) : 0.0, 2);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    QString out = NumberInWords(text.left(point).toDouble(), QStringLiteral("l")) + QStringLiteral("zł");
    const QString cents = text.mid(point + 1);
    if (cents != QLatin1String("00"))
        out += QLatin1Char(' ') + NumberInWords(cents.toDouble(), QStringLiteral("l")) + QStringLiteral("gr");
    return out;
}
