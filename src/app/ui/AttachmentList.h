#pragma once
// "Załączniki do zeznania": the attachments of the declaration open in its editor. Attachments
// are opened in their own editors over the declaration's; nothing is committed here, so
// cancelling the declaration's editor drops whatever was done in the list meanwhile.
#include <QDialog>
#include <QStringList>

class FormEditorWindow;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class TDane;
class TFormsModel;
struct FormRow;

class TfrmListaZalacznikow : public QDialog {
    Q_OBJECT
public:
    explicit TfrmListaZalacznikow(QWidget* parent = nullptr);

    // The attachment types a declaration may have: the fields after the first of the first line
    // of zalaczniki.dat that holds its window name anywhere (compared in upper case).
    static QStringList AttachmentTypes(const QString& fileText, const QString& windowName);
    // The "&Nowy" entry of an attachment type: TFRMPIT_O -> PIT-O, TFRMPIT_BM -> PIT-B(Małżonek).
    static QString MenuCaption(const QString& typeCode);

    // "&Edytuj załączniki" of a declaration's editor, which has saved the declaration just before:
    // shows the list modally, unless the form has no attachment types or zalaczniki.dat cannot
    // be read (both are reported).
    void ShowAttachments(TDane& dane, FormEditorWindow& declaration);
    // The same for the declaration of a window name (the current row of the document list);
    // `declaration` gets the keyboard back afterwards.
    void ShowAttachments(TDane& dane, const QString& windowName, QWidget* declaration = nullptr);
    // The window name of the declaration the list was last opened for.
    QString DeclarationWindowName() const { return windowName_; }

    // The buttons' actions.
    void Nowy();
    void NewAttachment(const QString& typeCode);
    void Edycja();
    void UtworzKopie();
    void Usun();
    void Uwagi();
    void ToggleSpouseVariant();
    void ExportToParent(bool all);
    // Reads the attachments again and keeps the current one.
    void Reload();

    QPushButton* btn_Zamknij;
    QPushButton* btn_Nowy;
    QPushButton* btn_Edycja;
    QPushButton* btn_Kopia;
    QPushButton* btn_Usun;
    QPushButton* btn_Uwagi;
    QPushButton* btn_PM;
    QLabel* lbl_Eksport;
    QPushButton* btn_EksportWybrany;
    QPushButton* btn_EksportWszystkie;
    QMenu* pm_Nowy;
    QTableView* grd_Zalaczniki;
    TFormsModel* Model;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

private:
    // The attachment of the grid's current row, made the current row of the store's list too.
    const FormRow* currentAttachment();
    void selectId(int forId);
    void comeBack();
    void restorePlacement();
    void savePlacement();

    TDane* dane_ = nullptr;
    QString windowName_;
    bool placed_ = false;
};
