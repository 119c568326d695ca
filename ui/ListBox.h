// List box of strings, one choice or several.
#pragma once
#include <vector>
#include "ui/Control.h"

namespace ui {

class TListBox : public TWinControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height, bool multiSelect = false,
                bool border = true);
    int AddItem(const std::string &text);
    void Delete(int i);
    void Clear();
    int Count() const;
    std::string Item(int i) const;
    int ItemIndex() const;   // the focused item, -1 when none
    void SetItemIndex(int i);
    bool Selected(int i) const;
    void SetSelected(int i, bool selected);
    TNotifyEvent OnChange;   // the user changed the selection

protected:
    bool OnCommand(WORD code, LRESULT &result) override;

private:
    bool multi_ = false;
};

}  // namespace ui
