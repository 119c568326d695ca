// The shredder's list work on real files: the Recycled folder listing, the walk of listed folders
// and what is left of them in the Recycle Bin, files listed twice, lines that name nothing.
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
    return t.empty() ? t : t + "\files";
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
    // x holding a.txt (archive), sub\b.txt (archive) and c.txt (read-only and archive).
    std::string MakeTree(const std::string &name)
    {
        std::string x = dir / name;
        CreateDirectoryA(x.c_str(), nullptr);
        CreateDirectoryA((x + "\\sub").c_str(), nullptr);
        qmtest::WriteFileBytes(x + "\\a.txt", "secret a");
        qmtest::WriteFileBytes(x + "\\sub\\b.txt", "secret b");
        qmtest::WriteFileBytes(x + "\\c.txt", "kept c");
        SetFileAttributesA((x + "\\a.txt").c_str(), FILE_ATTRIBUTE_ARCHIVE);
        SetFileAttributesA((x + "\\sub\\b.txt").c_str(), FILE_ATTRIBUTE_ARCHIVE);
        SetFileAttributesA((x + "\\c.txt").c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY);
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

TEST_F(ShredTest, RecycledFolderIsOnTheSystemDrive)
{
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(RecycledFolderOfSystemDrive(), std::string(system, 3) + "Recycled");
}

TEST_F(ShredTest, ListedFolderIsWipedThenWhatIsLeftGoesToTheRecycleBinAtEveryLevel)
{
    const std::string trash = TrashFiles();
    for (int level = 0; level < 3; ++level) {
        std::string x = MakeTree("qmshred" + std::to_string(GetTickCount()) + "L" + std::to_string(level));
        ShredLines({x}, ShredLevelPasses(level));
        EXPECT_FALSE(qmtest::DirExists(x)) << level;
        if (!qmtest::DirExists(trash)) continue;   // no desktop trash: only the removal is seen
        std::string recycled = trash + "\\" + Name(x);
        ASSERT_TRUE(qmtest::DirExists(recycled)) << level;
        EXPECT_FALSE(qmtest::FileExists(recycled + "\\a.txt")) << level;        // wiped
        EXPECT_FALSE(qmtest::FileExists(recycled + "\\sub\\b.txt")) << level;   // wiped
        EXPECT_TRUE(qmtest::DirExists(recycled + "\\sub")) << level;            // folders stay for the bin
        EXPECT_EQ(qmtest::ReadFileBytes(recycled + "\\c.txt"), "kept c") << level;   // attribute word 33
        SetFileAttributesA((recycled + "\\c.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        Forget(recycled);
    }
}

TEST_F(ShredTest, FolderWithRecentInItsPathKeepsItsFilesForTheRecycleBin)
{
    std::string x = MakeTree("My Recent Work " + std::to_string(GetTickCount()));
    ShredLines({x}, 1);
    EXPECT_FALSE(qmtest::DirExists(x));
    const std::string trash = TrashFiles();
    if (qmtest::DirExists(trash)) {
        std::string recycled = trash + "\\" + Name(x);
        ASSERT_TRUE(qmtest::DirExists(recycled));
        EXPECT_EQ(qmtest::ReadFileBytes(recycled + "\\a.txt"), "secret a");
        EXPECT_EQ(qmtest::ReadFileBytes(recycled + "\\sub\\b.txt"), "secret b");
        Forget(recycled);
    }
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

TEST_F(ShredTest, ReadOnlyListedFileStays)
{
    std::string f = dir / "ro.txt";
    qmtest::WriteFileBytes(f, "ro");
    SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_READONLY);
    ShredLines({f}, 1);
    EXPECT_EQ(qmtest::ReadFileBytes(f), "ro");
    SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
