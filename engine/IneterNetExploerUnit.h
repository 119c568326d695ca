// The Internet Explorer scanners: the URL cache and its cookies, typed addresses, Favorites, the
// remembered favourites export file and import folder, form auto-complete data, and the download
// and save folders. (The unit's name is spelled as the program has always stored it.)
#pragma once
#include <cstdint>
#include <string>
#include "engine/PublicFunctionUnit.h"

void ScanIECache(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanIEAddressBarHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanIECookies(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanIEFavorites(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanIEFavoritesExportFile(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanIEFavoritesImportFolder(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanIEAutoCompleteData(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanIEDownloadDirectory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanIESaveDirectory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);

// Lists the folder's own entries (not those of its subfolders) as Favorites items.
void ScanFavoritesFolder(const std::string &folder, ui::TTreeView *tree, int32_t nodeIndex,
                         TResultContents *results);

// The Internet Explorer items in catalogue order (item n at index n - 1).
extern const TScanProc InternetExplorerScanners[9];

// The length in bytes of an existing file, opened for reading only (a read-only file is measured
// too); -1 when it is missing, a folder, or cannot be opened (in use).
int64_t OpenFileLength(const std::string &path);
