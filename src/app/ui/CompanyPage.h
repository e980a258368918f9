#pragma once
// "Wybierz firmę Welkor": the companies of the ledger program and the choice of the one whose
// folder name is stamped on saved documents and can restrict the document list.
#include <QList>
#include <QWidget>

#include "import/LedgerFiles.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class TDane;
struct TGlobalKonfig;

class TCompanyPage : public QWidget {
    Q_OBJECT
public:
    explicit TCompanyPage(TGlobalKonfig& konfig, QWidget* parent = nullptr);

    // The data module whose company context follows the choice; the program's one unless set.
    void SetStore(TDane* dane) { dane_ = dane; }
    TDane* Store() const;

    // Reads "spisfirm.dat" of the configured ledger folder: a single company is chosen at once,
    // with more the person chooses. A damaged file is reported; the companies read before the
    // damage are listed.
    void LoadCompanyList();
    // Chooses the company of a grid row (from 0), or none ("&Odłącz się od bazy firm Welkor").
    void ChooseCompany(int row);
    void Disconnect();

    const QList<LedgerCompany>& Companies() const { return companies_; }
    QString CompanyName() const { return name_; }
    QString CompanyFolder() const { return folder_; }
    // The ledger folder, the company's folder name and a separator; empty when none is chosen.
    QString CompanyPath() const { return path_; }

    QLabel* lbl_AktualnaFirma;
    QPushButton* btn_Odlacz;
    QPushButton* btn_Odswiez;
    QLineEdit* ed_SeekCompanyName;
    QTableWidget* grd_Lista;

signals:
    // The chosen company; an empty folder name means none.
    void companyChanged(const QString& name, const QString& folder);
    // Enter or a double-click: on to the document list.
    void documentListRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setCompany(const QString& name, const QString& folder, const QString& path);
    void searchChanged(const QString& text);
    void fitColumns();

    TGlobalKonfig& konfig_;
    TDane* dane_ = nullptr;
    QList<LedgerCompany> companies_;
    QString name_, folder_, path_;
    bool filling_ = false;
};
