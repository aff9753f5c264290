#include "frmSelectTipologiaPersone.h"
#include "Globals.h"
#include "frmTipologiaPersone.h"

#include <QLineEdit>

frmSelectTipologiaPersone::frmSelectTipologiaPersone()
    : SearchWindow(QStringLiteral("frmSelectTipologiaPersone"), QStringLiteral("Cerca Tipologie Soci"), false)
{
    txtTipologia = rows.text(QStringLiteral("txtTipologia"), QStringLiteral("Tipologia Soci"));
    addClause(txtTipologia, Clause::Text, QStringLiteral("a.Tipologia"));
}

ListWindow *frmSelectTipologiaPersone::list() const
{
    return Instance<frmTipologiaPersone>::get();
}

QString &frmSelectTipologiaPersone::filter() const
{
    return gWhereTipologiaPersone;
}

void frmSelectTipologiaPersone::releaseInstance()
{
    Instance<frmSelectTipologiaPersone>::release();
}
