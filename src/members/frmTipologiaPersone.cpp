#include "frmTipologiaPersone.h"
#include "Globals.h"
#include "Translation.h"
#include "frmEditTipologiaPersone.h"
#include "frmSelectTipologiaPersone.h"

namespace {
const QString kSelect = QStringLiteral(
    "SELECT a.TIPOLOGIAID, a.Tipologia, a.DateTimeCreated as DataCreazione, a.DateTimeLastUpdated as DataUltimaModifica ");
const QString kFrom = QStringLiteral("FROM TipologiaPersone a ");
} // namespace

frmTipologiaPersone::frmTipologiaPersone()
    : ListWindow(QStringLiteral("frmTipologiaPersone"), QStringLiteral("Tipologie Soci"), false,
                 &gWhereTipologiaPersone)
{
    resize(640, 480);
}

QString frmTipologiaPersone::fillQuery() const
{
    return kSelect + kFrom;
}

QString frmTipologiaPersone::oneRecordQuery(bool) const
{
    return kSelect + kFrom + QStringLiteral("WHERE TIPOLOGIAID = ") + keyText() + QStringLiteral(" ");
}

QVector<short> frmTipologiaPersone::printSkipList() const
{
    return {0, 2, 3};
}

QString frmTipologiaPersone::printSubtitle() const
{
    return isEnglish() ? QStringLiteral("Socivant - Contact types") : QStringLiteral("Merivolo - Tipologie anagrafica");
}

Exists frmTipologiaPersone::dependentRows() const
{
    return esisteRecord(QStringLiteral("anagrafica"), QStringLiteral("tipologiaid"), keyText(), QStringLiteral("N"),
                        QString(), QString());
}

QString frmTipologiaPersone::refusalText() const
{
    return QStringLiteral("Impossibile eliminare il record: ci sono record collegati nell'anagrafica");
}

QString frmTipologiaPersone::deleteStatement() const
{
    return QStringLiteral("DELETE From TipologiaPersone WHERE TIPOLOGIAID = ");
}

RecordEditor *frmTipologiaPersone::editWindow() const
{
    return Instance<frmEditTipologiaPersone>::get();
}

void frmTipologiaPersone::showSearchWindow()
{
    Instance<frmSelectTipologiaPersone>::get()->showModal();
}

void frmTipologiaPersone::releaseInstance()
{
    Instance<frmTipologiaPersone>::release();
}
