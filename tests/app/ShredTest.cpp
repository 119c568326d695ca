// The shredder's list work on real files: the Recycled folder listing, the walk of listed folders
// and what is left of them in the Recycle Bin, files that cannot be wiped, a stop, files listed
// twice, lines that name nothing.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <string>
#include <vector>
#include "TestSupport.h"
#include "app/UnitFileDelete.h"
#include "engine/ResultContentUnit.h"

namespace {

// Wine keeps the Recycle Bin in the desktop's trash folder.
std::string TrashFiles()
{
    std::string t = qmtest::WineTrashFolder();
    return t.empty() ? t : t + "\\files";
}

// Empties our entry from the Recycle Bin again.
void Forget(const std::string &recycled)
{
    SetFileAttributesA((recycled + "\\c.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    qmtest::DeleteTreeA(recycled);
    std::string info = recycled;
    info.replace(info.rfind("\\files\\"), 7, "\\info\\");
    DeleteFileA((info + ".trashinfo").c_str());
}

std::string Name(const std::string &path) { return path.substr(path.rfind('\\') + 1); }

class ShredTest : public ::testing::Test {
protected:
    qmtest::TempDir dir;
    char cwd[MAX_PATH] = {0};
    void SetUp() override { GetCurrentDirectoryA(MAX_PATH, cwd); }
    void TearDown() override
    {
        SetCurrentDirectoryA(cwd);
        ScanState = 0;
    }
    // x holding a.txt (archive), sub (directory, archive) with b.txt (archive), c.txt (read-only and
    // archive) and h.txt (hidden, system, archive): words the engine's folder walk passes over.
    std::string MakeTree(const std::string &name)
    {
        std::string x = dir / name;
        CreateDirectoryA(x.c_str(), nullptr);
        CreateDirectoryA((x + "\\sub").c_str(), nullptr);
        qmtest::WriteFileBytes(x + "\\a.txt", "secret a");
        qmtest::WriteFileBytes(x + "\\sub\\b.txt", "secret b");
        qmtest::WriteFileBytes(x + "\\c.txt", "secret c");
        qmtest::WriteFileBytes(x + "\\h.txt", "secret h");
        SetFileAttributesA((x + "\\a.txt").c_str(), FILE_ATTRIBUTE_ARCHIVE);
        SetFileAttributesA((x + "\\sub").c_str(), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_ARCHIVE);
        SetFileAttributesA((x + "\\sub\\b.txt").c_str(), FILE_ATTRIBUTE_ARCHIVE);
        SetFileAttributesA((x + "\\c.txt").c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
        SetFileAttributesA((x + "\\h.txt").c_str(),
                           FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        return x;
    }
};

TEST(ShredLevels, GiveThePassCountsOfTheirLevel)
{
    EXPECT_EQ(ShredLevelPasses(0), 1);
    EXPECT_EQ(ShredLevelPasses(1), 2);
    EXPECT_EQ(ShredLevelPasses(2), 7);
    EXPECT_EQ(ShredLevelPasses(-1), 1);
}

TEST_F(ShredTest, RecycledListingPassesOverDotsInfo2AndDesktopIni)
{
    std::string r = dir / "Recycled";
    CreateDirectoryA(r.c_str(), nullptr);
    qmtest::WriteFileBytes(r + "\\INFO2", "x");
    qmtest::WriteFileBytes(r + "\\Desktop.INI", "x");
    qmtest::WriteFileBytes(r + "\\Dc1.txt", "x");
    qmtest::WriteFileBytes(r + "\\Dc2.doc", "x");
    CreateDirectoryA((r + "\\S-1-5-21").c_str(), nullptr);   // a folder's word, 16, is below 101 too
    SetFileAttributesA((r + "\\Dc1.txt").c_str(), FILE_ATTRIBUTE_ARCHIVE);
    SetFileAttributesA((r + "\\Dc2.doc").c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);

    std::vector<std::string> lines = {"kept first"};
    AddRecycledFilesToList(lines, r);
    std::sort(lines.begin() + 1, lines.end());
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "kept first");
    EXPECT_EQ(lines[1], r + "\\Dc1.txt");
    EXPECT_EQ(lines[2], r + "\\Dc2.doc");
    EXPECT_EQ(lines[3], r + "\\S-1-5-21");

    std::vector<std::string> none;
    AddRecycledFilesToList(none, dir / "NoSuchRecycled");
    EXPECT_TRUE(none.empty());
}

TEST_F(ShredTest, EveryFileOfAListedFolderIsWipedThenTheFolderGoesToTheRecycleBinAtEveryLevel)
{
    const std::string trash = TrashFiles();
    for (int level = 0; level < 3; ++level) {
        // A folder with "Recent" in its name is shredded like any other.
        std::string x = MakeTree("My Recent " + std::to_string(GetTickCount()) + "L" + std::to_string(level));
        const TShredOutcome outcome = ShredLines({x}, ShredLevelPasses(level));
        EXPECT_EQ(outcome.NotShredded, 0) << level;
        EXPECT_FALSE(outcome.Stopped) << level;
        EXPECT_FALSE(qmtest::DirExists(x)) << level;
        if (trash.empty() || !qmtest::DirExists(trash)) continue;   // no desktop trash: only the removal is seen
        std::string recycled = trash + "\\" + Name(x);
        ASSERT_TRUE(qmtest::DirExists(recycled)) << level;
        EXPECT_TRUE(qmtest::DirExists(recycled + "\\sub")) << level;   // folders stay for the bin
        for (const char *f : {"a.txt", "sub\\b.txt", "c.txt", "h.txt"})
            EXPECT_FALSE(qmtest::FileExists(recycled + "\\" + f)) << level << f;
        Forget(recycled);
    }
}

TEST_F(ShredTest, AFileThatCannotBeWipedKeepsItsFolderOutOfTheRecycleBinAndIsCounted)
{
    std::string x = MakeTree("busy" + std::to_string(GetTickCount()));
    const std::string later = dir / "later.txt";
    qmtest::WriteFileBytes(later, "later");
    HANDLE busy = CreateFileA((x + "\\sub\\b.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    const TShredOutcome outcome = ShredLines({x, later}, 1);
    CloseHandle(busy);
    EXPECT_EQ(outcome.NotShredded, 1);
    EXPECT_FALSE(outcome.Stopped);
    // The others are wiped, the busy one is untouched, and the folder stays where it was.
    ASSERT_TRUE(qmtest::DirExists(x));
    EXPECT_EQ(qmtest::ReadFileBytes(x + "\\sub\\b.txt"), "secret b");
    for (const char *f : {"a.txt", "c.txt", "h.txt"}) EXPECT_FALSE(qmtest::FileExists(x + "\\" + f)) << f;
    EXPECT_FALSE(qmtest::FileExists(later));   // the run went on with the next line

    // Once free, the next shred takes it.
    EXPECT_EQ(ShredLines({x}, 1).NotShredded, 0);
    EXPECT_FALSE(qmtest::DirExists(x));
    const std::string trash = TrashFiles();
    if (!trash.empty() && qmtest::DirExists(trash + "\\" + Name(x))) Forget(trash + "\\" + Name(x));
}

namespace {

// Sets ScanState to 2 when the walk's pump handles the posted message: the tray's quit.
LRESULT CALLBACK QuitProbeProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_APP + 3) ScanState = 2;
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

}  // namespace

TEST_F(ShredTest, AStopLeavesTheFolderBeingWalkedAndTheLinesAfterIt)
{
    std::string x = MakeTree("stopped" + std::to_string(GetTickCount()));
    const std::string later = dir / "later.txt";
    qmtest::WriteFileBytes(later, "later");
    WNDCLASSA wc{};
    wc.lpfnWndProc = QuitProbeProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "QmShredQuitProbe";
    RegisterClassA(&wc);
    HWND probe = CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(probe, nullptr);
    PostMessageA(probe, WM_APP + 3, 0, 0);
    const TShredOutcome outcome = ShredLines({x, later}, 1);
    DestroyWindow(probe);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
    EXPECT_TRUE(outcome.Stopped);
    ASSERT_TRUE(qmtest::DirExists(x));
    EXPECT_EQ(qmtest::ReadFileBytes(x + "\\sub\\b.txt"), "secret b");
    EXPECT_EQ(qmtest::ReadFileBytes(later), "later");
    SetFileAttributesA((x + "\\c.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ShredTest, FileListedTwiceIsWipedOnceAndTheSecondLineChangesNothing)
{
    std::string f = dir / "twice.txt";
    std::string other = dir / "other.txt";
    qmtest::WriteFileBytes(f, "12345");
    qmtest::WriteFileBytes(other, "stay");
    ShredLines({f, f}, 7);
    EXPECT_FALSE(qmtest::FileExists(f));
    EXPECT_TRUE(qmtest::DirExists(dir.Path()));
    EXPECT_EQ(qmtest::ReadFileBytes(other), "stay");
    // Nothing but the other file is left in the folder: no renamed remains of the wiped one.
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir / "*").c_str(), &fd);
    int files = 0;
    if (h != INVALID_HANDLE_VALUE) {
        do
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++files;
        while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    EXPECT_EQ(files, 1);
}

TEST_F(ShredTest, LinesThatNameNothingOrAPatternChangeNothing)
{
    std::string f = dir / "keep.txt";
    qmtest::WriteFileBytes(f, "keep");
    SetCurrentDirectoryA(dir.Path().c_str());
    ShredLines({dir / "missing", dir / "*.txt", "keep.txt*"}, 1);
    EXPECT_EQ(qmtest::ReadFileBytes(f), "keep");
    EXPECT_TRUE(qmtest::DirExists(dir.Path()));
}

TEST_F(ShredTest, ReadOnlyListedFileIsShreddedUnlessInUse)
{
    std::string f = dir / "ro.txt", busy = dir / "busy.txt";
    qmtest::WriteFileBytes(f, "ro");
    qmtest::WriteFileBytes(busy, "busy");
    SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(busy.c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE h = CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const TShredOutcome outcome = ShredLines({f, busy}, 1);
    CloseHandle(h);
    EXPECT_FALSE(qmtest::FileExists(f));
    EXPECT_EQ(outcome.NotShredded, 1);
    // The one left keeps its content and its mark.
    EXPECT_EQ(qmtest::ReadFileBytes(busy), "busy");
    EXPECT_TRUE(GetFileAttributesA(busy.c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(busy.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
