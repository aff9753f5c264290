#pragma once
#include "ListWindow.h"

// The association's own bank accounts. An account that an issued cheque or a
// deposit uses cannot be deleted.
class frmMieiContiCorrenti : public ListWindow {
    Q_OBJECT
public:
    frmMieiContiCorrenti();

protected:
    QString fillQuery() const override;
    QString &filter() const override;
    QString oneRecordQuery(bool forAdd) const override;
    QVector<short> printSkipList() const override;
    QString printSubtitle() const override;
    Exists dependentRows() const override;
    QString refusalText() const override;
    QString deleteStatement() const override;
    void showEditWindow() override;
    void showSearchWindow() override;
    void releaseInstance() override;
};
