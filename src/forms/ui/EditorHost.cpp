#include "forms/ui/EditorHost.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "forms/ui/FormEditor.h"

void NullEditorHost::EditNotes(FormEditorWindow& editor) {
    QDialog dialog(&editor);
    dialog.setObjectName(QStringLiteral("frmNotatki"));
    dialog.setWindowTitle(QStringLiteral("Notatka"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* memo = new QPlainTextEdit(&dialog);
    memo->setPlainText(editor.Notes());
    layout->addWidget(memo);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Anuluj"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(480, 320);
    if (dialog.exec() == QDialog::Accepted) editor.SetNotes(memo->toPlainText());
}

NullEditorHost& NullEditorHost::Instance() {
    static NullEditorHost host;
    return host;
}
