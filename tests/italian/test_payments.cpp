// The Italian edition's payment windows: the total in its own words, the
// member's status line, the list as written and its printout.
#include "payments/PaymentFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

class TestItalianPayments : public QObject {
    Q_OBJECT

private slots:
    void listTotalAndPrintout()
    {
        PaymentFixture fx;
        // The empty list opens its edit window while it loads.
        fx.nextModal<frmEditPagamenti>([](frmEditPagamenti &e) { e.cmdCancel_Click(); });
        fx.withPayments([&](frmPagamenti &l) {
            QCOMPARE(l.lblTotaleImporti->text(),
                     QStringLiteral("Importo complessivo dei pagamenti visualizzati: 0,00 €"));
            fx.addPayment(1, 1, QStringLiteral("2026-01-10 00:00:00"), QStringLiteral("1234.5"),
                          QStringLiteral("Quota"));
            l.FillGrid();
            QCOMPARE(l.windowTitle(), QStringLiteral("Pagamenti"));
            FlexGrid &g = *l.MSFlexGrid1;
            QStringList headers;
            for (int c = 0; c < g.Cols(); ++c)
                headers << g.TextMatrix(0, c);
            QCOMPARE(headers,
                     (QStringList{"IDFIELD", "Socio", "IDFIELD", "Data Pagamento", "Causale", "Importo",
                                  "Note Pagamento", "Data Creazione", "Data Ultima Modifica"}));
            QCOMPARE(g.TextMatrix(1, 5), QStringLiteral("1.234,50 €"));
            QCOMPARE(l.lblTotaleImporti->text(),
                     QStringLiteral("Importo complessivo dei pagamenti visualizzati: 1.234,50 €"));
            l.cmdPrintGrid_Click();
        });
        fx.addPayment(2, 70000, QStringLiteral("2026-01-11 00:00:00"), QStringLiteral("0.5"));
        fx.withMemberPayments(1, [&](frmPagamenti &l) {
            QCOMPARE(l.windowTitle(), QStringLiteral("Pagamenti di Rossi"));
            QCOMPARE(l.lblTotaleImporti->text(),
                     QStringLiteral("Importo complessivo dei pagamenti visualizzati: 1.234,50 €"));
            l.cmdPrintGrid_Click();
        });
        QCOMPARE(fx.people.previews.size(), 2);
        const QString all = fx.people.previews.at(0);
        QVERIFY(all.contains(QLatin1String(">Circolo Aurora - Pagamenti</p>")));
        QVERIFY(all.contains(QLatin1String("<th>Data Pagamento</th>")));
        QVERIFY(all.indexOf(QStringLiteral("Importo complessivo dei pagamenti visualizzati: 1.234,50 €"))
                > all.indexOf(QLatin1String("</table>")));
        QVERIFY(fx.people.previews.at(1).contains(QLatin1String(">Circolo Aurora - Pagamenti di Rossi</p>")));
    }

    void editWindowAndStatusLine()
    {
        PaymentFixture fx;
        fx.addPayment(1, 1, QStringLiteral("2026-01-10 00:00:00"), QStringLiteral("20"));
        fx.withPayments([&](frmPagamenti &l) {
            fx.nextModal<frmEditPagamenti>([&](frmEditPagamenti &e) {
                QCOMPARE(e.windowTitle(), QStringLiteral("Pagamenti"));
                QCOMPARE(e.findChild<QLabel *>(QStringLiteral("lblImporto"))->text(), QStringLiteral("Importo (€)"));
                QCOMPARE(e.chkModificaDataScadenzaIscrizione->text(),
                         QStringLiteral("Modifica contestualmente la data di scadenza dell'iscrizione del socio"));
                QCOMPARE(e.cmdPrint->text(), QStringLiteral("S&tampa ricevuta"));
                e.cboSocio->setCurrentIndex(e.cboSocio->findText(QStringLiteral("Rossi Mario")));
                QCOMPARE(e.txtStatoSocio->text(),
                         QStringLiteral("Tipologia socio: Socio ordinario. Socio dal 2020-01-15 00:00:00. "
                                        "Scadenza iscrizione: 2026-12-31 00:00:00. "));
                e.cboSocio->setCurrentIndex(e.cboSocio->findText(QStringLiteral("Bianchi Anna")));
                QCOMPARE(e.txtStatoSocio->text(), QStringLiteral("Tipologia socio: Contatto. "));
                e.txtImporto->setText(QStringLiteral("dieci"));
                e.cmdOK_Click();
                QCOMPARE(fx.people.last().text, QStringLiteral("Formato dell'importo del pagamento non valido"));
                QCOMPARE(fx.people.last().title, QStringLiteral("Merivolo"));
                e.txtImporto->clear();
                e.cmdOK_Click();
                QCOMPARE(fx.people.last().text, QStringLiteral("Inserire l'importo del pagamento"));
                e.cmdPrint_Click();
                e.cmdCancel_Click();
            });
            l.cmdAdd->click();
        });
        QCOMPARE(fx.people.previews.size(), 1);
        QVERIFY(fx.people.previews.at(0).contains(QLatin1String(
            ">Circolo Aurora</p><font style=\"font-family: arial ; font-size: 22pt;\">Ricevuta di pagamento</p>")));
    }
};

QTEST_MAIN(TestItalianPayments)
#include "test_payments.moc"
