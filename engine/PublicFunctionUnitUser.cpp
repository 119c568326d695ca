#include "engine/PublicFunctionUnit.h"
#include <sddl.h>

void GetCurrentUserName(std::string &result)
{
    char buffer[255];
    DWORD size = sizeof(buffer);
    if (!GetUserNameA(buffer, &size))
        return;
    buffer[sizeof(buffer) - 1] = 0;
    result = buffer;   // the text up to the first NUL
}

bool GetCurrentUserSid(std::string &sid)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    bool ok = size > 0 && GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
    CloseHandle(token);
    if (!ok) return false;
    LPSTR text = nullptr;
    if (!ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid, &text)) return false;
    sid = text;
    LocalFree(text);
    return true;
}

namespace {

std::string UpperCase(std::string s)
{
    if (!s.empty()) CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

}  // namespace

std::string SystemDriveRoot()
{
    char system[MAX_PATH + 1] = {0};
    const UINT n = GetSystemDirectoryA(system, MAX_PATH);
    return std::string(system, n < 3 ? n : 3);
}

void ListRecycledFoldersOfDrive(const std::string &root, std::vector<std::string> &folders)
{
    folders.push_back(root + "Recycled");
    std::string sid;
    if (!GetCurrentUserSid(sid)) return;
    folders.push_back(root + "RECYCLER\\" + sid);
    folders.push_back(root + "$Recycle.Bin\\" + sid);
}

TRecycledLayout RecycledLayoutOf(const std::string &folder)
{
    std::string path = folder;
    while (!path.empty() && path.back() == '\\') path.pop_back();
    const size_t cut = path.find_last_of('\\');
    if (cut == std::string::npos) return TRecycledLayout::Recycled;
    path.erase(cut);
    // npos + 1 is 0: a parent without a separator is a name of its own.
    const std::string parent = UpperCase(path.substr(path.find_last_of('\\') + 1));
    if (parent == "RECYCLER") return TRecycledLayout::Recycler;
    if (parent == "$RECYCLE.BIN") return TRecycledLayout::RecycleBin;
    return TRecycledLayout::Recycled;
}

bool IsRecycleBinOwnFile(TRecycledLayout layout, const std::string &name)
{
    const std::string upper = UpperCase(name);
    if (upper == UpperCase("INFO2") || upper == UpperCase("desktop.ini")) return true;
    return layout != TRecycledLayout::Recycled && upper.compare(0, 2, "$I") == 0;
}

bool IsRecycledEntry(TRecycledLayout layout, const std::string &name, DWORD attributes)
{
    // Normal, temporary, compressed, offline and not-indexed entries are no deleted entry.
    if (attributes >= 101) return false;
    if (name == "." || name == "..") return false;
    if (IsRecycleBinOwnFile(layout, name)) return false;
    if (layout != TRecycledLayout::RecycleBin) return true;
    return UpperCase(name).compare(0, 2, "$R") == 0;
}

std::string RecycledIndexFileOf(const std::string &entry)
{
    const size_t cut = entry.find_last_of('\\');
    if (cut == std::string::npos || RecycledLayoutOf(entry.substr(0, cut)) != TRecycledLayout::RecycleBin) return "";
    const std::string name = entry.substr(cut + 1);
    if (name.size() < 3 || UpperCase(name.substr(0, 2)) != "$R") return "";
    return entry.substr(0, cut + 1) + "$I" + name.substr(2);
}
