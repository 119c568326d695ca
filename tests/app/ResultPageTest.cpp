// The Result page of the real main window in this process: the tree built from the scan tree, the
// list and its footer, the ticks by posted clicks, the hints, the page button.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "ResultPageDriver.h"
#include "MainWindowFixture.h"
#include "TestSupport.h"
#include "app/DMUnit.h"
#include "app/ImageEx.h"
#include "app/ResultItemUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "engine/CatalogueUnit.h"
#include "ui/ImageList.h"
#include "ui/Label.h"
#include "ui/ListView.h"
#include "ui/Notebook.h"
#include "ui/Panel.h"
#include "ui/TreeView.h"

using namespace qmtest;
using namespace resulttest;

namespace {

std::string Sep()
{
    char sep[8] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, sizeof sep);
    return sep;
}

class ResultPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        Settings = TMyRegistryInfo();   // nothing of an earlier test's settings carries over
        form = OpenMainWindow();
    }
    void TearDown() override
    {
        ScanState = 0;
        CloseMainWindow();
    }
    // A found trace of catalogue item (c, n), counted on its node as a scanner would.
    TContent &Trace(int c, int n, const std::string &caption, int kind = tkRegValueData, int32_t size = 0)
    {
        TContent &t = ResultContents[c]->GetItem(ResultContents[c]->AddItem())->Content;
        t.CleanCaption = caption;
        t.Kind = kind;
        t.ItemName = (*ScanItemLists[c])[static_cast<size_t>(n - 1)]->ItemCaption;
        t.Size = size;
        t.Checked = 1;
        (*ScanItemLists[c])[static_cast<size_t>(n - 1)]->Count++;
        return t;
    }
    void Build()
    {
        form->SumItemCounts();
        form->BuildResultTree();
        PumpMessages();
    }
    std::vector<std::string> ListColumn(int sub)
    {
        std::vector<std::string> v;
        for (int i = 0; i < form->ResultListView->ItemCount(); ++i) v.push_back(form->ResultListView->ItemText(i, sub));
        return v;
    }
    void ClickTreeState(ui::TTreeNode *node, bool right = false)
    {
        HWND tree = form->ResultTreeView->Handle();
        POINT p = TreeStatePoint(tree, node->ItemId());
        PostClick(tree, p.x, p.y, right);
    }
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, "Software\\Quillmoor"};
    TfrmMainForm *form = nullptr;
};

TEST_F(ResultPage, RootListsEveryShownCategoryInOrderWithItsFooter)
{
    TContent &a = Trace(3, 6, "Clean Firefox Cookies", tkFirefoxCookie, 1000);
    a.FirefoxCookie = "cookies.txt";
    TContent &b = Trace(0, 1, "Clean IE Cache", tkIECacheEntry, 24);
    b.Entry = "http://example.com/";
    TContent &c = Trace(0, 3, "Clean IE Cookies", tkIECookie, 0);
    c.Entry = "user@example";
    c.Removed = 1;
    Build();

    ui::TTreeView *tree = form->ResultTreeView;
    ASSERT_EQ(tree->NodeCount(), 6);   // root, IE, Cache, Cookies, Internet Software, FireFoxCookies
    EXPECT_EQ(tree->Selected(), tree->Node(0));
    EXPECT_EQ(form->panResultItemName->Text(), " My Computer");
    EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"Cache", "Cookies", "FireFoxCookies"}));
    EXPECT_EQ(ListColumn(1), (std::vector<std::string>{"http://example.com/", "user@example", "cookies.txt"}));
    EXPECT_EQ(ListColumn(3), (std::vector<std::string>{"", "Deleted", ""}));
    EXPECT_EQ(form->ResultListView->ItemText(2, 2), "0" + Sep() + "98");
    EXPECT_EQ(form->ResultListView->ItemStateIndex(0), 6);
    EXPECT_EQ(form->abResultCount->Caption(), "3");
    EXPECT_EQ(form->abResultSpace->Caption(), "1" + Sep() + "00");
    EXPECT_EQ(form->panResultSpace->Text(), "KB");

    // Choosing an item lists its own rows only; the footer follows.
    tree->SetSelected(tree->Node(3));
    PumpMessages();
    EXPECT_EQ(form->panResultItemName->Text(), " Cookies");
    EXPECT_EQ(ListColumn(1), (std::vector<std::string>{"user@example"}));
    EXPECT_EQ(form->abResultCount->Caption(), "1");
    EXPECT_EQ(form->abResultSpace->Caption(), "0");
    EXPECT_EQ(form->panResultSpace->Text(), "B");
}

TEST_F(ResultPage, DeletedStatusIsTheOnlyGreenCell)
{
    Trace(2, 1, "Clean RunMRU").Removed = 1;
    Trace(2, 1, "Clean RunMRU");
    Build();
    bool draw = false;
    auto colour = [&](int item, int sub) {
        form->ResultListViewCustomDrawSubItem(form->ResultListView, item, sub, 0, draw);
        return ui::ColorToRGB(form->ResultListView->Canvas()->Font().Color);
    };
    EXPECT_EQ(colour(0, 3), RGB(0, 128, 0));
    EXPECT_TRUE(draw);
    EXPECT_EQ(colour(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(colour(1, 3), RGB(0, 0, 0));
}

TEST_F(ResultPage, HintsCountTheCheckedTraces)
{
    Trace(1, 1, "Clean Paint History", tkRegValueData, 200).Checked = 1;
    Trace(1, 1, "Clean Paint History", tkRegValueData, 300).Checked = 1;
    Trace(1, 2, "Clean WordPad History", tkRegValueData, 7).Checked = 0;
    Trace(2, 1, "Clean RunMRU").Checked = 1;
    Build();
    EXPECT_TRUE(form->abHintStr1->Visible());
    EXPECT_EQ(form->abHintStr1->Caption(), "It has scanned 3 items totally that can");
    EXPECT_EQ(form->abHintStr2->Caption(), "free 500 B hard disk space.");
    EXPECT_EQ(form->abHintStr2->Top(), form->abHintStr1->Top() + form->abHintStr1->Height() + 4);
    EXPECT_EQ(form->abHintStr1->Left(), form->abStepMsg->Left());

    // The root off: nothing checked, both lines visible and empty.
    ClickTreeState(form->ResultTreeView->Node(0));
    EXPECT_TRUE(form->abHintStr1->Visible());
    EXPECT_EQ(form->abHintStr1->Caption(), "");
    EXPECT_EQ(form->abHintStr2->Caption(), "");
}

TEST_F(ResultPage, RootTickClearsEverythingAndListsEachRowOnce)
{
    Trace(0, 2, "Clean Address Bar History");
    Trace(1, 1, "Clean Paint History");
    Trace(1, 1, "Clean Paint History");
    Trace(3, 4, "Clean Kazaa History");
    Build();
    ui::TTreeView *tree = form->ResultTreeView;
    // Choose an item first: the tick on the root must still list every category.
    tree->SetSelected(tree->Node(2));
    PumpMessages();
    ClickTreeState(tree->Node(0));
    for (int i = 0; i < tree->NodeCount(); ++i) EXPECT_EQ(tree->Node(i)->StateIndex(), 7) << i;
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < ResultContents[c]->Count(); ++i) EXPECT_EQ(ResultContents[c]->GetItem(i)->Content.Checked, 0);
    ASSERT_EQ(form->ResultListView->ItemCount(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(form->ResultListView->ItemStateIndex(i), 7) << i;
    // A right press on a state picture toggles just like the left one.
    ClickTreeState(tree->Node(0), true);
    EXPECT_EQ(tree->Node(0)->StateIndex(), 6);
    EXPECT_EQ(ResultContents[1]->GetItem(1)->Content.Checked, 1);
}

TEST_F(ResultPage, ItemTickLeavesSiblingsAndCategoryAlone)
{
    Trace(2, 1, "Clean RunMRU");
    Trace(2, 2, "Clean Windows Send To", tkFile);
    Build();
    ui::TTreeView *tree = form->ResultTreeView;
    ASSERT_EQ(tree->Node(2)->Text(), "Run History");
    ClickTreeState(tree->Node(2));
    EXPECT_EQ(tree->Node(2)->StateIndex(), 7);
    EXPECT_EQ(tree->Node(3)->StateIndex(), 6);
    EXPECT_EQ(tree->Node(1)->StateIndex(), 6);
    EXPECT_EQ(ResultContents[2]->GetItem(0)->Content.Checked, 0);
    EXPECT_EQ(ResultContents[2]->GetItem(1)->Content.Checked, 1);
    // The list shows the ticked item's rows.
    EXPECT_EQ(ListColumn(0), (std::vector<std::string>{"Run History"}));
    EXPECT_EQ(tree->Selected(), tree->Node(2));
}

TEST_F(ResultPage, PressRightOfTextSelectsWithoutTicking)
{
    Trace(2, 1, "Clean RunMRU");
    Trace(2, 2, "Clean Windows Send To", tkFile);
    Build();
    ui::TTreeView *tree = form->ResultTreeView;
    RECT r = tree->Node(3)->DisplayRect(true);
    PostClick(tree->Handle(), r.right + 40, (r.top + r.bottom) / 2);
    EXPECT_EQ(tree->Selected(), tree->Node(3));
    for (int i = 0; i < tree->NodeCount(); ++i) EXPECT_EQ(tree->Node(i)->StateIndex(), 6) << i;
}

TEST_F(ResultPage, ListTickFollowsTheRowsItemAndOnlyLeftButton)
{
    Trace(2, 1, "Clean RunMRU", tkRegValueData, 10);
    Trace(2, 1, "Clean RunMRU", tkRegValueData, 20);
    Build();
    HWND list = form->ResultListView->Handle();
    POINT p = ListStatePoint(list, 1);
    ASSERT_GE(p.x, 0);
    PostClick(list, p.x, p.y);
    EXPECT_EQ(ResultContents[2]->GetItem(1)->Content.Checked, 0);
    EXPECT_EQ(ResultContents[2]->GetItem(0)->Content.Checked, 1);
    EXPECT_EQ(ResultRows.Items(1)->Checked, 0);
    EXPECT_EQ(form->ResultListView->ItemStateIndex(1), 7);
    EXPECT_EQ(form->abHintStr2->Caption(), "free 10 B hard disk space.");
    // The trees keep their pictures and records.
    EXPECT_EQ(form->ResultTreeView->Node(2)->StateIndex(), 6);
    EXPECT_EQ((*ScanItemLists[2])[0]->Checked, 1);

    // A right press does nothing, not even the hints (it only brings up the row's menu).
    form->abHintStr2->SetCaption("untouched");
    {
        ModalAnswerer menu("#32768", [](HWND) { EndMenu(); });
        PostClick(list, p.x, p.y, true);
    }
    EXPECT_EQ(ResultContents[2]->GetItem(1)->Content.Checked, 0);
    EXPECT_EQ(form->abHintStr2->Caption(), "untouched");
    PostClick(list, p.x, p.y);
    EXPECT_EQ(ResultContents[2]->GetItem(1)->Content.Checked, 1);
    EXPECT_EQ(form->ResultListView->ItemStateIndex(1), 6);
}

// The pixels of a 16 x 16 square of a window, row by row.
std::vector<COLORREF> Grab(HWND hwnd, int x, int y)
{
    std::vector<COLORREF> px;
    HDC dc = GetDC(hwnd);
    for (int j = 0; j < 16; ++j)
        for (int i = 0; i < 16; ++i) px.push_back(GetPixel(dc, x + i, y + j));
    ReleaseDC(hwnd, dc);
    return px;
}

// Picture k of the tree image list drawn on white.
std::vector<COLORREF> Picture(int k)
{
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r{0, 0, 16, 16};
    FillRect(mem, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(DM->TreeImageList->Handle(), k, mem, 0, 0, ILD_TRANSPARENT);
    std::vector<COLORREF> px;
    for (int j = 0; j < 16; ++j)
        for (int i = 0; i < 16; ++i) px.push_back(GetPixel(mem, i, j));
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return px;
}

int Same(const std::vector<COLORREF> &a, const std::vector<COLORREF> &b)
{
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] == b[i];
    return n;
}

TEST_F(ResultPage, RowsShowTheTickedAndEmptyBoxPictures)
{
    Trace(2, 1, "Clean RunMRU").Checked = 1;
    Trace(2, 1, "Clean RunMRU").Checked = 0;
    Build();
    form->ResultBtnClick(form->ResultBtn);
    SetForegroundWindow(form->Handle());
    HWND list = form->ResultListView->Handle();
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    PumpMessages();
    const std::vector<COLORREF> ticked = Picture(6), empty = Picture(7);
    ASSERT_LT(Same(ticked, empty), 256);   // the two pictures differ
    for (int row = 0; row < 2; ++row) {
        POINT p = ListStatePoint(list, row);
        ASSERT_GE(p.x, 0);
        RECT r{};
        r.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        // The picture is 16 pixels square, centred in the row, starting where the hit test does.
        const int top = (r.top + r.bottom) / 2 - 8;
        int best = 0, bestLeft = 0;
        for (int left = p.x - 3 - 2; left <= p.x - 3 + 2; ++left) {
            const int score = Same(Grab(list, left, top), row == 0 ? ticked : empty);
            if (score > best) best = score, bestLeft = left;
        }
        const std::vector<COLORREF> shown = Grab(list, bestLeft, top);
        EXPECT_GT(Same(shown, row == 0 ? ticked : empty), Same(shown, row == 0 ? empty : ticked)) << row;
        EXPECT_GE(best, 230) << row;
    }
}

TEST_F(ResultPage, PageButtonDoesNothingDuringAScan)
{
    Trace(2, 1, "Clean RunMRU");
    Build();
    form->DataNotebook->SetPageIndex(0);
    ScanState = 1;
    form->ResultBtnClick(form->ResultBtn);
    EXPECT_EQ(form->DataNotebook->PageIndex(), 0);
    ScanState = 0;
    const int rows = form->ResultListView->ItemCount();
    form->ResultBtnClick(form->ResultBtn);
    EXPECT_EQ(form->DataNotebook->PageIndex(), 1);
    EXPECT_EQ(form->ResultListView->ItemCount(), rows);
}

TEST_F(ResultPage, ListAsksOnlyForTheRowsItShows)
{
    for (int i = 0; i < 20000; ++i) Trace(0, 1, "Clean IE Cache", tkIECacheEntry, 1).Entry = std::to_string(i);
    int asked = 0, highest = -1;
    Build();
    form->ResultBtnClick(form->ResultBtn);
    auto old = form->ResultListView->OnData;
    form->ResultListView->OnData = [&](ui::TListItem &item) {
        ++asked;
        highest = std::max(highest, item.Index);
        old(item);
    };
    form->ResultListView->Invalidate();
    UpdateWindow(form->ResultListView->Handle());
    PumpMessages();
    EXPECT_EQ(form->ResultListView->ItemCount(), 20000);
    EXPECT_GT(asked, 0);
    EXPECT_LE(highest, form->ResultListView->VisibleRowCount() + 1);
}

}  // namespace
