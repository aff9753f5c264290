#pragma once
#include "InsertOnlyWindow.h"

class QComboBox;
class QLineEdit;
class DatePicker;

// Records that a cheque received as a payment was deposited on one of the
// association's own bank accounts. It only adds rows: the payment is the one
// whose key stands in the payments list's SelectedID, and that list is left
// as it is.
class frmEditVersamenti : public InsertOnlyWindow {
    Q_OBJECT
public:
    frmEditVersamenti();

    QComboBox *cboDescrizione;
    DatePicker *txtDataVersamento;
    QLineEdit *txtNote;

    void Form_Load() override;

protected:
    ListWindow *list() const override;
    void fillCombos() override;
    bool validate() override;
    QString insertSql() const override;
    void releaseInstance() override;
    QVector<TableRow> referredRows() const override;
};
