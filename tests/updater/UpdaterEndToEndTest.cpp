// End to end under wine: the main program offers the update and starts qmUpdate, which downloads the
// files, reports completion and starts the main program again; and qmUpdate on its own, stopped in
// the middle of a download. The test CMake builds both programs with a loopback update folder.
#include "LoopbackHttpServer.h"
#include "TestSupport.h"
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <tlhelp32.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

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

// Ends what the started program leaves running when the test stops: the updater it hands over to and
// the program the updater starts again. A test that fails half-way must not leave them waiting for
// a user, or the test run waits for them. Holding the first process keeps its id from being reused.
class ProcessTreeGuard {
public:
    ProcessTreeGuard(HANDLE root, DWORD rootId) : root_(root), rootId_(rootId) {}
    ~ProcessTreeGuard()
    {
        std::set<DWORD> tree{rootId_};
        for (bool grew = true; grew;) {
            grew = false;
            HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
            PROCESSENTRY32 pe = {};
            pe.dwSize = sizeof(pe);
            for (BOOL ok = Process32First(snap, &pe); ok; ok = Process32Next(snap, &pe)) {
                bool ours = lstrcmpiA(pe.szExeFile, "qmUpdate.exe") == 0 || lstrcmpiA(pe.szExeFile, "Quillmoor.exe") == 0;
                if (ours && tree.count(pe.th32ParentProcessID) && tree.insert(pe.th32ProcessID).second) grew = true;
            }
            CloseHandle(snap);
        }
        tree.erase(rootId_);
        for (DWORD pid : tree) End(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        End(root_);
    }
    ProcessTreeGuard(const ProcessTreeGuard &) = delete;
    ProcessTreeGuard &operator=(const ProcessTreeGuard &) = delete;

private:
    static void End(HANDLE process)
    {
        if (!process) return;
        if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 5000);
        }
        CloseHandle(process);
    }
    HANDLE root_;
    DWORD rootId_;
};

// A copy of qmUpdate in a program folder of its own, with "Update.ini" naming the given files of the
// update folder and an old "Quillmoor.exe" beside it.
struct UpdaterFolder {
    TempDir prog;
    explicit UpdaterFolder(const std::vector<std::string> &names, const std::string &base)
    {
        CopyFileA((std::string(QM_E2E_DIR) + "\\qmUpdate.exe").c_str(), (prog / "qmUpdate.exe").c_str(), FALSE);
        std::string ini = "[Version]\r\nVersion=9.0\r\n[HTTP]\r\n";
        for (size_t i = 0; i < names.size(); ++i) ini += "File" + std::to_string(i + 1) + "=" + base + names[i] + "\r\n";
        WriteFileBytes(prog / "Update.ini", ini);
        WriteFileBytes(prog / "Quillmoor.exe", "old program");
    }
    // The names in the folder.
    std::set<std::string> Files() const { return FileNames(prog / ""); }
};

}  // namespace

#ifdef QM_E2E_MAIN
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
    // Started as the scheduled job starts it, with a scan to run once the window is up.
    std::string cmd = "\"" + prog / "Quillmoor.exe" + "\" -Scan";
    ASSERT_TRUE(CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, prog.Path().c_str(), &si, &pi));
    CloseHandle(pi.hThread);
    ProcessTreeGuard started(pi.hProcess, pi.dwProcessId);

    // The check at start finds 3.8 over 3.7 and asks; the user says Yes.
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (question = FindBox("A newer version")) != nullptr; }, 30000));
    EXPECT_EQ(DialogText(question), "A newer version of Quillmoor is available, Quillmoor will shut down to "
                                    "install the newer version.\rWould you like to update now?");
    auto scanTime = [] {
        double t = 0;
        DWORD size = sizeof(t);
        return SHGetValueA(HKEY_LOCAL_MACHINE, "Software\\Quillmoor", "LastScanTime", NULL, &t, &size) ? 0.0 : t;
    };
    const double startTime = scanTime();   // stored by the start itself
    ASSERT_GT(startTime, 0.0);
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);   // the main program ends
    EXPECT_EQ(scanTime(), startTime);   // without the scan, which would store its own time

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
    DWORD updaterId = 0;
    GetWindowThreadProcessId(done, &updaterId);
    HANDLE updater = OpenProcess(SYNCHRONIZE, FALSE, updaterId);
    ASSERT_NE(updater, nullptr);
    PostMessageA(done, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_EQ(WaitForSingleObject(updater, 15000), WAIT_OBJECT_0);   // the updater ends after the restart
    CloseHandle(updater);

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

// qmUpdate.exe of folder, started in its folder as the main program starts it.
static bool StartUpdater(const UpdaterFolder &folder, PROCESS_INFORMATION &pi)
{
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    std::string cmd = "\"" + folder.prog / "qmUpdate.exe" + "\"";
    if (!CreateProcessA(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, folder.prog.Path().c_str(), &si, &pi)) return false;
    CloseHandle(pi.hThread);
    return true;
}

// A slow download of the program file, so that the run can be stopped in the middle of it.
static HttpReply SlowProgram()
{
    HttpReply slow;
    slow.body = std::string(400000, 'p');
    slow.chunk = 4000;
    slow.chunkDelayMs = 25;
    return slow;
}

// The real qmUpdate.exe in the middle of a slow download of the program file: a part of the body
// has come, the rest takes seconds more.
struct UpdaterMidDownload : ::testing::Test {
    LoopbackHttpServer server{QM_E2E_PORT};
    std::unique_ptr<UpdaterFolder> folder;
    PROCESS_INFORMATION pi = {};
    std::unique_ptr<ProcessTreeGuard> started;   // ends what the run left, before the folder goes

    void SetUp() override
    {
        ASSERT_TRUE(server.Listening()) << "port " << QM_E2E_PORT << " is taken";
        server.Set("/update/Quillmoor.exe", SlowProgram());
        folder.reset(new UpdaterFolder({"Quillmoor.exe"}, server.Url("/update/")));
        ASSERT_TRUE(StartUpdater(*folder, pi));
        started.reset(new ProcessTreeGuard(pi.hProcess, pi.dwProcessId));
        ASSERT_TRUE(WaitFor([&] { return !server.Requests().empty(); }, 30000));
        Sleep(500);
    }
};

TEST_F(UpdaterMidDownload, KilledLeavesTheProgramWhole)
{
    TerminateProcess(pi.hProcess, 1);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 15000), WAIT_OBJECT_0);

    EXPECT_EQ(ReadFileBytes(folder->prog / "Quillmoor.exe"), "old program");
    EXPECT_FALSE(FileExists(folder->prog / "Quillmoor.BAK"));
}

// The close question confirmed in the middle of a download ends the updater: the end of the message
// loop comes while the download pumps messages, and nothing of the run stays behind.
TEST_F(UpdaterMidDownload, ClosingConfirmedEndsTheUpdater)
{
    HWND window = FindWindowA("TMainForm", "Quillmoor Update");
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (question = FindBox("File not download Completed")) != nullptr; }, 15000));
    PostMessageA(question, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 15000), WAIT_OBJECT_0);

    EXPECT_EQ(ReadFileBytes(folder->prog / "Quillmoor.exe"), "old program");
    EXPECT_EQ(folder->Files(), (std::set<std::string>{"qmUpdate.exe", "Update.ini", "Quillmoor.exe"}));
}
