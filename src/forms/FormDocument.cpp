#include "forms/FormDocument.h"

#include <QRegularExpression>
#include <cmath>

#include "app/util/Encoding.h"
#include "app/util/Numbers.h"
#include "forms/FormTypes.h"

namespace {

// Rows of a series beyond this are not a real document (a damaged count); the series stays empty.
constexpr int kMaxSeriesRows = 999;

// A complete decimal number with "." as the point: sign, digits, optional fraction and exponent.
bool parseStrictNumber(const QString& text, double* out) {
    const int n = int(text.size());
    int i = 0;
    auto digits = [&] {
        int start = i;
        while (i < n && text[i] >= u'0' && text[i] <= u'9') ++i;
        return i - start;
    };
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
    int intDigits = digits(), fracDigits = 0;
    if (i < n && text[i] == u'.') {
        ++i;
        fracDigits = digits();
    }
    if (intDigits == 0 && fracDigits == 0) return false;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
        if (digits() == 0) return false;
    }
    if (i != n) return false;
    bool ok = false;
    double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

// Trims blanks and control characters from both ends.
QString trimControls(const QString& s) {
    int b = 0, e = int(s.size());
    while (b < e && s[b].unicode() <= 32) ++b;
    while (e > b && s[e - 1].unicode() <= 32) --e;
    return s.mid(b, e - b);
}

} // namespace

FormField::FormField(const FieldDef& def, int number, int seriesRow)
    : def_(def), number_(number), seriesRow_(seriesRow), label_(def.label), enabled_(!def.calculated) {
    if (!def.mask.isEmpty()) mask_ = EditMask(def.mask);
    if (seriesRow > 0) label_.replace(u'@', QString::number(seriesRow));
    if (!mask_.isEmpty()) text_ = mask_.editFromText(QString());
}

QString FormField::text() const {
    if (def_.kind == FieldKind::Edit && !mask_.isEmpty()) return mask_.textFromEdit(text_);
    return text_;
}

FormDocument::FormDocument(std::shared_ptr<const FormLayout> layout, QObject* parent)
    : QObject(parent), layout_(std::move(layout)) {
    fields_.reserve(size_t(layout_->fields.size()));
    for (const FieldDef& def : layout_->fields) fields_.push_back(std::make_unique<FormField>(def, def.number, 0));
}

std::unique_ptr<FormDocument> FormDocument::create(const QString& typeCode, QObject* parent) {
    const FormType* type = FindFormType(typeCode);
    if (!type) throw LayoutError(QStringLiteral("Nieznany typ formularza: %1").arg(typeCode).toStdString());
    auto doc = std::make_unique<FormDocument>(LayoutForType(type->typeCode()), parent);
    doc->setTypeCode(type->typeCode());
    return doc;
}

void FormDocument::rebuildIndex() const {
    index_.clear();
    for (int i = int(fields_.size()) - 1; i >= 0; --i) index_.insert(fields_[size_t(i)]->number(), i);
    indexValid_ = true;
}

FormField* FormDocument::FindFieldControl(int number) const {
    if (!indexValid_) rebuildIndex();
    auto it = index_.constFind(number);
    return it == index_.constEnd() ? nullptr : fields_[size_t(*it)].get();
}

QString FormDocument::NumericEditText(const FormField* f) {
    if (f->value_ == 0) return QString();
    return FixedNumberText(f->value_, f->def().displayDecimals(), false);
}

QString FormDocument::GetControlValue(const FormField* f) const {
    if (!f) return QString();
    switch (f->kind()) {
    case FieldKind::Edit: return f->text();
    case FieldKind::Numeric:
        if (!f->numberTextValid_) {
            f->numberText_ = GeneralNumberText(f->value_);
            f->numberTextValid_ = true;
        }
        return f->numberText_;
    case FieldKind::Check:
    case FieldKind::Radio: return f->checked_ ? QStringLiteral("1") : QStringLiteral("0");
    case FieldKind::Memo: {
        QString t = f->text_.trimmed();
        t.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        return t;
    }
    case FieldKind::Caption:
    case FieldKind::ComboText: return f->text_;
    case FieldKind::ComboList:
    case FieldKind::RadioGroup: return QString::number(f->index_);
    }
    return QString();
}

void FormDocument::SetControlValue(FormField* f, const QString& text) {
    if (!f) return;
    switch (f->kind()) {
    case FieldKind::Numeric: {
        QString t = text.trimmed();
        int comma = t.indexOf(u',');
        if (comma >= 0) t[comma] = u'.';
        double v = 0;
        if (!parseStrictNumber(t, &v)) v = 0;
        setNumber(f, v);
        return;
    }
    case FieldKind::Check:
    case FieldKind::Radio: setChecked(f, text == u"1"); return;
    case FieldKind::ComboList:
    case FieldKind::RadioGroup: {
        bool ok = false;
        int v = text.trimmed().toInt(&ok);
        if (ok && f->index_ != v) {
            f->index_ = v;
            emit fieldChanged(f);
        }
        return;
    }
    default: setText(f, text); return;
    }
}

QString FormDocument::ReadValue(const FormField* f) const {
    if (f && f->kind() == FieldKind::Memo) return f->text_;
    return GetControlValue(f);
}

void FormDocument::WriteValue(FormField* f, const QString& text) {
    if (!f) return;
    if (f->kind() == FieldKind::Numeric) {
        // Rules mostly write what the field already holds; its own text changes nothing.
        if (!text.isEmpty() && text == GetControlValue(f)) return;
        double v = 0;
        if (!parseStrictNumber(text.trimmed(), &v)) v = 0;
        setNumber(f, v);
        return;
    }
    SetControlValue(f, text);
}

QString FormDocument::GetFieldText(int number) const { return ReadValue(FindFieldControl(number)); }

void FormDocument::SetFieldText(int number, const QString& text) { WriteValue(FindFieldControl(number), text); }

void FormDocument::setNumber(FormField* f, double value) {
    double v = RoundHalfAway(value, f->def().decimals);
    if (v == 0) v = 0; // no negative zero
    if (v == f->value_) return;
    f->value_ = v;
    f->numberTextValid_ = false;
    emit fieldChanged(f);
}

void FormDocument::setChecked(FormField* f, bool checked) {
    if (checked && f->kind() == FieldKind::Radio) {
        // Choosing one choice of a box clears the others of the same box (and the same series row).
        for (auto& other : fields_) {
            FormField* o = other.get();
            if (o != f && o->kind() == FieldKind::Radio && o->checked_ && o->def().group == f->def().group &&
                o->seriesK() == f->seriesK() && o->seriesRow() == f->seriesRow()) {
                o->checked_ = false;
                emit fieldChanged(o);
            }
        }
    }
    if (f->checked_ == checked) return;
    f->checked_ = checked;
    emit fieldChanged(f);
}

void FormDocument::setText(FormField* f, const QString& text) {
    QString t = f->def().upper ? UpperCase1250(text) : text;
    if (f->kind() == FieldKind::Edit && !f->mask_.isEmpty()) t = f->mask_.editFromText(t);
    if (t == f->text_) return;
    f->text_ = t;
    emit fieldChanged(f);
}

void FormDocument::setEditBuffer(FormField* f, const QString& buffer) {
    if (f->mask_.isEmpty()) {
        setText(f, buffer);
        return;
    }
    QString b = buffer.left(f->mask_.positions().size());
    while (b.size() < f->mask_.positions().size()) b += u' ';
    if (b == f->text_) return;
    f->text_ = b;
    emit fieldChanged(f);
}

QString FormDocument::BuildDocumentText() const {
    QString out;
    out.reserve(int(fields_.size()) * 12);
    for (const auto& f : fields_) {
        out += QString::number(f->number());
        out += u'=';
        out += GetControlValue(f.get());
        out += QStringLiteral("\r\n");
    }
    return out;
}

void FormDocument::ApplyDocumentText(const QString& text) {
    if (!indexValid_) rebuildIndex();
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(lineBreak);
    for (const QString& line : lines) {
        int eq = line.indexOf(u'=');
        if (eq < 0) continue;
        bool ok = false;
        int number = line.left(eq).toInt(&ok);
        if (!ok || number <= 0) continue;
        auto it = index_.constFind(number);
        if (it == index_.constEnd()) continue;
        const QString value = trimControls(line.mid(eq + 1));
        for (size_t i = size_t(*it); i < fields_.size(); ++i)
            if (fields_[i]->number() == number) SetControlValue(fields_[i].get(), value);
    }
}

KeyValues FormDocument::keyValues() const {
    KeyValues k;
    for (const auto& fp : fields_) {
        const FormField* f = fp.get();
        const QString& key = f->def().key;
        if (key.isEmpty()) continue;
        QString value;
        switch (f->kind()) {
        case FieldKind::Edit: value = f->text(); break;
        case FieldKind::Numeric: value = NumericEditText(f); break;
        case FieldKind::Radio: value = f->checked_ ? QStringLiteral("1") : QStringLiteral("0"); break;
        default: continue;
        }
        if (key == u"IDEN1") k.nip = value.left(50);
        else if (key == u"IDEN2") k.nazwisko = value.left(50);
        else if (key == u"IDEN3") k.imie = value.left(50);
        else if (key == u"IDEN4") k.korekta = value.trimmed().toInt();
        else if (key == u"SERIA") k.series += value + u';';
    }
    return k;
}

void FormDocument::ClearFields() {
    for (auto& f : fields_) SetControlValue(f.get(), QString());
}

FormField* FormDocument::countField(int k) const {
    const SeriesDef* s = layout_->seriesByK(k);
    return s ? FindFieldControl(s->countField) : nullptr;
}

int FormDocument::seriesCount(int k) const {
    FormField* c = countField(k);
    return c ? int(std::lround(c->value())) : 0;
}

void FormDocument::CreateSeriesRow(int k, int i) {
    const SeriesDef* s = layout_->seriesByK(k);
    if (!s || i <= 0) return;
    for (int idx : s->templateFields) {
        const FieldDef& def = layout_->fields[idx];
        const FormField* tmpl = fields_[size_t(idx)].get(); // layout fields keep their layout positions
        auto row = std::make_unique<FormField>(def, def.number + 100 * i, i);
        // The new row starts as a copy of the template's current state.
        row->enabled_ = tmpl->enabled_;
        row->text_ = tmpl->text_;
        row->value_ = tmpl->value_;
        row->numberTextValid_ = false;
        row->checked_ = tmpl->checked_;
        row->index_ = tmpl->index_;
        fields_.push_back(std::move(row));
    }
    indexValid_ = false;
    emit seriesRowAdded(k, i);
}

void FormDocument::AddSeriesRow(int k) {
    FormField* c = countField(k);
    if (!c) return;
    int count = seriesCount(k) + 1;
    if (count > kMaxSeriesRows) return;
    setNumber(c, count);
    CreateSeriesRow(k, count);
}

void FormDocument::RemoveSeriesRow(int k) {
    FormField* c = countField(k);
    if (!c || c->value() <= 0) return;
    int row = int(std::lround(c->value()));
    std::erase_if(fields_, [&](const std::unique_ptr<FormField>& f) { return f->seriesK() == k && f->seriesRow() == row; });
    indexValid_ = false;
    setNumber(c, c->value() - 1);
    emit seriesRowRemoved(k, row);
}

void FormDocument::ExpandSeries(const QString& seriesText) {
    // Rebuild from scratch: drop the rows that exist, and tell the views which ones went.
    QList<QPair<int, int>> dropped;
    for (const auto& f : fields_)
        if (f->seriesRow() > 0 && !dropped.contains(qMakePair(f->seriesK(), f->seriesRow())))
            dropped.append(qMakePair(f->seriesK(), f->seriesRow()));
    if (std::erase_if(fields_, [](const std::unique_ptr<FormField>& f) { return f->seriesRow() > 0; }) > 0)
        indexValid_ = false;
    for (auto it = dropped.crbegin(); it != dropped.crend(); ++it) emit seriesRowRemoved(it->first, it->second);
    QString s = seriesText.trimmed();
    int k = 0;
    for (size_t i = 0; i < size_t(layout_->fields.size()); ++i) {
        FormField* f = fields_[i].get();
        if (!f->def().isNumeric() || f->def().key != u"SERIA") continue;
        ++k;
        QString countText;
        int semi = s.indexOf(u';');
        if (semi >= 0) {
            countText = s.left(semi);
            s = s.mid(semi + 1);
        }
        SetControlValue(f, countText);
        long rows = std::lround(f->value());
        if (rows < 0 || rows > kMaxSeriesRows) {
            setNumber(f, 0);
            rows = 0;
        }
        for (int r = 1; r <= rows; ++r) CreateSeriesRow(k, r);
    }
}

QString FormDocument::SeriesNumberOf(const QString& name) {
    static const QRegularExpression digits(QStringLiteral("(\\d+)(?!.*\\d)"));
    auto m = digits.match(name);
    return m.hasMatch() ? m.captured(1) : QStringLiteral("0");
}
