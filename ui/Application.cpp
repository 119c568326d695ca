#include "ui/Application.h"
#include "ui/Exceptions.h"
#include "ui/Form.h"

namespace ui {

static TApplication theApplication;
TApplication *Application = &theApplication;

static const char kAppClass[] = "TApplication";

TApplication::~TApplication()
{
    if (handle_) DestroyWindow(handle_);
}

HWND TApplication::Handle()
{
    if (handle_) return handle_;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExA(GetModuleHandleA(nullptr), kAppClass, &wc)) {
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hIcon = Icon();
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kAppClass;
        RegisterClassExA(&wc);
    }
    // A window without size in the middle of the screen: it carries the task-bar button and owns
    // the forms, so minimising it takes the whole program off the screen.
    int x = GetSystemMetrics(SM_CXSCREEN) / 2, y = GetSystemMetrics(SM_CYSCREEN) / 2;
    handle_ = CreateWindowExA(0, kAppClass, title_.c_str(),
                              WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, x, y, 0,
                              0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    return handle_;
}

HICON TApplication::Icon() const
{
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
    return icon ? icon : LoadIcon(nullptr, IDI_APPLICATION);
}

void TApplication::SetTitle(const std::string &title)
{
    title_ = title;
    if (handle_) SetWindowTextA(handle_, title_.c_str());
}

LRESULT CALLBACK TApplication::WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    TApplication *app = Application;
    switch (msg) {
    case WM_SYSCOMMAND:
        switch (wp & 0xFFF0) {
        case SC_MINIMIZE:
            app->Minimize();
            return 0;
        case SC_RESTORE:
            app->Restore();
            return 0;
        default:
            break;
        }
        break;
    case WM_CLOSE:
        if (app->mainForm_) app->mainForm_->Close();
        return 0;
    case WM_SETFOCUS:
        // The task-bar button brings the main form forward, not the empty application window.
        if (app->mainForm_ && app->mainForm_->Handle() && IsWindowVisible(app->mainForm_->Handle()) &&
            IsWindowEnabled(app->mainForm_->Handle()))
            SetFocus(app->mainForm_->Handle());
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void TApplication::Dispatch(MSG &msg)
{
    // Tab, Escape and Enter inside our forms work as in dialogs.
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST &&
        dynamic_cast<TForm *>(TWinControl::FromHandle(root)) && IsDialogMessageA(root, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

void TApplication::ProcessMessages()
{
    // Windows makes a timer's WM_TIMER due again as soon as its interval has passed, so with a
    // handler slower than its interval (a slow or busy PC, an animation frame) "while a message
    // waits" never ends. One call serves each timer once and leaves its next turn for the next
    // call; the count bound does the same for handlers that post to themselves.
    const int kMaxMessages = 256;
    const int kMaxTimers = 16;
    HWND timerWindows[kMaxTimers];
    UINT_PTR timerIds[kMaxTimers];
    int timers = 0;
    MSG msg;
    for (int handled = 0; handled < kMaxMessages; ++handled) {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) return;
        if (msg.message == WM_TIMER) {
            for (int i = 0; i < timers; ++i)
                if (timerWindows[i] == msg.hwnd && timerIds[i] == msg.wParam) return;
            if (timers == kMaxTimers) return;
            timerWindows[timers] = msg.hwnd;
            timerIds[timers] = msg.wParam;
            ++timers;
        }
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return;
        if (msg.message == WM_QUIT) {
            terminated_ = true;
            return;
        }
        Dispatch(msg);
    }
}

bool TApplication::HandleMessage()
{
    MSG msg;
    if (terminated_) return false;
    BOOL rc = GetMessageA(&msg, nullptr, 0, 0);
    if (rc == 0 || rc == -1) {
        terminated_ = true;
        return false;
    }
    Dispatch(msg);
    return !terminated_;
}

void TApplication::Terminate()
{
    terminated_ = true;
    PostQuitMessage(0);   // wakes a loop that waits in GetMessage
}

void TApplication::Run()
{
    if (mainForm_) {
        ShowWindow(Handle(), SW_SHOWNORMAL);
        mainForm_->Show();
    }
    while (HandleMessage()) {
    }
}

void TApplication::Minimize()
{
    HWND h = Handle();
    if (IsIconic(h)) return;
    ShowOwnedPopups(h, FALSE);
    ShowWindow(h, SW_MINIMIZE);
}

void TApplication::Restore()
{
    HWND h = Handle();
    if (!IsIconic(h)) return;
    ShowWindow(h, SW_RESTORE);
    ShowOwnedPopups(h, TRUE);
    if (mainForm_ && mainForm_->Handle() && IsWindowVisible(mainForm_->Handle()))
        SetForegroundWindow(mainForm_->Handle());
}

void TApplication::HandleException(const std::exception &e)
{
    if (dynamic_cast<const EAbort *>(&e)) return;
    if (OnException) {
        OnException(e);
        return;
    }
    MessageBox(e.what(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string &text, UINT flags) { return MessageBox(text, title_, flags); }

int TApplication::MessageBox(const std::string &text, const std::string &caption, UINT flags)
{
    HWND owner = GetActiveWindow();
    if (!owner) owner = handle_;
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

}  // namespace ui
