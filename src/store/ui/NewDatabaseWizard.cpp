#include "store/ui/NewDatabaseWizard.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "store/GlobalKonfig.h"

namespace {
QLabel* wrapped(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QWidget* editWithHint(QLineEdit* edit, const QString& hint, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(edit);
    if (!hint.isEmpty()) {
        auto* label = new QLabel(hint, box);
        QFont f = label->font();
        f.setPointSizeF(f.pointSizeF() * 0.9);
        label->setFont(f);
        label->setStyleSheet(QStringLiteral("color: #555;"));
        layout->addWidget(label);
    }
    return box;
}
} // namespace

TfrmNewDatabase::TfrmNewDatabase(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmNewDatabase"));
    setWindowTitle(QStringLiteral("Kreator tworzenia nowej bazy danych"));
    setMinimumWidth(560);

    auto* heading = new QLabel(QStringLiteral("Kreator tworzenia bazy danych"), this);
    heading->setObjectName(QStringLiteral("lbl_Heading"));
    QFont hf = heading->font();
    hf.setBold(true);
    hf.setPointSizeF(hf.pointSizeF() * 1.35);
    heading->setFont(hf);

    auto* explanation =
        wrapped(QStringLiteral(
                    "Wykryto brak bazy danych (zgodnie z ustawieniami konfiguracji programu). Jeżeli jest to "
                    "pierwsze uruchomienie programu to ukazanie się tego kreatora jest uzasadnione. W "
                    "przypadku, gdy baza danych programu Sumaris 2022 została wcześniej zainstalowana, a "
                    "mimo to pojawił się ten kreator, może to świadczyć o niewłaściwej konfiguracji "
                    "programu lub o braku pliku danych w podanej lokalizacji."),
                this);

    auto* attempt =
        new QLabel(QStringLiteral("Nastąpi próba utworzenia NOWEJ BAZY DANYCH w lokalizacji: "), this);
    lbl_Destination = new QLabel(this);
    lbl_Destination->setObjectName(QStringLiteral("lbl_Destination"));
    lbl_Destination->setWordWrap(true);
    lbl_Destination->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = lbl_Destination->font();
    bold.setBold(true);
    lbl_Destination->setFont(bold);
    auto* howTo = new QLabel(QStringLiteral("Aby kontynuować tworzenie nowej bazy danych wciśnij OK, \n"
                                            "aby przerwać wciśnij ANULUJ."),
                             this);

    chk_Advanced = new QCheckBox(QStringLiteral("Ustawienia zaawansowane"), this);
    chk_Advanced->setObjectName(QStringLiteral("chk_Advanced"));

    pnl_Advanced = new QWidget(this);
    pnl_Advanced->setObjectName(QStringLiteral("pnl_Advanced"));
    rb_Current = new QRadioButton(QStringLiteral("wedle obecnych ustawień konfiguracyjnych"), pnl_Advanced);
    rb_Default =
        new QRadioButton(QStringLiteral("w lokalizacji domyślnej (w katalogu aplikacji)"), pnl_Advanced);
    rb_Custom =
        new QRadioButton(QStringLiteral("w dowolnej lokalizacji (opcja wielce zaawansowana)"), pnl_Advanced);
    auto* choices = new QButtonGroup(this);
    choices->addButton(rb_Current);
    choices->addButton(rb_Default);
    choices->addButton(rb_Custom);
    ed_Server = new QLineEdit(pnl_Advanced);
    ed_Server->setObjectName(QStringLiteral("ed_Server"));
    ed_Path = new QLineEdit(pnl_Advanced);
    ed_Path->setObjectName(QStringLiteral("ed_Path"));
    ed_User = new QLineEdit(pnl_Advanced);
    ed_User->setObjectName(QStringLiteral("ed_User"));
    ed_Password = new QLineEdit(pnl_Advanced);
    ed_Password->setObjectName(QStringLiteral("ed_Password"));
    ed_Password->setEchoMode(QLineEdit::Password);

    auto* edits = new QFormLayout;
    edits->setContentsMargins(22, 4, 0, 0);
    edits->addRow(QStringLiteral("Lokalizacja sieciowa serwera "),
                  editWithHint(ed_Server, QStringLiteral(" (adres IP lub \"nazwa w sieci\")"), pnl_Advanced));
    edits->addRow(QStringLiteral("Nazwa pliku danych "),
                  editWithHint(ed_Path,
                               QStringLiteral("(łącznie ze ścieżką; z punktu widzenia serwera Firebird)  "),
                               pnl_Advanced));
    edits->addRow(QStringLiteral("Nazwa użytkownika"), ed_User);
    edits->addRow(QStringLiteral("Hasło"), ed_Password);
    auto* advanced = new QVBoxLayout(pnl_Advanced);
    advanced->setContentsMargins(0, 0, 0, 0);
    advanced->addWidget(rb_Current);
    advanced->addWidget(rb_Default);
    advanced->addWidget(rb_Custom);
    advanced->addLayout(edits);

    btn_OK = new QPushButton(QStringLiteral("OK"), this);
    btn_OK->setObjectName(QStringLiteral("btn_OK"));
    btn_OK->setDefault(true);
    btn_Cancel = new QPushButton(QStringLiteral("Anuluj"), this);
    btn_Cancel->setObjectName(QStringLiteral("btn_Cancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btn_OK);
    buttons->addWidget(btn_Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->addWidget(heading);
    layout->addSpacing(6);
    layout->addWidget(explanation);
    layout->addSpacing(8);
    layout->addWidget(attempt);
    layout->addWidget(lbl_Destination);
    layout->addSpacing(8);
    layout->addWidget(howTo);
    layout->addSpacing(6);
    layout->addWidget(chk_Advanced);
    layout->addWidget(pnl_Advanced);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(chk_Advanced, &QCheckBox::toggled, this, [this](bool on) {
        pnl_Advanced->setVisible(on);
        adjustSize();
    });
    for (QRadioButton* rb : {rb_Current, rb_Default, rb_Custom})
        connect(rb, &QRadioButton::toggled, this, [this](bool on) {
            if (on) ChoiceChanged();
        });
    for (QLineEdit* ed : {ed_Server, ed_Path, ed_User, ed_Password})
        connect(ed, &QLineEdit::textChanged, this, &TfrmNewDatabase::EditsChanged);
    connect(btn_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);

    Reset(DatabaseTarget{});
}

QString TfrmNewDatabase::Destination(const DatabaseTarget& target) {
    return target.server.isEmpty() ? target.path : target.server + QStringLiteral(" : ") + target.path;
}

void TfrmNewDatabase::Reset(const DatabaseTarget& configured) {
    configured_ = configured;
    filling_ = true;
    chk_Advanced->setChecked(false);
    pnl_Advanced->setVisible(false);
    rb_Current->setChecked(true);
    ed_Server->setText(configured.server);
    ed_Path->setText(configured.path);
    ed_User->setText(configured.user);
    ed_Password->setText(configured.password);
    filling_ = false;
    ChoiceChanged();
    adjustSize();
}

bool TfrmNewDatabase::Execute(DatabaseTarget& target) {
    Reset(target);
    btn_OK->setFocus();
    if (exec() != QDialog::Accepted) return false;
    target = target_;
    return true;
}

void TfrmNewDatabase::ChoiceChanged() {
    const bool custom = rb_Custom->isChecked();
    for (QLineEdit* ed : {ed_Server, ed_Path, ed_User, ed_Password})
        ed->setEnabled(custom);
    if (custom) {
        EditsChanged();
        return;
    }
    if (rb_Default->isChecked())
        // This computer through the embedded engine: no database server needs to run here.
        target_ = DatabaseTarget{QString(), DefaultDatabasePath(), QString::fromLatin1(kDefaultUser),
                                 QString::fromLatin1(kDefaultPassword)};
    else
        target_ = configured_;
    ShowTarget();
}

void TfrmNewDatabase::EditsChanged() {
    if (filling_ || !rb_Custom->isChecked()) return;
    target_ = DatabaseTarget{ed_Server->text().trimmed(), ed_Path->text().trimmed(), ed_User->text(),
                             ed_Password->text()};
    ShowTarget();
}

void TfrmNewDatabase::ShowTarget() {
    lbl_Destination->setText(Destination(target_));
}
