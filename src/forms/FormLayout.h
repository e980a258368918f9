#pragma once
// A form's layout as read from its layout file: the pages, sections, rows and numbered
// fields in order, and the series with their template rows.
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <stdexcept>

enum class FieldKind { Edit, Numeric, Check, Radio, Memo, Caption, ComboList, ComboText, RadioGroup };

struct FieldDef {
    int number = 0;
    QString kindName;   // the kind as written: masked, text, upper, amount, whole, count, ...
    FieldKind kind = FieldKind::Edit;
    QString mask;
    int maxLength = 0;
    bool upper = false;
    int decimals = 2;
    QString displayFormat;
    QString key;        // upper case: IDEN1..IDEN4, SERIA
    bool calculated = false;
    int group = 0;      // radio buttons: same group excludes each other
    bool alignLeft = false;
    QStringList items;
    QString label;
    int width = 0;
    QString who;        // "p" taxpayer, "m" spouse, empty
    int series = 0;     // k of the series whose template holds the field, 0 otherwise
    int line = 0;       // line in the layout file

    bool isNumeric() const { return kind == FieldKind::Numeric; }
    // Decimals of the display format (",0.00" -> 2, ",0" -> 0).
    int displayDecimals() const;
    bool displayGrouped() const { return displayFormat.startsWith(u','); }
};

struct SeriesDef {
    int k = 0;
    int countField = 0;
    QString caption;        // "@" stands for the row number
    QList<int> templateFields; // indexes into FormLayout::fields
};

struct LayoutItem {
    enum Type { Page, Section, Note, Row, EndRow, Field, Series, EndSeries };
    Type type;
    QString text;
    int index = -1; // Field: index into fields; Series/EndSeries: index into series
};

class LayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct FormLayout {
    QString formName;
    QString title;
    QString subtitle;
    QList<LayoutItem> items;
    QList<FieldDef> fields;
    QList<SeriesDef> series;
    int pageCount = 0;

    // Parses layout text; throws LayoutError naming the line for anything it cannot read.
    static FormLayout parse(const QString& text, const QString& sourceName = QString());
    static FormLayout load(const QString& path);
    const FieldDef* fieldByNumber(int number) const;
    const SeriesDef* seriesByK(int k) const;
};

// The layout of a form type from the data folder (cached after the first load); throws
// LayoutError when the type has no layout file or the file is damaged.
std::shared_ptr<const FormLayout> LayoutForType(const QString& typeCode);
QString LayoutFilePath(const QString& layoutName);
