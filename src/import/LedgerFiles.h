#pragma once
// The ledger program's data files, read only. Record files are headerless runs of fixed-size
// records; texts are a length byte followed by the characters in the ledger's code page
// (Mazovia or CP-852).
#include <QByteArray>
#include <QList>
#include <QString>

// A text field of a record: the length byte at `offset`, then at most `capacity` characters,
// converted from `codePage` (1 Mazovia, 2 CP-852) to Windows-1250. A length byte beyond the
// capacity or the record is cut to what the field holds.
QString LedgerText(const QByteArray& record, int offset, int capacity, int codePage);

// One record of the company list "spisfirm.dat".
struct LedgerCompany {
    QString name;   // at most 30 characters
    QString folder; // the company's folder under the ledger folder, at most 7 characters
    QString info;   // at most 8 characters
};

struct LedgerCompanyList {
    QList<LedgerCompany> companies; // the records read, in file order
    // Empty when the whole file was read; otherwise why reading stopped (the companies read
    // before that point are kept).
    QString error;
};

inline constexpr const char* kCompanyListFile = "spisfirm.dat";
inline constexpr int kCompanyRecordSize = 103;

// Reads a company list file. A missing file is an empty list without an error.
LedgerCompanyList ReadCompanyList(const QString& path, int codePage);
// The company list of a ledger folder (the file name found without regard to case).
LedgerCompanyList ReadCompanyListOf(const QString& ledgerFolder, int codePage);

// The index of the first company whose name followed by its folder name contains `text`,
// both in upper case; -1 when none does or the text is empty.
int FindCompany(const QList<LedgerCompany>& companies, const QString& text);
