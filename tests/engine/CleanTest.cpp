// The cleaner on real registry keys, real files and the real URL cache under wine.
#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>
#include <vector>
#include "TestSupport.h"
#include "engine/RegistryInfoUnit.h"
#include "engine/CleanUnit.h"
#include "engine/PublicFunctionUnit.h"
#include "engine/WindowSystemUnit.h"

using namespace qmtest;

namespace {

const char *const TestKey = "Software\\QuillmoorCleanTest";
const std::string TestLoc = std::string("HKEY_CURRENT_USER\\") + TestKey;

// What the clean page's label and gauge were told, in order.
struct Recorder {
    std::vector<std::string> steps;
    std::vector<int32_t> gauge;
    TStepTextProc Step()
    {
        return [this](const std::string &t) { steps.push_back(t); };
    }
    TGaugePositionProc Gauge()
    {
        return [this](int32_t p) { gauge.push_back(p); };
    }
};

struct Clean : ::testing::Test {
    RegKeyGuard guard{HKEY_CURRENT_USER, TestKey};
    TempDir dir;
    TResultContents contents;
    Recorder rec;
    int32_t savedMode = 0;

    void SetUp() override
    {
        Settings.RemoveTotal = 0;
        savedMode = Settings.ErasValue;
        Settings.ErasValue = 1;
    }
    void TearDown() override { Settings.ErasValue = savedMode; }

    TContent &Add(const std::string &storage, int32_t kind, const std::string &location, const std::string &entry,
                  bool checked = true, const std::string &group = "Microsoft Windows")
    {
        TContent &c = contents.GetItem(contents.AddItem())->Content;
        c.Storage = storage;
        c.Kind = kind;
        c.Location = location;
        c.Entry = entry;
        c.Group = group;
        c.Checked = checked ? 1 : 0;
        return c;
    }
    TContent &AddValue(const std::string &sub, const std::string &name, bool checked = true)
    {
        return Add("Reg", tkRegValueData, TestLoc + "\\" + sub, name, checked);
    }
    TContent &AddFile(const std::string &path, bool checked = true)
    {
        return Add("File", tkFile, path, path.substr(path.rfind('\\') + 1), checked, "Windows System");
    }
    void Run(int32_t total) { CleanResultContents(&contents, rec.Step(), rec.Gauge(), total); }
    std::string Key(const std::string &sub) const { return std::string(TestKey) + "\\" + sub; }
};

bool InUrlCache(const std::string &url)
{
    DWORD size = 0;
    if (GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size)) return true;
    return GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

bool AddUrlCacheEntry(const std::string &url, DWORD type)
{
    char file[MAX_PATH] = {0};
    if (!CreateUrlCacheEntryA(url.c_str(), 0, "htm", file, 0)) return false;
    if (!WriteFileBytes(file, "<html>cached</html>")) return false;
    FILETIME zero = {0, 0};
    return CommitUrlCacheEntryA(url.c_str(), file, zero, zero, type, nullptr, 0, nullptr, nullptr) != 0;
}

}  // namespace

// ---- the gauge's rounding ----

TEST(CleanGauge, RoundsHalvesToEven)
{
    EXPECT_EQ(GaugePercent(1, 8), 12);   // 12.5
    EXPECT_EQ(GaugePercent(3, 8), 38);   // 37.5
    EXPECT_EQ(GaugePercent(4, 8), 50);
    EXPECT_EQ(GaugePercent(5, 8), 62);   // 62.5
    EXPECT_EQ(GaugePercent(1, 3), 33);
    EXPECT_EQ(GaugePercent(2, 3), 67);
    EXPECT_EQ(GaugePercent(1, 200), 0);  // 0.5
    EXPECT_EQ(GaugePercent(3, 200), 2);  // 1.5
    EXPECT_EQ(GaugePercent(7, 7), 100);
    EXPECT_EQ(GaugePercent(1, 0), 0) << "no division by a zero total";
}

// ---- registry traces ----

TEST_F(Clean, OnlyTheCheckedItemIsHandled)
{
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("A"), "one", "1"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("A"), "two", "2"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("A"), "three", "3"));
    AddValue("A", "one", false);
    AddValue("A", "two");
    AddValue("A", "three", false);
    Settings.RemoveTotal = 5;   // carried over from an earlier category of the same clean

    Run(10);

    EXPECT_EQ(rec.steps, std::vector<std::string>{"two"});
    EXPECT_EQ(rec.gauge, std::vector<int32_t>{60});
    EXPECT_EQ(Settings.RemoveTotal, 6);
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, Key("A"), "two"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, Key("A"), "one"));
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, Key("A"), "three"));
    EXPECT_EQ(contents.GetItem(0)->Content.Removed, 0);
    EXPECT_EQ(contents.GetItem(1)->Content.Removed, 1);
    EXPECT_EQ(contents.GetItem(2)->Content.Removed, 0);
}

TEST_F(Clean, NothingCheckedChangesNothing)
{
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("A"), "v", "x"));
    std::string f = dir / "f.txt";
    ASSERT_TRUE(WriteFileBytes(f, "data"));
    AddValue("A", "v", false);
    AddFile(f, false);
    Settings.RemoveTotal = 3;

    Run(4);

    EXPECT_TRUE(rec.steps.empty());
    EXPECT_TRUE(rec.gauge.empty());
    EXPECT_EQ(Settings.RemoveTotal, 3);
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, Key("A"), "v"));
    EXPECT_EQ(ReadFileBytes(f), "data");
}

TEST_F(Clean, ValueGoneSinceTheScanIsNotCounted)
{
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("A"), "other", "x"));
    AddValue("A", "vanished");
    Add("Reg", tkRegValueName, TestLoc + "\\NoSuchKey", "v");

    Run(2);

    EXPECT_EQ(rec.steps, (std::vector<std::string>{"vanished", "v"}));
    EXPECT_TRUE(rec.gauge.empty());
    EXPECT_EQ(Settings.RemoveTotal, 0);
    EXPECT_EQ(contents.GetItem(0)->Content.Removed, 0);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, Key("NoSuchKey"))) << "opening must not create the key";
}

TEST_F(Clean, KeysAndValuesAreAddressedFromTheRoot)
{
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("Sub1\\deep\\deeper"), "d", "x"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("Sub2"), "s", "x"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("Vals"), "a", "x"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("Vals2"), "b", "x"));
    // Traps where a path taken from the previously opened key would land.
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("Vals\\") + TestKey + "\\Vals2", "b", "trap"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("Vals2\\") + TestKey + "\\Sub2", "t", "trap"));

    Add("Reg", tkRegSubKey, TestLoc + "\\Sub1", "Sub1");
    Add("Reg", tkRegSubKey, TestLoc + "\\Sub1\\deep", "deep");   // gone with Sub1 already
    AddValue("Vals", "a");
    AddValue("Vals2", "b");
    Add("Reg", tkRegSubKey, TestLoc + "\\Sub2", "Sub2");

    Run(5);

    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, Key("Sub1")));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, Key("Sub2")));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, Key("Vals"), "a"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, Key("Vals2"), "b"));
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, Key("Vals\\") + TestKey + "\\Vals2", "b"), "trap");
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, Key("Vals2\\") + TestKey + "\\Sub2"));
    const uint8_t removed[5] = {1, 0, 1, 1, 1};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(contents.GetItem(i)->Content.Removed, removed[i]) << i;
    EXPECT_EQ(Settings.RemoveTotal, 4);
    EXPECT_EQ(rec.gauge, (std::vector<int32_t>{20, 40, 60, 80}));
}

TEST_F(Clean, MalformedItemsDeleteNothing)
{
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("K"), "v", "x"));
    Add("Reg", tkRegValueData, std::string("HKEY_CURRENT_USERX\\") + TestKey + "\\K", "v");
    Add("Reg", tkRegValueData, std::string("hkey_current_user\\") + TestKey + "\\K", "v");
    Add("Reg", tkRegValueData, "HKEY_CURRENT_USER", "v");
    Add("Reg", tkRegSubKey, "HKEY_CURRENT_USER\\", "");       // would name the whole root
    Add("Reg", tkRegSubKey, "HKEY_CURRENT_USER\\\\", "");
    Add("Reg", tkFile, TestLoc + "\\K", "v");                 // a Reg item of no registry kind
    Add("reg", tkRegValueData, TestLoc + "\\K", "v");         // storage compared exactly
    Add("", tkRegValueData, TestLoc + "\\K", "v");

    Run(8);

    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, Key("K"), "v"));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, "Software"));
    EXPECT_EQ(Settings.RemoveTotal, 0);
    EXPECT_TRUE(rec.gauge.empty());
    EXPECT_EQ(rec.steps.size(), 8u);
    for (int i = 0; i < contents.Count(); ++i) EXPECT_EQ(contents.GetItem(i)->Content.Removed, 0) << i;
}

TEST_F(Clean, EveryCheckedItemIsHandledWhateverItsRemovedFlag)
{
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("A"), "v", "x"));
    AddValue("A", "v").Removed = 1;
    Run(1);
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, Key("A"), "v"));
    EXPECT_EQ(Settings.RemoveTotal, 1);
    EXPECT_EQ(rec.gauge, std::vector<int32_t>{100});
}

// ---- files ----

TEST_F(Clean, GaugeFollowsTheRunningTotal)
{
    std::vector<std::string> files;
    for (int i = 0; i < 5; ++i) {
        files.push_back(dir / ("f" + std::to_string(i)));
        ASSERT_TRUE(WriteFileBytes(files.back(), "x"));
    }
    for (int i = 0; i < 4; ++i) AddFile(files[i]);
    AddFile(files[4], false);

    Run(8);

    EXPECT_EQ(rec.gauge, (std::vector<int32_t>{12, 25, 38, 50}));
    EXPECT_EQ(Settings.RemoveTotal, 4);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(FileExists(files[i]));
    EXPECT_TRUE(FileExists(files[4]));
}

TEST_F(Clean, TwoEntriesOfOneHistoryFileAreBothCounted)
{
    std::string hist = dir / "history.dat";
    ASSERT_TRUE(WriteFileBytes(hist, "<mork>entries</mork>"));
    for (int i = 0; i < 2; ++i) {
        TContent &c = Add("File", tkFirefoxHistory, hist, "", true, "");
        c.FirefoxHistory = "http://site" + std::to_string(i) + ".test/";
    }

    Run(2);

    EXPECT_FALSE(FileExists(hist));
    EXPECT_TRUE(contents.GetItem(0)->Content.Removed && contents.GetItem(1)->Content.Removed);
    EXPECT_EQ(Settings.RemoveTotal, 2);
    EXPECT_EQ(rec.steps, (std::vector<std::string>{"", ""})) << "an empty entry blanks the label";
    EXPECT_EQ(rec.gauge, (std::vector<int32_t>{50, 100}));
}

TEST_F(Clean, FileThatCannotBeWipedStays)
{
    std::string ro = dir / "ro.txt";
    ASSERT_TRUE(WriteFileBytes(ro, "keep"));
    ASSERT_TRUE(SetFileAttributesA(ro.c_str(), FILE_ATTRIBUTE_READONLY));
    AddFile(ro);
    AddFile(dir / "missing folder\\x.txt");

    Run(2);

    EXPECT_EQ(ReadFileBytes(ro), "keep");
    EXPECT_EQ(Settings.RemoveTotal, 0);
    EXPECT_EQ(contents.GetItem(0)->Content.Removed, 0);
    EXPECT_EQ(contents.GetItem(1)->Content.Removed, 0);
    SetFileAttributesA(ro.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// What the exclusion list keeps out now, though it did not at the scan, is passed over; a bin or a
// history file that holds such an entry is not emptied or wiped whole.
TEST_F(Clean, WhatTheExclusionListKeepsOutNowIsPassedOver)
{
    TExcludeContents list;
    struct Put {
        TExcludeContents *saved = ExcludeContents;
        ~Put() { ExcludeContents = saved; }
    } put;
    ExcludeContents = &list;
    TResultContents scratch;
    ScanRecycleBin(nullptr, 43, &scratch);   // a whole scan of the bins, nothing excluded
    const std::string history = dir / "history.dat", binned = dir / "Dc1.txt";
    ASSERT_TRUE(WriteFileBytes(history, "(http://a.example/)(http://b.example/)") && WriteFileBytes(binned, "x"));
    auto ask = [](TContent &c, const char *itemName, uint8_t tests) {
        c.ItemName = itemName;
        c.ExclusionTests = tests;
        return &c;
    };
    for (const char *v : {"v1", "v2", "v3"}) {
        const std::string data = v[1] == '3' ? "C:\\other.exe" : "C:\\same.exe";
        ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, Key("a"), v, data));
        ask(AddValue("a", v), "Run History", etRegData)->Data = data;
    }
    for (const char *address : {"http://a.example/", "http://b.example/"})
        ask(Add("File", tkFirefoxHistory, history, ""), "FireFoxHistory", etPlaceBrowserEntry)->FirefoxHistory = address;
    ask(AddFile(binned), "RecycleBin", etPlaceLocation)->CleanCaption = "Clean RecycleBin";
    ASSERT_TRUE(KeptBrowserFiles(&contents).empty() && RecycleBinChoice(&contents).MayEmpty());

    // Excluded since: the row of v1 (the data compared trimmed, so its twin v2 too), an address of
    // the history file, the deleted file.
    for (const exclude::TContent &e : {exclude::TContent{"Run History", TestLoc + "\\a", "v1", " C:\\same.exe "},
                                       exclude::TContent{"FireFoxHistory", "http://b.example/", "", ""},
                                       exclude::TContent{"RecycleBin", binned, "", ""}})
        list.GetItem(list.AddItem())->Content = e;
    const std::vector<TKeptFile> kept = KeptBrowserFiles(&contents);
    EXPECT_TRUE(kept.size() == 1 && kept[0].HoldsExcluded && !kept[0].NotAllTicked);
    EXPECT_TRUE(RecycleBinChoice(&contents).HoldsExcluded);
    Run(6);
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, Key("a"), "v1") && RegValueExists(HKEY_CURRENT_USER, Key("a"), "v2"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, Key("a"), "v3"));
    EXPECT_TRUE(FileExists(history) && FileExists(binned));
    EXPECT_EQ(Settings.RemoveTotal, 1);
}

TEST_F(Clean, DeleteModeDecidesWhetherFilesAreOverwritten)
{
    // A second name of the file keeps its data visible after the wipe removed the first.
    for (int32_t mode = 0; mode < 4; ++mode) {
        std::string f = dir / ("m" + std::to_string(mode));
        std::string link = f + ".link";
        ASSERT_TRUE(WriteFileBytes(f, "secret"));
        ASSERT_TRUE(CreateHardLinkA(link.c_str(), f.c_str(), nullptr));
        contents.Clear();
        AddFile(f);
        Settings.ErasValue = mode;

        Run(1);

        EXPECT_FALSE(FileExists(f)) << mode;
        EXPECT_EQ(contents.GetItem(0)->Content.Removed, 1) << mode;
        EXPECT_EQ(ReadFileBytes(link), mode == 0 ? "secret" : "010101") << "mode " << mode;
    }
    EXPECT_EQ(Settings.RemoveTotal, 4);
}

// ---- the URL cache ----

TEST_F(Clean, UrlCacheEntryCountsWhenDeletedOrAlreadyGoneButNotWhenRefused)
{
    const std::string live = "http://quillmoor-clean.test/page.html";
    const std::string gone = "http://quillmoor-clean.test/vanished.html";
    const std::string locked = "http://quillmoor-clean.test/in-use.html";
    ASSERT_TRUE(AddUrlCacheEntry(live, NORMAL_CACHE_ENTRY));
    ASSERT_TRUE(InUrlCache(live));
    DeleteUrlCacheEntryA(gone.c_str());
    ASSERT_FALSE(InUrlCache(gone));
    // An entry a browser holds open: the cache refuses to delete it.
    char info[4096];
    DWORD size = sizeof info;
    ASSERT_TRUE(AddUrlCacheEntry(locked, NORMAL_CACHE_ENTRY) &&
                RetrieveUrlCacheEntryFileA(locked.c_str(), reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA *>(info), &size, 0));

    Add("File", tkIECacheEntry, "", live, true, "IE Cache");
    Add("File", tkIECacheEntry, "", gone, true, "IE Cache");
    Add("File", tkIECookie, "", "Cookie:user@quillmoor-clean.test/", true, "IE Cookies");
    // The group decides, not the kind: a cache-kind item of another group is a file to wipe.
    Add("File", tkIECacheEntry, dir / "no such file dir\\f", live, true, "ie cache");
    Add("File", tkIECacheEntry, "", locked, true, "IE Cache");

    Run(5);
    EXPECT_TRUE(InUrlCache(locked));
    UnlockUrlCacheEntryFileA(locked.c_str(), 0);
    DeleteUrlCacheEntryA(locked.c_str());

    EXPECT_FALSE(InUrlCache(live));
    EXPECT_EQ(contents.GetItem(0)->Content.Removed, 1);
    EXPECT_EQ(contents.GetItem(1)->Content.Removed, 1);
    EXPECT_EQ(contents.GetItem(2)->Content.Removed, 1);
    EXPECT_EQ(contents.GetItem(3)->Content.Removed, 0);
    EXPECT_EQ(contents.GetItem(4)->Content.Removed, 0);
    EXPECT_EQ(Settings.RemoveTotal, 3);
    EXPECT_EQ(rec.steps, (std::vector<std::string>{live, gone, "Cookie:user@quillmoor-clean.test/", live, locked}));
}
