#include "frmMieiContiCorrenti.h"
#include "Controls.h"
#include "Globals.h"
#include "Translation.h"
#include "frmEditMieiContiCorrenti.h"
#include "frmSelectMieiContiCorrenti.h"

namespace {
const QString kColumns =
    QStringLiteral("SELECT a.CONTOCORRENTEID, a.Descrizione, a.Banca, a.ABI, a.CAB, a.NumeroConto,  ")
    + QStringLiteral("a.Intestatari, a.DateTimeCreated as DataCreazione, a.DateTimeLastUpdated as DataUltimaModifica ")
    + QStringLiteral("FROM MieiContiCorrenti a ");
} // namespace

frmMieiContiCorrenti::frmMieiContiCorrenti()
    : ListWindow(QStringLiteral("frmMieiContiCorrenti"), QStringLiteral("I Miei Conti Correnti"), false,
                 &gWhereMieiContiCorrenti)
{
    setCaption(cmdSelect, QStringLiteral("Seleziona"));
}

QString frmMieiContiCorrenti::fillQuery() const
{
    return kColumns;
}

QString frmMieiContiCorrenti::oneRecordQuery(bool) const
{
    return kColumns + QStringLiteral("WHERE CONTOCORRENTEID = ") + keyText() + QStringLiteral(" ");
}

QVector<short> frmMieiContiCorrenti::printSkipList() const
{
    return {0, 7, 8};
}

QString frmMieiContiCorrenti::printSubtitle() const
{
    return isEnglish() ? QStringLiteral("Socivant - Bank accounts") : QStringLiteral("Merivolo - Conti correnti");
}

Exists frmMieiContiCorrenti::dependentRows() const
{
    // Both tables are asked; an answer that could not be had stops the
    // delete unless the other one already refuses it.
    const Exists cheques = esisteRecord(QStringLiteral("AssegniEmessi"), QStringLiteral("contocorrenteid"), keyText(),
                                        QStringLiteral("N"), QString(), true);
    const Exists deposits = esisteRecord(QStringLiteral("versamenti"), QStringLiteral("contocorrenteid"), keyText(),
                                         QStringLiteral("N"), QString(), true);
    if (cheques == Exists::Yes || deposits == Exists::Yes)
        return Exists::Yes;
    if (cheques == Exists::CouldNotTell || deposits == Exists::CouldNotTell)
        return Exists::CouldNotTell;
    return Exists::No;
}

QString frmMieiContiCorrenti::refusalText() const
{
    return QStringLiteral("Impossibile eliminare il record. Esistono assegni collegati.");
}

QString frmMieiContiCorrenti::deleteStatement() const
{
    return QStringLiteral("DELETE From MieiContiCorrenti WHERE CONTOCORRENTEID = ");
}

RecordEditor *frmMieiContiCorrenti::editWindow() const
{
    return Instance<frmEditMieiContiCorrenti>::get();
}

void frmMieiContiCorrenti::showSearchWindow()
{
    Instance<frmSelectMieiContiCorrenti>::get()->showModal();
}

void frmMieiContiCorrenti::releaseInstance()
{
    Instance<frmMieiContiCorrenti>::release();
}
