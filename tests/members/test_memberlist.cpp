// The member list and its edit window, driven through the people seam.
#include "MemberFixture.h"
#include "SqliteComponent.h"
#include "frmTipologiaPersone.h"
#ifdef SOCIVANT_TEST_ON_SERVER
#include "MariaDbConnection.h"
#endif

#include <QElapsedTimer>
#include <QHeaderView>
#include <atomic>
#include <sqlite3.h>
#include <thread>

class MemberListTest : public QObject {
    Q_OBJECT
private slots:
    void emptyListOpensTheEditWindowAtOnce();
    void fillShowsTranslatedHeadersAndHidesKeys();
    void filterIsAppendedInsideTheJoin();
    void addingStoresValuesExactlyAndAppendsTheRow();
    void firstMemberOfAnEmptyListRefillsTheGrid();
    void validationsStopInTheirOrder();
    void duplicateCardNumbers();
    void editingRefreshesTheRowAndStampsTheChange();
    void aRejectedSaveKeepsTheWindowOpen();
    void keysAbove16BitsAreChosenAndSaved();
    void deleteRulesAndFailures();
    void sortClicksAlternate();
    void printedListAndMemberSheet();
    void openPaymentsCommand();
    void injectionAndHugeTextsAreStoredAsTyped();
    void anotherDeskAddingAtOnce();
    void twoDesksChangingOneMember();
    void aPaymentSavedWhileTheDeleteIsAsked();
    void aListCutOffPartWayShowsNoRows();
    void firstClickAfterIdleAndHalfLoadedWindows();
    void aQueryInsideTheFillKeepsTheListsRows();
    void badInputIsStoredAndSearchedExactly_data();
    void badInputIsStoredAndSearchedExactly();
};

void MemberListTest::emptyListOpensTheEditWindowAtOnce()
{
    MemberFixture fx;
    bool editOpened = false;
    fx.people.modal.push_back([&](Form &f) {
        auto &list = static_cast<frmAnagrafica &>(f);
        QCOMPARE(list.MSFlexGrid1->Rows(), 1);
        QCOMPARE(list.MSFlexGrid1->TextMatrix(0, 0), QStringLiteral("0 Records"));
        QCOMPARE(list.MSFlexGrid1->ColWidth(0), 1000);
        list.cmdClose_Click();
    });
    // The edit window comes first: it opens from the list's load handler.
    fx.people.modal.push_front([&](Form &f) {
        editOpened = f.objectName() == QLatin1String("frmEditAnagrafica");
        QVERIFY(static_cast<EditWindow &>(f).gIsNewRecord);
        static_cast<EditWindow &>(f).cmdCancel_Click();
    });
    Instance<frmAnagrafica>::get()->showModal();
    QVERIFY(editOpened);
}

void MemberListTest::fillShowsTranslatedHeadersAndHidesKeys()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    fx.addMember(2, 2, QStringLiteral("Bianchi"), QStringLiteral("Anna"));
    fx.addMember(3, 99, QStringLiteral("Orfano"), QStringLiteral("Senza tipo")); // no type row: not listed
    fx.withList<frmAnagrafica>([](frmAnagrafica &l) {
        FlexGrid &g = *l.MSFlexGrid1;
        QCOMPARE(g.Rows(), 3);
        QCOMPARE(g.Cols(), 23);
        const QStringList expected = {"IDFIELD",
                                      "IDFIELD",
                                      "Type",
                                      "Surname / Business Name",
                                      "Name",
                                      "Address",
                                      "Zip Code",
                                      "City",
                                      "State / Province",
                                      "Home Phone",
                                      "Business Phone",
                                      "Fax",
                                      "Mobile Phone",
                                      "Fiscal / VAT Code",
                                      "E-mail",
                                      "Web Site",
                                      "Notes",
                                      "Card Number",
                                      "Birth Date",
                                      "Join Date",
                                      "Expiration Date",
                                      "Created",
                                      "Last Updated"};
        for (int c = 0; c < expected.size(); ++c)
            QCOMPARE(g.TextMatrix(0, c), expected.at(c));
        QCOMPARE(g.ColWidth(0), 0);
        QCOMPARE(g.ColWidth(1), 0);
        QVERIFY(g.ColWidth(2) >= 600);
        QCOMPARE(g.Row(), 0); // after a fill no data row is current
        QCOMPARE(MemberFixture::findRow(g, 3, QStringLiteral("Orfano")), -1);
        QCOMPARE(g.TextMatrix(MemberFixture::findRow(g, 3, QStringLiteral("Rossi")), 2), QStringLiteral("Socio"));
        // a Null shows as an empty cell
        QCOMPARE(g.TextMatrix(1, 5), QString());
    });
}

void MemberListTest::filterIsAppendedInsideTheJoin()
{
    QCOMPARE(ListWindow::withFilter(QStringLiteral("SELECT x FROM t a WHERE a.k = 1 "),
                                    QStringLiteral("a.n = 1 OR a.n = 2")),
             QStringLiteral("SELECT x FROM t a WHERE a.k = 1  AND (a.n = 1 OR a.n = 2)"));
    QCOMPARE(ListWindow::withFilter(QStringLiteral("SELECT x FROM t a "), QStringLiteral("a.n = 1")),
             QStringLiteral("SELECT x FROM t a  WHERE a.n = 1"));
    QCOMPARE(ListWindow::withFilter(QStringLiteral("select x from t a where a.k=1"), QStringLiteral("f")),
             QStringLiteral("select x from t a where a.k=1 AND (f)"));
    QCOMPARE(ListWindow::withFilter(QStringLiteral("q"), QString()), QStringLiteral("q"));

    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    fx.addMember(2, 2, QStringLiteral("Bianchi"), QStringLiteral("Anna"));
    fx.addMember(3, 2, QStringLiteral("Verdi"), QStringLiteral("Luca"));
    // An OR filter stays grouped: the join still holds for every row.
    frmAnagrafica::gWhereAnagrafica = QStringLiteral("a.Cognome = 'Rossi' OR a.Cognome = 'Verdi'");
    fx.withList<frmAnagrafica>([](frmAnagrafica &l) { QCOMPARE(l.MSFlexGrid1->Rows(), 3); });
}

void MemberListTest::addingStoresValuesExactlyAndAppendsTheRow()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    fx.nextModal<frmEditAnagrafica>([](frmEditAnagrafica &e) {
        QCOMPARE(e.SelectedTipologiaID, -1LL);
        QCOMPARE(e.cboTipologia->count(), 3);
        QCOMPARE(e.cboTipologia->itemText(0), QStringLiteral("Benemerito")); // alphabetical
        e.cboTipologia->setCurrentIndex(e.cboTipologia->findText(QStringLiteral("Socio")));
        e.txtCognome->setText(QStringLiteral("  O'Neil, 50% \"Zoë Ñúñez\"  "));
        e.txtNome->setText(QStringLiteral("Łódź 日本"));
        e.txtCAP->setText(QStringLiteral("abc")); // any postal code in this edition
        e.txtNote->setText(QStringLiteral("   "));
        e.txtDataNascita->setText(QStringLiteral("05/03/1971"));
        e.txtNumeroTessera->setText(QStringLiteral(" 007 "));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    fx.withList<frmAnagrafica>([](frmAnagrafica &l) {
        QCOMPARE(l.MSFlexGrid1->Rows(), 2);
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 3);
        QCOMPARE(l.MSFlexGrid1->TextMatrix(2, 3), QStringLiteral("O'Neil, 50% \"Zoë Ñúñez\""));
        QCOMPARE(l.SelectedID, 2.0);
    });
    QCOMPARE(fx.scalar("SELECT Cognome FROM Anagrafica WHERE ANAGRAFICAID = 2"),
             QStringLiteral("O'Neil, 50% \"Zoë Ñúñez\""));
    QCOMPARE(fx.scalar("SELECT Nome FROM Anagrafica WHERE ANAGRAFICAID = 2"), QStringLiteral("Łódź 日本"));
    QCOMPARE(fx.scalar("SELECT NumeroTessera FROM Anagrafica WHERE ANAGRAFICAID = 2"), QStringLiteral("007"));
    QCOMPARE(fx.scalar("SELECT TIPOLOGIAID FROM Anagrafica WHERE ANAGRAFICAID = 2"), QStringLiteral("1"));
    QCOMPARE(fx.scalar("SELECT DataNascita FROM Anagrafica WHERE ANAGRAFICAID = 2"),
             QStringLiteral("1971-03-05 00:00:00"));
    QCOMPARE(fx.scalar("SELECT DateTimeCreated FROM Anagrafica WHERE ANAGRAFICAID = 2"),
             QStringLiteral("2026-03-05 09:07:03"));
    QCOMPARE(fx.scalar("SELECT count(*) FROM Anagrafica WHERE ANAGRAFICAID = 2 AND NoteAnagrafica IS NULL "
                       "AND DataIscrizione IS NULL AND DateTimeLastUpdated IS NULL AND Email IS NULL"),
             QStringLiteral("1"));
}

void MemberListTest::firstMemberOfAnEmptyListRefillsTheGrid()
{
    MemberFixture fx;
    fx.nextModal<frmEditAnagrafica>([](frmEditAnagrafica &e) {
        e.cboTipologia->setCurrentIndex(0);
        e.txtCognome->setText(QStringLiteral("Primo"));
        e.cmdOK_Click();
    });
    fx.withList<frmAnagrafica>(
        [](frmAnagrafica &l) {
            QCOMPARE(l.MSFlexGrid1->Rows(), 2);
            QCOMPARE(l.MSFlexGrid1->TextMatrix(0, 3), QStringLiteral("Surname / Business Name"));
            QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 3), QStringLiteral("Primo"));
        },
        1);
}

void MemberListTest::validationsStopInTheirOrder()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        e.txtCognome->setText(QStringLiteral("Filled"));
        e.txtDataNascita->setText(QStringLiteral("not a date"));
        e.cmdOK_Click();
        QCOMPARE(fx.people.last().text, QStringLiteral("Select the type"));
        QCOMPARE(fx.people.last().style, 48);
        QCOMPARE(fx.people.last().title, QStringLiteral("Socivant"));
        e.cboTipologia->setCurrentIndex(1);
        e.txtCognome->setText(QStringLiteral("   "));
        e.cmdOK_Click();
        QCOMPARE(fx.people.last().text, QStringLiteral("Enter the surname or the business name"));
        e.txtCognome->setText(QStringLiteral("Verdi"));
        e.cmdOK_Click();
        QCOMPARE(fx.people.last().text, QStringLiteral("Data di nascita non valida"));
        e.txtDataNascita->setText(QStringLiteral("31/12/1980"));
        e.txtDataIscrizione->setText(QStringLiteral("31/02/2020"));
        e.cmdOK_Click();
        QCOMPARE(fx.people.last().text, QStringLiteral("Data di iscrizione non valida"));
        e.txtDataIscrizione->clear();
        e.txtDataScadenzaIscrizione->setText(QStringLiteral("2020-13-01"));
        e.cmdOK_Click();
        QCOMPARE(fx.people.last().text, QStringLiteral("Data di scadenza iscrizione non valida"));
        QVERIFY(e.isLoaded()); // nothing written, the window stays open
        QCOMPARE(fx.scalar("SELECT count(*) FROM Anagrafica"), QStringLiteral("1"));
        e.cmdCancel_Click();
    });
    fx.withList<frmAnagrafica>([](frmAnagrafica &l) {
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 2);
    });
}

void MemberListTest::duplicateCardNumbers()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"), QStringLiteral("A'1"));
    fx.addMember(2, 1, QStringLiteral("Bianchi"), QStringLiteral("Anna"), QStringLiteral("B2"));
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        e.cboTipologia->setCurrentIndex(0);
        e.txtCognome->setText(QStringLiteral("Nuovo"));
        e.txtNumeroTessera->setText(QStringLiteral(" A'1 "));
        e.cmdOK_Click();
        QCOMPARE(fx.people.last().text, QStringLiteral("Impossibile inserire il record: numero di tessera duplicato."));
        // differs in letter case only: another number, on every back-end
        e.txtNumeroTessera->setText(QStringLiteral("a'1"));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    // Editing member 1: its own number is accepted, member 2's is refused.
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        QCOMPARE(e.txtNumeroTessera->text(), QStringLiteral("A'1"));
        e.txtNumeroTessera->setText(QStringLiteral("B2"));
        e.cmdOK_Click();
        QCOMPARE(fx.people.last().text,
                 QStringLiteral("Impossibile modificare il record: numero di tessera duplicato."));
        e.txtNumeroTessera->setText(QStringLiteral("A'1"));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    // Several members may have no card number at all.
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        e.cboTipologia->setCurrentIndex(0);
        e.txtCognome->setText(QStringLiteral("Senza tessera"));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        e.cboTipologia->setCurrentIndex(0);
        e.txtCognome->setText(QStringLiteral("Anche senza"));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        l.cmdAdd->click();
        MemberFixture::clickRow(l, MemberFixture::findRow(*l.MSFlexGrid1, 3, QStringLiteral("Rossi")));
        l.MSFlexGrid1_DblClick();
        l.cmdAdd->click();
        l.cmdAdd->click();
    });
    QCOMPARE(fx.scalar("SELECT count(*) FROM Anagrafica WHERE NumeroTessera IS NULL"), QStringLiteral("2"));
    QCOMPARE(fx.scalar(QStringLiteral("SELECT count(*) FROM Anagrafica WHERE NumeroTessera = %1'A''1'")
                           .arg(TestFolder::onServer() ? "BINARY " : "")),
             QStringLiteral("1"));
}

void MemberListTest::editingRefreshesTheRowAndStampsTheChange()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    fx.addMember(2, 2, QStringLiteral("Bianchi"), QStringLiteral("Anna"));
    fx.tf.exec("UPDATE Anagrafica SET DataScadenzaIscrizione = '2026-12-31 00:00:00' WHERE ANAGRAFICAID = 2");
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        QVERIFY(!e.gIsNewRecord);
        QCOMPARE(e.txtCognome->text(), QStringLiteral("Bianchi"));
        QCOMPARE(e.cboTipologia->currentText(), QStringLiteral("Contatto"));
        QCOMPARE(e.SelectedTipologiaID, 2LL);
        QCOMPARE(e.txtDataScadenzaIscrizione->text(), QStringLiteral("31/12/2026"));
        QCOMPARE(e.txtDataNascita->text(), QString()); // a Null date leaves the picker empty
        e.txtCognome->setText(QStringLiteral("Bianchi-Neri"));
        e.cboTipologia->setCurrentIndex(e.cboTipologia->findText(QStringLiteral("Socio")));
        e.txtDataScadenzaIscrizione->clear();
        e.cmdOK_Click();
    });
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        const int row = MemberFixture::findRow(*l.MSFlexGrid1, 3, QStringLiteral("Bianchi"));
        // A double click on the header row is ignored.
        l.MSFlexGrid1->setRow(1);
        l.MSFlexGrid1_MouseDown(1, 0, 0, 1);
        ListWindow::gLastMouseY = 1.0;
        l.MSFlexGrid1_DblClick();
        QVERIFY(fx.people.modalShown.count() == 1);
        MemberFixture::clickRow(l, row);
        l.MSFlexGrid1_DblClick();
        QCOMPARE(l.MSFlexGrid1->TextMatrix(row, 3), QStringLiteral("Bianchi-Neri"));
        QCOMPARE(l.MSFlexGrid1->TextMatrix(row, 2), QStringLiteral("Socio"));
        QCOMPARE(l.MSFlexGrid1->TextMatrix(row, 20), QString());
    });
    QCOMPARE(fx.scalar("SELECT DateTimeLastUpdated FROM Anagrafica WHERE ANAGRAFICAID = 2"),
             QStringLiteral("2026-03-05 09:07:03"));
    QCOMPARE(fx.scalar("SELECT DateTimeCreated FROM Anagrafica WHERE ANAGRAFICAID = 2"),
             QStringLiteral("2026-01-02 10:00:00"));
    QCOMPARE(fx.scalar("SELECT count(*) FROM Anagrafica WHERE ANAGRAFICAID = 2 AND DataScadenzaIscrizione IS NULL"),
             QStringLiteral("1"));
}

void MemberListTest::aRejectedSaveKeepsTheWindowOpen()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    fx.tf.exec(TestFolder::failingTrigger("no_insert", "BEFORE INSERT", "Anagrafica", "disk full"));
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        e.cboTipologia->setCurrentIndex(0);
        e.txtCognome->setText(QStringLiteral("Verdi"));
        e.cmdOK_Click();
        QVERIFY(fx.people.last().text.startsWith(QLatin1String("Error ")));
        QVERIFY(fx.people.last().text.contains(QLatin1String("disk full")));
        QVERIFY(fx.people.last().text.endsWith(QLatin1String("in procedure gDbExecute of Modulo basGeneral")));
        QVERIFY(e.isLoaded());
        QCOMPARE(e.txtCognome->text(), QStringLiteral("Verdi"));
        e.cmdCancel_Click();
    });
    fx.withList<frmAnagrafica>([](frmAnagrafica &l) {
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 2); // the list did not grow
    });
}

void MemberListTest::keysAbove16BitsAreChosenAndSaved()
{
    MemberFixture fx;
    fx.addMember(70000, 40000, QStringLiteral("Grande"), QStringLiteral("Chiave"));
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        QCOMPARE(e.cboTipologia->currentText(), QStringLiteral("Benemerito"));
        QCOMPARE(e.SelectedTipologiaID, 40000LL);
        e.txtNome->setText(QStringLiteral("Chiave lunga"));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        MemberFixture::clickRow(l, 1);
        l.MSFlexGrid1_DblClick();
        QCOMPARE(l.SelectedID, 70000.0);
        QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 4), QStringLiteral("Chiave lunga"));
    });
    QCOMPARE(fx.scalar("SELECT TIPOLOGIAID FROM Anagrafica WHERE ANAGRAFICAID = 70000"), QStringLiteral("40000"));
}

void MemberListTest::deleteRulesAndFailures()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Pagante"), QStringLiteral("Mario"));
    fx.addMember(2, 1, QStringLiteral("Libero"), QStringLiteral("Anna"));
    fx.addMember(3, 1, QStringLiteral("Terzo"), QStringLiteral("Luca"));
    fx.tf.exec("INSERT INTO Pagamenti (ANAGRAFICAID, Importo) VALUES (1, 10)");
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        FlexGrid &g = *l.MSFlexGrid1;
        l.cmdDelete_Click(); // no row current: nothing
        QVERIFY(fx.people.prompts.isEmpty());

        MemberFixture::clickRow(l, MemberFixture::findRow(g, 3, QStringLiteral("Pagante")));
        l.MSFlexGrid1_KeyDown(46, 0);
        QCOMPARE(fx.people.last().text, QStringLiteral("Unable to delete the record: related payments exist"));
        QCOMPARE(g.Rows(), 4);

        MemberFixture::clickRow(l, MemberFixture::findRow(g, 3, QStringLiteral("Libero")));
        fx.people.msgAnswers.push_back(7);
        l.cmdDelete_Click();
        QCOMPARE(fx.people.last().text, QStringLiteral("Are you sure to delete the record?"));
        QCOMPARE(fx.people.last().style, 4);
        QCOMPARE(g.Rows(), 4);

        fx.people.msgAnswers.push_back(6);
        l.cmdDelete_Click();
        QCOMPARE(g.Rows(), 3);
        QCOMPARE(MemberFixture::findRow(g, 3, QStringLiteral("Libero")), -1);

        // The database refuses the DELETE: the row stays in the grid.
        fx.tf.exec(TestFolder::failingTrigger("keep", "BEFORE DELETE", "Anagrafica", "locked"));
        MemberFixture::clickRow(l, MemberFixture::findRow(g, 3, QStringLiteral("Terzo")));
        fx.people.msgAnswers.push_back(6);
        l.cmdDelete_Click();
        QVERIFY(fx.people.last().text.contains(QLatin1String("locked")));
        QCOMPARE(g.Rows(), 3);
        QVERIFY(MemberFixture::findRow(g, 3, QStringLiteral("Terzo")) > 0);

        // The payments check cannot run: no question, nothing deleted.
        fx.tf.exec("DROP TRIGGER keep; ALTER TABLE Pagamenti RENAME TO PagamentiAltrove;");
        const int before = fx.people.prompts.size();
        l.cmdDelete_Click();
        QVERIFY(fx.people.prompts.size() > before);
        for (int i = before; i < fx.people.prompts.size(); ++i)
            QVERIFY(fx.people.prompts.at(i).style != 4);
        QCOMPARE(g.Rows(), 3);
    });
    QCOMPARE(fx.scalar("SELECT count(*) FROM Anagrafica"), QStringLiteral("2"));
}

void MemberListTest::sortClicksAlternate()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Bianchi"), QStringLiteral("B"));
    fx.addMember(2, 1, QStringLiteral("Anelli"), QStringLiteral("A"));
    fx.addMember(3, 1, QStringLiteral("Conti"), QStringLiteral("C"));
    fx.withList<frmAnagrafica>([](frmAnagrafica &l) {
        FlexGrid &g = *l.MSFlexGrid1;
        auto headerClick = [&](int col) {
            QHeaderView *h = g.horizontalHeader();
            const QPoint at(h->sectionViewportPosition(col) + h->sectionSize(col) / 2, h->height() / 2);
            QTest::mouseClick(h->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        };
        headerClick(3);
        QCOMPARE(g.TextMatrix(1, 3), QStringLiteral("Anelli"));
        QCOMPARE(g.TextMatrix(3, 3), QStringLiteral("Conti"));
        headerClick(4); // another column: the second click still sorts descending
        QCOMPARE(g.TextMatrix(1, 4), QStringLiteral("C"));
        QVERIFY(!l.sortFlag());
        headerClick(3);
        QCOMPARE(g.TextMatrix(1, 3), QStringLiteral("Anelli"));
    });
}

void MemberListTest::printedListAndMemberSheet()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi <Jr>"), QStringLiteral("Mario"), QStringLiteral("T-1"));
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        e.cmdPrint_Click();
        QVERIFY(e.isLoaded());
        e.cmdCancel_Click();
    });
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        l.cmdPrintGrid_Click();
        MemberFixture::clickRow(l, 1);
        l.MSFlexGrid1_DblClick();
    });
    QCOMPARE(fx.people.previews.size(), 2);
    const QString list = fx.people.previews.at(0);
    QVERIFY(list.contains(QLatin1String("Socivant - Members Book</p>")));
    const QString headerRow = list.section(QStringLiteral("<tr>"), 1, 1);
    QCOMPARE(headerRow.count(QLatin1String("<th>")), 19);
    QVERIFY(!headerRow.contains(QLatin1String("Card Number")));
    QVERIFY(!headerRow.contains(QLatin1String("Birth Date")));
    QVERIFY(headerRow.contains(QLatin1String("<th>Created</th>")));
    QVERIFY(list.contains(QLatin1String("<td>Rossi &lt;Jr&gt;</td>")));
    const QString sheet = fx.people.previews.at(1);
    QVERIFY(sheet.contains(QLatin1String(
        ">Socivant</p><font style=\"font-family: arial ; font-size: 22pt;\">Scheda del socio</p><table>")));
    QVERIFY(sheet.contains(QLatin1String("<th>Surname / Business Name</th><td>Rossi &lt;Jr&gt;</td>")));
    QVERIFY(sheet.contains(QLatin1String("<th>Type</th><td>Socio</td>")));
    QVERIFY(sheet.contains(QLatin1String("<th>Card Number</th><td>T-1</td>")));
}

void MemberListTest::openPaymentsCommand()
{
    MemberFixture fx;
    fx.addMember(12, 1, QStringLiteral("Banca Rossi"), QStringLiteral("Mario"));
    fx.addMember(13, 1, QStringLiteral("Senza"), QStringLiteral("Pagamenti"));
    fx.tf.exec("INSERT INTO Pagamenti (ANAGRAFICAID, Importo) VALUES (12, 10)");
    int opened = 0;
    QString name, filter;
    double key = 0;
    frmAnagrafica::openPayments() = [&](const QString &n, double k, const QString &f) {
        ++opened;
        name = n;
        key = k;
        filter = f;
    };
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        l.cmdApriPagamenti->click();
        QCOMPARE(fx.people.last().text,
                 QStringLiteral("Select the member di cui si vogliono visualizzare i pagamenti."));
        MemberFixture::clickRow(l, MemberFixture::findRow(*l.MSFlexGrid1, 3, QStringLiteral("Senza")));
        l.cmdApriPagamenti->click();
        QCOMPARE(fx.people.last().text, QStringLiteral("There aren't payments for this member."));
        QCOMPARE(opened, 0);
        MemberFixture::clickRow(l, MemberFixture::findRow(*l.MSFlexGrid1, 3, QStringLiteral("Banca Rossi")));
        l.cmdApriPagamenti->click();
    });
    QCOMPARE(opened, 1);
    QCOMPARE(name, QStringLiteral("Banca Rossi"));
    QCOMPARE(filter, QStringLiteral(" a.anagraficaid=12"));
    QCOMPARE(key, 12.0);
}

void MemberListTest::injectionAndHugeTextsAreStoredAsTyped()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    const QString injection = QStringLiteral("x'); DROP TABLE Anagrafica; --");
    const QString huge = QString(10000, QLatin1Char('z')) + QStringLiteral("'end");
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        e.cboTipologia->setCurrentIndex(0);
        const QList<QLineEdit *> boxes = e.findChildren<QLineEdit *>();
        for (QLineEdit *t : boxes) {
            if (t->objectName().startsWith(QLatin1String("txt")))
                t->setText(injection);
        }
        e.txtNote->setText(huge);
        e.txtNumeroTessera->setText(injection);
        e.cmdOK_Click();
        // the pickers hold no date: the window refuses, then takes empty dates
        e.txtDataNascita->clear();
        e.txtDataIscrizione->clear();
        e.txtDataScadenzaIscrizione->clear();
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->TextMatrix(2, 16), huge);
    });
    QCOMPARE(fx.scalar("SELECT count(*) FROM Anagrafica"), QStringLiteral("2"));
    QCOMPARE(fx.scalar("SELECT Cognome FROM Anagrafica WHERE ANAGRAFICAID = 2"), injection);
    QCOMPARE(fx.scalar("SELECT NoteAnagrafica FROM Anagrafica WHERE ANAGRAFICAID = 2"), huge);
    QCOMPARE(fx.scalar("SELECT count(*) FROM TipologiaPersone"), QStringLiteral("3"));
}

// Another desk adds a member right after this one's INSERT: the list
// appends the member this desk saved, and its next fill shows both.
void MemberListTest::anotherDeskAddingAtOnce()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    const auto other = fx.tf.otherDesk();
    bool inserted = false;
    bool theirsDone = false;
    // Theirs lands as soon as this desk's save has committed.
    dbConnection()->setObserver([&](const QString &sql) {
        if (inserted && !theirsDone && !sql.startsWith(QLatin1String("COMMIT"))) {
            theirsDone = true;
            other->execute(
                QStringLiteral("INSERT INTO Anagrafica (TIPOLOGIAID, Cognome, Nome) VALUES (2, 'Altra', 'Scrivania')"));
        }
        inserted = inserted || sql.startsWith(QLatin1String("INSERT INTO Anagrafica"));
    });
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        e.cboTipologia->setCurrentIndex(0);
        e.txtCognome->setText(QStringLiteral("Questa"));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        l.cmdAdd->click();
        QVERIFY(theirsDone);
        QCOMPARE(l.MSFlexGrid1->Rows(), 3);
        QCOMPARE(l.MSFlexGrid1->TextMatrix(2, 3), QStringLiteral("Questa"));
        QCOMPARE(l.SelectedID, fx.scalar("SELECT ANAGRAFICAID FROM Anagrafica WHERE Cognome = 'Questa'").toDouble());
        l.FillGrid();
        QCOMPARE(l.MSFlexGrid1->Rows(), 4);
        QVERIFY(MemberFixture::findRow(*l.MSFlexGrid1, 3, QStringLiteral("Altra")) > 0);
    });
    dbConnection()->setObserver({});
    QCOMPARE(fx.people.messages(), QStringList());
}

namespace {
// A list whose cell hook runs a query of its own, as a window's hook may.
class CountingTypes : public frmTipologiaPersone {
protected:
    QString cellText(const Recordset &rs, int i) override
    {
        const QString own = ListWindow::cellText(rs, i);
        if (i == 0) // the type's key: are there members of this type?
            esisteRecord(QStringLiteral("Anagrafica"), QStringLiteral("TIPOLOGIAID"), own, QStringLiteral("N"),
                         QString(), QString());
        return own;
    }
};
} // namespace

// The fill loop reads its own rows to the end although the hook's query
// replaced the shared result set.
void MemberListTest::aQueryInsideTheFillKeepsTheListsRows()
{
    MemberFixture fx;
    CountingTypes list;
    list.FillGrid();
    QCOMPARE(list.MSFlexGrid1->Rows(), 4);
    QStringList names;
    for (int r = 1; r < 4; ++r)
        names << list.MSFlexGrid1->TextMatrix(r, 1);
    QCOMPARE(names, QStringList({"Socio", "Contatto", "Benemerito"}));
    QCOMPARE(fx.people.messages(), QStringList());
}

void MemberListTest::badInputIsStoredAndSearchedExactly_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("quotes") << QStringLiteral("O'Neil \"Zoë\" ''");
    QTest::newRow("backslash at the end") << QStringLiteral("C:\\dati\\");
    QTest::newRow("backslash before a quote") << QStringLiteral("a\\'b\\''c");
    QTest::newRow("wildcards") << QStringLiteral("100% sconto_x");
    QTest::newRow("unicode") << QStringLiteral("Zoë Łódź 日本 € \U0001F600");
    QTest::newRow("injection") << QStringLiteral("x'); DROP TABLE Anagrafica; --");
    QTest::newRow("10,000 characters") << QString(10000, QChar(0x00E8)) + QStringLiteral("'fine");
}

// Every text field of a member, and every text field of its search, takes
// the value as typed: stored exactly, found, no table changed.
void MemberListTest::badInputIsStoredAndSearchedExactly()
{
    QFETCH(QString, value);
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    const QStringList tables = fx.tf.tables();
    const auto textBoxes = [](QWidget &w) {
        QList<QLineEdit *> out;
        for (QLineEdit *t : w.findChildren<QLineEdit *>())
            if (t->objectName().startsWith(QLatin1String("txt"))
                && !t->objectName().startsWith(QLatin1String("txtData")))
                out << t;
        return out;
    };
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        e.cboTipologia->setCurrentIndex(0);
        for (QLineEdit *t : textBoxes(e))
            t->setText(value);
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    fx.nextModal<frmSelectAnagrafica>([&](frmSelectAnagrafica &s) {
        for (QLineEdit *t : textBoxes(s))
            t->setText(value);
        s.optOR->setChecked(true);
        s.cmdOK_Click();
    });
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        l.cmdAdd->click();
        QCOMPARE(l.MSFlexGrid1->TextMatrix(2, 3), value);
        l.cmdSelect_Click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 2); // the new member, found by its own values
        QCOMPARE(l.MSFlexGrid1->TextMatrix(1, 3), value);
    });
    QCOMPARE(fx.people.messages(), QStringList());
    QCOMPARE(
        fx.tf.rows(
            "SELECT Nome, Cognome, Indirizzo, CAP, Comune, Provincia, TelefonoCasa, TelefonoUfficio, Fax, "
            "Cellulare, CFIva, Email, SitoWeb, NoteAnagrafica, NumeroTessera FROM Anagrafica WHERE ANAGRAFICAID <> 1"),
        QStringList(QStringList(15, value).join(QLatin1Char(' '))));
    QCOMPARE(fx.tf.tables(), tables);
    QCOMPARE(fx.scalar("SELECT count(*) FROM Anagrafica"), QStringLiteral("2"));
    QCOMPARE(fx.scalar("SELECT count(*) FROM TipologiaPersone"), QStringLiteral("3"));
}

// Two desks open the same member; one saves a new business phone, then the
// other saves a new e-mail from its older copy. The second save is refused
// and says why; nothing of the first is lost, and reopening shows it.
void MemberListTest::twoDesksChangingOneMember()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    const auto deskA = fx.tf.otherDesk();
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        // desk A saves while this window is open, in the same second
        QCOMPARE(deskA->execute(QStringLiteral("UPDATE Anagrafica SET TelefonoUfficio = '06 1234', "
                                               "DateTimeLastUpdated = '2026-03-05 09:07:03' WHERE ANAGRAFICAID = 1")),
                 1);
        e.txtEmail->setText(QStringLiteral("mario@example.org"));
        fx.expectRefused(e,
                         QStringLiteral("Another desk changed this record since you opened it: nothing was "
                                        "saved. To see its current data, close the window and open the record "
                                        "again."));
        QCOMPARE(e.txtEmail->text(), QStringLiteral("mario@example.org")); // what was typed stays
        QCOMPARE(e.txtTelefonoUfficio->text(), QString());
        e.cmdCancel_Click();
    });
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        QCOMPARE(e.txtTelefonoUfficio->text(), QStringLiteral("06 1234"));
        e.txtEmail->setText(QStringLiteral("mario@example.org"));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        MemberFixture::clickRow(l, 1);
        l.MSFlexGrid1_DblClick();
        MemberFixture::clickRow(l, 1);
        l.MSFlexGrid1_DblClick();
    });
    QCOMPARE(fx.tf.rows("SELECT TelefonoUfficio, Email FROM Anagrafica"), QStringList{"06 1234 mario@example.org"});
    QCOMPARE(fx.people.messages().size(), 1);
}

// Another desk saves a payment for the member while this desk's delete
// question is up: the delete finds it and is undone, so no payment is left
// without its member.
void MemberListTest::aPaymentSavedWhileTheDeleteIsAsked()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    const auto other = fx.tf.otherDesk();
    // Theirs lands with the first statement after this desk's look for
    // payments, while the question is answered.
    bool looked = false;
    bool theirsDone = false;
    dbConnection()->setObserver([&](const QString &sql) {
        if (looked && !theirsDone) {
            theirsDone = true;
            other->execute(QStringLiteral("INSERT INTO Pagamenti (ANAGRAFICAID, Importo) VALUES (1, 10)"));
        }
        looked = looked || sql.contains(QLatin1String("conteggio"), Qt::CaseInsensitive);
    });
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        MemberFixture::clickRow(l, 1);
        fx.people.msgAnswers.push_back(6);
        l.cmdDelete->click();
        QCOMPARE(l.MSFlexGrid1->Rows(), 2);
    });
    dbConnection()->setObserver({});
    QVERIFY(theirsDone);
    QCOMPARE(fx.people.messages().last(), QStringLiteral("Unable to delete the record: related payments exist"));
    QCOMPARE(fx.scalar("SELECT count(*) FROM Anagrafica"), QStringLiteral("1"));
    QCOMPARE(fx.scalar("SELECT count(*) FROM Pagamenti p JOIN Anagrafica a ON a.ANAGRAFICAID = p.ANAGRAFICAID"),
             QStringLiteral("1"));
}

// The member list's read fails part-way (the server ends the session; a
// damaged page of the file): the error is shown once and the grid shows no
// rows, never the part read as if it were the list.
void MemberListTest::aListCutOffPartWayShowsNoRows()
{
    MemberFixture fx;
    QString rows = QStringLiteral("INSERT INTO Anagrafica (TIPOLOGIAID, Cognome, Nome, NoteAnagrafica) VALUES ");
    for (int i = 0; i < 20000; ++i)
        rows += QStringLiteral("%1(1, 'Socio %2', 'Nome', '%3')")
                    .arg(i ? QStringLiteral(",") : QString())
                    .arg(i)
                    .arg(QString(40, QLatin1Char('n')));
    fx.tf.exec(rows);
    int shownRows = -1;
    QString firstCell;
#ifdef SOCIVANT_TEST_ON_SERVER
    // Ended from outside while its rows stream in (an administrator, a
    // restart); tried again in the rare run where the list was read whole
    // before the end reached it.
    auto *program = dynamic_cast<MariaDbConnection *>(dbConnection());
    QVERIFY(program);
    for (int attempt = 0; attempt < 5 && fx.people.messages().isEmpty(); ++attempt) {
        const unsigned long session = program->sessionId();
        std::atomic<bool> started{false};
        dbConnection()->setObserver([&](const QString &sql) {
            if (sql.contains(QLatin1String("FROM Anagrafica a"), Qt::CaseInsensitive))
                started = true;
        });
        std::thread killer([&] {
            while (!started)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            fx.tf.exec(QStringLiteral("KILL %1").arg(session));
        });
        fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
            shownRows = l.MSFlexGrid1->Rows();
            firstCell = l.MSFlexGrid1->TextMatrix(0, 0);
        });
        killer.join();
    }
#else
    // Another program's write makes this one read the file again; then a
    // page in the middle of the members is damaged on disk.
    fx.tf.otherDesk()->execute(QStringLiteral("UPDATE TipologiaPersone SET Tipologia = 'Socio' WHERE TIPOLOGIAID = 1"));
    const int page = fx.scalar("select pageno from dbstat where name = 'Anagrafica' and pagetype = 'leaf' "
                               "order by pageno limit 1 offset 60")
                         .toInt();
    QVERIFY(page > 1);
    QByteArray file = readFile(fx.tf.dbPath());
    for (int i = 0; i < 4096; ++i)
        file[qsizetype(page - 1) * 4096 + i] = char(0xA5);
    writeFile(fx.tf.dbPath(), file);
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        shownRows = l.MSFlexGrid1->Rows();
        firstCell = l.MSFlexGrid1->TextMatrix(0, 0);
    });
#endif
    QCOMPARE(fx.people.messages().size(), 1);
    QVERIFY(fx.people.messages().at(0).contains(QLatin1String("in procedure FillGrid of Form frmAnagrafica")));
    QCOMPARE(shownRows, 1);
    QCOMPARE(firstCell, QStringLiteral("0 Records"));
}

// A desk left idle while the server closed its session: the first click
// works. And a window whose loading query fails does not stay open with
// half its data.
void MemberListTest::firstClickAfterIdleAndHalfLoadedWindows()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"));
#ifdef SOCIVANT_TEST_ON_SERVER
    MariaDbConnection::setIdleCheck(500);
    const auto restore = qScopeGuard([] { MariaDbConnection::setIdleCheck(MariaDbConnection::kIdleCheckMs); });
    // the server's own idle limit, shortened for this session
    QVERIFY(gDbExecute(QStringLiteral("SET SESSION wait_timeout = 1")));
    QTest::qWait(2500);
    const int sent = int(fx.statements.size());
    fx.nextModal<frmEditAnagrafica>([&](frmEditAnagrafica &e) {
        QCOMPARE(e.cboTipologia->count(), 3);
        e.cmdCancel_Click();
    });
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        QCOMPARE(l.MSFlexGrid1->Rows(), 2);
        l.cmdAdd->click();
    });
    QCOMPARE(fx.people.messages(), QStringList());
    // nothing was sent twice
    const QStringList after = fx.statements.mid(sent);
    QCOMPARE(QSet<QString>(after.begin(), after.end()).size(), after.size());
#endif
    // The member types cannot be read any more: Add shows why, once, and
    // no window with an empty Type list.
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        fx.tf.exec(QStringLiteral("ALTER TABLE TipologiaPersone RENAME TO TipologieAltrove"));
        const qsizetype shown = fx.people.modalShown.size();
        l.cmdAdd->click();
        QCOMPARE(fx.people.modalShown.size(), shown);
        QVERIFY(!Instance<frmEditAnagrafica>::exists() || !Instance<frmEditAnagrafica>::get()->isLoaded());
    });
    QCOMPARE(fx.people.messages().size(), 1);
    QVERIFY(fx.people.messages().at(0).contains(QLatin1String("TipologiaPersone"), Qt::CaseInsensitive));
}

QTEST_MAIN(MemberListTest)
#include "test_memberlist.moc"
