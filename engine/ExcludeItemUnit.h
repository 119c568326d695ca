// The exclusion list: traces that scans must not find again.
#pragma once
#include <string>
#include <unordered_set>
#include "ui/Collection.h"

namespace exclude {
struct TContent {
    std::string ItemName;   // compared first by every exclusion test
    std::string Location;   // registry location string, URL, file name or path
    std::string Entry;      // the registry value name; no test compares it
    std::string Data;       // compared trimmed by the registry test
};

// Leading and trailing characters with codes 0 to 32 removed: the form in which the registry test
// compares data.
std::string TrimData(const std::string &s);
}  // namespace exclude

class TExcludeContentItem {
public:
    exclude::TContent Content;
};

// The list keeps an index of its records so that a look-up costs the same however many exclusions
// there are. Every change (AddItem, Delete, and any record reached through the non-const GetItem)
// marks the index stale and the next look-up rebuilds it; so a record is written through the
// pointer GetItem gave before the next look-up, not kept and written after it.
class TExcludeContents : private ui::TCollection<TExcludeContentItem> {
    using Base = ui::TCollection<TExcludeContentItem>;

public:
    using Base::Count;
    int AddItem()
    {
        stale_ = true;
        return Add();
    }
    TExcludeContentItem *GetItem(int index)
    {
        stale_ = true;
        return Items(index);
    }
    const TExcludeContentItem *GetItem(int index) const { return Items(index); }
    void Delete(int index)
    {
        stale_ = true;
        Base::Delete(index);
    }
    void Clear();

    // Some item has exactly this ItemName and this Location.
    bool HasPlace(const std::string &itemName, const std::string &location) const;
    // Some item has exactly this ItemName and Location, and Data that trims to trimmedData.
    bool HasData(const std::string &itemName, const std::string &location, const std::string &trimmedData) const;

private:
    void Reindex() const;
    mutable std::unordered_set<std::string> places_;
    mutable std::unordered_set<std::string> data_;
    mutable bool stale_ = false;
};

extern TExcludeContents *ExcludeContents;
