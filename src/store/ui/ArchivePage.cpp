#include "store/ui/ArchivePage.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/ui/AppWindows.h"
#include "app/ui/MainWindow.h"
#include "store/Archive.h"
#include "store/GlobalKonfig.h"

namespace {
// The window repaints and the log moves while a service runs; clicks and keys wait, so that
// nothing else touches the database meanwhile.
void keepPainting() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
} // namespace

TArchivePage::TArchivePage(TGlobalKonfig& konfig, QWidget* parent) : QWidget(parent), konfig_(konfig) {
    setObjectName(QStringLiteral("pg_Arch"));

    auto* explanation = new QLabel(
        QStringLiteral("Korzystając z poniższych opcji możesz utworzyć kopię danych programu, oraz "
                       "przywrócić dane z utworzonej poprzednio kopii, jeżeli aktualne dane zostały "
                       "uszkodzone. "),
        this);
    explanation->setWordWrap(true);

    auto* group = new QGroupBox(QStringLiteral(" Ustawienia dostępu do bazy ARCHIWUM "), this);
    group->setObjectName(QStringLiteral("gb_Archiwum"));
    group->setMaximumWidth(760);
    ed_ArchSerwer = new QLineEdit(group);
    ed_ArchSerwer->setObjectName(QStringLiteral("ed_ArchSerwer"));
    ed_ArchDatabaseName = new QLineEdit(group);
    ed_ArchDatabaseName->setObjectName(QStringLiteral("ed_ArchDatabaseName"));
    btn_ArchBrowse = new QToolButton(group);
    btn_ArchBrowse->setObjectName(QStringLiteral("btn_ArchBrowse"));
    btn_ArchBrowse->setText(QStringLiteral("..."));
    ed_ArchUser = new QLineEdit(group);
    ed_ArchUser->setObjectName(QStringLiteral("ed_ArchUser"));
    ed_ArchPass = new QLineEdit(group);
    ed_ArchPass->setObjectName(QStringLiteral("ed_ArchPass"));
    ed_ArchPass->setEchoMode(QLineEdit::Password);
    btn_Fabryczne = new QPushButton(QStringLiteral("Przywróć ustawienia fabryczne"), group);
    btn_Fabryczne->setObjectName(QStringLiteral("btn_Fabryczne"));

    auto* fileBox = new QHBoxLayout;
    fileBox->setSpacing(2);
    fileBox->addWidget(ed_ArchDatabaseName, 1);
    fileBox->addWidget(btn_ArchBrowse);
    auto* fabryczne = new QHBoxLayout;
    fabryczne->addWidget(btn_Fabryczne);
    fabryczne->addStretch(1);
    auto* form = new QFormLayout(group);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow(QStringLiteral("Lokalizacja sieciowa serwera: (adres IP lub nazwa w sieci)"), ed_ArchSerwer);
    form->addRow(QStringLiteral("Lokalizacja archiwum: (z punktu widzenia serwera)"), fileBox);
    form->addRow(QStringLiteral("Nazwa użytkownika:"), ed_ArchUser);
    form->addRow(QStringLiteral("Hasło dostępu do bazy:"), ed_ArchPass);
    form->addRow(QString(), fabryczne);

    btn_Archiwizuj = new QPushButton(QStringLiteral("Archiwizuj"), this);
    btn_Archiwizuj->setObjectName(QStringLiteral("btn_Archiwizuj"));
    btn_Odtwarzaj = new QPushButton(QStringLiteral("Odtwarzaj"), this);
    btn_Odtwarzaj->setObjectName(QStringLiteral("btn_Odtwarzaj"));
    for (QPushButton* b : {btn_Archiwizuj, btn_Odtwarzaj})
        b->setMinimumWidth(110);
    auto* actions = new QHBoxLayout;
    actions->setSpacing(8);
    actions->addWidget(btn_Archiwizuj);
    actions->addWidget(btn_Odtwarzaj);
    actions->addStretch(1);

    mmo_Log = new QPlainTextEdit(this);
    mmo_Log->setObjectName(QStringLiteral("mmo_Log"));
    mmo_Log->setReadOnly(true);
    mmo_Log->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmo_Log->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* inner = new QVBoxLayout;
    inner->setContentsMargins(10, 8, 10, 10);
    inner->setSpacing(8);
    inner->addWidget(explanation);
    inner->addWidget(group);
    inner->addLayout(actions);
    inner->addWidget(mmo_Log, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PageTitle(QStringLiteral("Archiwizacja danych"), this));
    layout->addLayout(inner, 1);

    connect(btn_Archiwizuj, &QPushButton::clicked, this, &TArchivePage::Archiwizuj);
    connect(btn_Odtwarzaj, &QPushButton::clicked, this, &TArchivePage::Odtwarzaj);
    connect(btn_Fabryczne, &QPushButton::clicked, this, &TArchivePage::FactoryArchiveSettings);
    connect(btn_ArchBrowse, &QToolButton::clicked, this, &TArchivePage::Browse);
}

void TArchivePage::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FillEdits();
        mmo_Log->clear();
    }
    QWidget::showEvent(event);
}

void TArchivePage::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) StoreEdits();
    QWidget::hideEvent(event);
}

ArchiveEdits TArchivePage::Edits() const {
    return ArchiveEdits{ed_ArchSerwer->text(), ed_ArchDatabaseName->text(), ed_ArchUser->text(),
                        ed_ArchPass->text()};
}

void TArchivePage::SetEdits(const ArchiveEdits& edits) {
    ed_ArchSerwer->setText(edits.server);
    ed_ArchDatabaseName->setText(edits.file);
    ed_ArchUser->setText(edits.user);
    ed_ArchPass->setText(edits.password);
}

void TArchivePage::FillEdits() {
    if (App.Dane) SetEdits(DataArchive(*App.Dane, konfig_).Edits());
}

void TArchivePage::StoreEdits() {
    if (App.Dane) DataArchive(*App.Dane, konfig_).StoreEdits(Edits());
}

void TArchivePage::FactoryArchiveSettings() {
    if (!App.Dane) return;
    ArchiveEdits edits = Edits();
    if (DataArchive(*App.Dane, konfig_).ResetToFactory(edits)) SetEdits(edits);
}

void TArchivePage::Browse() {
    const QString filters = QStringLiteral(
        "Bazy danych Firebird (*.fb *.FB);;Pliki archiwum GBK (*.gbk *.GBK);;Wszystkie Pliki (*)");
    QString selected = filters.section(QStringLiteral(";;"), 1, 1);
    // The server writes this file: it may not exist yet, and replacing it is asked before the run.
    const QString file =
        QFileDialog::getSaveFileName(this, QString(), BrowseStartFile(ed_ArchDatabaseName->text()), filters,
                                     &selected, QFileDialog::DontConfirmOverwrite);
    if (!file.isEmpty()) ed_ArchDatabaseName->setText(file);
}

void TArchivePage::AppendLine(const QString& line) {
    mmo_Log->appendPlainText(line);
    mmo_Log->verticalScrollBar()->setValue(mmo_Log->verticalScrollBar()->maximum());
    keepPainting();
}

void TArchivePage::SetBusy(bool busy) {
    if (busy == busy_) return;
    busy_ = busy;
    setEnabled(!busy);
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TArchivePage::Archiwizuj() {
    if (!App.Dane || busy_) return;
    ArchiveObserver observer;
    observer.line = [this](const QString& line) { AppendLine(line); };
    observer.idle = keepPainting;
    observer.busy = [this](bool busy) { SetBusy(busy); };
    DataArchive(*App.Dane, konfig_).Archiwizuj(Edits(), observer);
    SetBusy(false);
}

void TArchivePage::Odtwarzaj() {
    if (!App.Dane || busy_) return;
    ArchiveObserver observer;
    observer.line = [this](const QString& line) { AppendLine(line); };
    observer.idle = keepPainting;
    observer.busy = [this](bool busy) { SetBusy(busy); };
    // The reconnection uses the settings as they stand: the configuration page's edits are
    // only filled while that page is shown, and would otherwise wipe the database settings.
    const ArchiveOutcome outcome = DataArchive(*App.Dane, konfig_).Odtwarzaj(Edits(), observer);
    SetBusy(false);
    if (outcome != ArchiveOutcome::Cancelled) emit databaseRestored();
}
