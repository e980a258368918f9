#pragma once
// "Kartoteka dokumentów": the stored main documents of the form type chosen in the menu tree,
// with the filter by name or identifier and by ledger company, sorting by any column, and the
// buttons that create, open, annotate, copy and delete documents.
#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TDane;
class TFormsModel;
struct FormRow;
struct TGlobalKonfig;

class TRegistryPage : public QWidget {
    Q_OBJECT
public:
    explicit TRegistryPage(TGlobalKonfig& konfig, QWidget* parent = nullptr);

    // The data module the page works on; the program's one unless set (tests).
    void SetStore(TDane* dane) { dane_ = dane; }
    TDane* Store() const;

    // A document list was chosen in the menu tree: "TFRMPIT_37", or "TFRMPIT_ALL" for all types.
    void ShowDocuments(const QString& action);
    QString Action() const { return action_; }
    // Queries the list again with the type, company condition, sort order and filter text.
    void RequeryDocuments();
    // Shows the rows of the data module's document list (after it changed), keeping the current one.
    void Reload();

    void SetFilter(bool on);
    bool FilterOn() const { return filterOn_; }
    QString CompanyCondition() const { return company_; }
    // The ledger company was chosen anew: a list shown for the company follows it.
    void CompanyChanged();
    // A click on a column title.
    void SortByColumn(int column);

    // The buttons' actions; those that act on the current row do nothing when the list is empty.
    void Nowy();
    void Edycja();
    void Uwagi();
    void UtworzKopie();
    void Usun();
    void Odswiez();

    QLabel* lbl_Filtr; // "UWAGA! AKTYWNY FILTR!"
    QPushButton* btn_Nowy;
    QPushButton* btn_Edycja;
    QPushButton* btn_Uwagi;
    QPushButton* btn_Kopia;
    QPushButton* btn_Usun;
    QPushButton* btn_Odswiez;
    QWidget* pnl_Filtr;
    QPushButton* btn_Filtr;
    QLabel* lbl_Przygotowane;
    QLineEdit* ed_Filter;
    QComboBox* cbb_DlaFirm;
    QTableView* grd_Pity;
    TFormsModel* Model;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const FormRow* currentRow();
    void filterEdited();
    void updateButtons();

    TGlobalKonfig& konfig_;
    TDane* dane_ = nullptr;
    QString action_;
    QString filterText_;
    QString company_;
    bool filterOn_ = false;
    bool reloading_ = false;
    QList<QWidget*> filterControls_;
};
