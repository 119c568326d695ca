// The "Exclude" command of the result list on the real main window: the row's exclusion reaches the
// file, the row and its result item go (so no clean reaches the trace), the other rows keep naming
// their own items, and a file that cannot be written is reported.
#include <gtest/gtest.h>
#include <windows.h>
#include "MainWindowFixture.h"
#include "ResultPageDriver.h"
#include "TestSupport.h"
#include "app/DMUnit.h"
#include "app/DMUnitExclude.h"
#include "app/ResultItemUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "engine/CatalogueUnit.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/TreeView.h"

using namespace qmtest;
using namespace resulttest;

namespace {

const char *const PaintKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List";
constexpr int PaintNode = 12;

class ExcludeCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = ExclusionFilePath();
        hadFile = FileExists(path);
        if (hadFile) saved = ReadFileBytes(path);
        DeleteFileA(path.c_str());
        form = OpenMainWindow();
    }
    void TearDown() override
    {
        CloseMainWindow();
        DeleteFileA(path.c_str());
        if (hadFile) WriteFileBytes(path, saved);
    }
    void Trace(int item, const char *caption, int kind, const std::string &url)
    {
        TContent &t = ResultContents[0]->GetItem(ResultContents[0]->AddItem())->Content;
        t.CleanCaption = caption;
        t.Kind = kind;
        t.ItemName = (*ScanItemLists[0])[static_cast<size_t>(item - 1)]->ItemCaption;
        t.Entry = url;
        t.Location = "C:\\cache\\" + std::to_string(ResultContents[0]->Count());
        (*ScanItemLists[0])[static_cast<size_t>(item - 1)]->Count++;
    }
    int RowOf(const std::string &entry)
    {
        for (int i = 0; i < ResultRows.Count(); ++i)
            if (ResultRows.Items(i)->Entry() == entry) return i;
        return -1;
    }
    // Excludes the selected row, answering any message box; gives the box's text.
    std::string ExcludeRow(int row)
    {
        std::string shown;
        ModalAnswerer answer("#32770", [&](HWND box) {
            shown += MessageBoxText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        form->ResultListView->SetSelected(row);
        DM->Exclude1Click();
        PumpMessages();
        return shown;
    }
    std::string path, saved;
    bool hadFile = false;
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, "Software\\Quillmoor"};
    TfrmMainForm *form = nullptr;
};

TEST_F(ExcludeCommand, CookieRowIsExcludedByItsUrlAndLeavesTheList)
{
    Trace(1, "Clean IE Cache", tkIECacheEntry, "http://a/");
    Trace(3, "Clean IE Cookies", tkIECookie, "Cookie:u@b/");
    Trace(1, "Clean IE Cache", tkIECacheEntry, "http://c/");
    form->SumItemCounts();
    form->BuildResultTree();
    PumpMessages();
    const int rows = ResultRows.Count();
    ASSERT_EQ(rows, 3);
    const int cookieRow = RowOf("Cookie:u@b/");
    ASSERT_GE(cookieRow, 0);
    const int32_t cookiesBefore = (*ScanItemLists[0])[2]->Count;

    form->ResultListView->SetSelected(cookieRow);
    DM->Exclude1Click();

    EXPECT_EQ(ReadFileBytes(path), "Cookies|Cookie:u@b/!<\r\n");
    ASSERT_EQ(ResultRows.Count(), rows - 1);
    EXPECT_EQ(form->ResultListView->ItemCount(), rows - 1);
    EXPECT_EQ(form->abResultCount->Caption(), std::to_string(rows - 1));
    EXPECT_EQ(RowOf("Cookie:u@b/"), -1);
    EXPECT_EQ(ResultContents[0]->Count(), 2);
    EXPECT_EQ((*ScanItemLists[0])[2]->Count, cookiesBefore - 1);
    // The rows left still show their own items.
    EXPECT_EQ(RowOf("http://a/"), 0);
    EXPECT_EQ(RowOf("http://c/"), 1);
}

TEST_F(ExcludeCommand, NoSelectedRowDoesNothing)
{
    Trace(1, "Clean IE Cache", tkIECacheEntry, "http://a/");
    form->SumItemCounts();
    form->BuildResultTree();
    PumpMessages();
    form->ResultListView->SetSelected(-1);
    DM->Exclude1Click();
    EXPECT_EQ(ResultRows.Count(), 1);
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(ExcludeContents->Count(), 0);
}

TEST_F(ExcludeCommand, AnExcludedRegistryRowStaysOutOfTheClean)
{
    RegKeyGuard paint{HKEY_CURRENT_USER, PaintKey};
    // File3 holds what File1 holds: the exclusion made from File1's row keeps it out as well.
    for (const char *v : {"File1", "File2", "File3"})
        ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, PaintKey, v,
                                 std::string("C:\\pics\\") + (v[4] == '3' ? "File1" : v) + ".bmp"));
    ui::TTreeView *items = form->tvItemsList;
    for (int i = 0; i < items->NodeCount(); ++i) items->Node(i)->SetStateIndex(7);
    items->Node(PaintNode)->SetStateIndex(6);
    form->ScanNowBtnClick(form->ScanNowBtn);
    PumpMessages();
    ASSERT_EQ(ResultRows.Count(), 3);
    const int32_t paintCount = static_cast<TSectionRec *>(items->Node(PaintNode)->Data)->Count;
    const int file1 = RowOf("File1");
    ASSERT_GE(file1, 0);
    EXPECT_EQ(ExcludeRow(file1), "");
    ASSERT_EQ(ResultRows.Count(), 1);
    EXPECT_EQ(RowOf("File3"), -1);
    EXPECT_EQ(form->abResultCount->Caption(), "1");
    EXPECT_EQ(static_cast<TSectionRec *>(items->Node(PaintNode)->Data)->Count, paintCount - 2);

    // Everything ticked again and the list refilled, as a tick on the root does: the row stays away.
    form->SetResultItemsChecked(tcWindowsSoftware, 0, true);
    form->ResultTreeViewChange(form->ResultTreeView, form->ResultTreeView->Node(0));
    ASSERT_EQ(ResultRows.Count(), 1);
    EXPECT_EQ(RowOf("File1"), -1);

    ModalAnswerer done("#32770", [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
    form->CleanBtnClick(form->CleanBtn);
    PumpMessages();
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, PaintKey, "File1"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, PaintKey, "File3"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, PaintKey, "File2"));
    EXPECT_EQ(RowOf("File1"), -1);
    form->FinishBtnClick(form->FinishBtn);
    PumpMessages();
    EXPECT_EQ(static_cast<TSectionRec *>(items->Node(PaintNode)->Data)->Count, 0);
}

TEST_F(ExcludeCommand, WhatCannotBeStoredOrSavedIsShown)
{
    Trace(1, "Clean IE Cache", tkIECacheEntry, "http://a/");
    Trace(1, "Clean IE Cache", tkIECacheEntry, "http://b/");
    form->SumItemCounts();
    form->BuildResultTree();
    PumpMessages();
    // A row whose fields would not read back is refused and stays.
    const int refused = RowOf("http://a/");
    ASSERT_GE(refused, 0);
    const TResultItem *row = ResultRows.Items(refused);
    TContent &c = ResultContents[row->Category]->GetItem(row->ContentIndex)->Content;
    c.ItemName = "Run History";
    c.Location = "HKEY_CURRENT_USER\\R";
    c.Data = "data!<";
    EXPECT_NE(ExcludeRow(refused).find("cannot be stored"), std::string::npos);
    EXPECT_EQ(ResultRows.Count(), 2);
    EXPECT_EQ(ExcludeContents->Count(), 0);

    // A file that cannot be written: the row is excluded for this session, and the user is told.
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    const std::string shown = ExcludeRow(RowOf("http://b/"));
    RemoveDirectoryA(path.c_str());
    EXPECT_NE(shown.find("could not be saved"), std::string::npos);
    EXPECT_EQ(RowOf("http://b/"), -1);
    EXPECT_EQ(ExcludeContents->Count(), 1);
}

}  // namespace
