#include "forms/FormLayout.h"

#include <QFile>
#include <QHash>
#include <QSet>

#include "app/util/Folders.h"
#include "forms/EditMask.h"
#include "forms/FormTypes.h"

namespace {

struct Word {
    QString text;
    bool quoted = false;
};

// Splits a line into words: runs of non-blanks or double-quoted texts ("" for a quote);
// name="quoted value" stays one word with the quotes removed.
QList<Word> splitWords(const QString& line, int lineNo) {
    QList<Word> words;
    int i = 0;
    const int n = line.size();
    while (i < n) {
        while (i < n && line[i].isSpace()) ++i;
        if (i >= n) break;
        Word w;
        while (i < n && !line[i].isSpace()) {
            if (line[i] == u'"') {
                if (w.text.isEmpty()) w.quoted = true;
                ++i;
                bool closed = false;
                while (i < n) {
                    if (line[i] == u'"') {
                        if (i + 1 < n && line[i + 1] == u'"') {
                            w.text += u'"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    w.text += line[i++];
                }
                if (!closed) throw LayoutError(QStringLiteral("linia %1: niezamknięty cudzysłów").arg(lineNo).toStdString());
            } else {
                w.text += line[i++];
            }
        }
        words.append(w);
    }
    return words;
}

int toInt(const QString& s, int lineNo, const char* what) {
    bool ok = false;
    int v = s.toInt(&ok);
    if (!ok) throw LayoutError(QStringLiteral("linia %1: %2 nie jest liczbą: %3").arg(lineNo).arg(QString::fromLatin1(what), s).toStdString());
    return v;
}

[[noreturn]] void fail(int lineNo, const QString& message) {
    throw LayoutError(QStringLiteral("linia %1: %2").arg(lineNo).arg(message).toStdString());
}

void applyKindDefaults(FieldDef& f, int lineNo) {
    const QString& k = f.kindName;
    if (k == u"masked") f.kind = FieldKind::Edit;
    else if (k == u"text") f.kind = FieldKind::Edit;
    else if (k == u"upper") { f.kind = FieldKind::Edit; f.upper = true; }
    else if (k == u"amount") { f.kind = FieldKind::Numeric; f.decimals = 2; f.displayFormat = QStringLiteral(",0.00"); }
    else if (k == u"whole") { f.kind = FieldKind::Numeric; f.decimals = 0; f.displayFormat = QStringLiteral(",0"); }
    else if (k == u"count") { f.kind = FieldKind::Numeric; f.decimals = 2; f.displayFormat = QStringLiteral("0"); f.alignLeft = true; }
    else if (k == u"number") { f.kind = FieldKind::Numeric; f.decimals = 2; f.displayFormat = QStringLiteral(",0.00"); }
    else if (k == u"radio") f.kind = FieldKind::Radio;
    else if (k == u"check") f.kind = FieldKind::Check;
    else if (k == u"memo") f.kind = FieldKind::Memo;
    else if (k == u"caption") f.kind = FieldKind::Caption;
    else if (k == u"combo") f.kind = FieldKind::ComboList;
    else if (k == u"combotext") f.kind = FieldKind::ComboText;
    else if (k == u"radiogroup") f.kind = FieldKind::RadioGroup;
    else fail(lineNo, QStringLiteral("nieznany rodzaj pola: %1").arg(k));
}

} // namespace

int FieldDef::displayDecimals() const {
    int dot = displayFormat.indexOf(u'.');
    if (dot < 0) return 0;
    int n = 0;
    for (int i = dot + 1; i < displayFormat.size() && (displayFormat[i] == u'0' || displayFormat[i] == u'#'); ++i) ++n;
    return n;
}

FormLayout FormLayout::parse(const QString& text, const QString& sourceName) {
    FormLayout layout;
    QSet<int> numbers;
    int currentSeries = -1; // index into layout.series while inside a series block
    bool inRow = false;
    const QStringList lines = text.split(u'\n');
    try {
        for (int li = 0; li < lines.size(); ++li) {
            const int lineNo = li + 1;
            QString line = lines[li];
            if (line.endsWith(u'\r')) line.chop(1);
            const QString trimmed = line.trimmed();
            if (trimmed.isEmpty() || trimmed.startsWith(u'#')) continue;
            QList<Word> words = splitWords(trimmed, lineNo);
            const QString kw = words[0].text;
            auto closeRow = [&] {
                if (inRow) layout.items.append({LayoutItem::EndRow, {}, -1});
                inRow = false;
            };
            auto textArg = [&](int i) { return i < words.size() ? words[i].text : QString(); };
            if (layout.formName.isEmpty() && kw != u"form") fail(lineNo, QStringLiteral("plik musi zaczynać się od \"form\""));
            if (kw == u"form") {
                if (words.size() < 2) fail(lineNo, QStringLiteral("brak nazwy formularza"));
                layout.formName = words[1].text;
                layout.title = textArg(2);
            } else if (kw == u"subtitle") {
                layout.subtitle = textArg(1);
            } else if (kw == u"page") {
                closeRow();
                if (currentSeries >= 0) fail(lineNo, QStringLiteral("strona wewnątrz serii"));
                layout.items.append({LayoutItem::Page, textArg(1), layout.pageCount++});
            } else if (kw == u"section" || kw == u"note") {
                closeRow();
                layout.items.append({kw == u"section" ? LayoutItem::Section : LayoutItem::Note, textArg(1), -1});
            } else if (kw == u"row") {
                closeRow();
                layout.items.append({LayoutItem::Row, textArg(1), -1});
                inRow = true;
            } else if (kw == u"endrow") {
                closeRow();
            } else if (kw == u"series") {
                closeRow();
                if (currentSeries >= 0) fail(lineNo, QStringLiteral("seria wewnątrz serii"));
                SeriesDef s;
                if (words.size() < 2) fail(lineNo, QStringLiteral("brak numeru serii"));
                s.k = toInt(words[1].text, lineNo, "numer serii");
                for (int i = 2; i < words.size(); ++i) {
                    const QString& w = words[i].text;
                    if (!words[i].quoted && w.startsWith(QStringLiteral("count=")))
                        s.countField = toInt(w.mid(6), lineNo, "pole licznika");
                    else
                        s.caption = w;
                }
                if (s.countField <= 0) fail(lineNo, QStringLiteral("seria bez pola licznika (count=)"));
                if (layout.seriesByK(s.k)) fail(lineNo, QStringLiteral("seria %1 powtórzona").arg(s.k));
                layout.series.append(s);
                currentSeries = int(layout.series.size()) - 1;
                layout.items.append({LayoutItem::Series, s.caption, currentSeries});
            } else if (kw == u"endseries") {
                closeRow();
                if (currentSeries < 0) fail(lineNo, QStringLiteral("endseries bez series"));
                layout.items.append({LayoutItem::EndSeries, {}, currentSeries});
                currentSeries = -1;
            } else if (kw == u"field") {
                if (words.size() < 3) fail(lineNo, QStringLiteral("pole wymaga numeru i rodzaju"));
                FieldDef f;
                f.line = lineNo;
                f.number = toInt(words[1].text, lineNo, "numer pola");
                if (f.number <= 0) fail(lineNo, QStringLiteral("numer pola musi być dodatni"));
                if (numbers.contains(f.number)) fail(lineNo, QStringLiteral("pole %1 powtórzone").arg(f.number));
                numbers.insert(f.number);
                f.kindName = words[2].text;
                applyKindDefaults(f, lineNo);
                f.group = f.number;
                for (int i = 3; i < words.size(); ++i) {
                    const Word& w = words[i];
                    int eq = w.quoted ? -1 : w.text.indexOf(u'=');
                    if (w.quoted) {
                        f.label = w.text;
                        continue;
                    }
                    if (eq < 0 && w.text != u"calc") fail(lineNo, QStringLiteral("nieznany atrybut: %1").arg(w.text));
                    if (w.text == u"calc") {
                        f.calculated = true;
                        continue;
                    }
                    const QString name = w.text.left(eq);
                    const QString value = w.text.mid(eq + 1);
                    if (name == u"mask") f.mask = value;
                    else if (name == u"max") f.maxLength = toInt(value, lineNo, "max");
                    else if (name == u"dp") f.decimals = toInt(value, lineNo, "dp");
                    else if (name == u"fmt") f.displayFormat = value;
                    else if (name == u"key") f.key = value.toUpper();
                    else if (name == u"group") f.group = toInt(value, lineNo, "group");
                    else if (name == u"align") f.alignLeft = value == u"left";
                    else if (name == u"items") f.items = value.split(u'|');
                    else if (name == u"width") f.width = toInt(value, lineNo, "width");
                    else if (name == u"who") f.who = value;
                    else fail(lineNo, QStringLiteral("nieznany atrybut: %1").arg(name));
                }
                if (f.kindName == u"masked" && f.mask.isEmpty()) fail(lineNo, QStringLiteral("pole maskowane bez maski"));
                if (!f.mask.isEmpty() && EditMask(f.mask).isEmpty()) fail(lineNo, QStringLiteral("pusta maska"));
                static const QStringList keys = {QString(), "IDEN1", "IDEN2", "IDEN3", "IDEN4", "SERIA"};
                if (!keys.contains(f.key)) fail(lineNo, QStringLiteral("nieznany klucz: %1").arg(f.key));
                if (f.decimals < 0 || f.decimals > 15) fail(lineNo, QStringLiteral("niedozwolona liczba miejsc po przecinku"));
                if (currentSeries >= 0) {
                    f.series = layout.series[currentSeries].k;
                    layout.series[currentSeries].templateFields.append(int(layout.fields.size()));
                }
                layout.items.append({LayoutItem::Field, {}, int(layout.fields.size())});
                layout.fields.append(f);
            } else {
                fail(lineNo, QStringLiteral("nieznane słowo kluczowe: %1").arg(kw));
            }
        }
        if (currentSeries >= 0) fail(int(lines.size()), QStringLiteral("brak endseries"));
        if (inRow) layout.items.append({LayoutItem::EndRow, {}, -1});
        if (layout.formName.isEmpty()) throw LayoutError("plik układu jest pusty");
        for (const SeriesDef& s : layout.series) {
            const FieldDef* c = layout.fieldByNumber(s.countField);
            if (!c || !c->isNumeric() || c->key != u"SERIA")
                throw LayoutError(QStringLiteral("seria %1: pole licznika %2 musi być polem liczbowym z kluczem SERIA")
                                      .arg(s.k).arg(s.countField).toStdString());
        }
    } catch (const LayoutError& e) {
        if (sourceName.isEmpty()) throw;
        throw LayoutError((sourceName + QStringLiteral(", ") + QString::fromUtf8(e.what())).toStdString());
    }
    return layout;
}

FormLayout FormLayout::load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw LayoutError(QStringLiteral("Nie można odczytać układu formularza %1: %2").arg(path, f.errorString()).toStdString());
    return parse(QString::fromUtf8(f.readAll()), path);
}

const FieldDef* FormLayout::fieldByNumber(int number) const {
    for (const FieldDef& f : fields)
        if (f.number == number) return &f;
    return nullptr;
}

const SeriesDef* FormLayout::seriesByK(int k) const {
    for (const SeriesDef& s : series)
        if (s.k == k) return &s;
    return nullptr;
}

QString LayoutFilePath(const QString& layoutName) {
    return FindDataFile(QStringLiteral("LAYOUT/") + layoutName + QStringLiteral(".lay"));
}

std::shared_ptr<const FormLayout> LayoutForType(const QString& typeCode) {
    static QHash<QString, std::shared_ptr<const FormLayout>> cache;
    const FormType* type = FindFormType(typeCode);
    if (!type) throw LayoutError(QStringLiteral("Nieznany typ formularza: %1").arg(typeCode).toStdString());
    const QString name = type->layoutName();
    const QString path = LayoutFilePath(name);
    const QString cacheKey = path.isEmpty() ? name : path;
    if (auto it = cache.constFind(cacheKey); it != cache.constEnd()) return *it;
    if (path.isEmpty())
        throw LayoutError(QStringLiteral("Brak układu formularza %1 (LAYOUT/%2.lay)").arg(type->displayName(), name).toStdString());
    auto layout = std::make_shared<const FormLayout>(FormLayout::load(path));
    cache.insert(cacheKey, layout);
    return layout;
}
