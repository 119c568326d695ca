// The fixed catalogue of the 50 trace items in four categories.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The category of a trace item; every per-category array, loop and dispatch table uses this order.
enum TraceCategory : int32_t {
    tcInternetExplorer = 0,
    tcWindowsSoftware = 1,
    tcWindowsSystem = 2,
    tcInternetSoftware = 3,
};
constexpr int TraceCategoryCount = 4;

// One catalogue item, and the data of each node of the item trees.
struct TSectionRec {
    int32_t Category = 0;
    int32_t ItemNo = 0;            // from 1; 0 in a category node's record
    std::string CategoryCaption;   // "My Computer" in the root node's record
    std::string ItemCaption;       // empty in root and category records
    uint8_t Checked = 0;           // tree state image 6 when 1, 7 when 0
    int32_t Count = 0;             // the number painted beside the node
};

// Four lists, one per category, of the catalogue records in ItemNo order. The records never move.
using TScanItemList = std::vector<TSectionRec *>;
extern TScanItemList *ScanItemLists[TraceCategoryCount];

const char *CategoryCaption(int category);   // "" for a number outside 0..3

// Appends the catalogue records of one category to its list; any other number adds nothing.
void FillScanItemList(int category);

// Creates and fills the four lists (the main window does this once), and frees them.
void CreateScanItemLists();
void FreeScanItemLists();
