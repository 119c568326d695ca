#include "engine/CleanUnit.h"
#include <windows.h>
#include <wininet.h>
#include <map>
#include <set>
#include <utility>
#include "engine/InternetSoftWareBrowsers.h"
#include "engine/RegistryInfoUnit.h"
#include "engine/PublicFunctionUnit.h"
#include "engine/WindowSystemUnit.h"
#include "engine/WipeUnit.h"
#include "ui/Registry.h"

int32_t GaugePercent(int64_t done, int64_t total)
{
    if (total <= 0) return 0;
    int64_t num = 100 * done;
    int64_t q = num / total, r = num % total;
    if (2 * r > total || (2 * r == total && (q & 1))) ++q;
    if (q > 100) q = 100;
    if (q < 0) q = 0;
    return static_cast<int32_t>(q);
}

namespace {

// The key path below the root, never empty: an empty path would name the whole root.
bool RootedKeyPath(const std::string &location, ui::TRegistry &reg, std::string &path)
{
    HKEY root = nullptr;
    SplitLocation(location, root, path);
    reg.SetRootKey(root);
    size_t start = path.find_first_not_of('\\');
    if (!root || start == std::string::npos) return false;
    // Counted from the root, whatever key an earlier item left open.
    path = "\\" + path.substr(start);
    return true;
}

bool DeleteRegistryTrace(const TContent &c, ui::TRegistry &reg)
{
    std::string path;
    bool rooted = RootedKeyPath(c.Location, reg, path);
    if (c.Kind == tkRegValueName || c.Kind == tkRegValueData) {
        if (!rooted) {
            // A value directly under a root key is still a value of that key.
            HKEY root = reg.RootKey();
            if (!root || !reg.OpenKey("\\", false)) return false;
        } else if (!reg.OpenKey(path, false)) {
            return false;
        }
        return reg.DeleteValue(c.Entry);
    }
    if (c.Kind == tkRegSubKey) return rooted && reg.DeleteKey(path);
    return false;
}

bool DeleteFileTrace(const TContent &c)
{
    if (c.Group == "IE Cache" || c.Group == "IE Cookies") {
        // An entry already gone from the cache is as good as deleted; one the cache refuses (in
        // use by the browser) stays, and is not reported as deleted.
        SetLastError(ERROR_SUCCESS);
        return DeleteUrlCacheEntryA(c.Entry.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    return WipeFile(c.Location, WipePassesForDeleteMode(Settings.ErasValue));
}

using TFileKey = std::pair<int32_t, std::string>;

const char *const RecycleBinCaption = "Clean RecycleBin";

// A deleted entry of the bin goes with its index file, where the layout keeps one.
bool WipeRecycledIndexFile(const TContent &c, int32_t passes)
{
    if (c.CleanCaption != RecycleBinCaption) return true;
    const std::string index = RecycledIndexFileOf(c.Location);
    if (index.empty()) return true;
    const DWORD attr = GetFileAttributesA(index.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    return WipeFile(index, passes);
}

}  // namespace

TRecycleBinChoice RecycleBinChoice(const TResultContents *contents)
{
    TRecycleBinChoice choice;
    if (!contents) return choice;
    for (int i = 0; i < contents->Count(); ++i) {
        const TContent &c = contents->GetItem(i)->Content;
        if (c.CleanCaption != RecycleBinCaption) continue;
        if (c.Checked)
            choice.AnyTicked = true;
        else
            choice.NotAllTicked = true;
        // Excluded since the scan: the clean passes over it, so emptying would take it.
        if (IsResultExcluded(c, ExcludeContents)) choice.HoldsExcluded = true;
    }
    if (RecycleBinHoldsExcluded()) choice.HoldsExcluded = true;
    choice.PassedOver = RecycleBinPassedOver();
    choice.NotAllListed = RecycleBinScannedInPart();
    return choice;
}

void CountRecycleBinWipes(const TResultContents *contents, int32_t &ticked, int32_t &wiped)
{
    ticked = wiped = 0;
    if (!contents) return;
    for (int i = 0; i < contents->Count(); ++i) {
        const TContent &c = contents->GetItem(i)->Content;
        if (c.CleanCaption != RecycleBinCaption || !c.Checked || IsResultExcluded(c, ExcludeContents)) continue;
        ++ticked;
        if (c.Removed) ++wiped;
    }
}

std::vector<TKeptFile> KeptBrowserFiles(const TResultContents *contents)
{
    std::vector<TKeptFile> kept;
    if (!contents) return kept;
    // The rows of one file are the items of the same Kind and Location.
    struct Rows {
        bool anyTicked = false, allTicked = true, anyExcluded = false;
        std::string itemName;
    };
    std::map<TFileKey, Rows> files;
    std::vector<TFileKey> order;
    for (int i = 0; i < contents->Count(); ++i) {
        const TContent &c = contents->GetItem(i)->Content;
        if (!IsBrowserFileEntry(c.Kind)) continue;
        const TFileKey key(c.Kind, c.Location);
        auto at = files.emplace(key, Rows());
        if (at.second) order.push_back(key);
        Rows &rows = at.first->second;
        if (c.Checked)
            rows.anyTicked = true;
        else
            rows.allTicked = false;
        if (IsResultExcluded(c, ExcludeContents)) rows.anyExcluded = true;
        rows.itemName = c.ItemName;
    }
    for (const TFileKey &key : order) {
        const Rows &rows = files[key];
        if (!rows.anyTicked) continue;
        TKeptFile f;
        f.Kind = key.first;
        f.Path = key.second;
        f.NotAllTicked = !rows.allTicked;
        // An entry excluded at the scan or since, or the whole file named by an exclusion.
        f.HoldsExcluded = HoldsExcludedBrowserEntry(key.first, key.second) || rows.anyExcluded ||
                          IsExcluded(rows.itemName, key.second, ExcludeContents);
        f.NotAllListed = BrowserFileScannedInPart(key.first, key.second);
        if (f.NotAllTicked || f.HoldsExcluded || f.NotAllListed) kept.push_back(f);
    }
    return kept;
}

void CleanResultContents(TResultContents *contents, const TStepTextProc &setStepText,
                         const TGaugePositionProc &setGaugePosition, int32_t total)
{
    if (!contents) return;
    ui::TRegistry reg;
    std::set<TFileKey> keep;
    for (const TKeptFile &f : KeptBrowserFiles(contents)) keep.emplace(f.Kind, f.Path);
    for (int i = 0; i < contents->Count(); ++i) {
        TContent &c = contents->GetItem(i)->Content;
        if (!c.Checked || IsResultExcluded(c, ExcludeContents)) continue;
        if (setStepText) setStepText(c.Entry);
        if (IsBrowserFileEntry(c.Kind) && keep.count(TFileKey(c.Kind, c.Location))) continue;
        const int32_t passes = WipePassesForDeleteMode(Settings.ErasValue);
        bool deleted = false;
        if (c.Storage == "Reg")
            deleted = DeleteRegistryTrace(c, reg);
        else if (c.Storage == "File" && c.Kind == tkRecycledFolder)
            deleted = WipeRecycledFolderEntry(c.Location, passes);
        else if (c.Storage == "File")
            deleted = DeleteFileTrace(c);
        if (deleted && c.Storage == "File") deleted = WipeRecycledIndexFile(c, passes);
        if (!deleted) continue;
        c.Removed = 1;
        ++Settings.RemoveTotal;
        if (setGaugePosition) setGaugePosition(GaugePercent(Settings.RemoveTotal, total));
    }
}
