#pragma once
// "Konfiguracja programu": the settings edited on a page of the main window.
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class TCollapsiblePanel;
struct TGlobalKonfig;

class TKonfigPage : public QWidget {
    Q_OBJECT
public:
    explicit TKonfigPage(TGlobalKonfig& konfig, QWidget* parent = nullptr);

    // Controls from the settings, all panels closed.
    void FillControls();
    // Settings from the controls.
    void TakeControls();

    // The buttons' actions.
    void Zapisz();
    void Poniechaj();
    void TestConnection();
    void FactoryDatabaseSettings();
    // Replaces the organisation list of the database with a list file and reports the outcome.
    void LoadOppFile(const QString& path);

    QPushButton* btn_Zapisz;
    QPushButton* btn_Poniechaj;
    QLabel* lbl_Status;
    TCollapsiblePanel* pnl_Ogolne;
    TCollapsiblePanel* pnl_Import;
    TCollapsiblePanel* pnl_Baza;
    QCheckBox* chk_KprSpisNag;
    QCheckBox* chk_AutoChkUpdates;
    QCheckBox* chk_LocalRepository;
    QLineEdit* ed_HasloProgramu;
    QLineEdit* ed_SciezkaKPR;
    QToolButton* btn_SciezkaKPR;
    QRadioButton* rb_Mazovia;
    QRadioButton* rb_CP852;
    QLineEdit* ed_OLD_Serwer;
    QLineEdit* ed_OLD_Uzytkownik;
    QLineEdit* ed_OLD_Baza;
    QToolButton* btn_OLD_Baza;
    QLineEdit* ed_OLD_Haslo;
    QLineEdit* ed_Serwer;
    QLineEdit* ed_Uzytkownik;
    QLineEdit* ed_Baza;
    QToolButton* btn_Baza;
    QLineEdit* ed_Haslo;
    QPushButton* btn_Polacz;
    QPushButton* btn_Fabryczne;
    QPushButton* btn_WczytajOPP;

signals:
    // "Zapisz" took the settings (the ledger company list is read again).
    void saved();
    // "Połącz / Testuj połączenie" ran; the database may now be another one.
    void connectionChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SetStatus(const QString& text, const QColor& colour);
    void ChooseLedgerFolder();
    void ChooseDatabase(QLineEdit* edit);
    void ChooseOppFile();
    void CollapseAll();

    TGlobalKonfig& konfig_;
};
