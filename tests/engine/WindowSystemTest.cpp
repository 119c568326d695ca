// The Windows System scanners against real registry keys and real folders.
#include "PublicFunctionFixture.h"
#include <algorithm>
#include "engine/WindowSystemUnit.h"

namespace {

using qmtest::RegSetString;
const HKEY HKCU = HKEY_CURRENT_USER;
const std::string Explorer = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";
const std::string ShellFolders = Explorer + "Shell Folders";

struct SystemRegScan : qmtest::ScanTest {};

TEST_F(SystemRegScan, RunMRUListsEveryValueAndCountsPositions)
{
    const std::string key = Explorer + "RunMRU";
    qmtest::RegKeyGuard guard(HKCU, key);
    ASSERT_TRUE(RegSetString(HKCU, key, "a", "notepad\\1"));
    ASSERT_TRUE(RegSetString(HKCU, key, "b", "cmd\\1"));
    ASSERT_TRUE(RegSetString(HKCU, key, "MRUList", "ba"));
    const std::vector<std::string> order = qmtest::EnumValueNames(HKCU, key);
    ASSERT_EQ(order.size(), 3u);
    ScanRunMRU(Tree(), 29, &results);
    EXPECT_EQ(Entries(), order);
    EXPECT_EQ(Count(29), 3);
    EXPECT_EQ(Item(0).CleanCaption, "Clean RunMRU");
    EXPECT_EQ(Item(0).ItemName, "Run History");

    // "b" excluded: two items; the count still ends at 3 unless b was the last value.
    results.Clear();
    qmtest::RecordOfNode(29)->Count = 0;
    Exclude("Run History", "HKEY_CURRENT_USER\\" + key, "cmd\\1");
    ScanRunMRU(Tree(), 29, &results);
    EXPECT_EQ(results.Count(), 2);
    const std::vector<std::string> entries = Entries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "b"), 0);
    EXPECT_EQ(Count(29), order.back() == "b" ? 2 : 3);
}

TEST_F(SystemRegScan, TelnetListsSubkeysAndAnExclusionFromARowKeepsOneOut)
{
    const std::string key = "Software\\Microsoft\\Telnet";
    qmtest::RegKeyGuard guard(HKCU, key);
    ASSERT_TRUE(RegSetString(HKCU, key, "Machine1", "host"));   // the key's own values are no trace
    for (const char *sub : {"A", "B", "C"}) ASSERT_TRUE(RegSetString(HKCU, key + "\\" + sub, "x", "y"));
    // The network places below LastMachine (the registry ignores the case) are My Network Places' rows.
    ASSERT_TRUE(RegSetString(HKCU, key + "\\LASTMACHINE\\server", "x", "y"));
    ScanTelnetMenuHistory(Tree(), 32, &results);
    ASSERT_EQ(results.Count(), 3);
    std::vector<std::string> subs;
    for (int i = 0; i < 3; ++i) {
        const TContent &c = Item(i);
        EXPECT_EQ(c.Kind, tkRegSubKey);
        EXPECT_EQ(c.Entry, "");
        EXPECT_EQ(c.Data, "");
        EXPECT_EQ(c.Location, "HKEY_CURRENT_USER\\" + key + "\\" + c.SubKey);
        subs.push_back(c.SubKey);
    }
    std::sort(subs.begin(), subs.end());
    EXPECT_EQ(subs, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(Count(32), 3);

    for (int i = 0; i < 3; ++i)
        if (Item(i).SubKey == "A") ExcludeRow(i);
    results.Clear();
    ScanTelnetMenuHistory(Tree(), 32, &results);
    ASSERT_EQ(results.Count(), 2);
    EXPECT_NE(Item(0).SubKey, "A");
    EXPECT_NE(Item(1).SubKey, "A");
}

TEST_F(SystemRegScan, NameOnlyListsCarryTheNameAsDataSoRowExclusionsWork)
{
    const std::string openWith = Explorer + "otherFolder";
    const std::string order = Explorer + "UserAssist\\{5E6AB780-7743-11CF-A12B-00AA004AE837}\\Count";
    qmtest::RegKeyGuard g1(HKCU, openWith);
    qmtest::RegKeyGuard g2(HKCU, Explorer + "UserAssist");
    const char bin[] = {1, 0, 0, 0};
    ASSERT_TRUE(qmtest::RegSetBinary(HKCU, openWith, "a", bin, 4));
    ASSERT_TRUE(qmtest::RegSetBinary(HKCU, openWith, "b", bin, 4));
    ASSERT_TRUE(qmtest::RegSetBinary(HKCU, order, "UEME_RUNPATH", bin, 4));

    ScanOpenWithHistory(Tree(), 35, &results);
    ASSERT_EQ(results.Count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Item(i).Kind, tkRegValueName);
        EXPECT_EQ(Item(i).SubKey, Item(i).Entry);
        EXPECT_EQ(Item(i).Data, Item(i).Entry);
        EXPECT_EQ(Item(i).Location, "HKEY_CURRENT_USER\\" + openWith);
    }
    const std::string kept = Item(1).Entry;
    ExcludeRow(0);
    results.Clear();
    ScanOpenWithHistory(Tree(), 35, &results);
    EXPECT_EQ(Entries(), std::vector<std::string>{kept});

    results.Clear();
    ScanStartMenuOrderHistory(Tree(), 39, &results);
    ASSERT_EQ(results.Count(), 1);
    EXPECT_EQ(Item(0).SubKey, "");
    EXPECT_EQ(Item(0).Data, "UEME_RUNPATH");
    EXPECT_EQ(Count(39), 1);
    ExcludeRow(0);
    results.Clear();
    ScanStartMenuOrderHistory(Tree(), 39, &results);
    EXPECT_EQ(results.Count(), 0);
}

TEST_F(SystemRegScan, TrayNotifyListsTheTwoFixedValuesWhenPresent)
{
    const std::string key = Explorer + "TrayNotify";
    qmtest::RegKeyGuard guard(HKCU, key);
    const char bin[] = {1, 2};
    ASSERT_TRUE(qmtest::RegSetBinary(HKCU, key, "Other", bin, 2));
    ScanTrayNotifyHistory(Tree(), 40, &results);
    EXPECT_EQ(results.Count(), 0);
    EXPECT_EQ(Count(40), 0);

    ASSERT_TRUE(qmtest::RegSetBinary(HKCU, key, "PasticonsStream", bin, 2));
    ScanTrayNotifyHistory(Tree(), 40, &results);
    ASSERT_EQ(results.Count(), 1);
    EXPECT_EQ(Item(0).Entry, "PasticonsStream");
    EXPECT_EQ(Item(0).Kind, tkRegValueName);
    EXPECT_EQ(Count(40), 1);

    ASSERT_TRUE(qmtest::RegSetBinary(HKCU, key, "IconStreams", bin, 2));
    results.Clear();
    ScanTrayNotifyHistory(Tree(), 40, &results);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"IconStreams", "PasticonsStream"}));
    EXPECT_EQ(Count(40), 2);

    // Exclusions made from either row keep that value out.
    ExcludeRow(1);
    results.Clear();
    ScanTrayNotifyHistory(Tree(), 40, &results);
    EXPECT_EQ(Entries(), std::vector<std::string>{"IconStreams"});
    ExcludeRow(0);
    results.Clear();
    ScanTrayNotifyHistory(Tree(), 40, &results);
    EXPECT_EQ(results.Count(), 0);
}

TEST_F(SystemRegScan, MUICacheTakesOnlyTextValuesOfTypeSz)
{
    const std::string key = "Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";
    qmtest::RegKeyGuard guard(HKCU, "Software\\Microsoft\\Windows\\ShellNoRoam");
    const char bin[] = {1, 2};
    ASSERT_TRUE(qmtest::RegSetBinary(HKCU, key, "LangID", bin, 2));
    ASSERT_TRUE(RegSetString(HKCU, key, "C:\\x.exe", "X Program"));
    ASSERT_TRUE(RegSetString(HKCU, key, "C:\\y.exe", "%Y%", REG_EXPAND_SZ));
    ScanMUICache(Tree(), 42, &results);
    ASSERT_EQ(results.Count(), 1);
    EXPECT_EQ(Item(0).Entry, "C:\\x.exe");
    EXPECT_EQ(Item(0).Data, "X Program");
    EXPECT_EQ(Item(0).CleanCaption, "Clean Windows MUICache");
    EXPECT_EQ(Count(42), 1);   // the number added, not the position
}

// Every registry member, in dispatch order, names its items as the catalogue does.
TEST_F(SystemRegScan, DispatchTableFollowsTheCatalogue)
{
    struct Member {
        int item;
        std::string key;
        bool subKey;
    };
    const Member members[] = {
        {1, Explorer + "RunMRU", false},
        {4, "Software\\Microsoft\\Telnet", true},
        {5, "Software\\Microsoft\\Telnet\\LastMachine", true},
        {6, Explorer + "Map Network Drive MRU", false},
        {7, Explorer + "otherFolder", false},
        {8, "Software\\Microsoft\\Microsoft Management Console\\Recent File List", false},
        {9, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit", true},
        {10, Explorer + "UserAssist\\{75048700-EF1F-11D0-9888-006097DEACF9}\\Count", false},
        {11, Explorer + "UserAssist\\{5E6AB780-7743-11CF-A12B-00AA004AE837}\\Count", false},
        {12, Explorer + "TrayNotify", false},
        {13, Explorer + "WorkgroupCrawler\\Shares", true},
        {14, "Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", false},
    };
    qmtest::RegKeyGuard g1(HKCU, "Software\\Microsoft\\Telnet");
    std::vector<std::unique_ptr<qmtest::RegKeyGuard>> guards;
    for (const Member &m : members) {
        guards.emplace_back(new qmtest::RegKeyGuard(HKCU, m.key));
        if (m.subKey) {
            ASSERT_TRUE(RegSetString(HKCU, m.key + "\\Sub", "x", "y"));
        } else {
            ASSERT_TRUE(RegSetString(HKCU, m.key, m.item == 12 ? "IconStreams" : "v", "data"));
        }
    }
    // Telnet passes over its subkey LastMachine, which holds My Network Places' own traces.
    for (const Member &m : members) {
        results.Clear();
        const int i = m.item - 1;
        WindowsSystemScanners[i](Tree(), 29 + i, &results);
        ASSERT_EQ(results.Count(), 1) << m.item;
        EXPECT_EQ(Item(0).ItemName, (*ScanItemLists[2])[static_cast<size_t>(i)]->ItemCaption) << m.item;
        EXPECT_EQ(Item(0).Kind, m.subKey ? tkRegSubKey : (m.item == 1 || m.item == 6 || m.item == 8 || m.item == 14)
                                                             ? tkRegValueData
                                                             : tkRegValueName)
            << m.item;
        EXPECT_EQ(Item(0).Group, "Microsoft Windows");
        EXPECT_EQ(Count(29 + i), 1) << m.item;
    }
}

// Send To and Recent: the folder named by the Shell Folders value, its own entries only.
struct ShellFolderScan : qmtest::ScanTest {
    qmtest::RegValueKeeper keepSendTo{HKCU, ShellFolders, "SendTo"};
    qmtest::RegValueKeeper keepRecent{HKCU, ShellFolders, "Recent"};
    qmtest::TempDir dir;

    void MakeFile(const std::string &name, const std::string &bytes, DWORD attributes)
    {
        ASSERT_TRUE(qmtest::WriteFileBytes(dir / name, bytes));
        ASSERT_TRUE(SetFileAttributesA((dir / name).c_str(), attributes));
        ASSERT_EQ(GetFileAttributesA((dir / name).c_str()), attributes) << name;
    }
    static std::vector<std::string> Sorted(std::vector<std::string> v)
    {
        std::sort(v.begin(), v.end());
        return v;
    }
    ~ShellFolderScan() override
    {
        // Read-only files would stop the folder's removal.
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir / "*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return;
        do SetFileAttributesA((dir / fd.cFileName).c_str(), FILE_ATTRIBUTE_NORMAL);
        while (FindNextFileA(h, &fd));
        FindClose(h);
    }
};

TEST_F(ShellFolderScan, SizesBeyondTwoGigabytesInAllDoNotWrapTheTotal)
{
    // Two sparse files of 1.5 GiB: each fits an Int32, their sum does not.
    for (const char *name : {"big1.iso", "big2.iso"}) {
        HANDLE h = CreateFileA((dir / name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_ARCHIVE,
                               nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        LARGE_INTEGER size;
        size.QuadPart = 0x60000000;
        const bool sized = SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h);
        CloseHandle(h);
        ASSERT_TRUE(sized);
    }
    FoundSizeTotal = 0;
    ScanShellFolderFiles(dir.Path(), Tree(), 31, 1, &results);
    ASSERT_EQ(results.Count(), 2);
    EXPECT_EQ(Item(0).Size, 0x60000000);
    EXPECT_EQ(FoundSizeTotal, INT32_MAX);
}

TEST_F(ShellFolderScan, SendToTakesWholeAttributeWordsAndSkipsTheSystemTargets)
{
    // Regular files always carry the archive bit here, so the words are 32 + the other bits.
    MakeFile("Notepad.lnk", "12345", FILE_ATTRIBUTE_ARCHIVE);                            // 32: listed
    MakeFile("ReadOnly.lnk", "abc", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);   // 33: not
    MakeFile("Hidden.lnk", "abc", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);       // 34: not
    MakeFile("Sys.lnk", "ab", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM);           // 36: not
    MakeFile("Desktop (create shortcut).DeskLink", "", FILE_ATTRIBUTE_ARCHIVE);
    MakeFile("Mail Recipient.MAPIMail", "", FILE_ATTRIBUTE_ARCHIVE);
    MakeFile("My Documents.MyDocs", "", FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(CreateDirectoryA((dir / "Sub").c_str(), nullptr));                       // 16: listed
    ASSERT_TRUE(CreateDirectoryA((dir / "HiddenDir").c_str(), nullptr));
    ASSERT_TRUE(SetFileAttributesA((dir / "HiddenDir").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_EQ(GetFileAttributesA((dir / "HiddenDir").c_str()), 18u);                     // 18: listed
    ASSERT_TRUE(RegSetString(HKCU, ShellFolders, "SendTo", dir.Path()));

    ScanWindowsSendTo(Tree(), 30, &results);
    EXPECT_EQ(Sorted(Entries()), (std::vector<std::string>{"HiddenDir", "Notepad.lnk", "Sub"}));
    EXPECT_EQ(Count(30), 3);
    int32_t total = 0;
    for (int i = 0; i < results.Count(); ++i) {
        const TContent &c = Item(i);
        EXPECT_EQ(c.Kind, tkFile);
        EXPECT_EQ(c.Storage, "File");
        EXPECT_EQ(c.ItemName, "Windows Send To");
        EXPECT_EQ(c.CleanCaption, "Clean Windows Send To");
        EXPECT_EQ(c.Location, dir / c.Entry);
        EXPECT_EQ(c.Size, c.Entry == "Notepad.lnk" ? 5 : 0) << c.Entry;
        total += c.Size;
    }
    EXPECT_EQ(FoundSizeTotal, total);

    // An exclusion made from a row keeps that entry out.
    for (int i = 0; i < results.Count(); ++i)
        if (Item(i).Entry == "Notepad.lnk") ExcludeRow(i);
    results.Clear();
    ScanWindowsSendTo(Tree(), 30, &results);
    EXPECT_EQ(Sorted(Entries()), (std::vector<std::string>{"HiddenDir", "Sub"}));
}

TEST_F(ShellFolderScan, RecentKeepsNamesThatSendToPassesOver)
{
    MakeFile("letter.doc.lnk", "1", FILE_ATTRIBUTE_ARCHIVE);
    MakeFile("x.DeskLink", "22", FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(RegSetString(HKCU, ShellFolders, "Recent", dir.Path()));
    ScanRecentDocuments(Tree(), 31, &results);
    EXPECT_EQ(Sorted(Entries()), (std::vector<std::string>{"letter.doc.lnk", "x.DeskLink"}));
    EXPECT_EQ(Item(0).ItemName, "Recent Files");
    EXPECT_EQ(Item(0).CleanCaption, "Clean Windows Recent Documents Files");
    EXPECT_EQ(Count(31), 2);
    EXPECT_EQ(FoundSizeTotal, 3);
}

TEST_F(ShellFolderScan, MissingOrEmptyFolderValueAddsNothing)
{
    MakeFile("a.lnk", "1", FILE_ATTRIBUTE_ARCHIVE);
    ASSERT_TRUE(RegSetString(HKCU, ShellFolders, "SendTo", dir / "NoSuchFolder"));
    ScanWindowsSendTo(Tree(), 30, &results);
    ASSERT_TRUE(RegSetString(HKCU, ShellFolders, "SendTo", ""));
    ScanWindowsSendTo(Tree(), 30, &results);
    EXPECT_EQ(results.Count(), 0);
    EXPECT_EQ(Count(30), 0);
}

TEST_F(ShellFolderScan, AbortStopsTheWalk)
{
    for (int i = 0; i < 4; ++i) MakeFile("f" + std::to_string(i) + ".lnk", "x", FILE_ATTRIBUTE_ARCHIVE);
    qmtest::AbortPoster poster;
    poster.PostAbort();
    ScanShellFolderFiles(dir.Path(), Tree(), 31, 1, &results);
    // "." and ".." come first on most file systems; at most one real entry follows the abort.
    EXPECT_LE(results.Count(), 1);
}

struct RecycleScan : ShellFolderScan {};

TEST_F(RecycleScan, ListsEachFixedDrivesRecycledFolderThenTheUsersOwnBins)
{
    std::string sid;
    ASSERT_TRUE(GetCurrentUserSid(sid));
    ASSERT_EQ(sid.compare(0, 6, "S-1-5-"), 0) << sid;
    std::vector<std::string> folders;
    ListRecycledFolders(folders);
    ASSERT_EQ(folders.size() % 3, 0u);
    EXPECT_NE(std::find(folders.begin(), folders.end(), "C:\\Recycled"), folders.end());
    for (size_t i = 0; i < folders.size(); i += 3) {
        const std::string d = folders[i].substr(0, 3);
        EXPECT_EQ(GetDriveTypeA(d.c_str()), static_cast<UINT>(DRIVE_FIXED)) << d;
        EXPECT_EQ(std::vector<std::string>(folders.begin() + i, folders.begin() + i + 3),
                  (std::vector<std::string>{d + "Recycled", d + "RECYCLER\\" + sid, d + "$Recycle.Bin\\" + sid}));
        if (i > 0) {
            EXPECT_LT(folders[i - 3], folders[i]);
        }
    }
}

TEST_F(RecycleScan, SkipsBookkeepingFilesAndSharesTheCountOverFolders)
{
    qmtest::TempDir second;
    MakeFile("Dc1.txt", "hello", FILE_ATTRIBUTE_ARCHIVE);
    MakeFile("Dc2.txt", "x", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);   // 33, measured all the same
    MakeFile("INFO2", "bookkeeping", FILE_ATTRIBUTE_ARCHIVE);
    MakeFile("desktop.ini", "[x]", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeFile("Dc3.txt", "zz", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);   // 38
    ASSERT_TRUE(qmtest::WriteFileBytes(second / "info2", "b"));
    ASSERT_TRUE(qmtest::WriteFileBytes(second / "DESKTOP.INI", "c"));
    ASSERT_TRUE(qmtest::WriteFileBytes(second / "Dd1.doc", "1234"));
    ASSERT_TRUE(qmtest::WriteFileBytes(second / "Dd2.doc", "12"));

    int32_t count = 0;
    ScanRecycledFolder(dir.Path(), Tree(), 43, count, &results);
    ScanRecycledFolder(second.Path(), Tree(), 43, count, &results);
    ScanRecycledFolder(dir / "Missing", Tree(), 43, count, &results);
    EXPECT_EQ(Sorted(Entries()), (std::vector<std::string>{dir / "Dc1.txt", dir / "Dc2.txt", dir / "Dc3.txt",
                                                           second / "Dd1.doc", second / "Dd2.doc"}));
    EXPECT_EQ(count, 5);
    EXPECT_EQ(Count(43), 5);
    for (int i = 0; i < results.Count(); ++i) {
        EXPECT_EQ(Item(i).Location, Item(i).Entry);
        EXPECT_EQ(Item(i).ItemName, "RecycleBin");
        EXPECT_EQ(Item(i).CleanCaption, "Clean RecycleBin");
    }
    EXPECT_EQ(FoundSizeTotal, 5 + 1 + 2 + 4 + 2);

    // An exclusion by the full path.
    results.Clear();
    count = 0;
    Exclude("RecycleBin", second / "Dd1.doc", "");
    ScanRecycledFolder(second.Path(), Tree(), 43, count, &results);
    EXPECT_EQ(Entries(), std::vector<std::string>{second / "Dd2.doc"});
}

TEST_F(RecycleScan, UsersOwnBinsGiveOneRowPerDeletedEntryAndMarkDeletedFolders)
{
    const std::string v = dir / "$Recycle.Bin\\S-1-5-21-7", x = dir / "RECYCLER\\S-1-5-21-7";
    for (const std::string &f : {dir / "$Recycle.Bin", v, v + "\\$RXY34EF", dir / "RECYCLER", x, x + "\\Dc2"})
        ASSERT_TRUE(CreateDirectoryA(f.c_str(), nullptr)) << f;
    for (const char *name : {"$RAB12CD.txt", "$IAB12CD.txt", "$ixy34ef", "desktop.ini", "INFO2", "stray.txt"})
        ASSERT_TRUE(qmtest::WriteFileBytes(v + "\\" + name, "1234"));
    for (const char *name : {"Dc1.txt", "info2", "Desktop.INI"})
        ASSERT_TRUE(qmtest::WriteFileBytes(x + "\\" + name, "12"));

    int32_t count = 0;
    ScanRecycledFolder(v, Tree(), 43, count, &results);
    ScanRecycledFolder(x, Tree(), 43, count, &results);
    ASSERT_EQ(Sorted(Entries()),
              (std::vector<std::string>{v + "\\$RAB12CD.txt", v + "\\$RXY34EF", x + "\\Dc1.txt", x + "\\Dc2"}));
    EXPECT_EQ(Count(43), 4);
    for (int i = 0; i < results.Count(); ++i)
        EXPECT_EQ(Item(i).Kind, qmtest::DirExists(Item(i).Location) ? tkRecycledFolder : tkFile) << Item(i).Location;
}

TEST_F(RecycleScan, ScanRecycleBinWalksTheRecycledFolderOfDriveC)
{
    const std::string recycled = "C:\\Recycled";
    const bool existed = qmtest::DirExists(recycled);
    if (!existed) {
        ASSERT_TRUE(CreateDirectoryA(recycled.c_str(), nullptr));
    }
    const std::string name = recycled + "\\QmTestDc" + std::to_string(GetCurrentProcessId()) + ".txt";
    struct Gone {
        std::string name, folder;
        ~Gone()
        {
            DeleteFileA(name.c_str());
            if (!folder.empty()) RemoveDirectoryA(folder.c_str());
        }
    } gone{name, existed ? "" : recycled};
    ASSERT_TRUE(qmtest::WriteFileBytes(name, "abc"));
    ScanRecycleBin(Tree(), 43, &results);
    const std::vector<std::string> e = Entries();
    EXPECT_NE(std::find(e.begin(), e.end(), name), e.end());
    EXPECT_EQ(Count(43), results.Count());
    EXPECT_FALSE(RecycleBinHoldsExcluded() || RecycleBinPassedOver() || RecycleBinScannedInPart());

    // What a scan passes over, an excluded entry or the rest after a stop, would go with an emptied
    // bin; each scan starts afresh.
    Exclude("RecycleBin", name, "");
    ScanRecycleBin(Tree(), 43, &results);
    EXPECT_TRUE(RecycleBinHoldsExcluded());
    EXPECT_FALSE(RecycleBinPassedOver());
    ScanState = 2;
    ScanRecycleBin(Tree(), 43, &results);
    EXPECT_TRUE(RecycleBinScannedInPart());
    EXPECT_FALSE(RecycleBinHoldsExcluded());
}

}  // namespace
