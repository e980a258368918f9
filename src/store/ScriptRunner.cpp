#include "store/ScriptRunner.h"

#include <QRegularExpression>
#include <optional>

#include "app/util/Folders.h"
#include "store/Firebird.h"

namespace {

// Index just past a quoted text or comment starting at i; i itself when there is none.
qsizetype skipQuotedOrComment(const QString& t, qsizetype i) {
    const qsizetype n = t.size();
    const QChar c = t[i];
    if (c == u'\'' || c == u'"') {
        qsizetype j = i + 1;
        while (j < n) {
            if (t[j] == c) {
                if (j + 1 < n && t[j + 1] == c) {
                    j += 2;
                    continue;
                }
                return j + 1;
            }
            ++j;
        }
        return n;
    }
    if (c == u'-' && i + 1 < n && t[i + 1] == u'-') {
        qsizetype j = t.indexOf(u'\n', i);
        return j < 0 ? n : j + 1;
    }
    if (c == u'/' && i + 1 < n && t[i + 1] == u'*') {
        qsizetype j = t.indexOf(QStringLiteral("*/"), i + 2);
        return j < 0 ? n : j + 2;
    }
    return i;
}

bool isCommentAt(const QString& t, qsizetype i) {
    return i + 1 < t.size() && ((t[i] == u'-' && t[i + 1] == u'-') || (t[i] == u'/' && t[i + 1] == u'*'));
}

QString stripComments(const QString& t) {
    QString out;
    qsizetype i = 0;
    while (i < t.size()) {
        qsizetype j = skipQuotedOrComment(t, i);
        if (j == i) {
            out.append(t[i++]);
        } else {
            if (isCommentAt(t, i))
                out.append(u' ');
            else
                out.append(t.mid(i, j - i));
            i = j;
        }
    }
    return out;
}

// Words, "=" and quoted texts (unquoted, doubled quotes undone) of a command.
QStringList commandTokens(const QString& t, QList<bool>* quoted) {
    QStringList out;
    qsizetype i = 0;
    const qsizetype n = t.size();
    while (i < n) {
        const QChar c = t[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == u'\'' || c == u'"') {
            qsizetype j = skipQuotedOrComment(t, i);
            QString inner = t.mid(i + 1, j - i - 2);
            inner.replace(QString(2, c), QString(c));
            out.append(inner);
            quoted->append(true);
            i = j;
        } else if (c == u'=') {
            out.append(QStringLiteral("="));
            quoted->append(false);
            ++i;
        } else {
            qsizetype j = i;
            while (j < n && !t[j].isSpace() && t[j] != u'=' && t[j] != u'\'' && t[j] != u'"')
                ++j;
            out.append(t.mid(i, j - i));
            quoted->append(false);
            i = j;
        }
    }
    return out;
}

} // namespace

struct ScriptRunner::State {
    QString name;
    int line = 0;
    int dialect = 3;
    bool autoDdl = true;
    fb::Attachment att; // declared before the transaction: it outlives it
    std::optional<fb::Transaction> tx;

    fb::Transaction& transaction() {
        if (!att.isOpen()) throw std::runtime_error("brak połączenia z bazą danych (CONNECT)");
        if (!tx || !tx->isActive()) tx = att.startTransaction();
        return *tx;
    }
    void endTransaction(bool commit) {
        if (!tx || !tx->isActive()) return;
        if (commit)
            tx->commit();
        else
            tx->rollback();
    }
    void closeAttachment() {
        endTransaction(true);
        tx.reset();
        att.close();
    }
};

ScriptRunner::ScriptRunner() = default;
ScriptRunner::~ScriptRunner() = default;

void ScriptRunner::setLoader(const QString& table, Loader loader) {
    loaders_.insert(table.toUpper(), std::move(loader));
}

QList<ScriptRunner::Piece> ScriptRunner::Split(const QString& script) {
    QList<Piece> pieces;
    QString term = QStringLiteral(";");
    qsizetype i = 0;
    int line = 1;
    const qsizetype n = script.size();
    auto countLines = [&](qsizetype from, qsizetype to) {
        for (qsizetype k = from; k < to; ++k)
            if (script[k] == u'\n') ++line;
    };
    while (i < n) {
        // Leading blanks and comments belong to no statement.
        qsizetype start = i;
        for (;;) {
            while (start < n && script[start].isSpace())
                ++start;
            if (start < n && isCommentAt(script, start)) {
                start = skipQuotedOrComment(script, start);
                continue;
            }
            break;
        }
        countLines(i, start);
        if (start >= n) break;
        const int startLine = line;
        qsizetype j = start;
        qsizetype end = n;
        while (j < n) {
            qsizetype k = skipQuotedOrComment(script, j);
            if (k != j) {
                j = k;
                continue;
            }
            if (QStringView(script).mid(j).startsWith(term)) {
                end = j;
                break;
            }
            ++j;
        }
        const QString text = script.mid(start, end - start).trimmed();
        const qsizetype next = qMin(n, end + term.size());
        countLines(start, next);
        i = next;
        const QString plain = stripComments(text).simplified();
        static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)$"),
                                                QRegularExpression::CaseInsensitiveOption);
        if (auto m = setTerm.match(plain); m.hasMatch()) {
            term = m.captured(1);
            continue;
        }
        if (!plain.isEmpty()) pieces.append(Piece{text, startLine});
    }
    return pieces;
}

void ScriptRunner::run(const QString& script, const QString& name) {
    errors_.clear();
    loaded_.clear();
    State s;
    s.name = name.isEmpty() ? QStringLiteral("skrypt") : name;
    for (const Piece& p : Split(script)) {
        s.line = p.line;
        try {
            runPiece(s, p.text);
        } catch (const std::exception& e) {
            const QString message =
                QStringLiteral("%1, wiersz %2: %3").arg(s.name).arg(p.line).arg(QString::fromUtf8(e.what()));
            if (stopOnError_) throw ScriptError(message, p.line);
            errors_.append(message);
            // A failed statement leaves nothing of its own behind; earlier work stays pending.
        }
    }
    try {
        s.closeAttachment();
    } catch (const std::exception& e) {
        const QString message = QStringLiteral("%1: %2").arg(s.name, QString::fromUtf8(e.what()));
        if (stopOnError_) throw ScriptError(message, 0);
        errors_.append(message);
    }
}

void ScriptRunner::runPiece(State& s, const QString& text) {
    const QString plain = stripComments(text).simplified();
    const QString upper = plain.toUpper();
    auto fail = [](const QString& m) -> void { throw std::runtime_error(m.toStdString()); };

    static const QRegularExpression dialect(QStringLiteral("^SET SQL DIALECT (\\d)$"));
    if (auto m = dialect.match(upper); m.hasMatch()) {
        s.dialect = m.captured(1).toInt();
        return;
    }
    if (upper.startsWith(QStringLiteral("SET NAMES "))) {
        QString cs = upper.mid(10).trimmed();
        cs.remove(u'\'');
        if (cs != QLatin1String(fb::kCharset)) fail(QStringLiteral("nieobsługiwany zestaw znaków ") + cs);
        return;
    }
    if (upper == u"SET AUTODDL ON" || upper == u"SET AUTODDL OFF") {
        s.autoDdl = upper.endsWith(QStringLiteral("ON"));
        return;
    }
    if (upper == u"COMMIT" || upper == u"COMMIT WORK") {
        s.endTransaction(true);
        return;
    }
    if (upper == u"ROLLBACK" || upper == u"ROLLBACK WORK") {
        s.endTransaction(false);
        return;
    }

    const bool creating = upper.startsWith(QStringLiteral("CREATE DATABASE ")) ||
                          upper.startsWith(QStringLiteral("CREATE SCHEMA "));
    if (creating || upper.startsWith(QStringLiteral("CONNECT "))) {
        QList<bool> quoted;
        QStringList tokens = commandTokens(plain, &quoted);
        int k = creating ? 2 : 1;
        if (k >= tokens.size() || !quoted[k]) fail(QStringLiteral("brak nazwy bazy danych"));
        fb::ConnectParams params;
        params.database = tokens[k++];
        params.dialect = s.dialect;
        auto next = [&]() -> QString {
            if (k < tokens.size() && tokens[k] == u"=") ++k;
            if (k >= tokens.size()) fail(QStringLiteral("niepełne polecenie"));
            return tokens[k++];
        };
        while (k < tokens.size()) {
            const QString key = quoted[k] ? QString() : tokens[k].toUpper();
            ++k;
            if (key == u"USER")
                params.user = next();
            else if (key == u"PASSWORD")
                params.password = next();
            else if (key == u"ROLE" || key == u"CACHE")
                next();
            else if (key == u"PAGE_SIZE")
                params.pageSize = next().toInt();
            else if (key == u"LENGTH") {
                next();
                if (k < tokens.size() && tokens[k].toUpper().startsWith(QStringLiteral("PAGE"))) ++k;
            } else if (key == u"DEFAULT" && k + 2 < tokens.size() && tokens[k].toUpper() == u"CHARACTER" &&
                       tokens[k + 1].toUpper() == u"SET") {
                k += 2;
                params.defaultCharset = next().toUpper();
                if (k + 1 < tokens.size() && tokens[k].toUpper() == u"COLLATION") k += 2;
            } else if (key == u"SET" && k < tokens.size() && tokens[k].toUpper() == u"NAMES") {
                ++k;
                next();
            } else
                fail(QStringLiteral("nieoczekiwane słowo ") + tokens[k - 1]);
        }
        if (creating && createUnforced_) params.forcedWrites = false;
        s.closeAttachment();
        s.att = creating ? fb::Attachment::create(params) : fb::Attachment::open(params);
        return;
    }

    static const QRegularExpression load(
        QStringLiteral("^LOAD\\s+(\\w+)\\s+FROM\\s+'([^']+)'(\\s+OPTIONAL)?$"),
        QRegularExpression::CaseInsensitiveOption);
    if (upper.startsWith(QStringLiteral("LOAD "))) {
        auto m = load.match(plain);
        if (!m.hasMatch()) fail(QStringLiteral("niepoprawne polecenie LOAD"));
        const QString table = m.captured(1).toUpper();
        auto loader = loaders_.constFind(table);
        if (loader == loaders_.constEnd()) fail(QStringLiteral("brak procedury wczytania tabeli ") + table);
        const QString path = FindDataFile(m.captured(2), baseFolder_.isEmpty() ? DataFolder() : baseFolder_);
        if (path.isEmpty()) {
            if (!m.captured(3).isEmpty()) {
                loaded_[table] = 0;
                return;
            }
            fail(QStringLiteral("brak pliku ") + m.captured(2));
        }
        loaded_[table] = (*loader)(s.att, s.transaction(), path);
        return;
    }

    fb::Transaction& tx = s.transaction();
    fb::Statement st = s.att.prepare(tx, text);
    const bool ddl = st.kind() == fb::Statement::Kind::Ddl;
    if (st.kind() == fb::Statement::Kind::Select)
        st.open(tx).close();
    else
        st.execute(tx);
    if (ddl && s.autoDdl) s.endTransaction(true);
}

QString SubstituteScript(const QString& scriptTemplate, const QString& dbName, const QString& user,
                         const QString& password) {
    auto literal = [](QString v) { return v.replace(u'\'', QStringLiteral("''")); };
    QString s = scriptTemplate;
    s.replace(QStringLiteral("__DBNAME__"), literal(dbName), Qt::CaseInsensitive);
    s.replace(QStringLiteral("__USER__"), literal(user), Qt::CaseInsensitive);
    s.replace(QStringLiteral("__PASS__"), literal(password), Qt::CaseInsensitive);
    return s;
}
