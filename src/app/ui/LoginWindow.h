#pragma once
// The program password asked before anything else when one is set.
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class Tfrm_Login : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_Login(QWidget* parent = nullptr);

    QLineEdit* ed_Haslo;
    QPushButton* btn_OK;
    QLabel* lbl_Status;

protected:
    void showEvent(QShowEvent* event) override;
};

// Asks for the password at most four times; true when it was given (letter case counts).
// Escape, or a fourth wrong entry, gives false.
bool RunLoginLoop(Tfrm_Login& dialog, const QString& password);
