#include "ui/SpinEdit.h"
#include <commctrl.h>
#include <cstdlib>
#include <string>

namespace ui {

void TSpinEdit::Create(TWinControl *parent, int left, int top, int width, int height, int minValue, int maxValue,
                       int value)
{
    min_ = minValue;
    max_ = maxValue;
    CreateHandle(parent, "EDIT", WS_VISIBLE | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, left, top,
                 width, height);
    updown_ = CreateWindowExA(0, UPDOWN_CLASSA, nullptr,
                              WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                              0, 0, 0, 0, parent ? parent->Handle() : nullptr, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
    SendMessageA(updown_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
    SendMessageA(updown_, UDM_SETRANGE32, static_cast<WPARAM>(min_), static_cast<LPARAM>(max_));
    SetValue(value);
}

int TSpinEdit::Value() const
{
    std::string t = Text();
    char *end = nullptr;
    long v = strtol(t.c_str(), &end, 10);
    if (t.empty() || end == t.c_str()) return min_;
    if (v < min_) return min_;
    if (v > max_) return max_;
    return static_cast<int>(v);
}

void TSpinEdit::SetValue(int value)
{
    if (value < min_) value = min_;
    if (value > max_) value = max_;
    SendMessageA(updown_, UDM_SETPOS32, 0, value);
    SetText(std::to_string(value));
}

void TSpinEdit::SetEnabled(bool enabled)
{
    TWinControl::SetEnabled(enabled);
    if (updown_) EnableWindow(updown_, enabled);
}

void TSpinEdit::SetVisible(bool visible)
{
    TWinControl::SetVisible(visible);
    if (updown_) ShowWindow(updown_, visible ? SW_SHOW : SW_HIDE);
}

bool TSpinEdit::OnCommand(WORD code, LRESULT &result)
{
    if (code != EN_CHANGE) return false;
    SafeCall(OnChange);
    result = 0;
    return true;
}

}  // namespace ui
