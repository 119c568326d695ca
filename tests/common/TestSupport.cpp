#include "TestSupport.h"
#include "ui/Application.h"
#include <sddl.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <vector>

namespace qmtest {

TempDir::TempDir()
{
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    static LONG counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[MAX_PATH + 64];
        wsprintfA(name, "%sqmtest_%lu_%ld_%d", tmp, GetCurrentProcessId(),
                  InterlockedIncrement(&counter), attempt);
        if (CreateDirectoryA(name, NULL)) {
            path_ = name;
            return;
        }
    }
}

TempDir::~TempDir()
{
    if (!path_.empty())
        DeleteTreeA(path_);
}

RegKeyGuard::RegKeyGuard(HKEY root, const std::string &path) : root_(root), path_(path)
{
    RegDeleteTreeA(root_, path_);
}

RegKeyGuard::~RegKeyGuard() { RegDeleteTreeA(root_, path_); }

RegKeyAccess::RegKeyAccess(HKEY root, const std::string &path, const std::string &rights)
    : root_(root), path_(path)
{
    // Reading and changing the permissions and deleting stay allowed, so the key can be cleaned up.
    applied_ = Set("D:P(A;OICI;" + rights + "RCWDSD;;;WD)");
}

RegKeyAccess::~RegKeyAccess() { Set("D:(A;OICI;KA;;;WD)"); }

bool RegKeyAccess::Set(const std::string &sddl)
{
    PSECURITY_DESCRIPTOR sd = NULL;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &sd, NULL)) return false;
    HKEY h = NULL;
    bool ok = RegOpenKeyExA(root_, path_.c_str(), 0, WRITE_DAC | READ_CONTROL, &h) == ERROR_SUCCESS;
    if (ok) {
        ok = RegSetKeySecurity(h, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
        RegCloseKey(h);
    }
    LocalFree(sd);
    return ok;
}

static HKEY CreateKey(HKEY root, const std::string &key)
{
    HKEY h = NULL;
    if (RegCreateKeyExA(root, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &h, NULL) != ERROR_SUCCESS)
        return NULL;
    return h;
}

bool RegSetString(HKEY root, const std::string &key, const std::string &name, const std::string &data,
                  DWORD type)
{
    HKEY h = CreateKey(root, key);
    if (!h) return false;
    LONG rc = RegSetValueExA(h, name.c_str(), 0, type, reinterpret_cast<const BYTE *>(data.c_str()),
                             static_cast<DWORD>(data.size() + 1));
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

bool RegSetDword(HKEY root, const std::string &key, const std::string &name, DWORD value)
{
    HKEY h = CreateKey(root, key);
    if (!h) return false;
    LONG rc = RegSetValueExA(h, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE *>(&value), 4);
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

bool RegSetBinary(HKEY root, const std::string &key, const std::string &name, const void *data, DWORD size)
{
    HKEY h = CreateKey(root, key);
    if (!h) return false;
    LONG rc = RegSetValueExA(h, name.c_str(), 0, REG_BINARY, static_cast<const BYTE *>(data), size);
    RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

bool RegValueExists(HKEY root, const std::string &key, const std::string &name)
{
    return RegGetType(root, key, name) != REG_NONE;
}

bool RegKeyExists(HKEY root, const std::string &key)
{
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

std::string RegGetString(HKEY root, const std::string &key, const std::string &name)
{
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return std::string();
    DWORD type = 0, size = 0;
    std::string out;
    if (RegQueryValueExA(h, name.c_str(), NULL, &type, NULL, &size) == ERROR_SUCCESS && size > 0) {
        std::vector<char> buf(size + 1, 0);
        if (RegQueryValueExA(h, name.c_str(), NULL, &type, reinterpret_cast<BYTE *>(buf.data()), &size) ==
            ERROR_SUCCESS)
            out.assign(buf.data());
    }
    RegCloseKey(h);
    return out;
}

DWORD RegGetType(HKEY root, const std::string &key, const std::string &name)
{
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return REG_NONE;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(h, name.c_str(), NULL, &type, NULL, NULL) != ERROR_SUCCESS) type = REG_NONE;
    RegCloseKey(h);
    return type;
}

void RegDeleteTreeA(HKEY root, const std::string &key) { SHDeleteKeyA(root, key.c_str()); }

bool WriteFileBytes(const std::string &path, const std::string &bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
    CloseHandle(h);
    return ok && written == bytes.size();
}

std::string ReadFileBytes(const std::string &path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                           0, NULL);
    if (h == INVALID_HANDLE_VALUE) return std::string();
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof(buf), &got, NULL) && got > 0) out.append(buf, got);
    CloseHandle(h);
    return out;
}

bool FileExists(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirExists(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void DeleteTreeA(const std::string &path)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = path + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTreeA(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

std::set<std::string> FileNames(const std::string &folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return names;
}

void PumpMessages() { ui::Application->ProcessMessages(); }

std::string TestDataPath(const std::string &relative)
{
    std::string rel = relative;
    for (char &c : rel)
        if (c == '/') c = '\\';
    return std::string(QM_TESTDATA_DIR) + "\\" + rel;
}

int RunAndWait(const std::string &commandLine, DWORD timeoutMs)
{
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (!CreateProcessA(NULL, cmd.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

LONGLONG RecycleBinItems()
{
    SHQUERYRBINFO info = {};
    info.cbSize = sizeof(info);
    if (FAILED(SHQueryRecycleBinA(nullptr, &info))) return -1;
    return info.i64NumItems;
}

bool Recycle(const std::string &path)
{
    std::string from = path + std::string(2, '\0');
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    return SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted && !FileExists(path);
}

std::string WineTrashFolder()
{
    char buf[MAX_PATH] = {0};
    // The test session gives wine a private XDG data folder; otherwise the trash is below the home.
    if (GetEnvironmentVariableA("XDG_DATA_HOME", buf, MAX_PATH) && buf[0] == '/') {
        std::string p = std::string("Z:") + buf + "/Trash";
        for (char &c : p)
            if (c == '/') c = '\\';
        return p;
    }
    if (!GetEnvironmentVariableA("WINEHOMEDIR", buf, MAX_PATH)) return std::string();
    std::string h = buf;
    if (h.compare(0, 4, "\\??\\") == 0) h.erase(0, 4);
    return h + "\\.local\\share\\Trash";
}

bool ImportRegFile(const std::string &path) { return RunAndWait("regedit.exe /S \"" + path + "\"") == 0; }

}  // namespace qmtest
