// Check box. Its click event runs whenever the tick changes: by the user and also when code sets it.
#pragma once
#include "ui/Control.h"

namespace ui {

class TCheckBox : public TWinControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height, const std::string &caption);
    bool Checked() const;
    void SetChecked(bool checked);   // runs OnClick when the tick changes

protected:
    bool OnCommand(WORD code, LRESULT &result) override;
    HBRUSH OnCtlColor(HDC dc) override { return ParentBackground(dc); }
};

}  // namespace ui
