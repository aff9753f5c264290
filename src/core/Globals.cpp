#include "Globals.h"
#include "Database.h"
#include "RunState.h"
#include "Settings.h"

void startNewRun()
{
    resetDatabase();
    gDbType.clear();
    gDbPath.clear();
    gDbFileName.clear();
    gUpdatePhase = 0;
    gCurrentProc.clear();
    gLogStatus.clear();
    gErrorTrapping = false;
    gPrintFontSize = 7;
    resetStartupList();
    resetRunState();
}
