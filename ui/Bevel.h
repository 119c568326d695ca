// Bevel: an etched line or frame painted by its parent.
#pragma once
#include "ui/Control.h"

namespace ui {

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine };

class TBevel : public TGraphicControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height, TBevelShape shape = bsTopLine,
                bool raised = false);
    void Paint(TCanvas &canvas) override;

private:
    TBevelShape shape_ = bsTopLine;
    bool raised_ = false;
};

}  // namespace ui
