// Drop-down list (pick only).
#pragma once
#include "ui/Control.h"

namespace ui {

class TComboBox : public TWinControl {
public:
    // height is the closed box's; the list drops below it.
    void Create(TWinControl *parent, int left, int top, int width, int height, int dropDownHeight = 200);
    int AddItem(const std::string &text);
    void Clear();
    int Count() const;
    std::string Item(int i) const;
    int ItemIndex() const;        // -1 when none
    void SetItemIndex(int i);     // no OnChange: that is for the user's choice
    std::string Text() const { return ItemIndex() < 0 ? std::string() : Item(ItemIndex()); }
    TNotifyEvent OnChange;

protected:
    bool OnCommand(WORD code, LRESULT &result) override;
};

}  // namespace ui
