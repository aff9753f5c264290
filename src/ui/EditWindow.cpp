#include "EditWindow.h"
#include "Clock.h"
#include "Controls.h"
#include "Database.h"
#include "FlexGrid.h"
#include "FormPrep.h"
#include "Globals.h"
#include "ListWindow.h"
#include "Messages.h"
#include "PrintPreview.h"
#include "Procedure.h"
#include "Regional.h"
#include "SqlText.h"
#include "WebBrowser.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

EditWindow::EditWindow(const QString &name, const QString &caption) : RecordWindow(name, caption)
{
    rows.buttons()->addWidget(cmdPrint);
    rows.buttons()->addWidget(cmdOK);
    rows.buttons()->addWidget(cmdCancel);
    connect(cmdOK, &QPushButton::clicked, this, &EditWindow::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &EditWindow::cmdCancel_Click);
}

void EditWindow::open(const EditRequest &request)
{
    gIsNewRecord = request.newRecord;
    showModal();
}

QString EditWindow::listKeyText() const
{
    return keyText(list()->SelectedID);
}

namespace {
const QString kTitle = QStringLiteral("Merivolo");

// A field's value as compared between two reads of one row.
QString fieldValue(const Recordset &r, int i)
{
    return r.isNull(i) ? QStringLiteral("N") : QStringLiteral("V") + r.text(i);
}

QString referredGone(const QString &table)
{
    const QString t = table.toLower();
    const QString what = t == QLatin1String("anagrafica") ? QStringLiteral("il socio")
        : t == QLatin1String("tipologiapersone")          ? QStringLiteral("la tipologia")
        : t == QLatin1String("mieiconticorrenti")         ? QStringLiteral("il conto corrente")
        : t == QLatin1String("pagamenti")                 ? QStringLiteral("il pagamento")
                                                          : QStringLiteral("un record");
    return QStringLiteral("Un'altra postazione ha eliminato ") + what
        + QStringLiteral(" a cui questo record si riferisce: nulla è stato salvato.");
}

const QString kChanged = QStringLiteral(
    "Un'altra postazione ha modificato questo record dopo che è stato aperto: nulla è stato salvato. "
    "Per vedere i dati attuali chiudere la finestra e riaprire il record.");
const QString kDeleted =
    QStringLiteral("Un'altra postazione ha eliminato questo record dopo che è stato aperto: nulla è stato salvato.");
} // namespace

void EditWindow::Form_Load()
{
    m_loadFailed = false;
    m_loadedRow.clear();
    const bool loaded = formProc(objectName(), QStringLiteral("Form_Load"), [&] {
        prepare();
        m_loadedKey = -1;
        if (!gIsNewRecord) {
            gRs.reset();
            if (gRsOpen(recordQuery())) {
                const std::shared_ptr<Recordset> held = rs(); // loadRecord may run a query
                Recordset &r = *held;
                if (!r.eof()) {
                    for (int i = 0; i < r.fieldCount(); ++i)
                        m_loadedRow.insert(r.fieldName(i).toLower(), fieldValue(r, i));
                    loadRecord(r);
                }
                r.close();
            } else {
                m_loadFailed = true;
            }
            gRs.reset();
        }
        if (!m_loadFailed)
            fillCombos();
        focusFirstField();
    });
    // The failure was shown; a window with half its data would save wrong
    // values or none.
    if (!loaded || m_loadFailed) {
        unload();
        releaseInstance();
    }
}

void EditWindow::fillCombo(QComboBox *combo, const QString &sql, long long *keyMember, long long selectKey,
                           const ItemText &itemText)
{
    combo->blockSignals(true);
    fillComboRows(
        combo, sql,
        [&](int index, long long key) {
            if (!gIsNewRecord && key == selectKey) {
                combo->setCurrentIndex(index);
                *keyMember = key;
            }
        },
        itemText);
    if (gIsNewRecord) {
        combo->setCurrentIndex(-1);
        *keyMember = -1;
    }
    combo->blockSignals(false);
}

void EditWindow::bindCombo(QComboBox *combo, long long *keyMember)
{
    connect(combo, &QComboBox::currentIndexChanged, this, [this, combo, keyMember](int index) {
        runProc(Proc{objectName(), combo->objectName() + QStringLiteral("_Change"), Proc::Form, Proc::Plain}, [&] {
            if (index != -1)
                *keyMember = comboItemKey(combo, index);
        });
    });
}

void EditWindow::copyText(const Recordset &r, const QString &field, QLineEdit *t)
{
    const int i = r.fieldIndex(field);
    if (i < 0)
        raiseError(ErrNo::ItemNotFound,
                   QStringLiteral(
                       "Item cannot be found in the collection corresponding to the requested name or ordinal."));
    t->setText(r.text(i));
}

void EditWindow::copyAmount(const Recordset &r, const QString &field, QLineEdit *t)
{
    copyText(r, field, t);
    const QVariant v = r.value(r.fieldIndex(field));
    bool ok = false;
    const double d = v.toDouble(&ok);
    // The database writes numbers with a decimal point; the field shows them
    // with the comma, so OK without a change saves the same amount again. A
    // text that is no number stays as it is.
    if (v.isValid() && ok)
        t->setText(Regional::amountText(d));
}

void EditWindow::copyDate(const Recordset &r, const QString &field, DatePicker *d)
{
    const int i = r.fieldIndex(field);
    if (i < 0)
        raiseError(ErrNo::ItemNotFound,
                   QStringLiteral(
                       "Item cannot be found in the collection corresponding to the requested name or ordinal."));
    if (r.isNull(i))
        return;
    const QString text = r.text(i);
    if (const auto date = Regional::parseDate(text))
        d->setDate(*date);
    else
        d->setText(text);
}

QString EditWindow::textValue(const QLineEdit *t)
{
    const QString s = t->text().trimmed();
    if (s.isEmpty())
        return QStringLiteral("Null");
    return QStringLiteral("'") + Pad(s) + QStringLiteral("'");
}

QString EditWindow::dateValue(const DatePicker *d)
{
    const QString s = d->text().trimmed();
    if (s.isEmpty() || s == QLatin1String("0.00.00"))
        return QStringLiteral("Null");
    return QStringLiteral("'") + Pad(FormattaData(s).trimmed()) + QStringLiteral("'");
}

QString EditWindow::amountValue(const QLineEdit *t)
{
    // "1.500,50" as the register writes amounts goes in as 1500.50; the
    // windows refuse any other text before a statement is built.
    const QString text = t->text().trimmed();
    const QString sql = Regional::amountSql(text);
    return sql.isEmpty() ? Punto(text) : sql;
}

QString EditWindow::insertStatement(const QString &head, const QStringList &values) const
{
    QString sql = head + QStringLiteral("VALUES (");
    for (const QString &v : values)
        sql += v + QStringLiteral(", ") + QStringLiteral(" ");
    return sql + m_stampCreated + QStringLiteral(")") + QStringLiteral(" ");
}

QString EditWindow::updateStatement(const QString &table, const QVector<QPair<QString, QString>> &assignments,
                                    const QString &keyColumn) const
{
    QString sql = QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ");
    for (const auto &a : assignments)
        sql += a.first + a.second + QStringLiteral(", ") + QStringLiteral(" ");
    sql += QStringLiteral("DateTimeLastUpdated = ") + m_stampUpdated + QStringLiteral(" ");
    sql += QStringLiteral("WHERE ") + keyColumn + QStringLiteral(" = ") + listKeyText() + QStringLiteral(" ");
    return sql;
}

bool EditWindow::executeSave(const QString &sql)
{
    return gDbExecute(sql, &m_rowsSaved);
}

EditWindow::RowCheck EditWindow::checkRow(const TableRow &row, bool compare)
{
    gRs.reset();
    if (!gRsOpen(lockRowQuery(row.table, row.keyColumn, row.key)))
        return RowCheck::Failed;
    const std::shared_ptr<Recordset> held = rs();
    Recordset &r = *held;
    RowCheck result = RowCheck::Same;
    if (r.eof()) {
        result = RowCheck::Gone;
    } else if (compare) {
        // Every column the window loaded from its own table, the change
        // stamp among them, must read as it did.
        for (int i = 0; i < r.fieldCount() && result == RowCheck::Same; ++i) {
            const auto loaded = m_loadedRow.constFind(r.fieldName(i).toLower());
            if (loaded != m_loadedRow.constEnd() && *loaded != fieldValue(r, i))
                result = RowCheck::Changed;
        }
        if (m_loadedRow.isEmpty())
            result = RowCheck::Changed; // loaded nothing: the row came later
    }
    r.close();
    gRs.reset();
    return result;
}

bool EditWindow::saveChecked(const QString &sql)
{
    const bool added = gIsNewRecord;
    TableRow own = changedRow();
    if (!own.table.isEmpty())
        own.key = std::llround(list()->SelectedID);
    QString refusal;
    const bool saved = inTransaction([&] {
        for (const TableRow &referred : referredRows()) {
            switch (checkRow(referred, false)) {
            case RowCheck::Gone:
                refusal = referredGone(referred.table);
                return false;
            case RowCheck::Failed:
                return false;
            case RowCheck::Same:
            case RowCheck::Changed:
                break;
            }
        }
        if (!added && !own.table.isEmpty()) {
            switch (checkRow(own, true)) {
            case RowCheck::Gone:
                refusal = kDeleted;
                return false;
            case RowCheck::Changed:
                refusal = kChanged;
                return false;
            case RowCheck::Failed:
                return false;
            case RowCheck::Same:
                break;
            }
        }
        m_rowsSaved = -1;
        if (!executeSave(sql))
            return false;
        if (!added && m_rowsSaved == 0) {
            refusal = kDeleted; // a change that matched no row saved nothing
            return false;
        }
        return true;
    });
    // Told once the transaction has ended: no other desk waits on this one
    // while the message is read.
    if (!refusal.isEmpty())
        MyMsgBox(refusal, MsgStyle::Exclamation, kTitle);
    return saved;
}

void EditWindow::cmdOK_Click()
{
    formProc(objectName(), QStringLiteral("cmdOK_Click"), [&] {
        if (!validate())
            return;
        OpenDb();
        const QString now = QStringLiteral("'") + FormattaData(clockNow()) + QStringLiteral("'");
        m_stampCreated = now;
        m_stampUpdated = now;
        const bool added = gIsNewRecord;
        // A statement that did not take effect leaves the window open with
        // everything typed, and the list as it was.
        if (!saveChecked(added ? insertSql() : updateSql()))
            return;
        refreshList(added);
        afterSave();
        unload();
        releaseInstance();
    });
}

void EditWindow::refreshList(bool added)
{
    ListWindow *owner = list();
    if (!added)
        owner->UpdateGridRow();
    else if (owner->MSFlexGrid1->Rows() == 1)
        owner->FillGrid();
    else
        owner->AddGridRow();
}

void EditWindow::cmdCancel_Click()
{
    formProc(objectName(), QStringLiteral("cmdCancel_Click"), [&] {
        unload();
        releaseInstance();
    });
}
