// Fonts, and a device context with a font, a brush and a pen, as the painters of the windows use it.
#pragma once
#include <windows.h>
#include <map>
#include <string>

namespace ui {

// System colours are kept as 0x80000000 | COLOR_xxx and turned into RGB when used.
const COLORREF clSysBase = 0x80000000;
const COLORREF clWindow = clSysBase | COLOR_WINDOW;
const COLORREF clWindowText = clSysBase | COLOR_WINDOWTEXT;
const COLORREF clBtnFace = clSysBase | COLOR_BTNFACE;
const COLORREF clBtnText = clSysBase | COLOR_BTNTEXT;
const COLORREF clHighlight = clSysBase | COLOR_HIGHLIGHT;
const COLORREF clNone = 0x1FFFFFFF;   // no colour: the control lets its parent show through

COLORREF ColorToRGB(COLORREF color);

// A font description; windows and canvases make the GDI font from it.
struct TFont {
    std::string Name = "MS Sans Serif";
    int Height = -11;   // in pixels as in LOGFONT: negative = character height
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    COLORREF Color = clWindowText;

    void SetSize(int points);   // at the screen's resolution
    int Size() const;
    HFONT CreateHandle() const;   // a new GDI font; the caller deletes it
    std::string Key() const;      // equal for fonts that make the same GDI font
    bool operator==(const TFont &o) const { return Key() == o.Key() && Color == o.Color; }
    bool operator!=(const TFont &o) const { return !(*this == o); }
};

class TCanvas {
public:
    TCanvas() = default;
    explicit TCanvas(HDC dc) : dc_(dc) {}
    // A canvas on a window: takes the window's DC when first drawn on, outside WM_PAINT.
    explicit TCanvas(HWND window) : window_(window) {}
    virtual ~TCanvas();
    TCanvas(const TCanvas &) = delete;
    TCanvas &operator=(const TCanvas &) = delete;

    HDC Handle();
    // Draws on the given window from now on, taking its DC when first drawn on.
    void SetWindow(HWND window) { SetHandle(nullptr); window_ = window; }
    // Draws on dc from now on (nullptr: none). The objects selected into the old one are put back.
    void SetHandle(HDC dc);
    // Lets go of the DC leaving our font selected (the common controls' custom draw keeps using it).
    void Detach();
    // Gives back a window DC taken by Handle(); the next drawing takes a fresh one.
    void Release();

    const TFont &Font() const { return font_; }
    void SetFont(const TFont &font);
    void SetFont(const std::string &face, int pointSize, bool bold, COLORREF color);
    void SetFontSize(int pointSize);
    void SetFontBold(bool bold);
    void SetFontColor(COLORREF color);
    COLORREF BrushColor() const { return brushColor_; }
    bool BrushClear() const { return brushClear_; }
    void SetBrushColor(COLORREF color);   // also makes the brush solid
    void SetBrushClear(bool clear);
    void SetPenColor(COLORREF color) { penColor_ = color; }
    // True when font or brush were changed since ResetChanged.
    bool Changed() const { return changed_; }
    void ResetChanged() { changed_ = false; }

    int TextWidth(const std::string &text);
    int TextHeight(const std::string &text);
    // Text with its top-left at (x, y); the background is the brush unless the brush is clear.
    void TextOut(int x, int y, const std::string &text);
    void TextRect(const RECT &r, const std::string &text, UINT dtFlags);
    void FillRect(const RECT &r);          // with the brush
    void FrameRect(const RECT &r);         // one pixel in the pen colour
    void Line(int x1, int y1, int x2, int y2);   // in the pen colour, (x2, y2) excluded
    void Draw(int x, int y, HBITMAP bitmap);
    void StretchDraw(const RECT &r, HBITMAP bitmap);
    COLORREF Pixel(int x, int y);

private:
    HFONT FontHandle();
    void SelectFont();

    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    bool ownDc_ = false;     // dc_ came from GetDC(window_)
    HGDIOBJ oldFont_ = nullptr;
    TFont font_;
    COLORREF brushColor_ = clWindow;
    bool brushClear_ = false;
    COLORREF penColor_ = RGB(0, 0, 0);
    bool changed_ = false;
    std::map<std::string, HFONT> fonts_;   // kept until the canvas goes: a DC may still hold one
};

}  // namespace ui
