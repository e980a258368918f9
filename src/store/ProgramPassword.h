#pragma once
// The program password as it is kept in OPERATOR.OP_PASS: for each character its
// Windows-1250 code in decimal, preceded by one digit giving the code's length
// ("abc" -> "297298299").
#include <QString>
#include <stdexcept>

QString EncodePassword(const QString& text);
// The password of an encoded text (at most 31 characters, trimmed). Throws
// std::invalid_argument when the text does not follow the form.
QString DecodePassword(const QString& text);
