#pragma once
// The window that shows why an exported document failed its schema: the line, the reason and
// the source text, with buttons to copy the text, mail it for analysis and show the file.
#include <QDialog>
#include <QString>
#include <QUrl>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class Tfrm_XMLError : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_XMLError(QWidget* parent = nullptr);

    // Puts the message into the memo and remembers the editor's component name (for the mail
    // subject) and the file (empty in clipboard mode).
    void SetError(const QString& message, const QString& componentName, const QString& fileName);
    QString FileName() const { return fileName_; }

    // The mail link of "Wyślij do analizy komunikat z błędem ".
    QUrl MailLink() const;

    void btn_SchowekClick();
    void btn_SendClick();
    void btn_SelectClick();

    static const QString SupportAddress;

private:
    QPlainTextEdit* mmo_Error;
    QPushButton* btn_OK;
    QPushButton* btn_Schowek;
    QPushButton* btn_Send;
    QPushButton* btn_Select;
    QLabel* lbl_1;
    QString componentName_;
    QString fileName_;
};

// Fills the window and shows it modally.
void ShowXmlError(Tfrm_XMLError& window, const QString& message, const QString& componentName,
                  const QString& fileName);
