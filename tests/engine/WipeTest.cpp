// File wiping and the folder walks, on real files under wine.
#include <gtest/gtest.h>
#include <cstdlib>
#include <functional>
#include <vector>
#include "TestSupport.h"
#include "engine/PublicFunctionUnit.h"
#include "engine/ResultContentUnit.h"
#include "engine/WipeUnit.h"

using namespace qmtest;

namespace {

std::string Pattern(size_t bytes)
{
    std::string s(bytes, '0');
    for (size_t i = 1; i < bytes; i += 2) s[i] = '1';
    return s;
}

// Names of a folder's entries in the file system's order, without "." and "..".
std::vector<std::string> Entries(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::string n = fd.cFileName;
        if (n != "." && n != "..") names.push_back(n);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

bool MakeFile(const std::string &path, const std::string &bytes, DWORD attributes = FILE_ATTRIBUTE_ARCHIVE)
{
    return WriteFileBytes(path, bytes) && SetFileAttributesA(path.c_str(), attributes);
}

// Watches a wipe round by round: checks the previous round's mark was overwritten with the pattern,
// then writes a new mark through the wipe's own handle.
struct RoundWatcher {
    std::string path;
    size_t expectedSize;
    int totalRounds;   // no mark after the last one, so the final bytes can be checked
    int rounds = 0;
    bool allRewritten = true;

    TWipeRoundHook Hook()
    {
        return [this](HANDLE h, int32_t round) {
            ++rounds;
            if (round != rounds) allRewritten = false;
            if (ReadFileBytes(path) != Pattern(expectedSize)) allRewritten = false;
            if (round >= totalRounds) return;
            std::string mark(expectedSize, 'X');
            LARGE_INTEGER zero;
            zero.QuadPart = 0;
            DWORD written = 0;
            SetFilePointerEx(h, zero, nullptr, FILE_BEGIN);
            WriteFile(h, mark.data(), static_cast<DWORD>(mark.size()), &written, nullptr);
        };
    }
};

}  // namespace

// ---- WipeFile ----

TEST(WipeFile, OddFileGetsTwoRoundsOfUnitsAndIsGone)
{
    TempDir dir;
    std::string f = dir / "five.txt";
    ASSERT_TRUE(WriteFileBytes(f, "abcde"));
    // A second name of the same data shows what was written after the file's own name is gone.
    std::string link = dir / "link";
    ASSERT_TRUE(CreateHardLinkA(link.c_str(), f.c_str(), nullptr));

    RoundWatcher w{f, 6, 2};
    EXPECT_TRUE(WipeFileWithHook(f, 1, w.Hook()));
    EXPECT_EQ(w.rounds, 2);
    EXPECT_TRUE(w.allRewritten);
    EXPECT_FALSE(FileExists(f));
    EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"link"});
    EXPECT_EQ(ReadFileBytes(link), "010101");
}

TEST(WipeFile, LargeOddFileIsCoveredEndToEnd)
{
    TempDir dir;
    std::string f = dir / "big.bin";
    const size_t size = 3 * (1u << 20) + 12345;   // spans several write blocks, odd
    ASSERT_TRUE(WriteFileBytes(f, std::string(size, '\xAA')));
    std::string link = dir / "link";
    ASSERT_TRUE(CreateHardLinkA(link.c_str(), f.c_str(), nullptr));

    EXPECT_TRUE(WipeFile(f, 0));
    EXPECT_FALSE(FileExists(f));
    std::string got = ReadFileBytes(link);
    ASSERT_EQ(got.size(), size + 1);
    EXPECT_TRUE(got == Pattern(size + 1));
}

TEST(WipeFile, RoundsFollowPasses)
{
    TempDir dir;
    struct Case {
        int32_t passes;
        int rounds;
    } cases[] = {{-1, 0}, {-5, 0}, {0, 1}, {2, 3}, {6, 7}};
    for (const Case &c : cases) {
        std::string f = dir / "r.txt";
        ASSERT_TRUE(WriteFileBytes(f, "1234"));
        std::string link = dir / "link";
        ASSERT_TRUE(CreateHardLinkA(link.c_str(), f.c_str(), nullptr));
        RoundWatcher w{f, 4, c.rounds};
        EXPECT_TRUE(WipeFileWithHook(f, c.passes, w.Hook())) << c.passes;
        EXPECT_EQ(w.rounds, c.rounds) << c.passes;
        EXPECT_TRUE(w.allRewritten) << c.passes;
        EXPECT_FALSE(FileExists(f));
        EXPECT_EQ(ReadFileBytes(link), c.rounds == 0 ? "1234" : "0101") << c.passes;
        DeleteFileA(link.c_str());
    }
}

TEST(WipeFile, DeleteModesChooseRounds)
{
    TempDir dir;
    const int rounds[4] = {0, 1, 3, 7};
    for (int mode = 0; mode < 4; ++mode) {
        std::string f = dir / "m.txt";
        ASSERT_TRUE(WriteFileBytes(f, "abcdefgh"));
        RoundWatcher w{f, 8, rounds[mode]};
        EXPECT_TRUE(WipeFileWithHook(f, WipePassesForDeleteMode(mode), w.Hook()));
        EXPECT_EQ(w.rounds, rounds[mode]) << "mode " << mode;
        EXPECT_TRUE(w.allRewritten);
        EXPECT_FALSE(FileExists(f));
    }
}

TEST(WipeFile, EmptyFileWritesNothingAndGoes)
{
    TempDir dir;
    std::string f = dir / "empty";
    ASSERT_TRUE(WriteFileBytes(f, ""));
    std::string link = dir / "link";
    ASSERT_TRUE(CreateHardLinkA(link.c_str(), f.c_str(), nullptr));
    EXPECT_TRUE(WipeFile(f, 3));
    EXPECT_FALSE(FileExists(f));
    EXPECT_EQ(ReadFileBytes(link), "");
}

TEST(WipeFile, FailuresLeaveTheFileUnderItsName)
{
    TempDir dir;
    // Read-only: refused, unchanged.
    std::string ro = dir / "ro.txt";
    ASSERT_TRUE(MakeFile(ro, "keep me", FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WipeFile(ro, 1));
    EXPECT_EQ(ReadFileBytes(ro), "keep me");

    // In use by someone who shares nothing: refused, unchanged.
    std::string busy = dir / "busy.txt";
    ASSERT_TRUE(WriteFileBytes(busy, "busy"));
    HANDLE h = CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WipeFile(busy, 1));
    CloseHandle(h);
    EXPECT_EQ(ReadFileBytes(busy), "busy");

    // A folder is no file.
    std::string sub = dir / "sub";
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    EXPECT_FALSE(WipeFile(sub, 1));
    EXPECT_TRUE(DirExists(sub));

    // The folder does not exist: nothing is created.
    EXPECT_FALSE(WipeFile(dir / "nowhere\\x.txt", 1));
    EXPECT_FALSE(DirExists(dir / "nowhere"));

    SetFileAttributesA(ro.c_str(), FILE_ATTRIBUTE_NORMAL);
    std::vector<std::string> left = Entries(dir.Path());
    EXPECT_EQ(left.size(), 3u) << "no number-named leftovers";
}

TEST(WipeFile, MissingFileInExistingFolderCountsAsWiped)
{
    TempDir dir;
    EXPECT_TRUE(WipeFile(dir / "ghost.dat", 1));
    EXPECT_TRUE(Entries(dir.Path()).empty());
    // Twice in a row, as two entries of one history file do.
    std::string f = dir / "history.dat";
    ASSERT_TRUE(WriteFileBytes(f, "entries"));
    EXPECT_TRUE(WipeFile(f, 1));
    EXPECT_TRUE(WipeFile(f, 1));
    EXPECT_TRUE(Entries(dir.Path()).empty());
}

TEST(WipeFile, LeavesNeighboursWithNumberNamesAlone)
{
    TempDir dir;
    // One in a hundred number names taken: over 300 wipes a drawn name is taken at least once in
    // about 95 runs of 100, and a rename onto it would replace that neighbour or fail the wipe.
    const int taken = 1000;
    for (int n = 0; n < taken; ++n) ASSERT_TRUE(WriteFileBytes(dir / std::to_string(n * 100 + 7), "n"));
    for (int i = 0; i < 300; ++i) {
        std::string f = dir / ("victim" + std::to_string(i));
        ASSERT_TRUE(WriteFileBytes(f, "victim"));
        EXPECT_TRUE(WipeFile(f, -1));
    }
    int neighbours = 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir.Path() + "\\*.*").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do {
        std::string n = fd.cFileName;
        if (n == "." || n == "..") continue;
        ++neighbours;
        EXPECT_EQ(fd.nFileSizeLow, 1u) << n << " was written over";
        EXPECT_EQ(std::atoi(n.c_str()) % 100, 7) << n << " is left over";
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    EXPECT_EQ(neighbours, taken);
}

// ---- the folder walks ----

struct WipeWalk : ::testing::Test {
    TempDir dir;
    void SetUp() override { ScanState = 0; }
    void TearDown() override { ScanState = 0; }
};

TEST_F(WipeWalk, WipesOnlyEntriesWithAListedAttributeWord)
{
    std::string x = dir / "x";
    ASSERT_TRUE(CreateDirectoryA(x.c_str(), nullptr));
    ASSERT_TRUE(MakeFile(x + "\\a.txt", "a"));
    ASSERT_TRUE(CreateDirectoryA((x + "\\sub").c_str(), nullptr));
    ASSERT_TRUE(MakeFile(x + "\\sub\\b.txt", "b"));
    ASSERT_TRUE(MakeFile(x + "\\c.txt", "c", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(MakeFile(x + "\\hidden.txt", "h", FILE_ATTRIBUTE_HIDDEN));
    DWORD hiddenAttr = GetFileAttributesA((x + "\\hidden.txt").c_str());

    WipeFolder(x, 1);

    EXPECT_FALSE(FileExists(x + "\\a.txt"));
    EXPECT_FALSE(FileExists(x + "\\sub\\b.txt"));
    EXPECT_TRUE(DirExists(x + "\\sub")) << "folders stay";
    EXPECT_TRUE(Entries(x + "\\sub").empty());
    EXPECT_EQ(ReadFileBytes(x + "\\c.txt"), "c") << "read-only and archive (33) is passed over";
    // Hidden alone (2) is taken; hidden with archive (34) is not.
    EXPECT_EQ(FileExists(x + "\\hidden.txt"), hiddenAttr != 2) << hiddenAttr;
    SetFileAttributesA((x + "\\c.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WipeWalk, RecentInThePathLeavesAFolderAlone)
{
    std::string r = dir / "My Recent Work";
    ASSERT_TRUE(CreateDirectoryA(r.c_str(), nullptr));
    ASSERT_TRUE(MakeFile(r + "\\a.txt", "a"));
    WipeFolder(r, 1);
    EXPECT_EQ(ReadFileBytes(r + "\\a.txt"), "a");

    // As a subfolder of a walked tree it is skipped, and the parent goes on.
    std::string t = dir / "t";
    ASSERT_TRUE(CreateDirectoryA(t.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((t + "\\ReCeNt stuff").c_str(), nullptr));
    ASSERT_TRUE(MakeFile(t + "\\ReCeNt stuff\\in.txt", "in"));
    ASSERT_TRUE(CreateDirectoryA((t + "\\plain").c_str(), nullptr));
    ASSERT_TRUE(MakeFile(t + "\\plain\\p.txt", "p"));
    WipeFolder(t, 0);
    EXPECT_EQ(ReadFileBytes(t + "\\ReCeNt stuff\\in.txt"), "in");
    EXPECT_FALSE(FileExists(t + "\\plain\\p.txt"));
}

TEST_F(WipeWalk, RecentEntryEndsTheWalkOfItsFolder)
{
    std::string y = dir / "y";
    ASSERT_TRUE(CreateDirectoryA(y.c_str(), nullptr));
    for (const char *n : {"a.txt", "recent.doc", "z.txt", "m.txt", "b.txt"}) ASSERT_TRUE(MakeFile(y + "\\" + n, n));
    std::vector<std::string> order = Entries(y);

    WipeFolder(y, 0);

    bool seenRecent = false;
    for (const std::string &n : order) {
        if (n == "recent.doc") seenRecent = true;
        EXPECT_EQ(FileExists(y + "\\" + n), seenRecent) << n << " (listed order decides)";
    }
}

TEST_F(WipeWalk, MissingFolderDoesNothing)
{
    WipeFolder(dir / "absent", 1);
    EXPECT_FALSE(DirExists(dir / "absent"));
}

namespace {

// A window whose message, waiting at every turn of the walk, runs onMessage on the walk's thread.
struct StopWhen {
    static std::function<void(HWND)> onMessage;
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (m == WM_APP && onMessage) {
            onMessage(h);
            return 0;
        }
        return DefWindowProcA(h, m, w, l);
    }
};
std::function<void(HWND)> StopWhen::onMessage;

}  // namespace

TEST_F(WipeWalk, AbortStopsEveryLevelAtItsNextEntry)
{
    std::string top = dir / "top";
    std::string sub = top + "\\sub";
    ASSERT_TRUE(CreateDirectoryA(top.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    std::vector<std::string> all, inSub;
    for (int i = 0; i < 10; ++i) all.push_back(top + "\\t" + std::to_string(i));
    for (int i = 0; i < 10; ++i) inSub.push_back(sub + "\\s" + std::to_string(i));
    all.insert(all.end(), inSub.begin(), inSub.end());
    for (const std::string &f : all) ASSERT_TRUE(MakeFile(f, std::string(4096, 'q')));
    const std::string firstInSub = sub + "\\" + Entries(sub).front();

    WNDCLASSA wc = {};
    wc.lpfnWndProc = StopWhen::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QmWipeAbortTest";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(wnd, nullptr);

    // A turn before every entry, with the message waiting at each: the turn after the walk wiped
    // the first file of sub asks it to stop, and notes what is left.
    struct TurnEveryEntry {
        DWORD saved = ScanTurnMs;
        TurnEveryEntry() { ScanTurnMs = 0; }
        ~TurnEveryEntry() { ScanTurnMs = saved; }
    } turns;
    std::vector<std::string> leftAtStop;
    StopWhen::onMessage = [&](HWND h) {
        if (ScanState == 2) return;
        if (FileExists(firstInSub)) {
            PostMessageA(h, WM_APP, 0, 0);
            return;
        }
        ScanState = 2;
        for (const std::string &f : all)
            if (FileExists(f)) leftAtStop.push_back(f);
    };
    PostMessageA(wnd, WM_APP, 0, 0);

    WipeFolder(top, 0);

    StopWhen::onMessage = nullptr;
    DestroyWindow(wnd);
    ASSERT_EQ(ScanState, 2) << "the walk never wiped a file of sub";
    size_t subLeft = 0;
    for (const std::string &f : leftAtStop) subLeft += f.compare(0, sub.size(), sub) == 0;
    EXPECT_EQ(subLeft, inSub.size() - 1) << "the stop came at the next entry of sub";
    for (const std::string &f : leftAtStop) EXPECT_TRUE(FileExists(f)) << f << " was wiped after the stop";
}

TEST_F(WipeWalk, StoppedBeforeTheStartWipesNothing)
{
    ASSERT_TRUE(MakeFile(dir / "a.txt", "a"));
    ScanState = 2;
    WipeFolder(dir.Path(), 0);
    WipeRecycledFolderAt(dir.Path());
    EXPECT_TRUE(FileExists(dir / "a.txt"));
}

TEST_F(WipeWalk, RecycledWalkSkipsTheRecentTestAtItsOwnLevelOnly)
{
    std::string bin = dir / "Recent Recycled";
    ASSERT_TRUE(CreateDirectoryA(bin.c_str(), nullptr));
    ASSERT_TRUE(MakeFile(bin + "\\Dc1.txt", "1"));
    ASSERT_TRUE(MakeFile(bin + "\\Dc2.txt", "2"));
    ASSERT_TRUE(CreateDirectoryA((bin + "\\sub").c_str(), nullptr));
    ASSERT_TRUE(MakeFile(bin + "\\sub\\inner.txt", "i"));

    WipeRecycledFolderAt(bin);

    EXPECT_FALSE(FileExists(bin + "\\Dc1.txt"));
    EXPECT_FALSE(FileExists(bin + "\\Dc2.txt"));
    // Below its own level the walk is the ordinary one, and the path holds "Recent".
    EXPECT_EQ(ReadFileBytes(bin + "\\sub\\inner.txt"), "i");
    EXPECT_TRUE(DirExists(bin + "\\sub"));
}

TEST_F(WipeWalk, RecycledWalkWipesNestedFiles)
{
    std::string bin = dir / "Recycled";
    ASSERT_TRUE(CreateDirectoryA(bin.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((bin + "\\S-1-5").c_str(), nullptr));
    ASSERT_TRUE(MakeFile(bin + "\\S-1-5\\Dc3.doc", "doc"));
    ASSERT_TRUE(MakeFile(bin + "\\INFO2", "info", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    WipeRecycledFolderAt(bin);
    EXPECT_FALSE(FileExists(bin + "\\S-1-5\\Dc3.doc"));
    EXPECT_TRUE(FileExists(bin + "\\INFO2"));
    SetFileAttributesA((bin + "\\INFO2").c_str(), FILE_ATTRIBUTE_NORMAL);
    WipeRecycledFolderAt(dir / "no such bin");
    EXPECT_FALSE(DirExists(dir / "no such bin"));
}
