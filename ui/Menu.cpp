#include "ui/Menu.h"
#include "ui/Application.h"
#include "ui/Control.h"

namespace ui {

TMenuItem::~TMenuItem()
{
    if (bitmap_) DeleteObject(bitmap_);
}

void TMenuItem::SetBitmap(HBITMAP bitmap)
{
    if (bitmap_ && bitmap_ != bitmap) DeleteObject(bitmap_);
    bitmap_ = bitmap;
}

void TMenuItem::Click()
{
    if (Enabled) SafeCall(OnClick);
}

TMenuItem *TPopupMenu::Add(const std::string &caption, std::function<void()> onClick)
{
    items_.push_back(std::make_unique<TMenuItem>());
    items_.back()->Caption = caption;
    items_.back()->OnClick = std::move(onClick);
    return items_.back().get();
}

TMenuItem *TPopupMenu::Popup(int x, int y)
{
    SafeCall(OnPopup);
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    for (size_t i = 0; i < items_.size(); ++i) {
        TMenuItem *it = items_[i].get();
        if (!it->Visible) continue;
        MENUITEMINFOA mi = {};
        mi.cbSize = sizeof mi;
        if (it->Caption == "-") {
            mi.fMask = MIIM_FTYPE;
            mi.fType = MFT_SEPARATOR;
        } else {
            mi.fMask = MIIM_ID | MIIM_STRING | MIIM_STATE;
            mi.wID = static_cast<UINT>(i + 1);   // 0 is "nothing chosen"
            mi.dwTypeData = const_cast<char *>(it->Caption.c_str());
            mi.fState = (it->Enabled ? MFS_ENABLED : MFS_GRAYED) | (it->Default ? MFS_DEFAULT : 0) |
                        (it->Checked ? MFS_CHECKED : 0);
            if (it->Bitmap()) {
                mi.fMask |= MIIM_BITMAP;
                mi.hbmpItem = it->Bitmap();
            }
        }
        InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &mi);
    }
    HWND owner = Application->Handle();
    // A menu from the notification area closes when the user clicks elsewhere only if its owner
    // is in front (and gets a message afterwards).
    SetForegroundWindow(owner);
    UINT id = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, x, y, 0, owner,
                                               nullptr));
    PostMessageA(owner, WM_NULL, 0, 0);
    DestroyMenu(menu);
    if (id == 0 || id > items_.size()) return nullptr;
    TMenuItem *chosen = items_[id - 1].get();
    chosen->Click();
    return chosen;
}

}  // namespace ui
