#include "SubsystemWindows.h"
#include "AppHooks.h"
#include "frmAnagrafica.h"
#include "frmTipologiaPersone.h"

void registerSubsystemWindows()
{
    appHooks().openMembers = [] { Instance<frmAnagrafica>::get()->showModal(); };
    appHooks().openMemberTypes = [] { Instance<frmTipologiaPersone>::get()->showModal(); };
}
