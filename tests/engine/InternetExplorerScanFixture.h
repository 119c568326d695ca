// What the browser scanner tests share: a scan's globals set up and put back, an item tree whose
// counts the scanners keep, and registry values pointed elsewhere for one test.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string>
#include <vector>
#include "TestSupport.h"
#include "engine/RegistryInfoUnit.h"
#include "engine/CatalogueUnit.h"
#include "engine/ExcludeItemUnit.h"
#include "engine/ResultContentUnit.h"

#include "ui/Form.h"
#include "ui/TreeView.h"

namespace qmtest {

// Sets one HKEY_CURRENT_USER value for the life of the object, then puts the old one back (or
// removes it when there was none).
class RegValueOverride {
public:
    RegValueOverride(const std::string &key, const std::string &name);
    ~RegValueOverride();
    RegValueOverride(const RegValueOverride &) = delete;
    RegValueOverride &operator=(const RegValueOverride &) = delete;
    void Set(const std::string &text) { RegSetString(HKEY_CURRENT_USER, key_, name_, text); }
    void Remove();

private:
    std::string key_, name_;
    bool existed_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};

extern const char *const ShellFoldersKey;

// The item tree of the Scan page built from the catalogue, on a hidden window.
class ScanTree {
public:
    ScanTree();
    ~ScanTree();
    ui::TTreeView *Tree() const { return tree_; }
    static int NodeIndex(int category, int itemNo);
    int Count(int category, int itemNo) const;
    void SetCount(int category, int itemNo, int count);
    int CategoryCount(int category) const;

private:
    ui::TForm form_;
    ui::TTreeView treeView_;
    ui::TTreeView *tree_ = nullptr;
    std::vector<std::unique_ptr<TSectionRec>> heads_;
};

// The globals a scan reads and writes, fresh for each test and restored after it.
class BrowserScan : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TResultContents &Results() { return *results_; }
    void Exclude(const std::string &itemName, const std::string &location, const std::string &data = "");
    // The items of the collection whose given text field contains needle, in order.
    std::vector<TContent> ItemsWith(std::string TContent::*field, const std::string &needle) const;

    std::unique_ptr<ScanTree> tree_;
    std::unique_ptr<TResultContents> results_;

private:
    TExcludeContents *savedExclusions_ = nullptr;
    std::unique_ptr<TExcludeContents> exclusions_;
    bool savedSelectAll_ = false;
};

}  // namespace qmtest
