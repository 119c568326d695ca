// The settings record that the scanners and the cleaner read (select all, delete mode) and the
// cleaner counts into (removed total). Its registry store lives with the main program.
#pragma once
#include <cstdint>
#include <string>

struct TMyRegistryInfo {
    std::string Version;
    std::string HomePage;
    std::string HelpURL;
    double LastScanTime = 0;
    int32_t DetectedTotal = 0;
    int32_t RemoveTotal = 0;
    bool RunAtStart = false;
    bool SelectAll = false;
    bool CheckUpdate = false;
    int32_t ErasValue = 0;   // 0 no overwrite, 1 once, 2 three times, 3 seven times
    bool ErasAskWhenDel = false;
};

extern TMyRegistryInfo Settings;
