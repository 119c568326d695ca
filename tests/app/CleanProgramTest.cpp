// The whole road on the real Quillmoor.exe: traces in all four categories, a scan, some rows and one
// item unticked, Clean, then what is really gone and what is left in the registry, on disk and in
// the URL cache; Finish shows the recounted tree.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>
#include <cstddef>
#include <cstring>
#include <string>
#include <vector>
#include "MainFormDriver.h"
#include "TestSupport.h"

using namespace qmtest;
using namespace qmdrive;

namespace {

const char *const MachineSettings = "Software\\Quillmoor";
const char *const PolicyKey = "Software\\microsoft\\Windows\\CurrentVersion\\Policies\\System";
const char *const PaintKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List";
const char *const RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const char *const ShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Layout points of the main window (client coordinates): the Scan Now button, and the Clean button
// with Finish at the same place.
const POINT ScanNowButton{166 + 246 + 8 + 110, 108 + 301 + 2 + 26};
const POINT CleanButton{166 + 252 + 110, 108 + 283 + 12 + 26};

const std::string UrlA = "http://qm-e2e.example/kept-out/a.html";
const std::string UrlB = "http://qm-e2e.example/kept-in/b.html";

bool AddUrlCacheEntry(const std::string &url)
{
    char file[MAX_PATH] = {0};
    if (!CreateUrlCacheEntryA(url.c_str(), 0, "htm", file, 0)) return false;
    if (!WriteFileBytes(file, "<html>cached page</html>")) return false;
    FILETIME zero = {0, 0};
    return CommitUrlCacheEntryA(url.c_str(), file, zero, zero, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr, nullptr) != 0;
}

bool InUrlCache(const std::string &url)
{
    DWORD size = 0;
    if (GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size)) return true;
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

// Messages whose argument points into the program: the block is made there and read back.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, size_t size) : process_(process)
    {
        mem_ = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBlock()
    {
        if (mem_) VirtualFreeEx(process_, mem_, 0, MEM_RELEASE);
    }
    char *Address() const { return static_cast<char *>(mem_); }
    void Write(const void *data, size_t size)
    {
        SIZE_T n = 0;
        WriteProcessMemory(process_, mem_, data, size, &n);
    }
    void Read(void *data, size_t size)
    {
        SIZE_T n = 0;
        ReadProcessMemory(process_, mem_, data, size, &n);
    }

private:
    HANDLE process_;
    void *mem_ = nullptr;
};

struct RemoteText {
    LVITEMA item;
    char text[512];
};

std::string ListText(HANDLE process, HWND list, int row, int sub)
{
    RemoteBlock block(process, sizeof(RemoteText));
    RemoteText r{};
    r.item.iSubItem = sub;
    r.item.pszText = block.Address() + offsetof(RemoteText, text);
    r.item.cchTextMax = sizeof r.text;
    block.Write(&r, sizeof r);
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.Address()));
    block.Read(&r, sizeof r);
    r.text[sizeof r.text - 1] = 0;
    return r.text;
}

struct RemoteTreeText {
    TVITEMA item;
    char text[256];
};

std::string TreeText(HANDLE process, HWND tree, HTREEITEM item)
{
    RemoteBlock block(process, sizeof(RemoteTreeText));
    RemoteTreeText r{};
    r.item.mask = TVIF_TEXT;
    r.item.hItem = item;
    r.item.pszText = block.Address() + offsetof(RemoteTreeText, text);
    r.item.cchTextMax = sizeof r.text;
    block.Write(&r, sizeof r);
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.Address()));
    block.Read(&r, sizeof r);
    r.text[sizeof r.text - 1] = 0;
    return r.text;
}

// Clicks the state picture of a list row, found by the list's own hit test.
bool ClickListState(HANDLE process, HWND list, int row)
{
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    RemoteBlock block(process, sizeof(LVHITTESTINFO));
    RECT r{};
    r.left = LVIR_BOUNDS;
    block.Write(&r, sizeof r);
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(block.Address()));
    block.Read(&r, sizeof r);
    const int y = (r.top + r.bottom) / 2;
    for (int x = r.left; x < r.left + 60; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = POINT{x, y};
        block.Write(&hit, sizeof hit);
        SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(block.Address()));
        block.Read(&hit, sizeof hit);
        if (hit.iItem == row && (hit.flags & LVHT_ONITEMSTATEICON)) {
            PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x + 3, y));
            PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(x + 3, y));
            return true;
        }
    }
    return false;
}

// Window enumeration callbacks: named functions, since a lambda cannot be a stdcall callback on
// 32 bits.
struct ChildSearch {
    const char *cls;
    int height;
    HWND found;
};

BOOL CALLBACK ChildBySizeProc(HWND h, LPARAM lp)
{
    auto *s = reinterpret_cast<ChildSearch *>(lp);
    char c[64] = {};
    GetClassNameA(h, c, sizeof c);
    RECT r;
    GetWindowRect(h, &r);
    if (lstrcmpiA(c, s->cls) == 0 && r.bottom - r.top == s->height) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

struct BoxSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MessageBoxProc(HWND h, LPARAM lp)
{
    auto *q = reinterpret_cast<BoxSearch *>(lp);
    char c[64] = {};
    GetClassNameA(h, c, sizeof c);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == q->pid && lstrcmpA(c, "#32770") == 0 && IsWindowVisible(h)) {
        q->found = h;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK StaticTextsProc(HWND h, LPARAM lp)
{
    char c[64] = {}, t[256] = {};
    GetClassNameA(h, c, sizeof c);
    GetWindowTextA(h, t, sizeof t);
    if (lstrcmpiA(c, "Static") == 0 && t[0]) *reinterpret_cast<std::string *>(lp) += t;
    return TRUE;
}

// The child window of a class whose height is `height` (the result tree and list by their size).
HWND FindChildBySize(HWND main, const char *cls, int height)
{
    ChildSearch s{cls, height, nullptr};
    EnumChildWindows(main, ChildBySizeProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// A visible message box of the program, or nullptr.
HWND FindMessageBox(DWORD pid)
{
    BoxSearch q{pid, nullptr};
    EnumWindows(MessageBoxProc, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

std::string StaticTexts(HWND box)
{
    std::string all;
    EnumChildWindows(box, StaticTextsProc, reinterpret_cast<LPARAM>(&all));
    return all;
}

class CleanProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FileExists(QuillmoorExe()));
        ASSERT_TRUE(MainWindows().empty());
        ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, PolicyKey, "EnableLUA", 0));
        ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, MachineSettings, "ErasAskWhenDel", 0));
        sendTo = RegGetString(HKEY_CURRENT_USER, ShellFolders, "SendTo");
        recent = RegGetString(HKEY_CURRENT_USER, ShellFolders, "Recent");
        appData = RegGetString(HKEY_CURRENT_USER, ShellFolders, "AppData");
        ASSERT_FALSE(sendTo.empty());
        ASSERT_FALSE(recent.empty());
        ASSERT_FALSE(appData.empty());
        profile = appData + "\\Mozilla\\Firefox\\Profiles\\qm-e2e.default";
    }
    void TearDown() override
    {
        prog.reset();
        DeleteTreeA(appData + "\\Mozilla");
        for (const std::string &f : {sendTo + "\\qm one.txt", sendTo + "\\qm two.txt", recent + "\\qm recent.txt"})
            DeleteFileA(f.c_str());
        DeleteUrlCacheEntryA(UrlA.c_str());
        DeleteUrlCacheEntryA(UrlB.c_str());
        if (madeRecycled) DeleteTreeA("c:\\Recycled");
    }
    void Seed()
    {
        // Internet Explorer: two cached pages.
        ASSERT_TRUE(AddUrlCacheEntry(UrlA));
        ASSERT_TRUE(AddUrlCacheEntry(UrlB));
        // Windows Software: Paint's recent files.
        for (const char *v : {"File1", "File2", "File3"})
            ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, PaintKey, v, std::string("C:\\qm-pics\\") + v + ".bmp"));
        // Windows System: Run history, Send To, Recent and the Recycled folder.
        for (const char *v : {"a", "b"}) ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, RunKey, v, std::string("qm-cmd-") + v));
        CreateDirectoryA(sendTo.c_str(), nullptr);
        CreateDirectoryA(recent.c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(sendTo + "\\qm one.txt", "one"));
        ASSERT_TRUE(WriteFileBytes(sendTo + "\\qm two.txt", "two"));
        ASSERT_TRUE(WriteFileBytes(recent + "\\qm recent.txt", "recent"));
        if (!DirExists("c:\\Recycled")) {
            ASSERT_TRUE(CreateDirectoryA("c:\\Recycled", nullptr));
            madeRecycled = true;
        }
        ASSERT_TRUE(WriteFileBytes("c:\\Recycled\\Dc1.txt", "recycled"));
        // Internet Software: a Firefox profile with a history and cookies.
        for (const std::string &d : {appData + "\\Mozilla", appData + "\\Mozilla\\Firefox",
                                     appData + "\\Mozilla\\Firefox\\Profiles", profile})
            CreateDirectoryA(d.c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(profile + "\\history.dat",
                                   "// <!-- <mdb:mork:z v=\"1.4\"/> -->\r\n(http://qm-visited.example/one)"
                                   "(http://qm-visited.example/two)\r\n"));
        ASSERT_TRUE(WriteFileBytes(profile + "\\cookies.txt",
                                   "# Netscape HTTP Cookie File\r\n"
                                   ".qm-one.example\tTRUE\t/\tFALSE\t2000000000\tsid\t1\r\n"
                                   ".qm-two.example\tTRUE\t/\tFALSE\t2000000000\tsid\t2\r\n"));
    }
    int RowNamed(HWND list, const std::string &name)
    {
        const int n = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < n; ++i)
            if (ListText(prog->Process(), list, i, 1) == name) return i;
        return -1;
    }
    std::vector<std::string> TreeTexts(HWND tree)
    {
        std::vector<std::string> v;
        for (HTREEITEM item : TreeItems(tree)) v.push_back(TreeText(prog->Process(), tree, item));
        return v;
    }
    HTREEITEM TreeItemNamed(HWND tree, const std::string &name)
    {
        for (HTREEITEM item : TreeItems(tree))
            if (TreeText(prog->Process(), tree, item) == name) return item;
        return nullptr;
    }
    static bool Has(const std::vector<std::string> &v, const std::string &s)
    {
        for (const std::string &x : v)
            if (x == s) return true;
        return false;
    }

    RegKeyGuard user{HKEY_CURRENT_USER, "SOFTWARE\\Quillmoor"};
    RegKeyGuard policy{HKEY_LOCAL_MACHINE, PolicyKey};
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, MachineSettings};
    RegKeyGuard paint{HKEY_CURRENT_USER, PaintKey};
    RegKeyGuard run{HKEY_CURRENT_USER, RunKey};
    std::string sendTo, recent, appData, profile;
    bool madeRecycled = false;
    std::unique_ptr<TProgram> prog;
};

TEST_F(CleanProgram, CleanRemovesExactlyTheCheckedTracesAndFinishRecounts)
{
    Seed();
    prog = std::make_unique<TProgram>();
    ASSERT_TRUE(prog->Start());
    HWND main = prog->WaitForWindow();
    ASSERT_NE(main, nullptr);
    SetForegroundWindow(main);

    ClickAt(main, ScanNowButton.x, ScanNowButton.y);
    HWND resultTree = nullptr, list = nullptr;
    // The scan ends on the Result page with the result tree built.
    ASSERT_TRUE(WaitUntil(
        [&] {
            resultTree = FindChildBySize(main, WC_TREEVIEWA, 105);
            list = FindChildBySize(main, WC_LISTVIEWA, 150);
            return resultTree && list && IsWindowVisible(list) && SendMessageA(resultTree, TVM_GETCOUNT, 0, 0) > 0;
        },
        120000));
    std::vector<std::string> nodes = TreeTexts(resultTree);
    for (const char *n : {"My Computer", "Internet Explorer", "Cache", "Windows Software", "Paint", "Windows System",
                          "Run History", "Windows Send To", "Recent Files", "RecycleBin", "Internet Software",
                          "FireFoxHistory", "FireFoxCookies"})
        EXPECT_TRUE(Has(nodes, n)) << n;

    // Untick two rows in the list: one cached page and one of Paint's files.
    for (const std::string &name : {UrlB, std::string("C:\\qm-pics\\File2.bmp")}) {
        const int row = RowNamed(list, name);
        ASSERT_GE(row, 0) << name;
        ASSERT_TRUE(ClickListState(prog->Process(), list, row)) << name;
        WaitUntil([] { return false; }, 300);
    }
    // Untick two items on the tree: all of the Run history and the Firefox history.
    for (const char *name : {"Run History", "FireFoxHistory"}) {
        HTREEITEM item = TreeItemNamed(resultTree, name);
        ASSERT_NE(item, nullptr) << name;
        ClickStateImage(prog->Process(), resultTree, item);
        ASSERT_TRUE(WaitUntil([&] { return TreeStateImage(resultTree, item) == 7; }, 5000)) << name;
    }

    ClickAt(main, CleanButton.x, CleanButton.y);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(prog->Id())) != nullptr; }, 120000));
    char caption[64] = {};
    GetWindowTextA(box, caption, sizeof caption);
    EXPECT_STREQ(caption, "Quillmoor");
    EXPECT_EQ(StaticTexts(box), "Clean evidence complete!");

    // What was checked is gone ...
    EXPECT_FALSE(InUrlCache(UrlA));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, PaintKey, "File1"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, PaintKey, "File3"));
    EXPECT_FALSE(FileExists(sendTo + "\\qm one.txt"));
    EXPECT_FALSE(FileExists(sendTo + "\\qm two.txt"));
    EXPECT_FALSE(FileExists(recent + "\\qm recent.txt"));
    EXPECT_FALSE(FileExists("c:\\Recycled\\Dc1.txt"));
    EXPECT_FALSE(FileExists(profile + "\\cookies.txt"));
    // ... and what was not is intact.
    EXPECT_TRUE(InUrlCache(UrlB));
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, PaintKey, "File2"), "C:\\qm-pics\\File2.bmp");
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, RunKey, "a"), "qm-cmd-a");
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, RunKey, "b"), "qm-cmd-b");
    EXPECT_TRUE(FileExists(profile + "\\history.dat"));
    EXPECT_TRUE(DirExists("c:\\Recycled"));

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindMessageBox(prog->Id()) == nullptr; }, 10000));
    WaitUntil([] { return false; }, 500);

    // Finish sits where Clean was: the removed traces drop out and the trees are recounted.
    ClickAt(main, CleanButton.x, CleanButton.y);
    HWND scanTree = FindTree(main, 55);
    ASSERT_NE(scanTree, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(scanTree) != FALSE; }, 10000));
    WaitUntil([] { return false; }, 500);
    nodes = TreeTexts(resultTree);
    for (const char *n : {"My Computer", "Internet Explorer", "Cache", "Windows Software", "Paint", "Windows System",
                          "Run History", "Internet Software", "FireFoxHistory"})
        EXPECT_TRUE(Has(nodes, n)) << n;
    for (const char *n : {"Windows Send To", "FireFoxCookies"}) EXPECT_FALSE(Has(nodes, n)) << n;
    // The list now shows the survivors only, none of them deleted.
    const int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    EXPECT_GE(RowNamed(list, UrlB), 0);
    EXPECT_GE(RowNamed(list, "C:\\qm-pics\\File2.bmp"), 0);
    EXPECT_LT(RowNamed(list, UrlA), 0);
    for (int i = 0; i < rows; ++i) EXPECT_EQ(ListText(prog->Process(), list, i, 3), "") << i;
}

}  // namespace
