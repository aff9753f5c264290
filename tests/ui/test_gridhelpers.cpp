#include "FlexGrid.h"
#include "GridHelpers.h"
#include "ScriptedPeople.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

namespace {
// A grid as the lists fill it: header row, then the data rows.
void fill(FlexGrid &g, const QStringList &header, const QList<QStringList> &rows)
{
    g.beginFill();
    g.setRows(1);
    g.setCols(int(header.size()));
    for (int c = 0; c < header.size(); ++c)
        g.setTextMatrix(0, c, header.at(c));
    for (const QStringList &r : rows)
        g.addRow(QVector<QString>(r.begin(), r.end()));
    g.endFill();
}

QStringList column(const FlexGrid &g, int c)
{
    QStringList out;
    for (int r = 1; r < g.Rows(); ++r)
        out << g.TextMatrix(r, c);
    return out;
}
} // namespace

class TestGridHelpers : public QObject {
    Q_OBJECT
private slots:
    void putSpacesInLabels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("label");
        QTest::newRow("words") << "DataScadenzaIscrizione"
                               << "Data Scadenza Iscrizione";
        QTest::newRow("two") << "NotePagamento"
                             << "Note Pagamento";
        QTest::newRow("capitals run") << "CFIva"
                                      << "CFIva";
        QTest::newRow("key") << "ANAGRAFICAID"
                             << "ANAGRAFICAID";
        QTest::newRow("underscore counts as capital") << "Data_Pagamento"
                                                      << "Data _Pagamento";
        QTest::newRow("blank kept") << "Data Pagamento"
                                    << "Data  Pagamento";
        QTest::newRow("one letter") << "a"
                                    << "a";
        QTest::newRow("capital first") << "Nome"
                                       << "Nome";
        QTest::newRow("empty") << ""
                               << "";
    }
    void putSpacesInLabels()
    {
        QFETCH(QString, name);
        QFETCH(QString, label);
        QCOMPARE(PutSpacesInLabels(name), label);
    }

    void putSpacesInLabelsEndsTheHourglass()
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::setOverrideCursor(Qt::WaitCursor);
        PutSpacesInLabels(QStringLiteral("Cognome"));
        QVERIFY(!QApplication::overrideCursor());
    }

    void flagColumnsAreExactNames()
    {
        TestFolder folder;
        const auto db = folder.otherDesk();
        auto rs = db->query(QStringLiteral("select 1 as SuPiazza, 0 as Sbarrato, 1 as supiazza, 'x' as Nome"));
        QVERIFY(isBooleanField(*rs, 0));
        QVERIFY(isBooleanField(*rs, 1));
        QVERIFY(!isBooleanField(*rs, 2));
        QVERIFY(!isBooleanField(*rs, 3));
        QVERIFY(isBooleanFieldName(QStringLiteral("GirataPiena")));
        QVERIFY(isBooleanFieldName(QStringLiteral("Trasferibile")));
        QVERIFY(!isBooleanFieldName(QStringLiteral("SuPiazza ")));
    }

    void sortByDatePutsEmptyCellsFirstAscendingAndLastDescending()
    {
        ScriptedPeople people;
        FlexGrid g;
        fill(g, {"IDFIELD", "Cognome", "DataPagamento"},
             {{"1", "Rossi", "01/02/2010"},
              {"2", "Bianchi", ""},
              {"3", "Verdi", "15/01/2010"},
              {"4", "Neri", "15/01/2010 18:30:00"},
              {"5", "Gialli", "  "}});
        g.setColWidth(0, 0);

        sortGridByDate(g, 2, 3);
        QCOMPARE(column(g, 2), QStringList({"", "  ", "15/01/2010", "15/01/2010 18:30:00", "01/02/2010"}));
        QCOMPARE(column(g, 1), QStringList({"Bianchi", "Gialli", "Verdi", "Neri", "Rossi"}));
        QCOMPARE(g.Cols(), 3);
        QCOMPARE(g.TextMatrix(0, 2), QStringLiteral("DataPagamento"));
        QCOMPARE(g.ColWidth(0), 0);

        sortGridByDate(g, 2, 4);
        QCOMPARE(column(g, 1), QStringList({"Rossi", "Verdi", "Neri", "Bianchi", "Gialli"}));
        QCOMPARE(g.Cols(), 3);
        QVERIFY(people.prompts.isEmpty());
    }

    void sortByDateOverATextLeavesTheGridAsItWas()
    {
        ScriptedPeople people;
        FlexGrid g;
        fill(g, {"Cognome", "DataNascita"}, {{"Rossi", "01/02/2010"}, {"Bianchi", "domani"}, {"Verdi", "15/01/2010"}});
        sortGridByDate(g, 1, 3);
        QCOMPARE(g.Cols(), 2);
        QCOMPARE(column(g, 0), QStringList({"Rossi", "Bianchi", "Verdi"}));
        QCOMPARE(column(g, 1), QStringList({"01/02/2010", "domani", "15/01/2010"}));
        QCOMPARE(people.messages(),
                 QStringList("Error 13 (Type mismatch) in procedure sortGridByDate of Modulo basGeneralCustom"));
        QCOMPARE(people.last().style, 48);

        // A list long enough to be read on several threads, sorted once
        // already so that its rows lie scattered: the text stops the sort
        // the same way, and no row has moved.
        QList<QStringList> many;
        for (int i = 0; i < 10000; ++i) {
            const QString day = QStringLiteral("%1/%2/19%3").arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                                    .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                                    .arg(10 + i % 90);
            many.append({QStringLiteral("Socio %1").arg((i * 7919) % 10000), i == 7000 ? QStringLiteral("domani") : day});
        }
        fill(g, {"Cognome", "DataNascita"}, many);
        g.setCol(0);
        g.setSort(FlexGrid::GenericAscending);
        const QStringList names = column(g, 0);
        sortGridByDate(g, 1, 3);
        QCOMPARE(column(g, 0), names);
        QCOMPARE(people.messages().size(), 2);
        QCOMPARE(people.messages().last(), people.messages().first());
    }

    void csvQuotesEveryFieldAndLeavesOutKeyColumns()
    {
        FlexGrid g;
        fill(g, {"IDFIELD", "Nome", "IDFIELD", "Cognome", "idfield"},
             {{"7", QStringLiteral("ab\"c"), "3", QString(), "x"},
              {"8", QStringLiteral("Caffè"), "4", QStringLiteral("1.234,50 €"), QStringLiteral("“Ž”")}});
        const QByteArray expected = QByteArray("\"Nome\";\"Cognome\";\"idfield\"\r\n"
                                               "\"ab\"\"c\";\"\";\"x\"\r\n"
                                               "\"Caff\xE8\";\"1.234,50 \x80\";\"\x93\x8E\x94\"\r\n");
        QCOMPARE(csvBytes(g), expected);

        FlexGrid headerOnly;
        fill(headerOnly, {"IDFIELD", "Nome"}, {});
        QCOMPARE(csvBytes(headerOnly), QByteArray("\"Nome\"\r\n"));

        // One character the code page lacks (an emoji, Hebrew, Arabic, a
        // combining mark, a C1 control) and the whole file is UTF-8 after
        // a byte order mark: nothing becomes "?".
        for (const QString &text : {QStringLiteral("a\U0001F600b"), QStringLiteral("כהן"), QStringLiteral("عمر"),
                                    QStringLiteral("e\u0301"), QStringLiteral("\u0081")}) {
            FlexGrid u;
            fill(u, {"Nome", "Cognome"}, {{QStringLiteral("Caffè \"€\""), text}});
            QCOMPARE(csvBytes(u),
                     QByteArray("\xEF\xBB\xBF\"Nome\";\"Cognome\"\r\n\"") + QStringLiteral("Caffè \"\"€\"\"").toUtf8()
                         + "\";\"" + text.toUtf8() + "\"\r\n");
        }
    }

    void aLongListIsWrittenWholeAndInOrder()
    {
        // Enough rows to be encoded on several threads, of lengths that
        // differ from row to row.
        QList<QStringList> rows;
        QString text = QStringLiteral("\"Cognome\";\"Note\";\"Data\"\r\n");
        for (int i = 0; i < 60000; ++i) {
            const QString surname = QStringLiteral("Caffè %1").arg(i);
            const QString note = i % 5 ? QString(i % 97, QLatin1Char('x')) + QStringLiteral(" \"€\"; fine")
                                       : QString();
            const QString date = i % 3 ? QStringLiteral("%1/02/2010").arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                                       : QString();
            rows.push_back({QString::number(i), surname, note, date});
            text += QLatin1Char('"') + surname + QStringLiteral("\";\"") + QString(note).replace(QStringLiteral("\""), QStringLiteral("\"\""))
                + QStringLiteral("\";\"") + date + QStringLiteral("\"\r\n");
        }
        FlexGrid g;
        fill(g, {"IDFIELD", "Cognome", "Note", "Data"}, rows);
        QCOMPARE(csvBytes(g), *toWindows1252(text));

        // One character the code page lacks, in the last row only, and
        // the whole file is UTF-8.
        g.setTextMatrix(g.Rows() - 1, 1, QStringLiteral("Caffè 59999\U0001F600"));
        text.replace(QStringLiteral("Caffè 59999"), QStringLiteral("Caffè 59999\U0001F600"));
        QCOMPARE(csvBytes(g), QByteArray("\xEF\xBB\xBF") + text.toUtf8());
    }

    void aWriteFailingPartWayKeepsTheOldFile()
    {
        TestFolder folder(false);
        ScriptedPeople people;
        QList<QStringList> rows;
        for (int i = 0; i < 60000; ++i)
            rows.push_back({QStringLiteral("Rossi %1").arg(i), QString(60, QLatin1Char('n'))});
        FlexGrid g;
        fill(g, {"Cognome", "Note"}, rows);
        const QString name = folder.file(QStringLiteral("soci.csv"));
        writeFile(name, "vecchio");

        // The file may not grow past 512 KiB, as on a disk that fills up.
        rlimit limit{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const rlimit before = limit;
        limit.rlim_cur = 512 * 1024;
        const auto signalBefore = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limit), 0);
        const bool saved = xMSFlexGrid_Save(g, name);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, signalBefore);

        QVERIFY(!saved);
        QCOMPARE(people.messages(),
                 QStringList("Error 57 (Device I/O error) in procedure xMSFlexGrid_Save of Modulo basGeneral"));
        QCOMPARE(readFile(name), QByteArray("vecchio"));
        QCOMPARE(folder.files(true), QStringList("soci.csv"));
    }

    void windows1252CoversItsOwnCharactersOnly()
    {
        QCOMPARE(toWindows1252(u"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ"),
                 QByteArray("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92\x93\x94\x95\x96\x97"
                            "\x98\x99\x9A\x9B\x9C\x9E\x9F"));
        QCOMPARE(toWindows1252(u"\u00A0ÿ"), QByteArray("\xA0\xFF"));
        QCOMPARE(toWindows1252(u"\u0081"), std::nullopt);
        QCOMPARE(toWindows1252(u"a\U0001F600b"), std::nullopt);
    }

    void exportAddsTheExtensionAndReportsSuccess_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("no extension") << "soci"
                                      << "soci.csv";
        QTest::newRow("upper case kept") << "soci.CSV"
                                         << "soci.CSV";
        QTest::newRow("mixed case kept") << "soci.Csv"
                                         << "soci.Csv";
        QTest::newRow("blanks trimmed") << " soci.csv "
                                        << "soci.csv";
    }
    void exportAddsTheExtensionAndReportsSuccess()
    {
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        TestFolder folder(false);
        ScriptedPeople people;
        FlexGrid g;
        fill(g, {"Cognome"}, {{"Rossi"}});
        const QString dir = folder.path() + QLatin1Char('/');
        people.saveAnswers.push_back(typed.startsWith(QLatin1Char(' ')) ? QLatin1Char(' ') + dir + typed.mid(1)
                                                                        : dir + typed);
        esportaCSV(g);
        QCOMPARE(readFile(dir + saved), QByteArray("\"Cognome\"\r\n\"Rossi\"\r\n"));
        QCOMPARE(folder.files(), QStringList(saved));
        QCOMPARE(people.prompts.size(), 2);
        QCOMPARE(people.prompts.at(0).kind, QStringLiteral("save"));
        QCOMPARE(people.prompts.at(0).text, QStringLiteral("File CSV|*.csv"));
        QCOMPARE(people.last().text,
                 QStringLiteral("I dati sono stati esportati con successo sul file ") + dir + saved);
        QCOMPARE(people.last().style, 48);
    }

    void cancellingTheDialogWritesNothing()
    {
        TestFolder folder(false);
        ScriptedPeople people;
        FlexGrid g;
        people.saveAnswers.push_back(QString());
        esportaCSV(g);
        QCOMPARE(people.prompts.size(), 1);
        QVERIFY(folder.files().isEmpty());
    }

    void overwriteOnlyWhenConfirmed()
    {
        TestFolder folder(false);
        ScriptedPeople people;
        FlexGrid g;
        fill(g, {"Cognome"}, {{"Rossi"}});
        const QString name = folder.file(QStringLiteral("soci.csv"));
        writeFile(name, "vecchio");

        people.saveAnswers.push_back(name);
        people.msgAnswers.push_back(7);
        esportaCSV(g);
        QCOMPARE(readFile(name), QByteArray("vecchio"));
        QCOMPARE(people.messages(),
                 QStringList(QStringLiteral("Il file ") + name
                             + QStringLiteral(" già esiste. Sei sicuro di volerlo sovrascrivere?")));
        QCOMPARE(people.last().style, 4);

        people.prompts.clear();
        people.saveAnswers.push_back(folder.file(QStringLiteral("soci")));
        people.msgAnswers.push_back(6);
        esportaCSV(g);
        QCOMPARE(readFile(name), QByteArray("\"Cognome\"\r\n\"Rossi\"\r\n"));
        QCOMPARE(people.messages().size(), 2);
        QCOMPARE(folder.files(), QStringList("soci.csv"));
    }

    void aFailedSaveIsReportedAndNotFollowedBySuccess()
    {
        TestFolder folder(false);
        ScriptedPeople people;
        FlexGrid g;
        fill(g, {"Cognome"}, {{"Rossi"}});

        people.saveAnswers.push_back(folder.file(QStringLiteral("manca/soci.csv")));
        esportaCSV(g);
        QCOMPARE(people.messages(),
                 QStringList("Error 76 (Path not found) in procedure xMSFlexGrid_Save of Modulo basGeneral"));
        QCOMPARE(people.last().kind, QStringLiteral("plain"));

        // A folder where the file should go: nothing can be written there,
        // and nothing half-written is left beside it.
        people.prompts.clear();
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("soci.csv")));
        people.saveAnswers.push_back(folder.file(QStringLiteral("soci.csv")));
        esportaCSV(g);
        QCOMPARE(people.messages().size(), 1);
        QVERIFY(people.last().text.startsWith(QStringLiteral("Error ")));
        QVERIFY(people.last().text.endsWith(QStringLiteral(" in procedure xMSFlexGrid_Save of Modulo basGeneral")));
        QVERIFY(folder.files(true).isEmpty());
        QVERIFY(!xMSFlexGrid_Save(g, folder.file(QStringLiteral("soci.csv"))));
    }
};

QTEST_MAIN(TestGridHelpers)
#include "test_gridhelpers.moc"
