#pragma once
#include "DbConnection.h"
#include "Edition.h"
#include "Messages.h"

#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <memory>

// The bytes of a file ("" when it cannot be read), and writing them; a file
// that cannot be written ends the test program.
QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);

// A fresh application folder for one test, on the back-end the program is
// built for: a new register with every table, the globals of a fresh start,
// the clock fixed. On SQLite the register is the file beside the program;
// on a server it is a new database on the test server (which the test run
// starts; its absence ends the test program) and "mysqlconf.ini" names it.
class TestFolder {
public:
    // withDatabase false: there is no register (no file; on a server, a
    // database that does not exist).
    explicit TestFolder(bool withDatabase = true);
    ~TestFolder();
    TestFolder(const TestFolder &) = delete;
    TestFolder &operator=(const TestFolder &) = delete;

    // Whether the tests run on the MariaDB server (the MySQL build).
    static bool onServer();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }
    // The SQLite register file of the edition under test (its name only, on a
    // server).
    QString dbPath() const
    {
        return file(isEnglish() ? QStringLiteral("socivant.db3") : QStringLiteral("merivolo.db3"));
    }
    // The files in the folder but the server's "mysqlconf.ini".
    QStringList files(bool withHidden = false) const;
    // Runs SQL (several statements) on the register, outside the program's
    // connection.
    void exec(const QString &sql) const;
    // First column of the first row of a query, as the program reads it as
    // text ("" for none/Null).
    QString scalar(const QString &sql) const;
    // Every row of a query, its fields as text joined by blanks, Null as
    // "null" (for comparisons that read alike on every back-end).
    QStringList rows(const QString &sql) const;
    // The names of the register's tables, sorted.
    QStringList tables() const;
    // Opens the program's connection on this folder's register.
    void open() const;
    // Whether the register is there (the file, or the server's database).
    bool registerExists() const;
    // A second program's connection to the same register.
    std::unique_ptr<DbConnection> otherDesk() const;
    // The connection string of "mysqlconf.ini" (server only).
    QString connectionString() const { return m_connection; }
    // A trigger that makes every statement of one kind on a table fail with
    // message, in the back-end's dialect: event is "BEFORE INSERT" and the like.
    static QString failingTrigger(const QString &name, const QString &event, const QString &table,
                                  const QString &message);
    // How the back-end's message for a missing table ends, with the ")"
    // that closes it in "Error N (...)".
    static QString noSuchTable(const QString &table);
    // The test server's socket, and that of a copy of it that compares
    // table names with regard to case.
    static QString serverSocket();
    // Its TCP port on 127.0.0.1, where the desks log in as "scrivania".
    static int serverPort();
    static QString caseSensitiveServerSocket();

private:
    DbConnection &reader() const;
    QTemporaryDir m_dir;
    QString m_database; // server only
    QString m_connection;
    mutable std::unique_ptr<DbConnection> m_reader;
};

// A message sink for the data layer alone: records every message and answers
// questions from a queue.
class RecordingSink : public MessageSink {
public:
    struct Shown {
        QString prompt;
        int style;
        QString title;
        bool plain;
    };
    RecordingSink();
    ~RecordingSink() override;
    int myMsgBox(const QString &prompt, int buttons, const QString &title) override;
    void plainMsgBox(const QString &text) override;
    QList<Shown> shown;
    std::deque<int> answers;
    QStringList prompts() const;
};
