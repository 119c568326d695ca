// The program block of the main program: hand over to a running instance, relaunch once with
// administrator rights where User Account Control is on, the unattended "/auto" clean, or the data
// module and the main window with the message loop.
#pragma once
#include <windows.h>
#include <string>

// The first command-line argument, kept for the main window's first activation.
extern std::string FirstParam;

// The settings key of the current user that holds "setup" and "vista".
extern const char *const UserSettingsKey;   // "SOFTWARE\Quillmoor"

// Argument `index` of a command line (0 the program): blanks separate, double quotes group and are
// dropped; "" past the last.
std::string CommandLineArgument(const char *cmdLine, int index);
// Stores the first argument of the command line (empty when there is none); returns whether it is
// not empty.
bool GetFirstParam(std::string &param);
// The first argument is exactly "/auto".
bool IsAutoRun();
// The installer's one-shot "setup" = "1"; the value is deleted in every case.
bool IsFirstRunAfterSetup();
// HKLM policy "EnableLUA" is not 0 (a missing value reads as off).
bool IsUacEnabled();
// Starts the file elevated through the shell's "runas" verb; always returns 0.
int RunAsAdmin(const std::string &fileName, const std::string &verb, const std::string &directory);

// What start-up decided before any window exists.
enum class TStartAction {
    HandedOver,    // another instance runs: 0x2400 was posted to it
    Relaunched,    // an elevated copy was started
    AutoClean,     // "/auto": the recycle bin was cleaned
    RunWindow,     // go on: data module, main window, message loop
};
// Steps up to the "/auto" switch; `majorVersion` is the Windows major version.
TStartAction RunStartSteps(DWORD majorVersion);
DWORD WindowsMajorVersion();
// The whole program block (in Quillmoor.cpp); returns the process exit code.
int StartMainProgram();
