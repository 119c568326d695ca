#include "engine/WindowsSoftWareUnit.h"
#include "ui/Registry.h"

namespace {

const char *const GroupWindows = "Microsoft Windows";

TRegScanItem WinItem(const char *itemName, const char *cleanCaption,
                     TRegCountRule countRule = TRegCountRule::Position)
{
    TRegScanItem item;
    item.Group = GroupWindows;
    item.CleanCaption = cleanCaption;
    item.ItemName = itemName;
    item.CountRule = countRule;
    return item;
}

// One key walked by the common shape, the count following the position of the last added value.
void ScanOneKey(const char *itemName, const char *cleanCaption, const char *keyPath, ui::TTreeView *tree,
                int32_t nodeIndex, TResultContents *results)
{
    int32_t running = 0;
    ScanRegKey(WinItem(itemName, cleanCaption), CurrentUserLocation(keyPath), tree, nodeIndex, results, running);
}

// Several keys through AddWindowsSoftwareRegValues with one running count.
void ScanRoutineKeys(const char *itemName, const char *cleanCaption, std::initializer_list<const char *> keyPaths,
                     ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results, int32_t &running)
{
    ui::TRegistry reg(KEY_READ);
    for (const char *keyPath : keyPaths) {
        reg.CloseKey();
        if (!reg.OpenKey(keyPath, false)) continue;
        TScanPacer listing;
        AddWindowsSoftwareRegValues(GroupWindows, cleanCaption, itemName, tree, nodeIndex, results,
                                    reg.GetValueNames(listing.WhenDue()), CurrentUserLocation(keyPath), running);
    }
}

void ScanRoutineKeys(const char *itemName, const char *cleanCaption, std::initializer_list<const char *> keyPaths,
                     ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    int32_t running = 0;
    ScanRoutineKeys(itemName, cleanCaption, keyPaths, tree, nodeIndex, results, running);
}

std::string UpperCase(std::string s)
{
    if (!s.empty()) CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

}  // namespace

void AddWindowsSoftwareRegValues(const std::string &group, const std::string &cleanCaption,
                                 const std::string &itemName, ui::TTreeView *tree, int32_t nodeIndex,
                                 TResultContents *results, const std::vector<std::string> &names,
                                 const std::string &location, int32_t &running)
{
    TRegScanItem item;
    item.Group = group.c_str();
    item.CleanCaption = cleanCaption.c_str();
    item.ItemName = itemName.c_str();
    item.CountRule = TRegCountRule::Added;
    // Data is read through the location string, which names exactly the key the names came from.
    AddRegNames(item, names, location, nullptr, tree, nodeIndex, results, running);
}

void ScanPaintHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanOneKey("Paint", "Clean Paint History",
               "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List", tree, nodeIndex,
               results);
}

void ScanWordPadHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanOneKey("WordPad", "Clean WordPad History",
               "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List", tree, nodeIndex,
               results);
}

void ScanMediaPlayerHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanOneKey("Media Player History_List", "Clean Windows Media Player",
               "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList", tree, nodeIndex, results);
}

void ScanFrontPageExpressHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanOneKey("Microsoft Frontpage Express", "Clean Frontpage Express History",
               "Software\\Microsoft\\FrontPad\\FrontPage Editor\\Recent File List", tree, nodeIndex, results);
}

void ScanHelpWorkshopHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanOneKey("Microsoft Help Workshop", "Clean Microsoft Help Workshop History",
               "Software\\Microsoft\\Microsoft Help Workshop\\Recent File List", tree, nodeIndex, results);
}

void ScanOfficeHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
#define QM_ACCESS_SETTINGS "Software\\Microsoft\\Office\\9.0\\Access\\Settings\\"
    ScanRoutineKeys("Microsoft Office", "Clean Microsoft Office",
                    {QM_ACCESS_SETTINGS "MRUFlags5", QM_ACCESS_SETTINGS "MRUFlags4", QM_ACCESS_SETTINGS "MRUFlags3",
                     QM_ACCESS_SETTINGS "MRUFlags2", QM_ACCESS_SETTINGS "MRUFlags1", QM_ACCESS_SETTINGS "MRU5",
                     QM_ACCESS_SETTINGS "MRU4", QM_ACCESS_SETTINGS "MRU3", QM_ACCESS_SETTINGS "MRU2",
                     QM_ACCESS_SETTINGS "MRU1"},
                    tree, nodeIndex, results);
#undef QM_ACCESS_SETTINGS
}

void ScanPublisherHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanRoutineKeys("Microsoft Publisher", "Clean Microsoft Publisher",
                    {"Software\\Microsoft\\Office\\9.0\\Publisher\\Recent File List",
                     "Software\\Microsoft\\Office\\Access\\Publisher\\Recent File List",
                     "Software\\Microsoft\\Office\\Outlook\\Publisher\\Recent File List",
                     "Software\\Microsoft\\Office\\Word\\Publisher\\Recent File List"},
                    tree, nodeIndex, results);
}

void ScanFrontPageHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
#define QM_X "Software\\Microsoft\\Office\\"
#define QM_F "\\Common\\Open Find\\Microsoft FrontPage\\Settings\\"
    ScanRoutineKeys("Microsoft FrontPage", "Clean Microsoft FrontPage",
                    {QM_X "9.0" QM_F "Open File\\File Name MRU",
                     QM_X "Access" QM_F "Open File\\File Name MRU",
                     QM_X "Outlook" QM_F "Open File\\File Name MRU",
                     QM_X "Word" QM_F "Open File\\File Name MRU",
                     "Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\Recent Web List",
                     "Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\Recent File List",
                     "Software\\Microsoft\\FrontPage\\Editor\\Recently Used URLs",
                     QM_X "9.0" QM_F "Open Web\\File Name MRU",
                     QM_X "Access" QM_F "Open Web\\File Name MRU",
                     QM_X "Outlook" QM_F "Open Web\\File Name MRU",
                     QM_X "Word" QM_F "Open Web\\File Name MRU",
                     QM_X "9.0" QM_F "Save As\\File Name MRU",
                     QM_X "Access" QM_F "Save As\\File Name MRU",
                     QM_X "Outlook" QM_F "Save As\\File Name MRU",
                     QM_X "Word" QM_F "Save As\\File Name MRU",
                     "Software\\Microsoft\\FrontPage\\Editor\\Insert Hyperlink\\Recently Used URLs",
                     "Software\\Microsoft\\FrontPage\\Editor\\Insert Image\\Recently Used URLs"},
                    tree, nodeIndex, results);
#undef QM_F
#undef QM_X
}

void ScanNetMeetingHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    TRegScanItem item = WinItem("Microsoft Netmeeting", "Clean Microsoft Netmeeting");
    item.Kind = tkRegValueName;
    item.DataRule = TRegDataRule::Empty;
    int32_t running = 0;
    ScanRegKey(item, CurrentUserLocation("UNICODE Program Groups"), tree, nodeIndex, results, running);
}

void ScanMSNMessengerHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanRoutineKeys("Microsoft MSN_Messenger", "Clean Microsoft MSN Messenger",
                    {"Software\\Microsoft\\MessengerService\\PhoneMRU"}, tree, nodeIndex, results);
}

void ScanMSDNProjectMRU(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanRoutineKeys("MSDN Project MRU_List", "Clean MSDN Project MRU List", {"Software\\Microsoft\\MSDN"}, tree,
                    nodeIndex, results);
}

void ScanWinRARHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanRoutineKeys("WinRAR History", "Clean WinRAR History",
                    {"Software\\WinRAR\\ArcHistory", "Software\\WinRAR\\DialogEditHistory\\ExtrPath"}, tree,
                    nodeIndex, results);
}

void ScanWinZipHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    const char *itemName = "WinZip History";
    const char *cleanCaption = "Clean WinZip History";
    int32_t running = 0;
    ScanRoutineKeys(itemName, cleanCaption,
                    {"Software\\Nico Mak Computing\\WinZip\\extract", "Software\\Nico Mak Computing\\WinZip\\filemenu"},
                    tree, nodeIndex, results, running);

    const char *dirKey = "Software\\Nico Mak Computing\\WinZip\\directories";
    ui::TRegistry reg(KEY_READ);
    if (!reg.OpenKey(dirKey, false)) return;
    const std::string location = CurrentUserLocation(dirKey);
    const TRegScanItem item = WinItem(itemName, cleanCaption, TRegCountRule::AddOne);
    static const std::string wanted[] = {UpperCase("DefDir"), UpperCase("ExtractTo"), UpperCase("extract")};
    TScanPacer pacer(tree, nodeIndex);
    for (const std::string &name : reg.GetValueNames(pacer.WhenDue())) {
        if (ScanState == 2) return;
        pacer.Turn();
        const std::string upper = UpperCase(name);
        if (upper != wanted[0] && upper != wanted[1] && upper != wanted[2]) continue;
        const std::string data = ReadValueText(reg, name);
        if (IsRegExcluded(itemName, location, name, ExcludeContents, data)) continue;
        AddRegItem(results, item, name, std::string(), data, location);
        pacer.SetCount(1, 1);
    }
}

void ScanZipMagicHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanRoutineKeys("ZipMagic History", "Clean ZipMagic History",
                    {"Software\\Mijenix\\ZipMagic\\CurrentVersion\\Recent",
                     "Software\\Mijenix\\ZipMagic\\CurrentVersion\\Archive Manager\\UnZip To",
                     "Software\\Mijenix\\ZipMagic\\CurrentVersion\\Zip To"},
                    tree, nodeIndex, results);
}

void ScanASPackHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanRegSingleValue(WinItem("ASPack History", "Clean ASPack History"),
                       CurrentUserLocation("Software\\ASPack\\Options"), "OD_FileName", tree, nodeIndex, results);
}

void ScanACDSeeHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    TRegScanItem item = WinItem("ACDSee History", "Clean ACDSee History");
    item.Kind = tkRegSubKey;
    int32_t running = 0;
    ui::TRegistry reg(KEY_READ);
    for (const char *name : {"LastFolder", "OpenFolder"}) {
        const std::string keyPath = std::string("Software\\ACD Systems\\ACDSee\\") + name;
        const std::string location = CurrentUserLocation(keyPath);
        if (!reg.KeyExists(keyPath)) continue;
        // Tested with empty data, as its row stores it, so an exclusion made from the row works.
        if (IsRegExcluded(item.ItemName, location, name, ExcludeContents, std::string())) continue;
        AddRegItem(results, item, name, std::string(), std::string(), location);
        UpdateNodeCount(nodeIndex, ++running, 0, tree);
    }
}

const TScanProc WindowsSoftwareScanners[16] = {
    ScanPaintHistory,     ScanWordPadHistory,      ScanMediaPlayerHistory, ScanFrontPageExpressHistory,
    ScanHelpWorkshopHistory, ScanOfficeHistory,    ScanPublisherHistory,   ScanFrontPageHistory,
    ScanNetMeetingHistory, ScanMSNMessengerHistory, ScanMSDNProjectMRU,   ScanWinRARHistory,
    ScanWinZipHistory,    ScanZipMagicHistory,     ScanASPackHistory,      ScanACDSeeHistory,
};
