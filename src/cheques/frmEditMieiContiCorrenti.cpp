#include "frmEditMieiContiCorrenti.h"
#include "Globals.h"
#include "SqlText.h"
#include "Translation.h"
#include "frmMieiContiCorrenti.h"

#include <QLineEdit>

frmEditMieiContiCorrenti::frmEditMieiContiCorrenti()
    : EditWindow(QStringLiteral("frmEditMieiContiCorrenti"), QStringLiteral("I Miei Conti Correnti"))
{
    txtDescrizione = rows.text(QStringLiteral("txtDescrizione"), QStringLiteral("Descrizione"));
    txtBanca = rows.text(QStringLiteral("txtBanca"), QStringLiteral("Banca"));
    txtABI = rows.text(QStringLiteral("txtABI"), QStringLiteral("ABI"));
    txtCAB = rows.text(QStringLiteral("txtCAB"), QStringLiteral("CAB"));
    txtNumeroConto = rows.text(QStringLiteral("txtNumeroConto"), QStringLiteral("Numero di Conto Corrente"));
    txtIntestatari = rows.text(QStringLiteral("txtIntestatari"), QStringLiteral("Intestatari"));
}

ListWindow *frmEditMieiContiCorrenti::list() const
{
    return Instance<frmMieiContiCorrenti>::get();
}

QString frmEditMieiContiCorrenti::recordQuery() const
{
    return QStringLiteral("SELECT a.CONTOCORRENTEID, a.Descrizione, a.Banca, a.ABI, a.CAB, a.NumeroConto,  ")
        + QStringLiteral("a.Intestatari, a.DateTimeCreated, a.DateTimeLastUpdated ")
        + QStringLiteral("FROM MieiContiCorrenti a ") + QStringLiteral("WHERE CONTOCORRENTEID = ") + listKeyText()
        + QStringLiteral(" ");
}

void frmEditMieiContiCorrenti::loadRecord(const Recordset &r)
{
    copyText(r, QStringLiteral("Descrizione"), txtDescrizione);
    copyText(r, QStringLiteral("Banca"), txtBanca);
    copyText(r, QStringLiteral("ABI"), txtABI);
    copyText(r, QStringLiteral("CAB"), txtCAB);
    copyText(r, QStringLiteral("NumeroConto"), txtNumeroConto);
    copyText(r, QStringLiteral("Intestatari"), txtIntestatari);
}

bool frmEditMieiContiCorrenti::validate()
{
    const QString description = txtDescrizione->text().trimmed();
    if (description.isEmpty())
        return fail(QStringLiteral("Inserire la descrizione"));
    if (txtBanca->text().trimmed().isEmpty())
        return fail(QStringLiteral("Inserire il nome della banca"));
    // The Italian bank codes are required and checked in the Italian edition only.
    const QString abi = txtABI->text().trimmed();
    if (!isEnglish() && abi.isEmpty())
        return fail(QStringLiteral("Inserire il codice ABI"));
    if (const QString msg = checkABICAB(abi, QStringLiteral("ABI")); !msg.isEmpty())
        return fail(msg);
    const QString cab = txtCAB->text().trimmed();
    if (!isEnglish() && cab.isEmpty())
        return fail(QStringLiteral("Inserire il codice CAB"));
    if (const QString msg = checkABICAB(cab, QStringLiteral("CAB")); !msg.isEmpty())
        return fail(msg);
    if (txtNumeroConto->text().trimmed().isEmpty())
        return fail(QStringLiteral("Inserire il numero di conto corrente"));
    const Exists taken = gIsNewRecord
        ? esisteRecord(QStringLiteral("mieiconticorrenti"), QStringLiteral("descrizione"), description,
                       QStringLiteral("S"), QString(), true)
        : esisteRecord(QStringLiteral("mieiconticorrenti"), QStringLiteral("descrizione"), description,
                       QStringLiteral("S"), QStringLiteral("contocorrenteid"), listKeyText());
    switch (taken) {
    case Exists::Yes:
        return fail(QStringLiteral("Il record già esiste"));
    case Exists::CouldNotTell:
        return false; // the failed check was reported; nothing is saved blindly
    case Exists::No:
        break;
    }
    return true;
}

QString frmEditMieiContiCorrenti::insertSql() const
{
    return insertStatement(QStringLiteral("INSERT INTO MieiContiCorrenti (Descrizione, Banca, ABI, CAB, ")
                               + QStringLiteral("NumeroConto, Intestatari, DateTimeCreated) "),
                           {textValue(txtDescrizione), textValue(txtBanca), textValue(txtABI), textValue(txtCAB),
                            textValue(txtNumeroConto), textValue(txtIntestatari)});
}

QString frmEditMieiContiCorrenti::updateSql() const
{
    return updateStatement(QStringLiteral("MieiContiCorrenti"),
                           {{QStringLiteral("Descrizione = "), textValue(txtDescrizione)},
                            {QStringLiteral("Banca = "), textValue(txtBanca)},
                            {QStringLiteral("ABI = "), textValue(txtABI)},
                            {QStringLiteral("CAB = "), textValue(txtCAB)},
                            {QStringLiteral("NumeroConto = "), textValue(txtNumeroConto)},
                            {QStringLiteral("Intestatari = "), textValue(txtIntestatari)}},
                           QStringLiteral("CONTOCORRENTEID"));
}

void frmEditMieiContiCorrenti::releaseInstance()
{
    Instance<frmEditMieiContiCorrenti>::release();
}

TableRow frmEditMieiContiCorrenti::changedRow() const
{
    return {QStringLiteral("MieiContiCorrenti"), QStringLiteral("CONTOCORRENTEID")};
}
