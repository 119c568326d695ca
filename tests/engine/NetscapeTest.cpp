// The Netscape scanners: the same scans as Firefox's, on Netscape's folders and fields.
#include "FirefoxScanFixture.h"

namespace {

using qmtest::ScanTree;

int Node(int itemNo) { return ScanTree::NodeIndex(tcInternetSoftware, itemNo); }

class NetscapeScan : public qmtest::FirefoxScan {
protected:
    void SetUp() override
    {
        profilesPath_ = "\\Netscape\\NSB\\Profiles";
        FirefoxScan::SetUp();
    }
};

TEST_F(NetscapeScan, DispatchHoldsTheSixBrowserScannersInCatalogueOrder)
{
    const TScanProc expected[6] = {ScanFirefoxHistory, ScanFirefoxCookies, ScanFirefoxCache,
                                   ScanNetscapeHistory, ScanNetscapeCookies, ScanNetscapeCache};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(InternetSoftwareScanners[4 + i], expected[i]) << i;
}

TEST_F(NetscapeScan, HistoryAndCookiesFillTheNetscapeFields)
{
    const std::string history = PutProfileFile("history.dat", "(^80=http://ns.example/page)");
    const std::string cookies = PutProfileFile("cookies.txt", "# Netscape HTTP Cookie File\n.ns.example\tTRUE\t/\tFALSE\t0\ta\tb\n");
    // Firefox's profiles are elsewhere: its scans find nothing here.
    ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get());
    ScanFirefoxCookies(tree_->Tree(), Node(6), results_.get());
    ASSERT_EQ(results_->Count(), 0);

    ScanNetscapeHistory(tree_->Tree(), Node(8), results_.get());
    ScanNetscapeCookies(tree_->Tree(), Node(9), results_.get());
    ASSERT_EQ(results_->Count(), 2);
    const TContent &h = results_->GetItem(0)->Content;
    EXPECT_EQ(h.Kind, tkNetscapeHistory);
    EXPECT_EQ(h.ItemName, "NetscapeHistory");
    EXPECT_EQ(h.NetscapeHistory, "http://ns.example/page");
    EXPECT_TRUE(h.FirefoxHistory.empty());
    EXPECT_EQ(h.Location, history);
    EXPECT_EQ(h.Size, 22);
    const TContent &c = results_->GetItem(1)->Content;
    EXPECT_EQ(c.Kind, tkNetscapeCookie);
    EXPECT_EQ(c.ItemName, "NetscapeCookies");
    EXPECT_EQ(c.NetscapeCookie, "\r\n.NS.EXAMPLE\t");
    EXPECT_EQ(c.Location, cookies);
    EXPECT_EQ(FoundSizeTotal, 22 + 14);
    EXPECT_EQ(tree_->Count(tcInternetSoftware, 8), 1);
    EXPECT_EQ(tree_->Count(tcInternetSoftware, 9), 1);
    EXPECT_EQ(tree_->CategoryCount(tcInternetSoftware), 2);
}

TEST_F(NetscapeScan, EachCacheScanTakesOnlyItsOwnBrowsersCache)
{
    // Other programs' caches right under both start folders: neither browser takes them.
    for (const std::string &other : {LocalAppData() + "\\Vendor\\Tool\\Cache", AppData() + "\\Vendor\\Cache",
                                     AppData() + "\\Mozilla\\Firefox\\Cache"}) {
        ASSERT_TRUE(qmtest::MakeFolders(other));
        ASSERT_TRUE(qmtest::WriteFileBytes(other + "\\data", "not a browser's"));
    }
    ScanFirefoxCache(tree_->Tree(), Node(7), results_.get());
    ScanNetscapeCache(tree_->Tree(), Node(10), results_.get());
    EXPECT_EQ(results_->Count(), 0);
    EXPECT_TRUE(FoundPath.empty());

    // Netscape's below AppData, Firefox's below Local AppData: each finds its own.
    const std::string cache = Profiles() + "\\p.default\\Cache";
    ASSERT_TRUE(qmtest::MakeFolders(cache));
    ASSERT_TRUE(qmtest::WriteFileBytes(cache + "\\entry", std::string(64, 'e')));
    const std::string firefox = LocalAppData() + "\\Mozilla\\Firefox\\Profiles\\x.default\\Cache";
    ASSERT_TRUE(qmtest::MakeFolders(firefox));
    ASSERT_TRUE(qmtest::WriteFileBytes(firefox + "\\local", "l"));

    ScanNetscapeCache(tree_->Tree(), Node(10), results_.get());
    ASSERT_EQ(results_->Count(), 1);
    const TContent &c = results_->GetItem(0)->Content;
    EXPECT_EQ(c.Kind, tkNetscapeCacheFile);
    EXPECT_EQ(c.ItemName, "NetscapeCache");
    EXPECT_EQ(c.NetscapeCacheFile, cache + "\\entry");
    EXPECT_EQ(c.Location, cache + "\\entry");
    EXPECT_TRUE(c.FirefoxCacheFile.empty());
    EXPECT_EQ(c.Size, 64);
    EXPECT_EQ(tree_->Count(tcInternetSoftware, 10), 1);

    results_->Clear();
    ScanFirefoxCache(tree_->Tree(), Node(7), results_.get());
    ASSERT_EQ(results_->Count(), 1);
    EXPECT_EQ(results_->GetItem(0)->Content.FirefoxCacheFile, firefox + "\\local");
}

TEST_F(NetscapeScan, SelectAllOffAddsUncheckedItems)
{
    Settings.SelectAll = false;
    PutProfileFile("history.dat", "(http://a.example/)");
    ScanNetscapeHistory(tree_->Tree(), Node(8), results_.get());
    ASSERT_EQ(results_->Count(), 1);
    EXPECT_EQ(results_->GetItem(0)->Content.Checked, 0);
}

}  // namespace
