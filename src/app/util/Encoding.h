#pragma once
// Windows-1250, the code page of every data file, rule file and database text.
#include <QByteArray>
#include <QString>

QString FromWin1250(const QByteArray& bytes);
// Characters Windows-1250 lacks become "?".
QByteArray ToWin1250(const QString& text);
// Upper and lower case as Windows-1250 defines them for Polish (and the other) letters.
QString UpperCase1250(const QString& text);
QString LowerCase1250(const QString& text);

// Reads a whole text file; Windows-1250 unless it starts with a UTF-8 byte-order mark.
// Throws std::runtime_error with the file name when the file cannot be read.
QString ReadTextFile(const QString& path);
// Writes text as Windows-1250; throws std::runtime_error on failure.
void WriteTextFile1250(const QString& path, const QString& text);
