#include "ui/ListBox.h"

namespace ui {

void TListBox::Create(TWinControl *parent, int left, int top, int width, int height, bool multiSelect, bool border)
{
    multi_ = multiSelect;
    CreateHandle(parent, "LISTBOX",
                 WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                     (multiSelect ? LBS_EXTENDEDSEL : 0),
                 border ? WS_EX_CLIENTEDGE : 0, left, top, width, height);
}

int TListBox::AddItem(const std::string &text)
{
    return static_cast<int>(SendMessageA(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void TListBox::Delete(int i) { SendMessageA(Handle(), LB_DELETESTRING, static_cast<WPARAM>(i), 0); }

void TListBox::Clear() { SendMessageA(Handle(), LB_RESETCONTENT, 0, 0); }

int TListBox::Count() const { return static_cast<int>(SendMessageA(Handle(), LB_GETCOUNT, 0, 0)); }

std::string TListBox::Item(int i) const
{
    LRESULT n = SendMessageA(Handle(), LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    if (n == LB_ERR) return std::string();
    std::string s(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(Handle(), LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&s[0]));
    s.resize(static_cast<size_t>(n));
    return s;
}

int TListBox::ItemIndex() const
{
    LRESULT r = SendMessageA(Handle(), multi_ ? LB_GETCARETINDEX : LB_GETCURSEL, 0, 0);
    if (multi_ && r >= 0 && !Selected(static_cast<int>(r))) return -1;
    return static_cast<int>(r);
}

void TListBox::SetItemIndex(int i)
{
    if (multi_) {
        SendMessageA(Handle(), LB_SETSEL, FALSE, -1);
        if (i >= 0) SendMessageA(Handle(), LB_SETSEL, TRUE, i);
        SendMessageA(Handle(), LB_SETCARETINDEX, static_cast<WPARAM>(i), FALSE);
    } else {
        SendMessageA(Handle(), LB_SETCURSEL, static_cast<WPARAM>(i), 0);
    }
}

bool TListBox::Selected(int i) const
{
    if (!multi_) return i >= 0 && i == ItemIndex();
    return SendMessageA(Handle(), LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
}

void TListBox::SetSelected(int i, bool selected)
{
    if (multi_) SendMessageA(Handle(), LB_SETSEL, selected, i);
    else if (selected) SetItemIndex(i);
    else if (i == ItemIndex()) SetItemIndex(-1);
}

bool TListBox::OnCommand(WORD code, LRESULT &result)
{
    if (code != LBN_SELCHANGE) return false;
    SafeCall(OnChange);
    SafeCall(OnClick);
    result = 0;
    return true;
}

}  // namespace ui
