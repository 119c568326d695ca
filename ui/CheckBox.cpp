#include "ui/CheckBox.h"

namespace ui {

void TCheckBox::Create(TWinControl *parent, int left, int top, int width, int height, const std::string &caption)
{
    CreateHandle(parent, "BUTTON", WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, left, top, width, height, caption);
}

bool TCheckBox::Checked() const { return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked)
{
    if (checked == Checked()) return;
    SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    SafeCall(OnClick);
}

bool TCheckBox::OnCommand(WORD code, LRESULT &result)
{
    if (code != BN_CLICKED) return false;
    SafeCall(OnClick);   // the button has already flipped its tick
    result = 0;
    return true;
}

}  // namespace ui
