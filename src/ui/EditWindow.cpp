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

void EditWindow::Form_Load()
{
    formProc(objectName(), QStringLiteral("Form_Load"), [&] {
        prepare();
        m_loadedKey = -1;
        if (!gIsNewRecord) {
            gRs.reset();
            if (gRsOpen(recordQuery())) {
                const std::shared_ptr<Recordset> held = rs(); // loadRecord may run a query
                Recordset &r = *held;
                if (!r.eof())
                    loadRecord(r);
                r.close();
            }
            gRs.reset();
        }
        fillCombos();
        focusFirstField();
    });
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
    return gDbExecute(sql);
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
        if (!executeSave(added ? insertSql() : updateSql()))
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
