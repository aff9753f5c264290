#include "SubsystemWindows.h"
#include "AppHooks.h"
#include "Translation.h"
#include "frmAnagrafica.h"
#include "frmAssegniEmessi.h"
#include "frmMain.h"
#include "frmMieiContiCorrenti.h"
#include "frmPagamenti.h"
#include "frmSplashReports.h"
#include "frmTipologiaPersone.h"

void registerSubsystemWindows()
{
    appHooks().openMembers = [] { Instance<frmAnagrafica>::get()->showModal(); };
    appHooks().openMemberTypes = [] { Instance<frmTipologiaPersone>::get()->showModal(); };
    appHooks().openPayments = [] { frmPagamenti::openFor(QString(), 0, QString()); };
    appHooks().openReports = [] { Instance<frmSplashReports>::get()->showModal(); };
    appHooks().clearListFilters = [] {
        frmAnagrafica::gWhereAnagrafica = QString();
        frmTipologiaPersone::gWhereTipologiaPersone = QString();
        frmPagamenti::gWherePagamenti = QString();
        frmMieiContiCorrenti::gWhereMieiContiCorrenti = QString();
        frmAssegniEmessi::gWhereAssegniEmessi = QString();
    };
    frmAnagrafica::openPayments() = &frmPagamenti::openFor;
}

frmMain *startMainWindow()
{
    installToolkitTranslation();
    installMessageBox();
    registerSubsystemWindows();
    auto *main = Instance<frmMain>::get();
    Form::setMainForm(main);
    main->load();
    if (!main->isLoaded())
        return nullptr;
    main->show();
    return main;
}
