#pragma once
#include "EditWindow.h"

class QLineEdit;

// Adds or renames a member type.
class frmEditTipologiaPersone : public EditWindow {
    Q_OBJECT
public:
    frmEditTipologiaPersone();
    QLineEdit *txtTipologia;

protected:
    ListWindow *list() const override;
    QString recordQuery() const override;
    void loadRecord(const Recordset &rs) override;
    bool validate() override;
    QString insertSql() const override;
    QString updateSql() const override;
    void releaseInstance() override;
    TableRow changedRow() const override;
    bool prepareAfterOpen() const override { return true; }
    QLineEdit *activateField() const override { return txtTipologia; }
};
