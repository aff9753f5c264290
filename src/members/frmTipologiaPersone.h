#pragma once
#include "ListWindow.h"

// The member type list.
class frmTipologiaPersone : public ListWindow {
    Q_OBJECT
public:
    frmTipologiaPersone();

protected:
    QString fillQuery() const override;
    QString &filter() const override;
    QString oneRecordQuery(bool forAdd) const override;
    QVector<short> printSkipList() const override;
    QString printSubtitle() const override;
    bool openDbBeforeCheck() const override { return false; }
    Exists dependentRows() const override;
    QString refusalText() const override;
    QString deleteStatement() const override;
    void showEditWindow() override;
    void showSearchWindow() override;
    void releaseInstance() override;
};
