#include "store/ui/ReferencePickers.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "app/ui/AppWindows.h"
#include "app/util/Encoding.h"
#include "app/util/Interaction.h"
#include "store/Dane.h"

TReferenceModel::TReferenceModel(const QStringList& titles, QObject* parent)
    : QAbstractTableModel(parent), titles_(titles) {}

void TReferenceModel::SetRows(QList<Row> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    shown_.clear();
    shown_.reserve(rows_.size());
    for (int i = 0; i < rows_.size(); ++i)
        shown_.append(i);
    endResetModel();
}

void TReferenceModel::Filter(const QString& text) {
    beginResetModel();
    shown_.clear();
    const bool all = text.trimmed().isEmpty();
    const QString wanted = UpperCase1250(text);
    for (int i = 0; i < rows_.size(); ++i)
        if (all || rows_[i].key.contains(wanted)) shown_.append(i);
    endResetModel();
}

int TReferenceModel::Find(int column, const QString& value) const {
    for (int i = 0; i < shown_.size(); ++i)
        if (rows_[shown_[i]].cells.value(column) == value) return i;
    return -1;
}

int TReferenceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(shown_.size());
}

int TReferenceModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(titles_.size());
}

QVariant TReferenceModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shown_.size()) return QVariant();
    return rows_[shown_[index.row()]].cells.value(index.column());
}

QVariant TReferenceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return QVariant();
    if (orientation == Qt::Horizontal) return titles_.value(section);
    return QString(); // the indicator column carries no numbers
}

// ---------------------------------------------------------------------------------------------

TReferencePicker::TReferencePicker(const QString& name, const QString& caption, const QString& searchLabel,
                                   const QStringList& titles, const QList<int>& widths, QWidget* parent)
    : QDialog(parent) {
    setObjectName(name);
    setWindowTitle(caption);

    model_ = new TReferenceModel(titles, this);
    grid_ = new QTableView(this);
    grid_->setObjectName(QStringLiteral("DBGrid1"));
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setShowGrid(true);
    grid_->setWordWrap(false);
    grid_->setTabKeyNavigation(false);
    // Fixed row heights keep a refresh of thousands of rows cheap.
    QHeaderView* rows = grid_->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
    rows->setFixedWidth(14);
    rows->setHighlightSections(true);
    QHeaderView* columns = grid_->horizontalHeader();
    columns->setHighlightSections(false);
    columns->setStretchLastSection(true);
    int total = 0;
    for (int i = 0; i < widths.size(); ++i) {
        grid_->setColumnWidth(i, widths[i]);
        total += widths[i];
    }

    auto* label = new QLabel(searchLabel, this);
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("ed_Szukaj"));
    label->setBuddy(search_);
    pobierz_ = new QPushButton(QStringLiteral("Pobierz"), this);
    pobierz_->setObjectName(QStringLiteral("btn_Pobierz"));
    pobierz_->setAutoDefault(false);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(label);
    bottom->addWidget(search_, 1);
    bottom->addWidget(pobierz_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(grid_, 1);
    layout->addLayout(bottom);
    resize(total + 60, 460);

    connect(search_, &QLineEdit::textChanged, this, &TReferencePicker::SearchChanged);
    connect(grid_, &QTableView::doubleClicked, this, &TReferencePicker::Confirm);
    connect(pobierz_, &QPushButton::clicked, this, &TReferencePicker::Confirm);
    search_->installEventFilter(this);
    grid_->installEventFilter(this);
    pobierz_->installEventFilter(this);
}

void TReferencePicker::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect r = frameGeometry();
            r.moveCenter(screen->availableGeometry().center());
            move(r.topLeft());
        }
    QDialog::showEvent(event);
}

void TReferencePicker::SetRows(QList<TReferenceModel::Row> rows) {
    model_->SetRows(std::move(rows));
    SetCurrent(0);
}

void TReferencePicker::Locate(int column, const QString& value) {
    SetCurrent(qMax(0, model_->Find(column, value)));
}

void TReferencePicker::SetCurrent(int row) {
    if (row < 0 || row >= model_->rowCount()) return;
    const QModelIndex index = model_->index(row, 0);
    grid_->selectionModel()->setCurrentIndex(index,
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid_->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

QStringList TReferencePicker::Current() const {
    const QModelIndex index = grid_->currentIndex();
    if (!index.isValid() || index.row() >= model_->rowCount()) return {};
    return model_->At(index.row()).cells;
}

void TReferencePicker::SearchChanged(const QString& text) {
    model_->Filter(text);
    SetCurrent(0);
}

void TReferencePicker::Confirm() {
    chosen_ = Current();
    accept();
}

void TReferencePicker::reject() {
    chosen_.clear();
    QDialog::reject();
}

bool TReferencePicker::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Confirm();
        return true;
    case Qt::Key_Escape:
        reject();
        return true;
    default:
        break;
    }
    if (watched == search_ && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
        grid_->setFocus();
        return true;
    }
    if (watched == grid_) {
        // Typing in the grid starts a new search.
        const QString text = key->text();
        const bool printable = !text.isEmpty() && text.at(0).isPrint() &&
                               !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (printable) {
            search_->setText(text);
            search_->setFocus();
            search_->end(false);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------

TForm_US::TForm_US(QWidget* parent)
    : TReferencePicker(QStringLiteral("Form_US"), QStringLiteral("Rejestr urzędów skarbowych"),
                       QStringLiteral("Wybierz wg miejscowości"),
                       {QStringLiteral("KODURZEDU"), QStringLiteral("NAZWA"), QStringLiteral("MIEJSCOWOSC")},
                       {93, 291, 111}, parent) {}

void TForm_US::SetOffices(QList<TaxOffice> offices) {
    std::sort(offices.begin(), offices.end(),
              [](const TaxOffice& a, const TaxOffice& b) { return a.code < b.code; });
    QList<TReferenceModel::Row> rows;
    rows.reserve(offices.size());
    for (const TaxOffice& o : offices)
        rows.append({{o.code, o.name, o.town}, UpperCase1250(o.town)});
    SetRows(std::move(rows));
}

TForm_OPP::TForm_OPP(QWidget* parent)
    : TReferencePicker(
          QStringLiteral("Form_OPP"), QStringLiteral("Rejestr Organizacji pożytku publicznego"),
          QStringLiteral("Wybierz wg numeru KRS lub nazwy"),
          {QStringLiteral("Numer KRS"), QStringLiteral("Nazwa organizacji"), QStringLiteral("Miejscowość")},
          {100, 458, 118}, parent) {}

void TForm_OPP::SetOrganisations(QList<Organisation> organisations) {
    std::sort(organisations.begin(), organisations.end(),
              [](const Organisation& a, const Organisation& b) { return a.krs < b.krs; });
    QList<TReferenceModel::Row> rows;
    rows.reserve(organisations.size());
    for (const Organisation& o : organisations)
        rows.append({{o.krs, o.name, o.town}, UpperCase1250(o.krs + o.town + o.name)});
    SetRows(std::move(rows));
}

// ---------------------------------------------------------------------------------------------

bool PickTaxOffice(TDane& dane, QWidget* parent, QString& code, QString& name) {
    QList<TaxOffice> offices;
    try {
        offices = dane.SearchTaxOffices(QString());
    } catch (const std::exception&) {
        return false; // no register to offer; the fields stay as they were
    }
    try {
        TForm_US window(parent);
        window.SetOffices(offices);
        if (code.size() == 4) window.Locate(0, code);
        if (window.exec() != QDialog::Accepted) return false;
        const QStringList chosen = window.Chosen();
        if (chosen.isEmpty() || chosen[0].isEmpty()) return false;
        code = chosen[0].left(4);
        name = chosen[1].left(255);
        return true;
    } catch (const std::exception&) {
        ShowBox(BoxWarning, QStringLiteral("Błąd tworzenia faormatki urzędów skarbowych."),
                QStringLiteral("Błąd"));
        return false;
    }
}

bool PickOrganisation(TDane& dane, QWidget* parent, QString& krs) {
    try {
        TForm_OPP window(parent);
        window.SetOrganisations(dane.SearchOrganisations(QString()));
        if (krs.size() == 10) window.Locate(0, krs);
        if (window.exec() != QDialog::Accepted) return false;
        const QStringList chosen = window.Chosen();
        if (chosen.isEmpty() || chosen[0].isEmpty()) return false;
        krs = chosen[0];
        return true;
    } catch (const std::exception& e) {
        ShowBox(BoxError, QString::fromUtf8(e.what()));
        return false;
    }
}

bool PickTaxOffice(QWidget* parent, QString& code, QString& name) {
    return App.Dane && PickTaxOffice(*App.Dane, parent, code, name);
}

bool PickOrganisation(QWidget* parent, QString& krs) {
    if (!App.Dane) return false;
    return PickOrganisation(*App.Dane, parent, krs);
}
