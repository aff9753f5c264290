#include "SubsystemWindows.h"
#include "AppHooks.h"
#include "frmAnagrafica.h"
#include "frmPagamenti.h"
#include "frmSplashReports.h"
#include "frmTipologiaPersone.h"

void registerSubsystemWindows()
{
    appHooks().openMembers = [] { Instance<frmAnagrafica>::get()->showModal(); };
    appHooks().openMemberTypes = [] { Instance<frmTipologiaPersone>::get()->showModal(); };
    appHooks().openPayments = [] { Instance<frmPagamenti>::get()->showModal(); };
    appHooks().openReports = [] { Instance<frmSplashReports>::get()->showModal(); };
    frmAnagrafica::openPayments() = [] { Instance<frmPagamenti>::get()->showModal(); };
}
