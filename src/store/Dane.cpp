#include "store/Dane.h"

#include <QRegularExpression>
#include <QSet>

#include "app/util/Encoding.h"
#include "app/util/Interaction.h"
#include "forms/FormDocument.h"
#include "forms/FormTypes.h"
#include "store/GlobalKonfig.h"
#include "store/ProgramPassword.h"

namespace {

const QString kInsertForm = QStringLiteral("insert into FORMS (FOR_ID, FOR_NIP, FOR_NAZWISKO, FOR_IMIE, "
                                           "FOR_TYP, FOR_ZALACZNIKI, FOR_DANE, FOR_UWAGI, "
                                           "FOR_NOTATKI, FOR_DATA_WYPELNIENIA, FOR_FIRMA, FOR_MASTER_ID, "
                                           "FOR_KOREKTA, FOR_SERIES, CREATE_AT, MODIFIED_AT) "
                                           "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
const QString kUpdateForm = QStringLiteral("update FORMS set FOR_NIP = ?, FOR_NAZWISKO = ?, FOR_IMIE = ?, "
                                           "FOR_TYP = ?, FOR_ZALACZNIKI = ?, FOR_DANE = ?, "
                                           "FOR_UWAGI = ?, FOR_NOTATKI = ?, FOR_DATA_WYPELNIENIA = ?, "
                                           "FOR_FIRMA = ?, FOR_MASTER_ID = ?, FOR_KOREKTA = ?, "
                                           "FOR_SERIES = ?, CREATE_AT = ?, MODIFIED_AT = ? where FOR_ID = ?");

const QStringList& formsColumns() {
    static const QStringList columns = {
        QStringLiteral("FOR_ID"),       QStringLiteral("FOR_NIP"),
        QStringLiteral("FOR_NAZWISKO"), QStringLiteral("FOR_IMIE"),
        QStringLiteral("FOR_TYP"),      QStringLiteral("FOR_STATUSID"),
        QStringLiteral("FOR_STATUS"),   QStringLiteral("FOR_ZALACZNIKI"),
        QStringLiteral("FOR_DANE"),     QStringLiteral("FOR_UWAGI"),
        QStringLiteral("FOR_NOTATKI"),  QStringLiteral("FOR_DATA_WYPELNIENIA"),
        QStringLiteral("FOR_FIRMA"),    QStringLiteral("FOR_MASTER_ID"),
        QStringLiteral("FOR_KOREKTA"),  QStringLiteral("FOR_SERIES"),
        QStringLiteral("CREATE_AT"),    QStringLiteral("MODIFIED_AT"),
    };
    return columns;
}

// Texts are stored as the lists define their fields: cut to the field length, and an empty
// text stored as NULL.
QVariant textValue(const QString& s, int length = -1) {
    if (s.isEmpty()) return QVariant();
    return length > 0 ? s.left(length) : s;
}
QVariant intValue(const std::optional<int>& v) {
    return v ? QVariant(*v) : QVariant();
}
QVariant dateValue(const QDate& d) {
    return d.isValid() ? QVariant(d) : QVariant();
}
QVariant timeValue(const QDateTime& t) {
    return t.isValid() ? QVariant(t) : QVariant();
}
std::optional<int> optionalInt(const QVariant& v) {
    if (v.isNull()) return std::nullopt;
    return v.toInt();
}

void calculate(FormRow& r, FormsList kind) {
    const QString nazImie = r.FOR_NAZWISKO + u' ' + r.FOR_IMIE;
    const QString typ = FormDisplayName(r.FOR_TYP);
    switch (kind) {
    case FormsList::Forms:
        r.C_FOR_NAZIMIE = nazImie.left(101);
        r.C_FOR_TYP =
            (typ + u' ' + (r.FOR_KOREKTA.value_or(0) == 1 ? QStringLiteral("KOR") : QString())).left(20);
        break;
    case FormsList::SelectForm:
        r.C_FOR_NAZIMIE = nazImie.left(100);
        r.C_FOR_TYP = typ.left(20);
        break;
    case FormsList::Zalaczniki:
        r.C_FOR_NAZIMIE = nazImie.left(100);
        r.C_FOR_TYP = FormTypeCaption(typ.left(20));
        break;
    case FormsList::OldForms:
        r.C_FOR_NAZIMIE = nazImie.left(30);
        r.C_FOR_TYP = typ.left(20);
        break;
    }
}

QString text(const fb::Cursor& c, int i) {
    return i >= 0 ? c.value(i).toString() : QString();
}

} // namespace

// ---------------------------------------------------------------------------------------------

void FormsDataSet::moveTo(int index) {
    const int target = rows_.isEmpty() ? -1 : qBound(0, index, int(rows_.size()) - 1);
    if (target == current_) return;
    current_ = target;
    if (scrolled_) scrolled_();
}

bool FormsDataSet::locate(int forId) {
    for (int i = 0; i < rows_.size(); ++i)
        if (rows_[i].FOR_ID == forId) {
            moveTo(i);
            return true;
        }
    return false;
}

void FormsDataSet::assign(QList<FormRow> rows) {
    rows_ = std::move(rows);
    open_ = true;
    current_ = rows_.isEmpty() ? -1 : 0;
    if (scrolled_) scrolled_();
}

void FormsDataSet::close() {
    rows_.clear();
    open_ = false;
    current_ = -1;
}

// ---------------------------------------------------------------------------------------------

TDane::TDane(TGlobalKonfig& konfig) : konfig_(konfig) {
    db_Forms_.scrolled_ = [this] {
        try {
            openZalaczniki();
        } catch (const std::exception&) {
            db_Zalaczniki_.close();
        }
    };
    formsQuery_.sql = QStringLiteral("select * from FORMS where FOR_MASTER_ID is null");
}

TDane::~TDane() = default;

void TDane::status(const QString& text) const {
    if (startupStatus) startupStatus(text);
}

void TDane::DataModuleCreate() {
    konfig_.LoadSettings(startupStatus);
    SetSortOrder(konfig_.Sortowanie);
    Connect(true);
    try {
        LoadProgramPassword();
    } catch (const std::exception&) {
        konfig_.HasloProgramu.clear();
    }
}

void TDane::DataModuleDestroy() {
    konfig_.SaveSettings([this] { StoreProgramPassword(); });
    try {
        closeConnection(true);
    } catch (const std::exception&) {
        // The program is ending; what could not be committed is rolled back.
    }
}

// ---------------------------------------------------------------------------------------------
// Connection

void TDane::SetConnectionParams() {
    closeConnection(true);
    params_ = fb::ConnectParams{};
    params_.user = konfig_.Uzytkownik;
    params_.password = konfig_.Haslo;
    databaseName_ = ConnectionString(konfig_.AdresSieciowySerwera, konfig_.BazaDanych);
    params_.database = databaseName_;
}

void TDane::openConnection() {
    att_ = fb::Attachment::open(params_);
}

void TDane::closeConnection(bool commit) {
    db_Forms_.close();
    db_SelectForm_.close();
    db_Zalaczniki_.close();
    db_Operator_.clear();
    operatorsOpen_ = false;
    if (tx_ && tx_->isActive()) {
        if (commit)
            tx_->commit();
        else
            tx_->rollback();
    }
    tx_.reset();
    if (att_.isOpen()) att_.close();
}

fb::Transaction& TDane::Transakcja() {
    if (!att_.isOpen()) throw fb::Error(QStringLiteral("Brak połączenia z bazą danych"));
    if (!tx_ || !tx_->isActive()) tx_ = att_.startTransaction();
    return *tx_;
}

int TDane::DatabaseYear() {
    return att_.scalar(Transakcja(), QStringLiteral("select WER_VER from WERSJA")).toInt();
}

bool TDane::Connect(bool atStartup) {
    SetConnectionParams();
    if (atStartup) status(QStringLiteral("Próba nawiązania połączenia z bazą:\r") + DatabaseName());
    try {
        openConnection();
        const int year = DatabaseYear();
        if (year != 2022)
            ShowBox(BoxError,
                    QStringLiteral("Nawiązano połączenia z bazą danych z roku %1!\n\n"
                                   "Uzywanie tej wersji program z wybraną bazą może skutkować utratą danych! "
                                   "Wskaż właściwą bazę lub skontaktuj się z dystrybutorem programu.")
                        .arg(year));
        if (!atStartup) ShowBox(BoxInfo, QStringLiteral("OK. Połączenie z bazą nawiązane!"));
    } catch (const std::exception&) {
        if (!atStartup) ShowBox(BoxError, QStringLiteral("Połączenie nieudane!"));
        CreateDatabase(konfig_, newDatabaseWizard, startupStatus);
        SetConnectionParams();
        try {
            openConnection();
            if (!atStartup) ShowBox(BoxInfo, QStringLiteral("OK. Połączenie z bazą nawiązane!"));
        } catch (const fb::Error& e) {
            ShowBox(
                BoxWarning,
                QStringLiteral("Błąd otawcia bazy danych ") + DatabaseName() +
                    QStringLiteral("\n\nSprawdź czy na komputerze zainstalowano niezbędny do pracy silnik "
                                   "Firebird/Interbase\ni czy usługa jest aktualnie uruchomiona.\n\n") +
                    e.message(),
                QStringLiteral("Błąd"));
        }
    }
    if (atStartup && Connected()) status(QStringLiteral("Połączenie nawiązane:\r") + DatabaseName());
    if (Connected()) OpenDataSets();
    return Connected();
}

void TDane::OpenDatabase() {
    SetConnectionParams();
    openConnection();
    DatabaseYear(); // a file that is not a database of this program fails here
    OpenDataSets();
}

void TDane::CloseDatabase() {
    closeConnection(true);
}

void TDane::OpenDataSets() {
    const auto attempt = [](const auto& open) {
        try {
            open();
        } catch (const std::exception&) {
            // A list that cannot be opened stays closed; the rest of the program goes on.
        }
    };
    attempt([this] { openForms(); });
    attempt([this] { openSelectForm(); });
    attempt([this] { openZalaczniki(); });
    try {
        openOperators();
    } catch (const std::exception&) {
        // Databases of older versions lack the operator tables: add them. Only when the table
        // is really missing, so that a passing failure never adds a second administrator.
        try {
            const QVariant exists = att_.scalar(
                Transakcja(), QStringLiteral("select 1 from RDB$RELATIONS where RDB$RELATION_NAME = ?"),
                {QStringLiteral("OPERATOR")});
            if (exists.isNull())
                CreateOperatorTables(DatabaseTarget{konfig_.AdresSieciowySerwera, konfig_.BazaDanych,
                                                    konfig_.Uzytkownik, konfig_.Haslo});
        } catch (const std::exception&) {
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Lists

QList<FormRow> TDane::readRows(fb::Attachment& att, fb::Transaction& tx, const QString& sql,
                               const QVariantList& params, FormsList kind) {
    fb::Statement st = att.prepare(tx, sql);
    fb::Cursor c = st.open(tx, params);
    int col[18];
    for (int i = 0; i < 18; ++i)
        col[i] = c.columnIndex(formsColumns()[i]);
    QList<FormRow> rows;
    while (c.fetch()) {
        FormRow r;
        r.FOR_ID = c.value(col[0]).toInt();
        r.FOR_NIP = text(c, col[1]);
        r.FOR_NAZWISKO = text(c, col[2]);
        r.FOR_IMIE = text(c, col[3]);
        r.FOR_TYP = text(c, col[4]);
        r.FOR_STATUSID = text(c, col[5]);
        r.FOR_STATUS = text(c, col[6]);
        r.FOR_ZALACZNIKI = text(c, col[7]);
        r.FOR_DANE = text(c, col[8]);
        r.FOR_UWAGI = text(c, col[9]);
        r.FOR_NOTATKI = text(c, col[10]);
        if (col[11] >= 0) r.FOR_DATA_WYPELNIENIA = c.value(col[11]).toDate();
        r.FOR_FIRMA = text(c, col[12]);
        if (col[13] >= 0) r.FOR_MASTER_ID = optionalInt(c.value(col[13]));
        if (col[14] >= 0) r.FOR_KOREKTA = optionalInt(c.value(col[14]));
        r.FOR_SERIES = text(c, col[15]);
        if (col[16] >= 0) r.CREATE_AT = c.value(col[16]).toDateTime();
        if (col[17] >= 0) r.MODIFIED_AT = c.value(col[17]).toDateTime();
        calculate(r, kind);
        rows.append(std::move(r));
    }
    return rows;
}

void TDane::openForms() {
    db_Forms_.close();
    db_Forms_.assign(readRows(att_, Transakcja(), formsQuery_.sql, formsQuery_.params, FormsList::Forms));
}

void TDane::openSelectForm() {
    db_SelectForm_.close();
    db_SelectForm_.assign(
        readRows(att_, Transakcja(),
                 QStringLiteral("select * from FORMS where FOR_TYP = ? order by FOR_NAZWISKO, FOR_IMIE"),
                 {selectFormType_}, FormsList::SelectForm));
}

void TDane::openZalaczniki() {
    db_Zalaczniki_.close();
    if (!att_.isOpen() || !db_Forms_.isOpen()) return;
    const FormRow* master = db_Forms_.current();
    db_Zalaczniki_.assign(readRows(
        att_, Transakcja(), QStringLiteral("select * from FORMS where FOR_MASTER_ID = ? order by FOR_TYP"),
        {master ? QVariant(master->FOR_ID) : QVariant()}, FormsList::Zalaczniki));
}

void TDane::openOperators() {
    db_Operator_.clear();
    operatorsOpen_ = false;
    fb::Transaction& tx = Transakcja();
    fb::Statement st = att_.prepare(tx, QStringLiteral("select * from OPERATOR"));
    fb::Cursor c = st.open(tx);
    while (c.fetch()) {
        OperatorRow r;
        r.OP_ID = c.value(QStringLiteral("OP_ID")).toInt();
        r.OP_NAZWISKO = c.value(QStringLiteral("OP_NAZWISKO")).toString();
        r.OP_IMIE = c.value(QStringLiteral("OP_IMIE")).toString();
        r.OP_PASS = c.value(QStringLiteral("OP_PASS")).toString();
        r.OP_CZAS = c.value(QStringLiteral("OP_CZAS")).toDateTime();
        r.OP_USUNIETY = c.value(QStringLiteral("OP_USUNIETY")).toString();
        r.OP_ZALOGOWANY = c.value(QStringLiteral("OP_ZALOGOWANY")).toString();
        r.OP_UPRAWNIENIA = optionalInt(c.value(QStringLiteral("OP_UPRAWNIENIA")));
        db_Operator_.append(r);
    }
    operatorsOpen_ = true;
}

QString TDane::OrderClause(const QString& order) {
    const QString o = order.trimmed().toUpper();
    if (o.isEmpty()) return QString();
    static const QRegularExpression item(QStringLiteral("^([A-Z_]+)(\\s+(ASC|DESC))?$"));
    const QStringList parts = o.split(u',');
    QStringList items;
    for (const QString& p : parts) {
        auto m = item.match(p.trimmed());
        if (!m.hasMatch() || !formsColumns().contains(m.captured(1))) return QString();
        items.append(p.trimmed().simplified());
    }
    return QStringLiteral("ORDER BY ") + items.join(QStringLiteral(", "));
}

void TDane::QueryDocuments(const QString& formType, const QString& company, const QString& order,
                           const QString& filter) {
    // The lists used to compare upper-cased texts; values go as parameters, upper-cased the same way.
    QStringList conditions{QStringLiteral("FOR_MASTER_ID is null")};
    QVariantList params;
    if (!formType.isEmpty() && formType.toUpper() != u"TFRMPIT_ALL") {
        conditions << QStringLiteral("FOR_TYP = ?");
        params << UpperCase1250(formType);
    }
    if (!company.isEmpty()) {
        conditions << QStringLiteral("upper(FOR_FIRMA) = ?");
        params << UpperCase1250(company);
    }
    if (!filter.trimmed().isEmpty()) {
        // Every part may be NULL; a missing identifier must not hide the surname.
        conditions << QStringLiteral("upper(coalesce(FOR_NIP, '') || coalesce(FOR_NAZWISKO, '') || "
                                     "coalesce(FOR_IMIE, '')) like ? escape '\\'");
        params << UpperCase1250(ContainsPattern(filter));
    }
    formsQuery_.sql = (QStringLiteral("select * from FORMS where ") +
                       conditions.join(QStringLiteral(" AND ")) + u' ' + OrderClause(order))
                          .trimmed();
    formsQuery_.params = params;
    db_Forms_.close();
    openForms();
}

void TDane::OpenDocumentsOfType(const QString& formType) {
    selectFormType_ = formType;
    openSelectForm();
}

void TDane::OpenLastYearDocuments(const QString& formType) {
    db_old_Forms_.close();
    if (oldTx_ && oldTx_->isActive()) {
        try {
            oldTx_->rollback();
        } catch (const std::exception&) {
        }
    }
    oldTx_.reset();
    try {
        if (oldAtt_.isOpen()) oldAtt_.close();
    } catch (const std::exception&) {
    }
    fb::ConnectParams p;
    p.user = konfig_.OLD_Uzytkownik;
    p.password = konfig_.OLD_Haslo;
    p.database = ConnectionString(konfig_.OLD_AdresSieciowySerwera, konfig_.OLD_BazaDanych);
    try {
        oldAtt_ = fb::Attachment::open(p);
    } catch (const fb::Error&) {
        ShowBox(BoxWarning, QStringLiteral("Błąd otwarcia ubiegłorocznej bazy dokumentów\n") + p.database);
    }
    if (!oldAtt_.isOpen()) throw fb::Error(QStringLiteral("Brak połączenia z bazą danych ") + p.database);
    oldTx_ = oldAtt_.startTransaction(true);
    db_old_Forms_.assign(
        readRows(oldAtt_, *oldTx_,
                 QStringLiteral("select * from FORMS where FOR_TYP = ? order by FOR_NAZWISKO, FOR_IMIE"),
                 {formType}, FormsList::OldForms));
}

std::optional<FormRow> TDane::DocumentById(int forId) {
    QList<FormRow> rows = readRows(att_, Transakcja(), QStringLiteral("select * from FORMS where FOR_ID = ?"),
                                   {forId}, FormsList::Forms);
    if (rows.isEmpty()) return std::nullopt;
    return rows.first();
}

// ---------------------------------------------------------------------------------------------
// Documents

void TDane::LoadDocument(FormDocument& form, bool fromAttachments, const QString& text, bool skipSeries) {
    const FormsDataSet& ds = fromAttachments ? db_Zalaczniki_ : db_Forms_;
    const FormRow empty;
    const FormRow& row = ds.current() ? *ds.current() : empty;
    const QString series = row.FOR_SERIES.trimmed();
    const QString fieldText = text.trimmed().isEmpty() ? row.FOR_DANE : text;
    if (!skipSeries) form.ExpandSeries(series);
    form.ApplyDocumentText(fieldText);
    Notatki = row.FOR_NOTATKI;
}

bool TDane::SaveDocument(bool isNew, FormDocument& form, bool toAttachments) {
    FormsDataSet& ds = toAttachments ? db_Zalaczniki_ : db_Forms_;
    const QString fieldText = form.BuildDocumentText();
    const KeyValues keys = form.keyValues();
    FormRow row;
    if (!isNew) {
        if (!ds.current()) throw std::runtime_error("Brak dokumentu do zapisania");
        row = *ds.current();
    }
    const QString oldText = row.FOR_DANE;
    if (toAttachments) {
        // An attachment without its declaration would be lost to every list.
        const FormRow* master = db_Forms_.current();
        if (!master) throw std::runtime_error("Brak dokumentu głównego dla załącznika");
        row.FOR_MASTER_ID = master->FOR_ID;
    }
    row.FOR_DANE = fieldText;
    row.FOR_NIP = keys.nip;
    row.FOR_NAZWISKO = keys.nazwisko;
    row.FOR_IMIE = keys.imie;
    row.FOR_TYP = form.typeCode().toUpper();
    row.FOR_DATA_WYPELNIENIA = QDate::currentDate();
    row.FOR_FIRMA = company_;
    row.FOR_NOTATKI = Notatki;
    row.FOR_KOREKTA = keys.korekta;
    row.FOR_SERIES = keys.series;
    post(ds, row, isNew);
    return fieldText != oldText;
}

void TDane::post(FormsDataSet& ds, FormRow row, bool isNew) {
    fb::Transaction& tx = Transakcja();
    if (isNew) row.FOR_ID = int(att_.nextValue(tx, QStringLiteral("GEN_FORMS_ID")));
    QVariantList values{
        textValue(row.FOR_NIP, 13),     textValue(row.FOR_NAZWISKO, 50), textValue(row.FOR_IMIE, 50),
        textValue(row.FOR_TYP, 13),     textValue(row.FOR_ZALACZNIKI),   textValue(row.FOR_DANE),
        textValue(row.FOR_UWAGI, 250),  textValue(row.FOR_NOTATKI),      dateValue(row.FOR_DATA_WYPELNIENIA),
        textValue(row.FOR_FIRMA, 50),   intValue(row.FOR_MASTER_ID),     intValue(row.FOR_KOREKTA),
        textValue(row.FOR_SERIES, 256), timeValue(row.CREATE_AT),        timeValue(row.MODIFIED_AT)};
    int index = ds.currentIndex();
    if (isNew) {
        values.prepend(row.FOR_ID);
        att_.execute(tx, kInsertForm, values);
        ds.rows_.append(row);
        ds.open_ = true;
        index = int(ds.rows_.size()) - 1;
    } else {
        values.append(row.FOR_ID);
        att_.execute(tx, kUpdateForm, values);
    }
    refreshRow(ds, index);
    ds.moveTo(index); // a new row becomes the current one
}

void TDane::refreshRow(FormsDataSet& ds, int index) {
    const int id = ds.rows_[index].FOR_ID;
    QList<FormRow> rows =
        readRows(att_, Transakcja(), QStringLiteral("select * from FORMS where FOR_ID = ?"), {id}, ds.kind());
    if (!rows.isEmpty()) ds.rows_[index] = rows.first();
}

void TDane::DuplicateRecord(FormsDataSet& ds) {
    if (!ds.current()) throw std::runtime_error("Brak dokumentu do skopiowania");
    post(ds, *ds.current(), true);
}

void TDane::DeleteRecord(FormsDataSet& ds) {
    const FormRow* row = ds.current();
    if (!row) throw std::runtime_error("Brak dokumentu do usunięcia");
    att_.execute(Transakcja(), QStringLiteral("delete from FORMS where FOR_ID = ?"), {row->FOR_ID});
    const int index = ds.current_;
    ds.rows_.removeAt(index);
    ds.current_ = -1;
    ds.moveTo(qMin(index, int(ds.rows_.size()) - 1));
    if (&ds == &db_Forms_ && ds.current_ < 0 && ds.scrolled_) ds.scrolled_();
}

void TDane::CommitAndRefresh(bool commit) {
    auto remembered = [](const FormsDataSet& ds) -> std::optional<int> {
        if (!ds.isOpen() || !ds.current()) return std::nullopt;
        return ds.current()->FOR_ID;
    };
    const std::optional<int> forms = remembered(db_Forms_);
    const std::optional<int> select = remembered(db_SelectForm_);
    const std::optional<int> attachments = remembered(db_Zalaczniki_);
    const bool selectWasOpen = db_SelectForm_.isOpen();

    if (tx_ && tx_->isActive()) {
        if (commit)
            tx_->commit(); // a failed commit is reported; the work stays pending
        else
            tx_->rollback();
    }
    db_Forms_.close();
    db_SelectForm_.close();
    db_Zalaczniki_.close();
    db_Operator_.clear();
    operatorsOpen_ = false;
    if (!att_.isOpen()) return;

    try {
        openForms();
        if (forms) db_Forms_.locate(*forms);
    } catch (const std::exception&) {
    }
    try {
        if (selectWasOpen || !selectFormType_.isNull()) {
            openSelectForm();
            if (select) db_SelectForm_.locate(*select);
        }
    } catch (const std::exception&) {
    }
    try {
        if (!db_Zalaczniki_.isOpen()) openZalaczniki();
        if (attachments) db_Zalaczniki_.locate(*attachments);
    } catch (const std::exception&) {
    }
    try {
        openOperators();
    } catch (const std::exception&) {
    }
}

// ---------------------------------------------------------------------------------------------
// Program password and reference lists

void TDane::LoadProgramPassword() {
    konfig_.HasloProgramu.clear();
    if (!operatorsOpen_ || db_Operator_.isEmpty()) return;
    konfig_.HasloProgramu = DecodePassword(db_Operator_.first().OP_PASS);
}

void TDane::StoreProgramPassword() {
    if (!operatorsOpen_) throw std::runtime_error("Brak listy operatorów");
    const QString encoded = EncodePassword(konfig_.HasloProgramu);
    fb::Transaction& tx = Transakcja();
    if (db_Operator_.isEmpty()) {
        OperatorRow r;
        r.OP_ID = int(att_.nextValue(tx, QStringLiteral("GEN_OP_ID")));
        r.OP_PASS = encoded;
        att_.execute(tx, QStringLiteral("insert into OPERATOR (OP_ID, OP_PASS) values (?, ?)"),
                     {r.OP_ID, textValue(encoded)});
        db_Operator_.append(r);
    } else {
        OperatorRow& r = db_Operator_.first();
        att_.execute(tx, QStringLiteral("update OPERATOR set OP_PASS = ? where OP_ID = ?"),
                     {textValue(encoded), r.OP_ID});
        r.OP_PASS = encoded;
    }
}

QList<TaxOffice> TDane::SearchTaxOffices(const QString& text) {
    return ::SearchTaxOffices(att_, Transakcja(), text);
}

QList<Organisation> TDane::SearchOrganisations(const QString& text) {
    return ::SearchOrganisations(att_, Transakcja(), text);
}
