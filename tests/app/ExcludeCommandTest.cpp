// The "Exclude" command of the result list on the real main window: the row's exclusion reaches the
// file, the row and its result item go, and the other rows keep naming their own items.
#include <gtest/gtest.h>
#include <windows.h>
#include "MainWindowFixture.h"
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

namespace {

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

}  // namespace
