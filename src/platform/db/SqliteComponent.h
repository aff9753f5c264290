#pragma once
#include "DbConnection.h"
#include "SqliteHandle.h"

#include <QString>
#include <memory>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// The rows of one SQLite query, read forward one at a time straight from the
// engine: a list of 100,000 members is never copied before it is shown.
class SqliteRecordset : public Recordset {
public:
    SqliteRecordset(sqlite3 *db, SqliteStatement stmt);
    ~SqliteRecordset() override;

    bool isOpen() const override { return m_stmt != nullptr; }
    void moveNext() override;
    void close() override;
    QVariant value(int i) const override;
    bool isNull(int i) const override;
    QString text(int i) const override;
    QByteArrayView textUtf8(int i) const override;
    void rowUtf8(QByteArrayView *cells, int n) const override;

private:
    sqlite3 *m_db;
    SqliteStatement m_stmt;
    mutable QByteArray m_number;               // a real's digits, for textUtf8
    mutable std::vector<QByteArray> m_numbers; // a row's reals, for rowUtf8
    static constexpr size_t kDigits = 24;      // a 64-bit whole number's text, sign included
    mutable std::vector<char> m_digits;        // a row's whole numbers, kDigits a field
};

// The SQLite database behind the three operations the register uses:
// open a file, execute a statement, run a query that returns rows.
// Failures raise RuntimeError carrying SQLite's result code and message.
class SqliteComponent : public DbConnection {
public:
    SqliteComponent() = default;
    ~SqliteComponent() override = default;
    SqliteComponent(const SqliteComponent &) = delete;
    SqliteComponent &operator=(const SqliteComponent &) = delete;

    // Opens an existing SQLite file for reading and writing. A missing file,
    // a folder, a file that is not an SQLite database and a damaged one
    // fail; nothing is ever created or written at that path. A register
    // locked by another program is waited for once, up to the open wait.
    void open(const QString &path, const QString &password = QString());
    // How long open waits for another program's lock, in milliseconds.
    static void setOpenWait(int ms);
    static constexpr int kOpenWaitMs = 5000;
    bool isOpen() const override { return m_db != nullptr; }
    // Text after the first statement is refused, so a value that slipped out
    // of its quotes cannot append a second statement.
    int execute(const QString &sql) override;
    std::shared_ptr<Recordset> query(const QString &sql) override;
    long long lastInsertId() const override;
    sqlite3 *handle() const { return m_db; }

private:
    SqliteStatement prepare(const QString &sql);
    SqliteHandle m_db;
    static inline int s_openWaitMs = kOpenWaitMs;
};
