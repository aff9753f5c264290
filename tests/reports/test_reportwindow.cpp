// The report result window: columns, amounts and their total, the empty
// result, printing, export, sorting, and that it only lists.
#include "PrintPreview.h"
#include "ReportFixture.h"

#include <QFile>
#include <QLabel>

namespace {
const QString kMembers = QStringLiteral(
    " a.ANAGRAFICAID, a.ANAGRAFICAID AS anagraficaid, a.Cognome, a.DataScadenzaIscrizione, 'nota' AS AssegnoNoteX,"
    " 5 AS Expr1001, 1 AS Sbarrato, 0 AS Trasferibile, NULL AS SuPiazza FROM Anagrafica a ORDER BY a.ANAGRAFICAID");
const QString kAmounts = QStringLiteral(
    " PagamentiID, Causale, Importo, Importo * 2 AS TotaleImporti, Importo AS importo, NULL AS ImportoVuoto"
    " FROM Pagamenti ORDER BY PagamentiID");
} // namespace

class ReportWindowTest : public QObject {
    Q_OBJECT
private slots:
    void columnsHeadersFlagsAndHiddenKeys();
    void amountColumnsAndTheirTotal();
    void noAmountColumnNoTotal();
    void emptyResultOpensNothing();
    void printCarriesStoredTitleAndTotal();
    void exportKeepsKeyColumns();
    void onlyListsPrintsAndExports();
    void rejectedQueryIsReported();
    void dateHeadersSortByDate();
    void reopenedWindowRecomputesHiddenColumns();
};

void ReportWindowTest::columnsHeadersFlagsAndHiddenKeys()
{
    ReportFixture fx;
    fx.addReport(1, kMembers, "Tutti i soci");
    fx.runReport(0, {}, [](frmReportistica &w) {
        FlexGrid &g = *w.MSFlexGrid1;
        QCOMPARE(w.windowTitle(), QStringLiteral("Report - All Members"));
        const QStringList headers = {"ANAGRAFICAID", "anagraficaid", "Cognome",    "Expiration Date", "Notes",
                                     "Count",        "Crossed",      "Negotiable", "Town Cheque"};
        QCOMPARE(g.Cols(), headers.size());
        QStringList shown;
        for (int c = 0; c < g.Cols(); ++c)
            shown << g.TextMatrix(0, c);
        QCOMPARE(shown, headers);
        QCOMPARE(g.ColWidth(0), 0);
        QVERIFY(g.ColWidth(1) > 0);
        QCOMPARE(g.TextMatrix(2, 2), QStringLiteral("O'Neil"));
        QCOMPARE(g.TextMatrix(1, 6), QStringLiteral("True"));
        QCOMPARE(g.TextMatrix(1, 7), QStringLiteral("False"));
        QCOMPARE(g.TextMatrix(1, 8), QString()); // a Null flag is an empty cell
        QVERIFY(!w.totalShown());
    });
    QCOMPARE(fx.people.messages(), QStringList());
}

void ReportWindowTest::amountColumnsAndTheirTotal()
{
    ReportFixture fx;
    fx.addReport(1, kAmounts, "Importi");
    fx.runReport(0, {}, [](frmReportistica &w) {
        FlexGrid &g = *w.MSFlexGrid1;
        QCOMPARE(g.TextMatrix(2, 2), QStringLiteral("1.234,50 €"));
        QCOMPARE(g.TextMatrix(2, 3), QStringLiteral("2.469,00 €"));
        QCOMPARE(g.TextMatrix(2, 4), QStringLiteral("1234.5")); // "importo" is not an amount
        QCOMPARE(g.TextMatrix(2, 5), QString());                // Null adds nothing
        QCOMPARE(g.TextMatrix(0, 3), QStringLiteral("Total amount"));
        // (20 + 1234.5 + 3.75) * 3
        QCOMPARE(w.total(), 3774.75);
        QVERIFY(w.totalShown());
        QCOMPARE(w.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed payments: 3.774,75 €"));
        QVERIFY(w.lblTotaleImporti->font().bold());
        // The total stays at the foot of the window, below the grid.
        w.resize(700, 400);
        w.Form_Resize();
        QVERIFY(w.MSFlexGrid1->geometry().bottom() < w.lblTotaleImporti->geometry().top());
        QVERIFY(w.lblTotaleImporti->geometry().bottom() <= w.height());
    });
}

void ReportWindowTest::noAmountColumnNoTotal()
{
    ReportFixture fx;
    fx.addReport(1, " Cognome FROM Anagrafica", "Nomi");
    fx.runReport(0, {}, [](frmReportistica &w) {
        QVERIFY(!w.totalShown());
        w.cmdPrintGrid_Click();
    });
    QCOMPARE(fx.people.previews.size(), 1);
    QVERIFY(!fx.people.previews.at(0).contains(QLatin1String("Total amount")));
}

void ReportWindowTest::emptyResultOpensNothing()
{
    ReportFixture fx;
    fx.addReport(1, " PagamentiID, Importo FROM Pagamenti WHERE 0", "Vuoto");
    fx.runReport(0, {}, [](frmReportistica &w) {
        FlexGrid &g = *w.MSFlexGrid1;
        QCOMPARE(g.Rows(), 1);
        QCOMPARE(g.TextMatrix(0, 0), QStringLiteral("0 Records"));
        QCOMPARE(g.ColWidth(0), 1000);
        QVERIFY(!w.totalShown());
    });
    QCOMPARE(fx.people.modalShown, QStringList({"frmSplashReports", "frmReportistica"}));
    QCOMPARE(fx.people.messages(), QStringList());
}

void ReportWindowTest::printCarriesStoredTitleAndTotal()
{
    ReportFixture fx;
    fx.addReport(1,
                 " a.ANAGRAFICAID, b.Cognome, a.Importo FROM Pagamenti a, Anagrafica b"
                 " WHERE a.ANAGRAFICAID = b.ANAGRAFICAID AND a.PagamentiID < 3",
                 "Tutti i pagamenti");
    fx.runReport(0, {}, [](frmReportistica &w) {
        QCOMPARE(w.windowTitle(), QStringLiteral("Report - All payments"));
        w.cmdPrintGrid_Click();
    });
    const QString doc = fx.people.previews.value(0);
    QVERIFY2(doc.contains(QStringLiteral(">Socivant - Tutti i pagamenti<")), qPrintable(doc));
    QVERIFY(!doc.contains(QLatin1String("ANAGRAFICAID")));
    QVERIFY(doc.contains(QStringLiteral("O'Neil")) || doc.contains(QStringLiteral("O&#39;Neil")));
    QVERIFY(doc.contains(QStringLiteral("Total amount of displayed payments: 1.254,50 €")));
    QVERIFY(doc.indexOf(QLatin1String("Total amount of displayed")) > doc.indexOf(QLatin1String("1.234,50")));
    QCOMPARE(gPrintSkipColumns->at(1), short(-1));
}

void ReportWindowTest::exportKeepsKeyColumns()
{
    ReportFixture fx;
    fx.addReport(1, " ANAGRAFICAID, Cognome FROM Anagrafica ORDER BY ANAGRAFICAID", "Soci");
    const QString csv = fx.tf.file("soci.csv");
    fx.people.saveAnswers.push_back(csv);
    fx.runReport(0, {}, [](frmReportistica &w) { w.cmdEsportaDati->click(); });
    const QString text = QString::fromLatin1(readFile(csv));
    QVERIFY2(text.contains(QLatin1String("\"ANAGRAFICAID\"")), qPrintable(text));
    QVERIFY(text.contains(QLatin1String("\"2\"")));
    QVERIFY(text.contains(QLatin1String("\"O'Neil\"")));
}

void ReportWindowTest::onlyListsPrintsAndExports()
{
    ReportFixture fx;
    fx.addReport(1, " PagamentiID, Causale FROM Pagamenti", "Pagamenti");
    fx.runReport(0, {}, [](frmReportistica &w) {
        for (QPushButton *b : {w.cmdAdd, w.cmdDelete, w.cmdSelect})
            QVERIFY(b->isHidden());
        QCOMPARE(w.cmdPrintGrid->text(), QStringLiteral("&Print"));
        QCOMPARE(w.cmdEsportaDati->text(), QStringLiteral("CSV E&xport"));
        QCOMPARE(w.cmdClose->text(), QStringLiteral("&Exit"));
        FlexGrid &g = *w.MSFlexGrid1;
        g.setRow(2);
        emit g.gridKeyDown(46, 0); // Delete key: nothing
        ListWindow::gLastMouseY = 1000.0;
        emit g.gridDblClick(); // no edit window
        QCOMPARE(g.Rows(), 4);
    });
    QCOMPARE(fx.tf.scalar("SELECT COUNT(*) FROM Pagamenti"), QStringLiteral("3"));
    QCOMPARE(fx.people.messages(), QStringList());
    QCOMPARE(fx.people.modalShown, QStringList({"frmSplashReports", "frmReportistica"}));
}

void ReportWindowTest::rejectedQueryIsReported()
{
    ReportFixture fx;
    fx.addReport(1, " Nessuna FROM TabellaCheNonEsiste", "Rotto");
    fx.runReport(0, {}, [](frmReportistica &w) {
        QCOMPARE(w.MSFlexGrid1->Rows(), 1);
        QVERIFY(!w.totalShown());
    });
    const QStringList shown = fx.people.messages();
    QVERIFY2(!shown.isEmpty() && shown.at(0).contains(QLatin1String("TabellaCheNonEsiste"), Qt::CaseInsensitive),
             qPrintable(shown.join('|')));
    // One failure, one message: no follow-on about a closed recordset.
    QCOMPARE(shown.size(), 1);
}

void ReportWindowTest::dateHeadersSortByDate()
{
    ReportFixture fx;
    fx.addReport(1, " PagamentiID, DataPagamento AS DataControllo FROM Pagamenti ORDER BY Importo", "Per data");
    fx.runReport(0, {}, [](frmReportistica &w) {
        FlexGrid &g = *w.MSFlexGrid1;
        QCOMPARE(g.TextMatrix(0, 1), QStringLiteral("Data Controllo"));
        g.setCol(1);
        w.MSFlexGrid1_MouseDown(1, 0, 0, 10);
        QCOMPARE(g.TextMatrix(1, 0), QStringLiteral("1"));
        QCOMPARE(g.TextMatrix(3, 0), QStringLiteral("3"));
        g.setRow(0);
        g.setCol(1);
        w.MSFlexGrid1_MouseDown(1, 0, 0, 10);
        QCOMPARE(g.TextMatrix(1, 0), QStringLiteral("3"));
    });
    QCOMPARE(fx.people.messages(), QStringList());
}

void ReportWindowTest::reopenedWindowRecomputesHiddenColumns()
{
    ReportFixture fx;
    fx.addReport(1, " ANAGRAFICAID, Cognome FROM Anagrafica", "Chiavi");
    fx.addReport(2, " Cognome, ANAGRAFICAID FROM Anagrafica", "Nomi");
    // The close box keeps the window; the next report starts from its own columns.
    fx.withChooser(
        [](frmSplashReports &c) {
            c.cmdShowReport_Click(0);
            c.cmdShowReport_Click(1);
        },
        {[](frmReportistica &w) {
             QCOMPARE(w.MSFlexGrid1->ColWidth(0), 0);
             w.unload();
         },
         [](frmReportistica &w) {
             QCOMPARE(w.windowTitle(), QStringLiteral("Report - Nomi"));
             QVERIFY(w.MSFlexGrid1->ColWidth(0) > 0);
             QCOMPARE(w.MSFlexGrid1->ColWidth(1), 0);
         }});
}

QTEST_MAIN(ReportWindowTest)
#include "test_reportwindow.moc"
