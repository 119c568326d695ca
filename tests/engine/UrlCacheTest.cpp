// The Internet Explorer cache and cookie walks against wine's real URL cache.
#include <windows.h>
#include <wininet.h>
#include <algorithm>
#include <sstream>
#include "InternetExplorerScanFixture.h"
#include "engine/IneterNetExploerUnit.h"

namespace {

using qmtest::BrowserScan;
using qmtest::ScanTree;

const char *const kHost = "qm-urlcache-test.example";

// One committed cache entry, with a local file of the given bytes; deleted when the object goes.
class CacheEntry {
public:
    CacheEntry(const std::string &url, const std::string &bytes, DWORD type, const char *ext = "htm") : url_(url)
    {
        char file[MAX_PATH] = "";
        ok_ = CreateUrlCacheEntryA(url.c_str(), 0, ext, file, 0) != FALSE;
        if (!ok_) return;
        local_ = file;
        ok_ = qmtest::WriteFileBytes(local_, bytes);
        FILETIME none = {0, 0};
        static const char header[] = "HTTP/1.1 200 OK\r\n\r\n";
        ok_ = ok_ && CommitUrlCacheEntryA(url.c_str(), file, none, none, type, (LPBYTE)header,
                                          sizeof header - 1, nullptr, nullptr) != FALSE;
    }
    ~CacheEntry() { DeleteUrlCacheEntryA(url_.c_str()); }
    // The commit always adds the normal bit; this sets the type as it stands.
    void SetType(DWORD type)
    {
        INTERNET_CACHE_ENTRY_INFOA info = {};
        info.dwStructSize = sizeof info;
        info.CacheEntryType = type;
        ok_ = ok_ && SetUrlCacheEntryInfoA(url_.c_str(), &info, CACHE_ENTRY_ATTRIBUTE_FC) != FALSE;
    }
    bool Ok() const { return ok_; }
    const std::string &Url() const { return url_; }
    // The local file the cache itself reports for the entry.
    std::string LocalFile() const
    {
        DWORD size = 0;
        GetUrlCacheEntryInfoA(url_.c_str(), nullptr, &size);
        std::vector<char> block(size ? size : 1);
        auto *info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA *>(block.data());
        if (!GetUrlCacheEntryInfoA(url_.c_str(), info, &size) || !info->lpszLocalFileName) return "";
        return info->lpszLocalFileName;
    }

private:
    std::string url_;
    std::string local_;
    bool ok_ = false;
};

std::string Url(const std::string &path) { return std::string("http://") + kHost + "/" + path; }
std::string CookieUrl() { return std::string("Cookie:tester@") + kHost + "/"; }

class UrlCacheScan : public BrowserScan {
protected:
    std::vector<TContent> Ours() const { return ItemsWith(&TContent::Entry, kHost); }
    static int CacheNode() { return ScanTree::NodeIndex(tcInternetExplorer, 1); }
    static int CookiesNode() { return ScanTree::NodeIndex(tcInternetExplorer, 3); }
};

TEST_F(UrlCacheScan, PagesAndImagesAreCacheItemsAndCookiesAreCookieItems)
{
    const std::string page(1234, 'p'), image(77, 'i'), cookie = "name\nvalue\nqm-urlcache-test.example/\n";
    CacheEntry pageEntry(Url("index.html"), page, NORMAL_CACHE_ENTRY);
    CacheEntry imageEntry(Url("logo.gif"), image, NORMAL_CACHE_ENTRY, "gif");
    CacheEntry cookieEntry(CookieUrl(), cookie, NORMAL_CACHE_ENTRY | COOKIE_CACHE_ENTRY, "txt");
    CacheEntry stickyOnly(Url("sticky.css"), "css", STICKY_CACHE_ENTRY, "css");
    stickyOnly.SetType(STICKY_CACHE_ENTRY);
    ASSERT_TRUE(pageEntry.Ok() && imageEntry.Ok() && cookieEntry.Ok() && stickyOnly.Ok());

    ScanIECache(tree_->Tree(), CacheNode(), results_.get());
    std::vector<TContent> cache = Ours();
    ASSERT_EQ(cache.size(), 2u) << "the page and the image; not the cookie, not the entry without the normal bit";
    int32_t ourBytes = 0;
    for (const TContent &c : cache) {
        const bool isPage = c.Entry == pageEntry.Url();
        EXPECT_TRUE(isPage || c.Entry == imageEntry.Url()) << c.Entry;
        EXPECT_EQ(c.Kind, tkIECacheEntry);
        EXPECT_EQ(c.Storage, "File");
        EXPECT_EQ(c.Group, "IE Cache");
        EXPECT_EQ(c.CleanCaption, "Clean IE Cache");
        EXPECT_EQ(c.ItemName, "Cache");
        EXPECT_EQ(c.Location, isPage ? pageEntry.LocalFile() : imageEntry.LocalFile());
        EXPECT_EQ(c.Size, static_cast<int32_t>(isPage ? page.size() : image.size()));
        EXPECT_EQ(c.Checked, 1);
        EXPECT_EQ(c.Found, 1);
        EXPECT_TRUE(c.Data.empty());
        ourBytes += c.Size;
    }
    // Entries of other tests may share the cache: the count covers every entry the walk added.
    EXPECT_EQ(tree_->Count(tcInternetExplorer, 1), results_->Count());
    EXPECT_GE(FoundSizeTotal, ourBytes);

    results_->Clear();
    ScanIECookies(tree_->Tree(), CookiesNode(), results_.get());
    std::vector<TContent> cookies = Ours();
    ASSERT_EQ(cookies.size(), 1u);
    EXPECT_EQ(cookies[0].Entry, cookieEntry.Url());
    EXPECT_EQ(cookies[0].Kind, tkIECookie);
    EXPECT_EQ(cookies[0].Group, "IE Cookies");
    EXPECT_EQ(cookies[0].CleanCaption, "Clean IE Cookies");
    EXPECT_EQ(cookies[0].ItemName, "Cookies");
    EXPECT_EQ(cookies[0].Size, static_cast<int32_t>(cookie.size()));
    for (int i = 0; i < results_->Count(); ++i)
        EXPECT_NE(results_->GetItem(i)->Content.Entry.find("Cookie:"), std::string::npos);
    EXPECT_EQ(tree_->Count(tcInternetExplorer, 3), results_->Count());
}

TEST_F(UrlCacheScan, FileThatOthersOnlyLetReadIsMeasured)
{
    CacheEntry kept(Url("kept.html"), std::string(700, 'k'), NORMAL_CACHE_ENTRY);
    ASSERT_TRUE(kept.Ok());
    // A reader that lets others read but not write, as a browser showing the page may.
    HANDLE reader = CreateFileA(kept.LocalFile().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    ScanIECache(tree_->Tree(), CacheNode(), results_.get());
    CloseHandle(reader);
    std::vector<TContent> ours = Ours();
    ASSERT_EQ(ours.size(), 1u);
    EXPECT_EQ(ours[0].Size, 700) << "measuring needs no write access";
}

TEST_F(UrlCacheScan, EntryWhoseFileWasDeletedHasSizeZero)
{
    CacheEntry gone(Url("gone.html"), std::string(500, 'g'), NORMAL_CACHE_ENTRY);
    ASSERT_TRUE(gone.Ok());
    const std::string local = gone.LocalFile();
    ASSERT_FALSE(local.empty());
    ASSERT_TRUE(DeleteFileA(local.c_str()));

    ScanIECache(tree_->Tree(), CacheNode(), results_.get());
    std::vector<TContent> ours = Ours();
    ASSERT_EQ(ours.size(), 1u);
    EXPECT_EQ(ours[0].Size, 0);
    EXPECT_EQ(ours[0].Location, local);
}

TEST_F(UrlCacheScan, ExclusionMatchesTheExactUrlOnly)
{
    CacheEntry kept(Url("Kept.html"), "k", NORMAL_CACHE_ENTRY);
    CacheEntry shown(Url("Shown.html"), "s", NORMAL_CACHE_ENTRY);
    CacheEntry cookie(CookieUrl(), "c", NORMAL_CACHE_ENTRY | COOKIE_CACHE_ENTRY, "txt");
    ASSERT_TRUE(kept.Ok() && shown.Ok() && cookie.Ok());
    Exclude("Cache", kept.Url());
    Exclude("Cache", Url("shown.html"));      // another letter case: no effect
    Exclude("Cookies", cookie.Url() + " ");   // not trimmed: no effect

    ScanIECache(tree_->Tree(), CacheNode(), results_.get());
    std::vector<TContent> ours = Ours();
    ASSERT_EQ(ours.size(), 1u);
    EXPECT_EQ(ours[0].Entry, shown.Url());

    results_->Clear();
    ScanIECookies(tree_->Tree(), CookiesNode(), results_.get());
    EXPECT_EQ(Ours().size(), 1u);

    results_->Clear();
    Exclude("Cookies", cookie.Url());
    ScanIECookies(tree_->Tree(), CookiesNode(), results_.get());
    EXPECT_TRUE(Ours().empty());
}

TEST_F(UrlCacheScan, CookieExcludedByItsFileAsAResultRowStoresIt)
{
    CacheEntry cookie(CookieUrl(), "c", NORMAL_CACHE_ENTRY | COOKIE_CACHE_ENTRY, "txt");
    CacheEntry page(Url("page.html"), "p", NORMAL_CACHE_ENTRY);
    ASSERT_TRUE(cookie.Ok() && page.Ok());
    Exclude("Cookies", cookie.LocalFile());
    Exclude("Cookies", page.LocalFile());   // a cache entry's file does not protect the page
    ScanIECookies(tree_->Tree(), CookiesNode(), results_.get());
    EXPECT_TRUE(Ours().empty());
    ScanIECache(tree_->Tree(), CacheNode(), results_.get());
    EXPECT_EQ(Ours().size(), 1u);
}

TEST_F(UrlCacheScan, AbortBeforeTheWalkKeepsOnlyTheFirstEntry)
{
    CacheEntry a(Url("a.html"), "a", NORMAL_CACHE_ENTRY);
    CacheEntry b(Url("b.html"), "b", NORMAL_CACHE_ENTRY);
    ASSERT_TRUE(a.Ok() && b.Ok());
    ScanState = 2;
    ScanIECache(tree_->Tree(), CacheNode(), results_.get());
    // The first entry comes with the search itself; the loop stops before the next one.
    EXPECT_LE(results_->Count(), 1);
}

// Real index.dat files of the cache, read by the platform's own URL cache. A process reads the
// cache's index once, so the walk runs in a child test program whose cache folder ("User Shell
// Folders" Cache) holds a copy of the real file; the child checks what the walks found against the
// URL records that an independent tool listed for that file.
const char *const kRealIndexVar = "QM_REAL_INDEX_LISTING";

std::vector<std::string> ListedUrlRecords(const std::string &listing)
{
    std::vector<std::string> urls;
    std::istringstream lines(qmtest::ReadFileBytes(listing));
    std::string line, type;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("Record type", 0) == 0) type = line.substr(line.find(':') + 2);
        if (line.rfind("Location", 0) == 0 && type == "URL") urls.push_back(line.substr(line.find(':') + 2));
    }
    return urls;
}

TEST_F(UrlCacheScan, RealIndexChild)
{
    char listing[MAX_PATH] = "";
    if (!GetEnvironmentVariableA(kRealIndexVar, listing, MAX_PATH)) GTEST_SKIP() << "run by RealIndexFiles";
    std::vector<std::string> expected = ListedUrlRecords(listing);
    ASSERT_FALSE(expected.empty());

    ScanIECache(tree_->Tree(), CacheNode(), results_.get());
    std::vector<std::string> found;
    for (int i = 0; i < results_->Count(); ++i) {
        const TContent &c = results_->GetItem(i)->Content;
        found.push_back(c.Entry);
        EXPECT_EQ(c.Size, 0) << "no local file of the copied index exists";
        EXPECT_NE(c.Location.find("\\Content.IE5\\"), std::string::npos) << c.Location;
    }
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
    EXPECT_EQ(tree_->Count(tcInternetExplorer, 1), static_cast<int>(expected.size()));
    EXPECT_EQ(FoundSizeTotal, 0);

    results_->Clear();
    ScanIECookies(tree_->Tree(), CookiesNode(), results_.get());
    EXPECT_EQ(results_->Count(), 0) << "no record of these files is a cookie";
}

TEST_F(UrlCacheScan, RealIndexFiles)
{
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    // Both files: every URL record has the normal bit and none is a cookie (checked in their bytes).
    for (const char *name : {"plaso-Content.IE5-index", "plaso-nfury_index"}) {
        SCOPED_TRACE(name);
        qmtest::TempDir cache;
        ASSERT_TRUE(CreateDirectoryA((cache / "Content.IE5").c_str(), nullptr));
        const std::string bytes = qmtest::ReadFileBytes(qmtest::TestDataPath(std::string("ie-index\\") + name + ".dat"));
        ASSERT_FALSE(bytes.empty());
        ASSERT_TRUE(qmtest::WriteFileBytes(cache / "Content.IE5\\index.dat", bytes));
        qmtest::RegValueOverride folder("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                                        "Cache");
        folder.Set(cache.Path());
        const std::string listing = qmtest::TestDataPath(std::string("ie-index\\") + name + ".msiecfexport.txt");
        SetEnvironmentVariableA(kRealIndexVar, listing.c_str());
        const int rc = qmtest::RunAndWait("\"" + std::string(self) + "\" --gtest_filter=UrlCacheScan.RealIndexChild");
        SetEnvironmentVariableA(kRealIndexVar, nullptr);
        EXPECT_EQ(rc, 0);
    }
}

// Runs last in this file: it empties the (test prefix's) cache.
TEST_F(UrlCacheScan, EmptyCacheAddsNothingAndLeavesTheCount)
{
    DWORD size = 0;
    for (;;) {
        size = 0;
        FindFirstUrlCacheEntryA(nullptr, nullptr, &size);
        if (!size) break;
        std::vector<char> block(size);
        auto *info = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA *>(block.data());
        HANDLE h = FindFirstUrlCacheEntryA(nullptr, info, &size);
        if (!h) break;
        BOOL deleted = DeleteUrlCacheEntryA(info->lpszSourceUrlName);
        FindCloseUrlCache(h);
        ASSERT_TRUE(deleted) << info->lpszSourceUrlName;
    }
    tree_->SetCount(tcInternetExplorer, 1, 7);
    ScanIECache(tree_->Tree(), CacheNode(), results_.get());
    ScanIECookies(tree_->Tree(), CookiesNode(), results_.get());
    EXPECT_EQ(results_->Count(), 0);
    EXPECT_EQ(tree_->Count(tcInternetExplorer, 1), 7);
}

}  // namespace
