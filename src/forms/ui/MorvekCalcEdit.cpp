#include "forms/ui/MorvekCalcEdit.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpression>
#include <QScreen>

#include "app/util/Numbers.h"
#include "forms/ui/CalculatorPopup.h"

namespace {

// What the field may hold while it is edited: a minus in front, digits, one point.
bool IsEditableNumber(const QString& text) {
    static const QRegularExpression re(QStringLiteral("^-?[0-9]*\\.?[0-9]*$"));
    if (!re.match(text).hasMatch()) return false;
    int digits = 0;
    for (QChar c : text)
        if (c.isDigit()) ++digits;
    return digits <= 15; // beyond that a double no longer keeps every digit
}

// A pasted number as people write it: blanks and no-break spaces group thousands; with both
// "." and "," the later one is the decimal point; one kind written several times groups.
QString PastedNumber(QString t) {
    t.remove(u' ');
    t.remove(u'\u00A0');
    t.remove(u'\t');
    const int dot = int(t.lastIndexOf(u'.')), comma = int(t.lastIndexOf(u','));
    if (dot >= 0 && comma >= 0) {
        t.remove(dot > comma ? u',' : u'.');
    } else {
        const QChar sep = dot >= 0 ? u'.' : u',';
        if (t.count(sep) > 1) t.remove(sep);
    }
    t.replace(u',', u'.');
    return t;
}

QIcon CalculatorIcon() {
    QPixmap pm(12, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(0x50, 0x50, 0x50));
    p.drawRect(1, 0, 9, 11);
    p.fillRect(3, 2, 6, 2, QColor(0x50, 0x50, 0x50));
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawPoint(3 + 2 * c + (c > 0 ? c - 1 : 0), 6 + 2 * r);
    return QIcon(pm);
}

} // namespace

TMorvekCalcEdit::TMorvekCalcEdit(QWidget* parent) : TMorvekEditBase(parent) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    button_ = addAction(CalculatorIcon(), QLineEdit::TrailingPosition);
    connect(button_, &QAction::triggered, this, &TMorvekCalcEdit::showCalculator);
    connect(this, &QLineEdit::textEdited, this, &TMorvekCalcEdit::onTextEdited);
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

TMorvekCalcEdit::~TMorvekCalcEdit() {
    delete popup_.data();
}

void TMorvekCalcEdit::setDecimalPlaces(int d) {
    decimals_ = qBound(0, d, 15);
    setValue(value_);
}

void TMorvekCalcEdit::setDisplayFormat(const QString& f) {
    format_ = f;
    grouped_ = f.startsWith(u',');
    const int dot = int(f.indexOf(u'.'));
    formatDecimals_ = 0;
    if (dot >= 0)
        for (int i = dot + 1; i < f.size() && (f[i] == u'0' || f[i] == u'#'); ++i)
            ++formatDecimals_;
    showText();
}

void TMorvekCalcEdit::setAlignLeft(bool left) {
    setAlignment((left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
}

void TMorvekCalcEdit::setButtonVisible(bool on) {
    button_->setVisible(on);
}

bool TMorvekCalcEdit::isButtonVisible() const {
    return button_->isVisible();
}

QString TMorvekCalcEdit::displayText() const {
    if (value_ == 0) return QString();
    QString t = FixedNumberText(value_, formatDecimals_, grouped_);
    if (grouped_) t.replace(u',', QChar(kGroupSeparator));
    return t;
}

QString TMorvekCalcEdit::editText() const {
    if (value_ == 0) return QString();
    // Shares and quantities carry more decimals than they display; editing shows them all.
    return decimals_ > formatDecimals_ ? GeneralNumberText(value_) : FixedNumberText(value_, formatDecimals_);
}

double TMorvekCalcEdit::parsed(const QString& text) const {
    double v = RoundHalfAway(ParseNumber(text), decimals_);
    return v == 0 ? 0 : v; // no negative zero
}

void TMorvekCalcEdit::showText() {
    if (!hasFocus()) {
        if (text() != displayText()) setText(displayText());
    } else if (parsed(text()) != value_) {
        setText(editText());
    }
}

void TMorvekCalcEdit::setValue(double v) {
    v = RoundHalfAway(v, decimals_);
    value_ = v == 0 ? 0 : v;
    showText();
}

void TMorvekCalcEdit::onTextEdited(const QString& text) {
    const double v = parsed(text);
    value_ = v;
    emit valueEdited(v);
}

void TMorvekCalcEdit::insertTyped(const QString& typed) {
    const QString t = text();
    int start = cursorPosition(), length = 0;
    if (hasSelectedText()) {
        start = selectionStart();
        length = selectionLength();
    }
    const QString result = t.left(start) + typed + t.mid(start + length);
    if (typed.isEmpty() || !IsEditableNumber(result)) {
        QApplication::beep();
        return;
    }
    insert(typed);
}

void TMorvekCalcEdit::keyPressEvent(QKeyEvent* e) {
    if (isReadOnly()) {
        TMorvekEditBase::keyPressEvent(e);
        return;
    }
    const auto mods = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (e->key() == Qt::Key_Insert && !mods && !(e->modifiers() & Qt::ShiftModifier)) {
        showCalculator();
        return;
    }
    if (e->matches(QKeySequence::Paste)) {
        insertTyped(PastedNumber(QApplication::clipboard()->text()));
        return;
    }
    const QString t = e->text();
    if (!t.isEmpty() && t[0].isPrint() && !mods) {
        for (QChar ch : t) {
            if (ch == u',') ch = u'.';
            if (ch.isDigit() || ch == u'.' || ch == u'-')
                insertTyped(QString(ch));
            else
                QApplication::beep();
        }
        return;
    }
    TMorvekEditBase::keyPressEvent(e);
}

void TMorvekCalcEdit::focusInEvent(QFocusEvent* e) {
    if (e->reason() != Qt::PopupFocusReason && text() != editText()) setText(editText());
    TMorvekEditBase::focusInEvent(e);
}

void TMorvekCalcEdit::focusOutEvent(QFocusEvent* e) {
    TMorvekEditBase::focusOutEvent(e);
    if (e->reason() != Qt::PopupFocusReason) showText();
}

void TMorvekCalcEdit::showCalculator() {
    if (!isEnabled() || isReadOnly()) return;
    if (!popup_) {
        popup_ = new TCalculatorPopup(this);
        connect(popup_, &TCalculatorPopup::accepted, this, [this](double v) {
            setValue(v);
            setText(hasFocus() ? editText() : displayText());
            emit valueEdited(value_);
        });
    }
    popup_->start(value_);
    popup_->adjustSize();
    QPoint at = mapToGlobal(QPoint(width() - popup_->width(), height()));
    if (QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        if (at.y() + popup_->height() > area.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - popup_->height());
        at.setX(qBound(area.left(), at.x(), area.right() - popup_->width()));
    }
    popup_->move(at);
    popup_->show();
    popup_->setFocus(Qt::PopupFocusReason);
}

bool TMorvekCalcEdit::isCalculatorShown() const {
    return popup_ && popup_->isVisible();
}
