// The Italian edition's data layer: its register file, its flag words and
// its check of postal and bank codes.
#include "AppFolder.h"
#include "Database.h"
#include "Globals.h"
#include "SqlText.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class TestItalianCore : public QObject {
    Q_OBJECT

private slots:
    void init() { gDbType = QStringLiteral("SqlLite"); }

    void theRegisterIsMerivolo()
    {
        if (TestFolder::onServer())
            QSKIP("a register file of SQLite");
        {
            TestFolder folder;
            RecordingSink sink;
            folder.open();
            QVERIFY(isDbOpen());
            QCOMPARE(gDbFileName, QStringLiteral("merivolo.db3"));
            QCOMPARE(gDbPath, QDir(folder.path()).filePath(QStringLiteral("merivolo.db3")));
            QVERIFY(sink.shown.isEmpty());
        }
        // The English edition's register beside the program is not this
        // edition's: the start fails and nothing is created.
        TestFolder folder;
        QVERIFY(QFile::rename(folder.dbPath(), folder.file(QStringLiteral("socivant.db3"))));
        RecordingSink sink;
        folder.open();
        QVERIFY(!isDbOpen());
        QCOMPARE(sink.shown.size(), 1);
        QVERIFY(sink.prompts()[0].startsWith(QLatin1String("Impossibile connettersi al database\n\n")));
        QVERIFY(sink.prompts()[0].contains(QLatin1String("merivolo.db3: error 14")));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"socivant.db3"});
    }

    void flagsAreVeroAndFalso_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("-1") << QVariant(-1) << "Vero";
        QTest::newRow("1") << QVariant(1) << "Vero";
        QTest::newRow("0") << QVariant(0) << "Falso";
        QTest::newRow("text 0") << QVariant(QStringLiteral("0")) << "Falso";
        QTest::newRow("text True") << QVariant(QStringLiteral("True")) << "Vero";
        QTest::newRow("0.4 rounds to 0") << QVariant(0.4) << "Falso";
    }
    void flagsAreVeroAndFalso()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        RecordingSink sink;
        QCOMPARE(BooleanToString(value), expected);
        QVERIFY(sink.shown.isEmpty());
        // The search windows still write the database's own words.
        QCOMPARE(wrapbooleanchk(1), QStringLiteral("True"));
    }

    void codesOfFiveDigits_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        const QString shortCap = QStringLiteral("Lunghezza del codice CAP non valida");
        const QString badAbi = QStringLiteral("Il codice ABI contiene caratteri non validi");
        QTest::newRow("00123") << "00123"
                               << "CAP"
                               << "";
        QTest::newRow("99999") << "99999"
                               << "CAP"
                               << "";
        QTest::newRow("0123") << "0123"
                              << "CAP" << shortCap;
        QTest::newRow("123456") << "123456"
                                << "CAP" << shortCap;
        QTest::newRow("empty") << ""
                               << "CAP" << shortCap;
        QTest::newRow("12a45") << "12a45"
                               << "ABI" << badAbi;
        QTest::newRow("a blank") << "1234 "
                                 << "ABI" << badAbi;
        QTest::newRow("'/' below '0'") << "/1234"
                                       << "ABI" << badAbi;
        QTest::newRow("':' above '9'") << "1234:"
                                       << "ABI" << badAbi;
        QTest::newRow("other digits") << QString::fromUtf8("١٢٣٤٥") << "ABI" << badAbi;
        QTest::newRow("the field's own name") << "1.234"
                                              << "di avviamento postale"
                                              << "Il codice di avviamento postale contiene caratteri non validi";
    }
    void codesOfFiveDigits()
    {
        QFETCH(QString, code);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(checkABICAB(code, name), expected);
    }
};

QTEST_GUILESS_MAIN(TestItalianCore)
#include "test_core.moc"
