#include "frmSelectAnagrafica.h"
#include "Globals.h"
#include "frmAnagrafica.h"

#include <QComboBox>
#include <QLineEdit>

frmSelectAnagrafica::frmSelectAnagrafica()
    : SearchWindow(QStringLiteral("frmSelectAnagrafica"), QStringLiteral("Cerca in Anagrafica"),
                   {gSelectStateAnagrafica, gSelectStateReadyAnagrafica, &gSelectUseOrAnagrafica})
{
    auto text = [this](const QString &name, const QString &label, const QString &column) {
        QLineEdit *t = rows.text(name, label);
        addClause(t, Clause::Text, column);
        return t;
    };
    auto range = [this](const QString &from, const QString &to, const QString &label, const QString &column,
                        QLineEdit **f, QLineEdit **t) {
        rows.range(from, to, label, f, t);
        addClause(*f, Clause::DateFrom, column);
        addClause(*t, Clause::DateTo, column);
    };
    cboTipologia = rows.combo(QStringLiteral("cboTipologia"), QStringLiteral("Tipologia"));
    addClause(cboTipologia, Clause::ComboKey, QStringLiteral("a.TIPOLOGIAID = "));
    txtNome = text(QStringLiteral("txtNome"), QStringLiteral("Nome"), QStringLiteral("a.Nome"));
    txtCognome = text(QStringLiteral("txtCognome"), QStringLiteral("Cognome / Ragione Sociale"),
                      QStringLiteral("a.Cognome"));
    txtIndirizzo = text(QStringLiteral("txtIndirizzo"), QStringLiteral("Indirizzo"), QStringLiteral("a.Indirizzo"));
    txtCAP = text(QStringLiteral("txtCAP"), QStringLiteral("CAP"), QStringLiteral("a.CAP"));
    txtComune = text(QStringLiteral("txtComune"), QStringLiteral("Comune"), QStringLiteral("a.Comune"));
    txtProvincia = text(QStringLiteral("txtProvincia"), QStringLiteral("Provincia"), QStringLiteral("a.Provincia"));
    txtTelefonoCasa = text(QStringLiteral("txtTelefonoCasa"), QStringLiteral("Telefono Casa"),
                           QStringLiteral("a.TelefonoCasa"));
    txtTelefonoUfficio = text(QStringLiteral("txtTelefonoUfficio"), QStringLiteral("Telefono Ufficio"),
                              QStringLiteral("a.TelefonoUfficio"));
    txtFax = text(QStringLiteral("txtFax"), QStringLiteral("Fax"), QStringLiteral("a.Fax"));
    txtCellulare = text(QStringLiteral("txtCellulare"), QStringLiteral("Cellulare"), QStringLiteral("a.Cellulare"));
    txtCFIva = text(QStringLiteral("txtCFIva"), QStringLiteral("Codice Fiscale / Partita IVA"),
                    QStringLiteral("a.CFIva"));
    txtEmail = text(QStringLiteral("txtEmail"), QStringLiteral("E-mail"), QStringLiteral("a.Email"));
    txtSitoWeb = text(QStringLiteral("txtSitoWeb"), QStringLiteral("Sito Web"), QStringLiteral("a.SitoWeb"));
    txtNote = text(QStringLiteral("txtNote"), QStringLiteral("Note"), QStringLiteral("a.NoteAnagrafica"));
    range(QStringLiteral("txtDataNascitaDa"), QStringLiteral("txtDataNascitaA"), QStringLiteral("Data di nascita"),
          QStringLiteral("a.datanascita"), &txtDataNascitaDa, &txtDataNascitaA);
    range(QStringLiteral("txtDataIscrizioneDa"), QStringLiteral("txtDataIscrizioneA"),
          QStringLiteral("Data di iscrizione"), QStringLiteral("a.dataiscrizione"), &txtDataIscrizioneDa,
          &txtDataIscrizioneA);
    range(QStringLiteral("txtDataScadenzaIscrizioneDa"), QStringLiteral("txtDataScadenzaIscrizioneA"),
          QStringLiteral("Data scadenza iscrizione"), QStringLiteral("a.datascadenzaiscrizione"),
          &txtDataScadenzaIscrizioneDa, &txtDataScadenzaIscrizioneA);
    txtNumeroTessera = text(QStringLiteral("txtNumeroTessera"), QStringLiteral("Numero Tessera"),
                            QStringLiteral("a.NumeroTessera"));
}

ListWindow *frmSelectAnagrafica::list() const
{
    return Instance<frmAnagrafica>::get();
}

void frmSelectAnagrafica::fillCombos()
{
    fillCombo(cboTipologia, QStringLiteral("SELECT TIPOLOGIAID, Tipologia FROM TipologiaPersone order by tipologia "));
}

void frmSelectAnagrafica::releaseInstance()
{
    Instance<frmSelectAnagrafica>::release();
}
