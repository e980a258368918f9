#include "app/ui/LoginWindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>

Tfrm_Login::Tfrm_Login(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frm_Login"));
    setWindowTitle(QStringLiteral("Logowanie do programu"));

    auto* heading = new QLabel(QStringLiteral("Logowanie do  programu"), this);
    heading->setObjectName(QStringLiteral("lbl_Heading"));
    QFont hf = heading->font();
    hf.setBold(true);
    hf.setPointSizeF(hf.pointSizeF() * 1.3);
    heading->setFont(hf);
    auto* prompt = new QLabel(QStringLiteral("Podaj hasło zabezpieczające aby uruchomić program:"), this);
    ed_Haslo = new QLineEdit(this);
    ed_Haslo->setObjectName(QStringLiteral("ed_Haslo"));
    ed_Haslo->setEchoMode(QLineEdit::Password);
    prompt->setBuddy(ed_Haslo);
    btn_OK = new QPushButton(QStringLiteral("OK"), this);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    btn_OK->setDefault(true); // Enter in the edit presses it
    lbl_Status = new QLabel(this);
    lbl_Status->setObjectName(QStringLiteral("lbl_Status"));
    lbl_Status->setFrameShape(QFrame::StyledPanel);
    lbl_Status->setFrameShadow(QFrame::Sunken);
    QFont bold = lbl_Status->font();
    bold.setBold(true);
    lbl_Status->setFont(bold);
    lbl_Status->setStyleSheet(QStringLiteral("color: #8b0000; padding: 2px 4px;"));
    lbl_Status->setMinimumHeight(lbl_Status->fontMetrics().height() + 8);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 8);
    layout->addWidget(heading);
    layout->addSpacing(6);
    layout->addWidget(prompt);
    layout->addWidget(ed_Haslo);
    layout->addWidget(btn_OK, 0, Qt::AlignRight);
    layout->addSpacing(4);
    layout->addWidget(lbl_Status);
    connect(btn_OK, &QPushButton::clicked, this, &QDialog::accept);
    setFixedWidth(360);
}

void Tfrm_Login::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        ed_Haslo->clear();
        ed_Haslo->setFocus();
        adjustSize();
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect r = frameGeometry();
            r.moveCenter(screen->availableGeometry().center());
            move(r.topLeft());
        }
    }
    QDialog::showEvent(event);
}

bool RunLoginLoop(Tfrm_Login& dialog, const QString& password) {
    static const char* const messages[] = {"Niepoprawne hasło", "Znowu niepoprawne!", "Ostatnia próba!"};
    dialog.lbl_Status->clear();
    for (int wrong = 0;;) {
        if (dialog.exec() != QDialog::Accepted) return false;
        if (dialog.ed_Haslo->text() == password) return true;
        if (++wrong == 4) return false;
        dialog.lbl_Status->setText(QString::fromUtf8(messages[wrong - 1]));
    }
}
