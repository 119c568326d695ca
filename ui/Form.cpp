#include "ui/Form.h"
#include <vector>
#include "ui/Application.h"
#include "ui/Button.h"

namespace ui {

void TForm::CreateForm(const std::string &className, const std::string &caption, int clientWidth,
                       int clientHeight, TBorderStyle border, bool screenCentre, TWinControl *parent)
{
    RegisterOurClass(className.c_str(), Application->Icon());
    TCreateParams p;
    p.Caption = caption;
    if (parent) {
        p.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
        p.WndParent = parent->Handle();
        RECT pr = parent->ClientRect();
        clientWidth = pr.right - pr.left;
        clientHeight = pr.bottom - pr.top;
    } else {
        switch (border) {
        case bsNone: p.Style = WS_POPUP; break;
        case bsDialog:
            p.Style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
            p.ExStyle = WS_EX_DLGMODALFRAME;
            break;
        case bsSingle: p.Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX; break;
        case bsSizeable: p.Style = WS_OVERLAPPEDWINDOW; break;
        }
        p.Style |= WS_CLIPCHILDREN;
        p.WndParent = Application->Handle();   // owned: the application window carries the task-bar button
    }
    CreateParams(p);
    RECT r = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&r, p.Style, FALSE, p.ExStyle);
    p.Width = r.right - r.left;
    p.Height = r.bottom - r.top;
    if (screenCentre && !parent) {
        p.X = (GetSystemMetrics(SM_CXSCREEN) - p.Width) / 2;
        p.Y = (GetSystemMetrics(SM_CYSCREEN) - p.Height) / 2;
    }
    p.Style &= ~static_cast<DWORD>(WS_VISIBLE);
    CreateHandle(parent, className.c_str(), p.Style, p.ExStyle, p.X, p.Y, p.Width, p.Height, p.Caption,
                 p.WndParent);
}

void TForm::Show()
{
    SetVisible(true);
    BringToFront();
}

void TForm::BringToFront()
{
    if (Handle() && !(GetWindowLongPtrA(Handle(), GWL_STYLE) & WS_CHILD)) SetForegroundWindow(Handle());
}

void TForm::SetClientSize(int width, int height)
{
    if (!Handle()) return;
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)));
    SetBounds(Left(), Top(), r.right - r.left, r.bottom - r.top);
}

void TForm::SetRegion(HRGN region)
{
    if (Handle()) SetWindowRgn(Handle(), region, TRUE);
    else if (region) DeleteObject(region);
}

bool TForm::CloseQuery(TCloseAction &action)
{
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(canClose);
    if (!canClose) return false;
    if (OnClose) OnClose(action);
    return action != caNone;
}

void TForm::Close()
{
    if (!Handle()) return;
    if (modal_) {
        modalResult_ = mrCancel;   // the modal loop asks OnCloseQuery and OnClose
        return;
    }
    TCloseAction action = caHide;
    if (!CloseQuery(action)) return;
    if (Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: ShowWindow(Handle(), SW_MINIMIZE); break;
    case caFree: DestroyHandle(); break;
    case caNone: break;
    }
}

struct EnumTopLevel {
    HWND except;
    std::vector<HWND> windows;
};

static BOOL CALLBACK CollectEnabled(HWND hwnd, LPARAM lp)
{
    auto *e = reinterpret_cast<EnumTopLevel *>(lp);
    if (hwnd != e->except && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) e->windows.push_back(hwnd);
    return TRUE;
}

int TForm::ShowModal()
{
    if (!Handle() || modal_) return mrCancel;
    EnumTopLevel others{Handle(), {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&others));
    for (HWND w : others.windows) EnableWindow(w, FALSE);
    modal_ = true;
    modalResult_ = mrNone;
    Show();
    for (;;) {
        if (!Application->HandleMessage()) {
            modalResult_ = mrCancel;
            if (Application->Terminated()) PostQuitMessage(0);   // the outer loop must end as well
            break;
        }
        if (!Handle()) {
            modalResult_ = mrCancel;
            break;
        }
        if (modalResult_ != mrNone) {
            TCloseAction action = caHide;
            bool closes = false;
            try {
                closes = CloseQuery(action);
            } catch (const std::exception &e) {
                Application->HandleException(e);
            }
            if (closes) break;
            modalResult_ = mrNone;
        }
    }
    // Enable the others before hiding, so that activation returns to the window below.
    for (HWND w : others.windows)
        if (IsWindow(w)) EnableWindow(w, TRUE);
    modal_ = false;
    if (Handle()) Hide();
    return modalResult_;
}

LRESULT TForm::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_COMMAND:
        // Enter and Escape, as IsDialogMessage reports them.
        if (lp == 0 && HIWORD(wp) == 0 && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
            TButton *b = LOWORD(wp) == IDOK ? DefaultButton : CancelButton;
            if (b && b->Enabled() && b->Visible()) b->Click();
            return 0;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND f = GetFocus();
            if (f && IsChild(Handle(), f)) lastFocus_ = f;
            SafeCall(OnDeactivate);
        } else {
            if (lastFocus_ && IsWindow(lastFocus_) && IsChild(Handle(), lastFocus_)) ::SetFocus(lastFocus_);
            else if (HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE)) ::SetFocus(first);
            else ::SetFocus(Handle());
            SafeCall(OnActivate);
            return 0;
        }
        break;
    case WM_SIZE: {
        LRESULT r = TWinControl::WndProc(msg, wp, lp);
        SafeCall(OnResize);
        return r;
    }
    case WM_SHOWWINDOW: {
        LRESULT r = TWinControl::WndProc(msg, wp, lp);
        SafeCall(wp ? OnShow : OnHide);
        return r;
    }
    case WM_DESTROY:
        SafeCall(OnDestroy);
        break;
    default:
        break;
    }
    return TWinControl::WndProc(msg, wp, lp);
}

}  // namespace ui
