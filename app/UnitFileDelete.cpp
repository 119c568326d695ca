#include "app/UnitFileDelete.h"
#include <shlobj.h>
#include <shellapi.h>
#include <cstdlib>
#include <ctime>
#include "engine/WipeUnit.h"

namespace {

// Code page 936 texts, shown as they always were: "deleting folder" and "please choose the folder".
const char DeletingFolderTitle[] = "\xd5\xfd\xd4\xda\xc9\xbe\xb3\xfd\xce\xc4\xbc\xfe\xbc\xd0";
const char ChooseFolderTitle[] = "\xc7\xeb\xd1\xa1\xd4\xf1\xcf\xe0\xd3\xa6\xce\xc4\xbc\xfe\xbc\xd0";

bool IsExistingFile(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Handles the pending messages once; a quit request is put back for the loop that owns it.
void PumpPendingMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string Upper(std::string s)
{
    if (!s.empty()) CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

}  // namespace

int32_t ShredLevelPasses(int level)
{
    switch (level) {
    case 1: return 2;
    case 2: return 7;
    default: return 1;
    }
}

bool ShredFile(const std::string &path, int32_t passes) { return WipeFile(path, passes); }

void ShredFolder(const std::string &folder, int32_t passes) { WipeFolder(folder, passes); }

void RemoveFolder(const std::string &path)
{
    // The shell would take wildcards or a relative name as patterns: only a folder that is there goes.
    DWORD a = GetFileAttributesA(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES || !(a & FILE_ATTRIBUTE_DIRECTORY) || path.find_first_of("*?") != std::string::npos)
        return;
    // The source list ends with two zeros.
    std::string from = path;
    from.push_back('\0');
    from.push_back('\0');
    SHFILEOPSTRUCTA op;
    ZeroMemory(&op, sizeof(op));
    op.hwnd = nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.pTo = nullptr;
    op.fFlags = 0x450;   // FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI: to the Recycle Bin, silently
    op.lpszProgressTitle = DeletingFolderTitle;
    SHFileOperationA(&op);
}

std::string BrowseForFolder(HWND owner)
{
    char display[MAX_PATH] = {0};
    BROWSEINFOA bi;
    ZeroMemory(&bi, sizeof(bi));
    bi.hwndOwner = owner;
    bi.pidlRoot = nullptr;
    bi.pszDisplayName = display;
    bi.lpszTitle = ChooseFolderTitle;
    bi.ulFlags = 0;
    LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
    if (!pidl) return std::string();
    char path[MAX_PATH] = {0};
    BOOL ok = SHGetPathFromIDListA(pidl, path);
    CoTaskMemFree(pidl);
    return ok ? std::string(path) : std::string();
}

std::string RecycledFolderOfSystemDrive()
{
    char system[MAX_PATH + 1] = {0};
    UINT n = GetSystemDirectoryA(system, MAX_PATH);
    std::string drive(system, n < 3 ? n : 3);
    return drive + "Recycled";
}

void AddRecycledFilesToList(std::vector<std::string> &lines, const std::string &folder)
{
    if (!SetCurrentDirectoryA(folder.c_str())) return;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA("*.*", &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    const std::string info2 = Upper("INFO2"), desktopIni = Upper("desktop.ini");
    do {
        PumpPendingMessages();
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (static_cast<unsigned>(fd.dwFileAttributes) >= 101) continue;
        std::string upper = Upper(name);
        if (upper == info2 || upper == desktopIni) continue;
        lines.push_back(folder + "\\" + name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

void ShredLines(const std::vector<std::string> &lines, int32_t passes)
{
    const size_t count = lines.size();
    for (size_t i = 0; i < count; ++i) {
        const std::string &line = lines[i];
        // An empty line would make the walk start at the root of the current drive.
        if (line.empty()) continue;
        if (IsExistingFile(line)) {
            ShredFile(line, passes);
        } else {
            ShredFolder(line, passes);
            std::srand(static_cast<unsigned>(std::time(nullptr)));
            RemoveFolder(line);
        }
    }
}
