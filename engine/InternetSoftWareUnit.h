// The ten scanners of the Internet Software category: the download managers' recently-used lists
// (registry), and the Firefox and Netscape history, cookies and cache (files; see
// InternetSoftWareUnitBrowsers.cpp).
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "engine/PublicFunctionUnit.h"

// Adds one item per listed value of the key at location that no exclusion protects, adding 1 to the
// node's count for each.
void AddInternetSoftwareRegValues(const std::string &group, const std::string &cleanCaption,
                                  const std::string &itemName, const std::string &location,
                                  const std::vector<std::string> &names, TResultContents *results,
                                  int32_t nodeIndex, ui::TTreeView *tree);

// Download managers (items 1 to 4).
void ScanRealDownload(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanGetRight(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanDownloadAccelerator(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanKazaaHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);

// Firefox and Netscape (items 5 to 10), in InternetSoftWareUnitBrowsers.cpp.
void ScanFirefoxHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanFirefoxCookies(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanFirefoxCache(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanNetscapeHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanNetscapeCookies(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanNetscapeCache(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);

// By item number - 1 (tree nodes 45 to 54); defined in InternetSoftWareUnitTable.cpp.
extern const TScanProc InternetSoftwareScanners[10];
