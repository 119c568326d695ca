#include "ui/Image.h"
#include "ui/ImageList.h"

namespace ui {

void TImage::Create(TWinControl *parent, int left, int top, int width, int height)
{
    Attach(parent, left, top, width, height);
}

void TImage::SetFromImageList(const TImageList &images, int index)
{
    COLORREF bg = Parent() ? Parent()->Color() : clBtnFace;
    SetPicture(images.GetBitmap(index, bg == clNone ? clBtnFace : bg));
}

void TImage::SetPicture(HBITMAP bitmap)
{
    picture_.Assign(bitmap);
    Repaint();
}

void TImage::SetStretch(bool stretch)
{
    stretch_ = stretch;
    Invalidate();
}

void TImage::SetCenter(bool center)
{
    center_ = center;
    Invalidate();
}

void TImage::Paint(TCanvas &canvas)
{
    if (picture_.Empty()) return;
    RECT r = BoundsRect();
    if (stretch_) {
        canvas.StretchDraw(r, picture_.Handle());
        return;
    }
    int x = r.left, y = r.top;
    if (center_) {
        x += (Width() - picture_.Width()) / 2;
        y += (Height() - picture_.Height()) / 2;
    }
    canvas.Draw(x, y, picture_.Handle());
}

}  // namespace ui
