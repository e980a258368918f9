#include "app/ui/AttachmentList.h"

#include <QDate>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTableView>
#include <QVBoxLayout>
#include <stdexcept>

#include "app/ui/FormsModel.h"
#include "app/ui/MainWindow.h"
#include "app/ui/StoreEditing.h"
#include "app/util/Encoding.h"
#include "app/util/Folders.h"
#include "app/util/Interaction.h"
#include "forms/FormTypes.h"
#include "forms/ui/FormEditor.h"
#include "store/Dane.h"

namespace {

const QString kAttachmentFile = QStringLiteral("zalaczniki.dat");

// Taxpayer and spouse forms of the attachments that exist in both, in the order they are tried.
const char* const kSpousePairs[][2] = {
    {"TFRMPIT_B", "TFRMPIT_BM"},   {"TFRMPIT_BR", "TFRMPIT_BRM"},   {"TFRMPIT_DS", "TFRMPIT_DSM"},
    {"TFRMPIT_IP", "TFRMPIT_IPM"}, {"TFRMPIT_SE", "TFRMPIT_SEM"},   {"TFRMPIT_M", "TFRMPIT_MM"},
    {"TFRMPIT_Z", "TFRMPIT_ZM"},   {"TFRMPIT_MIT", "TFRMPIT_MITM"}, {"TFRMPIT_WZ", "TFRMPIT_WZM"},
    {"TFRMPIT_PM", "TFRMPIT_PMM"},
};

QPushButton* barButton(QWidget* parent, QHBoxLayout* bar, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus); // the keys belong to the grid
    bar->addWidget(b);
    return b;
}

} // namespace

TfrmListaZalacznikow::TfrmListaZalacznikow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmListaZalacznikow"));
    setWindowTitle(QStringLiteral("Załączniki do zeznania "));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* top = new QWidget(this);
    top->setObjectName(QStringLiteral("pnl_Top"));
    auto* topBar = new QHBoxLayout(top);
    topBar->setContentsMargins(6, 6, 6, 3);
    btn_Zamknij = barButton(top, topBar, QStringLiteral("btn_Zamknij"), QStringLiteral("&Zamknij listę"));
    topBar->addSpacing(12);
    btn_Nowy = barButton(top, topBar, QStringLiteral("btn_Nowy"), QStringLiteral("&Nowy"));
    btn_Edycja = barButton(top, topBar, QStringLiteral("btn_Edycja"), QStringLiteral("&Edycja"));
    btn_Kopia = barButton(top, topBar, QStringLiteral("btn_Kopia"), QStringLiteral("U&twórz kopię"));
    btn_Usun = barButton(top, topBar, QStringLiteral("btn_Usun"), QStringLiteral("U&suń"));
    btn_Uwagi = barButton(top, topBar, QStringLiteral("btn_Uwagi"), QStringLiteral("&Uwagi"));
    topBar->addStretch(1);

    auto* second = new QWidget(this);
    second->setObjectName(QStringLiteral("pnl_Eksport"));
    auto* secondBar = new QHBoxLayout(second);
    secondBar->setContentsMargins(6, 0, 6, 3);
    btn_PM = barButton(second, secondBar, QStringLiteral("btn_PM"), QStringLiteral("P/M"));
    btn_PM->setToolTip(QStringLiteral("Załącznik podatnika / małżonka"));
    secondBar->addSpacing(12);
    lbl_Eksport = new QLabel(QStringLiteral("Eksport danych do deklaracji macierzystej:"), second);
    lbl_Eksport->setObjectName(QStringLiteral("lbl_Eksport"));
    secondBar->addWidget(lbl_Eksport);
    btn_EksportWybrany = barButton(second, secondBar, QStringLiteral("btn_EksportWybrany"),
                                   QStringLiteral("z wy&branego załącznika"));
    btn_EksportWszystkie = barButton(second, secondBar, QStringLiteral("btn_EksportWszystkie"),
                                     QStringLiteral("ze &wszystkich załączników"));
    secondBar->addStretch(1);

    pm_Nowy = new QMenu(this);
    pm_Nowy->setObjectName(QStringLiteral("pm_Nowy"));

    Model = new TFormsModel(FormsList::Zalaczniki, this);
    grd_Zalaczniki = MakeFormsGrid(QStringLiteral("grd_Zalaczniki"), Model, this);
    grd_Zalaczniki->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(top);
    layout->addWidget(second);
    layout->addWidget(grd_Zalaczniki, 1);

    connect(btn_Zamknij, &QPushButton::clicked, this, &QDialog::reject);
    connect(btn_Nowy, &QPushButton::clicked, this, &TfrmListaZalacznikow::Nowy);
    connect(btn_Edycja, &QPushButton::clicked, this, &TfrmListaZalacznikow::Edycja);
    connect(btn_Kopia, &QPushButton::clicked, this, &TfrmListaZalacznikow::UtworzKopie);
    connect(btn_Usun, &QPushButton::clicked, this, &TfrmListaZalacznikow::Usun);
    connect(btn_Uwagi, &QPushButton::clicked, this, &TfrmListaZalacznikow::Uwagi);
    connect(btn_PM, &QPushButton::clicked, this, &TfrmListaZalacznikow::ToggleSpouseVariant);
    connect(btn_EksportWybrany, &QPushButton::clicked, this, [this] { ExportToParent(false); });
    connect(btn_EksportWszystkie, &QPushButton::clicked, this, [this] { ExportToParent(true); });
    connect(grd_Zalaczniki, &QTableView::doubleClicked, this, &TfrmListaZalacznikow::Edycja);
    // Wide enough for every column, as far as the screen allows.
    int width = grd_Zalaczniki->verticalHeader()->width() + 2 * grd_Zalaczniki->frameWidth() + 24 +
                grd_Zalaczniki->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000 00:00:00"));
    for (int i = 0; i + 1 < Model->columnCount(); ++i)
        width += grd_Zalaczniki->columnWidth(i);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() * 9 / 10 : 1000;
    resize(qBound(820, width, qMax(820, room)), 380);
}

QStringList TfrmListaZalacznikow::AttachmentTypes(const QString& fileText, const QString& windowName) {
    const QString wanted = UpperCase1250(windowName.trimmed());
    if (wanted.isEmpty()) return {};
    QString text = UpperCase1250(fileText);
    text.replace(u'\r', u'\n');
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        if (!line.contains(wanted)) continue;
        QStringList types;
        const QStringList fields = line.split(u';');
        for (int i = 1; i < fields.size(); ++i)
            if (!fields[i].trimmed().isEmpty()) types.append(fields[i].trimmed());
        return types;
    }
    return {};
}

QString TfrmListaZalacznikow::MenuCaption(const QString& typeCode) {
    return FormTypeCaption(FormDisplayName(typeCode));
}

void TfrmListaZalacznikow::ShowAttachments(TDane& dane, FormEditorWindow& declaration) {
    ShowAttachments(dane, declaration.Entry().windowName, &declaration);
}

void TfrmListaZalacznikow::ShowAttachments(TDane& dane, const QString& windowName, QWidget* declaration) {
    QString fileText;
    try {
        const QString path = FindDataFile(kAttachmentFile);
        fileText = ReadTextFile(path.isEmpty() ? DataFolder() + kAttachmentFile : path);
    } catch (const std::exception& e) {
        ReportError(e);
        return;
    }
    const QStringList types = AttachmentTypes(fileText, windowName);
    pm_Nowy->clear();
    for (const QString& type : types)
        pm_Nowy->addAction(MenuCaption(type))->setData(type);
    if (types.isEmpty()) {
        ShowBox(BoxInfo, QStringLiteral("Dla tego typu dokumentu nie przewidziano załączników."),
                QStringLiteral("Informacja"));
        return;
    }
    dane_ = &dane;
    windowName_ = windowName;
    const FormRow* master = dane.Forms().current();
    setWindowTitle(QStringLiteral("Załączniki do zeznania ") +
                   (master ? master->C_FOR_TYP.trimmed() : QString()));
    Model->SetRows({});
    Reload();
    if (!placed_) {
        restorePlacement();
        placed_ = true;
    }
    grd_Zalaczniki->setFocus();
    exec();
    Model->SetRows({});
    dane_ = nullptr;
    // The keyboard goes back to the declaration.
    if (declaration) declaration->activateWindow();
}

void TfrmListaZalacznikow::done(int result) {
    savePlacement();
    QDialog::done(result);
}

void TfrmListaZalacznikow::comeBack() {
    // An attachment's editor has closed: the keyboard belongs to the list again.
    activateWindow();
    grd_Zalaczniki->setFocus();
}

void TfrmListaZalacznikow::Reload() {
    if (!dane_) return;
    const FormRow* before = Model->RowAt(grd_Zalaczniki->currentIndex().row());
    const int keep =
        before ? before->FOR_ID : (dane_->Zalaczniki().current() ? dane_->Zalaczniki().current()->FOR_ID : 0);
    try {
        Model->SetRows(CurrentAttachments(*dane_));
    } catch (const std::exception& e) {
        Model->SetRows({});
        ReportError(e);
    }
    selectId(keep);
}

void TfrmListaZalacznikow::selectId(int forId) {
    SelectGridRow(grd_Zalaczniki, qMax(0, Model->RowOf(forId)));
}

const FormRow* TfrmListaZalacznikow::currentAttachment() {
    if (!dane_) return nullptr;
    const FormRow* row = Model->RowAt(grd_Zalaczniki->currentIndex().row());
    if (!row || !dane_->Zalaczniki().locate(row->FOR_ID)) return nullptr;
    return row;
}

void TfrmListaZalacznikow::Nowy() {
    if (!dane_ || pm_Nowy->isEmpty()) return;
    QAction* chosen = pm_Nowy->exec(btn_Nowy->mapToGlobal(QPoint(0, btn_Nowy->height())));
    if (chosen) NewAttachment(chosen->data().toString());
}

void TfrmListaZalacznikow::NewAttachment(const QString& typeCode) {
    if (!dane_) return;
    const bool saved = OpenEditor(*dane_, true, typeCode, true, this);
    const int id = saved && dane_->Zalaczniki().current() ? dane_->Zalaczniki().current()->FOR_ID : 0;
    Reload();
    if (id) selectId(id);
    comeBack();
}

void TfrmListaZalacznikow::Edycja() {
    const FormRow* row = currentAttachment();
    if (!row) return;
    const QString type = row->FOR_TYP;
    OpenEditor(*dane_, false, type, true, this);
    Reload();
    comeBack();
}

void TfrmListaZalacznikow::UtworzKopie() {
    const FormRow* row = currentAttachment();
    if (!row) return;
    try {
        dane_->DuplicateRecord(dane_->Zalaczniki());
        // The copy is a new filling of the same form: today's, without the source's notes and remark.
        const int copy = dane_->Zalaczniki().current()->FOR_ID;
        UpdateFormColumn(*dane_, copy, FormColumn::Date, QDate::currentDate());
        UpdateFormColumn(*dane_, copy, FormColumn::Remark, QString());
        UpdateFormColumn(*dane_, copy, FormColumn::Notes, QString());
        Reload();
        selectId(copy);
    } catch (const std::exception& e) {
        ReportError(e);
        Reload();
    }
}

void TfrmListaZalacznikow::Usun() {
    if (!currentAttachment()) return;
    if (ShowBox(BoxYesNo, QStringLiteral("Czy na pewno usunąć wskazany dokument?"),
                QStringLiteral("Usuwanie dokumentu")) != BoxResult::Yes)
        return;
    try {
        // The answer took a while: make sure the row deleted is the one shown.
        if (currentAttachment()) dane_->DeleteRecord(dane_->Zalaczniki());
    } catch (const std::exception& e) {
        ReportError(e);
    }
    Reload();
}

void TfrmListaZalacznikow::Uwagi() {
    const FormRow* row = currentAttachment();
    if (!row) return;
    QString text = row->FOR_UWAGI;
    if (!AskRemark(this, text)) return;
    try {
        UpdateFormColumn(*dane_, row->FOR_ID, FormColumn::Remark, text);
    } catch (const std::exception& e) {
        ReportError(e);
    }
    Reload();
}

void TfrmListaZalacznikow::ToggleSpouseVariant() {
    if (!dane_ || !dane_->Forms().current() || dane_->Forms().current()->FOR_TYP.toUpper() != u"TFRMPIT_36")
        return;
    const FormRow* row = currentAttachment();
    if (!row) return;
    const QString type = row->FOR_TYP.toUpper();
    QString toggled;
    for (const auto& pair : kSpousePairs) {
        if (type == QLatin1String(pair[0]))
            toggled = QString::fromLatin1(pair[1]);
        else if (type == QLatin1String(pair[1]))
            toggled = QString::fromLatin1(pair[0]);
        if (!toggled.isEmpty()) break;
    }
    if (toggled.isEmpty()) return;
    try {
        UpdateFormColumn(*dane_, row->FOR_ID, FormColumn::Type, toggled);
    } catch (const std::exception& e) {
        ReportError(e);
    }
    Reload();
}

void TfrmListaZalacznikow::ExportToParent(bool all) {
    if (pm_Nowy->isEmpty()) return;
    if (!all && Model->rowCount() == 0) return;
    ShowBox(BoxInfo,
            QStringLiteral("Przenoszenie danych z załączników do deklaracji nie jest jeszcze dostępne."),
            QStringLiteral("Informacja"));
}

bool TfrmListaZalacznikow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grd_Zalaczniki && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return QDialog::eventFilter(watched, event);
        switch (key->key()) {
        case Qt::Key_Insert:
            Nowy();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_F2:
            Edycja();
            return true;
        case Qt::Key_Delete:
            Usun();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmListaZalacznikow::restorePlacement() {
    auto settings = OpenAppSettings();
    settings->beginGroup(kFormPosGroup);
    const QRect stored(settings->value(QStringLiteral("frmListaZalacznikow/Left"), 0).toInt(),
                       settings->value(QStringLiteral("frmListaZalacznikow/Top"), 0).toInt(),
                       settings->value(QStringLiteral("frmListaZalacznikow/Width"), 0).toInt(),
                       settings->value(QStringLiteral("frmListaZalacznikow/Height"), 0).toInt());
    settings->endGroup();
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    if (stored.width() >= 300 && stored.height() >= 150 && area.intersects(stored)) {
        setGeometry(stored);
        return;
    }
    QRect r(QPoint(0, 0), size());
    r.moveCenter(area.center());
    move(r.topLeft());
}

void TfrmListaZalacznikow::savePlacement() {
    if (!isVisible()) return;
    auto settings = OpenAppSettings();
    settings->beginGroup(kFormPosGroup);
    const QRect g = geometry();
    settings->setValue(QStringLiteral("frmListaZalacznikow/Left"), g.left());
    settings->setValue(QStringLiteral("frmListaZalacznikow/Top"), g.top());
    settings->setValue(QStringLiteral("frmListaZalacznikow/Width"), g.width());
    settings->setValue(QStringLiteral("frmListaZalacznikow/Height"), g.height());
    settings->endGroup();
}
