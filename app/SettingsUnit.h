// The settings record and its registry key: defaults at every start, the load, and the saves.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "engine/RegistryInfoUnit.h"


// HKEY_LOCAL_MACHINE, absolute from the root.
extern const char *const SettingsKey;   // "\Software\Quillmoor"
extern const char *const RunKey;        // "\Software\Microsoft\Windows\CurrentVersion\Run"
extern const char *const DefaultVersion;
extern const char *const DefaultHomePage;
extern const char *const DefaultHelpURL;

// The five options of the settings page, as its controls hold them.
struct TSettingsPageValues {
    bool RunAtStart = false;
    bool SelectAll = false;
    bool CheckUpdate = false;
    int32_t ErasValue = 0;
    bool ErasAskWhenDel = false;
};

// Fills the defaults into Settings and writes them; runs at every start. A value of another type
// than its own counts as missing and gets the default.
void WriteDefaultSettings();
// Reads every value into Settings, then RunAtStart from the Run key; both keys are only read, so a
// limited account reads them too. A value of the wrong type raises ui::ERegistryException after
// the fields before it were read.
void LoadSettings();
// Mode 0: scan time and detected total; 1: removed total; 2: the page's five options and the Run
// entry (page must be given); any other mode writes nothing. True when everything was stored;
// otherwise failures (when given) gets one line per key that could not be written: the key's
// full name and the system's reason.
bool SaveSettings(int mode, const TSettingsPageValues *page = nullptr, std::vector<std::string> *failures = nullptr);

// The running program file: its full path and its name with the extension.
std::string ProgramFilePath();
std::string ProgramFileName();
std::string ProgramFolder();   // with a trailing backslash
