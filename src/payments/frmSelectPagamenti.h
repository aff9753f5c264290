#pragma once
#include "SearchWindow.h"

class QComboBox;
class QLineEdit;

// Builds the payments list's filter: member, payment dates, amounts,
// reason and notes.
class frmSelectPagamenti : public SearchWindow {
    Q_OBJECT
public:
    frmSelectPagamenti();

    // What the window remembers for the run (the values saved by the last OK
    // or Reset, and whether OR was chosen).
    static inline RunState<QVector<QVariant>> gSelectStatePagamenti;
    static inline RunState<bool> gSelectStateReadyPagamenti{false};
    static inline RunState<bool> gSelectUseOrPagamenti{false};
    QComboBox *cboSocio;
    QLineEdit *txtDataDa, *txtDataA, *txtImportoDa, *txtImportoA, *txtCausale, *txtNotePagamento;

protected:
    ListWindow *list() const override;
    void fillCombos() override;
    bool validate() override;
    void releaseInstance() override;
};
