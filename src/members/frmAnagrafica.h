#pragma once
#include "ListWindow.h"

#include <functional>

class QPushButton;

// The member list: members and other contacts with their member type.
class frmAnagrafica : public ListWindow {
    Q_OBJECT
public:
    frmAnagrafica();
    void cmdApriPagamenti_Click();
    QPushButton *cmdApriPagamenti;

    // Opens the payments list in the scope this list has just set; the
    // payments windows register it when the program starts.
    static std::function<void()> &openPayments();

protected:
    QString fillQuery() const override;
    QString &filter() const override;
    QString oneRecordQuery(bool forAdd) const override;
    QString headerRename(const QString &name) const override;
    bool cellsAsStored(const Recordset &, int) const override { return true; }
    void afterWidths() override;
    QVector<short> printSkipList() const override;
    QString printSubtitle() const override;
    Exists dependentRows() const override;
    QString refusalText() const override;
    QString deleteStatement() const override;
    void showEditWindow() override;
    void showSearchWindow() override;
    void releaseInstance() override;
};
