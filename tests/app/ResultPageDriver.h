// In-process helpers for the Result page tests: answering the modal windows a handler opens, and
// clicks on the state pictures of the result tree and list.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
#include "TestSupport.h"

namespace resulttest {

// Window enumeration callbacks: named functions, since a lambda cannot be a stdcall callback on
// 32 bits.
struct ChildQuery {
    std::string cls, text;
    HWND found;
};

inline BOOL CALLBACK FindChildProc(HWND h, LPARAM lp)
{
    auto *q = reinterpret_cast<ChildQuery *>(lp);
    char c[64] = {}, t[256] = {};
    GetClassNameA(h, c, sizeof c);
    GetWindowTextA(h, t, sizeof t);
    if (_stricmp(c, q->cls.c_str()) == 0 && (q->text.empty() || q->text == t)) {
        q->found = h;
        return FALSE;
    }
    return TRUE;
}

inline BOOL CALLBACK StaticTextProc(HWND h, LPARAM lp)
{
    char c[64] = {}, t[512] = {};
    GetClassNameA(h, c, sizeof c);
    GetWindowTextA(h, t, sizeof t);
    if (_stricmp(c, "Static") == 0 && t[0]) *reinterpret_cast<std::string *>(lp) += std::string(t) + "|";
    return TRUE;
}

// While alive, every 30 ms looks for a visible top-level window of this thread whose class is one of
// `classes` ("A|B") and hands it to `answer` (once per window). Modal loops dispatch the timer, so a handler that
// shows a message box or a dialog is answered from inside its own loop.
class ModalAnswerer {
public:
    ModalAnswerer(const std::string &classes, std::function<void(HWND)> answer)
    {
        Current() = this;
        cls_ = "|" + classes + "|";
        answer_ = std::move(answer);
        timer_ = SetTimer(nullptr, 0, 30, Tick);
    }
    ~ModalAnswerer()
    {
        KillTimer(nullptr, timer_);
        Current() = nullptr;
    }
    ModalAnswerer(const ModalAnswerer &) = delete;
    ModalAnswerer &operator=(const ModalAnswerer &) = delete;
    int Answered() const { return static_cast<int>(seen_.size()); }

private:
    static ModalAnswerer *&Current()
    {
        static ModalAnswerer *current = nullptr;
        return current;
    }
    static BOOL CALLBACK Each(HWND hwnd, LPARAM lp)
    {
        auto *self = reinterpret_cast<ModalAnswerer *>(lp);
        char cls[64] = {};
        GetClassNameA(hwnd, cls, sizeof cls);
        if (self->cls_.find("|" + std::string(cls) + "|") == std::string::npos || !IsWindowVisible(hwnd))
            return TRUE;
        for (HWND h : self->seen_)
            if (h == hwnd) return TRUE;
        self->seen_.push_back(hwnd);
        self->answer_(hwnd);
        return FALSE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (ModalAnswerer *self = Current())
            EnumThreadWindows(GetCurrentThreadId(), Each, reinterpret_cast<LPARAM>(self));
    }
    std::string cls_;
    std::function<void(HWND)> answer_;
    UINT_PTR timer_ = 0;
    std::vector<HWND> seen_;
};

// The child of `parent` of class `cls` (and with text `text` when not empty), or nullptr.
inline HWND FindChild(HWND parent, const std::string &cls, const std::string &text = std::string())
{
    ChildQuery q{cls, text, nullptr};
    EnumChildWindows(parent, FindChildProc, reinterpret_cast<LPARAM>(&q));
    return q.found;
}

inline std::string ClassOf(HWND hwnd)
{
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    return cls;
}

// Every static text of a message box, joined with "|".
inline std::string MessageBoxText(HWND box)
{
    std::string all;
    EnumChildWindows(box, StaticTextProc, reinterpret_cast<LPARAM>(&all));
    return all;
}

inline void PostClick(HWND hwnd, int x, int y, bool right = false)
{
    const LPARAM lp = MAKELPARAM(x, y);
    PostMessageA(hwnd, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, lp);
    PostMessageA(hwnd, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, lp);
    for (int i = 0; i < 5; ++i) {
        qmtest::PumpMessages();
        Sleep(10);
    }
}

// A point on the state picture of a tree item (left of its icon).
inline POINT TreeStatePoint(HWND tree, HTREEITEM item)
{
    // TVM_GETITEMRECT takes the item's handle in the rectangle's first bytes.
    RECT r{};
    std::memcpy(&r, &item, sizeof item);
    SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
    return POINT{r.left - 16 - 16 + 6, (r.top + r.bottom) / 2};
}

// A point on the state picture of a list row, found by asking the list itself.
inline POINT ListStatePoint(HWND list, int row)
{
    RECT r{};
    r.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    const int y = (r.top + r.bottom) / 2;
    for (int x = r.left; x < r.left + 60; ++x) {
        LVHITTESTINFO hit{};
        hit.pt = POINT{x, y};
        SendMessageA(list, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.iItem == row && (hit.flags & LVHT_ONITEMSTATEICON)) return POINT{x + 3, y};
    }
    return POINT{-1, -1};
}

}  // namespace resulttest
