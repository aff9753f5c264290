#pragma once
#include "ListWindow.h"

class QLabel;

// The payments received from members, with the total of the listed amounts.
// Opened for every member (gCurrentName empty) or for one member, whose
// payments only it lists and cannot search.
class frmPagamenti : public ListWindow {
    Q_OBJECT
public:
    frmPagamenti();

    QLabel *lblTotaleImporti;

    // The sum of the amounts now in the grid.
    double total() const { return m_total; }

protected:
    void beforeLoad() override;
    QString fillQuery() const override;
    QString queryTail() const override;
    QString &filter() const override;
    QString oneRecordQuery(bool forAdd) const override;
    QString cellText(const Recordset &rs, int i) override;
    void beforeFillRows() override;
    void afterFill() override;
    QVector<short> printSkipList() const override;
    QString printSubtitle() const override;
    QString printTotalLine() const override;
    bool openDbBeforeCheck() const override { return false; }
    QString deleteStatement() const override;
    bool executeDelete() override;
    void afterDelete() override;
    void showEditWindow() override;
    void showSearchWindow() override;
    void releaseInstance() override;

private:
    // Steps 1 to 7 of the list query: every payment joined to its member.
    QString baseQuery() const;
    double m_total = 0;
};
