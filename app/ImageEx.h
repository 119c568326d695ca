// The image button of the windows: a picture control with the hand cursor whose picture comes from
// an image list. Its mouse-enter and mouse-leave events (inherited) swap the hover pictures.
#pragma once
#include "ui/Image.h"

namespace ui {
class TImageList;
}

class TImageEx : public ui::TImage {
public:
    TImageEx();
    // Clears the picture and draws picture `index` of the list into it at (0, 0).
    void ShowListImage(ui::TImageList *list, int index);
    // The list and index shown last (-1 before any).
    int ListImageIndex() const { return listIndex_; }
    ui::TImageList *ListImages() const { return list_; }

private:
    ui::TImageList *list_ = nullptr;
    int listIndex_ = -1;
};
