// The Scan page in this process: the real main window over the real registry. The tree, the ticks,
// the counts and the scan driver with its abort, its end on the Result page and its error path.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <stdexcept>
#include <string>
#include <vector>
#include "FreedMemoryPoison.h"
#include "TestSupport.h"
#include "app/DMUnit.h"
#include "app/ImageEx.h"
#include "app/ScanDispatchUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "engine/CatalogueUnit.h"
#include "engine/PublicFunctionUnit.h"
#include "engine/ResultContentUnit.h"
#include "ui/Application.h"
#include "ui/Gauge.h"
#include "ui/Notebook.h"
#include "ui/Panel.h"
#include "ui/Timer.h"
#include "ui/TreeView.h"

using namespace qmtest;

namespace {

const char *const MachineSettings = "Software\\Quillmoor";
const char *const PaintKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List";

// Absolute indexes of the item tree.
const int Root = 0, IECategory = 1, SoftwareCategory = 11, SystemCategory = 28, NetCategory = 44;
const int Favorites = 5, Paint = 12, WordPad = 13, RunHistory = 29;

class ScanPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteDefaultSettings();
        DM = new TDM();
        frmMainForm = new TfrmMainForm();
        frmMainForm->Show();
        PumpMessages();
        tree = frmMainForm->tvItemsList;
        ASSERT_NE(tree, nullptr);
    }
    void TearDown() override
    {
        ScanState = 0;
        delete frmMainForm;
        frmMainForm = nullptr;
        delete DM;
        DM = nullptr;
        PumpMessages();
    }

    TSectionRec *Rec(int index) { return static_cast<TSectionRec *>(tree->Node(index)->Data); }
    int State(int index) { return tree->Node(index)->StateIndex(); }
    void UntickAll()
    {
        if (State(Root) == 6)
            frmMainForm->ToggleNodeTick(tree->Node(Root));
    }
    // A real click on the node's state picture, through the tree's window.
    void ClickStateImage(int index)
    {
        RECT r = tree->Node(index)->DisplayRect(true);
        // the state picture sits left of the icon, which sits left of the text
        const int x = r.left - 16 - 16 + 8;
        const int y = (r.top + r.bottom) / 2;
        PostMessageA(tree->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageA(tree->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        PumpMessages();
    }

    RegKeyGuard machine{HKEY_LOCAL_MACHINE, MachineSettings};
    RegKeyGuard paint{HKEY_CURRENT_USER, PaintKey};
    ui::TTreeView *tree = nullptr;
};

}  // namespace

TEST_F(ScanPage, FreshTreeHasTheCatalogueWithDefaultTicks)
{
    ASSERT_EQ(tree->NodeCount(), 55);
    EXPECT_EQ(tree->Node(Root)->Text(), "My Computer");
    const int categories[] = {IECategory, SoftwareCategory, SystemCategory, NetCategory};
    const char *captions[] = {"Internet Explorer", "Windows Software", "Windows System", "Internet Software"};
    for (int c = 0; c < 4; ++c) {
        ui::TTreeNode *node = tree->Node(categories[c]);
        EXPECT_EQ(node->Level(), 1);
        EXPECT_EQ(node->Text(), captions[c]);
        EXPECT_EQ(node->ImageIndex(), c + 1);
        EXPECT_EQ(Rec(categories[c])->Category, c);
        EXPECT_EQ(Rec(categories[c])->ItemNo, 0);
    }
    // Items sit at first + ItemNo - 1 and carry the catalogue's records.
    EXPECT_EQ(tree->Node(Paint)->Text(), "Paint");
    EXPECT_EQ(tree->Node(Favorites)->Text(), "Favorites");
    EXPECT_EQ(tree->Node(RunHistory)->Text(), "Run History");
    EXPECT_EQ(tree->Node(54)->Text(), "NetscapeCache");
    EXPECT_EQ(Rec(Paint), (*ScanItemLists[tcWindowsSoftware])[0]);
    for (int i = 0; i < 55; ++i) {
        ui::TTreeNode *node = tree->Node(i);
        const bool expectTick = i != Favorites;
        EXPECT_EQ(node->StateIndex(), expectTick ? 6 : 7) << i;
        EXPECT_EQ(Rec(i)->Checked, expectTick ? 1 : 0) << i;
        EXPECT_EQ(Rec(i)->Count, 0) << i;
        if (node->Level() == 2) {
            EXPECT_EQ(node->ImageIndex(), 5) << i;
        }
    }
    EXPECT_EQ(frmMainForm->CountCheckedScanItems(), 49);
    EXPECT_EQ(frmMainForm->DataNotebook->PageIndex(), 0);
}

TEST_F(ScanPage, TickRulesByLevel)
{
    // a category toggles its items and itself, never the root
    frmMainForm->ToggleNodeTick(tree->Node(IECategory));
    for (int i = IECategory; i <= 10; ++i)
        EXPECT_EQ(State(i), 7) << i;
    EXPECT_EQ(Rec(Favorites)->Checked, 0);
    EXPECT_EQ(State(Root), 6);
    EXPECT_EQ(State(SoftwareCategory), 6);
    frmMainForm->ToggleNodeTick(tree->Node(IECategory));
    for (int i = IECategory; i <= 10; ++i)
        EXPECT_EQ(State(i), 6) << i;

    // an item toggles only itself
    frmMainForm->ToggleNodeTick(tree->Node(WordPad));
    EXPECT_EQ(State(WordPad), 7);
    EXPECT_EQ(Rec(WordPad)->Checked, 0);
    EXPECT_EQ(State(SoftwareCategory), 6);

    // the root sets every node to the opposite of its own tick
    frmMainForm->ToggleNodeTick(tree->Node(Root));
    for (int i = 0; i < 55; ++i)
        EXPECT_EQ(State(i), 7) << i;
    EXPECT_EQ(frmMainForm->CountCheckedScanItems(), 0);
    frmMainForm->ToggleNodeTick(tree->Node(Root));
    for (int i = 0; i < 55; ++i) {
        EXPECT_EQ(State(i), 6) << i;
        EXPECT_EQ(Rec(i)->Checked, 1) << i;
    }
}

TEST_F(ScanPage, ClickOnTheStatePictureToggles)
{
    ClickStateImage(IECategory);
    EXPECT_EQ(State(IECategory), 7);
    EXPECT_EQ(State(2), 7);
    EXPECT_EQ(State(Root), 6);
    EXPECT_EQ(tree->Selected(), tree->Node(IECategory));
    ClickStateImage(Paint);
    EXPECT_EQ(State(Paint), 7);
    // a click on the text selects without toggling
    RECT r = tree->Node(WordPad)->DisplayRect(true);
    PostMessageA(tree->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2));
    PostMessageA(tree->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(r.left + 4, (r.top + r.bottom) / 2));
    PumpMessages();
    EXPECT_EQ(State(WordPad), 6);
}

TEST_F(ScanPage, ScanPageButtonRestoresDefaultTicksAndSumsCounts)
{
    frmMainForm->ToggleNodeTick(tree->Node(Paint));
    frmMainForm->ToggleNodeTick(tree->Node(Favorites));
    Rec(Paint)->Count = 3;
    Rec(RunHistory)->Count = 4;
    Rec(30)->Count = 1;
    frmMainForm->ResultBtnClick(frmMainForm->ResultBtn);
    EXPECT_EQ(frmMainForm->DataNotebook->PageIndex(), 1);
    frmMainForm->ScanBtnClick(frmMainForm->ScanBtn);
    EXPECT_EQ(frmMainForm->DataNotebook->PageIndex(), 0);
    EXPECT_EQ(State(Paint), 6);
    EXPECT_EQ(State(Favorites), 7);
    // counts survive and are summed into fresh category and root records
    EXPECT_EQ(Rec(Paint)->Count, 3);
    EXPECT_EQ(Rec(SoftwareCategory)->Count, 3);
    EXPECT_EQ(Rec(SystemCategory)->Count, 5);
    EXPECT_EQ(Rec(IECategory)->Count, 0);
    EXPECT_EQ(Rec(Root)->Count, 8);
    frmMainForm->ResetItemCounts();
    for (int i = 0; i < 55; ++i)
        EXPECT_EQ(Rec(i)->Count, 0) << i;
}

TEST_F(ScanPage, PageButtonsIgnoredWhileScanning)
{
    ScanState = 1;
    frmMainForm->ResultBtnClick(frmMainForm->ResultBtn);
    frmMainForm->ScanBtnClick(frmMainForm->ScanBtn);
    EXPECT_EQ(frmMainForm->DataNotebook->PageIndex(), 0);
    EXPECT_EQ(frmMainForm->ResultBtn->ListImageIndex(), 2);   // still the normal picture
    ScanState = 0;
    frmMainForm->ResultBtnClick(frmMainForm->ResultBtn);
    EXPECT_EQ(frmMainForm->ResultBtn->ListImageIndex(), 3);
    EXPECT_EQ(frmMainForm->ScanBtn->ListImageIndex(), 0);
}

TEST_F(ScanPage, AnimationCyclesThroughTheSevenFrames)
{
    DM->ScanNodeIndex = Paint;
    DM->ScanFrame = 8;
    std::vector<int> seen;
    for (int i = 0; i < 9; ++i) {
        DM->ScanTimerTimer();
        seen.push_back(tree->Node(Paint)->ImageIndex());
    }
    EXPECT_EQ(seen, (std::vector<int>{8, 9, 10, 11, 12, 13, 14, 8, 9}));
    DM->ScanFrame = 40;   // out of range restarts at 8
    DM->ScanTimerTimer();
    EXPECT_EQ(tree->Node(Paint)->ImageIndex(), 8);
}

namespace {

std::vector<int> g_calls;
void RecordingScanner(ui::TTreeView *, int32_t nodeIndex, TResultContents *results)
{
    g_calls.push_back(nodeIndex);
    results->AddItem();
    PumpMessages();
}
void FailingScanner(ui::TTreeView *, int32_t nodeIndex, TResultContents *)
{
    g_calls.push_back(nodeIndex);
    throw std::runtime_error("Invalid data type for 'File1'");
}

// Puts a scanner into a table entry for one test.
class TableEntry {
public:
    TableEntry(TScanProc *table, int index, TScanProc proc)
        : slot_(&table[index]), old_(*slot_)
    {
        *slot_ = proc;
    }
    ~TableEntry() { *slot_ = old_; }

private:
    TScanProc *slot_;
    TScanProc old_;
};

}  // namespace

TEST_F(ScanPage, ScanRunsOnlyTickedItemsInCategoryOrderAndOpensTheResultPage)
{
    g_calls.clear();
    TableEntry a(WindowsSoftwareScanTable, 1, RecordingScanner);    // WordPad
    TableEntry b(InternetExplorerScanTable, 2, RecordingScanner);   // Cookies
    TableEntry c(WindowsSystemScanTable, 0, RecordingScanner);      // Run History
    UntickAll();
    frmMainForm->ToggleNodeTick(tree->Node(RunHistory));
    frmMainForm->ToggleNodeTick(tree->Node(WordPad));
    frmMainForm->ToggleNodeTick(tree->Node(4));
    ResultContents[tcInternetSoftware]->AddItem();   // the previous scan's results go

    frmMainForm->ScanNowBtnClick(frmMainForm->ScanNowBtn);

    EXPECT_EQ(g_calls, (std::vector<int>{4, WordPad, RunHistory}));
    EXPECT_EQ(ResultContents[tcInternetExplorer]->Count(), 1);
    EXPECT_EQ(ResultContents[tcWindowsSoftware]->Count(), 1);
    EXPECT_EQ(ResultContents[tcWindowsSystem]->Count(), 1);
    EXPECT_EQ(ResultContents[tcInternetSoftware]->Count(), 0);
    EXPECT_EQ(Settings.DetectedTotal, 3);
    EXPECT_EQ(frmMainForm->ScanGauge->MaxValue(), 3);
    EXPECT_EQ(frmMainForm->ScanGauge->Progress(), 3);
    EXPECT_FALSE(frmMainForm->ScanGauge->Visible());
    EXPECT_EQ(ScanState, 0);
    EXPECT_TRUE(frmMainForm->ScanNowBtn->Visible());
    EXPECT_FALSE(frmMainForm->AbortBtn->Visible());
    EXPECT_EQ(frmMainForm->ChangePanel->Width(), 229);
    EXPECT_EQ(frmMainForm->DataNotebook->PageIndex(), 1);
    EXPECT_FALSE(DM->ScanTimer->Enabled());
    for (int i : {4, WordPad, RunHistory})
        EXPECT_EQ(tree->Node(i)->ImageIndex(), 5) << i;
    // the statistics are stored
    EXPECT_EQ(RegGetType(HKEY_LOCAL_MACHINE, MachineSettings, "DetedtedTotal"), static_cast<DWORD>(REG_DWORD));
}

namespace {

// Sets ScanState to 2 when the pump handles the posted message: the way Abort reaches a scan.
LRESULT CALLBACK AbortingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP + 7)
        ScanState = 2;
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

}  // namespace

TEST_F(ScanPage, AbortInTheSecondCategoryStopsTheRest)
{
    g_calls.clear();
    TableEntry a(WindowsSoftwareScanTable, 0, RecordingScanner);
    TableEntry b(WindowsSoftwareScanTable, 1, RecordingScanner);
    TableEntry c(InternetExplorerScanTable, 0, RecordingScanner);
    TableEntry d(WindowsSystemScanTable, 0, RecordingScanner);
    UntickAll();
    for (int i : {2, Paint, WordPad, RunHistory})
        frmMainForm->ToggleNodeTick(tree->Node(i));

    WNDCLASSA wc{};
    wc.lpfnWndProc = AbortingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QmAbortProbe";
    RegisterClassA(&wc);
    HWND probe = CreateWindowA("QmAbortProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(probe, nullptr);
    // The IE scanner pumps first; the message is posted from there, so the abort lands in Paint's pump.
    struct Poster {
        static void Scan(ui::TTreeView *t, int32_t n, TResultContents *r)
        {
            RecordingScanner(t, n, r);
            PostMessageA(FindWindowExA(HWND_MESSAGE, nullptr, "QmAbortProbe", nullptr), WM_APP + 7, 0, 0);
        }
    };
    TableEntry e(InternetExplorerScanTable, 0, Poster::Scan);

    frmMainForm->ScanNowBtnClick(frmMainForm->ScanNowBtn);

    EXPECT_EQ(g_calls, (std::vector<int>{2, Paint}));
    EXPECT_EQ(ResultContents[tcWindowsSystem]->Count(), 0);
    EXPECT_EQ(Settings.DetectedTotal, 2);   // IE and the interrupted Windows Software category
    EXPECT_EQ(ScanState, 0);
    EXPECT_EQ(frmMainForm->DataNotebook->PageIndex(), 1);
    EXPECT_EQ(tree->Node(Paint)->ImageIndex(), 5);
    DestroyWindow(probe);
    UnregisterClassA("QmAbortProbe", wc.hInstance);
}

namespace {

// Abort, then the Scan page button, both handled inside the scanner's message pump.
void StoppedAndLeftScanner(ui::TTreeView *, int32_t nodeIndex, TResultContents *results)
{
    g_calls.push_back(nodeIndex);
    results->AddItem();
    frmMainForm->AbortBtnClick(frmMainForm->AbortBtn);
    frmMainForm->ScanBtnClick(frmMainForm->ScanBtn);
}

}  // namespace

TEST_F(ScanPage, ScanPageClickWhileStoppingRebuildsTheTreeUnderTheRunningScanner)
{
    g_calls.clear();
    TableEntry a(WindowsSoftwareScanTable, 0, StoppedAndLeftScanner);   // Paint
    UntickAll();
    frmMainForm->ToggleNodeTick(tree->Node(Paint));
    {
        // The rebuild frees the node of the running item: touching it afterwards crashes here.
        PoisonFreedMemory poison;
        frmMainForm->ScanNowBtnClick(frmMainForm->ScanNowBtn);
    }
    EXPECT_EQ(g_calls, (std::vector<int>{Paint}));
    EXPECT_EQ(ScanState, 0);
    EXPECT_FALSE(DM->ScanTimer->Enabled());
    ASSERT_EQ(tree->NodeCount(), 55);
    for (int i = 0; i < tree->NodeCount(); ++i) {
        if (tree->Node(i)->Level() == 2) {
            EXPECT_EQ(tree->Node(i)->ImageIndex(), 5) << i;
        }
    }
}

TEST_F(ScanPage, ScannerErrorEndsTheScanOnceAndLeavesThePageIdle)
{
    g_calls.clear();
    TableEntry a(WindowsSoftwareScanTable, 0, FailingScanner);
    TableEntry b(WindowsSystemScanTable, 0, RecordingScanner);
    TableEntry c(InternetExplorerScanTable, 0, RecordingScanner);
    UntickAll();
    frmMainForm->ToggleNodeTick(tree->Node(2));
    frmMainForm->ToggleNodeTick(tree->Node(Paint));
    frmMainForm->ToggleNodeTick(tree->Node(RunHistory));
    std::vector<std::string> shown;
    ui::Application->OnException = [&](const std::exception &e) { shown.push_back(e.what()); };

    frmMainForm->ScanNowBtnClick(frmMainForm->ScanNowBtn);
    ui::Application->OnException = nullptr;

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("File1"), std::string::npos);
    EXPECT_EQ(g_calls, (std::vector<int>{2, Paint}));
    // what the scan found before the failure is kept, counted and stored
    EXPECT_EQ(ResultContents[tcInternetExplorer]->Count(), 1);
    EXPECT_EQ(Settings.DetectedTotal, 1);
    EXPECT_EQ(RegGetType(HKEY_LOCAL_MACHINE, MachineSettings, "DetedtedTotal"), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ScanState, 0);
    EXPECT_TRUE(frmMainForm->ScanNowBtn->Visible());
    EXPECT_FALSE(frmMainForm->AbortBtn->Visible());
    EXPECT_FALSE(frmMainForm->ScanGauge->Visible());
    EXPECT_EQ(frmMainForm->ChangePanel->Width(), 229);
    EXPECT_FALSE(DM->ScanTimer->Enabled());
    EXPECT_EQ(tree->Node(Paint)->ImageIndex(), 5);
    EXPECT_EQ(frmMainForm->DataNotebook->PageIndex(), 1);
    // page buttons work again
    frmMainForm->ScanBtnClick(frmMainForm->ScanBtn);
    EXPECT_EQ(frmMainForm->DataNotebook->PageIndex(), 0);
}

TEST_F(ScanPage, NothingTickedStoresZeroAndOpensAnEmptyResult)
{
    RegSetDword(HKEY_LOCAL_MACHINE, MachineSettings, "DetedtedTotal", 9);
    UntickAll();
    frmMainForm->ScanNowBtnClick(frmMainForm->ScanNowBtn);
    EXPECT_EQ(Settings.DetectedTotal, 0);
    DWORD stored = 99, size = sizeof(stored);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, MachineSettings, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegQueryValueExA(key, "DetedtedTotal", nullptr, nullptr, reinterpret_cast<BYTE *>(&stored), &size);
    RegCloseKey(key);
    EXPECT_EQ(stored, 0u);
    EXPECT_EQ(frmMainForm->DataNotebook->PageIndex(), 1);
    EXPECT_EQ(frmMainForm->ScanGauge->MaxValue(), 0);
}

namespace {

std::string g_boxText, g_boxCaption;

BOOL CALLBACK FindBox(HWND wnd, LPARAM lParam)
{
    char cls[32] = {};
    GetClassNameA(wnd, cls, sizeof(cls));
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(wnd)) {
        *reinterpret_cast<HWND *>(lParam) = wnd;
        return FALSE;
    }
    return TRUE;
}

// Runs inside the message box's own loop: reads it and presses OK.
VOID CALLBACK CloseBox(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr)
        return;
    char text[256] = {}, caption[64] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof(text));
    GetWindowTextA(box, caption, sizeof(caption));
    g_boxText = text;
    g_boxCaption = caption;
    KillTimer(nullptr, id);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

}  // namespace

TEST_F(ScanPage, RefusedWhileFirefoxRunsAndTheLastResultsStay)
{
    TempDir dir;
    const std::string exe = dir / "firefox.exe";
    ASSERT_TRUE(CopyFileA(QM_BINARY_DIR "\\tests\\qm_sleeper.exe", exe.c_str(), FALSE));
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::string cmd = "\"" + exe + "\" 60000";
    ASSERT_TRUE(CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    for (int i = 0; i < 100 && !IsFirefoxRunning(); ++i)
        Sleep(50);
    ASSERT_TRUE(IsFirefoxRunning());

    ResultContents[tcWindowsSoftware]->AddItem();
    Rec(Paint)->Count = 1;
    Settings.DetectedTotal = 1;
    const double lastScan = Settings.LastScanTime = 12345.0;
    frmMainForm->ResultBtnClick(frmMainForm->ResultBtn);
    g_boxText.clear();
    SetTimer(nullptr, 0, 100, CloseBox);

    frmMainForm->ScanNowBtnClick(frmMainForm->ScanNowBtn);

    EXPECT_EQ(g_boxText, "Mozilla Firefox is running, please close Firefox!");
    EXPECT_EQ(g_boxCaption, "Quillmoor");
    EXPECT_EQ(ResultContents[tcWindowsSoftware]->Count(), 1);
    EXPECT_EQ(Rec(Paint)->Count, 1);
    EXPECT_EQ(Settings.DetectedTotal, 1);
    EXPECT_EQ(Settings.LastScanTime, lastScan);
    EXPECT_EQ(ScanState, 0);
    EXPECT_EQ(frmMainForm->DataNotebook->PageIndex(), 1);
    EXPECT_TRUE(frmMainForm->ScanNowBtn->Visible());

    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}
