#pragma once
// A small RAII layer over the Firebird client's object API: attachments, transactions,
// statements with parameters, cursors, blobs, generators and the services manager.
// Every connection talks WIN1250; texts cross this layer as QString and are converted here.
// A database name without a host ("/path/db.fb") opens in-process through the embedded
// engine; "host:path" or "host/port:path" reaches a Firebird server.
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>

class QIODevice;

namespace Firebird {
class IAttachment;
class ITransaction;
class IStatement;
class IResultSet;
class IMessageMetadata;
class IService;
} // namespace Firebird

namespace fb {

// A failure reported by the client library or the server; what() is the library's own text.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message, intptr_t gdsCode = 0);
    QString message() const { return QString::fromUtf8(what()); }
    intptr_t gdsCode() const { return gdsCode_; } // first code of the status vector, 0 when none

private:
    intptr_t gdsCode_;
};

struct ConnectParams {
    QString database; // connection string
    QString user;
    QString password;
    int dialect = 3;
    // Changes the database's forced-writes mode (synchronous writes) when set.
    std::optional<bool> forcedWrites;
    // Creation only.
    int pageSize = 0;       // 0: the engine's default
    QString defaultCharset; // empty: NONE
};

class Transaction;
class Statement;

class Attachment {
public:
    Attachment() = default;
    ~Attachment();
    Attachment(Attachment&& other) noexcept;
    Attachment& operator=(Attachment&& other) noexcept;
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

    static Attachment open(const ConnectParams& params);
    static Attachment create(const ConnectParams& params);

    bool isOpen() const { return att_ != nullptr; }
    int dialect() const { return dialect_; }
    // Detaches; the handle is released even when the detach itself fails (which is reported).
    void close();
    // Deletes the database file; needs the only attachment. The handle is released either way.
    void drop();

    Transaction startTransaction(bool readOnly = false);
    Statement prepare(Transaction& tx, const QString& sql);
    // Prepares and runs one statement that returns no rows.
    void execute(Transaction& tx, const QString& sql, const QVariantList& params = {});
    // The first column of the first row, a null QVariant when there is no row.
    QVariant scalar(Transaction& tx, const QString& sql, const QVariantList& params = {});
    // All rows, each as its column values.
    QList<QVariantList> rows(Transaction& tx, const QString& sql, const QVariantList& params = {});
    // The generator stepped by `step`; the name must be a plain identifier.
    qint64 nextValue(Transaction& tx, const QString& generator, int step = 1);

    // Blobs: a text blob's content as it is stored (WIN1250 bytes).
    QByteArray readBlob(Transaction& tx, const QByteArray& blobId);
    QByteArray createBlob(Transaction& tx, const QByteArray& content); // returns the new blob id

    Firebird::IAttachment* handle() const { return att_; }

private:
    explicit Attachment(Firebird::IAttachment* att, int dialect) : att_(att), dialect_(dialect) {}
    Firebird::IAttachment* att_ = nullptr;
    int dialect_ = 3;
};

class Transaction {
public:
    Transaction() = default;
    ~Transaction(); // rolls back what is still pending
    Transaction(Transaction&& other) noexcept;
    Transaction& operator=(Transaction&& other) noexcept;
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool isActive() const { return tx_ != nullptr; }
    void commit();
    void rollback();
    void commitRetaining();

    Firebird::ITransaction* handle() const { return tx_; }

private:
    friend class Attachment;
    explicit Transaction(Firebird::ITransaction* tx) : tx_(tx) {}
    Firebird::ITransaction* tx_ = nullptr;
};

class Cursor;

// A prepared statement. Parameters are QVariants: a null QVariant is NULL, QString goes as
// WIN1250 text (a text blob parameter gets a new blob), integers, QDate, QDateTime, double,
// bool and QByteArray (raw bytes) as themselves; the server converts to the parameter's type.
class Statement {
public:
    Statement();
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    enum class Kind { Select, Insert, Update, Delete, Ddl, Other };
    Kind kind() const;
    int parameterCount() const;

    // Runs a statement; a singleton select's row (e.g. INSERT ... RETURNING) is returned.
    QVariantList execute(Transaction& tx, const QVariantList& params = {});
    Cursor open(Transaction& tx, const QVariantList& params = {});
    qint64 affectedRows() const;

private:
    friend class Attachment;
    friend class Cursor;
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Rows of an open statement, read one at a time. Blob columns are read when fetched:
// a text blob as QString, a binary one as QByteArray.
class Cursor {
public:
    Cursor();
    ~Cursor();
    Cursor(Cursor&& other) noexcept;
    Cursor& operator=(Cursor&& other) noexcept;

    bool fetch();
    int columnCount() const;
    QString columnName(int i) const;            // alias, upper case as the server reports it
    int columnIndex(const QString& name) const; // -1 when absent
    QVariant value(int i) const;
    QVariant value(const QString& name) const;
    QVariantList values() const;
    void close();

private:
    friend class Statement;
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The services manager ("service_mgr" of the embedded engine, or of a server).
class Service {
public:
    Service() = default;
    ~Service();
    Service(Service&& other) noexcept;
    Service& operator=(Service&& other) noexcept;
    Service(const Service&) = delete;
    Service& operator=(const Service&) = delete;

    // `server` empty: the embedded engine's services; otherwise "host" or "host/port".
    static Service attach(const QString& server, const QString& user, const QString& password);
    bool isOpen() const { return svc_ != nullptr; }
    void close();

    QString serverVersion();
    // Starts a service action; the items are built with SpbStart.
    void start(const QByteArray& spb);
    // The next line of a started action's verbose output; false when the action has ended.
    bool nextLine(QString& line);
    // Waits at most `timeoutSeconds` (0: without limit) for the next whole line of a started
    // action's output. Idle: nothing complete yet (a part is kept for the next call). A failure
    // of the action is thrown once its output has been read. An action started with the file
    // name "stdin" reads `input` through the service as it asks for it.
    enum class Read { Line, Idle, End };
    Read readLine(QString& line, int timeoutSeconds, QIODevice* input = nullptr);

private:
    explicit Service(Firebird::IService* svc) : svc_(svc) {}
    Firebird::IService* svc_ = nullptr;
    bool embedded_ = false;
    QByteArray pending_;  // a line cut by a timeout
    unsigned wanted_ = 0; // bytes of input the action waits for
};

// Builds the parameter block of a service action (isc_action_svc_* and isc_spb_* tags).
class SpbStart {
public:
    explicit SpbStart(unsigned char action);
    ~SpbStart();
    SpbStart(const SpbStart&) = delete;
    SpbStart& operator=(const SpbStart&) = delete;
    SpbStart& text(unsigned char tag, const QString& value);
    SpbStart& integer(unsigned char tag, int value);
    SpbStart& flag(unsigned char tag);
    QByteArray bytes() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// Charset of every connection.
inline constexpr const char* kCharset = "WIN1250";

// An SQL string literal: the text in apostrophes, inner apostrophes doubled.
QString QuoteLiteral(const QString& text);

} // namespace fb
