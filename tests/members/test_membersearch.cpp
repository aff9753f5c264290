// The member and member type search windows: clauses, connector, the values
// remembered for the run, and the filters they leave in the lists.
#include "MemberFixture.h"
#include "frmEditTipologiaPersone.h"
#include "frmSelectTipologiaPersone.h"
#include "frmTipologiaPersone.h"

#include <QRadioButton>

class MemberSearchTest : public QObject {
    Q_OBJECT
private slots:
    void clausesFollowTheWindowOrder();
    void textClausesLikeAndInLists();
    void savedValuesAfterOkCancelAndReset();
    void injectionInEverySearchField();
    void memberTypesSearchEditAndDelete();
};

namespace {
void fill(MemberFixture &fx)
{
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"), QStringLiteral("100"));
    fx.addMember(2, 2, QStringLiteral("O'Brien"), QStringLiteral("Anna"), QStringLiteral("1001"));
    fx.addMember(3, 2, QStringLiteral("Verdi"), QStringLiteral("Luca"), QStringLiteral("200"));
    fx.tf.exec("UPDATE Anagrafica SET Comune = 'Roma', DataNascita = '1970-05-01 00:00:00' WHERE ANAGRAFICAID = 3;"
               "UPDATE Anagrafica SET DataNascita = '1990-01-31 00:00:00' WHERE ANAGRAFICAID = 1;");
}

// Runs the member search with a script and returns the list's row count.
int search(MemberFixture &fx, const std::function<void(frmSelectAnagrafica &)> &script)
{
    int rows = -1;
    fx.nextModal<frmSelectAnagrafica>(script);
    // The list opens unfiltered, as from the main window; the search then
    // starts from the filter the previous one left.
    const QString previous = *frmAnagrafica::gWhereAnagrafica;
    frmAnagrafica::gWhereAnagrafica->clear();
    fx.withList<frmAnagrafica>([&](frmAnagrafica &l) {
        frmAnagrafica::gWhereAnagrafica = previous;
        l.cmdSelect_Click();
        rows = l.MSFlexGrid1->Rows() - 1;
    });
    return rows;
}
} // namespace

void MemberSearchTest::clausesFollowTheWindowOrder()
{
    MemberFixture fx;
    fill(fx);
    // Filled in reverse order, joined by OR in the window's clause order.
    int rows = search(fx, [](frmSelectAnagrafica &s) {
        s.txtDataNascitaA->setText(QStringLiteral("31/12/1980"));
        s.txtComune->setText(QStringLiteral("Milano, Napoli"));
        s.cboTipologia->setCurrentIndex(s.cboTipologia->findText(QStringLiteral("Socio")));
        s.optOR->setChecked(true);
        s.cmdOK_Click();
    });
    QCOMPARE(*frmAnagrafica::gWhereAnagrafica,
             QStringLiteral("a.TIPOLOGIAID = 1 OR a.Comune IN ('Milano', 'Napoli') OR "
                            "a.datanascita <= ('1980-12-31 00:00:00')"));
    QCOMPARE(rows, 3);
    QVERIFY(*frmSelectAnagrafica::gSelectUseOrAnagrafica);

    rows = search(fx, [](frmSelectAnagrafica &s) {
        QVERIFY(s.optOR->isChecked()); // the choice comes back
        s.optAND->setChecked(true);
        s.cmdOK_Click();
    });
    QCOMPARE(*frmAnagrafica::gWhereAnagrafica,
             QStringLiteral("a.TIPOLOGIAID = 1 AND a.Comune IN ('Milano', 'Napoli') AND "
                            "a.datanascita <= ('1980-12-31 00:00:00')"));
    QCOMPARE(rows, 0);

    rows = search(fx, [](frmSelectAnagrafica &s) {
        s.cmdClear->click();
        QCOMPARE(s.cboTipologia->currentIndex(), -1);
        QCOMPARE(s.txtComune->text(), QString());
        s.txtDataNascitaDa->setText(QStringLiteral("1965-01-01"));
        s.txtDataNascitaA->setText(QStringLiteral("1/1/75"));
        s.cmdOK_Click();
    });
    QCOMPARE(*frmAnagrafica::gWhereAnagrafica,
             QStringLiteral("a.datanascita >= ('1965-01-01 00:00:00') AND "
                            "a.datanascita <= ('1975-01-01 00:00:00')"));
    QCOMPARE(rows, 1);

    // Every field empty: an empty filter, every member listed.
    rows = search(fx, [](frmSelectAnagrafica &s) {
        s.cmdClear->click();
        s.cmdOK_Click();
    });
    QCOMPARE(*frmAnagrafica::gWhereAnagrafica, QString());
    QCOMPARE(rows, 3);
}

void MemberSearchTest::textClausesLikeAndInLists()
{
    MemberFixture fx;
    fill(fx);
    int rows = search(fx, [](frmSelectAnagrafica &s) {
        s.txtCognome->setText(QStringLiteral("  o'b  "));
        s.cmdOK_Click();
    });
    QCOMPARE(*frmAnagrafica::gWhereAnagrafica, QStringLiteral("a.Cognome Like '%o''b%'"));
    QCOMPARE(rows, 1);
    // One number matches every card containing it; a list matches exactly.
    rows = search(fx, [](frmSelectAnagrafica &s) {
        s.txtCognome->clear();
        s.txtNumeroTessera->setText(QStringLiteral("100"));
        s.cmdOK_Click();
    });
    QCOMPARE(rows, 2);
    rows = search(fx, [](frmSelectAnagrafica &s) {
        s.txtNumeroTessera->setText(QStringLiteral("100,200"));
        s.cmdOK_Click();
    });
    QCOMPARE(*frmAnagrafica::gWhereAnagrafica, QStringLiteral("a.NumeroTessera IN ('100', '200')"));
    QCOMPARE(rows, 2);
    // A trailing comma gives an empty last value, as typed.
    search(fx, [](frmSelectAnagrafica &s) {
        s.txtNumeroTessera->setText(QStringLiteral("100,"));
        s.cmdOK_Click();
    });
    QCOMPARE(*frmAnagrafica::gWhereAnagrafica, QStringLiteral("a.NumeroTessera IN ('100', '')"));
}

void MemberSearchTest::savedValuesAfterOkCancelAndReset()
{
    MemberFixture fx;
    fill(fx);
    search(fx, [](frmSelectAnagrafica &s) {
        QCOMPARE(s.cboTipologia->currentIndex(), -1); // nothing chosen at the first opening
        s.txtNome->setText(QStringLiteral("Anna"));
        s.cboTipologia->setCurrentIndex(1);
        s.cmdOK_Click();
    });
    const QString applied = *frmAnagrafica::gWhereAnagrafica;
    // Cancel keeps the filter and the saved values; what was typed is gone.
    search(fx, [](frmSelectAnagrafica &s) {
        QCOMPARE(s.txtNome->text(), QStringLiteral("Anna"));
        QCOMPARE(s.cboTipologia->currentIndex(), 1);
        s.txtNome->setText(QStringLiteral("Typed then cancelled"));
        s.cmdCancel_Click();
    });
    QCOMPARE(*frmAnagrafica::gWhereAnagrafica, applied);
    search(fx, [](frmSelectAnagrafica &s) {
        QCOMPARE(s.txtNome->text(), QStringLiteral("Anna"));
        s.cmdClear->click();
        QVERIFY(s.isLoaded()); // Reset leaves the window open
        s.cmdCancel_Click();
    });
    QCOMPARE(*frmAnagrafica::gWhereAnagrafica, applied); // the list still uses the last filter
    search(fx, [](frmSelectAnagrafica &s) {
        QCOMPARE(s.txtNome->text(), QString());
        QCOMPARE(s.cboTipologia->currentIndex(), -1);
        s.cmdCancel_Click();
    });
}

void MemberSearchTest::injectionInEverySearchField()
{
    MemberFixture fx;
    fill(fx);
    const QString injection = QStringLiteral("x'); DROP TABLE Anagrafica; --");
    const int rows = search(fx, [&](frmSelectAnagrafica &s) {
        for (QLineEdit *t : s.findChildren<QLineEdit *>()) {
            if (t->objectName().startsWith(QLatin1String("txt"))
                && !t->objectName().startsWith(QLatin1String("txtData")))
                t->setText(injection);
        }
        s.optOR->setChecked(true);
        s.cmdOK_Click();
    });
    QCOMPARE(rows, 0);
    QCOMPARE(fx.scalar("SELECT count(*) FROM Anagrafica"), QStringLiteral("3"));
    QCOMPARE(fx.scalar("SELECT count(*) FROM TipologiaPersone"), QStringLiteral("3"));
    // A date field holding no date is reported by FormattaData; the window
    // stays open and the filter before it stays in force; no table is touched.
    const QString before = *frmAnagrafica::gWhereAnagrafica;
    search(fx, [&](frmSelectAnagrafica &s) {
        s.cmdClear->click();
        s.txtDataIscrizioneDa->setText(injection);
        s.cmdOK_Click();
        QVERIFY(s.isLoaded());
        s.cmdCancel_Click();
    });
    QVERIFY(fx.people.messages().join(QLatin1Char('\n')).contains(QLatin1String("in procedure FormattaData")));
    QCOMPARE(*frmAnagrafica::gWhereAnagrafica, before);
    QCOMPARE(fx.scalar("SELECT count(*) FROM Anagrafica"), QStringLiteral("3"));
}

void MemberSearchTest::memberTypesSearchEditAndDelete()
{
    MemberFixture fx;
    fx.addMember(1, 1, QStringLiteral("Rossi"), QStringLiteral("Mario"));
    auto withTypes = [&](const std::function<void(frmTipologiaPersone &)> &body) {
        fx.withList<frmTipologiaPersone>(body);
    };

    // Rename to itself is accepted; to another existing name refused.
    fx.nextModal<frmEditTipologiaPersone>([&](frmEditTipologiaPersone &e) {
        QCOMPARE(e.txtTipologia->text(), QStringLiteral("Contatto"));
        e.txtTipologia->setText(QStringLiteral(" Socio "));
        e.cmdOK_Click();
        QCOMPARE(fx.people.last().text, QStringLiteral("The record already exists"));
        e.txtTipologia->setText(QStringLiteral("Contatto"));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    fx.nextModal<frmEditTipologiaPersone>([&](frmEditTipologiaPersone &e) {
        e.txtTipologia->setText(QStringLiteral("   "));
        e.cmdOK_Click();
        QCOMPARE(fx.people.last().text, QStringLiteral("Insert the type"));
        e.txtTipologia->setText(QStringLiteral("  Socio d'onore  "));
        e.cmdOK_Click();
        QVERIFY(!e.isLoaded());
    });
    fx.nextModal<frmSelectTipologiaPersone>([&](frmSelectTipologiaPersone &s) {
        s.txtTipologia->setText(QStringLiteral("Contatto,Benemerito"));
        s.cmdOK_Click();
    });
    withTypes([&](frmTipologiaPersone &l) {
        FlexGrid &g = *l.MSFlexGrid1;
        QCOMPARE(g.Cols(), 4);
        QCOMPARE(g.TextMatrix(0, 1), QStringLiteral("Type"));
        QCOMPARE(g.TextMatrix(0, 2), QStringLiteral("Created"));
        MemberFixture::clickRow(l, MemberFixture::findRow(g, 1, QStringLiteral("Contatto")));
        l.MSFlexGrid1_DblClick();
        l.cmdAdd->click();
        QCOMPARE(g.TextMatrix(g.Rows() - 1, 1), QStringLiteral("Socio d'onore"));
        l.cmdSelect_Click();
        QCOMPARE(*frmTipologiaPersone::gWhereTipologiaPersone,
                 QStringLiteral("a.Tipologia IN ('Contatto', 'Benemerito')"));
        QCOMPARE(g.Rows(), 3);

        // A type in use is refused; a free one goes after a Yes.
        frmTipologiaPersone::gWhereTipologiaPersone->clear();
        l.FillGrid();
        MemberFixture::clickRow(l, MemberFixture::findRow(g, 1, QStringLiteral("Socio")));
        l.cmdDelete_Click();
        QCOMPARE(fx.people.last().text, QStringLiteral("Unable to delete the record: related members exist"));
        MemberFixture::clickRow(l, MemberFixture::findRow(g, 1, QStringLiteral("Benemerito")));
        fx.people.msgAnswers.push_back(6);
        l.cmdDelete_Click();
        QCOMPARE(MemberFixture::findRow(g, 1, QStringLiteral("Benemerito")), -1);

        l.cmdPrintGrid_Click();
    });
    QCOMPARE(fx.scalar("SELECT Tipologia FROM TipologiaPersone WHERE TIPOLOGIAID = 40001"),
             QStringLiteral("Socio d'onore"));
    QCOMPARE(fx.scalar("SELECT DateTimeLastUpdated FROM TipologiaPersone WHERE TIPOLOGIAID = 2"),
             QStringLiteral("2026-03-05 09:07:03"));
    const QString printed = fx.people.previews.constLast();
    QVERIFY(printed.contains(QLatin1String("Socivant - Contact types</p>")));
    QCOMPARE(printed.section(QStringLiteral("<tr>"), 1, 1).count(QLatin1String("<th>")), 1);
}

QTEST_MAIN(MemberSearchTest)
#include "test_membersearch.moc"
