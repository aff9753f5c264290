#pragma once
#include "SearchWindow.h"

class QComboBox;
class QLineEdit;

inline QVector<QVariant> gSelectStateAnagrafica;
inline bool gSelectStateReadyAnagrafica = false;
inline bool gSelectUseOrAnagrafica = false;

// Builds the member list's filter.
class frmSelectAnagrafica : public SearchWindow {
    Q_OBJECT
public:
    frmSelectAnagrafica();
    QComboBox *cboTipologia;
    QLineEdit *txtNome, *txtCognome, *txtIndirizzo, *txtCAP, *txtComune, *txtProvincia, *txtTelefonoCasa,
        *txtTelefonoUfficio, *txtFax, *txtCellulare, *txtCFIva, *txtEmail, *txtSitoWeb, *txtNote,
        *txtDataNascitaDa, *txtDataNascitaA, *txtDataIscrizioneDa, *txtDataIscrizioneA,
        *txtDataScadenzaIscrizioneDa, *txtDataScadenzaIscrizioneA, *txtNumeroTessera;

protected:
    ListWindow *list() const override;
    QString &filter() const override;
    QVector<QVariant> &savedValues() const override { return gSelectStateAnagrafica; }
    bool &sized() const override { return gSelectStateReadyAnagrafica; }
    bool *useOr() const override { return &gSelectUseOrAnagrafica; }
    void fillCombos() override;
    void releaseInstance() override;
};
