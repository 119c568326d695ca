#include <windows.h>
#include <climits>
#include <cstring>
#include <iterator>
#include <set>
#include <utility>
#include "engine/RegistryInfoUnit.h"
#include "engine/IneterNetExploerUnit.h"
#include "engine/InternetSoftWareBrowsers.h"
#include "ui/Exceptions.h"
#include "ui/Registry.h"

std::string FoundPath;

namespace {

// Kind and path of every file that holds an excluded entry, and of every file whose scan was
// stopped before its end.
std::set<std::pair<int32_t, std::string>> FilesWithExcludedEntries;
std::set<std::pair<int32_t, std::string>> FilesScannedInPart;

void ForgetFilesOfKind(std::set<std::pair<int32_t, std::string>> &files, int32_t kind)
{
    for (auto it = files.begin(); it != files.end();) it = it->first == kind ? files.erase(it) : std::next(it);
}

const char *const kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The folder walks take an entry only when its whole attribute word is one of these.
bool IsWalkAttribute(DWORD attr)
{
    switch (attr) {
    case 2: case 4: case 16: case 19: case 22: case 32: case 128: case 256:
        return true;
    default:
        return false;
    }
}

bool IsFolder(const std::string &path)
{
    DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsDots(const char *name) { return !strcmp(name, ".") || !strcmp(name, ".."); }

struct FindHandle {
    HANDLE h;
    ~FindHandle()
    {
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
    }
};

// A folder named in "Shell Folders"; empty when the key or the value is missing. Without it there
// is nothing to search: the scanners never fall back on walking a whole drive.
std::string ShellFolder(const char *valueName)
{
    ui::TRegistry reg(KEY_READ);
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKeyReadOnly(kShellFoldersKey)) return "";
    try {
        return reg.ReadString(valueName);
    } catch (const ui::Exception &) {
        return "";
    }
}

struct TextScan {
    const char *itemName;
    int32_t kind;
    std::string TContent::*textField;
    const char *profilePath;
    const char *fileName;
    bool cookies;
};

const TextScan kFirefoxHistory = {"FireFoxHistory", tkFirefoxHistory, &TContent::FirefoxHistory,
                                  "\\Mozilla\\Firefox\\Profiles", "history.dat", false};
const TextScan kFirefoxCookies = {"FireFoxCookies", tkFirefoxCookie, &TContent::FirefoxCookie,
                                  "\\Mozilla\\Firefox\\Profiles", "cookies.txt", true};
const TextScan kNetscapeHistory = {"NetscapeHistory", tkNetscapeHistory, &TContent::NetscapeHistory,
                                   "\\Netscape\\NSB\\Profiles", "history.dat", false};
const TextScan kNetscapeCookies = {"NetscapeCookies", tkNetscapeCookie, &TContent::NetscapeCookie,
                                   "\\Netscape\\NSB\\Profiles", "cookies.txt", true};

void RunTextScan(const TextScan &scan, ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    FoundPath.clear();
    ForgetFilesOfKind(FilesWithExcludedEntries, scan.kind);
    ForgetFilesOfKind(FilesScannedInPart, scan.kind);
    const std::string appData = ShellFolder("AppData");
    if (appData.empty()) return;
    FindFileRecursive(appData + scan.profilePath, scan.fileName);
    if (FoundPath.empty()) return;
    // An exclusion made from such a row by an earlier version names the whole file: it tells no
    // entry from another, so the file is kept whole.
    if (IsExcluded(scan.itemName, FoundPath, ExcludeContents)) NoteExcludedBrowserEntry(scan.kind, FoundPath);

    std::string text;
    if (!LoadWorkingText(FoundPath, scan.cookies, text)) return;
    // History: each address from "http://" up to its closing ")". Cookies: each line that begins
    // with "." (a domain cookie) up to its flag field, which reads TRUE for those.
    const std::string start = scan.cookies ? "\r\n." : "http://";
    const std::string end = scan.cookies ? "TRUE" : ")";
    int32_t count = 0;
    TScanPacer pacer(tree, nodeIndex);
    ScanTokens(text, start, end, [&](const std::string &itemText) {
        pacer.Turn();
        if (IsExcluded(scan.itemName, exclude::TrimData(itemText), ExcludeContents)) {
            NoteExcludedBrowserEntry(scan.kind, FoundPath);
            return true;
        }
        TContent &c = results->GetItem(results->AddItem())->Content;
        c.Checked = Settings.SelectAll ? 1 : 0;
        c.Storage = "File";
        c.Kind = scan.kind;
        c.ItemName = scan.itemName;
        c.*scan.textField = itemText;
        c.Location = FoundPath;
        c.ExclusionTests = etPlaceBrowserEntry;
        c.Size = static_cast<int32_t>(itemText.size() > INT32_MAX ? INT32_MAX : itemText.size());
        AddFoundSize(c.Size);
        pacer.SetCount(++count, 0);
        return true;
    });
    // Stopped by Abort or a quit: the entries after that point have no row, so no clean may take
    // the file with them.
    if (ScanState == 2) FilesScannedInPart.emplace(scan.kind, FoundPath);
}

}  // namespace

bool IsBrowserFileEntry(int32_t kind)
{
    return kind == tkFirefoxHistory || kind == tkFirefoxCookie || kind == tkNetscapeHistory ||
           kind == tkNetscapeCookie;
}

std::string BrowserEntryPlace(const TContent &c)
{
    switch (c.Kind) {
    case tkFirefoxHistory: return exclude::TrimData(c.FirefoxHistory);
    case tkFirefoxCookie: return exclude::TrimData(c.FirefoxCookie);
    case tkNetscapeHistory: return exclude::TrimData(c.NetscapeHistory);
    case tkNetscapeCookie: return exclude::TrimData(c.NetscapeCookie);
    default: return std::string();
    }
}

void NoteExcludedBrowserEntry(int32_t kind, const std::string &file)
{
    FilesWithExcludedEntries.emplace(kind, file);
}

bool HoldsExcludedBrowserEntry(int32_t kind, const std::string &file)
{
    return FilesWithExcludedEntries.count(std::make_pair(kind, file)) != 0;
}

bool BrowserFileScannedInPart(int32_t kind, const std::string &file)
{
    return FilesScannedInPart.count(std::make_pair(kind, file)) != 0;
}

bool LoadWorkingText(const std::string &path, bool upperCase, std::string &text)
{
    text.clear();
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::string raw;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(h, &size) && size.QuadPart < INT32_MAX;
    if (ok) {
        raw.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ok = raw.empty() || (ReadFile(h, &raw[0], static_cast<DWORD>(raw.size()), &got, nullptr) != 0);
        raw.resize(got);
    }
    CloseHandle(h);
    if (!ok) return false;

    // The text ends before the first NUL, as a text control holding it would show it.
    size_t nul = raw.find('\0');
    if (nul != std::string::npos) raw.resize(nul);

    text.reserve(raw.size() + raw.size() / 16 + 2);
    size_t p = 0;
    const size_t n = raw.size();
    while (p < n) {
        size_t e = raw.find_first_of("\r\n", p);
        if (e == std::string::npos) e = n;
        text.append(raw, p, e - p);
        text += "\r\n";
        if (e == n) break;
        p = (raw[e] == '\r' && e + 1 < n && raw[e + 1] == '\n') ? e + 2 : e + 1;
    }
    if (upperCase && !text.empty()) CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return true;
}

void ScanTokens(const std::string &text, const std::string &startToken, const std::string &endToken,
                const std::function<bool(const std::string &)> &onItem)
{
    size_t pos = text.find(startToken);
    while (pos != std::string::npos && ScanState != 2) {
        size_t end = text.find(endToken, pos);
        if (end == std::string::npos) break;
        if (!onItem(text.substr(pos, end - pos))) break;
        // Go on from the item's last character (an empty item would otherwise be met again).
        pos = text.find(startToken, end > pos ? end - 1 : pos + 1);
    }
}

void FindFileRecursive(const std::string &folder, const std::string &name, TScanPacer *pacer)
{
    TScanPacer own;
    TScanPacer &turns = pacer ? *pacer : own;
    WIN32_FIND_DATAA fd;
    FindHandle find{FindFirstFileA((folder + "\\*.*").c_str(), &fd)};
    if (find.h == INVALID_HANDLE_VALUE) return;
    do {
        if (ScanState == 2) break;
        turns.Turn();
        const std::string path = folder + "\\" + fd.cFileName;
        if (IsWalkAttribute(fd.dwFileAttributes) && !IsDots(fd.cFileName) && IsFolder(path))
            FindFileRecursive(path, name, &turns);
        if (name == fd.cFileName) {
            FoundPath = path;
            break;
        }
    } while (FindNextFileA(find.h, &fd));
}

void FindCacheFolderRecursive(const std::string &folder, TScanPacer *pacer)
{
    TScanPacer own;
    TScanPacer &turns = pacer ? *pacer : own;
    WIN32_FIND_DATAA fd;
    FindHandle find{FindFirstFileA((folder + "\\*.*").c_str(), &fd)};
    if (find.h == INVALID_HANDLE_VALUE) return;
    do {
        if (ScanState == 2) break;
        turns.Turn();
        const std::string path = folder + "\\" + fd.cFileName;
        if (!IsWalkAttribute(fd.dwFileAttributes) || IsDots(fd.cFileName) || !IsFolder(path)) continue;
        if (!strcmp(fd.cFileName, "Cache")) {
            FoundPath = path;
            break;
        }
        FindCacheFolderRecursive(path, &turns);
    } while (FindNextFileA(find.h, &fd));
}

void ScanCacheFolder(const std::string &folder, ui::TTreeView *tree, int32_t nodeIndex, int32_t type,
                     TResultContents *results)
{
    if (type != 1 && type != 2) return;
    WIN32_FIND_DATAA fd;
    FindHandle find{FindFirstFileA((folder + "\\*.*").c_str(), &fd)};
    if (find.h == INVALID_HANDLE_VALUE) return;
    int32_t count = 0;
    TScanPacer pacer(tree, nodeIndex);
    do {
        if (ScanState == 2) break;
        pacer.Turn();
        if (!IsWalkAttribute(fd.dwFileAttributes) || IsDots(fd.cFileName)) continue;
        const std::string path = folder + "\\" + fd.cFileName;
        if (IsExcluded(type == 1 ? "FireFoxCache" : "NetscapeCache", path, ExcludeContents)) continue;
        TContent &c = results->GetItem(results->AddItem())->Content;
        c.Checked = Settings.SelectAll ? 1 : 0;
        c.Storage = "File";
        if (type == 1) {
            c.Kind = tkFirefoxCacheFile;
            c.ItemName = "FireFoxCache";
            c.FirefoxCacheFile = path;
        } else {
            c.Kind = tkNetscapeCacheFile;
            c.ItemName = "NetscapeCache";
            c.NetscapeCacheFile = path;
        }
        c.Location = path;
        c.ExclusionTests = etPlaceLocation;
        ++count;
        // A sub-folder is one item of size 0; its contents are not visited.
        int64_t len = OpenFileLength(path);
        if (len > 0) {
            c.Size = static_cast<int32_t>(len > INT32_MAX ? INT32_MAX : len);
            AddFoundSize(c.Size);
        }
        pacer.SetCount(count, 0);
    } while (FindNextFileA(find.h, &fd));
}

void ScanFirefoxHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    RunTextScan(kFirefoxHistory, tree, nodeIndex, results);
}

void ScanFirefoxCookies(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    RunTextScan(kFirefoxCookies, tree, nodeIndex, results);
}

void ScanNetscapeHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    RunTextScan(kNetscapeHistory, tree, nodeIndex, results);
}

void ScanNetscapeCookies(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    RunTextScan(kNetscapeCookies, tree, nodeIndex, results);
}

void ScanFirefoxCache(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    FoundPath.clear();
    const std::string localAppData = ShellFolder("Local AppData");
    if (localAppData.empty()) return;
    // Only below the browser's own folder: a "Cache" of another program is not Firefox's to wipe.
    FindCacheFolderRecursive(localAppData + "\\Mozilla\\Firefox");
    if (!FoundPath.empty()) ScanCacheFolder(FoundPath, tree, nodeIndex, 1, results);
}

void ScanNetscapeCache(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    FoundPath.clear();
    const std::string appData = ShellFolder("AppData");
    if (appData.empty()) return;
    FindCacheFolderRecursive(appData + "\\Netscape");
    if (!FoundPath.empty()) ScanCacheFolder(FoundPath, tree, nodeIndex, 2, results);
}
