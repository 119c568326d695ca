// Label: text painted by its parent, transparent or on a colour, with an optional hand cursor.
#pragma once
#include "ui/Control.h"

namespace ui {

class TLabel : public TGraphicControl {
public:
    // With width 0 the label takes the size of its text (and keeps doing so when the text changes).
    void Create(TWinControl *parent, int left, int top, const std::string &caption, int width = 0, int height = 0);
    const std::string &Caption() const { return caption_; }
    void SetCaption(const std::string &caption);
    const TFont &Font() const { return font_; }
    void SetFont(const TFont &font);
    void SetFontColor(COLORREF color);
    void SetFontSize(int points);
    void SetFontStyle(bool bold, bool italic = false, bool underline = false);
    // Transparent: the parent shows through around the letters; otherwise Color fills the label.
    void SetTransparent(bool transparent);
    void SetColor(COLORREF color);
    void SetAlignment(UINT dtAlign);   // DT_LEFT, DT_CENTER or DT_RIGHT
    void SetWordWrap(bool wrap);
    void Paint(TCanvas &canvas) override;

private:
    void AdjustSize();
    std::string caption_;
    TFont font_;
    bool transparent_ = true;
    bool autoSize_ = true;
    bool wordWrap_ = false;
    COLORREF color_ = clBtnFace;
    UINT align_ = DT_LEFT;
};

}  // namespace ui
