// Entry point of every test program: common controls and COM as the programs set them up.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    CoInitialize(NULL);
    // A crash must end the program with a failure code, never with a dialog.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    ::testing::InitGoogleTest(&argc, argv);
    int rc = RUN_ALL_TESTS();
    CoUninitialize();
    return rc;
}
