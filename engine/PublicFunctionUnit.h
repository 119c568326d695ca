// Routines the scanners, the cleaner and the scan handler share: registry location strings, one
// value read through such a string, the exclusion tests, the Firefox test and the node counts.
// Also the one shape every registry scanner is built from (see "Registry scanners" below).
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>
#include "engine/ExcludeItemUnit.h"
#include "engine/ResultContentUnit.h"

namespace ui {
class TTreeView;
class TRegistry;
}

// Every scanner has this shape: the item tree, the absolute index of the item's node, and the
// category's result collection.
using TScanProc = void (*)(ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);

// "HKEY_CURRENT_USER" ... "HKEY_CURRENT_CONFIG" (exact) to the predefined key; anything else 0.
HKEY RootKeyFromName(const std::string &rootName);
// Splits "ROOT\path": the root key (0 when unknown or when there is no backslash) and the key path.
void SplitLocation(const std::string &location, HKEY &root, std::string &keyPath);
// Reads one value as text; a missing value or one that does not hold text gives ""; a key that does
// not open leaves result as passed.
void ReadRegString(const std::string &location, const std::string &valueName, std::string &result);

bool IsExcluded(const std::string &itemName, const std::string &place, const TExcludeContents *exclusions);
bool IsRegExcluded(const std::string &itemName, const std::string &location, const std::string &valueName,
                   const TExcludeContents *exclusions, const std::string &data);

// Whether the exclusion list keeps the result out of a new scan: the questions its scanner asked
// (its ExclusionTests) asked again of the list as it stands.
bool IsResultExcluded(const TContent &content, const TExcludeContents *exclusions);

bool IsFirefoxRunning();

// Mode 0 sets the item node's count, mode 1 adds to it; then re-sums its category and the root and
// paints the three numbers on the tree at once.
void UpdateNodeCount(int32_t nodeIndex, int32_t amount, int32_t mode, ui::TTreeView *tree);
// The two halves of UpdateNodeCount: the counts alone, and the painting of the three numbers.
void SetNodeCount(int32_t nodeIndex, int32_t amount, int32_t mode, ui::TTreeView *tree);
void PaintNodeCount(int32_t nodeIndex, ui::TTreeView *tree);

// Handles the pending window messages once: where Abort and the tray's exit reach a running scan.
void PumpScanMessages();

// The most a scan or a folder walk runs between two turns of the window: 20. A test sets 0 to have
// a turn before every entry.
extern DWORD ScanTurnMs;

// Gives a scanner's or a walk's loop its turns by time rather than one per entry: a message pump
// and a repaint per trace would cost far more than the traces. The first Turn always pumps, so an
// Abort that is already waiting stops the loop before its second entry; later ones pump once
// ScanTurnMs have passed. The node's count (when there is a tree) is kept exact at every SetCount
// and painted at the next turn and, when it changed, once more at the end.
class TScanPacer {
public:
    explicit TScanPacer(ui::TTreeView *tree = nullptr, int32_t nodeIndex = 0)
        : tree_(tree), node_(nodeIndex), lastTurn_(GetTickCount())
    {
    }
    ~TScanPacer() { PaintCount(); }
    TScanPacer(const TScanPacer &) = delete;
    TScanPacer &operator=(const TScanPacer &) = delete;

    // Before an entry: when a turn is due, paints a changed count and handles the pending messages.
    void Turn();
    // A turn only once ScanTurnMs have passed since the pacer was made or last turned: for work
    // before a loop's first entry, such as listing the names it walks.
    void TurnWhenDue();
    // TurnWhenDue as a callback for a listing.
    std::function<void()> WhenDue()
    {
        return [this] { TurnWhenDue(); };
    }
    // UpdateNodeCount's counting (mode 0 sets, mode 1 adds); the painting waits for the next turn.
    void SetCount(int32_t amount, int32_t mode);
    // Paints the count now if it changed since it was last painted.
    void PaintCount();

private:
    void TakeTurn();

    ui::TTreeView *tree_;
    int32_t node_;
    DWORD lastTurn_;
    bool turned_ = false;
    bool unpainted_ = false;
};

// ---------------------------------------------------------------------------------------------
// Registry scanners.
//
// A registry item is described by one TRegScanItem; the routines below do the walking, the
// exclusion test, the adding and the counting for it. Keys are given as location strings
// ("HKEY_CURRENT_USER\Software\..."), opened for reading only and never created.

// What the exclusion test gets as data. The item's Data carries the same text, so that an
// exclusion made from a result row (which stores the row's Data) keeps exactly that trace out.
enum class TRegDataRule {
    ValueData,   // the value's data as text ("" for a value that does not hold text)
    Empty,       // nothing is read
    ValueName,   // the value's name
};

// How the node's count follows the added items.
enum class TRegCountRule {
    Position,   // mode 0 to the position (from 1) of the name just added, excluded names counted in
    Added,      // mode 0 to the running count of items added (shared by all keys of the item)
    AddOne,     // mode 1 with 1 per item added
};

struct TRegScanItem {
    const char *Group = "";
    const char *CleanCaption = "";
    const char *ItemName = "";
    int32_t Kind = tkRegValueData;           // tkRegValueName, tkRegValueData or tkRegSubKey
    TRegDataRule DataRule = TRegDataRule::ValueData;
    TRegCountRule CountRule = TRegCountRule::Position;
    bool SubKeys = false;        // list subkey names; each item stands for its subkey (Location key\name)
    bool NameInSubKey = false;   // value items keep the value's name in SubKey as well as in Entry
    bool OnlyRegSz = false;      // pass over, untested and uncounted, every value that is not REG_SZ
    bool PumpAfterTest = false;  // pump only for names not excluded, right after the test
    bool DataIsPlace = false;    // an exclusion naming the data as its place keeps the value out too
    const char *PassOver = nullptr;  // a listed name (any letter case) that is another item's trace
};

// A registry value's data as text: REG_SZ and REG_EXPAND_SZ (unexpanded) as stored, anything else
// and a missing value "".
std::string ReadValueText(const ui::TRegistry &reg, const std::string &name);

// Appends one result item filled as a registry trace (Storage "Reg", Found 1, Checked from
// Settings.SelectAll, Size 0) and returns its record.
TContent &AddRegItem(TResultContents *results, const TRegScanItem &item, const std::string &entry,
                     const std::string &subKey, const std::string &data, const std::string &location);

// The walk over names already listed from the key at location: before each name it stops when
// ScanState is 2 and gives the window its turn when one is due; then it reads, tests, adds and
// counts as item says. reg is the key held open (its data and types are read there), or nullptr to
// read through the location string. running is the item's running count (Added and AddOne rules).
// Returns false when stopped.
bool AddRegNames(const TRegScanItem &item, const std::vector<std::string> &names, const std::string &location,
                 const ui::TRegistry *reg, ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results,
                 int32_t &running);

// Opens the key at location, lists its value (or subkey) names and walks them. Returns false when
// the key does not open; nothing is added then.
bool ScanRegKey(const TRegScanItem &item, const std::string &location, ui::TTreeView *tree, int32_t nodeIndex,
                TResultContents *results, int32_t &running);

// Every key in order, one running count from 0; a key that does not open is passed over.
void ScanRegKeys(const TRegScanItem &item, std::initializer_list<const char *> locations, ui::TTreeView *tree,
                 int32_t nodeIndex, TResultContents *results);

// One named value of one key: nothing when the key does not open or the value reads as empty;
// otherwise, unless excluded, one item and the node's count set to 1. No pump, no ScanState test.
void ScanRegSingleValue(const TRegScanItem &item, const std::string &location, const std::string &valueName,
                        ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results);

// The location string of a key below HKEY_CURRENT_USER.
inline std::string CurrentUserLocation(const std::string &keyPath) { return "HKEY_CURRENT_USER\\" + keyPath; }

// The name of the user of the current thread (GetUserNameA, 255 bytes); on failure result is left
// as the caller passed it.
void GetCurrentUserName(std::string &result);

// The SID of the user whose token this process runs with, as text ("S-1-5-21-..."); false, with sid
// left as passed, when it cannot be read.
bool GetCurrentUserSid(std::string &sid);

// ---------------------------------------------------------------------------------------------
// Recycled folders.
//
// A drive keeps deleted files in "X:\Recycled" (the 95/98/Me family and FAT drives), or per user in
// "X:\RECYCLER\<SID>" (NTFS under XP) or "X:\$Recycle.Bin\<SID>" (Vista on). Only the current
// user's own folders are ever listed.

// The root of the system drive, such as "C:\": the first three characters of the system folder.
std::string SystemDriveRoot();

// Appends the recycled folders of the drive whose root is given ("C:\"): "Recycled", then the current
// user's "RECYCLER\<SID>" and "$Recycle.Bin\<SID>"; only "Recycled" when the SID cannot be read.
void ListRecycledFoldersOfDrive(const std::string &root, std::vector<std::string> &folders);

// How a recycled folder keeps its entries, told by the name of the folder that holds it.
enum class TRecycledLayout {
    Recycled,     // "Recycled": deleted entries beside INFO2 and desktop.ini
    Recycler,     // "RECYCLER\<SID>": "Dc1.txt"-style entries beside INFO2 and desktop.ini
    RecycleBin,   // "$Recycle.Bin\<SID>": "$R..." entries, each with its "$I..." index file
};
TRecycledLayout RecycledLayoutOf(const std::string &folder);

// Whether an entry of a recycled folder stands for one deleted file or folder: not "." or "..", an
// attribute word below 101, not INFO2 or desktop.ini (in any case); in a user's own folder never a
// "$I..." index file, and in the "$Recycle.Bin" layout only a "$R..." entry.
bool IsRecycledEntry(TRecycledLayout layout, const std::string &name, DWORD attributes);
// Whether the name is one of the bin's own files rather than a deleted entry: INFO2 and desktop.ini
// (in any case), and in a user's own folder the "$I..." index files.
bool IsRecycleBinOwnFile(TRecycledLayout layout, const std::string &name);
// The index file ("$I...") that a deleted entry ("$R...") of the "$Recycle.Bin" layout has beside it;
// empty for any other path.
std::string RecycledIndexFileOf(const std::string &entry);
