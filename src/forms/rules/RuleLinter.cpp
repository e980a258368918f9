#include "forms/rules/RuleLinter.h"

#include <QRegularExpression>
#include <QSet>

#include "app/util/Encoding.h"
#include "app/util/Numbers.h"
#include "forms/FormDocument.h"
#include "forms/rules/RuleEngine.h"

namespace {

// Whether a field number exists in the layout or in some row of one of its series.
bool fieldExists(const FormLayout& layout, int n) {
    if (layout.fieldByNumber(n)) return true;
    for (const SeriesDef& s : layout.series)
        for (int idx : s.templateFields) {
            int t = layout.fields[idx].number;
            if (n > t && (n - t) % 100 == 0) return true;
        }
    return false;
}

// Fills every field with a plausible value of its kind.
void fillSamples(FormDocument& doc) {
    QSet<int> groups;
    for (int i = 0; i < doc.fieldCount(); ++i) {
        FormField* f = doc.fieldAt(i);
        switch (f->kind()) {
        case FieldKind::Numeric: doc.setNumber(f, 1000 + f->number() % 97 + 0.25); break;
        case FieldKind::Check: doc.setChecked(f, true); break;
        case FieldKind::Radio:
            if (!groups.contains(f->def().group)) {
                groups.insert(f->def().group);
                doc.setChecked(f, true);
            }
            break;
        case FieldKind::Edit:
            if (!f->mask().isEmpty()) {
                QString buffer;
                for (const auto& p : f->mask().positions())
                    buffer += p.cls == EditMask::CharClass::Literal ? p.literal
                              : (p.cls == EditMask::CharClass::Letter || p.cls == EditMask::CharClass::AlphaNumeric) ? QChar(u'A')
                                                                                                                    : QChar(u'1');
                doc.setEditBuffer(f, buffer);
            } else {
                doc.setText(f, QStringLiteral("Próbny O'Tekst"));
            }
            break;
        case FieldKind::Memo: doc.setText(f, QStringLiteral("linia 1\r\nlinia 2")); break;
        default: break;
        }
    }
}

} // namespace

QList<LintFinding> LintRules(const QStringList& lines, std::shared_ptr<const FormLayout> layout) {
    QList<LintFinding> findings;
    QSet<QString> seen; // one finding per line and message
    auto report = [&](int index, const QString& message) {
        const QString key = QString::number(index) + u'\x01' + message;
        if (seen.contains(key)) return;
        seen.insert(key);
        findings.append({index + 1, lines.value(index), message});
    };

    // Static checks: references and targets.
    static const QRegularExpression ref(QStringLiteral("\\[([^\\]]*)\\]"));
    QSet<QString> assigned;
    auto noteTargets = [&](int index) {
        const QString& line = lines[index];
        // Every action of the line may assign: the then-part and the else-part.
        QString t = line.trimmed();
        int then = int(t.indexOf(QLatin1String(" THEN "), 0, Qt::CaseInsensitive));
        QStringList actions;
        if (t.startsWith(QLatin1String("IF "), Qt::CaseInsensitive) && then >= 2) {
            QString rest = t.mid(then + 6);
            int els = int(rest.indexOf(QLatin1String(" ELSE ")));
            actions << (els >= 0 ? rest.left(els) : rest);
            if (els >= 0) actions << rest.mid(els + 6);
        } else {
            actions << t;
        }
        for (const QString& a : actions) {
            int eq = int(a.indexOf(u'='));
            if (eq < 0) continue;
            QString name = a.left(eq).trimmed();
            if (name.isEmpty()) continue;
            if (IsIntegerText(name)) {
                bool ok = false;
                int n = name.toInt(&ok);
                if (ok && !fieldExists(*layout, n)) report(index, QStringLiteral("pole %1 nie istnieje w układzie").arg(n));
            } else if (name.compare(QLatin1String("ITERATION"), Qt::CaseInsensitive) != 0) {
                assigned.insert(UpperCase1250(name));
            }
        }
    };
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (line.trimmed().isEmpty()) continue;
        // ITERATION templates write [@n] for the field of each row.
        for (auto it = ref.globalMatch(line); it.hasNext();) {
            const QString name = it.next().captured(1).trimmed();
            if (name.startsWith(u'@')) continue;
            if (IsIntegerText(name) && !name.isEmpty()) {
                bool ok = false;
                int n = name.toInt(&ok);
                if (!ok || !fieldExists(*layout, n)) report(i, QStringLiteral("pole [%1] nie istnieje w układzie").arg(name));
            } else if (!assigned.contains(UpperCase1250(name))) {
                report(i, QStringLiteral("zmienna [%1] nie jest ustawiana powyżej").arg(name));
            }
        }
        noteTargets(i);
    }

    // Dynamic checks: run the rules as passes on an empty form and on a filled one.
    for (int round = 0; round < 2; ++round) {
        FormDocument doc(layout);
        for (const SeriesDef& s : layout->series) {
            doc.AddSeriesRow(s.k);
            doc.AddSeriesRow(s.k);
        }
        if (round == 1) fillSamples(doc);
        RuleEngine engine(doc);
        engine.SetRules(lines);
        engine.onFailure = [&](int index, const QString& expression, const QString& error) {
            report(index, QStringLiteral("%1 (%2: %3)").arg(round == 0 ? QStringLiteral("błąd na pustym formularzu")
                                                                        : QStringLiteral("błąd na wypełnionym formularzu"),
                                                             expression, error));
        };
        engine.RunPass();
        engine.onFailure = nullptr;
        // The check messages are evaluated with their letters as written.
        engine.Evaluator().caseSensitive = true;
        for (int i = 0; i < lines.size(); ++i) {
            if (!lines[i].startsWith(QLatin1String("ERROR"), Qt::CaseInsensitive)) continue;
            int eq = int(lines[i].indexOf(u'='));
            if (eq < 0) continue;
            engine.EvaluateRule(lines[i].mid(eq + 1));
            if (!engine.LastError().isEmpty()) report(i, QStringLiteral("komunikat: %1").arg(engine.LastError()));
        }
    }
    std::sort(findings.begin(), findings.end(), [](const LintFinding& a, const LintFinding& b) { return a.line < b.line; });
    return findings;
}
