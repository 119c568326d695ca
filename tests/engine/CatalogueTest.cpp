#include <gtest/gtest.h>
#include "engine/CatalogueUnit.h"
#include "engine/ExcludeItemUnit.h"
#include "engine/ResultContentUnit.h"

namespace {

struct CatalogueLists : ::testing::Test {
    void SetUp() override { CreateScanItemLists(); }
    void TearDown() override { FreeScanItemLists(); }
};

TEST_F(CatalogueLists, HoldFiftyItemsInFourCategories)
{
    const size_t sizes[4] = {9, 16, 15, 10};
    size_t total = 0;
    for (int c = 0; c < 4; ++c) {
        ASSERT_NE(ScanItemLists[c], nullptr);
        EXPECT_EQ(ScanItemLists[c]->size(), sizes[c]);
        total += ScanItemLists[c]->size();
        for (size_t i = 0; i < ScanItemLists[c]->size(); ++i) {
            const TSectionRec *r = (*ScanItemLists[c])[i];
            EXPECT_EQ(r->Category, c);
            EXPECT_EQ(r->ItemNo, static_cast<int>(i) + 1);
            EXPECT_EQ(r->Count, 0);
            EXPECT_STREQ(r->CategoryCaption.c_str(), CategoryCaption(c));
            bool favorites = c == 0 && r->ItemNo == 4;
            EXPECT_EQ(r->Checked, favorites ? 0 : 1) << r->ItemCaption;
        }
    }
    EXPECT_EQ(total, 50u);
}

TEST_F(CatalogueLists, KeepTheStoredCaptions)
{
    EXPECT_EQ((*ScanItemLists[0])[3]->ItemCaption, "Favorites");
    EXPECT_EQ((*ScanItemLists[1])[2]->ItemCaption, "Media Player History_List");
    EXPECT_EQ((*ScanItemLists[1])[9]->ItemCaption, "Microsoft MSN_Messenger");
    EXPECT_EQ((*ScanItemLists[2])[6]->ItemCaption, "Windows Explorer Open With History");
    EXPECT_EQ((*ScanItemLists[2])[14]->ItemCaption, "RecycleBin");
    EXPECT_EQ((*ScanItemLists[3])[0]->ItemCaption, "Real DownLoad");
    EXPECT_EQ((*ScanItemLists[3])[9]->ItemCaption, "NetscapeCache");
    EXPECT_STREQ(CategoryCaption(3), "Internet Software");
}

TEST_F(CatalogueLists, FillWithUnknownCategoryAddsNothing)
{
    FillScanItemList(4);
    FillScanItemList(-1);
    EXPECT_EQ(ScanItemLists[0]->size() + ScanItemLists[1]->size() + ScanItemLists[2]->size() +
                  ScanItemLists[3]->size(),
              50u);
    // A second fill appends: the routine never clears first.
    FillScanItemList(0);
    EXPECT_EQ(ScanItemLists[0]->size(), 18u);
    EXPECT_EQ((*ScanItemLists[0])[9]->ItemNo, 1);
}

TEST(ResultCollection, AddReturnsIndexAndStartsEmpty)
{
    TResultContents rc;
    EXPECT_EQ(rc.AddItem(), 0);
    EXPECT_EQ(rc.AddItem(), 1);
    EXPECT_EQ(rc.AddItem(), 2);
    const TContent &c = rc.GetItem(2)->Content;
    EXPECT_EQ(c.Checked, 0);
    EXPECT_EQ(c.Removed, 0);
    EXPECT_EQ(c.Kind, 0);
    EXPECT_EQ(c.Size, 0);
    EXPECT_TRUE(c.Storage.empty() && c.Entry.empty() && c.Location.empty() && c.NetscapeCacheFile.empty());
}

TEST(ResultCollection, DeleteClosesUp)
{
    TResultContents rc;
    for (int i = 0; i < 3; ++i) rc.GetItem(rc.AddItem())->Content.Entry = "e" + std::to_string(i);
    rc.Delete(0);
    ASSERT_EQ(rc.Count(), 2);
    EXPECT_EQ(rc.GetItem(0)->Content.Entry, "e1");
    EXPECT_EQ(rc.GetItem(1)->Content.Entry, "e2");
    EXPECT_THROW(rc.GetItem(2), std::out_of_range);
    rc.Clear();
    EXPECT_EQ(rc.Count(), 0);
    EXPECT_EQ(rc.AddItem(), 0);
}

TEST(ExcludeCollection, SameIndexRules)
{
    TExcludeContents ex;
    EXPECT_EQ(ex.AddItem(), 0);
    ex.GetItem(0)->Content.ItemName = "Paint";
    EXPECT_EQ(ex.AddItem(), 1);
    EXPECT_TRUE(ex.GetItem(1)->Content.ItemName.empty());
    ex.Delete(0);
    EXPECT_EQ(ex.Count(), 1);
    EXPECT_TRUE(ex.GetItem(0)->Content.ItemName.empty());
}

}  // namespace
