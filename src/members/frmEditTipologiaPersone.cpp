#include "frmEditTipologiaPersone.h"
#include "Database.h"
#include "Globals.h"
#include "SqlText.h"
#include "frmTipologiaPersone.h"

#include <QLineEdit>

frmEditTipologiaPersone::frmEditTipologiaPersone()
    : EditWindow(QStringLiteral("frmEditTipologiaPersone"), QStringLiteral("Tipologie Soci"))
{
    txtTipologia = rows.text(QStringLiteral("txtTipologia"), QStringLiteral("Tipologia Soci"));
}

ListWindow *frmEditTipologiaPersone::list() const
{
    return Instance<frmTipologiaPersone>::get();
}

QString frmEditTipologiaPersone::recordQuery() const
{
    return QStringLiteral("SELECT a.TIPOLOGIAID, a.Tipologia, a.DateTimeCreated, a.DateTimeLastUpdated ")
        + QStringLiteral("FROM TipologiaPersone a ") + QStringLiteral("WHERE TIPOLOGIAID = ") + listKeyText()
        + QStringLiteral(" ");
}

void frmEditTipologiaPersone::loadRecord(const Recordset &r)
{
    copyText(r, QStringLiteral("Tipologia"), txtTipologia);
}

bool frmEditTipologiaPersone::validate()
{
    const QString name = txtTipologia->text().trimmed();
    if (name.isEmpty())
        return fail(QStringLiteral("Inserire la tipologia"));
    const Exists dup = gIsNewRecord
        ? esisteRecord(QStringLiteral("tipologiapersone"), QStringLiteral("tipologia"), name, QStringLiteral("S"),
                       QString(), -1)
        : esisteRecord(QStringLiteral("tipologiapersone"), QStringLiteral("tipologia"), name, QStringLiteral("S"),
                       QStringLiteral("tipologiaid"), listKeyText());
    if (dup == Exists::Yes)
        return fail(QStringLiteral("Il record già esiste"));
    return dup == Exists::No; // a check that could not run stops the save
}

QString frmEditTipologiaPersone::insertSql() const
{
    return QStringLiteral("INSERT INTO TipologiaPersone (Tipologia, DateTimeCreated) ") + QStringLiteral("VALUES (")
        + textValue(txtTipologia) + QStringLiteral(", ") + QStringLiteral(" ") + m_stampCreated + QStringLiteral(")")
        + QStringLiteral(" ");
}

QString frmEditTipologiaPersone::updateSql() const
{
    return updateStatement(QStringLiteral("TipologiaPersone"),
                           {{QStringLiteral("Tipologia = "), textValue(txtTipologia)}}, QStringLiteral("TIPOLOGIAID"));
}

void frmEditTipologiaPersone::releaseInstance()
{
    Instance<frmEditTipologiaPersone>::release();
}

TableRow frmEditTipologiaPersone::changedRow() const
{
    return {QStringLiteral("TipologiaPersone"), QStringLiteral("TIPOLOGIAID")};
}
