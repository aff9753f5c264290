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
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    const my_bool reconnect = 0; // never resend a statement behind the caller's back
    mysql_options(m, MYSQL_OPT_RECONNECT, &reconnect);
    const QByteArray host = m_address.host.toUtf8();
    const QByteArray user = m_address.user.toUtf8();
    const QByteArray password = m_address.password.toUtf8();
    const QByteArray database = m_address.database.toUtf8();
    const QByteArray socket = m_address.socket.toUtf8();
    const auto failed = [&m]() { throw RuntimeError{int(mysql_errno(m)), QString::fromUtf8(mysql_error(m))}; };
    if (!mysql_real_connect(m, host.isEmpty() ? nullptr : host.constData(), user.constData(), password.constData(),
                            database.constData(), m_address.port, socket.isEmpty() ? nullptr : socket.constData(),
                            CLIENT_FOUND_ROWS))
        failed();
    for (const char *setup : {"SET SESSION sql_mode = 'STRICT_TRANS_TABLES,ERROR_FOR_DIVISION_BY_ZERO,"
                              "NO_ENGINE_SUBSTITUTION,NO_BACKSLASH_ESCAPES'",
                              "SET SESSION autocommit = 1"}) {
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
    if (!m_mysql)
        m_mysql = connect();
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
    if (mysql_real_query(m, utf8.constData(), static_cast<unsigned long>(utf8.size())) != 0)
        fail();
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
    if (mysql_real_query(m, utf8.constData(), static_cast<unsigned long>(utf8.size())) != 0)
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
