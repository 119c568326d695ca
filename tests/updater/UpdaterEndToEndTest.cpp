// End to end under wine: the main program offers the update and starts qmUpdate, which downloads the
// files, reports completion and starts the main program again. The test CMake builds both programs
// with a loopback update folder.
#include "LoopbackHttpServer.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

#ifdef QM_E2E_MAIN
using namespace qmtest;

namespace {

std::string DialogText(HWND dialog)
{
    std::string text;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32], buf[512];
        GetClassNameA(child, cls, sizeof(cls));
        if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(child, buf, sizeof(buf)) > 0) text += buf;
    }
    return text;
}

// Waits up to ms for cond, pumping our own messages meanwhile.
template <class Cond>
bool WaitFor(Cond cond, DWORD ms)
{
    DWORD start = GetTickCount();
    while (!cond()) {
        if (GetTickCount() - start > ms) return false;
        PumpMessages();
        Sleep(50);
    }
    return true;
}

// The first visible message box captioned "Quillmoor" whose text begins with prefix.
HWND FindBox(const std::string &prefix)
{
    for (HWND w = FindWindowA("#32770", "Quillmoor"); w; w = FindWindowExA(NULL, w, "#32770", "Quillmoor"))
        if (IsWindowVisible(w) && DialogText(w).rfind(prefix, 0) == 0) return w;
    return nullptr;
}

}  // namespace

TEST(UpdaterEndToEnd, RealMainProgramOffersTheUpdateAndIsStartedAgain)
{
    LoopbackHttpServer server(QM_E2E_PORT);
    ASSERT_TRUE(server.Listening()) << "port " << QM_E2E_PORT << " is taken";
    RegKeyGuard settings(HKEY_LOCAL_MACHINE, "Software\\Quillmoor");
    RegKeyGuard userSettings(HKEY_CURRENT_USER, "SOFTWARE\\Quillmoor");
    ASSERT_TRUE(RegSetString(HKEY_LOCAL_MACHINE, "Software\\Quillmoor", "Version", "3.7"));
    ASSERT_TRUE(RegSetDword(HKEY_LOCAL_MACHINE, "Software\\Quillmoor", "CheckUpdate", 1));

    TempDir prog;
    std::string e2e = QM_E2E_DIR;
    std::string mainExe = ReadFileBytes(e2e + "\\Quillmoor.exe");
    ASSERT_FALSE(mainExe.empty());
    ASSERT_TRUE(CopyFileA((e2e + "\\qmUpdate.exe").c_str(), (prog / "qmUpdate.exe").c_str(), FALSE));
    ASSERT_TRUE(WriteFileBytes(prog / "Quillmoor.exe", mainExe));
    ASSERT_TRUE(WriteFileBytes(prog / "readme.txt", "old readme"));

    std::string base = server.Url("/update/");
    HttpReply ini;
    ini.body = "[Version]\r\nVersion=3.8\r\n[HTTP]\r\nFile1=" + base + "Quillmoor.exe\r\nFile2=" + base +
               "readme.txt\r\n";
    server.Set("/update/Update.ini", ini);
    HttpReply exe;
    exe.body = mainExe;
    server.Set("/update/Quillmoor.exe", exe);
    HttpReply readme;
    readme.body = "new readme";
    server.Set("/update/readme.txt", readme);

    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    std::string cmd = "\"" + prog / "Quillmoor.exe" + "\"";
    ASSERT_TRUE(CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, prog.Path().c_str(), &si, &pi));
    CloseHandle(pi.hThread);

    // The check at start finds 3.8 over 3.7 and asks; the user says Yes.
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (question = FindBox("A newer version")) != nullptr; }, 30000));
    EXPECT_EQ(DialogText(question), "A newer version of Quillmoor is available, Quillmoor will shut down to "
                                    "install the newer version.\rWould you like to update now?");
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);   // the main program ends
    CloseHandle(pi.hProcess);

    // qmUpdate replaces both files and reports completion.
    HWND done = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (done = FindBox("OK, Update Completed!")) != nullptr; }, 30000));
    EXPECT_EQ(ReadFileBytes(prog / "readme.txt"), "new readme");
    EXPECT_EQ(ReadFileBytes(prog / "readme.BAK"), "old readme");
    EXPECT_EQ(ReadFileBytes(prog / "Quillmoor.BAK"), mainExe);
    EXPECT_EQ(ReadFileBytes(prog / "Quillmoor.exe"), mainExe);
    // The restarted program must find nothing newer, or it would ask again.
    ini.body = "[Version]\r\nVersion=3.7\r\n";
    server.Set("/update/Update.ini", ini);
    PostMessageA(done, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

    // The main program runs again with its window, checks once more and asks nothing.
    HWND mainWindow = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (mainWindow = FindWindowA("TfrmMainForm", NULL)) != nullptr; }, 30000));
    auto iniRequests = [&] {
        int n = 0;
        for (const std::string &r : server.Requests())
            if (r.rfind("GET /update/Update.ini ", 0) == 0) ++n;
        return n;
    };
    EXPECT_TRUE(WaitFor([&] { return iniRequests() == 2; }, 15000));
    EXPECT_TRUE(WaitFor([] { return FindWindowA("TMainForm", "Quillmoor Update") == nullptr; }, 15000));
    Sleep(500);
    EXPECT_EQ(FindBox(""), nullptr);
    EXPECT_EQ(iniRequests(), 2);

    DWORD pid = 0;
    GetWindowThreadProcessId(mainWindow, &pid);
    HANDLE restarted = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageA(mainWindow, WM_CLOSE, 0, 0);
    if (restarted) {
        EXPECT_EQ(WaitForSingleObject(restarted, 15000), WAIT_OBJECT_0);
        CloseHandle(restarted);
    }
}
#endif
