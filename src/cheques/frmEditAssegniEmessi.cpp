#include "frmEditAssegniEmessi.h"
#include "Clock.h"
#include "Controls.h"
#include "Database.h"
#include "Globals.h"
#include "Messages.h"
#include "Procedure.h"
#include "Regional.h"
#include "SqlText.h"
#include "frmAssegniEmessi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLineEdit>

namespace {
const QString kForm = QStringLiteral("frmEditAssegniEmessi");
} // namespace

frmEditAssegniEmessi::frmEditAssegniEmessi() : EditWindow(kForm, QStringLiteral("Assegni Emessi"))
{
    cboDescrizione = rows.combo(QStringLiteral("cboDescrizione"), QStringLiteral("Conto Corrente"));
    cboNome = rows.combo(QStringLiteral("cboNome"), QStringLiteral("Beneficiario"));
    txtNumero = rows.text(QStringLiteral("txtNumero"), QStringLiteral("Numero Assegno"));
    txtDataAssegno = rows.date(QStringLiteral("txtDataAssegno"), QStringLiteral("Data Assegno"));
    txtLuogoEmissione = rows.text(QStringLiteral("txtLuogoEmissione"), QStringLiteral("Luogo di emissione"));
    chkSuPiazza = rows.check(QStringLiteral("chkSuPiazza"), QStringLiteral("Su piazza"));
    chkTrasferibile = rows.check(QStringLiteral("chkTrasferibile"), QStringLiteral("Trasferibile"));
    chkSbarrato = rows.check(QStringLiteral("chkSbarrato"), QStringLiteral("Sbarrato"));
    txtImporto = rows.text(QStringLiteral("txtImporto"), QStringLiteral("Importo (€)"));
    txtCausale = rows.text(QStringLiteral("txtCausale"), QStringLiteral("Causale"));
    txtAssegnoNote = rows.text(QStringLiteral("txtAssegnoNote"), QStringLiteral("Note"));
    bindCombo(cboDescrizione, &IdConto);
    bindCombo(cboNome, &IdAnagrafica);
    txtDataAssegno->edit()->installEventFilter(this);
}

ListWindow *frmEditAssegniEmessi::list() const
{
    return Instance<frmAssegniEmessi>::get();
}

void frmEditAssegniEmessi::Form_Load()
{
    IdConto = -1;
    IdAnagrafica = -1;
    m_accountKey = -1;
    m_activated = false;
    EditWindow::Form_Load();
}

QString frmEditAssegniEmessi::recordQuery() const
{
    return QStringLiteral("SELECT a.ASSEGNIEMESSIID, a.CONTOCORRENTEID, b.Descrizione, a.ANAGRAFICAID, c.Nome,  ")
        + QStringLiteral("a.Numero, a.DataAssegno, a.LuogoEmissione, a.SuPiazza, a.Trasferibile,  ")
        + QStringLiteral("a.Sbarrato, a.Importo, a.Causale, a.AssegnoNote, a.DateTimeCreated,  ")
        + QStringLiteral("a.DateTimeLastUpdated ")
        + QStringLiteral("FROM AssegniEmessi a, MieiContiCorrenti b, Anagrafica c ")
        + QStringLiteral("WHERE ASSEGNIEMESSIID = ") + listKeyText() + QStringLiteral(" AND ")
        + QStringLiteral("a.CONTOCORRENTEID = b.CONTOCORRENTEID AND a.ANAGRAFICAID = c.ANAGRAFICAID ");
}

void frmEditAssegniEmessi::loadRecord(const Recordset &r)
{
    m_accountKey = r.value(QStringLiteral("CONTOCORRENTEID")).toLongLong();
    m_loadedKey = r.value(QStringLiteral("ANAGRAFICAID")).toLongLong();
    copyText(r, QStringLiteral("Numero"), txtNumero);
    copyDate(r, QStringLiteral("DataAssegno"), txtDataAssegno);
    copyText(r, QStringLiteral("LuogoEmissione"), txtLuogoEmissione);
    const auto flag = [&r](const QString &field, QCheckBox *c) {
        const QVariant v = r.value(field);
        const QString t = v.toString().trimmed();
        const bool on = !v.isNull()
            && (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || v.toDouble() != 0);
        setCheckValue(c, on ? 1 : 0);
    };
    flag(QStringLiteral("SuPiazza"), chkSuPiazza);
    flag(QStringLiteral("Trasferibile"), chkTrasferibile);
    flag(QStringLiteral("Sbarrato"), chkSbarrato);
    copyAmount(r, QStringLiteral("Importo"), txtImporto);
    copyText(r, QStringLiteral("Causale"), txtCausale);
    copyText(r, QStringLiteral("AssegnoNote"), txtAssegnoNote);
}

void frmEditAssegniEmessi::fillCombos()
{
    fillCombo(cboDescrizione,
              QStringLiteral("SELECT CONTOCORRENTEID, Descrizione FROM MieiContiCorrenti order by descrizione "),
              &IdConto, m_accountKey);
    // Surname first in the item text, as the list orders them.
    fillCombo(cboNome, QStringLiteral("SELECT ANAGRAFICAID, Nome, cognome FROM Anagrafica order by cognome, nome"),
              &IdAnagrafica, m_loadedKey, &surnameThenName);
}

void frmEditAssegniEmessi::Form_Activate()
{
    // Today's date is proposed once per opening: an activation after a
    // message box must not overwrite what the user typed.
    if (m_activated)
        return;
    m_activated = true;
    if (gIsNewRecord)
        txtDataAssegno->setDate(clockNow().date());
}

bool frmEditAssegniEmessi::txtDataAssegno_Validate()
{
    bool ok = true;
    runProc(Proc{kForm, QStringLiteral("txtDataAssegno_Validate")}, [&] {
        const QString t = txtDataAssegno->text().trimmed();
        if (Regional::isDate(t))
            return;
        ok = false;
        MyMsgBox(QStringLiteral("Formato della data dell'assegno non valido"), MsgStyle::Exclamation,
                 QStringLiteral("Merivolo"));
        txtDataAssegno->edit()->setFocus();
    });
    return ok;
}

bool frmEditAssegniEmessi::eventFilter(QObject *watched, QEvent *event)
{
    // The cheque date is checked when the user leaves it for another field.
    if (watched == txtDataAssegno->edit() && event->type() == QEvent::FocusOut && !m_validating) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason) {
            m_validating = true;
            txtDataAssegno_Validate();
            m_validating = false;
        }
    }
    return EditWindow::eventFilter(watched, event);
}

bool frmEditAssegniEmessi::validate()
{
    if (cboDescrizione->currentIndex() == -1 || IdConto == -1)
        return fail(QStringLiteral("Selezionare il conto corrente"));
    if (cboNome->currentIndex() == -1 || IdAnagrafica == -1)
        return fail(QStringLiteral("Selezionare il beneficiario"));
    const QString number = txtNumero->text().trimmed();
    if (number.isEmpty())
        return fail(QStringLiteral("Inserire il numero dell'assegno"));
    if (!Regional::isNumeric(number))
        return fail(QStringLiteral("Formato del numero dell'assegno non valido"));
    const QString date = txtDataAssegno->text().trimmed();
    if (date.isEmpty())
        return fail(QStringLiteral("Inserire la data dell'assegno"));
    if (!Regional::isDate(date))
        return fail(QStringLiteral("Formato della data dell'assegno non valido"));
    const QString amount = txtImporto->text().trimmed();
    if (amount.isEmpty())
        return fail(QStringLiteral("Inserire l'importo dell'assegno"));
    if (!isStorableAmount(amount))
        return fail(QStringLiteral("Formato dell'importo dell'assegno non valido"));
    return true;
}

QString frmEditAssegniEmessi::dateText() const
{
    return QStringLiteral("'") + FormattaData(txtDataAssegno->text().trimmed()) + QStringLiteral("'");
}

QString frmEditAssegniEmessi::flagText(const QCheckBox *c)
{
    return QString::number(checkValue(c));
}

QString frmEditAssegniEmessi::insertSql() const
{
    return insertStatement(QStringLiteral("INSERT INTO AssegniEmessi (CONTOCORRENTEID, ANAGRAFICAID, Numero, ")
                               + QStringLiteral("DataAssegno, LuogoEmissione, SuPiazza, Trasferibile, Sbarrato, ")
                               + QStringLiteral("Importo, Causale, AssegnoNote, DateTimeCreated) "),
                           {QString::number(IdConto), QString::number(IdAnagrafica), textValue(txtNumero), dateText(),
                            textValue(txtLuogoEmissione), flagText(chkSuPiazza), flagText(chkTrasferibile),
                            flagText(chkSbarrato), amountValue(txtImporto), textValue(txtCausale),
                            textValue(txtAssegnoNote)});
}

QString frmEditAssegniEmessi::updateSql() const
{
    return updateStatement(QStringLiteral("AssegniEmessi"),
                           {{QStringLiteral("CONTOCORRENTEID = "), QString::number(IdConto)},
                            {QStringLiteral("ANAGRAFICAID = "), QString::number(IdAnagrafica)},
                            {QStringLiteral("Numero = "), textValue(txtNumero)},
                            {QStringLiteral("DataAssegno = "), dateText()},
                            {QStringLiteral("LuogoEmissione = "), textValue(txtLuogoEmissione)},
                            {QStringLiteral("SuPiazza = "), flagText(chkSuPiazza)},
                            {QStringLiteral("Trasferibile = "), flagText(chkTrasferibile)},
                            {QStringLiteral("Sbarrato = "), flagText(chkSbarrato)},
                            {QStringLiteral("Importo = "), amountValue(txtImporto)},
                            {QStringLiteral("Causale = "), textValue(txtCausale)},
                            {QStringLiteral("AssegnoNote = "), textValue(txtAssegnoNote)}},
                           QStringLiteral("ASSEGNIEMESSIID"));
}

void frmEditAssegniEmessi::afterSave()
{
    // The list is read again whole, so its order, filter and total hold.
    ListWindow *owner = list();
    owner->ClearGrid();
    owner->FillGrid();
}

void frmEditAssegniEmessi::releaseInstance()
{
    Instance<frmEditAssegniEmessi>::release();
}

TableRow frmEditAssegniEmessi::changedRow() const
{
    return {QStringLiteral("AssegniEmessi"), QStringLiteral("ASSEGNIEMESSIID")};
}

QVector<TableRow> frmEditAssegniEmessi::referredRows() const
{
    return {{QStringLiteral("MieiContiCorrenti"), QStringLiteral("CONTOCORRENTEID"), IdConto},
            {QStringLiteral("Anagrafica"), QStringLiteral("ANAGRAFICAID"), IdAnagrafica}};
}
