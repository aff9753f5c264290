// Settings, the statements run at every start, the replayed statement file
// and the procedure trace log.
#include "AppFolder.h"
#include "Clock.h"
#include "Database.h"
#include "Globals.h"
#include "Settings.h"
#include "TestFolder.h"
#include "Trace.h"

#include <QFile>
#include <QtTest>
#include <unistd.h>

namespace {
// What a start of the program does before its windows: the data part of the
// main window's load sequence.
void start()
{
    resetDatabase();
    resetStartupList();
    gDbType = QStringLiteral(SOCIVANT_DB_TYPE);
    aggiornaFaseUpdate(0);
    OpenDb();
    AggiornaDatabase();
    AggiornaReportistica();
}

void setToday(const QDate &d)
{
    setClock([d] { return QDateTime(d, QTime(10, 0, 0)); });
}

// The message box traces its own entry, as the real one does: a log that
// cannot be written must not be tried again from inside its own report.
class TracingSink : public RecordingSink {
public:
    int myMsgBox(const QString &prompt, int buttons, const QString &title) override
    {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        traceProcedure(QStringLiteral("basRegistering"), QStringLiteral("MyMsgBox"));
        const int r = RecordingSink::myMsgBox(prompt, buttons, title);
        --depth;
        return r;
    }
    int depth = 0;
    int maxDepth = 0;
};
} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void firstAndSecondStart()
    {
        TestFolder folder;
        RecordingSink sink;
        setToday(QDate(2026, 1, 10));
        start();
        QCOMPARE(folder.scalar("select count(*) from settings"), QStringLiteral("6"));
        QCOMPARE(getSetting("PRIMOLAN"), QStringLiteral("10/01/2026"));
        QCOMPARE(getSetting("INTESTAZ"), QStringLiteral("Associazione"));
        QCOMPARE(getSetting("PRTCSIZE"), QStringLiteral("7"));
        QCOMPARE(getSetting("ULTIMLAN"), QStringLiteral("10/01/2026"));
        QCOMPARE(getSetting("NUMERLAN"), QStringLiteral("2"));
        QCOMPARE(getSetting("LOGSTATUS"), QStringLiteral("OFF"));
        QCOMPARE(gUpdatePhase, short(0));
        AggiornaDatabase(); // once per run
        QCOMPARE(getSetting("NUMERLAN"), QStringLiteral("2"));

        folder.exec("update settings set value = 'Circolo dell''Arte' where mnemocode = 'INTESTAZ';"
                    "update settings set value = '9' where mnemocode = 'PRTCSIZE'");
        setToday(QDate(2026, 2, 20));
        start();
        QCOMPARE(getSetting("NUMERLAN"), QStringLiteral("3"));
        QCOMPARE(getSetting("PRIMOLAN"), QStringLiteral("10/01/2026"));
        QCOMPARE(getSetting("ULTIMLAN"), QStringLiteral("20/02/2026"));
        QCOMPARE(getSetting("INTESTAZ"), QStringLiteral("Circolo dell'Arte"));
        QCOMPARE(getSetting("PRTCSIZE"), QStringLiteral("9"));
        QCOMPARE(folder.scalar("select count(*) from settings"), QStringLiteral("6"));
        // The rejected CREATE and INSERTs of the later start are expected.
        QVERIFY2(sink.shown.isEmpty(), qPrintable(sink.prompts().join('\n')));
    }

    void startupListHoldsThirtyStatements()
    {
        TestFolder folder;
        RecordingSink sink;
        inizializzaAggiornamentiDatabase();
        for (int i = 10; i <= 31; ++i)
            aggiungiAggiornamentoDatabase(QStringLiteral("select %1").arg(i));
        QCOMPARE(gUpgradeCount, short(30));
        QCOMPARE(gUpgradeStatements.at(30), QStringLiteral("select 30"));
        QCOMPARE(sink.shown.size(), 1);
        QCOMPARE(sink.shown[0].prompt,
                 QStringLiteral("Error 9 (Subscript out of range) in procedure aggiungiAggiornamentoDatabase of Modulo "
                                "basAggiornamentiDatabase"));
    }

    // A register made before the schema had its indexes gets every one of
    // them at its next start, and the same set as a new register.
    void anOlderRegisterGetsTheIndexesOfTheSchema()
    {
        if (TestFolder::onServer())
            QSKIP("registers made before the indexes are SQLite files");
        TestFolder folder;
        RecordingSink sink;
        const QString names = QStringLiteral("select group_concat(name, ',') from (select name from sqlite_master "
                                             "where type = 'index' and sql is not null order by name)");
        const QString shipped = folder.scalar(names);
        QVERIFY(shipped.contains(QLatin1String("PagamentiAnagrafica")));
        const QStringList dropped = shipped.split(QLatin1Char(','));
        for (const QString &index : dropped)
            folder.exec(QStringLiteral("drop index ") + index);
        QCOMPARE(folder.scalar(names), QString());
        start();
        QCOMPARE(folder.scalar(names), shipped);
        start();
        QCOMPARE(folder.scalar(names), shipped);
        QVERIFY2(sink.shown.isEmpty(), qPrintable(sink.prompts().join('\n')));
    }

    void getSettingEdgeCases()
    {
        TestFolder folder;
        RecordingSink sink;
        start();
        QCOMPARE(getSetting("NOSUCHKEY"), QString());
        writeFile(folder.file("probe.txt"), "");
        QVERIFY(FileExists(folder.file("probe.txt")));
        QVERIFY(!FileExists(folder.path()));
        QVERIFY(sink.shown.isEmpty());
        folder.exec("insert into settings values ('NULLKEY', null)");
        QCOMPARE(getSetting("NULLKEY"), QString());
        QCOMPARE(sink.prompts(),
                 QStringList{"Error 94 (Invalid use of Null) in procedure getSetting of Modulo basGeneralCustom"});
        QVERIFY(!gRs->isOpen());
    }

    void statementFileIsReplayedAtEveryStart()
    {
        TestFolder folder;
        RecordingSink sink;
        writeFile(folder.file("nuovireport.sql"),
                  "insert into reportistica (ordine, titolo) values (1, 'Primo')\r\n"
                  "insert into NoSuchTable values (1)\n"
                  "insert into reportistica (ordine, titolo) values (2, 'Dopo l''errore')\n"
                  "\n");
        start();
        QCOMPARE(folder.scalar("select count(*) from reportistica"), QStringLiteral("2"));
        QCOMPARE(folder.scalar("select titolo from reportistica where ordine = 2"), QStringLiteral("Dopo l'errore"));
        // The failing line is reported; the empty last line is an empty statement.
        QCOMPARE(sink.shown.size(), 1);
        QVERIFY(sink.shown[0].prompt.endsWith(TestFolder::noSuchTable("NoSuchTable")
                                              + " in procedure gDbExecute of Modulo basGeneral"));
        start();
        QCOMPARE(folder.scalar("select count(*) from reportistica"), QStringLiteral("4"));
        QCOMPARE(sink.shown.size(), 2);
        QVERIFY(QFile::exists(folder.file("nuovireport.sql")));
    }

    void traceLogLines()
    {
        TestFolder folder;
        setClock([] { return QDateTime(QDate(2026, 3, 5), QTime(21, 7, 3)); });
        gLogStatus = QStringLiteral("ON");
        traceProcedure("frmMain", "cmdBackup_Click");
        traceProcedure("basGeneral", "OpenDb");
        QCOMPARE(gCurrentProc, QStringLiteral("basGeneral::OpenDb"));
        QCOMPARE(readFile(folder.file("merivolo3.log")),
                 QByteArray("[05/03/2026 - 21:07:03] frmMain::cmdBackup_Click\r\n"
                            "[05/03/2026 - 21:07:03] basGeneral::OpenDb\r\n"));
        // Appended to, never truncated.
        traceProcedure("frmAbout", "Form_Load");
        QVERIFY(readFile(folder.file("merivolo3.log")).endsWith("] frmAbout::Form_Load\r\n"));
        QCOMPARE(readFile(folder.file("merivolo3.log")).count('\n'), 3);
    }

    void traceLogNeedsOnExactly_data()
    {
        QTest::addColumn<QString>("status");
        QTest::newRow("on") << "on";
        QTest::newRow("On") << "On";
        QTest::newRow("ON with blank") << "ON ";
        QTest::newRow("OFF") << "OFF";
        QTest::newRow("empty") << "";
    }
    void traceLogNeedsOnExactly()
    {
        QFETCH(QString, status);
        TestFolder folder;
        gLogStatus = status;
        traceProcedure("frmMain", "cmdBackup_Click");
        addToLog("direct");
        QCOMPARE(gCurrentProc, QStringLiteral("frmMain::cmdBackup_Click"));
        QVERIFY(!QFile::exists(folder.file("merivolo3.log")));
    }

    void unwritableLogIsReportedOnceWithoutRecursion()
    {
        TestFolder folder;
        TracingSink sink;
        // A folder where the log file should be: no user, root included, can
        // open it for appending.
        QVERIFY(QDir().mkdir(folder.file("merivolo3.log")));
        gLogStatus = QStringLiteral("ON");
        traceProcedure("frmMain", "Form_Activate");
        traceProcedure("frmMain", "cmdBackup_Click");
        traceProcedure("basGeneral", "OpenDb");
        QCOMPARE(sink.shown.size(), 1);
        QCOMPARE(sink.maxDepth, 1);
        QVERIFY(sink.shown[0].prompt.startsWith("Error 75 ("));
        QVERIFY(sink.shown[0].prompt.endsWith(") in procedure addToLog of Modulo basGeneralCustom"));
        QCOMPARE(sink.shown[0].style, 48);
        // The program goes on: the procedure is still recorded.
        QCOMPARE(gCurrentProc, QStringLiteral("basGeneral::OpenDb"));
    }

    void readOnlyFolderForTheLog()
    {
        TestFolder folder;
        TracingSink sink;
        const QString dir = folder.file("ro");
        QVERIFY(QDir().mkdir(dir));
        QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner));
        if (::access(QFile::encodeName(dir).constData(), W_OK) == 0) {
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QSKIP("this user can write into read-only folders");
        }
        setAppFolder(dir);
        gLogStatus = QStringLiteral("ON");
        traceProcedure("frmMain", "Form_Activate");
        traceProcedure("frmMain", "cmdInfo_Click");
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(sink.shown.size(), 1);
        QCOMPARE(sink.maxDepth, 1);
        QVERIFY(!QFile::exists(dir + "/merivolo3.log"));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
