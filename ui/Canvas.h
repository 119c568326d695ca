// A device context with a font and a brush, as the tree and list painters use it.
// (Contract: the engine's count painter uses the members marked [engine].)
#pragma once
#include <windows.h>
#include <string>

namespace ui {

class TCanvas {
public:
    HDC Handle() const;
    void SetFont(const std::string &face, int pointSize, bool bold, COLORREF color);   // [engine]
    void SetFontSize(int pointSize);                                                   // [engine]
    void SetFontBold(bool bold);                                                       // [engine]
    int TextWidth(const std::string &text);                                            // [engine]
    void TextOut(int x, int y, const std::string &text);                               // [engine]
    void SetBrushColor(COLORREF color);
    void FillRect(const RECT &r);
};

}  // namespace ui
