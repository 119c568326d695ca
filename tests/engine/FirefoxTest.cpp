// The Firefox scanners: the finders, the history and cookie text scans, the cache folder.
#include <algorithm>
#include <fstream>
#include <sstream>
#include "FirefoxScanFixture.h"
#include "PublicFunctionFixture.h"
#include "engine/CleanUnit.h"

namespace {

using qmtest::FirefoxScan;
using qmtest::ScanTree;

int Node(int itemNo) { return ScanTree::NodeIndex(tcInternetSoftware, itemNo); }

// ---- finders -----------------------------------------------------------------------------------

using Finders = FirefoxScan;

TEST_F(Finders, EveryFolderStopsAtItsFirstMatchAndTheLastMatchWins)
{
    const std::string profiles = Profiles();
    std::vector<std::string> withHistory;
    for (const char *p : {"one.default", "two.work", "three.empty"}) {
        ASSERT_TRUE(CreateDirectoryA((profiles + "\\" + p).c_str(), nullptr));
        if (strcmp(p, "three.empty") != 0) {
            ASSERT_TRUE(qmtest::WriteFileBytes(profiles + "\\" + p + "\\history.dat", "x"));
            withHistory.push_back(profiles + "\\" + p + "\\history.dat");
        }
    }
    // Which profile the walk meets last is the file system's order: read it the same way.
    std::string expected;
    for (const std::string &name : qmtest::ListFolder(profiles))
        for (const std::string &h : withHistory)
            if (h == profiles + "\\" + name + "\\history.dat") expected = h;
    ASSERT_FALSE(expected.empty());

    FoundPath = "stale";
    FindFileRecursive(profiles, "history.dat");
    EXPECT_EQ(FoundPath, expected);

    // The finder never empties FoundPath, and the name is compared exactly.
    FindFileRecursive(profiles, "HISTORY.DAT");
    EXPECT_EQ(FoundPath, expected);
}

TEST_F(Finders, CacheFolderIsAFolderNamedExactlyCache)
{
    const std::string local = LocalAppData();
    ASSERT_TRUE(qmtest::WriteFileBytes(local + "\\Cache", "a file named Cache"));
    ASSERT_TRUE(qmtest::MakeFolders(local + "\\Mozilla\\cache"));
    FoundPath.clear();
    FindCacheFolderRecursive(local);
    EXPECT_TRUE(FoundPath.empty()) << FoundPath;

    ASSERT_TRUE(qmtest::MakeFolders(local + "\\Mozilla\\Firefox\\Profiles\\x.default\\Cache\\Cache"));
    FindCacheFolderRecursive(local);
    // The Cache folder itself is not searched: its inner Cache is never reached.
    EXPECT_EQ(FoundPath, local + "\\Mozilla\\Firefox\\Profiles\\x.default\\Cache");
}

// ---- history -----------------------------------------------------------------------------------

using FirefoxHistory = FirefoxScan;

TEST_F(FirefoxHistory, EachAddressRunsFromHttpToTheCharacterBeforeItsParenthesis)
{
    const std::string file = PutProfileFile("history.dat",
                                            "// <!-- <mdb:mork:z v=\"1.4\"/> -->\n"
                                            "[-1(^80=http://www.example.com/index.html)(^81=1103299264000000)]\n"
                                            "[-2(^80=http://mozilla.org/a?b=c)(^82=Title)]\n");
    ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get());
    ASSERT_EQ(results_->Count(), 2);
    const char *urls[] = {"http://www.example.com/index.html", "http://mozilla.org/a?b=c"};
    int32_t total = 0;
    for (int i = 0; i < 2; ++i) {
        const TContent &c = results_->GetItem(i)->Content;
        EXPECT_EQ(c.FirefoxHistory, urls[i]);
        EXPECT_EQ(c.Size, static_cast<int32_t>(strlen(urls[i])));
        EXPECT_EQ(c.Location, file);
        EXPECT_EQ(c.Kind, tkFirefoxHistory);
        EXPECT_EQ(c.ItemName, "FireFoxHistory");
        EXPECT_EQ(c.Storage, "File");
        EXPECT_EQ(c.Checked, 1);
        EXPECT_EQ(c.Found, 0);
        EXPECT_TRUE(c.Group.empty() && c.CleanCaption.empty() && c.Entry.empty() && c.Data.empty());
        EXPECT_TRUE(c.FirefoxCookie.empty() && c.NetscapeHistory.empty());
        total += c.Size;
    }
    EXPECT_EQ(FoundSizeTotal, total);
    EXPECT_EQ(tree_->Count(tcInternetSoftware, 5), 2);
}

TEST_F(FirefoxHistory, TextEndsAtTheFirstNulAndAtAnUnclosedAddress)
{
    PutProfileFile("history.dat", std::string("(http://a.example/)\n(http://b.example/)\0(http://c.example/)", 59));
    ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get());
    ASSERT_EQ(results_->Count(), 2);
    EXPECT_EQ(results_->GetItem(1)->Content.FirefoxHistory, "http://b.example/");

    // An address with no ")" after it ends the scan of that file without an item.
    results_->Clear();
    PutProfileFile("history.dat", "(http://first.example/) (http://open.example/ no end\n http://x");
    ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get());
    ASSERT_EQ(results_->Count(), 1);
    EXPECT_EQ(results_->GetItem(0)->Content.FirefoxHistory, "http://first.example/");
}

TEST_F(FirefoxHistory, AddressRunningIntoTheNextContinuesFromItsLastCharacter)
{
    // The first item swallows the second "http://"; the search goes on after the first item's text.
    PutProfileFile("history.dat", "(http://a http://b)(http://c)");
    ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get());
    ASSERT_EQ(results_->Count(), 2);
    EXPECT_EQ(results_->GetItem(0)->Content.FirefoxHistory, "http://a http://b");
    EXPECT_EQ(results_->GetItem(1)->Content.FirefoxHistory, "http://c");
}

TEST_F(FirefoxHistory, AbortPressedWhileSearchingEndsTheSearch)
{
    PutProfileFile("history.dat", "(http://a.example/)(http://b.example/)");
    qmtest::AbortPoster abort;
    abort.PostAbort();   // handled by the finder's first message turn
    ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get());
    EXPECT_TRUE(FoundPath.empty());
    EXPECT_EQ(results_->Count(), 0);
}

TEST_F(FirefoxHistory, AbortDuringTheTextScanKeepsTheItemsAlreadyAdded)
{
    std::vector<std::string> items;
    ScanTokens("(http://a/)(http://b/)(http://c/)", "http://", ")", [&](const std::string &t) {
        items.push_back(t);
        if (items.size() == 2) ScanState = 2;   // as the Abort button would during this item's turn
        return true;
    });
    EXPECT_EQ(items, (std::vector<std::string>{"http://a/", "http://b/"}));
}

TEST_F(FirefoxHistory, AFileWhoseScanWasStoppedIsKeptByACleanUntilAWholeScan)
{
    const std::string file = PutProfileFile("history.dat", "(http://a.example/)(http://b.example/)(http://c.example/)");
    {
        // The first turn once the file was found is the text scan's: the finder ends with the file.
        qmtest::AbortPoster abort;
        abort.PostAbortWhen([] { return !FoundPath.empty(); });
        ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get());
    }
    const bool stopped = ScanState == 2;
    ScanState = 0;
    ASSERT_TRUE(stopped);
    ASSERT_EQ(results_->Count(), 1);   // the entry of the turn that stopped it is still listed
    results_->GetItem(0)->Content.Checked = 1;
    CleanResultContents(results_.get(), nullptr, nullptr, 1);
    EXPECT_TRUE(qmtest::FileExists(file));
    EXPECT_EQ(results_->GetItem(0)->Content.Removed, 0);

    results_->Clear();
    ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get());
    ASSERT_EQ(results_->Count(), 3);
    for (int i = 0; i < 3; ++i) results_->GetItem(i)->Content.Checked = 1;
    CleanResultContents(results_.get(), nullptr, nullptr, 3);
    EXPECT_FALSE(qmtest::FileExists(file));
}

TEST_F(FirefoxHistory, LargeFileCountsEveryItemOnTheTree)
{
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "(^80=http://site" + std::to_string(i) + ".example/)(^81=x)\n";
    PutProfileFile("history.dat", text);
    tree_->SetCount(tcInternetSoftware, 6, 4);
    ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get());
    ASSERT_EQ(results_->Count(), 20000);
    EXPECT_EQ(results_->GetItem(19999)->Content.FirefoxHistory, "http://site19999.example/");
    EXPECT_EQ(tree_->Count(tcInternetSoftware, 5), 20000);
    EXPECT_EQ(tree_->CategoryCount(tcInternetSoftware), 20004);
}

TEST_F(FirefoxHistory, NoFileOrUnreadableFileAddsNothing)
{
    tree_->SetCount(tcInternetSoftware, 5, 9);
    ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get());
    EXPECT_EQ(results_->Count(), 0);
    EXPECT_EQ(tree_->Count(tcInternetSoftware, 5), 9);

    // A folder of that name is found but cannot be read.
    ASSERT_TRUE(qmtest::MakeFolders(Profiles() + "\\p.default\\history.dat"));
    EXPECT_NO_THROW(ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get()));
    EXPECT_EQ(FoundPath, Profiles() + "\\p.default\\history.dat");
    EXPECT_EQ(results_->Count(), 0);
}

TEST_F(FirefoxHistory, LockedFileAddsNothingAndTheNextScanGoesOn)
{
    const std::string file = PutProfileFile("history.dat", "(http://locked.example/)");
    PutProfileFile("cookies.txt", "# c\n.example.com\tTRUE\t/\tFALSE\t0\tn\tv\n");
    HANDLE lock = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get());
    ScanFirefoxCookies(tree_->Tree(), Node(6), results_.get());
    CloseHandle(lock);
    ASSERT_EQ(results_->Count(), 1);
    EXPECT_EQ(results_->GetItem(0)->Content.Kind, tkFirefoxCookie);
}

TEST_F(FirefoxHistory, WithoutAppDataThereIsNoSearch)
{
    PutProfileFile("history.dat", "(http://a.example/)");
    appData_->Set("");
    FoundPath = "left over";
    ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get());
    EXPECT_TRUE(FoundPath.empty());
    EXPECT_EQ(results_->Count(), 0);
}

// ---- cookies -----------------------------------------------------------------------------------

using FirefoxCookies = FirefoxScan;

TEST_F(FirefoxCookies, OnlyDomainLinesAfterTheFirstGiveItemsInUpperCase)
{
    const std::string file = PutProfileFile("cookies.txt",
                                            ".first.example\tTRUE\t/\tFALSE\t0\tfirst\tline\r\n"
                                            "# Netscape HTTP Cookie File\r\n"
                                            ".example.com\tTRUE\t/\tFALSE\t1999999999\tsid\tabc\r\n"
                                            "host.example.org\tFALSE\t/\tFALSE\t1999999999\tx\ty\r\n");
    ScanFirefoxCookies(tree_->Tree(), Node(6), results_.get());
    ASSERT_EQ(results_->Count(), 1);
    const TContent &c = results_->GetItem(0)->Content;
    EXPECT_EQ(c.FirefoxCookie, "\r\n.EXAMPLE.COM\t");
    EXPECT_EQ(c.Size, 15);   // a domain of eleven characters after its dot
    EXPECT_EQ(c.Location, file);
    EXPECT_EQ(c.Kind, tkFirefoxCookie);
    EXPECT_EQ(c.ItemName, "FireFoxCookies");
    EXPECT_EQ(FoundSizeTotal, 15);
    EXPECT_EQ(tree_->Count(tcInternetSoftware, 6), 1);
}

TEST_F(FirefoxCookies, DomainBeginningWithTrueEndsRightAfterTheDot)
{
    PutProfileFile("cookies.txt", "# c\n.TrueNorth.example\tTRUE\t/\tFALSE\t0\tn\tv\n.b.example\tTRUE\t/\tFALSE\t0\tn\tv\n");
    ScanFirefoxCookies(tree_->Tree(), Node(6), results_.get());
    ASSERT_EQ(results_->Count(), 2);
    EXPECT_EQ(results_->GetItem(0)->Content.FirefoxCookie, "\r\n.");
    EXPECT_EQ(results_->GetItem(0)->Content.Size, 3);
    EXPECT_EQ(results_->GetItem(1)->Content.FirefoxCookie, "\r\n.B.EXAMPLE\t");
}

TEST_F(FirefoxCookies, LineEndsOfEveryKindAreFoundAlike)
{
    const std::string body[] = {"# c", ".a.example\tTRUE\tx", ".b.example\tTRUE\ty"};
    for (const char *eol : {"\r\n", "\n", "\r"}) {
        SCOPED_TRACE(eol[0] == '\r' ? (eol[1] ? "CR LF" : "CR") : "LF");
        PutProfileFile("cookies.txt", body[0] + eol + body[1] + eol + body[2]);   // no line end at the end
        results_->Clear();
        ScanFirefoxCookies(tree_->Tree(), Node(6), results_.get());
        ASSERT_EQ(results_->Count(), 2);
        EXPECT_EQ(results_->GetItem(0)->Content.FirefoxCookie, "\r\n.A.EXAMPLE\t");
        EXPECT_EQ(results_->GetItem(1)->Content.FirefoxCookie, "\r\n.B.EXAMPLE\t");
    }
}

TEST_F(FirefoxCookies, DomainLineWithoutTrueAfterItEndsTheScan)
{
    PutProfileFile("cookies.txt", "# c\n.a.example\tTRUE\t/\n.b.example\tFALSE\t/\tFALSE\n");
    ScanFirefoxCookies(tree_->Tree(), Node(6), results_.get());
    ASSERT_EQ(results_->Count(), 1);
    EXPECT_EQ(results_->GetItem(0)->Content.FirefoxCookie, "\r\n.A.EXAMPLE\t");
}

TEST_F(FirefoxCookies, NoCookieFileWhileAnEarlierScanLeftFoundPath)
{
    PutProfileFile("history.dat", "(http://a.example/)");
    ScanFirefoxHistory(tree_->Tree(), Node(5), results_.get());
    ASSERT_FALSE(FoundPath.empty());
    results_->Clear();
    ScanFirefoxCookies(tree_->Tree(), Node(6), results_.get());
    EXPECT_EQ(results_->Count(), 0);
    EXPECT_TRUE(FoundPath.empty());
}

// Real cookies.txt files placed in a profile: one item per line that begins with "." (the first
// line aside), each the line's domain upper-cased up to the first "TRUE" after its dot.
TEST_F(FirefoxCookies, RealCookieFilesGiveOneItemPerDomainLine)
{
    const std::vector<std::string> files = qmtest::ListFolder(qmtest::TestDataPath("cookies"));
    ASSERT_GE(files.size(), 19u);
    int total = 0;
    for (const std::string &name : files) {
        SCOPED_TRACE(name);
        const std::string bytes = qmtest::ReadFileBytes(qmtest::TestDataPath("cookies\\" + name));
        ASSERT_FALSE(bytes.empty());
        std::vector<std::string> expected;
        std::istringstream lines(bytes);
        std::string line;
        for (bool first = true; std::getline(lines, line); first = false) {
            if (first || line.empty() || line[0] != '.') continue;
            std::string upper = line;
            std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
            size_t t = upper.find("TRUE");
            ASSERT_NE(t, std::string::npos);
            expected.push_back("\r\n" + upper.substr(0, t));
        }
        PutProfileFile("cookies.txt", bytes);
        results_->Clear();
        ScanFirefoxCookies(tree_->Tree(), Node(6), results_.get());
        ASSERT_EQ(results_->Count(), static_cast<int>(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i) {
            const TContent &c = results_->GetItem(static_cast<int>(i))->Content;
            EXPECT_EQ(c.FirefoxCookie, expected[i]);
            EXPECT_EQ(c.Size, static_cast<int32_t>(expected[i].size()));
        }
        total += results_->Count();
    }
    // The "." column of the collection's own listing: 3+1+2+1+3+1+3 lines in seven files.
    EXPECT_EQ(total, 14);
}

TEST_F(FirefoxScan, ExcludedCookiesAndCacheFilesAreNotListed)
{
    const std::string cookies = PutProfileFile("cookies.txt", "# c\n.a.example\tTRUE\tx\n.b.example\tTRUE\ty\n");
    const std::string cache = LocalAppData() + "\\Mozilla\\Firefox\\Cache";
    ASSERT_TRUE(qmtest::MakeFolders(cache) && qmtest::WriteFileBytes(cache + "\\kept", "k"));
    Exclude("FireFoxCookies", ".A.EXAMPLE");   // the cookie's domain, without the line break and tab
    Exclude("FireFoxCache", cache + "\\kept");
    ScanFirefoxCookies(tree_->Tree(), Node(6), results_.get());
    ScanFirefoxCache(tree_->Tree(), Node(7), results_.get());
    ASSERT_EQ(results_->Count(), 1);
    EXPECT_EQ(BrowserEntryPlace(results_->GetItem(0)->Content), ".B.EXAMPLE");
    EXPECT_TRUE(HoldsExcludedBrowserEntry(tkFirefoxCookie, cookies));
}

// ---- cache -------------------------------------------------------------------------------------

using FirefoxCache = FirefoxScan;

TEST_F(FirefoxCache, TwoFilesAndASubfolderGiveThreeItems)
{
    const std::string cache = LocalAppData() + "\\Mozilla\\Firefox\\Profiles\\x.default\\Cache";
    ASSERT_TRUE(qmtest::MakeFolders(cache + "\\0A\\1B"));
    ASSERT_TRUE(qmtest::WriteFileBytes(cache + "\\_CACHE_MAP_", std::string(4096, 'm')));
    ASSERT_TRUE(qmtest::WriteFileBytes(cache + "\\0ABC1234d01", std::string(300, 'd')));
    ASSERT_TRUE(qmtest::WriteFileBytes(cache + "\\0A\\inner", "not listed"));

    ScanFirefoxCache(tree_->Tree(), Node(7), results_.get());
    EXPECT_EQ(FoundPath, cache);
    ASSERT_EQ(results_->Count(), 3);
    int32_t total = 0;
    for (int i = 0; i < 3; ++i) {
        const TContent &c = results_->GetItem(i)->Content;
        EXPECT_EQ(c.Kind, tkFirefoxCacheFile);
        EXPECT_EQ(c.ItemName, "FireFoxCache");
        EXPECT_EQ(c.Location, c.FirefoxCacheFile);
        const std::string name = c.Location.substr(cache.size() + 1);
        if (name == "0A")
            EXPECT_EQ(c.Size, 0);
        else if (name == "_CACHE_MAP_")
            EXPECT_EQ(c.Size, 4096);
        else
            EXPECT_EQ(name == "0ABC1234d01" ? c.Size : -1, 300) << name;
        total += c.Size;
    }
    EXPECT_EQ(total, 4396);
    EXPECT_EQ(FoundSizeTotal, 4396);
    EXPECT_EQ(tree_->Count(tcInternetSoftware, 7), 3);
}

TEST_F(FirefoxCache, FileInUseIsListedWithSizeZeroAndOddAttributesAreSkipped)
{
    const std::string cache = LocalAppData() + "\\Mozilla\\Firefox\\Cache";
    ASSERT_TRUE(qmtest::MakeFolders(cache));
    ASSERT_TRUE(qmtest::WriteFileBytes(cache + "\\busy", std::string(10, 'b')));
    ASSERT_TRUE(qmtest::WriteFileBytes(cache + "\\readonly", std::string(10, 'r')));
    ASSERT_TRUE(SetFileAttributesA((cache + "\\readonly").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    HANDLE busy = CreateFileA((cache + "\\busy").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    ScanFirefoxCache(tree_->Tree(), Node(7), results_.get());
    CloseHandle(busy);
    SetFileAttributesA((cache + "\\readonly").c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(results_->Count(), 1);
    EXPECT_EQ(results_->GetItem(0)->Content.Location, cache + "\\busy");
    EXPECT_EQ(results_->GetItem(0)->Content.Size, 0);
}

TEST_F(FirefoxCache, AbortEndsTheWalks)
{
    const std::string cache = LocalAppData() + "\\Mozilla\\Firefox\\Cache";
    ASSERT_TRUE(qmtest::MakeFolders(cache));
    ASSERT_TRUE(qmtest::WriteFileBytes(cache + "\\f", "f"));
    ScanState = 2;
    ScanFirefoxCache(tree_->Tree(), Node(7), results_.get());
    EXPECT_TRUE(FoundPath.empty());
    ScanCacheFolder(cache, tree_->Tree(), Node(7), 1, results_.get());
    EXPECT_EQ(results_->Count(), 0);
}

TEST_F(FirefoxCache, UnknownTypeAddsNothing)
{
    ASSERT_TRUE(qmtest::MakeFolders(LocalAppData() + "\\Cache"));
    ASSERT_TRUE(qmtest::WriteFileBytes(LocalAppData() + "\\Cache\\f", "f"));
    ScanCacheFolder(LocalAppData() + "\\Cache", tree_->Tree(), Node(7), 3, results_.get());
    EXPECT_EQ(results_->Count(), 0);
}

}  // namespace
