#include "PublicFunctionFixture.h"
#include "ui/Application.h"
#include "ui/TreeView.h"

namespace qmtest {

TSectionRec *RecordOfNode(int nodeIndex)
{
    static TSectionRec none;
    // Category nodes sit at 1, 11, 28 and 44; each category's items follow its node.
    static const int firstNode[4] = {1, 11, 28, 44};
    for (int c = 3; c >= 0; --c) {
        if (nodeIndex > firstNode[c]) {
            size_t i = static_cast<size_t>(nodeIndex - firstNode[c] - 1);
            if (ScanItemLists[c] && i < ScanItemLists[c]->size()) return (*ScanItemLists[c])[i];
            return &none;
        }
    }
    return &none;
}

std::vector<std::string> EnumValueNames(HKEY root, const std::string &key)
{
    std::vector<std::string> names;
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD len = sizeof(name);
        if (RegEnumValueA(h, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, len);
    }
    RegCloseKey(h);
    return names;
}

static std::function<bool()> AbortCondition;

static LRESULT CALLBACK AbortProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_APP + 1) {
        if (!AbortCondition || AbortCondition())
            ScanState = 2;
        else
            PostMessageA(hwnd, msg, 0, 0);   // not yet: again at the next pump
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

AbortPoster::AbortPoster()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = AbortProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QmTestAbortPoster";
    RegisterClassA(&wc);   // fails harmlessly when already registered
    hwnd_ = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

AbortPoster::~AbortPoster()
{
    if (hwnd_) DestroyWindow(hwnd_);
    AbortCondition = nullptr;
}

void AbortPoster::PostAbort() { PostMessageA(hwnd_, WM_APP + 1, 0, 0); }

void AbortPoster::PostAbortWhen(std::function<bool()> when)
{
    AbortCondition = std::move(when);
    PostAbort();
}

RegValueKeeper::RegValueKeeper(HKEY root, const std::string &key, const std::string &name)
    : root_(root), key_(key), name_(name)
{
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return;
    DWORD size = 0;
    if (RegQueryValueExA(h, name.c_str(), nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
        data_.assign(size, '\0');
        if (RegQueryValueExA(h, name.c_str(), nullptr, &type_, reinterpret_cast<BYTE *>(&data_[0]), &size) ==
            ERROR_SUCCESS) {
            data_.resize(size);
            existed_ = true;
        }
    }
    RegCloseKey(h);
}

RegValueKeeper::~RegValueKeeper()
{
    HKEY h;
    if (RegCreateKeyExA(root_, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) != ERROR_SUCCESS)
        return;
    if (existed_)
        RegSetValueExA(h, name_.c_str(), 0, type_, reinterpret_cast<const BYTE *>(data_.data()),
                       static_cast<DWORD>(data_.size()));
    else
        RegDeleteValueA(h, name_.c_str());
    RegCloseKey(h);
}

void ScanTest::SetUp()
{
    FreeScanItemLists();
    CreateScanItemLists();
    savedExclusions_ = ExcludeContents;
    ExcludeContents = &exclusions;
    savedSelectAll_ = Settings.SelectAll;
    Settings.SelectAll = true;
    ScanState = 0;
    FoundSizeTotal = 0;
    tree_.reset(new ItemTree);
}

void ScanTest::TearDown()
{
    tree_.reset();
    ExcludeContents = savedExclusions_;
    Settings.SelectAll = savedSelectAll_;
    ScanState = 0;
    FoundSizeTotal = 0;
    FreeScanItemLists();
}

int32_t ScanTest::Count(int nodeIndex) const
{
    if (nodeIndex == 0) return tree_->RootRecord()->Count;
    static const int categoryNodes[4] = {1, 11, 28, 44};
    for (int c = 0; c < 4; ++c)
        if (nodeIndex == categoryNodes[c]) return tree_->CategoryRecord(c)->Count;
    return RecordOfNode(nodeIndex)->Count;
}

std::vector<std::string> ScanTest::Entries() const
{
    std::vector<std::string> v;
    for (int i = 0; i < results.Count(); ++i) v.push_back(Item(i).Entry);
    return v;
}

void ScanTest::Exclude(const std::string &itemName, const std::string &location, const std::string &data,
                       const std::string &entry)
{
    exclude::TContent &c = exclusions.GetItem(exclusions.AddItem())->Content;
    c.ItemName = itemName;
    c.Location = location;
    c.Entry = entry;
    c.Data = data;
}

void ScanTest::ExcludeRow(int i)
{
    const TContent &row = Item(i);
    Exclude(row.ItemName, row.Location, row.Data, row.Entry);
}

}  // namespace qmtest
