#pragma once
// The drop-down calculator of the numeric field: a four-function calculator that starts from
// the field's value; Enter or "OK" hands the result back, Esc closes it without a change.
#include <QFrame>

class QLineEdit;

class TCalculatorPopup : public QFrame {
    Q_OBJECT
public:
    explicit TCalculatorPopup(QWidget* parent = nullptr);

    void start(double value);
    // One key of the calculator: "0".."9", ".", "+", "-", "*", "/", "=", "C", "<" (back),
    // "+/-" and "OK".
    void press(const QString& key);
    double current() const;
    QString displayText() const;

signals:
    void accepted(double value);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void display(double v);
    void applyPending();

    QLineEdit* display_;
    double acc_ = 0;
    QChar op_;
    QString entry_;
    bool fresh_ = true;
};
