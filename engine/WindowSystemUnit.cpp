#include "engine/WindowSystemUnit.h"
#include <algorithm>
#include <climits>
#include <cstring>
#include "engine/RegistryInfoUnit.h"
#include "ui/Registry.h"

namespace {

const char *const GroupWindows = "Microsoft Windows";

// What the last RecycleBin scan passed over: see RecycleBinHoldsExcluded.
bool BinHoldsExcluded = false;
bool BinPassedOver = false;
bool BinScannedInPart = false;
const char *const ExplorerKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";

TRegScanItem SysItem(const char *itemName, const char *cleanCaption)
{
    TRegScanItem item;
    item.Group = GroupWindows;
    item.CleanCaption = cleanCaption;
    item.ItemName = itemName;
    return item;
}

void ScanKey(const TRegScanItem &item, const std::string &keyPath, ui::TTreeView *tree, int32_t nodeIndex,
             TResultContents *results)
{
    int32_t running = 0;
    ScanRegKey(item, CurrentUserLocation(keyPath), tree, nodeIndex, results, running);
}

void ScanValueList(const char *itemName, const char *cleanCaption, const std::string &keyPath, ui::TTreeView *tree,
                   int32_t nodeIndex, TResultContents *results)
{
    ScanKey(SysItem(itemName, cleanCaption), keyPath, tree, nodeIndex, results);
}

// Each item stands for one subkey; tested with empty data.
void ScanSubKeyList(const char *itemName, const char *cleanCaption, const std::string &keyPath, ui::TTreeView *tree,
                    int32_t nodeIndex, TResultContents *results, const char *passOver = nullptr)
{
    TRegScanItem item = SysItem(itemName, cleanCaption);
    item.Kind = tkRegSubKey;
    item.DataRule = TRegDataRule::Empty;
    item.SubKeys = true;
    item.PassOver = passOver;
    ScanKey(item, keyPath, tree, nodeIndex, results);
}

// Value items by name only, tested (and carrying as Data) the value's name.
void ScanNameList(const char *itemName, const char *cleanCaption, const std::string &keyPath, bool nameInSubKey,
                  ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    TRegScanItem item = SysItem(itemName, cleanCaption);
    item.Kind = tkRegValueName;
    item.DataRule = TRegDataRule::ValueName;
    item.NameInSubKey = nameInSubKey;
    ScanKey(item, keyPath, tree, nodeIndex, results);
}

bool FileExists(const std::string &path)
{
    DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

// The length of a file, 0 when it cannot be opened or measured; added to the listed rows' total.
int32_t MeasureFile(const std::string &path)
{
    if (!FileExists(path)) return 0;
    // Read access is enough to measure, and leaves read-only files measurable.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;
    LARGE_INTEGER size;
    int32_t result = 0;
    if (GetFileSizeEx(h, &size)) result = static_cast<int32_t>(std::min<LONGLONG>(size.QuadPart, INT32_MAX));
    CloseHandle(h);
    AddFoundSize(result);
    return result;
}

TContent &AddFileItem(TResultContents *results, const char *cleanCaption, const char *itemName,
                      const std::string &entry, const std::string &path)
{
    TContent &c = results->GetItem(results->AddItem())->Content;
    c.Checked = Settings.SelectAll ? 1 : 0;
    c.Kind = tkFile;
    c.Found = 1;
    c.Storage = "File";
    c.Group = GroupWindows;
    c.CleanCaption = cleanCaption;
    c.ItemName = itemName;
    c.Entry = entry;
    c.Location = path;
    c.Size = MeasureFile(path);
    c.ExclusionTests = etPlaceLocation;   // Send To, Recent and the bins test the full path
    return c;
}

bool IsDots(const char *name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

// The whole attribute word of the entries Send To and Recent list.
bool ListedShellAttributes(DWORD attr)
{
    switch (attr) {
    case 2: case 4: case 16: case 17: case 18: case 19: case 20: case 32: case 128: case 256:
        return true;
    default:
        return false;
    }
}

std::string Lower(std::string s)
{
    for (char &ch : s)
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return s;
}

void ScanShellFolder(const char *valueName, int32_t mode, ui::TTreeView *tree, int32_t nodeIndex,
                     TResultContents *results)
{
    std::string folder;
    {
        ui::TRegistry reg(KEY_READ);
        if (!reg.OpenKey(std::string(ExplorerKey) + "Shell Folders", false)) return;
        folder = ReadValueText(reg, valueName);
    }
    if (folder.empty()) return;
    ScanShellFolderFiles(folder, tree, nodeIndex, mode, results);
}

}  // namespace

void ScanRunMRU(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanValueList("Run History", "Clean RunMRU", std::string(ExplorerKey) + "RunMRU", tree, nodeIndex, results);
}

void ScanWindowsSendTo(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanShellFolder("SendTo", 0, tree, nodeIndex, results);
}

void ScanRecentDocuments(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanShellFolder("Recent", 1, tree, nodeIndex, results);
}

void ScanTelnetMenuHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    // LastMachine holds the network places, which My Network Places lists one by one: a Telnet row
    // for it would take every place with it, unticked and excluded ones included.
    ScanSubKeyList("Telnet Menu History", "Clean Telnet Menu History", "Software\\Microsoft\\Telnet", tree,
                   nodeIndex, results, "LastMachine");
}

void ScanMyNetworkPlaces(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanSubKeyList("My Network Places", "Clean My Network Places", "Software\\Microsoft\\Telnet\\LastMachine", tree,
                   nodeIndex, results);
}

void ScanMapNetworkDriveMRU(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanValueList("Map Network Drive History", "Clean Map Network Drive MRU",
                  std::string(ExplorerKey) + "Map Network Drive MRU", tree, nodeIndex, results);
}

void ScanOpenWithHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanNameList("Windows Explorer Open With History", "Clean Windows Explorer Open With History",
                 std::string(ExplorerKey) + "otherFolder", true, tree, nodeIndex, results);
}

void ScanManagementConsoleMRU(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanValueList("Microsoft Management Console MRU List", "Clean Microsoft Management Console MRU List",
                  "Software\\Microsoft\\Microsoft Management Console\\Recent File List", tree, nodeIndex, results);
}

void ScanRegedit32History(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanSubKeyList("Regedit32 History", "Clean Regedit32 History",
                   "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit", tree, nodeIndex, results);
}

void ScanStartMenuClickHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanNameList("Start Menu Click History", "Clean Start Menu Click History",
                 std::string(ExplorerKey) + "UserAssist\\{75048700-EF1F-11D0-9888-006097DEACF9}\\Count", true, tree,
                 nodeIndex, results);
}

void ScanStartMenuOrderHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanNameList("Start Menu Order History", "Clean Start Menu Order History",
                 std::string(ExplorerKey) + "UserAssist\\{5E6AB780-7743-11CF-A12B-00AA004AE837}\\Count", false, tree,
                 nodeIndex, results);
}

void ScanTrayNotifyHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    const std::string keyPath = std::string(ExplorerKey) + "TrayNotify";
    ui::TRegistry reg(KEY_READ);
    if (!reg.OpenKey(keyPath, false)) return;
    TRegScanItem item = SysItem("TrayNotify", "Clean TrayNotify History");
    item.Kind = tkRegValueName;
    const std::string location = CurrentUserLocation(keyPath);
    int32_t added = 0;
    // "IconStreams" is tested with empty data, "PasticonsStream" with its own name.
    const std::pair<const char *, const char *> values[] = {{"IconStreams", ""}, {"PasticonsStream", "PasticonsStream"}};
    for (const auto &v : values) {
        if (!reg.ValueExists(v.first)) continue;
        if (IsRegExcluded(item.ItemName, location, v.first, ExcludeContents, v.second)) continue;
        AddRegItem(results, item, v.first, std::string(), v.second, location);
        UpdateNodeCount(nodeIndex, ++added, 0, tree);
    }
}

void ScanShareFolder(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanSubKeyList("ShareFolder", "Clean ShareFolder", std::string(ExplorerKey) + "WorkgroupCrawler\\Shares", tree,
                   nodeIndex, results);
}

void ScanMUICache(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    TRegScanItem item = SysItem("Exe MUICache", "Clean Windows MUICache");
    item.OnlyRegSz = true;
    item.CountRule = TRegCountRule::Added;
    ScanKey(item, "Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", tree, nodeIndex, results);
}

void ScanShellFolderFiles(const std::string &folder, ui::TTreeView *tree, int32_t nodeIndex, int32_t mode,
                          TResultContents *results)
{
    int32_t count = 0;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    const char *itemName = mode == 0 ? "Windows Send To" : "Recent Files";
    const char *cleanCaption = mode == 0 ? "Clean Windows Send To" : "Clean Windows Recent Documents Files";
    TScanPacer pacer(tree, nodeIndex);
    do {
        if (ScanState == 2) break;
        pacer.Turn();
        if (IsDots(fd.cFileName)) continue;
        if (!ListedShellAttributes(fd.dwFileAttributes)) continue;
        const std::string name = fd.cFileName;
        const std::string path = folder + "\\" + name;
        if (mode == 0) {
            // Send To's own targets, present on every system, are no trace of the user.
            const std::string lower = Lower(name);
            if (lower.find(".desklink") != std::string::npos || lower.find(".mapimail") != std::string::npos ||
                lower.find(".mydocs") != std::string::npos)
                continue;
        }
        if (IsExcluded(itemName, path, ExcludeContents)) continue;
        AddFileItem(results, cleanCaption, itemName, name, path);
        pacer.SetCount(++count, 0);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}

void ListRecycledFolders(std::vector<std::string> &folders)
{
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const char root[] = {letter, ':', '\\', '\0'};
        if (GetDriveTypeA(root) == DRIVE_FIXED) ListRecycledFoldersOfDrive(root, folders);
    }
}

void ScanRecycledFolder(const std::string &folder, ui::TTreeView *tree, int32_t nodeIndex, int32_t &count,
                        TResultContents *results)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    const TRecycledLayout layout = RecycledLayoutOf(folder);
    TScanPacer pacer(tree, nodeIndex);
    do {
        if (ScanState == 2) {
            BinScannedInPart = true;
            break;
        }
        pacer.Turn();
        if (!IsRecycledEntry(layout, fd.cFileName, fd.dwFileAttributes)) {
            // Anything but the bin's own files is a deleted entry too, only one without a row.
            if (!IsDots(fd.cFileName) && !IsRecycleBinOwnFile(layout, fd.cFileName)) BinPassedOver = true;
            continue;
        }
        const std::string path = folder + "\\" + fd.cFileName;
        if (IsExcluded("RecycleBin", path, ExcludeContents)) {
            BinHoldsExcluded = true;
            continue;
        }
        TContent &c = AddFileItem(results, "Clean RecycleBin", "RecycleBin", path, path);
        // A folder deleted into a user's own bin is cleaned by wiping the files in it.
        if (layout != TRecycledLayout::Recycled && (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            c.Kind = tkRecycledFolder;
        pacer.SetCount(++count, 0);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}

void ScanRecycleBin(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    BinHoldsExcluded = BinPassedOver = BinScannedInPart = false;
    std::vector<std::string> folders;
    ListRecycledFolders(folders);
    int32_t count = 0;
    for (const std::string &folder : folders) ScanRecycledFolder(folder, tree, nodeIndex, count, results);
}

void NoteExcludedRecycledEntry() { BinHoldsExcluded = true; }
bool RecycleBinHoldsExcluded() { return BinHoldsExcluded; }
bool RecycleBinPassedOver() { return BinPassedOver; }
bool RecycleBinScannedInPart() { return BinScannedInPart; }

const TScanProc WindowsSystemScanners[15] = {
    ScanRunMRU,          ScanWindowsSendTo,        ScanRecentDocuments,      ScanTelnetMenuHistory,
    ScanMyNetworkPlaces, ScanMapNetworkDriveMRU,   ScanOpenWithHistory,      ScanManagementConsoleMRU,
    ScanRegedit32History, ScanStartMenuClickHistory, ScanStartMenuOrderHistory, ScanTrayNotifyHistory,
    ScanShareFolder,     ScanMUICache,             ScanRecycleBin,
};
