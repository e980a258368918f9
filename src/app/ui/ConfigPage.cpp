#include "app/ui/ConfigPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ui/AppWindows.h"
#include "app/ui/CollapsiblePanel.h"
#include "app/ui/MainWindow.h"
#include "app/util/Interaction.h"
#include "store/Dane.h"
#include "store/GlobalKonfig.h"
#include "store/ReferenceLists.h"

namespace {
const QColor kGreen(0, 128, 0);
const QColor kDarkRed(139, 0, 0);
const QString kDatabaseFilter =
    QStringLiteral("Bazy danych Firebird (*.fb *.FB);;Pliki archiwum GBK (*.gbk *.GBK);;Wszystkie Pliki (*)");

QLineEdit* lineEdit(const char* name, QWidget* parent, bool masked = false) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (masked) edit->setEchoMode(QLineEdit::Password);
    return edit;
}

QToolButton* browseButton(const char* name, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QStringLiteral("..."));
    return button;
}

QWidget* withButton(QLineEdit* edit, QToolButton* button, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(edit, 1);
    layout->addWidget(button);
    return box;
}

QFormLayout* formIn(QWidget* body) {
    auto* form = new QFormLayout(body);
    form->setContentsMargins(12, 8, 8, 10);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    return form;
}

QLabel* boldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

QString ledgerFolderDefault() {
    return QDir::homePath() + QStringLiteral("/KPR_2022");
}
} // namespace

TKonfigPage::TKonfigPage(TGlobalKonfig& konfig, QWidget* parent) : QWidget(parent), konfig_(konfig) {
    setObjectName(QStringLiteral("pg_Konfig"));

    // Buttons and the status line.
    btn_Zapisz = new QPushButton(QStringLiteral("Zapisz"), this);
    btn_Zapisz->setObjectName(QStringLiteral("btn_Zapisz"));
    btn_Poniechaj = new QPushButton(QStringLiteral("Poniechaj"), this);
    btn_Poniechaj->setObjectName(QStringLiteral("btn_Poniechaj"));
    for (QPushButton* b : {btn_Zapisz, btn_Poniechaj})
        b->setMinimumWidth(100);
    lbl_Status = boldLabel(QString(), this);
    lbl_Status->setObjectName(QStringLiteral("lbl_Status"));
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(10, 8, 10, 8);
    bar->setSpacing(8);
    bar->addWidget(btn_Zapisz);
    bar->addWidget(btn_Poniechaj);
    bar->addSpacing(16);
    bar->addWidget(lbl_Status, 1);

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("pnl_Content"));
    content->setMaximumWidth(760);

    // General settings.
    pnl_Ogolne = new TCollapsiblePanel(QStringLiteral("Ustawienia ogólne"), content);
    pnl_Ogolne->setObjectName(QStringLiteral("pnl_Ogolne"));
    QWidget* body = pnl_Ogolne->Body();
    chk_KprSpisNag =
        new QCheckBox(QStringLiteral("Przypominaj o wyborze firmy podczas pracy w trybie KPR"), body);
    chk_AutoChkUpdates =
        new QCheckBox(QStringLiteral("Automatycznie sprawdzaj dostępność aktualizacji"), body);
    chk_LocalRepository =
        new QCheckBox(QStringLiteral("Używaj lokalnego repozytorium dla weryfikacji XSD"), body);
    ed_HasloProgramu = lineEdit("ed_HasloProgramu", body, true);
    ed_HasloProgramu->setMaxLength(20);
    ed_HasloProgramu->setMaximumWidth(220);
    QFormLayout* form = formIn(body);
    form->addRow(chk_KprSpisNag);
    form->addRow(chk_AutoChkUpdates);
    form->addRow(chk_LocalRepository);
    form->addRow(QStringLiteral("Hasło dostępu do programu: "), ed_HasloProgramu);

    // Import.
    pnl_Import = new TCollapsiblePanel(QStringLiteral("Import danych "), content);
    pnl_Import->setObjectName(QStringLiteral("pnl_Import"));
    body = pnl_Import->Body();
    ed_SciezkaKPR = lineEdit("ed_SciezkaKPR", body);
    btn_SciezkaKPR = browseButton("btn_SciezkaKPR", body);
    rb_Mazovia = new QRadioButton(QStringLiteral("Mazovia"), body);
    rb_CP852 = new QRadioButton(QStringLiteral("CP-852"), body);
    auto* codePages = new QButtonGroup(body);
    codePages->addButton(rb_Mazovia);
    codePages->addButton(rb_CP852);
    auto* codePageBox = new QWidget(body);
    auto* codePageLayout = new QHBoxLayout(codePageBox);
    codePageLayout->setContentsMargins(0, 0, 0, 0);
    codePageLayout->addWidget(rb_Mazovia);
    codePageLayout->addWidget(rb_CP852);
    codePageLayout->addStretch(1);
    ed_OLD_Serwer = lineEdit("ed_OLD_Serwer", body);
    ed_OLD_Uzytkownik = lineEdit("ed_OLD_Uzytkownik", body);
    ed_OLD_Baza = lineEdit("ed_OLD_Baza", body);
    btn_OLD_Baza = browseButton("btn_OLD_Baza", body);
    ed_OLD_Haslo = lineEdit("ed_OLD_Haslo", body, true);
    form = formIn(body);
    form->addRow(QStringLiteral("Ścieżka dostępu do Welkor"),
                 withButton(ed_SciezkaKPR, btn_SciezkaKPR, body));
    form->addRow(QStringLiteral("Standard polskich znaków:"), codePageBox);
    form->addRow(boldLabel(QStringLiteral("Lokalizacja poprzedniej wersji programu:"), body));
    form->addRow(QStringLiteral("Lokalizacja sieciowa serwera: (adres IP lub nazwa w sieci)"), ed_OLD_Serwer);
    form->addRow(QStringLiteral("Nazwa użytkownika:"), ed_OLD_Uzytkownik);
    form->addRow(QStringLiteral("Lokalizacja bazy danych: (z punktu widzenia serwera)"),
                 withButton(ed_OLD_Baza, btn_OLD_Baza, body));
    form->addRow(QStringLiteral("Hasło dostępu do bazy:"), ed_OLD_Haslo);

    // Database.
    pnl_Baza = new TCollapsiblePanel(QStringLiteral("Ustawienia bazy danych"), content);
    pnl_Baza->setObjectName(QStringLiteral("pnl_Baza"));
    body = pnl_Baza->Body();
    ed_Serwer = lineEdit("ed_Serwer", body);
    ed_Uzytkownik = lineEdit("ed_Uzytkownik", body);
    ed_Baza = lineEdit("ed_Baza", body);
    btn_Baza = browseButton("btn_Baza", body);
    ed_Haslo = lineEdit("ed_Haslo", body, true);
    btn_Polacz = new QPushButton(QStringLiteral("Połącz / Testuj połączenie"), body);
    btn_Polacz->setObjectName(QStringLiteral("btn_Polacz"));
    btn_Fabryczne = new QPushButton(QStringLiteral("Przywróć ustawienia fabryczne"), body);
    btn_Fabryczne->setObjectName(QStringLiteral("btn_Fabryczne"));
    btn_WczytajOPP = new QPushButton(QStringLiteral("Wczytaj wykaz OPP"), body);
    btn_WczytajOPP->setObjectName(QStringLiteral("btn_WczytajOPP"));
    btn_WczytajOPP->setToolTip(
        QStringLiteral("Zastępuje wykaz organizacji pożytku publicznego w bazie danych "
                       "wykazem z pliku CSV"));
    auto* dbButtons = new QWidget(body);
    auto* dbButtonsLayout = new QHBoxLayout(dbButtons);
    dbButtonsLayout->setContentsMargins(0, 6, 0, 0);
    dbButtonsLayout->addWidget(btn_Polacz);
    dbButtonsLayout->addWidget(btn_Fabryczne);
    dbButtonsLayout->addStretch(1);
    dbButtonsLayout->addWidget(btn_WczytajOPP);
    form = formIn(body);
    form->addRow(QStringLiteral("Lokalizacja sieciowa serwera: (adres IP lub nazwa w sieci)"), ed_Serwer);
    form->addRow(QStringLiteral("Nazwa użytkownika:"), ed_Uzytkownik);
    form->addRow(QStringLiteral("Lokalizacja bazy danych: (z punktu widzenia serwera)"),
                 withButton(ed_Baza, btn_Baza, body));
    form->addRow(QStringLiteral("Hasło dostępu do bazy:"), ed_Haslo);
    form->addRow(dbButtons);

    auto* panels = new QVBoxLayout(content);
    panels->setContentsMargins(10, 4, 10, 10);
    panels->setSpacing(6);
    for (TCollapsiblePanel* p : {pnl_Ogolne, pnl_Import, pnl_Baza}) {
        panels->addWidget(p);
        connect(p, &TCollapsiblePanel::titleClicked, lbl_Status, &QLabel::clear);
    }
    panels->addStretch(1);

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("sb_Konfig"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PageTitle(QStringLiteral("Konfiguracja programu"), this));
    layout->addLayout(bar);
    layout->addWidget(scroll, 1);

    connect(btn_Zapisz, &QPushButton::clicked, this, &TKonfigPage::Zapisz);
    connect(btn_Poniechaj, &QPushButton::clicked, this, &TKonfigPage::Poniechaj);
    connect(btn_Polacz, &QPushButton::clicked, this, &TKonfigPage::TestConnection);
    connect(btn_Fabryczne, &QPushButton::clicked, this, &TKonfigPage::FactoryDatabaseSettings);
    connect(btn_WczytajOPP, &QPushButton::clicked, this, &TKonfigPage::ChooseOppFile);
    connect(btn_SciezkaKPR, &QToolButton::clicked, this, &TKonfigPage::ChooseLedgerFolder);
    connect(btn_Baza, &QToolButton::clicked, this, [this] { ChooseDatabase(ed_Baza); });
    connect(btn_OLD_Baza, &QToolButton::clicked, this, [this] { ChooseDatabase(ed_OLD_Baza); });
}

void TKonfigPage::showEvent(QShowEvent* event) {
    // Only when the page is switched to, not when the window comes back from the task bar.
    if (!event->spontaneous()) {
        FillControls();
        lbl_Status->clear();
    }
    QWidget::showEvent(event);
}

void TKonfigPage::FillControls() {
    chk_KprSpisNag->setChecked(konfig_.KprSpisNag);
    chk_AutoChkUpdates->setChecked(konfig_.AutoChkUpdates);
    chk_LocalRepository->setChecked(konfig_.LocalRepository);
    ed_HasloProgramu->setText(konfig_.HasloProgramu);
    ed_SciezkaKPR->setText(konfig_.SciezkaKPR);
    rb_Mazovia->setChecked(konfig_.KPR_PL == 0);
    rb_CP852->setChecked(konfig_.KPR_PL != 0);
    ed_OLD_Serwer->setText(konfig_.OLD_AdresSieciowySerwera);
    ed_OLD_Uzytkownik->setText(konfig_.OLD_Uzytkownik);
    ed_OLD_Baza->setText(konfig_.OLD_BazaDanych);
    ed_OLD_Haslo->setText(konfig_.OLD_Haslo);
    ed_Serwer->setText(konfig_.AdresSieciowySerwera);
    ed_Uzytkownik->setText(konfig_.Uzytkownik);
    ed_Baza->setText(konfig_.BazaDanych);
    ed_Haslo->setText(konfig_.Haslo);
    CollapseAll();
}

void TKonfigPage::TakeControls() {
    konfig_.KprSpisNag = chk_KprSpisNag->isChecked();
    konfig_.AutoChkUpdates = chk_AutoChkUpdates->isChecked();
    konfig_.LocalRepository = chk_LocalRepository->isChecked();
    konfig_.HasloProgramu = ed_HasloProgramu->text();
    konfig_.SciezkaKPR = ed_SciezkaKPR->text();
    konfig_.KPR_PL = rb_Mazovia->isChecked() ? 0 : 1;
    konfig_.OLD_AdresSieciowySerwera = ed_OLD_Serwer->text();
    konfig_.OLD_Uzytkownik = ed_OLD_Uzytkownik->text();
    konfig_.OLD_BazaDanych = ed_OLD_Baza->text();
    konfig_.OLD_Haslo = ed_OLD_Haslo->text();
    konfig_.AdresSieciowySerwera = ed_Serwer->text();
    konfig_.Uzytkownik = ed_Uzytkownik->text();
    konfig_.BazaDanych = ed_Baza->text();
    konfig_.Haslo = ed_Haslo->text();
}

void TKonfigPage::CollapseAll() {
    for (TCollapsiblePanel* p : {pnl_Ogolne, pnl_Import, pnl_Baza})
        p->SetExpanded(false);
}

void TKonfigPage::SetStatus(const QString& text, const QColor& colour) {
    QPalette pal = lbl_Status->palette();
    pal.setColor(QPalette::WindowText, colour);
    lbl_Status->setPalette(pal);
    lbl_Status->setText(text);
}

void TKonfigPage::Zapisz() {
    TakeControls();
    CollapseAll();
    // Written at once as well as at exit, so that a crash does not lose the changes.
    if (konfig_.SaveSettings())
        SetStatus(QStringLiteral("Zapisano zmiany!"), kGreen);
    else
        SetStatus(QStringLiteral("Nie udało się zapisać pliku konfiguracji ") + SettingsFile(), kDarkRed);
    emit saved();
}

void TKonfigPage::Poniechaj() {
    FillControls();
    SetStatus(QStringLiteral("Anulowano edycję konfiguracji"), kDarkRed);
}

void TKonfigPage::TestConnection() {
    TakeControls();
    if (!App.Dane) return;
    try {
        App.Dane->Connect(false);
    } catch (const std::exception& e) {
        ShowBox(BoxError, QString::fromUtf8(e.what()));
    }
    // The wizard may have put the database elsewhere; "Zapisz" must not bring the old place back.
    ed_Serwer->setText(konfig_.AdresSieciowySerwera);
    ed_Uzytkownik->setText(konfig_.Uzytkownik);
    ed_Baza->setText(konfig_.BazaDanych);
    ed_Haslo->setText(konfig_.Haslo);
    emit connectionChanged();
}

void TKonfigPage::FactoryDatabaseSettings() {
    if (ShowBox(
            BoxYesNo,
            QStringLiteral("Czy na pewno przywrócić ustawienia fabryczne parametrów dostępu do bazy danych?"),
            QStringLiteral("Przywracanie parametrów domyślnych")) != BoxResult::Yes)
        return;
    konfig_.ResetDatabaseSettings();
    const bool ogolne = pnl_Ogolne->IsExpanded(), import = pnl_Import->IsExpanded(),
               baza = pnl_Baza->IsExpanded();
    FillControls();
    pnl_Ogolne->SetExpanded(ogolne);
    pnl_Import->SetExpanded(import);
    pnl_Baza->SetExpanded(baza);
}

void TKonfigPage::ChooseLedgerFolder() {
    const QString start = ed_SciezkaKPR->text().isEmpty() ? ledgerFolderDefault() : ed_SciezkaKPR->text();
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Wybierz katalog"), start);
    if (!folder.isEmpty()) ed_SciezkaKPR->setText(folder);
}

void TKonfigPage::ChooseDatabase(QLineEdit* edit) {
    QString start = edit->text();
    if (start.trimmed().isEmpty() && edit == ed_Baza) start = DefaultDatabasePath();
    QString filter = kDatabaseFilter.section(QStringLiteral(";;"), 0, 0);
    const QString file = QFileDialog::getOpenFileName(this, QString(), start, kDatabaseFilter, &filter);
    if (!file.isEmpty()) edit->setText(file);
}

void TKonfigPage::ChooseOppFile() {
    const QString file =
        QFileDialog::getOpenFileName(this, QStringLiteral("Wczytaj wykaz OPP"), QString(),
                                     QStringLiteral("Wykaz OPP (*.csv *.CSV);;Wszystkie Pliki (*)"));
    if (!file.isEmpty()) LoadOppFile(file);
}

void TKonfigPage::LoadOppFile(const QString& path) {
    TDane* dane = App.Dane;
    if (!dane || !dane->Connected()) {
        ShowBox(BoxWarning, QStringLiteral("Brak połączenia z bazą danych: wykaz OPP nie został wczytany."));
        return;
    }
    try {
        const OppLoadResult result = LoadOppList(dane->BazaDanych(), path);
        try {
            // The pickers read in the program's transaction; a fresh one sees the new list.
            dane->CommitAndRefresh(true);
        } catch (const std::exception&) {
        }
        QString text = QStringLiteral("Wczytano wykaz organizacji pożytku publicznego.\n"
                                      "Liczba organizacji: %1")
                           .arg(result.loaded);
        if (result.duplicates > 0)
            text += QStringLiteral("\nPominięte powtórzenia numerów KRS: %1").arg(result.duplicates);
        ShowBox(BoxInfo, text);
    } catch (const ListFileError& e) {
        ShowBox(BoxWarning, e.message() + QStringLiteral("\n\nWykaz w bazie danych nie został zmieniony."));
    } catch (const std::exception& e) {
        ShowBox(BoxError, QStringLiteral("Nie udało się wczytać wykazu OPP; wykaz w bazie danych nie został "
                                         "zmieniony.\n\n") +
                              QString::fromUtf8(e.what()));
    }
}
