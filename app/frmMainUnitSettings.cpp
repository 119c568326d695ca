// The Settings page: the five options of the settings store and the daily scheduled scan.
#include <windows.h>
#include <objbase.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "app/DMUnit.h"
#include "app/ImageEx.h"
#include "app/SchedulerUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "engine/ResultContentUnit.h"
#include "ui/Application.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/DateTimePicker.h"
#include "ui/GroupBox.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Notebook.h"
#include "ui/Panel.h"
#include "ui/SpinEdit.h"

namespace {

constexpr int PageWidth = 475;
constexpr int ActionWidth = 221;
constexpr int ActionHeight = 52;
constexpr int ActionTop = 303;
constexpr int ApplyPicture = 14;   // the Apply button's normal picture in ImageList1

// The scheduler routines' view of this page's controls.
class TSettingsSchedulePage : public TSchedulePage {
public:
    explicit TSettingsSchedulePage(TfrmMainForm *form) : f_(form) {}
    bool ActivateChecked() override { return f_->cbActivateTask->Checked(); }
    void SetActivateChecked(bool checked) override { f_->cbActivateTask->SetChecked(checked); }
    void SetTaskName(const std::string &text) override { f_->abTaskName->SetCaption(text); }
    void StartTime(WORD &hour, WORD &minute) override
    {
        hour = static_cast<WORD>(f_->dtpStartTime->Hour());
        minute = static_cast<WORD>(f_->dtpStartTime->Minute());
    }
    void SetStartTime(WORD hour, WORD minute, WORD second) override { f_->dtpStartTime->SetTime(hour, minute, second); }
    int Days() override { return f_->SpinEditDays->Value(); }
    void SetDays(int days) override { f_->SpinEditDays->SetValue(days); }
    void SetTaskPicture(bool shown) override
    {
        ui::TImage *image = f_->ImageTask;
        if (!shown) {
            image->Picture().Clear();
            image->Invalidate();
            return;
        }
        // The program's icon drawn at (0, 0) on the page's white.
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, image->Width(), image->Height());
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT r = {0, 0, image->Width(), image->Height()};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        DrawIcon(dc, 0, 0, ui::Application->Icon());
        SelectObject(dc, old);
        DeleteDC(dc);
        image->SetPicture(bitmap);
    }
    void ShowMessage(const std::string &text) override { ui::Application->MessageBox(text, MB_OK); }

private:
    TfrmMainForm *f_;
};

ui::TGroupBox *MakeGroup(ui::TWinControl *parent, int left, int top, int width, int height, const char *caption)
{
    auto *g = new ui::TGroupBox;
    g->Create(parent, left, top, width, height, caption);
    g->SetColor(RGB(255, 255, 255));
    return g;
}

ui::TLabel *MakeLabel(ui::TWinControl *parent, int left, int top, const char *caption)
{
    auto *l = new ui::TLabel;
    l->Create(parent, left, top, caption);
    l->SetTransparent(true);
    return l;
}

}  // namespace

void TfrmMainForm::BuildSettingsPage()
{
    ui::TPanel *page = SettingsPage;
    page->SetColor(RGB(255, 255, 255));

    gbStartup = MakeGroup(page, 0, 0, 180, 48, "Startup Options");
    ChkRun = new ui::TCheckBox;
    ChkRun->Create(gbStartup, 10, 20, 165, 18, "Run at windows startup");
    gbRemoval = MakeGroup(page, 186, 0, PageWidth - 186, 48, "Removal Options");
    ChkCheckItem = new ui::TCheckBox;
    ChkCheckItem->Create(gbRemoval, 10, 20, PageWidth - 186 - 16, 18, "Select all items automatically after scan");

    gbCheckUpdate = MakeGroup(page, 0, 52, PageWidth, 44, "Check Update");
    cbCheckUpdate = new ui::TCheckBox;
    cbCheckUpdate->Create(gbCheckUpdate, 10, 18, 320, 18, "Check for Quillmoor update automatically");

    gbDelete = MakeGroup(page, 0, 100, PageWidth, 72, "Delete Options");
    MakeLabel(gbDelete, 10, 24, "When erasing:");
    cbEras = new ui::TComboBox;
    cbEras->Create(gbDelete, 100, 20, 250, 21, 120);
    for (const char *mode : {"Delete files without overwriting", "Overwrite once (Quick)",
                             "Overwrite three times (Safe)", "Overwrite seven times (Thorough)"})
        cbEras->AddItem(mode);
    cbAskDelete = new ui::TCheckBox;
    cbAskDelete->Create(gbDelete, 10, 48, 320, 18, "Choose delete model before deleting");

    gbScheduler = MakeGroup(page, 0, 176, PageWidth, 120, "Scheduler");
    ImageTask = new ui::TImage;
    ImageTask->Create(gbScheduler, 12, 20, 32, 32);
    abTaskName = MakeLabel(gbScheduler, 54, 30, "Task Name");
    MakeLabel(gbScheduler, 12, 66, "Event");
    MakeLabel(gbScheduler, 80, 66, "Schedule Task: Daily");
    MakeLabel(gbScheduler, 12, 94, "Start times");
    dtpStartTime = new ui::TDateTimePicker;
    dtpStartTime->Create(gbScheduler, 80, 90, 90, 22);
    SendMessageA(dtpStartTime->Handle(), DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>("HH:mm"));   // hours and minutes
    dtpStartTime->SetEnabled(false);
    SpinEditDays = new ui::TSpinEdit;
    SpinEditDays->Create(gbScheduler, 186, 90, 50, 22, 1, 31, 1);
    SpinEditDays->SetEnabled(false);
    MakeLabel(gbScheduler, 242, 94, "day(s)");
    cbActivateTask = new ui::TCheckBox;
    cbActivateTask->Create(gbScheduler, 320, 92, 140, 18, "Activate Schedule");
    cbActivateTask->OnClick = [this] { cbActivateTaskClick(); };

    SettingsAppleBtn = new TImageEx;
    SettingsAppleBtn->Create(page, PageWidth - ActionWidth, ActionTop, ActionWidth, ActionHeight);
    SettingsAppleBtn->ShowListImage(DM->ImageList1, ApplyPicture);
    SettingsAppleBtn->OnClick = [this] { SettingsAppleBtnClick(SettingsAppleBtn); };
    SettingsAppleBtn->OnMouseEnter = [this] { ScanNowBtnMouseEnter(SettingsAppleBtn); };
    SettingsAppleBtn->OnMouseLeave = [this] { ScanNowBtnMouseLeave(SettingsAppleBtn); };
}

void TfrmMainForm::CreateTaskScheduler()
{
    // The scheduler is a COM object of this thread; a second CoInitialize only counts up.
    CoInitialize(nullptr);
    ::CreateTaskScheduler();
}

void TfrmMainForm::SettingsBtnClick(void *sender)
{
    if (ScanState == 1) return;
    HighlightPageButton(sender);
    TSettingsSchedulePage schedule(this);
    LoadSchedule(&schedule);
    ChkRun->SetChecked(Settings.RunAtStart);
    ChkCheckItem->SetChecked(Settings.SelectAll);
    cbCheckUpdate->SetChecked(Settings.CheckUpdate);
    cbEras->SetItemIndex(Settings.ErasValue);
    cbAskDelete->SetChecked(Settings.ErasAskWhenDel);
    DataNotebook->SetPageIndex(3);
}

TSettingsPageValues TfrmMainForm::SettingsPageValues()
{
    TSettingsPageValues v;
    v.RunAtStart = ChkRun->Checked();
    v.SelectAll = ChkCheckItem->Checked();
    v.CheckUpdate = cbCheckUpdate->Checked();
    v.ErasValue = cbEras->ItemIndex();
    v.ErasAskWhenDel = cbAskDelete->Checked();
    return v;
}

void TfrmMainForm::SettingsAppleBtnClick(void *)
{
    TSettingsSchedulePage schedule(this);
    bool scheduled = ApplySchedule(&schedule);   // a failed step has told the user already
    TSettingsPageValues values = SettingsPageValues();
    std::vector<std::string> failures;
    bool saved = ::SaveSettings(2, &values, &failures);
    LoadSchedule(&schedule);
    if (!saved) {
        std::string text = "The settings could not be saved in the registry:";
        for (const std::string &failure : failures) text += "\r\n" + failure;
        ui::Application->MessageBox(text, MB_OK | MB_ICONSTOP);
    } else if (scheduled) {
        ui::Application->MessageBox("Settings has been saved successfully.", MB_OK);
    }
}

void TfrmMainForm::cbActivateTaskClick()
{
    if (cbActivateTask->Checked()) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        dtpStartTime->SetEnabled(true);
        dtpStartTime->SetTime(now.wHour, now.wMinute, 0);
        SpinEditDays->SetEnabled(true);
    } else {
        dtpStartTime->SetTime(9, 30, 0);
        dtpStartTime->SetEnabled(false);
        SpinEditDays->SetEnabled(false);
    }
    SpinEditDays->SetValue(1);
}
