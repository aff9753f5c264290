// The payment edit window: loading, status line, validations, statements,
// the expiry move and its transaction.
#include "PaymentFixture.h"

#include <QLabel>

class PaymentEditTest : public QObject {
    Q_OBJECT
private slots:
    void statusLineFollowsTheChosenMember();
    void validationsStopInTheirOrder();
    void amountsTheDatabaseReadsAsNumbers();
    void addWritesTheExactInsertAndRefillsTheList();
    void editLoadsStoredValuesAndWritesTheExactUpdate();
    void expiryIsMovedWithItsStamp();
    void failedExpiryMoveUndoesThePayment();
    void savesAgainstRowsAnotherDeskDeleted();
    void todayIsProposedOnceOnly();
    void injectionTextsAreStoredAsTyped();
};

void PaymentEditTest::statusLineFollowsTheChosenMember()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    fx.withPayments([&](frmPagamenti &l) {
        fx.nextModal<frmEditPagamenti>([](frmEditPagamenti &e) {
            QCOMPARE(e.cboSocio->currentIndex(), -1);
            QCOMPARE(e.txtStatoSocio->text(), QString());
            QVERIFY(!e.IsLoading); // activation ended the loading
            // members in surname order
            QCOMPARE(e.cboSocio->itemText(0), QStringLiteral("Bianchi Anna"));
            e.cboSocio->setCurrentIndex(e.cboSocio->findText(QStringLiteral("Rossi Mario")));
            QCOMPARE(e.IdAnagrafica, 1LL);
            QCOMPARE(e.txtStatoSocio->text(),
                     QStringLiteral("Member type: Socio ordinario. Member since 2020-01-15 "
                                    "00:00:00. Expires on: 2026-12-31 00:00:00. "));
            e.cboSocio->setCurrentIndex(e.cboSocio->findText(QStringLiteral("Bianchi Anna")));
            QCOMPARE(e.txtStatoSocio->text(), QStringLiteral("Member type: Contatto. "));
            e.cboSocio->setCurrentIndex(e.cboSocio->findText(QStringLiteral("Senzatipo Ugo")));
            QCOMPARE(e.IdAnagrafica, 4LL);
            QCOMPARE(e.txtStatoSocio->text(), QString()); // no matching type row
            e.cmdCancel_Click();
        });
        l.cmdAdd->click();
    });
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Pagamenti"), QStringLiteral("1"));
}

void PaymentEditTest::validationsStopInTheirOrder()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    fx.withPayments([&](frmPagamenti &l) {
        fx.nextModal<frmEditPagamenti>([&](frmEditPagamenti &e) {
            auto expect = [&](const QString &message) { fx.expectRefused(e, message); };
            e.txtDataPagamento->clear();
            expect(QStringLiteral("Select the member"));
            e.cboSocio->setCurrentIndex(0);
            expect(QStringLiteral("Inserire la data del pagamento"));
            e.txtDataPagamento->setText(QStringLiteral("31/02/2026"));
            expect(QStringLiteral("Formato della data del pagamento non valido"));
            e.txtDataPagamento->setText(QStringLiteral("28/02/2026"));
            e.txtImporto->setText(QStringLiteral("   "));
            expect(QStringLiteral("Insert the payment amount"));
            e.txtImporto->setText(QStringLiteral("dodici"));
            expect(QStringLiteral("Formato dell'importo del pagamento non valido"));
            e.txtImporto->setText(QStringLiteral("12"));
            e.chkModificaDataScadenzaIscrizione->setChecked(true);
            e.txtNuovaDataScadenza->clear();
            expect(QStringLiteral("Inserire la nuova data di scadenza dell'iscrizione del socio"));
            e.txtNuovaDataScadenza->setText(QStringLiteral("32/12/2027"));
            expect(QStringLiteral("Formato della nuova data di scadenza dell'iscrizione del socio non valido"));
            e.cmdCancel_Click();
        });
        l.cmdAdd->click();
    });
    QCOMPARE(fx.ran("INSERT"), QStringList());
    QCOMPARE(fx.ran("UPDATE"), QStringList());
}

void PaymentEditTest::amountsTheDatabaseReadsAsNumbers()
{
    for (const char *ok : {"12,50", "1.234,56", "1.500", "-3", "1234", " 7 ", "+2,5"})
        QVERIFY2(frmEditPagamenti::isAmount(QString::fromUtf8(ok)), ok);
    for (const char *bad :
         {"12.50", "1.50", "12.5.3", "1,2,3", "12,5,0", "abc", "", "1 234", "12,50 €", "x'); DROP TABLE Pagamenti; --"})
        QVERIFY2(!frmEditPagamenti::isAmount(QString::fromUtf8(bad)), bad);

    // The amount is read the way the list shows amounts: "1.500" is fifteen
    // hundred, and "1.50" is no amount at all (nothing is stored).
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    fx.withPayments([&](frmPagamenti &l) {
        fx.nextModal<frmEditPagamenti>([&](frmEditPagamenti &e) {
            e.cboSocio->setCurrentIndex(0);
            e.txtImporto->setText(QStringLiteral("1.50"));
            e.cmdOK_Click();
            QVERIFY(e.isLoaded());
            QCOMPARE(fx.people.last().text, QStringLiteral("Formato dell'importo del pagamento non valido"));
            QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Pagamenti"), QStringLiteral("1"));
            e.txtImporto->setText(QStringLiteral("1.500"));
            e.cmdOK_Click();
            QVERIFY(!e.isLoaded());
        });
        l.cmdAdd->click();
    });
    QCOMPARE(fx.scalar("SELECT Importo FROM Pagamenti WHERE PagamentiID = 2"), QStringLiteral("1500"));
}

void PaymentEditTest::addWritesTheExactInsertAndRefillsTheList()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    fx.withPayments([&](frmPagamenti &l) {
        fx.nextModal<frmEditPagamenti>([](frmEditPagamenti &e) {
            e.cboSocio->setCurrentIndex(e.cboSocio->findText(QStringLiteral("Bianchi Anna")));
            e.txtImporto->setText(QStringLiteral(" 12,50 "));
            e.txtCausale->setText(QStringLiteral("  Quota 2026  "));
            e.cmdOK_Click();
            QVERIFY(!e.isLoaded());
        });
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 3);
        // read again whole: the new amount is formatted and counted
        QCOMPARE(l.MSFlexGrid1->TextMatrix(2, 5), QStringLiteral("12,50 €"));
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed payments: 32,50 €"));
    });
    QCOMPARE(fx.ran("INSERT"),
             QStringList({"INSERT INTO Pagamenti ( ANAGRAFICAID,  Datapagamento, Importo, Causale, NotePagamento, "
                          "DateTimeCreated) VALUES (2,  '2026-03-05 00:00:00',  12.50,  'Quota 2026',  Null,  "
                          "'2026-03-05 09:07:03') "}));
    QCOMPARE(fx.tf.rows("SELECT Importo FROM Pagamenti WHERE PagamentiID = 2"), QStringList({"12.5"}));
    if (!TestFolder::onServer()) // SQLite stores what it is given: the amount must be a number
        QCOMPARE(fx.scalar("SELECT typeof(Importo) FROM Pagamenti WHERE PagamentiID = 2"), QStringLiteral("real"));
    QCOMPARE(fx.scalar("SELECT DateTimeLastUpdated IS NULL FROM Pagamenti WHERE PagamentiID = 2"), QStringLiteral("1"));
    QCOMPARE(fx.ran("update anagrafica"), QStringList());
}

void PaymentEditTest::editLoadsStoredValuesAndWritesTheExactUpdate()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20", "Quota");
    fx.addPayment(2, 70000, "2025-12-24 00:00:00", "7.5", "Dono");
    fx.withPayments([&](frmPagamenti &l) {
        fx.nextModal<frmEditPagamenti>([](frmEditPagamenti &e) {
            QVERIFY(!e.gIsNewRecord);
            QCOMPARE(e.IdAnagrafica, 70000LL);
            QCOMPARE(e.cboSocio->currentText(), QStringLiteral("D'Amico \"Zoë\" Łukasz 日本"));
            QVERIFY(e.cboSocio->isEnabled());
            QCOMPARE(e.txtDataPagamento->text(), QStringLiteral("24/12/2025")); // not today
            QCOMPARE(e.txtImporto->text(), QStringLiteral("7,5"));
            QCOMPARE(e.txtCausale->text(), QStringLiteral("Dono"));
            QCOMPARE(e.txtNote->text(), QString());
            QCOMPARE(e.txtStatoSocio->text(),
                     QStringLiteral("Member type: Socio ordinario. Expires on: 2025-06-30 00:00:00. "));
            e.txtNote->setText(QStringLiteral("l'ultimo"));
            e.cmdOK_Click();
        });
        l.MSFlexGrid1->setRow(2);
        ListWindow::gLastMouseY = 1000;
        l.MSFlexGrid1_DblClick();
        QCOMPARE(l.MSFlexGrid1->Rows(), 3);
        QCOMPARE(l.MSFlexGrid1->TextMatrix(2, 6), QStringLiteral("l'ultimo"));
        QCOMPARE(l.MSFlexGrid1->TextMatrix(2, 8), QStringLiteral("2026-03-05 09:07:03"));
    });
    QCOMPARE(fx.ran("UPDATE"),
             QStringList({"UPDATE Pagamenti SET ANAGRAFICAID = 70000,  DataPagamento = '2025-12-24 00:00:00',  "
                          "Importo = 7.5,  Causale = 'Dono',  notepagamento = 'l''ultimo',  DateTimeLastUpdated = "
                          "'2026-03-05 09:07:03' WHERE PagamentiID = 2 "}));
    QCOMPARE(fx.scalar("SELECT DateTimeCreated FROM Pagamenti WHERE PagamentiID = 2"),
             QStringLiteral("2026-01-01 08:00:00"));
}

void PaymentEditTest::expiryIsMovedWithItsStamp()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    fx.withMemberPayments(1, [&](frmPagamenti &l) {
        fx.nextModal<frmEditPagamenti>([](frmEditPagamenti &e) {
            QVERIFY(e.txtNuovaDataScadenza->isHidden());
            QVERIFY(e.lblNuovaDataScadenza->isHidden());
            e.chkModificaDataScadenzaIscrizione->setChecked(true);
            QVERIFY(!e.txtNuovaDataScadenza->isHidden());
            QVERIFY(!e.lblNuovaDataScadenza->isHidden());
            e.chkModificaDataScadenzaIscrizione->setChecked(false);
            QVERIFY(e.txtNuovaDataScadenza->isHidden());
            e.chkModificaDataScadenzaIscrizione->setChecked(true);
            e.txtImporto->setText(QStringLiteral("25"));
            e.txtNuovaDataScadenza->setText(QStringLiteral("31/12/2027"));
            e.cmdOK_Click();
            QVERIFY(!e.isLoaded());
        });
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 3);
        // a later opening starts unticked and shows the new expiry
        fx.nextModal<frmEditPagamenti>([](frmEditPagamenti &e) {
            QCOMPARE(e.chkModificaDataScadenzaIscrizione->isChecked(), false);
            QVERIFY(e.txtNuovaDataScadenza->isHidden());
            QVERIFY(e.txtStatoSocio->text().contains(QLatin1String("Expires on: 2027-12-31 00:00:00. ")));
            e.cmdCancel_Click();
        });
        l.cmdAdd->click();
    });
    QCOMPARE(fx.ran("update anagrafica"),
             QStringList({"update anagrafica set datascadenzaiscrizione='2027-12-31 00:00:00', DateTimeLastUpdated = "
                          "'2026-03-05 09:07:03'  where anagraficaid = 1"}));
    QCOMPARE(fx.scalar("SELECT DateTimeLastUpdated FROM Anagrafica WHERE ANAGRAFICAID = 1"),
             QStringLiteral("2026-03-05 09:07:03"));
    QCOMPARE(fx.scalar("SELECT DateTimeCreated FROM Pagamenti WHERE PagamentiID = 2"),
             QStringLiteral("2026-03-05 09:07:03"));
    QCOMPARE(fx.scalar("SELECT DataScadenzaIscrizione FROM Anagrafica WHERE ANAGRAFICAID = 2"), QString());
}

void PaymentEditTest::failedExpiryMoveUndoesThePayment()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    fx.addPayment(2, 2, "2026-01-11 00:00:00", "30");
    fx.tf.exec(TestFolder::failingTrigger("frozen", "BEFORE UPDATE", "Anagrafica", "member frozen"));
    fx.withPayments([&](frmPagamenti &l) {
        auto tryToSave = [&](frmEditPagamenti &e) {
            e.chkModificaDataScadenzaIscrizione->setChecked(true);
            e.txtNuovaDataScadenza->setText(QStringLiteral("31/12/2027"));
            e.txtImporto->setText(QStringLiteral("99"));
            e.cmdOK_Click();
            QVERIFY(fx.people.last().text.contains(QLatin1String("member frozen")));
            // the window keeps what the user typed
            QVERIFY(e.isLoaded());
            QCOMPARE(e.txtImporto->text(), QStringLiteral("99"));
            QVERIFY(e.chkModificaDataScadenzaIscrizione->isChecked());
            e.cmdCancel_Click();
        };
        // a new payment
        fx.nextModal<frmEditPagamenti>([&](frmEditPagamenti &e) {
            e.cboSocio->setCurrentIndex(e.cboSocio->findText(QStringLiteral("Rossi Mario")));
            tryToSave(e);
        });
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 3);
        // an edited one
        fx.nextModal<frmEditPagamenti>(tryToSave);
        l.MSFlexGrid1->setRow(2);
        ListWindow::gLastMouseY = 1000;
        l.MSFlexGrid1_DblClick();
        QCOMPARE(l.MSFlexGrid1->TextMatrix(2, 5), QStringLiteral("30,00 €"));
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed payments: 50,00 €"));
    });
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Pagamenti"), QStringLiteral("2"));
    QCOMPARE(fx.scalar("SELECT Importo FROM Pagamenti WHERE PagamentiID = 2"), QStringLiteral("30"));
    QCOMPARE(fx.scalar("SELECT DateTimeLastUpdated IS NULL FROM Pagamenti WHERE PagamentiID = 2"), QStringLiteral("1"));
}

void PaymentEditTest::todayIsProposedOnceOnly()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    fx.withPayments([&](frmPagamenti &l) {
        fx.nextModal<frmEditPagamenti>([&](frmEditPagamenti &e) {
            QCOMPARE(e.txtDataPagamento->text(), QStringLiteral("05/03/2026"));
            e.txtDataPagamento->setText(QStringLiteral("01/03/2026"));
            e.cmdOK_Click(); // no member: a message, then the window is active again
            e.Form_Activate();
            QCOMPARE(e.txtDataPagamento->text(), QStringLiteral("01/03/2026"));
            e.cboSocio->setCurrentIndex(0);
            e.txtImporto->setText(QStringLiteral("5"));
            e.cmdOK_Click();
        });
        l.cmdAdd->click();
    });
    QCOMPARE(fx.scalar("SELECT DataPagamento FROM Pagamenti WHERE PagamentiID = 2"),
             QStringLiteral("2026-03-01 00:00:00"));
}

void PaymentEditTest::injectionTextsAreStoredAsTyped()
{
    PaymentFixture fx;
    const QString evil = QStringLiteral("x'); DROP TABLE Pagamenti; --");
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    fx.withPayments([&](frmPagamenti &l) {
        fx.nextModal<frmEditPagamenti>([&](frmEditPagamenti &e) {
            e.cboSocio->setCurrentIndex(0);
            e.txtImporto->setText(QStringLiteral("1"));
            e.txtCausale->setText(evil);
            e.txtNote->setText(evil + QStringLiteral(" «ñ»"));
            e.cmdOK_Click();
            QVERIFY(!e.isLoaded());
        });
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->TextMatrix(2, 4), evil);
    });
    QCOMPARE(fx.scalar("SELECT Causale FROM Pagamenti WHERE PagamentiID = 2"), evil);
    QCOMPARE(fx.scalar("SELECT NotePagamento FROM Pagamenti WHERE PagamentiID = 2"), evil + QStringLiteral(" «ñ»"));
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Pagamenti"), QStringLiteral("2"));
}

// Another desk deletes what this one is saving against: the payment being
// changed, or the member a new payment (with its expiry move) is for. The
// save is refused with a message that says so, and nothing is written.
void PaymentEditTest::savesAgainstRowsAnotherDeskDeleted()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    fx.addPayment(2, 1, "2026-01-11 00:00:00", "21");
    const auto deskA = fx.tf.otherDesk();
    fx.withMemberPayments(1, [&](frmPagamenti &l) {
        fx.nextModal<frmEditPagamenti>([&](frmEditPagamenti &e) {
            QCOMPARE(deskA->execute(QStringLiteral("DELETE FROM Pagamenti WHERE PagamentiID = 1")), 1);
            e.txtImporto->setText(QStringLiteral("25"));
            fx.expectRefused(e,
                             QStringLiteral("Another desk deleted this record since you opened it: nothing was "
                                            "saved."));
            e.cmdCancel_Click();
        });
        l.MSFlexGrid1->setRow(1);
        ListWindow::gLastMouseY = 1000;
        l.MSFlexGrid1_DblClick();
    });
    fx.withPayments([&](frmPagamenti &l) {
        fx.nextModal<frmEditPagamenti>([&](frmEditPagamenti &e) {
            e.cboSocio->setCurrentIndex(e.cboSocio->findText(QStringLiteral("Bianchi Anna")));
            e.txtImporto->setText(QStringLiteral("30"));
            e.chkModificaDataScadenzaIscrizione->setChecked(true);
            e.txtNuovaDataScadenza->setText(QStringLiteral("31/12/2027"));
            QCOMPARE(deskA->execute(QStringLiteral("DELETE FROM Anagrafica WHERE ANAGRAFICAID = 2")), 1);
            fx.expectRefused(e,
                             QStringLiteral("Another desk deleted the member this record refers to: nothing was "
                                            "saved."));
            e.cmdCancel_Click();
        });
        l.cmdAdd_Click();
    });
    QCOMPARE(fx.tf.rows("SELECT PagamentiID, Importo FROM Pagamenti"), QStringList{"2 21"});
    QCOMPARE(fx.people.messages().size(), 2);
}

QTEST_MAIN(PaymentEditTest)
#include "test_paymentedit.moc"
