#include "forms/ui/CalculatorPopup.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

#include "app/util/Numbers.h"

TCalculatorPopup::TCalculatorPopup(QWidget* parent) : QFrame(parent, Qt::Popup) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setFocusPolicy(Qt::StrongFocus);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(2);
    display_ = new QLineEdit(this);
    display_->setReadOnly(true);
    display_->setFocusPolicy(Qt::NoFocus);
    display_->setAlignment(Qt::AlignRight);
    grid->addWidget(display_, 0, 0, 1, 4);
    static const char* const keys[5][4] = {{"C", "<", "+/-", "/"},
                                           {"7", "8", "9", "*"},
                                           {"4", "5", "6", "-"},
                                           {"1", "2", "3", "+"},
                                           {"0", ".", "=", "OK"}};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c) {
            const QString key = QString::fromLatin1(keys[r][c]);
            auto* b = new QPushButton(key == u"<" ? QStringLiteral("\u2190") : key, this);
            b->setObjectName(QStringLiteral("calc_") + key);
            b->setFocusPolicy(Qt::NoFocus);
            b->setFixedSize(34, 26);
            connect(b, &QPushButton::clicked, this, [this, key] { press(key); });
            grid->addWidget(b, r + 1, c);
        }
    start(0);
}

void TCalculatorPopup::start(double value) {
    acc_ = 0;
    op_ = QChar();
    entry_ = GeneralNumberText(value);
    fresh_ = true;
    display_->setText(entry_);
}

double TCalculatorPopup::current() const {
    return ParseNumber(display_->text());
}

QString TCalculatorPopup::displayText() const {
    return display_->text();
}

void TCalculatorPopup::display(double v) {
    entry_ = GeneralNumberText(v);
    display_->setText(entry_);
}

void TCalculatorPopup::applyPending() {
    const double x = ParseNumber(entry_);
    if (op_.isNull()) {
        acc_ = x;
        return;
    }
    double r = acc_;
    switch (op_.unicode()) {
    case u'+':
        r = acc_ + x;
        break;
    case u'-':
        r = acc_ - x;
        break;
    case u'*':
        r = acc_ * x;
        break;
    case u'/':
        if (x == 0) {
            QApplication::beep();
            break;
        }
        r = acc_ / x;
        break;
    }
    acc_ = std::isfinite(r) ? r : acc_;
}

void TCalculatorPopup::press(const QString& key) {
    if (key.size() == 1 && key[0].isDigit()) {
        if (fresh_ || entry_ == u"0") entry_.clear();
        fresh_ = false;
        if (entry_.size() < 16) entry_ += key;
        display_->setText(entry_);
    } else if (key == u"." || key == u",") {
        if (fresh_) entry_ = QStringLiteral("0");
        fresh_ = false;
        if (!entry_.contains(u'.')) entry_ += u'.';
        display_->setText(entry_);
    } else if (key == u"+" || key == u"-" || key == u"*" || key == u"/") {
        if (!fresh_ || op_.isNull()) applyPending();
        op_ = key[0];
        fresh_ = true;
        display(acc_);
    } else if (key == u"=" || key == u"OK") {
        if (!op_.isNull()) {
            if (fresh_) entry_ = GeneralNumberText(acc_);
            applyPending();
            op_ = QChar();
            display(acc_);
        }
        fresh_ = true;
        if (key == u"OK") {
            emit accepted(current());
            close();
        }
    } else if (key == u"C") {
        acc_ = 0;
        op_ = QChar();
        fresh_ = true;
        display(0);
    } else if (key == u"<") {
        if (fresh_) return;
        entry_.chop(1);
        if (entry_.isEmpty() || entry_ == u"-") entry_ = QStringLiteral("0");
        display_->setText(entry_);
    } else if (key == u"+/-") {
        entry_ = entry_.startsWith(u'-') ? entry_.mid(1) : QStringLiteral("-") + entry_;
        if (entry_ == u"-0") entry_ = QStringLiteral("0");
        display_->setText(entry_);
    }
}

void TCalculatorPopup::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        press(QStringLiteral("OK"));
        return;
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_Backspace:
        press(QStringLiteral("<"));
        return;
    case Qt::Key_Delete:
        press(QStringLiteral("C"));
        return;
    default:
        break;
    }
    const QString t = e->text();
    if (t.size() == 1 && QStringLiteral("0123456789.,+-*/=").contains(t[0])) {
        press(t);
        return;
    }
    QFrame::keyPressEvent(e);
}
