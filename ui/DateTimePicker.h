// Time picker: hours and minutes with up-down arrows (comctl32's date-time picker in time format).
#pragma once
#include "ui/Control.h"

namespace ui {

class TDateTimePicker : public TWinControl {
public:
    void Create(TWinControl *parent, int left, int top, int width, int height);
    int Hour() const;
    int Minute() const;
    // Today at the given time (seconds 0 unless given).
    void SetTime(int hour, int minute, int second = 0);
    SYSTEMTIME Time() const;
    TNotifyEvent OnChange;

protected:
    bool OnNotify(NMHDR *hdr, LRESULT &result) override;
};

}  // namespace ui
