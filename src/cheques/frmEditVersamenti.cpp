#include "frmEditVersamenti.h"
#include "Clock.h"
#include "Controls.h"
#include "Database.h"
#include "Globals.h"
#include "Regional.h"
#include "SqlText.h"
#include "frmPagamenti.h"

#include <QComboBox>
#include <QLineEdit>
#include <cmath>

frmEditVersamenti::frmEditVersamenti()
    : InsertOnlyWindow(QStringLiteral("frmEditVersamenti"), QStringLiteral("Versa Assegno Ricevuto"))
{
    cboDescrizione = rows.combo(QStringLiteral("cboDescrizione"), QStringLiteral("Conto Corrente"));
    txtDataVersamento = rows.date(QStringLiteral("txtDataVersamento"), QStringLiteral("Data Versamento"));
    txtNote = rows.text(QStringLiteral("txtNote"), QStringLiteral("Note"));
}

ListWindow *frmEditVersamenti::list() const
{
    return Instance<frmPagamenti>::get();
}

void frmEditVersamenti::Form_Load()
{
    // The close box only unloads the window: a new opening starts afresh.
    txtNote->clear();
    txtDataVersamento->setDate(clockNow().date());
    gIsNewRecord = true;
    EditWindow::Form_Load();
}

void frmEditVersamenti::fillCombos()
{
    fillComboRows(cboDescrizione,
                  QStringLiteral("SELECT CONTOCORRENTEID, Descrizione FROM MieiContiCorrenti order by descrizione "),
                  nullptr);
    cboDescrizione->setCurrentIndex(-1);
}

bool frmEditVersamenti::validate()
{
    if (cboDescrizione->currentIndex() == -1)
        return fail(QStringLiteral("Selezionare il Conto Corrente"));
    const QString date = txtDataVersamento->text().trimmed();
    if (!date.isEmpty() && !Regional::isDate(date))
        return fail(QStringLiteral("Formato della data di versamento non valido"));
    return true;
}

QString frmEditVersamenti::insertSql() const
{
    return insertStatement(QStringLiteral("INSERT INTO Versamenti (PagamentiID, CONTOCORRENTEID, DataVersamento, ")
                               + QStringLiteral("noteversamento,DateTimeCreated) "),
                           {listKeyText(),
                            QString::number(comboItemKey(cboDescrizione, cboDescrizione->currentIndex())),
                            dateValue(txtDataVersamento), textValue(txtNote)});
}

void frmEditVersamenti::releaseInstance()
{
    Instance<frmEditVersamenti>::release();
}

QVector<TableRow> frmEditVersamenti::referredRows() const
{
    return {{QStringLiteral("Pagamenti"), QStringLiteral("PagamentiID"), std::llround(list()->SelectedID)},
            {QStringLiteral("MieiContiCorrenti"), QStringLiteral("CONTOCORRENTEID"),
             comboItemKey(cboDescrizione, cboDescrizione->currentIndex())}};
}
