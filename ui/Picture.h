// Pictures: JPEG, GIF and BMP bytes (from memory, a file or a resource) decoded to a bitmap.
#pragma once
#include <windows.h>
#include <string>
#include "ui/Exceptions.h"

namespace ui {

// Bytes that are no picture we read, or a picture that is damaged.
class EInvalidGraphic : public Exception {
public:
    explicit EInvalidGraphic(const std::string &message) : Exception(message) {}
};

// Decodes a JPEG, GIF (its first frame) or BMP picture into a new 24-bit bitmap the caller owns.
// Throws EInvalidGraphic for anything else, damaged data included.
HBITMAP DecodePicture(const void *data, size_t size);

class TPicture {
public:
    TPicture() = default;
    ~TPicture() { Clear(); }
    TPicture(const TPicture &) = delete;
    TPicture &operator=(const TPicture &) = delete;

    HBITMAP Handle() const { return bitmap_; }
    bool Empty() const { return bitmap_ == nullptr; }
    int Width() const;
    int Height() const;
    void Assign(HBITMAP bitmap);   // takes the bitmap over
    void Clear();
    void LoadFromBytes(const std::string &bytes);
    void LoadFromFile(const std::string &path);
    // A picture stored as a resource of the program (RCDATA unless told).
    void LoadFromResource(const char *name, const char *type = MAKEINTRESOURCEA(10));

private:
    HBITMAP bitmap_ = nullptr;
};

}  // namespace ui
