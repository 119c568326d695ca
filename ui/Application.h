// The application object: the message loop, the message pump and the hidden application window.
// (Contract: the engine relies on ProcessMessages and Terminated; the rest is for the windows.)
#pragma once
#include <windows.h>
#include <string>

namespace ui {

class TForm;

class TApplication {
public:
    // Handles every message pending for this thread once, then returns.
    void ProcessMessages();
    // Ends the message loop at its next turn.
    void Terminate();
    bool Terminated() const { return terminated_; }
    void Run();   // the message loop, until Terminate

    void SetTitle(const std::string &title);
    const std::string &Title() const { return title_; }
    HWND Handle();   // the hidden application window (the tray hides it with SW_HIDE)
    void Minimize();
    void Restore();
    TForm *MainForm() const { return mainForm_; }
    void SetMainForm(TForm *form) { mainForm_ = form; }

    // Shows an error that escaped an event handler; the silent abort is shown by nobody.
    void HandleException(const std::exception &e);
    int MessageBox(const std::string &text, const std::string &caption, UINT flags);

private:
    bool terminated_ = false;
    std::string title_;
    HWND handle_ = nullptr;
    TForm *mainForm_ = nullptr;
};

extern TApplication *Application;   // always exists

}  // namespace ui
