#pragma once
#include "AppHooks.h"
#include "ScriptedPeople.h"
#include "TestFolder.h"
#include "frmAbout.h"
#include "frmMain.h"

#include <memory>

// One start of the program on a test folder.
struct MainWindowRun {
    TestFolder folder;
    ScriptedPeople people;
    std::unique_ptr<frmMain> main;

    explicit MainWindowRun(bool withDatabase = true) : folder(withDatabase) {}
    frmMain &start()
    {
        main = std::make_unique<frmMain>();
        Form::setMainForm(main.get());
        main->load();
        if (main->isLoaded())
            main->Form_Activate();
        return *main;
    }
    QString setting(const QString &key) const
    {
        return folder.scalar(QStringLiteral("select value from settings where mnemocode='") + key + "'");
    }
};
