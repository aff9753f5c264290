// The issued cheque windows: list with flags, amounts and total, edit with
// its validations and statements, search with flags, amount bounds and
// remembered values.
#include "ChequeWindowsFixture.h"

#include <QLabel>
#include <QRadioButton>

class IssuedChequesTest : public QObject {
    Q_OBJECT
private slots:
    void listShowsFlagsAmountsAndTotal();
    void emptyListShowsZeroTotalAndOpensTheEditWindow();
    void addWritesTheExactInsertAndTheListShowsIt();
    void editLoadsTheChequeAndWritesTheExactUpdate();
    void validationsStopInTheirOrder();
    void amountsTheDatabaseReadsAsNumbers();
    void aRejectedSaveKeepsTheWindowOpen();
    void todayIsProposedOnceOnly();
    void deleteRefillsAndAFailedDeleteKeepsTheRow();
    void printHasElevenColumnsAndTheTotal();
    void searchClausesInTheirOrder();
    void searchValidationsAndAmountBounds();
    void searchValuesComeBackAndClearGreysTheFlags();
    void injectionLeavesEveryTableIntact();
};

namespace {
void seed(ChequeWindowsFixture &fx)
{
    fx.addAccount(40000, QStringLiteral("Conto principale"));
    fx.addAccount(2, QStringLiteral("Cassa"));
    fx.addCheque(1, 40000, 70000, QStringLiteral("100"), QStringLiteral("12.5"), QStringLiteral("101"),
                 QStringLiteral("Quota"));
    fx.addCheque(2, 2, 2, QStringLiteral("101"), QStringLiteral("1000"), QStringLiteral("010"));
    fx.addCheque(3, 2, 999, QStringLiteral("102"), QStringLiteral("5")); // its payee is gone
}

// Runs one search from the list and hands back the list.
void search(ChequeWindowsFixture &fx, const std::function<void(frmSelectAssegniEmessi &)> &fill,
            const std::function<void(frmAssegniEmessi &)> &after = {})
{
    fx.withList<frmAssegniEmessi>([&](frmAssegniEmessi &l) {
        fx.nextModal<frmSelectAssegniEmessi>(fill);
        l.cmdSelect_Click();
        if (after)
            after(l);
    });
}
} // namespace

void IssuedChequesTest::listShowsFlagsAmountsAndTotal()
{
    ChequeWindowsFixture fx;
    seed(fx);
    fx.withList<frmAssegniEmessi>([&](frmAssegniEmessi &l) {
        FlexGrid &g = *l.MSFlexGrid1;
        QCOMPARE(ChequeWindowsFixture::row(g, 0),
                 QStringList({"IDFIELD", "IDFIELD", "Account", "IDFIELD", "Payee", "Checque Number", "Cheque Date",
                              "Place of issue", "Town Cheque", "Negotiable", "Crossed", "Amount", "Reason", "Notes",
                              "Created", "Last Updated"}));
        QCOMPARE(g.Rows(), 3);
        QCOMPARE(ChequeWindowsFixture::row(g, 1),
                 QStringList({"1", "40000", "Conto principale", "70000", "D'Amico Zoë", "100", "2026-02-10 00:00:00",
                              "Milano", "True", "False", "True", "12,50 €", "Quota", "", "2026-02-10 11:00:00", ""}));
        // a payee without a first name: the surname and a blank
        QCOMPARE(g.TextMatrix(2, 4), QStringLiteral("Bianchi "));
        QCOMPARE(g.TextMatrix(2, 11), QStringLiteral("1.000,00 €"));
        for (int c : {0, 1, 3})
            QCOMPARE(g.ColWidth(c), 0);
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed cheques: 1.012,50 €"));
        QCOMPARE(l.total(), 1012.5);

        // A filter is always added with AND: the query has its join condition.
        frmAssegniEmessi::gWhereAssegniEmessi = QStringLiteral("a.Sbarrato =True ");
        l.FillGrid();
        QCOMPARE(g.Rows(), 2);
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed cheques: 12,50 €"));
    });
    const QString base =
        QStringLiteral("SELECT a.ASSEGNIEMESSIID, a.CONTOCORRENTEID, b.Descrizione as ContoCorrente, a.ANAGRAFICAID, ")
        + concatSql("c.cognome", "' '", "c.Nome")
        + QStringLiteral(
            " as Beneficiario,  a.Numero as NumeroAssegno, "
            "a.DataAssegno, a.LuogoEmissione, a.SuPiazza, a.Trasferibile,  a.Sbarrato, a.Importo, a.Causale, a.AssegnoNote, "
            "a.DateTimeCreated as DataCreazione,  a.DateTimeLastUpdated as DataUltimaModifica FROM AssegniEmessi a, "
            "MieiContiCorrenti b, Anagrafica c WHERE a.CONTOCORRENTEID = b.CONTOCORRENTEID AND a.ANAGRAFICAID = "
            "c.ANAGRAFICAID ");
    QCOMPARE(fx.ran(QStringLiteral("SELECT a.ASSEGNIEMESSIID")),
             QStringList({base + " order by a.ASSEGNIEMESSIID ",
                          base + " AND (a.Sbarrato =True ) order by a.ASSEGNIEMESSIID "}));
}

void IssuedChequesTest::emptyListShowsZeroTotalAndOpensTheEditWindow()
{
    ChequeWindowsFixture fx;
    fx.addAccount(1, QStringLiteral("Cassa"));
    fx.nextModal<frmEditAssegniEmessi>([](frmEditAssegniEmessi &e) {
        QVERIFY(e.gIsNewRecord);
        e.cmdCancel_Click();
    });
    fx.withList<frmAssegniEmessi>(
        [&](frmAssegniEmessi &l) {
            QCOMPARE(l.MSFlexGrid1->TextMatrix(0, 0), QStringLiteral("0 Records"));
            QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed cheques: 0,00 €"));
        },
        1);
    QVERIFY(fx.people.modalShown.contains(QStringLiteral("frmEditAssegniEmessi")));
}

void IssuedChequesTest::addWritesTheExactInsertAndTheListShowsIt()
{
    ChequeWindowsFixture fx;
    fx.addAccount(40000, QStringLiteral("Conto principale"));
    fx.addAccount(2, QStringLiteral("Cassa"));
    // The first cheque of an empty list: saved, then the list shows it and its total.
    fx.nextModal<frmEditAssegniEmessi>([](frmEditAssegniEmessi &e) {
        QCOMPARE(e.cboDescrizione->currentIndex(), -1);
        QCOMPARE(e.cboNome->currentIndex(), -1);
        QCOMPARE(e.cboDescrizione->itemText(0), QStringLiteral("Cassa")); // by description
        QCOMPARE(e.cboNome->itemText(0), QStringLiteral("Bianchi "));     // by surname
        QCOMPARE(e.cboNome->itemText(1), QStringLiteral("D'Amico Zoë"));
        QCOMPARE(e.txtDataAssegno->text(), QStringLiteral("05/03/2026")); // today
        e.cboDescrizione->setCurrentIndex(e.cboDescrizione->findText(QStringLiteral("Conto principale")));
        e.cboNome->setCurrentIndex(e.cboNome->findText(QStringLiteral("D'Amico Zoë")));
        QCOMPARE(e.IdConto, 40000LL);
        QCOMPARE(e.IdAnagrafica, 70000LL);
        e.txtNumero->setText(QStringLiteral(" 0012345 "));
        e.txtDataAssegno->setText(QStringLiteral("28/02/2026"));
        e.chkSuPiazza->setChecked(true);
        e.chkSbarrato->setChecked(true);
        e.txtImporto->setText(QStringLiteral(" 12,50 "));
        e.txtCausale->setText(QStringLiteral("Rimborso dell'anticipo"));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    fx.withList<frmAssegniEmessi>(
        [&](frmAssegniEmessi &l) {
            FlexGrid &g = *l.MSFlexGrid1;
            QCOMPARE(g.Rows(), 2);
            QCOMPARE(ChequeWindowsFixture::row(g, 1).mid(2, 12),
                     QStringList({"Conto principale", "70000", "D'Amico Zoë", "0012345", "2026-02-28 00:00:00", "",
                                  "True", "False", "True", "12,50 €", "Rimborso dell'anticipo", ""}));
            QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed cheques: 12,50 €"));
            // a second one is appended and the list read again whole
            fx.nextModal<frmEditAssegniEmessi>([](frmEditAssegniEmessi &e) {
                e.cboDescrizione->setCurrentIndex(0);
                e.cboNome->setCurrentIndex(0);
                e.txtNumero->setText(QStringLiteral("7"));
                e.txtImporto->setText(QStringLiteral("-3"));
                e.cmdOK_Click();
                QVERIFY(!e.isLoaded());
            });
            l.cmdAdd->click();
            QCOMPARE(g.Rows(), 3);
            QCOMPARE(g.TextMatrix(2, 8), QStringLiteral("False")); // formatted: the list was read again
            QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed cheques: 9,50 €"));
        },
        1);
    QCOMPARE(fx.ran("INSERT"),
             QStringList(
                 {"INSERT INTO AssegniEmessi (CONTOCORRENTEID, ANAGRAFICAID, Numero, DataAssegno, LuogoEmissione, "
                  "SuPiazza, Trasferibile, Sbarrato, Importo, Causale, AssegnoNote, DateTimeCreated) VALUES "
                  "(40000,  70000,  '0012345',  '2026-02-28 00:00:00',  Null,  1,  0,  1,  12.50,  "
                  "'Rimborso dell''anticipo',  Null,  '2026-03-05 09:07:03') ",
                  "INSERT INTO AssegniEmessi (CONTOCORRENTEID, ANAGRAFICAID, Numero, DataAssegno, LuogoEmissione, "
                  "SuPiazza, Trasferibile, Sbarrato, Importo, Causale, AssegnoNote, DateTimeCreated) VALUES "
                  "(2,  2,  '7',  '2026-03-05 00:00:00',  Null,  0,  0,  0,  -3,  Null,  Null,  "
                  "'2026-03-05 09:07:03') "}));
    QCOMPARE(fx.tf.rows("SELECT Importo, LuogoEmissione, AssegnoNote, DateTimeLastUpdated FROM AssegniEmessi"
                        " WHERE Numero = '0012345'"),
             QStringList({"12.5 null null null"}));
    if (!TestFolder::onServer()) // SQLite stores what it is given: the amount must be a number
        QCOMPARE(fx.scalar("SELECT typeof(Importo) FROM AssegniEmessi WHERE Numero = '0012345'"),
                 QStringLiteral("real"));
}

void IssuedChequesTest::editLoadsTheChequeAndWritesTheExactUpdate()
{
    ChequeWindowsFixture fx;
    seed(fx);
    fx.withList<frmAssegniEmessi>([&](frmAssegniEmessi &l) {
        fx.nextModal<frmEditAssegniEmessi>([](frmEditAssegniEmessi &e) {
            QVERIFY(!e.gIsNewRecord);
            QCOMPARE(e.cboDescrizione->currentText(), QStringLiteral("Conto principale"));
            QCOMPARE(e.IdConto, 40000LL);
            QCOMPARE(e.cboNome->currentText(), QStringLiteral("D'Amico Zoë"));
            QCOMPARE(e.IdAnagrafica, 70000LL);
            QCOMPARE(e.txtNumero->text(), QStringLiteral("100"));
            QCOMPARE(e.txtDataAssegno->text(), QStringLiteral("10/02/2026")); // not today
            QCOMPARE(e.txtLuogoEmissione->text(), QStringLiteral("Milano"));
            QCOMPARE(checkValue(e.chkSuPiazza), 1);
            QCOMPARE(checkValue(e.chkTrasferibile), 0);
            QCOMPARE(checkValue(e.chkSbarrato), 1);
            QCOMPARE(e.txtImporto->text(), QStringLiteral("12,5"));
            QCOMPARE(e.txtCausale->text(), QStringLiteral("Quota"));
            e.cboDescrizione->setCurrentIndex(e.cboDescrizione->findText(QStringLiteral("Cassa")));
            e.chkSuPiazza->setChecked(false);
            e.chkTrasferibile->setChecked(true);
            e.txtLuogoEmissione->clear();
            e.txtAssegnoNote->setText(QStringLiteral("l'ultimo"));
            e.cmdOK_Click();
            QVERIFY(!e.isLoaded());
        });
        ChequeWindowsFixture::openRow(l, 1);
        QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 2), QStringLiteral("Cassa"));
        QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 8), QStringLiteral("False"));
        QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 11), QStringLiteral("12,50 €"));
        QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 15), QStringLiteral("2026-03-05 09:07:03"));
    });
    QCOMPARE(fx.ran("UPDATE"),
             QStringList(
                 {"UPDATE AssegniEmessi SET CONTOCORRENTEID = 2,  ANAGRAFICAID = 70000,  Numero = '100',  "
                  "DataAssegno = '2026-02-10 00:00:00',  LuogoEmissione = Null,  SuPiazza = 0,  Trasferibile = 1,  "
                  "Sbarrato = 1,  Importo = 12.5,  Causale = 'Quota',  AssegnoNote = 'l''ultimo',  "
                  "DateTimeLastUpdated = '2026-03-05 09:07:03' WHERE ASSEGNIEMESSIID = 1 "}));
    QCOMPARE(fx.scalar("SELECT DateTimeCreated FROM AssegniEmessi WHERE ASSEGNIEMESSIID = 1"),
             QStringLiteral("2026-02-10 11:00:00"));
}

void IssuedChequesTest::validationsStopInTheirOrder()
{
    ChequeWindowsFixture fx;
    seed(fx);
    fx.withList<frmAssegniEmessi>([&](frmAssegniEmessi &l) {
        fx.nextModal<frmEditAssegniEmessi>([&](frmEditAssegniEmessi &e) {
            auto expect = [&](const QString &message) { fx.expectRefused(e, message); };
            e.txtDataAssegno->clear();
            expect(QStringLiteral("Select the account"));
            e.cboDescrizione->setCurrentIndex(0);
            expect(QStringLiteral("Select the payee"));
            e.cboNome->setCurrentIndex(0);
            e.txtNumero->setText(QStringLiteral("  "));
            expect(QStringLiteral("Insert the cheque number"));
            e.txtNumero->setText(QStringLiteral("12A"));
            expect(QStringLiteral("Invalid cheque number"));
            e.txtNumero->setText(QStringLiteral("12"));
            expect(QStringLiteral("Insert the cheque date"));
            e.txtDataAssegno->setText(QStringLiteral("30/02/2026"));
            expect(QStringLiteral("Invalid cheque date"));
            e.txtDataAssegno->setText(QStringLiteral("28/02/2026"));
            expect(QStringLiteral("Insert the cheque amount"));
            e.txtImporto->setText(QStringLiteral("dodici"));
            expect(QStringLiteral("Invalid cheque amount"));
            QCOMPARE(e.txtNumero->text(), QStringLiteral("12")); // what was typed stays
            e.cmdCancel_Click();
        });
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 3);
    });
    QCOMPARE(fx.ran("INSERT"), QStringList());
}

void IssuedChequesTest::amountsTheDatabaseReadsAsNumbers()
{
    for (const char *ok : {"12,50", "1.234,56", "1.500", "-3", " 7 "})
        QVERIFY2(isAmount(QString::fromUtf8(ok)), ok);
    for (const char *bad : {"12.50", "1.50", "12.5.3", "12,5,0", "abc", "", "12,50 €"})
        QVERIFY2(!isAmount(QString::fromUtf8(bad)), bad);

    ChequeWindowsFixture fx;
    seed(fx);
    fx.withList<frmAssegniEmessi>([&](frmAssegniEmessi &l) {
        fx.nextModal<frmEditAssegniEmessi>([&](frmEditAssegniEmessi &e) {
            e.cboDescrizione->setCurrentIndex(0);
            e.cboNome->setCurrentIndex(0);
            e.txtNumero->setText(QStringLiteral("5"));
            // read as the list writes amounts, not as the database reads numbers
            for (const char *bad : {"12.50", "12,5,0"}) {
                e.txtImporto->setText(QLatin1String(bad));
                e.cmdOK_Click();
                QVERIFY(e.isLoaded());
                QCOMPARE(fx.people.last().text, QStringLiteral("Invalid cheque amount"));
            }
            e.cmdCancel_Click();
        });
        l.cmdAdd->click();
    });
    QCOMPARE(fx.ran("INSERT"), QStringList());
}

void IssuedChequesTest::aRejectedSaveKeepsTheWindowOpen()
{
    ChequeWindowsFixture fx;
    seed(fx);
    fx.tf.exec(TestFolder::failingTrigger("no_insert", "BEFORE INSERT", "AssegniEmessi", "disk full"));
    fx.withList<frmAssegniEmessi>([&](frmAssegniEmessi &l) {
        fx.nextModal<frmEditAssegniEmessi>([&](frmEditAssegniEmessi &e) {
            e.cboDescrizione->setCurrentIndex(0);
            e.cboNome->setCurrentIndex(0);
            e.txtNumero->setText(QStringLiteral("55"));
            e.txtImporto->setText(QStringLiteral("10"));
            e.cmdOK_Click();
            QVERIFY(fx.people.last().text.contains(QLatin1String("disk full")));
            QVERIFY(e.isLoaded());
            QCOMPARE(e.txtNumero->text(), QStringLiteral("55"));
            e.cmdCancel_Click();
        });
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 3);
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed cheques: 1.012,50 €"));
    });
}

void IssuedChequesTest::todayIsProposedOnceOnly()
{
    ChequeWindowsFixture fx;
    seed(fx);
    fx.withList<frmAssegniEmessi>([&](frmAssegniEmessi &l) {
        fx.nextModal<frmEditAssegniEmessi>([&](frmEditAssegniEmessi &e) {
            e.txtDataAssegno->setText(QStringLiteral("01/01/2026"));
            e.cmdOK_Click(); // a message, then the window is activated again
            e.Form_Activate();
            QCOMPARE(e.txtDataAssegno->text(), QStringLiteral("01/01/2026"));
            e.cmdCancel_Click();
        });
        l.cmdAdd->click();
    });
}

void IssuedChequesTest::deleteRefillsAndAFailedDeleteKeepsTheRow()
{
    ChequeWindowsFixture fx;
    seed(fx);
    fx.withList<frmAssegniEmessi>([&](frmAssegniEmessi &l) {
        FlexGrid &g = *l.MSFlexGrid1;
        g.setRow(2);
        fx.people.msgAnswers.push_back(7);
        l.cmdDelete_Click();
        QCOMPARE(fx.people.last().text, QStringLiteral("Are you sure to delete the record?"));
        QCOMPARE(g.Rows(), 3);
        fx.people.msgAnswers.push_back(6);
        l.MSFlexGrid1_KeyDown(46, 0);
        QCOMPARE(g.Rows(), 2);
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed cheques: 12,50 €"));

        fx.tf.exec(TestFolder::failingTrigger("keep", "BEFORE DELETE", "AssegniEmessi", "locked"));
        g.setRow(1);
        fx.people.msgAnswers.push_back(6);
        l.cmdDelete_Click();
        QVERIFY(fx.people.last().text.contains(QLatin1String("locked")));
        QCOMPARE(g.Rows(), 2);
        QCOMPARE(g.TextMatrix(1, 0), QStringLiteral("1"));

        // the only listed cheque: "0 Records" and a zero total after the refill
        fx.tf.exec("DROP TRIGGER keep");
        g.setRow(1);
        fx.people.msgAnswers.push_back(6);
        l.cmdDelete_Click();
        QCOMPARE(g.Rows(), 1);
        QCOMPARE(g.TextMatrix(0, 0), QStringLiteral("0 Records"));
        QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed cheques: 0,00 €"));
    });
    QCOMPARE(fx.ran("DELETE"),
             QStringList({"DELETE From AssegniEmessi WHERE ASSEGNIEMESSIID = 2",
                          "DELETE From AssegniEmessi WHERE ASSEGNIEMESSIID = 1",
                          "DELETE From AssegniEmessi WHERE ASSEGNIEMESSIID = 1"}));
    QCOMPARE(fx.tf.rows("SELECT ASSEGNIEMESSIID FROM AssegniEmessi"), QStringList({"3"}));
}

void IssuedChequesTest::printHasElevenColumnsAndTheTotal()
{
    ChequeWindowsFixture fx;
    seed(fx);
    fx.withList<frmAssegniEmessi>([](frmAssegniEmessi &l) { l.cmdPrintGrid_Click(); });
    QCOMPARE(fx.people.previews.size(), 1);
    const QString doc = fx.people.previews.at(0);
    QVERIFY2(doc.contains(QStringLiteral(">Socivant - Outgoing cheques</")), qPrintable(doc));
    QCOMPARE(doc.count(QStringLiteral("<th")), 11);
    for (const char *absent : {"IDFIELD", "Created", "Last Updated", "2026-02-10 11:00:00", "40000"})
        QVERIFY2(!doc.contains(QLatin1String(absent)), absent);
    QVERIFY(doc.indexOf(QStringLiteral("Total amount of displayed cheques: 1.012,50 €"))
            > doc.indexOf(QStringLiteral("Quota")));
}

void IssuedChequesTest::searchClausesInTheirOrder()
{
    ChequeWindowsFixture fx;
    seed(fx);
    // Only the Sbarrato box ticked: a.Sbarrato =True and one blank.
    search(
        fx,
        [](frmSelectAssegniEmessi &s) {
            for (QCheckBox *c : {s.chkSuPiazza, s.chkTrasferibile, s.chkSbarrato})
                QCOMPARE(checkValue(c), 2); // grey: any
            s.chkSbarrato->setCheckState(Qt::Checked);
            s.optOR->setChecked(true);
            s.cmdOK_Click();
            QVERIFY(!s.isLoaded());
        },
        [](frmAssegniEmessi &l) {
            QCOMPARE(l.MSFlexGrid1->Rows(), 2);
            QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("1"));
        });
    QCOMPARE(*frmAssegniEmessi::gWhereAssegniEmessi, QStringLiteral("a.Sbarrato =True "));

    // A cleared box searches False; every clause in the window's order.
    search(
        fx,
        [](frmSelectAssegniEmessi &s) {
            s.cmdClear->click();
            s.optAND->setChecked(true);
            s.txtAssegnoNote->setText(QStringLiteral("nota"));
            s.txtCausale->setText(QStringLiteral("Quota, Dono"));
            s.txtImportoA->setText(QStringLiteral("100"));
            s.txtImportoDa->setText(QStringLiteral("12,5"));
            s.chkSbarrato->setCheckState(Qt::Unchecked);
            s.chkTrasferibile->setCheckState(Qt::Checked);
            s.chkSuPiazza->setCheckState(Qt::Unchecked);
            s.txtLuogoEmissione->setText(QStringLiteral("Mil"));
            s.txtDataA->setText(QStringLiteral("28/02/2026"));
            s.txtDataDa->setText(QStringLiteral("1/2/26"));
            s.txtNumero->setText(QStringLiteral("12, 15"));
            s.cboNome->setCurrentIndex(s.cboNome->findText(QStringLiteral("D'Amico Zoë")));
            s.cboDescrizione->setCurrentIndex(s.cboDescrizione->findText(QStringLiteral("Conto principale")));
            s.cmdOK_Click();
        },
        [](frmAssegniEmessi &l) { QCOMPARE(l.MSFlexGrid1->TextMatrix(0, 0), QStringLiteral("0 Records")); });
    QCOMPARE(*frmAssegniEmessi::gWhereAssegniEmessi,
             QStringLiteral("a.CONTOCORRENTEID = 40000 AND a.ANAGRAFICAID = 70000 AND a.Numero IN ('12', '15') AND "
                            "a.DataAssegno >= ('2026-02-01 00:00:00') AND a.DataAssegno <= ('2026-02-28 00:00:00') AND "
                            "a.LuogoEmissione Like '%Mil%' AND a.SuPiazza = False  AND a.Trasferibile =True  AND "
                            "a.Sbarrato =False  AND a.Importo >= 12.5  AND a.Importo <= 100  AND "
                            "a.Causale IN ('Quota', 'Dono') AND a.AssegnoNote Like '%nota%'"));
    QVERIFY(!*frmSelectAssegniEmessi::gSelectUseOrAssegniEmessi);

    // The cleared flags find the cheque 2 only.
    frmAssegniEmessi::gWhereAssegniEmessi->clear(); // the list would open empty, and so open its edit window
    search(
        fx,
        [](frmSelectAssegniEmessi &s) {
            s.cmdClear->click();
            s.chkSuPiazza->setCheckState(Qt::Unchecked);
            s.chkSbarrato->setCheckState(Qt::Unchecked);
            s.txtNumero->setText(QStringLiteral("10"));
            s.cmdOK_Click();
        },
        [](frmAssegniEmessi &l) {
            QCOMPARE(l.MSFlexGrid1->Rows(), 2);
            QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 0), QStringLiteral("2"));
        });
    QCOMPARE(*frmAssegniEmessi::gWhereAssegniEmessi,
             QStringLiteral("a.Numero Like '%10%' AND a.SuPiazza = False  AND a.Sbarrato =False "));
}

void IssuedChequesTest::searchValidationsAndAmountBounds()
{
    ChequeWindowsFixture fx;
    seed(fx);
    search(fx, [&](frmSelectAssegniEmessi &s) {
        auto expect = [&](const QString &message) {
            s.cmdOK_Click();
            QVERIFY(s.isLoaded());
            QCOMPARE(fx.people.last().text, message);
        };
        s.txtDataDa->setText(QStringLiteral("ieri"));
        s.txtDataA->setText(QStringLiteral("domani"));
        s.txtImportoDa->setText(QStringLiteral("molto"));
        s.txtImportoA->setText(QStringLiteral("1.50"));
        expect(QStringLiteral("Invalid start date"));
        s.txtDataDa->clear();
        expect(QStringLiteral("Invalid end date")); // even with no start date
        s.txtDataA->clear();
        expect(QStringLiteral("Invalid minimum amount"));
        s.txtImportoDa->setText(QStringLiteral("12,50"));
        expect(QStringLiteral("Invalid maximum amount"));
        s.cmdCancel_Click();
    });
    QCOMPARE(*frmAssegniEmessi::gWhereAssegniEmessi, QString());

    // A bound with a decimal comma reaches the query with a point.
    search(
        fx,
        [](frmSelectAssegniEmessi &s) {
            s.txtImportoDa->setText(QStringLiteral("12,50"));
            s.txtImportoA->setText(QStringLiteral("999,99"));
            s.cmdOK_Click();
            QVERIFY(!s.isLoaded());
        },
        [](frmAssegniEmessi &l) {
            QCOMPARE(l.MSFlexGrid1->Rows(), 2);
            QCOMPARE(l.lblTotaleImporti->text(), QStringLiteral("Total amount of displayed cheques: 12,50 €"));
        });
    QCOMPARE(*frmAssegniEmessi::gWhereAssegniEmessi, QStringLiteral("a.Importo >= 12.50  AND a.Importo <= 999.99 "));
}

void IssuedChequesTest::searchValuesComeBackAndClearGreysTheFlags()
{
    ChequeWindowsFixture fx;
    seed(fx);
    search(fx, [](frmSelectAssegniEmessi &s) {
        s.cboNome->setCurrentIndex(s.cboNome->findText(QStringLiteral("Bianchi ")));
        s.txtNumero->setText(QStringLiteral("101"));
        s.chkTrasferibile->setCheckState(Qt::Checked);
        s.txtImportoDa->setText(QStringLiteral("1,5"));
        s.optOR->setChecked(true);
        s.cmdOK_Click();
    });
    QVERIFY(*frmSelectAssegniEmessi::gSelectUseOrAssegniEmessi);
    search(fx, [](frmSelectAssegniEmessi &s) {
        QCOMPARE(s.cboNome->currentText(), QStringLiteral("Bianchi "));
        QCOMPARE(s.cboDescrizione->currentIndex(), -1);
        QCOMPARE(s.txtNumero->text(), QStringLiteral("101"));
        QCOMPARE(checkValue(s.chkTrasferibile), 1);
        QCOMPARE(checkValue(s.chkSuPiazza), 2);
        QCOMPARE(s.txtImportoDa->text(), QStringLiteral("1,5"));
        QVERIFY(s.optOR->isChecked());
        QVERIFY(!s.optAND->isChecked());
        s.cmdClear->click();
        for (QCheckBox *c : {s.chkSuPiazza, s.chkTrasferibile, s.chkSbarrato})
            QCOMPARE(checkValue(c), 2);
        s.cmdCancel_Click();
    });
    const QString kept = *frmAssegniEmessi::gWhereAssegniEmessi;
    QVERIFY(kept.contains(QLatin1String("a.Trasferibile =True ")));
    search(fx, [](frmSelectAssegniEmessi &s) {
        QCOMPARE(s.cboNome->currentIndex(), -1);
        QCOMPARE(s.txtNumero->text(), QString());
        QCOMPARE(checkValue(s.chkTrasferibile), 2);
        s.cmdCancel_Click();
    });
    QCOMPARE(*frmAssegniEmessi::gWhereAssegniEmessi, kept);
}

void IssuedChequesTest::injectionLeavesEveryTableIntact()
{
    ChequeWindowsFixture fx;
    seed(fx);
    fx.withList<frmAssegniEmessi>([&](frmAssegniEmessi &l) {
        fx.nextModal<frmEditAssegniEmessi>([](frmEditAssegniEmessi &e) {
            e.cboDescrizione->setCurrentIndex(0);
            e.cboNome->setCurrentIndex(0);
            e.txtNumero->setText(kInjection);
            e.cmdOK_Click(); // not a number
            QVERIFY(e.isLoaded());
            e.txtNumero->setText(QStringLiteral("9"));
            e.txtImporto->setText(kInjection);
            e.cmdOK_Click(); // not an amount
            QVERIFY(e.isLoaded());
            e.txtImporto->setText(QStringLiteral("1"));
            for (QLineEdit *t : {e.txtLuogoEmissione, e.txtCausale, e.txtAssegnoNote})
                t->setText(kInjection);
            e.cmdOK_Click();
            QVERIFY(!e.isLoaded());
        });
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 4);
        fx.nextModal<frmSelectAssegniEmessi>([](frmSelectAssegniEmessi &s) {
            for (QLineEdit *t : {s.txtNumero, s.txtLuogoEmissione, s.txtCausale, s.txtAssegnoNote})
                t->setText(kInjection);
            s.optOR->setChecked(true);
            s.cmdOK_Click();
            QVERIFY(!s.isLoaded());
        });
        l.cmdSelect_Click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 2); // the one cheque that holds the text
        QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 12), kInjection);
        // in a date or amount bound it is refused before any query
        fx.nextModal<frmSelectAssegniEmessi>([&](frmSelectAssegniEmessi &s) {
            s.txtImportoA->setText(kInjection);
            s.cmdOK_Click();
            QCOMPARE(fx.people.last().text, QStringLiteral("Invalid maximum amount"));
            s.txtImportoA->clear();
            s.txtDataDa->setText(kInjection);
            s.cmdOK_Click();
            QCOMPARE(fx.people.last().text, QStringLiteral("Invalid start date"));
            s.cmdCancel_Click();
        });
        l.cmdSelect_Click();
    });
    fx.verifyTablesIntact();
    QCOMPARE(fx.scalar("SELECT count(*) FROM AssegniEmessi"), QStringLiteral("4"));
}

QTEST_MAIN(IssuedChequesTest)
#include "test_issuedcheques.moc"
