// Number box: an edit with up-down arrows between a minimum and a maximum.
#pragma once
#include "ui/Control.h"

namespace ui {

class TSpinEdit : public TWinControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height, int minValue, int maxValue, int value);
    // The number shown, kept within the range (text that is no number reads as the minimum).
    int Value() const;
    void SetValue(int value);
    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    void SetEnabled(bool enabled) override;
    void SetVisible(bool visible) override;
    TNotifyEvent OnChange;

protected:
    bool OnCommand(WORD code, LRESULT &result) override;

private:
    HWND updown_ = nullptr;
    int min_ = 0, max_ = 100;
};

}  // namespace ui
