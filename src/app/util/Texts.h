#pragma once
// Small text, date and bit helpers.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <cstdint>

QString DateText(const QDate& date); // 05.03.2023
QString TimeText(const QTime& time); // 09:05
int YearOf(const QDate& date);
// Day and month bytes and a 16-bit year as the ledger files keep them; "  .  .    " when invalid.
QString LedgerDateText(int day, int month, int year);
QString RemoveDashes(const QString& text);
QString LedgerFileName(long long a, long long b); // a + "kpr." + b

bool BitIsSet(int32_t value, int n);
bool BitIsClear(int32_t value, int n);
int32_t SetBit(int32_t value, int n);
QString ChooseText(bool flag, const QString& a, const QString& b);

// Trims as the program trims: every character up to the blank (U+0000..U+0020, so blanks and
// control characters) goes from both ends; other white space (U+00A0) stays.
QString TrimBlanks(const QString& text);

// The first command-line argument whose upper-case form contains `text` (compared as given, so
// pass it in upper case), in upper case; empty when none does or `text` is empty. The first
// form looks at QCoreApplication::arguments() without the program; the second at every entry.
QString CommandLineSwitch(const QString& text);
QString CommandLineSwitch(const QString& text, const QStringList& arguments);
// The trimmed rest of the last line beginning "NAME=", empty for a missing file.
// Throws std::runtime_error when the file exists but cannot be read.
QString ReadNameLine(const QString& path);
