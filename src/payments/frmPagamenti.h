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

    // The list's WHERE filter: written by its search window, cleared by the
    // main window before it opens a list; it lasts for the run.
    static inline RunState<QString> gWherePagamenti;
    // The scope the list was opened in: the name and key of the member whose
    // payments it lists; an empty name means every member.
    static inline RunState<QString> gCurrentName;
    static inline RunState<double> gCurrentAnagraficaID{0.0};

    // Opens the list modally for every member (an empty name), or for the
    // member named, with the filter given.
    static void openFor(const QString &name, double key, const QString &filter);

    QLabel *lblTotaleImporti;

    // The sum of the amounts now in the grid.
    double total() const { return m_total; }

protected:
    void beforeLoad() override;
    QString fillQuery() const override;
    QString queryTail() const override;
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
    RecordEditor *editWindow() const override;
    void showSearchWindow() override;
    void releaseInstance() override;

private:
    // Steps 1 to 7 of the list query: every payment joined to its member.
    QString baseQuery() const;
    double m_total = 0;
};
