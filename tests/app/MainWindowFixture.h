// Opens the main window the way start-up does (settings, data module, window), and closes it again.
#pragma once
#include "TestSupport.h"
#include "app/DMUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"

namespace qmtest {

inline TfrmMainForm *OpenMainWindow()
{
    WriteDefaultSettings();
    DM = new TDM();
    frmMainForm = new TfrmMainForm();
    frmMainForm->Show();
    PumpMessages();
    return frmMainForm;
}

inline void CloseMainWindow()
{
    delete frmMainForm;
    frmMainForm = nullptr;
    delete DM;
    DM = nullptr;
    PumpMessages();
}

}  // namespace qmtest
