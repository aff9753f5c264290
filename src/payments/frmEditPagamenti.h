#pragma once
#include "EditWindow.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class DatePicker;

// Records a payment received from a member, or changes one, and can move
// that member's membership expiry date in the same save.
class frmEditPagamenti : public EditWindow {
    Q_OBJECT
public:
    frmEditPagamenti();

    // The chosen member's key, -1 when none. Any key the database holds.
    long long IdAnagrafica = -1;
    // From the start of loading to the first activation: a member change
    // then does not rebuild the status line.
    bool IsLoading = false;

    QComboBox *cboSocio;
    DatePicker *txtDataPagamento, *txtNuovaDataScadenza;
    QLineEdit *txtImporto, *txtCausale, *txtNote;
    QCheckBox *chkModificaDataScadenzaIscrizione;
    QLabel *lblNuovaDataScadenza, *txtStatoSocio;

    void Form_Load() override;
    void Form_Activate() override;
    void aggiornaStatoSocio();
    void chkModificaDataScadenzaIscrizione_Click();

    // Whether the database reads the amount as a number once a decimal comma
    // became a point: "12,50", "12.50", "-3" do; "1.234,56", "12,5,0" don't.
    static bool isAmount(const QString &text);

protected:
    ListWindow *list() const override;
    QString recordQuery() const override;
    void loadRecord(const Recordset &rs) override;
    void fillCombos() override;
    bool validate() override;
    QString insertSql() const override;
    QString updateSql() const override;
    bool executeSave(const QString &sql) override;
    void afterSave() override;
    void releaseInstance() override;
    TableRow changedRow() const override;
    QVector<TableRow> referredRows() const override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool expiryTicked() const;
    QString memberKeyText() const;
    QString dateText() const;
    bool m_haveKey = false;
    bool m_activated = false;
    bool m_validating = false;
};
