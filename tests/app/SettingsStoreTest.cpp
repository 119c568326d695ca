#include <gtest/gtest.h>
#include "TestSupport.h"
#include "app/SettingsUnit.h"
#include "ui/DateTime.h"
#include "ui/Exceptions.h"

namespace {

const char *const Key = "Software\\Quillmoor";
const char *const RunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Every test starts from an empty settings key and a blank Settings record.
struct SettingsStore : ::testing::Test {
    qmtest::RegKeyGuard guard{HKEY_LOCAL_MACHINE, Key};
    void SetUp() override { Settings = TMyRegistryInfo(); }
    void TearDown() override
    {
        HKEY h;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKeyPath, 0, KEY_ALL_ACCESS, &h) == ERROR_SUCCESS) {
            RegDeleteValueA(h, ProgramFileName().c_str());
            RegCloseKey(h);
        }
        Settings = TMyRegistryInfo();
    }
    static DWORD Dword(const char *name)
    {
        HKEY h;
        DWORD v = 0xDEADBEEF, size = 4, type = 0;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, Key, 0, KEY_READ, &h) == ERROR_SUCCESS) {
            RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE *>(&v), &size);
            RegCloseKey(h);
        }
        return type == REG_DWORD ? v : 0xDEADBEEF;
    }
};

TEST_F(SettingsStore, FirstStartWritesEveryValueWithItsType)
{
    double before = ui::Now();
    WriteDefaultSettings();
    EXPECT_EQ(qmtest::RegGetString(HKEY_LOCAL_MACHINE, Key, "Version"), "3.7");
    EXPECT_EQ(qmtest::RegGetString(HKEY_LOCAL_MACHINE, Key, "HomePage"), DefaultHomePage);
    EXPECT_EQ(qmtest::RegGetString(HKEY_LOCAL_MACHINE, Key, "HelpURL"), DefaultHelpURL);
    EXPECT_EQ(qmtest::RegGetType(HKEY_LOCAL_MACHINE, Key, "LastScanTime"), static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Dword("DetedtedTotal"), 0u);   // written as "DetedtedToTal": names ignore case
    EXPECT_EQ(Dword("RemoveTotal"), 0u);
    EXPECT_EQ(Dword("SelectAll"), 1u);
    EXPECT_EQ(Dword("CheckUpdate"), 0u);
    EXPECT_EQ(Dword("ErasValue"), 0u);
    EXPECT_EQ(Dword("ErasAskWhenDel"), 0u);

    LoadSettings();
    EXPECT_EQ(Settings.Version, "3.7");
    EXPECT_TRUE(Settings.SelectAll);
    EXPECT_FALSE(Settings.CheckUpdate);
    EXPECT_FALSE(Settings.RunAtStart);
    EXPECT_GE(Settings.LastScanTime, before - 1.0 / 86400);
    EXPECT_LE(Settings.LastScanTime, ui::Now() + 1.0 / 86400);
}

TEST_F(SettingsStore, PresentValuesAreKeptButDeleteModeResets)
{
    qmtest::RegSetString(HKEY_LOCAL_MACHINE, Key, "Version", "3.5");
    qmtest::RegSetString(HKEY_LOCAL_MACHINE, Key, "HomePage", "");
    qmtest::RegSetString(HKEY_LOCAL_MACHINE, Key, "HelpURL", "http://help.example/");
    qmtest::RegSetDword(HKEY_LOCAL_MACHINE, Key, "SelectAll", 0);
    qmtest::RegSetDword(HKEY_LOCAL_MACHINE, Key, "CheckUpdate", 1);
    qmtest::RegSetDword(HKEY_LOCAL_MACHINE, Key, "ErasAskWhenDel", 1);
    qmtest::RegSetDword(HKEY_LOCAL_MACHINE, Key, "ErasValue", 2);
    qmtest::RegSetDword(HKEY_LOCAL_MACHINE, Key, "RemoveTotal", 42);
    WriteDefaultSettings();
    EXPECT_EQ(qmtest::RegGetString(HKEY_LOCAL_MACHINE, Key, "Version"), "3.5");
    EXPECT_EQ(qmtest::RegGetString(HKEY_LOCAL_MACHINE, Key, "HomePage"), DefaultHomePage);
    EXPECT_EQ(qmtest::RegGetString(HKEY_LOCAL_MACHINE, Key, "HelpURL"), "http://help.example/");
    EXPECT_EQ(Dword("SelectAll"), 0u);
    EXPECT_EQ(Dword("CheckUpdate"), 1u);
    EXPECT_EQ(Dword("ErasAskWhenDel"), 1u);
    EXPECT_EQ(Dword("ErasValue"), 0u);
    EXPECT_EQ(Dword("RemoveTotal"), 0u);
    LoadSettings();
    EXPECT_FALSE(Settings.SelectAll);
    EXPECT_TRUE(Settings.CheckUpdate);
    EXPECT_EQ(Settings.ErasValue, 0);
}

TEST_F(SettingsStore, SaveModesWriteOnlyTheirValues)
{
    WriteDefaultSettings();
    Settings.DetectedTotal = 17;
    Settings.RemoveTotal = 5;
    Settings.LastScanTime = 46000.5;
    SaveSettings(1);
    EXPECT_EQ(Dword("RemoveTotal"), 5u);
    EXPECT_EQ(Dword("DetedtedTotal"), 0u);
    SaveSettings(0);
    EXPECT_EQ(Dword("DetedtedTotal"), 17u);
    SaveSettings(7);   // unknown mode: nothing
    TSettingsPageValues page;
    page.SelectAll = false;
    page.CheckUpdate = true;
    page.ErasValue = 3;
    page.ErasAskWhenDel = true;
    page.RunAtStart = true;
    SaveSettings(2, &page);
    EXPECT_EQ(Dword("SelectAll"), 0u);
    EXPECT_EQ(Dword("CheckUpdate"), 1u);
    EXPECT_EQ(Dword("ErasValue"), 3u);
    EXPECT_EQ(Dword("ErasAskWhenDel"), 1u);
    EXPECT_FALSE(qmtest::RegValueExists(HKEY_LOCAL_MACHINE, Key, "RunAtStart"));
    EXPECT_EQ(qmtest::RegGetString(HKEY_LOCAL_MACHINE, RunKeyPath, ProgramFileName()), ProgramFilePath());
    Settings.RunAtStart = false;
    LoadSettings();
    EXPECT_TRUE(Settings.RunAtStart);
    EXPECT_DOUBLE_EQ(Settings.LastScanTime, 46000.5);

    page.RunAtStart = false;
    SaveSettings(2, &page);
    EXPECT_FALSE(qmtest::RegValueExists(HKEY_LOCAL_MACHINE, RunKeyPath, ProgramFileName()));
    SaveSettings(2, &page);   // deleting a missing entry is silent
    EXPECT_FALSE(Settings.RunAtStart);
}

// A limited account may read the key under HKEY_LOCAL_MACHINE; whether it may change it is up to
// the key's permissions, and a save that was refused says so and names the key.
TEST_F(SettingsStore, KeyThatMayOnlyBeReadLoadsAndRefusesTheSave)
{
    WriteDefaultSettings();
    qmtest::RegSetDword(HKEY_LOCAL_MACHINE, Key, "SelectAll", 0);
    qmtest::RegSetDword(HKEY_LOCAL_MACHINE, Key, "ErasValue", 2);
    TSettingsPageValues page;
    page.SelectAll = true;
    page.CheckUpdate = true;
    {
        qmtest::RegKeyAccess readOnly(HKEY_LOCAL_MACHINE, Key, "KR");
        ASSERT_TRUE(readOnly.Applied());
        Settings = TMyRegistryInfo();
        LoadSettings();
        EXPECT_EQ(Settings.Version, "3.7");
        EXPECT_FALSE(Settings.SelectAll);
        EXPECT_EQ(Settings.ErasValue, 2);

        std::vector<std::string> failures;
        EXPECT_FALSE(SaveSettings(2, &page, &failures));
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].rfind("HKEY_LOCAL_MACHINE\\Software\\Quillmoor: ", 0), 0u) << failures[0];
        EXPECT_GT(failures[0].size(), std::string("HKEY_LOCAL_MACHINE\\Software\\Quillmoor: ").size());
        EXPECT_EQ(Dword("SelectAll"), 0u);
        EXPECT_FALSE(SaveSettings(1));
    }
    // Read and write, without the right to change the key's permissions, is enough to save.
    qmtest::RegKeyAccess readWrite(HKEY_LOCAL_MACHINE, Key, "KRKW");
    ASSERT_TRUE(readWrite.Applied());
    std::vector<std::string> failures;
    EXPECT_TRUE(SaveSettings(2, &page, &failures));
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(Dword("SelectAll"), 1u);
    EXPECT_EQ(Dword("CheckUpdate"), 1u);
}

TEST_F(SettingsStore, RunEntryMustMatchExactly)
{
    WriteDefaultSettings();
    std::string path = ProgramFilePath();
    std::string lower = path;
    for (char &c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    ASSERT_NE(lower, path);
    for (const std::string &data : {lower, "\"" + path + "\"", path + " -Scan"}) {
        qmtest::RegSetString(HKEY_LOCAL_MACHINE, RunKeyPath, ProgramFileName(), data);
        Settings.RunAtStart = true;
        LoadSettings();
        EXPECT_FALSE(Settings.RunAtStart) << data;
    }
    qmtest::RegSetString(HKEY_LOCAL_MACHINE, RunKeyPath, ProgramFileName(), path);
    LoadSettings();
    EXPECT_TRUE(Settings.RunAtStart);
}

TEST_F(SettingsStore, WrongTypedValueFailsTheLoadAfterEarlierFields)
{
    WriteDefaultSettings();
    qmtest::RegSetString(HKEY_LOCAL_MACHINE, Key, "Version", "9.1");
    qmtest::RegSetString(HKEY_LOCAL_MACHINE, Key, "SelectAll", "yes");   // a string where a number belongs
    qmtest::RegSetDword(HKEY_LOCAL_MACHINE, Key, "RemoveTotal", 8);
    qmtest::RegSetDword(HKEY_LOCAL_MACHINE, Key, "ErasValue", 2);
    Settings = TMyRegistryInfo();
    EXPECT_THROW(LoadSettings(), ui::ERegistryException);
    EXPECT_EQ(Settings.Version, "9.1");      // read before the bad value
    EXPECT_EQ(Settings.RemoveTotal, 8);
    EXPECT_EQ(Settings.ErasValue, 0);        // after it: not read
}

// A value of the wrong type counts as missing at start: it gets its default, with its type.
TEST_F(SettingsStore, WrongTypedValuesGetTheirDefaultsAtStart)
{
    qmtest::RegSetDword(HKEY_LOCAL_MACHINE, Key, "Version", 38);
    qmtest::RegSetString(HKEY_LOCAL_MACHINE, Key, "SelectAll", "0");
    qmtest::RegSetBinary(HKEY_LOCAL_MACHINE, Key, "CheckUpdate", "\1", 1);
    ASSERT_NO_THROW(WriteDefaultSettings());
    EXPECT_EQ(qmtest::RegGetString(HKEY_LOCAL_MACHINE, Key, "Version"), "3.7");
    EXPECT_EQ(Dword("SelectAll"), 1u);
    EXPECT_EQ(Dword("CheckUpdate"), 0u);
    EXPECT_NO_THROW(LoadSettings());
}

TEST_F(SettingsStore, LastScanTimeMustBeEightBinaryBytes)
{
    WriteDefaultSettings();
    qmtest::RegSetString(HKEY_LOCAL_MACHINE, Key, "LastScanTime", "yesterday");
    EXPECT_THROW(LoadSettings(), ui::ERegistryException);
    EXPECT_EQ(Settings.HelpURL, DefaultHelpURL);
}

}  // namespace
