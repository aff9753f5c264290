#include "frmPagamenti.h"
#include "Controls.h"
#include "Database.h"
#include "FlexGrid.h"
#include "Globals.h"
#include "Regional.h"
#include "Settings.h"
#include "SqlText.h"
#include "Translation.h"
#include "frmEditPagamenti.h"
#include "frmSelectPagamenti.h"

#include <QLabel>

frmPagamenti::frmPagamenti()
    : ListWindow(QStringLiteral("frmPagamenti"), QStringLiteral("Pagamenti"), true, &gWherePagamenti)
{
    lblTotaleImporti = makeLabel(this, QStringLiteral("lblTotaleImporti"), QStringLiteral("Importo Totale"), true);
    lblTotaleImporti->setGeometry(MSFlexGrid1->x(), height() - 30, 700, 22);
    setFooter(lblTotaleImporti);
}

void frmPagamenti::beforeLoad()
{
    // Set before the window is prepared, so the caption table translates the
    // whole title, the member's name included.
    OsenXPForm1->setCaption(gCurrentName->isEmpty() ? QStringLiteral("Pagamenti")
                                                    : QStringLiteral("Pagamenti di ") + *gCurrentName);
    // A list opened for one member cannot be searched: its filter is the member.
    cmdSelect->setEnabled(gCurrentName->isEmpty());
}

QString frmPagamenti::baseQuery() const
{
    return QStringLiteral("SELECT ") + QStringLiteral(" a.pagamentiID, ")
        + concatSql(QStringLiteral("b.cognome"), QStringLiteral("' '"), QStringLiteral("b.nome"))
        + QStringLiteral(" as Socio, a.ANAGRAFICAID,  ") + QStringLiteral("a.DataPagamento, a.Causale, a.Importo,  ")
        + QStringLiteral(
               "a.NotePagamento, a.DateTimeCreated as DataCreazione, a.DateTimeLastUpdated as DataUltimaModifica ")
        + QStringLiteral("FROM pagamenti a, Anagrafica b ") + QStringLiteral("WHERE a.ANAGRAFICAID = b.ANAGRAFICAID  ");
}

QString frmPagamenti::fillQuery() const
{
    return baseQuery();
}

QString frmPagamenti::queryTail() const
{
    return QStringLiteral(" order by a.PagamentiID ");
}

QString frmPagamenti::oneRecordQuery(bool) const
{
    return baseQuery() + QStringLiteral("AND a.PagamentiID = ") + keyText() + QStringLiteral(" ");
}

void frmPagamenti::beforeFillRows()
{
    m_total = 0;
}

QString frmPagamenti::cellText(const Recordset &r, int i)
{
    if (!r.fieldName(i).startsWith(QLatin1String("Importo")))
        return ListWindow::cellText(r, i);
    if (r.isNull(i))
        return QString();
    const double amount = r.value(i).toDouble();
    m_total += amount;
    return Regional::currency(amount);
}

void frmPagamenti::afterFill()
{
    // The total always matches the rows the grid holds now: none after an
    // empty or failed query.
    if (MSFlexGrid1->Rows() <= 1)
        m_total = 0;
    if (isEnglish())
        lblTotaleImporti->setText(QStringLiteral("Total amount of displayed payments: ") + Regional::currency(m_total));
    else
        lblTotaleImporti->setText(QStringLiteral("Importo complessivo dei pagamenti visualizzati: ")
                                  + Regional::number2(m_total) + QStringLiteral(" €"));
}

QVector<short> frmPagamenti::printSkipList() const
{
    return {0, 2};
}

QString frmPagamenti::printSubtitle() const
{
    const QString heading = getSetting(QStringLiteral("INTESTAZ"));
    QString suffix;
    if (!gCurrentName->isEmpty())
        suffix = (isEnglish() ? QStringLiteral(" by ") : QStringLiteral(" di ")) + *gCurrentName;
    return heading + (isEnglish() ? QStringLiteral(" - Payments") : QStringLiteral(" - Pagamenti")) + suffix;
}

QString frmPagamenti::printTotalLine() const
{
    return lblTotaleImporti->text();
}

QString frmPagamenti::deleteStatement() const
{
    return QStringLiteral("DELETE From Pagamenti WHERE PagamentiID = ");
}

bool frmPagamenti::executeDelete()
{
    // A payment goes with its endorsement and deposit rows, or not at all:
    // the list runs a delete in one transaction.
    const QString id = keyText();
    return gDbExecute(QStringLiteral("DELETE From girate WHERE PagamentiID = ") + id)
        && gDbExecute(QStringLiteral("DELETE From versamenti WHERE PagamentiID = ") + id)
        && gDbExecute(deleteStatement() + id);
}

void frmPagamenti::afterDelete()
{
    ClearGrid();
    FillGrid();
}

RecordEditor *frmPagamenti::editWindow() const
{
    return Instance<frmEditPagamenti>::get();
}

void frmPagamenti::showSearchWindow()
{
    Instance<frmSelectPagamenti>::get()->showModal();
}

void frmPagamenti::openFor(const QString &name, double key, const QString &filter)
{
    gCurrentName = name;
    gCurrentAnagraficaID = key;
    if (!name.isEmpty())
        gWherePagamenti = filter;
    Instance<frmPagamenti>::get()->showModal();
}

void frmPagamenti::releaseInstance()
{
    Instance<frmPagamenti>::release();
}
