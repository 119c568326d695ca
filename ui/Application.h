// The application object: the message loop, the message pump and the hidden application window that
// owns the forms and stands for the program on the task bar.
#pragma once
#include <windows.h>
#include <functional>
#include <stdexcept>
#include <string>

namespace ui {

class TForm;

class TApplication {
public:
    TApplication() = default;
    TApplication(const TApplication &) = delete;
    TApplication &operator=(const TApplication &) = delete;
    ~TApplication();

    // Handles the messages pending for this thread and returns; a timer is served at most once a
    // call, so a busy timer cannot keep the call going.
    void ProcessMessages();
    // Ends the message loop at its next turn.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Shows the main form and runs the message loop until Terminate.
    void Run();
    // Waits for and handles one message; false once WM_QUIT came.
    bool HandleMessage();

    void SetTitle(const std::string &title);
    const std::string &Title() const { return title_; }
    HWND Handle();   // the hidden application window (the tray hides it with SW_HIDE)
    HICON Icon() const;   // the program's icon ("MAINICON"), or the system's
    void Minimize();
    void Restore();
    TForm *MainForm() const { return mainForm_; }
    void SetMainForm(TForm *form) { mainForm_ = form; }

    // Shows an error that escaped an event handler; the silent abort is shown by nobody.
    void HandleException(const std::exception &e);
    // When set, errors go here instead of to the error box.
    std::function<void(const std::exception &)> OnException;
    // A message box owned by the active window, captioned with the title.
    int MessageBox(const std::string &text, UINT flags);
    int MessageBox(const std::string &text, const std::string &caption, UINT flags);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void Dispatch(MSG &msg);

    bool terminated_ = false;
    std::string title_;
    HWND handle_ = nullptr;
    TForm *mainForm_ = nullptr;
};

extern TApplication *Application;   // always exists

}  // namespace ui
