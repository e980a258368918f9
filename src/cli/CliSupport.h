#pragma once
// What every sumaris-cli command shares: usage errors, output in the chosen encoding, options
// taken out of the argument list, and document texts read from a file or standard input.
#include <QString>
#include <QStringList>
#include <cstdio>
#include <stdexcept>

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Output {
    bool utf8 = false;
    // Windows-1250, as the program stores texts, unless --utf8 was given.
    void write(const QString& text, FILE* to = stdout) const;
};

// Takes "NAME VALUE" out of args; `fallback` when absent (then *present is false).
QString takeOption(QStringList& args, const QString& name, bool* present = nullptr,
                   const QString& fallback = QString());
// Takes a flag without a value out of args; whether it was there.
bool takeFlag(QStringList& args, const QString& name);
// A document text: Windows-1250 unless it starts with a UTF-8 byte-order mark; an empty name or
// "-" reads standard input. Throws std::runtime_error naming the file when it cannot be read.
QString readDocumentText(const QString& file);
