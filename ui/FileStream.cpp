#include "ui/FileStream.h"
#include "ui/Exceptions.h"
#include <algorithm>
#include <cstring>

namespace ui {

std::string SysErrorMessage(DWORD code)
{
    char buf[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, code, 0, buf,
                             sizeof(buf), NULL);
    while (n > 0 && (buf[n - 1] == '\r' || buf[n - 1] == '\n' || buf[n - 1] == ' ' || buf[n - 1] == '.')) --n;
    if (n == 0) return "System error " + std::to_string(code);
    return std::string(buf, n);
}

void TStream::ReadBuffer(void *buffer, long long count)
{
    if (count > 0 && Read(buffer, count) != count) throw Exception("Stream read error");
}

void TStream::WriteBuffer(const void *buffer, long long count)
{
    if (count > 0 && Write(buffer, count) != count) throw Exception("Stream write error");
}

TFileStream::TFileStream(const std::string &fileName, unsigned mode) : fileName_(fileName)
{
    DWORD access, share, disposition;
    if (mode == fmCreate) {
        access = GENERIC_READ | GENERIC_WRITE;
        share = FILE_SHARE_READ;
        disposition = CREATE_ALWAYS;
    } else {
        switch (mode & 3) {
        case fmOpenWrite: access = GENERIC_WRITE; break;
        case fmOpenReadWrite: access = GENERIC_READ | GENERIC_WRITE; break;
        default: access = GENERIC_READ; break;
        }
        switch (mode & 0xF0) {
        case fmShareExclusive: share = 0; break;
        case fmShareDenyWrite: share = FILE_SHARE_READ; break;
        case fmShareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
        default: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
        }
        disposition = OPEN_EXISTING;
    }
    handle_ = CreateFileA(fileName.c_str(), access, share, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle_ == INVALID_HANDLE_VALUE) {
        DWORD err = GetLastError();
        throw Exception(std::string(mode == fmCreate ? "Cannot create file \"" : "Cannot open file \"") +
                        fileName + "\". " + SysErrorMessage(err));
    }
}

TFileStream::~TFileStream() { Close(); }

void TFileStream::Close()
{
    if (handle_ != INVALID_HANDLE_VALUE) {
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }
}

long long TFileStream::Read(void *buffer, long long count)
{
    long long total = 0;
    char *p = static_cast<char *>(buffer);
    while (count > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<long long>(count, 0x40000000)), got = 0;
        if (!ReadFile(handle_, p + total, chunk, &got, NULL) || got == 0) break;
        total += got;
        count -= got;
    }
    return total;
}

long long TFileStream::Write(const void *buffer, long long count)
{
    long long total = 0;
    const char *p = static_cast<const char *>(buffer);
    while (count > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<long long>(count, 0x40000000)), put = 0;
        if (!WriteFile(handle_, p + total, chunk, &put, NULL) || put == 0) break;
        total += put;
        count -= put;
    }
    return total;
}

long long TFileStream::Seek(long long offset, DWORD origin)
{
    LARGE_INTEGER dist, pos;
    dist.QuadPart = offset;
    if (!SetFilePointerEx(handle_, dist, &pos, origin)) return -1;
    return pos.QuadPart;
}

long long TFileStream::Size()
{
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_, &size)) return -1;
    return size.QuadPart;
}

long long TMemoryStream::Read(void *buffer, long long count)
{
    if (count <= 0 || pos_ >= data_.size()) return 0;
    size_t n = std::min(static_cast<size_t>(count), data_.size() - pos_);
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return static_cast<long long>(n);
}

long long TMemoryStream::Write(const void *buffer, long long count)
{
    if (count <= 0) return 0;
    size_t n = static_cast<size_t>(count);
    if (pos_ + n > data_.size()) data_.resize(pos_ + n);
    std::memcpy(&data_[pos_], buffer, n);
    pos_ += n;
    return count;
}

long long TMemoryStream::Seek(long long offset, DWORD origin)
{
    long long base = origin == FILE_BEGIN ? 0 : origin == FILE_CURRENT ? static_cast<long long>(pos_)
                                                                        : static_cast<long long>(data_.size());
    long long to = base + offset;
    if (to < 0) to = 0;
    pos_ = static_cast<size_t>(to);
    return to;
}

}  // namespace ui
