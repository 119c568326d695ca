// The real program over a registry seeded with traces: ticks by clicks, Scan Now, Abort, and the
// Scan page's pixels afterwards (counts beside the nodes, tick pictures).
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <string>
#include "MainFormDriver.h"
#include "TestSupport.h"
#include "ui/Canvas.h"

using namespace qmtest;
using namespace qmdrive;

namespace {

const char *const UserKey = "SOFTWARE\\Quillmoor";
const char *const PolicyKey = "Software\\microsoft\\Windows\\CurrentVersion\\Policies\\System";
const char *const MachineSettings = "Software\\Quillmoor";
const char *const PaintKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List";
const char *const RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

// Layout points of the main window (client coordinates).
const POINT ScanPageButton{81, 82 + 37 + 22};
const POINT ScanNowButton{166 + 246 + 8 + 110, 108 + 301 + 2 + 26};
const POINT AbortButton{166 + 335 + 70, 108 + 301 + 2 + 26};
const int PaintNode = 12, RunNode = 29, SoftwareNode = 11, SystemNode = 28;

double StoredScanTime()
{
    double t = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, MachineSettings, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD size = sizeof(t);
    if (RegQueryValueExA(key, "LastScanTime", nullptr, nullptr, reinterpret_cast<BYTE *>(&t), &size) != ERROR_SUCCESS)
        t = 0;
    RegCloseKey(key);
    return t;
}

DWORD StoredDetected()
{
    DWORD v = 0xFFFFFFFF, size = sizeof(v);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, MachineSettings, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return v;
    if (RegQueryValueExA(key, "DetedtedTotal", nullptr, nullptr, reinterpret_cast<BYTE *>(&v), &size) != ERROR_SUCCESS)
        v = 0xFFFFFFFF;
    RegCloseKey(key);
    return v;
}

bool Dark(COLORREF c)
{
    return GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 110;
}

// The count text as the tree paints it: "%d" in 9-point MS Sans Serif on the class library's
// canvas, black on white. Returns a mask of dark pixels, w x h.
std::vector<bool> RenderCount(const std::string &text, bool bold, int &w, int &h)
{
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    std::vector<bool> mask;
    {
        ui::TCanvas probe(dc);
        probe.SetFont("MS Sans Serif", 9, bold, RGB(0, 0, 0));
        w = probe.TextWidth(text);
        h = probe.TextHeight(text);
    }
    // A bitmap like the screen's, so the letters are rasterised as on the tree.
    screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    {
        ui::TCanvas canvas(dc);
        canvas.SetFont("MS Sans Serif", 9, bold, RGB(0, 0, 0));
        canvas.SetBrushColor(RGB(255, 255, 255));
        canvas.FillRect(RECT{0, 0, w, h});
        canvas.TextOut(0, 0, text);
    }
    mask.resize(static_cast<size_t>(w * h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            mask[static_cast<size_t>(y * w + x)] = Dark(GetPixel(dc, x, y));
    SelectObject(dc, oldBmp);
    DeleteObject(bmp);
    DeleteDC(dc);
    return mask;
}

class ScanProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FileExists(QuillmoorExe()));
        ASSERT_TRUE(MainWindows().empty());
        ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, PolicyKey, "EnableLUA", 0));
        ASSERT_TRUE(prog.Start());
        main = prog.WaitForWindow();
        ASSERT_NE(main, nullptr);
        SetForegroundWindow(main);
        tree = FindTree(main, 55);
        ASSERT_NE(tree, nullptr);
        items = TreeItems(tree);
        ASSERT_EQ(items.size(), 55u);
        startTime = StoredScanTime();   // every start stores its time with the defaults
    }
    // The end of a scan stores its statistics: a later scan time.
    bool WaitForScanEnd() { return WaitUntil([&] { return StoredScanTime() > startTime; }, 60000); }

    void Tick(int node) { ClickStateImage(prog.Process(), tree, items[static_cast<size_t>(node)]); }
    int State(int node) { return TreeStateImage(tree, items[static_cast<size_t>(node)]); }
    // Unticks everything, then ticks the given items.
    void TickOnly(std::initializer_list<int> nodes)
    {
        Tick(0);
        ASSERT_TRUE(WaitUntil([&] { return State(0) == 7; }, 5000));
        for (int i = 0; i < 55; ++i)
            ASSERT_EQ(State(i), 7) << i;
        for (int n : nodes) {
            Tick(n);
            ASSERT_TRUE(WaitUntil([&] { return State(n) == 6; }, 5000)) << n;
        }
    }
    // The mouse position of a tree row's count, in main-window client coordinates.
    POINT CountOrigin(int node, int textWidth)
    {
        RECT full = TreeItemRect(prog.Process(), tree, items[static_cast<size_t>(node)], false);
        RECT wr;
        GetWindowRect(tree, &wr);
        POINT p{(wr.right - wr.left) - textWidth - 30, full.top + 2};
        MapWindowPoints(tree, main, &p, 1);
        return p;
    }
    // Whether the screen shows `text` where the row's count belongs.
    bool ShowsCount(const TScreenShot &shot, int node, const std::string &text, bool bold)
    {
        int w = 0, h = 0;
        std::vector<bool> mask = RenderCount(text, bold, w, h);
        POINT o = CountOrigin(node, w);
        int same = 0, ink = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool want = mask[static_cast<size_t>(y * w + x)];
                ink += want;
                same += want == Dark(shot.Pixel(o.x + x, o.y + y));
            }
        if (!(ink > 0 && same >= w * h - 2)) {
            std::string dump = "at " + std::to_string(o.x) + "," + std::to_string(o.y) + "\n";
            for (int y = -2; y < h + 2; ++y) {
                for (int x = -2; x < w + 2; ++x)
                    dump += Dark(shot.Pixel(o.x + x, o.y + y)) ? '#' : '.';
                dump += "   ";
                for (int x = 0; x < w && y >= 0 && y < h; ++x)
                    dump += mask[static_cast<size_t>(y * w + x)] ? '#' : '.';
                dump += "\n";
            }
            std::printf("%s", dump.c_str());
        }
        return ink > 0 && same >= w * h - 2;
    }

    RegKeyGuard user{HKEY_CURRENT_USER, UserKey};
    RegKeyGuard policy{HKEY_LOCAL_MACHINE, PolicyKey};
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, MachineSettings};
    RegKeyGuard paint{HKEY_CURRENT_USER, PaintKey};
    RegKeyGuard run{HKEY_CURRENT_USER, RunKey};
    TProgram prog;
    HWND main = nullptr;
    HWND tree = nullptr;
    std::vector<HTREEITEM> items;
    double startTime = 0;
};

}  // namespace

TEST_F(ScanProgram, ScanOfTwoTickedItemsCountsAndPaintsTheirTraces)
{
    for (const char *v : {"File1", "File2", "File3"})
        ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, PaintKey, v, std::string("C:\\pics\\") + v + ".bmp"));
    for (const char *v : {"a", "b", "MRUList"})
        ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, RunKey, v, std::string("cmd") + v));
    EXPECT_EQ(State(5), 7);   // Favorites starts unticked
    TickOnly({PaintNode, RunNode});

    ClickAt(main, ScanNowButton.x, ScanNowButton.y);
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_EQ(StoredDetected(), 6u);

    // Back on the Scan page: default ticks again, the counts stay and are summed.
    ClickAt(main, ScanPageButton.x, ScanPageButton.y);
    // the rebuilt tree has new items
    ASSERT_TRUE(WaitUntil(
        [&] {
            items = TreeItems(tree);
            return items.size() == 55 && State(PaintNode) == 6 && State(0) == 6 && State(5) == 7;
        },
        5000));
    Sleep(500);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Sleep(500);
    TScreenShot shot(main);
    shot.SaveBmp(std::string(QM_BINARY_DIR) + "\\scanpage-after-scan.bmp");
    EXPECT_TRUE(ShowsCount(shot, PaintNode, "3", false));
    EXPECT_TRUE(ShowsCount(shot, SoftwareNode, "3", true));
    EXPECT_TRUE(ShowsCount(shot, 13, "0", false));   // WordPad found nothing
    EXPECT_FALSE(ShowsCount(shot, PaintNode, "0", false));
    {
        SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(items[RunNode + 2]));
        Sleep(300);
        TScreenShot lower(main);
        EXPECT_TRUE(ShowsCount(lower, RunNode, "3", false));
        EXPECT_TRUE(ShowsCount(lower, SystemNode, "3", true));
        EXPECT_TRUE(ShowsCount(lower, RunNode + 1, "0", false));
        SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(items[0]));
        Sleep(300);
    }
    {
        // the root's count, with the selection moved off the root by a click on WordPad's caption
        RECT r = TreeItemRect(prog.Process(), tree, items[13], true);
        PostMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2));
        PostMessageA(tree, WM_LBUTTONUP, 0, MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2));
        Sleep(300);
        TScreenShot top(main);
        EXPECT_TRUE(ShowsCount(top, 0, "6", true));
        EXPECT_EQ(TreeStateImage(tree, items[13]), 6);   // a click on the caption does not toggle
    }

    // The tick pictures on the screen are the program's own pictures 6 and 7.
    HMODULE exe = LoadLibraryExA(QuillmoorExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    HBITMAP strip = static_cast<HBITMAP>(LoadImageA(exe, "TREEIMAGES", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(strip, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, strip);
    // The picture sits left of the node's text (state picture, then icon); search that strip.
    auto matchesPicture = [&](int node, int picture) {
        RECT text = TreeItemRect(prog.Process(), tree, items[static_cast<size_t>(node)], true);
        POINT t{text.left, text.top};
        MapWindowPoints(tree, main, &t, 1);
        const int rowHeight = text.bottom - text.top;
        int best = 0, bestTotal = 1;
        for (int dx = 0; dx <= 60; ++dx)
            for (int dy = -2; dy <= rowHeight - 14; ++dy) {
                int same = 0, total = 0;
                for (int y = 0; y < 16; ++y)
                    for (int x = 0; x < 16; ++x) {
                        COLORREF want = GetPixel(dc, picture * 16 + x, y);
                        if (want == RGB(255, 0, 255))
                            continue;
                        ++total;
                        same += shot.Pixel(t.x - dx + x, t.y + dy + y) == want;
                    }
                if (same * bestTotal > best * total) {
                    best = same;
                    bestTotal = total;
                }
            }
        if (best != bestTotal)
            std::printf("node %d picture %d: best %d of %d\n", node, picture, best, bestTotal);
        return best == bestTotal;
    };
    EXPECT_TRUE(matchesPicture(PaintNode, 6));
    EXPECT_TRUE(matchesPicture(5, 7));
    EXPECT_FALSE(matchesPicture(5, 6));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(strip);
    FreeLibrary(exe);
}

TEST_F(ScanProgram, AbortStopsTheScanAndTheLaterCategoriesDoNotRun)
{
    // Enough values that the scan is still in its first item when Abort comes.
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, PaintKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (int i = 0; i < 4000; ++i) {
        std::string name = "File" + std::to_string(i);
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>("C:\\x.bmp"), 9);
    }
    RegCloseKey(key);
    for (const char *v : {"a", "MRUList"})
        ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, RunKey, v, "cmd"));
    TickOnly({PaintNode, RunNode});

    // Abort takes Scan Now's place as the scan starts, when the button panel narrows; it is clicked
    // as soon as that shows, since on a fast machine the 4000 values take well under a second.
    POINT abortAt = AbortButton;
    ClientToScreen(main, &abortAt);
    const HWND buttons = WindowFromPoint(abortAt);
    RECT idle;
    ASSERT_TRUE(GetWindowRect(buttons, &idle));
    ClickAt(main, ScanNowButton.x, ScanNowButton.y);
    const DWORD start = GetTickCount();
    RECT now = idle;
    while (EqualRect(&now, &idle) && GetTickCount() - start < 30000) {
        Sleep(1);
        GetWindowRect(buttons, &now);
    }
    ASSERT_FALSE(EqualRect(&now, &idle)) << "the button panel never narrowed: no scan started";
    ClickAt(main, AbortButton.x, AbortButton.y);
    ASSERT_TRUE(WaitForScanEnd());
    const DWORD found = StoredDetected();
    EXPECT_LT(found, 4000u);   // stopped inside Paint; Run History never ran
    // The page is idle again: the Scan page button works and rebuilds the tree.
    ClickAt(main, ScanPageButton.x, ScanPageButton.y);
    EXPECT_TRUE(WaitUntil(
        [&] {
            items = TreeItems(tree);
            return items.size() == 55 && State(0) == 6 && State(5) == 7;
        },
        5000));
}
