#include "app/ui/MainWindow.h"

#include <QCloseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPageSetupDialog>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <climits>
#include <stdexcept>

#include "app/ui/AppWindows.h"
#include "app/ui/CompanyPage.h"
#include "app/ui/ConfigPage.h"
#include "app/ui/LoginWindow.h"
#include "app/ui/Pictures.h"
#include "app/ui/RegistryPage.h"
#include "app/ui/Splash.h"
#include "app/util/CodePage.h"
#include "app/util/Encoding.h"
#include "app/util/Folders.h"
#include "app/util/Interaction.h"
#include "app/util/Splitters.h"
#include "store/Dane.h"
#include "store/GlobalKonfig.h"
#include "store/ui/ArchivePage.h"

const QString kFormPosGroup = QStringLiteral("Software/Morvek/Sumaris2022/FormPos");

std::unique_ptr<QSettings> OpenAppSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Morvek"),
                                       QStringLiteral("Sumaris2022"));
}

namespace {
const QSize kDesignSize(1166, 822);
const QString kNoCompany = QStringLiteral(" Wybierz firmę Welkor ...");

QFont boldFont(const QWidget* w) {
    QFont f = w->font();
    f.setBold(true);
    return f;
}

// A page whose content the owning part of the program adds below its title.
QWidget* makePage(const QString& name, const QString& title) {
    auto* page = new QWidget;
    page->setObjectName(name);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PageTitle(title, page));
    layout->addStretch(1);
    return page;
}
} // namespace

QLabel* PageTitle(const QString& title, QWidget* parent) {
    auto* caption = new QLabel(title, parent);
    caption->setObjectName(QStringLiteral("lbl_Title"));
    caption->setStyleSheet(
        QStringLiteral("QLabel { background: #1f3a6e; color: white; padding: 6px 10px; }"));
    QFont f = caption->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.25);
    caption->setFont(f);
    return caption;
}

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("MORVEK Sumaris 2022"));
    setWindowIcon(QIcon(LogoPicture(64)));
    setMinimumSize(800, 450);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // Banner.
    auto* banner = new QWidget(central);
    banner->setObjectName(QStringLiteral("pnl_Banner"));
    banner->setAutoFillBackground(true);
    QPalette white = banner->palette();
    white.setColor(QPalette::Window, Qt::white);
    banner->setPalette(white);
    auto* bannerLayout = new QHBoxLayout(banner);
    bannerLayout->setContentsMargins(8, 4, 12, 4);
    auto* leftPicture = new QLabel(banner);
    leftPicture->setObjectName(QStringLiteral("img_Left"));
    leftPicture->setPixmap(BannerTitlePicture());
    auto* rightPicture = new QLabel(banner);
    rightPicture->setObjectName(QStringLiteral("img_Right"));
    rightPicture->setPixmap(BannerDecorationPicture());
    bannerLayout->addWidget(leftPicture);
    bannerLayout->addStretch(1);
    bannerLayout->addWidget(rightPicture);
    layout->addWidget(banner);

    // Bar with the close button and the company.
    auto* bar = new QFrame(central);
    bar->setObjectName(QStringLiteral("pnl_Bar"));
    bar->setFrameShape(QFrame::StyledPanel);
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(4, 3, 4, 3);
    btn_KOniec = new QPushButton(QStringLiteral("Koniec"), bar);
    btn_KOniec->setObjectName(QStringLiteral("btn_KOniec"));
    btn_KOniec->setMinimumWidth(90);
    connect(btn_KOniec, &QPushButton::clicked, this, &QWidget::close);
    pnl_CurrentCompany = new QLabel(kNoCompany, bar);
    pnl_CurrentCompany->setObjectName(QStringLiteral("pnl_CurrentCompany"));
    pnl_CurrentCompany->setFont(boldFont(pnl_CurrentCompany));
    pnl_CurrentCompany->setFrameShape(QFrame::Panel);
    pnl_CurrentCompany->setFrameShadow(QFrame::Sunken);
    pnl_CurrentCompany->setMinimumHeight(btn_KOniec->sizeHint().height());
    barLayout->addWidget(btn_KOniec);
    barLayout->addWidget(pnl_CurrentCompany, 1);
    layout->addWidget(bar);

    // Menu tree and pages.
    auto* splitter = new QSplitter(Qt::Horizontal, central);
    splitter->setObjectName(QStringLiteral("Splitter1"));
    splitter->setChildrenCollapsible(false);
    tv_Menu = new QTreeWidget(splitter);
    tv_Menu->setObjectName(QStringLiteral("tv_Menu"));
    tv_Menu->setHeaderHidden(true);
    tv_Menu->setColumnCount(1);
    tv_Menu->setRootIsDecorated(false);
    tv_Menu->setIndentation(27);
    tv_Menu->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tv_Menu->setSelectionMode(QAbstractItemView::SingleSelection);
    tv_Menu->setIconSize(QSize(20, 20));
    tv_Menu->setMinimumWidth(230);
    tv_Menu->setMaximumWidth(300);
    // A caption too long for the pane is cut with "..." and shown whole in its tool tip.
    tv_Menu->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    tv_Menu->setTextElideMode(Qt::ElideRight);
    tv_Menu->header()->setStretchLastSection(true);
    {
        // The chosen node stays marked while the focus is on the page.
        QPalette pal = tv_Menu->palette();
        pal.setColor(QPalette::Inactive, QPalette::Highlight,
                     pal.color(QPalette::Active, QPalette::Highlight));
        pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     pal.color(QPalette::Active, QPalette::HighlightedText));
        tv_Menu->setPalette(pal);
    }
    connect(tv_Menu, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { MenuNodeChanged(current); });

    pg_1 = new QStackedWidget(splitter);
    pg_1->setObjectName(QStringLiteral("pg_1"));
    pg_HTML = new QWidget;
    pg_HTML->setObjectName(QStringLiteral("pg_HTML"));
    Web = new QTextBrowser(pg_HTML);
    Web->setObjectName(QStringLiteral("Web"));
    Web->setOpenExternalLinks(true);
    auto* htmlLayout = new QVBoxLayout(pg_HTML);
    htmlLayout->setContentsMargins(0, 0, 0, 0);
    htmlLayout->addWidget(Web);
    pg_KPRList = new TCompanyPage(GlobalKonfig());
    pg_Arch = new TArchivePage(GlobalKonfig());
    pg_PITY = new TRegistryPage(GlobalKonfig());
    pg_Konfig = new TKonfigPage(GlobalKonfig());
    pg_Upgrade = makePage(QStringLiteral("pg_Upgrade"), QStringLiteral("Aktualizacja programu"));
    pg_Zdalny = makePage(QStringLiteral("pg_Zdalny"), QStringLiteral("Pomoc zdalna autora programu"));
    for (QWidget* page : std::initializer_list<QWidget*>{pg_HTML, pg_KPRList, pg_Arch, pg_PITY, pg_Konfig,
                                                         pg_Upgrade, pg_Zdalny})
        pg_1->addWidget(page);
    pg_1->setCurrentWidget(pg_PITY);

    splitter->addWidget(tv_Menu);
    splitter->addWidget(pg_1);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({230, kDesignSize.width() - 230});
    layout->addWidget(splitter, 1);
    setCentralWidget(central);

    pnl_Version = new QLabel(this);
    pnl_Version->setObjectName(QStringLiteral("pnl_Version"));
    pnl_Version->setFont(boldFont(pnl_Version));
    pnl_Version->setContentsMargins(6, 0, 6, 0);
    statusBar()->addWidget(pnl_Version);

    tmr_1 = new QTimer(this);
    tmr_1->setObjectName(QStringLiteral("tmr_1"));
    tmr_1->setSingleShot(true);
    tmr_1->setInterval(2000);
    connect(tmr_1, &QTimer::timeout, this, &TfrmMain::UpdateCheckTimer);

    // The document list follows the menu, the company and whatever changed the database.
    connect(this, &TfrmMain::documentsRequested, pg_PITY, &TRegistryPage::ShowDocuments);
    connect(pg_KPRList, &TCompanyPage::companyChanged, this,
            [this](const QString& name, const QString& folder) {
                SetCurrentCompany(name, folder);
                pg_PITY->CompanyChanged();
            });
    connect(pg_KPRList, &TCompanyPage::documentListRequested, this, &TfrmMain::GoToDocumentList);
    connect(pg_Konfig, &TKonfigPage::saved, pg_KPRList, &TCompanyPage::LoadCompanyList);
    connect(pg_Konfig, &TKonfigPage::connectionChanged, pg_PITY, &TRegistryPage::RequeryDocuments);
    connect(pg_Arch, &TArchivePage::databaseRestored, pg_PITY, &TRegistryPage::RequeryDocuments);
    pg_PITY->SetFilter(true);

    RestorePlacement();

    ShowStartupStatus(QStringLiteral("Okno główne: Ładowanie drzewa dokumentów ..."));
    LoadMenu();
    // Shown even when the menu could not be read: the version matters most in exactly that case.
    pnl_Version->setText(QStringLiteral("wersja: ") + ProgramVersion());
}

TfrmMain::~TfrmMain() = default;

bool TfrmMain::LoadMenu() {
    tv_Menu->clear();
    mmo_Actions.clear();
    QString text;
    try {
        text = ReadTextFile(DataFolder() + QStringLiteral("Menu.dat"));
    } catch (const std::exception& e) {
        ShowBox(BoxError, QString::fromUtf8(e.what()));
        return false;
    }
    QStringList lines = text.split(u'\n');
    // A final line break ends the last line rather than starting an empty one.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();

    const QList<QIcon>& pictures = MenuImageList();
    QTreeWidgetItem* topLevel = nullptr;
    TTCL fields;
    for (QString line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
        fields.Split(line, QStringLiteral(";"));
        const bool isTop = fields.Field(1) == QStringLiteral("0") || !topLevel;
        auto* item = isTop ? new QTreeWidgetItem(tv_Menu) : new QTreeWidgetItem(topLevel);
        if (fields.Field(1) == QStringLiteral("0")) topLevel = item;
        item->setText(0, fields.Field(4));
        item->setToolTip(0, fields.Field(4));
        item->setIcon(0, pictures.value(fields.FieldAsInteger(3)));
        item->setData(0, Qt::UserRole, int(mmo_Actions.size()));
        mmo_Actions.append(fields.Field(2));
    }
    tv_Menu->expandAll();
    return true;
}

void TfrmMain::MenuNodeChanged(QTreeWidgetItem* current) {
    if (!current) return;
    current->setExpanded(true);
    CurrentAction = current->data(0, Qt::UserRole).toInt();
    RunMenuAction(UpperCase1250(mmo_Actions.value(CurrentAction)));
}

QString TfrmMain::HelpTopic(const QString& caption) {
    QString topic = caption;
    topic.replace(u' ', u'_');
    return ConvertCodePage(CpLatin, topic);
}

QWidget* TfrmMain::Page(const QString& name) const {
    for (int i = 0; i < pg_1->count(); ++i)
        if (pg_1->widget(i)->objectName().compare(name, Qt::CaseInsensitive) == 0) return pg_1->widget(i);
    return nullptr;
}

void TfrmMain::ShowHelp(const QString& caption) {
    pg_1->setCurrentWidget(pg_HTML);
    const QString topic = HelpTopic(caption);
    const QString relative = QStringLiteral("help/") + topic + u'/' + topic + QStringLiteral(".html");
    const QString path = topic.isEmpty() ? QString() : FindDataFile(relative);
    if (path.isEmpty()) {
        Web->clear();
        Web->setHtml(
            QStringLiteral("<p>Nie znaleziono strony pomocy <b>%1</b>.</p>").arg(relative.toHtmlEscaped()));
        return;
    }
    Web->setSource(QUrl::fromLocalFile(path));
}

void TfrmMain::RunMenuAction(const QString& action) {
    // Each kind of action is tried on its own: a failing one must not stop the others.
    try {
        if (action == QStringLiteral("HTML"))
            ShowHelp(tv_Menu->currentItem() ? tv_Menu->currentItem()->text(0) : QString());
    } catch (...) {
    }
    try {
        if (action == QStringLiteral("PRINTERCFG")) {
            QPageSetupDialog dialog(&AppPrinter(), this);
            dialog.exec();
        }
    } catch (...) {
    }
    try {
        if (action.startsWith(QStringLiteral("FRM"))) {
            for (QDialog* window : App.Dialogs()) {
                if (window->objectName().compare(action, Qt::CaseInsensitive) != 0) continue;
                if (!window->isVisible()) window->exec();
                break;
            }
        }
    } catch (...) {
    }
    try {
        if (action.startsWith(QStringLiteral("PG_")))
            if (QWidget* page = Page(action)) pg_1->setCurrentWidget(page);
    } catch (...) {
    }
    try {
        if (action.startsWith(QStringLiteral("TFRM"))) {
            pg_1->setCurrentWidget(pg_PITY);
            newEnabled = action != QStringLiteral("TFRMPIT_ALL");
            emit documentsRequested(action);
        }
    } catch (...) {
    }
}

void TfrmMain::SetCurrentCompany(const QString& name, const QString& folder) {
    pnl_CurrentCompany->setText(
        folder.isEmpty() ? kNoCompany : QStringLiteral(" Bieżąca firma: %1, Katalog: %2").arg(name, folder));
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    // After the window is on screen, as the modal windows of the first show need it there.
    QTimer::singleShot(0, this, &TfrmMain::OnFirstShow);
}

void TfrmMain::OnFirstShow() {
    if (firstShowDone_) return;
    firstShowDone_ = true;
    const QString password = GlobalKonfig().HasloProgramu;
    if (!password.isEmpty() && App.frm_Login && !RunLoginLoop(*App.frm_Login, password)) {
        close();
        return;
    }
    pg_KPRList->LoadCompanyList();
    if (App.Dane && App.Dane->Connected()) pg_PITY->SetFilter(false);
    // The marker is left by the installer: show what changed once after an update.
    const QString marker = AppFolder() + QStringLiteral("zmiany_cont.txt");
    if (QFile::exists(marker)) {
        try {
            if (App.frmCoNowego && App.frmCoNowego->PageExists()) App.frmCoNowego->exec();
        } catch (...) {
        }
        QFile::remove(marker);
    }
    tmr_1->start();
}

void TfrmMain::GoToDocumentList() {
    QTreeWidgetItemIterator it(tv_Menu);
    for (int i = 0; *it && i < 2; ++i)
        ++it;
    if (*it) {
        if (tv_Menu->currentItem() == *it)
            MenuNodeChanged(*it); // chosen already: show its list again
        else
            tv_Menu->setCurrentItem(*it);
    }
    tv_Menu->setFocus();
}

void TfrmMain::UpdateCheckTimer() {
    tmr_1->stop();
}

void TfrmMain::RestorePlacement() {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area =
        screen ? screen->availableGeometry() : QRect(0, 0, kDesignSize.width(), kDesignSize.height());
    QRect rect(QPoint(0, 0), kDesignSize.boundedTo(area.size()).expandedTo(minimumSize()));
    rect.moveCenter(area.center());

    auto settings = OpenAppSettings();
    settings->beginGroup(kFormPosGroup);
    const int left = settings->value(QStringLiteral("frmMain/Left"), INT_MIN).toInt();
    const int top = settings->value(QStringLiteral("frmMain/Top"), INT_MIN).toInt();
    const int width = settings->value(QStringLiteral("frmMain/Width"), 0).toInt();
    const int height = settings->value(QStringLiteral("frmMain/Height"), 0).toInt();
    settings->endGroup();
    const QRect stored(left, top, width, height);
    // A position from another screen layout could put the window out of reach; ignore it then.
    bool reachable = false;
    for (QScreen* s : QGuiApplication::screens())
        if (s->availableGeometry().intersected(stored).width() >= 100 &&
            s->availableGeometry().intersected(stored).height() >= 50)
            reachable = true;
    if (left != INT_MIN && top != INT_MIN && width >= minimumWidth() && height >= minimumHeight() &&
        reachable)
        rect = stored;
    setGeometry(rect);
}

void TfrmMain::setVisible(bool visible) {
    // The settings are read after this window is made, so the maximised state is taken when
    // the window first shows.
    if (visible && !stateApplied_) {
        stateApplied_ = true;
        if (GlobalKonfig().FullScreen) setWindowState(windowState() | Qt::WindowMaximized);
    }
    QMainWindow::setVisible(visible);
}

void TfrmMain::SavePlacement() {
    auto settings = OpenAppSettings();
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    if (normal.isValid()) {
        settings->beginGroup(kFormPosGroup);
        settings->setValue(QStringLiteral("frmMain/Left"), normal.left());
        settings->setValue(QStringLiteral("frmMain/Top"), normal.top());
        settings->setValue(QStringLiteral("frmMain/Width"), normal.width());
        settings->setValue(QStringLiteral("frmMain/Height"), normal.height());
        settings->endGroup();
    }
    GlobalKonfig().FullScreen = isMaximized();
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    if (pg_Arch->Busy()) {
        event->ignore(); // a backup or restore is writing its file
        return;
    }
    SavePlacement();
    OpenEditors.clear();
    QMainWindow::closeEvent(event);
}
