#pragma once
#include "SearchWindow.h"

class QComboBox;
class QLineEdit;

inline QVector<QVariant> gSelectStatePagamenti;
inline bool gSelectStateReadyPagamenti = false;
inline bool gSelectUseOrPagamenti = false;

// Builds the payments list's filter: member, payment dates, amounts,
// reason and notes.
class frmSelectPagamenti : public SearchWindow {
    Q_OBJECT
public:
    frmSelectPagamenti();
    QComboBox *cboSocio;
    QLineEdit *txtDataDa, *txtDataA, *txtImportoDa, *txtImportoA, *txtCausale, *txtNotePagamento;

protected:
    ListWindow *list() const override;
    QString &filter() const override;
    QVector<QVariant> &savedValues() const override { return gSelectStatePagamenti; }
    bool &sized() const override { return gSelectStateReadyPagamenti; }
    bool *useOr() const override { return &gSelectUseOrPagamenti; }
    void fillCombos() override;
    bool validate() override;
    void releaseInstance() override;
};
