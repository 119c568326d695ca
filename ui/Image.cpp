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
    if (autoSize_ && !picture_.Empty()) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
    Repaint();
}

void TImage::SetAutoSize(bool on)
{
    autoSize_ = on;
    if (autoSize_ && !picture_.Empty()) SetBounds(Left(), Top(), picture_.Width(), picture_.Height());
}

void TImage::DrawIcon(HICON icon)
{
    int w = Width() > 0 ? Width() : 32, h = Height() > 0 ? Height() : 32;
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC mem = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    COLORREF bg = Parent() ? Parent()->Color() : clBtnFace;
    HBRUSH b = CreateSolidBrush(ColorToRGB(bg == clNone ? clBtnFace : bg));
    RECT r = {0, 0, w, h};
    FillRect(mem, &r, b);
    DeleteObject(b);
    DrawIconEx(mem, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    SelectObject(mem, old);
    DeleteDC(mem);
    SetPicture(bmp);
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
