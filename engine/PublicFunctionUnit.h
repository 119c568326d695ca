// Routines the scanners, the cleaner and the scan handler share: registry location strings, one
// value read through such a string, the exclusion tests, the Firefox test and the node counts.
#pragma once
#include <windows.h>
#include <cstdint>
#include <string>
#include "engine/ExcludeItemUnit.h"
#include "engine/ResultContentUnit.h"

namespace ui {
class TTreeView;
}

// Every scanner has this shape: the item tree, the absolute index of the item's node, and the
// category's result collection.
using TScanProc = void (*)(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);

// "HKEY_CURRENT_USER" ... "HKEY_CURRENT_CONFIG" (exact) to the predefined key; anything else 0.
HKEY RootKeyFromName(const std::string &rootName);
// Splits "ROOT\path": the root key (0 when unknown) and the key path.
void SplitLocation(const std::string &location, HKEY &root, std::string &keyPath);
// Reads one value as text; a missing value gives ""; a key that does not open leaves result as passed.
void ReadRegString(const std::string &location, const std::string &valueName, std::string &result);

bool IsExcluded(const std::string &itemName, const std::string &place, const TExcludeContents *exclusions);
bool IsRegExcluded(const std::string &itemName, const std::string &location, const std::string &valueName,
                   const TExcludeContents *exclusions, const std::string &data);

bool IsFirefoxRunning();

// Mode 0 sets the item node's count, mode 1 adds to it; then re-sums its category and the root and
// paints the three numbers on the tree at once.
void UpdateNodeCount(int32_t nodeIndex, int32_t amount, int32_t mode, ui::TTreeView *tree);
