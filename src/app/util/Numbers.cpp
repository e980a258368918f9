#include "app/util/Numbers.h"

#include "app/util/Texts.h"

#include <QByteArray>
#include <QRegularExpression>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

// A finite value as decimal digits: value = (negative ? -1 : 1) * 0.digits * 10^pointPos.
// `digits` holds no leading or trailing zeros and is empty for zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    int pointPos = 0;
};

void StripTrailingZeros(Decimal& d) {
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty()) d.pointPos = 0;
}

// The value's shortest text with 15 significant digits (Qt formats without regard to locale).
Decimal ToDecimal(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0) return d;
    const QByteArray text = QByteArray::number(std::fabs(value), 'e', 14); // d.dddddddddddddde+XX
    const qsizetype e = text.indexOf('e');
    for (qsizetype i = 0; i < e; ++i)
        if (text[i] != '.') d.digits.push_back(text[i]);
    int exponent = 0;
    bool expNegative = false;
    for (qsizetype i = e + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '-')
            expNegative = true;
        else if (c >= '0' && c <= '9')
            exponent = exponent * 10 + (c - '0');
    }
    d.pointPos = (expNegative ? -exponent : exponent) + 1;
    StripTrailingZeros(d);
    return d;
}

// Keeps `decimals` places (negative: tens, hundreds, ...), a half (first dropped digit 5 or
// more) going away from zero.
Decimal RoundDecimal(Decimal d, int decimals) {
    const long long keep = static_cast<long long>(d.pointPos) + decimals;
    if (keep >= static_cast<long long>(d.digits.size())) return d;
    if (keep < 0) {
        d.digits.clear();
        d.pointPos = 0;
        return d;
    }
    const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
        long long i = keep - 1;
        while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
            d.digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.pointPos;
        } else {
            ++d.digits[static_cast<size_t>(i)];
        }
    }
    StripTrailingZeros(d);
    return d;
}

double ToDouble(const Decimal& d) {
    if (d.digits.empty()) return 0.0;
    const QByteArray text = QByteArray(d.negative ? "-0." : "0.") + QByteArray::fromStdString(d.digits) +
                            'e' + QByteArray::number(d.pointPos);
    return text.toDouble();
}

char DigitAt(const Decimal& d, long long index) {
    return index >= 0 && index < static_cast<long long>(d.digits.size())
               ? d.digits[static_cast<size_t>(index)]
               : '0';
}

QString IntegerPart(const Decimal& d) {
    QString out;
    for (long long i = 0; i < d.pointPos; ++i)
        out.append(QLatin1Char(DigitAt(d, i)));
    return out.isEmpty() ? QStringLiteral("0") : out;
}

QString Group(const QString& integerDigits) {
    QString out;
    const qsizetype n = integerDigits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out.append(QLatin1Char(','));
        out.append(integerDigits[i]);
    }
    return out;
}

QString NonFiniteText(double value) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

double RoundHalfAway(double value, int decimals) {
    if (!std::isfinite(value)) return value;
    return ToDouble(RoundDecimal(ToDecimal(value), decimals));
}

QString GeneralNumberText(double value) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    const Decimal d = ToDecimal(value);
    if (d.digits.empty()) return QStringLiteral("0");
    const QString digits = QString::fromStdString(d.digits);
    QString out = d.negative ? QStringLiteral("-") : QString();
    if (d.pointPos >= -4 && d.pointPos <= 15) {
        if (d.pointPos <= 0) {
            out += QStringLiteral("0.") + QString(-d.pointPos, QLatin1Char('0')) + digits;
        } else if (d.pointPos >= digits.size()) {
            out += digits + QString(d.pointPos - digits.size(), QLatin1Char('0'));
        } else {
            out += digits.left(d.pointPos) + QLatin1Char('.') + digits.mid(d.pointPos);
        }
    } else {
        out += digits.left(1);
        if (digits.size() > 1) out += QLatin1Char('.') + digits.mid(1);
        out += QLatin1Char('E') + QString::number(d.pointPos - 1);
    }
    return out;
}

QString FixedNumberText(double value, int decimals, bool grouped) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    if (decimals < 0) decimals = 0;
    const Decimal d = RoundDecimal(ToDecimal(value), decimals);
    QString out;
    if (d.negative && !d.digits.empty()) out = QStringLiteral("-");
    const QString integer = IntegerPart(d);
    out += grouped ? Group(integer) : integer;
    if (decimals > 0) {
        out += QLatin1Char('.');
        for (int j = 0; j < decimals; ++j)
            out += QLatin1Char(DigitAt(d, static_cast<long long>(d.pointPos) + j));
    }
    return out;
}

double ParseNumber(const QString& text) {
    QString s = TrimBlanks(text);
    qsizetype i = s.indexOf(QLatin1Char('.'));
    if (i >= 0) s[i] = QLatin1Char('.'); // the program's decimal separator is always "."
    i = s.indexOf(QLatin1Char(','));
    if (i >= 0) s[i] = QLatin1Char('.');
    // What the conversion accepts: a sign, digits with at most one point, an exponent.
    static const QRegularExpression number(
        QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?$"));
    if (!number.match(s).hasMatch()) return 0.0;
    bool ok = false;
    const double v = s.toDouble(&ok);
    return ok && std::isfinite(v) ? v : 0.0;
}

QString FormatPicture(const QString& picture, double value) {
    const bool negative = value < 0;
    const double magnitude = std::fabs(value);
    const qsizetype point = picture.indexOf(QLatin1Char('.'));
    const qsizetype width = picture.count(QLatin1Char('#')) + (point >= 0 ? 1 : 0);
    const int decimals = point >= 0 ? int(picture.mid(point + 1).count(QLatin1Char('#'))) : 0;

    QString written = FixedNumberText(magnitude, decimals);
    if (written.size() < width) written.prepend(QString(width - written.size(), QLatin1Char(' ')));

    QString result;
    if (written.size() > width) {
        result = negative ? QLatin1Char('-') + written : written;
    } else {
        qsizetype pos = 0;
        bool lastWasDigit = false;
        for (const QChar c : picture) {
            if (c == QLatin1Char('#')) {
                const QChar w = pos < written.size() ? written[pos++] : QLatin1Char(' ');
                lastWasDigit = IsAsciiDigit(w);
                result += w;
            } else if (c == QLatin1Char('.')) {
                result += c;
                if (pos < written.size() && written[pos] == QLatin1Char('.')) ++pos;
            } else if (c == QLatin1Char(',')) {
                result += lastWasDigit ? c : QLatin1Char(' ');
            } else {
                result += c;
            }
        }
        if (negative) {
            if (result.startsWith(QLatin1Char(' '))) {
                qsizetype first = 0;
                while (first < result.size() && result[first] == QLatin1Char(' '))
                    ++first;
                result[first - 1] = QLatin1Char('-');
            } else {
                result.prepend(QLatin1Char('-'));
            }
        }
    }
    return result.left(50);
}

QString FormatAmount(double value) {
    return FormatPicture(QStringLiteral("###################.##"), value).trimmed();
}

double RoundToMultiple(double value, double step) {
    if (value == 0) return 0.0;
    if (step == 0) return value; // the program would divide by zero; nothing to round to
    const double sign = value < 0 ? -1.0 : 1.0;
    return sign * step * std::trunc(std::fabs(value) / step + 0.500001);
}

double RoundCents(double value) {
    if (value == 0) return 0.0;
    const double sign = value < 0 ? -1.0 : 1.0;
    return sign * std::trunc(std::fabs(value) * 100 + 0.500001) / 100;
}

bool IsIntegerText(const QString& text) {
    int dashes = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('-'))
            ++dashes;
        else if (!IsAsciiDigit(c))
            return false;
    }
    return dashes <= 1;
}

int IntegerOrZero(const QString& text) {
    if (text.isEmpty() || !IsIntegerText(text)) return 0;
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok) throw std::invalid_argument(("'" + text + "' is not a valid integer value").toStdString());
    return v;
}

bool IsNumberText(const QString& text) {
    QString s = text;
    qsizetype i = s.indexOf(QLatin1Char('.'));
    if (i >= 0) s[i] = QLatin1Char('.');
    i = s.indexOf(QLatin1Char(','));
    if (i >= 0) s[i] = QLatin1Char('.');
    bool seenPoint = false;
    for (qsizetype k = 0; k < s.size(); ++k) {
        const QChar c = s[k];
        if (IsAsciiDigit(c)) continue;
        if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
            continue;
        }
        if (c == QLatin1Char('-') && k == 0) continue;
        return false;
    }
    return true;
}

QString ZeroPad(long long number, int width) {
    return PadLeft(QString::number(number), width, QLatin1Char('0'));
}

QString PadLeft(const QString& text, int width, QChar ch) {
    if (text.size() >= width) return text;
    return QString(width - text.size(), ch) + text;
}
