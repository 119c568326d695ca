#include "engine/IneterNetExploerUnit.h"
#include <wininet.h>
#include <climits>
#include <memory>
#include <vector>
#include "engine/RegistryInfoUnit.h"
#include "ui/Registry.h"

namespace {

const char *const kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

TContent &NewItem(TResultContents *results)
{
    TContent &c = results->GetItem(results->AddItem())->Content;
    c.Checked = Settings.SelectAll ? 1 : 0;
    c.Found = 1;
    return c;
}

TRegScanItem IEValue(const char *itemName, const char *cleanCaption)
{
    return TRegScanItem{"Internet Explorer", cleanCaption, itemName};
}

// Entries the Favorites walk takes, by their whole attribute word.
bool IsFavoritesAttribute(DWORD attr)
{
    switch (attr) {
    case 2: case 4: case 16: case 17: case 18: case 19: case 20: case 32: case 128: case 256:
        return true;
    default:
        return false;
    }
}

struct FindHandle {
    HANDLE h;
    ~FindHandle()
    {
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
    }
};

struct UrlCacheHandle {
    HANDLE h = nullptr;
    ~UrlCacheHandle()
    {
        if (h) FindCloseUrlCache(h);
    }
};

enum class CacheWalk { Cache, Cookies };

void HandleCacheEntry(const INTERNET_CACHE_ENTRY_INFOA *entry, CacheWalk walk, TScanPacer &pacer,
                      TResultContents *results, int32_t &count)
{
    const std::string url = entry->lpszSourceUrlName ? entry->lpszSourceUrlName : "";
    const bool cookie = url.find("Cookie:") != std::string::npos;
    if (cookie != (walk == CacheWalk::Cookies)) return;
    const bool isCache = walk == CacheWalk::Cache;
    const std::string local = entry->lpszLocalFileName ? entry->lpszLocalFileName : "";
    if (IsExcluded(isCache ? "Cache" : "Cookies", url, ExcludeContents)) return;
    // An exclusion made from a Cookies row of the result list holds the row's Location, the
    // cookie's file: it keeps that cookie out as well.
    if (!isCache && !local.empty() && IsExcluded("Cookies", local, ExcludeContents)) return;

    TContent &c = NewItem(results);
    c.Kind = isCache ? tkIECacheEntry : tkIECookie;
    c.Storage = "File";
    c.Group = isCache ? "IE Cache" : "IE Cookies";
    c.CleanCaption = isCache ? "Clean IE Cache" : "Clean IE Cookies";
    c.ItemName = isCache ? "Cache" : "Cookies";
    c.Entry = url;
    c.Location = local;
    // A cookie is also tested by its file, when the cache names one (see above).
    c.ExclusionTests = static_cast<uint8_t>(isCache ? etPlaceEntry : etPlaceEntry | etPlaceLocation);
    if (!c.Location.empty()) {
        int64_t len = OpenFileLength(c.Location);
        if (len > 0) {
            c.Size = static_cast<int32_t>(len > INT32_MAX ? INT32_MAX : len);
            AddFoundSize(c.Size);
        }
    }
    ++count;
    pacer.SetCount(count, 0);
}

// Every entry is fetched twice: a probe that reports its size, then a block of exactly that size.
void WalkUrlCache(CacheWalk walk, ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    int32_t count = 0;
    TScanPacer pacer(tree, nodeIndex);
    UrlCacheHandle search;
    {
        DWORD size = 0;
        FindFirstUrlCacheEntryA(nullptr, nullptr, &size);
        std::vector<char> block(size);
        auto *entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA *>(block.empty() ? nullptr : block.data());
        search.h = FindFirstUrlCacheEntryA(nullptr, entry, &size);
        if (search.h && entry && (entry->CacheEntryType & NORMAL_CACHE_ENTRY))
            HandleCacheEntry(entry, walk, pacer, results, count);
    }
    if (!search.h) return;

    // A probe error other than "buffer too small" or "no more", or a fetch that fails after its
    // probe, is retried: the search has not moved on. Only an entry actually fetched clears the
    // count, so the same failure coming back again and again ends the walk instead of holding it.
    const int maxFailures = 16;
    int failures = 0;
    for (;;) {
        if (ScanState == 2) break;
        pacer.Turn();
        DWORD size = 0;
        FindNextUrlCacheEntryA(search.h, nullptr, &size);
        const DWORD error = GetLastError();
        if (error == ERROR_INSUFFICIENT_BUFFER) {
            std::vector<char> block(size ? size : 1);
            auto *entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA *>(block.data());
            if (FindNextUrlCacheEntryA(search.h, entry, &size)) {
                failures = 0;
                if (entry->CacheEntryType & NORMAL_CACHE_ENTRY) HandleCacheEntry(entry, walk, pacer, results, count);
            } else if (++failures >= maxFailures) {
                break;
            }
        } else if (error == ERROR_NO_MORE_ITEMS || error == ERROR_INVALID_PARAMETER) {
            break;
        } else if (++failures >= maxFailures) {
            break;
        }
    }
}

}  // namespace

int64_t OpenFileLength(const std::string &path)
{
    DWORD attr = GetFileAttributesA(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) return -1;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    LARGE_INTEGER size;
    BOOL ok = GetFileSizeEx(h, &size);
    CloseHandle(h);
    return ok ? size.QuadPart : -1;
}

void ScanIECache(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    WalkUrlCache(CacheWalk::Cache, tree, nodeIndex, results);
}

void ScanIECookies(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    WalkUrlCache(CacheWalk::Cookies, tree, nodeIndex, results);
}

void ScanIEAddressBarHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    TRegScanItem item{"IE Address Bar History", "Clean Address Bar History", "Address Bar History"};
    item.PumpAfterTest = true;   // only values that are kept give the window a turn
    item.DataIsPlace = true;     // an address typed on the Exclude page is the exclusion's place
    int32_t running = 0;
    ScanRegKey(item, CurrentUserLocation("Software\\Microsoft\\Internet Explorer\\TypedURLs"), tree, nodeIndex,
               results, running);
}

void ScanIEAutoCompleteData(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    // "AutoComplete Form Data" has no "Clean " in front; the result pages match it as it stands.
    TRegScanItem item{"Internet Explorer", "AutoComplete Form Data", "AutoCompleteData"};
    item.Kind = tkRegValueName;
    // The same question for every value: one exclusion of the key keeps all its values out.
    item.DataRule = TRegDataRule::Empty;
    int32_t running = 0;
    ScanRegKey(item, CurrentUserLocation("Software\\Microsoft\\Internet Explorer\\IntelliForms"), tree, nodeIndex,
               results, running);
}

void ScanIEFavoritesExportFile(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanRegSingleValue(IEValue("Favorites Export File", "Clean Favorites Export File"),
                       CurrentUserLocation("Software\\Microsoft\\Internet Explorer\\Main"), "FavoritesExportFile",
                       tree, nodeIndex, results);
}

void ScanIEFavoritesImportFolder(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanRegSingleValue(IEValue("Favorites Import Folder", "Clean Favorites Import Folder"),
                       CurrentUserLocation("Software\\Microsoft\\Internet Explorer\\Main"), "FavoritesImportFolder",
                       tree, nodeIndex, results);
}

void ScanIEDownloadDirectory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanRegSingleValue(IEValue("Download Directory", "Clean Download Directory"),
                       CurrentUserLocation("Software\\Microsoft\\Internet Explorer"), "Download Directory", tree,
                       nodeIndex, results);
}

void ScanIESaveDirectory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanRegSingleValue(IEValue("Save Directory", "Clean Save Directory"),
                       CurrentUserLocation("Software\\Microsoft\\Internet Explorer\\Main"), "Save Directory", tree,
                       nodeIndex, results);
}

void ScanIEFavorites(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    std::string folder;
    {
        ui::TRegistry reg(KEY_READ);
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (!reg.OpenKey(kShellFoldersKey, false)) return;
        folder = ReadValueText(reg, "Favorites");
    }
    ScanFavoritesFolder(folder, tree, nodeIndex, results);
}
void ScanFavoritesFolder(const std::string &folder, ui::TTreeView *tree, int32_t nodeIndex,
                         TResultContents *results)
{
    if (folder.empty()) return;
    WIN32_FIND_DATAA fd;
    FindHandle find{FindFirstFileA((folder + "\\*.*").c_str(), &fd)};
    if (find.h == INVALID_HANDLE_VALUE) return;
    int32_t count = 0;
    TScanPacer pacer(tree, nodeIndex);
    do {
        pacer.Turn();
        const std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (!IsFavoritesAttribute(fd.dwFileAttributes)) continue;
        if (ScanState == 2) break;
        // Favorites are excluded by their name alone, never by their path.
        if (!IsExcluded("Favorites", name, ExcludeContents)) {
            TContent &c = NewItem(results);
            c.Kind = tkFile;
            c.Storage = "File";
            c.Group = "Favorites";
            c.CleanCaption = "Clean Favorites";
            c.ItemName = "Favorites";
            c.Entry = name;
            c.Location = folder + "\\" + name;
            c.ExclusionTests = etPlaceEntry;
        }
        ++count;
        pacer.SetCount(count, 0);
    } while (FindNextFileA(find.h, &fd));
}

const TScanProc InternetExplorerScanners[9] = {
    ScanIECache,
    ScanIEAddressBarHistory,
    ScanIECookies,
    ScanIEFavorites,
    ScanIEFavoritesExportFile,
    ScanIEFavoritesImportFolder,
    ScanIEAutoCompleteData,
    ScanIEDownloadDirectory,
    ScanIESaveDirectory,
};
