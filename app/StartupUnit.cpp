#include "app/StartupUnit.h"
#include <shellapi.h>
#include <vector>
#include "app/SettingsUnit.h"
#include "ui/Application.h"
#include "ui/Exceptions.h"
#include "ui/Registry.h"
#include "engine/WipeUnit.h"

std::string FirstParam;

const char *const UserSettingsKey = "SOFTWARE\\Quillmoor";

namespace {

const char *const PolicyKey = "Software\\microsoft\\Windows\\CurrentVersion\\Policies\\System";

}  // namespace

std::string CommandLineArgument(const char *cmdLine, int index)
{
    const char *p = cmdLine;
    for (int i = 0;; ++i) {
        while (*p == ' ' || *p == '\t')
            ++p;
        if (*p == 0)
            return std::string();
        std::string arg;
        bool quoted = false;
        while (*p != 0 && (quoted || (*p != ' ' && *p != '\t'))) {
            if (*p == '"')
                quoted = !quoted;
            else
                arg += *p;
            ++p;
        }
        if (i == index)
            return arg;
    }
}

namespace {

std::string FirstArgument()
{
    return CommandLineArgument(GetCommandLineA(), 1);
}

struct TDisabledWindows {
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableOne(HWND wnd, LPARAM lParam)
{
    auto *list = reinterpret_cast<TDisabledWindows *>(lParam);
    if (IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
        list->windows.push_back(wnd);
        EnableWindow(wnd, FALSE);
    }
    return TRUE;
}

}  // namespace

bool GetFirstParam(std::string &param)
{
    param = FirstArgument();
    return !param.empty();
}

bool IsAutoRun()
{
    return FirstArgument() == "/auto";
}

bool IsFirstRunAfterSetup()
{
    bool result = false;
    {
        ui::TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (reg.OpenKeyReadOnly(UserSettingsKey)) {
            try {
                result = reg.ReadString("setup") == "1";
            } catch (const ui::ERegistryException &) {
                result = false;   // a value of another type is no "1"
            }
        }
    }
    ui::TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKey(UserSettingsKey, true))
        reg.DeleteValue("setup");
    return result;
}

bool IsUacEnabled()
{
    // Only read: a limited account may not open this key for writing, and taking that refusal
    // for "no policy" would keep the program from ever asking for elevation.
    ui::TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKeyReadOnly(PolicyKey))
        return false;
    if (reg.GetDataTypeRaw("EnableLUA") != REG_DWORD)
        return false;   // no policy value: the system default of a machine without the policy
    return reg.ReadInteger("EnableLUA") != 0;
}

int RunAsAdmin(const std::string &fileName, const std::string &verb, const std::string &directory)
{
    (void)verb;   // always "runas"
    HWND appWnd = ui::Application->Handle();
    HWND focus = GetFocus();
    TDisabledWindows disabled;
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    SetFocus(nullptr);
    SetActiveWindow(appWnd);

    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = appWnd;
    info.lpVerb = "runas";
    info.lpFile = fileName.c_str();
    info.lpParameters = nullptr;
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExA(&info);
    if (info.hProcess != nullptr)
        CloseHandle(info.hProcess);   // not waited for; only our handle is let go

    for (HWND wnd : disabled.windows)
        EnableWindow(wnd, TRUE);
    if (focus != nullptr)
        SetFocus(focus);
    return 0;
}

TStartAction RunStartSteps(DWORD majorVersion)
{
    HWND running = FindWindowA("TfrmMainForm", nullptr);
    if (running != nullptr) {
        PostMessageA(running, 0x2400, 0, 0);   // the running instance restores its window
        return TStartAction::HandedOver;
    }
    ui::Application->SetTitle("Quillmoor");
    WriteDefaultSettings();

    if (majorVersion >= 6 && !IsFirstRunAfterSetup() && IsUacEnabled()) {
        ui::TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (reg.OpenKey(UserSettingsKey, true)) {
            std::string vista;
            try {
                vista = reg.ReadString("vista");
            } catch (const ui::ERegistryException &) {
                vista.clear();   // a value of another type is no loop guard
            }
            if (vista != "1") {
                reg.WriteString("vista", "1");
                reg.CloseKey();
                RunAsAdmin(ProgramFilePath(), "runas", "");
                ui::Application->Terminate();
                return TStartAction::Relaunched;
            }
            reg.WriteString("vista", "");
        }
    }

    if (IsAutoRun()) {
        WipeRecycledFolder();
        EmptyRecycleBinForAutoRun();
        ui::Application->Terminate();
        return TStartAction::AutoClean;
    }
    return TStartAction::RunWindow;
}

DWORD WindowsMajorVersion()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info))
        return 0;
#pragma GCC diagnostic pop
    return info.dwMajorVersion;
}
