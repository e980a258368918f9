#include "forms/ui/PageControl.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

TPageControl::TPageControl(QWidget* parent) : QWidget(parent) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(2);
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("PagesButtons"));
    buttons_ = new QHBoxLayout(bar);
    buttons_->setContentsMargins(6, 4, 6, 2);
    buttons_->setSpacing(4);
    buttons_->addStretch(1);
    v->addWidget(bar);
    stack_ = new QStackedWidget(this);
    v->addWidget(stack_, 1);
    group_ = new QButtonGroup(this);
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idClicked, this, &TPageControl::setCurrentIndex);
    connect(stack_, &QStackedWidget::currentChanged, this, [this](int i) {
        if (QAbstractButton* b = group_->button(i)) b->setChecked(true);
        emit currentChanged(i);
    });
}

int TPageControl::addPage(QWidget* page, const QString& caption) {
    const int index = stack_->addWidget(page);
    auto* b = new QPushButton(caption, this);
    b->setObjectName(QStringLiteral("PageButton") + QString::number(index + 1));
    b->setCheckable(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumWidth(80);
    group_->addButton(b, index);
    buttons_->insertWidget(buttons_->count() - 1, b);
    if (index == stack_->currentIndex()) b->setChecked(true);
    return index;
}

int TPageControl::count() const {
    return stack_->count();
}
int TPageControl::currentIndex() const {
    return stack_->currentIndex();
}

void TPageControl::setCurrentIndex(int index) {
    if (index >= 0 && index < count()) stack_->setCurrentIndex(index);
}

QWidget* TPageControl::page(int index) const {
    return stack_->widget(index);
}
QWidget* TPageControl::currentPage() const {
    return stack_->currentWidget();
}
int TPageControl::indexOf(const QWidget* page) const {
    return stack_->indexOf(page);
}
QPushButton* TPageControl::pageButton(int index) const {
    return qobject_cast<QPushButton*>(group_->button(index));
}
