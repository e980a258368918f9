#pragma once
// The numeric field of the forms. Its value is rounded to its decimal places; without the focus
// it shows the value in its display format (thousands grouped, zero as an empty field), with
// the focus the plain edit text. Typing takes digits, one decimal point ("." or ",") and a
// leading minus; anything else is refused with a beep. Insert opens a calculator.
#include <QPointer>

#include "forms/ui/MorvekEditBase.h"

#include "forms/ui/CalculatorPopup.h"
class QAction;

class TMorvekCalcEdit : public TMorvekEditBase {
    Q_OBJECT
    Q_PROPERTY(int DecimalPlaces READ decimalPlaces WRITE setDecimalPlaces)
    Q_PROPERTY(QString DisplayFormat READ displayFormat WRITE setDisplayFormat)

public:
    explicit TMorvekCalcEdit(QWidget* parent = nullptr);
    ~TMorvekCalcEdit() override;

    int decimalPlaces() const { return decimals_; }
    void setDecimalPlaces(int d);
    // ",0.00", ",0", "0", "0.00": "," groups thousands, the zeros after "." are the decimals shown.
    QString displayFormat() const { return format_; }
    void setDisplayFormat(const QString& f);
    void setAlignLeft(bool left);

    double value() const { return value_; }
    // Rounds to the decimal places (a half away from zero) and shows the result.
    void setValue(double v);

    // The text shown without the focus, and the text given to edit.
    QString displayText() const;
    QString editText() const;

    // The small drop-down button at the right edge; the forms hide it and use Insert.
    void setButtonVisible(bool on);
    bool isButtonVisible() const;
    void showCalculator();
    bool isCalculatorShown() const;
    TCalculatorPopup* calculator() const { return popup_; }

    // Thousands separator of the display: the no-break space Polish systems group with.
    static constexpr char16_t kGroupSeparator = u'\u00A0';

signals:
    // The person changed the value (typing or the calculator); already rounded.
    void valueEdited(double value);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    QString markedText() const override { return displayText(); }

private:
    void onTextEdited(const QString& text);
    void insertTyped(const QString& text);
    void showText();
    double parsed(const QString& text) const;

    int decimals_ = 2;
    QString format_ = QStringLiteral(",0.00");
    int formatDecimals_ = 2;
    bool grouped_ = true;
    double value_ = 0;
    QAction* button_ = nullptr;
    QPointer<TCalculatorPopup> popup_;
};
