// Helpers the test programs share: scratch folders, scratch registry keys, files, the message pump.
#pragma once
#include <windows.h>
#include <set>
#include <string>

namespace qmtest {

// A fresh folder under %TEMP%, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &Path() const { return path_; }   // no trailing backslash
    std::string operator/(const std::string &name) const { return path_ + "\\" + name; }
private:
    std::string path_;
};

// Deletes a registry key with all its subkeys when the object goes (and when it is made).
class RegKeyGuard {
public:
    RegKeyGuard(HKEY root, const std::string &path);
    ~RegKeyGuard();
    RegKeyGuard(const RegKeyGuard &) = delete;
    RegKeyGuard &operator=(const RegKeyGuard &) = delete;
private:
    HKEY root_;
    std::string path_;
};

// Lets everyone have only the given rights on an existing key (SDDL key rights: "KR" read, "KRKW"
// read and write), the way a limited account finds most of HKEY_LOCAL_MACHINE; wine checks them
// although the tests run with every right. Full access comes back when the object goes.
class RegKeyAccess {
public:
    RegKeyAccess(HKEY root, const std::string &path, const std::string &rights);
    ~RegKeyAccess();
    RegKeyAccess(const RegKeyAccess &) = delete;
    RegKeyAccess &operator=(const RegKeyAccess &) = delete;
    bool Applied() const { return applied_; }
private:
    bool Set(const std::string &sddl);
    HKEY root_;
    std::string path_;
    bool applied_ = false;
};

// Registry helpers that talk to advapi32 directly, so tests never check our code with our code.
bool RegSetString(HKEY root, const std::string &key, const std::string &name, const std::string &data,
                  DWORD type = REG_SZ);
bool RegSetDword(HKEY root, const std::string &key, const std::string &name, DWORD value);
bool RegSetBinary(HKEY root, const std::string &key, const std::string &name, const void *data, DWORD size);
bool RegValueExists(HKEY root, const std::string &key, const std::string &name);
bool RegKeyExists(HKEY root, const std::string &key);
std::string RegGetString(HKEY root, const std::string &key, const std::string &name);
DWORD RegGetType(HKEY root, const std::string &key, const std::string &name);  // REG_NONE when missing
void RegDeleteTreeA(HKEY root, const std::string &key);

bool WriteFileBytes(const std::string &path, const std::string &bytes);
std::string ReadFileBytes(const std::string &path);
bool FileExists(const std::string &path);
bool DirExists(const std::string &path);
void DeleteTreeA(const std::string &path);  // a folder and everything below it
// The names of the files (not folders) in folder, which ends in a backslash.
std::set<std::string> FileNames(const std::string &folder);

// Handles every pending message of this thread once.
void PumpMessages();

// A file of the real-world test data, by its path below testdata/real-world ("cookies/x.txt").
std::string TestDataPath(const std::string &relative);

// Runs a program and waits for it; returns its exit code, or -1 when it could not start.
int RunAndWait(const std::string &commandLine, DWORD timeoutMs = 120000);

// The number of items in the Recycle Bin (-1 when the shell cannot tell).
LONGLONG RecycleBinItems();
// Deletes a file the way Explorer does, into the Recycle Bin; true when it went.
bool Recycle(const std::string &path);

// Wine's desktop trash folder, where the Recycle Bin lives (its "files" and "info" below it).
std::string WineTrashFolder();

// A folder of the system that a test makes ("C:\$Recycle.Bin") and removes with everything in it when
// the object goes; Made() is false when it was there before, and then it is left alone.
class OwnedFolder {
public:
    explicit OwnedFolder(const std::string &path) : path_(path), made_(CreateDirectoryA(path.c_str(), NULL) != 0) {}
    ~OwnedFolder() { if (made_) DeleteTreeA(path_); }
    bool Made() const { return made_; }
    std::string operator/(const std::string &name) const { return path_ + "\\" + name; }
private:
    std::string path_;
    bool made_;
};

// Imports a .reg file into the registry with regedit /S.
bool ImportRegFile(const std::string &path);

}  // namespace qmtest
