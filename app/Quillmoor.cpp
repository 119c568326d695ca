// The main program: everything it does is in the program block, StartMainProgram.
#include <windows.h>
#include "app/DMUnit.h"
#include "app/StartupUnit.h"
#include "app/frmMainUnit.h"
#include "ui/Application.h"
#include "ui/Exceptions.h"

int StartMainProgram()
{
    TStartAction action;
    try {
        action = RunStartSteps(WindowsMajorVersion());
    } catch (const std::exception &e) {
        ui::Application->HandleException(e);
        return 1;
    }
    if (action != TStartAction::RunWindow)
        return 0;

    GetFirstParam(FirstParam);
    // Without its data module or its window the program cannot run: say why and end.
    try {
        DM = new TDM();
        frmMainForm = new TfrmMainForm();
    } catch (const std::exception &e) {
        ui::Application->HandleException(e);
        return 1;
    } catch (...) {
        ui::Application->HandleException(ui::Exception("Unknown error"));
        return 1;
    }
    ui::Application->SetMainForm(frmMainForm);
    frmMainForm->Show();
    ui::Application->Run();
    delete frmMainForm;
    frmMainForm = nullptr;
    delete DM;
    DM = nullptr;
    return 0;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return StartMainProgram();
}
