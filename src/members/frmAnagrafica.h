#pragma once
#include "ListWindow.h"

#include <functional>

class QPushButton;

// The member list: members and other contacts with their member type.
class frmAnagrafica : public ListWindow {
    Q_OBJECT
public:
    frmAnagrafica();

    // The list's WHERE filter: written by its search window, cleared by the
    // main window before it opens a list; it lasts for the run.
    static inline RunState<QString> gWhereAnagrafica;
    void cmdApriPagamenti_Click();
    QPushButton *cmdApriPagamenti;

    // Opens the payments list for one member: the member's name and key, and
    // the list's filter. The payments windows register it at start.
    using PaymentsOpener = std::function<void(const QString &name, double key, const QString &filter)>;
    static PaymentsOpener &openPayments();

protected:
    QString fillQuery() const override;
    QString oneRecordQuery(bool forAdd) const override;
    QString headerRename(const QString &name) const override;
    bool cellsAsStored(const Recordset &, int) const override { return true; }
    void afterWidths() override;
    QVector<short> printSkipList() const override;
    QString printSubtitle() const override;
    Exists dependentRows() const override;
    QString refusalText() const override;
    QString deleteStatement() const override;
    RecordEditor *editWindow() const override;
    void showSearchWindow() override;
    void releaseInstance() override;
};
