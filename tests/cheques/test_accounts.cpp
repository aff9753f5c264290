// The bank account windows: list, edit with its duplicate check, delete
// refusals, search clauses and remembered values.
#include "ChequeWindowsFixture.h"

#include <QRadioButton>

class AccountsTest : public QObject {
    Q_OBJECT
private slots:
    void listQueryHeadersAndFilter();
    void emptyListOpensTheEditWindowAndFirstAddFillsTheGrid();
    void addWritesTheExactInsertWithNullsAndQuotes();
    void editWritesTheExactUpdate();
    void validationsStopInTheirOrder();
    void duplicateDescriptionsAreRefused();
    void aRejectedSaveKeepsTheWindowOpen();
    void deleteRulesAndFailures();
    void deletingTheOnlyAccountLeavesTheHeaderRow();
    void printLeavesOutKeyAndStamps();
    void searchClausesAndRememberedValues();
    void injectionLeavesEveryTableIntact();
};

void AccountsTest::listQueryHeadersAndFilter()
{
    ChequeWindowsFixture fx;
    fx.addAccount(40000, QStringLiteral("Conto principale"), QStringLiteral("Banca Alfa"), QStringLiteral("Rossi"));
    fx.addAccount(7, QStringLiteral("Cassa"), QStringLiteral("Banca Beta"));
    fx.withList<frmMieiContiCorrenti>([&](frmMieiContiCorrenti &l) {
        FlexGrid &g = *l.MSFlexGrid1;
        QCOMPARE(l.windowTitle(), QStringLiteral("My bank accounts"));
        QCOMPARE(ChequeWindowsFixture::row(g, 0),
                 QStringList({"IDFIELD", "Description", "Bank", "Bank Code #1", "Bank Code #2", "Account number",
                              "Holders", "Created", "Last Updated"}));
        QCOMPARE(g.ColWidth(0), 0);
        QCOMPARE(g.Rows(), 3);
        const int r = ChequeWindowsFixture::findRow(g, 0, QStringLiteral("40000"));
        QCOMPARE(ChequeWindowsFixture::row(g, r),
                 QStringList({"40000", "Conto principale", "Banca Alfa", "01234", "05678", "000123", "Rossi",
                              "2026-01-02 10:00:00", ""}));
        QCOMPARE(g.TextMatrix(ChequeWindowsFixture::findRow(g, 0, QStringLiteral("7")), 6), QString()); // Null holders

        // A filter comes after " WHERE ": the base query has no condition.
        frmMieiContiCorrenti::gWhereMieiContiCorrenti = QStringLiteral("a.Banca Like '%Beta%'");
        l.FillGrid();
        QCOMPARE(g.Rows(), 2);
        QCOMPARE(g.TextMatrix(1, 1), QStringLiteral("Cassa"));
        frmMieiContiCorrenti::gWhereMieiContiCorrenti = QStringLiteral("a.Banca = 'nessuna'");
        l.FillGrid();
        QCOMPARE(g.Rows(), 1);
        QCOMPARE(g.TextMatrix(0, 0), QStringLiteral("0 Records"));
    });
    const QString base = QStringLiteral(
        "SELECT a.CONTOCORRENTEID, a.Descrizione, a.Banca, a.ABI, a.CAB, a.NumeroConto,  "
        "a.Intestatari, a.DateTimeCreated as DataCreazione, a.DateTimeLastUpdated as "
        "DataUltimaModifica FROM MieiContiCorrenti a ");
    QCOMPARE(fx.ran(QStringLiteral("SELECT a.CONTOCORRENTEID")),
             QStringList({base, base + " WHERE a.Banca Like '%Beta%'", base + " WHERE a.Banca = 'nessuna'"}));
}

void AccountsTest::emptyListOpensTheEditWindowAndFirstAddFillsTheGrid()
{
    ChequeWindowsFixture fx;
    // Opening on an empty table: the edit window for a new account at once.
    fx.nextModal<frmEditMieiContiCorrenti>([](frmEditMieiContiCorrenti &e) {
        QVERIFY(e.gIsNewRecord);
        e.txtDescrizione->setText(QStringLiteral("Primo"));
        e.txtBanca->setText(QStringLiteral("Banca Alfa"));
        e.txtNumeroConto->setText(QStringLiteral("1"));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    fx.withList<frmMieiContiCorrenti>(
        [&](frmMieiContiCorrenti &l) {
            FlexGrid &g = *l.MSFlexGrid1;
            QCOMPARE(g.Rows(), 2);
            QCOMPARE(g.TextMatrix(0, 1), QStringLiteral("Description")); // filled, not appended to "0 Records"
            QCOMPARE(g.TextMatrix(1, 1), QStringLiteral("Primo"));
            // a later addition appends one row and makes it the selected one
            fx.nextModal<frmEditMieiContiCorrenti>([](frmEditMieiContiCorrenti &e) {
                e.txtDescrizione->setText(QStringLiteral("Secondo"));
                e.txtBanca->setText(QStringLiteral("Banca Beta"));
                e.txtNumeroConto->setText(QStringLiteral("2"));
                e.cmdOK_Click();
            });
            l.cmdAdd->click();
            QCOMPARE(g.Rows(), 3);
            QCOMPARE(g.TextMatrix(2, 1), QStringLiteral("Secondo"));
            QCOMPARE(
                l.SelectedID,
                fx.scalar("SELECT CONTOCORRENTEID FROM MieiContiCorrenti WHERE Descrizione = 'Secondo'").toDouble());
        },
        1);
    // The new row is the one this connection inserted, not the highest key.
    QCOMPARE(fx.ran("SELECT MAX("), QStringList());
}

void AccountsTest::addWritesTheExactInsertWithNullsAndQuotes()
{
    ChequeWindowsFixture fx;
    fx.addAccount(1, QStringLiteral("Cassa"));
    fx.withList<frmMieiContiCorrenti>([&](frmMieiContiCorrenti &l) {
        fx.nextModal<frmEditMieiContiCorrenti>([](frmEditMieiContiCorrenti &e) {
            e.txtDescrizione->setText(QStringLiteral("  Conto l'Aurora  "));
            e.txtBanca->setText(QStringLiteral("Banca Alfa"));
            e.txtABI->setText(QStringLiteral("  "));
            e.txtNumeroConto->setText(QStringLiteral(" IT60 X054 "));
            e.txtIntestatari->setText(QStringLiteral("D'Amico"));
            e.cmdOK_Click();
            QVERIFY(!e.isLoaded());
        });
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->TextMatrix(2, 1), QStringLiteral("Conto l'Aurora"));
    });
    QCOMPARE(fx.ran("INSERT"),
             QStringList({"INSERT INTO MieiContiCorrenti (Descrizione, Banca, ABI, CAB, NumeroConto, Intestatari, "
                          "DateTimeCreated) VALUES ('Conto l''Aurora',  'Banca Alfa',  Null,  Null,  'IT60 X054',  "
                          "'D''Amico',  '2026-03-05 09:07:03') "}));
    QCOMPARE(fx.scalar("SELECT (ABI IS NULL) || (CAB IS NULL) || (DateTimeLastUpdated IS NULL) || Intestatari "
                       "FROM MieiContiCorrenti WHERE CONTOCORRENTEID = 2"),
             QStringLiteral("111D'Amico"));
}

void AccountsTest::editWritesTheExactUpdate()
{
    ChequeWindowsFixture fx;
    fx.addAccount(1, QStringLiteral("Cassa"));
    fx.addAccount(70000, QStringLiteral("Conto grande"), QStringLiteral("Banca Beta"), QStringLiteral("Rossi"));
    fx.withList<frmMieiContiCorrenti>([&](frmMieiContiCorrenti &l) {
        fx.nextModal<frmEditMieiContiCorrenti>([](frmEditMieiContiCorrenti &e) {
            QVERIFY(!e.gIsNewRecord);
            QCOMPARE(e.txtDescrizione->text(), QStringLiteral("Conto grande"));
            QCOMPARE(e.txtBanca->text(), QStringLiteral("Banca Beta"));
            QCOMPARE(e.txtABI->text(), QStringLiteral("01234"));
            QCOMPARE(e.txtCAB->text(), QStringLiteral("05678"));
            QCOMPARE(e.txtNumeroConto->text(), QStringLiteral("000123"));
            QCOMPARE(e.txtIntestatari->text(), QStringLiteral("Rossi"));
            e.txtIntestatari->clear();
            e.txtCAB->setText(QStringLiteral("12a4")); // any code is taken as typed here
            e.cmdOK_Click();                           // its own unchanged description is no duplicate
            QVERIFY(!e.isLoaded());
        });
        const int r = ChequeWindowsFixture::findRow(*l.MSFlexGrid1, 0, QStringLiteral("70000"));
        ChequeWindowsFixture::openRow(l, r);
        QCOMPARE(l.MSFlexGrid1->TextMatrix(r, 4), QStringLiteral("12a4"));
        QCOMPARE(l.MSFlexGrid1->TextMatrix(r, 8), QStringLiteral("2026-03-05 09:07:03"));
    });
    QCOMPARE(fx.ran("UPDATE"),
             QStringList({"UPDATE MieiContiCorrenti SET Descrizione = 'Conto grande',  Banca = 'Banca Beta',  "
                          "ABI = '01234',  CAB = '12a4',  NumeroConto = '000123',  Intestatari = Null,  "
                          "DateTimeLastUpdated = '2026-03-05 09:07:03' WHERE CONTOCORRENTEID = 70000 "}));
    QCOMPARE(fx.ran("select count(*) as conteggio"),
             QStringList({QStringLiteral("select count(*) as conteggio from mieiconticorrenti where descrizione = "
                                         "%1'Conto grande'  and contocorrenteid <>70000")
                              .arg(TestFolder::onServer() ? "BINARY " : "")}));
}

void AccountsTest::validationsStopInTheirOrder()
{
    ChequeWindowsFixture fx;
    fx.addAccount(1, QStringLiteral("Cassa"));
    fx.withList<frmMieiContiCorrenti>([&](frmMieiContiCorrenti &l) {
        fx.nextModal<frmEditMieiContiCorrenti>([&](frmEditMieiContiCorrenti &e) {
            auto expect = [&](const QString &message) { fx.expectRefused(e, message); };
            e.txtBanca->setText(QStringLiteral("Banca"));
            e.txtNumeroConto->setText(QStringLiteral("1"));
            e.txtDescrizione->setText(QStringLiteral("   "));
            expect(QStringLiteral("Insert the description"));
            e.txtDescrizione->setText(QStringLiteral("Nuovo"));
            e.txtBanca->clear();
            expect(QStringLiteral("Insert the bank name"));
            e.txtBanca->setText(QStringLiteral("Banca"));
            e.txtNumeroConto->setText(QStringLiteral(" "));
            // empty bank codes pass in this edition; the account number does not
            expect(QStringLiteral("Insert the account number"));
            QCOMPARE(e.txtDescrizione->text(), QStringLiteral("Nuovo")); // what was typed stays
            e.cmdCancel_Click();
        });
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 2);
    });
    QCOMPARE(fx.ran("INSERT"), QStringList());
}

void AccountsTest::duplicateDescriptionsAreRefused()
{
    ChequeWindowsFixture fx;
    fx.addAccount(1, QStringLiteral("Cassa"));
    fx.addAccount(2, QStringLiteral("Conto l'Aurora"));
    fx.withList<frmMieiContiCorrenti>([&](frmMieiContiCorrenti &l) {
        // a new account under a description in use, typed with blanks around it
        fx.nextModal<frmEditMieiContiCorrenti>([&](frmEditMieiContiCorrenti &e) {
            e.txtDescrizione->setText(QStringLiteral("  Conto l'Aurora "));
            e.txtBanca->setText(QStringLiteral("Banca"));
            e.txtNumeroConto->setText(QStringLiteral("9"));
            e.cmdOK_Click();
            QVERIFY(e.isLoaded());
            QCOMPARE(fx.people.last().text, QStringLiteral("The record already exists"));
            e.cmdCancel_Click();
        });
        l.cmdAdd->click();
        // an existing account renamed as another one
        fx.nextModal<frmEditMieiContiCorrenti>([&](frmEditMieiContiCorrenti &e) {
            e.txtDescrizione->setText(QStringLiteral("Conto l'Aurora"));
            e.cmdOK_Click();
            QVERIFY(e.isLoaded());
            QCOMPARE(fx.people.last().text, QStringLiteral("The record already exists"));
            e.cmdCancel_Click();
        });
        ChequeWindowsFixture::openRow(l, ChequeWindowsFixture::findRow(*l.MSFlexGrid1, 1, QStringLiteral("Cassa")));
        // The check cannot run: the save does not go on blindly.
        fx.tf.exec("ALTER TABLE MieiContiCorrenti RENAME COLUMN Descrizione TO Nome");
        fx.nextModal<frmEditMieiContiCorrenti>([&](frmEditMieiContiCorrenti &e) {
            e.txtDescrizione->setText(QStringLiteral("Altro"));
            e.txtBanca->setText(QStringLiteral("Banca"));
            e.txtNumeroConto->setText(QStringLiteral("9"));
            const int before = int(fx.people.prompts.size());
            e.cmdOK_Click();
            QVERIFY(e.isLoaded());
            // the failed check is reported once, and nothing else is tried
            QCOMPARE(fx.people.prompts.size(), before + 1);
            QVERIFY(fx.people.prompts.at(before).text.contains(TestFolder::onServer()
                                                                   ? QLatin1String("Unknown column 'descrizione'")
                                                                   : QLatin1String("no such column: descrizione")));
            e.cmdCancel_Click();
        });
        l.cmdAdd->click();
    });
    QCOMPARE(fx.ran("INSERT"), QStringList());
    QCOMPARE(fx.ran("UPDATE"), QStringList());
}

void AccountsTest::aRejectedSaveKeepsTheWindowOpen()
{
    ChequeWindowsFixture fx;
    fx.addAccount(1, QStringLiteral("Cassa"));
    fx.tf.exec(TestFolder::failingTrigger("no_update", "BEFORE UPDATE", "MieiContiCorrenti", "disk full"));
    fx.withList<frmMieiContiCorrenti>([&](frmMieiContiCorrenti &l) {
        fx.nextModal<frmEditMieiContiCorrenti>([&](frmEditMieiContiCorrenti &e) {
            e.txtBanca->setText(QStringLiteral("Banca Nuova"));
            e.cmdOK_Click();
            QVERIFY(fx.people.last().text.contains(QLatin1String("disk full")));
            QVERIFY(e.isLoaded());
            QCOMPARE(e.txtBanca->text(), QStringLiteral("Banca Nuova"));
            e.cmdCancel_Click();
        });
        ChequeWindowsFixture::openRow(l, 1);
        QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 2), QStringLiteral("Banca Alfa")); // the list claims nothing
    });
}

void AccountsTest::deleteRulesAndFailures()
{
    ChequeWindowsFixture fx;
    fx.addAccount(1, QStringLiteral("Con assegno"));
    fx.addAccount(2, QStringLiteral("Con versamento"));
    fx.addAccount(3, QStringLiteral("Libero"));
    fx.addAccount(4, QStringLiteral("Bloccato"));
    fx.addCheque(1, 1, 1, QStringLiteral("100"), QStringLiteral("10"));
    fx.tf.exec("INSERT INTO Versamenti (PagamentiID, CONTOCORRENTEID) VALUES (5, 2)");
    fx.withList<frmMieiContiCorrenti>([&](frmMieiContiCorrenti &l) {
        FlexGrid &g = *l.MSFlexGrid1;
        l.cmdDelete_Click(); // no row current
        QVERIFY(fx.people.prompts.isEmpty());
        // used by an issued cheque, or by a deposit: the same refusal, nothing asked
        for (const char *used : {"Con assegno", "Con versamento"}) {
            g.setRow(ChequeWindowsFixture::findRow(g, 1, QLatin1String(used)));
            l.MSFlexGrid1_KeyDown(46, 0);
            QCOMPARE(fx.people.last().text, QStringLiteral("Unable to delete the record. Related cheques exist."));
            QCOMPARE(fx.people.last().style, 48);
        }
        QCOMPARE(fx.people.prompts.size(), 2);
        QCOMPARE(g.Rows(), 5);

        g.setRow(ChequeWindowsFixture::findRow(g, 1, QStringLiteral("Libero")));
        fx.people.msgAnswers.push_back(7);
        l.cmdDelete_Click();
        QCOMPARE(fx.people.last().text, QStringLiteral("Are you sure to delete the record?"));
        QCOMPARE(fx.people.last().style, 4);
        QCOMPARE(g.Rows(), 5);
        fx.people.msgAnswers.push_back(6);
        l.cmdDelete_Click();
        QCOMPARE(g.Rows(), 4);
        QCOMPARE(ChequeWindowsFixture::findRow(g, 1, QStringLiteral("Libero")), -1);

        // The database refuses the DELETE: the row stays.
        fx.tf.exec(TestFolder::failingTrigger("keep", "BEFORE DELETE", "MieiContiCorrenti", "locked"));
        g.setRow(ChequeWindowsFixture::findRow(g, 1, QStringLiteral("Bloccato")));
        fx.people.msgAnswers.push_back(6);
        l.cmdDelete_Click();
        QVERIFY(fx.people.last().text.contains(QLatin1String("locked")));
        QCOMPARE(g.Rows(), 4);
        QVERIFY(ChequeWindowsFixture::findRow(g, 1, QStringLiteral("Bloccato")) > 0);

        // The deposit check cannot run: no question, nothing deleted.
        fx.tf.exec("DROP TRIGGER keep; ALTER TABLE Versamenti RENAME TO VersamentiAltrove;");
        const int before = int(fx.people.prompts.size());
        l.cmdDelete_Click();
        QVERIFY(fx.people.prompts.size() > before);
        for (int i = before; i < fx.people.prompts.size(); ++i)
            QVERIFY(fx.people.prompts.at(i).style != 4);
        QCOMPARE(g.Rows(), 4);
    });
    QCOMPARE(fx.ran("select count(*) as conteggio from AssegniEmessi where contocorrenteid = 1"),
             QStringList({"select count(*) as conteggio from AssegniEmessi where contocorrenteid = 1"}));
    QCOMPARE(fx.tf.rows("SELECT CONTOCORRENTEID FROM MieiContiCorrenti ORDER BY 1"), QStringList({"1", "2", "4"}));
}

void AccountsTest::deletingTheOnlyAccountLeavesTheHeaderRow()
{
    // The grid is not read again: no "0 Records" until the next fill.
    ChequeWindowsFixture one;
    one.addAccount(9, QStringLiteral("Unico"));
    one.withList<frmMieiContiCorrenti>([&](frmMieiContiCorrenti &l) {
        l.MSFlexGrid1->setRow(1);
        one.people.msgAnswers.push_back(6);
        l.cmdDelete_Click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 1);
        QCOMPARE(l.MSFlexGrid1->TextMatrix(0, 0), QStringLiteral("IDFIELD"));
    });
}

void AccountsTest::printLeavesOutKeyAndStamps()
{
    ChequeWindowsFixture fx;
    fx.addAccount(1, QStringLiteral("Cassa <principale>"), QStringLiteral("Banca Alfa"), QStringLiteral("Rossi"));
    fx.withList<frmMieiContiCorrenti>([](frmMieiContiCorrenti &l) { l.cmdPrintGrid_Click(); });
    QCOMPARE(fx.people.previews.size(), 1);
    const QString doc = fx.people.previews.at(0);
    QVERIFY2(doc.contains(QStringLiteral(">Socivant - Bank accounts</")), qPrintable(doc));
    for (const char *h : {"Description", "Bank", "Bank Code #1", "Bank Code #2", "Account number", "Holders"})
        QVERIFY2(doc.contains(QLatin1String(h)), h);
    for (const char *h : {"IDFIELD", "Created", "Last Updated", "2026-01-02"})
        QVERIFY2(!doc.contains(QLatin1String(h)), h);
    QVERIFY(doc.contains(QStringLiteral("Cassa &lt;principale&gt;")));
}

void AccountsTest::searchClausesAndRememberedValues()
{
    ChequeWindowsFixture fx;
    fx.addAccount(1, QStringLiteral("Cassa"), QStringLiteral("Banca Alfa"), QStringLiteral("Rossi"));
    fx.addAccount(2, QStringLiteral("Conto"), QStringLiteral("Banca Beta"), QStringLiteral("Bianchi"));
    fx.addAccount(3, QStringLiteral("Alfa di Rossi"), QStringLiteral("Banca Gamma"), QStringLiteral("Neri"));
    auto search = [&](const std::function<void(frmSelectMieiContiCorrenti &)> &fill,
                      const std::function<void(frmMieiContiCorrenti &)> &after = {}) {
        fx.withList<frmMieiContiCorrenti>([&](frmMieiContiCorrenti &l) {
            fx.nextModal<frmSelectMieiContiCorrenti>(fill);
            l.cmdSelect_Click();
            if (after)
                after(l);
        });
    };
    search(
        [](frmSelectMieiContiCorrenti &s) {
            s.txtIntestatario->setText(QStringLiteral("Rossi"));
            s.txtBanca->setText(QStringLiteral(" Alfa "));
            s.cmdOK_Click();
            QVERIFY(!s.isLoaded());
        },
        [](frmMieiContiCorrenti &l) {
            QCOMPARE(l.MSFlexGrid1->Rows(), 2);
            QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 1), QStringLiteral("Cassa"));
        });
    QCOMPARE(*frmMieiContiCorrenti::gWhereMieiContiCorrenti,
             QStringLiteral("a.Banca Like '%Alfa%' AND a.Intestatari Like '%Rossi%'"));

    // The values and OR come back; commas make IN lists.
    search([](frmSelectMieiContiCorrenti &s) {
        QCOMPARE(s.txtBanca->text(), QStringLiteral(" Alfa "));
        QCOMPARE(s.txtIntestatario->text(), QStringLiteral("Rossi"));
        QVERIFY(s.optAND->isChecked());
        s.txtCAB->setText(QStringLiteral("01234,05678"));
        s.txtDescrizione->setText(QStringLiteral("l'Aurora"));
        s.txtNumeroConto->setText(QStringLiteral("12"));
        s.txtABI->setText(QStringLiteral("0"));
        s.optOR->setChecked(true);
        s.cmdOK_Click();
    });
    QCOMPARE(*frmMieiContiCorrenti::gWhereMieiContiCorrenti,
             QStringLiteral(
                 "a.Descrizione Like '%l''Aurora%' OR a.Banca Like '%Alfa%' OR a.ABI Like '%0%' OR "
                 "a.CAB IN ('01234', '05678') OR a.NumeroConto Like '%12%' OR a.Intestatari Like '%Rossi%'"));
    QVERIFY(*frmSelectMieiContiCorrenti::gSelectUseOrMieiContiCorrenti);

    // Reimposta then Annulla: the next opening is empty, the filter stays.
    search([](frmSelectMieiContiCorrenti &s) {
        QVERIFY(s.optOR->isChecked());
        QCOMPARE(s.txtCAB->text(), QStringLiteral("01234,05678"));
        s.cmdClear->click();
        s.cmdCancel_Click();
    });
    QVERIFY(frmMieiContiCorrenti::gWhereMieiContiCorrenti->startsWith(QLatin1String("a.Descrizione")));
    search(
        [](frmSelectMieiContiCorrenti &s) {
            for (QLineEdit *t : {s.txtDescrizione, s.txtBanca, s.txtABI, s.txtCAB, s.txtNumeroConto, s.txtIntestatario})
                QCOMPARE(t->text(), QString());
            s.cmdOK_Click(); // all empty: every account
        },
        [](frmMieiContiCorrenti &l) { QCOMPARE(l.MSFlexGrid1->Rows(), 4); });
    QCOMPARE(*frmMieiContiCorrenti::gWhereMieiContiCorrenti, QString());
}

void AccountsTest::injectionLeavesEveryTableIntact()
{
    ChequeWindowsFixture fx;
    fx.addAccount(1, QStringLiteral("Cassa"));
    fx.addCheque(1, 1, 1, QStringLiteral("100"), QStringLiteral("10"));
    fx.withList<frmMieiContiCorrenti>([&](frmMieiContiCorrenti &l) {
        fx.nextModal<frmEditMieiContiCorrenti>([](frmEditMieiContiCorrenti &e) {
            for (QLineEdit *t : {e.txtDescrizione, e.txtBanca, e.txtABI, e.txtCAB, e.txtNumeroConto, e.txtIntestatari})
                t->setText(kInjection);
            e.cmdOK_Click();
            QVERIFY(!e.isLoaded());
        });
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->TextMatrix(2, 1), kInjection);
        fx.nextModal<frmSelectMieiContiCorrenti>([](frmSelectMieiContiCorrenti &s) {
            for (QLineEdit *t : {s.txtDescrizione, s.txtBanca, s.txtABI, s.txtCAB, s.txtNumeroConto, s.txtIntestatario})
                t->setText(kInjection);
            s.cmdOK_Click();
        });
        l.cmdSelect_Click();
        // searched as plain text: it finds the account that holds it
        QCOMPARE(l.MSFlexGrid1->Rows(), 2);
        QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 6), kInjection);
    });
    fx.verifyTablesIntact();
    QCOMPARE(fx.scalar("SELECT count(*) FROM AssegniEmessi"), QStringLiteral("1"));
    QCOMPARE(fx.scalar("SELECT Intestatari FROM MieiContiCorrenti WHERE CONTOCORRENTEID = 2"), kInjection);
}

QTEST_MAIN(AccountsTest)
#include "test_accounts.moc"
