#include "frmSelectAssegniEmessi.h"
#include "Controls.h"
#include "Globals.h"
#include "Regional.h"
#include "SqlText.h"
#include "frmAssegniEmessi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

frmSelectAssegniEmessi::frmSelectAssegniEmessi()
    : SearchWindow(QStringLiteral("frmSelectAssegniEmessi"), QStringLiteral("Cerca Assegni Emessi"),
                   {gSelectStateAssegniEmessi, gSelectStateReadyAssegniEmessi, &gSelectUseOrAssegniEmessi})
{
    auto flag = [this](const QString &name, const QString &caption) {
        QCheckBox *c = rows.check(name, caption);
        c->setTristate(true);
        setCheckValue(c, 2); // grey: the flag is not searched
        return c;
    };
    cboDescrizione = rows.combo(QStringLiteral("cboDescrizione"), QStringLiteral("Conto Corrente"));
    cboNome = rows.combo(QStringLiteral("cboNome"), QStringLiteral("Beneficiario"));
    txtNumero = rows.text(QStringLiteral("txtNumero"), QStringLiteral("Numero Assegno"));
    rows.range(QStringLiteral("txtDataDa"), QStringLiteral("txtDataA"), QStringLiteral("Data Assegno"), &txtDataDa,
               &txtDataA);
    txtLuogoEmissione = rows.text(QStringLiteral("txtLuogoEmissione"), QStringLiteral("Luogo di emissione"));
    chkSuPiazza = flag(QStringLiteral("chkSuPiazza"), QStringLiteral("Su piazza"));
    chkTrasferibile = flag(QStringLiteral("chkTrasferibile"), QStringLiteral("Trasferibile"));
    chkSbarrato = flag(QStringLiteral("chkSbarrato"), QStringLiteral("Sbarrato"));
    rows.range(QStringLiteral("txtImportoDa"), QStringLiteral("txtImportoA"), QStringLiteral("Importo (€)"),
               &txtImportoDa, &txtImportoA);
    txtImportoDa->setPlaceholderText(QString());
    txtImportoA->setPlaceholderText(QString());
    txtCausale = rows.text(QStringLiteral("txtCausale"), QStringLiteral("Causale"));
    txtAssegnoNote = rows.text(QStringLiteral("txtAssegnoNote"), QStringLiteral("Note"));

    addClause(cboDescrizione, Clause::ComboKey, QStringLiteral("a.CONTOCORRENTEID = "));
    addClause(cboNome, Clause::ComboKey, QStringLiteral("a.ANAGRAFICAID = "));
    addClause(txtNumero, Clause::Text, QStringLiteral("a.Numero"));
    addClause(txtDataDa, Clause::DateFrom, QStringLiteral("a.DataAssegno"));
    addClause(txtDataA, Clause::DateTo, QStringLiteral("a.DataAssegno"));
    addClause(txtLuogoEmissione, Clause::Text, QStringLiteral("a.LuogoEmissione"));
    addClause(chkSuPiazza, Clause::Flag, QStringLiteral("a.SuPiazza = "), QStringLiteral(" "));
    addClause(chkTrasferibile, Clause::Flag, QStringLiteral("a.Trasferibile ="), QStringLiteral(" "));
    addClause(chkSbarrato, Clause::Flag, QStringLiteral("a.Sbarrato ="), QStringLiteral(" "));
    addClause(txtImportoDa, Clause::AmountBound, QStringLiteral("a.Importo >= "));
    addClause(txtImportoA, Clause::AmountBound, QStringLiteral("a.Importo <= "));
    addClause(txtCausale, Clause::Text, QStringLiteral("a.Causale"));
    addClause(txtAssegnoNote, Clause::Text, QStringLiteral("a.AssegnoNote"));
}

ListWindow *frmSelectAssegniEmessi::list() const
{
    return Instance<frmAssegniEmessi>::get();
}

void frmSelectAssegniEmessi::fillCombos()
{
    fillCombo(cboDescrizione,
              QStringLiteral("SELECT CONTOCORRENTEID, Descrizione FROM MieiContiCorrenti order by descrizione "));
    // Surname first in the item text.
    fillCombo(cboNome, QStringLiteral("SELECT ANAGRAFICAID, Nome, cognome FROM Anagrafica order by cognome, nome "),
              &surnameThenName);
}

bool frmSelectAssegniEmessi::validate()
{
    auto filled = [](const QLineEdit *t) { return !t->text().trimmed().isEmpty(); };
    if (filled(txtDataDa) && !Regional::isDate(txtDataDa->text().trimmed()))
        return fail(QStringLiteral("Formato della data di partenza non valido"));
    if (filled(txtDataA) && !Regional::isDate(txtDataA->text().trimmed()))
        return fail(QStringLiteral("Formato della data di arrivo non valido"));
    if (filled(txtImportoDa) && !isAmount(txtImportoDa->text()))
        return fail(QStringLiteral("Formato dell'importo minimo non valido"));
    if (filled(txtImportoA) && !isAmount(txtImportoA->text()))
        return fail(QStringLiteral("Formato dell'importo massimo non valido"));
    return true;
}

void frmSelectAssegniEmessi::releaseInstance()
{
    Instance<frmSelectAssegniEmessi>::release();
}
