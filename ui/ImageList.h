// Image list of pictures of one size (comctl32), for trees, lists, menus and image buttons.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "ui/Canvas.h"

namespace ui {

class TImageList {
public:
    TImageList() = default;
    ~TImageList();
    TImageList(const TImageList &) = delete;
    TImageList &operator=(const TImageList &) = delete;

    // Empties the list and sets the size of its pictures.
    void Create(int width, int height);
    HIMAGELIST Handle() const { return handle_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const;
    // Adds the picture(s) of a bitmap (a strip wider than one picture gives several); returns the
    // index of the first, -1 on failure. The bitmap is copied.
    int Add(HBITMAP image, HBITMAP mask = nullptr);
    // As Add, with the pixels of the given colour transparent.
    int AddMasked(HBITMAP image, COLORREF transparent);
    int AddIcon(HICON icon);
    void Clear();
    void Draw(TCanvas &canvas, int x, int y, int index);
    // Picture index on a new bitmap of the list's size over the given background; the caller owns it.
    HBITMAP GetBitmap(int index, COLORREF background = clBtnFace) const;

private:
    HIMAGELIST handle_ = nullptr;
    int width_ = 16, height_ = 16;
};

}  // namespace ui
