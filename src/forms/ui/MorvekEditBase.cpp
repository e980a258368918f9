#include "forms/ui/MorvekEditBase.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLabel>
#include <QPainter>

TMorvekEditBase::TMorvekEditBase(QWidget* parent)
    : QLineEdit(parent), colorDisabled_(palette().color(QPalette::Active, QPalette::Button)),
      colorOnEnter_(Qt::yellow), colorNormal_(palette().color(QPalette::Active, QPalette::Base)),
      labelFont_(font()), labelActive_(0x80, 0, 0) {
    applyBackground();
}

TMorvekEditBase::~TMorvekEditBase() {
    // The label lives on our parent; it goes with us.
    delete label_.data();
}

void TMorvekEditBase::setColorDisabled(const QColor& c) {
    colorDisabled_ = c;
    applyBackground();
}

void TMorvekEditBase::setColorOnEnter(const QColor& c) {
    colorOnEnter_ = c;
    applyBackground();
}

void TMorvekEditBase::setColorNormal(const QColor& c) {
    colorNormal_ = c;
    applyBackground();
}

void TMorvekEditBase::applyBackground() {
    const QColor base = !isEnabled() ? colorDisabled_ : hasFocus() ? colorOnEnter_ : colorNormal_;
    QPalette p = palette();
    if (p.color(QPalette::Active, QPalette::Base) == base &&
        p.color(QPalette::Disabled, QPalette::Base) == base)
        return;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, base);
    // A disabled (calculated) field keeps its text readable.
    p.setColor(QPalette::Disabled, QPalette::Text, p.color(QPalette::Active, QPalette::Text));
    setPalette(p);
}

void TMorvekEditBase::setEditLabel(const QString& text) {
    editLabel_ = text;
    syncLabel();
}

void TMorvekEditBase::setEditLabelAlign(EditLabelAlign a) {
    align_ = a;
    layoutLabel();
}

void TMorvekEditBase::setEditLabelWidth(int w) {
    labelWidth_ = w;
    layoutLabel();
}

void TMorvekEditBase::setEditLabelLeft(int x) {
    labelLeft_ = x;
    layoutLabel();
}

void TMorvekEditBase::setEditLabelTop(int y) {
    labelTop_ = y;
    layoutLabel();
}

void TMorvekEditBase::setEditLabelFont(const QFont& f) {
    labelFont_ = f;
    layoutLabel();
}

void TMorvekEditBase::syncLabel() {
    if (editLabel_.isEmpty() || !parentWidget()) {
        delete label_.data();
        return;
    }
    if (!label_) {
        label_ = new QLabel(parentWidget());
        label_->installEventFilter(this);
        label_->setVisible(!isHidden());
    } else if (label_->parentWidget() != parentWidget()) {
        label_->setParent(parentWidget());
        label_->setVisible(!isHidden());
    }
    layoutLabel();
}

void TMorvekEditBase::layoutLabel() {
    if (!label_) return;
    label_->setFont(labelFont_);
    label_->setText(editLabel_);
    if (labelWidth_ > 0) {
        label_->setWordWrap(true);
        label_->resize(labelWidth_, label_->heightForWidth(labelWidth_));
    } else {
        label_->setWordWrap(false);
        label_->adjustSize();
    }
    const QRect g = geometry();
    const int L = g.x(), T = g.y(), W = g.width(), H = g.height();
    const int w = label_->width(), h = label_->height();
    QPoint at;
    switch (align_) {
    case EditLabelAlign::elTopLeft:
        at = {L, T - h};
        break;
    case EditLabelAlign::elTopRight:
        at = {L + W - w, T - h};
        break;
    case EditLabelAlign::elBottomLeft:
        at = {L, T + H};
        break;
    case EditLabelAlign::elBottomRight:
        at = {L + W - w, T + H};
        break;
    case EditLabelAlign::elLeft:
        at = {L - w - 3, T - 1 + (H - h) / 2};
        break;
    case EditLabelAlign::elRight:
        at = {L + W + 3, T - 1 + (H - h) / 2};
        break;
    case EditLabelAlign::elRelative:
        at = {L + labelLeft_, T + labelTop_};
        break;
    }
    label_->move(at);
}

void TMorvekEditBase::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    applyBackground();
    TMorvekEditBase* owner = link_ ? link_.data() : this;
    if (QLabel* l = owner->label(); l && highlighted_ != l) {
        highlighted_ = l;
        savedLabelColor_ = l->palette().color(QPalette::WindowText);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, labelActive_);
        l->setPalette(p);
    }
    update();
}

void TMorvekEditBase::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // A popup of our own (the calculator) does not end the visit.
    if (e->reason() == Qt::PopupFocusReason) return;
    applyBackground();
    if (highlighted_) {
        QPalette p = highlighted_->palette();
        p.setColor(QPalette::WindowText, savedLabelColor_);
        highlighted_->setPalette(p);
    }
    highlighted_ = nullptr;
    update();
}

void TMorvekEditBase::changeEvent(QEvent* e) {
    QLineEdit::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) applyBackground();
}

void TMorvekEditBase::moveEvent(QMoveEvent* e) {
    QLineEdit::moveEvent(e);
    layoutLabel();
}

void TMorvekEditBase::resizeEvent(QResizeEvent* e) {
    QLineEdit::resizeEvent(e);
    layoutLabel();
}

bool TMorvekEditBase::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::ShowToParent:
        if (label_) label_->show();
        break;
    case QEvent::HideToParent:
        if (label_) label_->hide();
        break;
    case QEvent::ParentChange:
        syncLabel();
        break;
    default:
        break;
    }
    return QLineEdit::event(e);
}

bool TMorvekEditBase::eventFilter(QObject* watched, QEvent* e) {
    if (watched == label_ && e->type() == QEvent::MouseButtonPress && isEnabled()) {
        setFocus(Qt::MouseFocusReason);
        return true;
    }
    return QLineEdit::eventFilter(watched, e);
}

void TMorvekEditBase::setCommented(bool on) {
    commented_ = on;
    update();
}

void TMorvekEditBase::setCommentedTag(bool on) {
    commentedTag_ = on;
    update();
}

void TMorvekEditBase::paintEvent(QPaintEvent* e) {
    QLineEdit::paintEvent(e);
    const bool tag = commentedTag_ && !hasFocus();
    if (!commented_ && !tag) return;
    QPainter p(this);
    if (tag) {
        const QRect r = rect().adjusted(2, 2, -2, -2);
        p.fillRect(r, palette().color(QPalette::Base));
        QFont small(QStringLiteral("Small Fonts"));
        small.setPointSize(8);
        p.setFont(small);
        p.setPen(QColor(0, 0x64, 0));
        p.drawText(QRect(r.left(), r.top(), 20, r.height()), Qt::AlignVCenter | Qt::AlignLeft,
                   QStringLiteral(" %1.").arg(fieldNumber_));
        p.setFont(font());
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QRect(20, r.top(), qMax(0, r.right() - 20), r.height()),
                   Qt::AlignVCenter | (alignment() & Qt::AlignHorizontal_Mask), markedText());
    }
    if (commented_) {
        p.setPen(Qt::red);
        for (int row = 1; row <= 4; ++row)
            p.drawLine(1, row, 5 - row, row);
    }
}
