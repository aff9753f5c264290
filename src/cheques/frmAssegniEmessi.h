#pragma once
#include "ListWindow.h"

class QLabel;

// The cheques the association has issued, each with the account it is drawn
// on and its payee, and the total of the listed amounts.
class frmAssegniEmessi : public ListWindow {
    Q_OBJECT
public:
    frmAssegniEmessi();

    // The list's WHERE filter: written by its search window, cleared by the
    // main window before it opens a list; it lasts for the run.
    static inline RunState<QString> gWhereAssegniEmessi;

    QLabel *lblTotaleImporti;
    // The sum of the amounts now in the grid.
    double total() const { return m_total; }

protected:
    QString fillQuery() const override;
    QString queryTail() const override;
    QString oneRecordQuery(bool forAdd) const override;
    QString headerRename(const QString &name) const override;
    QString cellText(const Recordset &rs, int i) override;
    void beforeFillRows() override;
    void afterFill() override;
    QVector<short> printSkipList() const override;
    QString printSubtitle() const override;
    QString printTotalLine() const override;
    QString deleteStatement() const override;
    void afterDelete() override;
    RecordEditor *editWindow() const override;
    void showSearchWindow() override;
    void releaseInstance() override;

private:
    // The column list and the joins, up to the FROM clause.
    QString columnsAndTables() const;
    double m_total = 0;
};
