#pragma once
// The pages of an editor in button style: a row of buttons, one per page, over the pages.
#include <QWidget>

class QButtonGroup;
class QHBoxLayout;
class QStackedWidget;
class QPushButton;

class TPageControl : public QWidget {
    Q_OBJECT
public:
    explicit TPageControl(QWidget* parent = nullptr);

    // Adds a page with its button caption; the page is owned by the control.
    int addPage(QWidget* page, const QString& caption);
    int count() const;
    int currentIndex() const;
    void setCurrentIndex(int index);
    QWidget* page(int index) const;
    QWidget* currentPage() const;
    int indexOf(const QWidget* page) const;
    QPushButton* pageButton(int index) const;

signals:
    void currentChanged(int index);

private:
    QHBoxLayout* buttons_;
    QButtonGroup* group_;
    QStackedWidget* stack_;
};
