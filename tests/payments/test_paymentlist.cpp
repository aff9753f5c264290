// The payments list: scopes, total, delete, print and export.
#include "PaymentFixture.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>

class PaymentListTest : public QObject {
    Q_OBJECT
private slots:
    void emptyListShowsZeroAndOpensTheEditWindow();
    void allMembersScope();
    void oneMemberScopeFromTheMemberList();
    void titleIsTranslatedWithTheName();
    void totalKeepsCentsOfLargeAmountsInGridAndCsv();
    void deleteTakesEndorsementsAndDepositsAndRefills();
    void failedDeleteLeavesEverything();
    void printedListCarriesHeadingScopeAndTotal();
    void resizeKeepsTheTotalBelowTheGrid();
};

void PaymentListTest::emptyListShowsZeroAndOpensTheEditWindow()
{
    PaymentFixture fx;
    // The edit window opens from the list's load handler, before the list runs.
    fx.nextModal<frmEditPagamenti>([](frmEditPagamenti &e) {
        QVERIFY(e.gIsNewRecord);
        QCOMPARE(e.cboSocio->currentIndex(), -1);
        QCOMPARE(e.IdAnagrafica, -1LL);
        QVERIFY(e.cboSocio->isEnabled());
        QCOMPARE(e.txtStatoSocio->text(), QString());
        e.cmdCancel_Click();
    });
    fx.withPayments([](frmPagamenti &l) {
        QCOMPARE(l.MSFlexGrid1->Rows(), 1);
        QCOMPARE(l.MSFlexGrid1->TextMatrix(0, 0), QStringLiteral("0 Records"));
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed payments: 0,00 €"));
    });
    QCOMPARE(fx.people.modalShown, QStringList({"frmEditPagamenti", "frmPagamenti"}));
}

void PaymentListTest::allMembersScope()
{
    PaymentFixture fx;
    fx.addPayment(3, 2, "2026-02-01 00:00:00", "1234.5", "Quota");
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20", "Quota");
    fx.addPayment(2, 70000, "2026-01-20 00:00:00", "-3.25");
    fx.addPayment(5, 4, "2026-01-20 00:00:00", "7"); // member without type: still listed
    fx.withPayments([](frmPagamenti &l) {
        FlexGrid &g = *l.MSFlexGrid1;
        QCOMPARE(l.OsenXPForm1->Caption(), QStringLiteral("Payments"));
        QVERIFY(l.cmdSelect->isEnabled());
        QCOMPARE(g.Rows(), 5);
        const QStringList headers = {"IDFIELD", "Member",        "IDFIELD", "Payment Date", "Reason",
                                     "Amount",  "Payment Notes", "Created", "Last Updated"};
        for (int c = 0; c < headers.size(); ++c)
            QCOMPARE(g.TextMatrix(0, c), headers.at(c));
        QCOMPARE(g.ColWidth(0), 0);
        QCOMPARE(g.ColWidth(2), 0);
        // key order
        QCOMPARE(g.TextMatrix(1, 0), QStringLiteral("1"));
        QCOMPARE(g.TextMatrix(2, 0), QStringLiteral("2"));
        QCOMPARE(g.TextMatrix(4, 0), QStringLiteral("5"));
        QCOMPARE(g.TextMatrix(1, 1), QStringLiteral("Rossi Mario"));
        QCOMPARE(g.TextMatrix(2, 1), QStringLiteral("D'Amico \"Zoë\" Łukasz 日本"));
        QCOMPARE(g.TextMatrix(2, 5), QStringLiteral("-3,25 €"));
        QCOMPARE(g.TextMatrix(3, 5), QStringLiteral("1.234,50 €"));
        QCOMPARE(g.TextMatrix(2, 4), QString()); // Null reason
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed payments: 1.258,25 €"));
    });
}

void PaymentListTest::oneMemberScopeFromTheMemberList()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    fx.addPayment(2, 70000, "2026-01-20 00:00:00", "15.5");
    fx.addPayment(3, 70000, "2026-02-20 00:00:00", "4.5");
    fx.withMemberPayments(70000, [&](frmPagamenti &l) {
        QCOMPARE(*frmPagamenti::gCurrentAnagraficaID, 70000.0);
        QCOMPARE(*frmPagamenti::gWherePagamenti, QStringLiteral(" a.anagraficaid=70000"));
        QCOMPARE(l.OsenXPForm1->Caption(), QStringLiteral("Payments by D'Amico \"Zoë\""));
        QVERIFY(!l.cmdSelect->isEnabled());
        QCOMPARE(l.MSFlexGrid1->Rows(), 3);
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed payments: 20,00 €"));

        // Adding here proposes the member, fixed, with its status line.
        fx.nextModal<frmEditPagamenti>([](frmEditPagamenti &e) {
            QCOMPARE(e.IdAnagrafica, 70000LL);
            QCOMPARE(e.cboSocio->currentText(), QStringLiteral("D'Amico \"Zoë\" Łukasz 日本"));
            QVERIFY(!e.cboSocio->isEnabled());
            QCOMPARE(e.txtStatoSocio->text(),
                     QStringLiteral("Member type: Socio ordinario. Expires on: 2025-06-30 00:00:00. "));
            QCOMPARE(e.txtDataPagamento->text(), QStringLiteral("05/03/2026"));
            e.txtImporto->setText(QStringLiteral("10"));
            e.cmdOK_Click();
        });
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 4);
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed payments: 30,00 €"));
    });
    QCOMPARE(fx.scalar("SELECT ANAGRAFICAID FROM Pagamenti WHERE PagamentiID = 4"), QStringLiteral("70000"));
}

void PaymentListTest::titleIsTranslatedWithTheName()
{
    PaymentFixture fx;
    fx.tf.exec("UPDATE Anagrafica SET Cognome = 'Banca' WHERE ANAGRAFICAID = 2");
    fx.addPayment(1, 2, "2026-01-10 00:00:00", "20");
    // The caption table runs over the whole title, the name included.
    fx.withMemberPayments(2, [&](frmPagamenti &l) {
        QCOMPARE(l.OsenXPForm1->Caption(), QStringLiteral("Payments by Bank"));
        QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 1), QStringLiteral("Banca Anna"));
    });
}

void PaymentListTest::totalKeepsCentsOfLargeAmountsInGridAndCsv()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "999999999.99");
    fx.addPayment(2, 2, "2026-01-11 00:00:00", "999999999.99");
    fx.addPayment(3, 2, "2026-01-12 00:00:00", "0.01");
    const QString csv = fx.tf.file("pagamenti.csv");
    fx.people.saveAnswers.push_back(csv);
    fx.withPayments([](frmPagamenti &l) {
        QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 5), QStringLiteral("999.999.999,99 €"));
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed payments: 1.999.999.999,99 €"));
        l.cmdEsportaDati_Click();
    });
    QFile f(csv);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(f.readAll()).replace(QChar(0x80), QStringLiteral("€"));
    QVERIFY(!text.contains(QLatin1String("IDFIELD")));
    QVERIFY2(text.contains(QStringLiteral("999.999.999,99 ")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("0,01 ")));
}

void PaymentListTest::deleteTakesEndorsementsAndDepositsAndRefills()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    fx.addPayment(2, 2, "2026-01-11 00:00:00", "30");
    fx.addPayment(3, 1, "2026-01-12 00:00:00", "40");
    fx.tf.exec("INSERT INTO Girate (PagamentiID) VALUES (2); INSERT INTO Girate (PagamentiID) VALUES (2);"
               "INSERT INTO Girate (PagamentiID) VALUES (3); INSERT INTO Versamenti (PagamentiID) VALUES (2);"
               "INSERT INTO Versamenti (PagamentiID) VALUES (1);");
    fx.withPayments([&](frmPagamenti &l) {
        FlexGrid &g = *l.MSFlexGrid1;
        g.setRow(2);
        fx.people.msgAnswers.push_back(7); // No
        l.cmdDelete_Click();
        QCOMPARE(g.Rows(), 4);
        fx.people.msgAnswers.push_back(6); // Yes, through the Delete key
        g.setRow(2);
        l.MSFlexGrid1_KeyDown(46, 0);
        QCOMPARE(fx.people.last().text, QStringLiteral("Are you sure to delete the record?"));
        QCOMPARE(g.Rows(), 3);
        QCOMPARE(g.Row(), 0); // refilled: no row is current
        QCOMPARE(g.TextMatrix(2, 0), QStringLiteral("3"));
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed payments: 60,00 €"));
    });
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Pagamenti"), QStringLiteral("2"));
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Girate WHERE PagamentiID = 2"), QStringLiteral("0"));
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Versamenti WHERE PagamentiID = 2"), QStringLiteral("0"));
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Girate"), QStringLiteral("1"));
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Versamenti"), QStringLiteral("1"));
    QCOMPARE(fx.ran("DELETE"),
             QStringList({"DELETE From girate WHERE PagamentiID = 2", "DELETE From versamenti WHERE PagamentiID = 2",
                          "DELETE From Pagamenti WHERE PagamentiID = 2"}));
}

void PaymentListTest::failedDeleteLeavesEverything()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    fx.addPayment(2, 2, "2026-01-11 00:00:00", "30");
    fx.tf.exec("INSERT INTO Girate (PagamentiID) VALUES (2); INSERT INTO Versamenti (PagamentiID) VALUES (2);"
               + TestFolder::failingTrigger("keep", "BEFORE DELETE", "Pagamenti", "payment locked"));
    fx.withPayments([&](frmPagamenti &l) {
        FlexGrid &g = *l.MSFlexGrid1;
        g.setRow(2);
        fx.people.msgAnswers.push_back(6);
        l.cmdDelete_Click();
        QVERIFY(fx.people.last().text.contains(QLatin1String("payment locked")));
        QCOMPARE(g.Rows(), 3);
        QCOMPARE(g.TextMatrix(2, 0), QStringLiteral("2"));
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed payments: 50,00 €"));
    });
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Pagamenti"), QStringLiteral("2"));
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Girate"), QStringLiteral("1"));
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Versamenti"), QStringLiteral("1"));
}

void PaymentListTest::printedListCarriesHeadingScopeAndTotal()
{
    PaymentFixture fx;
    fx.addPayment(1, 70000, "2026-01-10 00:00:00", "20", "Quota <2026>");
    fx.withMemberPayments(70000, [](frmPagamenti &l) { l.cmdPrintGrid_Click(); });
    fx.withPayments([](frmPagamenti &l) { l.cmdPrintGrid_Click(); });
    QCOMPARE(fx.people.previews.size(), 2);
    const QString one = fx.people.previews.at(0);
    QVERIFY2(one.contains(QStringLiteral("Circolo Aurora - Payments by D'Amico")), qPrintable(one));
    QVERIFY(!one.contains(QLatin1String("IDFIELD")));
    for (const char *h : {"Member", "Payment Date", "Reason", "Amount", "Payment Notes", "Created", "Last Updated"})
        QVERIFY2(one.contains(QLatin1String(h)), h);
    QVERIFY(one.contains(QStringLiteral("Total amount of displayed payments: 20,00 €")));
    QVERIFY(one.indexOf(QStringLiteral("Total amount")) > one.indexOf(QStringLiteral("Last Updated")));
    const QString all = fx.people.previews.at(1);
    QVERIFY(all.contains(QStringLiteral(">Circolo Aurora - Payments</")));
}

void PaymentListTest::resizeKeepsTheTotalBelowTheGrid()
{
    PaymentFixture fx;
    fx.addPayment(1, 1, "2026-01-10 00:00:00", "20");
    fx.withPayments([](frmPagamenti &l) {
        for (const QSize s : {QSize(1000, 700), QSize(500, 300)}) {
            l.resize(s);
            l.Form_Resize();
            const QRect grid = l.MSFlexGrid1->geometry();
            const QRect total = l.lblTotaleImporti->geometry();
            QCOMPARE(total.top(), l.height() - twipsToPixels(500));
            QVERIFY(grid.bottom() < total.top());
            QVERIFY(total.bottom() <= l.height());
        }
    });
}

QTEST_MAIN(PaymentListTest)
#include "test_paymentlist.moc"
