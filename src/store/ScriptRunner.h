#pragma once
// Runs database scripts in the dialect of the interactive SQL tool: statements end with the
// current terminator; SET SQL DIALECT, SET NAMES, SET TERM, SET AUTODDL, CREATE DATABASE,
// CONNECT, COMMIT [WORK] and ROLLBACK [WORK] are handled here, everything else goes to the
// server. Data definition statements are committed at once (as with AUTODDL ON).
// One command of our own fills a table from a list file beside the script:
//     LOAD <table> FROM '<file>' [OPTIONAL];
// OPTIONAL skips a missing file; the table must have a loader registered.
#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>

namespace fb {
class Attachment;
class Transaction;
} // namespace fb

class ScriptError : public std::runtime_error {
public:
    ScriptError(const QString& message, int line) : std::runtime_error(message.toStdString()), line_(line) {}
    QString message() const { return QString::fromUtf8(what()); }
    int line() const { return line_; }

private:
    int line_;
};

class ScriptRunner {
public:
    using Loader = std::function<int(fb::Attachment&, fb::Transaction&, const QString& path)>;

    ScriptRunner();
    ~ScriptRunner();

    // Folder in which LOAD looks for its files (without regard to letter case).
    void setBaseFolder(const QString& folder) { baseFolder_ = folder; }
    void setLoader(const QString& table, Loader loader);
    // false: a failing statement is recorded in errors() and the script goes on.
    void setStopOnError(bool stop) { stopOnError_ = stop; }
    // CREATE DATABASE makes the file without forced writes, which makes the many commits of
    // the creation scripts fast; the caller turns them on when the database is complete.
    void setCreateWithoutForcedWrites(bool on) { createUnforced_ = on; }

    // Runs the script text; `name` only labels messages. Throws ScriptError (stop on error).
    // Pending work is committed at the end; the connection is closed.
    void run(const QString& script, const QString& name = QString());

    const QStringList& errors() const { return errors_; }
    // Rows loaded per table by LOAD in the last run.
    const QMap<QString, int>& loadedRows() const { return loaded_; }

    struct Piece {
        QString text;
        int line = 0;
    };
    // Splits a script into statements and commands, following SET TERM.
    static QList<Piece> Split(const QString& script);

private:
    struct State;
    void runPiece(State& s, const QString& text);

    QString baseFolder_;
    QMap<QString, Loader> loaders_;
    bool stopOnError_ = true;
    bool createUnforced_ = false;
    QStringList errors_;
    QMap<QString, int> loaded_;
};

// The script with "__DBNAME__", "__USER__" and "__PASS__" replaced in every occurrence,
// without regard to case. The placeholders stand inside SQL string literals, so apostrophes
// of the values are doubled.
QString SubstituteScript(const QString& scriptTemplate, const QString& dbName, const QString& user,
                         const QString& password);
