// Timer: calls OnTimer every Interval milliseconds while enabled (through the message loop).
#pragma once
#include <windows.h>
#include <functional>

namespace ui {

class TTimer {
public:
    TTimer() = default;
    ~TTimer();
    TTimer(const TTimer &) = delete;
    TTimer &operator=(const TTimer &) = delete;

    UINT Interval() const { return interval_; }
    void SetInterval(UINT ms);
    bool Enabled() const { return enabled_; }
    // A timer starts disabled; enabling it (again) starts the interval afresh.
    void SetEnabled(bool enabled);
    std::function<void()> OnTimer;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void Update();
    HWND window_ = nullptr;
    UINT interval_ = 1000;
    bool enabled_ = false;
};

}  // namespace ui
