// The date-time double: whole days since 30 December 1899 plus the fraction of the day.
#pragma once
#include <windows.h>

namespace ui {

inline double SystemTimeToDateTime(const SYSTEMTIME &st)
{
    // Days from 1899-12-30 by the civil-from-days formula, then the time of day.
    int y = st.wYear, m = st.wMonth, d = st.wDay;
    y -= m <= 2;
    int era = (y >= 0 ? y : y - 399) / 400;
    int yoe = y - era * 400;
    int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    long days = static_cast<long>(era) * 146097 + doe - 719468;   // days since 1970-01-01
    double dayFraction = (st.wHour * 3600.0 + st.wMinute * 60.0 + st.wSecond + st.wMilliseconds / 1000.0) / 86400.0;
    return static_cast<double>(days + 25569) + dayFraction;
}

inline double Now()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    return SystemTimeToDateTime(st);
}

}  // namespace ui
