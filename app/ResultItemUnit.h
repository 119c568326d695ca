// The rows of the result list and the rule by which a catalogue item finds its own result items.
// Nothing here needs a window: the Result page's handlers are thin layers over these routines.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "engine/ResultContentUnit.h"

// Which text field of its result item a row shows in the "Name" column (or as its Data).
enum TNameField : uint8_t {
    nfNone,   // an empty text
    nfEntry,
    nfData,
    nfSubKey,
    nfLocation,
    nfFirefoxHistory,
    nfFirefoxCookie,
    nfFirefoxCacheFile,
    nfNetscapeHistory,
    nfNetscapeCookie,
    nfNetscapeCacheFile,
};

// One row of the virtual result list. A row copies its item's flags and size when the list is
// filled; its texts it reads from the item it leads back to (Category, ContentIndex), which keeps
// them unchanged from the scan to the next one. Copying them would cost a hundred thousand rows
// several hundred thousand strings on every fill. Fills, purges and exclusions keep ContentIndex
// in step with the collections; a row that leads nowhere shows empty texts.
struct TResultItem {
    uint8_t Checked = 0;
    int32_t Category = 0;      // which of ResultContents the item sits in
    int32_t ContentIndex = 0;  // its index there
    uint8_t Removed = 0;
    int32_t Size = 0;
    TNameField NameField = nfNone;   // what DisplayName shows
    TNameField DataField = nfData;   // what Data shows: the SubKey in the item view of four items

    // The result item, or nullptr.
    const TContent *Content() const;
    const std::string &ItemName() const;      // row caption, column "Type"
    const std::string &DisplayName() const;   // column "Name"
    const std::string &Location2() const;     // the item's Location; kept for the record, read by nobody
    const std::string &Entry() const;         // sub-item 3 (no column)
    const std::string &Data() const;          // sub-item 4 (no column)
    const std::string &Location() const;      // sub-item 5 (no column)
};

// The rows of the result list in list order. The list owns its rows: a row that leaves it is freed.
// Row pointers stay valid until the list next changes.
class TResultRows {
public:
    TResultRows() = default;
    TResultRows(const TResultRows &) = delete;
    TResultRows &operator=(const TResultRows &) = delete;

    int Count() const { return static_cast<int>(rows_.size()); }
    // nullptr for an index outside the list.
    TResultItem *Items(int index)
    {
        return index >= 0 && index < Count() ? &rows_[static_cast<size_t>(index)] : nullptr;
    }
    const TResultItem *Items(int index) const
    {
        return index >= 0 && index < Count() ? &rows_[static_cast<size_t>(index)] : nullptr;
    }
    TResultItem *Add();
    // Frees the row and closes up the list; an index outside the list changes nothing.
    void Delete(int index);
    void Clear();
    // Keeps, in order, the rows for which keep(row) is true; frees the others. One pass.
    template <class Pred>
    void KeepIf(Pred keep)
    {
        size_t kept = 0;
        for (size_t i = 0; i < rows_.size(); ++i)
            if (keep(rows_[i])) rows_[kept++] = rows_[i];
        rows_.resize(kept);
    }
    void Reserve(int count) { rows_.reserve(static_cast<size_t>(count)); }

private:
    std::vector<TResultItem> rows_;
};

// List item i of the result list shows row i. Emptied when the main window goes.
extern TResultRows ResultRows;

// ---- The item-matching rule ----

// The number of catalogue items of a category: 9, 16, 15, 10; 0 for any other number.
int CategoryItemCount(int category);
// The type string that the scanners write for an item; "" for an item matched by Kind or unknown.
const char *ItemCleanCaption(int category, int itemNo);
// True when the result item belongs to catalogue item (category, itemNo): its CleanCaption equals
// the item's type string exactly, or, for Internet Software items 5 to 10, its Kind is itemNo - 1.
bool ResultItemMatches(int category, int itemNo, const TContent &content);

// ---- Work on the four result collections ----

// Sets Checked on the items of ResultContents[category] that itemNo takes in (0: all of them).
void CheckResultItems(int category, int itemNo, bool value);
// Checked result items over the four collections.
int32_t CountCheckedResultContents();
// The checked items and their total size, the figures the result hints give.
void SumCheckedResultContents(int32_t &count, int64_t &size);
// Result items of ResultContents[category] that match (category, itemNo).
int32_t CountMatchingResultItems(int category, int itemNo);
// Drops every item for which drop(content) holds in one pass; the others keep their order. Returns
// for each old index the item's new index, or -1 for a dropped item.
std::vector<int32_t> PurgeItemsIf(TResultContents *contents, const std::function<bool(const TContent &)> &drop);
// PurgeItemsIf for the items whose Removed is set.
std::vector<int32_t> PurgeRemovedItems(TResultContents *contents);
// Follows a purge of ResultContents[category] in the rows: a row of a dropped item leaves the list,
// the others point at their item's new index. FoundSizeTotal becomes the total of the rows left.
void RemapResultRows(int category, const std::vector<int32_t> &newIndex);

// ---- The list fill ----

// The "Name" text of a result item: in the item view (itemNo >= 1) the field the item's table names,
// in the category view (itemNo 0) the field of the first item whose type string equals its own.
std::string ResultDisplayName(int category, int itemNo, const TContent &content);
// Appends one row per result item of the category (itemNo 0) or of the one item, adding each size
// to FoundSizeTotal. Without append the rows and FoundSizeTotal start again from empty and 0.
void FillResultRows(int category, int itemNo, bool append);

// ---- Texts ----

// A number with two decimals and the user's decimal separator.
std::string FormatFixed2(double value);
// The footer's size: the number and its unit ("B", "KB" or "MB").
void FormatResultSpace(int64_t total, std::string &number, std::string &unit);
// The cells of a row after its caption, in sub-item order: name, size in KB, status, entry, data,
// location.
std::vector<std::string> ResultRowSubItems(const TResultItem &row);
// The two hint lines for `count` checked traces of `size` bytes; both empty when there are none.
void ResultHintTexts(int32_t count, int64_t size, std::string &line1, std::string &line2);
