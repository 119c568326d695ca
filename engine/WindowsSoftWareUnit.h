// The sixteen scanners of the Windows Software category: recently-used lists that applications
// keep under the current user's registry.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "engine/PublicFunctionUnit.h"

// Adds one item per listed value of the key at location that no exclusion protects; running is the
// item's count over all its keys and becomes the node's count.
void AddWindowsSoftwareRegValues(const std::string &group, const std::string &cleanCaption,
                                 const std::string &itemName, ui::TTreeView *tree, int32_t nodeIndex,
                                 TResultContents *results, const std::vector<std::string> &names,
                                 const std::string &location, int32_t &running);

void ScanPaintHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanWordPadHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanMediaPlayerHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanFrontPageExpressHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanHelpWorkshopHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanOfficeHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanPublisherHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanFrontPageHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanNetMeetingHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanMSNMessengerHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanMSDNProjectMRU(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanWinRARHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanWinZipHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanZipMagicHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanASPackHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);
void ScanACDSeeHistory(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);

// By item number - 1 (tree nodes 12 to 27).
extern const TScanProc WindowsSoftwareScanners[16];
