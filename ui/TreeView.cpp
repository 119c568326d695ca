#include "ui/TreeView.h"
#include <windowsx.h>
#include <algorithm>
#include <cstring>
#include "ui/ImageList.h"

namespace ui {

// ---- TTreeNode

int TTreeNode::AbsoluteIndex() const
{
    owner_->Reindex();
    return absoluteIndex_;
}

int TTreeNode::Level() const
{
    int level = 0;
    for (TTreeNode *p = parent_; p; p = p->parent_) ++level;
    return level;
}

int TTreeNode::Index() const
{
    const auto &siblings = parent_ ? parent_->children_ : owner_->roots_;
    auto it = std::find(siblings.begin(), siblings.end(), this);
    return it == siblings.end() ? -1 : static_cast<int>(it - siblings.begin());
}

RECT TTreeNode::DisplayRect(bool textOnly) const
{
    RECT r = {0, 0, 0, 0};
    HTREEITEM id = id_;
    memcpy(&r, &id, sizeof id);   // TVM_GETITEMRECT takes the item in the rectangle
    if (!owner_->Handle() || !SendMessageA(owner_->Handle(), TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(&r)))
        r = RECT{0, 0, 0, 0};
    return r;
}

void TTreeNode::SetText(const std::string &text)
{
    text_ = text;
    TVITEMA it = {};
    it.mask = TVIF_TEXT;
    it.hItem = id_;
    it.pszText = const_cast<char *>(text_.c_str());
    SendMessageA(owner_->Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

void TTreeNode::SetImageIndex(int i)
{
    image_ = i;
    owner_->SetItemImages(this);
}

void TTreeNode::SetSelectedIndex(int i)
{
    selectedImage_ = i;
    owner_->SetItemImages(this);
}

void TTreeNode::SetStateIndex(int i)
{
    state_ = i < 0 ? -1 : i;
    TVITEMA it = {};
    it.mask = TVIF_STATE;
    it.hItem = id_;
    it.stateMask = TVIS_STATEIMAGEMASK;
    it.state = INDEXTOSTATEIMAGEMASK(state_ < 0 ? 0 : state_);
    SendMessageA(owner_->Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

bool TTreeNode::Selected() const { return owner_->Selected() == this; }

bool TTreeNode::Expanded() const
{
    return (SendMessageA(owner_->Handle(), TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(id_), TVIS_EXPANDED) &
            TVIS_EXPANDED) != 0;
}

void TTreeNode::Expand(bool recurse)
{
    if (!children_.empty())
        SendMessageA(owner_->Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(id_));
    if (recurse)
        for (TTreeNode *c : children_) c->Expand(true);
}

void TTreeNode::Collapse()
{
    SendMessageA(owner_->Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(id_));
}

// ---- TTreeView

void TTreeView::Create(TWinControl *parent, int left, int top, int width, int height, DWORD extraStyle)
{
    CreateHandle(parent, WC_TREEVIEWA,
                 WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS |
                     extraStyle,
                 WS_EX_CLIENTEDGE, left, top, width, height);
    canvas_.SetWindow(Handle());
    canvas_.SetFont(font_);
}

TCanvas *TTreeView::Canvas() { return &canvas_; }

void TTreeView::SetFont(const TFont &font)
{
    TWinControl::SetFont(font);
    canvas_.SetFont(font);
}

void TTreeView::SetImages(TImageList *images)
{
    SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

void TTreeView::SetStateImages(TImageList *images)
{
    SendMessageA(Handle(), TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

int TTreeView::Indent() const { return static_cast<int>(SendMessageA(Handle(), TVM_GETINDENT, 0, 0)); }

void TTreeView::SetIndent(int pixels) { SendMessageA(Handle(), TVM_SETINDENT, static_cast<WPARAM>(pixels), 0); }

void TTreeView::SetRowSelect(bool on)
{
    LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
    style = on ? (style | TVS_FULLROWSELECT) & ~static_cast<LONG_PTR>(TVS_HASLINES)
               : (style & ~static_cast<LONG_PTR>(TVS_FULLROWSELECT)) | TVS_HASLINES;
    SetWindowLongPtrA(Handle(), GWL_STYLE, style);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TTreeView::PaintOnItemDC(HDC dc, const std::function<void()> &paint)
{
    canvas_.Release();
    TFont keep = canvas_.Font();
    canvas_.SetHandle(dc);
    canvas_.SetFont(font_);
    canvas_.SetBrushColor(clWindow);
    canvas_.ResetChanged();
    SafeCall(paint);
    canvas_.Detach();
    canvas_.SetWindow(Handle());
    canvas_.SetFont(keep);
}

void TTreeView::BeginUpdate() { SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0); }

void TTreeView::EndUpdate()
{
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TTreeView::Reindex() const
{
    if (!dirty_) return;
    order_.clear();
    std::vector<TTreeNode *> stack(roots_.rbegin(), roots_.rend());
    while (!stack.empty()) {
        TTreeNode *n = stack.back();
        stack.pop_back();
        n->absoluteIndex_ = static_cast<int>(order_.size());
        order_.push_back(n);
        for (auto it = n->children_.rbegin(); it != n->children_.rend(); ++it) stack.push_back(*it);
    }
    dirty_ = false;
}

int TTreeView::NodeCount() const { return static_cast<int>(store_.size()); }

TTreeNode *TTreeView::Node(int absoluteIndex) const
{
    Reindex();
    if (absoluteIndex < 0 || absoluteIndex >= static_cast<int>(order_.size())) return nullptr;
    return order_[static_cast<size_t>(absoluteIndex)];
}

// Image -1 means "none", which the control spells I_IMAGENONE (its -1 asks us for the image).
static int ControlImage(int i) { return i < 0 ? I_IMAGENONE : i; }

void TTreeView::SetItemImages(TTreeNode *node)
{
    TVITEMA it = {};
    it.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    it.hItem = node->id_;
    it.iImage = ControlImage(node->image_);
    it.iSelectedImage = ControlImage(node->selectedImage_);
    SendMessageA(Handle(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

TTreeNode *TTreeView::AddChild(TTreeNode *parent, const std::string &text, void *data)
{
    auto owned = std::make_unique<TTreeNode>();
    TTreeNode *node = owned.get();
    node->owner_ = this;
    node->parent_ = parent;
    node->text_ = text;
    node->Data = data;
    TVINSERTSTRUCTA is = {};
    is.hParent = parent ? parent->id_ : TVI_ROOT;
    is.hInsertAfter = TVI_LAST;
    is.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    is.item.pszText = const_cast<char *>(node->text_.c_str());
    is.item.lParam = reinterpret_cast<LPARAM>(node);
    is.item.iImage = I_IMAGENONE;
    is.item.iSelectedImage = I_IMAGENONE;
    node->id_ = reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is)));
    if (!node->id_) return nullptr;
    store_.push_back(std::move(owned));
    (parent ? parent->children_ : roots_).push_back(node);
    dirty_ = true;
    return node;
}

void TTreeView::Forget(TTreeNode *node)
{
    for (TTreeNode *c : node->children_) Forget(c);
    node->children_.clear();
    node->id_ = nullptr;
}

void TTreeView::Delete(TTreeNode *node)
{
    if (!node || node->owner_ != this) return;
    TTreeNode *before = Selected();
    quiet_ = true;
    SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->id_));
    quiet_ = false;
    auto &siblings = node->parent_ ? node->parent_->children_ : roots_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), node), siblings.end());
    Forget(node);
    store_.erase(std::remove_if(store_.begin(), store_.end(), [](const std::unique_ptr<TTreeNode> &n) { return n->id_ == nullptr; }),
                 store_.end());
    dirty_ = true;
    TTreeNode *after = Selected();
    if (after != before && OnChange) SafeCall([&] { OnChange(after); });
}

void TTreeView::Clear()
{
    quiet_ = true;
    SendMessageA(Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    quiet_ = false;
    roots_.clear();
    order_.clear();
    store_.clear();
    dirty_ = true;
}

void TTreeView::FullExpand()
{
    for (TTreeNode *r : roots_) r->Expand(true);
}

TTreeNode *TTreeView::NodeFromItem(HTREEITEM item) const
{
    if (!item) return nullptr;
    TVITEMA it = {};
    it.mask = TVIF_PARAM;
    it.hItem = item;
    if (!SendMessageA(Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return nullptr;
    return reinterpret_cast<TTreeNode *>(it.lParam);
}

TTreeNode *TTreeView::Selected() const
{
    if (!Handle()) return nullptr;
    return NodeFromItem(reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TTreeView::SetSelected(TTreeNode *node)
{
    SendMessageA(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->id_ : nullptr));
}

UINT TTreeView::GetHitTestInfoAt(int x, int y) const
{
    TVHITTESTINFO ht = {};
    ht.pt.x = x;
    ht.pt.y = y;
    SendMessageA(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht));
    return ht.flags;
}

TTreeNode *TTreeView::GetNodeAt(int x, int y) const
{
    TVHITTESTINFO ht = {};
    ht.pt.x = x;
    ht.pt.y = y;
    return NodeFromItem(reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht))));
}

LRESULT TTreeView::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    canvas_.Release();   // a DC taken for painting outside WM_PAINT lives until the tree's next message
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
        LRESULT r = DefaultProc(msg, wp, lp);
        if (!Handle()) return r;
        // The handler acts on the node under the mouse, which a press on any part of it selects.
        TVHITTESTINFO ht = {};
        ht.pt.x = GET_X_LPARAM(lp);
        ht.pt.y = GET_Y_LPARAM(lp);
        HTREEITEM hit = reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&ht)));
        if (hit && (ht.flags & TVHT_ONITEM) &&
            hit != reinterpret_cast<HTREEITEM>(SendMessageA(Handle(), TVM_GETNEXTITEM, TVGN_CARET, 0)))
            SendMessageA(Handle(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hit));
        MouseMessage(msg, wp, lp);
        return r;
    }
    default:
        return TWinControl::WndProc(msg, wp, lp);
    }
}

bool TTreeView::OnNotify(NMHDR *hdr, LRESULT &result)
{
    switch (hdr->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
        if (quiet_ || !OnChange) return false;
        auto *nm = reinterpret_cast<NMTREEVIEWA *>(hdr);
        TTreeNode *node = reinterpret_cast<TTreeNode *>(nm->itemNew.lParam);
        SafeCall([&] { OnChange(node); });
        return false;
    }
    case NM_CUSTOMDRAW: {
        auto *cd = reinterpret_cast<NMTVCUSTOMDRAW *>(hdr);
        result = CDRF_DODEFAULT;
        if (!OnCustomDrawItem && !OnAfterDrawItem) return true;
        if (cd->nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
            return true;
        }
        TTreeNode *node = reinterpret_cast<TTreeNode *>(cd->nmcd.lItemlParam);
        if (!node) return true;
        if (cd->nmcd.dwDrawStage == CDDS_ITEMPOSTPAINT) {
            if (OnAfterDrawItem)
                PaintOnItemDC(cd->nmcd.hdc, [&] { OnAfterDrawItem(node, cd->nmcd.uItemState); });
            return true;
        }
        if (cd->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return true;
        if (OnCustomDrawItem) {
            bool defaultDraw = true;
            PaintOnItemDC(cd->nmcd.hdc, [&] {
                OnCustomDrawItem(node, cd->nmcd.uItemState, defaultDraw);
                if (!defaultDraw) {
                    result = CDRF_SKIPDEFAULT;
                } else if (canvas_.Changed()) {
                    canvas_.TextWidth(std::string());   // selects the canvas font into the DC
                    cd->clrText = ColorToRGB(canvas_.Font().Color);
                    cd->clrTextBk = ColorToRGB(canvas_.BrushColor());
                    result = CDRF_NEWFONT;
                }
            });
            if (result == CDRF_SKIPDEFAULT) return true;
        }
        if (OnAfterDrawItem) result |= CDRF_NOTIFYPOSTPAINT;
        return true;
    }
    default:
        return false;
    }
}

}  // namespace ui
