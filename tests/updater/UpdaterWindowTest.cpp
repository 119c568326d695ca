// The updater's window: its list and gauge follow the run, and closing it during a download aborts.
#include "LoopbackHttpServer.h"
#include "TestSupport.h"
#include "ui/Application.h"
#include "ui/HttpClient.h"
#include "updater/MainUnit.h"
#include <gtest/gtest.h>
#include <vector>

using namespace qmtest;

namespace {

class UpdaterWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedUrl_ = UpdateFolderURL;
        UpdateFolderURL = server.Url("/update/");
        folder = dir.Path() + "\\";
        form.reset(new TMainForm);
        form->Flow.ProgramFolder = folder;
        form->Flow.IdHTTP1->ReadTimeout = 2000;
        form->Flow.MessageBoxFn = [this](const std::string &text, const std::string &, UINT) {
            boxes.push_back(text);
            return IDYES;
        };
        form->Flow.StartProgram = [this](const std::string &path) { started.push_back(path); };
        form->Flow.Terminate = [this] { ++terminations; };
    }
    void TearDown() override
    {
        form.reset();
        UpdateFolderURL = savedUrl_;
    }
    void Describe(const std::vector<std::string> &names)
    {
        std::string ini = "[HTTP]\r\n";
        for (const std::string &n : names) ini += n + "=" + server.Url("/update/") + n + "\r\n";
        ASSERT_TRUE(WriteFileBytes(folder + "Update.ini", ini));
    }

    LoopbackHttpServer server;
    TempDir dir;
    std::string folder;
    std::unique_ptr<TMainForm> form;
    std::vector<std::string> boxes, started;
    int terminations = 0;

private:
    std::string savedUrl_;
};

}  // namespace

TEST_F(UpdaterWindowTest, ShowingTheWindowRunsTheUpdateOnceAndFillsTheList)
{
    Describe({"Quillmoor.exe", "Data.bin"});
    HttpReply exe;
    exe.body = std::string(3000, 'e');
    server.Set("/update/Quillmoor.exe", exe);
    HttpReply data;
    data.body = std::string(9000, 'd');
    server.Set("/update/Data.bin", data);
    ASSERT_TRUE(WriteFileBytes(folder + "Quillmoor.exe", "old"));

    RECT rc;
    GetClientRect(form->Handle(), &rc);
    EXPECT_EQ(rc.right, 426);
    EXPECT_EQ(rc.bottom, 246);
    char caption[64];
    GetWindowTextA(form->Handle(), caption, sizeof(caption));
    EXPECT_STREQ(caption, "Quillmoor Update");

    form->Show();   // showing loads the list; the first activation starts the update
    PumpMessages();
    ASSERT_EQ(form->RowCount(), 2);
    EXPECT_EQ(form->RowText(0, 0), "Quillmoor.exe");
    EXPECT_EQ(form->RowText(0, 1), "2 KB");
    EXPECT_EQ(form->RowText(1, 0), "Data.bin");
    EXPECT_EQ(form->RowText(1, 1), "8 KB");
    EXPECT_EQ(form->GaugeMax(), 9000);
    EXPECT_EQ(form->GaugePosition(), 9000);
    EXPECT_FALSE(IsWindowEnabled(form->btn_Update.Handle()));
    EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.exe"), exe.body);
    EXPECT_EQ(ReadFileBytes(folder + "Quillmoor.BAK"), "old");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(started, std::vector<std::string>{folder + "Quillmoor.exe"});
    EXPECT_EQ(terminations, 1);

    // Another activation does not start a second run.
    form->Hide();
    form->Show();
    PumpMessages();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(UpdaterWindowTest, ClosingDuringADownloadAsksAndAbortsIt)
{
    Describe({"Big.dat"});
    HttpReply slow;
    slow.body = std::string(300000, 'b');
    slow.chunk = 3000;
    slow.chunkDelayMs = 20;
    slow.contentLength = false;
    server.Set("/update/Big.dat", slow);
    ASSERT_TRUE(WriteFileBytes(folder + "Big.dat", "old big"));

    // The close arrives while the download runs, like a click on the title bar's close box.
    int works = 0;
    auto pump = form->Flow.ProcessMessages;
    form->Flow.ProcessMessages = [&] {
        if (++works == 3) PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
        pump();
    };
    form->Show();
    PumpMessages();

    EXPECT_EQ(boxes, std::vector<std::string>{"File not download Completed, Aborted?"});
    EXPECT_TRUE(form->Flow.AbortRequested);
    EXPECT_EQ(ReadFileBytes(folder + "Big.dat"), "old big");
    EXPECT_FALSE(FileExists(folder + "Big.BAK"));
    EXPECT_TRUE(started.empty());
    EXPECT_EQ(form->GaugeMax(), 0);   // no size announced: the gauge stayed empty
    EXPECT_NE(form->RowText(0, 1), "");
    EXPECT_LT(works, 50);
}

TEST_F(UpdaterWindowTest, CloseButtonWhileIdleClosesWithoutAQuestion)
{
    // A failed backup leaves Update enabled again; Close then needs no question.
    Describe({"Locked.dll"});
    HttpReply locked;
    locked.body = "new";
    server.Set("/update/Locked.dll", locked);
    ASSERT_TRUE(WriteFileBytes(folder + "Locked.dll", "old"));
    HANDLE lock = CreateFileA((folder + "Locked.dll").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    std::vector<std::string> errors;
    ui::Application->OnException = [&](const std::exception &e) { errors.push_back(e.what()); };
    form->Show();
    PumpMessages();
    CloseHandle(lock);
    ui::Application->OnException = nullptr;
    EXPECT_EQ(errors, std::vector<std::string>{"Unable to create backup file."});
    EXPECT_EQ(ReadFileBytes(folder + "Locked.dll"), "old");
    EXPECT_TRUE(IsWindowEnabled(form->btn_Update.Handle()));

    form->Btn_Cancel.Click();
    PumpMessages();
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(IsWindowVisible(form->Handle()));
}
