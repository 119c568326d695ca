// The Internet Explorer registry members and the Favorites folder.
#include <algorithm>
#include "InternetExplorerScanFixture.h"
#include "PublicFunctionFixture.h"
#include "engine/IneterNetExploerUnit.h"

namespace {

using qmtest::BrowserScan;
using qmtest::RegValueOverride;
using qmtest::ScanTree;

const std::string kHKCU = "HKEY_CURRENT_USER\\";
const char *const kIE = "Software\\Microsoft\\Internet Explorer";
const char *const kMain = "Software\\Microsoft\\Internet Explorer\\Main";
const char *const kTypedURLs = "Software\\Microsoft\\Internet Explorer\\TypedURLs";
const char *const kIntelliForms = "Software\\Microsoft\\Internet Explorer\\IntelliForms";

int Node(int itemNo) { return ScanTree::NodeIndex(tcInternetExplorer, itemNo); }

using IESingleValues = BrowserScan;

TEST_F(IESingleValues, EachMemberListsItsValueOnceWithItsFields)
{
    struct Case {
        TScanProc scan;
        int itemNo;
        const char *key;
        const char *value;
        const char *itemName;
        const char *cleanCaption;
    };
    const Case cases[] = {
        {ScanIEFavoritesExportFile, 5, kMain, "FavoritesExportFile", "Favorites Export File",
         "Clean Favorites Export File"},
        {ScanIEFavoritesImportFolder, 6, kMain, "FavoritesImportFolder", "Favorites Import Folder",
         "Clean Favorites Import Folder"},
        {ScanIEDownloadDirectory, 8, kIE, "Download Directory", "Download Directory", "Clean Download Directory"},
        {ScanIESaveDirectory, 9, kMain, "Save Directory", "Save Directory", "Clean Save Directory"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.itemName);
        EXPECT_EQ(InternetExplorerScanners[k.itemNo - 1], k.scan);
        RegValueOverride value(k.key, k.value);
        const std::string data = std::string("C:\\Users\\tester\\") + k.value;
        value.Set(data);
        results_->Clear();
        k.scan(tree_->Tree(), Node(k.itemNo), results_.get());
        ASSERT_EQ(results_->Count(), 1);
        const TContent &c = results_->GetItem(0)->Content;
        EXPECT_EQ(c.Kind, tkRegValueData);
        EXPECT_EQ(c.Storage, "Reg");
        EXPECT_EQ(c.Group, "Internet Explorer");
        EXPECT_EQ(c.ItemName, k.itemName);
        EXPECT_EQ(c.CleanCaption, k.cleanCaption);
        EXPECT_EQ(c.Entry, k.value);
        EXPECT_EQ(c.Data, data);
        EXPECT_EQ(c.Location, kHKCU + k.key);
        EXPECT_EQ(c.Size, 0);
        EXPECT_EQ(tree_->Count(tcInternetExplorer, k.itemNo), 1);
    }
}

TEST_F(IESingleValues, EmptyMissingOrExcludedValueAddsNothing)
{
    RegValueOverride value(kIE, "Download Directory");
    tree_->SetCount(tcInternetExplorer, 8, 5);
    value.Set("");
    ScanIEDownloadDirectory(tree_->Tree(), Node(8), results_.get());
    value.Remove();
    ScanIEDownloadDirectory(tree_->Tree(), Node(8), results_.get());
    EXPECT_EQ(results_->Count(), 0);
    EXPECT_EQ(tree_->Count(tcInternetExplorer, 8), 5) << "the count is not touched";

    // The registry test compares data trimmed on both sides.
    value.Set("D:\\Downloads");
    Exclude("Download Directory", kHKCU + kIE, "  D:\\Downloads\t");
    ScanIEDownloadDirectory(tree_->Tree(), Node(8), results_.get());
    EXPECT_EQ(results_->Count(), 0);
}

class IEValueLists : public BrowserScan {
protected:
    void SetUp() override
    {
        BrowserScan::SetUp();
        typed_ = std::make_unique<qmtest::RegKeyGuard>(HKEY_CURRENT_USER, kTypedURLs);
        forms_ = std::make_unique<qmtest::RegKeyGuard>(HKEY_CURRENT_USER, kIntelliForms);
    }
    void TearDown() override
    {
        typed_.reset();
        forms_.reset();
        BrowserScan::TearDown();
    }
    std::unique_ptr<qmtest::RegKeyGuard> typed_, forms_;
};

TEST_F(IEValueLists, TypedAddressesCountByPositionOfTheLastAdded)
{
    ASSERT_TRUE(qmtest::RegSetString(HKEY_CURRENT_USER, kTypedURLs, "url1", "http://one.example/"));
    ASSERT_TRUE(qmtest::RegSetString(HKEY_CURRENT_USER, kTypedURLs, "url2", "http://two.example/"));
    ASSERT_TRUE(qmtest::RegSetString(HKEY_CURRENT_USER, kTypedURLs, "url3", "http://three.example/"));
    const std::string location = kHKCU + kTypedURLs;

    Exclude("Address Bar History", location, "http://two.example/");
    ScanIEAddressBarHistory(tree_->Tree(), Node(2), results_.get());
    ASSERT_EQ(results_->Count(), 2);
    EXPECT_EQ(tree_->Count(tcInternetExplorer, 2), 3) << "an excluded value before the last one is counted in";
    for (int i = 0; i < 2; ++i) {
        const TContent &c = results_->GetItem(i)->Content;
        EXPECT_NE(c.Entry, "url2");
        EXPECT_EQ(c.Kind, tkRegValueData);
        EXPECT_EQ(c.Group, "IE Address Bar History");
        EXPECT_EQ(c.CleanCaption, "Clean Address Bar History");
        EXPECT_EQ(c.ItemName, "Address Bar History");
        EXPECT_EQ(c.Location, location);
        EXPECT_EQ(c.Data, qmtest::RegGetString(HKEY_CURRENT_USER, kTypedURLs, c.Entry));
    }

    results_->Clear();
    tree_->SetCount(tcInternetExplorer, 2, 0);
    Exclude("Address Bar History", location, "http://three.example/");
    ScanIEAddressBarHistory(tree_->Tree(), Node(2), results_.get());
    ASSERT_EQ(results_->Count(), 1);
    EXPECT_EQ(results_->GetItem(0)->Content.Entry, "url1");
    EXPECT_EQ(tree_->Count(tcInternetExplorer, 2), 1);

    // An address typed on the Exclude page is the exclusion's place, compared exactly.
    for (const char *typed : {"HTTP://ONE.EXAMPLE/", "http://one.example/"}) {
        results_->Clear();
        Exclude("Address Bar History", typed);
        ScanIEAddressBarHistory(tree_->Tree(), Node(2), results_.get());
        EXPECT_EQ(results_->Count(), typed[0] == 'H' ? 1 : 0) << typed;
    }
}

TEST_F(IEValueLists, AutoCompleteDataListsNamesWithoutData)
{
    const BYTE blob[] = {1, 2, 3, 0, 4};
    ASSERT_TRUE(qmtest::RegSetBinary(HKEY_CURRENT_USER, kIntelliForms, "Form1", blob, sizeof blob));
    ASSERT_TRUE(qmtest::RegSetString(HKEY_CURRENT_USER, kIntelliForms, "Form2", "saved text"));
    ASSERT_TRUE(qmtest::RegSetDword(HKEY_CURRENT_USER, kIntelliForms, "Form3", 7));
    ScanIEAutoCompleteData(tree_->Tree(), Node(7), results_.get());
    ASSERT_EQ(results_->Count(), 3);
    EXPECT_EQ(tree_->Count(tcInternetExplorer, 7), 3);
    for (int i = 0; i < 3; ++i) {
        const TContent &c = results_->GetItem(i)->Content;
        EXPECT_EQ(c.Kind, tkRegValueName);
        EXPECT_TRUE(c.Data.empty()) << c.Entry;
        EXPECT_EQ(c.CleanCaption, "AutoComplete Form Data");
        EXPECT_EQ(c.ItemName, "AutoCompleteData");
        EXPECT_EQ(c.Group, "Internet Explorer");
        EXPECT_EQ(c.Location, kHKCU + kIntelliForms);
    }

    // One exclusion of the key with empty data keeps every value out, whatever its data.
    results_->Clear();
    Exclude("AutoCompleteData", kHKCU + kIntelliForms, "");
    ScanIEAutoCompleteData(tree_->Tree(), Node(7), results_.get());
    EXPECT_EQ(results_->Count(), 0);
}

class IEFavorites : public BrowserScan {
protected:
    void SetUp() override
    {
        BrowserScan::SetUp();
        favorites_ = std::make_unique<RegValueOverride>(qmtest::ShellFoldersKey, "Favorites");
        favorites_->Set(dir_.Path());
    }
    void TearDown() override
    {
        favorites_.reset();
        BrowserScan::TearDown();
    }
    qmtest::TempDir dir_;
    std::unique_ptr<RegValueOverride> favorites_;
};

TEST_F(IEFavorites, ListsTheFolderItselfNotItsSubfolders)
{
    ASSERT_TRUE(qmtest::WriteFileBytes(dir_ / "a.url", "[InternetShortcut]\r\nURL=http://a.example/\r\n"));
    ASSERT_TRUE(qmtest::WriteFileBytes(dir_ / "b.url", "[InternetShortcut]\r\nURL=http://b.example/\r\n"));
    ASSERT_TRUE(CreateDirectoryA((dir_ / "Links").c_str(), nullptr));
    ASSERT_TRUE(qmtest::WriteFileBytes(dir_ / "Links\\c.url", "[InternetShortcut]\r\n"));
    ASSERT_EQ(GetFileAttributesA((dir_ / "a.url").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_EQ(GetFileAttributesA((dir_ / "Links").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));

    ScanIEFavorites(tree_->Tree(), Node(4), results_.get());
    ASSERT_EQ(results_->Count(), 3);
    EXPECT_EQ(tree_->Count(tcInternetExplorer, 4), 3);
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
        const TContent &c = results_->GetItem(i)->Content;
        names.push_back(c.Entry);
        EXPECT_EQ(c.Location, dir_ / c.Entry);
        EXPECT_EQ(c.Kind, tkFile);
        EXPECT_EQ(c.Storage, "File");
        EXPECT_EQ(c.Group, "Favorites");
        EXPECT_EQ(c.CleanCaption, "Clean Favorites");
        EXPECT_EQ(c.ItemName, "Favorites");
        EXPECT_EQ(c.Size, 0);
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Links", "a.url", "b.url"}));
}

TEST_F(IEFavorites, ExcludedByNameAloneAndOnlyWholeAttributeWords)
{
    ASSERT_TRUE(qmtest::WriteFileBytes(dir_ / "a.url", "a"));
    ASSERT_TRUE(qmtest::WriteFileBytes(dir_ / "b.url", "b"));
    ASSERT_TRUE(qmtest::WriteFileBytes(dir_ / "locked.url", "r"));
    ASSERT_TRUE(SetFileAttributesA((dir_ / "locked.url").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    Exclude("Favorites", "a.url");
    Exclude("Favorites", dir_ / "b.url");   // a full path does not match

    ScanIEFavorites(tree_->Tree(), Node(4), results_.get());
    SetFileAttributesA((dir_ / "locked.url").c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(results_->Count(), 1);
    EXPECT_EQ(results_->GetItem(0)->Content.Entry, "b.url");
    // The read-only file (33) is passed over; the excluded one is still counted.
    EXPECT_EQ(tree_->Count(tcInternetExplorer, 4), 2);
}

TEST_F(IEFavorites, MissingOrEmptyFolderAddsNothing)
{
    tree_->SetCount(tcInternetExplorer, 4, 4);
    favorites_->Set(dir_ / "nowhere");
    ScanIEFavorites(tree_->Tree(), Node(4), results_.get());
    favorites_->Set("");
    ScanIEFavorites(tree_->Tree(), Node(4), results_.get());
    favorites_->Set(dir_.Path());
    ScanIEFavorites(tree_->Tree(), Node(4), results_.get());
    EXPECT_EQ(results_->Count(), 0);
    EXPECT_EQ(tree_->Count(tcInternetExplorer, 4), 4);
}

TEST_F(IEFavorites, AbortStopsBeforeTheNextEntry)
{
    ASSERT_TRUE(qmtest::WriteFileBytes(dir_ / "a.url", "a"));
    ScanState = 2;
    ScanIEFavorites(tree_->Tree(), Node(4), results_.get());
    EXPECT_EQ(results_->Count(), 0);
}

TEST_F(IEFavorites, AbortPressedDuringTheWalkStopsBeforeTheNextEntryThatCounts)
{
    ASSERT_TRUE(qmtest::WriteFileBytes(dir_ / "a.url", "a"));
    ASSERT_TRUE(qmtest::WriteFileBytes(dir_ / "b.url", "b"));
    qmtest::AbortPoster abort;
    abort.PostAbort();
    ScanIEFavorites(tree_->Tree(), Node(4), results_.get());
    // The turn comes before the test: the entry whose turn saw the abort is not listed.
    EXPECT_EQ(results_->Count(), 0);
}

}  // namespace
