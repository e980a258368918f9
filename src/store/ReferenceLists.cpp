#include "store/ReferenceLists.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>
#include <algorithm>

#include "app/util/Encoding.h"
#include "store/Firebird.h"

namespace {

// Column title reduced to plain lower-case words: "Numer KRS" -> "numer krs",
// "Miejscowość" -> "miejscowosc".
QString normaliseTitle(const QString& title) {
    QString d = title.normalized(QString::NormalizationForm_D).toLower();
    QString out;
    for (QChar c : d) {
        if (c.category() == QChar::Mark_NonSpacing) continue;
        if (c == u'ł') c = u'l';
        out.append(c.isLetterOrNumber() ? c : QChar(u' '));
    }
    return out.simplified();
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw ListFileError(QStringLiteral("Nie można odczytać pliku %1: %2").arg(path, f.errorString()));
    return f.readAll();
}

// Column positions found in a header line; -1 when absent.
struct Columns {
    int key = -1, name = -1, town = -1;
    bool complete() const { return key >= 0 && name >= 0 && town >= 0; }
    int found() const { return (key >= 0) + (name >= 0) + (town >= 0); }
};

using TitleTest = bool (*)(const QString& normalised);

struct Table {
    Columns columns;
    QList<QStringList> records;
    int headerRecord = -1;
};

// Looks for the header among the first records, trying each separator; the file's own
// title lines above the header are skipped.
Table findTable(const QString& text, TitleTest isKey, TitleTest isName, TitleTest isTown) {
    Table best;
    for (QChar sep : {QChar(u';'), QChar(u','), QChar(u'\t')}) {
        QList<QStringList> records = ParseCsv(text, sep);
        const int limit = int(qMin<qsizetype>(records.size(), 30));
        for (int r = 0; r < limit; ++r) {
            Columns c;
            for (int i = 0; i < records[r].size(); ++i) {
                const QString t = normaliseTitle(records[r][i]);
                if (c.key < 0 && isKey(t))
                    c.key = i;
                else if (c.name < 0 && isName(t))
                    c.name = i;
                else if (c.town < 0 && isTown(t))
                    c.town = i;
            }
            if (c.complete()) return Table{c, records, r};
            if (c.found() > best.columns.found()) best.columns = c;
        }
    }
    return best;
}

bool hasWord(const QString& normalised, const QString& word) {
    return normalised.split(u' ', Qt::SkipEmptyParts).contains(word);
}

bool isKrsTitle(const QString& t) {
    return hasWord(t, QStringLiteral("krs"));
}
bool isNameTitle(const QString& t) {
    return t.startsWith(QStringLiteral("nazwa"));
}
bool isTownTitle(const QString& t) {
    return t.startsWith(QStringLiteral("miejscowosc")) || t == u"miasto" || t == u"miejsce";
}
bool isCodeTitle(const QString& t) {
    return t == u"kod" || t.startsWith(QStringLiteral("kod urzedu"));
}

QString cell(const QStringList& record, int i) {
    return i < record.size() ? record[i].trimmed() : QString();
}

bool allBlank(const QStringList& record) {
    return std::all_of(record.begin(), record.end(), [](const QString& s) { return s.trimmed().isEmpty(); });
}

QString digitsOnly(QString s) {
    s.remove(u' ');
    s.remove(QChar(0x00A0));
    return s;
}

bool isDigits(const QString& s) {
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

QString DecodeListFile(const QByteArray& bytes) {
    QByteArray data = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (!utf8.hasError()) return text;
    return FromWin1250(data);
}

QList<QStringList> ParseCsv(const QString& text, QChar separator) {
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool fieldStarted = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field.append(u'"');
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field.append(c);
            }
            continue;
        }
        if (c == u'"' && field.trimmed().isEmpty()) {
            field.clear();
            quoted = true;
            fieldStarted = true;
        } else if (c == separator) {
            record.append(field);
            field.clear();
            fieldStarted = true;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
            if (fieldStarted || !field.isEmpty() || !record.isEmpty()) record.append(field);
            records.append(record);
            record.clear();
            field.clear();
            fieldStarted = false;
        } else {
            field.append(c);
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.isEmpty() || !record.isEmpty()) {
        record.append(field);
        records.append(record);
    }
    return records;
}

QList<Organisation> ReadOrganisationList(const QString& path, int* duplicates) {
    const QString text = DecodeListFile(readFile(path));
    const QString fileName = QFileInfo(path).fileName();
    Table table = findTable(text, isKrsTitle, isNameTitle, isTownTitle);
    if (!table.columns.complete()) {
        QStringList missing;
        if (table.columns.key < 0) missing << QStringLiteral("numer KRS");
        if (table.columns.name < 0) missing << QStringLiteral("nazwa");
        if (table.columns.town < 0) missing << QStringLiteral("miejscowość");
        throw ListFileError(QStringLiteral("Plik %1 nie jest wykazem organizacji pożytku publicznego: "
                                           "brak kolumn: %2.")
                                .arg(fileName, missing.join(QStringLiteral(", "))));
    }
    const Columns c = table.columns;
    QList<Organisation> list;
    QHash<QString, int> seen;
    int dup = 0;
    for (int r = table.headerRecord + 1; r < table.records.size(); ++r) {
        const QStringList& rec = table.records[r];
        if (allBlank(rec)) continue;
        QString krs = digitsOnly(cell(rec, c.key));
        if (krs.isEmpty()) continue; // notes and blank lines under the list
        if (!isDigits(krs) || krs.size() > 10)
            throw ListFileError(QStringLiteral("Plik %1, wiersz %2: niepoprawny numer KRS: %3")
                                    .arg(fileName)
                                    .arg(r + 1)
                                    .arg(cell(rec, c.key)));
        krs = krs.rightJustified(10, u'0');
        if (seen.contains(krs)) {
            ++dup;
            continue;
        }
        seen.insert(krs, 1);
        list.append(Organisation{0, krs, cell(rec, c.name).left(256), cell(rec, c.town).left(80)});
    }
    std::sort(list.begin(), list.end(),
              [](const Organisation& a, const Organisation& b) { return a.krs < b.krs; });
    for (int i = 0; i < list.size(); ++i)
        list[i].idx = -(i + 1);
    if (duplicates) *duplicates = dup;
    return list;
}

QList<TaxOffice> ReadTaxOfficeList(const QString& path) {
    const QString text = DecodeListFile(readFile(path));
    const QString fileName = QFileInfo(path).fileName();
    Table table = findTable(text, isCodeTitle, isNameTitle, isTownTitle);
    if (!table.columns.complete())
        throw ListFileError(
            QStringLiteral(
                "Plik %1 nie jest wykazem urzędów skarbowych: brak kolumn kod, nazwa, miejscowosc.")
                .arg(fileName));
    const Columns c = table.columns;
    QList<TaxOffice> list;
    for (int r = table.headerRecord + 1; r < table.records.size(); ++r) {
        const QStringList& rec = table.records[r];
        if (allBlank(rec)) continue;
        const QString code = cell(rec, c.key);
        if (code.size() != 4 || !isDigits(code))
            throw ListFileError(QStringLiteral("Plik %1, wiersz %2: niepoprawny kod urzędu: %3")
                                    .arg(fileName)
                                    .arg(r + 1)
                                    .arg(code));
        list.append(TaxOffice{0, code, cell(rec, c.name).left(256), cell(rec, c.town).left(35)});
    }
    std::sort(list.begin(), list.end(),
              [](const TaxOffice& a, const TaxOffice& b) { return a.code < b.code; });
    // Keys fall from -2 as the code rises, as in the databases of earlier years.
    for (int i = 0; i < list.size(); ++i)
        list[i].idx = -(i + 2);
    return list;
}

int InsertTaxOffices(fb::Attachment& att, fb::Transaction& tx, const QString& path) {
    const QList<TaxOffice> list = ReadTaxOfficeList(path);
    fb::Statement st = att.prepare(
        tx, QStringLiteral(
                "insert into URZEDY_SKARBOWE (IDX, KODURZEDU, NAZWA, MIEJSCOWOSC) values (?, ?, ?, ?)"));
    for (const TaxOffice& o : list)
        st.execute(tx, {o.idx, o.code, o.name, o.town});
    return int(list.size());
}

int InsertOrganisations(fb::Attachment& att, fb::Transaction& tx, const QString& path) {
    const QList<Organisation> list = ReadOrganisationList(path);
    fb::Statement st = att.prepare(
        tx, QStringLiteral("insert into LISTA_OPP (IDX, KODREGON, NAZWA, MIEJSCOWOSC) values (?, ?, ?, ?)"));
    for (const Organisation& o : list)
        st.execute(tx, {o.idx, o.krs, o.name, o.town});
    return int(list.size());
}

OppLoadResult LoadOppList(fb::Attachment& att, const QString& path) {
    OppLoadResult result;
    // The file is read whole before the table is touched, so a bad file changes nothing.
    const QList<Organisation> list = ReadOrganisationList(path, &result.duplicates);
    fb::Transaction tx = att.startTransaction();
    att.execute(tx, QStringLiteral("delete from LISTA_OPP"));
    fb::Statement st = att.prepare(
        tx, QStringLiteral("insert into LISTA_OPP (IDX, KODREGON, NAZWA, MIEJSCOWOSC) values (?, ?, ?, ?)"));
    for (const Organisation& o : list)
        st.execute(tx, {o.idx, o.krs, o.name, o.town});
    tx.commit();
    result.loaded = int(list.size());
    return result;
}

QString ContainsPattern(const QString& text) {
    QString t = text;
    t.replace(u'\\', QStringLiteral("\\\\"));
    t.replace(u'%', QStringLiteral("\\%"));
    t.replace(u'_', QStringLiteral("\\_"));
    return u'%' + t + u'%';
}

QList<TaxOffice> SearchTaxOffices(fb::Attachment& att, fb::Transaction& tx, const QString& text) {
    QList<QVariantList> rows =
        text.trimmed().isEmpty()
            ? att.rows(tx, QStringLiteral("select IDX, KODURZEDU, NAZWA, MIEJSCOWOSC from URZEDY_SKARBOWE"))
            : att.rows(tx,
                       QStringLiteral("select IDX, KODURZEDU, NAZWA, MIEJSCOWOSC from URZEDY_SKARBOWE "
                                      "where upper(MIEJSCOWOSC) like ? escape '\\'"),
                       {UpperCase1250(ContainsPattern(text))});
    QList<TaxOffice> out;
    for (const QVariantList& r : rows)
        out.append(TaxOffice{r[0].toInt(), r[1].toString().trimmed(), r[2].toString(), r[3].toString()});
    return out;
}

QList<Organisation> SearchOrganisations(fb::Attachment& att, fb::Transaction& tx, const QString& text) {
    QList<QVariantList> rows =
        text.trimmed().isEmpty()
            ? att.rows(tx, QStringLiteral("select IDX, KODREGON, NAZWA, MIEJSCOWOSC from LISTA_OPP"))
            : att.rows(tx,
                       QStringLiteral("select IDX, KODREGON, NAZWA, MIEJSCOWOSC from LISTA_OPP "
                                      "where upper(KODREGON || MIEJSCOWOSC || NAZWA) like ? escape '\\'"),
                       {UpperCase1250(ContainsPattern(text))});
    QList<Organisation> out;
    for (const QVariantList& r : rows)
        out.append(Organisation{r[0].toInt(), r[1].toString(), r[2].toString(), r[3].toString()});
    return out;
}
