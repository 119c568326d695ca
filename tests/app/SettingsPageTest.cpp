// The Settings page on the real main window: the options from and to the registry, the scheduler
// box's controls, and Apply against wine's Task Scheduler.
#include <gtest/gtest.h>
#include <windows.h>
#include "SettingsPageDialogs.h"
#include "MainWindowFixture.h"
#include "TestSupport.h"
#include "app/DMUnit.h"
#include "app/SchedulerUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "engine/ResultContentUnit.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/DateTimePicker.h"
#include "ui/Label.h"
#include "ui/Notebook.h"
#include "ui/SpinEdit.h"

using namespace qmtest;

namespace {

std::string JobPath()
{
    char windir[MAX_PATH];
    GetWindowsDirectoryA(windir, MAX_PATH);
    return std::string(windir) + "\\Tasks\\Quillmoor.job";
}

class SettingsPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ReleaseTaskScheduler();
        DeleteFileA(JobPath().c_str());
        form = OpenMainWindow();
    }
    void TearDown() override
    {
        CloseMainWindow();
        ReleaseTaskScheduler();
        DeleteFileA(JobPath().c_str());
        HKEY run;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_ALL_ACCESS,
                          &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, ProgramFileName().c_str());
            RegCloseKey(run);
        }
    }
    void Open() { form->SettingsBtnClick(form->SettingsBtn); }
    std::vector<ShownBox> Apply()
    {
        ModalAnswerer answer;
        form->SettingsAppleBtnClick(form->SettingsAppleBtn);
        return answer.Boxes();
    }
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, "Software\\Quillmoor"};
    TfrmMainForm *form = nullptr;
};

TEST_F(SettingsPage, OpensWithTheStoredOptionsAndNoJob)
{
    Settings.RunAtStart = true;
    Settings.SelectAll = true;
    Settings.CheckUpdate = false;
    Settings.ErasValue = 2;
    Settings.ErasAskWhenDel = true;
    Open();
    EXPECT_EQ(form->DataNotebook->PageIndex(), 3);
    EXPECT_TRUE(form->ChkRun->Checked());
    EXPECT_TRUE(form->ChkCheckItem->Checked());
    EXPECT_FALSE(form->cbCheckUpdate->Checked());
    EXPECT_EQ(form->cbEras->ItemIndex(), 2);
    EXPECT_EQ(form->cbEras->Text(), "Overwrite three times (Safe)");
    EXPECT_TRUE(form->cbAskDelete->Checked());

    EXPECT_FALSE(form->cbActivateTask->Checked());
    EXPECT_EQ(form->abTaskName->Caption(), "Not Schedule Task");
    EXPECT_EQ(form->SpinEditDays->Value(), 1);
    EXPECT_FALSE(form->dtpStartTime->Enabled());
    EXPECT_FALSE(form->SpinEditDays->Enabled());
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_EQ(form->dtpStartTime->Hour(), now.wHour);
}

TEST_F(SettingsPage, ActivateBoxSetsTheTimeFieldsBothWays)
{
    Open();
    form->SpinEditDays->SetEnabled(true);
    form->SpinEditDays->SetValue(9);
    form->cbActivateTask->SetChecked(true);
    SYSTEMTIME now;
    GetLocalTime(&now);
    EXPECT_TRUE(form->dtpStartTime->Enabled());
    EXPECT_TRUE(form->SpinEditDays->Enabled());
    EXPECT_EQ(form->dtpStartTime->Hour(), now.wHour);
    EXPECT_EQ(form->dtpStartTime->Time().wSecond, 0);
    EXPECT_EQ(form->SpinEditDays->Value(), 1);

    form->SpinEditDays->SetValue(9);
    form->cbActivateTask->SetChecked(false);
    EXPECT_EQ(form->dtpStartTime->Hour(), 9);
    EXPECT_EQ(form->dtpStartTime->Minute(), 30);
    EXPECT_FALSE(form->dtpStartTime->Enabled());
    EXPECT_FALSE(form->SpinEditDays->Enabled());
    EXPECT_EQ(form->SpinEditDays->Value(), 1);
}

TEST_F(SettingsPage, ApplyStoresTheOptionsAndCreatesUpdatesAndDeletesTheJob)
{
    Open();
    // every option away from what the start stored
    form->ChkCheckItem->SetChecked(false);
    form->cbCheckUpdate->SetChecked(true);
    form->cbAskDelete->SetChecked(true);
    form->cbEras->SetItemIndex(3);
    form->cbActivateTask->SetChecked(true);
    form->dtpStartTime->SetTime(7, 45);
    form->SpinEditDays->SetValue(4);
    std::vector<ShownBox> boxes = Apply();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Settings has been saved successfully.");

    EXPECT_TRUE(FileExists(JobPath()));
    Settings = TMyRegistryInfo();
    LoadSettings();
    EXPECT_FALSE(Settings.SelectAll);
    EXPECT_TRUE(Settings.CheckUpdate);
    EXPECT_TRUE(Settings.ErasAskWhenDel);
    EXPECT_EQ(Settings.ErasValue, 3);
    // The page shows the stored job after the apply, and again when it is opened anew.
    EXPECT_EQ(form->abTaskName->Caption(), "Quillmoor.job");
    Open();
    EXPECT_TRUE(form->cbActivateTask->Checked());
    EXPECT_EQ(form->dtpStartTime->Hour(), 7);
    EXPECT_EQ(form->dtpStartTime->Minute(), 45);
    EXPECT_EQ(form->SpinEditDays->Value(), 4);
    EXPECT_TRUE(form->dtpStartTime->Enabled());

    // A changed start time goes into the existing job.
    form->dtpStartTime->SetTime(21, 5);
    form->SpinEditDays->SetValue(31);
    Apply();
    Open();
    EXPECT_EQ(form->dtpStartTime->Hour(), 21);
    EXPECT_EQ(form->SpinEditDays->Value(), 31);

    form->cbActivateTask->SetChecked(false);
    boxes = Apply();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Settings has been saved successfully.");
    EXPECT_FALSE(FileExists(JobPath()));
    EXPECT_EQ(form->abTaskName->Caption(), "Not Schedule Task");
    EXPECT_FALSE(form->cbActivateTask->Checked());
}

TEST_F(SettingsPage, ApplyThatCannotWriteTheSettingsKeySaysSoAndNamesIt)
{
    Open();
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, "Software\\Quillmoor", "SelectAll", 0));
    RegKeyAccess readOnly(HKEY_LOCAL_MACHINE, "Software\\Quillmoor", "KR");
    ASSERT_TRUE(readOnly.Applied());
    form->ChkCheckItem->SetChecked(true);
    std::vector<ShownBox> boxes = Apply();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].text, "Settings has been saved successfully.");
    EXPECT_NE(boxes[0].text.find("HKEY_LOCAL_MACHINE\\Software\\Quillmoor"), std::string::npos) << boxes[0].text;
    EXPECT_TRUE(boxes[0].icon);
    LoadSettings();   // the stored option is still the one from before
    EXPECT_FALSE(Settings.SelectAll);
}

TEST_F(SettingsPage, RunAtStartWritesAndRemovesTheRunEntry)
{
    const char *run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    Open();
    form->ChkRun->SetChecked(true);
    Apply();
    EXPECT_TRUE(RegValueExists(HKEY_LOCAL_MACHINE, run, ProgramFileName()));
    form->ChkRun->SetChecked(false);
    Apply();
    EXPECT_FALSE(RegValueExists(HKEY_LOCAL_MACHINE, run, ProgramFileName()));
}

}  // namespace
