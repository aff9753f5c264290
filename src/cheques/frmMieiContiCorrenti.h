#pragma once
#include "ListWindow.h"

// The association's own bank accounts. An account that an issued cheque or a
// deposit uses cannot be deleted.
class frmMieiContiCorrenti : public ListWindow {
    Q_OBJECT
public:
    frmMieiContiCorrenti();

    // The list's WHERE filter: written by its search window, cleared by the
    // main window before it opens a list; it lasts for the run.
    static inline RunState<QString> gWhereMieiContiCorrenti;

protected:
    QString fillQuery() const override;
    QString oneRecordQuery(bool forAdd) const override;
    QVector<short> printSkipList() const override;
    QString printSubtitle() const override;
    Exists dependentRows() const override;
    QString refusalText() const override;
    QString deleteStatement() const override;
    RecordEditor *editWindow() const override;
    void showSearchWindow() override;
    void releaseInstance() override;
};
