// The recycle bin and the fixed "c:\Recycled" folder, through wine's own shell.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include "TestSupport.h"
#include "engine/ResultContentUnit.h"
#include "engine/WipeUnit.h"

using namespace qmtest;

TEST(RecycleBin, EmptyingRemovesWhatWasRecycled)
{
    // Earlier test programs of the same session may leave things the shell cannot remove (read-only
    // files inside recycled folders): what this test recycled must go, and nothing may be added.
    EmptyRecycleBin();
    const LONGLONG before = RecycleBinItems();
    TempDir dir;
    const std::string name = "thrown away " + std::to_string(GetTickCount()) + ".txt";
    ASSERT_TRUE(WriteFileBytes(dir / name, "bin me"));
    ASSERT_TRUE(WriteFileBytes(dir / "second.txt", "me too"));
    ASSERT_TRUE(Recycle(dir / name));
    ASSERT_TRUE(Recycle(dir / "second.txt"));
    ASSERT_GE(RecycleBinItems(), before + 2);
    const std::string trash = WineTrashFolder();
    if (!trash.empty()) {
        ASSERT_TRUE(FileExists(trash + "\\files\\" + name));
    }

    EmptyRecycleBin();

    EXPECT_LE(RecycleBinItems(), before);
    if (before == 0) {
        EXPECT_EQ(RecycleBinItems(), 0);
    }
    if (!trash.empty()) {
        EXPECT_FALSE(FileExists(trash + "\\files\\" + name));
    }
}

TEST(RecycleBin, AutoStartWithoutRecycledFolderStillEmptiesTheBin)
{
    if (DirExists("c:\\Recycled")) GTEST_SKIP() << "this system has a c:\\Recycled folder";
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "old.doc", "old"));
    ASSERT_TRUE(Recycle(dir / "old.doc"));
    ASSERT_GE(RecycleBinItems(), 1);

    WipeRecycledFolder();
    EmptyRecycleBinForAutoRun();

    EXPECT_FALSE(DirExists("c:\\Recycled"));
    EXPECT_EQ(RecycleBinItems(), 0);
}

TEST(RecycleBin, RecycledFolderContentsAreWipedButTheFoldersStay)
{
    if (DirExists("c:\\Recycled")) GTEST_SKIP() << "will not touch an existing c:\\Recycled";
    ASSERT_TRUE(CreateDirectoryA("c:\\Recycled", nullptr));
    ASSERT_TRUE(CreateDirectoryA("c:\\Recycled\\S-1-5-21", nullptr));
    ASSERT_TRUE(WriteFileBytes("c:\\Recycled\\Dc1.txt", "one"));
    ASSERT_TRUE(WriteFileBytes("c:\\Recycled\\S-1-5-21\\Dc2.txt", "two"));
    ScanState = 0;

    WipeRecycledFolder();

    EXPECT_FALSE(FileExists("c:\\Recycled\\Dc1.txt"));
    EXPECT_FALSE(FileExists("c:\\Recycled\\S-1-5-21\\Dc2.txt"));
    EXPECT_TRUE(DirExists("c:\\Recycled\\S-1-5-21"));
    DeleteTreeA("c:\\Recycled");
}
