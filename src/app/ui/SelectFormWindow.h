#pragma once
// "Wybierz dokument do pobrania": picks a stored document of one form type, whose field text
// the import from another document then reads.
#include <QDialog>
#include <QStringList>

class QPushButton;
class QTableView;
class TDane;
class TFormsModel;

class TfrmSelectForm : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSelectForm(QWidget* parent = nullptr);

    void SetStore(TDane* dane) { dane_ = dane; }
    TDane* Store() const;

    // The form type to list (upper-cased); the store's list is opened unless it is empty.
    void SetFormType(const QString& typeCode);
    // The caption becomes "Wybierz formularz " followed by the text.
    void SetCaptionText(const QString& text);
    // Shows the picker modally; true when a document was confirmed. Result is emptied first and
    // then holds the lines of the chosen document's field text.
    bool Execute();

    QStringList Result;
    QPushButton* btn_Zatwierdz;
    QPushButton* btn_Porzuc;
    QTableView* grd_Dokumenty;
    TFormsModel* Model;

public slots:
    void Confirm();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    void savePlacement();
    TDane* dane_ = nullptr;
};
