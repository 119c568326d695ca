// The daily job against wine's real Task Scheduler: what Enum lists, what the saved .job file
// holds (read byte by byte in its documented layout), and what the page shows after a reload.
#include <gtest/gtest.h>
#include <windows.h>
#include <mstask.h>
#include <string>
#include <vector>
#include "TestSupport.h"
#include "app/SchedulerUnit.h"
#include "app/SettingsUnit.h"

namespace {

// The page as plain values; the check box reproduces what its click event does on the real page
// only as far as LoadSchedule relies on it (nothing here decides what the scheduler does).
class PageValues : public TSchedulePage {
public:
    bool checked = false;
    std::string taskName = "Task Name";
    WORD hour = 0, minute = 0, second = 0;
    int days = 1;
    bool picture = false;
    std::vector<std::string> messages;

    bool ActivateChecked() override { return checked; }
    void SetActivateChecked(bool c) override { checked = c; }
    void SetTaskName(const std::string &t) override { taskName = t; }
    void StartTime(WORD &h, WORD &m) override { h = hour; m = minute; }
    void SetStartTime(WORD h, WORD m, WORD s) override { hour = h; minute = m; second = s; }
    int Days() override { return days; }
    void SetDays(int d) override { days = d; }
    void SetTaskPicture(bool shown) override { picture = shown; }
    void ShowMessage(const std::string &text) override { messages.push_back(text); }
};

std::string TasksFolder()
{
    char windir[MAX_PATH];
    GetWindowsDirectoryA(windir, MAX_PATH);
    return std::string(windir) + "\\Tasks";
}

std::string JobPath() { return TasksFolder() + "\\Quillmoor.job"; }

// The names the scheduler lists, asked directly, not through the unit under test.
std::vector<std::string> ListedJobs()
{
    std::vector<std::string> out;
    ITaskScheduler *ts = nullptr;
    if (FAILED(CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                reinterpret_cast<void **>(&ts))))
        return out;
    IEnumWorkItems *e = nullptr;
    if (SUCCEEDED(ts->Enum(&e))) {
        LPWSTR *names = nullptr;
        ULONG n = 0;
        while (e->Next(1, &names, &n) == S_OK && n == 1) {
            char a[MAX_PATH] = {0};
            WideCharToMultiByte(CP_ACP, 0, names[0], -1, a, MAX_PATH - 1, nullptr, nullptr);
            out.push_back(a);
            CoTaskMemFree(names[0]);
            CoTaskMemFree(names);
        }
        e->Release();
    }
    ts->Release();
    return out;
}

bool IsListed(const std::string &name)
{
    for (const auto &n : ListedJobs())
        if (n == name) return true;
    return false;
}

// The .job file: a fixed 68-byte section, then counted UTF-16 strings, then the triggers.
struct JobFile {
    bool ok = false;
    uint32_t flags = 0;
    std::string application, parameters, directory, author, comment;
    std::vector<std::vector<uint8_t>> triggers;
};

uint16_t U16(const std::string &b, size_t at) { return static_cast<uint16_t>(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }
uint32_t U32(const std::string &b, size_t at) { return U16(b, at) | uint32_t(U16(b, at + 2)) << 16; }

JobFile ReadJob(const std::string &path)
{
    JobFile j;
    std::string b = qmtest::ReadFileBytes(path);
    if (b.size() < 70) return j;
    j.flags = U32(b, 0x30);
    size_t at = U16(b, 20);
    size_t triggerAt = U16(b, 22);
    auto text = [&](std::string &out) {
        if (at + 2 > b.size()) return false;
        uint16_t chars = U16(b, at);
        at += 2;
        if (at + chars * 2u > b.size()) return false;
        for (uint16_t i = 0; i < chars; ++i) {
            uint16_t c = U16(b, at + i * 2u);
            if (c) out += static_cast<char>(c < 128 ? c : '?');
        }
        at += chars * 2u;
        return true;
    };
    if (!text(j.application) || !text(j.parameters) || !text(j.directory) || !text(j.author) || !text(j.comment))
        return j;
    if (triggerAt + 2 > b.size()) return j;
    uint16_t count = U16(b, triggerAt);
    for (uint16_t i = 0; i < count; ++i) {
        size_t t = triggerAt + 2 + i * 48u;
        if (t + 48 > b.size()) return j;
        j.triggers.emplace_back(b.begin() + t, b.begin() + t + 48);
    }
    j.ok = true;
    return j;
}

uint16_t TriggerWord(const std::vector<uint8_t> &t, size_t at) { return static_cast<uint16_t>(t[at] | t[at + 1] << 8); }

class SchedulerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ReleaseTaskScheduler();
        DeleteFileA(JobPath().c_str());
        ASSERT_EQ(CreateTaskScheduler(), 0);
        ASSERT_NE(TaskScheduler, nullptr);
    }
    void TearDown() override
    {
        ReleaseTaskScheduler();
        DeleteFileA(JobPath().c_str());
    }
    // A fresh run of the program: nothing held, the scheduler made anew.
    void Restart()
    {
        ReleaseTaskScheduler();
        ASSERT_EQ(CreateTaskScheduler(), 0);
    }
    bool Apply(PageValues &page, bool checked, WORD hour, WORD minute, int days)
    {
        page.checked = checked;
        page.hour = hour;
        page.minute = minute;
        page.days = days;
        return ApplySchedule(&page);
    }
    // Holds the job file open, sharing nothing, as another program could. Wine's scheduler service
    // may still be reading a file just saved, so the hold is taken as soon as the file is free.
    static HANDLE HoldJobFile()
    {
        HANDLE lock = INVALID_HANDLE_VALUE;
        for (int tries = 0; lock == INVALID_HANDLE_VALUE && tries < 500; ++tries) {
            lock = CreateFileA(JobPath().c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
            if (lock == INVALID_HANDLE_VALUE) Sleep(10);
        }
        return lock;
    }
};

TEST_F(SchedulerTest, NoJobShowsNotScheduled)
{
    PageValues page;
    page.checked = true;
    page.days = 9;
    LoadSchedule(&page);
    EXPECT_FALSE(page.checked);
    EXPECT_EQ(page.taskName, "Not Schedule Task");
    EXPECT_EQ(page.days, 1);
    EXPECT_FALSE(page.picture);
    EXPECT_EQ(HeldTask, nullptr);
    EXPECT_TRUE(page.messages.empty());
}

TEST_F(SchedulerTest, CreatedJobIsListedAndHoldsItsPropertiesAndDailyTrigger)
{
    PageValues page;
    EXPECT_TRUE(Apply(page, true, 7, 45, 3));
    EXPECT_TRUE(page.messages.empty()) << page.messages.front();
    EXPECT_TRUE(IsListed("Quillmoor.job"));
    EXPECT_FALSE(IsListed("Quillmoor.job.job"));

    JobFile job = ReadJob(JobPath());
    ASSERT_TRUE(job.ok);
    EXPECT_EQ(job.application, ProgramFilePath());
    EXPECT_EQ(job.parameters, "-Scan");
    std::string folder = ProgramFolder();
    folder.pop_back();
    EXPECT_EQ(job.directory, folder);
    EXPECT_EQ(job.comment, "Runs Quillmoor at Scheduled Time.");
    EXPECT_EQ(job.flags & TASK_FLAG_RUN_ONLY_IF_LOGGED_ON, static_cast<uint32_t>(TASK_FLAG_RUN_ONLY_IF_LOGGED_ON));

    ASSERT_EQ(job.triggers.size(), 1u);
    const auto &t = job.triggers[0];
    SYSTEMTIME today;
    GetLocalTime(&today);
    EXPECT_EQ(TriggerWord(t, 0), 48);
    EXPECT_EQ(TriggerWord(t, 4), today.wYear);
    EXPECT_EQ(TriggerWord(t, 6), today.wMonth);
    EXPECT_EQ(TriggerWord(t, 8), today.wDay);
    EXPECT_EQ(TriggerWord(t, 10), 0);   // no end date
    EXPECT_EQ(TriggerWord(t, 16), 7);
    EXPECT_EQ(TriggerWord(t, 18), 45);
    EXPECT_EQ(TriggerWord(t, 32), TASK_TIME_TRIGGER_DAILY);
    EXPECT_EQ(TriggerWord(t, 36), 3);   // days interval

    // The next run of the program shows exactly that.
    Restart();
    PageValues again;
    LoadSchedule(&again);
    EXPECT_TRUE(again.checked);
    EXPECT_EQ(again.taskName, "Quillmoor.job");
    EXPECT_EQ(again.hour, 7);
    EXPECT_EQ(again.minute, 45);
    EXPECT_EQ(again.second, 0);
    EXPECT_EQ(again.days, 3);
    EXPECT_TRUE(again.picture);
    EXPECT_NE(HeldTask, nullptr);
}

TEST_F(SchedulerTest, ApplyingToAnExistingJobChangesOnlyItsTrigger)
{
    PageValues page;
    Apply(page, true, 7, 45, 3);
    Restart();
    PageValues loaded;
    LoadSchedule(&loaded);
    ASSERT_TRUE(loaded.checked);
    Apply(loaded, true, 22, 10, 31);
    EXPECT_TRUE(loaded.messages.empty());

    JobFile job = ReadJob(JobPath());
    ASSERT_TRUE(job.ok);
    EXPECT_EQ(job.parameters, "-Scan");
    EXPECT_EQ(job.comment, "Runs Quillmoor at Scheduled Time.");
    ASSERT_EQ(job.triggers.size(), 1u);
    EXPECT_EQ(TriggerWord(job.triggers[0], 16), 22);
    EXPECT_EQ(TriggerWord(job.triggers[0], 18), 10);
    EXPECT_EQ(TriggerWord(job.triggers[0], 36), 31);
}

TEST_F(SchedulerTest, UncheckedApplyDeletesTheJobAndTheHeldTaskCanRecreateIt)
{
    PageValues page;
    Apply(page, true, 6, 0, 1);
    ASSERT_TRUE(IsListed("Quillmoor.job"));
    page.picture = true;
    Apply(page, false, 6, 0, 1);
    EXPECT_FALSE(IsListed("Quillmoor.job"));
    EXPECT_FALSE(qmtest::FileExists(JobPath()));
    EXPECT_FALSE(page.picture);

    PageValues reloaded;
    LoadSchedule(&reloaded);
    EXPECT_FALSE(reloaded.checked);
    EXPECT_EQ(reloaded.taskName, "Not Schedule Task");

    // Checked again in the same run: the held task saves itself again with the new trigger.
    Apply(reloaded, true, 8, 5, 2);
    EXPECT_TRUE(IsListed("Quillmoor.job"));
    JobFile job = ReadJob(JobPath());
    ASSERT_TRUE(job.ok);
    ASSERT_EQ(job.triggers.size(), 1u);
    EXPECT_EQ(TriggerWord(job.triggers[0], 16), 8);
    EXPECT_EQ(TriggerWord(job.triggers[0], 36), 2);
}

TEST_F(SchedulerTest, UncheckedApplyWithoutAJobDoesNothing)
{
    PageValues page;
    Apply(page, false, 6, 0, 1);
    EXPECT_FALSE(IsListed("Quillmoor.job"));
    EXPECT_EQ(HeldTask, nullptr);
    EXPECT_TRUE(page.messages.empty());
}

TEST_F(SchedulerTest, ReadsTheTriggerOfARealJobFile)
{
    // A job written by another program's installer: daily at 15:42, every day.
    ASSERT_TRUE(CopyFileA(qmtest::TestDataPath("jobs/plaso-wintask.job").c_str(), JobPath().c_str(), FALSE));
    SetFileAttributesA(JobPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    PageValues page;
    LoadSchedule(&page);
    EXPECT_TRUE(page.messages.empty());
    EXPECT_TRUE(page.checked);
    EXPECT_EQ(page.hour, 15);
    EXPECT_EQ(page.minute, 42);
    EXPECT_EQ(page.days, 1);
}

TEST_F(SchedulerTest, AJobWithoutATriggerIsReportedAndNotSavedOver)
{
    // The real job with its trigger count set to 0 and the trigger cut off.
    std::string job = qmtest::ReadFileBytes(qmtest::TestDataPath("jobs/plaso-wintask.job"));
    const size_t triggerAt = U16(job, 22);
    ASSERT_LT(triggerAt + 2, job.size());
    job.resize(triggerAt + 2);
    job[triggerAt] = job[triggerAt + 1] = 0;
    ASSERT_TRUE(qmtest::WriteFileBytes(JobPath(), job));

    PageValues page;
    LoadSchedule(&page);
    EXPECT_TRUE(page.checked);   // the job is there
    ASSERT_EQ(page.messages.size(), 1u);
    EXPECT_EQ(page.messages[0].rfind("Error in Task.GetTrigger.Error Code :", 0), 0u) << page.messages[0];
    EXPECT_EQ(page.days, 1);

    // Applying to it stops at the same call: the stored job is not rewritten.
    EXPECT_FALSE(Apply(page, true, 5, 5, 5));
    ASSERT_EQ(page.messages.size(), 2u);
    EXPECT_EQ(page.messages[1].rfind("Error in Task.GetTrigger.Error Code :", 0), 0u);
    EXPECT_EQ(qmtest::ReadFileBytes(JobPath()), job);
}

TEST_F(SchedulerTest, ARefusedSaveIsReportedAndTheApplyFails)
{
    PageValues page;
    ASSERT_TRUE(Apply(page, true, 7, 45, 3));
    std::string stored = qmtest::ReadFileBytes(JobPath());
    HANDLE lock = HoldJobFile();
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(Apply(page, true, 9, 0, 2));
    CloseHandle(lock);
    ASSERT_EQ(page.messages.size(), 1u);
    EXPECT_EQ(page.messages[0].rfind("Error in PersistFile.Save.Error Code :", 0), 0u) << page.messages[0];
    EXPECT_EQ(qmtest::ReadFileBytes(JobPath()), stored);
}

// A new job whose first save is refused (a file of its name is held open) is let go: the next
// apply creates it whole.
TEST_F(SchedulerTest, ANewJobWhoseSaveFailedIsCreatedByTheNextApply)
{
    ASSERT_TRUE(qmtest::WriteFileBytes(JobPath(), ""));
    HANDLE lock = HoldJobFile();
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    PageValues page;
    EXPECT_FALSE(Apply(page, true, 7, 45, 3));
    CloseHandle(lock);
    DeleteFileA(JobPath().c_str());
    EXPECT_TRUE(Apply(page, true, 7, 45, 3));
    EXPECT_EQ(page.messages.size(), 1u);
    JobFile job = ReadJob(JobPath());
    ASSERT_EQ(job.triggers.size(), 1u);
    EXPECT_EQ(TriggerWord(job.triggers[0], 16), 7);
}

TEST_F(SchedulerTest, ADamagedJobIsReportedAndNotShownAsActive)
{
    ASSERT_TRUE(qmtest::WriteFileBytes(JobPath(), "not a job"));
    PageValues page;
    LoadSchedule(&page);
    ASSERT_EQ(page.messages.size(), 1u);
    EXPECT_EQ(page.messages[0].rfind("Error in SchedulingAgent.Activate.Error Code :", 0), 0u) << page.messages[0];
    EXPECT_FALSE(page.checked);
    EXPECT_EQ(HeldTask, nullptr);
}

TEST_F(SchedulerTest, SaveWithoutAHeldTaskReportsAndReturnsMinusOne)
{
    PageValues page;
    EXPECT_EQ(SaveTask(&page), -1);
    ASSERT_EQ(page.messages.size(), 1u);
    EXPECT_EQ(page.messages[0], "Error in  Task.QueryInterface(IID_IPersistFile, pIPersistFile):");
}

TEST_F(SchedulerTest, ActivatingAMissingJobReportsTheCodeAndGivesNoTask)
{
    PageValues page;
    ITask *task = reinterpret_cast<ITask *>(1);
    ActivateTask("NoSuchQuillmoorJob", &task, &page);
    EXPECT_EQ(task, nullptr);
    ASSERT_EQ(page.messages.size(), 1u);
    const std::string prefix = "Error in SchedulingAgent.Activate.Error Code :";
    ASSERT_EQ(page.messages[0].size(), prefix.size() + 8);
    EXPECT_EQ(page.messages[0].substr(0, prefix.size()), prefix);
    EXPECT_EQ(page.messages[0].find_first_not_of("0123456789ABCDEF", prefix.size()), std::string::npos);
}

TEST(SchedulerWideBuffer, ConvertsOverwritesAndCapsAt511)
{
    wchar_t *a = ToWideBuffer("Quillmoor");
    EXPECT_EQ(std::wstring(a), L"Quillmoor");
    wchar_t *b = ToWideBuffer("x");
    EXPECT_EQ(a, b);   // one shared buffer
    EXPECT_EQ(std::wstring(a), L"x");
    EXPECT_EQ(std::wstring(ToWideBuffer(std::string(2000, 'q'))).size(), 511u);
    EXPECT_EQ(std::wstring(ToWideBuffer("")), L"");
}

}  // namespace
