#pragma once
#include "SearchWindow.h"

class QLineEdit;

// Filters the member type list by name.
class frmSelectTipologiaPersone : public SearchWindow {
    Q_OBJECT
public:
    frmSelectTipologiaPersone();

    // What the window remembers for the run (the values saved by the last OK
    // or Reset).
    static inline RunState<QVector<QVariant>> gSelectStateTipologiaPersone;
    static inline RunState<bool> gSelectStateReadyTipologiaPersone{false};
    QLineEdit *txtTipologia;

protected:
    ListWindow *list() const override;
    void releaseInstance() override;
    bool prepareAfterOpen() const override { return true; }
    QLineEdit *activateField() const override { return txtTipologia; }
};
