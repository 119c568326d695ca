#include "ui/Bevel.h"

namespace ui {

void TBevel::Create(TWinControl *parent, int left, int top, int width, int height, TBevelShape shape, bool raised)
{
    shape_ = shape;
    raised_ = raised;
    Attach(parent, left, top, width, height);
}

void TBevel::Paint(TCanvas &canvas)
{
    RECT r = BoundsRect();
    UINT edge = raised_ ? EDGE_BUMP : EDGE_ETCHED;
    UINT flags = BF_RECT;
    switch (shape_) {
    case bsBox: edge = raised_ ? BDR_RAISEDINNER : BDR_SUNKENOUTER; break;
    case bsFrame: break;
    case bsTopLine: flags = BF_TOP; break;
    case bsBottomLine: flags = BF_BOTTOM; break;
    case bsLeftLine: flags = BF_LEFT; break;
    case bsRightLine: flags = BF_RIGHT; break;
    }
    DrawEdge(canvas.Handle(), &r, edge, flags);
}

}  // namespace ui
