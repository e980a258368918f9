#pragma once
// "Notatnik": the free notes of the document being edited.
#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class TfrmNotatki : public QDialog {
    Q_OBJECT
public:
    explicit TfrmNotatki(QWidget* parent = nullptr);
    // Shows the notes modally; whatever the memo holds when it closes (F2, Escape or the
    // button) becomes the notes.
    void Execute(QString& notes);

    QPlainTextEdit* Memo;
    QPushButton* btn_Zamknij;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The notes of the data module's current document in the program's notes window.
void EditNotes();
