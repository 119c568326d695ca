#include "ui/Timer.h"
#include "ui/Control.h"

namespace ui {

static const char kTimerClass[] = "QmTimer";

TTimer::~TTimer()
{
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK TTimer::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_TIMER) {
        auto *t = reinterpret_cast<TTimer *>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        if (t && t->enabled_) SafeCall(t->OnTimer);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void TTimer::SetInterval(UINT ms)
{
    interval_ = ms;
    Update();
}

void TTimer::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    Update();
}

void TTimer::Update()
{
    if (window_) KillTimer(window_, 1);
    if (!enabled_ || interval_ == 0) return;
    if (!window_) {
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof wc;
        if (!GetClassInfoExA(GetModuleHandleA(nullptr), kTimerClass, &wc)) {
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = WindowProc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = kTimerClass;
            RegisterClassExA(&wc);
        }
        window_ = CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                                  nullptr);
        if (!window_) return;
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    SetTimer(window_, 1, interval_, nullptr);
}

}  // namespace ui
