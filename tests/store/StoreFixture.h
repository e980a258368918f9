#pragma once
// Databases for the store tests: one created from the creation scripts per test program,
// copied into a fresh temporary folder for every test that writes.
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>
#include <gtest/gtest.h>
#include <ostream>
#include <stdexcept>

#include "app/util/Folders.h"
#include "store/DatabaseCreation.h"
#include "store/Firebird.h"

inline void PrintTo(const QVariant& v, std::ostream* os) {
    *os << (v.isNull() ? std::string("NULL") : v.toString().toStdString());
}
inline void PrintTo(const QList<QVariantList>& rows, std::ostream* os) {
    for (const QVariantList& r : rows) {
        *os << "{";
        for (const QVariant& v : r)
            PrintTo(v, os), *os << ";";
        *os << "}";
    }
}

inline DatabaseTarget LocalTarget(const QString& path) {
    return DatabaseTarget{QString(), path, "SYSDBA", "plumtrees"};
}

inline fb::ConnectParams LocalParams(const QString& path) {
    fb::ConnectParams p;
    p.database = path;
    p.user = QStringLiteral("SYSDBA");
    p.password = QStringLiteral("plumtrees");
    return p;
}

// The database every test copies; created on first use.
inline const QString& TemplateDatabase() {
    static QTemporaryDir dir;
    static const QString path = [] {
        SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
        const QString p = dir.filePath(QStringLiteral("template.fb"));
        const CreationOutcome outcome = RunCreationScripts(LocalTarget(p));
        if (!outcome.ok) throw std::runtime_error(outcome.errors.join(u'\n').toStdString());
        return p;
    }();
    return path;
}

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
        dbPath = dir.filePath(QStringLiteral("test.fb"));
        ASSERT_TRUE(QFile::copy(TemplateDatabase(), dbPath));
        QFile::setPermissions(dbPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    QTemporaryDir dir;
    QString dbPath;
};
