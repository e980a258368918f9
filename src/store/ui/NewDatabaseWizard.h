#pragma once
// The new-database wizard, offered when the configured database cannot be opened.
#include <QDialog>

#include "store/DatabaseCreation.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

class TfrmNewDatabase : public QDialog {
    Q_OBJECT
public:
    explicit TfrmNewDatabase(QWidget* parent = nullptr);

    // Shows the wizard modally starting from the configured target; on OK the target becomes
    // the wizard's and true is returned.
    bool Execute(DatabaseTarget& target);
    // Resets the window for a showing with these configured values.
    void Reset(const DatabaseTarget& configured);
    const DatabaseTarget& Target() const { return target_; }
    // "server : path", or the path alone.
    static QString Destination(const DatabaseTarget& target);

    QLabel* lbl_Destination;
    QCheckBox* chk_Advanced;
    QWidget* pnl_Advanced;
    QRadioButton* rb_Current;
    QRadioButton* rb_Default;
    QRadioButton* rb_Custom;
    QLineEdit* ed_Server;
    QLineEdit* ed_Path;
    QLineEdit* ed_User;
    QLineEdit* ed_Password;
    QPushButton* btn_OK;
    QPushButton* btn_Cancel;

private:
    void ChoiceChanged();
    void EditsChanged();
    void ShowTarget();

    DatabaseTarget configured_;
    DatabaseTarget target_;
    bool filling_ = false;
};
