#include "ui/ComboBox.h"

namespace ui {

void TComboBox::Create(TWinControl *parent, int left, int top, int width, int, int dropDownHeight)
{
    CreateHandle(parent, "COMBOBOX", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, left, top, width,
                 dropDownHeight);
}

int TComboBox::AddItem(const std::string &text)
{
    return static_cast<int>(SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void TComboBox::Clear() { SendMessageA(Handle(), CB_RESETCONTENT, 0, 0); }

int TComboBox::Count() const { return static_cast<int>(SendMessageA(Handle(), CB_GETCOUNT, 0, 0)); }

std::string TComboBox::Item(int i) const
{
    LRESULT n = SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    if (n == CB_ERR) return std::string();
    std::string s(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&s[0]));
    s.resize(static_cast<size_t>(n));
    return s;
}

int TComboBox::ItemIndex() const { return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0)); }

void TComboBox::SetItemIndex(int i) { SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(i), 0); }

bool TComboBox::OnCommand(WORD code, LRESULT &result)
{
    if (code != CBN_SELCHANGE) return false;
    SafeCall(OnChange);
    result = 0;
    return true;
}

}  // namespace ui
