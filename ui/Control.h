// The two kinds of control: windowed controls over an HWND, and windowless (graphic) controls that
// their parent window paints and whose mouse input the parent hands on.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "ui/Canvas.h"

namespace ui {

class TWinControl;
class TPopupMenu;

enum TMouseButton { mbLeft, mbRight, mbMiddle };
using TNotifyEvent = std::function<void()>;
// shift holds the MK_ flags of the mouse message; x and y are the control's client coordinates.
using TMouseEvent = std::function<void(TMouseButton button, UINT shift, int x, int y)>;

class TControl {
public:
    TControl() = default;
    virtual ~TControl() = default;
    TControl(const TControl &) = delete;
    TControl &operator=(const TControl &) = delete;

    TWinControl *Parent() const { return parent_; }
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);
    virtual void Invalidate();
    // Paints at once, without waiting for the message loop.
    virtual void Repaint();
    void SetHandCursor() { Cursor = LoadCursor(nullptr, IDC_HAND); }

    HCURSOR Cursor = nullptr;   // nullptr: the class's own
    std::string Hint;
    LONG_PTR Tag = 0;
    TNotifyEvent OnClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    TWinControl *parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
};

// A control without a window: labels, images, bevels, gauges. Its parent paints it in z-order.
class TGraphicControl : public TControl {
public:
    ~TGraphicControl() override;
    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    void Invalidate() override;
    void Repaint() override;
    virtual void Paint(TCanvas &canvas) = 0;   // in the parent's client coordinates
    // Hint shown by a tooltip when the mouse rests on the control.
    void SetHint(const std::string &hint);

protected:
    friend class TWinControl;
    void Attach(TWinControl *parent, int left, int top, int width, int height);
};

// A control over a window of its own. Windows of other classes (the common controls) are subclassed
// so that every message passes WndProc first; notifications that Windows sends to the parent are
// handed back to the child they concern (OnCommand, OnNotify, OnCtlColor).
class TWinControl : public TControl {
public:
    ~TWinControl() override;
    HWND Handle() const { return handle_; }
    void DestroyHandle();

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void Invalidate() override;
    void Repaint() override;
    RECT ClientRect() const;
    int ClientWidth() const { RECT r = ClientRect(); return r.right - r.left; }
    int ClientHeight() const { RECT r = ClientRect(); return r.bottom - r.top; }

    std::string Text() const;
    virtual void SetText(const std::string &text);
    const TFont &Font() const { return font_; }
    virtual void SetFont(const TFont &font);
    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);
    void SetFocus();
    bool Focused() const;
    // Hint shown by a tooltip when the mouse rests on the control.
    void SetHint(const std::string &hint);

    // Shown at the mouse on a right click (WM_CONTEXTMENU) when set.
    TPopupMenu *PopupMenu = nullptr;

    // The windowless children, bottom to top.
    const std::vector<TGraphicControl *> &GraphicControls() const { return graphics_; }
    // The object of one of our windows, nullptr for a foreign window.
    static TWinControl *FromHandle(HWND hwnd);

protected:
    // Makes the window. A class name of ours ("Qm...") gets our window procedure from birth; any other
    // class is subclassed right after creation.
    void CreateHandle(TWinControl *parent, const char *className, DWORD style, DWORD exStyle, int left,
                      int top, int width, int height, const std::string &text = std::string(),
                      HWND ownerOrParent = nullptr);
    static void RegisterOurClass(const char *className, HICON icon = nullptr);

    virtual LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp);
    // Hook for private window messages; return true when handled (result in result).
    virtual bool OnMessage(UINT, WPARAM, LPARAM, LRESULT &) { return false; }
    // Notifications from this control to its parent, handed back to it.
    virtual bool OnCommand(WORD /*code*/, LRESULT & /*result*/) { return false; }
    virtual bool OnNotify(NMHDR * /*hdr*/, LRESULT & /*result*/) { return false; }
    // A brush for the background of a static-like child (check box, radio), or nullptr.
    virtual HBRUSH OnCtlColor(HDC dc);
    // Our own windows paint their colour and then their graphic children.
    virtual void PaintWindow(TCanvas &canvas);
    // Whether the window handles mouse clicks itself (our classes) or its class does (subclassed).
    bool IsOurClass() const { return ourClass_; }
    // For static-like children (check boxes, radio buttons): their background in the parent's colour.
    HBRUSH ParentBackground(HDC dc);
    // Fires the mouse events of a message (for controls that take the message apart themselves).
    bool MouseMessage(UINT msg, WPARAM wp, LPARAM lp);

    TFont font_;
    COLORREF color_ = clBtnFace;

private:
    friend class TGraphicControl;
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    TGraphicControl *GraphicAt(int x, int y) const;
    void ApplyFont();
    void TrackLeave();
    bool EnsureTooltip();
    void UpdateGraphicHint(TGraphicControl *g, bool remove);

    HWND handle_ = nullptr;
    WNDPROC oldProc_ = nullptr;
    bool ourClass_ = false;
    HFONT hfont_ = nullptr;
    HBRUSH colorBrush_ = nullptr;
    HWND tooltip_ = nullptr;
    bool mouseInside_ = false;
    TControl *hot_ = nullptr;        // the graphic child under the mouse
    TControl *pressed_ = nullptr;    // the graphic child the left button went down on
    std::vector<TGraphicControl *> graphics_;
};

// Runs an event handler; an error it throws is shown by the application instead of escaping into
// the window procedure.
void SafeCall(const std::function<void()> &handler);

}  // namespace ui
