// The exclusion list: traces that scans must not find again.
#pragma once
#include <string>
#include "ui/Collection.h"

namespace exclude {
struct TContent {
    std::string ItemName;   // compared first by every exclusion test
    std::string Location;   // registry location string, URL, file name or path
    std::string Entry;      // the registry value name; no test compares it
    std::string Data;       // compared trimmed by the registry test
};
}  // namespace exclude

class TExcludeContentItem {
public:
    exclude::TContent Content;
};

class TExcludeContents : public ui::TCollection<TExcludeContentItem> {
public:
    int AddItem() { return Add(); }
    TExcludeContentItem *GetItem(int index) const { return Items(index); }
};

extern TExcludeContents *ExcludeContents;
