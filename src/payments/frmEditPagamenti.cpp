#include "frmEditPagamenti.h"
#include "Clock.h"
#include "Controls.h"
#include "Database.h"
#include "Globals.h"
#include "Messages.h"
#include "Procedure.h"
#include "Regional.h"
#include "SqlText.h"
#include "Translation.h"
#include "frmPagamenti.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

namespace {
const QString kForm = QStringLiteral("frmEditPagamenti");
const QString kTitle = QStringLiteral("Merivolo");
} // namespace

frmEditPagamenti::frmEditPagamenti() : EditWindow(kForm, QStringLiteral("Pagamenti"))
{
    cboSocio = rows.combo(QStringLiteral("cboSocio"), QStringLiteral("Socio"));
    txtDataPagamento = rows.date(QStringLiteral("txtDataPagamento"), QStringLiteral("Data Pagamento"));
    txtImporto = rows.text(QStringLiteral("txtImporto"), QStringLiteral("Importo (€)"));
    txtCausale = rows.text(QStringLiteral("txtCausale"), QStringLiteral("Causale"));
    txtNote = rows.text(QStringLiteral("txtNote"), QStringLiteral("Note"));
    chkModificaDataScadenzaIscrizione =
        rows.check(QStringLiteral("chkModificaDataScadenzaIscrizione"),
                   QStringLiteral("Modifica contestualmente la data di scadenza dell'iscrizione del socio"));
    txtNuovaDataScadenza = rows.date(QStringLiteral("txtNuovaDataScadenza"), QStringLiteral("Nuova data di scadenza"));
    lblNuovaDataScadenza = findChild<QLabel *>(QStringLiteral("lblNuovaDataScadenza"));
    txtStatoSocio = makeLabel(this, QStringLiteral("txtStatoSocio"), QString(), true);
    txtStatoSocio->setWordWrap(true);
    // Room for a wrapped line, so the dates are never cut off.
    txtStatoSocio->setMinimumHeight(2 * txtStatoSocio->fontMetrics().lineSpacing() + 4);
    rows.grid()->addWidget(txtStatoSocio, rows.nextRow(), 0, 1, 5);
    setCaption(cmdPrint, QStringLiteral("S&tampa ricevuta"));

    bindCombo(cboSocio, &IdAnagrafica);
    connect(cboSocio, &QComboBox::currentIndexChanged, this, [this] {
        if (!IsLoading)
            aggiornaStatoSocio();
    });
    connect(chkModificaDataScadenzaIscrizione, &QCheckBox::stateChanged, this,
            &frmEditPagamenti::chkModificaDataScadenzaIscrizione_Click);
    txtDataPagamento->edit()->installEventFilter(this);
}

ListWindow *frmEditPagamenti::list() const
{
    return Instance<frmPagamenti>::get();
}

bool frmEditPagamenti::isAmount(const QString &text)
{
    return ::isAmount(text);
}

void frmEditPagamenti::Form_Load()
{
    IsLoading = true;
    IdAnagrafica = -1;
    m_haveKey = false;
    m_activated = false;
    chkModificaDataScadenzaIscrizione->setChecked(false);
    chkModificaDataScadenzaIscrizione_Click();
    EditWindow::Form_Load();
}

QString frmEditPagamenti::recordQuery() const
{
    return QStringLiteral("SELECT a.pagamentiid, a.anagraficaid, a.datapagamento, b.Nome, b.cognome,   ")
        + QStringLiteral("a.NotePagamento, a.importo, a.causale, a.DateTimeCreated, a.DateTimeLastUpdated ")
        + QStringLiteral("FROM Pagamenti a, Anagrafica b ") + QStringLiteral("WHERE PagamentiID = ") + listKeyText()
        + QStringLiteral(" AND ") + QStringLiteral("a.ANAGRAFICAID = b.ANAGRAFICAID ");
}

void frmEditPagamenti::loadRecord(const Recordset &r)
{
    const int key = r.fieldIndex(QStringLiteral("anagraficaid"));
    m_haveKey = key >= 0 && !r.text(key).isEmpty();
    if (m_haveKey)
        m_loadedKey = r.value(key).toLongLong();
    copyDate(r, QStringLiteral("datapagamento"), txtDataPagamento);
    copyAmount(r, QStringLiteral("importo"), txtImporto);
    copyText(r, QStringLiteral("causale"), txtCausale);
    copyText(r, QStringLiteral("NotePagamento"), txtNote);
}

void frmEditPagamenti::fillCombos()
{
    // A new payment of a one-member list belongs to that member.
    if (!frmPagamenti::gCurrentName->isEmpty() && !m_haveKey) {
        m_loadedKey = std::llround(*frmPagamenti::gCurrentAnagraficaID);
        m_haveKey = true;
    }
    fillCombo(cboSocio, QStringLiteral("SELECT anagraficaid, cognome, nome  FROM anagrafica order by cognome, nome "),
              &IdAnagrafica, m_loadedKey);
    if (gIsNewRecord && !frmPagamenti::gCurrentName->isEmpty()) {
        for (int i = 0; i < cboSocio->count(); ++i) {
            if (comboItemKey(cboSocio, i) == m_loadedKey) {
                cboSocio->setCurrentIndex(i);
                IdAnagrafica = m_loadedKey;
                break;
            }
        }
    }
    cboSocio->setEnabled(frmPagamenti::gCurrentName->isEmpty());
    aggiornaStatoSocio();
}

void frmEditPagamenti::Form_Activate()
{
    // Today's date is proposed once per opening: an activation after a
    // message box must not overwrite what the user typed.
    if (!m_activated) {
        m_activated = true;
        if (gIsNewRecord)
            txtDataPagamento->setDate(clockNow().date());
    }
    IsLoading = false;
}

void frmEditPagamenti::chkModificaDataScadenzaIscrizione_Click()
{
    const bool on = checkValue(chkModificaDataScadenzaIscrizione) != 0;
    if (lblNuovaDataScadenza)
        lblNuovaDataScadenza->setVisible(on);
    txtNuovaDataScadenza->setVisible(on);
}

void frmEditPagamenti::aggiornaStatoSocio()
{
    runProc(Proc{kForm, QStringLiteral("aggiornaStatoSocio"), Proc::Form, Proc::Plain}, [&] {
        QString t;
        OpenDb();
        gRs.reset();
        if (gRsOpen(QStringLiteral("select * from  anagrafica a, tipologiapersone b ")
                    + QStringLiteral(" where a.tipologiaid = b.tipologiaid and a.anagraficaid=")
                    + QString::number(IdAnagrafica))) {
            const std::shared_ptr<Recordset> held = rs();
            Recordset &r = *held;
            if (!r.eof()) {
                const bool en = isEnglish();
                const auto field = [&r](const char *name) {
                    const int i = r.fieldIndex(QLatin1String(name));
                    return i < 0 ? QString() : r.text(i);
                };
                t = (en ? QStringLiteral("Member type: ") : QStringLiteral("Tipologia socio: ")) + field("Tipologia")
                    + QStringLiteral(". ");
                if (const QString since = field("DataIscrizione"); !since.isEmpty())
                    t += (en ? QStringLiteral("Member since ") : QStringLiteral("Socio dal ")) + since
                        + QStringLiteral(". ");
                if (const QString expiry = field("DataScadenzaIscrizione"); !expiry.isEmpty())
                    t += (en ? QStringLiteral("Expires on: ") : QStringLiteral("Scadenza iscrizione: ")) + expiry
                        + QStringLiteral(". ");
            }
        }
        CloseDb();
        gRs.reset();
        txtStatoSocio->setText(t);
    });
}

bool frmEditPagamenti::eventFilter(QObject *watched, QEvent *event)
{
    // The payment date is checked when the user leaves it for another field.
    if (watched == txtDataPagamento->edit() && event->type() == QEvent::FocusOut && !m_validating) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        const QString t = txtDataPagamento->text().trimmed();
        if ((reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason)
            && !t.isEmpty() && !Regional::isDate(t)) {
            m_validating = true;
            runProc(Proc{kForm, QStringLiteral("txtDataPagamento_Validate")}, [&] {
                MyMsgBox(QStringLiteral("Formato della data del pagamento non valido"), MsgStyle::Exclamation, kTitle);
                txtDataPagamento->edit()->setFocus();
            });
            m_validating = false;
        }
    }
    return EditWindow::eventFilter(watched, event);
}

bool frmEditPagamenti::expiryTicked() const
{
    return checkValue(chkModificaDataScadenzaIscrizione) == 1;
}

bool frmEditPagamenti::validate()
{
    if (cboSocio->currentIndex() == -1 || IdAnagrafica == -1)
        return fail(QStringLiteral("Selezionare il socio"));
    // The member shown is the member saved.
    if (comboItemKey(cboSocio, cboSocio->currentIndex()) != IdAnagrafica)
        return fail(QStringLiteral("Selezionare il socio"));
    const QString date = txtDataPagamento->text().trimmed();
    if (date.isEmpty())
        return fail(QStringLiteral("Inserire la data del pagamento"));
    if (!Regional::isDate(date))
        return fail(QStringLiteral("Formato della data del pagamento non valido"));
    const QString amount = txtImporto->text().trimmed();
    if (amount.isEmpty())
        return fail(QStringLiteral("Inserire l'importo del pagamento"));
    if (!isStorableAmount(amount))
        return fail(QStringLiteral("Formato dell'importo del pagamento non valido"));
    if (expiryTicked()) {
        const QString expiry = txtNuovaDataScadenza->text().trimmed();
        if (expiry.isEmpty())
            return fail(QStringLiteral("Inserire la nuova data di scadenza dell'iscrizione del socio"));
        if (!Regional::isDate(expiry))
            return fail(QStringLiteral("Formato della nuova data di scadenza dell'iscrizione del socio non valido"));
    }
    return true;
}

QString frmEditPagamenti::memberKeyText() const
{
    return QString::number(IdAnagrafica);
}

QString frmEditPagamenti::dateText() const
{
    return QStringLiteral("'") + FormattaData(txtDataPagamento->text().trimmed()) + QStringLiteral("'");
}

QString frmEditPagamenti::insertSql() const
{
    return insertStatement(QStringLiteral("INSERT INTO Pagamenti ( ANAGRAFICAID,  ") + QStringLiteral("Datapagamento, ")
                               + QStringLiteral("Importo, Causale, NotePagamento, DateTimeCreated) "),
                           {memberKeyText(), dateText(), amountValue(txtImporto), textValue(txtCausale),
                            textValue(txtNote)});
}

QString frmEditPagamenti::updateSql() const
{
    return updateStatement(QStringLiteral("Pagamenti"),
                           {{QStringLiteral("ANAGRAFICAID = "), memberKeyText()},
                            {QStringLiteral("DataPagamento = "), dateText()},
                            {QStringLiteral("Importo = "), amountValue(txtImporto)},
                            {QStringLiteral("Causale = "), textValue(txtCausale)},
                            {QStringLiteral("notepagamento = "), textValue(txtNote)}},
                           QStringLiteral("PagamentiID"));
}

bool frmEditPagamenti::executeSave(const QString &sql)
{
    if (!expiryTicked())
        return EditWindow::executeSave(sql);
    // The payment and the member's new expiry date take effect together or
    // not at all: the save's one transaction holds both.
    const QString expiry = QStringLiteral("'") + FormattaData(txtNuovaDataScadenza->text().trimmed())
        + QStringLiteral("'");
    const QString moveExpiry = QStringLiteral("update anagrafica set datascadenzaiscrizione=") + expiry
        + QStringLiteral(", DateTimeLastUpdated = ") + m_stampUpdated + QStringLiteral("  where anagraficaid = ")
        + memberKeyText();
    if (!EditWindow::executeSave(sql))
        return false;
    const int saved = m_rowsSaved;
    const bool moved = gDbExecute(moveExpiry);
    m_rowsSaved = saved;
    return moved;
}

void frmEditPagamenti::afterSave()
{
    // The list is read again whole, so its order, filter and total hold.
    frmPagamenti *owner = Instance<frmPagamenti>::get();
    owner->ClearGrid();
    owner->FillGrid();
}

void frmEditPagamenti::releaseInstance()
{
    Instance<frmEditPagamenti>::release();
}

TableRow frmEditPagamenti::changedRow() const
{
    return {QStringLiteral("Pagamenti"), QStringLiteral("PagamentiID")};
}

QVector<TableRow> frmEditPagamenti::referredRows() const
{
    return {{QStringLiteral("Anagrafica"), QStringLiteral("ANAGRAFICAID"), IdAnagrafica}};
}
