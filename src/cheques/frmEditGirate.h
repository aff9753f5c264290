#pragma once
#include "InsertOnlyWindow.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class DatePicker;

// Records that a cheque received as a payment was endorsed to a person of the
// register. It only adds rows: the payment is the one whose key stands in
// the payments list's SelectedID, and that list is left as it is.
class frmEditGirate : public InsertOnlyWindow {
    Q_OBJECT
public:
    frmEditGirate();

    QComboBox *cboNome;
    QCheckBox *chkGirataPiena;
    DatePicker *txtDataGirata;
    QLineEdit *txtNote;

    void Form_Load() override;
    void Form_Activate() override;
    // End selects the last person, Home the first.
    void cboNome_KeyUp(int KeyCode, int Shift);

protected:
    ListWindow *list() const override;
    void fillCombos() override;
    bool validate() override;
    QString insertSql() const override;
    void releaseInstance() override;
    QVector<TableRow> referredRows() const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool m_activated = false;
};
