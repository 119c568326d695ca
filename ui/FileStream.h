// Byte streams: the stream interface that the HTTP client writes into, files and memory.
#pragma once
#include <windows.h>
#include <string>

namespace ui {

class TStream {
public:
    virtual ~TStream() = default;
    // Both return the number of bytes moved; 0 at the end or on failure of a read.
    virtual long long Read(void *buffer, long long count) = 0;
    virtual long long Write(const void *buffer, long long count) = 0;
    // origin: FILE_BEGIN, FILE_CURRENT or FILE_END; returns the new position.
    virtual long long Seek(long long offset, DWORD origin) = 0;
    virtual long long Size() = 0;
    long long Position() { return Seek(0, FILE_CURRENT); }
    void SetPosition(long long pos) { Seek(pos, FILE_BEGIN); }
    // Raise ui::Exception unless all count bytes were moved.
    void ReadBuffer(void *buffer, long long count);
    void WriteBuffer(const void *buffer, long long count);
};

// Open modes, combined with one share mode.
enum : unsigned {
    fmCreate = 0xFFFF,            // create, or empty an existing file; read and write
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyNone = 0x0040,
};

class TFileStream : public TStream {
public:
    // Raises ui::Exception naming the file and the system's reason when it cannot be opened.
    TFileStream(const std::string &fileName, unsigned mode);
    ~TFileStream() override;
    TFileStream(const TFileStream &) = delete;
    TFileStream &operator=(const TFileStream &) = delete;

    long long Read(void *buffer, long long count) override;
    long long Write(const void *buffer, long long count) override;
    long long Seek(long long offset, DWORD origin) override;
    long long Size() override;
    // Releases the file now; later calls fail. The destructor closes too.
    void Close();
    HANDLE Handle() const { return handle_; }
    const std::string &FileName() const { return fileName_; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    std::string fileName_;
};

// A stream over a growing block of memory.
class TMemoryStream : public TStream {
public:
    long long Read(void *buffer, long long count) override;
    long long Write(const void *buffer, long long count) override;
    long long Seek(long long offset, DWORD origin) override;
    long long Size() override { return static_cast<long long>(data_.size()); }
    const std::string &Data() const { return data_; }
    void Clear() { data_.clear(); pos_ = 0; }

private:
    std::string data_;
    size_t pos_ = 0;
};

// The system's text for an error code, without the trailing line end.
std::string SysErrorMessage(DWORD code);

}  // namespace ui
