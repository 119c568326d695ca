#include "engine/InternetSoftWareUnit.h"
#include "ui/Registry.h"

namespace {

const char *const GroupInternet = "Internet SoftWare";   // stored spelling, shown in the result list

// Keys walked one after the other through AddInternetSoftwareRegValues.
void ScanRoutineKeys(const char *itemName, const char *cleanCaption, std::initializer_list<const char *> keyPaths,
                     ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ui::TRegistry reg(KEY_READ);
    for (const char *keyPath : keyPaths) {
        reg.CloseKey();
        if (!reg.OpenKey(keyPath, false)) continue;
        TScanPacer listing;
        AddInternetSoftwareRegValues(GroupInternet, cleanCaption, itemName, CurrentUserLocation(keyPath),
                                     reg.GetValueNames(listing.WhenDue()), results, nodeIndex, tree);
    }
}

}  // namespace

void AddInternetSoftwareRegValues(const std::string &group, const std::string &cleanCaption,
                                  const std::string &itemName, const std::string &location,
                                  const std::vector<std::string> &names, TResultContents *results,
                                  int32_t nodeIndex, ui::TTreeView *tree)
{
    TRegScanItem item;
    item.Group = group.c_str();
    item.CleanCaption = cleanCaption.c_str();
    item.ItemName = itemName.c_str();
    item.CountRule = TRegCountRule::AddOne;
    int32_t running = 0;
    AddRegNames(item, names, location, nullptr, tree, nodeIndex, results, running);
}

void ScanRealDownload(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    TRegScanItem item;
    item.Group = GroupInternet;
    item.CleanCaption = "Clean RealDownload";
    item.ItemName = "Real DownLoad";
    int32_t running = 0;
    ScanRegKey(item, "HKEY_CURRENT_USER\\Software\\RealNetworks\\RealDownload", tree, nodeIndex, results, running);
    // The default user's copy of the same key: read and named as one key, so the cleaner deletes
    // exactly the value that was listed.
    item.CountRule = TRegCountRule::AddOne;
    ScanRegKey(item, "HKEY_USERS\\.DEFAULT\\Software\\RealNetworks\\RealDownload", tree, nodeIndex, results,
               running);
}

void ScanGetRight(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanRoutineKeys("GetRight", "Clean GetRight MRU Info",
                    {"Software\\Headlight\\GetRight\\MRU", "Software\\Headlight\\GetRight\\TypedURLs"}, tree,
                    nodeIndex, results);
}

void ScanDownloadAccelerator(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanRoutineKeys("DownloadAccelerator", "Clean Download Accelerator",
                    {"Software\\SpeedBit\\Download Accelerator\\FileList",
                     "Software\\SpeedBit\\Download Accelerator\\HistoryCombo"},
                    tree, nodeIndex, results);
}

void ScanKazaaHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    ScanRoutineKeys("KazaaHistory", "Clean Kazaa History",
                    {"Software\\Kazaa\\Kazaa Lite\\Recent File List",
                     "Software\\Kazaa\\KaZaA Media Desktop\\Recent File List"},
                    tree, nodeIndex, results);
}
