// End to end under wine: a main program offers the update and starts qmUpdate, which downloads the
// files, reports completion and starts the main program again. The main program here is a stand-in
// built from the real update check (the test CMake builds both with a loopback update folder).
#include "LoopbackHttpServer.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace qmtest;

namespace {

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    return out;
}

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

}  // namespace

TEST(UpdaterEndToEnd, MainProgramStartsTheUpdaterWhichReplacesFilesAndRestartsIt)
{
    LoopbackHttpServer server(QM_E2E_PORT);
    ASSERT_TRUE(server.Listening()) << "port " << QM_E2E_PORT << " is taken";
    TempDir prog;
    std::string e2e = QM_E2E_DIR;
    std::string standIn = ReadFileBytes(e2e + "\\Quillmoor.exe");
    ASSERT_FALSE(standIn.empty());
    ASSERT_TRUE(CopyFileA((e2e + "\\qmUpdate.exe").c_str(), (prog / "qmUpdate.exe").c_str(), FALSE));
    ASSERT_TRUE(WriteFileBytes(prog / "Quillmoor.exe", standIn));
    ASSERT_TRUE(WriteFileBytes(prog / "version.txt", "3.7"));

    std::string base = server.Url("/update/");
    HttpReply ini;
    ini.body = "[Version]\r\nVersion=3.8\r\n[HTTP]\r\nFile1=" + base + "Quillmoor.exe\r\nFile2=" + base +
               "version.txt\r\n";
    server.Set("/update/Update.ini", ini);
    HttpReply exe;
    exe.body = standIn;   // the "new" program is the same stand-in; its version comes from version.txt
    server.Set("/update/Quillmoor.exe", exe);
    HttpReply version;
    version.body = "3.8";
    server.Set("/update/version.txt", version);

    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi;
    std::string cmd = "\"" + prog / "Quillmoor.exe" + "\"";
    ASSERT_TRUE(CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, prog.Path().c_str(), &si, &pi));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    // qmUpdate shows its completion box when both files have arrived; the user presses OK.
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindWindowA("#32770", "Quillmoor")) != nullptr; }, 30000))
        << ReadFileBytes(prog / "runs.txt");
    EXPECT_EQ(DialogText(box), "OK, Update Completed!\r\rClick OK Button to run now?");
    EXPECT_TRUE(FindWindowA("TMainForm", "Quillmoor Update") != nullptr);
    EXPECT_EQ(ReadFileBytes(prog / "version.txt"), "3.8");
    EXPECT_EQ(ReadFileBytes(prog / "version.BAK"), "3.7");
    EXPECT_EQ(ReadFileBytes(prog / "Quillmoor.BAK"), standIn);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

    // The main program runs again, now as 3.8, finds nothing newer, and the updater has ended.
    ASSERT_TRUE(WaitFor([&] { return Lines(ReadFileBytes(prog / "runs.txt")).size() >= 4; }, 30000))
        << ReadFileBytes(prog / "runs.txt");
    EXPECT_TRUE(WaitFor([] { return FindWindowA("TMainForm", "Quillmoor Update") == nullptr; }, 15000));
    Sleep(500);   // the second run may still be writing its trace
    EXPECT_EQ(Lines(ReadFileBytes(prog / "runs.txt")),
              (std::vector<std::string>{"run 3.7", "asked", "terminate", "run 3.8"}));
    EXPECT_EQ(ReadFileBytes(prog / "Quillmoor.exe"), standIn);

    // The second run asked for the description again; every file was fetched once.
    int iniRequests = 0, exeRequests = 0;
    for (const std::string &r : server.Requests()) {
        if (r.rfind("GET /update/Update.ini ", 0) == 0) ++iniRequests;
        if (r.rfind("GET /update/Quillmoor.exe ", 0) == 0) ++exeRequests;
    }
    EXPECT_EQ(iniRequests, 2);
    EXPECT_EQ(exeRequests, 1);
}
