// The report chooser: the catalogue in memory, its buttons, and the
// parameters written into a report's query.
#include "AppHooks.h"
#include "ReportFixture.h"

#include <QFile>

namespace {
const QString kPayments = QStringLiteral(" PagamentiID, Importo FROM Pagamenti WHERE DataPagamento >= '[P1]' AND "
                                         "DataPagamento < '[P1+1M]' AND '[P1+1A]' <> ''");
const QString kByName = QStringLiteral(" ANAGRAFICAID, Cognome FROM Anagrafica WHERE Cognome = '[P1]'");
} // namespace

class ChooserTest : public QObject {
    Q_OBJECT
private slots:
    void catalogueOrderCaptionsAndPlaces();
    void emptyCatalogueShowsOnlyExit();
    void longCatalogueKeepsThirtySixRows();
    void promptsTranslatedAndNullsTolerated();
    void reportWithoutParametersOpensAtOnce();
    void monthParameter();
    void preciseDateParameters();
    void twoDatesParameter();
    void textParameterCannotLeaveItsQuotes();
    void numberParameter();
    void cancelledSecondAnswerShowsNothing();
    void unreadableParameterCountIsReported();
    void mainWindowOpensTheChooser();
    void shippedCatalogueRuns();
};

void ChooserTest::catalogueOrderCaptionsAndPlaces()
{
    ReportFixture fx;
    fx.addReport(30, " 3 AS Tre", "Rapporto speciale");
    fx.addReport(10, " 1 AS Uno", "Tutti i soci");
    fx.addReport(20, "", "Vuoto");
    fx.addReport(25, QVariant(), "Nullo");
    fx.addReport(40, " 4 AS Quattro", "Tutti i pagamenti");
    fx.withChooser([](frmSplashReports &c) {
        QCOMPARE(*gReportButtonCount, 16);
        QCOMPARE(c.windowTitle(), QStringLiteral("Choose a Report"));
        QCOMPARE(c.cmdClose->text(), QStringLiteral("E&xit"));
        // Button n is row n: the hidden rows keep their places.
        const QList<bool> visible = {true, false, false, true, true};
        for (int n = 0; n < visible.size(); ++n)
            QCOMPARE(!c.cmdShowReport.at(n)->isHidden(), visible.at(n));
        for (int n = 5; n < 17; ++n)
            QVERIFY(c.cmdShowReport.at(n)->isHidden());
        QCOMPARE(c.cmdShowReport.at(0)->text(), QStringLiteral("All Members"));
        QCOMPARE(c.cmdShowReport.at(3)->text(), QStringLiteral("Rapporto speciale"));
        QCOMPARE(c.cmdShowReport.at(4)->text(), QStringLiteral("All payments"));
        QCOMPARE(gReports(0, 0, 0).toString(), QStringLiteral(" 1 AS Uno"));
        QCOMPARE(gReports(1, 1, 0).toString(), QStringLiteral("Vuoto"));
        QVERIFY(gReports(2, 0, 0).isNull());
        // Fixed places in twips: three rows of six, Exit in the last place.
        QCOMPARE(c.cmdShowReport.at(0)->geometry(), QRect(twipsToPixels(240), twipsToPixels(600), 73, 57));
        QCOMPARE(c.cmdShowReport.at(9)->pos(), QPoint(twipsToPixels(4080), twipsToPixels(1560)));
        QCOMPARE(c.cmdShowReport.at(16)->pos(), QPoint(twipsToPixels(5400), twipsToPixels(2520)));
        QCOMPARE(c.cmdClose->pos(), QPoint(twipsToPixels(6720), twipsToPixels(2520)));
    });
    QCOMPARE(fx.people.messages(), QStringList());
    QVERIFY(!Instance<frmSplashReports>::exists()); // Exit releases the instance
}

void ChooserTest::emptyCatalogueShowsOnlyExit()
{
    ReportFixture fx;
    fx.withChooser([](frmSplashReports &c) {
        for (QPushButton *b : c.cmdShowReport)
            QVERIFY(b->isHidden());
        QVERIFY(!c.cmdClose->isHidden());
    });
    QCOMPARE(fx.people.messages(), QStringList());
}

void ChooserTest::longCatalogueKeepsThirtySixRows()
{
    ReportFixture fx;
    for (int i = 0; i < 37; ++i)
        fx.addReport(i, QStringLiteral(" %1 AS N").arg(i), QStringLiteral("R%1").arg(i));
    fx.withChooser(
        [](frmSplashReports &c) {
            QCOMPARE(c.cmdShowReport.at(16)->text(), QStringLiteral("R16"));
            QVERIFY(!c.cmdShowReport.at(16)->isHidden());
            QCOMPARE(gReports(35, 1, 0).toString(), QStringLiteral("R35"));
            c.cmdShowReport_Click(16);
        },
        {[](frmReportistica &w) { QCOMPARE(w.MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("16")); }});
    // Row 37 does not fit: reported at each loading, the chooser still works.
    const QString overflow =
        QStringLiteral("Error 9 (Subscript out of range) in procedure PopolaArrayReport of Form frmSplashReports");
    QCOMPARE(fx.people.messages(), QStringList({overflow, overflow}));
    QVERIFY(!gRs); // no result set left open behind the error
}

void ChooserTest::promptsTranslatedAndNullsTolerated()
{
    ReportFixture fx;
    fx.addReport(1, kPayments, "Tutti i soci", 1, "DATAMESE", "", "il mese (formato MM/AAAA)",
                 "il mese (formato MM/AAAA)");
    fx.addReport(2, " 2 AS Due", "Senza prompt", 0, "", "", QVariant(), QVariant());
    fx.addReport(3, " 3 AS Tre", QVariant());
    fx.addReport(
        4, " 4 AS Quattro", "Quarto", 0, "", "",
        "Dal mese di partenza: il mese di partenza (formato MM/AAAA) o la data di arrivo (formato GG/MM/AAAA)");
    fx.withChooser([](frmSplashReports &c) {
        QCOMPARE(gReports(0, 1, 4).toString(), QStringLiteral("the month (format MM/YYYY)"));
        QCOMPARE(gReports(0, 1, 5).toString(), QStringLiteral("il mese (formato MM/AAAA)"));
        QVERIFY(gReports(1, 1, 4).isNull());
        QCOMPARE(gReports(3, 1, 4).toString(),
                 QStringLiteral("Dal mese di partenza: the starting month (format MM/YYYY) o the end date (format "
                                "DD/MM/YYYY)"));
        // A Null prompt or title stops nothing: the rows after it have their buttons.
        QCOMPARE(c.cmdShowReport.at(2)->text(), QString());
        QVERIFY(!c.cmdShowReport.at(2)->isHidden());
        QCOMPARE(c.cmdShowReport.at(3)->text(), QStringLiteral("Quarto"));
        QCOMPARE(c.cmdClose->text(), QStringLiteral("E&xit"));
    });
    QCOMPARE(fx.people.messages(), QStringList());
}

void ChooserTest::reportWithoutParametersOpensAtOnce()
{
    ReportFixture fx;
    fx.addReport(1, " '[P1]' AS Testo, '[p1]' AS Minuscolo", "Fisso");
    fx.runReport(0, {}, [](frmReportistica &w) {
        QCOMPARE(w.MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("[P1]"));
        QCOMPARE(w.MSFlexGrid1->TextMatrix(1, 1), QStringLiteral("[p1]"));
    });
    QCOMPARE(fx.people.modalShown, QStringList({"frmSplashReports", "frmReportistica"}));
    QCOMPARE(fx.inputPrompts(), QStringList());
}

void ChooserTest::monthParameter()
{
    ReportFixture fx;
    fx.addReport(1, kPayments, "Pagamenti ricevuti nel mese", 1, "DATAMESE", "", "il mese (formato MM/AAAA)");
    fx.runReport(0, {" 03/2011 "}, [](frmReportistica &w) {
        QCOMPARE(w.MSFlexGrid1->Rows(), 3);
        QCOMPARE(gReports(0, 0, 0).toString(),
                 QStringLiteral(" PagamentiID, Importo FROM Pagamenti WHERE DataPagamento >= '2011-03-01 00:00:00' AND "
                                "DataPagamento < '2011-04-01 00:00:00' AND '2012-03-01 00:00:00' <> ''"));
    });
    QCOMPARE(fx.inputPrompts(), QStringList({"Enter the month (format MM/YYYY)"}));
    QCOMPARE(fx.people.last().title, QStringLiteral("Socivant"));
    QCOMPARE(fx.people.inputDefaults, QStringList({QString()}));
    QCOMPARE(gReports(0, 0, 0).toString(), kPayments); // read again after the report

    // A month that is not one: the message, no report, the row as stored.
    fx.people.inputAnswers = {"xx/2011"};
    fx.withChooser([](frmSplashReports &c) { c.cmdShowReport_Click(0); });
    QCOMPARE(fx.people.last().text, QStringLiteral("Invalid month format"));
    QCOMPARE(fx.people.last().style, 48);
    QCOMPARE(fx.people.modalShown.count(QStringLiteral("frmReportistica")), 1);
    QCOMPARE(gReports(0, 0, 0).toString(), kPayments);
}

void ChooserTest::preciseDateParameters()
{
    ReportFixture fx;
    fx.addReport(1, " '[P1]' AS A, '[P1+1M]' AS B, '[P2]' AS C, '[P2+1A]' AS D", "Date", 2, "DATAPRECISA",
                 "DATAPRECISA", "la data", "la seconda data");
    // Calendar additions: the 31st a month on is the end of February; 29
    // February a year on is the 28th.
    fx.runReport(0, {"31/01/2011", "29/02/2012"}, [](frmReportistica &w) {
        FlexGrid &g = *w.MSFlexGrid1;
        QCOMPARE(g.TextMatrix(1, 0), QStringLiteral("2011-01-31 00:00:00"));
        QCOMPARE(g.TextMatrix(1, 1), QStringLiteral("2011-02-28 00:00:00"));
        QCOMPARE(g.TextMatrix(1, 2), QStringLiteral("2012-02-29 00:00:00"));
        QCOMPARE(g.TextMatrix(1, 3), QStringLiteral("2013-02-28 00:00:00"));
    });
    QCOMPARE(fx.inputPrompts(), QStringList({"Enter la data", "Enter la seconda data"}));

    // A wrong first date has a translated message, a wrong second date the
    // Italian one the message table has no entry for.
    fx.people.inputAnswers = {"31/02/2011", "01/01/2011", "2011-13-45"};
    fx.withChooser([](frmSplashReports &c) {
        c.cmdShowReport_Click(0);
        c.cmdShowReport_Click(0);
    });
    QCOMPARE(fx.people.messages(), QStringList({"Invalid date format", "Formato della data non valido"}));
    QCOMPARE(fx.people.modalShown.count(QStringLiteral("frmReportistica")), 1);
}

void ChooserTest::twoDatesParameter()
{
    ReportFixture fx;
    fx.addReport(1, " COUNT(*) AS Quanti FROM Pagamenti WHERE DataPagamento >= '[P1]' AND DataPagamento <= '[P1ARR]'",
                 "Tra due date", 1, "DUEDATEPRECISE", "", "la data di partenza (formato GG/MM/AAAA)");
    fx.runReport(0, {"01/03/2011", " 31/03/2011 "},
                 [](frmReportistica &w) { QCOMPARE(w.MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("2")); });
    QCOMPARE(fx.inputPrompts(),
             QStringList({"Enter the starting date (DD/MM/YYYY)", "Enter the end date (DD/MM/YYYY)"}));
    QVERIFY(fx.lastQuery().contains(
        QLatin1String("DataPagamento >= '2011-03-01 00:00:00' AND DataPagamento <= '2011-03-31 00:00:00'")));

    // An empty end date ends silently; a wrong one is refused.
    fx.people.inputAnswers = {"01/03/2011", "  ", "01/03/2011", "fine mese"};
    fx.withChooser([](frmSplashReports &c) {
        c.cmdShowReport_Click(0);
        c.cmdShowReport_Click(0);
    });
    QCOMPARE(fx.people.messages(), QStringList({"Invalid date format"}));
    QCOMPARE(fx.people.modalShown.count(QStringLiteral("frmReportistica")), 1);
}

void ChooserTest::textParameterCannotLeaveItsQuotes()
{
    ReportFixture fx;
    fx.addReport(1, kByName, "Per cognome", 1, "STRINGA", "", "il cognome");
    fx.runReport(0, {"O'Neil"}, [](frmReportistica &w) {
        QCOMPARE(w.MSFlexGrid1->Rows(), 2);
        QCOMPARE(w.MSFlexGrid1->TextMatrix(1, 1), QStringLiteral("O'Neil"));
    });
    QVERIFY(fx.lastQuery().endsWith(QLatin1String("WHERE Cognome = 'O''Neil'")));

    // A text written to end the literal stays one value: nothing else runs.
    const QString attack = QStringLiteral("x'); DROP TABLE Anagrafica; --");
    fx.runReport(0, {attack},
                 [](frmReportistica &w) { QCOMPARE(w.MSFlexGrid1->TextMatrix(0, 0), QStringLiteral("0 Records")); });
    QVERIFY(fx.lastQuery().endsWith(QLatin1String("WHERE Cognome = 'x''); DROP TABLE Anagrafica; --'")));
    QCOMPARE(fx.people.messages(), QStringList());
    QCOMPARE(fx.tf.scalar("SELECT COUNT(*) FROM Anagrafica"), QStringLiteral("2"));

    // Blanks around the text are kept; blanks alone end silently.
    fx.runReport(0, {" Rossi "}, [](frmReportistica &w) { QCOMPARE(w.MSFlexGrid1->Rows(), 1); });
    QVERIFY(fx.lastQuery().endsWith(QLatin1String("WHERE Cognome = ' Rossi '")));
    fx.people.inputAnswers = {"   "};
    fx.withChooser([](frmSplashReports &c) { c.cmdShowReport_Click(0); });
    QCOMPARE(fx.people.modalShown.count(QStringLiteral("frmReportistica")), 3);

    // An answer is data, not a template: "[P2]" typed as text stays as typed.
    fx.addReport(2, " '[P1]' AS Testo, [P2] AS Numero", "Due", 2, "STRINGA", "NUMERICO", "il testo", "il numero");
    fx.runReport(1, {"[P2]'s", "7"}, [](frmReportistica &w) {
        QCOMPARE(w.MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("[P2]'s"));
        QCOMPARE(w.MSFlexGrid1->TextMatrix(1, 1), QStringLiteral("7"));
    });
}

void ChooserTest::numberParameter()
{
    ReportFixture fx;
    fx.addReport(1, " PagamentiID FROM Pagamenti WHERE Importo > [P1] ORDER BY 1", "Sopra", 1, "NUMERICO", "",
                 "l'importo minimo");
    fx.people.inputAnswers = {"abc"};
    fx.withChooser([](frmSplashReports &c) { c.cmdShowReport_Click(0); });
    QCOMPARE(fx.people.messages(), QStringList({"Invalid number format"}));
    QCOMPARE(fx.people.modalShown.count(QStringLiteral("frmReportistica")), 0);

    fx.runReport(0, {"25"}, [](frmReportistica &w) { QCOMPARE(w.MSFlexGrid1->Rows(), 2); });
    QVERIFY(fx.lastQuery().endsWith(QLatin1String("WHERE Importo > 25 ORDER BY 1")));
    // The regional decimal comma becomes the SQL point: 3,5 is three and a
    // half, not a second column or a syntax error.
    fx.runReport(0, {"3,5"}, [](frmReportistica &w) {
        QCOMPARE(w.MSFlexGrid1->Rows(), 4);
        QCOMPARE(w.MSFlexGrid1->TextMatrix(3, 0), QStringLiteral("3"));
    });
    QVERIFY(fx.lastQuery().endsWith(QLatin1String("WHERE Importo > 3.5 ORDER BY 1")));
    fx.runReport(0, {"1.000"}, [](frmReportistica &w) { QCOMPARE(w.MSFlexGrid1->Rows(), 2); });
    QCOMPARE(fx.people.messages(), QStringList({"Invalid number format"}));
}

void ChooserTest::cancelledSecondAnswerShowsNothing()
{
    ReportFixture fx;
    fx.addReport(1, " '[P1]' AS Primo, '[P2]' AS Secondo", "Due", 2, "STRINGA", "STRINGA", "il primo", "il secondo");
    fx.people.inputAnswers = {"uno", ""};
    fx.withChooser(
        [&](frmSplashReports &c) {
            c.cmdShowReport_Click(0);
            QCOMPARE(gReports(0, 0, 0).toString(), QStringLiteral(" '[P1]' AS Primo, '[P2]' AS Secondo"));
            fx.people.inputAnswers = {"altro", "due"};
            c.cmdShowReport_Click(0);
            QCOMPARE(c.par1(), QStringLiteral("altro"));
        },
        {[](frmReportistica &w) {
            QCOMPARE(w.MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("altro"));
            QCOMPARE(w.MSFlexGrid1->TextMatrix(1, 1), QStringLiteral("due"));
        }});
    QCOMPARE(fx.people.modalShown, QStringList({"frmSplashReports", "frmReportistica"}));
    QCOMPARE(fx.people.messages(), QStringList());
}

void ChooserTest::unreadableParameterCountIsReported()
{
    ReportFixture fx;
    fx.addReport(1, " 1 AS Uno", "Rotto", QVariant());
    fx.withChooser([](frmSplashReports &c) { c.cmdShowReport_Click(0); });
    QCOMPARE(fx.people.messages(),
             QStringList({"Error 13 (Type mismatch) in procedure cmdShowReport_Click of Form frmSplashReports"}));
    QCOMPARE(fx.people.modalShown, QStringList({"frmSplashReports"}));
}

void ChooserTest::mainWindowOpensTheChooser()
{
    ReportFixture fx;
    fx.withChooser([](frmSplashReports &) {});
    appHooks().openReports = nullptr;
    registerSubsystemWindows();
    QVERIFY(appHooks().openReports);
    fx.people.expect<frmSplashReports>([](frmSplashReports &c) {
        c.cmdClose->click();
        QVERIFY(!c.isLoaded());
    });
    appHooks().openReports();
    QCOMPARE(fx.people.modalShown, QStringList({"frmSplashReports", "frmSplashReports"}));
}

void ChooserTest::shippedCatalogueRuns()
{
    ReportFixture fx;
    QFile f(TestFolder::onServer() ? QStringLiteral(SOCIVANT_DATA_DIR "/mariadb/reports.sql")
                                   : QStringLiteral(SOCIVANT_DATA_DIR "/reports.sql"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    fx.tf.exec(QString::fromUtf8(f.readAll()));
    fx.tf.exec("INSERT INTO Girate (PagamentiID, GirataPiena, DataGirata) VALUES (2, 1, '2011-04-02 00:00:00');"
               "INSERT INTO Girate (PagamentiID, GirataPiena, DataGirata) VALUES (2, 0, '2011-04-01 00:00:00');"
               // an average that ends in a half cent, which both back-ends round alike
               "INSERT INTO Pagamenti (ANAGRAFICAID, DataPagamento, Importo) VALUES (1, '2011-05-02 00:00:00', 1.00);"
               "INSERT INTO Pagamenti (ANAGRAFICAID, DataPagamento, Importo) VALUES (1, '2011-05-03 00:00:00', 1.01);");
    QStringList captions;
    fx.withChooser([&](frmSplashReports &c) {
        for (QPushButton *b : c.cmdShowReport)
            if (!b->isHidden())
                captions << b->text();
    });
    QCOMPARE(captions,
             QStringList({"All Members", "Not expired Members", "Expired Members", "Members expiring in a month",
                          "Members expiring in two months", "All payments", "Payments received in the month",
                          "Payments received in the year", "Payments received between two dates",
                          "Incoming cheques in the year", "Total amount of payments per month",
                          "Average amount of payments per month", "Number of payments per month"}));
    // Every shipped query runs with answers of its kind.
    const QList<QStringList> answers = {
        {}, {}, {}, {}, {}, {}, {"03/2011"}, {"03/2011"}, {"01/03/2011", "31/03/2011"}, {"01/2011"}, {}, {}, {}};
    QList<int> rows;
    QStringList headers; // every header shown, in English
    QList<bool> totals;
    QStringList averages; // the monthly averages' rows as shown
    for (int n = 0; n < answers.size(); ++n)
        fx.runReport(n, answers.at(n), [&](frmReportistica &w) {
            rows << w.MSFlexGrid1->Rows() - 1;
            totals << w.totalShown();
            for (int r = 1; n == 11 && r < w.MSFlexGrid1->Rows(); ++r)
                averages << w.MSFlexGrid1->TextMatrix(r, 0) + QLatin1Char(' ') + w.MSFlexGrid1->TextMatrix(r, 1)
                        + QLatin1Char(' ') + w.MSFlexGrid1->TextMatrix(r, 2);
            for (int c = 0; c < w.MSFlexGrid1->Cols(); ++c)
                if (w.MSFlexGrid1->ColWidth(c) > 0 && !headers.contains(w.MSFlexGrid1->TextMatrix(0, c)))
                    headers << w.MSFlexGrid1->TextMatrix(0, c);
        });
    QCOMPARE(fx.people.messages(), QStringList());
    QCOMPARE(headers,
             QStringList({"Surname / Business Name",
                          "Name",
                          "Type",
                          "Card Number",
                          "Join Date",
                          "Expiration Date",
                          "City",
                          "Mobile Phone",
                          "Email",
                          "Member",
                          "Payment Date",
                          "Reason",
                          "Amount",
                          "Payment Notes",
                          "Full Endorsement",
                          "Endorsement Date",
                          "Deposit Date",
                          "Year",
                          "Month",
                          "Total amount",
                          "Average Amount",
                          "Payments number"}));
    QVERIFY(!totals.at(11)); // averages are not summed
    // shown as amounts are, the same figures on every back-end
    QCOMPARE(averages, QStringList({"2011 03 627,25 €", "2011 04 3,75 €", "2011 05 1,01 €"}));
    QCOMPARE(rows.at(0), 2);
    QCOMPARE(rows.at(5), 5);
    QCOMPARE(rows.at(6), 2);  // March 2011
    QCOMPARE(rows.at(8), 2);  // 1 to 31 March, the 31st included
    QCOMPARE(rows.at(9), 1);  // the one endorsed payment, once
    QCOMPARE(rows.at(10), 3); // three months
}

QTEST_MAIN(ChooserTest)
#include "test_chooser.moc"
