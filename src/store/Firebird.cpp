#include "store/Firebird.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <firebird/Interface.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "app/util/Encoding.h"

using namespace Firebird;

namespace fb {

namespace {

constexpr unsigned kCsNone = 0;
constexpr unsigned kCsOctets = 1;
constexpr unsigned kCsWin1250 = 51;

// The embedded engine keeps its lock files in one folder; the shared default (/tmp/firebird)
// belongs to whoever used it first, so each user gets a private one unless told otherwise.
void prepareEmbeddedEngine() {
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK")) return;
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty() || !QFileInfo(base).isWritable()) base = QDir::tempPath();
    const QString folder = base + QStringLiteral("/firebird-%1").arg(::getuid());
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("FIREBIRD_LOCK", QFile::encodeName(folder));
}

IMaster* master() {
    static IMaster* m = [] {
        prepareEmbeddedEngine();
        return fb_get_master_interface();
    }();
    return m;
}

// The embedded engine ends a finished service's thread after it has answered the last query.
// A process that exits in that moment unloads the engine under the thread and crashes, so
// the exit waits until the last embedded service has been over for a little while.
std::atomic<qint64> lastEmbeddedService{0}; // steady clock, milliseconds

qint64 steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
void letServiceThreadsEnd() {
    const qint64 wait = lastEmbeddedService.load() + 500 - steadyMs();
    if (wait > 0) std::this_thread::sleep_for(std::chrono::milliseconds(wait));
}
// Registered once the engine is loaded, so that it runs before the engine's own exit handlers.
void waitForServiceThreadsAtExit() {
    static const bool registered = std::atexit(letServiceThreadsEnd) == 0;
    (void)registered;
}

IUtil* util() {
    return master()->getUtilInterface();
}

// One status vector per call; errors become fb::Error.
class Status {
public:
    Status() : status_(master()->getStatus()), wrapper_(status_) {}
    ~Status() { status_->dispose(); }
    Status(const Status&) = delete;
    Status& operator=(const Status&) = delete;

    CheckStatusWrapper* operator->() { return &wrapper_; }
    CheckStatusWrapper* get() { return &wrapper_; }
    bool failed() const { return (wrapper_.getState() & IStatus::STATE_ERRORS) != 0; }
    void check() {
        if (failed()) raise();
    }
    [[noreturn]] void raise() {
        char buffer[4096];
        util()->formatStatus(buffer, sizeof buffer, &wrapper_);
        const intptr_t* errors = wrapper_.getErrors();
        intptr_t code = (errors && errors[0] == isc_arg_gds) ? errors[1] : 0;
        QString text = QString::fromLocal8Bit(buffer).trimmed();
        throw Error(text.isEmpty() ? QStringLiteral("Firebird error") : text, code);
    }

private:
    IStatus* status_;
    CheckStatusWrapper wrapper_;
};

// Parameter blocks through the library's builder, released on every path.
class Xpb {
public:
    explicit Xpb(unsigned kind) {
        Status st;
        b_ = util()->getXpbBuilder(st.get(), kind, nullptr, 0);
        st.check();
    }
    ~Xpb() { b_->dispose(); }
    Xpb(const Xpb&) = delete;
    Xpb& operator=(const Xpb&) = delete;
    void tag(unsigned char t) {
        Status st;
        b_->insertTag(st.get(), t);
        st.check();
    }
    void text(unsigned char t, const QByteArray& value) {
        Status st;
        b_->insertBytes(st.get(), t, value.constData(), unsigned(value.size()));
        st.check();
    }
    void integer(unsigned char t, int value) {
        Status st;
        b_->insertInt(st.get(), t, value);
        st.check();
    }
    QByteArray bytes() {
        Status st;
        unsigned len = b_->getBufferLength(st.get());
        const unsigned char* buf = b_->getBuffer(st.get());
        st.check();
        return QByteArray(reinterpret_cast<const char*>(buf), int(len));
    }

private:
    IXpbBuilder* b_ = nullptr;
};

class Provider {
public:
    Provider() : p_(master()->getDispatcher()) {}
    ~Provider() { p_->release(); }
    Provider(const Provider&) = delete;
    Provider& operator=(const Provider&) = delete;
    IProvider* operator->() { return p_; }

private:
    IProvider* p_;
};

QByteArray dpbFor(const ConnectParams& p, bool creating) {
    Xpb dpb(IXpbBuilder::DPB);
    if (!p.user.isEmpty()) dpb.text(isc_dpb_user_name, p.user.toUtf8());
    if (!p.password.isEmpty()) dpb.text(isc_dpb_password, p.password.toUtf8());
    dpb.text(isc_dpb_lc_ctype, kCharset);
    dpb.integer(isc_dpb_sql_dialect, p.dialect);
    if (p.forcedWrites) dpb.integer(isc_dpb_force_write, *p.forcedWrites ? 1 : 0);
    if (creating) {
        if (p.pageSize > 0) dpb.integer(isc_dpb_page_size, p.pageSize);
        if (!p.defaultCharset.isEmpty()) dpb.text(isc_dpb_set_db_charset, p.defaultCharset.toLatin1());
    }
    return dpb.bytes();
}

int64_t power10(int n) {
    int64_t r = 1;
    while (n-- > 0)
        r *= 10;
    return r;
}

QDate toDate(ISC_DATE d) {
    unsigned y = 0, m = 0, day = 0;
    util()->decodeDate(d, &y, &m, &day);
    return QDate(int(y), int(m), int(day));
}
QTime toTime(ISC_TIME t) {
    unsigned h = 0, m = 0, s = 0, frac = 0;
    util()->decodeTime(t, &h, &m, &s, &frac);
    return QTime(int(h), int(m), int(s), int(frac / 10));
}
ISC_DATE fromDate(const QDate& d) {
    return util()->encodeDate(unsigned(d.year()), unsigned(d.month()), unsigned(d.day()));
}
ISC_TIME fromTime(const QTime& t) {
    return util()->encodeTime(unsigned(t.hour()), unsigned(t.minute()), unsigned(t.second()),
                              unsigned(t.msec() * 10));
}

QByteArray readBlobContent(IAttachment* att, ITransaction* tx, const ISC_QUAD& id) {
    Status st;
    ISC_QUAD blobId = id;
    IBlob* blob = att->openBlob(st.get(), tx, &blobId, 0, nullptr);
    st.check();
    QByteArray out;
    char buffer[32768];
    for (;;) {
        unsigned got = 0;
        int rc = blob->getSegment(st.get(), sizeof buffer, buffer, &got);
        if (rc == IStatus::RESULT_OK || rc == IStatus::RESULT_SEGMENT) {
            out.append(buffer, int(got));
            continue;
        }
        break;
    }
    if (st.failed()) {
        Status closing;
        blob->close(closing.get());
        if (closing.failed()) blob->release();
        st.raise();
    }
    Status closing;
    blob->close(closing.get());
    if (closing.failed()) {
        blob->release();
        closing.raise();
    }
    return out;
}

ISC_QUAD writeBlobContent(IAttachment* att, ITransaction* tx, const QByteArray& content) {
    Status st;
    ISC_QUAD id;
    IBlob* blob = att->createBlob(st.get(), tx, &id, 0, nullptr);
    st.check();
    for (qsizetype pos = 0; pos < content.size() && !st.failed(); pos += 32768) {
        qsizetype n = qMin<qsizetype>(32768, content.size() - pos);
        blob->putSegment(st.get(), unsigned(n), content.constData() + pos);
    }
    if (!st.failed()) blob->close(st.get());
    if (st.failed()) {
        Status cancelling;
        blob->cancel(cancelling.get());
        if (cancelling.failed()) blob->release();
        st.raise();
    }
    return id;
}

// Reads one column of a fetched message.
QVariant readColumn(IMessageMetadata* meta, unsigned i, const unsigned char* buf, IAttachment* att,
                    ITransaction* tx) {
    Status st;
    unsigned type = meta->getType(st.get(), i) & ~1u;
    unsigned offset = meta->getOffset(st.get(), i);
    unsigned nullOffset = meta->getNullOffset(st.get(), i);
    int scale = meta->getScale(st.get(), i);
    unsigned charset = meta->getCharSet(st.get(), i);
    int subType = meta->getSubType(st.get(), i);
    unsigned length = meta->getLength(st.get(), i);
    st.check();
    if (*reinterpret_cast<const int16_t*>(buf + nullOffset)) return QVariant();
    const unsigned char* p = buf + offset;
    auto text = [&](const char* data, int size) -> QVariant {
        if (charset == kCsOctets) return QByteArray(data, size);
        return FromWin1250(QByteArray(data, size));
    };
    auto scaled = [&](int64_t v) -> QVariant {
        if (scale == 0) return QVariant::fromValue<qlonglong>(v);
        return double(v) / double(power10(-scale));
    };
    switch (type) {
    case SQL_TEXT:
        return text(reinterpret_cast<const char*>(p), int(length));
    case SQL_VARYING: {
        uint16_t n;
        std::memcpy(&n, p, 2);
        return text(reinterpret_cast<const char*>(p + 2), int(n));
    }
    case SQL_SHORT: {
        int16_t v;
        std::memcpy(&v, p, 2);
        return scale == 0 ? QVariant(int(v)) : scaled(v);
    }
    case SQL_LONG: {
        int32_t v;
        std::memcpy(&v, p, 4);
        return scale == 0 ? QVariant(int(v)) : scaled(v);
    }
    case SQL_INT64: {
        int64_t v;
        std::memcpy(&v, p, 8);
        return scaled(v);
    }
    case SQL_FLOAT: {
        float v;
        std::memcpy(&v, p, 4);
        return double(v);
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        double v;
        std::memcpy(&v, p, 8);
        return v;
    }
    case SQL_TYPE_DATE: {
        ISC_DATE d;
        std::memcpy(&d, p, sizeof d);
        return toDate(d);
    }
    case SQL_TYPE_TIME: {
        ISC_TIME t;
        std::memcpy(&t, p, sizeof t);
        return toTime(t);
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP ts;
        std::memcpy(&ts, p, sizeof ts);
        return QDateTime(toDate(ts.timestamp_date), toTime(ts.timestamp_time));
    }
    case SQL_BOOLEAN:
        return bool(*p);
    case SQL_BLOB: {
        ISC_QUAD id;
        std::memcpy(&id, p, sizeof id);
        QByteArray content = readBlobContent(att, tx, id);
        if (subType == 1 && charset != kCsOctets) return FromWin1250(content);
        return content;
    }
    default:
        throw Error(QStringLiteral("Nieobsługiwany typ kolumny %1").arg(type));
    }
}

struct ParamShape {
    unsigned type = SQL_VARYING;
    unsigned length = 0;
    int subType = 0;
    unsigned charset = kCsNone;
    int scale = 0;
    bool operator==(const ParamShape&) const = default;
};

unsigned roundUp(unsigned n) {
    return qMax(8u, (n + 63u) & ~63u);
}

} // namespace

// ---------------------------------------------------------------------------------------------

Error::Error(const QString& message, intptr_t gdsCode)
    : std::runtime_error(message.toStdString()), gdsCode_(gdsCode) {}

QString QuoteLiteral(const QString& text) {
    QString t = text;
    t.replace(u'\'', QStringLiteral("''"));
    return u'\'' + t + u'\'';
}

// ---------------------------------------------------------------------------------------------

Attachment::~Attachment() {
    if (!att_) return;
    Status st;
    att_->detach(st.get());
    if (st.failed()) att_->release();
}

Attachment::Attachment(Attachment&& other) noexcept : att_(other.att_), dialect_(other.dialect_) {
    other.att_ = nullptr;
}

Attachment& Attachment::operator=(Attachment&& other) noexcept {
    if (this != &other) {
        Attachment dying(std::move(*this));
        att_ = other.att_;
        dialect_ = other.dialect_;
        other.att_ = nullptr;
    }
    return *this;
}

Attachment Attachment::open(const ConnectParams& params) {
    QByteArray dpb = dpbFor(params, false);
    Provider provider;
    Status st;
    IAttachment* att = provider->attachDatabase(st.get(), QFile::encodeName(params.database).constData(),
                                                unsigned(dpb.size()),
                                                reinterpret_cast<const unsigned char*>(dpb.constData()));
    st.check();
    return Attachment(att, params.dialect);
}

Attachment Attachment::create(const ConnectParams& params) {
    QByteArray dpb = dpbFor(params, true);
    Provider provider;
    Status st;
    IAttachment* att = provider->createDatabase(st.get(), QFile::encodeName(params.database).constData(),
                                                unsigned(dpb.size()),
                                                reinterpret_cast<const unsigned char*>(dpb.constData()));
    st.check();
    return Attachment(att, params.dialect);
}

void Attachment::close() {
    if (!att_) return;
    IAttachment* att = att_;
    att_ = nullptr;
    Status st;
    att->detach(st.get());
    if (st.failed()) {
        att->release();
        st.raise();
    }
}

void Attachment::drop() {
    if (!att_) return;
    IAttachment* att = att_;
    att_ = nullptr;
    Status st;
    att->dropDatabase(st.get());
    if (st.failed()) {
        Status detaching;
        att->detach(detaching.get());
        if (detaching.failed()) att->release();
        st.raise();
    }
}

Transaction Attachment::startTransaction(bool readOnly) {
    if (!att_) throw Error(QStringLiteral("Brak połączenia z bazą danych"));
    Xpb tpb(IXpbBuilder::TPB);
    tpb.tag(readOnly ? isc_tpb_read : isc_tpb_write);
    tpb.tag(isc_tpb_concurrency);
    tpb.tag(isc_tpb_wait);
    QByteArray bytes = tpb.bytes();
    Status st;
    ITransaction* tx = att_->startTransaction(st.get(), unsigned(bytes.size()),
                                              reinterpret_cast<const unsigned char*>(bytes.constData()));
    st.check();
    return Transaction(tx);
}

struct Statement::Impl {
    IStatement* stmt = nullptr;
    IAttachment* att = nullptr;
    IMessageMetadata* inMeta = nullptr;
    IMessageMetadata* outMeta = nullptr;
    unsigned type = 0;
    // Input message as last bound; rebuilt only when the value types change.
    IMessageMetadata* boundMeta = nullptr;
    std::vector<ParamShape> boundShapes;
    std::vector<unsigned char> inBuf;
    std::vector<unsigned char> outBuf;

    ~Impl() {
        if (boundMeta) boundMeta->release();
        if (inMeta) inMeta->release();
        if (outMeta) outMeta->release();
        if (stmt) {
            Status st;
            stmt->free(st.get());
            if (st.failed()) stmt->release();
        }
    }

    unsigned inCount() const {
        Status st;
        unsigned n = inMeta ? inMeta->getCount(st.get()) : 0;
        st.check();
        return n;
    }

    // Fills inBuf from the values; returns the metadata describing it.
    IMessageMetadata* bind(ITransaction* tx, const QVariantList& params) {
        const unsigned n = inCount();
        if (unsigned(params.size()) != n)
            throw Error(QStringLiteral("Liczba parametrów (%1) nie zgadza się z zapytaniem (%2)")
                            .arg(params.size())
                            .arg(n));
        if (n == 0) return nullptr;
        std::vector<ParamShape> shapes(n);
        std::vector<QByteArray> data(n);
        std::vector<bool> nulls(n, false);
        Status st;
        for (unsigned i = 0; i < n; ++i) {
            const unsigned origType = inMeta->getType(st.get(), i) & ~1u;
            const unsigned origLength = inMeta->getLength(st.get(), i);
            ParamShape& s = shapes[i];
            s.type = origType;
            s.length = origLength;
            s.subType = inMeta->getSubType(st.get(), i);
            s.charset = inMeta->getCharSet(st.get(), i);
            s.scale = inMeta->getScale(st.get(), i);
            st.check();
            const QVariant& v = params[int(i)];
            if (v.isNull()) {
                nulls[i] = true;
                continue;
            }
            const bool isText = origType == SQL_TEXT || origType == SQL_VARYING;
            if (origType == SQL_BLOB) {
                QByteArray content =
                    v.typeId() == QMetaType::QByteArray ? v.toByteArray() : ToWin1250(v.toString());
                ISC_QUAD id = writeBlobContent(att, tx, content);
                data[i] = QByteArray(reinterpret_cast<const char*>(&id), sizeof id);
                continue;
            }
            s.subType = 0;
            s.scale = 0;
            switch (v.typeId()) {
            case QMetaType::Bool:
                s.type = SQL_BOOLEAN;
                s.length = 1;
                data[i] = QByteArray(1, v.toBool() ? 1 : 0);
                break;
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::Long:
            case QMetaType::LongLong:
            case QMetaType::Short:
            case QMetaType::ULongLong: {
                int64_t x = v.toLongLong();
                s.type = SQL_INT64;
                s.length = 8;
                data[i] = QByteArray(reinterpret_cast<const char*>(&x), 8);
                break;
            }
            case QMetaType::Double:
            case QMetaType::Float: {
                double x = v.toDouble();
                s.type = SQL_DOUBLE;
                s.length = 8;
                data[i] = QByteArray(reinterpret_cast<const char*>(&x), 8);
                break;
            }
            case QMetaType::QDate: {
                ISC_DATE d = fromDate(v.toDate());
                s.type = SQL_TYPE_DATE;
                s.length = sizeof d;
                data[i] = QByteArray(reinterpret_cast<const char*>(&d), sizeof d);
                break;
            }
            case QMetaType::QDateTime: {
                QDateTime t = v.toDateTime();
                ISC_TIMESTAMP ts{fromDate(t.date()), fromTime(t.time())};
                s.type = SQL_TIMESTAMP;
                s.length = sizeof ts;
                data[i] = QByteArray(reinterpret_cast<const char*>(&ts), sizeof ts);
                break;
            }
            default: {
                const bool raw = v.typeId() == QMetaType::QByteArray;
                QByteArray bytes = raw ? v.toByteArray() : ToWin1250(v.toString());
                if (bytes.size() > 32765) throw Error(QStringLiteral("Wartość parametru jest zbyt długa"));
                s.type = SQL_VARYING;
                s.charset = raw ? kCsNone : kCsWin1250;
                // Keep the declared length where it suffices, so that one message layout
                // serves many executions.
                unsigned need = unsigned(bytes.size());
                s.length = isText && origLength >= need ? qMax(origLength, 1u) : roundUp(need);
                data[i] = bytes;
                break;
            }
            }
        }
        if (!boundMeta || boundShapes != shapes) {
            IMetadataBuilder* builder = inMeta->getBuilder(st.get());
            st.check();
            for (unsigned i = 0; i < n && !st.failed(); ++i) {
                const ParamShape& s = shapes[i];
                builder->setType(st.get(), i, s.type);
                builder->setSubType(st.get(), i, s.subType);
                builder->setLength(st.get(), i, s.length);
                builder->setCharSet(st.get(), i, s.charset);
                builder->setScale(st.get(), i, s.scale);
            }
            IMessageMetadata* meta = st.failed() ? nullptr : builder->getMetadata(st.get());
            builder->release();
            st.check();
            if (boundMeta) boundMeta->release();
            boundMeta = meta;
            boundShapes = shapes;
        }
        unsigned len = boundMeta->getMessageLength(st.get());
        st.check();
        inBuf.assign(len, 0);
        for (unsigned i = 0; i < n; ++i) {
            unsigned off = boundMeta->getOffset(st.get(), i);
            unsigned nullOff = boundMeta->getNullOffset(st.get(), i);
            st.check();
            int16_t flag = nulls[i] ? -1 : 0;
            std::memcpy(inBuf.data() + nullOff, &flag, 2);
            if (nulls[i]) continue;
            const QByteArray& bytes = data[i];
            if (shapes[i].type == SQL_VARYING) {
                uint16_t sz = uint16_t(bytes.size());
                std::memcpy(inBuf.data() + off, &sz, 2);
                std::memcpy(inBuf.data() + off + 2, bytes.constData(), size_t(bytes.size()));
            } else {
                std::memcpy(inBuf.data() + off, bytes.constData(), size_t(bytes.size()));
            }
        }
        return boundMeta;
    }
};

Statement Attachment::prepare(Transaction& tx, const QString& sql) {
    if (!att_) throw Error(QStringLiteral("Brak połączenia z bazą danych"));
    QByteArray text = ToWin1250(sql);
    Statement s;
    Status st;
    s.d->att = att_;
    s.d->stmt = att_->prepare(st.get(), tx.handle(), unsigned(text.size()), text.constData(),
                              unsigned(dialect_), IStatement::PREPARE_PREFETCH_METADATA);
    st.check();
    s.d->type = s.d->stmt->getType(st.get());
    st.check();
    s.d->inMeta = s.d->stmt->getInputMetadata(st.get());
    st.check();
    s.d->outMeta = s.d->stmt->getOutputMetadata(st.get());
    st.check();
    return s;
}

void Attachment::execute(Transaction& tx, const QString& sql, const QVariantList& params) {
    Statement s = prepare(tx, sql);
    if (s.kind() == Statement::Kind::Select)
        s.open(tx, params).close();
    else
        s.execute(tx, params);
}

QVariant Attachment::scalar(Transaction& tx, const QString& sql, const QVariantList& params) {
    Statement s = prepare(tx, sql);
    Cursor c = s.open(tx, params);
    return c.fetch() && c.columnCount() > 0 ? c.value(0) : QVariant();
}

QList<QVariantList> Attachment::rows(Transaction& tx, const QString& sql, const QVariantList& params) {
    Statement s = prepare(tx, sql);
    Cursor c = s.open(tx, params);
    QList<QVariantList> out;
    while (c.fetch())
        out.append(c.values());
    return out;
}

qint64 Attachment::nextValue(Transaction& tx, const QString& generator, int step) {
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z][A-Za-z0-9_$]*$"));
    if (!identifier.match(generator).hasMatch())
        throw Error(QStringLiteral("Niepoprawna nazwa generatora: ") + generator);
    return scalar(tx, QStringLiteral("select gen_id(%1, %2) from rdb$database").arg(generator).arg(step))
        .toLongLong();
}

QByteArray Attachment::readBlob(Transaction& tx, const QByteArray& blobId) {
    if (blobId.size() != int(sizeof(ISC_QUAD)))
        throw Error(QStringLiteral("Niepoprawny identyfikator blobu"));
    ISC_QUAD id;
    std::memcpy(&id, blobId.constData(), sizeof id);
    return readBlobContent(att_, tx.handle(), id);
}

QByteArray Attachment::createBlob(Transaction& tx, const QByteArray& content) {
    ISC_QUAD id = writeBlobContent(att_, tx.handle(), content);
    return QByteArray(reinterpret_cast<const char*>(&id), sizeof id);
}

// ---------------------------------------------------------------------------------------------

Transaction::~Transaction() {
    if (!tx_) return;
    Status st;
    tx_->rollback(st.get());
    if (st.failed()) tx_->release();
}

Transaction::Transaction(Transaction&& other) noexcept : tx_(other.tx_) {
    other.tx_ = nullptr;
}

Transaction& Transaction::operator=(Transaction&& other) noexcept {
    if (this != &other) {
        Transaction dying(std::move(*this));
        tx_ = other.tx_;
        other.tx_ = nullptr;
    }
    return *this;
}

void Transaction::commit() {
    if (!tx_) return;
    Status st;
    tx_->commit(st.get());
    st.check(); // a failed commit leaves the transaction to be rolled back
    tx_ = nullptr;
}

void Transaction::rollback() {
    if (!tx_) return;
    ITransaction* tx = tx_;
    tx_ = nullptr;
    Status st;
    tx->rollback(st.get());
    if (st.failed()) {
        tx->release();
        st.raise();
    }
}

void Transaction::commitRetaining() {
    if (!tx_) return;
    Status st;
    tx_->commitRetaining(st.get());
    st.check();
}

// ---------------------------------------------------------------------------------------------

Statement::Statement() : d(std::make_unique<Impl>()) {}
Statement::~Statement() = default;
Statement::Statement(Statement&& other) noexcept = default;
Statement& Statement::operator=(Statement&& other) noexcept = default;

Statement::Kind Statement::kind() const {
    switch (d->type) {
    case isc_info_sql_stmt_select:
    case isc_info_sql_stmt_select_for_upd:
        return Kind::Select;
    case isc_info_sql_stmt_insert:
        return Kind::Insert;
    case isc_info_sql_stmt_update:
        return Kind::Update;
    case isc_info_sql_stmt_delete:
        return Kind::Delete;
    case isc_info_sql_stmt_ddl:
        return Kind::Ddl;
    default:
        return Kind::Other;
    }
}

int Statement::parameterCount() const {
    return int(d->inCount());
}

QVariantList Statement::execute(Transaction& tx, const QVariantList& params) {
    if (!tx.isActive()) throw Error(QStringLiteral("Brak aktywnej transakcji"));
    IMessageMetadata* in = d->bind(tx.handle(), params);
    Status st;
    unsigned outCount = d->outMeta ? d->outMeta->getCount(st.get()) : 0;
    IMessageMetadata* out = nullptr;
    if (outCount > 0 && kind() != Kind::Select) {
        out = d->outMeta;
        d->outBuf.assign(out->getMessageLength(st.get()), 0);
    }
    st.check();
    d->stmt->execute(st.get(), tx.handle(), in, in ? d->inBuf.data() : nullptr, out,
                     out ? d->outBuf.data() : nullptr);
    st.check();
    QVariantList row;
    for (unsigned i = 0; out && i < outCount; ++i)
        row.append(readColumn(out, i, d->outBuf.data(), d->att, tx.handle()));
    return row;
}

qint64 Statement::affectedRows() const {
    Status st;
    qint64 n = qint64(d->stmt->getAffectedRecords(st.get()));
    st.check();
    return n;
}

// ---------------------------------------------------------------------------------------------

struct Cursor::Impl {
    IResultSet* rs = nullptr;
    IMessageMetadata* meta = nullptr; // owned by the statement
    IAttachment* att = nullptr;
    ITransaction* tx = nullptr;
    std::vector<unsigned char> buf;
    QStringList names;
    QVariantList current;

    ~Impl() { closeQuietly(); }
    void closeQuietly() {
        if (!rs) return;
        Status st;
        rs->close(st.get());
        if (st.failed()) rs->release();
        rs = nullptr;
    }
};

Cursor::Cursor() : d(std::make_unique<Impl>()) {}
Cursor::~Cursor() = default;
Cursor::Cursor(Cursor&& other) noexcept = default;
Cursor& Cursor::operator=(Cursor&& other) noexcept = default;

Cursor Statement::open(Transaction& tx, const QVariantList& params) {
    if (!tx.isActive()) throw Error(QStringLiteral("Brak aktywnej transakcji"));
    IMessageMetadata* in = d->bind(tx.handle(), params);
    Cursor c;
    Status st;
    c.d->meta = d->outMeta;
    c.d->att = d->att;
    c.d->tx = tx.handle();
    const unsigned n = d->outMeta->getCount(st.get());
    for (unsigned i = 0; i < n; ++i)
        c.d->names.append(QString::fromUtf8(d->outMeta->getAlias(st.get(), i)));
    c.d->buf.assign(d->outMeta->getMessageLength(st.get()), 0);
    st.check();
    c.d->rs = d->stmt->openCursor(st.get(), tx.handle(), in, in ? d->inBuf.data() : nullptr, d->outMeta, 0);
    st.check();
    return c;
}

bool Cursor::fetch() {
    d->current.clear();
    if (!d->rs) return false;
    Status st;
    int rc = d->rs->fetchNext(st.get(), d->buf.data());
    st.check();
    if (rc != IStatus::RESULT_OK) {
        d->closeQuietly();
        return false;
    }
    for (int i = 0; i < d->names.size(); ++i)
        d->current.append(readColumn(d->meta, unsigned(i), d->buf.data(), d->att, d->tx));
    return true;
}

int Cursor::columnCount() const {
    return int(d->names.size());
}
QString Cursor::columnName(int i) const {
    return d->names.value(i);
}

int Cursor::columnIndex(const QString& name) const {
    for (int i = 0; i < d->names.size(); ++i)
        if (d->names[i].compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QVariant Cursor::value(int i) const {
    return d->current.value(i);
}

QVariant Cursor::value(const QString& name) const {
    int i = columnIndex(name);
    return i >= 0 ? d->current.value(i) : QVariant();
}

QVariantList Cursor::values() const {
    return d->current;
}

void Cursor::close() {
    if (!d->rs) return;
    IResultSet* rs = d->rs;
    d->rs = nullptr;
    Status st;
    rs->close(st.get());
    if (st.failed()) {
        rs->release();
        st.raise();
    }
}

// ---------------------------------------------------------------------------------------------

Service::~Service() {
    if (!svc_) return;
    Status st;
    svc_->detach(st.get());
    if (st.failed()) svc_->release();
    if (embedded_) lastEmbeddedService = steadyMs();
}

Service::Service(Service&& other) noexcept
    : svc_(other.svc_), embedded_(other.embedded_), pending_(std::move(other.pending_)),
      wanted_(other.wanted_) {
    other.svc_ = nullptr;
}

Service& Service::operator=(Service&& other) noexcept {
    if (this != &other) {
        Service dying(std::move(*this));
        svc_ = other.svc_;
        embedded_ = other.embedded_;
        pending_ = std::move(other.pending_);
        wanted_ = other.wanted_;
        other.svc_ = nullptr;
    }
    return *this;
}

Service Service::attach(const QString& server, const QString& user, const QString& password) {
    Xpb spb(IXpbBuilder::SPB_ATTACH);
    if (!user.isEmpty()) spb.text(isc_spb_user_name, user.toUtf8());
    if (!password.isEmpty()) spb.text(isc_spb_password, password.toUtf8());
    QByteArray bytes = spb.bytes();
    QByteArray name =
        (server.trimmed().isEmpty() ? QString() : server.trimmed() + u':').toUtf8() + "service_mgr";
    Provider provider;
    Status st;
    IService* svc = provider->attachServiceManager(st.get(), name.constData(), unsigned(bytes.size()),
                                                   reinterpret_cast<const unsigned char*>(bytes.constData()));
    st.check();
    Service service(svc);
    service.embedded_ = server.trimmed().isEmpty();
    if (service.embedded_) waitForServiceThreadsAtExit();
    return service;
}

void Service::close() {
    if (!svc_) return;
    IService* svc = svc_;
    svc_ = nullptr;
    Status st;
    svc->detach(st.get());
    if (embedded_) lastEmbeddedService = steadyMs();
    if (st.failed()) {
        svc->release();
        st.raise();
    }
}

namespace {
// The first clumplet of a services answer: its tag and its text.
QString serviceAnswer(IService* svc, unsigned char item, unsigned char* tagOut) {
    unsigned char buffer[16384];
    Status st;
    svc->query(st.get(), 0, nullptr, 1, &item, sizeof buffer, buffer);
    st.check();
    *tagOut = buffer[0];
    if (buffer[0] != item) return QString();
    unsigned len = unsigned(buffer[1]) | (unsigned(buffer[2]) << 8);
    if (len > sizeof buffer - 3) len = sizeof buffer - 3;
    return QString::fromUtf8(reinterpret_cast<const char*>(buffer + 3), int(len));
}
} // namespace

QString Service::serverVersion() {
    if (!svc_) throw Error(QStringLiteral("Brak połączenia z menedżerem usług"));
    unsigned char tag = 0;
    return serviceAnswer(svc_, isc_info_svc_server_version, &tag);
}

void Service::start(const QByteArray& spb) {
    if (!svc_) throw Error(QStringLiteral("Brak połączenia z menedżerem usług"));
    Status st;
    svc_->start(st.get(), unsigned(spb.size()), reinterpret_cast<const unsigned char*>(spb.constData()));
    st.check();
}

bool Service::nextLine(QString& line) {
    for (;;) {
        switch (readLine(line, 0)) {
        case Read::Line:
            return true;
        case Read::End:
            return false;
        case Read::Idle:
            break;
        }
    }
}

Service::Read Service::readLine(QString& line, int timeoutSeconds, QIODevice* input) {
    line.clear();
    if (!svc_) return Read::End;
    QByteArray send;
    const auto putLength = [&send](unsigned n) {
        send.append(char(n & 0xFF));
        send.append(char((n >> 8) & 0xFF));
    };
    if (input && wanted_ > 0) {
        // Whatever the device cannot give ends the input; the action reports that itself.
        QByteArray chunk = input->read(qMin<qint64>(wanted_, 32000));
        if (chunk.size() < 0) chunk.clear();
        send.append(char(isc_info_svc_line));
        putLength(unsigned(chunk.size()));
        send.append(chunk);
    }
    wanted_ = 0;
    if (timeoutSeconds > 0) {
        send.append(char(isc_info_svc_timeout));
        putLength(4);
        for (int i = 0; i < 4; ++i)
            send.append(char((unsigned(timeoutSeconds) >> (8 * i)) & 0xFF));
    }
    const unsigned char lineOnly[] = {isc_info_svc_line};
    const unsigned char withInput[] = {isc_info_svc_stdin, isc_info_svc_line};
    const unsigned char* items = input ? withInput : lineOnly;
    const unsigned itemCount = input ? 2 : 1;
    unsigned char buffer[16384];
    Status st;
    svc_->query(st.get(), unsigned(send.size()),
                send.isEmpty() ? nullptr : reinterpret_cast<const unsigned char*>(send.constData()),
                itemCount, items, sizeof buffer, buffer);
    st.check();

    bool partial = false;
    unsigned got = 0;
    const unsigned char* p = buffer;
    const unsigned char* const end = buffer + sizeof buffer;
    while (p < end && *p != isc_info_end) {
        const unsigned char tag = *p++;
        if (tag == isc_info_svc_stdin && p + 4 <= end) {
            wanted_ =
                unsigned(p[0]) | (unsigned(p[1]) << 8) | (unsigned(p[2]) << 16) | (unsigned(p[3]) << 24);
            p += 4;
        } else if (tag == isc_info_svc_line && p + 2 <= end) {
            unsigned len = unsigned(p[0]) | (unsigned(p[1]) << 8);
            p += 2;
            len = qMin<unsigned>(len, unsigned(end - p));
            pending_.append(reinterpret_cast<const char*>(p), int(len));
            got += len;
            p += len;
        } else if (tag == isc_info_svc_timeout || tag == isc_info_data_not_ready ||
                   tag == isc_info_truncated) {
            partial = true;
        } else {
            break; // nothing else was asked for
        }
    }
    if (partial) return Read::Idle;
    if (got == 0 && pending_.isEmpty()) return wanted_ > 0 ? Read::Idle : Read::End;
    // The server hands a line over with its line feed turned into a blank.
    if (pending_.endsWith(' ')) pending_.chop(1);
    line = QString::fromUtf8(pending_);
    pending_.clear();
    return Read::Line;
}

struct SpbStart::Impl {
    Xpb xpb{IXpbBuilder::SPB_START};
};

SpbStart::SpbStart(unsigned char action) : d(std::make_unique<Impl>()) {
    d->xpb.tag(action);
}
SpbStart::~SpbStart() = default;

SpbStart& SpbStart::text(unsigned char tag, const QString& value) {
    d->xpb.text(tag, QFile::encodeName(value));
    return *this;
}
SpbStart& SpbStart::integer(unsigned char tag, int value) {
    d->xpb.integer(tag, value);
    return *this;
}
SpbStart& SpbStart::flag(unsigned char tag) {
    d->xpb.tag(tag);
    return *this;
}
QByteArray SpbStart::bytes() const {
    return d->xpb.bytes();
}

} // namespace fb
