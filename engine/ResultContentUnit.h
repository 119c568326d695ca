// The traces a scan found: one collection per category, one plain record per trace.
#pragma once
#include <cstdint>
#include <string>
#include "engine/CatalogueUnit.h"
#include "ui/Collection.h"

// The Kind of a found trace; the cleaner chooses the deletion by it.
enum TraceKind : int32_t {
    tkFile = 0,              // a file in a folder
    tkRegValueName = 1,      // a registry value, by its name only
    tkRegValueData = 2,      // a registry value with its data
    tkRegSubKey = 3,         // a registry subkey
    tkFirefoxHistory = 4,
    tkFirefoxCookie = 5,
    tkFirefoxCacheFile = 6,
    tkNetscapeHistory = 7,
    tkNetscapeCookie = 8,
    tkNetscapeCacheFile = 9,
    tkIECacheEntry = 10,
    tkIECookie = 11,
    tkRecycledFolder = 12,   // a deleted folder in the user's own bin: its files wiped, then the folder removed
};

// The exclusion questions a scanner asked before it listed a trace, kept with the trace (the bits of
// TContent::ExclusionTests), so that the result list and the clean ask a changed exclusion list
// exactly what a new scan would ask. Each compares the trace's ItemName and one more field:
enum TExclusionTest : uint8_t {
    etRegData = 1,             // the registry test: Location, and Data trimmed
    etPlaceLocation = 2,       // Location as the place (a file's full path, a cookie's file)
    etPlaceEntry = 4,          // Entry as the place (a cache URL, a favourite's file name)
    etPlaceData = 8,           // Data as the place, when not empty (an address typed for Address Bar History)
    etPlaceBrowserEntry = 16,  // a history or cookie entry's own text as the place
};

struct TContent {
    uint8_t Checked = 0;
    uint8_t Removed = 0;
    int32_t Kind = 0;
    uint8_t Found = 0;
    std::string Storage;        // "Reg" or "File"
    std::string Group;          // "Microsoft Windows", "IE Cache", "IE Cookies", ...
    std::string CleanCaption;   // the item's type string, e.g. "Clean Paint History"
    std::string ItemName;
    std::string Entry;          // value name, cache URL or file name
    std::string SubKey;
    std::string Data;
    std::string Location;       // registry location string or full path
    std::string FirefoxHistory;
    std::string FirefoxCookie;
    std::string FirefoxCacheFile;
    std::string NetscapeHistory;
    std::string NetscapeCookie;
    std::string NetscapeCacheFile;
    int32_t Size = 0;
    uint8_t ExclusionTests = 0;   // TExclusionTest bits; none for a trace no scan listed
};

class TResultContentItem {
public:
    TContent Content;
};

class TResultContents : public ui::TCollection<TResultContentItem> {
public:
    int AddItem() { return Add(); }
    TResultContentItem *GetItem(int index) const { return Items(index); }
};

// The traces found by the last scan, per category (made and freed by the data module).
extern TResultContents *ResultContents[TraceCategoryCount];

// 0 idle, 1 a scan is running, 2 the user asked to stop.
extern uint8_t ScanState;

// The total size in bytes of the rows that the result list shows.
extern int32_t FoundSizeTotal;
// Adds size to FoundSizeTotal, which stays between 0 and INT32_MAX rather than wrapping.
void AddFoundSize(int64_t size);
