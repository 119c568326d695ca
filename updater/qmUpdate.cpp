// qmUpdate: replaces the main program's files with those that "Update.ini" names, then restarts it.
#include <windows.h>
#include <commctrl.h>
#include "ui/Application.h"
#include "updater/MainUnit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    ui::Application->SetTitle("Quillmoor Update");
    try {
        TMainForm form;
        MainForm = &form;
        ui::Application->SetMainForm(&form);
        ui::Application->Run();
        ui::Application->SetMainForm(nullptr);
    } catch (const std::exception &e) {
        ui::Application->HandleException(e);
        return 1;
    }
    return 0;
}
