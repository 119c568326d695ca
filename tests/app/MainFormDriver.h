// Drives the real Quillmoor.exe from a test: starts it, finds its window, clicks at layout points
// with posted mouse messages, reads its item tree through the tree's messages and the screen.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

namespace qmdrive {

// The program under test, beside the test programs in the build tree.
std::string QuillmoorExe();

class TProgram {
public:
    TProgram() = default;
    ~TProgram();   // ends the program if it still runs
    TProgram(const TProgram &) = delete;
    TProgram &operator=(const TProgram &) = delete;

    // args is appended to the quoted program path; exe is the program to start (in its folder).
    bool Start(const std::string &args = std::string(), const std::string &exe = QuillmoorExe());
    // The visible main window of this process, or nullptr after the time-out.
    HWND WaitForWindow(DWORD timeoutMs = 20000);
    bool WaitForExit(DWORD timeoutMs = 20000);
    DWORD ExitCode() const;
    HANDLE Process() const { return pi_.hProcess; }
    DWORD Id() const { return pi_.dwProcessId; }
    bool Running() const;

private:
    PROCESS_INFORMATION pi_{};
};

// Every top-level window of class "TfrmMainForm" (any process).
std::vector<HWND> MainWindows();

// A left (or right) click at a point in the main window's client coordinates: the messages go to
// the window that lies there, in its own coordinates.
void ClickAt(HWND mainWindow, int x, int y, bool right = false);

// The tree view of the window whose node count is `nodes`, or nullptr.
HWND FindTree(HWND mainWindow, int nodes);
// The tree's items in display order (all expanded).
std::vector<HTREEITEM> TreeItems(HWND tree);
// The state picture of an item (6 ticked, 7 empty).
int TreeStateImage(HWND tree, HTREEITEM item);
// The item's rectangle in the tree's client coordinates, read through the program's memory.
RECT TreeItemRect(HANDLE process, HWND tree, HTREEITEM item, bool textOnly);
// A click on the item's state picture.
void ClickStateImage(HANDLE process, HWND tree, HTREEITEM item);

// Pixels of the screen; the window must be on top.
class TScreenShot {
public:
    explicit TScreenShot(HWND window);   // the window's client area
    ~TScreenShot();
    COLORREF Pixel(int x, int y) const;   // client coordinates
    int Width() const { return w_; }
    int Height() const { return h_; }
    bool SaveBmp(const std::string &path) const;

private:
    int w_ = 0, h_ = 0;
    std::vector<DWORD> px_;
};

// Waits, pumping this thread's messages, until pred is true or the time runs out.
template <class Pred>
bool WaitUntil(Pred pred, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
    return true;
}

}  // namespace qmdrive
