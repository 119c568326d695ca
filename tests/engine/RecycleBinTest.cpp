// The recycle bin through wine's own shell, and the recycled folders that wine does not keep, built
// by hand.
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
    OwnedFolder recycled("c:\\Recycled");
    if (!recycled.Made()) GTEST_SKIP() << "will not touch an existing c:\\Recycled";
    ASSERT_TRUE(CreateDirectoryA("c:\\Recycled\\S-1-5-21", nullptr));
    ASSERT_TRUE(WriteFileBytes("c:\\Recycled\\Dc1.txt", "one"));
    ASSERT_TRUE(WriteFileBytes("c:\\Recycled\\S-1-5-21\\Dc2.txt", "two"));
    ScanState = 0;

    WipeRecycledFolder();

    EXPECT_FALSE(FileExists("c:\\Recycled\\Dc1.txt"));
    EXPECT_FALSE(FileExists("c:\\Recycled\\S-1-5-21\\Dc2.txt"));
    EXPECT_TRUE(DirExists("c:\\Recycled\\S-1-5-21"));
}

TEST(RecycleBin, ADeletedFolderCountsAsWipedOnlyWhenItIsGone)
{
    TempDir dir;
    for (const char *f : {"$RAB", "$RAB\\sub", "$RAB\\sub\\deeper", "$RCD", "$REF", "$REF\\sub"})
        ASSERT_TRUE(CreateDirectoryA((dir / f).c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(dir / "$RAB\\sub\\a.txt", "secret"));
    ASSERT_TRUE(WriteFileBytes(dir / "$RCD\\b.txt", "secret"));
    // read-only and archive: a word the folder walk passes over
    ASSERT_TRUE(SetFileAttributesA((dir / "$RCD\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_TRUE(WipeRecycledFolderEntry(dir / "$RAB", 0));
    EXPECT_FALSE(DirExists(dir / "$RAB"));
    EXPECT_FALSE(WipeRecycledFolderEntry(dir / "$RCD", 0));
    EXPECT_EQ(ReadFileBytes(dir / "$RCD\\b.txt"), "secret");
    EXPECT_TRUE(DirExists(dir / "$RCD"));
    // A folder below that is there but cannot be listed may hold files: it stays, and so does the
    // entry. A folder that is gone holds none.
    HANDLE held = CreateFileA((dir / "$REF\\sub").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WipeRecycledFolderEntry(dir / "$REF", 0));
    EXPECT_TRUE(DirExists(dir / "$REF\\sub"));
    CloseHandle(held);
    EXPECT_TRUE(WipeRecycledFolderEntry(dir / "$RGONE", 0));
}
