#pragma once
#include "SearchWindow.h"

class QLineEdit;

inline QVector<QVariant> gSelectStateTipologiaPersone;
inline bool gSelectStateReadyTipologiaPersone = false;

// Filters the member type list by name.
class frmSelectTipologiaPersone : public SearchWindow {
    Q_OBJECT
public:
    frmSelectTipologiaPersone();
    QLineEdit *txtTipologia;

protected:
    ListWindow *list() const override;
    QString &filter() const override;
    QVector<QVariant> &savedValues() const override { return gSelectStateTipologiaPersone; }
    bool &sized() const override { return gSelectStateReadyTipologiaPersone; }
    void releaseInstance() override;
    bool prepareAfterOpen() const override { return true; }
    QLineEdit *activateField() const override { return txtTipologia; }
};
