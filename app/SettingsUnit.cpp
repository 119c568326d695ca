#include "app/SettingsUnit.h"
#include <windows.h>
#include <functional>
#include "ui/DateTime.h"
#include "ui/Exceptions.h"
#include "ui/FileStream.h"
#include "ui/Registry.h"

const char *const SettingsKey = "\\Software\\Quillmoor";
const char *const RunKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char *const DefaultVersion = "3.7";
const char *const DefaultHomePage = QM_HOME_URL;
const char *const DefaultHelpURL = QM_HELP_URL;

namespace {

// What the writers ask for: enough to read and change values, not the rights to change a key's
// owner or permissions, which an account allowed to change the settings is seldom given.
const REGSAM ReadWrite = KEY_READ | KEY_WRITE;

// "HKEY_LOCAL_MACHINE\Software\Quillmoor": the key as the user knows it.
std::string MachineKeyName(const char *key)
{
    return std::string("HKEY_LOCAL_MACHINE") + key;
}

void NoteFailure(std::vector<std::string> *failures, const char *key, LONG code)
{
    if (failures) failures->push_back(MachineKeyName(key) + ": " + ui::SysErrorMessage(static_cast<DWORD>(code)));
}

// The start reads a value of another type (a number where text belongs, or the reverse) as a
// missing one, so that it writes the default in its place instead of failing on it at every start.
std::string ReadTextOrEmpty(const ui::TRegistry &reg, const char *name)
{
    const DWORD type = reg.GetDataTypeRaw(name);
    return type == REG_SZ || type == REG_EXPAND_SZ ? reg.ReadString(name) : std::string();
}

bool NumberExists(const ui::TRegistry &reg, const char *name)
{
    return reg.GetDataTypeRaw(name) == REG_DWORD && reg.GetDataSize(name) == static_cast<int>(sizeof(DWORD));
}

}  // namespace

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
    ui::TRegistry reg(ReadWrite);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey(SettingsKey, true)) return;
    std::string s = ReadTextOrEmpty(reg, "HomePage");
    Settings.HomePage = s.empty() ? DefaultHomePage : s;
    s = ReadTextOrEmpty(reg, "HelpURL");
    Settings.HelpURL = s.empty() ? DefaultHelpURL : s;
    s = ReadTextOrEmpty(reg, "Version");
    Settings.Version = s.empty() ? DefaultVersion : s;

    Settings.SelectAll = true;
    Settings.LastScanTime = ui::Now();
    Settings.DetectedTotal = 0;
    Settings.RemoveTotal = 0;

    reg.WriteString("HomePage", Settings.HomePage);
    reg.WriteString("HelpURL", Settings.HelpURL);
    if (ReadTextOrEmpty(reg, "Version").empty()) reg.WriteString("Version", Settings.Version);
    reg.WriteDateTime("LastScanTime", Settings.LastScanTime);
    reg.WriteInteger("DetedtedToTal", Settings.DetectedTotal);   // sic: the stored name, any case
    reg.WriteInteger("RemoveTotal", Settings.RemoveTotal);
    if (!NumberExists(reg, "SelectAll")) reg.WriteBool("SelectAll", Settings.SelectAll);
    if (!NumberExists(reg, "CheckUpdate")) reg.WriteBool("CheckUpdate", Settings.CheckUpdate);
    // The delete mode goes back to "Delete files without overwriting" at every start.
    reg.WriteInteger("ErasValue", Settings.ErasValue);
    if (!NumberExists(reg, "ErasAskWhenDel")) reg.WriteBool("ErasAskWhenDel", Settings.ErasAskWhenDel);
    reg.CloseKey();
}

void LoadSettings()
{
    {
        ui::TRegistry reg;
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        if (reg.OpenKeyReadOnly(SettingsKey)) {
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
    if (run.OpenKeyReadOnly(RunKey)) {
        Settings.RunAtStart = run.ReadString(ProgramFileName()) == ProgramFilePath();
        run.CloseKey();
    }
}

bool SaveSettings(int mode, const TSettingsPageValues *page, std::vector<std::string> *failures)
{
    ui::TRegistry reg(ReadWrite);
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    bool saved = true;
    // Opens a key for writing, runs the writes and notes the key when it refused them.
    auto write = [&](const char *key, bool create, const std::function<void()> &writes) {
        bool ok = reg.OpenKey(key, create);
        if (ok) {
            try {
                writes();
            } catch (const ui::ERegistryException &) {
                ok = false;
            }
            reg.CloseKey();
        }
        if (!ok) {
            saved = false;
            NoteFailure(failures, key, reg.LastError());
        }
    };
    switch (mode) {
    case 0:
        write(SettingsKey, true, [&] {
            reg.WriteDateTime("LastScanTime", Settings.LastScanTime);
            reg.WriteInteger("DetedtedTotal", Settings.DetectedTotal);
        });
        break;
    case 1:
        write(SettingsKey, true, [&] { reg.WriteInteger("RemoveTotal", Settings.RemoveTotal); });
        break;
    case 2: {
        if (page) {
            Settings.RunAtStart = page->RunAtStart;
            Settings.SelectAll = page->SelectAll;
            Settings.CheckUpdate = page->CheckUpdate;
            Settings.ErasValue = page->ErasValue;
            Settings.ErasAskWhenDel = page->ErasAskWhenDel;
        }
        write(SettingsKey, true, [&] {
            reg.WriteBool("SelectAll", Settings.SelectAll);
            reg.WriteBool("CheckUpdate", Settings.CheckUpdate);
            reg.WriteInteger("ErasValue", Settings.ErasValue);
            reg.WriteBool("ErasAskWhenDel", Settings.ErasAskWhenDel);
        });
        // The Run key is opened for writing only when its entry has to change, so that an entry
        // already as wanted needs no right to change the key.
        std::string name = ProgramFileName(), path = ProgramFilePath();
        bool present = false, current = false;
        {
            ui::TRegistry run;
            run.SetRootKey(HKEY_LOCAL_MACHINE);
            if (run.OpenKeyReadOnly(RunKey)) {
                present = run.ValueExists(name);
                try {
                    current = present && run.ReadString(name) == path;
                } catch (const ui::ERegistryException &) {
                    current = false;   // a value of another type is no entry of ours
                }
            } else if (Settings.RunAtStart) {
                saved = false;
                NoteFailure(failures, RunKey, run.LastError());
                break;
            }
        }
        if (Settings.RunAtStart && !current)
            write(RunKey, false, [&] { reg.WriteString(name, path); });
        else if (!Settings.RunAtStart && present)
            write(RunKey, false, [&] {
                if (!reg.DeleteValue(name)) throw ui::ERegistryException("Failed to delete '" + name + "'");
            });
        break;
    }
    default:
        break;
    }
    return saved;
}
