#include "ui/DateTimePicker.h"
#include <commctrl.h>

namespace ui {

void TDateTimePicker::Create(TWinControl *parent, int left, int top, int width, int height)
{
    CreateHandle(parent, DATETIMEPICK_CLASSA, WS_VISIBLE | WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN, 0, left, top,
                 width, height);
}

SYSTEMTIME TDateTimePicker::Time() const
{
    SYSTEMTIME st = {};
    SendMessageA(Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st));
    return st;
}

int TDateTimePicker::Hour() const { return Time().wHour; }
int TDateTimePicker::Minute() const { return Time().wMinute; }

void TDateTimePicker::SetTime(int hour, int minute, int second)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    st.wMilliseconds = 0;
    SendMessageA(Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

bool TDateTimePicker::OnNotify(NMHDR *hdr, LRESULT &result)
{
    if (hdr->code != DTN_DATETIMECHANGE) return false;
    SafeCall(OnChange);
    result = 0;
    return true;
}

}  // namespace ui
