// The start-up routines in this process: the registry switches of the elevated relaunch, the
// single-instance hand-over and the command-line split. The program itself is started for real in
// StartupProgramTest.cpp.
#include <gtest/gtest.h>
#include <windows.h>
#include "TestSupport.h"
#include "app/StartupUnit.h"

using namespace qmtest;

namespace {

const char *const UserKey = "SOFTWARE\\Quillmoor";
const char *const PolicyKey = "Software\\microsoft\\Windows\\CurrentVersion\\Policies\\System";
const char *const MachineSettings = "Software\\Quillmoor";

}  // namespace

TEST(StartupCommandLine, SplitsLikeTheRuntime)
{
    const char *line = "\"C:\\Program Files\\Q\\Quillmoor.exe\"  -Scan  \"a b\"c /auto";
    EXPECT_EQ(CommandLineArgument(line, 0), "C:\\Program Files\\Q\\Quillmoor.exe");
    EXPECT_EQ(CommandLineArgument(line, 1), "-Scan");
    EXPECT_EQ(CommandLineArgument(line, 2), "a bc");
    EXPECT_EQ(CommandLineArgument(line, 3), "/auto");
    EXPECT_EQ(CommandLineArgument(line, 4), "");
    EXPECT_EQ(CommandLineArgument("prog.exe", 1), "");
    // a quoted argument of blanks is an argument; trimming it is the main window's business
    EXPECT_EQ(CommandLineArgument("prog.exe \"   \" x", 1), "   ");
}

TEST(StartupSetupValue, OneRunAfterSetupThenGone)
{
    RegKeyGuard guard(HKEY_CURRENT_USER, UserKey);
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, UserKey, "setup", "1"));
    EXPECT_TRUE(IsFirstRunAfterSetup());
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, UserKey, "setup"));
    EXPECT_FALSE(IsFirstRunAfterSetup());   // only that one start is exempt

    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, UserKey, "setup", "yes"));
    EXPECT_FALSE(IsFirstRunAfterSetup());
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, UserKey, "setup"));

    // a number where text belongs is no "1", and goes as well
    ASSERT_TRUE(RegSetDword(HKEY_CURRENT_USER, UserKey, "setup", 1));
    EXPECT_FALSE(IsFirstRunAfterSetup());
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, UserKey, "setup"));
}

TEST(StartupSetupValue, MissingKeyIsCreated)
{
    RegKeyGuard guard(HKEY_CURRENT_USER, UserKey);
    EXPECT_FALSE(IsFirstRunAfterSetup());
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, UserKey));
}

TEST(StartupUac, PolicyValue)
{
    RegKeyGuard guard(HKEY_LOCAL_MACHINE, PolicyKey);
    EXPECT_FALSE(IsUacEnabled());   // no key
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, PolicyKey, "Other", "x"));
    EXPECT_FALSE(IsUacEnabled());   // key without the value
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, PolicyKey, "EnableLUA", 0));
    EXPECT_FALSE(IsUacEnabled());
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, PolicyKey, "EnableLUA", 1));
    EXPECT_TRUE(IsUacEnabled());
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, PolicyKey, "EnableLUA", 2));
    EXPECT_TRUE(IsUacEnabled());
}

// A limited account may read the policy key but not open it for writing.
TEST(StartupUac, PolicyKeyThatMayOnlyBeReadIsRead)
{
    RegKeyGuard guard(HKEY_LOCAL_MACHINE, PolicyKey);
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, PolicyKey, "EnableLUA", 1));
    RegKeyAccess readOnly(HKEY_LOCAL_MACHINE, PolicyKey, "KR");
    ASSERT_TRUE(readOnly.Applied());
    HKEY h = NULL;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, PolicyKey, 0, KEY_ALL_ACCESS, &h), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(IsUacEnabled());
}

// Steps that end in a window, for one Windows version.
class StartupSteps : public ::testing::Test {
protected:
    RegKeyGuard user{HKEY_CURRENT_USER, UserKey};
    RegKeyGuard policy{HKEY_LOCAL_MACHINE, PolicyKey};
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, MachineSettings};
};

TEST_F(StartupSteps, BeforeVistaNoRelaunchValueIsRead)
{
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, UserKey, "setup", "1"));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, UserKey, "vista", "1"));
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, PolicyKey, "EnableLUA", 1));
    EXPECT_EQ(RunStartSteps(5), TStartAction::RunWindow);
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, UserKey, "setup"), "1");
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, UserKey, "vista"), "1");
    // the defaults were written
    EXPECT_EQ(RegGetString(HKEY_LOCAL_MACHINE, MachineSettings, "Version"), "3.7");
}

TEST_F(StartupSteps, UacOffStillConsumesSetup)
{
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, UserKey, "setup", "0"));
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, PolicyKey, "EnableLUA", 0));
    EXPECT_EQ(RunStartSteps(6), TStartAction::RunWindow);
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, UserKey, "setup"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, UserKey, "vista"));
}

TEST_F(StartupSteps, ElevatedCopyClearsTheLoopGuard)
{
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, PolicyKey, "EnableLUA", 1));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, UserKey, "vista", "1"));
    EXPECT_EQ(RunStartSteps(6), TStartAction::RunWindow);
    EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, UserKey, "vista"));
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, UserKey, "vista"), "");
}

TEST_F(StartupSteps, SetupSkipsTheRelaunchOnce)
{
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, PolicyKey, "EnableLUA", 1));
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, UserKey, "setup", "1"));
    EXPECT_EQ(RunStartSteps(6), TStartAction::RunWindow);
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, UserKey, "setup"));
    EXPECT_FALSE(RegValueExists(HKEY_CURRENT_USER, UserKey, "vista"));
}

namespace {

UINT g_lastMessage = 0;
LRESULT CALLBACK RecordingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == 0x2400)
        g_lastMessage = msg;
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

}  // namespace

TEST_F(StartupSteps, RunningInstanceGetsTheRestoreRequestAndNothingIsWritten)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TfrmMainForm";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND wnd = CreateWindowA("TfrmMainForm", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                             nullptr);
    ASSERT_NE(wnd, nullptr);
    g_lastMessage = 0;
    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, UserKey, "setup", "1"));

    EXPECT_EQ(RunStartSteps(6), TStartAction::HandedOver);
    PumpMessages();
    EXPECT_EQ(g_lastMessage, 0x2400u);
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, UserKey, "setup"), "1");
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, MachineSettings));

    DestroyWindow(wnd);
    UnregisterClassA("TfrmMainForm", wc.hInstance);
}
