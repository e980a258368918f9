#include "store/ui/NotesWindow.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/ui/AppWindows.h"
#include "store/Dane.h"

TfrmNotatki::TfrmNotatki(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmNotatki"));
    setWindowTitle(QStringLiteral("Notatnik"));
    resize(520, 380);

    Memo = new QPlainTextEdit(this);
    Memo->setObjectName(QStringLiteral("Memo1"));
    Memo->setTabChangesFocus(false);
    btn_Zamknij = new QPushButton(QStringLiteral("F2 Zamknij"), this);
    btn_Zamknij->setObjectName(QStringLiteral("btn_Zamknij"));
    btn_Zamknij->setAutoDefault(false);
    connect(btn_Zamknij, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btn_Zamknij);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Memo, 1);
    layout->addLayout(buttons);
}

void TfrmNotatki::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect r = frameGeometry();
            r.moveCenter(screen->availableGeometry().center());
            move(r.topLeft());
        }
        Memo->setFocus();
    }
    QDialog::showEvent(event);
}

void TfrmNotatki::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F2 && event->modifiers() == Qt::NoModifier) {
        accept(); // the memo passes F2 on
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmNotatki::Execute(QString& notes) {
    QString shown = notes;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Memo->setPlainText(shown);
    exec();
    const QString text = Memo->toPlainText();
    // Notes are kept with Windows line breaks; untouched notes stay byte for byte.
    if (text != shown) notes = QString(text).replace(u'\n', QStringLiteral("\r\n"));
}

void EditNotes() {
    if (App.Dane && App.frmNotatki) App.frmNotatki->Execute(App.Dane->Notatki);
}
