#include <gtest/gtest.h>
#include <string>
#include <stdexcept>
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/Exceptions.h"
#include "UiTestSupport.h"

using namespace ui;

namespace {

// While a system dialog runs its own loop, a timer of this thread finds the dialog and presses one
// of its buttons.
UINT g_button = IDCANCEL;
int g_pressed = 0;
std::string g_caption, g_text;   // of the dialog last pressed

BOOL CALLBACK PressIn(HWND hwnd, LPARAM)
{
    char cls[16] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(hwnd)) {
        char buf[256] = {};
        GetWindowTextA(hwnd, buf, sizeof buf);
        g_caption = buf;
        buf[0] = '\0';
        GetDlgItemTextA(hwnd, 0xFFFF, buf, sizeof buf);   // a message box's text
        g_text = buf;
        PostMessageA(hwnd, WM_COMMAND, g_button, 0);
        ++g_pressed;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK PressTimer(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), PressIn, 0);
}

struct DialogPresser {
    UINT_PTR timer;
    explicit DialogPresser(UINT button)
    {
        g_button = button;
        g_pressed = 0;
        timer = SetTimer(nullptr, 0, 300, PressTimer);
    }
    ~DialogPresser() { KillTimer(nullptr, timer); }
};

TEST(Dialogs, CancelledOpenDialogChoosesNothing)
{
    uitest::TestForm form(200, 100);
    TOpenDialog dlg;
    dlg.FileName = "before.txt";
    DialogPresser presser(IDCANCEL);
    EXPECT_FALSE(dlg.Execute(form.Handle()));
    EXPECT_GE(g_pressed, 1);
    EXPECT_EQ(dlg.FileName, "before.txt");
}

TEST(Dialogs, OpenDialogReturnsTheProposedExistingFile)
{
    qmtest::TempDir dir;
    std::string file = dir / "pick.txt";
    ASSERT_TRUE(qmtest::WriteFileBytes(file, "x"));
    uitest::TestForm form(200, 100);
    TOpenDialog dlg;
    dlg.FileName = file;   // proposed in the name box; OK takes it
    DialogPresser presser(IDOK);
    ASSERT_TRUE(dlg.Execute(form.Handle()));
    EXPECT_EQ(lstrcmpiA(dlg.FileName.c_str(), file.c_str()), 0) << dlg.FileName;
}

TEST(Dialogs, CancelledFolderPickerGivesEmptyPath)
{
    uitest::TestForm form(200, 100);
    DialogPresser presser(IDCANCEL);
    EXPECT_EQ(BrowseForFolder(form.Handle(), "choose"), "");
    EXPECT_GE(g_pressed, 1);
}

}  // namespace

namespace {

TEST(Dialogs, ErrorBoxShowsTheMessageUnderTheTitleAndAbortShowsNothing)
{
    Application->SetTitle("Quillmoor");
    {
        DialogPresser presser(IDOK);
        Application->HandleException(std::runtime_error("Disk full"));
        EXPECT_EQ(g_pressed, 1);
        EXPECT_EQ(g_caption, "Quillmoor");
        EXPECT_EQ(g_text, "Disk full");
    }
    {
        DialogPresser presser(IDOK);
        Application->HandleException(EAbort());
        DWORD start = GetTickCount();
        while (GetTickCount() - start < 500) {
            qmtest::PumpMessages();
            Sleep(10);
        }
        EXPECT_EQ(g_pressed, 0);
    }
    {
        DialogPresser presser(IDNO);
        EXPECT_EQ(Application->MessageBox("Update now?", MB_YESNO | MB_ICONQUESTION), IDNO);
        EXPECT_EQ(g_caption, "Quillmoor");
        EXPECT_EQ(g_text, "Update now?");
    }
}

}  // namespace
