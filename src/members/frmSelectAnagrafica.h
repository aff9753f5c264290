#pragma once
#include "SearchWindow.h"

class QComboBox;
class QLineEdit;

// Builds the member list's filter.
class frmSelectAnagrafica : public SearchWindow {
    Q_OBJECT
public:
    frmSelectAnagrafica();

    // What the window remembers for the run (the values saved by the last OK
    // or Reset, and whether OR was chosen).
    static inline RunState<QVector<QVariant>> gSelectStateAnagrafica;
    static inline RunState<bool> gSelectStateReadyAnagrafica{false};
    static inline RunState<bool> gSelectUseOrAnagrafica{false};
    QComboBox *cboTipologia;
    QLineEdit *txtNome, *txtCognome, *txtIndirizzo, *txtCAP, *txtComune, *txtProvincia, *txtTelefonoCasa,
        *txtTelefonoUfficio, *txtFax, *txtCellulare, *txtCFIva, *txtEmail, *txtSitoWeb, *txtNote, *txtDataNascitaDa,
        *txtDataNascitaA, *txtDataIscrizioneDa, *txtDataIscrizioneA, *txtDataScadenzaIscrizioneDa,
        *txtDataScadenzaIscrizioneA, *txtNumeroTessera;

protected:
    ListWindow *list() const override;
    void fillCombos() override;
    void releaseInstance() override;
};
