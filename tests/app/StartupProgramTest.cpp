// The program started for real: single instance, "/auto", the elevated relaunch's loop guard, the
// automatic scan of a start with an argument, and pictures that cannot be loaded.
#include <gtest/gtest.h>
#include <windows.h>
#include "MainFormDriver.h"
#include "TestSupport.h"
#include "engine/PublicFunctionUnit.h"

using namespace qmtest;
using namespace qmdrive;

namespace {

const char *const UserKey = "SOFTWARE\\Quillmoor";
const char *const PolicyKey = "Software\\microsoft\\Windows\\CurrentVersion\\Policies\\System";
const char *const MachineSettings = "Software\\Quillmoor";

double StoredScanTime()
{
    double t = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, MachineSettings, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD size = sizeof(t);
    if (RegQueryValueExA(key, "LastScanTime", nullptr, nullptr, reinterpret_cast<BYTE *>(&t), &size) != ERROR_SUCCESS)
        t = 0;
    RegCloseKey(key);
    return t;
}

class StartupProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FileExists(QuillmoorExe())) << QuillmoorExe();
        ASSERT_TRUE(MainWindows().empty()) << "a main window is left from before";
        // No relaunch unless a test asks for it.
        ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, PolicyKey, "EnableLUA", 0));
    }
    RegKeyGuard user{HKEY_CURRENT_USER, UserKey};
    RegKeyGuard policy{HKEY_LOCAL_MACHINE, PolicyKey};
    RegKeyGuard machine{HKEY_LOCAL_MACHINE, MachineSettings};
};

}  // namespace

TEST_F(StartupProgram, SecondStartHandsOverAndRestoresAMinimisedWindow)
{
    TProgram first;
    ASSERT_TRUE(first.Start());
    HWND main = first.WaitForWindow();
    ASSERT_NE(main, nullptr);
    // the Minimize button of the title bar
    ClickAt(main, 612, 13);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) || !IsWindowVisible(main); }, 5000));

    ASSERT_TRUE(RegSetString(HKEY_CURRENT_USER, UserKey, "setup", "1"));
    TProgram second;
    ASSERT_TRUE(second.Start());
    ASSERT_TRUE(second.WaitForExit(15000));
    EXPECT_EQ(second.ExitCode(), 0u);
    // it touched nothing
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, UserKey, "setup"), "1");
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(main) && IsWindowVisible(main); }, 5000));
    EXPECT_EQ(MainWindows().size(), 1u);
    EXPECT_TRUE(first.Running());
}

TEST_F(StartupProgram, AutoWipesTheUsersRecycledFoldersWithoutAWindow)
{
    std::string sid;
    ASSERT_TRUE(GetCurrentUserSid(sid));
    // The system drive's bins in the three layouts, and another user's bin.
    OwnedFolder recycled("C:\\Recycled"), recycler("C:\\RECYCLER"), bins("C:\\$Recycle.Bin");
    if (!recycled.Made() || !recycler.Made() || !bins.Made()) GTEST_SKIP() << "a recycled folder is in the way";
    const std::string xp = recycler / sid, bin = bins / sid, other = bins / "S-1-5-21-1-2-3-1001";
    for (const std::string &f : {xp, bin, other}) ASSERT_TRUE(CreateDirectoryA(f.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(recycled / "Dc1.txt", "secret"));
    ASSERT_TRUE(WriteFileBytes(xp + "\\Dc2.txt", "secret"));
    ASSERT_TRUE(WriteFileBytes(bin + "\\$RAB12CD.txt", "secret"));
    ASSERT_TRUE(WriteFileBytes(bin + "\\$IAB12CD.txt", "index"));
    ASSERT_TRUE(WriteFileBytes(other + "\\$RXY34EF.txt", "theirs"));
    TProgram prog;
    ASSERT_TRUE(prog.Start("/auto"));
    bool sawWindow = false;
    const bool ended = WaitUntil(
        [&] {
            sawWindow = sawWindow || !MainWindows().empty();
            return !prog.Running();
        },
        30000);
    ASSERT_TRUE(ended);
    EXPECT_FALSE(sawWindow);
    EXPECT_EQ(prog.ExitCode(), 0u);
    for (const std::string &f : {recycled / "Dc1.txt", xp + "\\Dc2.txt", bin + "\\$RAB12CD.txt"})
        EXPECT_FALSE(FileExists(f)) << f;
    // The bin's index is left for the shell's emptying; another user's bin is never touched.
    EXPECT_TRUE(FileExists(bin + "\\$IAB12CD.txt"));
    EXPECT_EQ(ReadFileBytes(other + "\\$RXY34EF.txt"), "theirs");
    // the defaults were written, the settings never read into a window
    EXPECT_EQ(RegGetString(HKEY_LOCAL_MACHINE, MachineSettings, "Version"), "3.7");
}

TEST_F(StartupProgram, AutoInAnotherCaseIsAnArgumentThatScans)
{
    TProgram prog;
    ASSERT_TRUE(prog.Start("/AUTO"));
    HWND main = prog.WaitForWindow();
    ASSERT_NE(main, nullptr);
    // Every start stores its time with the defaults; the scan about a second after the first
    // activation stores a later one.
    const double started = StoredScanTime();
    ASSERT_GT(started, 0.0);
    EXPECT_TRUE(WaitUntil([&] { return StoredScanTime() > started; }, 60000));
}

TEST_F(StartupProgram, BlankArgumentStartsNoScan)
{
    TProgram prog;
    ASSERT_TRUE(prog.Start("\"   \""));
    HWND main = prog.WaitForWindow();
    ASSERT_NE(main, nullptr);
    const double started = StoredScanTime();
    // The window activates while it is shown, before any message is taken from the queue: the quit
    // notice is handled after the first activation, and a scan that it started stores its time
    // before the program ends.
    PostMessageA(main, 0x500, 0, WM_CLOSE);
    ASSERT_TRUE(prog.WaitForExit(60000));
    EXPECT_EQ(prog.ExitCode(), 0u);
    EXPECT_EQ(StoredScanTime(), started);
}

// With both JPEG pictures damaged the window opens, and so does About from the tray menu.
TEST_F(StartupProgram, PicturesThatCannotBeLoadedLeaveTheirPlacesEmpty)
{
    std::string exe = ReadFileBytes(QuillmoorExe());
    const std::string jpeg("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10);
    int damaged = 0;
    for (size_t at = exe.find(jpeg); at != std::string::npos; at = exe.find(jpeg, at + 1), ++damaged)
        exe[at] = 'X';   // no picture format starts so
    ASSERT_EQ(damaged, 2);
    TempDir dir;
    ASSERT_TRUE(WriteFileBytes(dir / "Quillmoor.exe", exe));
    TProgram prog;
    ASSERT_TRUE(prog.Start("", dir / "Quillmoor.exe"));
    HWND main = prog.WaitForWindow();
    ASSERT_NE(main, nullptr);
    PostMessageA(main, 0x500, 0, WM_RBUTTONDOWN);   // the tray menu; "About" is its second item
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = FindWindowA("#32768", nullptr)) && IsWindowVisible(menu); }, 5000));
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN})
        PostMessageA(menu, WM_KEYDOWN, key, 0);
    EXPECT_TRUE(WaitUntil([] { HWND w = FindWindowA("TAboutForm", "About"); return w && IsWindowVisible(w); }, 10000));
}

TEST_F(StartupProgram, RelaunchSetsAndClearsTheLoopGuard)
{
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, PolicyKey, "EnableLUA", 1));
    TProgram prog;
    ASSERT_TRUE(prog.Start());
    // The first start hands over to an elevated copy and ends without a window of its own.
    ASSERT_TRUE(prog.WaitForExit(20000));
    EXPECT_EQ(prog.ExitCode(), 0u);
    // Where the shell ran the copy, it cleared the guard and opened the window; where it could not,
    // the guard stays for the next start, which runs without elevation and clears it.
    const bool copyRuns = WaitUntil([] { return !MainWindows().empty(); }, 10000);
    if (copyRuns) {
        EXPECT_TRUE(WaitUntil([] { return RegGetString(HKEY_CURRENT_USER, UserKey, "vista").empty(); }, 5000));
        EXPECT_TRUE(RegValueExists(HKEY_CURRENT_USER, UserKey, "vista"));
        for (HWND w : MainWindows())
            PostMessageA(w, 0x500, 0, WM_CLOSE);   // the tray's quit notice ends the copy
        EXPECT_TRUE(WaitUntil([] { return MainWindows().empty(); }, 10000));
    } else {
        EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, UserKey, "vista"), "1");
        TProgram next;
        ASSERT_TRUE(next.Start());
        ASSERT_NE(next.WaitForWindow(), nullptr);
        EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, UserKey, "vista"), "");
    }
}

TEST_F(StartupProgram, TrayQuitNoticeEndsTheProgram)
{
    TProgram prog;
    ASSERT_TRUE(prog.Start());
    HWND main = prog.WaitForWindow();
    ASSERT_NE(main, nullptr);
    // a single left click on the icon does nothing
    PostMessageA(main, 0x500, 0, WM_LBUTTONDOWN);
    Sleep(300);
    EXPECT_TRUE(prog.Running());
    // a right click pops the tray menu; Escape closes it again
    PostMessageA(main, 0x500, 0, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            menu = FindWindowA("#32768", nullptr);
            DWORD pid = 0;
            if (menu != nullptr)
                GetWindowThreadProcessId(menu, &pid);
            return menu != nullptr && IsWindowVisible(menu) && pid == prog.Id();
        },
        5000));
    if (menu != nullptr) {
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));
    }
    PostMessageA(main, 0x500, 0, WM_CLOSE);
    EXPECT_TRUE(prog.WaitForExit(10000));
    EXPECT_EQ(prog.ExitCode(), 0u);
}
