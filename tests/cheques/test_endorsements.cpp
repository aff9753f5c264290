// The windows that record the endorsement or the deposit of a received
// cheque: their lists, checks, statements, and that the payments list is
// left alone.
#include "../payments/PaymentFixture.h"
#include "frmEditGirate.h"
#include "frmEditVersamenti.h"

#include <QRegularExpression>

namespace {
const QString kEvil = QStringLiteral("x'); DROP TABLE Girate; --");

// The payments fixture with two received cheques, a person whose key needs
// more than 32 bits and has no first name, and three bank accounts.
struct ChequeFixture : PaymentFixture {
    ChequeFixture()
    {
        addPayment(5, 1, "2026-01-10 00:00:00", "20", "Quota");
        addPayment(6, 2, "2026-02-01 00:00:00", "35", "Dono");
        tf.exec(QStringLiteral(
            "INSERT INTO Anagrafica (ANAGRAFICAID, TIPOLOGIAID, Cognome) VALUES (5000000000, 1, 'Zeta');"
            "INSERT INTO MieiContiCorrenti (CONTOCORRENTEID, Descrizione) VALUES (7, 'Conto Posta');"
            "INSERT INTO MieiContiCorrenti (CONTOCORRENTEID, Descrizione) VALUES (3, 'Banca Alfa');"
            "INSERT INTO MieiContiCorrenti (CONTOCORRENTEID, Descrizione) VALUES (9000000000, 'Cassa Rurale');"
            "INSERT INTO Pagamenti (PagamentiID, ANAGRAFICAID, Importo) VALUES (5000000001, 5000000000, 1);"));
    }

    // Opens W as code does: the payment's key in the payments list's SelectedID.
    template <class W>
    void open(double paymentKey, const std::function<void(W &)> &body)
    {
        Instance<frmPagamenti>::get()->SelectedID = paymentKey;
        Instance<W>::get()->gIsNewRecord = false; // the window sets the flag itself
        nextModal<W>(body);
        Instance<W>::get()->showModal();
    }

    QStringList tables() const { return tf.tables(); }

    // Validation: OK shows exactly one message and the window stays open.
    template <class W>
    void expectRefusal(W &w, const QString &message)
    {
        const int before = int(people.prompts.size());
        w.cmdOK_Click();
        QVERIFY(w.isLoaded());
        QCOMPARE(int(people.prompts.size()), before + 1);
        QCOMPARE(people.last().text, message);
        QCOMPARE(people.last().style, 48);
        QCOMPARE(people.last().title, QStringLiteral("Socivant"));
    }
};

QStringList items(const QComboBox *c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i) + QLatin1Char('=') + QString::number(comboItemKey(c, i));
    return out;
}

QStringList gridText(FlexGrid &g)
{
    QStringList out;
    for (int r = 0; r < g.Rows(); ++r)
        for (int c = 0; c < g.Cols(); ++c)
            out << g.TextMatrix(r, c);
    return out;
}
} // namespace

class EndorsementTest : public QObject {
    Q_OBJECT
private slots:
    void endorsementListAndChecksInOrder();
    void endorsementWritesTheExactInsert();
    void depositListAndChecksInOrder();
    void depositWritesTheExactInsert();
    void paymentsListIsLeftAsItWas();
    void failedInsertKeepsWhatWasTyped();
    void endAndHomeJumpInThePersonList();
    void notesAreStoredAsTyped();
    void recordSheetsPrintTheFields();
};

void EndorsementTest::endorsementListAndChecksInOrder()
{
    ChequeFixture fx;
    fx.open<frmEditGirate>(5, [&](frmEditGirate &e) {
        QVERIFY(e.gIsNewRecord);
        QCOMPARE(e.OsenXPForm1->Caption(), QStringLiteral("Gira Assegno Ricevuto"));
        QCOMPARE(caption(e.chkGirataPiena), QStringLiteral("Full Endorsement"));
        QCOMPARE(caption(e.findChild<QLabel *>(QStringLiteral("lblNome"))), QStringLiteral("Benificiario"));
        QCOMPARE(items(e.cboNome),
                 QStringList({"Bianchi Anna=2", "D'Amico \"Zoë\" Łukasz 日本=70000", "Rossi Mario=1", "Senzatipo Ugo=4",
                              "Zeta =5000000000"}));
        QCOMPARE(e.cboNome->currentIndex(), -1);
        QCOMPARE(e.txtDataGirata->text(), QStringLiteral("05/03/2026"));
        QCOMPARE(e.chkGirataPiena->isChecked(), false);

        e.txtDataGirata->setText(QStringLiteral("31/02/2026"));
        fx.expectRefusal(e, QStringLiteral("Select the payee")); // whatever the date
        e.cboNome->setCurrentIndex(1);
        fx.expectRefusal(e, QStringLiteral("Invalid endorsement date"));
        // a later activation keeps what was typed
        e.Form_Activate();
        QCOMPARE(e.txtDataGirata->text(), QStringLiteral("31/02/2026"));
        QCOMPARE(e.cboNome->currentIndex(), 1);
        e.cmdCancel_Click();
        QVERIFY(!e.isLoaded());
    });
    QVERIFY(!Instance<frmEditGirate>::exists());

    // The close box only unloads: the next opening starts afresh all the same.
    fx.open<frmEditGirate>(5, [](frmEditGirate &e) {
        e.cboNome->setCurrentIndex(0);
        e.chkGirataPiena->setChecked(true);
        e.txtNote->setText(QStringLiteral("typed"));
    });
    fx.open<frmEditGirate>(5, [](frmEditGirate &e) {
        QCOMPARE(e.cboNome->currentIndex(), -1);
        QVERIFY(!e.chkGirataPiena->isChecked());
        QCOMPARE(e.txtNote->text(), QString());
        QCOMPARE(e.txtDataGirata->text(), QStringLiteral("05/03/2026"));
        e.cmdCancel_Click();
    });
    QCOMPARE(fx.ran("INSERT"), QStringList());
}

void EndorsementTest::endorsementWritesTheExactInsert()
{
    ChequeFixture fx;
    fx.open<frmEditGirate>(5000000001.0, [](frmEditGirate &e) {
        e.cboNome->setCurrentIndex(e.cboNome->findText(QStringLiteral("Zeta ")));
        e.chkGirataPiena->setChecked(true);
        e.txtDataGirata->setText(QStringLiteral(" 24/12/2025 "));
        e.txtNote->setText(QStringLiteral("  A saldo dell'anno  "));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    QVERIFY(!Instance<frmEditGirate>::exists());
    // Again for the same payment: unticked, no date, a blank note. Nothing is refused.
    fx.open<frmEditGirate>(5000000001.0, [](frmEditGirate &e) {
        e.cboNome->setCurrentIndex(e.cboNome->findText(QStringLiteral("Rossi Mario")));
        e.txtDataGirata->clear();
        e.txtNote->setText(QStringLiteral("   "));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    QCOMPARE(fx.ran("INSERT"),
             QStringList({"INSERT INTO Girate (PagamentiID, ANAGRAFICAID, GirataPiena, DataGirata, "
                          "DateTimeCreated,notegirata) VALUES (5000000001,  5000000000,  1,  '2025-12-24 00:00:00',  "
                          "'2026-03-05 09:07:03',  'A saldo dell''anno') ",
                          "INSERT INTO Girate (PagamentiID, ANAGRAFICAID, GirataPiena, DataGirata, "
                          "DateTimeCreated,notegirata) VALUES (5000000001,  1,  0,  Null,  '2026-03-05 09:07:03',  "
                          "Null) "}));
    QCOMPARE(fx.tf.rows(
                 "SELECT PagamentiID, ANAGRAFICAID, GirataPiena, DataGirata, notegirata FROM Girate ORDER BY GIRATEID"),
             QStringList(
                 {"5000000001 5000000000 1 2025-12-24 00:00:00 A saldo dell'anno", "5000000001 1 0 null null"}));
    if (!TestFolder::onServer()) // SQLite stores what it is given: the flag must be a number
        QCOMPARE(fx.tf.rows("SELECT typeof(GirataPiena) FROM Girate"), QStringList({"integer", "integer"}));
    QCOMPARE(fx.people.messages(), QStringList());
}

void EndorsementTest::depositListAndChecksInOrder()
{
    {
        // No account yet: OK can only ask for one.
        PaymentFixture empty;
        Instance<frmPagamenti>::get()->SelectedID = 1;
        empty.nextModal<frmEditVersamenti>([&](frmEditVersamenti &v) {
            QCOMPARE(v.cboDescrizione->count(), 0);
            v.txtDataVersamento->clear();
            empty.people.prompts.clear();
            v.cmdOK_Click();
            v.txtDataVersamento->setText(QStringLiteral("nonsense"));
            v.cmdOK_Click();
            QCOMPARE(empty.people.messages(),
                     QStringList({"Select the acccount number", "Select the acccount number"}));
            v.cmdCancel_Click();
        });
        Instance<frmEditVersamenti>::get()->showModal();
    }
    ChequeFixture fx;
    fx.open<frmEditVersamenti>(6, [&](frmEditVersamenti &v) {
        QVERIFY(v.gIsNewRecord);
        QCOMPARE(v.OsenXPForm1->Caption(), QStringLiteral("Versa Assegno Ricevuto"));
        QCOMPARE(caption(v.findChild<QLabel *>(QStringLiteral("lblDescrizione"))), QStringLiteral("Account"));
        QCOMPARE(caption(v.findChild<QLabel *>(QStringLiteral("lblDataVersamento"))), QStringLiteral("Deposit Date"));
        QCOMPARE(items(v.cboDescrizione), QStringList({"Banca Alfa=3", "Cassa Rurale=9000000000", "Conto Posta=7"}));
        QCOMPARE(v.cboDescrizione->currentIndex(), -1);
        QCOMPARE(v.txtDataVersamento->text(), QStringLiteral("05/03/2026"));
        v.txtDataVersamento->setText(QStringLiteral("32/01/2026"));
        fx.expectRefusal(v, QStringLiteral("Select the acccount number"));
        v.cboDescrizione->setCurrentIndex(2);
        fx.expectRefusal(v, QStringLiteral("Invalid deposit date"));
        QCOMPARE(v.txtDataVersamento->text(), QStringLiteral("32/01/2026"));
        v.cmdCancel_Click();
    });
    QVERIFY(!Instance<frmEditVersamenti>::exists());
    QCOMPARE(fx.ran("INSERT"), QStringList());
}

void EndorsementTest::depositWritesTheExactInsert()
{
    ChequeFixture fx;
    fx.open<frmEditVersamenti>(6, [](frmEditVersamenti &v) {
        v.cboDescrizione->setCurrentIndex(v.cboDescrizione->findText(QStringLiteral("Cassa Rurale")));
        v.txtNote->setText(QStringLiteral(" Distinta n. 4 "));
        v.cmdOK_Click(); // today's date as proposed
        QVERIFY(!v.isLoaded());
    });
    fx.open<frmEditVersamenti>(6, [](frmEditVersamenti &v) {
        v.cboDescrizione->setCurrentIndex(0);
        v.txtDataVersamento->clear();
        v.txtNote->setText(QStringLiteral("  "));
        v.cmdOK_Click();
        QVERIFY(!v.isLoaded());
    });
    QCOMPARE(fx.ran("INSERT"),
             QStringList({"INSERT INTO Versamenti (PagamentiID, CONTOCORRENTEID, DataVersamento, noteversamento,"
                          "DateTimeCreated) VALUES (6,  9000000000,  '2026-03-05 00:00:00',  'Distinta n. 4',  "
                          "'2026-03-05 09:07:03') ",
                          "INSERT INTO Versamenti (PagamentiID, CONTOCORRENTEID, DataVersamento, noteversamento,"
                          "DateTimeCreated) VALUES (6,  3,  Null,  Null,  '2026-03-05 09:07:03') "}));
    QCOMPARE(fx.tf.rows("SELECT PagamentiID, CONTOCORRENTEID, DataVersamento, noteversamento FROM Versamenti"
                        " ORDER BY VERSAMENTIID"),
             QStringList({"6 9000000000 2026-03-05 00:00:00 Distinta n. 4", "6 3 null null"}));
    QCOMPARE(fx.people.messages(), QStringList());
}

void EndorsementTest::paymentsListIsLeftAsItWas()
{
    ChequeFixture fx;
    const QRegularExpression listQuery(QStringLiteral("from\\s+pagamenti\\s+a\\b"),
                                       QRegularExpression::CaseInsensitiveOption);
    fx.withPayments([&](frmPagamenti &l) {
        FlexGrid &g = *l.MSFlexGrid1;
        // The opener's three steps: the current row's key into SelectedID.
        g.setRow(2);
        l.SelectedID = g.TextMatrix(g.Row(), 0).toDouble();
        const QStringList before = gridText(g);
        const QString total = l.lblTotaleImporti->text();
        const int row = g.Row();
        const qsizetype statementsBefore = fx.statements.size();

        fx.nextModal<frmEditGirate>([](frmEditGirate &e) {
            e.cboNome->setCurrentIndex(0);
            e.cmdOK_Click();
        });
        Instance<frmEditGirate>::get()->showModal();
        fx.nextModal<frmEditVersamenti>([](frmEditVersamenti &v) {
            v.cboDescrizione->setCurrentIndex(0);
            v.cmdOK_Click();
        });
        Instance<frmEditVersamenti>::get()->showModal();

        QCOMPARE(gridText(g), before);
        QCOMPARE(l.lblTotaleImporti->text(), total);
        QCOMPARE(g.Row(), row);
        QVERIFY(l.isLoaded());
        const QStringList after = fx.statements.mid(statementsBefore);
        QCOMPARE(after.filter(listQuery), QStringList());
    });
    const QString key = fx.scalar("SELECT PagamentiID FROM Pagamenti ORDER BY PagamentiID LIMIT 1 OFFSET 1");
    QCOMPARE(fx.scalar("SELECT PagamentiID FROM Girate"), key);
    QCOMPARE(fx.scalar("SELECT PagamentiID FROM Versamenti"), key);
}

void EndorsementTest::failedInsertKeepsWhatWasTyped()
{
    ChequeFixture fx;
    fx.tf.exec(TestFolder::failingTrigger("no_girate", "BEFORE INSERT", "Girate", "refused")
               + TestFolder::failingTrigger("no_versamenti", "BEFORE INSERT", "Versamenti", "refused"));
    fx.open<frmEditGirate>(5, [&](frmEditGirate &e) {
        e.cboNome->setCurrentIndex(2);
        e.chkGirataPiena->setChecked(true);
        e.txtNote->setText(QStringLiteral("nota"));
        e.cmdOK_Click();
        QVERIFY(e.isLoaded());
        QCOMPARE(e.cboNome->currentIndex(), 2);
        QVERIFY(e.chkGirataPiena->isChecked());
        QCOMPARE(e.txtNote->text(), QStringLiteral("nota"));
        QCOMPARE(fx.people.messages().size(), 1); // the database's report, nothing else
        QVERIFY(fx.people.messages().at(0).contains(QStringLiteral("refused")));
        e.cmdCancel_Click();
    });
    fx.people.prompts.clear();
    fx.open<frmEditVersamenti>(5, [&](frmEditVersamenti &v) {
        v.cboDescrizione->setCurrentIndex(1);
        v.txtNote->setText(QStringLiteral("nota"));
        v.cmdOK_Click();
        QVERIFY(v.isLoaded());
        QCOMPARE(v.cboDescrizione->currentIndex(), 1);
        QCOMPARE(v.txtDataVersamento->text(), QStringLiteral("05/03/2026"));
        QCOMPARE(v.txtNote->text(), QStringLiteral("nota"));
        QCOMPARE(fx.people.messages().size(), 1);
        v.cmdCancel_Click();
    });
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Girate"), QStringLiteral("0"));
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Versamenti"), QStringLiteral("0"));
}

void EndorsementTest::endAndHomeJumpInThePersonList()
{
    ChequeFixture fx;
    fx.open<frmEditGirate>(5, [](frmEditGirate &e) {
        QTest::keyRelease(e.cboNome, Qt::Key_End);
        QCOMPARE(e.cboNome->currentIndex(), e.cboNome->count() - 1);
        QTest::keyRelease(e.cboNome, Qt::Key_Home);
        QCOMPARE(e.cboNome->currentIndex(), 0);
        e.cboNome_KeyUp(35, 0);
        QCOMPARE(e.cboNome->currentIndex(), 4);
        e.cboNome_KeyUp(40, 0); // other keys do nothing here
        QCOMPARE(e.cboNome->currentIndex(), 4);
        // An empty list has nothing to jump to, and nothing to report.
        e.cboNome->clear();
        e.cboNome_KeyUp(36, 0);
        e.cboNome_KeyUp(35, 0);
        QCOMPARE(e.cboNome->currentIndex(), -1);
        e.cmdCancel_Click();
    });
    QCOMPARE(fx.people.prompts.size(), 0);
}

void EndorsementTest::notesAreStoredAsTyped()
{
    ChequeFixture fx;
    const QStringList tables = fx.tables();
    QVERIFY(tables.contains(QStringLiteral("Girate"), Qt::CaseInsensitive));
    fx.open<frmEditGirate>(5, [](frmEditGirate &e) {
        e.cboNome->setCurrentIndex(0);
        e.txtNote->setText(kEvil);
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    fx.open<frmEditVersamenti>(5, [](frmEditVersamenti &v) {
        v.cboDescrizione->setCurrentIndex(0);
        v.txtNote->setText(kEvil);
        v.cmdOK_Click();
        QVERIFY(!v.isLoaded());
    });
    QCOMPARE(fx.scalar("SELECT notegirata FROM Girate"), kEvil);
    QCOMPARE(fx.scalar("SELECT noteversamento FROM Versamenti"), kEvil);
    QCOMPARE(fx.tables(), tables);
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Pagamenti"), QStringLiteral("3"));
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM Anagrafica"), QStringLiteral("5"));
    QCOMPARE(fx.scalar("SELECT COUNT(*) FROM MieiContiCorrenti"), QStringLiteral("3"));
    QCOMPARE(fx.people.messages(), QStringList());
}

void EndorsementTest::recordSheetsPrintTheFields()
{
    ChequeFixture fx;
    fx.open<frmEditGirate>(5, [](frmEditGirate &e) {
        e.cboNome->setCurrentIndex(e.cboNome->findText(QStringLiteral("Rossi Mario")));
        e.chkGirataPiena->setChecked(true);
        e.txtNote->setText(QStringLiteral("a <b>"));
        e.cmdPrint_Click();
        QVERIFY(e.isLoaded());
        e.cmdCancel_Click();
    });
    fx.open<frmEditVersamenti>(5, [](frmEditVersamenti &v) {
        v.cboDescrizione->setCurrentIndex(0);
        v.txtDataVersamento->clear();
        v.cmdPrint_Click();
        v.cmdCancel_Click();
    });
    QCOMPARE(fx.people.previews.size(), 2);
    const QString girata = fx.people.previews.at(0);
    const QString versamento = fx.people.previews.at(1);
    // No heading: the sheet's table follows the style straight away.
    for (const QString &doc : {girata, versamento}) {
        QVERIFY(!doc.contains(QStringLiteral("22pt")));
        QVERIFY(doc.endsWith(QStringLiteral("</table></body></html>")));
    }
    for (const char *row :
         {"<tr><th>Benificiario</th><td>Rossi Mario</td></tr>", "<tr><th>Full Endorsement</th><td>S\u00EC</td></tr>",
          "<tr><th>Endorsement Date</th><td>05/03/2026</td></tr>", "<tr><th>Notes</th><td>a &lt;b&gt;</td></tr>"})
        QVERIFY2(girata.contains(QString::fromUtf8(row)), row);
    for (const char *row : {"<tr><th>Account</th><td>Banca Alfa</td></tr>", "<tr><th>Deposit Date</th><td></td></tr>",
                            "<tr><th>Notes</th><td></td></tr>"})
        QVERIFY2(versamento.contains(QString::fromUtf8(row)), row);
    QCOMPARE(fx.ran("INSERT"), QStringList());
}

QTEST_MAIN(EndorsementTest)
#include "test_endorsements.moc"
