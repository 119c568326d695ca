#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include <string>
#include "ui/ListView.h"
#include "UiTestSupport.h"

using namespace ui;

namespace {

struct ListFixture : ::testing::Test {
    uitest::TestForm form{500, 400};
    TListView list;
    TImageList states;
    void Make(bool ownerData)
    {
        list.Create(&form, 10, 10, 460, 300, ownerData);
        list.AddColumn("Type", 140);
        list.AddColumn("Name", 200);
        list.AddColumn("Size", 60, LVCFMT_RIGHT);
        list.SetGridLines(true);
        uitest::FillImageList(states, 16, 16, 8);
        list.SetStateImages(&states);
    }
};

TEST_F(ListFixture, OwnerDataAsksOnlyForTheRowsOnShow)
{
    Make(true);
    std::set<int> asked;
    list.OnData = [&](TListItem &item) {
        asked.insert(item.Index);
        item.Caption = "row " + std::to_string(item.Index);
        item.SubItems = {"name " + std::to_string(item.Index), std::to_string(item.Index * 10)};
        item.StateIndex = item.Index % 2 ? 6 : 7;
    };
    list.SetItemCount(100000);
    form.Settle();
    ASSERT_FALSE(asked.empty());
    int perPage = list.VisibleRowCount();
    ASSERT_GT(perPage, 3);
    EXPECT_EQ(*asked.begin(), 0);
    // The rows on show and at most the one cut by the lower edge.
    EXPECT_LE(*asked.rbegin(), perPage);
    EXPECT_GE(static_cast<int>(asked.size()), perPage);

    asked.clear();
    list.Scroll(40 * 20);
    form.Settle();
    int top = list.TopIndex();
    ASSERT_GT(top, 0);
    ASSERT_FALSE(asked.empty());
    EXPECT_GE(*asked.begin(), top - 1);   // the row cut by the upper edge may show too
    EXPECT_LE(*asked.rbegin(), top + perPage);

    // What the control shows comes from OnData.
    EXPECT_EQ(list.ItemText(top, 0), "row " + std::to_string(top));
    EXPECT_EQ(list.ItemText(top + 1, 1), "name " + std::to_string(top + 1));
    EXPECT_EQ(list.ItemText(3, 2), "30");
    EXPECT_EQ(list.ItemCount(), 100000);
}

TEST_F(ListFixture, CustomDrawColoursOneCell)
{
    Make(true);
    list.OnData = [](TListItem &item) {
        item.Caption = "WWWWWWWW";
        item.SubItems = {"WWWWWWWWWWWW", "WWW"};
    };
    std::set<std::pair<int, int>> cells;
    list.OnCustomDrawSubItem = [&](int item, int sub, UINT, bool &) {
        cells.insert({item, sub});
        list.Canvas()->SetFontColor(item == 1 && sub == 1 ? RGB(0, 128, 0) : RGB(0, 0, 0));
    };
    list.SetItemCount(3);
    form.Settle();
    EXPECT_TRUE(cells.count({0, 0}));
    EXPECT_TRUE(cells.count({2, 2}));
    EXPECT_TRUE(cells.count({1, 1}));
    // Green glyph pixels in the coloured cell only.
    auto countGreen = [&](int item) {
        RECT r = {};
        r.top = 1;
        r.left = LVIR_BOUNDS;
        SendMessageA(list.Handle(), LVM_GETSUBITEMRECT, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&r));
        int n = 0;
        for (int x = r.left; x < r.right; ++x)
            for (int y = r.top; y < r.bottom; ++y)
                if (uitest::ScreenPixel(list.Handle(), x, y) == RGB(0, 128, 0)) ++n;
        return n;
    };
    EXPECT_GT(countGreen(1), 10);
    EXPECT_EQ(countGreen(0), 0);
}

TEST_F(ListFixture, HitTestFindsRowAndStateIcon)
{
    Make(false);
    for (int i = 0; i < 5; ++i) list.AddItem("item " + std::to_string(i), {"a", "b"}, 6, reinterpret_cast<void *>(static_cast<INT_PTR>(i + 1)));
    form.Settle();
    EXPECT_EQ(list.ItemCount(), 5);
    EXPECT_EQ(list.ItemText(2, 0), "item 2");
    EXPECT_EQ(list.ItemText(2, 2), "b");
    EXPECT_EQ(list.ItemStateIndex(2), 6);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(list.ItemData(4)), 5);
    RECT r = {};
    r.left = LVIR_BOUNDS;
    SendMessageA(list.Handle(), LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r));
    int y = (r.top + r.bottom) / 2;
    EXPECT_EQ(list.HitTest(r.left + 8, y), 3);
    EXPECT_TRUE(list.OnStateIcon(r.left + 8, y));
    EXPECT_FALSE(list.OnStateIcon(r.left + 100, y));
    EXPECT_EQ(list.HitTest(r.left + 100, y), 3);
    EXPECT_EQ(list.HitTest(5, 290), -1);

    std::vector<int> selections;
    list.OnSelectItem = [&](int i) { selections.push_back(i); };
    int downAt = -2;
    list.OnMouseDown = [&](TMouseButton, UINT, int x, int yy) { downAt = list.HitTest(x, yy); };
    uitest::Click(list.Handle(), r.left + 100, y);
    EXPECT_EQ(downAt, 3);
    EXPECT_EQ(list.Selected(), 3);
    ASSERT_FALSE(selections.empty());
    EXPECT_EQ(selections.back(), 3);
    // The control does not tick rows by itself.
    uitest::Click(list.Handle(), r.left + 8, y);
    EXPECT_EQ(list.ItemStateIndex(3), 6);

    list.DeleteItem(0);
    EXPECT_EQ(list.ItemText(0, 0), "item 1");
    list.Clear();
    EXPECT_EQ(list.ItemCount(), 0);
}

}  // namespace
