#include "ui/Picture.h"
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>
// After windows.h: jpeglib's own 'boolean' steps aside for the one of the Windows headers.
#include <jpeglib.h>
#include <gif_lib.h>

namespace ui {

static const int kMaxSide = 16384;   // larger pictures are refused rather than allocated

// A top-down 24-bit DIB section; bits receives its pixels (rows padded to 4 bytes).
static HBITMAP NewDib(int width, int height, unsigned char **bits)
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void *p = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    *bits = static_cast<unsigned char *>(p);
    return bmp;
}

static size_t Stride(int width) { return (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3); }

// ---- JPEG

namespace {
struct JpegError {
    jpeg_error_mgr mgr;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};
}

// libjpeg's own handler ends the process; ours goes back to DecodeJpeg.
static void JpegErrorExit(j_common_ptr cinfo)
{
    JpegError *err = reinterpret_cast<JpegError *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    longjmp(err->jump, 1);
}

static void JpegQuiet(j_common_ptr, int) {}

// Plain C data only between setjmp and longjmp: nothing here needs a destructor.
static HBITMAP DecodeJpeg(const unsigned char *data, size_t size, char *error, size_t errorSize)
{
    jpeg_decompress_struct cinfo;
    JpegError err;
    HBITMAP volatile bmp = nullptr;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = JpegErrorExit;
    err.mgr.emit_message = JpegQuiet;
    err.message[0] = '\0';
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        if (bmp) DeleteObject(bmp);
        snprintf(error, errorSize, "JPEG error: %s", err.message);
        return nullptr;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGR;   // the byte order of a DIB
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width == 0 || cinfo.output_height == 0 || cinfo.output_width > kMaxSide ||
        cinfo.output_height > kMaxSide) {
        jpeg_destroy_decompress(&cinfo);
        snprintf(error, errorSize, "JPEG picture too large");
        return nullptr;
    }
    unsigned char *bits = nullptr;
    bmp = NewDib(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), &bits);
    if (!bmp) {
        jpeg_destroy_decompress(&cinfo);
        snprintf(error, errorSize, "Out of memory for the picture");
        return nullptr;
    }
    size_t stride = Stride(static_cast<int>(cinfo.output_width));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = bits + stride * cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return bmp;
}

// ---- GIF

namespace {
struct GifSource {
    const unsigned char *data;
    size_t size, pos;
};
}

static int GifRead(GifFileType *gif, GifByteType *buf, int n)
{
    GifSource *src = static_cast<GifSource *>(gif->UserData);
    size_t left = src->size - src->pos;
    size_t take = n < 0 ? 0 : static_cast<size_t>(n);
    if (take > left) take = left;
    memcpy(buf, src->data + src->pos, take);
    src->pos += take;
    return static_cast<int>(take);
}

static HBITMAP DecodeGif(const unsigned char *data, size_t size)
{
    GifSource src = {data, size, 0};
    int error = 0;
    GifFileType *gif = DGifOpen(&src, GifRead, &error);
    if (!gif) throw EInvalidGraphic("GIF error: cannot read the header");
    struct Closer {
        GifFileType *g;
        ~Closer() { int e; DGifCloseFile(g, &e); }
    } closer{gif};
    if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) throw EInvalidGraphic("GIF error: damaged picture");
    int w = gif->SWidth, h = gif->SHeight;
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) throw EInvalidGraphic("GIF error: bad picture size");
    const SavedImage &img = gif->SavedImages[0];
    const ColorMapObject *map = img.ImageDesc.ColorMap ? img.ImageDesc.ColorMap : gif->SColorMap;
    if (!map || !map->Colors) throw EInvalidGraphic("GIF error: no colour table");
    int transparent = -1;
    GraphicsControlBlock gcb;
    if (DGifSavedExtensionToGCB(gif, 0, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
    unsigned char *bits = nullptr;
    HBITMAP bmp = NewDib(w, h, &bits);
    if (!bmp) throw EInvalidGraphic("Out of memory for the picture");
    size_t stride = Stride(w);
    // The screen first: the background colour where the frame does not reach or is transparent.
    GifColorType bg = {255, 255, 255};
    if (gif->SColorMap && gif->SBackGroundColor < gif->SColorMap->ColorCount)
        bg = gif->SColorMap->Colors[gif->SBackGroundColor];
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            unsigned char *p = bits + stride * static_cast<size_t>(y) + static_cast<size_t>(x) * 3;
            p[0] = bg.Blue;
            p[1] = bg.Green;
            p[2] = bg.Red;
        }
    const GifImageDesc &d = img.ImageDesc;
    for (int y = 0; y < d.Height; ++y) {
        int sy = d.Top + y;
        if (sy < 0 || sy >= h) continue;
        for (int x = 0; x < d.Width; ++x) {
            int sx = d.Left + x;
            if (sx < 0 || sx >= w) continue;
            int c = img.RasterBits[static_cast<size_t>(y) * static_cast<size_t>(d.Width) + static_cast<size_t>(x)];
            if (c == transparent || c >= map->ColorCount) continue;
            unsigned char *p = bits + stride * static_cast<size_t>(sy) + static_cast<size_t>(sx) * 3;
            p[0] = map->Colors[c].Blue;
            p[1] = map->Colors[c].Green;
            p[2] = map->Colors[c].Red;
        }
    }
    return bmp;
}

// ---- BMP

static HBITMAP DecodeBmp(const unsigned char *data, size_t size)
{
    if (size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) throw EInvalidGraphic("Bitmap too short");
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER ih;
    memcpy(&fh, data, sizeof fh);
    memcpy(&ih, data + sizeof fh, sizeof ih);
    long long w = ih.biWidth, h = ih.biHeight < 0 ? -static_cast<long long>(ih.biHeight) : ih.biHeight;
    int bpp = ih.biBitCount;
    if (ih.biSize < sizeof ih || ih.biSize > size || w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide ||
        ih.biPlanes != 1 || (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) ||
        (ih.biCompression != BI_RGB && ih.biCompression != BI_BITFIELDS))
        throw EInvalidGraphic("Bitmap header not supported");
    size_t stride = ((static_cast<size_t>(w) * static_cast<size_t>(bpp) + 31) / 32) * 4;
    size_t colors = bpp <= 8 ? (ih.biClrUsed ? ih.biClrUsed : (1u << bpp)) : 0;
    if (colors > 256) throw EInvalidGraphic("Bitmap colour table too large");
    size_t tableEnd = sizeof fh + ih.biSize + colors * sizeof(RGBQUAD) +
                      (ih.biCompression == BI_BITFIELDS ? 3 * sizeof(DWORD) : 0);
    if (fh.bfOffBits < tableEnd || fh.bfOffBits > size || size - fh.bfOffBits < stride * static_cast<size_t>(h))
        throw EInvalidGraphic("Bitmap data too short");
    // The header and colour table as one BITMAPINFO, aligned.
    std::vector<DWORD> info((tableEnd - sizeof fh + 3) / 4 + 1);
    memcpy(info.data(), data + sizeof fh, tableEnd - sizeof fh);
    HDC screen = GetDC(nullptr);
    unsigned char *bits = nullptr;
    HBITMAP bmp = NewDib(static_cast<int>(w), static_cast<int>(h), &bits);
    HDC mem = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    int lines = 0;
    if (bmp && mem) {
        HGDIOBJ old = SelectObject(mem, bmp);
        lines = SetDIBitsToDevice(mem, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                                  static_cast<UINT>(h), data + fh.bfOffBits,
                                  reinterpret_cast<BITMAPINFO *>(info.data()), DIB_RGB_COLORS);
        SelectObject(mem, old);
    }
    if (mem) DeleteDC(mem);
    if (!bmp || lines == 0) {
        if (bmp) DeleteObject(bmp);
        throw EInvalidGraphic("Bitmap cannot be read");
    }
    return bmp;
}

HBITMAP DecodePicture(const void *data, size_t size)
{
    const unsigned char *p = static_cast<const unsigned char *>(data);
    if (size >= 3 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF) {
        char error[JMSG_LENGTH_MAX + 32];
        HBITMAP bmp = DecodeJpeg(p, size, error, sizeof error);
        if (!bmp) throw EInvalidGraphic(error);
        return bmp;
    }
    if (size >= 6 && (memcmp(p, "GIF87a", 6) == 0 || memcmp(p, "GIF89a", 6) == 0)) return DecodeGif(p, size);
    if (size >= 2 && p[0] == 'B' && p[1] == 'M') return DecodeBmp(p, size);
    throw EInvalidGraphic("Unknown picture format");
}

// ---- TPicture

int TPicture::Width() const
{
    BITMAP bm;
    return bitmap_ && GetObjectA(bitmap_, sizeof bm, &bm) ? bm.bmWidth : 0;
}

int TPicture::Height() const
{
    BITMAP bm;
    return bitmap_ && GetObjectA(bitmap_, sizeof bm, &bm) ? bm.bmHeight : 0;
}

void TPicture::Assign(HBITMAP bitmap)
{
    if (bitmap == bitmap_) return;
    Clear();
    bitmap_ = bitmap;
}

void TPicture::Clear()
{
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
}

void TPicture::LoadFromBytes(const std::string &bytes) { Assign(DecodePicture(bytes.data(), bytes.size())); }

void TPicture::LoadFromFile(const std::string &path)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) throw EInvalidGraphic("Cannot open " + path);
    std::string bytes;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
    CloseHandle(f);
    LoadFromBytes(bytes);
}

void TPicture::LoadFromResource(const char *name, const char *type)
{
    HMODULE m = GetModuleHandleA(nullptr);
    HRSRC r = FindResourceA(m, name, type);
    HGLOBAL g = r ? LoadResource(m, r) : nullptr;
    const void *p = g ? LockResource(g) : nullptr;
    if (!p) throw EInvalidGraphic("Picture resource not found");
    Assign(DecodePicture(p, SizeofResource(m, r)));
}

}  // namespace ui
