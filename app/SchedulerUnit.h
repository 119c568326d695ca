// The daily scheduled scan: one Task Scheduler 1.0 job that starts the program with "-Scan".
#pragma once
#include <windows.h>
#include <mstask.h>
#include <cstdint>
#include <string>

// What the scheduler routines read from and show on the Settings page. The page implements it
// over its controls; setting the check box must run the box's click event when the state changes.
class TSchedulePage {
public:
    virtual ~TSchedulePage() = default;
    virtual bool ActivateChecked() = 0;                       // cbActivateTask
    virtual void SetActivateChecked(bool checked) = 0;
    virtual void SetTaskName(const std::string &text) = 0;    // abTaskName
    virtual void StartTime(WORD &hour, WORD &minute) = 0;     // dtpStartTime
    virtual void SetStartTime(WORD hour, WORD minute, WORD second) = 0;
    virtual int Days() = 0;                                   // SpinEditDays
    virtual void SetDays(int days) = 0;
    virtual void SetTaskPicture(bool shown) = 0;              // ImageTask: the program icon, or cleared
    virtual void ShowMessage(const std::string &text) = 0;    // an error of the scheduler
};

// The name Enum lists. The scheduler adds ".job" to every name it is given, so NewWorkItem,
// Activate and Delete take TaskName: given "Quillmoor.job" they would reach "Quillmoor.job.job".
extern const char *const TaskFileName;   // "Quillmoor.job"
extern const char *const TaskName;       // "Quillmoor"
extern const char *const TaskParameters; // "-Scan"
extern const char *const TaskComment;

// The interfaces kept for the whole run (nullptr until made or found).
extern ITaskScheduler *TaskScheduler;
extern ITask *HeldTask;          // the job, once found or created
extern ITask *HeldTaskRef;       // the second reference kept when the job is created
extern IPersistFile *TaskPersistFile;

// Converts s (ANSI) into the one shared buffer of 512 UTF-16 units and returns it; at most 511
// characters are kept. Each call overwrites the previous result.
wchar_t *ToWideBuffer(const std::string &s);

// Creates the scheduler once; on failure tells the user, ends the application and returns the code.
int32_t CreateTaskScheduler();
// Activates a job by name; task is nullptr after a failure, which the page is told of.
void ActivateTask(const std::string &name, ITask **task, TSchedulePage *page);
// Saves the held task through its IPersistFile; -1 when it has none.
int32_t SaveTask(TSchedulePage *page);
int32_t DeleteTask(const std::string &name);
// Shows the stored job (or its absence) on the page.
void LoadSchedule(TSchedulePage *page);
// Creates, updates or deletes the job from the page. False when a step failed; the page was told
// which one.
bool ApplySchedule(TSchedulePage *page);
// Releases the kept interfaces (at the end of the program): IPersistFile, the second reference,
// the scheduler, the held task.
void ReleaseTaskScheduler();

// "Error in <call>.Error Code :" and the result as eight upper-case hexadecimal digits.
std::string SchedulerErrorText(const std::string &call, HRESULT hr);
