#pragma once
// The data module: the connection to the current database and to last year's, one
// transaction for all work on the current database, and the document lists through which
// every other part reads and writes documents. Nothing is committed until CommitAndRefresh.
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantList>
#include <functional>
#include <optional>

#include "store/DatabaseCreation.h"
#include "store/Firebird.h"
#include "store/ReferenceLists.h"

struct TGlobalKonfig;
class FormDocument;

// One row of FORMS. Null texts are null QStrings; C_ columns are calculated by the list
// that holds the row.
struct FormRow {
    int FOR_ID = 0;
    QString FOR_NIP;
    QString FOR_NAZWISKO;
    QString FOR_IMIE;
    QString FOR_TYP;
    QString FOR_STATUSID;
    QString FOR_STATUS;
    QString FOR_ZALACZNIKI;
    QString FOR_DANE;
    QString FOR_UWAGI;
    QString FOR_NOTATKI;
    QDate FOR_DATA_WYPELNIENIA;
    QString FOR_FIRMA;
    std::optional<int> FOR_MASTER_ID;
    std::optional<int> FOR_KOREKTA;
    QString FOR_SERIES;
    QDateTime CREATE_AT;
    QDateTime MODIFIED_AT;

    QString C_FOR_NAZIMIE; // "Oznaczenie Podatnika": surname, blank, first name
    QString C_FOR_TYP;     // "Typ formularza": PIT-37, with " KOR" on the document list
};

struct OperatorRow {
    int OP_ID = 0;
    QString OP_NAZWISKO;
    QString OP_IMIE;
    QString OP_PASS;
    QDateTime OP_CZAS;
    QString OP_USUNIETY;
    QString OP_ZALOGOWANY;
    std::optional<int> OP_UPRAWNIENIA;
};

// The four lists of documents the module keeps.
enum class FormsList {
    Forms,      // db_Forms: the document list (main documents)
    SelectForm, // db_SelectForm: documents of one type, for the stored-document picker
    Zalaczniki, // db_Zalaczniki: attachments of the current document of db_Forms
    OldForms,   // db_old_Forms: last year's documents of one type (read only)
};

// A list of FORMS rows with a current row, read whole when opened.
class FormsDataSet {
public:
    explicit FormsDataSet(FormsList kind) : kind_(kind) {}
    FormsList kind() const { return kind_; }
    bool isOpen() const { return open_; }
    bool isEmpty() const { return rows_.isEmpty(); }
    int recordCount() const { return int(rows_.size()); }
    const QList<FormRow>& rows() const { return rows_; }
    int currentIndex() const { return current_; }
    const FormRow* current() const {
        return current_ >= 0 && current_ < rows_.size() ? &rows_[current_] : nullptr;
    }
    // Moves the current row; `locate` finds it by FOR_ID and returns false (not moving) when absent.
    void moveTo(int index);
    bool locate(int forId);

private:
    friend class TDane;
    void assign(QList<FormRow> rows);
    void close();
    FormsList kind_;
    bool open_ = false;
    QList<FormRow> rows_;
    int current_ = -1;
    std::function<void()> scrolled_; // db_Forms: its attachments follow the current row
};

class TDane {
public:
    explicit TDane(TGlobalKonfig& konfig);
    ~TDane(); // rolls back what is still pending; DataModuleDestroy commits it
    TDane(const TDane&) = delete;
    TDane& operator=(const TDane&) = delete;

    // Set by the user interface: the start-up status line and the new-database wizard.
    std::function<void(const QString&)> startupStatus;
    NewDatabaseWizard newDatabaseWizard;

    TGlobalKonfig& konfig() { return konfig_; }

    // Start: settings, connection (or the wizard), program password.
    void DataModuleCreate();
    // End: settings and program password written, pending work committed, connection closed.
    void DataModuleDestroy();

    // Connection.
    bool Connect(bool atStartup);
    void SetConnectionParams();
    QString DatabaseName() const { return databaseName_; }
    bool Connected() const { return att_.isOpen(); }
    // Opens the configured database and its lists without messages or wizard; throws.
    void OpenDatabase();
    // Commits pending work (as closing the connection always did) and closes it.
    void CloseDatabase();
    void OpenDataSets();
    // WER_VER of the open database.
    int DatabaseYear();
    // The transaction of all work; started on first use.
    fb::Transaction& Transakcja();
    fb::Attachment& BazaDanych() { return att_; }

    // Lists.
    FormsDataSet& Forms() { return db_Forms_; }
    FormsDataSet& SelectForm() { return db_SelectForm_; }
    FormsDataSet& Zalaczniki() { return db_Zalaczniki_; }
    FormsDataSet& OldForms() { return db_old_Forms_; }
    const QList<OperatorRow>& Operators() const { return db_Operator_; }

    // Documents.
    void QueryDocuments(const QString& formType, const QString& company, const QString& order,
                        const QString& filter);
    void OpenDocumentsOfType(const QString& formType);
    void OpenLastYearDocuments(const QString& formType);
    void LoadDocument(FormDocument& form, bool fromAttachments, const QString& text = QString(),
                      bool skipSeries = false);
    // Stores the form into the current row (or a new one); true when the stored field text
    // changed. Throws before writing anything when there is no row to store into.
    bool SaveDocument(bool isNew, FormDocument& form, bool toAttachments);
    void DuplicateRecord(FormsDataSet& dataSet);
    // Deletes the current row; a main document takes its attachments with it.
    void DeleteRecord(FormsDataSet& dataSet);
    void CommitAndRefresh(bool commit);
    // Any stored row (document or attachment), read in the open transaction.
    std::optional<FormRow> DocumentById(int forId);

    void SetCompanyContext(const QString& folder) { company_ = folder; }
    QString CompanyContext() const { return company_; }
    void SetSortOrder(const QString& order) { sortOrder_ = order; }
    QString SortOrder() const { return sortOrder_; }
    // The notes of the document being edited (the notes window's text).
    QString Notatki;

    // Program password in OP_PASS of the first operator row.
    void LoadProgramPassword();
    void StoreProgramPassword();

    // Reference lists for the pickers.
    QList<TaxOffice> SearchTaxOffices(const QString& text);
    QList<Organisation> SearchOrganisations(const QString& text);

    // The ORDER BY clause for an order text, empty when the text is empty or is not a list
    // of FORMS columns each optionally followed by ASC or DESC.
    static QString OrderClause(const QString& order);

private:
    struct Query {
        QString sql;
        QVariantList params;
    };
    void openConnection();
    void closeConnection(bool commit);
    void status(const QString& text) const;
    QList<FormRow> readRows(fb::Attachment& att, fb::Transaction& tx, const QString& sql,
                            const QVariantList& params, FormsList kind);
    void openForms();
    void openSelectForm();
    void openZalaczniki();
    void openOperators();
    void post(FormsDataSet& dataSet, FormRow row, bool isNew);
    void refreshRow(FormsDataSet& dataSet, int index);

    TGlobalKonfig& konfig_;
    fb::ConnectParams params_;
    QString databaseName_;
    fb::Attachment att_;
    std::optional<fb::Transaction> tx_;
    fb::Attachment oldAtt_;
    std::optional<fb::Transaction> oldTx_;

    FormsDataSet db_Forms_{FormsList::Forms};
    FormsDataSet db_SelectForm_{FormsList::SelectForm};
    FormsDataSet db_Zalaczniki_{FormsList::Zalaczniki};
    FormsDataSet db_old_Forms_{FormsList::OldForms};
    QList<OperatorRow> db_Operator_;
    bool operatorsOpen_ = false;

    Query formsQuery_;
    QVariant selectFormType_; // FORMID of db_SelectForm
    QString company_;
    QString sortOrder_;
};
