#include <gtest/gtest.h>
#include <string>
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Timer.h"
#include "UiTestSupport.h"

using namespace ui;

// The message loop ends the program's life: these run in a child process of the test program, one
// each, so that the ended loop does not reach the other tests.

namespace {

// Runs one child test; it must leave its mark, so that a filter that matches nothing cannot pass.
int RunChild(const std::string &test)
{
    qmtest::TempDir dir;
    std::string mark = dir / "ran";
    SetEnvironmentVariableA("QM_CHILD_MARK", mark.c_str());
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string cmd = std::string("\"") + exe + "\" --gtest_also_run_disabled_tests --gtest_filter=" + test;
    int rc = qmtest::RunAndWait(cmd, 60000);
    SetEnvironmentVariableA("QM_CHILD_MARK", nullptr);
    return qmtest::FileExists(mark) ? rc : -2;
}

void LeaveMark()
{
    char path[MAX_PATH] = {};
    if (GetEnvironmentVariableA("QM_CHILD_MARK", path, MAX_PATH)) qmtest::WriteFileBytes(path, "1");
}

class MainForm : public TForm {
public:
    MainForm() { CreateForm("QmTestMain", "main", 200, 100, bsSingle, true); }
};

TEST(ApplicationRun, DISABLED_ChildTerminateEndsTheLoop)
{
    MainForm form;
    Application->SetMainForm(&form);
    TTimer timer;
    int ticks = 0;
    bool visibleInLoop = false;
    timer.OnTimer = [&] {
        visibleInLoop = IsWindowVisible(form.Handle()) != 0;
        if (++ticks == 2) Application->Terminate();
    };
    timer.SetInterval(20);
    timer.SetEnabled(true);
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(ticks, 2);
    EXPECT_TRUE(visibleInLoop);
    LeaveMark();
}

TEST(ApplicationRun, DISABLED_ChildClosingTheMainFormEndsTheLoopUnlessRefused)
{
    MainForm form;
    Application->SetMainForm(&form);
    int closes = 0;
    form.OnClose = [&](TCloseAction &a) {
        if (++closes == 1) a = caNone;   // the first request is refused
    };
    TTimer timer;
    int ticks = 0;
    timer.OnTimer = [&] {
        ++ticks;
        if (ticks <= 2) PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
        if (ticks > 50) Application->Terminate();   // a safety net: the test fails below
    };
    timer.SetInterval(20);
    timer.SetEnabled(true);
    Application->Run();
    EXPECT_EQ(closes, 2);
    EXPECT_LT(ticks, 50);
    LeaveMark();
}

TEST(ApplicationRun, DISABLED_ChildTerminateInsideModalEndsBothLoops)
{
    MainForm form;
    Application->SetMainForm(&form);
    class Dialog : public TForm {
    public:
        Dialog() { CreateForm("QmTestModal", "modal", 100, 50, bsDialog, true); }
    } dialog;
    int modalResult = -1;
    TTimer timer;
    timer.OnTimer = [&] {
        timer.SetEnabled(false);
        TTimer inner;
        inner.OnTimer = [&] { Application->Terminate(); };
        inner.SetInterval(20);
        inner.SetEnabled(true);
        modalResult = dialog.ShowModal();
    };
    timer.SetInterval(20);
    timer.SetEnabled(true);
    Application->Run();
    EXPECT_EQ(modalResult, mrCancel);
    EXPECT_TRUE(Application->Terminated());
    LeaveMark();
}

// A timer whose handler is slower than its interval is due again whenever the pump looks: each call
// must serve it once and return (the net in the handler ends a pump that would run for ever).
TEST(ApplicationPump, ServesASlowTimerOnceACall)
{
    MainForm form;
    TTimer timer;
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks >= 40) timer.SetEnabled(false);
        Sleep(30);
    };
    timer.SetInterval(10);
    timer.SetEnabled(true);
    for (int call = 0; call < 5; ++call) {
        Sleep(20);
        const int before = ticks;
        Application->ProcessMessages();
        EXPECT_LE(ticks - before, 1) << "call " << call;
    }
    timer.SetEnabled(false);
    EXPECT_GE(ticks, 1);
}

TEST(ApplicationRun, LoopEndsOnTerminate) { EXPECT_EQ(RunChild("ApplicationRun.DISABLED_ChildTerminateEndsTheLoop"), 0); }

TEST(ApplicationRun, MainFormCloseEndsTheProgramUnlessRefused)
{
    EXPECT_EQ(RunChild("ApplicationRun.DISABLED_ChildClosingTheMainFormEndsTheLoopUnlessRefused"), 0);
}

TEST(ApplicationRun, TerminateInsideModalDialog)
{
    EXPECT_EQ(RunChild("ApplicationRun.DISABLED_ChildTerminateInsideModalEndsBothLoops"), 0);
}

}  // namespace
