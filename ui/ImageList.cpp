#include "ui/ImageList.h"

namespace ui {

TImageList::~TImageList()
{
    if (handle_) ImageList_Destroy(handle_);
}

void TImageList::Create(int width, int height)
{
    if (handle_) ImageList_Destroy(handle_);
    width_ = width;
    height_ = height;
    handle_ = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 4, 4);
}

int TImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

int TImageList::Add(HBITMAP image, HBITMAP mask)
{
    if (!handle_) Create(width_, height_);
    return ImageList_Add(handle_, image, mask);
}

int TImageList::AddMasked(HBITMAP image, COLORREF transparent)
{
    if (!handle_) Create(width_, height_);
    return ImageList_AddMasked(handle_, image, ColorToRGB(transparent));
}

int TImageList::AddIcon(HICON icon)
{
    if (!handle_) Create(width_, height_);
    return ImageList_AddIcon(handle_, icon);
}

void TImageList::Clear()
{
    if (handle_) ImageList_Remove(handle_, -1);
}

void TImageList::Draw(TCanvas &canvas, int x, int y, int index)
{
    if (handle_ && canvas.Handle()) ImageList_Draw(handle_, index, canvas.Handle(), x, y, ILD_NORMAL);
}

HBITMAP TImageList::GetBitmap(int index, COLORREF background) const
{
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, width_, height_);
    HDC mem = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r = {0, 0, width_, height_};
    HBRUSH b = CreateSolidBrush(ColorToRGB(background));
    FillRect(mem, &r, b);
    DeleteObject(b);
    if (handle_) ImageList_Draw(handle_, index, mem, 0, 0, ILD_NORMAL);
    SelectObject(mem, old);
    DeleteDC(mem);
    return bmp;
}

}  // namespace ui
