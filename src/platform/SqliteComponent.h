#pragma once
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// The rows of one query, read forward one at a time straight from the
// engine: a list of 100,000 members is never copied before it is shown.
// Field values are Null (an invalid QVariant), whole numbers, reals or text.
class Recordset {
public:
    Recordset(sqlite3 *db, sqlite3_stmt *stmt);
    ~Recordset();
    Recordset(const Recordset &) = delete;
    Recordset &operator=(const Recordset &) = delete;

    bool isOpen() const { return m_stmt != nullptr; }
    bool eof() const { return m_eof; }
    void moveNext();
    void close();

    int fieldCount() const;
    QString fieldName(int i) const;
    // Index of the field with that name, compared without regard to case;
    // -1 when there is none.
    int fieldIndex(const QString &name) const;
    QVariant value(int i) const;
    QVariant value(const QString &name) const;
    bool isNull(int i) const;
    // The value joined to an empty text: Null gives "", numbers their digits.
    QString text(int i) const;
    // The same text as UTF-8 without a conversion, valid until the next move.
    QByteArrayView textUtf8(int i) const;

private:
    void checkRow(int i) const;
    sqlite3 *m_db;
    sqlite3_stmt *m_stmt;
    bool m_eof = true;
    QStringList m_names;
    mutable QByteArray m_number; // a real's digits, for textUtf8
};

// The SQLite database behind the three operations the register uses:
// open a file, execute a statement, run a query that returns rows.
// Failures raise RuntimeError carrying SQLite's result code and message.
class SqliteComponent {
public:
    SqliteComponent() = default;
    ~SqliteComponent();
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
    bool isOpen() const { return m_db != nullptr; }
    // Applies one statement. Text after the first statement is refused, so a
    // value that slipped out of its quotes cannot append a second statement.
    // Returns the number of rows changed.
    int execute(const QString &sql);
    std::shared_ptr<Recordset> query(const QString &sql);
    sqlite3 *handle() const { return m_db; }

private:
    sqlite3_stmt *prepare(const QString &sql);
    sqlite3 *m_db = nullptr;
    static inline int s_openWaitMs = kOpenWaitMs;
};
