#include "frmEditAnagrafica.h"
#include "Controls.h"
#include "Database.h"
#include "Globals.h"
#include "Regional.h"
#include "SqlText.h"
#include "frmAnagrafica.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

frmEditAnagrafica::frmEditAnagrafica()
    : EditWindow(QStringLiteral("frmEditAnagrafica"), QStringLiteral("Albo dei Soci"))
{
    cboTipologia = rows.combo(QStringLiteral("cboTipologia"), QStringLiteral("Tipologia"));
    txtNome = rows.text(QStringLiteral("txtNome"), QStringLiteral("Nome"));
    txtCognome = rows.text(QStringLiteral("txtCognome"), QStringLiteral("Cognome / Ragione Sociale"));
    txtIndirizzo = rows.text(QStringLiteral("txtIndirizzo"), QStringLiteral("Indirizzo"));
    txtCAP = rows.text(QStringLiteral("txtCAP"), QStringLiteral("CAP"));
    txtComune = rows.text(QStringLiteral("txtComune"), QStringLiteral("Comune"));
    txtProvincia = rows.text(QStringLiteral("txtProvincia"), QStringLiteral("Provincia"));
    txtTelefonoCasa = rows.text(QStringLiteral("txtTelefonoCasa"), QStringLiteral("Telefono Casa"));
    txtTelefonoUfficio = rows.text(QStringLiteral("txtTelefonoUfficio"), QStringLiteral("Telefono Ufficio"));
    txtFax = rows.text(QStringLiteral("txtFax"), QStringLiteral("Fax"));
    txtCellulare = rows.text(QStringLiteral("txtCellulare"), QStringLiteral("Cellulare"));
    txtCFIva = rows.text(QStringLiteral("txtCFIva"), QStringLiteral("Codice Fiscale / Partita IVA"));
    txtEmail = rows.text(QStringLiteral("txtEmail"), QStringLiteral("E-mail"));
    txtSitoWeb = rows.text(QStringLiteral("txtSitoWeb"), QStringLiteral("Sito Web"));
    txtNote = rows.text(QStringLiteral("txtNote"), QStringLiteral("Note"));
    txtNumeroTessera = rows.text(QStringLiteral("txtNumeroTessera"), QStringLiteral("Numero Tessera"));
    txtDataNascita = rows.date(QStringLiteral("txtDataNascita"), QStringLiteral("Data Nascita"));
    txtDataIscrizione = rows.date(QStringLiteral("txtDataIscrizione"), QStringLiteral("Data Iscrizione"));
    txtDataScadenzaIscrizione = rows.date(QStringLiteral("txtDataScadenzaIscrizione"),
                                          QStringLiteral("Data Scadenza Iscrizione"));
    setCaption(cmdPrint, QStringLiteral("S&tampa scheda del socio"));
    bindCombo(cboTipologia, &SelectedTipologiaID);
}

ListWindow *frmEditAnagrafica::list() const
{
    return Instance<frmAnagrafica>::get();
}

QString frmEditAnagrafica::recordQuery() const
{
    return QStringLiteral("SELECT a.ANAGRAFICAID, a.TIPOLOGIAID, b.Tipologia, a.Nome, a.Cognome,  ")
        + QStringLiteral("a.Indirizzo, a.CAP, a.Comune, a.Provincia, a.TelefonoCasa, a.TelefonoUfficio,  ")
        + QStringLiteral("a.Fax, a.Cellulare, a.CFIva, a.NumeroTessera, a.DataIscrizione, a.DataNascita, "
                         "a.DataScadenzaIscrizione, a.Email, a.SitoWeb, a.NoteAnagrafica, a.DateTimeCreated,  ")
        + QStringLiteral("a.DateTimeLastUpdated ") + QStringLiteral("FROM Anagrafica a, TipologiaPersone b ")
        + QStringLiteral("WHERE ANAGRAFICAID = ") + listKeyText() + QStringLiteral(" AND ")
        + QStringLiteral("a.TIPOLOGIAID = b.TIPOLOGIAID ");
}

void frmEditAnagrafica::loadRecord(const Recordset &r)
{
    m_loadedKey = r.value(QStringLiteral("TIPOLOGIAID")).toLongLong();
    copyText(r, QStringLiteral("Nome"), txtNome);
    copyText(r, QStringLiteral("Cognome"), txtCognome);
    copyText(r, QStringLiteral("Indirizzo"), txtIndirizzo);
    copyText(r, QStringLiteral("CAP"), txtCAP);
    copyText(r, QStringLiteral("Comune"), txtComune);
    copyText(r, QStringLiteral("Provincia"), txtProvincia);
    copyText(r, QStringLiteral("TelefonoCasa"), txtTelefonoCasa);
    copyText(r, QStringLiteral("TelefonoUfficio"), txtTelefonoUfficio);
    copyText(r, QStringLiteral("Fax"), txtFax);
    copyText(r, QStringLiteral("Cellulare"), txtCellulare);
    copyText(r, QStringLiteral("CFIva"), txtCFIva);
    copyText(r, QStringLiteral("Email"), txtEmail);
    copyText(r, QStringLiteral("SitoWeb"), txtSitoWeb);
    copyText(r, QStringLiteral("NoteAnagrafica"), txtNote);
    copyText(r, QStringLiteral("NumeroTessera"), txtNumeroTessera);
    copyDate(r, QStringLiteral("DataIscrizione"), txtDataIscrizione);
    copyDate(r, QStringLiteral("DataNascita"), txtDataNascita);
    copyDate(r, QStringLiteral("DataScadenzaIscrizione"), txtDataScadenzaIscrizione);
}

void frmEditAnagrafica::fillCombos()
{
    fillCombo(cboTipologia, QStringLiteral("SELECT TIPOLOGIAID, Tipologia FROM TipologiaPersone order by tipologia "),
              &SelectedTipologiaID, m_loadedKey);
}

bool frmEditAnagrafica::validate()
{
    if (cboTipologia->currentIndex() == -1 || SelectedTipologiaID == -1)
        return fail(QStringLiteral("Selezionare la tipologia"));
    if (txtCognome->text().trimmed().isEmpty())
        return fail(QStringLiteral("Inserire il cognome o la ragione sociale"));
    if (const QString cap = txtCAP->text().trimmed(); !cap.isEmpty()) {
        const QString msg = checkABICAB(cap, QStringLiteral("di avviamento postale"));
        if (!msg.isEmpty())
            return fail(msg);
    }
    auto holdsDate = [](const DatePicker *d) { return d->text().isEmpty() || Regional::isDate(d->text()); };
    if (!holdsDate(txtDataNascita))
        return fail(QStringLiteral("Data di nascita non valida"));
    if (!holdsDate(txtDataIscrizione))
        return fail(QStringLiteral("Data di iscrizione non valida"));
    if (!holdsDate(txtDataScadenzaIscrizione))
        return fail(QStringLiteral("Data di scadenza iscrizione non valida"));
    if (const QString card = txtNumeroTessera->text().trimmed(); !card.isEmpty()) {
        // Cards that differ only in letter case are different cards.
        QString sql = QStringLiteral("select count(*) as conteggio from anagrafica where numerotessera ")
            + QStringLiteral("=")
            + exactText(QStringLiteral("'") + QString(card).replace(QLatin1Char('\''), QStringLiteral("''"))
                        + QStringLiteral("'"));
        if (!gIsNewRecord)
            sql += QStringLiteral(" And anagraficaid <> ") + listKeyText();
        switch (esisteRecordSQL(sql)) {
        case Exists::Yes:
            return fail(QStringLiteral("Impossibile ")
                        + (gIsNewRecord ? QStringLiteral("inserire") : QStringLiteral("modificare"))
                        + QStringLiteral(" il record: numero di tessera duplicato."));
        case Exists::CouldNotTell:
            return false; // the failed check was reported; nothing is saved blindly
        case Exists::No:
            break;
        }
    }
    return true;
}

QString frmEditAnagrafica::insertSql() const
{
    return insertStatement(
        QStringLiteral("INSERT INTO Anagrafica (TIPOLOGIAID, Nome, Cognome, Indirizzo, ")
            + QStringLiteral("CAP, Comune, Provincia, TelefonoCasa, TelefonoUfficio, Fax, Cellulare, ")
            + QStringLiteral("CFIva, Email, SitoWeb, NoteAnagrafica, numerotessera,datanascita,dataiscrizione,"
                             "datascadenzaiscrizione,DateTimeCreated) "),
        {QString::number(SelectedTipologiaID), textValue(txtNome), textValue(txtCognome), textValue(txtIndirizzo),
         textValue(txtCAP), textValue(txtComune), textValue(txtProvincia), textValue(txtTelefonoCasa),
         textValue(txtTelefonoUfficio), textValue(txtFax), textValue(txtCellulare), textValue(txtCFIva),
         textValue(txtEmail), textValue(txtSitoWeb), textValue(txtNote), textValue(txtNumeroTessera),
         dateValue(txtDataNascita), dateValue(txtDataIscrizione), dateValue(txtDataScadenzaIscrizione)});
}

QString frmEditAnagrafica::updateSql() const
{
    return updateStatement(QStringLiteral("Anagrafica"),
                           {{QStringLiteral("TIPOLOGIAID = "), QString::number(SelectedTipologiaID)},
                            {QStringLiteral("Nome = "), textValue(txtNome)},
                            {QStringLiteral("Cognome = "), textValue(txtCognome)},
                            {QStringLiteral("Indirizzo = "), textValue(txtIndirizzo)},
                            {QStringLiteral("CAP = "), textValue(txtCAP)},
                            {QStringLiteral("Comune = "), textValue(txtComune)},
                            {QStringLiteral("Provincia = "), textValue(txtProvincia)},
                            {QStringLiteral("TelefonoCasa = "), textValue(txtTelefonoCasa)},
                            {QStringLiteral("TelefonoUfficio = "), textValue(txtTelefonoUfficio)},
                            {QStringLiteral("Fax = "), textValue(txtFax)},
                            {QStringLiteral("Cellulare = "), textValue(txtCellulare)},
                            {QStringLiteral("CFIva = "), textValue(txtCFIva)},
                            {QStringLiteral("Email = "), textValue(txtEmail)},
                            {QStringLiteral("SitoWeb = "), textValue(txtSitoWeb)},
                            {QStringLiteral("NoteAnagrafica = "), textValue(txtNote)},
                            {QStringLiteral("NumeroTessera = "), textValue(txtNumeroTessera)},
                            {QStringLiteral("DataNascita = "), dateValue(txtDataNascita)},
                            {QStringLiteral("DataIscrizione = "), dateValue(txtDataIscrizione)},
                            {QStringLiteral("DataScadenzaIscrizione = "), dateValue(txtDataScadenzaIscrizione)}},
                           QStringLiteral("ANAGRAFICAID"));
}

void frmEditAnagrafica::releaseInstance()
{
    Instance<frmEditAnagrafica>::release();
}

TableRow frmEditAnagrafica::changedRow() const
{
    return {QStringLiteral("Anagrafica"), QStringLiteral("ANAGRAFICAID")};
}

QVector<TableRow> frmEditAnagrafica::referredRows() const
{
    return {{QStringLiteral("TipologiaPersone"), QStringLiteral("TIPOLOGIAID"), SelectedTipologiaID}};
}
