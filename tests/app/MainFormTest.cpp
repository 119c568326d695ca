// The main window's frame in this process: its window, the hover pictures, the page buttons'
// pictures, closing while scanning, the restore request, the tray's double click, the first
// activation and Delay.
#include <gtest/gtest.h>
#include <windows.h>
#include "MainWindowFixture.h"
#include "TestSupport.h"
#include "app/DMUnit.h"
#include "app/ImageEx.h"
#include "app/SettingsUnit.h"
#include "app/StartupUnit.h"
#include "app/frmMainUnit.h"
#include "engine/ResultContentUnit.h"
#include "ui/Application.h"
#include "ui/Label.h"
#include "ui/Notebook.h"
#include "ui/TreeView.h"

using namespace qmtest;

namespace {

const char *const MachineSettings = "Software\\Quillmoor";

class MainForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = OpenMainWindow();
    }
    void TearDown() override
    {
        ScanState = 0;
        FirstParam.clear();
        CloseMainWindow();
    }
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, MachineSettings};
    TfrmMainForm *form = nullptr;
};

}  // namespace

TEST_F(MainForm, WindowIsFoundByItsClassAndIsRoundedAndBorderless)
{
    HWND wnd = form->Handle();
    EXPECT_EQ(FindWindowA("TfrmMainForm", nullptr), wnd);
    char cls[64];
    GetClassNameA(wnd, cls, sizeof(cls));
    EXPECT_STREQ(cls, "TfrmMainForm");
    RECT rc;
    GetClientRect(wnd, &rc);
    EXPECT_EQ(rc.right, 650);
    EXPECT_EQ(rc.bottom, 475);
    const LONG style = GetWindowLongA(wnd, GWL_STYLE);
    EXPECT_EQ(style & 0x00800008, 0x00800008);
    EXPECT_EQ(style & WS_CAPTION & ~WS_BORDER, 0);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(wnd, rgn), ERROR);
    EXPECT_TRUE(PtInRegion(rgn, 300, 200));
    EXPECT_FALSE(PtInRegion(rgn, 2, 2));       // the rounded corner
    EXPECT_FALSE(PtInRegion(rgn, 1, 100));     // left of the region
    DeleteObject(rgn);
    EXPECT_EQ(form->AppVersion->Caption(), "v3.7");
    EXPECT_EQ(form->DataNotebook->PageCount(), 5);
    for (ui::TTreeView *tree : {form->tvItemsList, form->ResultTreeView})   // whole rows need no tree lines
        EXPECT_EQ(GetWindowLongA(tree->Handle(), GWL_STYLE) & (TVS_FULLROWSELECT | TVS_HASLINES), TVS_FULLROWSELECT);
}

TEST_F(MainForm, HoverPicturesFollowTheGroupTables)
{
    EXPECT_EQ(form->CloseBtn->ListImageIndex(), 2);
    form->MinimizeBtnMouseEnter(form->CloseBtn);
    EXPECT_EQ(form->CloseBtn->ListImageIndex(), 3);
    EXPECT_EQ(form->CloseBtn->ListImages(), DM->ImageList2);
    form->MinimizeBtnMouseLeave(form->CloseBtn);
    EXPECT_EQ(form->CloseBtn->ListImageIndex(), 2);
    form->MinimizeBtnMouseEnter(form->MinimizeBtn);
    EXPECT_EQ(form->MinimizeBtn->ListImageIndex(), 1);

    EXPECT_EQ(form->UpdateBtn->ListImageIndex(), 2);
    EXPECT_EQ(form->HelpBtn->ListImageIndex(), 4);
    form->HelpBtnMouseEnter(form->HelpBtn);
    EXPECT_EQ(form->HelpBtn->ListImageIndex(), 5);
    form->HelpBtnMouseEnter(form->UpdateBtn);
    EXPECT_EQ(form->UpdateBtn->ListImageIndex(), 3);
    EXPECT_EQ(form->UpdateBtn->ListImages(), DM->ImageList3);

    form->ScanNowBtnMouseEnter(form->ScanNowBtn);
    EXPECT_EQ(form->ScanNowBtn->ListImageIndex(), 1);
    EXPECT_EQ(form->ScanNowBtn->ListImages(), DM->ImageList1);
    form->ScanNowBtnMouseLeave(form->ScanNowBtn);
    EXPECT_EQ(form->ScanNowBtn->ListImageIndex(), 0);
    form->ScanNowBtnMouseEnter(form->AbortBtn);
    EXPECT_EQ(form->AbortBtn->ListImageIndex(), 3);

    // a sender outside the group changes nothing
    form->MinimizeBtnMouseEnter(form->HelpBtn);
    EXPECT_EQ(form->HelpBtn->ListImageIndex(), 5);
    form->ScanNowBtnMouseEnter(form->ScanBtn);
    EXPECT_EQ(form->ScanBtn->ListImageIndex(), 1);
    // page buttons have no hover picture
    form->ScanBtnMouseEnter(form->ResultBtn);
    EXPECT_EQ(form->ResultBtn->ListImageIndex(), 2);
}

TEST_F(MainForm, PageButtonPictures)
{
    // the Scan page is open after creation
    const int start[5] = {1, 2, 4, 6, 8};
    TImageEx *buttons[5] = {form->ScanBtn, form->ResultBtn, form->ExcludeBtn, form->SettingsBtn, form->AdvancedBtn};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(buttons[k]->ListImageIndex(), start[k]) << k;
    form->HighlightPageButton(form->SettingsBtn);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(buttons[k]->ListImageIndex(), k == 3 ? 7 : 2 * k) << k;
    form->HighlightPageButton(form->CloseBtn);   // not a page button: nothing is redrawn
    EXPECT_EQ(form->SettingsBtn->ListImageIndex(), 7);
    form->AdvancedBtnClick(form->AdvancedBtn);
    EXPECT_EQ(form->AdvancedBtn->ListImageIndex(), 9);
    EXPECT_EQ(form->DataNotebook->PageIndex(), 4);
}

TEST_F(MainForm, CloseIsRefusedWhileScanning)
{
    ui::TCloseAction action = ui::caFree;
    ScanState = 1;
    form->FormClose(action);
    EXPECT_EQ(action, ui::caNone);
    ScanState = 2;
    action = ui::caFree;
    form->FormClose(action);
    EXPECT_EQ(action, ui::caFree);
    ScanState = 1;
    SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
    PumpMessages();
    EXPECT_TRUE(IsWindow(form->Handle()));
    EXPECT_FALSE(ui::Application->Terminated());
}

TEST_F(MainForm, HideToTrayAndBackByDoubleClickAndRestoreRequest)
{
    HWND app = ui::Application->Handle();
    form->CloseBtnClick();
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(app));
    EXPECT_TRUE(IsIconic(app));
    SendMessageA(form->Handle(), 0x500, 0, WM_LBUTTONDBLCLK);
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(app));
    EXPECT_FALSE(IsIconic(app));

    form->MinimizeBtnClick();
    PumpMessages();
    EXPECT_TRUE(IsIconic(app));
    PostMessageA(form->Handle(), 0x2400, 0, 0);
    PumpMessages();
    EXPECT_FALSE(IsIconic(app));
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
}

TEST_F(MainForm, DelayPumpsWhileItWaits)
{
    static bool handled;
    handled = false;
    struct Probe {
        static VOID CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
        {
            handled = true;
            KillTimer(nullptr, id);
        }
    };
    SetTimer(nullptr, 0, 10, Probe::Tick);
    const DWORD start = GetTickCount();
    Delay(200);
    EXPECT_GE(GetTickCount() - start, 200u);
    EXPECT_TRUE(handled);
}

TEST_F(MainForm, FirstActivationScansOnlyWithANonBlankArgumentAndOnlyOnce)
{
    // nothing ticked, so the scan itself finds nothing and ends quickly
    form->ToggleNodeTick(form->tvItemsList->Node(0));
    FirstParam = "  \t ";
    Settings.LastScanTime = 0;
    form->FirstActivation = true;
    form->FormActivate();
    EXPECT_FALSE(form->FirstActivation);
    EXPECT_EQ(Settings.LastScanTime, 0.0);
    EXPECT_EQ(form->DataNotebook->PageIndex(), 0);

    FirstParam = "-Scan";
    form->FirstActivation = true;
    const DWORD start = GetTickCount();
    form->FormActivate();
    EXPECT_GE(GetTickCount() - start, 1000u);
    EXPECT_GT(Settings.LastScanTime, 0.0);
    EXPECT_EQ(form->DataNotebook->PageIndex(), 1);   // the Result page after the scan

    form->ScanBtnClick(form->ScanBtn);
    Settings.LastScanTime = 0;
    form->FormActivate();   // a later activation does nothing
    EXPECT_EQ(Settings.LastScanTime, 0.0);
    EXPECT_EQ(form->DataNotebook->PageIndex(), 0);
}

TEST(MainFormBrowser, OpensTheAddressOrNamesTheFailedCall)
{
    try {
        OpenUrlInBrowser("about:blank");
    } catch (const ui::Exception &e) {
        // the failed call, then the code as eight hex digits
        const std::string text = e.what();
        const size_t at = text.find("Error Code :");
        ASSERT_NE(at, std::string::npos) << text;
        EXPECT_EQ(text.size() - (at + 12), 8u) << text;
        EXPECT_NE(text.find(" failed, "), std::string::npos) << text;
        EXPECT_EQ(text.find_first_not_of("0123456789ABCDEF", at + 12), std::string::npos) << text;
        return;
    }
    // The browser's frame window exists now; close it again.
    HWND frame = nullptr;
    const DWORD start = GetTickCount();
    while ((frame = FindWindowA("IEFrame", nullptr)) == nullptr && GetTickCount() - start < 10000) {
        PumpMessages();
        Sleep(50);
    }
    ASSERT_NE(frame, nullptr);
    PostMessageA(frame, WM_CLOSE, 0, 0);
}
