#include "engine/WipeUnit.h"
#include <chrono>
#include <random>
#include <vector>
#include "engine/PublicFunctionUnit.h"
#include "engine/ResultContentUnit.h"
#include "ui/Application.h"

namespace {

// The overwrite pattern, written in large blocks of "0101..." (even, so blocks keep the two-byte
// units aligned).
const DWORD WipeBlockSize = 1u << 20;

bool IsWalkedAttribute(DWORD attr)
{
    switch (attr) {
    case 2:     // hidden
    case 4:     // system
    case 16:    // directory
    case 19:    // directory, hidden, read-only
    case 22:    // directory, hidden, system
    case 32:    // archive
    case 128:   // normal
    case 256:   // temporary
        return true;
    default:
        return false;
    }
}

bool IsExistingFolder(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsExistingFile(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool ContainsRecent(const std::string &path)
{
    std::string upper = path;
    if (!upper.empty()) CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    return upper.find("RECENT") != std::string::npos;
}

// The folder part of a path with its trailing separator ("C:\a\b.txt" gives "C:\a\").
std::string FolderPart(const std::string &path)
{
    size_t p = path.find_last_of("\\/:");
    return p == std::string::npos ? std::string() : path.substr(0, p + 1);
}

bool WriteRound(HANDLE h, uint64_t bytes, const std::vector<char> &block)
{
    LARGE_INTEGER zero;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(h, zero, nullptr, FILE_BEGIN)) return false;
    while (bytes > 0) {
        DWORD n = bytes < WipeBlockSize ? static_cast<DWORD>(bytes) : WipeBlockSize;
        DWORD written = 0;
        if (!WriteFile(h, block.data(), n, &written, nullptr) || written != n) return false;
        bytes -= n;
    }
    // Each round must reach the disk, or the cache would keep only the last one.
    return FlushFileBuffers(h) != 0;
}

enum class WalkMode { Folder, Recycled };

// The sub-folders share the walk's pacer: the window gets its turns by time over the whole tree.
// Without a pacer (the cleaner's walk) no message is pumped and ScanState is not looked at.
void Walk(const std::string &folder, int32_t passes, WalkMode mode, TScanPacer *turns)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    const TRecycledLayout layout = mode == WalkMode::Recycled ? RecycledLayoutOf(folder) : TRecycledLayout::Recycled;
    do {
        if (turns) {
            if (ScanState == 2) break;
            turns->Turn();   // keeps the window alive during a long walk
            if (ScanState == 2) break;   // asked while the messages were handled: not one entry more
        }
        std::string name = fd.cFileName;
        std::string full = folder + "\\" + name;
        if (mode == WalkMode::Folder && ContainsRecent(full)) break;
        // A user's own bin keeps its index files, so that emptying it afterwards finds every entry.
        if (layout != TRecycledLayout::Recycled && !IsRecycledEntry(layout, name, fd.dwFileAttributes)) continue;
        if (IsWalkedAttribute(fd.dwFileAttributes)) {
            if (name != "." && name != ".." && IsExistingFolder(full)) Walk(full, passes, WalkMode::Folder, turns);
            if (IsExistingFile(full)) WipeFile(full, passes);
        }
    } while (FindNextFileA(find, &fd));
    FindClose(find);
}

// Removes the folders of the tree below folder that are empty, the deepest first, then folder itself
// when it is empty by then. A folder that still holds something (a file, a link, a folder that
// cannot be listed) stays, and so does every folder above it.
void RemoveEmptiedFolders(const std::string &folder)
{
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*.*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = fd.cFileName;
        // A link to a folder elsewhere is left alone: what it points at is not the bin's.
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
            name != "." && name != "..")
            RemoveEmptiedFolders(folder + "\\" + name);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    if (RemoveDirectoryA(folder.c_str())) return;
    // A read-only folder refuses; an empty one goes all the same, and one that does not keeps its word.
    const DWORD attr = GetFileAttributesA(folder.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_READONLY)) return;
    if (SetFileAttributesA(folder.c_str(), attr & ~FILE_ATTRIBUTE_READONLY) && !RemoveDirectoryA(folder.c_str()))
        SetFileAttributesA(folder.c_str(), attr);
}

bool IsGone(const std::string &path)
{
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

int32_t WipePassesForDeleteMode(int32_t mode)
{
    switch (mode) {
    case 0: return -1;   // rename and delete only
    case 1: return 0;    // one round
    case 2: return 2;    // three rounds
    case 3: return 6;    // seven rounds
    default: return 0;   // an unknown mode still overwrites once
    }
}

bool WipeFile(const std::string &path, int32_t passes) { return WipeFileWithHook(path, passes, nullptr); }

bool WipeFileWithHook(const std::string &path, int32_t passes, const TWipeRoundHook &afterRound)
{
    // Windows refuses to open a read-only file for writing; say so ourselves, since some file
    // systems (and a privileged wine) would let the write through.
    DWORD attr = GetFileAttributesA(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    // Readers may look on, nobody else may write while the file is overwritten.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(h, &size) != 0;
    if (ok && passes >= 0) {
        // Two-byte units from offset 0 while the offset is below the size: an odd size gains a byte.
        uint64_t bytes = static_cast<uint64_t>(size.QuadPart);
        bytes += bytes & 1;
        std::vector<char> block(bytes < WipeBlockSize ? static_cast<size_t>(bytes) : WipeBlockSize);
        for (size_t i = 0; i < block.size(); ++i) block[i] = (i & 1) ? '1' : '0';
        for (int32_t round = 1; ok && round <= passes + 1; ++round) {
            ok = WriteRound(h, bytes, block);
            if (ok && afterRound) afterRound(h, round);
        }
    }
    if (!CloseHandle(h)) ok = false;
    if (!ok) return false;

    // A number name that is taken belongs to another file: draw again rather than touch it.
    std::string folder = FolderPart(path);
    auto seed = static_cast<uint32_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count()) ^
                GetTickCount() ^ GetCurrentThreadId();
    std::minstd_rand rng(seed);
    std::uniform_int_distribution<int> draw(0, 99999);
    std::string newName;
    bool renamed = false;
    for (int attempt = 0; attempt < 16 && !renamed; ++attempt) {
        newName = folder + std::to_string(draw(rng));
        if (MoveFileA(path.c_str(), newName.c_str())) {
            renamed = true;
            break;
        }
        DWORD err = GetLastError();
        if (err != ERROR_ALREADY_EXISTS && err != ERROR_FILE_EXISTS && err != ERROR_ACCESS_DENIED) break;
        // Access denied can also mean the drawn name is a folder or a file in use: try another too.
    }
    if (!renamed) return false;
    return DeleteFileA(newName.c_str()) != 0;
}

void WipeFolder(const std::string &folder, int32_t passes)
{
    TScanPacer turns;
    Walk(folder, passes, WalkMode::Folder, &turns);
}

bool WipeRecycledFolderEntry(const std::string &folder, int32_t passes)
{
    Walk(folder, passes, WalkMode::Folder, nullptr);
    RemoveEmptiedFolders(folder);
    return IsGone(folder);
}

void WipeRecycledFolderAt(const std::string &folder)
{
    if (!IsExistingFolder(folder)) return;
    TScanPacer turns;
    Walk(folder, 0, WalkMode::Recycled, &turns);
}

void WipeRecycledFolder()
{
    std::vector<std::string> folders;
    ListRecycledFoldersOfDrive(SystemDriveRoot(), folders);
    for (const std::string &folder : folders) WipeRecycledFolderAt(folder);
}

void EmptyRecycleBin()
{
    HMODULE shell = LoadLibraryA("Shell32.dll");
    if (!shell) {
        ui::Application->MessageBox("Failed to load Shell32.dll.", MB_OK | MB_ICONERROR);
        return;
    }
    using TSHEmptyRecycleBinA = HRESULT(WINAPI *)(HWND, LPCSTR, DWORD);
    auto empty = reinterpret_cast<TSHEmptyRecycleBinA>(
        reinterpret_cast<void *>(GetProcAddress(shell, "SHEmptyRecycleBinA")));
    // An empty root path means every drive; 7: no confirmation, no progress window, no sound.
    if (empty) empty(ui::Application->Handle(), "", SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
    FreeLibrary(shell);
}

void EmptyRecycleBinForAutoRun() { EmptyRecycleBin(); }
