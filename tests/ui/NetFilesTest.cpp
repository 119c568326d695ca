// The runtime file classes: string list line splitting, INI sections, file streams.
#include "TestSupport.h"
#include "ui/Exceptions.h"
#include "ui/FileStream.h"
#include "ui/IniFile.h"
#include "ui/StringList.h"
#include <gtest/gtest.h>

using namespace qmtest;

TEST(NetStringList, SplitsAtEveryKindOfLineEnd)
{
    ui::TStringList list;
    list.SetText("a\r\nb\rc\nd");
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[0], "a");
    EXPECT_EQ(list[1], "b");
    EXPECT_EQ(list[2], "c");
    EXPECT_EQ(list[3], "d");

    // LF CR is two line ends, and an empty line in the middle is kept; a final end adds no line.
    list.SetText("x\n\ry\r\n\r\nz\r\n");
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(list[1], "");
    EXPECT_EQ(list[2], "y");
    EXPECT_EQ(list[3], "");
    EXPECT_EQ(list[4], "z");

    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
    list.SetText("\r\n");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list[0], "");
}

TEST(NetStringList, LoadsAndSavesFiles)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "in.txt", std::string("one\r\ntwo\nthr\0ee\rfour", 20)));
    ui::TStringList list;
    list.LoadFromFile(dir / "in.txt");
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[2], std::string("thr\0ee", 6));   // a NUL byte does not end the line
    EXPECT_EQ(list[3], "four");

    list.SaveToFile(dir / "out.txt");
    EXPECT_EQ(ReadFileBytes(dir / "out.txt"), std::string("one\r\ntwo\r\nthr\0ee\r\nfour\r\n", 24));

    EXPECT_THROW(list.LoadFromFile(dir / "missing.txt"), ui::Exception);
    EXPECT_EQ(list.Count(), 4);   // a failed load leaves the list as it was
    EXPECT_THROW(list.SaveToFile(dir / "no\\such\\folder.txt"), ui::Exception);
}

TEST(NetStringList, NamesValuesAndBounds)
{
    ui::TStringList list;
    list.Add("File1=http://host/update/a=b.exe");
    list.Add("novalue");
    EXPECT_EQ(list.Names(0), "File1");
    EXPECT_EQ(list.ValueFromIndex(0), "http://host/update/a=b.exe");   // only the first '=' splits
    EXPECT_EQ(list.Names(1), "novalue");
    EXPECT_EQ(list.ValueFromIndex(1), "");
    EXPECT_EQ(list.IndexOf("novalue"), 1);
    EXPECT_EQ(list.IndexOf("NOVALUE"), -1);
    list.Insert(0, "first");
    EXPECT_EQ(list[1], "File1=http://host/update/a=b.exe");
    list.Delete(0);
    EXPECT_EQ(list[0], "File1=http://host/update/a=b.exe");
    EXPECT_THROW(list[2], ui::Exception);
    EXPECT_THROW(list.Delete(-1), ui::Exception);
    EXPECT_THROW(list.Insert(5, "x"), ui::Exception);
}

TEST(NetIniFile, SectionValuesKeepFileOrderAndDuplicates)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "Update.ini",
                               "\xEF\xBB\xBF[Version]\r\nVersion=3.8\r\n"
                               "[HTTP]\nZ=http://h/update/z.dll\n; a comment\n"
                               "  A  =  http://h/update/a.exe  \r\n\r\nnot an entry\r\n"
                               "Z=http://h/update/second.dll\r"
                               "M=\"http://h/update/q.dat\"\n"
                               "[Other]\nX=1\n"));
    ui::TIniFile ini(dir / "Update.ini");
    ui::TStringList list;
    list.Add("stale");
    ini.ReadSectionValues("HTTP", list);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list[0], "Z=http://h/update/z.dll");
    EXPECT_EQ(list[1], "A=http://h/update/a.exe");
    EXPECT_EQ(list[2], "Z=http://h/update/second.dll");
    EXPECT_EQ(list[3], "M=http://h/update/q.dat");

    EXPECT_EQ(ini.ReadString("Version", "Version", ""), "3.8");   // the byte-order mark is not a name
    EXPECT_EQ(ini.ReadString("version", "VERSION", ""), "3.8");   // names match without case
    EXPECT_EQ(ini.ReadString("HTTP", "z", "-"), "http://h/update/z.dll");   // first of duplicates
    EXPECT_EQ(ini.ReadString("Version", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Nowhere", "Version", "dflt"), "dflt");
    EXPECT_FALSE(ini.SectionExists("Nowhere"));
    ini.ReadSectionValues("Nowhere", list);
    EXPECT_EQ(list.Count(), 0);
}

TEST(NetIniFile, MissingFileReadsEmpty)
{
    TempDir dir;
    ui::TIniFile ini(dir / "none.ini");
    EXPECT_EQ(ini.ReadString("Version", "Version", ""), "");
    ui::TStringList list;
    ini.ReadSectionValues("HTTP", list);
    EXPECT_EQ(list.Count(), 0);
}

TEST(NetFileStream, CreateWriteReadSize)
{
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "f.bin", "old content that is longer"));
    {
        ui::TFileStream f(dir / "f.bin", ui::fmCreate);   // replaces what was there
        EXPECT_EQ(f.Size(), 0);
        f.WriteBuffer("hello", 5);
        f.WriteBuffer(" world", 6);
        EXPECT_EQ(f.Size(), 11);
        f.SetPosition(6);
        char buf[8] = {};
        EXPECT_EQ(f.Read(buf, 8), 5);
        EXPECT_EQ(std::string(buf, 5), "world");
        f.Close();
        EXPECT_EQ(f.Write("x", 1), 0);   // closed: nothing more reaches the file
    }
    EXPECT_EQ(ReadFileBytes(dir / "f.bin"), "hello world");

    {
        ui::TFileStream f(dir / "f.bin", ui::fmOpenRead | ui::fmShareDenyWrite);
        EXPECT_EQ(f.Size(), 11);
        char buf[20];
        EXPECT_THROW(f.ReadBuffer(buf, 12), ui::Exception);   // asks for more than there is
        EXPECT_EQ(f.Write("x", 1), 0);                          // opened for reading only
    }
    EXPECT_EQ(ReadFileBytes(dir / "f.bin"), "hello world");
}

TEST(NetFileStream, FailuresNameTheFile)
{
    TempDir dir;
    try {
        ui::TFileStream f(dir / "missing.bin", ui::fmOpenRead);
        FAIL() << "opened a missing file";
    } catch (const ui::Exception &e) {
        EXPECT_NE(std::string(e.what()).find("missing.bin"), std::string::npos) << e.what();
    }
    EXPECT_THROW(ui::TFileStream(dir / "no\\folder\\x.bin", ui::fmCreate), ui::Exception);
    EXPECT_FALSE(FileExists(dir / "missing.bin"));
}

TEST(NetFileStream, MemoryStreamGrowsAndSeeks)
{
    ui::TMemoryStream m;
    m.WriteBuffer("abcdef", 6);
    m.SetPosition(2);
    m.WriteBuffer("XYZW", 4);
    m.WriteBuffer("!", 1);
    EXPECT_EQ(m.Data(), "abXYZW!");
    EXPECT_EQ(m.Seek(-3, FILE_END), 4);
    char buf[10];
    EXPECT_EQ(m.Read(buf, 10), 3);
    EXPECT_EQ(std::string(buf, 3), "ZW!");
    EXPECT_EQ(m.Read(buf, 10), 0);
}
