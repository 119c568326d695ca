#include "ui/Canvas.h"
#include <cstdio>

namespace ui {

COLORREF ColorToRGB(COLORREF color)
{
    if (color & clSysBase) return GetSysColor(static_cast<int>(color & 0xFF));
    return color;
}

static int ScreenDpi()
{
    HDC dc = GetDC(nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : 96;
}

void TFont::SetSize(int points) { Height = -MulDiv(points, ScreenDpi(), 72); }

int TFont::Size() const { return -MulDiv(Height, 72, ScreenDpi()); }

HFONT TFont::CreateHandle() const
{
    LOGFONTA lf = {};
    lf.lfHeight = Height;
    lf.lfWeight = Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = Italic;
    lf.lfUnderline = Underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, Name.c_str(), LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

std::string TFont::Key() const
{
    char buf[64];
    snprintf(buf, sizeof buf, "|%d|%d%d%d", Height, Bold, Italic, Underline);
    return Name + buf;
}

TCanvas::~TCanvas()
{
    SetHandle(nullptr);
    for (auto &f : fonts_) DeleteObject(f.second);
}

HDC TCanvas::Handle()
{
    if (!dc_ && window_) {
        dc_ = GetDC(window_);
        ownDc_ = dc_ != nullptr;
    }
    return dc_;
}

void TCanvas::SetHandle(HDC dc)
{
    if (dc_ && oldFont_) SelectObject(dc_, oldFont_);
    oldFont_ = nullptr;
    if (ownDc_) ReleaseDC(window_, dc_);
    ownDc_ = false;
    dc_ = dc;
}

void TCanvas::Detach()
{
    oldFont_ = nullptr;
    dc_ = nullptr;
    ownDc_ = false;
}

void TCanvas::Release()
{
    if (ownDc_) SetHandle(nullptr);
}

void TCanvas::SetFont(const TFont &font)
{
    if (font != font_) changed_ = true;
    font_ = font;
}

void TCanvas::SetFont(const std::string &face, int pointSize, bool bold, COLORREF color)
{
    TFont f = font_;
    f.Name = face;
    f.SetSize(pointSize);
    f.Bold = bold;
    f.Color = color;
    SetFont(f);
}

void TCanvas::SetFontSize(int pointSize)
{
    TFont f = font_;
    f.SetSize(pointSize);
    SetFont(f);
}

void TCanvas::SetFontBold(bool bold)
{
    TFont f = font_;
    f.Bold = bold;
    SetFont(f);
}

void TCanvas::SetFontColor(COLORREF color)
{
    TFont f = font_;
    f.Color = color;
    SetFont(f);
}

void TCanvas::SetBrushColor(COLORREF color)
{
    if (color != brushColor_ || brushClear_) changed_ = true;
    brushColor_ = color;
    brushClear_ = false;
}

void TCanvas::SetBrushClear(bool clear)
{
    if (clear != brushClear_) changed_ = true;
    brushClear_ = clear;
}

HFONT TCanvas::FontHandle()
{
    std::string key = font_.Key();
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    HFONT f = font_.CreateHandle();
    fonts_[key] = f;
    return f;
}

void TCanvas::SelectFont()
{
    HDC dc = Handle();
    if (!dc) return;
    HGDIOBJ old = SelectObject(dc, FontHandle());
    if (!oldFont_) oldFont_ = old;
    SetTextColor(dc, ColorToRGB(font_.Color));
    if (brushClear_) {
        SetBkMode(dc, TRANSPARENT);
    } else {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, ColorToRGB(brushColor_));
    }
}

int TCanvas::TextWidth(const std::string &text)
{
    SelectFont();
    SIZE sz = {0, 0};
    if (dc_) GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &sz);
    return sz.cx;
}

int TCanvas::TextHeight(const std::string &text)
{
    SelectFont();
    SIZE sz = {0, 0};
    if (dc_) GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &sz);
    return sz.cy;
}

void TCanvas::TextOut(int x, int y, const std::string &text)
{
    SelectFont();
    if (dc_) ::TextOutA(dc_, x, y, text.c_str(), static_cast<int>(text.size()));
}

void TCanvas::TextRect(const RECT &r, const std::string &text, UINT dtFlags)
{
    SelectFont();
    RECT rc = r;
    if (dc_) DrawTextA(dc_, text.c_str(), static_cast<int>(text.size()), &rc, dtFlags);
}

void TCanvas::FillRect(const RECT &r)
{
    HDC dc = Handle();
    if (!dc || brushClear_) return;
    HBRUSH b = CreateSolidBrush(ColorToRGB(brushColor_));
    ::FillRect(dc, &r, b);
    DeleteObject(b);
}

void TCanvas::FrameRect(const RECT &r)
{
    HDC dc = Handle();
    if (!dc) return;
    HBRUSH b = CreateSolidBrush(ColorToRGB(penColor_));
    ::FrameRect(dc, &r, b);
    DeleteObject(b);
}

void TCanvas::Line(int x1, int y1, int x2, int y2)
{
    HDC dc = Handle();
    if (!dc) return;
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(penColor_));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void TCanvas::Draw(int x, int y, HBITMAP bitmap)
{
    BITMAP bm;
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return;
    RECT r = {x, y, x + bm.bmWidth, y + bm.bmHeight};
    StretchDraw(r, bitmap);
}

void TCanvas::StretchDraw(const RECT &r, HBITMAP bitmap)
{
    HDC dc = Handle();
    BITMAP bm;
    if (!dc || !bitmap || !GetObjectA(bitmap, sizeof bm, &bm)) return;
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bitmap);
    int w = r.right - r.left, h = r.bottom - r.top;
    if (w == bm.bmWidth && h == bm.bmHeight) {
        BitBlt(dc, r.left, r.top, w, h, mem, 0, 0, SRCCOPY);
    } else {
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, r.left, r.top, w, h, mem, 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    }
    SelectObject(mem, old);
    DeleteDC(mem);
}

COLORREF TCanvas::Pixel(int x, int y)
{
    HDC dc = Handle();
    return dc ? GetPixel(dc, x, y) : CLR_INVALID;
}

}  // namespace ui
