// Registry accessor: a root key, one open key at a time, typed reads and writes.
// Keys are opened with full access (KEY_ALL_ACCESS) unless the caller sets another access.
// A path that starts with a backslash is taken from the root; any other from the open key.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace ui {

enum class TRegDataType { Unknown, String, ExpandString, Integer, Binary };

class TRegistry {
public:
    explicit TRegistry(REGSAM access = KEY_ALL_ACCESS);
    ~TRegistry();
    TRegistry(const TRegistry &) = delete;
    TRegistry &operator=(const TRegistry &) = delete;

    HKEY RootKey() const { return root_; }
    void SetRootKey(HKEY root);   // closes the open key
    HKEY CurrentKey() const { return current_; }
    const std::string &CurrentPath() const { return currentPath_; }

    bool OpenKey(const std::string &key, bool canCreate);
    // Opens with read access only, whatever access the object was made with: a key that the
    // account may read but not change (most of HKEY_LOCAL_MACHINE for a limited user) opens.
    bool OpenKeyReadOnly(const std::string &key);
    // The system's code for the last open or write that failed (ERROR_SUCCESS before any).
    LONG LastError() const { return lastError_; }
    void CloseKey();
    bool KeyExists(const std::string &key);
    bool DeleteKey(const std::string &key);   // with all its subkeys; false when missing or refused
    bool CreateKey(const std::string &key);

    bool ValueExists(const std::string &name) const;
    bool DeleteValue(const std::string &name);
    // The registry type of a value, REG_NONE when it does not exist.
    DWORD GetDataTypeRaw(const std::string &name) const;
    int GetDataSize(const std::string &name) const;   // -1 when missing

    // Reads raise ERegistryException on a wrong type; ReadString of a missing value gives "".
    std::string ReadString(const std::string &name) const;
    int ReadInteger(const std::string &name) const;     // REG_DWORD; missing raises
    bool ReadBool(const std::string &name) const { return ReadInteger(name) != 0; }
    double ReadDateTime(const std::string &name) const;  // 8-byte REG_BINARY double; missing raises
    int ReadBinaryData(const std::string &name, void *buffer, int size) const;

    void WriteString(const std::string &name, const std::string &value);
    void WriteExpandString(const std::string &name, const std::string &value);
    void WriteInteger(const std::string &name, int value);
    void WriteBool(const std::string &name, bool value) { WriteInteger(name, value ? 1 : 0); }
    void WriteDateTime(const std::string &name, double value);
    void WriteBinaryData(const std::string &name, const void *buffer, int size);

    // Names in the registry's enumeration order. A key can hold thousands: onName, when given, is
    // called after each name is read, so that a long listing can let other work in.
    std::vector<std::string> GetValueNames(const std::function<void()> &onName = nullptr) const;
    std::vector<std::string> GetKeyNames(const std::function<void()> &onName = nullptr) const;

private:
    HKEY OpenFor(const std::string &key, bool create, REGSAM access, std::string *fullPath) const;
    void PutData(const std::string &name, DWORD type, const void *data, DWORD size);

    REGSAM access_;
    mutable LONG lastError_ = ERROR_SUCCESS;
    HKEY root_ = HKEY_CURRENT_USER;
    HKEY current_ = nullptr;
    std::string currentPath_;
};

}  // namespace ui
