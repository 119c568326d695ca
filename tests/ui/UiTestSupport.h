// Windows the ui tests share: a plain form shown on the screen, and pictures made on the spot.
#pragma once
#include <windows.h>
#include <string>
#include "ui/Form.h"
#include "ui/ImageList.h"
#include "TestSupport.h"

namespace uitest {

class TestForm : public ui::TForm {
public:
    explicit TestForm(int width = 400, int height = 300, bool show = true)
    {
        CreateForm("QmTestForm", "ui test", width, height, ui::bsSingle, true);
        SetColor(RGB(255, 255, 255));
        if (show) {
            Show();
            Settle();
        }
    }
    // Lets every pending paint and message through.
    void Settle()
    {
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        qmtest::PumpMessages();
    }
};

// A bitmap of w x h filled with one colour.
inline HBITMAP SolidBitmap(int w, int h, COLORREF color)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT r = {0, 0, w, h};
    HBRUSH b = CreateSolidBrush(color);
    FillRect(mem, &r, b);
    DeleteObject(b);
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return bmp;
}

// n pictures of w x h, picture k in colour RGB(10 * k, 200 - 10 * k, 30).
inline void FillImageList(ui::TImageList &list, int w, int h, int n)
{
    list.Create(w, h);
    for (int k = 0; k < n; ++k) {
        HBITMAP b = SolidBitmap(w, h, RGB(10 * k, 200 - 10 * k, 30));
        list.Add(b);
        DeleteObject(b);
    }
}

// The colour on the screen at a client point of a window.
inline COLORREF ScreenPixel(HWND hwnd, int x, int y)
{
    HDC dc = GetDC(hwnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

// Posts a click (button down and up) at a client point and pumps until it is handled.
inline void Click(HWND hwnd, int x, int y, bool right = false)
{
    LPARAM lp = MAKELPARAM(x, y);
    PostMessageA(hwnd, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, lp);
    PostMessageA(hwnd, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, lp);
    for (int i = 0; i < 5; ++i) {
        qmtest::PumpMessages();
        Sleep(10);
    }
}

}  // namespace uitest
