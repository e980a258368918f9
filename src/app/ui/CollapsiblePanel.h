#pragma once
// A titled panel whose title bar opens and closes it.
#include <QWidget>

class QToolButton;

class TCollapsiblePanel : public QWidget {
    Q_OBJECT
public:
    explicit TCollapsiblePanel(const QString& title, QWidget* parent = nullptr);
    // The panel's content goes here.
    QWidget* Body() const { return body_; }
    QToolButton* TitleButton() const { return title_; }
    bool IsExpanded() const;
    void SetExpanded(bool expanded);

signals:
    // The person clicked the title (the panel has already opened or closed).
    void titleClicked();

private:
    QToolButton* title_;
    QWidget* body_;
};
