#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/CheckBox.h"
#include "ui/ComboBox.h"
#include "ui/DateTimePicker.h"
#include "ui/Edit.h"
#include "ui/Gauge.h"
#include "ui/GroupBox.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/Memo.h"
#include "ui/Menu.h"
#include "ui/Notebook.h"
#include "ui/Panel.h"
#include "ui/SpinEdit.h"
#include "ui/Timer.h"
#include <commctrl.h>
#include "UiTestSupport.h"

using namespace ui;

namespace {

TEST(CheckBox, ClickEventRunsWheneverTheTickChanges)
{
    uitest::TestForm form;
    TCheckBox box;
    box.Create(&form, 10, 10, 150, 20, "Activate");
    std::vector<bool> seen;
    box.OnClick = [&] { seen.push_back(box.Checked()); };
    box.SetChecked(true);    // by code: runs the event, with the new state visible
    box.SetChecked(true);    // no change: no event
    box.SetChecked(false);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[0]);
    EXPECT_FALSE(seen[1]);
    // By the user: one event, state flipped.
    uitest::Click(box.Handle(), 5, 10);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_TRUE(seen[2]);
    EXPECT_EQ(SendMessageA(box.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST(RadioGroup, ItemIndexAndClick)
{
    uitest::TestForm form;
    TRadioGroup rg;
    rg.Create(&form, 10, 10, 200, 100, "Shred Level");
    rg.AddItem("one");
    rg.AddItem("two");
    rg.AddItem("three");
    int clicks = 0;
    rg.OnClick = [&] { ++clicks; };
    EXPECT_EQ(rg.ItemIndex(), -1);
    rg.SetItemIndex(1);
    EXPECT_EQ(rg.ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    rg.SetItemIndex(1);
    EXPECT_EQ(clicks, 1);
    rg.SetItemIndex(7);   // out of range: none chosen
    EXPECT_EQ(rg.ItemIndex(), -1);
}

TEST(ComboBox, ItemsIndexAndText)
{
    uitest::TestForm form;
    TComboBox cb;
    cb.Create(&form, 10, 10, 150, 21);
    cb.AddItem("Clean IE Cache");
    cb.AddItem("Typed URLs");
    EXPECT_EQ(cb.Count(), 2);
    EXPECT_EQ(cb.ItemIndex(), -1);
    EXPECT_EQ(cb.Text(), "");
    cb.SetItemIndex(1);
    EXPECT_EQ(cb.Text(), "Typed URLs");
    cb.Clear();
    EXPECT_EQ(cb.Count(), 0);
}

TEST(SpinEdit, KeepsItsRange)
{
    uitest::TestForm form;
    TSpinEdit se;
    se.Create(&form, 10, 10, 60, 21, 1, 31, 1);
    EXPECT_EQ(se.Value(), 1);
    se.SetValue(40);
    EXPECT_EQ(se.Value(), 31);
    se.SetValue(0);
    EXPECT_EQ(se.Value(), 1);
    SetWindowTextA(se.Handle(), "12");
    EXPECT_EQ(se.Value(), 12);
    SetWindowTextA(se.Handle(), "");
    EXPECT_EQ(se.Value(), 1);
}

TEST(DateTimePicker, HoursAndMinutes)
{
    uitest::TestForm form;
    TDateTimePicker dtp;
    dtp.Create(&form, 10, 10, 100, 21);
    dtp.SetTime(9, 30);
    EXPECT_EQ(dtp.Hour(), 9);
    EXPECT_EQ(dtp.Minute(), 30);
    EXPECT_EQ(dtp.Time().wSecond, 0);
    dtp.SetTime(23, 5);
    EXPECT_EQ(dtp.Hour(), 23);
    EXPECT_EQ(dtp.Minute(), 5);
}

TEST(Memo, KeepsLinesWithAndWithoutWindow)
{
    TMemo hidden;   // no parent, never shown: only its text counts
    hidden.SetText(std::string("one\r\ntwo\0three", 15));
    EXPECT_EQ(hidden.Text(), "one\r\ntwo");
    EXPECT_EQ(hidden.LineCount(), 2);
    EXPECT_EQ(hidden.Line(1), "two");
    uitest::TestForm form;
    TMemo memo;
    memo.Create(&form, 10, 10, 200, 60);
    memo.AddLine("first");
    memo.AddLine("second");
    EXPECT_EQ(memo.Text(), "first\r\nsecond\r\n");
    EXPECT_EQ(memo.LineCount(), 2);
    EXPECT_EQ(memo.Line(0), "first");
}

TEST(ListBox, ItemsAndSelection)
{
    uitest::TestForm form;
    TListBox lb;
    lb.Create(&form, 10, 10, 200, 100, true);
    lb.AddItem("C:\\a.txt");
    lb.AddItem("C:\\a.txt");   // duplicates stay
    lb.AddItem("C:\\dir");
    EXPECT_EQ(lb.Count(), 3);
    lb.SetSelected(0, true);
    lb.SetSelected(2, true);
    EXPECT_TRUE(lb.Selected(0));
    EXPECT_FALSE(lb.Selected(1));
    EXPECT_TRUE(lb.Selected(2));
    lb.Delete(1);
    EXPECT_EQ(lb.Item(1), "C:\\dir");
    lb.Clear();
    EXPECT_EQ(lb.Count(), 0);
}

TEST(Edit, TextAndChangeEvent)
{
    uitest::TestForm form;
    TLabeledEdit ed;
    ed.Create(&form, 10, 40, 200, 21, "Enter Text:");
    int changes = 0;
    ed.OnChange = [&] { ++changes; };
    ed.SetText("abc");
    EXPECT_EQ(ed.Text(), "abc");
    EXPECT_GE(changes, 1);
    EXPECT_EQ(ed.EditLabel().Caption(), "Enter Text:");
    EXPECT_LT(ed.EditLabel().Top() + ed.EditLabel().Height(), 40);
}

TEST(Notebook, ShowsOnePage)
{
    uitest::TestForm form;
    TNotebook nb;
    nb.Create(&form, 0, 0, 300, 200, 3);
    EXPECT_TRUE(IsWindowVisible(nb.Page(0)->Handle()));
    EXPECT_FALSE(IsWindowVisible(nb.Page(2)->Handle()));
    int changed = 0;
    nb.OnPageChanged = [&] { ++changed; };
    nb.SetPageIndex(2);
    EXPECT_EQ(nb.PageIndex(), 2);
    EXPECT_TRUE(IsWindowVisible(nb.Page(2)->Handle()));
    EXPECT_FALSE(IsWindowVisible(nb.Page(0)->Handle()));
    nb.SetPageIndex(5);
    EXPECT_EQ(nb.PageIndex(), 2);
    EXPECT_EQ(changed, 1);
}

TEST(GraphicControls, LabelAndImageGetClicksAndHover)
{
    uitest::TestForm form;
    TPanel panel;
    panel.Create(&form, 0, 0, 300, 200);
    TImage image;
    image.Create(&panel, 10, 10, 50, 40);
    image.SetPicture(uitest::SolidBitmap(50, 40, RGB(200, 0, 0)));
    image.SetHandCursor();
    TLabel label;
    label.Create(&panel, 100, 10, "Click me");
    EXPECT_GT(label.Width(), 10);   // sized to its text
    std::vector<std::string> events;
    image.OnMouseEnter = [&] { events.push_back("enter image"); };
    image.OnMouseLeave = [&] { events.push_back("leave image"); };
    image.OnMouseDown = [&](TMouseButton, UINT, int x, int y) { events.push_back("down " + std::to_string(x) + "," + std::to_string(y)); };
    label.OnClick = [&] { events.push_back("click label"); };
    form.Settle();
    EXPECT_EQ(uitest::ScreenPixel(panel.Handle(), 30, 30), RGB(200, 0, 0));

    PostMessageA(panel.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    PostMessageA(panel.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 25));
    PostMessageA(panel.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 25));
    PostMessageA(panel.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(102, 12));
    PostMessageA(panel.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(102, 12));
    PostMessageA(panel.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(102, 12));
    qmtest::PumpMessages();
    std::vector<std::string> want = {"enter image", "down 10,15", "leave image", "click label"};
    EXPECT_EQ(events, want);
    // A press that ends on another control is no click.
    events.clear();
    PostMessageA(panel.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(102, 12));
    PostMessageA(panel.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(250, 150));
    qmtest::PumpMessages();
    EXPECT_TRUE(std::find(events.begin(), events.end(), "click label") == events.end());
    // A double click is one click; the control that shows after the first one gets none.
    int labelClicks = 0, imageClicks = 0;
    ui::TImage under;
    under.Create(&panel, 100, 10, 40, 10);
    under.Hide();
    under.OnClick = [&] { ++imageClicks; };
    label.OnClick = [&] {
        ++labelClicks;
        label.Hide();
        under.Show();
    };
    PostMessageA(panel.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(102, 12));
    PostMessageA(panel.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(102, 12));
    PostMessageA(panel.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(102, 12));
    PostMessageA(panel.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(102, 12));
    qmtest::PumpMessages();
    EXPECT_EQ(labelClicks, 1);
    EXPECT_EQ(imageClicks, 0);
}

TEST(Gauge, PercentAndImmediatePainting)
{
    uitest::TestForm form;
    TGauge g;
    g.Create(&form, 10, 10, 202, 20);
    g.SetForeColor(RGB(0, 128, 64));
    g.SetShowText(false);
    form.Settle();
    g.SetMaxValue(8);
    g.SetProgress(4);   // painted without any message being handled
    EXPECT_EQ(g.PercentDone(), 50);
    EXPECT_EQ(uitest::ScreenPixel(form.Handle(), 12, 20), RGB(0, 128, 64));
    EXPECT_EQ(uitest::ScreenPixel(form.Handle(), 108, 20), RGB(0, 128, 64));
    EXPECT_EQ(uitest::ScreenPixel(form.Handle(), 114, 20), RGB(255, 255, 255));
    g.SetMaxValue(0);   // no range: empty
    EXPECT_EQ(g.PercentDone(), 0);
    EXPECT_EQ(uitest::ScreenPixel(form.Handle(), 12, 20), RGB(255, 255, 255));
    g.SetMaxValue(3);
    g.SetProgress(7);
    EXPECT_EQ(g.PercentDone(), 100);
}

TEST(Timer, TicksOnlyWhileEnabled)
{
    TTimer t;
    int ticks = 0;
    t.OnTimer = [&] { ++ticks; };
    t.SetInterval(20);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 100) {
        qmtest::PumpMessages();
        Sleep(5);
    }
    EXPECT_EQ(ticks, 0);   // made disabled
    t.SetEnabled(true);
    start = GetTickCount();
    while (ticks < 3 && GetTickCount() - start < 3000) {
        qmtest::PumpMessages();
        Sleep(5);
    }
    EXPECT_GE(ticks, 3);
    t.SetEnabled(false);
    int stopped = ticks;
    start = GetTickCount();
    while (GetTickCount() - start < 100) {
        qmtest::PumpMessages();
        Sleep(5);
    }
    EXPECT_EQ(ticks, stopped);
}

TEST(PopupMenu, ChosenItemRunsItsClick)
{
    uitest::TestForm form;
    TPopupMenu menu;
    std::string clicked;
    menu.Add("Open", [&] { clicked = "Open"; })->Default = true;
    menu.AddSeparator();
    menu.Add("Exit", [&] { clicked = "Exit"; });
    // Keys waiting in the queue drive the menu loop: down, down (over the separator), Enter.
    HWND owner = Application->Handle();
    PostMessageA(owner, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(owner, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(owner, WM_KEYDOWN, VK_RETURN, 0);
    TMenuItem *chosen = menu.Popup(100, 100);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen, menu.Item(2));
    EXPECT_EQ(clicked, "Exit");
    // A cancelled menu chooses nothing.
    clicked.clear();
    PostMessageA(owner, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(menu.Popup(100, 100), nullptr);
    EXPECT_EQ(clicked, "");
}

}  // namespace

namespace {

TEST(Hints, ImageButtonsCarryTooltips)
{
    uitest::TestForm form;
    ui::TImage minimize, close;
    minimize.Create(&form, 300, 4, 20, 19);
    close.Create(&form, 324, 4, 20, 19);
    minimize.SetHint("Minimize");
    close.SetHint("Hide");
    HWND tip = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr);
    while (tip && GetWindow(tip, GW_OWNER) != form.Handle()) tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
    char text[64] = {};
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = form.Handle();
    ti.uId = reinterpret_cast<UINT_PTR>(&close);
    ti.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ(text, "Hide");
    close.SetHint("");
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
}

}  // namespace

namespace {

TEST(Image, TakesPicturesFromListsIconsAndItsOwnSize)
{
    uitest::TestForm form;
    ui::TImageList list;
    uitest::FillImageList(list, 20, 19, 4);
    ui::TImage button;
    button.Create(&form, 10, 10, 20, 19);
    button.SetFromImageList(list, 3);
    form.Settle();
    EXPECT_EQ(uitest::ScreenPixel(form.Handle(), 20, 20), RGB(30, 170, 30));
    button.SetFromImageList(list, 1);   // the hover picture, shown at once
    EXPECT_EQ(uitest::ScreenPixel(form.Handle(), 20, 20), RGB(10, 190, 30));

    ui::TImage logo;
    logo.Create(&form, 100, 10, 5, 5);
    logo.SetAutoSize(true);
    logo.SetPicture(uitest::SolidBitmap(75, 30, RGB(1, 2, 3)));
    EXPECT_EQ(logo.Width(), 75);
    EXPECT_EQ(logo.Height(), 30);

    ui::TImage task;
    task.Create(&form, 200, 10, 32, 32);
    task.DrawIcon(LoadIcon(nullptr, IDI_APPLICATION));
    EXPECT_EQ(task.Picture().Width(), 32);
    form.Settle();
    int notBackground = 0;
    for (int y = 10; y < 42; ++y)
        for (int x = 200; x < 232; ++x)
            if (uitest::ScreenPixel(form.Handle(), x, y) != RGB(255, 255, 255)) ++notBackground;
    EXPECT_GT(notBackground, 20);
}

TEST(Panel, CaptionCanBeAlignedLeft)
{
    uitest::TestForm form;
    ui::TPanel header;
    header.Create(&form, 0, 0, 300, 20, "  Shred list");
    header.SetColor(RGB(152, 150, 151));
    ui::TFont f = header.Font();
    f.Bold = true;
    f.Color = RGB(255, 255, 255);
    header.SetFont(f);
    header.SetAlignment(DT_LEFT);
    form.Settle();
    int whiteLeft = 0, whiteRight = 0;
    for (int y = 2; y < 18; ++y)
        for (int x = 0; x < 300; ++x)
            if (uitest::ScreenPixel(header.Handle(), x, y) == RGB(255, 255, 255)) ++(x < 150 ? whiteLeft : whiteRight);
    EXPECT_GT(whiteLeft, 10);
    EXPECT_EQ(whiteRight, 0);
}

}  // namespace
