// Panel: a plain container window with a colour, an optional bevel and a centred caption.
#pragma once
#include "ui/Control.h"

namespace ui {

enum TBevelCut { bvNone, bvLowered, bvRaised };

class TPanel : public TWinControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height,
                const std::string &caption = std::string());
    TBevelCut BevelOuter() const { return bevel_; }
    void SetBevelOuter(TBevelCut bevel);
    void SetText(const std::string &text) override;
    void SetCaption(const std::string &caption) { SetText(caption); }
    void SetAlignment(UINT dtAlign);   // of the caption: DT_LEFT, DT_CENTER (the default) or DT_RIGHT

protected:
    void PaintWindow(TCanvas &canvas) override;

private:
    TBevelCut bevel_ = bvNone;
    UINT align_ = DT_CENTER;
};

}  // namespace ui
