#pragma once
#include "ConnectionString.h"
#include "DbConnection.h"
#include "Handle.h"

#include <chrono>
#include <memory>

struct st_mysql;
class MariaDbRecordset;

struct MariaDbClose {
    void operator()(st_mysql *m) const;
};
using MariaDbHandle = Handle<st_mysql, MariaDbClose>;

// A connection to a MariaDB (or MySQL) server through Connector/C, with the
// session set up so that the program's SQL means on the server what it
// means on SQLite:
// - quotes doubled by Pad are the whole escaping (NO_BACKSLASH_ESCAPES), and
//   text travels as utf8mb4;
// - the server compares table names without regard to case (a server that
//   does not is refused at open);
// - rows affected count the rows an UPDATE matched, as SQLite does.
// - transactions read what others committed (READ COMMITTED), so a check
//   made inside one after taking a row lock sees the other desks' work.
// A lost connection fails the statement that met it; the next statement
// connects again first, so a statement is never sent twice. When the loss
// ends a transaction the server has undone, its remaining statements fail
// unsent until the caller rolls back. Every wait on the server has a time
// limit; a change whose answer never came fails with a message that says
// its outcome is unknown. A connection left idle is checked before the next
// statement goes out on it and, when the server has closed it, made again.
class MariaDbConnection : public DbConnection {
public:
    MariaDbConnection() = default;
    ~MariaDbConnection() override;
    MariaDbConnection(const MariaDbConnection &) = delete;
    MariaDbConnection &operator=(const MariaDbConnection &) = delete;

    // Connects; raises RuntimeError when the server cannot be reached, the
    // login or the database is refused, or the server compares table names
    // with regard to case.
    void open(const ServerAddress &address);
    bool isOpen() const override { return m_opened; }
    int execute(const QString &sql) override;
    std::shared_ptr<Recordset> query(const QString &sql) override;
    long long lastInsertId() const override { return m_lastInsertId; }
    // The server's id of the current session (0 while disconnected).
    unsigned long sessionId() const;

    // The time limit of every read from and write to the server, in seconds
    // (connections made after the call).
    static void setTimeLimit(unsigned seconds);
    static constexpr unsigned kTimeLimitSeconds = 30;
    // After how long without a statement the connection is checked first.
    static void setIdleCheck(int ms);
    static constexpr int kIdleCheckMs = 30000;

private:
    friend class MariaDbRecordset;
    MariaDbHandle connect() const;
    st_mysql *ready(const QString &sql);
    [[noreturn]] void fail();
    // fail() for a statement that changes the register: when the connection
    // broke after it went out, the message says its outcome is unknown.
    [[noreturn]] void failChange(const QString &sql);
    bool applyTls(st_mysql *m) const;
    QString where() const;
    void dropStreaming(bool keepRows);

    ServerAddress m_address;
    MariaDbHandle m_mysql;
    bool m_opened = false;
    bool m_inTransaction = false;
    bool m_transactionLost = false;
    long long m_lastInsertId = 0;
    std::chrono::steady_clock::time_point m_lastUse;
    static inline unsigned s_timeLimit = kTimeLimitSeconds;
    static inline int s_idleCheckMs = kIdleCheckMs;
    std::weak_ptr<MariaDbRecordset> m_streaming;
};
