#include "SqliteComponent.h"
#include "RuntimeError.h"
#include "SqliteFileCheck.h"

#include <QFileInfo>
#include <charconv>
#include <sqlite3.h>

namespace {
[[noreturn]] void raiseSqlite(sqlite3 *db, int rc)
{
    const QString msg = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    raiseError(rc, msg);
}

bool onlyBlanksOrSemicolons(const char *tail)
{
    for (const char *p = tail; p && *p; ++p) {
        if (*p != ';' && *p != ' ' && *p != '\t' && *p != '\r' && *p != '\n')
            return false;
    }
    return true;
}
} // namespace

SqliteRecordset::SqliteRecordset(sqlite3 *db, SqliteStatement stmt) : m_db(db), m_stmt(std::move(stmt))
{
    const int n = sqlite3_column_count(m_stmt);
    m_names.reserve(n);
    for (int i = 0; i < n; ++i)
        m_names << QString::fromUtf8(sqlite3_column_name(m_stmt, i));
    moveNext();
}

SqliteRecordset::~SqliteRecordset() = default;

void SqliteRecordset::moveNext()
{
    if (!m_stmt)
        raiseClosed();
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        m_eof = false;
    } else if (rc == SQLITE_DONE) {
        m_eof = true;
    } else {
        m_eof = true;
        raiseSqlite(m_db, rc);
    }
}

void SqliteRecordset::close()
{
    if (!m_stmt)
        raiseClosed();
    m_stmt.reset();
    m_eof = true;
}

bool SqliteRecordset::isNull(int i) const
{
    checkRow(i);
    return sqlite3_column_type(m_stmt, i) == SQLITE_NULL;
}

QVariant SqliteRecordset::value(int i) const
{
    checkRow(i);
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_stmt, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, i));
    default: {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
        return QVariant(QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, i)));
    }
    }
}

QString SqliteRecordset::text(int i) const
{
    checkRow(i);
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL:
        return QString();
    case SQLITE_FLOAT:
        return QString::number(sqlite3_column_double(m_stmt, i), 'g', 15);
    default: {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
        return QString::fromUtf8(p, sqlite3_column_bytes(m_stmt, i));
    }
    }
}

QByteArrayView SqliteRecordset::textUtf8(int i) const
{
    // A real's digits are those of text(); any other value is the engine's
    // own text (none for Null).
    checkRow(i);
    if (sqlite3_column_type(m_stmt, i) == SQLITE_FLOAT) {
        m_number = text(i).toUtf8();
        return m_number;
    }
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
    return QByteArrayView(p, sqlite3_column_bytes(m_stmt, i));
}

void SqliteRecordset::rowUtf8(QByteArrayView *cells, int n) const
{
    if (n <= 0)
        return;
    checkRow(n - 1);
    // Each field's value is read through its sqlite3_value: one look-up of
    // the field instead of three (type, text, length). The connection runs
    // without mutexes (opened NOMUTEX, one thread), where such a value may be
    // read like any other.
    if (m_digits.size() < size_t(n) * kDigits)
        m_digits.resize(size_t(n) * kDigits);
    for (int i = 0; i < n; ++i) {
        sqlite3_value *v = sqlite3_column_value(m_stmt, i);
        const int type = sqlite3_value_type(v);
        if (type == SQLITE_INTEGER) {
            // The engine's text of a whole number is its plain decimal
            // digits: written here, they cost neither the engine's
            // allocation nor its formatting, paid at every key of a list.
            char *at = m_digits.data() + size_t(i) * kDigits;
            const auto done = std::to_chars(at, at + kDigits, sqlite3_value_int64(v));
            cells[i] = QByteArrayView(at, done.ptr - at);
            continue;
        }
        if (type == SQLITE_FLOAT) {
            m_numbers.resize(size_t(n));
            m_numbers[size_t(i)] = text(i).toUtf8();
            cells[i] = m_numbers[size_t(i)];
            continue;
        }
        const auto *p = reinterpret_cast<const char *>(sqlite3_value_text(v));
        if (!p && type != SQLITE_NULL)
            raiseError(SQLITE_NOMEM, QStringLiteral("out of memory"));
        cells[i] = QByteArrayView(p, sqlite3_value_bytes(v));
    }
}

void SqliteComponent::open(const QString &path, const QString &)
{
    m_db.reset();
    const QFileInfo fi(path);
    if (!fi.exists() || !fi.isFile())
        raiseError(SQLITE_CANTOPEN, QStringLiteral("unable to open database file"));
    // An empty file would pass for a new, empty database; it is not a
    // register, and writing tables into it would hide the mistake.
    if (fi.size() == 0)
        raiseError(SQLITE_NOTADB, QStringLiteral("file is not a database"));
    SqliteHandle db;
    // One thread uses the connection: no serializing mutex around every call.
    int rc = sqlite3_open_v2(path.toUtf8().constData(), db.out(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        // A read-only file can still be read.
        rc = sqlite3_open_v2(path.toUtf8().constData(), db.out(), SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    }
    if (rc != SQLITE_OK)
        raiseError(rc, db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc)));
    // Another program may hold the register. The start waits for its lock
    // once, here, before any statement: taking the write lock now means the
    // statements that follow do not each wait on their own.
    sqlite3_busy_timeout(db, s_openWaitMs);
    const bool readOnly = sqlite3_db_readonly(db, "main") == 1;
    rc = sqlite3_exec(db, readOnly ? "BEGIN" : "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    // sqlite3_open_v2 succeeds on any file; reading the schema tells whether
    // it really is a database.
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        raiseError(rc, QString::fromUtf8(sqlite3_errmsg(db)));
    // A damaged register is refused before anything is written into it: a
    // write could spread the damage, and a user restoring it needs it as it
    // was. The transaction changed nothing, so ending it writes nothing.
    const QString fault = sqliteStructureFault(db);
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    if (!fault.isEmpty())
        raiseError(SQLITE_CORRUPT, QStringLiteral("database disk image is malformed: ") + fault);
    sqlite3_busy_timeout(db, 2000);
    m_db = std::move(db);
}

void SqliteComponent::setOpenWait(int ms)
{
    s_openWaitMs = ms;
}

SqliteStatement SqliteComponent::prepare(const QString &sql)
{
    if (!m_db)
        raiseError(ErrNo::ObjectRequired, QStringLiteral("The database is not open."));
    const QByteArray utf8 = sql.toUtf8();
    SqliteStatement stmt;
    const char *tail = nullptr;
    observe(sql);
    const int rc = sqlite3_prepare_v2(m_db, utf8.constData(), int(utf8.size()), stmt.out(), &tail);
    if (rc != SQLITE_OK)
        raiseSqlite(m_db, rc);
    if (!onlyBlanksOrSemicolons(tail))
        raiseError(SQLITE_MISUSE, QStringLiteral("only one SQL statement may be run at a time"));
    return stmt; // null for an empty statement
}

int SqliteComponent::execute(const QString &sql)
{
    SqliteStatement stmt = prepare(sql);
    if (!stmt)
        return 0;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    stmt.reset();
    if (rc != SQLITE_DONE)
        raiseSqlite(m_db, rc);
    return sqlite3_changes(m_db);
}

std::shared_ptr<Recordset> SqliteComponent::query(const QString &sql)
{
    SqliteStatement stmt = prepare(sql);
    if (!stmt)
        raiseError(SQLITE_MISUSE, QStringLiteral("empty query"));
    return std::make_shared<SqliteRecordset>(m_db, std::move(stmt));
}

long long SqliteComponent::lastInsertId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}
