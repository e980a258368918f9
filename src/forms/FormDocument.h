#pragma once
// One filled-in form: its numbered fields in window order (the layout's fields, then the rows
// of the series in creation order) with their values, the document text that stores them,
// the key values copied into their own columns, and the series operations.
#include <QHash>
#include <QObject>
#include <QString>
#include <memory>
#include <vector>

#include "forms/EditMask.h"
#include "forms/FormLayout.h"

class FormField {
public:
    FormField(const FieldDef& def, int number, int seriesRow);

    const FieldDef& def() const { return def_; }
    int number() const { return number_; }
    FieldKind kind() const { return def_.kind; }
    int seriesK() const { return def_.series; }
    int seriesRow() const { return seriesRow_; } // 0 for layout fields (templates included)
    const QString& label() const { return label_; }
    const EditMask& mask() const { return mask_; }
    bool enabled() const { return enabled_; }
    void setEnabled(bool e) { enabled_ = e; }

    // Value store. Edit fields keep the stored text (for a masked field: its edit buffer).
    QString text() const;        // masked/plain/memo/caption/combo text
    double value() const { return value_; }
    bool checked() const { return checked_; }
    int index() const { return index_; }
    QString editBuffer() const { return text_; } // masked fields: one character per position

private:
    friend class FormDocument;
    FieldDef def_;
    int number_;
    int seriesRow_;
    QString label_;
    EditMask mask_;
    bool enabled_;
    QString text_;
    double value_ = 0;
    mutable QString numberText_; // the value's stored text, made when first asked for
    mutable bool numberTextValid_ = false;
    bool checked_ = false;
    int index_ = -1;
};

struct KeyValues {
    QString nip, nazwisko, imie; // cut to 50 characters
    int korekta = 0;
    QString series;             // FOR_SERIES: every count field's edit text followed by ";"
};

class FormDocument : public QObject {
    Q_OBJECT
public:
    explicit FormDocument(std::shared_ptr<const FormLayout> layout, QObject* parent = nullptr);
    // A new, cleared document of a form type; throws LayoutError for an unknown type or layout.
    static std::unique_ptr<FormDocument> create(const QString& typeCode, QObject* parent = nullptr);

    const FormLayout& layout() const { return *layout_; }
    std::shared_ptr<const FormLayout> layoutPtr() const { return layout_; }
    QString typeCode() const { return typeCode_; }
    void setTypeCode(const QString& code) { typeCode_ = code; }

    int fieldCount() const { return int(fields_.size()); }
    FormField* fieldAt(int i) const { return fields_[size_t(i)].get(); }
    // The first field of that number in window order, or nullptr.
    FormField* FindFieldControl(int number) const;

    // Storage conversions (document text).
    QString GetControlValue(const FormField* f) const;
    void SetControlValue(FormField* f, const QString& text);
    // Calculation conversions (rules): numbers only with ".", memo text unchanged.
    QString ReadValue(const FormField* f) const;
    void WriteValue(FormField* f, const QString& text);
    QString GetFieldText(int number) const;
    void SetFieldText(int number, const QString& text);

    // Direct setters used by the editor and tests.
    void setNumber(FormField* f, double value);
    void setChecked(FormField* f, bool checked);
    void setText(FormField* f, const QString& text);
    void setEditBuffer(FormField* f, const QString& buffer);
    // A numeric field's edit text: the value with its display decimals, no grouping, empty for 0.
    static QString NumericEditText(const FormField* f);

    QString BuildDocumentText() const;
    void ApplyDocumentText(const QString& text);
    KeyValues keyValues() const;
    // Empties every field: texts empty (a mask shows its literals), numbers 0, boxes unchecked.
    void ClearFields();

    // Series.
    void ExpandSeries(const QString& seriesText);
    void CreateSeriesRow(int k, int i);
    void AddSeriesRow(int k);
    void RemoveSeriesRow(int k);
    // By the name of a "Dodaj"/"Usuń" button (btn_<k>_add, btn_<k>_Remove).
    void AddSeriesRow(const QString& buttonName) { AddSeriesRow(SeriesNumberOf(buttonName).toInt()); }
    void RemoveSeriesRow(const QString& buttonName) { RemoveSeriesRow(SeriesNumberOf(buttonName).toInt()); }
    int seriesCount(int k) const;
    static QString SeriesNumberOf(const QString& name);

signals:
    void fieldChanged(FormField* field);
    void seriesRowAdded(int k, int i);
    void seriesRowRemoved(int k, int i);

private:
    FormField* countField(int k) const;
    void setRadio(FormField* f, bool checked);
    void rebuildIndex() const;

    std::shared_ptr<const FormLayout> layout_;
    QString typeCode_;
    std::vector<std::unique_ptr<FormField>> fields_;
    mutable QHash<int, int> index_; // number -> first position in fields_
    mutable bool indexValid_ = false;
};
