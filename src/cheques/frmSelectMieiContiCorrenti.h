#pragma once
#include "SearchWindow.h"

class QLineEdit;

inline QVector<QVariant> gSelectStateMieiContiCorrenti;
inline bool gSelectStateReadyMieiContiCorrenti = false;
inline bool gSelectUseOrMieiContiCorrenti = false;

// Builds the bank account list's filter from six text fields.
class frmSelectMieiContiCorrenti : public SearchWindow {
    Q_OBJECT
public:
    frmSelectMieiContiCorrenti();
    QLineEdit *txtDescrizione, *txtBanca, *txtABI, *txtCAB, *txtNumeroConto, *txtIntestatario;

protected:
    ListWindow *list() const override;
    QString &filter() const override;
    QVector<QVariant> &savedValues() const override { return gSelectStateMieiContiCorrenti; }
    bool &sized() const override { return gSelectStateReadyMieiContiCorrenti; }
    bool *useOr() const override { return &gSelectUseOrMieiContiCorrenti; }
    QLineEdit *activateField() const override { return txtDescrizione; }
    void releaseInstance() override;
};
