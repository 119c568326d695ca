#include "InternetExplorerScanFixture.h"

namespace qmtest {

const char *const ShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

RegValueOverride::RegValueOverride(const std::string &key, const std::string &name) : key_(key), name_(name)
{
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return;
    DWORD size = 0;
    if (RegQueryValueExA(h, name_.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
        data_.resize(size);
        existed_ = RegQueryValueExA(h, name_.c_str(), nullptr, &type_, data_.empty() ? nullptr : data_.data(),
                                    &size) == ERROR_SUCCESS;
    }
    RegCloseKey(h);
}

void RegValueOverride::Remove()
{
    HKEY h;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_SET_VALUE, &h) != ERROR_SUCCESS) return;
    RegDeleteValueA(h, name_.c_str());
    RegCloseKey(h);
}

RegValueOverride::~RegValueOverride()
{
    if (!existed_) {
        Remove();
        return;
    }
    HKEY h;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(h, name_.c_str(), 0, type_, data_.empty() ? nullptr : data_.data(),
                   static_cast<DWORD>(data_.size()));
    RegCloseKey(h);
}

int ScanTree::NodeIndex(int category, int itemNo)
{
    // Root 0, then each category node followed by its items: 9, 16, 15 and 10 of them.
    static const int heads[TraceCategoryCount] = {1, 11, 28, 44};
    return heads[category] + itemNo;
}

int ScanTree::Count(int category, int itemNo) const
{
    return (*ScanItemLists[category])[static_cast<size_t>(itemNo - 1)]->Count;
}

void ScanTree::SetCount(int category, int itemNo, int count)
{
    (*ScanItemLists[category])[static_cast<size_t>(itemNo - 1)]->Count = count;
}

int ScanTree::CategoryCount(int category) const { return heads_[static_cast<size_t>(category) + 1]->Count; }

void BrowserScan::SetUp()
{
    tree_ = std::make_unique<ScanTree>();
    results_ = std::make_unique<TResultContents>();
    exclusions_ = std::make_unique<TExcludeContents>();
    savedExclusions_ = ExcludeContents;
    ExcludeContents = exclusions_.get();
    savedSelectAll_ = Settings.SelectAll;
    Settings.SelectAll = true;
    ScanState = 1;
    FoundSizeTotal = 0;
}

void BrowserScan::TearDown()
{
    ScanState = 0;
    FoundSizeTotal = 0;
    Settings.SelectAll = savedSelectAll_;
    ExcludeContents = savedExclusions_;
    exclusions_.reset();
    results_.reset();
    tree_.reset();
}

void BrowserScan::Exclude(const std::string &itemName, const std::string &location, const std::string &data)
{
    exclude::TContent &c = exclusions_->GetItem(exclusions_->AddItem())->Content;
    c.ItemName = itemName;
    c.Location = location;
    c.Data = data;
}

std::vector<TContent> BrowserScan::ItemsWith(std::string TContent::*field, const std::string &needle) const
{
    std::vector<TContent> found;
    for (int i = 0; i < results_->Count(); ++i) {
        const TContent &c = results_->GetItem(i)->Content;
        if ((c.*field).find(needle) != std::string::npos) found.push_back(c);
    }
    return found;
}

}  // namespace qmtest

namespace qmtest {

ScanTree::ScanTree()
{
    CreateScanItemLists();
    auto root = std::make_unique<TSectionRec>();
    root->CategoryCaption = "My Computer";
    heads_.push_back(std::move(root));
    for (int c = 0; c < TraceCategoryCount; ++c) {
        auto head = std::make_unique<TSectionRec>();
        head->Category = c;
        head->CategoryCaption = CategoryCaption(c);
        heads_.push_back(std::move(head));
    }
    form_.CreateForm("QmBrowserScanTestForm", "scan tree", 400, 600, ui::bsSingle, false);
    treeView_.Create(&form_, 0, 0, 380, 580);
    ui::TTreeNode *top = treeView_.AddChild(nullptr, "My Computer", heads_[0].get());
    for (int c = 0; c < TraceCategoryCount; ++c) {
        ui::TTreeNode *category = treeView_.AddChild(top, CategoryCaption(c), heads_[static_cast<size_t>(c) + 1].get());
        for (TSectionRec *rec : *ScanItemLists[c]) treeView_.AddChild(category, rec->ItemCaption, rec);
    }
    treeView_.FullExpand();
    tree_ = &treeView_;
}

ScanTree::~ScanTree() { FreeScanItemLists(); }

}  // namespace qmtest

#include "FirefoxScanFixture.h"

namespace qmtest {

std::vector<std::string> ListFolder(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (strcmp(fd.cFileName, ".") != 0 && strcmp(fd.cFileName, "..") != 0) names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

bool MakeFolders(const std::string &path)
{
    if (DirExists(path)) return true;
    size_t cut = path.find_last_of('\\');
    if (cut != std::string::npos && cut > 2 && !MakeFolders(path.substr(0, cut))) return false;
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

void FirefoxScan::SetUp()
{
    BrowserScan::SetUp();
    appData_ = std::make_unique<RegValueOverride>(ShellFoldersKey, "AppData");
    localAppData_ = std::make_unique<RegValueOverride>(ShellFoldersKey, "Local AppData");
    appData_->Set(AppData());
    localAppData_->Set(LocalAppData());
    ASSERT_TRUE(MakeFolders(Profiles()));
    FoundPath.clear();
}

void FirefoxScan::TearDown()
{
    appData_.reset();
    localAppData_.reset();
    FoundPath.clear();
    BrowserScan::TearDown();
}

std::string FirefoxScan::PutProfileFile(const std::string &name, const std::string &bytes)
{
    const std::string folder = Profiles() + "\\p.default";
    MakeFolders(folder);
    const std::string path = folder + "\\" + name;
    EXPECT_TRUE(WriteFileBytes(path, bytes)) << path;
    return path;
}

}  // namespace qmtest
