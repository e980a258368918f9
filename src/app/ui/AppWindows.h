#pragma once
// The windows that live for the whole run, created once at start in a fixed order.
#include <QDialog>
#include <QList>
#include <functional>

class QLabel;
class QProgressBar;
class QTextBrowser;
class TDane;
class TfrmListaZalacznikow;
class TfrmMain;
class TfrmSelectForm;
class Tfrm_Login;
class Tfrm_XMLError;
class TfrmNewDatabase;
class TfrmNotatki;

QString ProgramVersion();   // "4.14"
QString ApplicationTitle(); // "Sumaris 2022" once the program has set it

// The printer every print and printer set-up window works with, as chosen last.
class QPrinter;
QPrinter& AppPrinter();

// Set when the program was started with the switch /TEST; editors then show their test tools.
extern bool TestMode;

// A window whose content is built elsewhere; until then it carries its name and caption only.
class TPlaceholderWindow : public QDialog {
    Q_OBJECT
public:
    TPlaceholderWindow(const QString& name, const QString& caption, QWidget* parent = nullptr);
};

// "Please wait" window of the schema check; its user drives the gauge.
class TfrmWait : public QDialog {
    Q_OBJECT
public:
    explicit TfrmWait(QWidget* parent = nullptr);
    QLabel* Label() const { return label_; }
    QProgressBar* Gauge() const { return gauge_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* label_;
    QProgressBar* gauge_;
};

// What changed in this version; shown once after an update.
class TfrmCoNowego : public QDialog {
    Q_OBJECT
public:
    // An empty `pagePath` means the page beside the executable (its name with ".html").
    explicit TfrmCoNowego(QWidget* parent = nullptr, const QString& pagePath = QString());
    bool PageExists() const { return !page_.isEmpty(); }
    QString PagePath() const { return page_; }
    // The existing page beside the executable, found without regard to case; empty when none.
    static QString FindDefaultPage();

private:
    QString page_;
    QTextBrowser* browser_;
};

struct AppWindows {
    TfrmMain* frmMain = nullptr;
    Tfrm_Login* frm_Login = nullptr;
    Tfrm_XMLError* frm_XMLError = nullptr;
    TfrmWait* frmWait = nullptr;
    TfrmCoNowego* frmCoNowego = nullptr;
    TfrmNewDatabase* frmNewDatabase = nullptr;
    QDialog* frmSelectEmployee = nullptr;
    QDialog* frmPercentages = nullptr;
    QDialog* frmSelectOldForm = nullptr;
    QDialog* frmPrint = nullptr;
    TfrmNotatki* frmNotatki = nullptr;
    TDane* Dane = nullptr; // the data module: settings, the database connection, the documents
    TfrmListaZalacznikow* frmListaZalacznikow = nullptr;
    TfrmSelectForm* frmSelectForm = nullptr;

    // The dialogs that exist, in creation order; menu actions "FRM..." pick one by name.
    QList<QDialog*> Dialogs() const;
};
extern AppWindows App;

// Creates the fourteen windows in their fixed order; `beforeEach` runs before each one.
void CreateApplicationWindows(const std::function<void()>& beforeEach);
// Frees them when the program ends; the data module goes last and writes the settings.
void DestroyApplicationWindows();

// Makes the data module: reads the settings and connects to the database (offering the
// new-database wizard when it cannot be opened), writing its progress on the splash.
TDane* CreateDataModule(const std::function<void(const QString&)>& status);
