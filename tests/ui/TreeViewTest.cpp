#include <gtest/gtest.h>
#include <vector>
#include "ui/TreeView.h"
#include "UiTestSupport.h"

using namespace ui;

namespace {

struct TreeFixture : ::testing::Test {
    uitest::TestForm form;
    TTreeView tree;
    TImageList states;
    void SetUp() override
    {
        tree.Create(&form, 10, 10, 300, 250);
        uitest::FillImageList(states, 16, 16, 8);
    }
};

TEST_F(TreeFixture, NodesKeepDisplayOrderLevelsAndParents)
{
    int data[3] = {1, 2, 3};
    TTreeNode *a = tree.AddChild(nullptr, "a", &data[0]);
    TTreeNode *b = tree.AddChild(nullptr, "b", &data[1]);
    // Children added to the first root later still come before the second root in display order.
    TTreeNode *a1 = tree.AddChild(a, "a1", &data[2]);
    TTreeNode *a1x = tree.AddChild(a1, "a1x", nullptr);
    TTreeNode *a2 = tree.AddChild(a, "a2", nullptr);
    ASSERT_EQ(tree.NodeCount(), 5);
    EXPECT_EQ(a->AbsoluteIndex(), 0);
    EXPECT_EQ(a1->AbsoluteIndex(), 1);
    EXPECT_EQ(a1x->AbsoluteIndex(), 2);
    EXPECT_EQ(a2->AbsoluteIndex(), 3);
    EXPECT_EQ(b->AbsoluteIndex(), 4);
    EXPECT_EQ(tree.Node(2), a1x);
    EXPECT_EQ(tree.Node(5), nullptr);
    EXPECT_EQ(tree.Node(-1), nullptr);
    EXPECT_EQ(a1x->Level(), 2);
    EXPECT_EQ(a1x->Parent(), a1);
    EXPECT_EQ(a->Count(), 2);
    EXPECT_EQ(a->Item(1), a2);
    EXPECT_EQ(a2->Index(), 1);
    EXPECT_EQ(*static_cast<int *>(a1->Data), 3);
    // The control itself holds the text.
    char buf[32] = {};
    TVITEMA it = {};
    it.mask = TVIF_TEXT;
    it.hItem = a1x->ItemId();
    it.pszText = buf;
    it.cchTextMax = sizeof buf;
    SendMessageA(tree.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    EXPECT_STREQ(buf, "a1x");

    tree.Delete(a1);
    EXPECT_EQ(tree.NodeCount(), 3);
    EXPECT_EQ(a2->AbsoluteIndex(), 1);
    EXPECT_EQ(b->AbsoluteIndex(), 2);
    EXPECT_EQ(a->Count(), 1);
    EXPECT_EQ(SendMessageA(tree.Handle(), TVM_GETCOUNT, 0, 0), 3);
    tree.Clear();
    EXPECT_EQ(tree.NodeCount(), 0);
    EXPECT_EQ(tree.Node(0), nullptr);
    EXPECT_EQ(SendMessageA(tree.Handle(), TVM_GETCOUNT, 0, 0), 0);
}

TEST_F(TreeFixture, StateImageIsReadBackAndShownByTheControl)
{
    tree.SetStateImages(&states);
    TTreeNode *n = tree.AddChild(nullptr, "n", nullptr);
    n->SetStateIndex(6);
    EXPECT_EQ(n->StateIndex(), 6);
    UINT st = static_cast<UINT>(SendMessageA(tree.Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(n->ItemId()),
                                             TVIS_STATEIMAGEMASK));
    EXPECT_EQ((st & TVIS_STATEIMAGEMASK) >> 12, 6u);
    n->SetStateIndex(7);
    st = static_cast<UINT>(SendMessageA(tree.Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(n->ItemId()),
                                        TVIS_STATEIMAGEMASK));
    EXPECT_EQ((st & TVIS_STATEIMAGEMASK) >> 12, 7u);
}

TEST_F(TreeFixture, HitTestFindsStateImageTextAndRightOfText)
{
    tree.SetStateImages(&states);
    TTreeNode *root = tree.AddChild(nullptr, "root", nullptr);
    TTreeNode *child = tree.AddChild(root, "child node", nullptr);
    root->SetStateIndex(6);
    child->SetStateIndex(7);
    tree.FullExpand();
    form.Settle();
    RECT text = child->DisplayRect(true);
    ASSERT_GT(text.right, text.left);
    int y = (text.top + text.bottom) / 2;
    // The state picture sits just left of the text.
    UINT onState = tree.GetHitTestInfoAt(text.left - 8, y);
    EXPECT_TRUE(onState & htOnStateIcon) << std::hex << onState;
    EXPECT_TRUE(tree.GetHitTestInfoAt(text.left + 3, y) & htOnLabel);
    EXPECT_TRUE(tree.GetHitTestInfoAt(text.right + 20, y) & htOnRight);
    EXPECT_FALSE(tree.GetHitTestInfoAt(text.right + 20, y) & htOnStateIcon);
    EXPECT_EQ(tree.GetNodeAt(text.left + 3, y), child);
}

TEST_F(TreeFixture, PressOnStateImageSelectsTheNodeBeforeMouseDownRuns)
{
    tree.SetStateImages(&states);
    TTreeNode *root = tree.AddChild(nullptr, "root", nullptr);
    TTreeNode *child = tree.AddChild(root, "child", nullptr);
    root->SetStateIndex(6);
    child->SetStateIndex(6);
    tree.FullExpand();
    tree.SetSelected(root);
    form.Settle();
    std::vector<TTreeNode *> changes;
    tree.OnChange = [&](TTreeNode *n) { changes.push_back(n); };
    TTreeNode *selectedInHandler = nullptr;
    UINT hitInHandler = 0;
    int downs = 0;
    tree.OnMouseDown = [&](TMouseButton b, UINT, int x, int y) {
        ++downs;
        EXPECT_EQ(b, mbLeft);
        selectedInHandler = tree.Selected();
        hitInHandler = tree.GetHitTestInfoAt(x, y);
    };
    RECT text = child->DisplayRect(true);
    uitest::Click(tree.Handle(), text.left - 8, (text.top + text.bottom) / 2);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(selectedInHandler, child);
    EXPECT_TRUE(hitInHandler & htOnStateIcon);
    // The control does not toggle the picture itself: ticks are the handler's business.
    EXPECT_EQ(child->StateIndex(), 6);
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), child);
}

TEST_F(TreeFixture, ChangeEventFollowsSelectionButNotClearing)
{
    TTreeNode *a = tree.AddChild(nullptr, "a", nullptr);
    TTreeNode *b = tree.AddChild(nullptr, "b", nullptr);
    std::vector<TTreeNode *> seen;
    tree.OnChange = [&](TTreeNode *n) { seen.push_back(n); };
    tree.SetSelected(b);
    tree.SetSelected(a);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], b);
    EXPECT_EQ(seen[1], a);
    EXPECT_EQ(tree.Selected(), a);
    EXPECT_TRUE(a->Selected());
    tree.Clear();   // the nodes are gone: no event may hand one out
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(tree.Selected(), nullptr);
}

TEST_F(TreeFixture, CanvasPaintsOnTheTreeOutsidePaint)
{
    tree.AddChild(nullptr, "x", nullptr);
    form.Settle();
    TCanvas *c = tree.Canvas();
    c->SetBrushColor(RGB(0, 0, 255));
    RECT r = {200, 100, 240, 120};
    c->FillRect(r);
    c->SetFont("Arial", 9, true, RGB(255, 0, 0));
    c->SetBrushColor(RGB(0, 255, 0));
    int w = c->TextWidth("888");
    EXPECT_GT(w, 5);
    EXPECT_LT(w, 60);
    c->TextOut(100, 150, "888");
    EXPECT_EQ(uitest::ScreenPixel(tree.Handle(), 220, 110), RGB(0, 0, 255));
    // The text's background is the brush, its glyphs the font colour.
    EXPECT_EQ(uitest::ScreenPixel(tree.Handle(), 100, 150), RGB(0, 255, 0));
    int red = 0;
    for (int x = 100; x < 100 + w; ++x)
        for (int y = 150; y < 165; ++y)
            if (uitest::ScreenPixel(tree.Handle(), x, y) == RGB(255, 0, 0)) ++red;
    EXPECT_GT(red, 5);
    // The size is taken up by the next measurement.
    int small = c->TextWidth("888888");
    c->SetFontSize(20);
    EXPECT_GT(c->TextWidth("888888"), small * 3 / 2);
}

TEST_F(TreeFixture, CustomDrawRunsForEveryNodeAndItsPaintingStays)
{
    TTreeNode *root = tree.AddChild(nullptr, "root", nullptr);
    for (int i = 0; i < 3; ++i) tree.AddChild(root, "item", nullptr);
    tree.FullExpand();
    std::vector<TTreeNode *> drawn;
    tree.OnCustomDrawItem = [&](TTreeNode *n, UINT, bool &defaultDraw) {
        drawn.push_back(n);
        TCanvas *c = tree.Canvas();
        RECT row = n->DisplayRect(false);
        RECT band = {200, row.top, 260, row.bottom};
        c->SetBrushColor(RGB(152, 150, 151));
        c->FillRect(band);
        c->SetFontBold(n->Level() == 0);
        EXPECT_TRUE(defaultDraw);
    };
    form.Settle();
    EXPECT_GE(drawn.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(std::find(drawn.begin(), drawn.end(), tree.Node(i)), drawn.end()) << i;
    // The band painted before the default drawing is still on the screen after it.
    RECT row = tree.Node(2)->DisplayRect(false);
    EXPECT_EQ(uitest::ScreenPixel(tree.Handle(), 230, (row.top + row.bottom) / 2), RGB(152, 150, 151));
    // The text is still drawn by the tree.
    RECT text = tree.Node(2)->DisplayRect(true);
    EXPECT_GT(text.right - text.left, 10);
}

}  // namespace
