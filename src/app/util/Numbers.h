#pragma once
// Number texts and the program's rounding. "." is the decimal point of every number text;
// "," is accepted on input.
#include <QString>

double ParseNumber(const QString& text);
QString FormatPicture(const QString& picture, double value);
QString FormatAmount(double value);
double RoundToMultiple(double value, double step);
double RoundCents(double value);
bool IsIntegerText(const QString& text);
// Throws std::invalid_argument for a text that passes IsIntegerText but is not an integer ("1-2").
int IntegerOrZero(const QString& text);
bool IsNumberText(const QString& text);
QString ZeroPad(long long number, int width);
QString PadLeft(const QString& text, int width, QChar ch);

// Rounds to `decimals` places, a half away from zero, working on the value's shortest
// 15-digit decimal text so that 12.345 (stored a hair below) still gives 12.35.
double RoundHalfAway(double value, int decimals);
// The shortest decimal text of a value with 15 significant digits, "." as the point, no
// grouping (1234.5, 0, -12.34); exponent form only below 0.00001 or beyond 15 integer digits.
QString GeneralNumberText(double value);
// The value with exactly `decimals` places (rounded half away from zero), optionally with
// thousands grouped by "," (the display formats ",0.00" and ",0").
QString FixedNumberText(double value, int decimals, bool grouped = false);
