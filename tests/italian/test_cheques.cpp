// The Italian edition's cheque and bank account windows: the bank codes
// required and checked, the date columns sorted as dates, flags, the total in
// its own words and the printouts under the product's name.
#include "cheques/ChequeWindowsFixture.h"

class TestItalianCheques : public QObject {
    Q_OBJECT

private slots:
    void bankCodesRequiredAndChecked()
    {
        ChequeWindowsFixture fx;
        fx.addAccount(1, QStringLiteral("Cassa"));
        fx.withList<frmMieiContiCorrenti>([&](frmMieiContiCorrenti &l) {
            fx.nextModal<frmEditMieiContiCorrenti>([&](frmEditMieiContiCorrenti &e) {
                auto expect = [&](const QString &abi, const QString &cab, const QString &message) {
                    e.txtABI->setText(abi);
                    e.txtCAB->setText(cab);
                    fx.expectRefused(e, message);
                };
                e.txtDescrizione->setText(QStringLiteral("Nuovo"));
                e.txtBanca->setText(QStringLiteral("Banca"));
                // The ABI is looked at first, the CAB only once it passes, the
                // account number after both.
                expect(QStringLiteral("  "), QStringLiteral("x"), QStringLiteral("Inserire il codice ABI"));
                expect(QStringLiteral("0123"), QString(), QStringLiteral("Lunghezza del codice ABI non valida"));
                expect(QStringLiteral("12a45"), QString(),
                       QStringLiteral("Il codice ABI contiene caratteri non validi"));
                expect(QStringLiteral(" 00123 "), QString(), QStringLiteral("Inserire il codice CAB"));
                expect(QStringLiteral("00123"), QStringLiteral("123456"),
                       QStringLiteral("Lunghezza del codice CAB non valida"));
                expect(QStringLiteral("00123"), QStringLiteral("0567O"),
                       QStringLiteral("Il codice CAB contiene caratteri non validi"));
                expect(QStringLiteral("00123"), QStringLiteral("05678"),
                       QStringLiteral("Inserire il numero di conto corrente"));
                e.txtNumeroConto->setText(QStringLiteral("42"));
                e.txtCAB->setText(QStringLiteral(" 05678 "));
                e.cmdOK_Click();
                QVERIFY(!e.isLoaded());
            });
            l.cmdAdd->click();
            QCOMPARE(l.MSFlexGrid1->Rows(), 3);
        });
        QCOMPARE(fx.scalar("SELECT ABI || '/' || CAB FROM MieiContiCorrenti WHERE Descrizione = 'Nuovo'"),
                 QStringLiteral("00123/05678"));
    }

    void accountListAsWrittenAndSortedByDate()
    {
        ChequeWindowsFixture fx;
        fx.addAccount(1, QStringLiteral("Primo"));
        fx.addAccount(2, QStringLiteral("Secondo"));
        fx.addAccount(3, QStringLiteral("Terzo"));
        fx.tf.exec(
            QStringLiteral("UPDATE MieiContiCorrenti SET DateTimeCreated = '01/02/2010' WHERE CONTOCORRENTEID = 1;"
                           "UPDATE MieiContiCorrenti SET DateTimeCreated = NULL WHERE CONTOCORRENTEID = 2;"
                           "UPDATE MieiContiCorrenti SET DateTimeCreated = '15/01/2010' WHERE CONTOCORRENTEID = 3;"));
        fx.withList<frmMieiContiCorrenti>([&](frmMieiContiCorrenti &l) {
            FlexGrid &g = *l.MSFlexGrid1;
            QCOMPARE(l.windowTitle(), QStringLiteral("I Miei Conti Correnti"));
            QCOMPARE(ChequeWindowsFixture::row(g, 0),
                     (QStringList{"IDFIELD", "Descrizione", "Banca", "ABI", "CAB", "Numero Conto", "Intestatari",
                                  "Data Creazione", "Data Ultima Modifica"}));
            auto descriptions = [&] {
                QStringList out;
                for (int r = 1; r < g.Rows(); ++r)
                    out << g.TextMatrix(r, 1);
                return out;
            };
            g.setCol(7);
            l.MSFlexGrid1_MouseDown(1, 0, 0, 1);
            QCOMPARE(descriptions(), (QStringList{"Secondo", "Terzo", "Primo"}));
            g.setCol(7);
            l.MSFlexGrid1_MouseDown(1, 0, 0, 1);
            QCOMPARE(descriptions(), (QStringList{"Primo", "Terzo", "Secondo"}));
            QCOMPARE(g.Cols(), 9);
            l.cmdPrintGrid_Click();
        });
        QVERIFY(fx.people.previews.value(0).contains(QLatin1String(">Merivolo - Conti correnti</p>")));
        QCOMPARE(fx.people.messages(), QStringList());
    }

    void chequeListFlagsTotalAndPrintout()
    {
        ChequeWindowsFixture fx;
        fx.addAccount(1, QStringLiteral("Conto principale"));
        fx.addCheque(1, 1, 1, QStringLiteral("100"), QStringLiteral("12.5"), QStringLiteral("101"));
        fx.addCheque(2, 1, 2, QStringLiteral("101"), QStringLiteral("1000"), QStringLiteral("010"));
        fx.withList<frmAssegniEmessi>([&](frmAssegniEmessi &l) {
            FlexGrid &g = *l.MSFlexGrid1;
            QCOMPARE(ChequeWindowsFixture::row(g, 0),
                     (QStringList{"IDFIELD", "IDFIELD", "Conto Corrente", "IDFIELD", "Beneficiario", "Numero Assegno",
                                  "Data Assegno", "Luogo Emissione", "Su Piazza", "Trasferibile", "Sbarrato", "Importo",
                                  "Causale", "Note", "Data Creazione", "Data Ultima Modifica"}));
            QCOMPARE(g.TextMatrix(1, 8) + g.TextMatrix(1, 9) + g.TextMatrix(1, 10), QStringLiteral("VeroFalsoVero"));
            QCOMPARE(g.TextMatrix(2, 8) + g.TextMatrix(2, 9) + g.TextMatrix(2, 10), QStringLiteral("FalsoVeroFalso"));
            QCOMPARE(l.lblTotaleImporti->text(),
                     QStringLiteral("Importo complessivo degli assegni visualizzati: 1.012,50 €"));
            l.cmdPrintGrid_Click();
        });
        const QString doc = fx.people.previews.value(0);
        QVERIFY(doc.contains(QLatin1String(">Merivolo - Assegni emessi</p>")));
        QVERIFY(doc.contains(QStringLiteral("Importo complessivo degli assegni visualizzati: 1.012,50 €")));
    }
};

QTEST_MAIN(TestItalianCheques)
#include "test_cheques.moc"
