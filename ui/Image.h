// Image: a picture painted by its parent; the image buttons of the windows are images with a hand
// cursor and mouse enter/leave events.
#pragma once
#include "ui/Control.h"
#include "ui/Picture.h"

namespace ui {

class TImageList;

class TImage : public TGraphicControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height);
    TPicture &Picture() { return picture_; }
    // Shows picture index of an image list (the list's picture is copied).
    void SetFromImageList(const TImageList &images, int index);
    void SetPicture(HBITMAP bitmap);   // takes the bitmap over
    // Replaces the picture with an icon drawn at (0, 0) on the parent's colour, the image's size.
    void DrawIcon(HICON icon);
    // The image takes the size of each picture it gets.
    void SetAutoSize(bool on);
    void SetStretch(bool stretch);
    void SetCenter(bool center);
    void Paint(TCanvas &canvas) override;

private:
    TPicture picture_;
    bool stretch_ = false;
    bool center_ = false;
    bool autoSize_ = false;
};

}  // namespace ui
