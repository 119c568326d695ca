// Popup menus: items with captions, separators, a default item shown bold, pictures and click events.
#pragma once
#include <windows.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class TMenuItem {
public:
    ~TMenuItem();
    std::string Caption;   // "-" is a separator
    bool Default = false;  // drawn bold; the item a double click would choose
    bool Enabled = true;
    bool Visible = true;
    bool Checked = false;
    std::function<void()> OnClick;
    void SetBitmap(HBITMAP bitmap);   // takes the bitmap over
    HBITMAP Bitmap() const { return bitmap_; }
    void Click();

private:
    HBITMAP bitmap_ = nullptr;
};

class TPopupMenu {
public:
    TPopupMenu() = default;
    TPopupMenu(const TPopupMenu &) = delete;
    TPopupMenu &operator=(const TPopupMenu &) = delete;

    TMenuItem *Add(const std::string &caption, std::function<void()> onClick = nullptr);
    TMenuItem *AddSeparator() { return Add("-"); }
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem *Item(int i) const { return items_[static_cast<size_t>(i)].get(); }
    // Shows the menu at a screen point and runs the chosen item's click; returns it (nullptr: none).
    TMenuItem *Popup(int x, int y);
    std::function<void()> OnPopup;   // before the menu shows

private:
    std::vector<std::unique_ptr<TMenuItem>> items_;
};

}  // namespace ui
