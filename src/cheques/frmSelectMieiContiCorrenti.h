#pragma once
#include "SearchWindow.h"

class QLineEdit;

// Builds the bank account list's filter from six text fields.
class frmSelectMieiContiCorrenti : public SearchWindow {
    Q_OBJECT
public:
    frmSelectMieiContiCorrenti();

    // What the window remembers for the run (the values saved by the last OK
    // or Reset, and whether OR was chosen).
    static inline RunState<QVector<QVariant>> gSelectStateMieiContiCorrenti;
    static inline RunState<bool> gSelectStateReadyMieiContiCorrenti{false};
    static inline RunState<bool> gSelectUseOrMieiContiCorrenti{false};
    QLineEdit *txtDescrizione, *txtBanca, *txtABI, *txtCAB, *txtNumeroConto, *txtIntestatario;

protected:
    ListWindow *list() const override;
    QLineEdit *activateField() const override { return txtDescrizione; }
    void releaseInstance() override;
};
