#include "Globals.h"

void resetGlobals()
{
    gDbType.clear();
    gDbPath.clear();
    gDbFileName.clear();
    gUpdatePhase = 0;
    gCurrentProc.clear();
    gLogStatus.clear();
    gErrorTrapping = false;
    gPrintFontSize = 7;
    gWhereAnagrafica.clear();
    gWhereTipologiaPersone.clear();
    gWherePagamenti.clear();
    gWhereMieiContiCorrenti.clear();
    gWhereAssegniEmessi.clear();
    gCurrentName.clear();
    gCurrentAnagraficaID = 0;
    gIsNewRecord = false;
    gLastMouseY = QVariant();
    gSavedLeftCol = 0;
    gPrintSkipColumns = QVector<short>(101, 0);
}
