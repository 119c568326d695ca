// Answers the modal windows that a handler under test opens on this thread: message boxes (their
// caption, text and buttons are recorded) and our own dialogs (driven by a callback). A second
// thread watches this process's top-level windows and acts through posted and sent messages.
#pragma once
#include <windows.h>
#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace qmtest {

struct ShownBox {
    std::string caption;
    std::string text;
    bool yesNo = false;   // the box had Yes and No buttons
    bool ok = false;      // the box had an OK button
    bool icon = false;    // the box showed an icon
};

class ModalAnswerer {
public:
    // answers[i] is the button pressed in the i-th message box (IDOK when there are fewer);
    // dialog runs on the watching thread for a window of class dialogClass, then it is left alone.
    explicit ModalAnswerer(std::vector<int> answers = {}, std::string dialogClass = std::string(),
                           std::function<void(HWND)> dialog = nullptr)
        : answers_(std::move(answers)), dialogClass_(std::move(dialogClass)), dialog_(std::move(dialog))
    {
        thread_ = std::thread([this] { Watch(); });
    }
    ~ModalAnswerer()
    {
        stop_ = true;
        thread_.join();
    }
    std::vector<ShownBox> Boxes()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return boxes_;
    }

private:
    void Watch()
    {
        while (!stop_) {
            EnumWindows(&ModalAnswerer::Visit, reinterpret_cast<LPARAM>(this));
            Sleep(20);
        }
    }
    static BOOL CALLBACK Visit(HWND w, LPARAM self)
    {
        static_cast<ModalAnswerer *>(reinterpret_cast<void *>(self))->Handle(w);
        return TRUE;
    }
    void Handle(HWND w)
    {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != GetCurrentProcessId() || !IsWindowVisible(w) || seen_.count(w)) return;
        char cls[64] = {0};
        GetClassNameA(w, cls, sizeof(cls));
        if (std::string(cls) == "#32770") {
            seen_.insert(w);
            ShownBox box;
            char buf[1024] = {0};
            GetWindowTextA(w, buf, sizeof(buf));
            box.caption = buf;
            buf[0] = 0;
            GetDlgItemTextA(w, 0xFFFF, buf, sizeof(buf));
            box.text = buf;
            box.yesNo = GetDlgItem(w, IDYES) && GetDlgItem(w, IDNO);
            box.ok = GetDlgItem(w, IDOK) != nullptr;
            HWND icon = GetDlgItem(w, 0x440);
            box.icon = icon && IsWindowVisible(icon) && SendMessageA(icon, STM_GETICON, 0, 0) != 0;
            size_t n;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                boxes_.push_back(box);
                n = boxes_.size();
            }
            int answer = n <= answers_.size() ? answers_[n - 1] : IDOK;
            PostMessageA(w, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
        } else if (!dialogClass_.empty() && dialogClass_ == cls && dialog_) {
            seen_.insert(w);
            dialog_(w);
        }
    }

    std::vector<int> answers_;
    std::string dialogClass_;
    std::function<void(HWND)> dialog_;
    std::atomic<bool> stop_{false};
    std::set<HWND> seen_;
    std::mutex mutex_;
    std::vector<ShownBox> boxes_;
    std::thread thread_;
};

struct ChildSearch {
    const char *cls;
    int nth;
    HWND found;
};

inline BOOL CALLBACK VisitChild(HWND w, LPARAM p)
{
    auto *f = reinterpret_cast<ChildSearch *>(p);
    char c[64] = {0};
    GetClassNameA(w, c, sizeof(c));
    if (lstrcmpiA(c, f->cls) == 0 && f->nth-- == 0) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

// A child window of a dialog by its class and its position among the children of that class.
inline HWND ChildOfClass(HWND parent, const char *cls, int nth = 0)
{
    ChildSearch f{cls, nth, nullptr};
    EnumChildWindows(parent, VisitChild, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

// A button of a dialog by its caption.
inline HWND ButtonWithCaption(HWND parent, const std::string &caption)
{
    for (int i = 0;; ++i) {
        HWND b = ChildOfClass(parent, "Button", i);
        if (!b) return nullptr;
        char text[64] = {0};
        GetWindowTextA(b, text, sizeof(text));
        if (caption == text) return b;
    }
}

}  // namespace qmtest
