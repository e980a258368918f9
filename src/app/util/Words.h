#pragma once
// Polish words for numbers and amounts, as the printed forms write them.
#include <QString>

// kind: "D"/"R" real rounded to an integer, "L" 32-bit integer, "W" 16-bit unsigned
// (either case); any other kind gives "nic".
QString NumberInWords(double number, const QString& kind);
QString AmountInWords(double amount);
