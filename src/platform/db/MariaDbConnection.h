#pragma once
#include "ConnectionString.h"
#include "DbConnection.h"
#include "Handle.h"

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
// A lost connection fails the statement that met it; the next statement
// connects again first, so a statement is never sent twice. When the loss
// ends a transaction the server has undone, its remaining statements fail
// unsent until the caller rolls back.
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

private:
    friend class MariaDbRecordset;
    MariaDbHandle connect() const;
    st_mysql *ready(const QString &sql);
    [[noreturn]] void fail();
    void dropStreaming(bool keepRows);

    ServerAddress m_address;
    MariaDbHandle m_mysql;
    bool m_opened = false;
    bool m_inTransaction = false;
    bool m_transactionLost = false;
    long long m_lastInsertId = 0;
    std::weak_ptr<MariaDbRecordset> m_streaming;
};
