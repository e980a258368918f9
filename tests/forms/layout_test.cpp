// Every layout in the data folder is held to the inventory of its form: pages, numbered
// controls by kind, field numbers, keys and series. Rules, exports, prints and imports
// address fields by these numbers, so a slip here breaks them silently.
#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

#include "support/QtPrint.h"

#include "app/util/Folders.h"
#include "forms/FormDocument.h"
#include "forms/FormLayout.h"
#include "forms/FormTypes.h"

namespace {

struct InventoryRow {
    QString type;
    int pages = 0, total = 0, numeric = 0, text = 0, radio = 0, check = 0, memo = 0;
    QSet<int> numbers;
    QSet<QString> keys;
    QString series; // k:numbers>count;...
};

QSet<int> expandRanges(const QString& text) {
    QSet<int> out;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        const QStringList ab = part.split(u'-');
        int a = ab[0].toInt(), b = ab.value(1, ab[0]).toInt();
        for (int n = a; n <= b; ++n) out.insert(n);
    }
    return out;
}

QHash<QString, InventoryRow> loadInventory() {
    QHash<QString, InventoryRow> rows;
    QFile f(QStringLiteral(SOURCE_ROOT "/tests/forms/layout_inventory.tsv"));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        const QStringList c = line.split(u'\t');
        InventoryRow r;
        r.type = c[0];
        r.pages = c[1].toInt();
        r.total = c[2].toInt();
        r.numeric = c[3].toInt();
        r.text = c[4].toInt();
        r.radio = c[5].toInt();
        r.check = c[6].toInt();
        r.memo = c[7].toInt();
        r.numbers = expandRanges(c[8]);
        for (const QString& k : c[9].split(u',', Qt::SkipEmptyParts)) r.keys.insert(k);
        r.series = c.value(10);
        rows.insert(r.type, r);
    }
    return rows;
}

QString seriesText(const FormLayout& layout) {
    QStringList parts;
    for (const SeriesDef& s : layout.series) {
        QList<int> nums;
        for (int idx : s.templateFields) nums.append(layout.fields[idx].number);
        std::sort(nums.begin(), nums.end());
        // Same notation as the inventory: consecutive runs as a-b.
        QStringList runs;
        for (int i = 0; i < nums.size();) {
            int j = i;
            while (j + 1 < nums.size() && nums[j + 1] == nums[j] + 1) ++j;
            runs << (i == j ? QString::number(nums[i]) : QStringLiteral("%1-%2").arg(nums[i]).arg(nums[j]));
            i = j + 1;
        }
        parts << QStringLiteral("%1:%2>%3").arg(s.k).arg(runs.join(u',')).arg(s.countField);
    }
    return parts.join(u';');
}

class LayoutFiles : public ::testing::Test {
protected:
    void SetUp() override { SetAppFolder(QStringLiteral(SOURCE_ROOT "/data")); }
    void TearDown() override { SetAppFolder(QString()); }
};

TEST_F(LayoutFiles, EveryLayoutMatchesItsInventory) {
    const auto inventory = loadInventory();
    ASSERT_EQ(inventory.size(), 33);
    QDir dir(DataFolder() + QStringLiteral("LAYOUT"));
    const QStringList files = dir.entryList({QStringLiteral("*.lay")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        FormLayout layout;
        ASSERT_NO_THROW(layout = FormLayout::load(dir.filePath(file)));
        // The declaring form types (spouse variants share their base form's file).
        QList<const FormType*> types;
        for (const FormType& t : AllFormTypes())
            if (t.role != FormRole::SpouseVariant &&
                t.layoutName().compare(QFileInfo(file).completeBaseName(), Qt::CaseInsensitive) == 0)
                types.append(&t);
        ASSERT_EQ(types.size(), 1) << "layout file names no form type";
        const FormType* type = types[0];
        EXPECT_EQ(layout.formName.toLower(), type->layoutName().toLower());
        ASSERT_TRUE(inventory.contains(type->typeCode()));
        const InventoryRow& row = inventory[type->typeCode()];

        int numeric = 0, text = 0, radio = 0, check = 0, memo = 0;
        QSet<int> numbers;
        QSet<QString> keys;
        for (const FieldDef& f : layout.fields) {
            numbers.insert(f.number);
            if (!f.key.isEmpty()) keys.insert(f.key);
            switch (f.kind) {
            case FieldKind::Numeric: ++numeric; break;
            case FieldKind::Edit: ++text; break;
            case FieldKind::Radio: ++radio; break;
            case FieldKind::Check: ++check; break;
            case FieldKind::Memo: ++memo; break;
            default: break;
            }
        }
        EXPECT_EQ(layout.pageCount, row.pages);
        EXPECT_EQ(layout.fields.size(), row.total);
        EXPECT_EQ(numeric, row.numeric);
        EXPECT_EQ(text, row.text);
        EXPECT_EQ(radio, row.radio);
        EXPECT_EQ(check, row.check);
        EXPECT_EQ(memo, row.memo);
        QList<int> missing = QList<int>(row.numbers.begin(), row.numbers.end());
        missing.removeIf([&](int n) { return numbers.contains(n); });
        QList<int> extra = QList<int>(numbers.begin(), numbers.end());
        extra.removeIf([&](int n) { return row.numbers.contains(n); });
        std::sort(missing.begin(), missing.end());
        std::sort(extra.begin(), extra.end());
        EXPECT_TRUE(missing.isEmpty()) << "missing fields, first: " << (missing.isEmpty() ? 0 : missing[0]);
        EXPECT_TRUE(extra.isEmpty()) << "fields not in the inventory, first: " << (extra.isEmpty() ? 0 : extra[0]);
        EXPECT_EQ(keys, row.keys);
        EXPECT_EQ(seriesText(layout).toStdString(), row.series.toStdString());

        // A fresh document of the form holds one line per numbered control.
        auto doc = FormDocument::create(type->typeCode());
        EXPECT_EQ(doc->BuildDocumentText().count(QStringLiteral("\r\n")), row.total);
    }
}

TEST_F(LayoutFiles, Pit37KeysAndCalculatedFields) {
    auto layout = LayoutForType(QStringLiteral("TFRMPIT_37"));
    const QHash<int, QString> keys = {{1, "IDEN1"}, {12, "IDEN2"}, {13, "IDEN3"}, {510, "IDEN4"}};
    int calculated = 0;
    for (const FieldDef& f : layout->fields) {
        EXPECT_EQ(f.key, keys.value(f.number)) << f.number;
        if (f.calculated) {
            ++calculated;
            EXPECT_TRUE(f.isNumeric()) << f.number;
        }
    }
    EXPECT_EQ(calculated, 35);
    for (int n : {54, 55, 127, 137}) EXPECT_TRUE(layout->fieldByNumber(n)->calculated) << n;
    for (int n : {515, 527, 561}) EXPECT_TRUE(layout->fieldByNumber(n)->upper) << n;
}

} // namespace
