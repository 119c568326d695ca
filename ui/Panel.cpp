#include "ui/Panel.h"

namespace ui {

static const char kPanelClass[] = "QmPanel";

void TPanel::Create(TWinControl *parent, int left, int top, int width, int height, const std::string &caption)
{
    RegisterOurClass(kPanelClass);
    CreateHandle(parent, kPanelClass, WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, left,
                 top, width, height, caption);
}

void TPanel::SetBevelOuter(TBevelCut bevel)
{
    bevel_ = bevel;
    Invalidate();
}

void TPanel::SetAlignment(UINT dtAlign)
{
    align_ = dtAlign;
    Invalidate();
}

void TPanel::SetText(const std::string &text)
{
    TWinControl::SetText(text);
    Invalidate();
}

void TPanel::PaintWindow(TCanvas &canvas)
{
    TWinControl::PaintWindow(canvas);
    RECT r = ClientRect();
    if (bevel_ != bvNone) DrawEdge(canvas.Handle(), &r, bevel_ == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
    std::string caption = Text();
    if (!caption.empty()) {
        canvas.SetFont(font_);
        canvas.SetBrushClear(true);
        canvas.TextRect(r, caption, align_ | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
}

}  // namespace ui
