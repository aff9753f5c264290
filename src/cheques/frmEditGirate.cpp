#include "frmEditGirate.h"
#include "Clock.h"
#include "Controls.h"
#include "Database.h"
#include "Globals.h"
#include "Procedure.h"
#include "Regional.h"
#include "SqlText.h"
#include "Translation.h"
#include "frmPagamenti.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <cmath>

namespace {
const QString kForm = QStringLiteral("frmEditGirate");
} // namespace

frmEditGirate::frmEditGirate() : InsertOnlyWindow(kForm, QStringLiteral("Gira Assegno Ricevuto"))
{
    cboNome = rows.combo(QStringLiteral("cboNome"), QStringLiteral("Benificiario"));
    chkGirataPiena = rows.check(QStringLiteral("chkGirataPiena"), QStringLiteral("Girata Piena"));
    txtDataGirata = rows.date(QStringLiteral("txtDataGirata"), QStringLiteral("Data Girata"));
    txtNote = rows.text(QStringLiteral("txtNote"), QStringLiteral("Note"));
    cboNome->installEventFilter(this);
}

ListWindow *frmEditGirate::list() const
{
    return Instance<frmPagamenti>::get();
}

void frmEditGirate::Form_Load()
{
    // The close box only unloads the window: a new opening must not find
    // what was chosen and typed the last time.
    m_activated = false;
    chkGirataPiena->setChecked(false);
    txtDataGirata->clear();
    txtNote->clear();
    gIsNewRecord = true;
    EditWindow::Form_Load();
    gIsNewRecord = true;
}

void frmEditGirate::fillCombos()
{
    fillComboRows(cboNome, QStringLiteral("SELECT ANAGRAFICAID,cognome, Nome FROM Anagrafica order by cognome, nome "),
                  nullptr);
    cboNome->setCurrentIndex(-1);
}

void frmEditGirate::Form_Activate()
{
    formProc(kForm, QStringLiteral("Form_Activate"), [&] {
        if (isEnglish()) {
            // Room for the English caption.
            chkGirataPiena->setMinimumWidth(twipsToPixels(1500));
        }
        // Today is proposed once per opening: the activation that follows a
        // message box must not overwrite the date the user typed.
        if (!m_activated) {
            m_activated = true;
            txtDataGirata->setDate(clockNow().date());
        }
    });
}

void frmEditGirate::cboNome_KeyUp(int KeyCode, int)
{
    runProc(Proc{kForm, QStringLiteral("cboNome_KeyUp"), Proc::Form, Proc::Plain}, [&] {
        if (cboNome->count() == 0)
            return; // nothing to jump to
        if (KeyCode == ::KeyCode::End)
            cboNome->setCurrentIndex(cboNome->count() - 1);
        else if (KeyCode == ::KeyCode::Home)
            cboNome->setCurrentIndex(0);
    });
}

bool frmEditGirate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == cboNome && event->type() == QEvent::KeyRelease) {
        const auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() == Qt::Key_End)
            cboNome_KeyUp(::KeyCode::End, 0);
        else if (k->key() == Qt::Key_Home)
            cboNome_KeyUp(::KeyCode::Home, 0);
    }
    return EditWindow::eventFilter(watched, event);
}

bool frmEditGirate::validate()
{
    if (cboNome->currentIndex() == -1)
        return fail(QStringLiteral("Selezionare il beneficiario"));
    const QString date = txtDataGirata->text().trimmed();
    if (!date.isEmpty() && !Regional::isDate(date))
        return fail(QStringLiteral("Formato della data di girata non valido"));
    return true;
}

QString frmEditGirate::insertSql() const
{
    // The creation stamp stands before the note here, so the family's
    // layout (stamp last) does not apply.
    const QStringList values{listKeyText(), QString::number(comboItemKey(cboNome, cboNome->currentIndex())),
                             chkGirataPiena->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
                             dateValue(txtDataGirata), m_stampCreated};
    QString sql = QStringLiteral("INSERT INTO Girate (PagamentiID, ANAGRAFICAID, GirataPiena, ")
        + QStringLiteral("DataGirata, DateTimeCreated,notegirata) ") + QStringLiteral("VALUES (");
    for (const QString &v : values)
        sql += v + QStringLiteral(", ") + QStringLiteral(" ");
    return sql + textValue(txtNote) + QStringLiteral(")") + QStringLiteral(" ");
}

void frmEditGirate::releaseInstance()
{
    Instance<frmEditGirate>::release();
}

QVector<TableRow> frmEditGirate::referredRows() const
{
    return {{QStringLiteral("Pagamenti"), QStringLiteral("PagamentiID"), std::llround(list()->SelectedID)},
            {QStringLiteral("Anagrafica"), QStringLiteral("ANAGRAFICAID"),
             comboItemKey(cboNome, cboNome->currentIndex())}};
}
