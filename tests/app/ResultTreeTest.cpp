// The result tree on real tree views: its build from the scan tree, ticks, lowered counts, recount.
#include <gtest/gtest.h>
#include <memory>
#include <vector>
#include "../ui/UiTestSupport.h"
#include "app/ResultItemUnit.h"
#include "app/ResultTreeUnit.h"
#include "engine/CatalogueUnit.h"
#include "ui/TreeView.h"

namespace {

TSectionRec *Rec(ui::TTreeNode *n)
{
    return static_cast<TSectionRec *>(n->Data);
}

// A scan tree laid out like the Scan page's (root, four categories, their catalogue items), a result
// tree beside it, and four empty result collections.
struct ResultTrees : ::testing::Test {
    uitest::TestForm form{700, 500};
    ui::TTreeView scan;
    ui::TTreeView result;
    TSectionRec rootRec, catRec[4];
    int changes = 0;
    ui::TTreeNode *changedTo = nullptr;

    void SetUp() override
    {
        CreateScanItemLists();
        for (auto &c : ResultContents) c = new TResultContents;
        scan.Create(&form, 0, 0, 340, 480);
        result.Create(&form, 350, 0, 340, 480);
        result.OnChange = [this](ui::TTreeNode *n) {
            ++changes;
            changedTo = n;
        };
        rootRec.CategoryCaption = "My Computer";
        rootRec.Checked = 1;
        ui::TTreeNode *root = scan.AddChild(nullptr, "My Computer", &rootRec);
        for (int c = 0; c < 4; ++c) {
            catRec[c].Category = c;
            catRec[c].CategoryCaption = CategoryCaption(c);
            catRec[c].Checked = 1;
            ui::TTreeNode *cat = scan.AddChild(root, CategoryCaption(c), &catRec[c]);
            for (TSectionRec *item : *ScanItemLists[c]) scan.AddChild(cat, item->ItemCaption, item);
        }
        ASSERT_EQ(scan.NodeCount(), 55);
    }
    void TearDown() override
    {
        result.Clear();
        scan.Clear();
        for (auto &c : ResultContents) {
            delete c;
            c = nullptr;
        }
        FreeScanItemLists();
    }
    TSectionRec *Item(int c, int n) { return (*ScanItemLists[c])[static_cast<size_t>(n - 1)]; }
    void SetCount(int c, int n, int count)
    {
        Item(c, n)->Count = count;
        catRec[c].Count += count;
        rootRec.Count += count;
    }
    TContent &Add(int c, const std::string &caption, int kind = tkRegValueName)
    {
        TContent &x = ResultContents[c]->GetItem(ResultContents[c]->AddItem())->Content;
        x.CleanCaption = caption;
        x.Kind = kind;
        return x;
    }
    std::vector<std::string> Texts()
    {
        std::vector<std::string> v;
        for (int i = 0; i < result.NodeCount(); ++i) v.push_back(result.Node(i)->Text());
        return v;
    }
};

TEST_F(ResultTrees, CopiesOnlyNodesWithCountsSharingTheRecords)
{
    SetCount(2, 3, 4);   // Recent Files
    SetCount(2, 15, 1);  // RecycleBin
    Item(2, 15)->Checked = 0;
    CopyResultTree(&scan, &result);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"My Computer", "Windows System", "Recent Files", "RecycleBin"}));
    ui::TTreeNode *sys = result.Node(1);
    EXPECT_EQ(sys->Level(), 1);
    EXPECT_EQ(sys->ImageIndex(), 3);   // the Windows System picture, as on the scan tree
    EXPECT_EQ(sys->SelectedIndex(), 3);
    EXPECT_EQ(result.Node(0)->ImageIndex(), 0);
    EXPECT_EQ(result.Node(2)->ImageIndex(), 5);
    EXPECT_EQ(result.Node(2)->StateIndex(), 6);
    EXPECT_EQ(result.Node(3)->StateIndex(), 7);
    // The very records of the scan tree.
    EXPECT_EQ(Rec(result.Node(0)), &rootRec);
    EXPECT_EQ(Rec(result.Node(2)), Item(2, 3));
    // The root is chosen, and the change event said so.
    EXPECT_EQ(result.Selected(), result.Node(0));
    EXPECT_GE(changes, 1);
    EXPECT_EQ(changedTo, result.Node(0));
    EXPECT_TRUE(result.Node(0)->Expanded());
    EXPECT_TRUE(sys->Expanded());

    // A second build replaces the first.
    SetCount(0, 1, 2);
    CopyResultTree(&scan, &result);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"My Computer", "Internet Explorer", "Cache", "Windows System",
                                                 "Recent Files", "RecycleBin"}));
    EXPECT_EQ(result.Node(1)->ImageIndex(), 1);
}

TEST_F(ResultTrees, EmptyScanTreeGivesEmptyResultTree)
{
    scan.Clear();
    CopyResultTree(&scan, &result);
    EXPECT_EQ(result.NodeCount(), 0);
    EXPECT_EQ(changes, 0);
}

TEST_F(ResultTrees, RootTickReachesEveryShownCategoryAndNodes)
{
    SetCount(0, 1, 1);
    SetCount(3, 6, 1);
    Add(0, "Clean IE Cache").Checked = 1;
    Add(1, "Clean Paint History").Checked = 1;   // a category without a node stays as it is
    Add(3, "c", tkFirefoxCookie).Checked = 1;
    CopyResultTree(&scan, &result);
    ui::TTreeNode *root = result.Node(0);
    ASSERT_EQ(root->StateIndex(), 6);
    EXPECT_FALSE(ToggleResultNode(&result, root));
    for (int i = 0; i < result.NodeCount(); ++i) {
        EXPECT_EQ(result.Node(i)->StateIndex(), 7) << i;
        EXPECT_EQ(Rec(result.Node(i))->Checked, 0) << i;
    }
    EXPECT_EQ(ResultContents[0]->GetItem(0)->Content.Checked, 0);
    EXPECT_EQ(ResultContents[3]->GetItem(0)->Content.Checked, 0);
    EXPECT_EQ(ResultContents[1]->GetItem(0)->Content.Checked, 1);
    EXPECT_TRUE(ToggleResultNode(&result, root));
    EXPECT_EQ(ResultContents[0]->GetItem(0)->Content.Checked, 1);
    EXPECT_EQ(Rec(result.Node(2))->Checked, 1);
}

TEST_F(ResultTrees, CategoryTickReachesItemsWithoutNodes)
{
    SetCount(1, 1, 1);
    SetCount(1, 2, 1);
    Add(1, "Clean Paint History");
    Add(1, "Clean WinZip History");   // its item has no node: count 0
    Add(1, "Clean WordPad History");
    Add(2, "Clean RunMRU");
    for (int i = 0; i < 3; ++i) ResultContents[1]->GetItem(i)->Content.Checked = 0;
    Item(1, 1)->Checked = 0;
    Item(1, 2)->Checked = 1;
    CopyResultTree(&scan, &result);
    ui::TTreeNode *cat = result.Node(1);
    cat->SetStateIndex(7);
    EXPECT_TRUE(ToggleResultNode(&result, cat));
    EXPECT_EQ(cat->StateIndex(), 6);
    EXPECT_EQ(result.Node(2)->StateIndex(), 6);
    EXPECT_EQ(result.Node(3)->StateIndex(), 6);
    EXPECT_EQ(Item(1, 1)->Checked, 1);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ResultContents[1]->GetItem(i)->Content.Checked, 1) << i;
    EXPECT_EQ(ResultContents[2]->GetItem(0)->Content.Checked, 0);
    // The root keeps its image.
    EXPECT_EQ(result.Node(0)->StateIndex(), 6);
}

TEST_F(ResultTrees, ItemTickTouchesOnlyItsOwnTraces)
{
    SetCount(3, 4, 1);
    SetCount(3, 5, 2);
    Add(3, "Clean Kazaa History", tkRegValueData).Checked = 1;
    Add(3, "Clean Kazaa History", tkFirefoxHistory).Checked = 1;
    Add(3, "Firefox", tkFirefoxHistory).Checked = 1;
    Add(3, "Netscape", tkNetscapeHistory).Checked = 1;
    CopyResultTree(&scan, &result);
    ui::TTreeNode *firefox = result.Node(3);
    ASSERT_EQ(firefox->Text(), "FireFoxHistory");
    EXPECT_FALSE(ToggleResultNode(&result, firefox));
    std::string s;
    for (int i = 0; i < 4; ++i) s += ResultContents[3]->GetItem(i)->Content.Checked ? '1' : '0';
    EXPECT_EQ(s, "1001");
    EXPECT_EQ(result.Node(2)->StateIndex(), 6);   // the sibling
    EXPECT_EQ(result.Node(1)->StateIndex(), 6);   // the category
    EXPECT_EQ(firefox->StateIndex(), 7);
}

TEST_F(ResultTrees, ExclusionLowersCountsNeverBelowZero)
{
    SetCount(2, 2, 2);   // Windows Send To
    SetCount(2, 3, 1);   // Recent Files
    CopyResultTree(&scan, &result);
    // Root chosen: the root, the first item named like the row and its category.
    LowerResultCounts(&result, result.Node(0), "Recent Files");
    EXPECT_EQ(rootRec.Count, 2);
    EXPECT_EQ(Item(2, 3)->Count, 0);
    EXPECT_EQ(catRec[2].Count, 2);
    LowerResultCounts(&result, result.Node(0), "Recent Files");
    EXPECT_EQ(Item(2, 3)->Count, 0);
    EXPECT_EQ(catRec[2].Count, 1);
    // Category chosen with a name no child has: only the category and the root.
    LowerResultCounts(&result, result.Node(1), "Nothing");
    EXPECT_EQ(catRec[2].Count, 0);
    EXPECT_EQ(Item(2, 2)->Count, 2);
    EXPECT_EQ(rootRec.Count, 0);
    // Item chosen: no comparison.
    LowerResultCounts(&result, result.Node(2), "");
    EXPECT_EQ(Item(2, 2)->Count, 1);
    EXPECT_EQ(catRec[2].Count, 0);
    EXPECT_EQ(rootRec.Count, 0);
    LowerResultCounts(&result, nullptr, "x");
}

TEST_F(ResultTrees, RecountFollowsWhatIsLeft)
{
    SetCount(0, 1, 5);
    SetCount(3, 5, 3);
    rootRec.Count = 99;
    Add(0, "Clean IE Cache");
    Add(0, "Clean IE Cache");
    Add(0, "Clean IE Cookies");
    Add(3, "Clean Kazaa History", tkFirefoxHistory);
    Add(3, "Clean Kazaa History", tkRegValueData);
    RecountScanTree(&scan);
    EXPECT_EQ(Item(0, 1)->Count, 2);
    EXPECT_EQ(Item(0, 3)->Count, 1);
    EXPECT_EQ(catRec[0].Count, 3);
    // The Kind-4 trace counts for FireFoxHistory; Kazaa counts both by caption.
    EXPECT_EQ(Item(3, 5)->Count, 1);
    EXPECT_EQ(Item(3, 4)->Count, 2);
    EXPECT_EQ(catRec[3].Count, 3);
    EXPECT_EQ(catRec[1].Count, 0);
    EXPECT_EQ(rootRec.Count, 6);

    TSectionRec extra = *Item(0, 1);
    extra.Count = 10;
    CountResultItemsFor(0, 1, extra);   // adds, does not reset
    EXPECT_EQ(extra.Count, 12);
    CountResultItemsFor(0, 0, extra);
    EXPECT_EQ(extra.Count, 12);
}

}  // namespace
