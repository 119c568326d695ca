#include <gtest/gtest.h>
#include <string>
#include "ui/Application.h"
#include "ui/Gauge.h"
#include "ui/ListView.h"
#include "ui/TreeView.h"
#include "UiTestSupport.h"

using namespace ui;

namespace {

// The screen as the display shows it, copied into a bitmap: what a user would see.
class Screenshot {
public:
    explicit Screenshot(HWND window)
    {
        GetWindowRect(window, &rect_);
        int w = rect_.right - rect_.left, h = rect_.bottom - rect_.top;
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bmp_ = CreateCompatibleBitmap(screen, w, h);
        old_ = SelectObject(dc_, bmp_);
        BitBlt(dc_, 0, 0, w, h, screen, rect_.left, rect_.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    }
    ~Screenshot()
    {
        SelectObject(dc_, old_);
        DeleteObject(bmp_);
        DeleteDC(dc_);
    }
    // A pixel at a client point of a window.
    COLORREF At(HWND window, int x, int y) const
    {
        POINT pt = {x, y};
        ClientToScreen(window, &pt);
        return GetPixel(dc_, pt.x - rect_.left, pt.y - rect_.top);
    }
    int Count(HWND window, RECT r, COLORREF c) const
    {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (At(window, x, y) == c) ++n;
        return n;
    }

private:
    RECT rect_;
    HDC dc_;
    HBITMAP bmp_;
    HGDIOBJ old_;
};

TEST(Screenshot, FormWithTreeListAndGauge)
{
    uitest::TestForm form(520, 380);
    TImageList images;
    uitest::FillImageList(images, 16, 16, 8);
    TTreeView tree;
    tree.Create(&form, 10, 10, 240, 200);
    tree.SetImages(&images);
    tree.SetStateImages(&images);
    TTreeNode *root = tree.AddChild(nullptr, "My Computer", nullptr);
    root->SetImageIndex(0);
    root->SetSelectedIndex(0);
    root->SetStateIndex(6);
    for (int i = 0; i < 3; ++i) {
        TTreeNode *n = tree.AddChild(root, "Item " + std::to_string(i), nullptr);
        n->SetImageIndex(5);
        n->SetSelectedIndex(5);
        n->SetStateIndex(i == 1 ? 7 : 6);
    }
    tree.FullExpand();
    const COLORREF countColour = RGB(200, 0, 0);
    tree.OnCustomDrawItem = [&](TTreeNode *n, UINT, bool &) {
        TCanvas *c = tree.Canvas();
        c->SetFont("Arial", 9, n->Level() == 0, countColour);
        std::string text = std::to_string(12 + n->AbsoluteIndex());
        RECT row = n->DisplayRect(false);
        c->TextOut(tree.Width() - c->TextWidth(text) - 30, row.top + 2, text);
    };

    TListView list;
    list.Create(&form, 260, 10, 250, 200, true);
    list.AddColumn("Type", 120);
    list.AddColumn("Name", 120);
    list.SetGridLines(true);
    list.OnData = [](TListItem &item) {
        item.Caption = "Row " + std::to_string(item.Index);
        item.SubItems = {"Name"};
    };
    list.SetItemCount(4);

    TGauge gauge;
    gauge.Create(&form, 10, 240, 302, 22);
    gauge.SetShowText(false);
    gauge.SetForeColor(RGB(0, 128, 64));
    gauge.SetMaxValue(4);
    gauge.SetProgress(1);
    // Nothing may cover the form while the screen is read.
    SetWindowPos(form.Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    for (int i = 0; i < 50; ++i) {
        form.Settle();
        if (Screenshot(form.Handle()).At(form.Handle(), 12, 250) == RGB(0, 128, 64)) break;
        Sleep(20);
    }

    ASSERT_TRUE(IsWindowVisible(form.Handle())) << "iconic " << IsIconic(form.Handle()) << " app " << IsWindowVisible(Application->Handle()) << IsIconic(Application->Handle());
    Screenshot shot(form.Handle());
    // The gauge: a quarter in its colour, the rest white, framed.
    EXPECT_EQ(shot.At(form.Handle(), 12, 250), RGB(0, 128, 64));
    EXPECT_EQ(shot.At(form.Handle(), 80, 250), RGB(0, 128, 64));
    EXPECT_EQ(shot.At(form.Handle(), 90, 250), RGB(255, 255, 255));
    EXPECT_EQ(shot.At(form.Handle(), 300, 250), RGB(255, 255, 255));
    EXPECT_EQ(shot.At(form.Handle(), 10, 250), RGB(0, 0, 0));

    // The tree: the state pictures 6 and 7 next to the items, the counts on the right.
    RECT item1 = tree.Node(2)->DisplayRect(true);
    RECT item0 = tree.Node(1)->DisplayRect(true);
    COLORREF pic6 = RGB(60, 140, 30), pic7 = RGB(70, 130, 30), pic5 = RGB(50, 150, 30);
    int y1 = (item1.top + item1.bottom) / 2, y0 = (item0.top + item0.bottom) / 2;
    RECT leftOf1 = {0, y1 - 2, item1.left, y1 + 2}, leftOf0 = {0, y0 - 2, item0.left, y0 + 2};
    EXPECT_GT(shot.Count(tree.Handle(), leftOf1, pic7), 10);
    EXPECT_EQ(shot.Count(tree.Handle(), leftOf1, pic6), 0);
    EXPECT_GT(shot.Count(tree.Handle(), leftOf0, pic6), 10);
    EXPECT_GT(shot.Count(tree.Handle(), leftOf0, pic5), 10);
    RECT counts = {tree.Width() - 80, item0.top, tree.Width() - 30, item0.bottom};
    EXPECT_GT(shot.Count(tree.Handle(), counts, countColour), 5);
    RECT nearEdge = {tree.Width() - 29, item0.top, tree.Width() - 4, item0.bottom};
    EXPECT_EQ(shot.Count(tree.Handle(), nearEdge, countColour), 0);
    // The default drawing wrote the captions.
    RECT caption = item0;
    EXPECT_GT(caption.right - caption.left, 10);
    EXPECT_LT(shot.Count(tree.Handle(), caption, RGB(255, 255, 255)), (caption.right - caption.left) * (caption.bottom - caption.top));

    // The list: text in the first row, nothing below the fourth.
    RECT r0 = {}, r3 = {};
    r0.left = r3.left = LVIR_LABEL;
    SendMessageA(list.Handle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r0));
    SendMessageA(list.Handle(), LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&r3));
    int inkRow0 = 0, inkBelow = 0;
    for (int y = r0.top + 2; y < r0.bottom - 2; ++y)
        for (int x = r0.left + 2; x < r0.left + 60; ++x)
            if (GetRValue(shot.At(list.Handle(), x, y)) < 100) ++inkRow0;
    for (int y = r3.bottom + 30; y < r3.bottom + 60; ++y)
        for (int x = 20; x < 60; ++x)
            if (GetRValue(shot.At(list.Handle(), x, y)) < 100) ++inkBelow;
    EXPECT_GT(inkRow0, 10);
    EXPECT_EQ(inkBelow, 0);
}

}  // namespace
