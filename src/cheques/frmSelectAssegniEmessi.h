#pragma once
#include "SearchWindow.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

inline QVector<QVariant> gSelectStateAssegniEmessi;
inline bool gSelectStateReadyAssegniEmessi = false;
inline bool gSelectUseOrAssegniEmessi = false;

// Builds the issued cheque list's filter: account, payee, number, date
// range, place, the three flags (grey: any), amount range, reason and notes.
class frmSelectAssegniEmessi : public SearchWindow {
    Q_OBJECT
public:
    frmSelectAssegniEmessi();
    QComboBox *cboDescrizione, *cboNome;
    QLineEdit *txtNumero, *txtDataDa, *txtDataA, *txtLuogoEmissione, *txtImportoDa, *txtImportoA, *txtCausale,
        *txtAssegnoNote;
    QCheckBox *chkSuPiazza, *chkTrasferibile, *chkSbarrato;

protected:
    ListWindow *list() const override;
    QString &filter() const override;
    QVector<QVariant> &savedValues() const override { return gSelectStateAssegniEmessi; }
    bool &sized() const override { return gSelectStateReadyAssegniEmessi; }
    bool *useOr() const override { return &gSelectUseOrAssegniEmessi; }
    void fillCombos() override;
    bool validate() override;
    int clearedFlagValue() const override { return 2; }
    void releaseInstance() override;
};
