// Values made safe and right for SQL text, and the regional number and date
// rules they rely on.
#include "Database.h"
#include "Globals.h"
#include "Regional.h"
#include "RuntimeError.h"
#include "SqlText.h"
#include "TestFolder.h"

#include <QtTest>
#include <cstring>

class TestSqlText : public QObject {
    Q_OBJECT

private slots:
    void init() { gDbType = QStringLiteral("SqlLite"); }

    void textHelpers_data()
    {
        QTest::addColumn<QString>("routine");
        QTest::addColumn<QVariant>("input");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("error"); // number of the reported error, 0: none
        auto row = [](const char *name, const char *routine, const QVariant &in, const char *out, int err = 0) {
            QTest::newRow(name) << QString::fromLatin1(routine) << in << QString::fromUtf8(out) << err;
        };
        row("Pad quote", "Pad", "O'Neil", "O''Neil");
        row("Pad empty", "Pad", "", "");
        row("Pad Null", "Pad", QVariant(), "", 94);
        row("ticks a,b", "PutTicksIn", "a,b", "'a', 'b'");
        row("ticks a, b", "PutTicksIn", "a, b", "'a', 'b'");
        row("ticks one", "PutTicksIn", "a", "'a'");
        row("ticks trailing comma", "PutTicksIn", "a,", "'a', ''");
        row("ticks Null", "PutTicksIn", QVariant(), "", 94);
        row("Punto comma", "Punto", "1234,56", "1234.56");
        row("Punto thousands point stays", "Punto", "1.234,56", "1.234.56");
        row("Punto Null", "Punto", QVariant(), "", 94);
        row("flag -1", "BooleanToString", -1, "True");
        row("flag 1", "BooleanToString", 1, "True");
        row("flag 0", "BooleanToString", 0, "False");
        row("flag text 0", "BooleanToString", "0", "False");
        row("flag Null", "BooleanToString", QVariant(), "", 94);
        row("date and time", "FormattaData", QDateTime(QDate(2011, 3, 5), QTime(9, 7, 3)), "2011-03-05 09:07:03");
        row("date", "FormattaData", QDate(2011, 3, 5), "2011-03-05 00:00:00");
        row("typed day first", "FormattaData", "5/3/2011", "2011-03-05 00:00:00");
        row("typed short year", "FormattaData", "31.12.99", "1999-12-31 00:00:00");
        row("typed with time", "FormattaData", "05-03-11 21:07:03", "2011-03-05 21:07:03");
        row("ISO", "FormattaData", "2011-03-05 09:07:03", "2011-03-05 09:07:03");
        row("31 February", "FormattaData", "31/02/2011", "", 13);
        row("month 13", "FormattaData", "01/13/2011", "", 13);
        row("mixed separators", "FormattaData", "05/03-2011", "", 13);
        row("word", "FormattaData", "ieri", "", 13);
        row("date Null", "FormattaData", QVariant(), "", 94);
    }
    void textHelpers()
    {
        QFETCH(QString, routine);
        QFETCH(QVariant, input);
        QFETCH(QString, expected);
        QFETCH(int, error);
        RecordingSink sink;
        QString got = QStringLiteral("?");
        if (routine == QLatin1String("Pad"))
            got = Pad(input);
        else if (routine == QLatin1String("PutTicksIn"))
            got = PutTicksIn(input);
        else if (routine == QLatin1String("Punto"))
            got = Punto(input);
        else if (routine == QLatin1String("BooleanToString"))
            got = BooleanToString(input);
        else
            got = FormattaData(input);
        QCOMPARE(got, expected);
        if (!error) {
            QVERIFY(sink.shown.isEmpty());
            return;
        }
        QCOMPARE(sink.shown.size(), 1);
        QVERIFY(sink.shown[0].prompt.startsWith(QStringLiteral("Error %1 (").arg(error)));
        QVERIFY(sink.shown[0].prompt.contains(") in procedure " + routine + " of Modulo bas"));
    }

    void stringReplaceScansOnAfterTheReplacement()
    {
        QCOMPARE(StringReplace("aXbxc", "x", "-"), QStringLiteral("a-b-c"));
        QCOMPARE(StringReplace("aa", "a", "aa"), QStringLiteral("aaaa"));
        QCOMPARE(StringReplace("a   b", "  ", " "), QStringLiteral("a  b"));
    }

    void flagsOfCheckBoxes()
    {
        QCOMPARE(wrapbooleanchk(1), QStringLiteral("True"));
        QCOMPARE(wrapbooleanchk(0), QStringLiteral("False"));
        QCOMPARE(wrapbooleanchk(2), QStringLiteral("False"));
    }

    void concatSqlPerBackEnd_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("expected");
        QTest::newRow("SqlLite") << "SqlLite"
                                 << " (ifnull(a.Cognome,'') || ifnull(' ','') || ifnull(a.Nome,'')) ";
        QTest::newRow("MySql") << "MySql"
                               << " concat(ifnull(a.Cognome,''),ifnull(' ',''),ifnull(a.Nome,'')) ";
        QTest::newRow("Access") << "Access"
                                << " a.Cognome & ' ' & a.Nome ";
        QTest::newRow("other") << "sqlite"
                               << "";
    }
    void concatSqlPerBackEnd()
    {
        QFETCH(QString, type);
        QFETCH(QString, expected);
        gDbType = type;
        QCOMPARE(concatSql("a.Cognome", "' '", "a.Nome"), expected);
    }

    void existenceQueryText()
    {
        const QString head = QStringLiteral("select count(*) as conteggio from Anagrafica where NumeroTessera = ");
        QCOMPARE(esisteRecordQuery("Anagrafica", "NumeroTessera", "A'1", "S", "ANAGRAFICAID", 12),
                 head + "'A''1'  and ANAGRAFICAID <>12");
        QCOMPARE(esisteRecordQuery("Anagrafica", "NumeroTessera", "A'1", "S", "", 12), head + "'A''1'");
        QCOMPARE(esisteRecordQuery("Anagrafica", "NumeroTessera", 7, "N", "", ""), head + "7");
    }

    void existenceAgainstTheDatabase()
    {
        TestFolder folder;
        RecordingSink sink;
        folder.open();
        folder.exec("insert into TipologiaPersone (TIPOLOGIAID, Tipologia) values (3, 'D''Amico'), (4, 'Altro')");
        QCOMPARE(esisteRecord("TipologiaPersone", "Tipologia", "D'Amico", "S", "", ""), Exists::Yes);
        QCOMPARE(esisteRecord("TipologiaPersone", "Tipologia", "D'Amico", "S", "TIPOLOGIAID", 3), Exists::No);
        QCOMPARE(esisteRecord("TipologiaPersone", "TIPOLOGIAID", 4, "N", "", ""), Exists::Yes);
        QCOMPARE(esisteRecordSQL("select count(*) as CONTEGGIO from TipologiaPersone where 1 = 0"), Exists::No);
        QVERIFY(sink.shown.isEmpty());
        QVERIFY(!gRs->isOpen());

        // A failed query is not an answer: the caller must not read "no row".
        QCOMPARE(esisteRecord("NoSuchTable", "x", "1", "S", "", ""), Exists::CouldNotTell);
        // One failure, one message: no follow-on of the query's own.
        QCOMPARE(sink.shown.size(), 1);
        QVERIFY(sink.shown[0].prompt.endsWith("in procedure gRsOpen of Modulo basGeneral"));
        QCOMPARE(esisteRecordSQL("select count(*) as n from TipologiaPersone"), Exists::CouldNotTell);
        QCOMPARE(sink.shown.size(), 2);
    }

    // The same rules on every back-end: duplicates compare exactly, and an
    // amount is one each stores exactly or is refused.
    void backEndsCompareAndStoreAlike()
    {
        TestFolder folder;
        RecordingSink sink;
        folder.open();
        folder.exec("insert into TipologiaPersone (TIPOLOGIAID, Tipologia) values (1, 'Socio ordinario')");
        QCOMPARE(esisteRecord("TipologiaPersone", "Tipologia", "SOCIO ORDINARIO", "S", "", ""), Exists::No);
        QCOMPARE(esisteRecord("TipologiaPersone", "Tipologia", "Socio ordinario", "S", "", ""), Exists::Yes);
        for (const char *refused : {"10,555", "1.000.000.000.000", "-1.000.000.000.000", "0,001"})
            QVERIFY2(!isStorableAmount(QString::fromLatin1(refused)), refused);
        for (const char *kept : {"999.999.999.999,99", "-999999999999,99", "10,55", "0,1", "7"}) {
            QVERIFY2(isStorableAmount(QString::fromLatin1(kept)), kept);
            QVERIFY(gDbExecute(QStringLiteral("insert into Pagamenti (Importo) values (%1)")
                                   .arg(Regional::amountSql(QString::fromLatin1(kept)))));
        }
        QCOMPARE(folder.rows("select Importo from Pagamenti order by PagamentiID"),
                 QStringList({"999999999999.99", "-999999999999.99", "10.55", "0.1", "7"}));
        QVERIFY(sink.shown.isEmpty());
    }

    void parseNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("value"); // invalid: not a number
        QTest::newRow("decimal comma") << "12,50" << QVariant(12.5);
        QTest::newRow("decimal point") << "12.5" << QVariant(12.5);
        QTest::newRow("grouped") << "1.234,56" << QVariant(1234.56);
        QTest::newRow("negative") << "-3" << QVariant(-3.0);
        QTest::newRow("exponent") << "1e3" << QVariant(1000.0);
        QTest::newRow("empty") << "" << QVariant();
        QTest::newRow("word") << "abc" << QVariant();
        QTest::newRow("misplaced point") << "12.34.5" << QVariant();
    }
    void parseNumber()
    {
        QFETCH(QString, text);
        QFETCH(QVariant, value);
        const auto v = Regional::parseNumber(text);
        QCOMPARE(v.has_value(), value.isValid());
        if (v)
            QCOMPARE(*v, value.toDouble());
    }

    // The lists' sorts read numbers off the cells' bytes: the same answer, to
    // the bit, as reading the text, whatever surrounds or breaks the number.
    void shownNumberFromBytesAnswersAsFromText()
    {
        const QList<QByteArray> texts{"1.234,50 \xE2\x82\xAC",
                                      " 12 ",
                                      "12\xE2\x82\xAC",
                                      "12 \xE2\x82\xAC \xE2\x82\xAC",
                                      "\xE2\x82\xAC",
                                      "-0",
                                      "+,5",
                                      "5.",
                                      ".",
                                      "1.234,",
                                      "1.234",
                                      "1,234",
                                      "12.34.5",
                                      "1e3",
                                      "1E-3",
                                      "1e400",
                                      "0.1",
                                      "123456789012345",
                                      "1234567890123456",
                                      "00000000000000012",
                                      "1 2",
                                      "\t7\n",
                                      "\xC2\xA0"
                                      "7",
                                      "7\xC2\xA0\xE2\x82\xAC",
                                      "7\xE2\x80\x83",
                                      "\xEF\xBB\xBF"
                                      "7",
                                      "\xFF"
                                      "7",
                                      "7\xE2\x82",
                                      "1940-01-01",
                                      "12/03/1980",
                                      "Rossi",
                                      "e",
                                      "-",
                                      "+-1",
                                      "1,5e2",
                                      "\xD9\xA3",
                                      ""};
        for (const QByteArray &b : texts) {
            const auto want = Regional::parseShownNumber(QString::fromUtf8(b));
            const auto got = Regional::parseShownNumberUtf8(b);
            QVERIFY2(want.has_value() == got.has_value(), b.constData());
            if (want)
                QVERIFY2(std::memcmp(&*want, &*got, sizeof(double)) == 0, b.constData());
        }
    }

    void currency()
    {
        QCOMPARE(Regional::currency(1234.5), QStringLiteral("1.234,50 €"));
        QCOMPARE(Regional::currency(1234567.891), QStringLiteral("1.234.567,89 €"));
        QCOMPARE(Regional::currency(-12.345), QStringLiteral("-12,35 €"));
        QCOMPARE(Regional::currency(0), QStringLiteral("0,00 €"));
    }

    void toInteger16_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("error"); // 0: no error
        QTest::newRow("7,4") << "7,4" << 7 << 0;
        QTest::newRow("half to even down") << "8,5" << 8 << 0;
        QTest::newRow("half to even up") << "9,5" << 10 << 0;
        QTest::newRow("bottom") << "-32768" << -32768 << 0;
        QTest::newRow("overflow") << "32768" << 0 << 6;
        QTest::newRow("rounds into overflow") << "32767,5" << 0 << 6;
        QTest::newRow("empty") << "" << 0 << 13;
        QTest::newRow("word") << "sette" << 0 << 13;
    }
    void toInteger16()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QFETCH(int, error);
        try {
            QCOMPARE(int(Regional::toInteger16(text)), expected);
            QCOMPARE(error, 0);
        } catch (const RuntimeError &e) {
            QCOMPARE(e.number, error);
        }
    }
};

QTEST_GUILESS_MAIN(TestSqlText)
#include "test_sqltext.moc"
