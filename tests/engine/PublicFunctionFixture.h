// What the scanner tests share: the catalogue lists as node records, an item tree built from them
// as the Scan page builds it, private result and exclusion collections, and registry helpers that
// talk to advapi32 directly.
#pragma once
#include <functional>
#include <gtest/gtest.h>
#include "TestSupport.h"
#include <memory>
#include <string>
#include <vector>
#include "engine/RegistryInfoUnit.h"
#include "engine/CatalogueUnit.h"
#include "engine/ExcludeItemUnit.h"
#include "engine/PublicFunctionUnit.h"
#include "engine/ResultContentUnit.h"

namespace ui {
class TTreeView;
}

namespace qmtest {

// The item tree of the Scan page: root, four categories, 50 items; node data the catalogue records.
class ItemTree {
public:
    ItemTree();
    ~ItemTree();
    ui::TTreeView *Tree() const;
    TSectionRec *RootRecord() const;
    TSectionRec *CategoryRecord(int category) const;
    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

// The catalogue record shown by an absolute node index (0 root, 1/11/28/44 categories).
TSectionRec *RecordOfNode(int nodeIndex);

// Value names of a key in the registry's own enumeration order.
std::vector<std::string> EnumValueNames(HKEY root, const std::string &key);

// A message-only window: a message posted to it sets ScanState to 2 when the pump handles it.
class AbortPoster {
public:
    AbortPoster();
    ~AbortPoster();
    void PostAbort();   // handled by the next message pump
    // Handled by the first pump at which when() holds: till then the message is posted again.
    void PostAbortWhen(std::function<bool()> when);

private:
    HWND hwnd_ = nullptr;
};

// Saves one value of a key and puts it back (or removes it again) when the object goes.
class RegValueKeeper {
public:
    RegValueKeeper(HKEY root, const std::string &key, const std::string &name);
    ~RegValueKeeper();

private:
    HKEY root_;
    std::string key_, name_;
    bool existed_ = false;
    DWORD type_ = REG_NONE;
    std::string data_;
};

class ScanTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ui::TTreeView *Tree() const { return tree_ ? tree_->Tree() : nullptr; }
    ItemTree &Items() const { return *tree_; }
    int32_t Count(int nodeIndex) const;
    const TContent &Item(int i) const { return results.GetItem(i)->Content; }
    std::vector<std::string> Entries() const;
    void Exclude(const std::string &itemName, const std::string &location, const std::string &data,
                 const std::string &entry = std::string());
    // An exclusion made from result item i, as the result list stores it.
    void ExcludeRow(int i);

    TResultContents results;
    TExcludeContents exclusions;

private:
    TExcludeContents *savedExclusions_ = nullptr;
    bool savedSelectAll_ = false;
    std::unique_ptr<ItemTree> tree_;
};

}  // namespace qmtest
