#pragma once
// The registers of tax offices (Form_US) and public-benefit organisations (Form_OPP) that the
// form editors open from a field. The whole register is read once when a picker opens and the
// search filters it in memory, so every keystroke answers at once however long the list.
#include <QAbstractTableModel>
#include <QDialog>
#include <QList>
#include <QStringList>

#include "store/ReferenceLists.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class TDane;

// Rows of three texts; the search looks for a text in each row's search key without regard
// to case.
class TReferenceModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        QStringList cells;
        QString key; // upper-cased text the search looks in
    };
    TReferenceModel(const QStringList& titles, QObject* parent = nullptr);
    void SetRows(QList<Row> rows);
    // Shows the rows whose key contains the text (all of them when the text is blank).
    void Filter(const QString& text);
    // Row of the model (shown) -> row of the whole list, and the first shown row whose
    // column holds the value (-1 when none).
    int SourceRow(int shownRow) const { return shown_.value(shownRow, -1); }
    int Find(int column, const QString& value) const;
    const Row& At(int shownRow) const { return rows_[shown_[shownRow]]; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList titles_;
    QList<Row> rows_;
    QList<int> shown_;
};

// The common window: grid, search label and edit, "Pobierz".
class TReferencePicker : public QDialog {
    Q_OBJECT
public:
    TReferencePicker(const QString& name, const QString& caption, const QString& searchLabel,
                     const QStringList& titles, const QList<int>& widths, QWidget* parent = nullptr);
    void SetRows(QList<TReferenceModel::Row> rows);
    // Makes the first row whose column holds the value current; the first row when none does.
    void Locate(int column, const QString& value);
    // The chosen row's cells after the window closed with a choice; empty otherwise.
    QStringList Chosen() const { return chosen_; }
    // The current row's cells, empty when there is none.
    QStringList Current() const;

    TReferenceModel* Model() const { return model_; }
    QTableView* Grid() const { return grid_; }
    QLineEdit* Search() const { return search_; }
    QPushButton* Pobierz() const { return pobierz_; }

public slots:
    void Confirm();
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void SearchChanged(const QString& text);
    void SetCurrent(int row);

    TReferenceModel* model_;
    QTableView* grid_;
    QLineEdit* search_;
    QPushButton* pobierz_;
    QStringList chosen_;
};

// "Rejestr urzędów skarbowych": KODURZEDU, NAZWA, MIEJSCOWOSC; searched by town.
class TForm_US : public TReferencePicker {
    Q_OBJECT
public:
    explicit TForm_US(QWidget* parent = nullptr);
    void SetOffices(QList<TaxOffice> offices); // shown in order of the code
};

// "Rejestr Organizacji pożytku publicznego": KRS number, name, town; searched in all three.
class TForm_OPP : public TReferencePicker {
    Q_OBJECT
public:
    explicit TForm_OPP(QWidget* parent = nullptr);
    void SetOrganisations(QList<Organisation> organisations); // in order of the number
};

// The tax office register positioned on `code` when it has four characters. True when the
// person picked an office: `code` (four characters) and `name` then hold it; otherwise both
// stay as they were. A register that cannot be read shows nothing.
bool PickTaxOffice(QWidget* parent, QString& code, QString& name);
// The organisation register positioned on `krs` when it has ten characters; true with the
// picked KRS number in `krs`, which otherwise stays as it was.
bool PickOrganisation(QWidget* parent, QString& krs);

// The same on a given data module (the ones above use the program's).
bool PickTaxOffice(TDane& dane, QWidget* parent, QString& code, QString& name);
bool PickOrganisation(TDane& dane, QWidget* parent, QString& krs);
