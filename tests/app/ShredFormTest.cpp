// The shredder page on the real main window: the form made once inside AdvancedPanel, the list
// commands, and the shred with its three message boxes answered as a user would.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include "ResultPageDriver.h"
#include "SettingsPageDialogs.h"
#include "TestSupport.h"
#include "app/DMUnit.h"
#include "app/ImageEx.h"
#include "app/SettingsUnit.h"
#include "app/UnitFileDelete.h"
#include "app/frmMainUnit.h"
#include "engine/PublicFunctionUnit.h"
#include "engine/ResultContentUnit.h"
#include "ui/GroupBox.h"
#include "ui/ListBox.h"
#include "ui/Notebook.h"
#include "ui/Panel.h"

using namespace qmtest;

namespace {

class ShredPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteDefaultSettings();
        DM = new TDM();
        form = frmMainForm = new TfrmMainForm();
        form->Show();
        form->AdvancedBtnClick(form->AdvancedBtn);
        shred = form->AdvancedShredForm;
        PumpMessages();
    }
    void TearDown() override
    {
        delete frmMainForm;
        frmMainForm = nullptr;
        delete DM;
        DM = nullptr;
        PumpMessages();
    }
    std::vector<ShownBox> Shred(std::vector<int> answers)
    {
        ModalAnswerer answer(std::move(answers));
        shred->btnShredClick();
        return answer.Boxes();
    }
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, "Software\\Quillmoor"};
    TempDir dir;
    TfrmMainForm *form = nullptr;
    TAdvancedShredForm *shred = nullptr;
};

TEST_F(ShredPage, FormIsMadeOnceInsideTheAdvancedPanelAndKeepsItsList)
{
    ASSERT_NE(shred, nullptr);
    EXPECT_EQ(GetParent(shred->Handle()), form->AdvancedPanel->Handle());
    EXPECT_EQ(form->DataNotebook->PageIndex(), 4);
    EXPECT_EQ(shred->RG->ItemIndex(), 0);
    shred->listAdd->AddItem("C:\\a.txt");
    form->ScanBtnClick(form->ScanBtn);
    form->AdvancedBtnClick(form->AdvancedBtn);
    EXPECT_EQ(form->AdvancedShredForm, shred);
    EXPECT_EQ(shred->listAdd->Count(), 1);
}

TEST_F(ShredPage, EmptyListWarnsAndAsksNothing)
{
    std::vector<ShownBox> boxes = Shred({IDOK});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, "Quillmoor");
    EXPECT_EQ(boxes[0].text, "You haven't added the files you want to deleted to the list!");
    EXPECT_TRUE(boxes[0].icon);
    EXPECT_FALSE(boxes[0].yesNo);
}

TEST_F(ShredPage, AnsweringNoChangesNothing)
{
    std::string f = dir / "keep.txt";
    WriteFileBytes(f, "keep");
    shred->listAdd->AddItem(f);
    std::vector<ShownBox> boxes = Shred({IDNO});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].yesNo);
    EXPECT_EQ(boxes[0].text.find("The selected file will be permanently deleted! Do you want to continue?"), 0u);
    EXPECT_NE(boxes[0].text.find("Important: This action is immediate and is NOT reversible!"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(f), "keep");
    EXPECT_EQ(shred->listAdd->Count(), 1);
}

TEST_F(ShredPage, AnsweringYesShredsEveryLineAndEmptiesTheList)
{
    std::string f = dir / "secret.txt";
    const std::string name = "qmshredpage" + std::to_string(GetTickCount());
    std::string folder = dir / name;
    WriteFileBytes(f, "secret");
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteFileBytes(folder + "\\inner.txt", "inner");
    shred->listAdd->AddItem(f);
    shred->listAdd->AddItem(folder);
    shred->listAdd->AddItem(f);   // listed twice: the second line finds nothing
    shred->RG->SetItemIndex(2);
    std::vector<ShownBox> boxes = Shred({IDYES, IDOK});
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, "Quillmoor");
    EXPECT_EQ(boxes[1].text, "File Shreds Completed Successfully!");
    EXPECT_FALSE(boxes[1].icon);
    EXPECT_FALSE(FileExists(f));
    EXPECT_FALSE(DirExists(folder));
    EXPECT_EQ(shred->listAdd->Count(), 0);

    // What went to the Recycle Bin (the emptied folder) leaves it again.
    std::string trash = qmtest::WineTrashFolder();
    if (!trash.empty()) {
        DeleteTreeA(trash + "\\files\\" + name);
        DeleteFileA((trash + "\\info\\" + name + ".trashinfo").c_str());
    }
}

TEST_F(ShredPage, WhatCouldNotBeShreddedIsCountedAndStaysListed)
{
    std::string f = dir / "gone.txt";
    const std::string name = "qmshredbusy" + std::to_string(GetTickCount());
    std::string folder = dir / name;
    WriteFileBytes(f, "gone");
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteFileBytes(folder + "\\busy.txt", "busy");
    WriteFileBytes(folder + "\\free.txt", "free");
    HANDLE busy = CreateFileA((folder + "\\busy.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    shred->listAdd->AddItem(f);
    shred->listAdd->AddItem(folder);
    std::vector<ShownBox> boxes = Shred({IDYES, IDOK});
    CloseHandle(busy);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].caption, "Quillmoor");
    EXPECT_EQ(boxes[1].text.find("1 file could not be shredded"), 0u) << boxes[1].text;
    EXPECT_TRUE(boxes[1].icon);
    EXPECT_FALSE(FileExists(f));
    EXPECT_FALSE(FileExists(folder + "\\free.txt"));
    EXPECT_EQ(ReadFileBytes(folder + "\\busy.txt"), "busy");
    ASSERT_EQ(shred->listAdd->Count(), 1);
    EXPECT_EQ(shred->listAdd->Item(0), folder);
}

TEST_F(ShredPage, DriveRootsTheWindowsSystemAndProgramFoldersAndTheirParentsAreRefusedWhenAdded)
{
    char windows[MAX_PATH], system[MAX_PATH], program[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string programFolder = program;
    programFolder.erase(programFolder.rfind('\\'));
    std::string lower = windows;
    CharLowerBuffA(&lower[0], static_cast<DWORD>(lower.size()));
    const std::vector<std::string> refused = {"C:\\", windows, lower + "\\", system, programFolder,
                                              programFolder.substr(0, programFolder.rfind('\\'))};
    ModalAnswerer answer;
    for (const std::string &path : refused) EXPECT_FALSE(shred->AddToShredList(path)) << path;
    for (const std::string &path : {dir.Path(), std::string(windows) + "\\Temp"})
        EXPECT_TRUE(shred->AddToShredList(path)) << path;
    std::vector<ShownBox> boxes = answer.Boxes();
    ASSERT_EQ(boxes.size(), refused.size());
    EXPECT_EQ(boxes[0].text, "C:\\ is the root folder of a drive: it cannot be shredded.");
    EXPECT_EQ(boxes[1].text, std::string(windows) + " is the Windows folder: it cannot be shredded.");
    EXPECT_TRUE(boxes[0].icon);
    ASSERT_EQ(shred->listAdd->Count(), 2);
    EXPECT_EQ(shred->listAdd->Item(0), dir.Path());
}

namespace {

// Handles the clicks a user could make while a shred runs, inside the shred's own message pump.
struct WhileShredding {
    TfrmMainForm *form = nullptr;
    TAdvancedShredForm *shred = nullptr;
    bool ran = false;
    uint8_t state = 0;
    int page = -1;
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        auto *self = reinterpret_cast<WhileShredding *>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
        if (msg == WM_APP + 5 && !self->ran) {
            self->ran = true;
            self->state = ScanState;
            self->form->ResultBtnClick(self->form->ResultBtn);
            self->form->ScanNowBtnClick(self->form->ScanNowBtn);
            self->shred->btnShredClick();
            self->page = self->form->DataNotebook->PageIndex();
        }
        return DefWindowProcA(wnd, msg, wParam, lParam);
    }
};

}  // namespace

TEST_F(ShredPage, PageButtonsScanNowAndShredWaitForARunningShred)
{
    const std::string name = "qmshredwait" + std::to_string(GetTickCount());
    std::string folder = dir / name;
    CreateDirectoryA(folder.c_str(), nullptr);
    WriteFileBytes(folder + "\\inner.txt", "inner");
    shred->listAdd->AddItem(folder);
    WhileShredding clicks;
    clicks.form = form;
    clicks.shred = shred;
    WNDCLASSA wc{};
    wc.lpfnWndProc = WhileShredding::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QmShredClicks";
    RegisterClassA(&wc);
    HWND probe = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(probe, nullptr);
    SetWindowLongPtrA(probe, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&clicks));
    int questions = 0;
    std::string closing;
    {
        // Answered on this thread: the clicks are posted behind the Yes, so the walk's pump meets them.
        resulttest::ModalAnswerer answer("#32770", [&](HWND box) {
            if (GetDlgItem(box, IDYES)) {
                // Only the first question is answered Yes.
                PostMessageA(box, WM_COMMAND, ++questions == 1 ? IDYES : IDNO, 0);
                PostMessageA(probe, WM_APP + 5, 0, 0);
            } else {
                closing += resulttest::MessageBoxText(box);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        });
        shred->btnShredClick();
        PumpMessages();
    }
    DestroyWindow(probe);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
    ASSERT_TRUE(clicks.ran);
    EXPECT_EQ(clicks.state, 1);
    EXPECT_EQ(clicks.page, 4);   // neither the Result page nor a scan's end opened
    EXPECT_EQ(questions, 1);     // no second shred asked
    EXPECT_EQ(closing, "File Shreds Completed Successfully!|");
    EXPECT_EQ(ScanState, 0);
    EXPECT_FALSE(DirExists(folder));
    std::string trash = qmtest::WineTrashFolder();
    if (!trash.empty()) {
        DeleteTreeA(trash + "\\files\\" + name);
        DeleteFileA((trash + "\\info\\" + name + ".trashinfo").c_str());
    }
}

TEST_F(ShredPage, RemoveCommandsTakeTheSelectedLineOrAll)
{
    shred->listAdd->AddItem("C:\\one");
    shred->listAdd->AddItem("C:\\two");
    shred->listAdd->AddItem("C:\\three");
    shred->listAdd->SetItemIndex(-1);
    shred->RemoveSelectedFilesfromthelist1Click();
    EXPECT_EQ(shred->listAdd->Count(), 3);
    shred->listAdd->SetItemIndex(1);
    shred->RemoveSelectedFilesfromthelist1Click();
    ASSERT_EQ(shred->listAdd->Count(), 2);
    EXPECT_EQ(shred->listAdd->Item(1), "C:\\three");
    shred->RemoveAllFilesfromthelist1Click();
    EXPECT_EQ(shred->listAdd->Count(), 0);
}

TEST_F(ShredPage, AddAllRecycleFilesListsTheDeletedEntriesOfTheSystemDrivesBins)
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string drive(system, 3);
    std::string sid;
    ASSERT_TRUE(GetCurrentUserSid(sid));
    OwnedFolder recycled(drive + "Recycled"), bins(drive + "$Recycle.Bin");
    if (!recycled.Made() || !bins.Made()) GTEST_SKIP() << "a recycled folder belongs to someone else here";
    const std::string bin = bins / sid + "\\";
    ASSERT_TRUE(CreateDirectoryA(bin.c_str(), nullptr));
    for (const char *name : {"INFO2", "desktop.ini", "Dc1.txt", "Dc2.jpg"}) WriteFileBytes(recycled / name, "x");
    for (const char *name : {"$RAB12CD.txt", "$IAB12CD.txt", "DESKTOP.INI"}) WriteFileBytes(bin + name, "x");
    char cwd[MAX_PATH] = {0};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    shred->listAdd->AddItem("C:\\before");
    shred->AddAllRecycleFile1Click();
    SetCurrentDirectoryA(cwd);   // the listing enters each folder
    std::vector<std::string> lines = shred->Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "C:\\before");
    std::sort(lines.begin() + 1, lines.end());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              (std::vector<std::string>{bin + "$RAB12CD.txt", recycled / "Dc1.txt", recycled / "Dc2.jpg"}));
}

TEST_F(ShredPage, CancelledFolderPickerAddsNothing)
{
    {
        ModalAnswerer cancel({IDCANCEL});
        shred->BitBtn1Click();
        EXPECT_EQ(cancel.Boxes().size(), 1u);   // the picker came up and was cancelled
    }
    EXPECT_EQ(shred->listAdd->Count(), 0);
}

TEST_F(ShredPage, ShredButtonSwapsItsPictureUnderTheMouse)
{
    EXPECT_EQ(shred->btnShred->ListImageIndex(), 16);
    shred->btnShredMouseEnter();
    EXPECT_EQ(shred->btnShred->ListImageIndex(), 17);
    EXPECT_EQ(shred->btnShred->ListImages(), DM->ImageList1);
    shred->btnShredMouseLeave();
    EXPECT_EQ(shred->btnShred->ListImageIndex(), 16);
}

}  // namespace
