// The updater's run against a loopback server: downloads beside the files, backups, and a failed or
// aborted run that leaves every file as it was.
#include "LoopbackHttpServer.h"
#include "TestSupport.h"
#include "ui/Exceptions.h"
#include "ui/HttpClient.h"
#include "ui/StringList.h"
#include "updater/MainUnit.h"
#include <gtest/gtest.h>
#include <functional>
#include <set>
#include <vector>

using namespace qmtest;

namespace {

std::string Body(size_t n, char seed)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>(seed + i % 13);
    return s;
}

class UpdaterFlowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedUrl_ = UpdateFolderURL;
        UpdateFolderURL = server.Url("/update/");
        folder = dir.Path() + "\\";
        flow.ProgramFolder = folder;
        flow.IdHTTP1->ReadTimeout = 1500;
        flow.MessageBoxFn = [this](const std::string &text, const std::string &caption, UINT flags) {
            boxes.push_back(text);
            boxCaptions.push_back(caption);
            boxFlags.push_back(flags);
            events.push_back("box");
            return answer;
        };
        flow.StartProgram = [this](const std::string &path) {
            started.push_back(path);
            events.push_back("start");
        };
        flow.Terminate = [this] { events.push_back("terminate"); };
        flow.ProcessMessages = [this] {
            ++pumps;
            if (onPump) onPump();
        };
    }
    void TearDown() override { UpdateFolderURL = savedUrl_; }

    // "Update.ini" naming the given files of the update folder, and the server holding them.
    void Describe(const std::vector<std::string> &names)
    {
        std::string ini = "[Version]\r\nVersion=9.0\r\n[HTTP]\r\n";
        for (size_t i = 0; i < names.size(); ++i)
            ini += "File" + std::to_string(i + 1) + "=" + server.Url("/update/") + names[i] + "\r\n";
        ASSERT_TRUE(WriteFileBytes(folder + "Update.ini", ini));
    }
    void Serve(const std::string &name, const std::string &body, bool withLength = true)
    {
        HttpReply r;
        r.body = body;
        r.contentLength = withLength;
        server.Set("/update/" + name, r);
    }
    void Run()
    {
        flow.LoadUpdateList();
        flow.RunUpdate();
    }
    // The names in the program folder: what a run leaves behind, temporaries included.
    std::set<std::string> Files() { return FileNames(folder); }

    LoopbackHttpServer server;
    TempDir dir;
    std::string folder;
    TUpdateFlow flow;
    int answer = IDYES;
    int pumps = 0;
    std::function<void()> onPump;
    std::vector<std::string> boxes, boxCaptions, started, events;
    std::vector<UINT> boxFlags;

private:
    std::string savedUrl_;
};

}  // namespace

TEST(UpdaterNames, BackupNameReplacesOnlyTheLastExtension)
{
    EXPECT_EQ(BackupName("Quillmoor.exe"), "Quillmoor.BAK");
    EXPECT_EQ(BackupName("lib.tar.gz"), "lib.tar.BAK");
    EXPECT_EQ(BackupName("README"), "README.BAK");
    EXPECT_EQ(BackupName("lang.d\\de"), "lang.d\\de.BAK");   // a dot in a folder is no extension
    EXPECT_EQ(BackupName("lang\\de.ini"), "lang\\de.BAK");
}

TEST(UpdaterNames, NoTwoFilesOfARunShareABackup)
{
    using Names = std::vector<std::string>;
    EXPECT_EQ(RunBackupNames({"Quillmoor.exe", "Helper.dll", "readme"}),
              (Names{"Quillmoor.BAK", "Helper.BAK", "readme.BAK"}));
    EXPECT_EQ(RunBackupNames({"Quillmoor.exe", "Helper.dll", "Quillmoor.dll"}),
              (Names{"Quillmoor.exe.BAK", "Helper.BAK", "Quillmoor.dll.BAK"}));
    // Names meet as the file system sees them: letter case and either slash.
    EXPECT_EQ(RunBackupNames({"Setup.EXE", "setup.dll", "lang\\de.ini", "lang/de.txt"}),
              (Names{"Setup.EXE.BAK", "setup.dll.BAK", "lang\\de.ini.BAK", "lang/de.txt.BAK"}));
    // A file of the run is never another's backup, nor its own.
    EXPECT_EQ(RunBackupNames({"a.exe", "a.BAK"}), (Names{"a.exe.BAK", "a.BAK.BAK"}));
    EXPECT_EQ(RunBackupNames({"a.exe", "a.dll", "a.exe.txt"}), (Names{"a.exe.2.BAK", "a.dll.BAK", "a.exe.BAK"}));
    // One file named twice has one backup.
    EXPECT_EQ(RunBackupNames({"x.dll", "X.DLL"}), (Names{"x.BAK", "x.BAK"}));
}

TEST(UpdaterNames, NamesThatLeaveTheProgramFolderAreUnsafe)
{
    for (const char *bad : {"..\\evil.exe", "../evil.exe", "sub\\..\\..\\evil.exe", "C:\\Windows\\evil.exe",
                            "C:evil.exe", "\\evil.exe", "/evil.exe", "\\\\server\\share\\evil.exe",
                            "http://other.example/evil.exe", "...\\evil.exe", ".. \\evil.exe", "",
                            "sub\\", ".", "a.exe:stream", "sub\\..", "NUL", "lang\\con.ini",
                            "com1.dll", "Aux .txt"})
        EXPECT_FALSE(IsSafeUpdateName(bad)) << bad;
    for (const char *good : {"Quillmoor.exe", "lang\\de.ini", "lang/de.ini", ".\\x.dll", "a..b.dll", "..x",
                             "console.dll", "com10.dll", "lpt.txt"})
        EXPECT_TRUE(IsSafeUpdateName(good)) << good;
}

TEST_F(UpdaterFlowTest, ListNamesComeFromTheAddressesInFileOrder)
{
    std::string base = server.Url("/update/");
    ASSERT_TRUE(WriteFileBytes(folder + "Update.ini",
                               "[HTTP]\r\nZ=" + base + "z.dll\r\nA=" + base + "lang/" + base + "a.ini\r\n"
                               "B=http://elsewhere.example/UPDATE/b.exe\r\nC=" + server.Url("/Update/") + "c.exe\r\n"));
    flow.Rows.push_back({"stale", "1 KB"});
    flow.LoadUpdateList();
    ASSERT_EQ(flow.Rows.size(), 4u);
    EXPECT_EQ(flow.Rows[0].FileName, "z.dll");
    EXPECT_EQ(flow.Rows[1].FileName, "lang/a.ini");   // every occurrence goes
    EXPECT_EQ(flow.Rows[2].FileName, "http://elsewhere.example/UPDATE/b.exe");
    EXPECT_EQ(flow.Rows[3].FileName, server.Url("/Update/") + "c.exe");   // case matters
    EXPECT_EQ(flow.Rows[0].Downloads, "");
    ASSERT_EQ(flow.FileList->Count(), 4);
    EXPECT_EQ((*flow.FileList)[0], "Z=" + base + "z.dll");
}

TEST_F(UpdaterFlowTest, FullUpdateBacksUpReplacesAndRestartsTheProgram)
{
    std::string newExe = Body(5000, 'a'), newDll = Body(3000, 'k');
    Describe({"Quillmoor.exe", "Helper.dll"});
    Serve("Quillmoor.exe", newExe);
    Serve("Helper.dll", newDll);
    ASSERT_TRUE(WriteFileBytes(folder + "Quillmoor.exe", "old exe"));
    ASSERT_TRUE(WriteFileBytes(folder + "Quillmoor.BAK", "backup of an earlier update"));
    ASSERT_TRUE(WriteFileBytes(folder + "qmu1F.tmp", "left by an updater that was killed"));
    ASSERT_TRUE(WriteFileBytes(folder + "qmu_notes.tmpx", "the user's, whose short name fits the pattern"));

    Run();

    EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.exe"), newExe);
    EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.BAK"), "old exe");   // the old backup went first
    EXPECT_EQ(ReadFileBytes(folder + "Helper.dll"), newDll);
    EXPECT_FALSE(FileExists(folder + "Helper.BAK"));   // nothing to back up
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "OK, Update Completed!\r\rClick OK Button to run now?");
    EXPECT_EQ(boxCaptions[0], "Quillmoor");
    EXPECT_EQ(boxFlags[0], 0x40u);
    EXPECT_EQ(events, (std::vector<std::string>{"box", "terminate", "start"}));
    EXPECT_EQ(started, std::vector<std::string>{folder + "Quillmoor.exe"});
    EXPECT_EQ(flow.Rows[0].Downloads, "4 KB");
    EXPECT_EQ(flow.Rows[1].Downloads, "2 KB");
    EXPECT_EQ(flow.GaugeMax, 3000);
    EXPECT_EQ(flow.GaugeProgress, 3000);
    EXPECT_FALSE(flow.UpdateEnabled);
    EXPECT_GT(pumps, 0);   // progress events let the window breathe
    EXPECT_EQ(Files(),
              (std::set<std::string>{"Update.ini", "Quillmoor.exe", "Quillmoor.BAK", "Helper.dll", "qmu_notes.tmpx"}));
}

TEST_F(UpdaterFlowTest, TwoFilesOfOneNameKeepBackupsOfTheirOwn)
{
    Describe({"Quillmoor.exe", "Quillmoor.dll"});
    Serve("Quillmoor.exe", "new exe");
    ASSERT_TRUE(WriteFileBytes(folder + "Quillmoor.exe", "old exe"));
    ASSERT_TRUE(WriteFileBytes(folder + "Quillmoor.dll", "old dll"));
    EXPECT_THROW(Run(), ui::EAbort);   // Quillmoor.dll is not on the server yet
    EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.exe"), "old exe");
    EXPECT_EQ(Files(), (std::set<std::string>{"Update.ini", "Quillmoor.exe", "Quillmoor.dll"}));

    Serve("Quillmoor.dll", "new dll");
    Run();
    EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.exe"), "new exe");
    EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.dll"), "new dll");
    EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.exe.BAK"), "old exe");
    EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.dll.BAK"), "old dll");
    EXPECT_FALSE(FileExists(folder + "Quillmoor.BAK"));
    EXPECT_EQ(started.size(), 1u);
}

TEST_F(UpdaterFlowTest, NotFoundOnTheSecondFileLeavesEveryFileAsItWas)
{
    Describe({"Quillmoor.exe", "Helper.dll", "Third.dat"});
    Serve("Quillmoor.exe", "new exe");
    Serve("Third.dat", "new third");
    ASSERT_TRUE(WriteFileBytes(folder + "Quillmoor.exe", "old exe"));
    ASSERT_TRUE(WriteFileBytes(folder + "Quillmoor.BAK", "backup of an earlier update"));
    ASSERT_TRUE(WriteFileBytes(folder + "Helper.dll", "old dll"));
    ASSERT_TRUE(WriteFileBytes(folder + "Third.dat", "old third"));
    std::set<std::string> before = Files();

    EXPECT_THROW(Run(), ui::EAbort);

    EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.exe"), "old exe");
    EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.BAK"), "backup of an earlier update");
    EXPECT_EQ(ReadFileBytes(folder + "Helper.dll"), "old dll");
    EXPECT_EQ(ReadFileBytes(folder + "Third.dat"), "old third");
    EXPECT_EQ(Files(), before);   // no backup made, no temporary file left
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(started.empty());
    EXPECT_FALSE(flow.UpdateEnabled);
    for (const std::string &r : server.Requests()) EXPECT_EQ(r.find("Third.dat"), std::string::npos);
}

TEST_F(UpdaterFlowTest, EmptyBodyIsNotInstalled)
{
    for (bool withLength : {true, false}) {
        Describe({"Quillmoor.exe", "Helper.dll"});
        Serve("Quillmoor.exe", "new exe");
        Serve("Helper.dll", "", withLength);   // 200 with nothing in it
        ASSERT_TRUE(WriteFileBytes(folder + "Quillmoor.exe", "old exe"));
        ASSERT_TRUE(WriteFileBytes(folder + "Helper.dll", "old dll"));
        EXPECT_THROW(Run(), ui::EAbort) << withLength;
        EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.exe"), "old exe") << withLength;
        EXPECT_EQ(ReadFileBytes(folder + "Helper.dll"), "old dll") << withLength;
        EXPECT_EQ(Files(), (std::set<std::string>{"Update.ini", "Quillmoor.exe", "Helper.dll"})) << withLength;
    }
    EXPECT_TRUE(started.empty());
}

TEST_F(UpdaterFlowTest, AbortDuringASlowDownloadLeavesEveryFileAsItWas)
{
    Describe({"Quillmoor.exe", "Big.dat"});
    Serve("Quillmoor.exe", "new exe");
    HttpReply slow;
    slow.body = Body(200000, 'z');
    slow.chunk = 2000;
    slow.chunkDelayMs = 20;
    server.Set("/update/Big.dat", slow);
    ASSERT_TRUE(WriteFileBytes(folder + "Quillmoor.exe", "old exe"));
    ASSERT_TRUE(WriteFileBytes(folder + "Big.dat", "old big"));

    // The user closes the window during the second file and confirms the question.
    bool asked = false;
    onPump = [&] {
        if (flow.CurrentRow == 1 && !asked) {
            asked = true;
            EXPECT_TRUE(flow.CanClose());
        }
    };
    EXPECT_THROW(Run(), ui::EAbort);

    EXPECT_TRUE(flow.AbortRequested);
    EXPECT_LT(flow.GaugeProgress, static_cast<long long>(slow.body.size()));   // the transfer was cut
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "File not download Completed, Aborted?");
    EXPECT_EQ(boxFlags[0], 0x24u);
    EXPECT_EQ(ReadFileBytes(folder + "Big.dat"), "old big");
    EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.exe"), "old exe");
    EXPECT_EQ(Files(), (std::set<std::string>{"Update.ini", "Quillmoor.exe", "Big.dat"}));
    EXPECT_TRUE(started.empty());
}

TEST_F(UpdaterFlowTest, AnsweringNoToTheCloseQuestionLetsTheUpdateFinish)
{
    Describe({"Big.dat"});
    HttpReply slow;
    slow.body = Body(20000, 'q');
    slow.chunk = 2000;
    slow.chunkDelayMs = 5;
    server.Set("/update/Big.dat", slow);
    bool asked = false;
    onPump = [&] {
        if (!asked) {
            asked = true;
            EXPECT_FALSE(flow.CanClose());
        }
    };
    answer = IDNO;
    flow.LoadUpdateList();
    // The completion box is answered with OK; the recorder returns the same value for every box.
    flow.RunUpdate();
    EXPECT_FALSE(flow.AbortRequested);
    EXPECT_EQ(ReadFileBytes(folder + "Big.dat"), slow.body);
    EXPECT_EQ(started.size(), 1u);
}

// Without a length only the connection can tell that the body is cut short: here it stops
// sending, and the wait for more ends the transfer as a failure.
TEST_F(UpdaterFlowTest, BodyCutOffWithoutLengthLeavesEveryFileAsItWas)
{
    Describe({"Quillmoor.exe", "Helper.dll"});
    Serve("Quillmoor.exe", "new exe");
    HttpReply cut;
    cut.body = Body(10000, 'x');
    cut.contentLength = false;
    cut.stallAfter = 4000;
    server.Set("/update/Helper.dll", cut);
    ASSERT_TRUE(WriteFileBytes(folder + "Quillmoor.exe", "old exe"));
    ASSERT_TRUE(WriteFileBytes(folder + "Helper.dll", "old dll"));
    DWORD start = GetTickCount();
    EXPECT_THROW(Run(), ui::EAbort);
    EXPECT_LT(GetTickCount() - start, 15000u);
    EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.exe"), "old exe");
    EXPECT_EQ(ReadFileBytes(folder + "Helper.dll"), "old dll");
    EXPECT_EQ(Files(), (std::set<std::string>{"Update.ini", "Quillmoor.exe", "Helper.dll"}));
    EXPECT_EQ(flow.Rows[1].Downloads, "3 KB");   // what had come before the stall
    EXPECT_TRUE(started.empty());
}

TEST_F(UpdaterFlowTest, WithoutLengthTheGaugeStaysEmptyWhileKilobytesCount)
{
    Describe({"NoSize.bin"});
    HttpReply r;
    r.body = Body(7000, 'n');
    r.contentLength = false;
    r.chunk = 1500;
    r.chunkDelayMs = 5;
    server.Set("/update/NoSize.bin", r);
    std::vector<long long> maxima;
    flow.OnGaugeChanged = [&] { maxima.push_back(flow.GaugeMax); };
    Run();
    EXPECT_EQ(ReadFileBytes(folder + "NoSize.bin"), r.body);
    EXPECT_EQ(flow.GaugeMax, 0);
    for (long long m : maxima) EXPECT_EQ(m, 0);
    EXPECT_EQ(flow.Rows[0].Downloads, "6 KB");
}

TEST_F(UpdaterFlowTest, UnsafeNamesStopTheRunBeforeAnythingIsWritten)
{
    TempDir outside;
    std::string base = server.Url("/update/");
    std::vector<std::string> names = {"..\\evil.exe", "sub\\..\\..\\evil.exe", outside.Path() + "\\evil.exe",
                                      "\\evil.exe"};
    for (const std::string &bad : names) {
        ASSERT_TRUE(WriteFileBytes(folder + "Update.ini",
                                   "[HTTP]\r\nA=" + base + "Quillmoor.exe\r\nB=" + base + bad + "\r\n"));
        ASSERT_TRUE(WriteFileBytes(folder + "Quillmoor.exe", "old exe"));
        Serve("Quillmoor.exe", "new exe");
        Serve(bad, "evil");
        flow.LoadUpdateList();
        try {
            flow.RunUpdate();
            ADD_FAILURE() << "accepted " << bad;
        } catch (const ui::EAbort &) {
            ADD_FAILURE() << "silent for " << bad;
        } catch (const ui::Exception &e) {
            EXPECT_NE(std::string(e.what()).find("B=" + base + bad), std::string::npos) << e.what();
        }
        EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.exe"), "old exe") << bad;
        EXPECT_FALSE(FileExists(folder + "Quillmoor.BAK")) << bad;
        EXPECT_FALSE(FileExists(dir.Path() + "\\..\\evil.exe")) << bad;
        EXPECT_FALSE(FileExists(outside.Path() + "\\evil.exe")) << bad;
        EXPECT_TRUE(flow.UpdateEnabled);   // nothing runs, so closing needs no question
    }
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(UpdaterFlowTest, FailedBackupPutsEveryFileBackAndReenablesUpdate)
{
    Describe({"First.dat", "Locked.dll", "Last.dat"});
    Serve("First.dat", "new first");
    Serve("Locked.dll", "new locked");
    Serve("Last.dat", "new last");
    ASSERT_TRUE(WriteFileBytes(folder + "First.dat", "old first"));
    ASSERT_TRUE(WriteFileBytes(folder + "First.BAK", "older first"));
    ASSERT_TRUE(WriteFileBytes(folder + "Locked.dll", "old locked"));
    ASSERT_TRUE(WriteFileBytes(folder + "Last.dat", "old last"));
    std::set<std::string> before = Files();
    HANDLE lock = CreateFileA((folder + "Locked.dll").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    try {
        Run();
        ADD_FAILURE() << "no error";
    } catch (const ui::EAbort &) {
        ADD_FAILURE() << "the error must be shown";
    } catch (const ui::Exception &e) {
        EXPECT_STREQ(e.what(), "Unable to create backup file.");
    }
    CloseHandle(lock);
    // First.dat had been replaced already: it and its earlier backup are back.
    EXPECT_EQ(ReadFileBytes(folder + "First.dat"), "old first");
    EXPECT_EQ(ReadFileBytes(folder + "First.BAK"), "older first");
    EXPECT_EQ(ReadFileBytes(folder + "Locked.dll"), "old locked");
    EXPECT_EQ(ReadFileBytes(folder + "Last.dat"), "old last");
    EXPECT_EQ(Files(), before);
    EXPECT_TRUE(flow.UpdateEnabled);
    EXPECT_TRUE(boxes.empty());

    // The user may try again once the file is free.
    flow.RunUpdate();
    EXPECT_EQ(ReadFileBytes(folder + "First.dat"), "new first");
    EXPECT_EQ(ReadFileBytes(folder + "First.BAK"), "old first");
    EXPECT_EQ(ReadFileBytes(folder + "Locked.dll"), "new locked");
    EXPECT_EQ(ReadFileBytes(folder + "Last.dat"), "new last");
    EXPECT_EQ(Files(), (std::set<std::string>{"Update.ini", "First.dat", "First.BAK", "Locked.dll", "Locked.BAK",
                                              "Last.dat", "Last.BAK"}));
    EXPECT_EQ(started.size(), 1u);
}

// Another program holds the new First.dat open, sharing everything: the undoing's deletion waits
// for that handle, so the old version cannot take the name back. It is named, and the earlier
// backup is not laid over it.
TEST_F(UpdaterFlowTest, AFileThatCannotBePutBackIsNamedAndKeepsItsOldVersion)
{
    Describe({"First.dat", "Locked.dll"});
    Serve("First.dat", "new first");
    Serve("Locked.dll", "new locked");
    ASSERT_TRUE(WriteFileBytes(folder + "First.dat", "old first"));
    ASSERT_TRUE(WriteFileBytes(folder + "First.BAK", "older first"));
    ASSERT_TRUE(WriteFileBytes(folder + "Locked.dll", "old locked"));
    HANDLE held = INVALID_HANDLE_VALUE;
    HANDLE lock = CreateFileA((folder + "Locked.dll").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    onPump = [&] {   // the first comes during the download of First.dat, the only temporary file
        WIN32_FIND_DATAA fd;
        if (held != INVALID_HANDLE_VALUE) return;
        HANDLE find = FindFirstFileA((folder + "qmu*.tmp").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) return;
        FindClose(find);
        held = CreateFileA((folder + fd.cFileName).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
    };
    std::string error;
    try {
        Run();
    } catch (const ui::Exception &e) {
        error = e.what();
    }
    CloseHandle(lock);
    CloseHandle(held);
    EXPECT_NE(error.find("\"" + folder + "First.dat\" could not be put back: its old version is \"" + folder +
                         "First.BAK\"."),
              std::string::npos)
        << error;
    EXPECT_EQ(ReadFileBytes(folder + "First.BAK"), "old first");
    const std::string aside = "\"" + folder + "First.BAK\" could not be put back: its old version is \"";
    const size_t from = error.find(aside) + aside.size();
    ASSERT_GT(from, aside.size()) << error;
    EXPECT_EQ(ReadFileBytes(error.substr(from, error.find('"', from) - from)), "older first");
}

TEST_F(UpdaterFlowTest, TargetThatCannotBeCreatedIsAFileError)
{
    Describe({"nofolder\\x.dll"});
    Serve("nofolder\\x.dll", "x");
    try {
        Run();
        ADD_FAILURE() << "no error";
    } catch (const ui::EAbort &) {
        ADD_FAILURE() << "the file error must be shown";
    } catch (const ui::Exception &e) {
        EXPECT_NE(std::string(e.what()).find("x.dll"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(started.empty());
}

TEST_F(UpdaterFlowTest, EmptyOrMissingListDownloadsNothingAndClosingAsks)
{
    Run();   // no Update.ini at all
    EXPECT_TRUE(flow.Rows.empty());
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(flow.UpdateEnabled);

    ASSERT_TRUE(WriteFileBytes(folder + "Update.ini", "[Version]\r\nVersion=9\r\n[HTTP]\r\n"));
    Run();
    EXPECT_TRUE(flow.Rows.empty());
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(boxes.empty());

    answer = IDNO;
    EXPECT_FALSE(flow.CanClose());
    EXPECT_FALSE(flow.AbortRequested);
    answer = IDYES;
    EXPECT_TRUE(flow.CanClose());
    EXPECT_TRUE(flow.AbortRequested);
    EXPECT_EQ(boxes, (std::vector<std::string>{"File not download Completed, Aborted?",
                                               "File not download Completed, Aborted?"}));
}

TEST_F(UpdaterFlowTest, ClosingWhileIdleNeedsNoQuestion)
{
    EXPECT_TRUE(flow.UpdateEnabled);
    EXPECT_TRUE(flow.CanClose());
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(flow.AbortRequested);
}
