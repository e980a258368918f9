#include "app/ui/FormsModel.h"

#include <QFont>
#include <QHeaderView>

#include "app/util/Texts.h"

namespace {
const QColor kNavy(0, 0, 128);
const QColor kMarked(0, 128, 0);

QString stamp(const QDateTime& t) {
    return t.isValid() ? t.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss")) : QString();
}
} // namespace

QList<TFormsModel::Column> TFormsModel::Columns(FormsList kind) {
    const QString nip = QStringLiteral("FOR_NIP"), name = QStringLiteral("C_FOR_NAZIMIE"),
                  type = QStringLiteral("C_FOR_TYP"), date = QStringLiteral("FOR_DATA_WYPELNIENIA");
    const QString nameTitle = QStringLiteral("Oznaczenie Podatnika"),
                  typeTitle = QStringLiteral("Typ formularza");
    switch (kind) {
    case FormsList::Forms:
        return {{nip, QStringLiteral("NIP/PESEL"), 13},
                {name, nameTitle, 33},
                {type, typeTitle, 15},
                {date, QStringLiteral("Data"), 10},
                {QStringLiteral("FOR_FIRMA"), QStringLiteral("Kontekst KPR"), 13},
                {QStringLiteral("FOR_UWAGI"), QStringLiteral("Uwagi"), 50}};
    case FormsList::SelectForm:
        return {{nip, QStringLiteral("NIP"), 13},
                {name, nameTitle, 30},
                {type, typeTitle, 15},
                {date, QStringLiteral("Data"), 10},
                {QStringLiteral("FOR_KOREKTA"), QStringLiteral("FOR_KOREKTA"), 0},
                {QStringLiteral("FOR_SERIES"), QStringLiteral("FOR_SERIES"), 0},
                {QStringLiteral("CREATE_AT"), QStringLiteral("CREATE_AT"), 19},
                {QStringLiteral("MODIFIED_AT"), QStringLiteral("MODIFIED_AT"), 19}};
    case FormsList::Zalaczniki:
        return {{nip, QStringLiteral("NIP"), 13},
                {name, nameTitle, 30},
                {type, typeTitle, 15},
                {date, QStringLiteral("Data"), 10},
                {QStringLiteral("FOR_UWAGI"), QStringLiteral("Uwagi"), 30},
                {QStringLiteral("FOR_KOREKTA"), QStringLiteral("Korekta"), 0},
                {QStringLiteral("FOR_SERIES"), QStringLiteral("FOR_SERIES"), 0},
                {QStringLiteral("CREATE_AT"), QStringLiteral("CREATE_AT"), 19},
                {QStringLiteral("MODIFIED_AT"), QStringLiteral("MODIFIED_AT"), 19}};
    case FormsList::OldForms:
        return {{nip, QStringLiteral("NIP"), 13},
                {name, QStringLiteral("Nazwisko i Imię"), 30},
                {date, QStringLiteral("Data"), 10},
                {QStringLiteral("FOR_TYP"), QStringLiteral("Typ"), 0}};
    }
    return {};
}

TFormsModel::TFormsModel(FormsList kind, QObject* parent)
    : QAbstractTableModel(parent), columns_(Columns(kind)) {}

void TFormsModel::SetRows(QList<FormRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int TFormsModel::RowOf(int forId) const {
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].FOR_ID == forId) return i;
    return -1;
}

void TFormsModel::SetMarkedColumn(int column) {
    const int old = marked_;
    marked_ = column;
    if (old >= 0) emit headerDataChanged(Qt::Horizontal, old, old);
    if (column >= 0) emit headerDataChanged(Qt::Horizontal, column, column);
}

int TFormsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int TFormsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(columns_.size());
}

QString TFormsModel::CellText(const FormRow& r, const QString& field) {
    if (field == u"FOR_NIP") return r.FOR_NIP;
    if (field == u"C_FOR_NAZIMIE") return r.C_FOR_NAZIMIE;
    if (field == u"C_FOR_TYP") return r.C_FOR_TYP;
    if (field == u"FOR_DATA_WYPELNIENIA")
        return r.FOR_DATA_WYPELNIENIA.isValid() ? DateText(r.FOR_DATA_WYPELNIENIA) : QString();
    if (field == u"FOR_FIRMA") return r.FOR_FIRMA;
    if (field == u"FOR_UWAGI") return r.FOR_UWAGI;
    if (field == u"FOR_KOREKTA") return r.FOR_KOREKTA ? QString::number(*r.FOR_KOREKTA) : QString();
    if (field == u"FOR_SERIES") return r.FOR_SERIES;
    if (field == u"CREATE_AT") return stamp(r.CREATE_AT);
    if (field == u"MODIFIED_AT") return stamp(r.MODIFIED_AT);
    if (field == u"FOR_TYP") return r.FOR_TYP;
    return QString();
}

QVariant TFormsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size() || index.column() >= columns_.size()) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        const QString text = CellText(rows_[index.row()], columns_[index.column()].field);
        // Long remarks are read whole in the tool tip.
        if (role == Qt::ToolTipRole && text.size() <= columns_[index.column()].displayWidth) return {};
        return text;
    }
    return {};
}

QVariant TFormsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columns_.size()) return {};
    if (role == Qt::DisplayRole) return columns_[section].title;
    if (role == Qt::ForegroundRole && section == marked_) return kMarked;
    return {};
}

QTableView* MakeFormsGrid(const QString& name, TFormsModel* model, QWidget* parent) {
    auto* grid = new QTableView(parent);
    grid->setObjectName(name);
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);
    grid->setTabKeyNavigation(false);
    grid->setAlternatingRowColors(true);
    QPalette p = grid->palette();
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::Highlight, kNavy);
        p.setColor(g, QPalette::HighlightedText, Qt::white);
    }
    p.setColor(QPalette::AlternateBase, QColor(0xF3, 0xF7, 0xFC));
    grid->setPalette(p);
    QHeaderView* rows = grid->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    rows->setFixedWidth(14);
    rows->setHighlightSections(false);
    QHeaderView* titles = grid->horizontalHeader();
    QFont bold = titles->font();
    bold.setBold(true);
    titles->setFont(bold);
    titles->setHighlightSections(false);
    titles->setStretchLastSection(true);
    titles->setSectionsMovable(false);
    // Identifiers and dates are digits, wider than the average letter; the last column takes
    // whatever room is left.
    const QFontMetrics metrics = grid->fontMetrics();
    const int letter = metrics.averageCharWidth();
    const int digit = qMax(letter, metrics.horizontalAdvance(QLatin1Char('0')));
    const QFontMetrics titleMetrics(bold);
    const int last = int(model->ColumnList().size()) - 1;
    for (int i = 0; i < last; ++i) {
        const TFormsModel::Column& c = model->ColumnList()[i];
        const bool digits = c.field == u"FOR_NIP" || c.field == u"FOR_DATA_WYPELNIENIA" ||
                            c.field == u"CREATE_AT" || c.field == u"MODIFIED_AT";
        const int title = titleMetrics.horizontalAdvance(c.title) + 16;
        grid->setColumnWidth(i, qMax(title, c.displayWidth * (digits ? digit : letter) + 12));
    }
    return grid;
}

void SelectGridRow(QTableView* grid, int row) {
    QAbstractItemModel* model = grid->model();
    if (model->rowCount() == 0) return;
    const QModelIndex index = model->index(qBound(0, row, model->rowCount() - 1), 0);
    grid->selectionModel()->setCurrentIndex(index,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    grid->scrollTo(index);
}
