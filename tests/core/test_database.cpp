// The connection of the build's back-end (the SQLite component, or the
// MariaDB connection on the test server) and the data-access layer over it:
// one connection per run, one shared result set, statements that report
// their own failures.
#include "AppFolder.h"
#include "ConnectionString.h"
#include "Database.h"
#include "Globals.h"
#include "RuntimeError.h"
#include "Settings.h"
#include "SqliteComponent.h"
#include "TestFolder.h"
#ifdef SOCIVANT_TEST_ON_SERVER
#include "MariaDbConnection.h"
#endif

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>
#include <sqlite3.h>
#include <thread>

// A start that refuses the register says so once, with the reason in the
// same box.
void refusedStart(const RecordingSink &sink, const QString &reason)
{
    QCOMPARE(sink.shown.size(), 1);
    const QString shown = sink.shown[0].prompt;
    QVERIFY2(shown.startsWith(QLatin1String("Impossibile connettersi al database\n\n")), qPrintable(shown));
    QVERIFY2(shown.contains(reason), qPrintable(shown));
}

class TestDatabase : public QObject {
    Q_OBJECT

private slots:
    void backEndNameIsCaseSensitive_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("expected"); // which test says yes: "S", "A", "M" or ""
        QTest::newRow("SqlLite") << "SqlLite"
                                 << "S";
        QTest::newRow("sqllite") << "sqllite"
                                 << "";
        QTest::newRow("Access") << "Access"
                                << "A";
        QTest::newRow("MySql") << "MySql"
                               << "M";
        QTest::newRow("MYSQL") << "MYSQL"
                               << "";
    }
    void backEndNameIsCaseSensitive()
    {
        QFETCH(QString, type);
        QFETCH(QString, expected);
        gDbType = type;
        QCOMPARE(QString(isSqlLite() ? "S" : "") + (isAccess() ? "A" : "") + (isMySql() ? "M" : ""), expected);
    }

    void connectionReadsRows()
    {
        TestFolder folder;
        folder.exec(
            "create table t (Id integer, Name text); insert into t values (1, 'Rossi'), (2, null);"
            "INSERT INTO Pagamenti (PagamentiID, Importo, DataPagamento) VALUES (7, 12.5, '2026-03-05 09:07:03');"
            "INSERT INTO Pagamenti (PagamentiID, Importo, DataPagamento) VALUES (8, 10, NULL);");
        const auto db = folder.otherDesk();
        auto rs = db->query("select Id as Chiave, Name from t order by Id");
        QCOMPARE(rs->fieldName(0), QStringLiteral("Chiave"));
        QCOMPARE(rs->value("chiave").toLongLong(), 1LL); // names compared without case
        QCOMPARE(rs->value("NAME").toString(), QStringLiteral("Rossi"));
        rs->moveNext();
        QVERIFY(rs->isNull(1));
        QVERIFY(!rs->value("Name").isValid());
        QCOMPARE(rs->text(1), QString());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, rs->value("Nothing"));
        rs->moveNext();
        QVERIFY(rs->eof());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, rs->value(0));

        auto none = db->query("select * from Anagrafica where 1 = 0");
        QVERIFY(none->isOpen());
        QVERIFY(none->eof());

        // Amounts and dates read alike on every back-end: numbers as numbers,
        // the date as its text, an amount without trailing zeros.
        auto pay = db->query("select PagamentiID, Importo, DataPagamento from Pagamenti order by PagamentiID");
        QCOMPARE(pay->value(0).typeId(), QMetaType::LongLong);
        QCOMPARE(pay->value(1).toDouble(), 12.5);
        QCOMPARE(pay->text(1), QStringLiteral("12.5"));
        QCOMPARE(pay->text(2), QStringLiteral("2026-03-05 09:07:03"));
        pay->moveNext();
        QCOMPARE(pay->text(1), QStringLiteral("10"));
        QVERIFY(pay->isNull(2));
    }

    void connectionRefusesASecondStatement()
    {
        TestFolder folder;
        folder.exec("create table t (x text); insert into t values ('keep');");
        const auto db = folder.otherDesk();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, db->execute("update t set x = 'a'; drop table t"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, db->query("select x from t; delete from t"));
        QCOMPARE(folder.scalar("select x from t"), QStringLiteral("keep")); // neither half ran
        QCOMPARE(db->execute("update t set x = 'b';  "), 1);
        QCOMPARE(db->execute("update t set x = 'b'"), 1); // matched, though unchanged, as on SQLite
        QCOMPARE(db->execute(""), 0);
    }

    void openDbOncePerRun()
    {
        TestFolder folder;
        RecordingSink sink;
        setAppFolder(folder.path() + QLatin1Char('/')); // no second separator
        folder.open();
        QVERIFY(isDbOpen());
        if (!TestFolder::onServer()) { // a server has no file name or path
            QCOMPARE(gDbFileName, QStringLiteral("socivant.db3"));
            QCOMPARE(gDbPath, folder.dbPath());
        }
        DbConnection *first = dbConnection();
        gDbPath = QStringLiteral("changed");
        QVERIFY(OpenDb());
        QCOMPARE(dbConnection(), first);
        QCOMPARE(gDbPath, QStringLiteral("changed"));
        QVERIFY(sink.shown.isEmpty());
    }

    void failedOpenIsReportedAndCreatesNothing()
    {
        TestFolder folder(false);
        RecordingSink sink;
        folder.open();
        QVERIFY(!isDbOpen());
        refusedStart(sink, TestFolder::onServer() ? "Unknown database" : "unable to open database file");
        QCOMPARE(sink.shown[0].style, 16);
        QVERIFY(!OpenDb()); // not tried again
        QVERIFY(!gDbExecute("create table x (a)"));
        QCOMPARE(sink.shown.size(), 2);
        QVERIFY(!folder.registerExists());
    }

    void emptyOrForeignFileIsNotARegister_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("text file") << QByteArray("name;surname\r\nRossi;Mario\r\n");
    }

    void emptyOrForeignFileIsNotARegister()
    {
        QFETCH(QByteArray, content);
        if (TestFolder::onServer())
            QSKIP("a register file of SQLite");
        TestFolder folder(false);
        RecordingSink sink;
        QFile f(folder.dbPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        folder.open();
        QVERIFY(!isDbOpen());
        refusedStart(sink, "file is not a database");
        QFile back(folder.dbPath());
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), content); // left exactly as it was
    }

    // Garbage in one page of a register: the open refuses it before any
    // statement runs, so the file stays exactly as it was.
    void damagedRegisterIsRefusedUntouched_data()
    {
        QTest::addColumn<QString>("page"); // which page gets the garbage
        QTest::addColumn<int>("bytes");    // how many bytes of it, from its middle
        QTest::newRow("member leaf page")
            << "select pageno from dbstat where name = 'Anagrafica' and pagetype = 'leaf' limit 1 offset 3" << 4096;
        QTest::newRow("member interior page")
            << "select pageno from dbstat where name = 'Anagrafica' and pagetype = 'internal'" << 4096;
        QTest::newRow("overflow page of a long note")
            << "select pageno from dbstat where name = 'Anagrafica' and pagetype = 'overflow' limit 1" << 4096;
        QTest::newRow("64 bytes inside a payment page")
            << "select pageno from dbstat where name = 'Pagamenti' and pagetype = 'leaf' limit 1 offset 1" << 64;
    }
    void damagedRegisterIsRefusedUntouched()
    {
        QFETCH(QString, page);
        QFETCH(int, bytes);
        if (TestFolder::onServer())
            QSKIP("a register file of SQLite");
        TestFolder folder;
        QString rows = QStringLiteral("BEGIN;");
        for (int i = 0; i < 600; ++i)
            rows += QStringLiteral(
                        "INSERT INTO Anagrafica (Cognome, Nome, NoteAnagrafica) VALUES ('Rossi %1', 'Anna', '%2');"
                        "INSERT INTO Pagamenti (ANAGRAFICAID, Importo, Causale) VALUES (%1, 12.5, 'Quota');")
                        .arg(i)
                        .arg(i == 7 ? QString(10000, QLatin1Char('n')) : QStringLiteral("nota"));
        folder.exec(rows + QStringLiteral("COMMIT;"));
        const int pageNo = folder.scalar(page).toInt();
        QVERIFY(pageNo > 1);
        QByteArray file = readFile(folder.dbPath());
        QRandomGenerator garbage(pageNo);
        for (int i = 0; i < bytes; ++i)
            file[qsizetype(pageNo - 1) * 4096 + (4096 - bytes) / 2 + i] = char(garbage.bounded(256));
        writeFile(folder.dbPath(), file);

        RecordingSink sink;
        folder.open();
        QVERIFY(!isDbOpen());
        refusedStart(sink, "database disk image is malformed");
        QCOMPARE(sink.shown[0].style, 16);
        QCOMPARE(readFile(folder.dbPath()), file);
        QVERIFY(!QFile::exists(folder.dbPath() + QStringLiteral("-journal")));
    }

    // Another program holding the register: the open waits for it once and
    // then gives up without writing; a lock released during the wait lets the
    // start go on as usual, start-up statements included.
    void lockedRegisterIsWaitedForOnce()
    {
        if (TestFolder::onServer())
            QSKIP("a register file of SQLite");
        const int wait = 400;
        SqliteComponent::setOpenWait(wait);
        auto restore = qScopeGuard([] { SqliteComponent::setOpenWait(SqliteComponent::kOpenWaitMs); });
        TestFolder folder;
        const QByteArray before = readFile(folder.dbPath());
        const auto holder = [&](const char *begin) {
            sqlite3 *db = nullptr;
            sqlite3_open(folder.dbPath().toUtf8().constData(), &db);
            if (sqlite3_exec(db, begin, nullptr, nullptr, nullptr) != SQLITE_OK)
                qFatal("cannot lock the register");
            return db;
        };
        for (const char *lock : {"BEGIN EXCLUSIVE", "BEGIN IMMEDIATE"}) {
            sqlite3 *other = holder(lock);
            RecordingSink sink;
            QElapsedTimer t;
            t.start();
            folder.open();
            const qint64 waited = t.elapsed();
            QVERIFY(!isDbOpen());
            refusedStart(sink, "database is locked");
            QVERIFY2(waited >= wait - 50 && waited < 4 * wait, qPrintable(QString::number(waited)));
            sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(other);
            QCOMPARE(readFile(folder.dbPath()), before);
            resetDatabase();
        }

        SqliteComponent::setOpenWait(5000);
        sqlite3 *other = holder("BEGIN EXCLUSIVE");
        std::thread release([other] {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
        });
        RecordingSink sink;
        QElapsedTimer t;
        t.start();
        folder.open();
        AggiornaDatabase();
        release.join();
        sqlite3_close(other);
        QVERIFY(isDbOpen());
        QVERIFY(t.elapsed() < 5000);
        QVERIFY(sink.shown.isEmpty());
        QCOMPARE(folder.scalar("select value from settings where mnemocode = 'NUMERLAN'"), QStringLiteral("2"));
    }

    void mySqlWithoutConfigurationFile()
    {
        TestFolder folder;
        RecordingSink sink;
        QFile::remove(folder.file("mysqlconf.ini"));
        gDbType = QStringLiteral("MySql");
        QVERIFY(!OpenDb());
        refusedStart(sink, QStringLiteral("mysqlconf.ini not found in ") + folder.path());
        QCOMPARE(sink.shown[0].style, 16);
    }

    void executeTellsWhetherTheStatementTookEffect()
    {
        TestFolder folder;
        RecordingSink sink;
        folder.open();
        int rows = -1;
        QVERIFY(gDbExecute("insert into TipologiaPersone (Tipologia) values ('Socio')", &rows));
        QCOMPARE(rows, 1);
        QVERIFY(!gDbExecute("insert into NoSuchTable values (1)"));
        QCOMPARE(sink.shown.size(), 1);
        QVERIFY(sink.shown[0].prompt.startsWith("Error "));
        QVERIFY(sink.shown[0].prompt.endsWith(TestFolder::noSuchTable("NoSuchTable")
                                              + " in procedure gDbExecute of Modulo basGeneral"));
        QCOMPARE(sink.shown[0].style, 48);
        QCOMPARE(sink.shown[0].title, QStringLiteral("Merivolo"));
        // The caller's next statement still runs; identifiers ignore case.
        QVERIFY(gDbExecute("update tipologiapersone set TIPOLOGIA = 'X'"));
        QCOMPARE(folder.scalar("select Tipologia from TipologiaPersone"), QStringLiteral("X"));
        QCOMPARE(sink.shown.size(), 1);
    }

    void quietExecuteShowsNothing()
    {
        TestFolder folder;
        RecordingSink sink;
        folder.open();
        QVERIFY(gDbExecuteQuiet("create table q (a varchar(20) primary key)"));
        QVERIFY(gDbExecuteQuiet("insert into q values ('k')"));
        QVERIFY(!gDbExecuteQuiet("insert into q values ('k')"));
        QVERIFY(!gDbExecuteQuiet("create table q (a varchar(20) primary key)"));
        QVERIFY(sink.shown.isEmpty());
        QCOMPARE(folder.scalar("select count(*) from q"), QStringLiteral("1"));
    }

    void sharedResultSet()
    {
        TestFolder folder;
        RecordingSink sink;
        folder.open();
        CloseDb(); // nothing run yet: nothing to say
        QVERIFY(gRsOpen("select 'Socio' as Tipologia"));
        QCOMPARE(rs()->value("tipologia").toString(), QStringLiteral("Socio"));
        CloseDb();
        CloseDb();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, rs());
        QVERIFY(gRsOpen("select * from TipologiaPersone"));
        QVERIFY(rs()->eof());
        CloseDb();
        QVERIFY(sink.shown.isEmpty());
        // A failed query leaves the result set as it was and is reported once.
        const auto before = gRs;
        QVERIFY(!gRsOpen("select nothing from nowhere"));
        QCOMPARE(gRs, before);
        QCOMPARE(sink.shown.size(), 1);
        QVERIFY(sink.shown[0].prompt.endsWith(") in procedure gRsOpen of Modulo basGeneral"));
        // A set held by a loop keeps its rows when a setting read inside the
        // loop runs its own query into gRs and closes it.
        gDbExecuteQuiet("create table settings (mnemocode varchar(64) primary key, value text)");
        QVERIFY(gDbExecuteQuiet("insert into settings (mnemocode, value) values ('HELD', 'x')"));
        QVERIFY(gRsOpen("select 1 union all select 2 union all select 3"));
        const std::shared_ptr<Recordset> held = rs();
        QStringList seen;
        while (!held->eof()) {
            seen << held->text(0) + getSetting("HELD");
            held->moveNext();
        }
        QCOMPARE(seen, (QStringList{"1x", "2x", "3x"}));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, rs()); // the setting's read closed gRs
    }

    void connectionStringIsReadLikeODBC()
    {
        const ServerAddress a = parseConnectionString(
            "Driver={MySQL ODBC 8.0 Unicode Driver};Server=db.local;Port=3306;Database=soci;Uid=segreteria;Pwd=x;Option=3;");
        QCOMPARE(a.host, QStringLiteral("db.local"));
        QCOMPARE(a.port, 3306u);
        QCOMPARE(a.database, QStringLiteral("soci"));
        QCOMPARE(a.user, QStringLiteral("segreteria"));
        QCOMPARE(a.password, QStringLiteral("x"));
        QCOMPARE(a.socket, QString());
        // Keys in any case, their other names, braces holding ";" and "}}",
        // blanks around, a piece without "=", no final ";".
        const ServerAddress b = parseConnectionString(
            "provider=MSDASQL; SERVER = 10.0.0.7 ;db=Soci Aurora;USER=ann;password={p;w}}d };junk;SOCKET=/run/my.sock");
        QCOMPARE(b.host, QStringLiteral("10.0.0.7"));
        QCOMPARE(b.port, 0u);
        QCOMPARE(b.database, QStringLiteral("Soci Aurora"));
        QCOMPARE(b.user, QStringLiteral("ann"));
        QCOMPARE(b.password, QStringLiteral("p;w}d "));
        QCOMPARE(b.socket, QStringLiteral("/run/my.sock"));
        QCOMPARE(parseConnectionString(QString()).database, QString());
    }

    // Two desks adding at once: each one's new key is the row it inserted,
    // and no row is lost.
    void twoDesksInterleaved()
    {
        TestFolder folder;
        RecordingSink sink;
        folder.open();
        const auto other = folder.otherDesk();
        const int rounds = 500;
        for (int i = 0; i < rounds; ++i) {
            const bool member = i % 2 == 0;
            const QString mine = member ? QStringLiteral("INSERT INTO Anagrafica (Cognome) VALUES ('Qui %1')").arg(i)
                                        : QStringLiteral("INSERT INTO Pagamenti (Causale) VALUES ('Qui %1')").arg(i);
            const QString theirs = QString(mine).replace(QLatin1String("Qui"), QLatin1String("Li"));
            QVERIFY(gDbExecute(mine));
            other->execute(theirs);
            const QString table = member ? QStringLiteral("Anagrafica") : QStringLiteral("Pagamenti");
            const QString key = member ? QStringLiteral("ANAGRAFICAID") : QStringLiteral("PagamentiID");
            const QString what = member ? QStringLiteral("Cognome") : QStringLiteral("Causale");
            const QString sql = QStringLiteral("select %1 from %2 where %3 = %4").arg(what, table, key);
            QCOMPARE(folder.scalar(sql.arg(lastInsertedKey())), QStringLiteral("Qui %1").arg(i));
            QCOMPARE(folder.scalar(sql.arg(other->lastInsertId())), QStringLiteral("Li %1").arg(i));
        }
        QCOMPARE(folder.scalar("select count(*) from Anagrafica"), QString::number(rounds));
        QCOMPARE(folder.scalar("select count(*) from Pagamenti"), QString::number(rounds));
        QVERIFY(sink.shown.isEmpty());
    }

    // What ends the start on a server: the opener's message, no connection,
    // and the register as it was.
    void serverThatCannotBeUsed_data()
    {
        QTest::addColumn<QString>("connection"); // %1: the test server's socket, %2: the register
        QTest::addColumn<QByteArray>("file");    // "mysqlconf.ini" as written; "-" for none
        QTest::addColumn<QString>("reason");     // what the one message says under the opener's words
        QTest::newRow("unreachable") << "Server=127.0.0.1;Port=1;Database=%2;Uid=root;Pwd=;" << QByteArray()
                                     << "server not reachable at 127.0.0.1:1";
        QTest::newRow("wrong password") << "Socket=%1;Database=%2;Uid=segreteria;Pwd=wrong;" << QByteArray()
                                        << "Access denied for user 'segreteria'";
        QTest::newRow("unknown database")
            << "Socket=%1;Database=nessuno;Uid=root;Pwd=;" << QByteArray() << "Unknown database 'nessuno'";
        QTest::newRow("no database named") << "Socket=%1;Uid=root;Pwd=;" << QByteArray() << "No database named";
        QTest::newRow("table names with case")
            << "Socket=%3;Database=mysql;Uid=root;Pwd=;" << QByteArray() << "lower_case_table_names=0";
        QTest::newRow("TLS asked, none offered")
            << "Socket=%1;Database=%2;Uid=root;Pwd=;SSLMODE=REQUIRED;" << QByteArray() << "TLS";
        QTest::newRow("TLS key not understood")
            << "Socket=%1;Database=%2;Uid=root;Pwd=;SSLCRL=/x.pem;" << QByteArray() << "SSLCRL";
        QTest::newRow("empty file") << QString() << QByteArray("") << "No database named";
        QTest::newRow("no file") << QString() << QByteArray("-") << "mysqlconf.ini not found in";
    }
    void serverThatCannotBeUsed()
    {
        if (!TestFolder::onServer())
            QSKIP("a server");
        QFETCH(QString, connection);
        QFETCH(QByteArray, file);
        QFETCH(QString, reason);
        TestFolder folder;
        folder.exec("CREATE USER IF NOT EXISTS 'segreteria'@'localhost' IDENTIFIED BY 'giusta';"
                    "GRANT ALL ON *.* TO 'segreteria'@'localhost';");
        const auto dropUser = qScopeGuard([&] { folder.exec("DROP USER IF EXISTS 'segreteria'@'localhost';"); });
        const QString ini = folder.file("mysqlconf.ini");
        if (file == "-")
            QFile::remove(ini);
        else if (!connection.isEmpty())
            writeFile(ini,
                      connection.replace("%1", TestFolder::serverSocket())
                          .replace("%2", parseConnectionString(folder.connectionString()).database)
                          .replace("%3", TestFolder::caseSensitiveServerSocket())
                          .toUtf8());
        else
            writeFile(ini, file);
        RecordingSink sink;
        folder.open();
        QVERIFY(!isDbOpen());
        refusedStart(sink, reason);
        QCOMPARE(sink.shown.last().style, 16);
        QVERIFY(!gDbExecute("insert into TipologiaPersone (Tipologia) values ('x')"));
        QCOMPARE(folder.scalar("select count(*) from TipologiaPersone"), QStringLiteral("0"));
        QCOMPARE(folder.scalar("select count(*) from information_schema.tables where table_name = 'settings'"
                               " and table_schema = database()"),
                 QStringLiteral("0"));
    }

    // A lost session (the server restarted, the network dropped) fails the
    // statement that meets it, once; the next statement connects again. A
    // statement is never sent twice, and a transaction the loss undid stays
    // undone.
    void lostConnectionFailsOnceThenReconnects()
    {
#ifndef SOCIVANT_TEST_ON_SERVER
        QSKIP("a server");
#else
        TestFolder folder;
        RecordingSink sink;
        folder.open();
        const auto endSession = [&] {
            folder.exec(QStringLiteral("KILL %1;").arg(static_cast<MariaDbConnection *>(dbConnection())->sessionId()));
        };
        QVERIFY(gDbExecute("insert into TipologiaPersone (Tipologia) values ('prima')"));
        endSession();
        QVERIFY(!gDbExecute("insert into TipologiaPersone (Tipologia) values ('persa')"));
        QCOMPARE(sink.shown.size(), 1);
        QVERIFY(sink.shown[0].prompt.endsWith(") in procedure gDbExecute of Modulo basGeneral"));
        QCOMPARE(sink.shown[0].style, 48);
        QVERIFY(gDbExecute("insert into TipologiaPersone (Tipologia) values ('dopo')"));
        QCOMPARE(folder.scalar("select group_concat(Tipologia order by TIPOLOGIAID) from TipologiaPersone"),
                 QStringLiteral("prima,dopo"));

        // Lost inside a transaction: the rest of it is not sent, nothing of it stays.
        const bool saved = inTransaction([&] {
            if (!gDbExecute("insert into TipologiaPersone (Tipologia) values ('a metà')"))
                return false;
            endSession();
            return gDbExecute("insert into Anagrafica (Cognome) values ('mai')");
        });
        QVERIFY(!saved);
        QCOMPARE(folder.scalar("select count(*) from TipologiaPersone"), QStringLiteral("2"));
        QCOMPARE(folder.scalar("select count(*) from Anagrafica"), QStringLiteral("0"));
        QVERIFY(gRsOpen("select count(*) as n from TipologiaPersone"));
        QCOMPARE(rs()->text(0), QStringLiteral("2"));
        CloseDb();

        // Lost while a query's rows are being read: the read fails, the
        // next query connects again.
        const int before = sink.shown.size();
        QVERIFY(gRsOpen("select Tipologia from TipologiaPersone"));
        endSession();
        QVERIFY(!gRsOpen("select count(*) from TipologiaPersone"));
        QCOMPARE(sink.shown.size(), before + 1);
        QVERIFY(gRsOpen("select count(*) from TipologiaPersone"));
        QCOMPARE(rs()->text(0), QStringLiteral("2"));
        CloseDb();
#endif
    }

    // A server that keeps a change waiting (another desk's lock, a stopped
    // server) ends the wait at the time limit with a message that says the
    // change's outcome is unknown; the program never sends it again, and the
    // next statement works.
    void aWaitOnTheServerEndsAtItsTimeLimit()
    {
#ifndef SOCIVANT_TEST_ON_SERVER
        QSKIP("a server");
#else
        MariaDbConnection::setTimeLimit(1);
        const auto restore = qScopeGuard([] { MariaDbConnection::setTimeLimit(MariaDbConnection::kTimeLimitSeconds); });
        TestFolder folder;
        folder.exec("insert into TipologiaPersone (TIPOLOGIAID, Tipologia) values (1, 'Socio')");
        RecordingSink sink;
        folder.open();
        QStringList sent;
        dbConnection()->setObserver([&](const QString &sql) { sent << sql; });
        const auto otherDesk = folder.otherDesk();
        otherDesk->execute("BEGIN");
        otherDesk->execute("UPDATE TipologiaPersone SET Tipologia = 'Altro' WHERE TIPOLOGIAID = 1");
        QElapsedTimer t;
        t.start();
        const QString change = QStringLiteral("UPDATE TipologiaPersone SET Tipologia = 'Mio' WHERE TIPOLOGIAID = 1");
        QVERIFY(!gDbExecute(change));
        QVERIFY2(t.elapsed() < 10000, qPrintable(QString::number(t.elapsed())));
        QCOMPARE(sink.shown.size(), 1);
        QVERIFY2(sink.shown[0].prompt.contains(QLatin1String("outcome of the statement is unknown")),
                 qPrintable(sink.shown[0].prompt));
        otherDesk->execute("ROLLBACK");
        QVERIFY(gRsOpen("select count(*) from TipologiaPersone"));
        CloseDb();
        QCOMPARE(sent.count(change), 1);
        QCOMPARE(sink.shown.size(), 1);
#endif
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
