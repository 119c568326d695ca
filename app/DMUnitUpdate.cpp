#include "app/DMUnitUpdate.h"
#include "ui/Exceptions.h"
#include "ui/FileStream.h"
#include "ui/HttpClient.h"
#include "ui/IniFile.h"
#include <shellapi.h>

namespace UpdateCheck {

std::string UpdateFolderURL = QM_UPDATE_URL;

const char *const UpdateQuestion =
    "A newer version of Quillmoor is available, Quillmoor will shut down to install the newer version."
    "\rWould you like to update now?";

bool IsVersionNewer(const std::string &published, const std::string &installed)
{
    size_t n = published.size() < installed.size() ? published.size() : installed.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char a = static_cast<unsigned char>(published[i]), b = static_cast<unsigned char>(installed[i]);
        if (a != b) return a > b;
    }
    return published.size() > installed.size();
}

void DownloadFile(ui::THttpClient &http, const std::string &url, const std::string &fileName)
{
    ui::TFileStream file(fileName, ui::fmCreate);
    try {
        http.Get(url, file);
    } catch (const ui::Exception &) {
        file.Close();
        ui::Abort();
    }
}

bool IsNewerVersionAvailable(ui::THttpClient &http, const std::string &programFolder,
                             const std::string &installedVersion)
{
    std::string local = programFolder + "Update.ini";
    DownloadFile(http, UpdateFolderURL + "Update.ini", local);
    ui::TIniFile ini(local);
    return IsVersionNewer(ini.ReadString("Version", "Version", ""), installedVersion);
}

void CheckForUpdate(ui::THttpClient &http, const std::string &programFolder,
                    const std::string &installedVersion, const TUpdateActions &actions)
{
    if (!IsNewerVersionAvailable(http, programFolder, installedVersion)) return;
    if (actions.Ask(UpdateQuestion, "Quillmoor", MB_YESNO | MB_ICONINFORMATION) != IDYES) return;
    actions.StartProgram(programFolder + "qmUpdate.exe");
    actions.Terminate();
}

void ShellOpen(HWND owner, const std::string &path)
{
    ShellExecuteA(owner, "open", path.c_str(), "", "", SW_SHOW);
}

}  // namespace UpdateCheck
