#include "app/ui/RegistryPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "app/ui/AppWindows.h"
#include "app/ui/FormsModel.h"
#include "app/ui/MainWindow.h"
#include "app/ui/StoreEditing.h"
#include "app/util/Interaction.h"
#include "forms/FormTypes.h"
#include "store/Dane.h"
#include "store/GlobalKonfig.h"

namespace {

const int kFilterPanelHeight = 80;

QPushButton* toolButton(QWidget* parent, QHBoxLayout* bar, const QString& name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setMinimumWidth(b->sizeHint().width() + 12);
    bar->addWidget(b);
    return b;
}

// The sort field of a grid column: the calculated name and type sort by their stored columns.
QString sortField(const QString& field) {
    if (field == u"C_FOR_NAZIMIE") return QStringLiteral("FOR_NAZWISKO");
    if (field == u"C_FOR_TYP") return QStringLiteral("FOR_TYP");
    return field;
}

} // namespace

TRegistryPage::TRegistryPage(TGlobalKonfig& konfig, QWidget* parent) : QWidget(parent), konfig_(konfig) {
    setObjectName(QStringLiteral("pg_PITY"));

    QLabel* title = PageTitle(QStringLiteral("Kartoteka dokumentów"), this);
    lbl_Filtr = new QLabel(QStringLiteral("UWAGA! AKTYWNY FILTR!"), title);
    lbl_Filtr->setObjectName(QStringLiteral("lbl_Filtr"));
    // Red on the dark title would hardly show; the warning gets a light ground of its own.
    lbl_Filtr->setStyleSheet(QStringLiteral("QLabel { background: #fff4cc; color: #d00000; font-weight: "
                                            "bold; padding: 1px 8px; border-radius: 3px; }"));
    auto* titleLayout = new QHBoxLayout(title);
    titleLayout->setContentsMargins(0, 0, 8, 0);
    titleLayout->addStretch(1);
    titleLayout->addWidget(lbl_Filtr);

    auto* tools = new QWidget(this);
    tools->setObjectName(QStringLiteral("pnl_Narzedzia"));
    auto* bar = new QHBoxLayout(tools);
    bar->setContentsMargins(6, 6, 6, 4);
    btn_Nowy = toolButton(tools, bar, QStringLiteral("btn_Nowy"), QStringLiteral("Nowy"));
    btn_Edycja = toolButton(tools, bar, QStringLiteral("btn_Edycja"), QStringLiteral("Edycja"));
    btn_Uwagi = toolButton(tools, bar, QStringLiteral("btn_Uwagi"), QStringLiteral("Uwagi"));
    btn_Kopia = toolButton(tools, bar, QStringLiteral("btn_Kopia"), QStringLiteral("Utwórz kopię"));
    btn_Usun = toolButton(tools, bar, QStringLiteral("btn_Usun"), QStringLiteral("Usuń"));
    bar->addSpacing(16);
    btn_Odswiez = toolButton(tools, bar, QStringLiteral("btn_Odswiez"), QStringLiteral("Odśwież"));
    bar->addStretch(1);

    pnl_Filtr = new QWidget(this);
    pnl_Filtr->setObjectName(QStringLiteral("pnl_Filtr"));
    btn_Filtr = new QPushButton(QStringLiteral("FILTR włącz / wyłącz"), pnl_Filtr);
    btn_Filtr->setObjectName(QStringLiteral("btn_Filtr"));
    btn_Filtr->setCheckable(true);
    btn_Filtr->setAutoDefault(false);
    auto* filterLabel = new QLabel(QStringLiteral("Nazwisko / NIP "), pnl_Filtr);
    filterLabel->setObjectName(QStringLiteral("lbl_Nazwisko"));
    ed_Filter = new QLineEdit(pnl_Filtr);
    ed_Filter->setObjectName(QStringLiteral("ed_Filter"));
    ed_Filter->setClearButtonEnabled(true);
    filterLabel->setBuddy(ed_Filter);
    lbl_Przygotowane = new QLabel(QStringLiteral("Dokumenty przygotowane:"), pnl_Filtr);
    lbl_Przygotowane->setObjectName(QStringLiteral("lbl_Przygotowane"));
    cbb_DlaFirm = new QComboBox(pnl_Filtr);
    cbb_DlaFirm->setObjectName(QStringLiteral("cbb_DlaFirm"));
    cbb_DlaFirm->addItems(
        {QStringLiteral("niezależnie od kontekstu"), QStringLiteral("w kontekście danej firmy")});
    auto* filterLayout = new QGridLayout(pnl_Filtr);
    filterLayout->setContentsMargins(6, 2, 6, 4);
    filterLayout->setHorizontalSpacing(8);
    filterLayout->addWidget(btn_Filtr, 0, 0, 1, 2, Qt::AlignLeft);
    filterLayout->addWidget(filterLabel, 1, 0);
    filterLayout->addWidget(ed_Filter, 1, 1);
    filterLayout->addWidget(lbl_Przygotowane, 1, 2);
    filterLayout->addWidget(cbb_DlaFirm, 1, 3);
    filterLayout->setColumnStretch(1, 2);
    filterLayout->setColumnStretch(3, 1);
    filterControls_ = {filterLabel, ed_Filter, lbl_Przygotowane, cbb_DlaFirm};

    Model = new TFormsModel(FormsList::Forms, this);
    grd_Pity = MakeFormsGrid(QStringLiteral("grd_Pity"), Model, this);
    QHeaderView* titles = grd_Pity->horizontalHeader();
    titles->setSectionsClickable(true);
    titles->setCursor(Qt::PointingHandCursor);
    grd_Pity->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(title);
    layout->addWidget(tools);
    layout->addWidget(pnl_Filtr);
    layout->addWidget(grd_Pity, 1);

    connect(btn_Nowy, &QPushButton::clicked, this, &TRegistryPage::Nowy);
    connect(btn_Edycja, &QPushButton::clicked, this, &TRegistryPage::Edycja);
    connect(btn_Uwagi, &QPushButton::clicked, this, &TRegistryPage::Uwagi);
    connect(btn_Kopia, &QPushButton::clicked, this, &TRegistryPage::UtworzKopie);
    connect(btn_Usun, &QPushButton::clicked, this, &TRegistryPage::Usun);
    connect(btn_Odswiez, &QPushButton::clicked, this, &TRegistryPage::Odswiez);
    connect(btn_Filtr, &QPushButton::clicked, this, [this] { SetFilter(!filterOn_); });
    connect(ed_Filter, &QLineEdit::textChanged, this, &TRegistryPage::filterEdited);
    connect(cbb_DlaFirm, &QComboBox::currentIndexChanged, this, &TRegistryPage::filterEdited);
    connect(titles, &QHeaderView::sectionClicked, this, &TRegistryPage::SortByColumn);
    connect(grd_Pity, &QTableView::doubleClicked, this, &TRegistryPage::Edycja);
    connect(grd_Pity->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                // The attachment list and every button follow the row the person is on.
                if (reloading_ || !Store()) return;
                if (const FormRow* row = Model->RowAt(current.row())) Store()->Forms().locate(row->FOR_ID);
            });

    SetFilter(false);
    updateButtons();
}

TDane* TRegistryPage::Store() const {
    return dane_ ? dane_ : App.Dane;
}

void TRegistryPage::updateButtons() {
    const bool connected = Store() && Store()->Connected();
    const bool any = Model->rowCount() > 0;
    btn_Nowy->setEnabled(connected && FindFormType(action_) != nullptr);
    for (QPushButton* b : {btn_Edycja, btn_Uwagi, btn_Kopia, btn_Usun})
        b->setEnabled(connected && any);
    btn_Odswiez->setEnabled(connected);
}

void TRegistryPage::ShowDocuments(const QString& action) {
    action_ = action.trimmed().toUpper();
    // The company condition as the filter shows it.
    TDane* dane = Store();
    company_ = filterOn_ && cbb_DlaFirm->currentIndex() == 1 && dane ? dane->CompanyContext() : QString();
    RequeryDocuments();
}

void TRegistryPage::RequeryDocuments() {
    TDane* dane = Store();
    if (!dane || !dane->Connected()) {
        Model->SetRows({});
        updateButtons();
        return;
    }
    try {
        dane->QueryDocuments(action_, company_, dane->SortOrder(), filterText_);
    } catch (const std::exception& e) {
        ReportError(e);
    }
    Reload();
}

void TRegistryPage::Reload() {
    TDane* dane = Store();
    reloading_ = true;
    QList<FormRow> rows;
    int current = -1;
    if (dane && dane->Connected() && dane->Forms().isOpen()) {
        rows = dane->Forms().rows();
        current = dane->Forms().currentIndex();
    }
    Model->SetRows(std::move(rows));
    if (current >= 0) SelectGridRow(grd_Pity, current);
    reloading_ = false;
    updateButtons();
}

const FormRow* TRegistryPage::currentRow() {
    TDane* dane = Store();
    if (!dane || !dane->Connected()) return nullptr;
    const FormRow* row = Model->RowAt(grd_Pity->currentIndex().row());
    if (!row || !dane->Forms().locate(row->FOR_ID)) return nullptr;
    return dane->Forms().current();
}

void TRegistryPage::SetFilter(bool on) {
    filterOn_ = on;
    btn_Filtr->setChecked(on);
    lbl_Filtr->setVisible(on);
    for (QWidget* w : filterControls_)
        w->setVisible(on);
    pnl_Filtr->setFixedHeight(on ? kFilterPanelHeight : btn_Filtr->sizeHint().height() + 6);
    if (on) return;
    const bool hadCondition = !filterText_.isEmpty() || !company_.isEmpty();
    filterText_.clear();
    company_.clear();
    {
        const QSignalBlocker a(ed_Filter), b(cbb_DlaFirm);
        ed_Filter->clear();
        cbb_DlaFirm->setCurrentIndex(0);
    }
    if (hadCondition || Model->rowCount() == 0) RequeryDocuments();
}

void TRegistryPage::filterEdited() {
    filterText_ = ed_Filter->text();
    TDane* dane = Store();
    company_ = cbb_DlaFirm->currentIndex() == 1 && dane ? dane->CompanyContext() : QString();
    RequeryDocuments();
}

void TRegistryPage::CompanyChanged() {
    if (filterOn_ && cbb_DlaFirm->currentIndex() == 1) filterEdited();
}

void TRegistryPage::SortByColumn(int column) {
    TDane* dane = Store();
    if (!dane || column < 0 || column >= Model->ColumnList().size()) return;
    const QString field = sortField(Model->ColumnList()[column].field);
    const QString current = dane->SortOrder().trimmed().toUpper();
    const QString order = !current.startsWith(field) || current.contains(QStringLiteral(" DESC"))
                              ? field + QStringLiteral(" ASC")
                              : field + QStringLiteral(" DESC");
    Model->SetMarkedColumn(column);
    dane->SetSortOrder(order);
    konfig_.Sortowanie = order;
    RequeryDocuments();
}

void TRegistryPage::Nowy() {
    TDane* dane = Store();
    if (!dane || !btn_Nowy->isEnabled()) return;
    OpenEditor(*dane, true, action_, false, window());
    Reload();
}

void TRegistryPage::Edycja() {
    const FormRow* row = currentRow();
    if (!row) return;
    const QString type = row->FOR_TYP;
    OpenEditor(*Store(), false, type, false, window());
    Reload();
}

void TRegistryPage::Uwagi() {
    const FormRow* row = currentRow();
    if (!row) return;
    const int id = row->FOR_ID;
    QString text = row->FOR_UWAGI;
    if (!AskRemark(window(), text)) return;
    TDane& dane = *Store();
    try {
        CommitOrRollBack(dane, [&] { UpdateFormColumn(dane, id, FormColumn::Remark, text); });
    } catch (const std::exception& e) {
        ReportError(e);
    }
    Reload();
}

void TRegistryPage::UtworzKopie() {
    if (!currentRow()) return;
    try {
        CopyDocumentWithAttachments(*Store());
    } catch (const std::exception& e) {
        ReportError(e);
    }
    Reload();
}

void TRegistryPage::Usun() {
    if (!currentRow()) return;
    if (ShowBox(
            BoxYesNo,
            QStringLiteral("Wraz z dokumentem skojarzone z nim\nzałączniki zostaną automatycznie usunięte.\n"
                           "Czy na pewno usunąć wskazany dokument?"),
            QStringLiteral("Kasowanie dokumentu")) != BoxResult::Yes)
        return;
    TDane& dane = *Store();
    try {
        CommitOrRollBack(dane, [&] {
            if (currentRow()) dane.DeleteRecord(dane.Forms());
        });
    } catch (const std::exception& e) {
        ReportError(e);
    }
    Reload();
}

void TRegistryPage::Odswiez() {
    TDane* dane = Store();
    if (!dane || !dane->Connected()) return;
    try {
        dane->CommitAndRefresh(false);
    } catch (const std::exception& e) {
        ReportError(e);
    }
    Reload();
}

bool TRegistryPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grd_Pity && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            if (key->key() == Qt::Key_Insert) {
                Nowy();
                return true;
            }
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                Edycja();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
