// The whole scan as Scan Now runs it, on the shown main window, over 1,000 and 10,000 traces spread
// over the four categories: URL-cache entries (Internet Explorer), Paint's recent-file values
// (Windows Software), files of the Recent folder (Windows System) and files of the Firefox cache
// folder (Internet Software). Everything it makes is removed afterwards, and the "Shell Folders"
// values it points at its own folders are put back.
// Goal: 10,000 traces in under 3 s, the time per trace about the same for both sizes, and the
// messages never left waiting much longer than the scanners' 20 ms between two turns.
// Nearly all of a trace's cost is round trips to the wine server, so the figures follow the round
// trip printed on the first line. On a virtual machine that trip can be several times slower when
// the server and the program run on different processors; for steady figures keep the session on
// one (QM_WINE_CPU=3 before scripts/wine-session start, as scripts/test does).
// Run: scripts/wine-run build/x86_64/bench/scan_bench.exe [traces ...]
#include <windows.h>
#include <wininet.h>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>
#include "app/DMUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "engine/CatalogueUnit.h"
#include "engine/ResultContentUnit.h"
#include "ui/Application.h"
#include "ui/TreeView.h"

namespace {

const char *const kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char *const kPaintKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List";
const char *const kHost = "qm-scan-bench.example";

// Item nodes of the Scan page's tree.
const int kCacheNode = 2, kPaintNode = 12, kRecentNode = 31, kFirefoxCacheNode = 51;

double Now()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

bool WriteSmallFile(const std::string &path, const std::string &bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(h);
    return ok && put == bytes.size();
}

void RemoveTree(const std::string &folder)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(folder.c_str());
}

// One "Shell Folders" value pointed elsewhere for the run and put back as it was.
class ShellFolderOverride {
public:
    ShellFolderOverride(const char *name, const std::string &folder) : name_(name)
    {
        RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        DWORD size = sizeof old_;
        had_ = RegQueryValueExA(key_, name_, nullptr, &type_, reinterpret_cast<BYTE *>(old_), &size) == ERROR_SUCCESS;
        oldSize_ = size;
        RegSetValueExA(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE *>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
    }
    ~ShellFolderOverride()
    {
        if (had_)
            RegSetValueExA(key_, name_, 0, type_, reinterpret_cast<const BYTE *>(old_), oldSize_);
        else
            RegDeleteValueA(key_, name_);
        RegCloseKey(key_);
    }

private:
    const char *name_;
    HKEY key_ = nullptr;
    char old_[MAX_PATH * 2] = "";
    DWORD oldSize_ = 0, type_ = 0;
    bool had_ = false;
};

// The traces of one run, a quarter in each category.
class Traces {
public:
    Traces(const std::string &root, int total) : root_(root)
    {
        const int quarter = total / 4;
        counts_[0] = quarter;
        counts_[1] = quarter;
        counts_[2] = quarter;
        counts_[3] = total - 3 * quarter;
        CreateDirectoryA(root.c_str(), nullptr);
        for (const char *sub : {"\\Recent", "\\AppData", "\\Local", "\\Local\\Mozilla", "\\Local\\Mozilla\\Firefox",
                                "\\Local\\Mozilla\\Firefox\\Profiles", "\\Local\\Mozilla\\Firefox\\Profiles\\b.default",
                                "\\Local\\Mozilla\\Firefox\\Profiles\\b.default\\Cache"})
            CreateDirectoryA((root + sub).c_str(), nullptr);

        for (int i = 0; i < counts_[0]; ++i) {
            const std::string url = std::string("http://") + kHost + "/page" + std::to_string(i) + ".html";
            char file[MAX_PATH] = "";
            if (!CreateUrlCacheEntryA(url.c_str(), 0, "htm", file, 0)) continue;
            WriteSmallFile(file, "<html>" + std::to_string(i) + "</html>");
            FILETIME none = {0, 0};
            static const char header[] = "HTTP/1.1 200 OK\r\n\r\n";
            if (CommitUrlCacheEntryA(url.c_str(), file, none, none, NORMAL_CACHE_ENTRY,
                                     reinterpret_cast<BYTE *>(const_cast<char *>(header)), sizeof header - 1,
                                     nullptr, nullptr))
                urls_.push_back(url);
        }
        HKEY paint;
        paintExisted_ = RegOpenKeyExA(HKEY_CURRENT_USER, kPaintKey, 0, KEY_READ, &paint) == ERROR_SUCCESS;
        if (paintExisted_) RegCloseKey(paint);
        RegCreateKeyExA(HKEY_CURRENT_USER, kPaintKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &paint, nullptr);
        for (int i = 0; i < counts_[1]; ++i) {
            const std::string name = "QmBench" + std::to_string(i);
            const std::string data = "C:\\pictures\\bench" + std::to_string(i) + ".bmp";
            RegSetValueExA(paint, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(data.c_str()),
                           static_cast<DWORD>(data.size() + 1));
        }
        RegCloseKey(paint);
        for (int i = 0; i < counts_[2]; ++i)
            WriteSmallFile(root + "\\Recent\\doc" + std::to_string(i) + ".lnk", "shortcut");
        const std::string cache = root + "\\Local\\Mozilla\\Firefox\\Profiles\\b.default\\Cache\\";
        for (int i = 0; i < counts_[3]; ++i) WriteSmallFile(cache + std::to_string(i), "cached");
    }
    ~Traces()
    {
        for (const std::string &url : urls_) DeleteUrlCacheEntryA(url.c_str());
        if (paintExisted_) {
            HKEY paint;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, kPaintKey, 0, KEY_ALL_ACCESS, &paint) == ERROR_SUCCESS) {
                for (int i = 0; i < counts_[1]; ++i) RegDeleteValueA(paint, ("QmBench" + std::to_string(i)).c_str());
                RegCloseKey(paint);
            }
        } else {
            RegDeleteKeyA(HKEY_CURRENT_USER, kPaintKey);
        }
        RemoveTree(root_);
    }
    int Count(int category) const { return category == 0 ? static_cast<int>(urls_.size()) : counts_[category]; }
    int Total() const { return Count(0) + counts_[1] + counts_[2] + counts_[3]; }

private:
    std::string root_;
    int counts_[4] = {};
    std::vector<std::string> urls_;
    bool paintExisted_ = false;
};

// How long one round trip to the wine server takes here: a registry read of one value, 2,000 times.
// Every trace costs a few of them, so the scan's figures scale with it.
double RoundTripMicroseconds()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    const int reads = 2000;
    const double start = Now();
    for (int i = 0; i < reads; ++i) {
        char value[MAX_PATH * 2];
        DWORD size = sizeof value;
        RegQueryValueExA(key, "AppData", nullptr, nullptr, reinterpret_cast<BYTE *>(value), &size);
    }
    const double seconds = Now() - start;
    RegCloseKey(key);
    return 1e6 * seconds / reads;
}

// How long the program went without handling its messages while a scan ran, seen through a 10 ms
// timer of a window of our own that only the scan's message turns can serve: the longest wait
// between two turns, the wait for the first one, and the time after the last one (the scan's end:
// the result tree and list are built then).
class TurnWatch {
public:
    TurnWatch()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "QmScanBenchWatch";
        RegisterClassA(&wc);
        window_ = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~TurnWatch() { DestroyWindow(window_); }
    void Start()
    {
        start_ = last_ = GetTickCount();
        first_ = 0;
        longest_ = 0;
        SetTimer(window_, 1, 10, nullptr);
    }
    void Stop(DWORD &longest, DWORD &head, DWORD &tail)
    {
        KillTimer(window_, 1);
        longest = longest_;
        head = (first_ ? first_ : GetTickCount()) - start_;
        tail = GetTickCount() - last_;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        if (msg != WM_TIMER) return DefWindowProcA(hwnd, msg, wp, lp);
        const DWORD now = GetTickCount();
        if (first_)
            longest_ = std::max(longest_, now - last_);
        else
            first_ = now;
        last_ = now;
        return 0;
    }
    HWND window_ = nullptr;
    static DWORD start_, first_, last_, longest_;
};
DWORD TurnWatch::start_ = 0, TurnWatch::first_ = 0, TurnWatch::last_ = 0, TurnWatch::longest_ = 0;

int NodeCount(int node)
{
    return static_cast<TSectionRec *>(frmMainForm->tvItemsList->Node(node)->Data)->Count;
}

struct Run {
    int traces = 0;
    double seconds = 0;
    DWORD longestWait = 0, firstWait = 0, endWait = 0;   // ms without a message turn
    bool exact = false;
};

Run ScanOnce(const std::string &root, int total)
{
    static TurnWatch watch;
    Run run;
    Traces traces(root, total);
    ShellFolderOverride recent("Recent", root + "\\Recent");
    ShellFolderOverride appData("AppData", root + "\\AppData");
    ShellFolderOverride localAppData("Local AppData", root + "\\Local");
    run.traces = traces.Total();

    ui::Application->ProcessMessages();
    watch.Start();
    const double start = Now();
    frmMainForm->ScanNowBtnClick(nullptr);
    run.seconds = Now() - start;
    watch.Stop(run.longestWait, run.firstWait, run.endWait);

    // The prefix's own traces may add to a category; ours must all be there, and every node's
    // count must equal the items of its kind.
    const int cacheItems = NodeCount(kCacheNode), paintItems = NodeCount(kPaintNode);
    const int recentItems = NodeCount(kRecentNode), firefoxItems = NodeCount(kFirefoxCacheNode);
    int found = 0;
    for (TResultContents *contents : ResultContents) found += contents->Count();
    run.exact = cacheItems >= traces.Count(0) && paintItems >= traces.Count(1) && recentItems == traces.Count(2) &&
                firefoxItems == traces.Count(3) && NodeCount(0) == found && Settings.DetectedTotal == found;
    if (!run.exact)
        printf("  counts: cache %d of %d, Paint %d of %d, Recent %d of %d, Firefox cache %d of %d\n", cacheItems,
               traces.Count(0), paintItems, traces.Count(1), recentItems, traces.Count(2), firefoxItems,
               traces.Count(3));
    return run;
}

}  // namespace

int main(int argc, char **argv)
{
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {1000, 10000};

    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string root = std::string(tmp) + "qm_scan_bench";

    // A failing scan shows its error in a message box: here it is printed instead.
    ui::Application->OnException = [](const std::exception &e) { printf("error: %s\n", e.what()); };
    WriteDefaultSettings();
    DM = new TDM();
    frmMainForm = new TfrmMainForm();
    frmMainForm->Show();
    ui::Application->ProcessMessages();

    // The first scan of a process pays for loading what the scanners use; an empty scan first, and
    // one more to measure the fixed cost of a scan that finds nothing of ours.
    ScanOnce(root, 0);
    const Run empty = ScanOnce(root, 0);
    printf("%6s traces: %7.3f s (the fixed cost of a scan); one wine server round trip: %.1f us\n", "no",
           empty.seconds, RoundTripMicroseconds());

    std::vector<Run> runs;
    bool ok = true;
    for (int n : sizes) {
        Run run = ScanOnce(root, n);
        const double per = run.traces > 0 ? 1000.0 * run.seconds / run.traces : 0;
        const double beyond = run.traces > 0 ? 1000.0 * (run.seconds - empty.seconds) / run.traces : 0;
        printf("%6d traces: %7.3f s, %.3f ms per trace (%.3f ms beyond the fixed cost)%s\n", run.traces,
               run.seconds, per, beyond, run.exact ? "" : "  WRONG COUNTS");
        printf("        messages waited at most %lu ms between two turns; %lu ms for the first, %lu ms at the end\n",
               static_cast<unsigned long>(run.longestWait), static_cast<unsigned long>(run.firstWait),
               static_cast<unsigned long>(run.endWait));
        ok = ok && run.exact;
        runs.push_back(run);
    }
    if (runs.size() >= 2 && runs.front().traces > 0) {
        const Run &a = runs.front(), &b = runs.back();
        const double perA = (a.seconds - empty.seconds) / a.traces, perB = (b.seconds - empty.seconds) / b.traces;
        printf("growth: %d traces cost x%.2f per trace of %d traces (1.00 is linear)\n", b.traces, perB / perA,
               a.traces);
    }
    for (const Run &run : runs)
        if (run.traces >= 10000 && run.seconds >= 3.0) ok = false;
    printf("%s\n", ok ? "ok" : "TOO SLOW OR WRONG COUNT");

    delete frmMainForm;
    frmMainForm = nullptr;
    delete DM;
    DM = nullptr;
    return ok ? 0 : 1;
}
