// Building the sheets of the editor from the layout: sections as bands, every field as its
// caption and box side by side with the box number before the box, rows of fields as small
// tables under their captions, the series with their rows and buttons.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QVBoxLayout>

#include "forms/ui/EditorMetrics.h"
#include "forms/ui/MorvekCalcEdit.h"
#include "forms/ui/MorvekEdit.h"
#include "forms/ui/PageControl.h"

namespace {

const QColor kSectionBand(0xd9, 0xe2, 0xee);
const QColor kSubSectionBand(0xec, 0xf0, 0xf6);
const QColor kSectionText(0x1c, 0x33, 0x55);
const QColor kNumberText(0x8a, 0x8a, 0x8a);
const QColor kDesk(0xe4, 0xe7, 0xeb);

bool IsChoice(const FormField* f) {
    return f->kind() == FieldKind::Check || f->kind() == FieldKind::Radio;
}

int TextHeight(const QFont& font, const QString& text, int width) {
    if (text.isEmpty()) return 0;
    return QFontMetrics(font)
        .boundingRect(QRect(0, 0, qMax(1, width), 100000), Qt::TextWordWrap, text)
        .height();
}

QLabel* MakeLabel(QWidget* parent, const QString& text, const QFont& font, int x, int y, int w) {
    auto* l = new QLabel(text, parent);
    l->setFont(font);
    l->setWordWrap(true);
    l->setGeometry(x, y, w, l->heightForWidth(w));
    return l;
}

} // namespace

FormEditorWindow::Metrics::Metrics(const QFont& base) : font(base) {
    small = base;
    small.setPointSizeF(qMax(6.0, base.pointSizeF() - 1.5));
    bold = base;
    bold.setBold(true);
    section = bold;
    title = bold;
    title.setPointSizeF(base.pointSizeF() + 3);
    note = base;
    note.setItalic(true);
    QLineEdit probe;
    probe.setFont(base);
    H = qMax(20, probe.sizeHint().height());
    const QFontMetrics fm(base);
    lineH = fm.height();
    smallLineH = QFontMetrics(small).height();
    charW = qMax(5, fm.averageCharWidth());
    digitW = fm.horizontalAdvance(QStringLiteral("0"));
    numW = QFontMetrics(small).horizontalAdvance(QStringLiteral("9999")) + 2;
    contentW = sheetW - 2 * margin;
}

struct FormEditorWindow::Canvas {
    QWidget* w = nullptr;
    int y = 0;
};

struct FormEditorWindow::RunRow {
    QString caption;
    QList<FormField*> fields;
    QStringList notesAfter;
};

int FormEditorWindow::boxWidth(const FieldDef& d) const {
    const QFontMetrics fm(m_->font);
    switch (d.kind) {
    case FieldKind::Numeric: {
        if (d.key == u"SERIA" || d.kindName == u"count")
            return fm.horizontalAdvance(QStringLiteral("9999")) + 16;
        if (d.decimals > 4) return fm.horizontalAdvance(QStringLiteral("999.9999999999")) + 14;
        // Room for tens of millions; larger values still scroll into view while edited.
        QString sample = QStringLiteral("99\u00A0999\u00A0999");
        if (d.displayDecimals() > 0) sample += u'.' + QString(d.displayDecimals(), u'9');
        return fm.horizontalAdvance(sample) + 10; // the frame and text margins take 8
    }
    case FieldKind::Edit: {
        if (!d.mask.isEmpty()) {
            QString sample; // the widest the filled field gets
            const EditMask mask(d.mask);
            for (const EditMask::Position& p : mask.positions()) {
                if (p.cls == EditMask::CharClass::Literal)
                    sample += p.literal;
                else if (p.cls == EditMask::CharClass::Digit || p.cls == EditMask::CharClass::DigitOrSign)
                    sample += u'0';
                else
                    sample += u'W';
            }
            return fm.horizontalAdvance(sample) + 18;
        }
        const int chars = d.width > 0 ? d.width : d.maxLength > 0 ? qMin(d.maxLength, 40) : 30;
        return qMax(36, chars * m_->charW + 14);
    }
    case FieldKind::Memo:
        return 60 * m_->charW;
    case FieldKind::ComboList:
    case FieldKind::ComboText:
    case FieldKind::Caption:
        return qMax(160, (d.width > 0 ? d.width : 30) * m_->charW);
    case FieldKind::RadioGroup:
        return m_->right() - m_->boxX();
    case FieldKind::Check:
    case FieldKind::Radio:
        return QFontMetrics(m_->font).horizontalAdvance(d.label) + 28;
    }
    return 120;
}

QLabel* FormEditorWindow::addNumber(QWidget* parent, int number, int x, int y) {
    auto* l = new QLabel(QString::number(number), parent);
    l->setFont(m_->small);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, kNumberText);
    l->setPalette(p);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    l->setGeometry(x, y, m_->numW, m_->H);
    return l;
}

QPushButton* FormEditorWindow::addPickerButton(QWidget* parent, const QString& name, QWidget* beside) {
    auto* b = new QPushButton(QStringLiteral("..."), parent);
    b->setObjectName(name);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    const QRect g = beside->geometry();
    b->setGeometry(g.right() + 4, g.y(), 28, g.height());
    return b;
}

QWidget* FormEditorWindow::newPage(const QString& caption, QVBoxLayout** layout) {
    auto* area = new QScrollArea;
    area->setObjectName(caption);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto* desk = new QWidget;
    desk->setObjectName(QStringLiteral("desk"));
    desk->setAutoFillBackground(true);
    QPalette dp = desk->palette();
    dp.setColor(QPalette::Window, kDesk);
    desk->setPalette(dp);
    auto* h = new QHBoxLayout(desk);
    h->setContentsMargins(8, 8, 8, 8);
    auto* sheet = new QWidget(desk);
    sheet->setObjectName(QStringLiteral("sheet"));
    sheet->setAutoFillBackground(true);
    QPalette sp = sheet->palette();
    sp.setColor(QPalette::Window, Qt::white);
    sheet->setPalette(sp);
    sheet->setFixedWidth(m_->sheetW);
    auto* v = new QVBoxLayout(sheet);
    v->setContentsMargins(0, 10, 0, 16);
    v->setSpacing(0);
    h->addStretch(1);
    h->addWidget(sheet, 0, Qt::AlignTop);
    h->addStretch(1);
    area->setWidget(desk);
    *layout = v;
    return area;
}

void FormEditorWindow::buildPages() {
    const FormLayout& layout = doc_->layout();
    QList<int> starts; // item index of every page
    for (int i = 0; i < layout.items.size(); ++i)
        if (layout.items[i].type == LayoutItem::Page) starts << i;
    if (starts.isEmpty()) {
        QVBoxLayout* v = nullptr;
        singlePage_ = static_cast<QScrollArea*>(newPage(QStringLiteral("sb_1"), &v));
        layoutItems(singlePage_->widget()->findChild<QWidget*>(QStringLiteral("sheet")), v, 0,
                    int(layout.items.size()), true);
        return;
    }
    // Whatever stands before the first page belongs to it.
    for (int p = 0; p < starts.size(); ++p) {
        const int from = p == 0 ? 0 : starts[p] + 1;
        const int to = p + 1 < starts.size() ? starts[p + 1] : int(layout.items.size());
        QVBoxLayout* v = nullptr;
        QWidget* page = newPage(layout.items[starts[p]].text, &v);
        pages_->addPage(page, layout.items[starts[p]].text);
        layoutItems(page->findChild<QWidget*>(QStringLiteral("sheet")), v, from, to, p == 0);
    }
}

void FormEditorWindow::layoutItems(QWidget* sheet, QVBoxLayout* pageLayout, int from, int to, bool first) {
    const FormLayout& layout = doc_->layout();
    const auto& items = layout.items;
    Canvas c;
    auto open = [&] {
        c.w = new QWidget(sheet);
        c.y = 0;
    };
    auto flush = [&] {
        if (!c.w) return;
        c.w->setFixedSize(m_->sheetW, c.y);
        pageLayout->addWidget(c.w);
        c.w = nullptr;
    };
    open();
    int i = from;
    while (i < to && items[i].type == LayoutItem::Page)
        ++i;
    if (first && !layout.title.isEmpty()) {
        FormField* header = nullptr;
        if (i < to && items[i].type == LayoutItem::Field) {
            // A short field such as the tax year stands beside the title; a long caption does not.
            FormField* f = doc_->fieldAt(items[i].index);
            const bool small =
                QFontMetrics(m_->font).horizontalAdvance(f->label()) <= 120 && boxWidth(f->def()) <= 120;
            if (!IsChoice(f) && f->kind() != FieldKind::Memo && small) {
                header = f;
                ++i;
            }
        }
        layoutTitle(c, header);
    }
    while (i < to) {
        const LayoutItem& item = items[i];
        switch (item.type) {
        case LayoutItem::Section:
            layoutSection(c, item.text);
            ++i;
            break;
        case LayoutItem::Note:
            layoutNote(c, item.text, m_->indent);
            ++i;
            break;
        case LayoutItem::Row: {
            QList<RunRow> rows;
            while (i < to) {
                if (items[i].type == LayoutItem::Row) {
                    RunRow r;
                    r.caption = items[i].text;
                    ++i;
                    while (i < to && items[i].type == LayoutItem::Field)
                        r.fields << doc_->fieldAt(items[i++].index);
                    if (i < to && items[i].type == LayoutItem::EndRow) ++i;
                    rows << r;
                } else if (items[i].type == LayoutItem::Note && i + 1 < to &&
                           items[i + 1].type == LayoutItem::Row) {
                    rows.last().notesAfter << items[i].text;
                    ++i;
                } else {
                    break;
                }
            }
            layoutRun(c, rows, false);
            break;
        }
        case LayoutItem::Field: {
            FormField* f = doc_->fieldAt(item.index);
            if (!IsChoice(f)) {
                layoutSingle(c, f);
                ++i;
                break;
            }
            // Choices of one box (or check boxes standing together) flow side by side.
            QList<FormField*> flow{f};
            ++i;
            while (i < to && items[i].type == LayoutItem::Field) {
                FormField* g = doc_->fieldAt(items[i].index);
                if (g->kind() != f->kind() ||
                    (f->kind() == FieldKind::Radio && g->def().group != f->def().group))
                    break;
                flow << g;
                ++i;
            }
            layoutChoices(c, flow);
            break;
        }
        case LayoutItem::Series: {
            flush();
            QWidget* block = buildSeries(layout.series[item.index].k, sheet);
            pageLayout->addWidget(block);
            while (i < to && items[i].type != LayoutItem::EndSeries)
                ++i;
            ++i;
            open();
            break;
        }
        default:
            ++i;
            break;
        }
    }
    flush();
    pageLayout->addStretch(1);
}

void FormEditorWindow::layoutTitle(Canvas& c, FormField* header) {
    const Metrics& m = *m_;
    int headerW = 0;
    QWidget* box = nullptr;
    if (header) {
        box = createFieldWidget(header, c.w);
        const int bw = boxWidth(header->def());
        const int labelW = QFontMetrics(m.font).horizontalAdvance(header->label()) + 6;
        headerW = labelW + m.numW + 8 + bw;
        const int bx = m.right() - bw;
        box->setGeometry(bx, c.y + 6, bw, m.H);
        addNumber(c.w, header->number(), bx - m.numW - 4, c.y + 6);
        if (auto* e = qobject_cast<TMorvekEditBase*>(box); e && !header->label().isEmpty()) {
            e->setEditLabelAlign(EditLabelAlign::elRelative);
            e->setEditLabelLeft(-(m.numW + 6 + labelW));
            e->setEditLabelTop((m.H - m.lineH) / 2 - 1);
            e->setEditLabel(header->label());
        }
    }
    const int titleW = m.contentW - headerW - 16;
    QLabel* title = MakeLabel(c.w, doc_->layout().title.trimmed(), m.title, m.margin, c.y + 4, titleW);
    title->setObjectName(QStringLiteral("lblTitle"));
    int bottom = title->geometry().bottom();
    if (!doc_->layout().subtitle.isEmpty()) {
        QLabel* sub = MakeLabel(c.w, doc_->layout().subtitle.trimmed(), m.bold, m.margin, bottom + 2, titleW);
        bottom = sub->geometry().bottom();
    }
    if (box) bottom = qMax(bottom, box->geometry().bottom());
    c.y = bottom + 12;
}

void FormEditorWindow::layoutSection(Canvas& c, const QString& text) {
    const Metrics& m = *m_;
    static const QRegularExpression sub(QStringLiteral("^[A-Z]\\.\\d"));
    const bool isSub = sub.match(text).hasMatch();
    if (c.y > 0) c.y += isSub ? 2 : 6;
    auto* band = new QLabel(text, c.w);
    band->setFont(m.section);
    band->setWordWrap(true);
    band->setAutoFillBackground(true);
    band->setIndent(8);
    band->setMargin(3);
    QPalette p = band->palette();
    p.setColor(QPalette::Window, isSub ? kSubSectionBand : kSectionBand);
    p.setColor(QPalette::WindowText, kSectionText);
    band->setPalette(p);
    band->setGeometry(m.margin, c.y, m.contentW, band->heightForWidth(m.contentW));
    c.y += band->height() + m.gap + 2;
}

void FormEditorWindow::layoutNote(Canvas& c, const QString& text, int indent) {
    const Metrics& m = *m_;
    QLabel* l = MakeLabel(c.w, text, m.note, m.margin + indent, c.y, m.contentW - indent);
    c.y += l->height() + m.gap;
}

void FormEditorWindow::layoutSingle(Canvas& c, FormField* f) {
    const Metrics& m = *m_;
    const FieldDef& d = f->def();
    const int n = f->number();
    const bool picker = n > 0 && (n == entry_.taxOfficeCodeField || n == entry_.oppField);
    const int boxX = m.boxX();
    const int bw = qMin(boxWidth(d), m.right() - boxX - (picker ? 32 : 0));
    const int h = d.kind == FieldKind::Memo         ? 3 * m.lineH + 10
                  : d.kind == FieldKind::RadioGroup ? m.H + 4
                                                    : m.H;
    QWidget* w = createFieldWidget(f, c.w);
    w->setGeometry(boxX, c.y, bw, h);
    addNumber(c.w, n, boxX - m.numW - 4, c.y);
    const int labelX = m.margin + m.indent;
    const int labelW = boxX - m.numW - 12 - labelX;
    const int labelTop = (m.H - m.lineH) / 2 - 1;
    int labelH = 0;
    if (!f->label().isEmpty()) {
        if (auto* e = qobject_cast<TMorvekEditBase*>(w)) {
            e->setEditLabelAlign(EditLabelAlign::elRelative);
            e->setEditLabelLeft(labelX - boxX);
            e->setEditLabelTop(labelTop);
            e->setEditLabelWidth(labelW);
            e->setEditLabel(f->label());
            labelH = e->label()->height();
        } else {
            QLabel* l = MakeLabel(c.w, f->label(), m.font, labelX, c.y + labelTop, labelW);
            rowCaptionOf_.insert(w, l);
            labelH = l->height();
        }
    }
    if (picker) {
        QPushButton* b = addPickerButton(
            c.w, n == entry_.taxOfficeCodeField ? QStringLiteral("btn_PobUS") : QStringLiteral("btn_PobOPP"),
            w);
        if (n == entry_.taxOfficeCodeField)
            connect(b, &QPushButton::clicked, this,
                    [this] { FillTaxOfficeFields(entry_.taxOfficeCodeField, entry_.taxOfficeNameField); });
        else
            connect(b, &QPushButton::clicked, this, [this] { FillOppField(entry_.oppField); });
    }
    c.y += qMax(h, labelTop + labelH) + m.gap;
}

void FormEditorWindow::layoutChoices(Canvas& c, const QList<FormField*>& fields) {
    const Metrics& m = *m_;
    const int start = m.margin + m.indent;
    int x = start;
    for (FormField* f : fields) {
        QWidget* w = createFieldWidget(f, c.w);
        const int ww = qMin(w->sizeHint().width(), m.right() - start - m.numW - 6);
        const int cell = m.numW + 4 + ww + 22;
        if (x > start && x + cell - 22 > m.right()) {
            x = start;
            c.y += m.H + 2;
        }
        addNumber(c.w, f->number(), x, c.y);
        w->setGeometry(x + m.numW + 4, c.y, ww, m.H);
        x += cell;
    }
    c.y += m.H + m.gap;
}

void FormEditorWindow::layoutRun(Canvas& c, const QList<RunRow>& rows, bool ownLabels) {
    const Metrics& m = *m_;
    auto cellBox = [&](const FormField* f) { return qMin(boxWidth(f->def()), m.contentW / 2); };

    // Columns by caption: a field joins the column of its caption when that lies to the right of
    // the row's previous field, so "Przychód" stays under "Przychód" in every row. A caption the
    // run has not seen takes the next column (showing its own caption); unseen captions in front
    // of the first known one ("(tytuł)" before "Podatnik") stand under the row's caption instead.
    QStringList cols;
    QList<QList<int>> colOf; // -1: under the row's caption
    for (const RunRow& r : rows) {
        const int n = int(r.fields.size());
        QList<int> cs(n, -2);
        int prev = -1, firstMatched = -1;
        for (int j = 0; j < n; ++j)
            for (int k = prev + 1; k < cols.size(); ++k)
                if (cols[k] == r.fields[j]->label()) {
                    cs[j] = prev = k;
                    if (firstMatched < 0) firstMatched = j;
                    break;
                }
        prev = -1;
        for (int j = 0; j < n; ++j) {
            if (firstMatched > 0 && j < firstMatched) {
                cs[j] = -1;
                continue;
            }
            if (cs[j] <= prev) cs[j] = prev + 1;
            if (cs[j] >= cols.size()) cols << r.fields[j]->label();
            prev = cs[j];
        }
        colOf << cs;
    }
    const int ncols = int(cols.size());
    QList<int> colBox(ncols, 40);
    int leadW = 0;
    for (int r = 0; r < rows.size(); ++r)
        for (int j = 0; j < rows[r].fields.size(); ++j) {
            const int col = colOf[r][j];
            if (col >= 0)
                colBox[col] = qMax(colBox[col], cellBox(rows[r].fields[j]));
            else
                leadW += m.numW + 4 + cellBox(rows[r].fields[j]) + 6;
        }
    int total = 0;
    for (int b : colBox)
        total += m.numW + 4 + b + 6;
    const bool side = !ownLabels && m.labelCol + total <= m.contentW + 6 && leadW <= m.labelCol - m.indent;
    const int cellsX = side ? m.margin + m.labelCol : m.margin + m.indent;
    const bool wrap = cellsX + total > m.right() + 6; // too wide for one line: cells flow on
    const bool shared = !ownLabels && !wrap;          // column captions shown once above the run
    QList<int> colX(ncols, cellsX);
    for (int k = 1; k < ncols; ++k)
        colX[k] = colX[k - 1] + m.numW + 4 + colBox[k - 1] + 6;
    auto labelWidth = [&](int col, const FormField* f) {
        return col >= 0 && !wrap ? qMax(40, colBox[col] + 10) : qMax(140, cellBox(f));
    };

    // The field that shows each column's caption; the others of the column highlight it.
    QList<FormField*> owner(ncols, nullptr);
    int headerH = 0;
    if (shared)
        for (int r = 0; r < rows.size(); ++r)
            for (int j = 0; j < rows[r].fields.size(); ++j) {
                FormField* f = rows[r].fields[j];
                const int col = colOf[r][j];
                if (col >= 0 && !owner[col] && !IsChoice(f) && !f->label().isEmpty() &&
                    f->label() == cols[col]) {
                    owner[col] = f;
                    headerH = qMax(headerH, TextHeight(m.small, f->label(), labelWidth(col, f)));
                }
            }
    auto needsOwnLabel = [&](int r, int j) {
        FormField* f = rows[r].fields[j];
        if (IsChoice(f) || f->label().isEmpty()) return false;
        const int col = colOf[r][j];
        if (!shared || col < 0) return true;
        return owner[col] != f && (!owner[col] || owner[col]->label() != f->label());
    };
    bool headerDone = headerH == 0;
    int headerY = 0;
    QHash<FormField*, QWidget*> made;
    QList<QPair<TMorvekEditBase*, FormField*>> links;

    // One cell: number, box and, where needed, its own caption right above the box.
    auto place = [&](int r, int j, int x, int y, QLabel* caption) {
        FormField* f = rows[r].fields[j];
        const int col = colOf[r][j];
        QWidget* w = createFieldWidget(f, c.w);
        made.insert(f, w);
        const int ww = IsChoice(f) ? qMin(w->sizeHint().width(), qMax(cellBox(f), 60)) : cellBox(f);
        w->setGeometry(x + m.numW + 4, y, ww, m.H);
        addNumber(c.w, f->number(), x, y);
        if (caption) rowCaptionOf_.insert(w, caption);
        auto* e = qobject_cast<TMorvekEditBase*>(w);
        const int lw = labelWidth(col, f);
        auto attach = [&](int top) {
            if (e) {
                e->setEditLabelFont(m.small);
                e->setEditLabelAlign(EditLabelAlign::elRelative);
                e->setEditLabelLeft(0);
                e->setEditLabelTop(top - y);
                e->setEditLabelWidth(lw);
                e->setEditLabel(f->label());
            } else {
                MakeLabel(c.w, f->label(), m.small, x + m.numW + 4, top, lw);
            }
        };
        if (needsOwnLabel(r, j)) {
            attach(y - TextHeight(m.small, f->label(), lw) - 1);
        } else if (shared && col >= 0 && !IsChoice(f)) {
            FormField* o = owner[col];
            // Column captions stand on the boxes: a one-line caption sits low in the header.
            if (o == f)
                attach(headerY + headerH - TextHeight(m.small, f->label(), lw));
            else if (o && e)
                links << qMakePair(e, o);
        }
        return x + m.numW + 4 + qMax(ww, col >= 0 && !wrap ? 0 : lw) + 6;
    };
    auto ownLabelsHeight = [&](int r, bool lead) {
        int h = 0;
        for (int j = 0; j < rows[r].fields.size(); ++j)
            if ((colOf[r][j] < 0) == lead && needsOwnLabel(r, j))
                h = qMax(h, TextHeight(m.small, rows[r].fields[j]->label(),
                                       labelWidth(colOf[r][j], rows[r].fields[j])) +
                                1);
        return h;
    };

    for (int r = 0; r < rows.size(); ++r) {
        const RunRow& row = rows[r];
        bool hasBox = false, hasLead = false;
        for (int j = 0; j < row.fields.size(); ++j) {
            if (colOf[r][j] < 0)
                hasLead = true;
            else if (!IsChoice(row.fields[j]))
                hasBox = true;
        }
        const int subH = ownLabelsHeight(r, false);
        const int leadSubH = ownLabelsHeight(r, true);
        QLabel* caption = nullptr;
        int top = c.y;
        if (!side && !row.caption.isEmpty()) {
            // A series row's caption heads a block of its own.
            caption = MakeLabel(c.w, row.caption, ownLabels ? m.bold : m.font, m.margin + m.indent, top,
                                m.contentW - m.indent);
            top += caption->height() + 3;
        }
        if (!headerDone && hasBox) {
            headerY = top;
            top += headerH + 2;
            headerDone = true;
        }
        int bottom = top;
        if (!side && hasLead) { // the cells in front of the columns get a line of their own
            int x = cellsX;
            for (int j = 0; j < row.fields.size(); ++j)
                if (colOf[r][j] < 0) x = place(r, j, x, top + leadSubH, caption);
            top += leadSubH + m.H + 4;
        }
        if (side && !row.caption.isEmpty())
            caption = MakeLabel(c.w, row.caption, m.font, m.margin + m.indent,
                                top + subH + (m.H - m.lineH) / 2 - 1, m.labelCol - m.indent - 10);
        int y = top + subH;
        if (wrap) {
            // Lines of cells, each as wide as its box or its caption, each line as tall as its captions.
            QList<QList<int>> lines{{}};
            int x = cellsX;
            for (int j = 0; j < row.fields.size(); ++j) {
                if (colOf[r][j] < 0) continue;
                const FormField* f = row.fields[j];
                const int w = m.numW + 4 + qMax(cellBox(f), needsOwnLabel(r, j) ? labelWidth(-1, f) : 0) + 6;
                if (x > cellsX && x + w > m.right() + 6) {
                    lines.append(QList<int>());
                    x = cellsX;
                }
                lines.last() << j;
                x += w;
            }
            y = top;
            for (const QList<int>& line : lines) {
                int lineSub = 0;
                for (int j : line)
                    if (needsOwnLabel(r, j))
                        lineSub = qMax(
                            lineSub,
                            TextHeight(m.small, row.fields[j]->label(), labelWidth(-1, row.fields[j])) + 1);
                y += lineSub;
                int lx = cellsX;
                for (int j : line)
                    lx = place(r, j, lx, y, caption);
                y += m.H + 4;
            }
            y -= m.H + 4;
        } else {
            for (int j = 0; j < row.fields.size(); ++j)
                if (colOf[r][j] >= 0) place(r, j, colX[colOf[r][j]], y, caption);
        }
        bottom = y + m.H;
        if (caption) bottom = qMax(bottom, caption->geometry().bottom() + 1);
        if (side && hasLead) { // under the caption, in the caption's column
            int lx = m.margin + m.indent;
            const int ly = bottom + 4 + leadSubH;
            for (int j = 0; j < row.fields.size(); ++j)
                if (colOf[r][j] < 0) lx = place(r, j, lx, ly, caption);
            bottom = ly + m.H;
        }
        c.y = bottom + m.gap;
        for (const QString& note : row.notesAfter)
            layoutNote(c, note, m.indent + 16);
    }
    for (const auto& [e, o] : links)
        if (auto* target = qobject_cast<TMorvekEditBase*>(made.value(o))) e->setLinkToControlLabel(target);
}

QWidget* FormEditorWindow::buildSeries(int k, QWidget* sheet) {
    const Metrics& m = *m_;
    const SeriesDef* s = doc_->layout().seriesByK(k);
    auto* block = new QWidget(sheet);
    block->setObjectName(QStringLiteral("seriesBlock_%1").arg(k));
    auto* v = new QVBoxLayout(block);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);

    // The template row: hidden, it carries the numbers the rows are made from.
    auto* tpl = new QWidget(block);
    tpl->setObjectName(QStringLiteral("seriesPnl_%1").arg(k));
    Canvas tc{tpl, 0};
    RunRow tr;
    tr.caption = s->caption;
    for (int idx : s->templateFields)
        tr.fields << doc_->fieldAt(idx);
    layoutRun(tc, {tr}, true);
    tpl->setFixedSize(m.sheetW, tc.y);
    tpl->hide();
    v->addWidget(tpl);
    seriesTemplates_.insert(k, tpl);

    auto* rows = new QWidget(block);
    rows->setObjectName(QStringLiteral("seriesRows_%1").arg(k));
    auto* rv = new QVBoxLayout(rows);
    rv->setContentsMargins(0, 0, 0, 0);
    rv->setSpacing(0);
    v->addWidget(rows);
    seriesRows_.insert(k, rows);

    auto* buttons = new QWidget(block);
    buttons->setFixedSize(m.sheetW, m.H + 2 * m.gap + 4);
    auto* add = new QPushButton(QStringLiteral("Dodaj"), buttons);
    add->setObjectName(QStringLiteral("btn_%1_add").arg(k));
    auto* remove = new QPushButton(QStringLiteral("Usuń"), buttons);
    remove->setObjectName(QStringLiteral("btn_%1_Remove").arg(k));
    int x = m.margin + m.indent + 14;
    for (QPushButton* b : {add, remove}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        const int bw = qMax(80, b->sizeHint().width());
        b->setGeometry(x, m.gap, bw, m.H + 2);
        x += bw + 8;
    }
    connect(add, &QPushButton::clicked, this, [this, add] { AddSeriesRow(add->objectName()); });
    connect(remove, &QPushButton::clicked, this, [this, remove] { RemoveSeriesRow(remove->objectName()); });
    v->addWidget(buttons);

    // Rows the document already has (a stored document opened for editing).
    QList<int> existing;
    for (int i = 0; i < doc_->fieldCount(); ++i) {
        const FormField* f = doc_->fieldAt(i);
        if (f->seriesK() == k && f->seriesRow() > 0 && !existing.contains(f->seriesRow()))
            existing << f->seriesRow();
    }
    for (int row : existing)
        buildSeriesRow(k, row);
    return block;
}

void FormEditorWindow::buildSeriesRow(int k, int i) {
    QWidget* rows = seriesRows_.value(k);
    const SeriesDef* s = doc_->layout().seriesByK(k);
    if (!rows || !s) return;
    dropSeriesRow(k, i);
    auto* panel = new QWidget(rows);
    panel->setObjectName(QStringLiteral("seriesPnl_%1_%2").arg(k).arg(i));
    RunRow r;
    r.caption = QString(s->caption).replace(u'@', QString::number(i));
    for (int j = 0; j < doc_->fieldCount(); ++j) {
        FormField* f = doc_->fieldAt(j);
        if (f->seriesK() == k && f->seriesRow() == i) r.fields << f;
    }
    Canvas pc{panel, 0};
    layoutRun(pc, {r}, true);
    panel->setFixedSize(m_->sheetW, pc.y);
    rows->layout()->addWidget(panel);
    panel->show();
    // Positions are needed at once (keyboard order), not after the next layout pass.
    for (QWidget* w = rows; w; w = w->parentWidget()) {
        if (w->layout()) w->layout()->activate();
        if (qobject_cast<QScrollArea*>(w)) break;
    }
}

void FormEditorWindow::dropSeriesRow(int k, int i) {
    QWidget* rows = seriesRows_.value(k);
    if (!rows) return;
    auto* panel = rows->findChild<QWidget*>(QStringLiteral("seriesPnl_%1_%2").arg(k).arg(i),
                                            Qt::FindDirectChildrenOnly);
    if (!panel) return;
    unregister(panel);
    delete panel;
}
