#pragma once
#include "EditWindow.h"

class QLineEdit;

// Records a bank account of the association, or changes one. No two
// accounts share a description.
class frmEditMieiContiCorrenti : public EditWindow {
    Q_OBJECT
public:
    frmEditMieiContiCorrenti();

    QLineEdit *txtDescrizione, *txtBanca, *txtABI, *txtCAB, *txtNumeroConto, *txtIntestatari;

protected:
    ListWindow *list() const override;
    QString recordQuery() const override;
    void loadRecord(const Recordset &rs) override;
    bool validate() override;
    QString insertSql() const override;
    QString updateSql() const override;
    void releaseInstance() override;
    TableRow changedRow() const override;
    QLineEdit *activateField() const override { return txtDescrizione; }
};
