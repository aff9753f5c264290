#include "MariaDbConnection.h"
#include "RuntimeError.h"

#include <deque>
#include <errmsg.h>
#include <mutex>
#include <mysql.h>
#include <optional>
#include <vector>

namespace {
// Errors that mean the session is gone (the server restarted, the network
// dropped, the session was ended from outside).
bool connectionLost(unsigned err)
{
    return err == CR_SERVER_GONE_ERROR || err == CR_SERVER_LOST || err == 2055 /* lost, extended */
        || err == 1927 /* connection killed */ || err == 4031 /* idle too long */;
}

// Numbers of the errors this layer raises itself.
constexpr int kTransactionLost = 2013;
constexpr int kCaseSensitiveServer = 1049; // reported like an unknown database
constexpr int kNoDatabase = 1046;

// A change sent when the connection broke or its answer did not come in
// time: the server may have applied it or not.
const QString kOutcomeUnknownText = QStringLiteral(
    " - the outcome of the statement is unknown: it was not sent again; check the register before repeating it");

// Errors of a server that cannot be reached at all.
bool unreachable(unsigned err)
{
    return err == CR_CONNECTION_ERROR || err == CR_CONN_HOST_ERROR || err == CR_UNKNOWN_HOST || err == CR_SERVER_LOST
        || err == CR_SERVER_GONE_ERROR;
}

const QString kTransactionLostText =
    QStringLiteral("Lost connection to the server during a transaction: its statements were undone");

enum class Kind { Whole, Real, Text };

Kind kindOf(enum_field_types t)
{
    switch (t) {
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_LONGLONG:
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_YEAR:
        return Kind::Whole;
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
        return Kind::Real;
    default:
        return Kind::Text;
    }
}

// The first word of a statement, upper case.
QString verbOf(const QString &sql)
{
    const QString t = sql.trimmed();
    qsizetype end = 0;
    while (end < t.size() && t.at(end).isLetter())
        ++end;
    return t.left(end).toUpper();
}

bool blank(const QString &sql)
{
    for (QChar c : sql)
        if (!c.isSpace() && c != QLatin1Char(';'))
            return false;
    return true;
}

// The statement without the blanks and semicolons that may end it, as the
// SQLite component accepts them.
QByteArray statementText(const QString &sql)
{
    qsizetype n = sql.size();
    while (n > 0 && (sql.at(n - 1).isSpace() || sql.at(n - 1) == QLatin1Char(';')))
        --n;
    return sql.left(n).toUtf8();
}
} // namespace

// The rows of one query, streamed from the server as they are read. When the
// connection must send another statement first (a query inside a loop over
// this one), the rows not yet read are kept in memory, so the loop goes on.
class MariaDbRecordset : public Recordset {
public:
    MariaDbRecordset(MariaDbConnection *owner, MYSQL_RES *res) : m_owner(owner), m_res(res)
    {
        if (!res)
            return; // a statement without rows
        const unsigned n = mysql_num_fields(res);
        const MYSQL_FIELD *fields = mysql_fetch_fields(res);
        m_kinds.reserve(n);
        for (unsigned i = 0; i < n; ++i) {
            m_names << QString::fromUtf8(fields[i].name, int(fields[i].name_length));
            m_kinds.push_back(kindOf(fields[i].type));
        }
    }
    ~MariaDbRecordset() override { release(); }

    bool isOpen() const override { return m_open; }

    void moveNext() override
    {
        if (!m_open)
            raiseClosed();
        if (m_streamed) {
            m_row = mysql_fetch_row(m_res);
            if (m_row) {
                m_lengths = mysql_fetch_lengths(m_res);
                m_eof = false;
                return;
            }
            m_eof = true;
            m_streamed = false;
            if (m_owner && mysql_errno(m_owner->m_mysql) != 0)
                m_owner->fail();
            return;
        }
        if (m_kept.empty()) {
            m_eof = true;
            m_current.clear();
            if (m_failed)
                raiseError(m_failed->number, m_failed->description);
            return;
        }
        m_current = std::move(m_kept.front());
        m_kept.pop_front();
        m_eof = false;
    }

    void close() override
    {
        if (!m_open)
            raiseClosed();
        release();
        m_open = false;
        m_eof = true;
    }

    bool isNull(int i) const override
    {
        checkRow(i);
        return !cell(i).data;
    }

    QVariant value(int i) const override
    {
        checkRow(i);
        const Cell c = cell(i);
        if (!c.data)
            return QVariant();
        const QByteArray raw = QByteArray::fromRawData(c.data, qsizetype(c.size));
        switch (m_kinds[size_t(i)]) {
        case Kind::Whole:
            return QVariant(raw.toLongLong());
        case Kind::Real:
            return QVariant(raw.toDouble());
        case Kind::Text:
            break;
        }
        return QVariant(QString::fromUtf8(c.data, qsizetype(c.size)));
    }

    QString text(int i) const override
    {
        checkRow(i);
        const Cell c = cell(i);
        if (!c.data)
            return QString();
        // An amount reads as on SQLite: "12.5", not the column's "12.50".
        if (m_kinds[size_t(i)] == Kind::Real)
            return QString::number(QByteArray::fromRawData(c.data, qsizetype(c.size)).toDouble(), 'g', 15);
        return QString::fromUtf8(c.data, qsizetype(c.size));
    }

    // Reads the remaining rows into memory and lets the connection go, or,
    // when the connection is lost, gives them up.
    void detach(bool keepRows)
    {
        if (!m_streamed) {
            release();
            return;
        }
        if (keepRows) {
            if (m_row)
                m_current = copyRow(m_row, m_lengths);
            while (MYSQL_ROW row = mysql_fetch_row(m_res))
                m_kept.push_back(copyRow(row, mysql_fetch_lengths(m_res)));
            if (m_owner && mysql_errno(m_owner->m_mysql) != 0)
                m_failed = RuntimeError{int(mysql_errno(m_owner->m_mysql)),
                                        QString::fromUtf8(mysql_error(m_owner->m_mysql))};
        } else {
            m_current.clear();
            m_eof = true;
            m_failed = RuntimeError{CR_SERVER_LOST, QStringLiteral("Lost connection to server during query")};
        }
        m_streamed = false;
        m_row = nullptr;
        release();
    }
    bool streaming() const { return m_streamed; }
    void forgetOwner() { m_owner = nullptr; }
    void startStreaming() { m_streamed = m_res != nullptr; }

private:
    struct Cell {
        const char *data;
        unsigned long size;
    };
    using Row = std::vector<std::optional<QByteArray>>;

    static Row copyRow(MYSQL_ROW row, const unsigned long *lengths, unsigned n)
    {
        Row r(n);
        for (unsigned i = 0; i < n; ++i)
            if (row[i])
                r[i] = QByteArray(row[i], qsizetype(lengths[i]));
        return r;
    }
    Row copyRow(MYSQL_ROW row, const unsigned long *lengths) const
    {
        return copyRow(row, lengths, unsigned(m_kinds.size()));
    }

    Cell cell(int i) const
    {
        if (m_streamed || m_row)
            return Cell{m_row[i], m_lengths[i]};
        const auto &c = m_current[size_t(i)];
        return c ? Cell{c->constData(), static_cast<unsigned long>(c->size())} : Cell{nullptr, 0};
    }

    void release()
    {
        m_streamed = false;
        m_row = nullptr;
        if (m_res) {
            mysql_free_result(m_res);
            m_res = nullptr;
        }
    }

    MariaDbConnection *m_owner;
    MYSQL_RES *m_res;
    std::vector<Kind> m_kinds;
    bool m_open = true;
    bool m_streamed = false;
    MYSQL_ROW m_row = nullptr;
    unsigned long *m_lengths = nullptr;
    Row m_current;
    std::deque<Row> m_kept;
    std::optional<RuntimeError> m_failed;
};

MariaDbConnection::~MariaDbConnection()
{
    dropStreaming(false);
    if (auto s = m_streaming.lock())
        s->forgetOwner();
}

void MariaDbClose::operator()(st_mysql *m) const
{
    mysql_close(m);
}

void MariaDbConnection::open(const ServerAddress &address)
{
    if (address.database.isEmpty())
        raiseError(kNoDatabase, QStringLiteral("No database named in the connection string"));
    m_address = address;
    m_mysql = connect();
    m_lastUse = std::chrono::steady_clock::now();
    m_opened = true;
}

MariaDbHandle MariaDbConnection::connect() const
{
    static std::once_flag libraryReady;
    std::call_once(libraryReady, [] { mysql_library_init(0, nullptr, nullptr); });
    MariaDbHandle m(mysql_init(nullptr));
    if (!m)
        raiseError(CR_OUT_OF_MEMORY, QStringLiteral("Out of memory"));
    const unsigned timeout = 5;
    mysql_options(m, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    // A server that stops answering ends the wait with an error.
    const unsigned limit = s_timeLimit;
    mysql_options(m, MYSQL_OPT_READ_TIMEOUT, &limit);
    mysql_options(m, MYSQL_OPT_WRITE_TIMEOUT, &limit);
    // A port in the connection string is the port used, even for
    // "localhost", which the library would otherwise take for the socket.
    if (m_address.socket.isEmpty() && m_address.port != 0) {
        const unsigned tcp = MYSQL_PROTOCOL_TCP;
        mysql_options(m, MYSQL_OPT_PROTOCOL, &tcp);
    }
    const bool tls = applyTls(m);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    const my_bool reconnect = 0; // never resend a statement behind the caller's back
    mysql_options(m, MYSQL_OPT_RECONNECT, &reconnect);
    const QByteArray host = m_address.host.toUtf8();
    const QByteArray user = m_address.user.toUtf8();
    const QByteArray password = m_address.password.toUtf8();
    const QByteArray database = m_address.database.toUtf8();
    const QByteArray socket = m_address.socket.toUtf8();
    const auto failed = [this, &m]() {
        const unsigned err = mysql_errno(m);
        QString why = QString::fromUtf8(mysql_error(m));
        if (unreachable(err))
            why += QStringLiteral(" - server not reachable at %1").arg(where());
        else if (err == 2026)
            why += QStringLiteral(" - no TLS connection with the server at %1").arg(where());
        throw RuntimeError{int(err), why};
    };
    if (!mysql_real_connect(m, host.isEmpty() ? nullptr : host.constData(), user.constData(), password.constData(),
                            database.constData(), m_address.port, socket.isEmpty() ? nullptr : socket.constData(),
                            CLIENT_FOUND_ROWS))
        failed();
    if (tls && !mysql_get_ssl_cipher(m)) {
        raiseError(2026,
                   QStringLiteral("The connection string asks for TLS and the server at %1 offers none").arg(where()));
    }
    for (const char *setup : {"SET SESSION sql_mode = 'STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,"
                              "NO_ENGINE_SUBSTITUTION,NO_BACKSLASH_ESCAPES'",
                              "SET SESSION autocommit = 1", "SET SESSION TRANSACTION ISOLATION LEVEL READ COMMITTED"}) {
        if (mysql_query(m, setup) != 0)
            failed();
    }
    // The program writes table names in varying case.
    if (mysql_query(m, "SELECT @@lower_case_table_names") != 0)
        failed();
    MYSQL_RES *res = mysql_store_result(m);
    if (!res)
        failed();
    MYSQL_ROW row = mysql_fetch_row(res);
    const bool caseSensitive = !row || !row[0] || QByteArray(row[0]) == "0";
    mysql_free_result(res);
    if (caseSensitive)
        raiseError(kCaseSensitiveServer,
                   QStringLiteral("The server compares table names with regard to case (lower_case_table_names=0)"));
    return m;
}

QString MariaDbConnection::where() const
{
    if (!m_address.socket.isEmpty())
        return m_address.socket;
    const QString host = m_address.host.isEmpty() ? QStringLiteral("localhost") : m_address.host;
    return host + QLatin1Char(':') + QString::number(m_address.port ? m_address.port : 3306);
}

bool MariaDbConnection::applyTls(st_mysql *m) const
{
    const ServerAddress &a = m_address;
    if (!a.unsupported.isEmpty())
        raiseError(2026,
                   QStringLiteral("TLS settings this program cannot apply: ")
                       + a.unsupported.join(QStringLiteral(", ")));
    QString mode = a.sslMode;
    // A certificate authority named without a mode is there to be checked.
    if (mode.isEmpty() && (!a.sslCa.isEmpty() || !a.sslCaPath.isEmpty()))
        mode = QStringLiteral("VERIFY_CA");
    if (mode.isEmpty() || mode == QLatin1String("DISABLED"))
        return false;
    static const QStringList known{QStringLiteral("PREFERRED"), QStringLiteral("REQUIRED"), QStringLiteral("VERIFY_CA"),
                                   QStringLiteral("VERIFY_IDENTITY")};
    if (!known.contains(mode))
        raiseError(2026, QStringLiteral("Unknown SSLMODE: ") + mode);
    const auto orNull = [](const QByteArray &b) { return b.isEmpty() ? nullptr : b.constData(); };
    const QByteArray key = a.sslKey.toUtf8(), cert = a.sslCert.toUtf8(), ca = a.sslCa.toUtf8(),
                     caPath = a.sslCaPath.toUtf8(), cipher = a.sslCipher.toUtf8();
    mysql_ssl_set(m, orNull(key), orNull(cert), orNull(ca), orNull(caPath), orNull(cipher));
    if (mode == QLatin1String("PREFERRED"))
        return false;
    const my_bool on = 1;
    mysql_options(m, MYSQL_OPT_SSL_ENFORCE, &on);
    const my_bool verify = mode == QLatin1String("REQUIRED") ? 0 : 1;
    mysql_options(m, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &verify);
    return true;
}

void MariaDbConnection::setTimeLimit(unsigned seconds)
{
    s_timeLimit = seconds;
}

void MariaDbConnection::setIdleCheck(int ms)
{
    s_idleCheckMs = ms;
}

unsigned long MariaDbConnection::sessionId() const
{
    return m_mysql ? mysql_thread_id(m_mysql) : 0;
}

void MariaDbConnection::dropStreaming(bool keepRows)
{
    if (auto s = m_streaming.lock()) {
        if (s->streaming() || !keepRows)
            s->detach(keepRows);
    }
    m_streaming.reset();
}

void MariaDbConnection::failChange(const QString &sql)
{
    const unsigned err = mysql_errno(m_mysql);
    const QString verb = verbOf(sql);
    const bool reads = verb == QLatin1String("SELECT") || verb == QLatin1String("SET") || verb == QLatin1String("BEGIN")
        || verb == QLatin1String("START") || verb == QLatin1String("ROLLBACK");
    // Inside a transaction a lost change is undone with it; only its COMMIT,
    // or a change on its own, may have taken effect unseen.
    const bool unknown = (err == CR_SERVER_LOST || err == CR_SERVER_GONE_ERROR || err == 2055) && !reads
        && (!m_inTransaction || verb == QLatin1String("COMMIT"));
    try {
        fail();
    } catch (RuntimeError &e) {
        if (unknown)
            e.description += kOutcomeUnknownText;
        throw;
    }
}

void MariaDbConnection::fail()
{
    const unsigned err = mysql_errno(m_mysql);
    const QString text = QString::fromUtf8(mysql_error(m_mysql));
    if (connectionLost(err)) {
        dropStreaming(false);
        m_mysql.reset();
        if (m_inTransaction)
            m_transactionLost = true;
    }
    raiseError(int(err), text);
}

// The connection a statement goes out on: a lost one is made again first,
// a set still streaming is read into memory.
MYSQL *MariaDbConnection::ready(const QString &sql)
{
    if (!m_opened)
        raiseError(ErrNo::ObjectRequired, QStringLiteral("The database is not open."));
    if (m_transactionLost) {
        const QString verb = verbOf(sql);
        if (verb == QLatin1String("ROLLBACK")) {
            m_transactionLost = false;
            m_inTransaction = false;
            return nullptr; // nothing left to undo
        }
        if (verb == QLatin1String("COMMIT")) {
            m_transactionLost = false;
            m_inTransaction = false;
        }
        raiseError(kTransactionLost, kTransactionLostText);
    }
    dropStreaming(true);
    if (m_mysql && std::chrono::steady_clock::now() - m_lastUse > std::chrono::milliseconds(s_idleCheckMs)
        && mysql_ping(m_mysql) != 0) {
        // Nothing was sent: the server closed an idle session (its wait
        // timeout, a restart). Inside a transaction its work is gone, and
        // the caller is told; otherwise the statement goes on a new session.
        if (m_inTransaction)
            fail();
        m_mysql.reset();
    }
    if (!m_mysql)
        m_mysql = connect();
    m_lastUse = std::chrono::steady_clock::now();
    return m_mysql;
}

int MariaDbConnection::execute(const QString &sql)
{
    if (blank(sql))
        return 0;
    MYSQL *m = ready(sql);
    if (!m)
        return 0;
    observe(sql);
    const QByteArray utf8 = statementText(sql);
    const int sent = mysql_real_query(m, utf8.constData(), static_cast<unsigned long>(utf8.size()));
    m_lastUse = std::chrono::steady_clock::now();
    if (sent != 0)
        failChange(sql);
    if (MYSQL_RES *rows = mysql_store_result(m))
        mysql_free_result(rows); // any rows a statement returns are discarded
    else if (mysql_field_count(m) != 0)
        fail();
    const my_ulonglong affected = mysql_affected_rows(m);
    if (const my_ulonglong id = mysql_insert_id(m); id != 0)
        m_lastInsertId = static_cast<long long>(id);
    const QString verb = verbOf(sql);
    if (verb == QLatin1String("BEGIN") || verb == QLatin1String("START"))
        m_inTransaction = true;
    else if (verb == QLatin1String("COMMIT") || verb == QLatin1String("ROLLBACK"))
        m_inTransaction = false;
    return affected == static_cast<my_ulonglong>(-1) ? 0 : int(affected);
}

std::shared_ptr<Recordset> MariaDbConnection::query(const QString &sql)
{
    if (blank(sql))
        raiseError(1065, QStringLiteral("Query was empty"));
    MYSQL *m = ready(sql);
    if (!m)
        raiseError(kTransactionLost, kTransactionLostText);
    observe(sql);
    const QByteArray utf8 = statementText(sql);
    const int sent = mysql_real_query(m, utf8.constData(), static_cast<unsigned long>(utf8.size()));
    m_lastUse = std::chrono::steady_clock::now();
    if (sent != 0)
        fail();
    MYSQL_RES *res = mysql_use_result(m);
    if (!res && mysql_field_count(m) != 0)
        fail();
    auto rs = std::make_shared<MariaDbRecordset>(this, res);
    rs->startStreaming();
    m_streaming = rs;
    rs->moveNext();
    return rs;
}
