#pragma once
// The document grids: rows of FORMS shown with the columns and titles of the data module's
// lists. The model holds its own copy of the rows, so a list that changes underneath (a save
// inside an open editor) never leaves the view reading rows that are gone.
#include <QAbstractTableModel>
#include <QList>
#include <QTableView>

#include "store/Dane.h"

class TFormsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Column {
        QString field; // FORMS column or calculated field
        QString title;
        int displayWidth; // characters; 0 when the list sets none
    };
    // The shown columns of a list, in field order.
    static QList<Column> Columns(FormsList kind);

    explicit TFormsModel(FormsList kind, QObject* parent = nullptr);
    void SetRows(QList<FormRow> rows);
    const QList<FormRow>& Rows() const { return rows_; }
    const FormRow* RowAt(int row) const { return row >= 0 && row < rows_.size() ? &rows_[row] : nullptr; }
    int RowOf(int forId) const; // -1 when absent
    const QList<Column>& ColumnList() const { return columns_; }
    // The title shown in green; -1 for none.
    void SetMarkedColumn(int column);
    int MarkedColumn() const { return marked_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static QString CellText(const FormRow& row, const QString& field);

private:
    QList<Column> columns_;
    QList<FormRow> rows_;
    int marked_ = -1;
};

// A read-only grid of whole rows: bold titles, the chosen row in navy even without the focus,
// column widths from the display widths.
QTableView* MakeFormsGrid(const QString& name, TFormsModel* model, QWidget* parent);
// Makes a row current and selected (bounded to the rows there are), as a click would.
void SelectGridRow(QTableView* grid, int row);
