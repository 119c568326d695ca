// A stand-in for the main program in the end-to-end update test: it runs the real update check
// against the loopback update folder, answers the question with Yes, and leaves a trace of each run
// in "runs.txt" beside itself. Its version is the text of "version.txt" beside itself.
#include <windows.h>
#include <string>
#include "app/DMUnitUpdate.h"
#include "ui/Exceptions.h"
#include "ui/FileStream.h"
#include "ui/HttpClient.h"

static std::string Folder()
{
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\') + 1);
}

static void Note(const std::string &line)
{
    HANDLE h = CreateFileA((Folder() + "runs.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                           0, NULL);
    if (h == INVALID_HANDLE_VALUE) return;
    std::string text = line + "\r\n";
    DWORD put;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &put, NULL);
    CloseHandle(h);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::string version;
    try {
        ui::TFileStream f(Folder() + "version.txt", ui::fmOpenRead);
        version.resize(static_cast<size_t>(f.Size()));
        if (!version.empty()) f.ReadBuffer(&version[0], static_cast<long long>(version.size()));
    } catch (const ui::Exception &) {
    }
    Note("run " + version);
    UpdateCheck::TUpdateActions actions;
    actions.Ask = [](const std::string &text, const std::string &, UINT) {
        Note(text == UpdateCheck::UpdateQuestion ? "asked" : "asked something else");
        return IDYES;
    };
    actions.StartProgram = [](const std::string &path) { UpdateCheck::ShellOpen(NULL, path); };
    actions.Terminate = [] { Note("terminate"); };
    ui::THttpClient http;
    http.ReadTimeout = 5000;
    try {
        UpdateCheck::CheckForUpdate(http, Folder(), version, actions);
    } catch (const ui::Exception &) {
        Note("failed");
    }
    return 0;
}
