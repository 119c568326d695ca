// Forms: top-level windows (or a page shown inside a panel of another form) with modal showing.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include "ui/Control.h"

namespace ui {

class TButton;

enum TBorderStyle { bsNone, bsSingle, bsDialog, bsSizeable };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
// Modal results are the dialog-box ids.
const int mrNone = 0;
const int mrOk = IDOK;
const int mrCancel = IDCANCEL;
const int mrAbort = IDABORT;
const int mrRetry = IDRETRY;
const int mrIgnore = IDIGNORE;
const int mrYes = IDYES;
const int mrNo = IDNO;

// What CreateWindowEx gets; a form may change it in CreateParams before the window is made.
struct TCreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;   // the window's outer size
    HWND WndParent = nullptr;
};

class TForm : public TWinControl {
public:
    // Makes the window with the given client size. className names the window class (for FindWindow).
    // With a parent the form is a borderless child that fills the parent's client area.
    void CreateForm(const std::string &className, const std::string &caption, int clientWidth,
                    int clientHeight, TBorderStyle border, bool screenCentre, TWinControl *parent = nullptr);

    void Show();
    void Hide() { SetVisible(false); }
    // Asks the form to close: OnCloseQuery, then OnClose decides (caNone refuses). A modal form gets the
    // result Cancel; the main form ends the application.
    void Close();
    // Shows the form, disables the program's other windows and runs the messages until a modal result
    // is set; returns it.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }
    bool IsModal() const { return modal_; }
    void SetCaption(const std::string &caption) { SetText(caption); }
    void SetClientSize(int width, int height);
    // The window's region (SetWindowRgn); the system owns the region afterwards.
    void SetRegion(HRGN region);
    void BringToFront();

    // Enter clicks the default button, Escape the cancel button (when the form has one).
    TButton *DefaultButton = nullptr;
    TButton *CancelButton = nullptr;

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnResize;
    TNotifyEvent OnDestroy;   // the window goes while the object lives (Close with caFree, DestroyHandle)
    std::function<void(bool &canClose)> OnCloseQuery;
    std::function<void(TCloseAction &action)> OnClose;

protected:
    virtual void CreateParams(TCreateParams &) {}
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    bool CloseQuery(TCloseAction &action);

    int modalResult_ = mrNone;
    bool modal_ = false;
    HWND lastFocus_ = nullptr;
};

}  // namespace ui
