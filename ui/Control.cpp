#include "ui/Control.h"
#include <windowsx.h>
#include <commctrl.h>
#include <algorithm>
#include <cstring>
#include "ui/Application.h"
#include "ui/Exceptions.h"
#include "ui/Menu.h"

namespace ui {

static const char kObjectProp[] = "QmControl";

void SafeCall(const std::function<void()> &handler)
{
    if (!handler) return;
    try {
        handler();
    } catch (const std::exception &e) {
        Application->HandleException(e);
    } catch (...) {
        Application->HandleException(Exception("Unknown error"));
    }
}

// ---- TControl

void TControl::SetBounds(int left, int top, int width, int height)
{
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
}

void TControl::SetVisible(bool visible) { visible_ = visible; }
void TControl::SetEnabled(bool enabled) { enabled_ = enabled; }
void TControl::Invalidate() {}
void TControl::Repaint() {}

// ---- TGraphicControl

TGraphicControl::~TGraphicControl()
{
    if (!parent_) return;
    Invalidate();
    if (!Hint.empty()) parent_->UpdateGraphicHint(this, true);
    auto &list = parent_->graphics_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (parent_->hot_ == this) parent_->hot_ = nullptr;
    if (parent_->pressed_ == this) parent_->pressed_ = nullptr;
}

void TGraphicControl::Attach(TWinControl *parent, int left, int top, int width, int height)
{
    parent_ = parent;
    TControl::SetBounds(left, top, width, height);
    if (parent_) {
        parent_->graphics_.push_back(this);
        Invalidate();
    }
}

void TGraphicControl::SetBounds(int left, int top, int width, int height)
{
    Invalidate();
    TControl::SetBounds(left, top, width, height);
    Invalidate();
    if (parent_ && !Hint.empty()) parent_->UpdateGraphicHint(this, false);
}

void TGraphicControl::SetHint(const std::string &hint)
{
    if (parent_ && !Hint.empty()) parent_->UpdateGraphicHint(this, true);
    Hint = hint;
    if (parent_ && !Hint.empty()) parent_->UpdateGraphicHint(this, false);
}

void TGraphicControl::SetVisible(bool visible)
{
    if (visible == visible_) return;
    visible_ = visible;
    if (parent_ && parent_->Handle()) {
        RECT r = BoundsRect();
        InvalidateRect(parent_->Handle(), &r, FALSE);
    }
}

void TGraphicControl::Invalidate()
{
    if (parent_ && parent_->Handle() && visible_) {
        RECT r = BoundsRect();
        InvalidateRect(parent_->Handle(), &r, FALSE);
    }
}

void TGraphicControl::Repaint()
{
    Invalidate();
    if (parent_ && parent_->Handle()) UpdateWindow(parent_->Handle());
}

// ---- TWinControl

TWinControl::~TWinControl()
{
    DestroyHandle();
    for (TGraphicControl *g : graphics_) g->parent_ = nullptr;
    if (hfont_) DeleteObject(hfont_);
    if (colorBrush_) DeleteObject(colorBrush_);
}

void TWinControl::DestroyHandle()
{
    if (tooltip_) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
    if (handle_) DestroyWindow(handle_);
    handle_ = nullptr;
}

TWinControl *TWinControl::FromHandle(HWND hwnd)
{
    return hwnd ? static_cast<TWinControl *>(GetPropA(hwnd, kObjectProp)) : nullptr;
}

void TWinControl::RegisterOurClass(const char *className, HICON icon)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExA(GetModuleHandleA(nullptr), className, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = StaticProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = icon;
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
}

void TWinControl::CreateHandle(TWinControl *parent, const char *className, DWORD style, DWORD exStyle,
                               int left, int top, int width, int height, const std::string &text,
                               HWND ownerOrParent)
{
    DestroyHandle();
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    ourClass_ = GetClassInfoExA(GetModuleHandleA(nullptr), className, &wc) && wc.lpfnWndProc == StaticProc;
    parent_ = parent;
    if (parent) {
        font_ = parent->font_;
        style |= WS_CHILD;
    }
    TControl::SetBounds(left, top, width, height);
    visible_ = (style & WS_VISIBLE) != 0;
    static int nextId = 100;   // ids of our own above IDOK/IDCANCEL, which dialogs keys send
    HWND parentWnd = parent ? parent->Handle() : ownerOrParent;
    HMENU id = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)) : nullptr;
    HWND h = CreateWindowExA(exStyle, className, text.c_str(), style, left, top, width, height, parentWnd, id,
                             GetModuleHandleA(nullptr), ourClass_ ? this : nullptr);
    if (!h) throw Exception(std::string("Cannot create a window of class ") + className);
    if (!ourClass_) {
        handle_ = h;
        SetPropA(h, kObjectProp, this);
        oldProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticProc)));
    }
    ApplyFont();
}

LRESULT CALLBACK TWinControl::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    TWinControl *self = FromHandle(hwnd);
    if (!self && msg == WM_NCCREATE) {
        self = static_cast<TWinControl *>(reinterpret_cast<CREATESTRUCTA *>(lp)->lpCreateParams);
        if (self) {
            self->handle_ = hwnd;
            SetPropA(hwnd, kObjectProp, self);
        }
    }
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    // No error may unwind into the system's code that called us.
    try {
        return self->Dispatch(msg, wp, lp);
    } catch (const std::exception &e) {
        Application->HandleException(e);
    } catch (...) {
        Application->HandleException(Exception("Unknown error"));
    }
    return 0;
}

LRESULT TWinControl::Dispatch(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCDESTROY) {
        HWND h = handle_;
        WNDPROC old = oldProc_;
        RemovePropA(h, kObjectProp);
        handle_ = nullptr;
        oldProc_ = nullptr;
        hot_ = pressed_ = nullptr;
        mouseInside_ = false;
        if (old) {
            SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
            return CallWindowProcA(old, h, msg, wp, lp);
        }
        return DefWindowProcA(h, msg, wp, lp);
    }
    return WndProc(msg, wp, lp);
}

LRESULT TWinControl::DefaultProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (!handle_) return 0;
    if (oldProc_) return CallWindowProcA(oldProc_, handle_, msg, wp, lp);
    return DefWindowProcA(handle_, msg, wp, lp);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    LRESULT result = 0;
    if (OnMessage(msg, wp, lp, result)) return result;
    switch (msg) {
    case WM_COMMAND:
        if (lp) {
            TWinControl *c = FromHandle(reinterpret_cast<HWND>(lp));
            if (c && c != this && c->OnCommand(HIWORD(wp), result)) return result;
        }
        break;
    case WM_NOTIFY: {
        NMHDR *hdr = reinterpret_cast<NMHDR *>(lp);
        TWinControl *c = FromHandle(hdr->hwndFrom);
        if (c && c != this && c->OnNotify(hdr, result)) return result;
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        TWinControl *c = FromHandle(reinterpret_cast<HWND>(lp));
        if (c && c != this) {
            if (HBRUSH b = c->OnCtlColor(reinterpret_cast<HDC>(wp))) return reinterpret_cast<LRESULT>(b);
        }
        break;
    }
    case WM_ERASEBKGND:
        if (ourClass_) return 1;   // WM_PAINT fills the background, off screen
        break;
    case WM_PAINT:
        if (ourClass_) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(handle_, &ps);
            RECT rc = ps.rcPaint;
            int w = rc.right - rc.left, h = rc.bottom - rc.top;
            if (w > 0 && h > 0) {
                HDC mem = CreateCompatibleDC(dc);
                HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
                HGDIOBJ old = SelectObject(mem, bmp);
                SetWindowOrgEx(mem, rc.left, rc.top, nullptr);
                {
                    TCanvas canvas(mem);
                    canvas.SetFont(font_);
                    PaintWindow(canvas);
                }
                SetWindowOrgEx(mem, 0, 0, nullptr);
                BitBlt(dc, rc.left, rc.top, w, h, mem, 0, 0, SRCCOPY);
                SelectObject(mem, old);
                DeleteObject(bmp);
                DeleteDC(mem);
            }
            EndPaint(handle_, &ps);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wp) == handle_ && LOWORD(lp) == HTCLIENT) {
            POINT pt;
            GetCursorPos(&pt);
            ScreenToClient(handle_, &pt);
            TGraphicControl *g = GraphicAt(pt.x, pt.y);
            HCURSOR cur = g && g->Cursor ? g->Cursor : Cursor;
            if (cur) {
                SetCursor(cur);
                return TRUE;
            }
        }
        break;
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: {
        if (ourClass_) {
            MouseMessage(msg, wp, lp);
            return DefaultProc(msg, wp, lp);
        }
        // The control's own handling comes first: a tree selects the node under the mouse.
        LRESULT r = DefaultProc(msg, wp, lp);
        if (handle_) MouseMessage(msg, wp, lp);
        return r;
    }
    case WM_SIZE:
    case WM_MOVE:
        if (handle_) {
            RECT r;
            GetWindowRect(handle_, &r);
            HWND p = (GetWindowLongPtrA(handle_, GWL_STYLE) & WS_CHILD) ? GetParent(handle_) : nullptr;
            if (p) MapWindowPoints(nullptr, p, reinterpret_cast<POINT *>(&r), 2);
            TControl::SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        }
        break;
    case WM_SHOWWINDOW:
        visible_ = wp != 0;
        break;
    case WM_CONTEXTMENU:
        if (PopupMenu) {
            int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
            if (x == -1 && y == -1) {   // from the keyboard: at the control's corner
                POINT pt = {0, 0};
                ClientToScreen(handle_, &pt);
                x = pt.x;
                y = pt.y;
            }
            PopupMenu->Popup(x, y);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefaultProc(msg, wp, lp);
}

TGraphicControl *TWinControl::GraphicAt(int x, int y) const
{
    POINT pt = {x, y};
    for (auto it = graphics_.rbegin(); it != graphics_.rend(); ++it) {
        TGraphicControl *g = *it;
        RECT r = g->BoundsRect();
        if (g->Visible() && g->Enabled() && PtInRect(&r, pt)) return g;
    }
    return nullptr;
}

void TWinControl::TrackLeave()
{
    TRACKMOUSEEVENT tme = {sizeof tme, TME_LEAVE, handle_, 0};
    TrackMouseEvent(&tme);
}

bool TWinControl::MouseMessage(UINT msg, WPARAM wp, LPARAM lp)
{
    int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    TGraphicControl *g = msg == WM_MOUSELEAVE ? nullptr : GraphicAt(x, y);
    TControl *target = g ? static_cast<TControl *>(g) : this;
    int tx = g ? x - g->Left() : x, ty = g ? y - g->Top() : y;
    UINT shift = static_cast<UINT>(wp);
    switch (msg) {
    case WM_MOUSEMOVE:
        if (!mouseInside_) {
            mouseInside_ = true;
            TrackLeave();
            SafeCall(OnMouseEnter);
        }
        if (g != hot_) {
            TControl *old = hot_;
            hot_ = g;
            if (old) SafeCall(old->OnMouseLeave);
            if (g && hot_ == g) SafeCall(g->OnMouseEnter);
        }
        return true;
    case WM_MOUSELEAVE:
        mouseInside_ = false;
        if (hot_) {
            TControl *old = hot_;
            hot_ = nullptr;
            SafeCall(old->OnMouseLeave);
        }
        SafeCall(OnMouseLeave);
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        // The second press of a double click is no new click: a button hidden by the first click's
        // handler must not hand the second one to the control that shows in its place.
        pressed_ = msg == WM_LBUTTONDOWN ? target : nullptr;
        if (ourClass_) SetCapture(handle_);
        if (target->OnMouseDown) SafeCall([&] { target->OnMouseDown(mbLeft, shift, tx, ty); });
        return true;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (target->OnMouseDown) {
            TMouseButton b = msg == WM_RBUTTONDOWN ? mbRight : mbMiddle;
            SafeCall([&] { target->OnMouseDown(b, shift, tx, ty); });
        }
        return true;
    case WM_LBUTTONUP: {
        TControl *pressed = pressed_;
        pressed_ = nullptr;
        if (ourClass_ && GetCapture() == handle_) ReleaseCapture();
        if (target->OnMouseUp) SafeCall([&] { target->OnMouseUp(mbLeft, shift, tx, ty); });
        // Buttons report their clicks themselves; ours and the windowless ones click here.
        if (pressed == target && (g || ourClass_)) SafeCall(target->OnClick);
        return true;
    }
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (target->OnMouseUp) {
            TMouseButton b = msg == WM_RBUTTONUP ? mbRight : mbMiddle;
            SafeCall([&] { target->OnMouseUp(b, shift, tx, ty); });
        }
        return true;
    default:
        return false;
    }
}

HBRUSH TWinControl::OnCtlColor(HDC) { return nullptr; }

HBRUSH TWinControl::ParentBackground(HDC dc)
{
    if (!parent_) return nullptr;
    COLORREF c = ColorToRGB(parent_->color_ == clNone ? clBtnFace : parent_->color_);
    SetBkColor(dc, c);
    SetTextColor(dc, ColorToRGB(font_.Color));
    if (!parent_->colorBrush_) parent_->colorBrush_ = CreateSolidBrush(c);
    return parent_->colorBrush_;
}

void TWinControl::PaintWindow(TCanvas &canvas)
{
    HDC dc = canvas.Handle();
    RECT clip;
    GetClipBox(dc, &clip);
    if (color_ != clNone) {
        canvas.SetBrushColor(color_);
        RECT all = ClientRect();
        canvas.FillRect(all);
    }
    for (TGraphicControl *g : graphics_) {
        RECT r = g->BoundsRect(), common;
        if (!g->Visible() || !IntersectRect(&common, &r, &clip)) continue;
        int saved = SaveDC(dc);
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        g->Paint(canvas);
        RestoreDC(dc, saved);
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height)
{
    TControl::SetBounds(left, top, width, height);
    if (handle_) MoveWindow(handle_, left, top, width, height, TRUE);
}

void TWinControl::SetVisible(bool visible)
{
    visible_ = visible;
    if (handle_) ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE);
}

void TWinControl::SetEnabled(bool enabled)
{
    enabled_ = enabled;
    if (handle_) EnableWindow(handle_, enabled);
}

void TWinControl::Invalidate()
{
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Repaint()
{
    if (!handle_) return;
    InvalidateRect(handle_, nullptr, TRUE);
    UpdateWindow(handle_);
}

RECT TWinControl::ClientRect() const
{
    RECT r = {0, 0, 0, 0};
    if (handle_) GetClientRect(handle_, &r);
    return r;
}

std::string TWinControl::Text() const
{
    if (!handle_) return std::string();
    int n = GetWindowTextLengthA(handle_);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    n = GetWindowTextA(handle_, &s[0], n + 1);
    s.resize(static_cast<size_t>(n > 0 ? n : 0));
    return s;
}

void TWinControl::SetText(const std::string &text)
{
    if (handle_) SetWindowTextA(handle_, text.c_str());
}

void TWinControl::SetFont(const TFont &font)
{
    font_ = font;
    ApplyFont();
    Invalidate();
}

void TWinControl::ApplyFont()
{
    if (!handle_) return;
    HFONT old = hfont_;
    hfont_ = font_.CreateHandle();
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(hfont_), TRUE);
    if (old) DeleteObject(old);
}

void TWinControl::SetColor(COLORREF color)
{
    color_ = color;
    if (colorBrush_) DeleteObject(colorBrush_);
    colorBrush_ = nullptr;
    Invalidate();
}

void TWinControl::SetFocus()
{
    if (handle_) ::SetFocus(handle_);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::EnsureTooltip()
{
    if (!handle_) return false;
    if (!tooltip_) {
        tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    return tooltip_ != nullptr;
}

// A windowless child's hint is a rectangle tool of its parent's tooltip.
void TWinControl::UpdateGraphicHint(TGraphicControl *g, bool remove)
{
    if (!EnsureTooltip()) return;
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = handle_;
    ti.uId = reinterpret_cast<UINT_PTR>(g);
    ti.rect = g->BoundsRect();
    ti.lpszText = const_cast<char *>(g->Hint.c_str());
    SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    if (!remove) SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void TWinControl::SetHint(const std::string &hint)
{
    Hint = hint;
    if (!EnsureTooltip()) return;
    TOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti.hwnd = handle_;
    ti.uId = reinterpret_cast<UINT_PTR>(handle_);
    ti.lpszText = const_cast<char *>(Hint.c_str());
    SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    if (!Hint.empty()) SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace ui
