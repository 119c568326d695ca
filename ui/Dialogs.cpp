#include "ui/Dialogs.h"
#include <commdlg.h>
#include <shlobj.h>
#include <vector>

namespace ui {

bool TOpenDialog::Execute(HWND owner)
{
    std::vector<char> file(MAX_PATH * 4, '\0');
    FileName.copy(file.data(), file.size() - 1);
    std::string filter = Filter;
    if (!filter.empty()) {
        for (char &c : filter)
            if (c == '|') c = '\0';
        filter.append(2, '\0');
    }
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&ofn)) return false;
    FileName = file.data();
    return true;
}

std::string BrowseForFolder(HWND owner, const std::string &title)
{
    char display[MAX_PATH] = {};
    BROWSEINFOA bi = {};
    bi.hwndOwner = owner;
    bi.pszDisplayName = display;
    bi.lpszTitle = title.c_str();
    LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
    if (!pidl) return std::string();
    char path[MAX_PATH] = {};
    std::string result = SHGetPathFromIDListA(pidl, path) ? path : "";
    CoTaskMemFree(pidl);
    return result;
}

}  // namespace ui
