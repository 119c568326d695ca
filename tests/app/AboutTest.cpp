// The About dialog: its layout, the version, the link's colours under the mouse (read from the
// screen too), and opening it modally from the tray menu.
#include <gtest/gtest.h>
#include <windows.h>
#include "MainFormDriver.h"
#include "ResultPageDriver.h"
#include "SettingsPageDialogs.h"
#include "TestSupport.h"
#include "app/AboutUnit.h"
#include "app/DMUnit.h"
#include "app/SettingsUnit.h"
#include "ui/Label.h"

using namespace qmtest;

namespace {

// Pixels of one colour inside a rectangle of the window's client area.
int CountPixels(HWND window, const RECT &r, COLORREF color)
{
    qmdrive::TScreenShot shot(window);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (shot.Pixel(x, y) == color) ++n;
    return n;
}

void MoveMouse(HWND window, int x, int y)
{
    PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    PumpMessages();
}

class AboutDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteDefaultSettings();
        LoadSettings();
    }
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, "Software\\Quillmoor"};
};

TEST_F(AboutDialog, OpensFreshEachTimeWithVersionAndAPlainBlackLink)
{
    for (int round = 0; round < 2; ++round) {
        TAboutForm *about = new TAboutForm;
        char caption[32] = {0};
        GetWindowTextA(about->Handle(), caption, sizeof(caption));
        EXPECT_STREQ(caption, "About");
        RECT rc;
        GetClientRect(about->Handle(), &rc);
        EXPECT_EQ(rc.right, 377);
        EXPECT_EQ(rc.bottom, 218);
        EXPECT_EQ(about->abVersion->Caption(), "v3.7");
        EXPECT_EQ(about->abHomeBtn->Font().Color, 0x000000u);
        EXPECT_FALSE(about->abHomeBtn->Font().Underline);
        EXPECT_EQ(about->abHomeBtn->Left(), 16);
        EXPECT_EQ(about->abHomeBtn->Top(), 120);
        // Something to hover over: the first time the mouse goes over it, it turns blue.
        about->abHomeBtnMouseEnter();
        delete about;
    }
}

TEST_F(AboutDialog, LinkTurnsBlueAndUnderlinedUnderTheMouseAndBackWhenItLeaves)
{
    TAboutForm *about = new TAboutForm;
    about->Show();
    SetWindowPos(about->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    PumpMessages();
    const RECT link = about->abHomeBtn->BoundsRect();
    const COLORREF screenBlue = RGB(0, 0, 255);   // 0xFF0000 in the blue-green-red order

    MoveMouse(about->Handle(), link.left + 3, link.top + about->abHomeBtn->Height() / 2);
    EXPECT_EQ(about->abHomeBtn->Font().Color, 0xFF0000u);
    EXPECT_TRUE(about->abHomeBtn->Font().Underline);
    UpdateWindow(about->Handle());
    EXPECT_GT(CountPixels(about->Handle(), link, screenBlue), 0);

    MoveMouse(about->Handle(), 300, 80);   // off the link, inside the dialog
    EXPECT_EQ(about->abHomeBtn->Font().Color, 0x000000u);
    EXPECT_FALSE(about->abHomeBtn->Font().Underline);
    UpdateWindow(about->Handle());
    EXPECT_EQ(CountPixels(about->Handle(), link, screenBlue), 0);
    EXPECT_GT(CountPixels(about->Handle(), link, RGB(0, 0, 0)), 0);
    delete about;
}

TEST_F(AboutDialog, TrayMenuShowsItModallyAndOkClosesAndFreesIt)
{
    DM = new TDM();
    bool sawVersion = false;
    {
        ModalAnswerer closer({}, "TAboutForm", [&](HWND w) {
            sawVersion = AboutForm && AboutForm->abVersion->Caption() == "v3.7";
            HWND ok = ButtonWithCaption(w, "OK");
            if (ok) PostMessageA(ok, BM_CLICK, 0, 0);
        });
        DM->About1Click();
    }
    EXPECT_TRUE(sawVersion);
    EXPECT_EQ(AboutForm, nullptr);
    EXPECT_EQ(FindWindowA("TAboutForm", nullptr), nullptr);
    delete DM;
    DM = nullptr;
}

TEST_F(AboutDialog, AboutFromTheTrayWhileItIsOpenKeepsTheOneDialog)
{
    DM = new TDM();
    TAboutForm *first = nullptr, *afterSecond = nullptr;
    int dialogs = 0;
    {
        resulttest::ModalAnswerer answer("TAboutForm", [&](HWND w) {
            if (!first) {
                first = AboutForm;
                DM->About1Click();   // the tray's About again, from inside the open dialog
                afterSecond = AboutForm;
            }
            HWND ok = ButtonWithCaption(w, "OK");
            if (ok) PostMessageA(ok, BM_CLICK, 0, 0);
        });
        DM->About1Click();
        dialogs = answer.Answered();
    }
    EXPECT_NE(first, nullptr);
    EXPECT_EQ(afterSecond, first);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(AboutForm, nullptr);
    EXPECT_EQ(FindWindowA("TAboutForm", nullptr), nullptr);
    delete DM;
    DM = nullptr;
}

}  // namespace
