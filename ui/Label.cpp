#include "ui/Label.h"

namespace ui {

void TLabel::Create(TWinControl *parent, int left, int top, const std::string &caption, int width, int height)
{
    if (parent) font_ = parent->Font();
    caption_ = caption;
    autoSize_ = width == 0;
    Attach(parent, left, top, width, height);
    AdjustSize();
}

static UINT TextFlags(bool wordWrap, UINT align)
{
    return align | DT_NOPREFIX | (wordWrap ? DT_WORDBREAK : DT_SINGLELINE);
}

void TLabel::AdjustSize()
{
    if (!autoSize_) return;
    HDC dc = GetDC(nullptr);
    HFONT f = font_.CreateHandle();
    HGDIOBJ old = SelectObject(dc, f);
    RECT r = {0, 0, wordWrap_ ? Width() : 0, 0};
    std::string text = caption_.empty() ? std::string(" ") : caption_;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, TextFlags(wordWrap_, DT_LEFT) | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteObject(f);
    ReleaseDC(nullptr, dc);
    int w = caption_.empty() ? 0 : r.right - r.left;
    if (w != Width() || r.bottom - r.top != Height()) SetBounds(Left(), Top(), w, r.bottom - r.top);
}

void TLabel::SetCaption(const std::string &caption)
{
    if (caption == caption_) return;
    caption_ = caption;
    Invalidate();
    AdjustSize();
    Invalidate();
}

void TLabel::SetFont(const TFont &font)
{
    font_ = font;
    AdjustSize();
    Invalidate();
}

void TLabel::SetFontColor(COLORREF color)
{
    font_.Color = color;
    Invalidate();
}

void TLabel::SetFontSize(int points)
{
    TFont f = font_;
    f.SetSize(points);
    SetFont(f);
}

void TLabel::SetFontStyle(bool bold, bool italic, bool underline)
{
    TFont f = font_;
    f.Bold = bold;
    f.Italic = italic;
    f.Underline = underline;
    SetFont(f);
}

void TLabel::SetTransparent(bool transparent)
{
    transparent_ = transparent;
    Invalidate();
}

void TLabel::SetColor(COLORREF color)
{
    color_ = color;
    transparent_ = false;
    Invalidate();
}

void TLabel::SetAlignment(UINT dtAlign)
{
    align_ = dtAlign;
    Invalidate();
}

void TLabel::SetWordWrap(bool wrap)
{
    wordWrap_ = wrap;
    AdjustSize();
    Invalidate();
}

void TLabel::Paint(TCanvas &canvas)
{
    RECT r = BoundsRect();
    if (!transparent_) {
        canvas.SetBrushColor(color_);
        canvas.FillRect(r);
    }
    TFont f = font_;
    if (!Enabled()) f.Color = GetSysColor(COLOR_GRAYTEXT);
    canvas.SetFont(f);
    canvas.SetBrushClear(true);
    canvas.TextRect(r, caption_, TextFlags(wordWrap_, align_));
}

}  // namespace ui
