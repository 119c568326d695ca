#include "ui/Notebook.h"

namespace ui {

static const char kNotebookClass[] = "QmNotebook";

void TNotebook::Create(TWinControl *parent, int left, int top, int width, int height, int pageCount)
{
    RegisterOurClass(kNotebookClass);
    CreateHandle(parent, kNotebookClass, WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, left,
                 top, width, height);
    pages_.clear();
    for (int i = 0; i < pageCount; ++i) {
        auto page = std::make_unique<TPanel>();
        page->Create(this, 0, 0, width, height);
        page->SetColor(color_);
        page->SetVisible(i == 0);
        pages_.push_back(std::move(page));
    }
    pageIndex_ = 0;
}

void TNotebook::SetPageIndex(int i)
{
    if (i < 0 || i >= PageCount() || i == pageIndex_) return;
    pages_[static_cast<size_t>(i)]->SetVisible(true);
    pages_[static_cast<size_t>(pageIndex_)]->SetVisible(false);
    pageIndex_ = i;
    SafeCall(OnPageChanged);
}

LRESULT TNotebook::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_SIZE)
        for (auto &p : pages_) p->SetBounds(0, 0, LOWORD(lp), HIWORD(lp));
    return TWinControl::WndProc(msg, wp, lp);
}

}  // namespace ui
