// Node counts on the item tree: the item's count, the sums above it, and the painted numbers.
#include "PublicFunctionFixture.h"
#include "ui/TreeView.h"

namespace {

struct NodeCountTest : qmtest::ScanTest {};

TEST_F(NodeCountTest, ModeZeroSetsTheItemAndResumsCategoryAndRoot)
{
    UpdateNodeCount(13, 2, 0, Tree());   // Windows Software items 2 and 3
    UpdateNodeCount(14, 5, 0, Tree());
    UpdateNodeCount(3, 4, 0, Tree());    // an Internet Explorer item
    UpdateNodeCount(12, 3, 0, Tree());
    EXPECT_EQ(Count(12), 3);
    EXPECT_EQ(Count(11), 10);
    EXPECT_EQ(Count(1), 4);
    EXPECT_EQ(Count(0), 14);
}

TEST_F(NodeCountTest, ModeOneAddsAndMayLower)
{
    for (int i = 0; i < 3; ++i) UpdateNodeCount(30, 1, 1, Tree());
    EXPECT_EQ(Count(30), 3);
    EXPECT_EQ(Count(28), 3);
    UpdateNodeCount(30, -5, 1, Tree());
    EXPECT_EQ(Count(30), -2);
    EXPECT_EQ(Count(28), -2);
    EXPECT_EQ(Count(0), -2);
}

TEST_F(NodeCountTest, OtherModesOnlyResum)
{
    qmtest::RecordOfNode(45)->Count = 7;   // changed behind the tree's back
    qmtest::RecordOfNode(46)->Count = 1;
    UpdateNodeCount(46, 99, 2, Tree());
    EXPECT_EQ(Count(46), 1);
    EXPECT_EQ(Count(44), 8);
    EXPECT_EQ(Count(0), 8);
}

TEST_F(NodeCountTest, IndexesOutsideTheTreeChangeNothing)
{
    UpdateNodeCount(12, 4, 0, Tree());
    UpdateNodeCount(55, 3, 0, Tree());
    UpdateNodeCount(-1, 3, 0, Tree());
    UpdateNodeCount(12, 3, 0, nullptr);
    EXPECT_EQ(Count(12), 4);
    EXPECT_EQ(Count(0), 4);
}

// The rightmost column with ink in the text band of a node, or -1.
int RightmostInk(ui::TTreeView *tree, int nodeIndex, int fromX)
{
    RECT r = tree->Node(nodeIndex)->DisplayRect(true);
    HDC dc = GetDC(tree->Handle());
    const int width = tree->ClientWidth();
    const COLORREF background = GetPixel(dc, width - 2, r.top + 1);
    int right = -1;
    for (int x = fromX; x < width; ++x)
        for (int y = r.top + 2; y < r.bottom; ++y)
            if (GetPixel(dc, x, y) != background) {
                right = x;
                break;
            }
    ReleaseDC(tree->Handle(), dc);
    return right;
}

TEST_F(NodeCountTest, PaintsTheThreeNumbers30PixelsLeftOfTheRightEdge)
{
    ui::TTreeView *tree = Tree();
    ASSERT_NE(tree->Handle(), nullptr);
    const int half = tree->Width() / 2;
    ASSERT_EQ(RightmostInk(tree, 12, half), -1);
    UpdateNodeCount(12, 12, 0, tree);
    for (int node : {12, 11, 0}) {
        const int right = RightmostInk(tree, node, half);
        // The text's box ends at width - 30; its last inked column lies just inside.
        EXPECT_LE(right, tree->Width() - 31) << node;
        EXPECT_GE(right, tree->Width() - 35) << node;
    }
    // Nothing is painted on the rows of other items.
    EXPECT_EQ(RightmostInk(tree, 13, half), -1);
}

}  // namespace
