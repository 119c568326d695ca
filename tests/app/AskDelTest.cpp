// The delete-mode dialog: its layout, "&Go" and the selection, the tick kept in the registry, and
// the question before a clean as the main window asks it.
#include <gtest/gtest.h>
#include <windows.h>
#include "ResultPageDriver.h"
#include "TestSupport.h"
#include "app/AskDelUnit.h"
#include "app/DMUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/Label.h"

using namespace qmtest;
using namespace resulttest;

namespace {

const char *const MachineSettings = "Software\\Quillmoor";

// The stored "ErasAskWhenDel", or -1 when it is missing.
long StoredAskWhenDel()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, MachineSettings, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD v = 0, size = sizeof v, type = 0;
    LONG rc = RegQueryValueExA(key, "ErasAskWhenDel", nullptr, &type, reinterpret_cast<BYTE *>(&v), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long>(v) : -1;
}

struct AskDelDialog : ::testing::Test {
    void SetUp() override { Settings = TMyRegistryInfo(); }
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, MachineSettings};
};

TEST_F(AskDelDialog, LayoutAndItsChoices)
{
    TAskDelForm dialog;
    RECT rc;
    GetClientRect(dialog.Handle(), &rc);
    EXPECT_EQ(rc.right, 368);
    EXPECT_EQ(rc.bottom, 116);
    EXPECT_EQ(dialog.Text(), "Quillmoor");
    EXPECT_EQ(dialog.Label2->Caption(), "When erasing:");
    ASSERT_EQ(dialog.cbEras->Count(), 4);
    EXPECT_EQ(dialog.cbEras->Item(0), "Delete files without overwriting");
    EXPECT_EQ(dialog.cbEras->Item(1), "Overwrite once (Quick)");
    EXPECT_EQ(dialog.cbEras->Item(2), "Overwrite three times (Safe)");
    EXPECT_EQ(dialog.cbEras->Item(3), "Overwrite seven times (Thorough)");
    EXPECT_EQ(dialog.cbEras->ItemIndex(), 0);
    EXPECT_EQ(dialog.GoButton->Text(), "&Go");
    EXPECT_EQ(dialog.GoButton->ModalResult, IDOK);
    EXPECT_EQ(dialog.cbAskWhenDel->Text(), "Always ask when delete");
    EXPECT_FALSE(dialog.cbAskWhenDel->Checked());
    // Making the dialog writes nothing.
    EXPECT_EQ(StoredAskWhenDel(), -1);
}

TEST_F(AskDelDialog, GoNeedsASelectedMode)
{
    TAskDelForm dialog;
    dialog.cbEras->SetItemIndex(-1);
    dialog.cbErasChange(dialog.cbEras);
    EXPECT_FALSE(dialog.GoButton->Enabled());
    dialog.cbEras->SetItemIndex(7);   // beyond the list: nothing selected
    dialog.cbErasChange(dialog.cbEras);
    EXPECT_FALSE(dialog.GoButton->Enabled());
    dialog.cbEras->SetItemIndex(3);
    dialog.cbErasChange(dialog.cbEras);
    EXPECT_TRUE(dialog.GoButton->Enabled());
}

TEST_F(AskDelDialog, EveryTickChangeIsStoredAtOnce)
{
    TAskDelForm dialog;
    dialog.cbAskWhenDel->SetChecked(true);
    EXPECT_TRUE(Settings.ErasAskWhenDel);
    EXPECT_EQ(StoredAskWhenDel(), 1);
    // A click by the user.
    SendMessageA(dialog.cbAskWhenDel->Handle(), BM_CLICK, 0, 0);
    PumpMessages();
    EXPECT_FALSE(Settings.ErasAskWhenDel);
    EXPECT_EQ(StoredAskWhenDel(), 0);
}

// The question as the main window asks it before a clean.
class AskDeleteMode : public ::testing::Test {
protected:
    void SetUp() override
    {
        Settings = TMyRegistryInfo();   // nothing of an earlier test's settings carries over
        WriteDefaultSettings();
        DM = new TDM();
        form = frmMainForm = new TfrmMainForm();
    }
    void TearDown() override
    {
        delete frmMainForm;
        frmMainForm = nullptr;
        delete DM;
        DM = nullptr;
        PumpMessages();
    }
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, MachineSettings};
    TfrmMainForm *form = nullptr;
};

TEST_F(AskDeleteMode, GoTakesTheChosenModeForTheRun)
{
    Settings.ErasAskWhenDel = true;
    Settings.ErasValue = 1;
    LRESULT shownMode = -1, shownTick = -1;
    ModalAnswerer answer("TAskDelForm", [&](HWND dlg) {
        HWND combo = FindChild(dlg, "ComboBox");
        HWND tick = FindChild(dlg, "Button", "Always ask when delete");
        shownMode = SendMessageA(combo, CB_GETCURSEL, 0, 0);
        shownTick = SendMessageA(tick, BM_GETCHECK, 0, 0);
        SendMessageA(combo, CB_SETCURSEL, 3, 0);
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        SendMessageA(FindChild(dlg, "Button", "&Go"), BM_CLICK, 0, 0);
    });
    form->AskDeleteMode();
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_EQ(shownMode, 1);
    EXPECT_EQ(shownTick, BST_CHECKED);
    EXPECT_EQ(Settings.ErasValue, 3);
    EXPECT_TRUE(Settings.ErasAskWhenDel);
    EXPECT_EQ(StoredAskWhenDel(), 1);
}

TEST_F(AskDeleteMode, CloseBoxKeepsTheModeAndAnUntickStopsLaterQuestions)
{
    Settings.ErasAskWhenDel = true;
    Settings.ErasValue = 2;
    {
        ModalAnswerer answer("TAskDelForm", [&](HWND dlg) {
            HWND combo = FindChild(dlg, "ComboBox");
            SendMessageA(combo, CB_SETCURSEL, 0, 0);
            SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(combo));
            SendMessageA(FindChild(dlg, "Button", "Always ask when delete"), BM_CLICK, 0, 0);
            PostMessageA(dlg, WM_CLOSE, 0, 0);
        });
        form->AskDeleteMode();
        EXPECT_EQ(answer.Answered(), 1);
    }
    EXPECT_EQ(Settings.ErasValue, 2);
    EXPECT_FALSE(Settings.ErasAskWhenDel);
    EXPECT_EQ(StoredAskWhenDel(), 0);

    ModalAnswerer none("TAskDelForm", [](HWND dlg) { PostMessageA(dlg, WM_CLOSE, 0, 0); });
    form->AskDeleteMode();
    EXPECT_EQ(none.Answered(), 0);
}

TEST_F(AskDeleteMode, AnUnknownStoredModeLeavesGoDisabled)
{
    Settings.ErasAskWhenDel = true;
    Settings.ErasValue = 9;
    BOOL goEnabled = TRUE;
    ModalAnswerer answer("TAskDelForm", [&](HWND dlg) {
        goEnabled = IsWindowEnabled(FindChild(dlg, "Button", "&Go"));
        PostMessageA(dlg, WM_CLOSE, 0, 0);
    });
    form->AskDeleteMode();
    EXPECT_EQ(answer.Answered(), 1);
    EXPECT_FALSE(goEnabled);
    EXPECT_EQ(Settings.ErasValue, 9);
}

}  // namespace
