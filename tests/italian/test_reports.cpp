// The Italian edition's reports: stored titles and prompts shown as stored,
// Italian prompts and product title at the input boxes, flags, the total in
// its own words and the printout under the product's name.
#include "reports/ReportFixture.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>

class TestItalianReports : public QObject {
    Q_OBJECT

private slots:
    // The register's shipped catalogue: its titles and prompts as stored.
    void shippedCatalogueAndPrompts()
    {
        ReportFixture fx;
        for (const char *name : {"/reports.sql", "/italian.sql"}) {
            QFile f(QStringLiteral(SOCIVANT_DATA_DIR) + QLatin1String(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            fx.tf.exec(QString::fromUtf8(f.readAll()));
        }
        for (const char *a : {"03/2011", "01/03/2011", "31/03/2011"})
            fx.people.inputAnswers.push_back(QString::fromLatin1(a));
        QStringList captions;
        QString title;
        fx.withChooser(
            [&](frmSplashReports &c) {
                title = c.windowTitle();
                for (QPushButton *b : c.cmdShowReport)
                    if (!b->isHidden())
                        captions << b->text();
                captions << c.cmdClose->text();
                c.cmdShowReport_Click(6);
                c.cmdShowReport_Click(8);
            },
            {[](frmReportistica &w) { QCOMPARE(w.MSFlexGrid1->Rows(), 3); },
             [](frmReportistica &w) {
                 QCOMPARE(w.windowTitle(), QStringLiteral("Report - Pagamenti ricevuti tra due date"));
             }});
        QCOMPARE(title, QStringLiteral("Scegli Report"));
        QCOMPARE(captions,
                 (QStringList{"Tutti i soci", "Tutti i soci con tessera valida", "Tutti i soci con tessera scaduta",
                              "Tutti i soci con tessera in scadenza entro un mese",
                              "Tutti i soci con tessera in scadenza entro due mesi", "Tutti i pagamenti",
                              "Pagamenti ricevuti nel mese", "Pagamenti ricevuti nell'anno",
                              "Pagamenti ricevuti tra due date", "Assegni ricevuti nell'anno",
                              "Somma degli importi ricevuti per mese", "Media degli importi ricevuti per mese",
                              "Numero di pagamenti ricevuti per mese", "Es&ci"}));
        QCOMPARE(fx.inputPrompts(),
                 (QStringList{"Inserisci il mese (formato MM/AAAA)", "Inserisci la data di partenza (GG/MM/AAAA)",
                              "Inserisci la data di arrivo (GG/MM/AAAA)"}));
        for (const auto &p : fx.people.prompts)
            QCOMPARE(p.title, QStringLiteral("Merivolo"));
        QCOMPARE(fx.people.messages(), QStringList());

        // A refused answer: the message as written, under the caller's title.
        fx.people.inputAnswers = {"xx/2011"};
        fx.withChooser([](frmSplashReports &c) { c.cmdShowReport_Click(7); });
        QCOMPARE(fx.inputPrompts().last(), QStringLiteral("Inserisci il mese di partenza (formato MM/AAAA)"));
        QCOMPARE(fx.people.messages(), QStringList{"Formato del mese non valido"});
        QCOMPARE(fx.people.last().title, QStringLiteral("Merivolo"));

        // The monthly average in Italian, and not summed into a total.
        fx.runReport(11, {}, [](frmReportistica &w) {
            QCOMPARE(w.MSFlexGrid1->TextMatrix(0, 2), QStringLiteral("Media Pagamenti"));
            QVERIFY(!w.totalShown());
        });
    }

    void windowFlagsTotalAndPrintout()
    {
        ReportFixture fx;
        fx.addReport(1,
                     " a.PagamentiID, a.Causale AS Causale, a.Importo, 1 AS Sbarrato, 0 AS Trasferibile,"
                     " a.DataPagamento FROM Pagamenti a ORDER BY a.PagamentiID",
                     "Tutti i pagamenti");
        fx.runReport(0, {}, [](frmReportistica &w) {
            FlexGrid &g = *w.MSFlexGrid1;
            QCOMPARE(w.windowTitle(), QStringLiteral("Report - Tutti i pagamenti"));
            QStringList headers;
            for (int c = 0; c < g.Cols(); ++c)
                headers << g.TextMatrix(0, c);
            QCOMPARE(headers,
                     (QStringList{"Pagamenti ID", "Causale", "Importo", "Sbarrato", "Trasferibile", "Data Pagamento"}));
            QCOMPARE(g.TextMatrix(1, 3), QStringLiteral("Vero"));
            QCOMPARE(g.TextMatrix(1, 4), QStringLiteral("Falso"));
            QCOMPARE(g.TextMatrix(2, 2), QStringLiteral("1.234,50 €"));
            QCOMPARE(w.lblTotaleImporti->text(),
                     QStringLiteral("Importo complessivo degli importi visualizzati: 1.258,25 €"));
            w.cmdPrintGrid_Click();
        });
        const QString doc = fx.people.previews.value(0);
        QVERIFY(doc.contains(QLatin1String(">Merivolo - Tutti i pagamenti</p>")));
        QVERIFY(doc.contains(QLatin1String("<td>Vero</td>")));
        QVERIFY(doc.contains(QStringLiteral("Importo complessivo degli importi visualizzati: 1.258,25 €")));
        QCOMPARE(fx.people.messages(), QStringList());
    }
};

QTEST_MAIN(TestItalianReports)
#include "test_reports.moc"
