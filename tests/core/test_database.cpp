// The SQLite component and the data-access layer over it: one connection per
// run, one shared result set, statements that report their own failures.
#include "AppFolder.h"
#include "Database.h"
#include "Globals.h"
#include "RuntimeError.h"
#include "Settings.h"
#include "SqliteComponent.h"
#include "TestFolder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QtTest>
#include <sqlite3.h>
#include <thread>

class TestDatabase : public QObject {
    Q_OBJECT

private slots:
    void backEndNameIsCaseSensitive_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("expected"); // which test says yes: "S", "A", "M" or ""
        QTest::newRow("SqlLite") << "SqlLite" << "S";
        QTest::newRow("sqllite") << "sqllite" << "";
        QTest::newRow("Access") << "Access" << "A";
        QTest::newRow("MySql") << "MySql" << "M";
        QTest::newRow("MYSQL") << "MYSQL" << "";
    }
    void backEndNameIsCaseSensitive()
    {
        QFETCH(QString, type);
        QFETCH(QString, expected);
        gDbType = type;
        QCOMPARE(QString(isSqlLite() ? "S" : "") + (isAccess() ? "A" : "") + (isMySql() ? "M" : ""), expected);
    }

    void componentReadsRows()
    {
        TestFolder folder;
        folder.exec("create table t (Id integer, Name text); insert into t values (1, 'Rossi'), (2, null);");
        SqliteComponent db;
        db.open(folder.dbPath());
        auto rs = db.query("select Id as Chiave, Name from t order by Id");
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

        auto none = db.query("select * from Anagrafica where 1 = 0");
        QVERIFY(none->isOpen());
        QVERIFY(none->eof());
    }

    void componentRefusesASecondStatement()
    {
        TestFolder folder;
        folder.exec("create table t (x text); insert into t values ('keep');");
        SqliteComponent db;
        db.open(folder.dbPath());
        QVERIFY_THROWS_EXCEPTION(RuntimeError, db.execute("update t set x = 'a'; drop table t"));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, db.query("select x from t; delete from t"));
        QCOMPARE(folder.scalar("select x from t"), QStringLiteral("keep")); // neither half ran
        QCOMPARE(db.execute("update t set x = 'b';  "), 1);
        QCOMPARE(db.execute(""), 0);
    }

    void openDbOncePerRun()
    {
        TestFolder folder;
        RecordingSink sink;
        setAppFolder(folder.path() + QLatin1Char('/')); // no second separator
        folder.open();
        QVERIFY(isDbOpen());
        QCOMPARE(gDbFileName, QStringLiteral("socivant.db3"));
        QCOMPARE(gDbPath, folder.dbPath());
        SqliteComponent *first = sqliteDb();
        gDbPath = QStringLiteral("changed");
        QVERIFY(OpenDb());
        QCOMPARE(sqliteDb(), first);
        QCOMPARE(gDbPath, QStringLiteral("changed"));
        QVERIFY(sink.shown.isEmpty());
    }

    void failedOpenIsReportedAndCreatesNothing()
    {
        TestFolder folder(false);
        RecordingSink sink;
        folder.open();
        QVERIFY(!isDbOpen());
        QCOMPARE(sink.prompts(), QStringList{"Impossibile connettersi al database"});
        QCOMPARE(sink.shown[0].style, 16);
        QVERIFY(!OpenDb()); // not tried again
        QVERIFY(!gDbExecute("create table x (a)"));
        QCOMPARE(sink.shown.size(), 2);
        QVERIFY(!QFile::exists(folder.dbPath()));
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
        TestFolder folder(false);
        RecordingSink sink;
        QFile f(folder.dbPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        folder.open();
        QVERIFY(!isDbOpen());
        QCOMPARE(sink.prompts(), QStringList{"Impossibile connettersi al database"});
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
        QTest::newRow("member leaf page") << "select pageno from dbstat where name = 'Anagrafica' and pagetype = 'leaf' limit 1 offset 3" << 4096;
        QTest::newRow("member interior page") << "select pageno from dbstat where name = 'Anagrafica' and pagetype = 'internal'" << 4096;
        QTest::newRow("overflow page of a long note") << "select pageno from dbstat where name = 'Anagrafica' and pagetype = 'overflow' limit 1" << 4096;
        QTest::newRow("64 bytes inside a payment page") << "select pageno from dbstat where name = 'Pagamenti' and pagetype = 'leaf' limit 1 offset 1" << 64;
    }
    void damagedRegisterIsRefusedUntouched()
    {
        QFETCH(QString, page);
        QFETCH(int, bytes);
        TestFolder folder;
        QString rows = QStringLiteral("BEGIN;");
        for (int i = 0; i < 600; ++i)
            rows += QStringLiteral("INSERT INTO Anagrafica (Cognome, Nome, NoteAnagrafica) VALUES ('Rossi %1', 'Anna', '%2');"
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
        QCOMPARE(sink.prompts(), QStringList{"Impossibile connettersi al database"});
        QCOMPARE(sink.shown[0].style, 16);
        QCOMPARE(readFile(folder.dbPath()), file);
        QVERIFY(!QFile::exists(folder.dbPath() + QStringLiteral("-journal")));
    }

    // Another program holding the register: the open waits for it once and
    // then gives up without writing; a lock released during the wait lets the
    // start go on as usual, start-up statements included.
    void lockedRegisterIsWaitedForOnce()
    {
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
            QCOMPARE(sink.prompts(), QStringList{"Impossibile connettersi al database"});
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
        gDbType = QStringLiteral("MySql");
        QVERIFY(!OpenDb());
        QCOMPARE(sink.shown.size(), 2);
        QVERIFY(sink.prompts()[0].endsWith(") in procedure getMySqlConnectionString of Modulo basGeneral"));
        QCOMPARE(sink.prompts()[1], QStringLiteral("Impossibile connettersi al database"));
        QCOMPARE(sink.shown[1].style, 16);
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
        QVERIFY(sink.shown[0].prompt.endsWith("(no such table: NoSuchTable) in procedure gDbExecute of Modulo basGeneral"));
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
        QVERIFY(gDbExecuteQuiet("create table q (a text primary key)"));
        QVERIFY(gDbExecuteQuiet("insert into q values ('k')"));
        QVERIFY(!gDbExecuteQuiet("insert into q values ('k')"));
        QVERIFY(!gDbExecuteQuiet("create table q (a text primary key)"));
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
        QCOMPARE(rs().value("tipologia").toString(), QStringLiteral("Socio"));
        CloseDb();
        CloseDb();
        QVERIFY_THROWS_EXCEPTION(RuntimeError, rs());
        QVERIFY(gRsOpen("select * from TipologiaPersone"));
        QVERIFY(rs().eof());
        CloseDb();
        QVERIFY(sink.shown.isEmpty());
        // A failed query leaves the result set as it was and is reported once.
        const auto before = gRs;
        QVERIFY(!gRsOpen("select nothing from nowhere"));
        QCOMPARE(gRs, before);
        QCOMPARE(sink.shown.size(), 1);
        QVERIFY(sink.shown[0].prompt.endsWith(") in procedure gRsOpen of Modulo basGeneral"));
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
