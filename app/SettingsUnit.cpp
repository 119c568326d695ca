#include "app/SettingsUnit.h"
#include <windows.h>
#include "ui/DateTime.h"
#include "ui/Registry.h"

const char *const SettingsKey = "\\Software\\Quillmoor";
const char *const RunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char *const DefaultVersion = "3.7";
const char *const DefaultHomePage = QM_HOME_URL;
const char *const DefaultHelpURL = QM_HELP_URL;

std::string ProgramFilePath()
{
    char buf[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameA(nullptr, buf, MAX_PATH);
    return std::string(buf, n);
}

std::string ProgramFileName()
{
    std::string path = ProgramFilePath();
    size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ProgramFolder()
{
    std::string path = ProgramFilePath();
    size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void WriteDefaultSettings()
{
    ui::TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey(SettingsKey, true)) return;
    std::string s = reg.ReadString("HomePage");
    Settings.HomePage = s.empty() ? DefaultHomePage : s;
    s = reg.ReadString("HelpURL");
    Settings.HelpURL = s.empty() ? DefaultHelpURL : s;
    s = reg.ReadString("Version");
    Settings.Version = s.empty() ? DefaultVersion : s;

    Settings.SelectAll = true;
    Settings.LastScanTime = ui::Now();
    Settings.DetectedTotal = 0;
    Settings.RemoveTotal = 0;

    reg.WriteString("HomePage", Settings.HomePage);
    reg.WriteString("HelpURL", Settings.HelpURL);
    if (reg.ReadString("Version").empty()) reg.WriteString("Version", Settings.Version);
    reg.WriteDateTime("LastScanTime", Settings.LastScanTime);
    reg.WriteInteger("DetedtedToTal", Settings.DetectedTotal);   // sic: the stored name, any case
    reg.WriteInteger("RemoveTotal", Settings.RemoveTotal);
    if (!reg.ValueExists("SelectAll")) reg.WriteBool("SelectAll", Settings.SelectAll);
    if (!reg.ValueExists("CheckUpdate")) reg.WriteBool("CheckUpdate", Settings.CheckUpdate);
    // The delete mode goes back to "Delete files without overwriting" at every start.
    reg.WriteInteger("ErasValue", Settings.ErasValue);
    if (!reg.ValueExists("ErasAskWhenDel")) reg.WriteBool("ErasAskWhenDel", Settings.ErasAskWhenDel);
    reg.CloseKey();
}

void LoadSettings()
{
    {
        ui::TRegistry reg;
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        if (reg.OpenKey(SettingsKey, false)) {
            Settings.Version = reg.ReadString("Version");
            Settings.HomePage = reg.ReadString("HomePage");
            Settings.HelpURL = reg.ReadString("HelpURL");
            Settings.LastScanTime = reg.ReadDateTime("LastScanTime");
            Settings.DetectedTotal = reg.ReadInteger("DetedtedTotal");   // sic: the stored name
            Settings.RemoveTotal = reg.ReadInteger("RemoveTotal");
            Settings.SelectAll = reg.ReadBool("SelectAll");
            Settings.CheckUpdate = reg.ReadBool("CheckUpdate");
            Settings.ErasValue = reg.ReadInteger("ErasValue");
            Settings.ErasAskWhenDel = reg.ReadBool("ErasAskWhenDel");
            reg.CloseKey();
        }
    }
    ui::TRegistry run;
    run.SetRootKey(HKEY_LOCAL_MACHINE);
    if (run.OpenKey(RunKey, false)) {
        Settings.RunAtStart = run.ReadString(ProgramFileName()) == ProgramFilePath();
        run.CloseKey();
    }
}

void SaveSettings(int mode, const TSettingsPageValues *page)
{
    ui::TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    switch (mode) {
    case 0:
        if (reg.OpenKey(SettingsKey, true)) {
            reg.WriteDateTime("LastScanTime", Settings.LastScanTime);
            reg.WriteInteger("DetedtedTotal", Settings.DetectedTotal);
            reg.CloseKey();
        }
        break;
    case 1:
        if (reg.OpenKey(SettingsKey, true)) {
            reg.WriteInteger("RemoveTotal", Settings.RemoveTotal);
            reg.CloseKey();
        }
        break;
    case 2:
        if (page) {
            Settings.RunAtStart = page->RunAtStart;
            Settings.SelectAll = page->SelectAll;
            Settings.CheckUpdate = page->CheckUpdate;
            Settings.ErasValue = page->ErasValue;
            Settings.ErasAskWhenDel = page->ErasAskWhenDel;
        }
        if (reg.OpenKey(SettingsKey, true)) {
            reg.WriteBool("SelectAll", Settings.SelectAll);
            reg.WriteBool("CheckUpdate", Settings.CheckUpdate);
            reg.WriteInteger("ErasValue", Settings.ErasValue);
            reg.WriteBool("ErasAskWhenDel", Settings.ErasAskWhenDel);
            reg.CloseKey();
        }
        if (reg.OpenKey(RunKey, false)) {
            if (Settings.RunAtStart)
                reg.WriteString(ProgramFileName(), ProgramFilePath());
            else
                reg.DeleteValue(ProgramFileName());
            reg.CloseKey();
        }
        break;
    default:
        break;
    }
}
