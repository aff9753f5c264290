#include "frmReportistica.h"
#include "Controls.h"
#include "Database.h"
#include "FlexGrid.h"
#include "GridHelpers.h"
#include "Regional.h"
#include "ReportCatalogue.h"
#include "SqlText.h"
#include "Translation.h"

#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kMarginPx = 8;
} // namespace

frmReportistica::frmReportistica()
    : ListWindow(QStringLiteral("frmReportistica"), QStringLiteral("Report"), true, nullptr)
{
    // A report is read-only: the family's add, delete and search commands
    // are not offered, and the grid neither edits on a double click nor
    // deletes on the Delete key.
    for (QPushButton *b : {cmdAdd, cmdDelete, cmdSelect}) {
        b->setVisible(false);
        b->setEnabled(false);
    }
    disconnect(MSFlexGrid1, &FlexGrid::gridDblClick, this, nullptr);
    disconnect(MSFlexGrid1, &FlexGrid::gridKeyDown, this, nullptr);
    int x = kMarginPx;
    for (QPushButton *b : {cmdPrintGrid, cmdEsportaDati, cmdClose}) {
        b->move(x, b->y());
        x += 110;
    }
    lblTotaleImporti = makeLabel(this, QStringLiteral("lblTotaleImporti"), QStringLiteral("Importo Totale"), true);
    lblTotaleImporti->setGeometry(MSFlexGrid1->x(), height() - 30, 700, 22);
    setFooter(lblTotaleImporti);
}

void frmReportistica::beforeLoad()
{
    m_title = gReports(gCurrentReport, 1, 0).toString();
    m_query = gReports(gCurrentReport, 0, 0).toString();
    // From the design caption each time, so a window kept after its close
    // box does not pile up titles.
    OsenXPForm1->setCaption(QStringLiteral("Report - ") + m_title);
}

void frmReportistica::FillGrid(const QVariant &storedQuery)
{
    m_query = storedQuery.toString();
    ListWindow::FillGrid();
}

QString frmReportistica::fillQuery() const
{
    return QStringLiteral("SELECT") + m_query;
}

QString frmReportistica::headerRename(const QString &name) const
{
    if (name.startsWith(QLatin1String("AssegnoNote")))
        return QStringLiteral("Note");
    // Key columns keep a header of their own name (they are exported).
    return PutSpacesInLabels(name);
}

void frmReportistica::beforeFillRows()
{
    m_total = 0;
    lblTotaleImporti->setVisible(false);
    m_columns = QVector<Column>(MSFlexGrid1->Cols());
}

QString frmReportistica::cellText(const Recordset &r, int i)
{
    Column &c = m_columns[i];
    if (c.kind == Unknown) {
        const QString name = r.fieldName(i);
        // An average of amounts reads as an amount but is no sum of money:
        // it stays out of the total.
        c.kind = name.startsWith(QLatin1String("Average")) || name.startsWith(QLatin1String("Media")) ? Average
            : name.contains(QLatin1String("Import"), Qt::CaseSensitive)                               ? Amount
            : isBooleanFieldName(name)                                                                ? Flag
                                                                                                      : Plain;
        c.key = name.endsWith(QLatin1String("ID"));
    }
    switch (c.kind) {
    case Amount: {
        lblTotaleImporti->setVisible(true);
        if (r.isNull(i))
            return QString(); // adds nothing
        bool ok = false;
        const double v = r.value(i).toDouble(&ok);
        if (!ok)
            return r.text(i);
        m_total += v;
        return Regional::currency(v);
    }
    case Average: {
        bool ok = false;
        const double v = r.value(i).toDouble(&ok);
        return r.isNull(i) || !ok ? r.text(i) : Regional::currency(v);
    }
    case Flag:
        return r.isNull(i) ? QString() : BooleanToString(r.value(i));
    default:
        return r.text(i);
    }
}

void frmReportistica::afterWidths()
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).key)
            MSFlexGrid1->setColWidth(i, 0);
    }
}

void frmReportistica::afterFill()
{
    // No rows, no total: the label shows only next to the amounts it sums.
    if (MSFlexGrid1->Rows() <= 1) {
        m_total = 0;
        lblTotaleImporti->setVisible(false);
    }
    if (isEnglish())
        lblTotaleImporti->setText(QStringLiteral("Total amount of displayed payments: ") + Regional::currency(m_total));
    else
        lblTotaleImporti->setText(QStringLiteral("Importo complessivo degli importi visualizzati: ")
                                  + Regional::number2(m_total) + QStringLiteral(" €"));
}

bool frmReportistica::totalShown() const
{
    return !lblTotaleImporti->isHidden();
}

QString frmReportistica::printSubtitle() const
{
    return (isEnglish() ? QStringLiteral("Socivant - ") : QStringLiteral("Merivolo - ")) + m_title;
}

QString frmReportistica::printTotalLine() const
{
    return totalShown() ? lblTotaleImporti->text() : QString();
}

void frmReportistica::releaseInstance()
{
    Instance<frmReportistica>::release();
}
