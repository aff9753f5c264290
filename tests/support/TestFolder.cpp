#include "TestFolder.h"
#include "AppFolder.h"
#include "Clock.h"
#include "Database.h"
#include "Globals.h"
#include "Settings.h"

#include "RuntimeError.h"
#include "SqliteComponent.h"
#ifdef SOCIVANT_TEST_ON_SERVER
#include "ConnectionString.h"
#include "MariaDbConnection.h"
#include <mysql.h>
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <sqlite3.h>

namespace {
QString readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return QString::fromUtf8(f.readAll());
}
} // namespace

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(bytes);
}

bool TestFolder::onServer()
{
#ifdef SOCIVANT_TEST_ON_SERVER
    return true;
#else
    return false;
#endif
}

QString TestFolder::failingTrigger(const QString &name, const QString &event, const QString &table,
                                   const QString &message)
{
    if (onServer())
        return QStringLiteral(
                   "CREATE TRIGGER %1 %2 ON %3 FOR EACH ROW SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = '%4';")
            .arg(name, event, table, message);
    return QStringLiteral("CREATE TRIGGER %1 %2 ON %3 BEGIN SELECT RAISE(ABORT, '%4'); END;")
        .arg(name, event, table, message);
}

QString TestFolder::noSuchTable(const QString &table)
{
    // The server names tables in lower case (lower_case_table_names=1).
    return onServer() ? table.toLower() + QStringLiteral("' doesn't exist)")
                      : QStringLiteral("(no such table: ") + table + QLatin1Char(')');
}

QString TestFolder::serverSocket()
{
    const QByteArray dir = qgetenv("SOCIVANT_TEST_MARIADB");
    if (dir.isEmpty())
        qFatal("SOCIVANT_TEST_MARIADB names no test server: run the tests through ctest");
    return QString::fromLocal8Bit(dir) + QStringLiteral("/main.sock");
}

int TestFolder::serverPort()
{
    const QByteArray port = readFile(QFileInfo(serverSocket()).path() + QStringLiteral("/main.port")).trimmed();
    if (port.toInt() <= 0)
        qFatal("the test server wrote no port");
    return port.toInt();
}

QString TestFolder::caseSensitiveServerSocket()
{
    return QFileInfo(serverSocket()).path() + QStringLiteral("/case.sock");
}

#ifdef SOCIVANT_TEST_ON_SERVER
namespace {
// Runs a script of several statements on the test server as root, on a
// session set up as the program's (quotes doubled, no backslash escapes).
void serverScript(const QString &database, const QString &sql)
{
    MYSQL *m = mysql_init(nullptr);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    const QByteArray socket = TestFolder::serverSocket().toUtf8();
    const QByteArray db = database.toUtf8();
    if (!mysql_real_connect(m, nullptr, "root", "", db.isEmpty() ? nullptr : db.constData(), 0, socket.constData(),
                            CLIENT_MULTI_STATEMENTS))
        qFatal("the test server does not answer at %s: %s", socket.constData(), mysql_error(m));
    // Test scripts may join texts with "||" as on SQLite.
    const QByteArray script = "SET SESSION sql_mode = 'STRICT_TRANS_TABLES,NO_BACKSLASH_ESCAPES,PIPES_AS_CONCAT';"
        + sql.toUtf8();
    int rc = mysql_real_query(m, script.constData(), static_cast<unsigned long>(script.size()));
    while (rc == 0) {
        if (MYSQL_RES *r = mysql_store_result(m))
            mysql_free_result(r);
        rc = mysql_next_result(m);
    }
    if (rc > 0)
        qFatal("SQL failed on the test server: %s", mysql_error(m));
    mysql_close(m);
}
} // namespace
#endif

TestFolder::TestFolder(bool withDatabase)
{
    startNewRun();
    setAppFolder(m_dir.path());
    setClock([] { return QDateTime(QDate(2026, 3, 5), QTime(9, 7, 3)); });
#ifdef SOCIVANT_TEST_ON_SERVER
    static int serial = 0;
    m_database = QStringLiteral("t%1_%2").arg(QCoreApplication::applicationPid()).arg(++serial);
    // The desks' way in, as the README sets it up: over TCP ("localhost"
    // with a port), a user with a password and the README's grants.
    m_connection = QStringLiteral("Driver={MariaDB ODBC 3.1 Driver};Server=localhost;Port=%1;Database=%2;"
                                  "Uid=scrivania;Pwd=una password;Option=3;")
                       .arg(serverPort())
                       .arg(m_database);
    writeFile(file(QStringLiteral("mysqlconf.ini")), m_connection.toUtf8() + "\r\n");
    serverScript(QString(), QStringLiteral("DROP DATABASE IF EXISTS %1;").arg(m_database));
    if (withDatabase) {
        serverScript(QString(),
                     QStringLiteral("CREATE DATABASE %1 CHARACTER SET utf8mb4 COLLATE utf8mb4_uca1400_nopad_as_ci;")
                         .arg(m_database));
        exec(readAll(QStringLiteral(SOCIVANT_DATA_DIR "/mariadb/schema.sql")));
    }
#else
    if (withDatabase)
        exec(readAll(QStringLiteral(SOCIVANT_DATA_DIR "/schema.sql")));
#endif
}

TestFolder::~TestFolder()
{
    m_reader.reset();
    resetDatabase();
    setClock({});
    setAppFolder(QString());
#ifdef SOCIVANT_TEST_ON_SERVER
    serverScript(QString(), QStringLiteral("DROP DATABASE IF EXISTS %1;").arg(m_database));
#endif
}

void TestFolder::exec(const QString &sql) const
{
#ifdef SOCIVANT_TEST_ON_SERVER
    serverScript(m_database, sql);
#else
    sqlite3 *db = nullptr;
    if (sqlite3_open(dbPath().toUtf8().constData(), &db) != SQLITE_OK)
        qFatal("cannot open %s", qPrintable(dbPath()));
    char *err = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err);
        sqlite3_free(err);
        sqlite3_close(db);
        qFatal("SQL failed: %s", qPrintable(msg));
    }
    sqlite3_close(db);
#endif
}

QString TestFolder::scalar(const QString &sql) const
{
#ifdef SOCIVANT_TEST_ON_SERVER
    try {
        const auto rs = reader().query(sql);
        return rs->eof() ? QString() : rs->text(0);
    } catch (const RuntimeError &) {
        return QString();
    }
#else
    sqlite3 *db = nullptr;
    sqlite3_open(dbPath().toUtf8().constData(), &db);
    sqlite3_stmt *st = nullptr;
    QString out;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK
        && sqlite3_step(st) == SQLITE_ROW) {
        if (const unsigned char *t = sqlite3_column_text(st, 0))
            out = QString::fromUtf8(reinterpret_cast<const char *>(t));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
#endif
}

QStringList TestFolder::rows(const QString &sql) const
{
    QStringList out;
#ifdef SOCIVANT_TEST_ON_SERVER
    for (auto rs = reader().query(sql); !rs->eof(); rs->moveNext()) {
        QStringList fields;
        for (int i = 0; i < rs->fieldCount(); ++i)
            fields << (rs->isNull(i) ? QStringLiteral("null") : rs->text(i));
        out << fields.join(QLatin1Char(' '));
    }
#else
    sqlite3 *db = nullptr;
    sqlite3_open(dbPath().toUtf8().constData(), &db);
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK)
        qFatal("query failed: %s", sqlite3_errmsg(db));
    while (sqlite3_step(st) == SQLITE_ROW) {
        QStringList fields;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(st, i));
            fields << (t ? QString::fromUtf8(t) : QStringLiteral("null"));
        }
        out << fields.join(QLatin1Char(' '));
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
#endif
    return out;
}

QStringList TestFolder::tables() const
{
    return rows(onServer()
                    ? QStringLiteral("SELECT table_name FROM information_schema.tables WHERE table_schema = database() "
                                     "ORDER BY table_name")
                    : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"));
}

void TestFolder::open() const
{
    gDbType = QStringLiteral(SOCIVANT_DB_TYPE);
    OpenDb();
}

QStringList TestFolder::files(bool withHidden) const
{
    QStringList out = QDir(path()).entryList(withHidden ? QDir::Files | QDir::Hidden : QDir::Files);
    if (onServer())
        out.removeAll(QStringLiteral("mysqlconf.ini"));
    return out;
}

bool TestFolder::registerExists() const
{
#ifdef SOCIVANT_TEST_ON_SERVER
    MariaDbConnection root;
    root.open(parseConnectionString(QStringLiteral("Socket=%1;Database=mysql;Uid=root;").arg(serverSocket())));
    const auto rs = root.query(
        QStringLiteral("select count(*) from information_schema.schemata where schema_name = '%1'").arg(m_database));
    return rs->text(0) != QLatin1String("0");
#else
    return QFile::exists(dbPath());
#endif
}

DbConnection &TestFolder::reader() const
{
    if (!m_reader) {
        m_reader = otherDesk();
        // Test queries may join texts with "||" as on SQLite.
        if (onServer())
            m_reader->execute(QStringLiteral("SET SESSION sql_mode = CONCAT(@@sql_mode, ',PIPES_AS_CONCAT')"));
    }
    return *m_reader;
}

std::unique_ptr<DbConnection> TestFolder::otherDesk() const
{
#ifdef SOCIVANT_TEST_ON_SERVER
    auto c = std::make_unique<MariaDbConnection>();
    c->open(parseConnectionString(m_connection));
#else
    auto c = std::make_unique<SqliteComponent>();
    c->open(dbPath());
#endif
    return c;
}

RecordingSink::RecordingSink()
{
    setMessageSink(this);
}

RecordingSink::~RecordingSink()
{
    setMessageSink(nullptr);
}

int RecordingSink::myMsgBox(const QString &prompt, int buttons, const QString &title)
{
    shown << Shown{prompt, buttons, title, false};
    if (buttons == MsgStyle::YesNo) {
        if (answers.empty()) {
            QTest::qFail(qPrintable(QStringLiteral("unanswered question: ") + prompt), __FILE__, __LINE__);
            return MsgResult::None;
        }
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    return MsgResult::Ok;
}

void RecordingSink::plainMsgBox(const QString &text)
{
    shown << Shown{text, 0, QString(), true};
}

QStringList RecordingSink::prompts() const
{
    QStringList out;
    for (const Shown &s : shown)
        out << s.prompt;
    return out;
}
