#pragma once
#include "SearchWindow.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

// Builds the issued cheque list's filter: account, payee, number, date
// range, place, the three flags (grey: any), amount range, reason and notes.
class frmSelectAssegniEmessi : public SearchWindow {
    Q_OBJECT
public:
    frmSelectAssegniEmessi();

    // What the window remembers for the run (the values saved by the last OK
    // or Reset, and whether OR was chosen).
    static inline RunState<QVector<QVariant>> gSelectStateAssegniEmessi;
    static inline RunState<bool> gSelectStateReadyAssegniEmessi{false};
    static inline RunState<bool> gSelectUseOrAssegniEmessi{false};
    QComboBox *cboDescrizione, *cboNome;
    QLineEdit *txtNumero, *txtDataDa, *txtDataA, *txtLuogoEmissione, *txtImportoDa, *txtImportoA, *txtCausale,
        *txtAssegnoNote;
    QCheckBox *chkSuPiazza, *chkTrasferibile, *chkSbarrato;

protected:
    ListWindow *list() const override;
    void fillCombos() override;
    bool validate() override;
    int clearedFlagValue() const override { return 2; }
    void releaseInstance() override;
};
