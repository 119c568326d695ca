#include "ui/Registry.h"
#include <shlwapi.h>
#include "ui/Exceptions.h"

namespace ui {

namespace {

[[noreturn]] void InvalidType(const std::string &name)
{
    throw ERegistryException("Invalid data type for '" + name + "'");
}

}  // namespace

TRegistry::TRegistry(REGSAM access) : access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY root)
{
    CloseKey();
    root_ = root;
}

HKEY TRegistry::OpenFor(const std::string &key, bool create, REGSAM access, std::string *fullPath) const
{
    if (!root_) return nullptr;
    bool absolute = !key.empty() && key[0] == '\\';
    std::string rel = absolute ? key.substr(1) : key;
    HKEY base = (absolute || !current_) ? root_ : current_;
    std::string path = (absolute || !current_ || currentPath_.empty()) ? rel
                       : (rel.empty() ? currentPath_ : currentPath_ + "\\" + rel);
    HKEY h = nullptr;
    LONG rc;
    if (create)
        rc = RegCreateKeyExA(base, rel.c_str(), 0, nullptr, 0, access, nullptr, &h, nullptr);
    else
        rc = RegOpenKeyExA(base, rel.c_str(), 0, access, &h);
    if (rc != ERROR_SUCCESS) {
        lastError_ = rc;
        return nullptr;
    }
    if (fullPath) *fullPath = path;
    return h;
}

bool TRegistry::OpenKey(const std::string &key, bool canCreate)
{
    std::string path;
    HKEY h = OpenFor(key, canCreate, access_, &path);
    if (!h) return false;
    CloseKey();
    current_ = h;
    currentPath_ = path;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string &key)
{
    std::string path;
    HKEY h = OpenFor(key, false, KEY_READ, &path);
    if (!h) return false;
    CloseKey();
    current_ = h;
    currentPath_ = path;
    return true;
}

void TRegistry::CloseKey()
{
    if (current_) RegCloseKey(current_);
    current_ = nullptr;
    currentPath_.clear();
}

bool TRegistry::KeyExists(const std::string &key)
{
    HKEY h = OpenFor(key, false, KEY_READ, nullptr);
    if (!h) return false;
    RegCloseKey(h);
    return true;
}

bool TRegistry::CreateKey(const std::string &key)
{
    HKEY h = OpenFor(key, true, access_, nullptr);
    if (!h) return false;
    RegCloseKey(h);
    return true;
}

bool TRegistry::DeleteKey(const std::string &key)
{
    bool absolute = !key.empty() && key[0] == '\\';
    std::string rel = absolute ? key.substr(1) : key;
    HKEY base = (absolute || !current_) ? root_ : current_;
    if (!base || rel.empty()) return false;
    return SHDeleteKeyA(base, rel.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const std::string &name) const { return GetDataTypeRaw(name) != REG_NONE; }

bool TRegistry::DeleteValue(const std::string &name)
{
    if (!current_) return false;
    LONG rc = RegDeleteValueA(current_, name.c_str());
    if (rc != ERROR_SUCCESS) lastError_ = rc;
    return rc == ERROR_SUCCESS;
}

DWORD TRegistry::GetDataTypeRaw(const std::string &name) const
{
    if (!current_) return REG_NONE;
    DWORD type = REG_NONE;
    if (RegQueryValueExA(current_, name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return REG_NONE;
    return type;
}

int TRegistry::GetDataSize(const std::string &name) const
{
    if (!current_) return -1;
    DWORD size = 0;
    if (RegQueryValueExA(current_, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return -1;
    return static_cast<int>(size);
}

std::string TRegistry::ReadString(const std::string &name) const
{
    if (!current_) return std::string();
    DWORD type = REG_NONE, size = 0;
    if (RegQueryValueExA(current_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::string();
    if (type != REG_SZ && type != REG_EXPAND_SZ) InvalidType(name);
    std::string buf(size + 1, '\0');
    DWORD got = size;
    if (RegQueryValueExA(current_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(&buf[0]), &got) !=
        ERROR_SUCCESS)
        throw ERegistryException("Failed to get data for '" + name + "'");
    buf.resize(got);
    size_t nul = buf.find('\0');   // the stored text ends at its first NUL
    if (nul != std::string::npos) buf.resize(nul);
    return buf;
}

int TRegistry::ReadInteger(const std::string &name) const
{
    DWORD type = REG_NONE, value = 0, size = sizeof(value);
    if (!current_ ||
        RegQueryValueExA(current_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(&value), &size) !=
            ERROR_SUCCESS) {
        if (current_ && GetDataTypeRaw(name) != REG_NONE) InvalidType(name);
        throw ERegistryException("Failed to get data for '" + name + "'");
    }
    if (type != REG_DWORD || size != sizeof(value)) InvalidType(name);
    return static_cast<int>(value);
}

double TRegistry::ReadDateTime(const std::string &name) const
{
    DWORD type = REG_NONE, size = 0;
    if (!current_ || RegQueryValueExA(current_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        throw ERegistryException("Failed to get data for '" + name + "'");
    if (type != REG_BINARY || size != sizeof(double)) InvalidType(name);
    double value = 0;
    RegQueryValueExA(current_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(&value), &size);
    return value;
}

int TRegistry::ReadBinaryData(const std::string &name, void *buffer, int size) const
{
    DWORD type = REG_NONE, got = 0;
    if (!current_ || RegQueryValueExA(current_, name.c_str(), nullptr, &type, nullptr, &got) != ERROR_SUCCESS)
        throw ERegistryException("Failed to get data for '" + name + "'");
    if (type != REG_BINARY) InvalidType(name);
    if (static_cast<int>(got) > size) throw ERegistryException("Failed to get data for '" + name + "'");
    RegQueryValueExA(current_, name.c_str(), nullptr, &type, static_cast<BYTE *>(buffer), &got);
    return static_cast<int>(got);
}

void TRegistry::PutData(const std::string &name, DWORD type, const void *data, DWORD size)
{
    LONG rc = current_ ? RegSetValueExA(current_, name.c_str(), 0, type, static_cast<const BYTE *>(data), size)
                       : ERROR_INVALID_HANDLE;
    if (rc != ERROR_SUCCESS) {
        lastError_ = rc;
        throw ERegistryException("Failed to set data for '" + name + "'");
    }
}

void TRegistry::WriteString(const std::string &name, const std::string &value)
{
    PutData(name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void TRegistry::WriteExpandString(const std::string &name, const std::string &value)
{
    PutData(name, REG_EXPAND_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void TRegistry::WriteInteger(const std::string &name, int value)
{
    DWORD v = static_cast<DWORD>(value);
    PutData(name, REG_DWORD, &v, sizeof(v));
}

void TRegistry::WriteDateTime(const std::string &name, double value)
{
    PutData(name, REG_BINARY, &value, sizeof(value));
}

void TRegistry::WriteBinaryData(const std::string &name, const void *buffer, int size)
{
    PutData(name, REG_BINARY, buffer, static_cast<DWORD>(size));
}

std::vector<std::string> TRegistry::GetValueNames(const std::function<void()> &onName) const
{
    std::vector<std::string> names;
    if (!current_) return names;
    DWORD maxLen = 0;
    RegQueryInfoKeyA(current_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxLen, nullptr,
                     nullptr, nullptr);
    std::string buf(maxLen + 2, '\0');
    for (DWORD i = 0;; ++i) {
        DWORD len = static_cast<DWORD>(buf.size());
        LONG rc = RegEnumValueA(current_, i, &buf[0], &len, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_MORE_DATA) {
            buf.assign(buf.size() * 2 + 256, '\0');
            --i;
            continue;
        }
        if (rc != ERROR_SUCCESS) break;
        names.emplace_back(buf.data(), len);
        if (onName) onName();
    }
    return names;
}

std::vector<std::string> TRegistry::GetKeyNames(const std::function<void()> &onName) const
{
    std::vector<std::string> names;
    if (!current_) return names;
    char buf[512];
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof(buf);
        if (RegEnumKeyExA(current_, i, buf, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(buf, len);
        if (onName) onName();
    }
    return names;
}

}  // namespace ui
