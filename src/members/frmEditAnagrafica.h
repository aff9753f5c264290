#pragma once
#include "EditWindow.h"

class QComboBox;
class QLineEdit;
class DatePicker;

// Adds a member (or any other contact) or changes the one selected in the list.
class frmEditAnagrafica : public EditWindow {
    Q_OBJECT
public:
    frmEditAnagrafica();

    long long SelectedTipologiaID = -1;
    QComboBox *cboTipologia;
    QLineEdit *txtNome, *txtCognome, *txtIndirizzo, *txtCAP, *txtComune, *txtProvincia, *txtTelefonoCasa,
        *txtTelefonoUfficio, *txtFax, *txtCellulare, *txtCFIva, *txtEmail, *txtSitoWeb, *txtNote, *txtNumeroTessera;
    DatePicker *txtDataNascita, *txtDataIscrizione, *txtDataScadenzaIscrizione;

protected:
    ListWindow *list() const override;
    QString recordQuery() const override;
    void loadRecord(const Recordset &rs) override;
    void fillCombos() override;
    bool validate() override;
    QString insertSql() const override;
    QString updateSql() const override;
    void releaseInstance() override;
    TableRow changedRow() const override;
    QVector<TableRow> referredRows() const override;
};
