#include "frmSelectMieiContiCorrenti.h"
#include "Globals.h"
#include "frmMieiContiCorrenti.h"

#include <QLineEdit>

frmSelectMieiContiCorrenti::frmSelectMieiContiCorrenti()
    : SearchWindow(QStringLiteral("frmSelectMieiContiCorrenti"), QStringLiteral("Cerca Conti Correnti"),
                   {gSelectStateMieiContiCorrenti, gSelectStateReadyMieiContiCorrenti, &gSelectUseOrMieiContiCorrenti})
{
    auto text = [this](const QString &name, const QString &label, const QString &column) {
        QLineEdit *t = rows.text(name, label);
        addClause(t, Clause::Text, column);
        return t;
    };
    txtDescrizione = text(QStringLiteral("txtDescrizione"), QStringLiteral("Descrizione"),
                          QStringLiteral("a.Descrizione"));
    txtBanca = text(QStringLiteral("txtBanca"), QStringLiteral("Banca"), QStringLiteral("a.Banca"));
    txtABI = text(QStringLiteral("txtABI"), QStringLiteral("ABI"), QStringLiteral("a.ABI"));
    txtCAB = text(QStringLiteral("txtCAB"), QStringLiteral("CAB"), QStringLiteral("a.CAB"));
    txtNumeroConto = text(QStringLiteral("txtNumeroConto"), QStringLiteral("Numero di Conto Corrente"),
                          QStringLiteral("a.NumeroConto"));
    txtIntestatario = text(QStringLiteral("txtIntestatario"), QStringLiteral("Intestatario"),
                           QStringLiteral("a.Intestatari"));
}

ListWindow *frmSelectMieiContiCorrenti::list() const
{
    return Instance<frmMieiContiCorrenti>::get();
}

void frmSelectMieiContiCorrenti::releaseInstance()
{
    Instance<frmSelectMieiContiCorrenti>::release();
}
