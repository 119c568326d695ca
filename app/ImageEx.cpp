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
        Picture().Clear();
        Invalidate();
        return;
    }
    SetFromImageList(*list, index);
}
