#include <windows.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include <jpeglib.h>
#include "ui/Picture.h"

using namespace ui;

namespace {

// A JPEG of w x h made by libjpeg's compressor: the top half red, the bottom half blue.
std::string EncodeJpeg(int w, int h)
{
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(w) * 3);
    while (c.next_scanline < c.image_height) {
        bool top = c.next_scanline < static_cast<JDIMENSION>(h / 2);
        for (int x = 0; x < w; ++x) {
            row[static_cast<size_t>(x) * 3] = top ? 220 : 20;
            row[static_cast<size_t>(x) * 3 + 1] = 20;
            row[static_cast<size_t>(x) * 3 + 2] = top ? 20 : 220;
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    std::string bytes(reinterpret_cast<char *>(out), size);
    jpeg_destroy_compress(&c);
    free(out);
    return bytes;
}

// A 2 x 2 GIF with four colours. The LZW stream sends a clear code before every pixel so that the
// code width stays at 3 bits.
std::string MakeGif()
{
    std::string g = "GIF89a";
    g += std::string("\x02\x00\x02\x00", 4);
    g += static_cast<char>(0x91);   // global table of 4 colours
    g += std::string("\x00\x00", 2);
    const unsigned char colours[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    g.append(reinterpret_cast<const char *>(colours), 12);
    g += std::string("\x2C\x00\x00\x00\x00\x02\x00\x02\x00\x00", 10);
    g += static_cast<char>(2);   // minimum code size
    const int codes[] = {4, 0, 4, 1, 4, 2, 4, 3, 5};
    std::string data;
    unsigned acc = 0;
    int bits = 0;
    for (int code : codes) {
        acc |= static_cast<unsigned>(code) << bits;
        bits += 3;
        while (bits >= 8) {
            data += static_cast<char>(acc & 0xFF);
            acc >>= 8;
            bits -= 8;
        }
    }
    if (bits) data += static_cast<char>(acc & 0xFF);
    g += static_cast<char>(data.size());
    g += data;
    g += '\0';
    g += ';';
    return g;
}

COLORREF PixelOf(HBITMAP bmp, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bmp);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

bool Near(COLORREF a, int r, int g, int b, int tolerance = 24)
{
    return std::abs(GetRValue(a) - r) <= tolerance && std::abs(GetGValue(a) - g) <= tolerance &&
           std::abs(GetBValue(a) - b) <= tolerance;
}

TEST(Picture, DecodesJpegRightWayUp)
{
    TPicture p;
    p.LoadFromBytes(EncodeJpeg(32, 24));
    EXPECT_EQ(p.Width(), 32);
    EXPECT_EQ(p.Height(), 24);
    EXPECT_TRUE(Near(PixelOf(p.Handle(), 16, 2), 220, 20, 20)) << std::hex << PixelOf(p.Handle(), 16, 2);
    EXPECT_TRUE(Near(PixelOf(p.Handle(), 16, 21), 20, 20, 220)) << std::hex << PixelOf(p.Handle(), 16, 21);
}

TEST(Picture, DecodesGifColourTable)
{
    TPicture p;
    p.LoadFromBytes(MakeGif());
    ASSERT_EQ(p.Width(), 2);
    ASSERT_EQ(p.Height(), 2);
    EXPECT_EQ(PixelOf(p.Handle(), 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(p.Handle(), 1, 0), RGB(0, 255, 0));
    EXPECT_EQ(PixelOf(p.Handle(), 0, 1), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(p.Handle(), 1, 1), RGB(255, 255, 0));
}

TEST(Picture, DecodesBottomUpBmp)
{
    // 2 x 2, 24 bits: the first row in the file is the bottom one.
    std::string px = std::string("\x00\x00\xFF" "\x00\xFF\x00" "\x00\x00", 8) +   // bottom: red, green
                     std::string("\xFF\x00\x00" "\xFF\xFF\xFF" "\x00\x00", 8);     // top: blue, white
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = static_cast<DWORD>(fh.bfOffBits + px.size());
    ih.biSize = sizeof ih;
    ih.biWidth = 2;
    ih.biHeight = 2;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    std::string bytes(reinterpret_cast<char *>(&fh), sizeof fh);
    bytes.append(reinterpret_cast<char *>(&ih), sizeof ih);
    bytes += px;
    TPicture p;
    p.LoadFromBytes(bytes);
    EXPECT_EQ(PixelOf(p.Handle(), 0, 1), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(p.Handle(), 1, 1), RGB(0, 255, 0));
    EXPECT_EQ(PixelOf(p.Handle(), 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(p.Handle(), 1, 0), RGB(255, 255, 255));
    // The same header with the pixels cut short.
    EXPECT_THROW(p.LoadFromBytes(bytes.substr(0, bytes.size() - 6)), EInvalidGraphic);
}

TEST(Picture, DamagedBytesRaiseAndKeepThePicture)
{
    TPicture p;
    p.LoadFromBytes(MakeGif());
    HBITMAP kept = p.Handle();
    std::string jpeg = EncodeJpeg(16, 16);
    EXPECT_THROW(p.LoadFromBytes(jpeg.substr(0, 40)), EInvalidGraphic);
    std::string noise = jpeg.substr(0, 3) + std::string(200, '\x5A');
    EXPECT_THROW(p.LoadFromBytes(noise), EInvalidGraphic);
    std::string gif = MakeGif();
    EXPECT_THROW(p.LoadFromBytes(gif.substr(0, 14)), EInvalidGraphic);
    EXPECT_THROW(p.LoadFromBytes("hello, world"), EInvalidGraphic);
    EXPECT_THROW(p.LoadFromBytes(std::string()), EInvalidGraphic);
    EXPECT_EQ(p.Handle(), kept);
    EXPECT_EQ(p.Width(), 2);
}

}  // namespace
