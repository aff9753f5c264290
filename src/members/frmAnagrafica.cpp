#include "frmAnagrafica.h"
#include "Controls.h"
#include "Database.h"
#include "FlexGrid.h"
#include "Globals.h"
#include "Messages.h"
#include "Procedure.h"
#include "Settings.h"
#include "Translation.h"
#include "frmEditAnagrafica.h"
#include "frmSelectAnagrafica.h"

#include <QPushButton>

namespace {
const QString kPiece2 =
    QStringLiteral("a.Indirizzo, a.CAP, a.Comune, a.Provincia, a.TelefonoCasa, a.TelefonoUfficio,  ");
const QString kPiece3 = QStringLiteral(
    "a.Fax, a.Cellulare, a.CFIva, a.Email, a.SitoWeb, a.NoteAnagrafica, a.NumeroTessera, a.DataNascita, "
    "a.DataIscrizione, a.DataScadenzaIscrizione, a.DateTimeCreated as DataCreazione,  ");
const QString kPiece3Add = QStringLiteral(
    "a.Fax, a.Cellulare, a.CFIva, a.Email, a.SitoWeb, a.NoteAnagrafica,a.NumeroTessera, a.DataNascita, "
    "a.DataIscrizione, a.DataScadenzaIscrizione,  a.DateTimeCreated as DataCreazione,  ");
const QString kPiece4 = QStringLiteral("a.DateTimeLastUpdated as DataUltimaModifica ");
const QString kFrom = QStringLiteral("FROM Anagrafica a, TipologiaPersone b ");
} // namespace

frmAnagrafica::frmAnagrafica()
    : ListWindow(QStringLiteral("frmAnagrafica"), QStringLiteral("Albo dei Soci"), true, &gWhereAnagrafica)
{
    cmdApriPagamenti = makeButton(this, QStringLiteral("cmdApriPagamenti"), QStringLiteral("&Visualizza pagamenti"));
    // Between Search and Print, the widest caption of the row.
    const int x = cmdEsportaDati->x() + cmdEsportaDati->width() + 6;
    cmdApriPagamenti->setGeometry(x, cmdEsportaDati->y(), 150, cmdEsportaDati->height());
    cmdClose->move(x + 156, cmdClose->y());
    resize(std::max(width(), cmdClose->x() + cmdClose->width() + 8), height());
    connect(cmdApriPagamenti, &QPushButton::clicked, this, &frmAnagrafica::cmdApriPagamenti_Click);
}

frmAnagrafica::PaymentsOpener &frmAnagrafica::openPayments()
{
    // Registered at each start of the program.
    static PaymentsOpener f;
    static const bool registered = (onResetRunState([] { f = nullptr; }), true);
    (void)registered;
    return f;
}

QString frmAnagrafica::fillQuery() const
{
    return QStringLiteral(
               "SELECT  a.ANAGRAFICAID, a.TIPOLOGIAID, b.Tipologia, a.cogNome as CognomeRagioneSociale, a.Nome ,  ")
        + kPiece2 + kPiece3 + kPiece4 + kFrom + QStringLiteral("WHERE a.TIPOLOGIAID = b.TIPOLOGIAID ");
}

QString frmAnagrafica::oneRecordQuery(bool forAdd) const
{
    return QStringLiteral(
               "SELECT  a.ANAGRAFICAID, a.TIPOLOGIAID, b.Tipologia, a.cogNome as CognomeRagioneSociale, a.Nome,  ")
        + kPiece2 + (forAdd ? kPiece3Add : kPiece3) + kPiece4 + kFrom + QStringLiteral("WHERE ANAGRAFICAID = ")
        + keyText() + QStringLiteral(" AND ") + QStringLiteral("a.TIPOLOGIAID = b.TIPOLOGIAID ");
}

QString frmAnagrafica::headerRename(const QString &name) const
{
    if (name.startsWith(QLatin1String("Cognome")))
        return QStringLiteral("Cognome / Ragione Sociale");
    if (name.startsWith(QLatin1String("CFIva")))
        return QStringLiteral("Codice Fiscale / Partita IVA");
    if (name.startsWith(QLatin1String("NoteAnagrafica")))
        return QStringLiteral("Note");
    if (name.startsWith(QLatin1String("Email")))
        return QStringLiteral("E-mail");
    return QString();
}

void frmAnagrafica::afterWidths()
{
    MSFlexGrid1->setColWidth(0, 0);
    MSFlexGrid1->setColWidth(1, 0);
}

QVector<short> frmAnagrafica::printSkipList() const
{
    return {0, 1, 17, 18};
}

QString frmAnagrafica::printSubtitle() const
{
    const QString heading = getSetting(QStringLiteral("INTESTAZ"));
    if (isEnglish())
        return QStringLiteral("Socivant - Members Book");
    return heading + QStringLiteral(" - Albo dei Soci");
}

Exists frmAnagrafica::dependentRows() const
{
    return esisteRecord(QStringLiteral("Pagamenti"), QStringLiteral("anagraficaID"), keyText(), QStringLiteral("N"),
                        QString(), QString());
}

QString frmAnagrafica::refusalText() const
{
    return QStringLiteral("Impossibile eliminare il record. Esistono pagamenti collegati.");
}

QString frmAnagrafica::deleteStatement() const
{
    return QStringLiteral("DELETE From Anagrafica WHERE ANAGRAFICAID = ");
}

RecordEditor *frmAnagrafica::editWindow() const
{
    return Instance<frmEditAnagrafica>::get();
}

void frmAnagrafica::showSearchWindow()
{
    Instance<frmSelectAnagrafica>::get()->showModal();
}

void frmAnagrafica::releaseInstance()
{
    Instance<frmAnagrafica>::release();
}

void frmAnagrafica::cmdApriPagamenti_Click()
{
    runProc(Proc{objectName(), QStringLiteral("cmdApriPagamenti_Click"), Proc::Form, Proc::Plain}, [&] {
        FlexGrid &g = *MSFlexGrid1;
        if (g.Row() == 0 || g.Rows() == 1) {
            MyMsgBox(QStringLiteral("Selezionare il socio di cui si vogliono visualizzare i pagamenti."),
                     MsgStyle::Exclamation, QStringLiteral("Merivolo"));
            return;
        }
        SelectedID = g.TextMatrix(g.Row(), 0).toDouble();
        OpenDb();
        const Exists has = esisteRecord(QStringLiteral("pagamenti"), QStringLiteral("anagraficaID"), keyText(),
                                        QStringLiteral("N"), QString(), QString());
        if (has == Exists::CouldNotTell)
            return; // reported already; the scope stays as it was
        if (has == Exists::No) {
            MyMsgBox(QStringLiteral("Non risultano pagamenti per questo socio."), MsgStyle::Exclamation,
                     QStringLiteral("Merivolo"));
            return;
        }
        if (openPayments())
            openPayments()(g.TextMatrix(g.Row(), 3), SelectedID, QStringLiteral(" a.anagraficaid=") + keyText());
    });
}
