#include "app/ui/CollapsiblePanel.h"

#include <QToolButton>
#include <QVBoxLayout>

TCollapsiblePanel::TCollapsiblePanel(const QString& title, QWidget* parent) : QWidget(parent) {
    title_ = new QToolButton(this);
    title_->setText(title);
    title_->setCheckable(true);
    title_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    title_->setArrowType(Qt::RightArrow);
    title_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    title_->setStyleSheet(
        QStringLiteral("QToolButton { text-align: left; font-weight: bold; padding: 4px 6px;"
                       " border: 1px solid #9fb0cc; border-radius: 2px;"
                       " background: #dde5f2; }"
                       "QToolButton:checked { background: #c9d6ec; }"));
    body_ = new QWidget(this);
    body_->setObjectName(QStringLiteral("body"));
    body_->setVisible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title_);
    layout->addWidget(body_);

    connect(title_, &QToolButton::clicked, this, [this](bool on) {
        SetExpanded(on);
        emit titleClicked();
    });
}

bool TCollapsiblePanel::IsExpanded() const {
    return title_->isChecked();
}

void TCollapsiblePanel::SetExpanded(bool expanded) {
    title_->setChecked(expanded);
    title_->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    body_->setVisible(expanded);
}
