// Notebook: a stack of pages of which one shows; each page is a panel that holds its controls.
#pragma once
#include <memory>
#include <vector>
#include "ui/Panel.h"

namespace ui {

class TNotebook : public TWinControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height, int pageCount);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    TPanel *Page(int i) const { return pages_[static_cast<size_t>(i)].get(); }
    int PageIndex() const { return pageIndex_; }
    // Shows page i and hides the others; an index out of range is ignored.
    void SetPageIndex(int i);
    TNotifyEvent OnPageChanged;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    std::vector<std::unique_ptr<TPanel>> pages_;
    int pageIndex_ = 0;
};

}  // namespace ui
