// The client wrapper: values through parameters and back, transactions, errors, services.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "StoreFixture.h"
#include "support/QtPrint.h"

namespace {

class FirebirdTest : public ::testing::Test {
protected:
    void SetUp() override {
        fb::ConnectParams p = LocalParams(dir.filePath("scratch.fb"));
        p.defaultCharset = "WIN1250";
        p.forcedWrites = false;
        att = fb::Attachment::create(p);
        fb::Transaction tx = att.startTransaction();
        att.execute(
            tx, "create table T (ID integer, S varchar(20), SM smallint, BI bigint, D double precision, "
                "N numeric(15,2), DT date, TS timestamp, B blob sub_type 1, BB blob sub_type 0, OK boolean)");
        tx.commit();
    }
    QTemporaryDir dir;
    fb::Attachment att;
};

TEST_F(FirebirdTest, ValuesSurviveTheRoundTripThroughParameters) {
    const QString big = QString::fromUtf8("Zażółć gęślą jaźń\r\n").repeated(4000); // many blob segments
    const QVariantList values{1,
                              QString::fromUtf8("Łódź 'ś' \"x\" %_"),
                              -7,
                              QVariant::fromValue<qlonglong>(9000000000LL),
                              2.5,
                              1234.56,
                              QDate(2022, 12, 31),
                              QDateTime(QDate(2023, 1, 2), QTime(3, 4, 5, 600)),
                              big,
                              QByteArray("\x00\x01\xFF", 3),
                              true};
    const QVariantList nulls{2,          QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
                             QVariant(), QVariant(), QVariant(), QVariant(), QVariant()};
    fb::Transaction tx = att.startTransaction();
    fb::Statement insert = att.prepare(tx, "insert into T values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    insert.execute(tx, values);
    insert.execute(tx, nulls); // same statement, a different message layout
    const QList<QVariantList> rows = att.rows(tx, "select * from T order by ID");
    ASSERT_EQ(rows.size(), 2);
    for (int i = 0; i < values.size(); ++i) {
        EXPECT_EQ(rows[0][i].isNull(), false) << i;
        if (i == 3)
            EXPECT_EQ(rows[0][i].toLongLong(), 9000000000LL);
        else
            EXPECT_EQ(rows[0][i], values[i]) << i;
        EXPECT_EQ(rows[1][i], nulls[i]) << i;
    }
    // Texts convert where the server can: "42" into an integer, numbers into text.
    att.execute(tx, "insert into T (ID, S) values (?, ?)", {QStringLiteral("42"), 17});
    EXPECT_EQ(att.scalar(tx, "select S from T where ID = ?", {42}), QVariant("17"));
}

TEST_F(FirebirdTest, FailuresAreReportedAndLeaveTheTransactionUsable) {
    fb::Transaction tx = att.startTransaction();
    att.execute(tx, "insert into T (ID, S) values (1, 'kept')");
    EXPECT_THROW(att.execute(tx, "insert into T (ID, S) values (2, ?)", {QString(21, u'x')}), fb::Error);
    EXPECT_THROW(att.execute(tx, "insert into T (ID) values (?, ?)", {1, 2}), fb::Error);
    EXPECT_THROW(att.execute(tx, "select nothing from nowhere"), fb::Error);
    EXPECT_THROW(att.nextValue(tx, "G; drop table T"), fb::Error);
    EXPECT_EQ(att.scalar(tx, "select count(*) from T").toInt(), 1);
    tx.commit();
}

TEST_F(FirebirdTest, AnUnendedTransactionIsRolledBack) {
    {
        fb::Transaction tx = att.startTransaction();
        att.execute(tx, "insert into T (ID) values (1)");
    }
    fb::Transaction tx = att.startTransaction();
    EXPECT_EQ(att.scalar(tx, "select count(*) from T").toInt(), 0);
    att.execute(tx, "create generator G");
    tx.commit();
    tx = att.startTransaction();
    EXPECT_EQ(att.nextValue(tx, "G"), 1);
    EXPECT_EQ(att.nextValue(tx, "G", 5), 6);
}

TEST(Firebird, OpeningWhatIsNoDatabaseFailsWithTheEnginesMessage) {
    QTemporaryDir dir;
    const QString garbage = dir.filePath("garbage.fb");
    QFile f(garbage);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'x'));
    f.close();
    for (const QString& path : {dir.filePath("missing.fb"), garbage}) {
        try {
            fb::Attachment::open(LocalParams(path));
            ADD_FAILURE() << qPrintable(path);
        } catch (const fb::Error& e) {
            EXPECT_FALSE(e.message().isEmpty());
            EXPECT_NE(e.gdsCode(), 0);
        }
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("missing.fb")));
}

TEST(Firebird, EmbeddedServicesManagerAnswers) {
    fb::Service svc = fb::Service::attach(QString(), "SYSDBA", "plumtrees");
    EXPECT_TRUE(svc.serverVersion().contains("3.0")) << qPrintable(svc.serverVersion());
}

} // namespace
