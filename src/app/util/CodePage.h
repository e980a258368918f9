#pragma once
// Polish letters in the five code pages the program knows:
// 0 plain Latin (target only), 1 Mazovia, 2 CP-852, 3 overstrike marks (target only), 4 Windows-1250.
// Pages 1 and 2 are byte values held in a QString as the characters U+0000..U+00FF; page 4 is
// held as the real Unicode letters (ą, ć, ...).
#include <QString>

enum CodePageId { CpLatin = 0, CpMazovia = 1, Cp852 = 2, CpOverstrike = 3, CpWindows1250 = 4 };

int CurrentCodePage(); // 4 for the whole run
void SetCurrentCodePage(int page);
QString ConvertCodePage(int target, const QString& text);
QString ConvertFrom(int source, int target, const QString& text);
// Fixed-length forms for record fields: the result is cut to `maxLength` characters.
QString ConvertCodePage(int target, const QString& text, int maxLength);
QString ConvertFrom(int source, int target, const QString& text, int maxLength);
