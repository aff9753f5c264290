#pragma once
#include "ListWindow.h"

// The member type list.
class frmTipologiaPersone : public ListWindow {
    Q_OBJECT
public:
    frmTipologiaPersone();

    // The list's WHERE filter: written by its search window, cleared by the
    // main window before it opens a list; it lasts for the run.
    static inline RunState<QString> gWhereTipologiaPersone;

protected:
    QString fillQuery() const override;
    QString oneRecordQuery(bool forAdd) const override;
    QVector<short> printSkipList() const override;
    QString printSubtitle() const override;
    bool openDbBeforeCheck() const override { return false; }
    Exists dependentRows() const override;
    QString refusalText() const override;
    QString deleteStatement() const override;
    RecordEditor *editWindow() const override;
    void showSearchWindow() override;
    void releaseInstance() override;
};
