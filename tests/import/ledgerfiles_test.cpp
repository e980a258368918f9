// The ledger program's company list: record layout, code pages, search, and damaged files.
// fixtures/spisfirm.dat is written by fixtures/make_spisfirm.py (three Mazovia records whose
// unread bytes are all 0xEE).
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/QtPrint.h"

#include "app/util/CodePage.h"
#include "import/LedgerFiles.h"

namespace {

const QString kFixture = QStringLiteral(TEST_FIXTURES "/spisfirm.dat");

QByteArray fixtureBytes() {
    QFile f(kFixture);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    return f.fileName();
}

TEST(CompanyList, RecordsInMazovia) {
    const LedgerCompanyList list = ReadCompanyList(kFixture, CpMazovia);
    EXPECT_EQ(list.error, QString());
    ASSERT_EQ(list.companies.size(), 3);
    EXPECT_EQ(list.companies[0].name, QStringLiteral("Łącka Ewa - Usługi Księgowe"));
    EXPECT_EQ(list.companies[0].folder, QStringLiteral("LACKA"));
    EXPECT_EQ(list.companies[0].info, QStringLiteral("2022"));
    EXPECT_EQ(list.companies[1].name, QStringLiteral("Kowalski i Syn"));
    EXPECT_EQ(list.companies[1].info, QString());
    // A name that fills its 30 characters, and an info text of 6.
    EXPECT_EQ(list.companies[2].name, QStringLiteral("ŻÓŁW Sp. z o.o. (trzydzieści z"));
    EXPECT_EQ(list.companies[2].folder, QStringLiteral("ZOLW"));
    EXPECT_EQ(list.companies[2].info, QStringLiteral("VAT-UE"));

    // The same bytes read as CP-852: 0x86 is "ć" there.
    EXPECT_EQ(ReadCompanyList(kFixture, Cp852).companies[0].name.mid(1, 1), QStringLiteral("ć"));
}

TEST(CompanyList, FoundInTheLedgerFolderWithoutRegardToCase) {
    QTemporaryDir dir;
    EXPECT_TRUE(ReadCompanyListOf(dir.path(), CpMazovia).companies.isEmpty()); // no file: no companies
    EXPECT_TRUE(ReadCompanyListOf(dir.filePath(QStringLiteral("brak")), CpMazovia).error.isEmpty());
    EXPECT_TRUE(ReadCompanyListOf(QString(), CpMazovia).companies.isEmpty());
    write(dir, QStringLiteral("SPISFIRM.DAT"), fixtureBytes());
    EXPECT_EQ(ReadCompanyListOf(dir.path(), CpMazovia).companies.size(), 3);
}

TEST(CompanyList, DamagedFilesKeepWhatWasReadAndSayWhy) {
    QTemporaryDir dir;
    // A cut last record: the whole ones are listed, the damage is reported with the file name.
    const QString cut = write(dir, QStringLiteral("cut.dat"), fixtureBytes().left(2 * 103 + 40));
    LedgerCompanyList list = ReadCompanyList(cut, CpMazovia);
    EXPECT_EQ(list.companies.size(), 2);
    EXPECT_TRUE(list.error.contains(cut)) << list.error.toStdString();

    // Length bytes beyond their fields are cut to the field, never read past the record.
    QByteArray record(103, '\xEE');
    record[0] = char(250);
    record[32] = char(255);
    record[41] = char(9);
    list = ReadCompanyList(write(dir, QStringLiteral("long.dat"), record), CpMazovia);
    EXPECT_EQ(list.error, QString());
    ASSERT_EQ(list.companies.size(), 1);
    EXPECT_EQ(list.companies[0].name.size(), 30);
    EXPECT_EQ(list.companies[0].folder.size(), 7);
    EXPECT_EQ(list.companies[0].info.size(), 8);
    EXPECT_EQ(LedgerText(record.left(50), 41, 8, CpMazovia).size(), 8);
    EXPECT_EQ(LedgerText(record.left(45), 41, 8, CpMazovia).size(), 3);
    EXPECT_EQ(LedgerText(record, 103, 8, CpMazovia), QString());

    list = ReadCompanyList(write(dir, QStringLiteral("empty.dat"), QByteArray()), CpMazovia);
    EXPECT_TRUE(list.companies.isEmpty());
    EXPECT_EQ(list.error, QString());

    // A folder in place of the file cannot be read.
    QDir(dir.path()).mkdir(QStringLiteral("spisfirm.dat"));
    list = ReadCompanyListOf(dir.path(), CpMazovia);
    EXPECT_TRUE(list.companies.isEmpty());
    EXPECT_FALSE(list.error.isEmpty());
}

TEST(CompanyList, SearchLooksInNameAndFolderWithoutRegardToCase) {
    const QList<LedgerCompany> companies = ReadCompanyList(kFixture, CpMazovia).companies;
    EXPECT_EQ(FindCompany(companies, QStringLiteral("kow")), 1);
    EXPECT_EQ(FindCompany(companies, QStringLiteral("łącka")), 0);
    EXPECT_EQ(FindCompany(companies, QStringLiteral("zolw")), 2);    // the folder name
    EXPECT_EQ(FindCompany(companies, QStringLiteral("gowelac")), 0); // name runs into the folder
    EXPECT_EQ(FindCompany(companies, QStringLiteral("kowx")), -1);
    EXPECT_EQ(FindCompany(companies, QString()), -1); // an emptied search chooses nothing
}

} // namespace
