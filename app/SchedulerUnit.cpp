#include "app/SchedulerUnit.h"
#include <cstdio>
#include "app/SettingsUnit.h"
#include "ui/Application.h"

const char *const TaskFileName = "Quillmoor.job";
const char *const TaskName = "Quillmoor";
const char *const TaskParameters = "-Scan";
const char *const TaskComment = "Runs Quillmoor at Scheduled Time.";

ITaskScheduler *TaskScheduler = nullptr;
ITask *HeldTask = nullptr;
ITask *HeldTaskRef = nullptr;
IPersistFile *TaskPersistFile = nullptr;

namespace {

// The one buffer every name passes through on its way to the COM calls.
wchar_t WideBuffer[512];

constexpr WORD TriggerSize = 48;   // sizeof(TASK_TRIGGER) on every width; the scheduler checks it

std::string UserName()
{
    char name[257] = {0};
    DWORD size = sizeof(name);
    if (!GetUserNameA(name, &size)) return std::string();
    return name;
}

void ShowPageMessage(TSchedulePage *page, const std::string &text)
{
    if (page)
        page->ShowMessage(text);
    else
        ui::Application->MessageBox(text, MB_OK);
}

// A call whose failure leaves the next steps without a valid interface: tell which one and stop.
bool Succeeded(HRESULT hr, const char *call, TSchedulePage *page)
{
    if (SUCCEEDED(hr)) return true;
    ShowPageMessage(page, SchedulerErrorText(call, hr));
    return false;
}

// Saves the held task; a refused save is told like the other failed calls.
bool Saved(TSchedulePage *page)
{
    int32_t hr = SaveTask(page);
    if (hr == -1) return false;   // SaveTask has said why
    return Succeeded(hr, "PersistFile.Save", page);
}

void FillDailyTrigger(TASK_TRIGGER &t, TSchedulePage *page)
{
    SYSTEMTIME today;
    GetLocalTime(&today);
    WORD hour = 0, minute = 0;
    page->StartTime(hour, minute);
    ZeroMemory(&t, sizeof(t));
    t.cbTriggerSize = TriggerSize;
    t.wBeginYear = today.wYear;
    t.wBeginMonth = today.wMonth;
    t.wBeginDay = today.wDay;
    t.wStartHour = hour;
    t.wStartMinute = minute;
    t.TriggerType = TASK_TIME_TRIGGER_DAILY;
    t.Type.Daily.DaysInterval = static_cast<WORD>(page->Days());
}

// Lets go of a job this apply was making and could not store whole, so that the next apply
// makes it anew; a job already written without its trigger is deleted, or every later apply would
// stop at its missing trigger.
void DropNewJob(bool written)
{
    if (TaskPersistFile) TaskPersistFile->Release();
    if (HeldTaskRef) HeldTaskRef->Release();
    if (HeldTask) HeldTask->Release();
    TaskPersistFile = nullptr;
    HeldTaskRef = nullptr;
    HeldTask = nullptr;
    if (written) DeleteTask(TaskName);
}

// Creates and stores the job with its fixed properties and holds it; returns its new trigger. When
// a step fails, nothing is held or stored afterwards.
ITaskTrigger *CreateJob(TSchedulePage *page)
{
    IUnknown *unknown = nullptr;
    HRESULT hr = TaskScheduler->NewWorkItem(ToWideBuffer(TaskName), CLSID_CTask, IID_ITask, &unknown);
    if (!Succeeded(hr, "SchedulingAgent.NewWorkItem", page)) return nullptr;
    HeldTask = static_cast<ITask *>(unknown);
    HeldTask->AddRef();
    HeldTaskRef = HeldTask;

    std::string program = ProgramFilePath();
    std::string folder = ProgramFolder();
    if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();   // "C:\" keeps its backslash
    HeldTask->SetApplicationName(ToWideBuffer(program));
    HeldTask->SetWorkingDirectory(ToWideBuffer(folder));
    HeldTask->SetParameters(ToWideBuffer(TaskParameters));
    HeldTask->SetFlags(TASK_FLAG_RUN_ONLY_IF_LOGGED_ON);
    HeldTask->SetComment(ToWideBuffer(TaskComment));
    HeldTask->SetAccountInformation(ToWideBuffer(UserName()), nullptr);
    HeldTask->SetTaskFlags(0);
    if (!Saved(page)) {
        DropNewJob(false);
        return nullptr;
    }

    WORD number = 0;
    ITaskTrigger *trigger = nullptr;
    hr = HeldTask->CreateTrigger(&number, &trigger);
    if (!Succeeded(hr, "Task.CreateTrigger", page)) {
        DropNewJob(true);
        return nullptr;
    }
    return trigger;
}

}  // namespace

std::string SchedulerErrorText(const std::string &call, HRESULT hr)
{
    char code[16];
    std::snprintf(code, sizeof(code), "%08X", static_cast<unsigned>(hr));
    return "Error in " + call + ".Error Code :" + code;
}

wchar_t *ToWideBuffer(const std::string &s)
{
    const int capacity = static_cast<int>(sizeof(WideBuffer) / sizeof(WideBuffer[0]));
    int length = static_cast<int>(s.size() < 511 ? s.size() : 511);
    int written = length ? MultiByteToWideChar(CP_ACP, 0, s.data(), length, WideBuffer, capacity - 1) : 0;
    WideBuffer[written > 0 ? written : 0] = L'\0';
    return WideBuffer;
}

int32_t CreateTaskScheduler()
{
    if (TaskScheduler) return 0;
    void *p = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler, &p);
    if (FAILED(hr)) {
        ShowPageMessage(nullptr, SchedulerErrorText("ActiveX.CoCreateInstance", hr));
        ui::Application->Terminate();
        return hr;
    }
    TaskScheduler = static_cast<ITaskScheduler *>(p);
    return hr;
}

void ActivateTask(const std::string &name, ITask **task, TSchedulePage *page)
{
    *task = nullptr;
    if (!TaskScheduler) return;
    IUnknown *unknown = nullptr;
    HRESULT hr = TaskScheduler->Activate(ToWideBuffer(name), IID_ITask, &unknown);
    if (FAILED(hr)) {
        ShowPageMessage(page, SchedulerErrorText("SchedulingAgent.Activate", hr));
        return;
    }
    *task = static_cast<ITask *>(unknown);
}

int32_t SaveTask(TSchedulePage *page)
{
    if (TaskPersistFile) {
        TaskPersistFile->Release();
        TaskPersistFile = nullptr;
    }
    void *p = nullptr;
    if (!HeldTask || FAILED(HeldTask->QueryInterface(IID_IPersistFile, &p)) || !p) {
        // Two blanks after "in": the message as users have always seen it.
        ShowPageMessage(page, "Error in  Task.QueryInterface(IID_IPersistFile, pIPersistFile):");
        return -1;
    }
    TaskPersistFile = static_cast<IPersistFile *>(p);
    return TaskPersistFile->Save(nullptr, TRUE);
}

int32_t DeleteTask(const std::string &name)
{
    if (!TaskScheduler) return E_POINTER;
    return TaskScheduler->Delete(ToWideBuffer(name));
}

void LoadSchedule(TSchedulePage *page)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    page->SetActivateChecked(false);
    page->SetTaskName("Not Schedule Task");
    page->SetStartTime(now.wHour, now.wMinute, now.wSecond);
    page->SetDays(1);
    if (!TaskScheduler) return;

    IEnumWorkItems *items = nullptr;
    if (!Succeeded(TaskScheduler->Enum(&items), "SchedulingAgent.Enum", page)) return;
    bool found = false;
    while (!found) {
        LPWSTR *names = nullptr;
        ULONG fetched = 0;
        if (items->Next(1, &names, &fetched) != S_OK || fetched == 0 || !names) break;
        char name[MAX_PATH * 2] = {0};
        WideCharToMultiByte(CP_ACP, 0, names[0], -1, name, sizeof(name) - 1, nullptr, nullptr);
        CoTaskMemFree(names[0]);
        CoTaskMemFree(names);
        found = std::string(name) == TaskFileName;
    }
    items->Release();
    if (!found) return;

    // The box is ticked only for a job that answers: a damaged job file is listed all the same.
    ITask *task = nullptr;
    ActivateTask(TaskName, &task, page);
    if (!task) return;
    page->SetActivateChecked(true);
    if (HeldTask) HeldTask->Release();
    HeldTask = task;
    page->SetTaskPicture(true);
    page->SetTaskName(TaskFileName);

    ITaskTrigger *trigger = nullptr;
    if (!Succeeded(HeldTask->GetTrigger(0, &trigger), "Task.GetTrigger", page)) return;
    TASK_TRIGGER t;
    ZeroMemory(&t, sizeof(t));
    t.cbTriggerSize = TriggerSize;
    HRESULT hr = trigger->GetTrigger(&t);
    trigger->Release();
    if (!Succeeded(hr, "TaskTrigger.GetTrigger", page)) return;
    page->SetStartTime(t.wStartHour, t.wStartMinute, 0);
    page->SetDays(t.Type.Daily.DaysInterval);
}

bool ApplySchedule(TSchedulePage *page)
{
    if (!TaskScheduler) return !page->ActivateChecked();
    if (!page->ActivateChecked()) {
        if (HeldTask) {
            HRESULT hr = DeleteTask(TaskName);
            // A job that is gone already is what was asked for.
            if (FAILED(hr) && hr != HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) &&
                !Succeeded(hr, "SchedulingAgent.Delete", page))
                return false;
            page->SetTaskPicture(false);
        }
        return true;
    }
    ITaskTrigger *trigger = nullptr;
    const bool made = !HeldTask;
    if (!made) {
        if (!Succeeded(HeldTask->GetTrigger(0, &trigger), "Task.GetTrigger", page)) return false;
    } else {
        trigger = CreateJob(page);
        if (!trigger) return false;
    }
    TASK_TRIGGER t;
    FillDailyTrigger(t, page);
    HRESULT hr = trigger->SetTrigger(&t);
    trigger->Release();
    bool ok = Succeeded(hr, "TaskTrigger.SetTrigger", page) && Saved(page);
    // A new job that did not get its trigger stored is not kept half made.
    if (!ok && made) DropNewJob(true);
    return ok;
}

void ReleaseTaskScheduler()
{
    if (TaskPersistFile) TaskPersistFile->Release();
    if (HeldTaskRef) HeldTaskRef->Release();
    if (TaskScheduler) TaskScheduler->Release();
    if (HeldTask) HeldTask->Release();
    TaskPersistFile = nullptr;
    HeldTaskRef = nullptr;
    TaskScheduler = nullptr;
    HeldTask = nullptr;
}
