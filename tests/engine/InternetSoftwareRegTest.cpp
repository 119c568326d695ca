// The download-manager scanners against real registry keys.
#include "PublicFunctionFixture.h"
#include "engine/InternetSoftWareUnit.h"

namespace {

using qmtest::RegSetString;
const HKEY HKCU = HKEY_CURRENT_USER;

struct DownloadManagerScan : qmtest::ScanTest {};

TEST_F(DownloadManagerScan, GetRightAddsOneCountPerItemOverBothKeys)
{
    qmtest::RegKeyGuard guard(HKCU, "Software\\Headlight");
    ASSERT_TRUE(RegSetString(HKCU, "Software\\Headlight\\GetRight\\MRU", "1", "http://a.example/f.zip"));
    ASSERT_TRUE(RegSetString(HKCU, "Software\\Headlight\\GetRight\\MRU", "2", "http://b.example/g.zip"));
    ASSERT_TRUE(RegSetString(HKCU, "Software\\Headlight\\GetRight\\TypedURLs", "url1", "http://c.example/"));
    ScanGetRight(Tree(), 46, &results);
    ASSERT_EQ(results.Count(), 3);
    EXPECT_EQ(Count(46), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Item(i).Group, "Internet SoftWare");
        EXPECT_EQ(Item(i).CleanCaption, "Clean GetRight MRU Info");
        EXPECT_EQ(Item(i).ItemName, "GetRight");
        EXPECT_EQ(Item(i).Kind, tkRegValueData);
        EXPECT_EQ(Item(i).Storage, "Reg");
    }
    EXPECT_EQ(Item(2).Entry, "url1");
    EXPECT_EQ(Item(2).Data, "http://c.example/");
    EXPECT_EQ(Item(2).Location, "HKEY_CURRENT_USER\\Software\\Headlight\\GetRight\\TypedURLs");

    // A value whose data is excluded is neither listed nor counted.
    results.Clear();
    qmtest::RecordOfNode(46)->Count = 0;
    Exclude("GetRight", "HKEY_CURRENT_USER\\Software\\Headlight\\GetRight\\MRU", "http://b.example/g.zip");
    ScanGetRight(Tree(), 46, &results);
    EXPECT_EQ(results.Count(), 2);
    EXPECT_EQ(Count(46), 2);
    for (int i = 0; i < results.Count(); ++i) EXPECT_NE(Item(i).Data, "http://b.example/g.zip");
}

TEST_F(DownloadManagerScan, MissingKeysAddNothing)
{
    qmtest::RegKeyGuard guard(HKCU, "Software\\Kazaa");
    ScanKazaaHistory(Tree(), 48, &results);
    EXPECT_EQ(results.Count(), 0);
    EXPECT_EQ(Count(48), 0);

    // The second key alone is still scanned.
    ASSERT_TRUE(RegSetString(HKCU, "Software\\Kazaa\\KaZaA Media Desktop\\Recent File List", "a", "song.mp3"));
    ScanKazaaHistory(Tree(), 48, &results);
    EXPECT_EQ(results.Count(), 1);
    EXPECT_EQ(Count(48), 1);
}

TEST_F(DownloadManagerScan, RealDownloadCountsPositionsThenAddsTheDefaultUsersValues)
{
    const std::string userKey = "Software\\RealNetworks\\RealDownload";
    const std::string defaultKey = ".DEFAULT\\Software\\RealNetworks\\RealDownload";
    qmtest::RegKeyGuard guard(HKCU, "Software\\RealNetworks");
    qmtest::RegKeyGuard guard2(HKEY_USERS, ".DEFAULT\\Software\\RealNetworks");
    for (int i = 1; i <= 3; ++i) ASSERT_TRUE(RegSetString(HKCU, userKey, "v" + std::to_string(i), "d" + std::to_string(i)));
    const std::vector<std::string> order = qmtest::EnumValueNames(HKCU, userKey);
    ASSERT_EQ(order.size(), 3u);
    Exclude("Real DownLoad", "HKEY_CURRENT_USER\\" + userKey, qmtest::RegGetString(HKCU, userKey, order[2]));
    ScanRealDownload(Tree(), 45, &results);
    EXPECT_EQ(Entries(), (std::vector<std::string>{order[0], order[1]}));
    EXPECT_EQ(Count(45), 2);

    ASSERT_TRUE(RegSetString(HKEY_USERS, defaultKey, "w1", "default-data"));
    ASSERT_TRUE(RegSetString(HKEY_USERS, defaultKey, "w2", "more"));
    results.Clear();
    qmtest::RecordOfNode(45)->Count = 0;
    ScanRealDownload(Tree(), 45, &results);
    ASSERT_EQ(results.Count(), 4);
    EXPECT_EQ(Count(45), 4);
    EXPECT_EQ(Item(2).Location, "HKEY_USERS\\.DEFAULT\\Software\\RealNetworks\\RealDownload");
    const std::string w = Item(2).Entry;
    EXPECT_EQ(Item(2).Data, qmtest::RegGetString(HKEY_USERS, defaultKey, w));
}

TEST_F(DownloadManagerScan, RoutineStopsOnAbort)
{
    qmtest::RegKeyGuard guard(HKCU, "Software\\SpeedBit");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(RegSetString(HKCU, "Software\\SpeedBit\\Download Accelerator\\FileList", std::to_string(i), "f"));
    ASSERT_TRUE(RegSetString(HKCU, "Software\\SpeedBit\\Download Accelerator\\HistoryCombo", "h", "g"));
    qmtest::AbortPoster poster;
    poster.PostAbort();
    ScanDownloadAccelerator(Tree(), 47, &results);
    EXPECT_EQ(results.Count(), 1);
    EXPECT_EQ(Count(47), 1);
}

}  // namespace
