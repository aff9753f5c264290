#include "frmSelectPagamenti.h"
#include "Globals.h"
#include "Regional.h"
#include "SqlText.h"
#include "frmEditPagamenti.h"
#include "frmPagamenti.h"

#include <QComboBox>
#include <QLineEdit>

frmSelectPagamenti::frmSelectPagamenti()
    : SearchWindow(QStringLiteral("frmSelectPagamenti"), QStringLiteral("Cerca Pagamenti"),
                   {gSelectStatePagamenti, gSelectStateReadyPagamenti, &gSelectUseOrPagamenti})
{
    cboSocio = rows.combo(QStringLiteral("cboSocio"), QStringLiteral("Socio"));
    rows.range(QStringLiteral("txtDataDa"), QStringLiteral("txtDataA"), QStringLiteral("Data Pagamento"), &txtDataDa,
               &txtDataA);
    rows.range(QStringLiteral("txtImportoDa"), QStringLiteral("txtImportoA"), QStringLiteral("Importo (€)"),
               &txtImportoDa, &txtImportoA);
    txtImportoDa->setPlaceholderText(QString());
    txtImportoA->setPlaceholderText(QString());
    txtCausale = rows.text(QStringLiteral("txtCausale"), QStringLiteral("Causale"));
    txtNotePagamento = rows.text(QStringLiteral("txtNotePagamento"), QStringLiteral("Note"));

    addClause(cboSocio, Clause::ComboKey, QStringLiteral("a.ANAGRAFICAID = "));
    addClause(txtDataDa, Clause::DateFrom, QStringLiteral("a.Datapagamento"));
    addClause(txtDataA, Clause::DateTo, QStringLiteral("a.Datapagamento"));
    addClause(txtImportoDa, Clause::AmountBound, QStringLiteral("a.Importo >= "));
    addClause(txtImportoA, Clause::AmountBound, QStringLiteral("a.Importo <= "));
    addClause(txtCausale, Clause::Text, QStringLiteral("a.Causale"));
    addClause(txtNotePagamento, Clause::Text, QStringLiteral("a.notepagamento"));
}

ListWindow *frmSelectPagamenti::list() const
{
    return Instance<frmPagamenti>::get();
}

void frmSelectPagamenti::fillCombos()
{
    fillCombo(cboSocio, QStringLiteral("SELECT ANAGRAFICAID, cognome,Nome FROM Anagrafica order by cognome, nome "));
}

bool frmSelectPagamenti::validate()
{
    auto filled = [](const QLineEdit *t) { return !t->text().trimmed().isEmpty(); };
    if (filled(txtDataDa) && !Regional::isDate(txtDataDa->text().trimmed()))
        return fail(QStringLiteral("Formato della data di partenza non valido"));
    if (filled(txtDataA) && !Regional::isDate(txtDataA->text().trimmed()))
        return fail(QStringLiteral("Formato della data di arrivo non valido"));
    if (filled(txtImportoDa) && !frmEditPagamenti::isAmount(txtImportoDa->text()))
        return fail(QStringLiteral("Formato dell'importo minimo non valido"));
    if (filled(txtImportoA) && !frmEditPagamenti::isAmount(txtImportoA->text()))
        return fail(QStringLiteral("Formato dell'importo massimo non valido"));
    return true;
}

void frmSelectPagamenti::releaseInstance()
{
    Instance<frmSelectPagamenti>::release();
}
