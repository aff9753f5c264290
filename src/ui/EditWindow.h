#pragma once
#include "ListWindow.h"
#include "RecordWindow.h"

#include <QHash>
#include <QPair>
#include <QStringList>
#include <QVector>

class Recordset;
class WebBrowser;
class SkinForm;
class QPushButton;
class QLineEdit;
class QComboBox;
class DatePicker;

// One row of a table, by its key.
struct TableRow {
    QString table;
    QString keyColumn;
    long long key = 0;
};

// The window that adds a record to a list's table or changes the record
// selected in its grid. Loading, saving, value encoding, statement layout,
// Cancel and Print are written once here; each window gives its fields,
// queries, validations and statements.
//
// Several desks may work on one register. A save runs in one transaction
// that first holds, against the other desks, the rows it refers to and the
// record it changes, then checks them: a referred row another desk deleted,
// or a record another desk changed or deleted since the window loaded it,
// stops the save before anything is written, and the user is told while
// the window keeps what was typed. A window whose loading failed closes.
class EditWindow : public RecordWindow, public RecordEditor {
    Q_OBJECT
public:
    EditWindow(const QString &name, const QString &caption);

    // Opens the window modally for what its list asks.
    void open(const EditRequest &request) override;

    // The insert flag of this opening: add a new record (true) or change the
    // list's selected one. Set by the request; the endorsement and deposit
    // windows set it themselves.
    bool gIsNewRecord = false;

    void Form_Load() override;
    void cmdOK_Click();
    void cmdCancel_Click();

    // Value encodings of the statements.
    static QString textValue(const QLineEdit *t);   // 'trimmed' or Null
    static QString dateValue(const DatePicker *d);  // 'YYYY-MM-DD HH:MM:SS' or Null
    static QString amountValue(const QLineEdit *t); // Punto, unquoted
    // "VALUES (" v1 ",  " ... created ")" " " after the window's column list.
    QString insertStatement(const QString &head, const QStringList &values) const;
    // "UPDATE t SET c = v,  ... DateTimeLastUpdated = s WHERE key = id ".
    QString updateStatement(const QString &table, const QVector<QPair<QString, QString>> &assignments,
                            const QString &keyColumn) const;

protected:
    // --- what each window supplies ---
    virtual ListWindow *list() const = 0;
    virtual QString recordQuery() const = 0;
    virtual void loadRecord(const Recordset &rs) = 0;
    virtual void fillCombos() {}
    // The validations in order; shows the first failure and returns false.
    virtual bool validate() = 0;
    virtual QString insertSql() const = 0;
    virtual QString updateSql() const = 0;
    // Runs the statement; false when it did not take effect.
    virtual bool executeSave(const QString &sql);
    virtual void afterSave() {}
    // After a save that took effect: the list shows the change (the edited
    // row read again, or the new row appended). A window whose rows the list
    // does not show leaves the list as it is.
    virtual void refreshList(bool added);
    virtual void releaseInstance() = 0;
    // The row of its table the window changes (a window that only adds has
    // none): the key is the list's selected one.
    virtual TableRow changedRow() const { return {}; }
    // The rows the saved record refers to; each must still be there.
    virtual QVector<TableRow> referredRows() const { return {}; }

    // Fills a combo box from a query of (key, text): the row whose key
    // equals selectKey (when editing) becomes the selected one.
    void fillCombo(QComboBox *combo, const QString &sql, long long *keyMember, long long selectKey,
                   const ItemText &itemText = {});
    // Keeps a key member in step with its combo box.
    void bindCombo(QComboBox *combo, long long *keyMember);
    // Copies a field into a text box or, when not Null, a date picker.
    static void copyText(const Recordset &rs, const QString &field, QLineEdit *t);
    static void copyDate(const Recordset &rs, const QString &field, DatePicker *d);
    // An amount field: the stored number as the user would type it.
    static void copyAmount(const Recordset &rs, const QString &field, QLineEdit *t);
    QString listKeyText() const;

    QString m_stampCreated, m_stampUpdated;
    long long m_loadedKey = 0;
    // Rows the last statement of executeSave matched.
    int m_rowsSaved = -1;

private:
    enum class RowCheck { Same, Changed, Gone, Failed };
    // The row read again under lock, beside what the window loaded.
    RowCheck checkRow(const TableRow &row, bool compare);
    // The save, its checks and its statements in one transaction.
    bool saveChecked(const QString &sql);
    // The record as loaded: each field's name (lower case) and value.
    QHash<QString, QString> m_loadedRow;
};
