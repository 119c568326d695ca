// Location strings, value reads through them, the exclusion tests and the Firefox test.
#include <gtest/gtest.h>
#include "TestSupport.h"
#include <tlhelp32.h>
#include "engine/PublicFunctionUnit.h"

namespace {

const char *const TestKey = "Software\\QuillmoorTest\\PublicFunction";

TEST(RootKeyFromName, KnowsTheFivePredefinedRootsExactly)
{
    EXPECT_EQ(RootKeyFromName("HKEY_CLASSES_ROOT"), HKEY_CLASSES_ROOT);
    EXPECT_EQ(RootKeyFromName("HKEY_CURRENT_USER"), HKEY_CURRENT_USER);
    EXPECT_EQ(RootKeyFromName("HKEY_LOCAL_MACHINE"), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(RootKeyFromName("HKEY_USERS"), HKEY_USERS);
    EXPECT_EQ(RootKeyFromName("HKEY_CURRENT_CONFIG"), HKEY_CURRENT_CONFIG);

    EXPECT_EQ(RootKeyFromName("hkey_current_user"), nullptr);
    EXPECT_EQ(RootKeyFromName("HKEY_CURRENT_USER "), nullptr);
    EXPECT_EQ(RootKeyFromName("HKEY_PERFORMANCE_DATA"), nullptr);
    EXPECT_EQ(RootKeyFromName("HKEY_DYN_DATA"), nullptr);
    EXPECT_EQ(RootKeyFromName("HKCU"), nullptr);
    EXPECT_EQ(RootKeyFromName(""), nullptr);
}

TEST(SplitLocation, GivesTheRootAndThePathAfterTheFirstBackslash)
{
    HKEY root = nullptr;
    std::string path;
    SplitLocation("HKEY_LOCAL_MACHINE\\Software\\Microsoft", root, path);
    EXPECT_EQ(root, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(path, "Software\\Microsoft");

    // A root name repeated further on belongs to the path.
    SplitLocation("HKEY_CURRENT_USER\\Software\\HKEY_CURRENT_USER\\x", root, path);
    EXPECT_EQ(root, HKEY_CURRENT_USER);
    EXPECT_EQ(path, "Software\\HKEY_CURRENT_USER\\x");

    SplitLocation("HKEY_CURRENT_USER", root, path);
    EXPECT_EQ(root, nullptr);
    SplitLocation("HKCU\\Software", root, path);
    EXPECT_EQ(root, nullptr);
}

struct ReadRegStringTest : ::testing::Test {
    qmtest::RegKeyGuard guard{HKEY_CURRENT_USER, TestKey};
    std::string location = std::string("HKEY_CURRENT_USER\\") + TestKey;
};

TEST_F(ReadRegStringTest, ReadsTextValuesAsStored)
{
    ASSERT_TRUE(qmtest::RegSetString(HKEY_CURRENT_USER, TestKey, "a", "C:\\one.bmp"));
    ASSERT_TRUE(qmtest::RegSetString(HKEY_CURRENT_USER, TestKey, "x", "%WINDIR%\\x", REG_EXPAND_SZ));
    std::string s;
    ReadRegString(location, "a", s);
    EXPECT_EQ(s, "C:\\one.bmp");
    s.clear();
    ReadRegString(location, "x", s);
    EXPECT_EQ(s, "%WINDIR%\\x");   // not expanded
}

TEST_F(ReadRegStringTest, MissingValueAndNonTextValueReadEmpty)
{
    ASSERT_TRUE(qmtest::RegSetDword(HKEY_CURRENT_USER, TestKey, "n", 7));
    const char bin[] = {1, 2, 3};
    ASSERT_TRUE(qmtest::RegSetBinary(HKEY_CURRENT_USER, TestKey, "b", bin, 3));
    ASSERT_TRUE(qmtest::RegSetString(HKEY_CURRENT_USER, TestKey, "m", std::string("p\0q\0", 4), REG_MULTI_SZ));
    for (const char *name : {"missing", "n", "b", "m"}) {
        std::string s = "sentinel";
        ReadRegString(location, name, s);
        EXPECT_EQ(s, "") << name;
    }
}

TEST_F(ReadRegStringTest, KeyThatDoesNotOpenLeavesTheResultAsPassed)
{
    ASSERT_TRUE(qmtest::RegSetString(HKEY_CURRENT_USER, TestKey, "a", "data"));
    for (const std::string &loc : {location + "\\NoSuchKey", std::string("HKEY_CURRENT_USER"),
                                   std::string("hkey_current_user\\") + TestKey, std::string(TestKey)}) {
        std::string s = "sentinel";
        ReadRegString(loc, "a", s);
        EXPECT_EQ(s, "sentinel") << loc;
    }
    EXPECT_FALSE(qmtest::RegKeyExists(HKEY_CURRENT_USER, std::string(TestKey) + "\\NoSuchKey"));   // never created
}

struct ExclusionTest : ::testing::Test {
    TExcludeContents list;
    void Add(const std::string &item, const std::string &location, const std::string &entry, const std::string &data)
    {
        exclude::TContent &c = list.GetItem(list.AddItem())->Content;
        c.ItemName = item;
        c.Location = location;
        c.Entry = entry;
        c.Data = data;
    }
};

TEST_F(ExclusionTest, IsExcludedComparesNameAndPlaceExactly)
{
    EXPECT_FALSE(IsExcluded("Cache", "http://a.example/x", &list));
    EXPECT_FALSE(IsExcluded("Cache", "http://a.example/x", nullptr));
    Add("Cache", "http://a.example/x", "", "");
    EXPECT_TRUE(IsExcluded("Cache", "http://a.example/x", &list));
    EXPECT_FALSE(IsExcluded("Cache", "http://A.example/x", &list));
    EXPECT_FALSE(IsExcluded("Cache", "http://a.example/x ", &list));
    EXPECT_FALSE(IsExcluded("Cookies", "http://a.example/x", &list));
    EXPECT_FALSE(IsExcluded("cache", "http://a.example/x", &list));
}

TEST_F(ExclusionTest, IsRegExcludedTrimsOnlyTheData)
{
    const std::string paint = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List";
    Add("Paint", paint, "whatever", " C:\\a.bmp");
    EXPECT_TRUE(IsRegExcluded("Paint", paint, "File1", &list, "C:\\a.bmp"));
    EXPECT_TRUE(IsRegExcluded("Paint", paint, "File9", &list, "C:\\a.bmp\t\r\n"));   // any value name
    EXPECT_FALSE(IsRegExcluded("Paint", paint, "File1", &list, "c:\\a.bmp"));
    EXPECT_FALSE(IsRegExcluded("Paint", paint + " ", "File1", &list, "C:\\a.bmp"));
    EXPECT_FALSE(IsRegExcluded("WordPad", paint, "File1", &list, "C:\\a.bmp"));
    EXPECT_FALSE(IsRegExcluded("Paint", paint, "File1", nullptr, "C:\\a.bmp"));
}

TEST_F(ExclusionTest, EmptyDataExcludesOnlyBlankData)
{
    const std::string loc = "HKEY_CURRENT_USER\\Software\\Microsoft\\Telnet\\A";
    Add("Telnet Menu History", loc, "", "");
    EXPECT_TRUE(IsRegExcluded("Telnet Menu History", loc, "", &list, ""));
    EXPECT_TRUE(IsRegExcluded("Telnet Menu History", loc, "v", &list, std::string(" \t\x01\x1f ", 5)));
    EXPECT_FALSE(IsRegExcluded("Telnet Menu History", loc, "v", &list, "x"));
    EXPECT_FALSE(IsRegExcluded("Telnet Menu History", loc + "B", "", &list, ""));
}

TEST_F(ExclusionTest, LaterItemsAreFoundToo)
{
    Add("Paint", "L1", "", "a");
    Add("Paint", "L2", "", "b");
    Add("Cache", "u", "", "");
    EXPECT_TRUE(IsRegExcluded("Paint", "L2", "", &list, "b"));
    EXPECT_FALSE(IsRegExcluded("Paint", "L2", "", &list, "a"));
    EXPECT_TRUE(IsExcluded("Cache", "u", &list));
}

// The tests answer from an index of the list: it must follow every way the list changes.
TEST_F(ExclusionTest, LookUpsFollowEveryChangeOfTheList)
{
    Add("Paint", "L", "", " a ");
    EXPECT_TRUE(IsRegExcluded("Paint", "L", "", &list, "a"));
    // Fields that only differ where one ends and the next begins are different exclusions.
    EXPECT_FALSE(IsExcluded("PaintL", "", &list));
    EXPECT_FALSE(IsRegExcluded("Paint", "", "", &list, "La"));

    list.GetItem(0)->Content.Location = "M";
    list.GetItem(0)->Content.Data = "b";
    EXPECT_FALSE(IsExcluded("Paint", "L", &list));
    EXPECT_FALSE(IsRegExcluded("Paint", "M", "", &list, "a"));
    EXPECT_TRUE(IsRegExcluded("Paint", "M", "", &list, "b"));

    Add("Paint", "M", "", "c");   // the same place twice: removing one leaves the other
    list.Delete(0);
    EXPECT_TRUE(IsExcluded("Paint", "M", &list));
    EXPECT_FALSE(IsRegExcluded("Paint", "M", "", &list, "b"));
    EXPECT_TRUE(IsRegExcluded("Paint", "M", "", &list, "c"));

    list.Clear();
    EXPECT_FALSE(IsExcluded("Paint", "M", &list));
    Add("", "", "", "");
    EXPECT_TRUE(IsExcluded("", "", &list));
    EXPECT_TRUE(IsRegExcluded("", "", "x", &list, "\t"));
}

// A copy of the sleeper program under another name, running until the object goes.
class NamedProcess {
public:
    NamedProcess(const qmtest::TempDir &dir, const std::string &name)
    {
        const std::string exe = dir / name;
        if (!CopyFileA(QM_BINARY_DIR "\\tests\\qm_sleeper.exe", exe.c_str(), FALSE)) return;
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        std::string cmd = "\"" + exe + "\" 60000";
        if (CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) started_ = true;
    }
    ~NamedProcess()
    {
        if (!started_) return;
        TerminateProcess(pi_.hProcess, 0);
        WaitForSingleObject(pi_.hProcess, 10000);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    bool Started() const { return started_; }

private:
    PROCESS_INFORMATION pi_ = {};
    bool started_ = false;
};

// Waits until the snapshot lists a process named name (any letter case), or a few seconds pass.
bool WaitForProcessName(const std::string &name)
{
    for (int i = 0; i < 100; ++i) {
        HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 pe = {};
        pe.dwSize = sizeof(pe);
        bool seen = false;
        for (BOOL ok = Process32First(snap, &pe); ok && !seen; ok = Process32Next(snap, &pe))
            seen = lstrcmpiA(pe.szExeFile, name.c_str()) == 0;
        CloseHandle(snap);
        if (seen) return true;
        Sleep(50);
    }
    return false;
}

TEST(IsFirefoxRunning, TrueOnlyWhileAProcessOfThatNameRuns)
{
    ASSERT_FALSE(IsFirefoxRunning());
    qmtest::TempDir dir;
    {
        NamedProcess other(dir, "firefox.exe.exe");   // a longer name is another program
        ASSERT_TRUE(other.Started());
        ASSERT_TRUE(WaitForProcessName("firefox.exe.exe"));
        EXPECT_FALSE(IsFirefoxRunning());
    }
    {
        NamedProcess fox(dir, "FireFox.EXE");
        ASSERT_TRUE(fox.Started());
        ASSERT_TRUE(WaitForProcessName("firefox.exe"));
        EXPECT_TRUE(IsFirefoxRunning());
    }
    for (int i = 0; i < 100 && IsFirefoxRunning(); ++i) Sleep(50);
    EXPECT_FALSE(IsFirefoxRunning());
}

}  // namespace
