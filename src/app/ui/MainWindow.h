#pragma once
// The main window: menu tree on the left, the page of the chosen menu action on the right.
#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "app/ui/CompanyPage.h"
#include "app/ui/RegistryPage.h"

class QLabel;
class QPushButton;
class QSettings;
class QStackedWidget;
class QTextBrowser;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class TArchivePage;
class TKonfigPage;

// Where windows keep their positions (INI), in a group that mirrors the registry key of earlier
// versions. The settings proper belong to TGlobalKonfig.
std::unique_ptr<QSettings> OpenAppSettings();
extern const QString kFormPosGroup; // "Software/Morvek/Sumaris2022/FormPos"

// The title bar across the top of a page.
QLabel* PageTitle(const QString& title, QWidget* parent);

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // Rebuilds the menu tree from Menu.dat; a file that cannot be read is reported and
    // leaves the tree empty (returns false).
    bool LoadMenu();
    // Performs a menu action given in upper case (see Menu.dat).
    void RunMenuAction(const QString& action);
    // The help topic of a menu caption: blanks become "_", Polish letters plain ones.
    static QString HelpTopic(const QString& caption);
    // The page of pg_1 with this name, compared without regard to case; nullptr when none.
    QWidget* Page(const QString& name) const;
    // Company panel: an empty folder name means no ledger company is chosen.
    void SetCurrentCompany(const QString& name, const QString& folder);
    // Selects the first document list of the menu tree (absolute index 2) and focuses the tree.
    void GoToDocumentList();
    // What runs once when the window first shows (called from the event loop).
    void OnFirstShow();
    // Takes the maximised state from the settings when the window first shows.
    void setVisible(bool visible) override;

    QPushButton* btn_KOniec;
    QLabel* pnl_CurrentCompany;
    QLabel* pnl_Version;
    QTreeWidget* tv_Menu;
    QStackedWidget* pg_1;
    QWidget* pg_HTML;
    QTextBrowser* Web;
    TCompanyPage* pg_KPRList;
    TArchivePage* pg_Arch;
    TRegistryPage* pg_PITY;
    TKonfigPage* pg_Konfig;
    QWidget* pg_Upgrade;
    QWidget* pg_Zdalny;
    QTimer* tmr_1;

    QStringList mmo_Actions; // the action of every tree node, by absolute index
    QStringList OpenEditors; // window names of the form editors now open
    int CurrentAction = 0;   // absolute index of the node last selected
    // "Nowy" is offered unless the list shows every form type at once.
    bool newEnabled = true;

signals:
    // A document list was chosen in the menu; the action is the form type ("TFRMPIT_37"),
    // or "TFRMPIT_ALL" for all of them.
    void documentsRequested(const QString& action);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void MenuNodeChanged(QTreeWidgetItem* current);
    void ShowHelp(const QString& caption);
    void UpdateCheckTimer();
    void RestorePlacement();
    void SavePlacement();

    bool shown_ = false;
    bool stateApplied_ = false;
    bool firstShowDone_ = false;
};
