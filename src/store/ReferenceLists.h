#pragma once
// The two reference lists kept in the database: tax offices (URZEDY_SKARBOWE) and the
// public-benefit organisations (LISTA_OPP). Rows come from official list files (CSV, comma
// or semicolon, UTF-8 or Windows-1250) whose columns are found by their titles.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace fb {
class Attachment;
class Transaction;
} // namespace fb

// A list file that cannot be used; the message is meant for the person.
class ListFileError : public std::runtime_error {
public:
    explicit ListFileError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// UTF-8 when the bytes are valid UTF-8 (a byte-order mark is dropped), otherwise Windows-1250.
QString DecodeListFile(const QByteArray& bytes);
// Records of a CSV text: quoted fields may hold separators, doubled quotes and line breaks.
QList<QStringList> ParseCsv(const QString& text, QChar separator);

struct TaxOffice {
    int idx = 0;
    QString code; // four digits
    QString name;
    QString town;
};

struct Organisation {
    int idx = 0;
    QString krs; // ten digits
    QString name;
    QString town;
};

struct OppLoadResult {
    int loaded = 0;
    int duplicates = 0; // rows whose KRS number was already listed; the first one is kept
};

// Reads an organisation list file: the KRS number, name and town columns by their titles,
// KRS numbers zero-padded to ten digits, sorted by number. Throws ListFileError.
QList<Organisation> ReadOrganisationList(const QString& path, int* duplicates = nullptr);
// Reads the tax office list file (columns "kod", "nazwa", "miejscowosc"), sorted by code.
QList<TaxOffice> ReadTaxOfficeList(const QString& path);

// Insert the rows of a list file inside the caller's transaction; return the number of rows.
int InsertTaxOffices(fb::Attachment& att, fb::Transaction& tx, const QString& path);
int InsertOrganisations(fb::Attachment& att, fb::Transaction& tx, const QString& path);

// Replaces the organisation list of the database with the file's rows in one transaction;
// on any failure the previous list stays. Throws ListFileError or fb::Error.
OppLoadResult LoadOppList(fb::Attachment& att, const QString& path);

// Picker searches. A blank text gives the whole list; otherwise the text is looked for,
// without regard to case, in the town (tax offices) or in the number, town and name at once
// (organisations). The text is a plain substring: quotes and wildcards match themselves.
QList<TaxOffice> SearchTaxOffices(fb::Attachment& att, fb::Transaction& tx, const QString& text);
QList<Organisation> SearchOrganisations(fb::Attachment& att, fb::Transaction& tx, const QString& text);

// A LIKE pattern "%text%" in which the text's own "%", "_" and "\" match themselves
// (to be used with ESCAPE '\').
QString ContainsPattern(const QString& text);
