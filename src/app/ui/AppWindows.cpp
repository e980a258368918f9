#include "app/ui/AppWindows.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>

#include "app/ui/AttachmentList.h"
#include "app/ui/LoginWindow.h"
#include "app/ui/MainWindow.h"
#include "app/ui/Pictures.h"
#include "app/ui/SelectFormWindow.h"
#include "app/ui/Splash.h"
#include "app/util/Folders.h"
#include "app/util/Interaction.h"
#include "store/Dane.h"
#include "store/GlobalKonfig.h"
#include "store/ui/NewDatabaseWizard.h"
#include "store/ui/NotesWindow.h"
#include "xml/ui/XmlErrorWindow.h"

AppWindows App;
bool TestMode = false;

QString ProgramVersion() {
    return QString::number(SUMARIS_VERSION_MAJOR) + u'.' + QStringLiteral(SUMARIS_VERSION_MINOR);
}

QString ApplicationTitle() {
    return QGuiApplication::applicationDisplayName();
}

namespace {
std::unique_ptr<QPrinter> g_printer;
}

QPrinter& AppPrinter() {
    if (!g_printer) g_printer = std::make_unique<QPrinter>();
    return *g_printer;
}

TPlaceholderWindow::TPlaceholderWindow(const QString& name, const QString& caption, QWidget* parent)
    : QDialog(parent) {
    setObjectName(name);
    setWindowTitle(caption);
}

// ---------------------------------------------------------------------------------------------

TfrmWait::TfrmWait(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setObjectName(QStringLiteral("frmWait"));
    auto* picture = new QLabel(this);
    picture->setPixmap(LogoPicture(48));
    // Moves by itself while the event loop runs, so the window never looks frozen.
    auto* busy = new QProgressBar(this);
    busy->setObjectName(QStringLiteral("Animate1"));
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    busy->setFixedHeight(8);
    label_ = new QLabel(QStringLiteral("Weryfikacja wstępna XSD"), this);
    label_->setObjectName(QStringLiteral("Label1"));
    QFont bold = label_->font();
    bold.setBold(true);
    label_->setFont(bold);
    gauge_ = new QProgressBar(this);
    gauge_->setObjectName(QStringLiteral("Gauge1"));
    gauge_->setTextVisible(false);

    auto* texts = new QVBoxLayout;
    texts->addWidget(label_);
    texts->addWidget(busy);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addLayout(top);
    layout->addWidget(gauge_);
    setFixedSize(380, 120);
}

void TfrmWait::showEvent(QShowEvent* event) {
    gauge_->setValue(0);
    QDialog::showEvent(event);
}

// ---------------------------------------------------------------------------------------------

QString TfrmCoNowego::FindDefaultPage() {
    const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + ".html";
    return FindDataFile(name, AppFolder());
}

TfrmCoNowego::TfrmCoNowego(QWidget* parent, const QString& pagePath) : QDialog(parent) {
    setObjectName(QStringLiteral("frmCoNowego"));
    page_ = pagePath.isEmpty() ? FindDefaultPage() : (QFileInfo::exists(pagePath) ? pagePath : QString());
    setWindowTitle(QStringLiteral("Co nowego w programie ") + ApplicationTitle());
    resize(720, 560);

    auto* heading = new QLabel(QStringLiteral("Co nowego w wersji ") + ProgramVersion(), this);
    heading->setObjectName(QStringLiteral("lbl_Wersja"));
    QFont font = heading->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.4);
    heading->setFont(font);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("Web"));
    browser_->setOpenExternalLinks(true);
    if (PageExists())
        browser_->setSource(QUrl::fromLocalFile(page_));
    else
        browser_->setPlainText(QStringLiteral("Opis zmian w tej wersji nie jest dostępny."));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(browser_, 1);
    layout->addWidget(buttons);
}

// ---------------------------------------------------------------------------------------------

QList<QDialog*> AppWindows::Dialogs() const {
    QList<QDialog*> list;
    for (QDialog* d : {static_cast<QDialog*>(frm_Login), static_cast<QDialog*>(frm_XMLError),
                       static_cast<QDialog*>(frmWait), static_cast<QDialog*>(frmCoNowego),
                       static_cast<QDialog*>(frmNewDatabase), frmSelectEmployee, frmPercentages,
                       frmSelectOldForm, frmPrint, static_cast<QDialog*>(frmNotatki),
                       static_cast<QDialog*>(frmListaZalacznikow), static_cast<QDialog*>(frmSelectForm)})
        if (d) list.append(d);
    return list;
}

void CreateApplicationWindows(const std::function<void()>& beforeEach) {
    auto step = [&] {
        if (beforeEach) beforeEach();
    };
    step();
    App.frmMain = new TfrmMain();
    QWidget* owner = App.frmMain;
    step();
    App.frm_Login = new Tfrm_Login(owner);
    step();
    App.frm_XMLError = new Tfrm_XMLError(owner);
    step();
    App.frmWait = new TfrmWait(owner);
    step();
    App.frmCoNowego = new TfrmCoNowego(owner);
    step();
    App.frmNewDatabase = new TfrmNewDatabase(owner);
    step();
    App.frmSelectEmployee =
        new TPlaceholderWindow(QStringLiteral("frmSelectEmployee"), QStringLiteral("Wybierz..."), owner);
    step();
    App.frmPercentages = new TPlaceholderWindow(
        QStringLiteral("frmPercentages"), QStringLiteral("Podaj definicję stawki ryczałtu w Welkor"), owner);
    step();
    App.frmSelectOldForm = new TPlaceholderWindow(QStringLiteral("frmSelectOldForm"),
                                                  QStringLiteral("Wybierz dokument do pobrania"), owner);
    step();
    App.frmPrint = new TPlaceholderWindow(QStringLiteral("frmPrint"), QStringLiteral("Wydruk"), owner);
    step();
    App.frmNotatki = new TfrmNotatki(owner);
    step();
    App.Dane = CreateDataModule(ShowStartupStatus);
    step();
    App.frmListaZalacznikow = new TfrmListaZalacznikow(owner);
    step();
    App.frmSelectForm = new TfrmSelectForm(owner);
}

TDane* CreateDataModule(const std::function<void(const QString&)>& status) {
    auto* dane = new TDane(GlobalKonfig());
    dane->startupStatus = status;
    dane->newDatabaseWizard = [](DatabaseTarget& target) {
        return App.frmNewDatabase && App.frmNewDatabase->Execute(target);
    };
    try {
        dane->DataModuleCreate();
    } catch (const std::exception& e) {
        // Whatever went wrong, the program opens without a database rather than not at all.
        ShowBox(BoxError, QString::fromUtf8(e.what()));
    }
    return dane;
}

void DestroyApplicationWindows() {
    // The dialogs are children of the main window and go with it.
    delete App.frmMain;
    TDane* dane = App.Dane;
    App = AppWindows();
    if (dane) {
        try {
            dane->DataModuleDestroy();
        } catch (const std::exception& e) {
            ShowBox(BoxError, QString::fromUtf8(e.what()));
        }
        delete dane;
    }
    g_printer.reset();
}
