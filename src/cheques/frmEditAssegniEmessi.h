#pragma once
#include "EditWindow.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class DatePicker;

// Records a cheque issued by the association, or changes one: the account it
// is drawn on, the payee, number, date, place, three flags, amount, reason
// and notes.
class frmEditAssegniEmessi : public EditWindow {
    Q_OBJECT
public:
    frmEditAssegniEmessi();

    // The chosen account and payee, -1 when none. Any key the database holds.
    long long IdConto = -1;
    long long IdAnagrafica = -1;

    QComboBox *cboDescrizione, *cboNome;
    QLineEdit *txtNumero, *txtLuogoEmissione, *txtImporto, *txtCausale, *txtAssegnoNote;
    DatePicker *txtDataAssegno;
    QCheckBox *chkSuPiazza, *chkTrasferibile, *chkSbarrato;

    void Form_Load() override;
    void Form_Activate() override;
    // The cheque date as the user leaves it; false (after the message) when
    // it is not a date.
    bool txtDataAssegno_Validate();

protected:
    ListWindow *list() const override;
    QString recordQuery() const override;
    void loadRecord(const Recordset &rs) override;
    void fillCombos() override;
    bool validate() override;
    QString insertSql() const override;
    QString updateSql() const override;
    void afterSave() override;
    void releaseInstance() override;
    TableRow changedRow() const override;
    QVector<TableRow> referredRows() const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString dateText() const;
    static QString flagText(const QCheckBox *c);
    long long m_accountKey = -1;
    bool m_activated = false;
    bool m_validating = false;
};
