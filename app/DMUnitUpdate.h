// The update check of the data module: fetch "Update.ini" from the update folder, compare its
// version with the installed one and, when it is newer and the user agrees, start the updater.
// TDM's CheckForUpdate, IsNewerVersionAvailable and DownloadFile call these with its HTTP client.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

namespace ui {
class THttpClient;
}

namespace UpdateCheck {

// The update folder on the maker's server, ending in "/update/"; fixed at build time, and only
// tests point it elsewhere.
extern std::string UpdateFolderURL;

// True when published is greater than installed, comparing bytes as unsigned codes; at equal
// beginnings the longer text is greater ("3.8" > "3.7.1" > "3.7", but "3.10" < "3.7").
bool IsVersionNewer(const std::string &published, const std::string &installed);

// GET of url into fileName, which is created or emptied first. A file that cannot be created
// raises its ui::Exception; a failed transfer raises the silent abort (the file is left empty or
// partly written).
void DownloadFile(ui::THttpClient &http, const std::string &url, const std::string &fileName);

// Downloads "Update.ini" into programFolder (the settings unit's ProgramFolder(), with its
// backslash) and compares its [Version] Version with installed.
// A failed download raises the silent abort.
bool IsNewerVersionAvailable(ui::THttpClient &http, const std::string &programFolder,
                             const std::string &installedVersion);

// What the check needs from the running program.
struct TUpdateActions {
    // The question; returns IDYES or IDNO.
    std::function<int(const std::string &text, const std::string &caption, UINT flags)> Ask;
    // Starts a program file through the shell's "open" verb.
    std::function<void(const std::string &path)> StartProgram;
    // Asks the application to end.
    std::function<void()> Terminate;
};

// The question, exactly as shown: one bare carriage return between its two sentences.
extern const char *const UpdateQuestion;

// The whole check: nothing is shown when no newer version exists; on Yes "qmUpdate.exe" of
// programFolder is started and termination requested. The silent abort of a failed download passes
// through to the caller's handler.
void CheckForUpdate(ui::THttpClient &http, const std::string &programFolder,
                    const std::string &installedVersion, const TUpdateActions &actions);

// Shell "open" of path with owner, no parameters, no working folder and SW_SHOW; the result is
// deliberately not checked (a missing updater must not keep the program from ending).
void ShellOpen(HWND owner, const std::string &path);

}  // namespace UpdateCheck
