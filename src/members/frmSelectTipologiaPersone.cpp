#include "frmSelectTipologiaPersone.h"
#include "Globals.h"
#include "frmTipologiaPersone.h"

#include <QLineEdit>

frmSelectTipologiaPersone::frmSelectTipologiaPersone()
    : SearchWindow(QStringLiteral("frmSelectTipologiaPersone"), QStringLiteral("Cerca Tipologie Soci"),
                   {gSelectStateTipologiaPersone, gSelectStateReadyTipologiaPersone})
{
    txtTipologia = rows.text(QStringLiteral("txtTipologia"), QStringLiteral("Tipologia Soci"));
    addClause(txtTipologia, Clause::Text, QStringLiteral("a.Tipologia"));
}

ListWindow *frmSelectTipologiaPersone::list() const
{
    return Instance<frmTipologiaPersone>::get();
}

void frmSelectTipologiaPersone::releaseInstance()
{
    Instance<frmSelectTipologiaPersone>::release();
}
