#include "frmAssegniEmessi.h"
#include "Controls.h"
#include "Database.h"
#include "FlexGrid.h"
#include "Globals.h"
#include "GridHelpers.h"
#include "Regional.h"
#include "Translation.h"
#include "frmEditAssegniEmessi.h"
#include "frmSelectAssegniEmessi.h"

#include <QLabel>

namespace {
const QString kJoin = QStringLiteral("a.CONTOCORRENTEID = b.CONTOCORRENTEID AND a.ANAGRAFICAID = c.ANAGRAFICAID ");
} // namespace

frmAssegniEmessi::frmAssegniEmessi()
    : ListWindow(QStringLiteral("frmAssegniEmessi"), QStringLiteral("Assegni Emessi"), false, &gWhereAssegniEmessi)
{
    setCaption(cmdSelect, QStringLiteral("Seleziona"));
    lblTotaleImporti = makeLabel(this, QStringLiteral("lblTotaleImporti"), QStringLiteral("Importo Totale"), true);
    lblTotaleImporti->setGeometry(MSFlexGrid1->x(), height() - 30, 700, 22);
    setFooter(lblTotaleImporti);
}

QString frmAssegniEmessi::columnsAndTables() const
{
    return QStringLiteral("SELECT")
        + QStringLiteral(" a.ASSEGNIEMESSIID, a.CONTOCORRENTEID, b.Descrizione as ContoCorrente, a.ANAGRAFICAID, ")
        + concatSql(QStringLiteral("c.cognome"), QStringLiteral("' '"), QStringLiteral("c.Nome"))
        + QStringLiteral(" as Beneficiario,  ")
        + QStringLiteral("a.Numero as NumeroAssegno, a.DataAssegno, a.LuogoEmissione, a.SuPiazza, a.Trasferibile,  ")
        + QStringLiteral("a.Sbarrato, a.Importo, a.Causale, a.AssegnoNote, a.DateTimeCreated as DataCreazione,  ")
        + QStringLiteral("a.DateTimeLastUpdated as DataUltimaModifica ")
        + QStringLiteral("FROM AssegniEmessi a, MieiContiCorrenti b, Anagrafica c ");
}

QString frmAssegniEmessi::fillQuery() const
{
    return columnsAndTables() + QStringLiteral("WHERE ") + kJoin;
}

QString frmAssegniEmessi::queryTail() const
{
    return QStringLiteral(" order by a.ASSEGNIEMESSIID ");
}

QString frmAssegniEmessi::oneRecordQuery(bool) const
{
    return columnsAndTables() + QStringLiteral("WHERE ASSEGNIEMESSIID = ") + keyText() + QStringLiteral(" AND ")
        + kJoin;
}

QString frmAssegniEmessi::headerRename(const QString &name) const
{
    if (name.startsWith(QLatin1String("AssegnoNote")))
        return QStringLiteral("Note");
    return QString();
}

void frmAssegniEmessi::beforeFillRows()
{
    m_total = 0;
}

QString frmAssegniEmessi::cellText(const Recordset &r, int i)
{
    const bool flag = isBooleanField(r, i);
    const bool amount = r.fieldName(i).startsWith(QLatin1String("Importo"));
    if (!flag && !amount)
        return ListWindow::cellText(r, i);
    // A missing flag or amount is an empty cell, and adds nothing.
    if (r.isNull(i))
        return QString();
    if (flag)
        return BooleanToString(r.value(i));
    const double value = r.value(i).toDouble();
    m_total += value;
    return Regional::currency(value);
}

void frmAssegniEmessi::afterFill()
{
    // The total always matches the rows the grid holds now: none after an
    // empty or failed query.
    if (MSFlexGrid1->Rows() <= 1)
        m_total = 0;
    if (isEnglish())
        lblTotaleImporti->setText(QStringLiteral("Total amount of displayed cheques: ") + Regional::currency(m_total));
    else
        lblTotaleImporti->setText(QStringLiteral("Importo complessivo degli assegni visualizzati: ")
                                  + Regional::number2(m_total) + QStringLiteral(" €"));
}

QVector<short> frmAssegniEmessi::printSkipList() const
{
    return {0, 1, 3, 14, 15};
}

QString frmAssegniEmessi::printSubtitle() const
{
    return isEnglish() ? QStringLiteral("Socivant - Outgoing cheques") : QStringLiteral("Merivolo - Assegni emessi");
}

QString frmAssegniEmessi::printTotalLine() const
{
    return lblTotaleImporti->text();
}

QString frmAssegniEmessi::deleteStatement() const
{
    return QStringLiteral("DELETE From AssegniEmessi WHERE ASSEGNIEMESSIID = ");
}

void frmAssegniEmessi::afterDelete()
{
    // Read again whole, so the total drops the deleted amount.
    ClearGrid();
    FillGrid();
}

RecordEditor *frmAssegniEmessi::editWindow() const
{
    return Instance<frmEditAssegniEmessi>::get();
}

void frmAssegniEmessi::showSearchWindow()
{
    Instance<frmSelectAssegniEmessi>::get()->showModal();
}

void frmAssegniEmessi::releaseInstance()
{
    Instance<frmAssegniEmessi>::release();
}
