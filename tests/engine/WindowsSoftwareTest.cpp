// The Windows Software scanners against real registry keys built by each test.
#include "PublicFunctionFixture.h"
#include <algorithm>
#include "engine/WindowsSoftWareUnit.h"
#include "ui/TreeView.h"

namespace {

using qmtest::RegSetString;
const HKEY HKCU = HKEY_CURRENT_USER;
const char *const PaintKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List";
const std::string PaintLocation = std::string("HKEY_CURRENT_USER\\") + PaintKey;
const int PaintNode = 12;   // Windows Software item 1

struct PaintScan : qmtest::ScanTest {
    qmtest::RegKeyGuard guard{HKCU, PaintKey};
    std::vector<std::string> order;   // value names as the registry enumerates them
    void MakeValues(int n)
    {
        for (int i = 1; i <= n; ++i)
            ASSERT_TRUE(RegSetString(HKCU, PaintKey, "File" + std::to_string(i), "C:\\pic" + std::to_string(i) + ".bmp"));
        order = qmtest::EnumValueNames(HKCU, PaintKey);
        ASSERT_EQ(order.size(), static_cast<size_t>(n));
    }
    std::string DataOf(const std::string &name) { return qmtest::RegGetString(HKCU, PaintKey, name); }
};

TEST_F(PaintScan, FillsTheRegistryItemRecord)
{
    MakeValues(1);
    ScanPaintHistory(Tree(), PaintNode, &results);
    ASSERT_EQ(results.Count(), 1);
    const TContent &c = Item(0);
    EXPECT_EQ(c.Checked, 1);
    EXPECT_EQ(c.Removed, 0);
    EXPECT_EQ(c.Kind, tkRegValueData);
    EXPECT_EQ(c.Found, 1);
    EXPECT_EQ(c.Storage, "Reg");
    EXPECT_EQ(c.Group, "Microsoft Windows");
    EXPECT_EQ(c.CleanCaption, "Clean Paint History");
    EXPECT_EQ(c.ItemName, "Paint");
    EXPECT_EQ(c.Entry, "File1");
    EXPECT_EQ(c.SubKey, "");
    EXPECT_EQ(c.Data, "C:\\pic1.bmp");
    EXPECT_EQ(c.Location, PaintLocation);
    EXPECT_EQ(c.Size, 0);
    EXPECT_EQ(Count(PaintNode), 1);
}

TEST_F(PaintScan, CheckedFollowsSelectAll)
{
    MakeValues(2);
    Settings.SelectAll = false;
    ScanPaintHistory(Tree(), PaintNode, &results);
    ASSERT_EQ(results.Count(), 2);
    EXPECT_EQ(Item(0).Checked, 0);
    EXPECT_EQ(Item(1).Checked, 0);
}

TEST_F(PaintScan, CountIsThePositionOfTheLastAddedValue)
{
    MakeValues(3);
    // An excluded value before the last one is counted in.
    Exclude("Paint", PaintLocation, " " + DataOf(order[1]));
    ScanPaintHistory(Tree(), PaintNode, &results);
    EXPECT_EQ(Entries(), (std::vector<std::string>{order[0], order[2]}));
    EXPECT_EQ(Count(PaintNode), 3);

    // An excluded last value is not.
    results.Clear();
    exclusions.Clear();
    qmtest::RecordOfNode(PaintNode)->Count = 0;
    Exclude("Paint", PaintLocation, DataOf(order[2]));
    ScanPaintHistory(Tree(), PaintNode, &results);
    EXPECT_EQ(Entries(), (std::vector<std::string>{order[0], order[1]}));
    EXPECT_EQ(Count(PaintNode), 2);
}

TEST_F(PaintScan, NothingAddedLeavesTheCountAlone)
{
    MakeValues(2);
    Exclude("Paint", PaintLocation, DataOf(order[0]));
    Exclude("Paint", PaintLocation, DataOf(order[1]));
    ScanPaintHistory(Tree(), PaintNode, &results);
    EXPECT_EQ(results.Count(), 0);
    EXPECT_EQ(Count(PaintNode), 0);

    qmtest::RegDeleteTreeA(HKCU, PaintKey);
    ScanPaintHistory(Tree(), PaintNode, &results);
    EXPECT_EQ(results.Count(), 0);
    EXPECT_EQ(Count(PaintNode), 0);
    EXPECT_FALSE(qmtest::RegKeyExists(HKCU, PaintKey));   // the scan never creates the key
}

TEST_F(PaintScan, ValuesThatHoldNoTextAreListedWithEmptyData)
{
    const char bin[] = {'a', 'b', 0, 'c'};
    ASSERT_TRUE(qmtest::RegSetBinary(HKCU, PaintKey, "bin", bin, sizeof(bin)));
    ASSERT_TRUE(qmtest::RegSetDword(HKCU, PaintKey, "num", 5));
    ASSERT_TRUE(RegSetString(HKCU, PaintKey, "multi", std::string("x\0y\0", 4), REG_MULTI_SZ));
    ASSERT_TRUE(RegSetString(HKCU, PaintKey, "exp", "%TEMP%\\a.bmp", REG_EXPAND_SZ));
    ScanPaintHistory(Tree(), PaintNode, &results);
    ASSERT_EQ(results.Count(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Item(i).Data, Item(i).Entry == "exp" ? "%TEMP%\\a.bmp" : "") << Item(i).Entry;
    EXPECT_EQ(Count(PaintNode), 4);

    // An exclusion with empty data keeps exactly the values without text out.
    results.Clear();
    Exclude("Paint", PaintLocation, "");
    ScanPaintHistory(Tree(), PaintNode, &results);
    EXPECT_EQ(Entries(), std::vector<std::string>{"exp"});
}

// The pixels of the count column on the rows of the given nodes.
std::vector<COLORREF> CountColumn(ui::TTreeView *tree, std::initializer_list<int> nodes)
{
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(tree->Handle());
    for (int node : nodes) {
        RECT r = tree->Node(node)->DisplayRect(true);
        for (int x = tree->ClientWidth() - 80; x < tree->ClientWidth(); ++x)
            for (int y = r.top; y < r.bottom; ++y) pixels.push_back(GetPixel(dc, x, y));
    }
    ReleaseDC(tree->Handle(), dc);
    return pixels;
}

TEST_F(PaintScan, ALongListEndsWithItsFinalCountsPainted)
{
    // The counts are painted by time while the list runs, and once more at its end.
    MakeValues(400);
    ui::TTreeView *tree = Tree();
    const std::vector<COLORREF> blank = CountColumn(tree, {PaintNode, 11, 0});
    ScanPaintHistory(tree, PaintNode, &results);
    ASSERT_EQ(Count(PaintNode), 400);
    const std::vector<COLORREF> afterScan = CountColumn(tree, {PaintNode, 11, 0});
    ASSERT_NE(afterScan, blank);
    // The same numbers painted afresh on clean rows look exactly the same.
    InvalidateRect(tree->Handle(), nullptr, TRUE);
    UpdateWindow(tree->Handle());
    ASSERT_EQ(CountColumn(tree, {PaintNode, 11, 0}), blank);
    PaintNodeCount(PaintNode, tree);
    EXPECT_EQ(CountColumn(tree, {PaintNode, 11, 0}), afterScan);
}

TEST_F(PaintScan, AbortTakesEffectAtTheNextValue)
{
    MakeValues(5);
    qmtest::AbortPoster poster;
    poster.PostAbort();   // handled by the pump before the first value, which is still handled
    ScanPaintHistory(Tree(), PaintNode, &results);
    EXPECT_EQ(ScanState, 2);
    EXPECT_EQ(Entries(), std::vector<std::string>{order[0]});
    EXPECT_EQ(Count(PaintNode), 1);

    results.Clear();
    ScanPaintHistory(Tree(), PaintNode, &results);   // already stopped: not even the first value
    EXPECT_EQ(results.Count(), 0);
}

// Multi-key items through the shared routine.
struct MultiKeyScan : qmtest::ScanTest {};

TEST_F(MultiKeyScan, OfficeCountsAddedItemsOverAllKeysWithTheirOwnLocations)
{
    const std::string base = "Software\\Microsoft\\Office\\9.0\\Access\\Settings\\";
    qmtest::RegKeyGuard guard(HKCU, "Software\\Microsoft\\Office\\9.0\\Access");
    for (int i = 1; i <= 4; ++i) ASSERT_TRUE(RegSetString(HKCU, base + "MRU1", "v" + std::to_string(i), "mru1-" + std::to_string(i)));
    ASSERT_TRUE(RegSetString(HKCU, base + "MRUFlags2", "f1", "flag-a"));
    ASSERT_TRUE(RegSetString(HKCU, base + "MRUFlags2", "f2", "flag-b"));
    Exclude("Microsoft Office", "HKEY_CURRENT_USER\\" + base + "MRU1", "mru1-3");
    ScanOfficeHistory(Tree(), 17, &results);
    ASSERT_EQ(results.Count(), 5);
    // MRUFlags2 is visited before MRU1.
    EXPECT_EQ(Item(0).Location, "HKEY_CURRENT_USER\\" + base + "MRUFlags2");
    EXPECT_EQ(Item(1).Location, "HKEY_CURRENT_USER\\" + base + "MRUFlags2");
    for (int i = 2; i < 5; ++i) {
        EXPECT_EQ(Item(i).Location, "HKEY_CURRENT_USER\\" + base + "MRU1");
        EXPECT_EQ(Item(i).Data, "mru1-" + Item(i).Entry.substr(1));
        EXPECT_NE(Item(i).Data, "mru1-3");
    }
    EXPECT_EQ(Count(17), 5);
}

TEST_F(MultiKeyScan, FrontPageReadsEachValueFromItsOwnKey)
{
    qmtest::RegKeyGuard g1(HKCU, "Software\\Microsoft\\Office\\9.0\\Common\\Open Find\\Microsoft FrontPage");
    qmtest::RegKeyGuard g2(HKCU, "Software\\Microsoft\\Office\\Access\\Common\\Open Find\\Microsoft FrontPage");
    const std::string k90 = "Software\\Microsoft\\Office\\9.0\\Common\\Open Find\\Microsoft FrontPage\\Settings\\Open File\\File Name MRU";
    const std::string kAccess = "Software\\Microsoft\\Office\\Access\\Common\\Open Find\\Microsoft FrontPage\\Settings\\Open File\\File Name MRU";
    const std::string kWeb = "Software\\Microsoft\\Office\\9.0\\Common\\Open Find\\Microsoft FrontPage\\Settings\\Open Web\\File Name MRU";
    ASSERT_TRUE(RegSetString(HKCU, k90, "Value", "from-9.0"));
    ASSERT_TRUE(RegSetString(HKCU, kAccess, "Value", "from-access"));
    ASSERT_TRUE(RegSetString(HKCU, kWeb, "Value", "from-web"));
    ScanFrontPageHistory(Tree(), 19, &results);
    ASSERT_EQ(results.Count(), 3);
    EXPECT_EQ(Item(0).Location, "HKEY_CURRENT_USER\\" + k90);
    EXPECT_EQ(Item(0).Data, "from-9.0");
    EXPECT_EQ(Item(1).Location, "HKEY_CURRENT_USER\\" + kAccess);
    EXPECT_EQ(Item(1).Data, "from-access");
    EXPECT_EQ(Item(2).Location, "HKEY_CURRENT_USER\\" + kWeb);
    EXPECT_EQ(Item(2).Data, "from-web");
    EXPECT_EQ(Count(19), 3);
}

TEST_F(MultiKeyScan, AbortInTheFirstKeyStopsTheLaterKeys)
{
    qmtest::RegKeyGuard guard(HKCU, "Software\\WinRAR");
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(RegSetString(HKCU, "Software\\WinRAR\\ArcHistory", std::to_string(i), "a"));
    ASSERT_TRUE(RegSetString(HKCU, "Software\\WinRAR\\DialogEditHistory\\ExtrPath", "0", "b"));
    qmtest::AbortPoster poster;
    poster.PostAbort();
    ScanWinRARHistory(Tree(), 23, &results);
    EXPECT_EQ(results.Count(), 1);
    EXPECT_EQ(Count(23), 1);
}

TEST_F(MultiKeyScan, WinZipTakesThreeDirectoryNamesInAnyCase)
{
    const std::string wz = "Software\\Nico Mak Computing\\WinZip\\";
    qmtest::RegKeyGuard guard(HKCU, "Software\\Nico Mak Computing");
    ASSERT_TRUE(RegSetString(HKCU, wz + "extract", "extract1", "C:\\x"));
    ASSERT_TRUE(RegSetString(HKCU, wz + "filemenu", "filemenu1", "C:\\y.zip"));
    ASSERT_TRUE(RegSetString(HKCU, wz + "directories", "DEFDIR", "C:\\def"));
    ASSERT_TRUE(RegSetString(HKCU, wz + "directories", "ExtractTo", "C:\\to"));
    ASSERT_TRUE(RegSetString(HKCU, wz + "directories", "extract", "C:\\ex"));
    ASSERT_TRUE(RegSetString(HKCU, wz + "directories", "AddDir", "C:\\other"));
    ScanWinZipHistory(Tree(), 24, &results);
    ASSERT_EQ(results.Count(), 5);
    std::vector<std::string> dirs;
    for (int i = 0; i < 5; ++i) {
        if (Item(i).Location == "HKEY_CURRENT_USER\\" + wz + "directories") dirs.push_back(Item(i).Entry);
        EXPECT_EQ(Item(i).ItemName, "WinZip History");
    }
    std::sort(dirs.begin(), dirs.end());
    EXPECT_EQ(dirs, (std::vector<std::string>{"DEFDIR", "ExtractTo", "extract"}));
    EXPECT_EQ(Count(24), 5);

    // Without the directories key the first two keys still count.
    results.Clear();
    qmtest::RecordOfNode(24)->Count = 0;
    qmtest::RegDeleteTreeA(HKCU, wz + "directories");
    ScanWinZipHistory(Tree(), 24, &results);
    EXPECT_EQ(results.Count(), 2);
    EXPECT_EQ(Count(24), 2);
}

struct SingleKeyScan : qmtest::ScanTest {};

TEST_F(SingleKeyScan, ASPackNeedsANonEmptyFileName)
{
    qmtest::RegKeyGuard guard(HKCU, "Software\\ASPack");
    ASSERT_TRUE(RegSetString(HKCU, "Software\\ASPack\\Options", "OD_FileName", ""));
    ScanASPackHistory(Tree(), 26, &results);
    EXPECT_EQ(results.Count(), 0);
    EXPECT_EQ(Count(26), 0);

    ASSERT_TRUE(RegSetString(HKCU, "Software\\ASPack\\Options", "OD_FileName", "C:\\app.exe"));
    ASSERT_TRUE(RegSetString(HKCU, "Software\\ASPack\\Options", "Other", "C:\\no.exe"));
    ScanASPackHistory(Tree(), 26, &results);
    ASSERT_EQ(results.Count(), 1);
    EXPECT_EQ(Item(0).Entry, "OD_FileName");
    EXPECT_EQ(Item(0).Data, "C:\\app.exe");
    EXPECT_EQ(Item(0).Location, "HKEY_CURRENT_USER\\Software\\ASPack\\Options");
    EXPECT_EQ(Count(26), 1);

    ExcludeRow(0);
    results.Clear();
    ScanASPackHistory(Tree(), 26, &results);
    EXPECT_EQ(results.Count(), 0);
}

TEST_F(SingleKeyScan, ACDSeeListsEachExistingKeyAndHonoursRowExclusions)
{
    qmtest::RegKeyGuard guard(HKCU, "Software\\ACD Systems");
    ASSERT_TRUE(RegSetString(HKCU, "Software\\ACD Systems\\ACDSee\\OpenFolder", "x", "y"));
    ScanACDSeeHistory(Tree(), 27, &results);
    ASSERT_EQ(results.Count(), 1);
    EXPECT_EQ(Item(0).Kind, tkRegSubKey);
    EXPECT_EQ(Item(0).Entry, "OpenFolder");
    EXPECT_EQ(Item(0).Data, "");
    EXPECT_EQ(Item(0).Location, "HKEY_CURRENT_USER\\Software\\ACD Systems\\ACDSee\\OpenFolder");
    EXPECT_EQ(Count(27), 1);

    ASSERT_TRUE(RegSetString(HKCU, "Software\\ACD Systems\\ACDSee\\LastFolder", "x", "y"));
    ExcludeRow(0);
    results.Clear();
    ScanACDSeeHistory(Tree(), 27, &results);
    EXPECT_EQ(Entries(), std::vector<std::string>{"LastFolder"});

    exclusions.Clear();
    results.Clear();
    ScanACDSeeHistory(Tree(), 27, &results);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"LastFolder", "OpenFolder"}));
    EXPECT_EQ(Count(27), 2);
}

TEST_F(SingleKeyScan, NetmeetingListsNamesWithoutData)
{
    qmtest::RegKeyGuard guard(HKCU, "UNICODE Program Groups");
    ASSERT_TRUE(RegSetString(HKCU, "UNICODE Program Groups", "Group1", "some data"));
    ASSERT_TRUE(qmtest::RegSetDword(HKCU, "UNICODE Program Groups", "Group2", 1));
    ScanNetMeetingHistory(Tree(), 20, &results);
    ASSERT_EQ(results.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Item(i).Kind, tkRegValueName);
        EXPECT_EQ(Item(i).Data, "");
        EXPECT_EQ(Item(i).Location, "HKEY_CURRENT_USER\\UNICODE Program Groups");
    }
    EXPECT_EQ(Count(20), 2);
}

// A key the user may read but not change (an administrator's lock, most of a limited account's
// registry): every way the scanners open their keys lists its traces all the same.
TEST_F(SingleKeyScan, KeysTheUserMayOnlyReadAreListed)
{
    qmtest::RegKeyGuard paint(HKCU, PaintKey), winrar(HKCU, "Software\\WinRAR"),
        winzip(HKCU, "Software\\Nico Mak Computing"), aspack(HKCU, "Software\\ASPack");
    const char *const arc = "Software\\WinRAR\\ArcHistory";
    const char *const dirs = "Software\\Nico Mak Computing\\WinZip\\directories";
    const char *const options = "Software\\ASPack\\Options";
    ASSERT_TRUE(RegSetString(HKCU, PaintKey, "File1", "C:\\pic.bmp"));
    ASSERT_TRUE(RegSetString(HKCU, arc, "0", "C:\\a.rar"));
    ASSERT_TRUE(RegSetString(HKCU, dirs, "DefDir", "C:\\def"));
    ASSERT_TRUE(RegSetString(HKCU, options, "OD_FileName", "C:\\app.exe"));
    qmtest::RegKeyAccess r1(HKCU, PaintKey, "KR"), r2(HKCU, arc, "KR"), r3(HKCU, dirs, "KR"), r4(HKCU, options, "KR");
    for (const qmtest::RegKeyAccess *r : {&r1, &r2, &r3, &r4}) ASSERT_TRUE(r->Applied());
    HKEY writable = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKCU, PaintKey, 0, KEY_SET_VALUE, &writable), ERROR_ACCESS_DENIED) << "not locked";

    ScanPaintHistory(Tree(), PaintNode, &results);
    ScanWinRARHistory(Tree(), 23, &results);
    ScanWinZipHistory(Tree(), 24, &results);
    ScanASPackHistory(Tree(), 26, &results);
    ASSERT_EQ(results.Count(), 4);
    std::vector<std::string> data;
    for (int i = 0; i < 4; ++i) data.push_back(Item(i).Data);
    EXPECT_EQ(data, (std::vector<std::string>{"C:\\pic.bmp", "C:\\a.rar", "C:\\def", "C:\\app.exe"}));
}

// Every member in dispatch order finds a value (or key) in its first key and names its item as the
// catalogue does.
TEST_F(SingleKeyScan, DispatchTableFollowsTheCatalogue)
{
    const char *firstKeys[16] = {
        PaintKey,
        "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List",
        "Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList",
        "Software\\Microsoft\\FrontPad\\FrontPage Editor\\Recent File List",
        "Software\\Microsoft\\Microsoft Help Workshop\\Recent File List",
        "Software\\Microsoft\\Office\\9.0\\Access\\Settings\\MRUFlags5",
        "Software\\Microsoft\\Office\\9.0\\Publisher\\Recent File List",
        "Software\\Microsoft\\FrontPage\\Editor\\Recently Used URLs",
        "UNICODE Program Groups",
        "Software\\Microsoft\\MessengerService\\PhoneMRU",
        "Software\\Microsoft\\MSDN",
        "Software\\WinRAR\\ArcHistory",
        "Software\\Nico Mak Computing\\WinZip\\filemenu",
        "Software\\Mijenix\\ZipMagic\\CurrentVersion\\Zip To",
        "Software\\ASPack\\Options",
        "Software\\ACD Systems\\ACDSee\\LastFolder",
    };
    std::vector<std::unique_ptr<qmtest::RegKeyGuard>> guards;
    for (const char *key : firstKeys) {
        guards.emplace_back(new qmtest::RegKeyGuard(HKCU, key));
        ASSERT_TRUE(RegSetString(HKCU, key, "OD_FileName", "C:\\file.txt"));
    }
    for (int i = 0; i < 16; ++i) {
        results.Clear();
        WindowsSoftwareScanners[i](Tree(), 12 + i, &results);
        ASSERT_EQ(results.Count(), 1) << i;
        EXPECT_EQ(Item(0).ItemName, (*ScanItemLists[1])[static_cast<size_t>(i)]->ItemCaption) << i;
        EXPECT_EQ(Item(0).Group, "Microsoft Windows");
        EXPECT_EQ(Item(0).CleanCaption.rfind("Clean ", 0), 0u) << i;
        EXPECT_EQ(Count(12 + i), 1) << i;
    }
    EXPECT_EQ(Count(11), 16);
    EXPECT_EQ(Count(0), 16);
}

}  // namespace
