// The fifteen scanners of the Windows System category: registry lists of Windows itself, the Send
// To and Recent folders, and the recycled files of the fixed drives.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "engine/PublicFunctionUnit.h"

void ScanRunMRU(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanWindowsSendTo(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanRecentDocuments(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanTelnetMenuHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanMyNetworkPlaces(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanMapNetworkDriveMRU(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanOpenWithHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanManagementConsoleMRU(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanRegedit32History(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanStartMenuClickHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanStartMenuOrderHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanTrayNotifyHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanShareFolder(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanMUICache(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanRecycleBin(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);

// The entries of one folder (not recursive): mode 0 as Send To, 1 as Recent.
void ScanShellFolderFiles(const std::string &folder, ui::TTreeView *tree, int32_t nodeIndex, int32_t mode,
                          TResultContents *results);
// Appends the recycled folders of every fixed drive X, A to Z: "X:\Recycled", then the current
// user's own "X:\RECYCLER\<SID>" and "X:\$Recycle.Bin\<SID>".
void ListRecycledFolders(std::vector<std::string> &folders);
// The deleted entries of one recycled folder, one row each; count is shared by all the folders of
// one scan. A deleted folder in a user's own bin is a tkRecycledFolder row.
void ScanRecycledFolder(const std::string &folder, ui::TTreeView *tree, int32_t nodeIndex, int32_t &count,
                        TResultContents *results);

// What the last RecycleBin scan left without a row: an entry the user excluded (also one whose row
// was excluded since), an entry it passes over (by its attribute word, or not named as the layout
// names deleted entries; the bin's own files aside), or, when it was stopped, the entries after that
// point. Emptying the bin would take those with it. Each RecycleBin scan starts afresh.
void NoteExcludedRecycledEntry();
bool RecycleBinHoldsExcluded();
bool RecycleBinPassedOver();
bool RecycleBinScannedInPart();

// By item number - 1 (tree nodes 29 to 43).
extern const TScanProc WindowsSystemScanners[15];
