#include "app/ImageEx.h"
#include "ui/ImageList.h"

TImageEx::TImageEx()
{
    SetHandCursor();
}

void TImageEx::ShowListImage(ui::TImageList *list, int index)
{
    list_ = list;
    listIndex_ = index;
    if (list == nullptr || index < 0 || index >= list->Count()) {
        SetPicture(nullptr);
        return;
    }
    // Pictures fill their whole rectangle, so the background colour never shows.
    SetPicture(list->GetBitmap(index, RGB(255, 255, 255)));
}
