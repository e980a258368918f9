// The masked and numeric field controls: typing, rounding, display, the caption label and the
// colours that follow the focus.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

#include "forms/ui/CalculatorPopup.h"
#include "forms/ui/MorvekCalcEdit.h"
#include "forms/ui/MorvekEdit.h"
#include "support/QtPrint.h"

namespace {

// Sends every character as a key press carrying it as text (QTest's clicks only know Latin-1).
void Type(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        int key = Qt::Key_unknown;
        if (ch.isDigit())
            key = Qt::Key_0 + ch.digitValue();
        else if (ch.unicode() < 128 && ch.isLetter())
            key = Qt::Key_A + (ch.toUpper().unicode() - 'A');
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &release);
    }
}

const QString kNbsp(QChar(TMorvekCalcEdit::kGroupSeparator));

class FieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = std::make_unique<QWidget>();
        host->resize(600, 300);
        other = new QLineEdit(host.get());
        other->setGeometry(400, 10, 100, 20);
    }
    void Show() {
        host->show();
        QApplication::setActiveWindow(host.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));
    }
    TMorvekCalcEdit* Calc(int decimals, const QString& format) {
        auto* c = new TMorvekCalcEdit(host.get());
        c->setGeometry(10, 40, 150, 22);
        c->setDecimalPlaces(decimals);
        c->setDisplayFormat(format);
        return c;
    }
    TMorvekEdit* Masked(const QString& mask) {
        auto* e = new TMorvekEdit(host.get());
        e->setGeometry(10, 80, 150, 22);
        e->setEditMask(mask);
        e->setCursorToStart(true);
        return e;
    }

    std::unique_ptr<QWidget> host;
    QLineEdit* other = nullptr;
};

TEST_F(FieldTest, NumericTypingShowsWhatIsAcceptedAndRounds) {
    const struct {
        int decimals;
        QString format;
        QString typed;
        QString whileFocused;
        double value;
        QString afterLeaving;
    } cases[] = {
        {2, ",0.00", "1,5", "1.5", 1.5, "1.50"},
        {2, ",0.00", "1.5", "1.5", 1.5, "1.50"},
        {2, ",0.00", "12a.b3x4", "12.34", 12.34, "12.34"}, // letters refused
        {2, ",0.00", "1.2,3", "1.23", 1.23, "1.23"},       // one decimal point only
        {2, ",0.00", "5-", "5", 5, "5.00"},                // minus only in front
        {2, ",0.00", "-7,25", "-7.25", -7.25, "-7.25"},
        {2, ",0.00", "12.345", "12.345", 12.35, "12.35"}, // an amount carries two decimals
        {0, ",0", "2.5", "2.5", 3, "3"},                  // a whole number, half away from zero
        {0, ",0", "-2.5", "-2.5", -3, "-3"},
        {2, ",0.00", "0", "0", 0, ""}, // zero shows as an empty field
        {2, ",0.00", "1234567,891", "1234567.891", 1234567.89, "1" + kNbsp + "234" + kNbsp + "567.89"},
        {0, ",0", "98765", "98765", 98765, "98" + kNbsp + "765"},
        {2, "0", "1500", "1500", 1500, "1500"}, // a count: no grouping, no decimals
    };
    Show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        TMorvekCalcEdit* f = Calc(c.decimals, c.format);
        f->show();
        double edited = -999;
        QObject::connect(f, &TMorvekCalcEdit::valueEdited, [&](double v) { edited = v; });
        f->setFocus();
        Type(f, c.typed);
        EXPECT_EQ(f->text(), c.whileFocused);
        EXPECT_DOUBLE_EQ(f->value(), c.value);
        if (c.value != 0) {
            EXPECT_DOUBLE_EQ(edited, c.value);
        }
        other->setFocus();
        EXPECT_EQ(f->text(), c.afterLeaving);
        delete f;
    }
}

TEST_F(FieldTest, NumericValueWrittenIsRoundedAndShownInTheDisplayFormat) {
    const struct {
        int decimals;
        QString format;
        double written;
        double value;
        QString shown;
        QString edited;
    } cases[] = {
        {2, ",0.00", 12.345, 12.35, "12.35", "12.35"},
        {0, ",0", 2.5, 3, "3", "3"},
        {2, ",0.00", 0, 0, "", ""},
        {2, ",0.00", -0.001, 0, "", ""},
        {2, ",0.00", 1234.5, 1234.5, "1" + kNbsp + "234.50", "1234.50"},
        {10, ",0.00", 1.0 / 3, 0.3333333333, "0.33", "0.3333333333"}, // a share keeps its decimals
    };
    Show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        TMorvekCalcEdit* f = Calc(c.decimals, c.format);
        f->show();
        f->setValue(c.written);
        EXPECT_DOUBLE_EQ(f->value(), c.value);
        EXPECT_EQ(f->text(), c.shown);
        f->setFocus();
        EXPECT_EQ(f->text(), c.edited);
        delete f;
    }
}

TEST_F(FieldTest, NumericPasteTakesNumbersAsPeopleWriteThem) {
    const struct {
        QString clipboard;
        double value;
    } cases[] = {
        {"1 234,56", 1234.56}, {"1,234.56", 1234.56}, {"1.234.567", 1234567}, {"12,5", 12.5}, {"abc", 0},
    };
    Show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clipboard.toStdString());
        TMorvekCalcEdit* f = Calc(2, ",0.00");
        f->show();
        f->setFocus();
        QApplication::clipboard()->setText(c.clipboard);
        QTest::keySequence(f, QKeySequence::Paste);
        EXPECT_DOUBLE_EQ(f->value(), c.value);
        delete f;
    }
}

TEST_F(FieldTest, CalculatorOpensWithInsertAndHandsBackItsResult) {
    Show();
    TMorvekCalcEdit* f = Calc(2, ",0.00");
    f->show();
    f->setValue(100);
    f->setFocus();
    double edited = 0;
    QObject::connect(f, &TMorvekCalcEdit::valueEdited, [&](double v) { edited = v; });
    QTest::keyClick(f, Qt::Key_Insert);
    ASSERT_TRUE(f->isCalculatorShown());
    TCalculatorPopup* calc = f->calculator();
    EXPECT_EQ(calc->displayText(), "100");
    for (const char* key : {"*", "3", "-", "0", ".", "0", "1", "+", "/", "4"})
        calc->press(QString::fromLatin1(key));
    calc->press(QStringLiteral("OK")); // (100 * 3 - 0.01) / 4, the last operator typed wins
    EXPECT_FALSE(f->isCalculatorShown());
    EXPECT_DOUBLE_EQ(f->value(), 75); // 74.9975 rounded to the field's two decimals
    EXPECT_DOUBLE_EQ(edited, 75);

    // Esc leaves the value alone.
    QTest::keyClick(f, Qt::Key_Insert);
    ASSERT_TRUE(f->isCalculatorShown());
    f->calculator()->press(QStringLiteral("9"));
    QTest::keyClick(f->calculator(), Qt::Key_Escape);
    EXPECT_FALSE(f->isCalculatorShown());
    EXPECT_DOUBLE_EQ(f->value(), 75);
}

TEST_F(FieldTest, MaskedTypingFillsInputPositionsAndSkipsLiterals) {
    const struct {
        QString mask;
        QString typed;
        QString shown;
        QString stored;
    } cases[] = {
        {"99.99.9999;1;_", "12052022", "12.05.2022", "12.05.2022"},
        {"99.99.9999;1;_", "12.05.2022", "12.05.2022", "12.05.2022"}, // typed dots fall on the literals
        {"99.99.9999;1;_", "1x2", "12.__.____", "12.  .    "},        // a letter is refused
        {"99.99.9999;1;_", ".05", "__.05.____", "  .05.    "},        // a dot jumps to the month
        {"\\2\\0##;1;_", "22", "2022", "2022"},                       // typed from the first free digit
        {"\\2\\0##;1;_", "2022", "2022", "2022"},                     // the whole year: its literals are typed out
        {"\\2\\0##;1;_", "2021", "2021", "2021"},
        {"\\2\\0##;1;_", "202", "202_", "202 "},
        {"99-999;1;_", "00950", "00-950", "00-950"},
        {"99999999999;1;_", "123456789031", "12345678903", "12345678903"}, // the twelfth digit has no place
        {"!aa99 9999 9999 9999 9999 9999 9999;0;_", "pl61109010140000071219812874",
         "pl61 1090 1014 0000 0712 1981 2874", "pl61109010140000071219812874"},
    };
    Show();
    for (const auto& c : cases) {
        SCOPED_TRACE((c.mask + " " + c.typed).toStdString());
        TMorvekEdit* e = Masked(c.mask);
        e->show();
        QString last;
        QObject::connect(e, &TMorvekEdit::bufferEdited, [&](const QString& b) { last = b; });
        e->setFocus();
        Type(e, c.typed);
        EXPECT_EQ(e->text(), c.shown);
        EXPECT_EQ(e->storedText(), c.stored);
        EXPECT_EQ(last, e->editBuffer());
        delete e;
    }
}

TEST_F(FieldTest, MaskedEditingKeysClearPositionsAndKeepTheCaretOffLiterals) {
    Show();
    TMorvekEdit* e = Masked("99.99.9999;1;_");
    e->show();
    e->setFocus();
    EXPECT_EQ(e->cursorPosition(), 0);
    Type(e, "1205");
    EXPECT_EQ(e->cursorPosition(), 6); // past the second dot
    QTest::keyClick(e, Qt::Key_Backspace);
    EXPECT_EQ(e->text(), "12.0_.____");
    EXPECT_EQ(e->cursorPosition(), 4);
    QTest::keyClick(e, Qt::Key_Left);
    EXPECT_EQ(e->cursorPosition(), 3);
    QTest::keyClick(e, Qt::Key_Left); // 2 is the dot
    EXPECT_EQ(e->cursorPosition(), 1);
    QTest::keyClick(e, Qt::Key_Right);
    EXPECT_EQ(e->cursorPosition(), 3);
    QTest::keyClick(e, Qt::Key_Home);
    QTest::keyClick(e, Qt::Key_Delete);
    EXPECT_EQ(e->text(), "_2.0_.____");
    EXPECT_EQ(e->storedText(), " 2.0 .    ");
    // With everything selected the next digit starts the field afresh.
    e->selectAll();
    Type(e, "3");
    EXPECT_EQ(e->text(), "3_.__.____");
    // Cut and paste go through the mask too.
    QApplication::clipboard()->setText("31-12-1999");
    e->selectAll();
    QTest::keySequence(e, QKeySequence::Paste);
    EXPECT_EQ(e->storedText(), "31.12.1999");
}

TEST_F(FieldTest, CursorToStartOnEntryAndOnTheFirstClickOnly) {
    Show();
    TMorvekEdit* e = Masked("99.99.9999;1;_");
    e->show();
    e->setEditBuffer("12.05.2022");
    other->setFocus();
    QTest::mouseClick(e, Qt::LeftButton, Qt::NoModifier, QPoint(e->width() - 10, e->height() / 2));
    EXPECT_TRUE(e->hasFocus());
    EXPECT_EQ(e->cursorPosition(), 0);
    EXPECT_FALSE(e->hasSelectedText());
    QTest::mouseClick(e, Qt::LeftButton, Qt::NoModifier, QPoint(e->width() - 10, e->height() / 2));
    EXPECT_GT(e->cursorPosition(), 0);
    // Tabbing in selects nothing either: a date is typed from its first digit.
    other->setFocus();
    e->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(e->hasSelectedText());
    EXPECT_EQ(e->cursorPosition(), 0);
}

TEST_F(FieldTest, UpperCaseFieldTurnsTypedLettersIntoCapitals) {
    Show();
    auto* e = new TMorvekEdit(host.get());
    e->setUpperCase(true);
    e->show();
    e->setFocus();
    Type(e, QStringLiteral("pl łódź"));
    EXPECT_EQ(e->text(), QStringLiteral("PL ŁÓDŹ"));
    EXPECT_EQ(e->editBuffer(), QStringLiteral("PL ŁÓDŹ"));
}

TEST_F(FieldTest, CaptionLabelPlacements) {
    const int L = 100, T = 50, W = 120, H = 19;
    const struct {
        EditLabelAlign align;
        int labelH;
        int xBase, xPerWidth; // label left = xBase + xPerWidth * label width
        int y;
    } cases[] = {
        {EditLabelAlign::elTopLeft, 13, L, 0, T - 13},
        {EditLabelAlign::elTopRight, 13, L + W, -1, T - 13},
        {EditLabelAlign::elBottomLeft, 13, L, 0, T + H},
        {EditLabelAlign::elBottomRight, 13, L + W, -1, T + H},
        {EditLabelAlign::elLeft, 13, L - 3, -1, T + 2}, // 2 px below the top, 3 px to the left
        {EditLabelAlign::elRight, 13, L + W + 3, 0, T + 2},
        {EditLabelAlign::elLeft, 24, L - 3, -1, T - 3}, // (19 - 24) / 2 rounds towards zero
        {EditLabelAlign::elRelative, 13, L + 5, 0, T - 20},
    };
    Show();
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.align));
        auto* e = new TMorvekEdit(host.get());
        e->setGeometry(L, T, W, H);
        e->setEditLabelLeft(5);
        e->setEditLabelTop(-20);
        e->setEditLabel(QStringLiteral("Data urodzenia"));
        ASSERT_NE(e->label(), nullptr);
        e->label()->setFixedHeight(c.labelH);
        e->setEditLabelAlign(c.align);
        const int w = e->label()->width();
        EXPECT_EQ(e->label()->height(), c.labelH);
        EXPECT_EQ(e->label()->pos(), QPoint(c.xBase + c.xPerWidth * w, c.y));
        EXPECT_EQ(e->label()->parentWidget(), host.get());
        delete e;
    }
}

TEST_F(FieldTest, CaptionLabelFollowsTheFieldAndItsCaption) {
    Show();
    auto* e = new TMorvekEdit(host.get());
    e->setGeometry(200, 100, 100, 19);
    e->setEditLabelAlign(EditLabelAlign::elBottomLeft);
    e->setEditLabel(QStringLiteral("Nazwisko"));
    e->show();
    QPointer<QLabel> label = e->label();
    ASSERT_TRUE(label);
    EXPECT_TRUE(label->isVisible());
    e->move(220, 150);
    EXPECT_EQ(label->pos(), QPoint(220, 169));
    // A fixed width wraps the caption into that width.
    e->setEditLabelWidth(60);
    e->setEditLabel(QStringLiteral("Różnica między kwotą przysługującego odliczenia a kwotą odliczoną"));
    EXPECT_EQ(label->width(), 60);
    EXPECT_GT(label->height(), QFontMetrics(label->font()).height());
    // Clicking the caption enters the field.
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_TRUE(e->hasFocus());
    e->hide();
    EXPECT_FALSE(label->isVisible());
    e->setEditLabel(QString());
    EXPECT_TRUE(label.isNull());
    e->setEditLabel(QStringLiteral("Imię"));
    label = e->label();
    delete e;
    EXPECT_TRUE(label.isNull()); // the label goes with its field
}

TEST_F(FieldTest, FocusColoursAndLabelHighlighting) {
    Show();
    auto* a = new TMorvekEdit(host.get());
    a->setGeometry(150, 40, 100, 20);
    a->setEditLabelAlign(EditLabelAlign::elLeft);
    a->setEditLabel(QStringLiteral("Przychód"));
    auto* b = new TMorvekCalcEdit(host.get());
    b->setGeometry(150, 80, 100, 20);
    b->setEditLabelAlign(EditLabelAlign::elLeft);
    b->setEditLabel(QStringLiteral("Koszty"));
    b->setLinkToControlLabel(a);
    a->show();
    b->show();
    const QColor plain = a->label()->palette().color(QPalette::WindowText);
    const QColor maroon(0x80, 0, 0);
    const QColor white = a->colorNormal();

    a->setFocus();
    EXPECT_EQ(a->palette().color(QPalette::Base), QColor(Qt::yellow));
    EXPECT_EQ(a->label()->palette().color(QPalette::WindowText), maroon);
    // The linked field highlights the other field's label, not its own.
    b->setFocus();
    EXPECT_EQ(a->palette().color(QPalette::Base), white);
    EXPECT_EQ(b->palette().color(QPalette::Base), QColor(Qt::yellow));
    EXPECT_EQ(a->label()->palette().color(QPalette::WindowText), maroon);
    EXPECT_EQ(b->label()->palette().color(QPalette::WindowText), plain);
    other->setFocus();
    EXPECT_EQ(a->label()->palette().color(QPalette::WindowText), plain);
    EXPECT_EQ(b->palette().color(QPalette::Base), white);

    // Disabled: button face behind readable text; enabled again: the normal colour.
    b->setEnabled(false);
    EXPECT_EQ(b->palette().color(QPalette::Disabled, QPalette::Base), b->colorDisabled());
    EXPECT_EQ(b->palette().color(QPalette::Disabled, QPalette::Text),
              b->palette().color(QPalette::Active, QPalette::Text));
    b->setEnabled(true);
    EXPECT_EQ(b->palette().color(QPalette::Base), white);

    // A link to a field that is gone is cleared; entering then highlights the field's own label.
    delete a;
    EXPECT_EQ(b->linkToControlLabel(), nullptr);
    b->setFocus();
    EXPECT_EQ(b->label()->palette().color(QPalette::WindowText), maroon);
}

} // namespace
