#include "ui/ListView.h"
#include <cstring>
#include "ui/Application.h"
#include "ui/ImageList.h"

namespace ui {

void TListView::Create(TWinControl *parent, int left, int top, int width, int height, bool ownerData, bool multiSelect)
{
    ownerData_ = ownerData;
    CreateHandle(parent, WC_LISTVIEWA,
                 WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | (multiSelect ? 0 : LVS_SINGLESEL) |
                     (ownerData ? LVS_OWNERDATA : 0),
                 WS_EX_CLIENTEDGE, left, top, width, height);
    if (ownerData) SendMessageA(Handle(), LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    SetRowSelect(true);
    canvas_.SetFont(font_);
}

void TListView::SetGridLines(bool on)
{
    SendMessageA(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, on ? LVS_EX_GRIDLINES : 0);
}

void TListView::SetRowSelect(bool on)
{
    SendMessageA(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, on ? LVS_EX_FULLROWSELECT : 0);
}

int TListView::AddColumn(const std::string &caption, int width, int align)
{
    LVCOLUMNA c = {};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    c.fmt = align;
    c.cx = width;
    c.pszText = const_cast<char *>(caption.c_str());
    int n = ColumnCount();
    c.iSubItem = n;
    return static_cast<int>(SendMessageA(Handle(), LVM_INSERTCOLUMNA, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(&c)));
}

int TListView::ColumnCount() const
{
    HWND header = reinterpret_cast<HWND>(SendMessageA(Handle(), LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int TListView::ColumnWidth(int i) const
{
    return static_cast<int>(SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0));
}

void TListView::SetColumnWidth(int i, int width)
{
    SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(i), MAKELPARAM(width, 0));
}

void TListView::SetStateImages(TImageList *images)
{
    SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

void TListView::SetSmallImages(TImageList *images)
{
    SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

void TListView::SetItemCount(int count)
{
    cacheIndex_ = -1;
    SendMessageA(Handle(), LVM_SETITEMCOUNT, static_cast<WPARAM>(count < 0 ? 0 : count), 0);
    InvalidateRect(Handle(), nullptr, TRUE);
}

int TListView::AddItem(const std::string &caption, const std::vector<std::string> &subItems, int stateIndex, void *data)
{
    LVITEMA it = {};
    it.mask = LVIF_TEXT | LVIF_PARAM;
    it.iItem = ItemCount();
    it.pszText = const_cast<char *>(caption.c_str());
    it.lParam = reinterpret_cast<LPARAM>(data);
    int index = static_cast<int>(SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
    if (index < 0) return -1;
    for (size_t i = 0; i < subItems.size(); ++i) SetItemText(index, static_cast<int>(i + 1), subItems[i]);
    if (stateIndex >= 0) SetItemStateIndex(index, stateIndex);
    return index;
}

void TListView::SetItemText(int item, int subItem, const std::string &text)
{
    LVITEMA it = {};
    it.iSubItem = subItem;
    it.pszText = const_cast<char *>(text.c_str());
    SendMessageA(Handle(), LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
}

void TListView::SetItemStateIndex(int item, int stateIndex)
{
    LVITEMA it = {};
    it.stateMask = LVIS_STATEIMAGEMASK;
    // A list view's state index is one-based (0 = none): picture k is index k + 1.
    it.state = INDEXTOSTATEIMAGEMASK(stateIndex < 0 ? 0 : stateIndex + 1);
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
}

void *TListView::ItemData(int item) const
{
    LVITEMA it = {};
    it.mask = LVIF_PARAM;
    it.iItem = item;
    if (!SendMessageA(Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return nullptr;
    return reinterpret_cast<void *>(it.lParam);
}

void TListView::DeleteItem(int item) { SendMessageA(Handle(), LVM_DELETEITEM, static_cast<WPARAM>(item), 0); }

void TListView::Clear()
{
    cacheIndex_ = -1;
    if (ownerData_) SetItemCount(0);
    else SendMessageA(Handle(), LVM_DELETEALLITEMS, 0, 0);
}

int TListView::ItemCount() const { return static_cast<int>(SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0)); }

std::string TListView::ItemText(int item, int subItem) const
{
    // The control says only how much it copied: a full buffer may have cut the text, so try a
    // larger one until the text fits.
    std::string buf(1024, '\0');
    for (;;) {
        LVITEMA it = {};
        it.iSubItem = subItem;
        it.pszText = &buf[0];
        it.cchTextMax = static_cast<int>(buf.size());
        const LRESULT n =
            SendMessageA(Handle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
        // The control may point at its own copy of the text instead of filling the buffer.
        if (it.pszText != &buf[0]) return it.pszText ? it.pszText : "";
        const size_t got = n > 0 ? static_cast<size_t>(n) : 0;
        if (got + 1 < buf.size() || buf.size() >= (1u << 30)) return buf.c_str();
        buf.assign(buf.size() * 2, '\0');
    }
}

int TListView::ItemStateIndex(int item) const
{
    UINT s = static_cast<UINT>(SendMessageA(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_STATEIMAGEMASK));
    int k = static_cast<int>((s & LVIS_STATEIMAGEMASK) >> 12);
    return k - 1;   // one-based in the control, 0 = none
}

int TListView::Selected() const
{
    return static_cast<int>(SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::SetSelected(int item)
{
    LVITEMA it = {};
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.state = 0;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&it));
    if (item < 0) return;
    it.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
    SendMessageA(Handle(), LVM_ENSUREVISIBLE, static_cast<WPARAM>(item), FALSE);
}

bool TListView::IsSelected(int item) const
{
    return (SendMessageA(Handle(), LVM_GETITEMSTATE, static_cast<WPARAM>(item), LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

int TListView::TopIndex() const { return static_cast<int>(SendMessageA(Handle(), LVM_GETTOPINDEX, 0, 0)); }

int TListView::VisibleRowCount() const { return static_cast<int>(SendMessageA(Handle(), LVM_GETCOUNTPERPAGE, 0, 0)); }

int TListView::HitTest(int x, int y, UINT *flags) const
{
    LVHITTESTINFO ht = {};
    ht.pt.x = x;
    ht.pt.y = y;
    int item = static_cast<int>(SendMessageA(Handle(), LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&ht)));
    if (flags) *flags = ht.flags;
    return item < 0 ? -1 : ht.iItem;
}

bool TListView::OnStateIcon(int x, int y) const
{
    UINT flags = 0;
    return HitTest(x, y, &flags) >= 0 && (flags & LVHT_ONITEMSTATEICON);
}

void TListView::UpdateItems(int first, int last)
{
    cacheIndex_ = -1;
    SendMessageA(Handle(), LVM_REDRAWITEMS, static_cast<WPARAM>(first), last);
}

void TListView::Invalidate()
{
    cacheIndex_ = -1;
    TWinControl::Invalidate();
}

void TListView::Scroll(int dy) { SendMessageA(Handle(), LVM_SCROLL, 0, dy); }

const TListItem *TListView::DataFor(int item)
{
    if (!OnData || item < 0) return nullptr;
    if (cacheIndex_ != item) {
        cache_ = TListItem();
        cache_.Index = item;
        cacheIndex_ = item;
        try {
            OnData(cache_);
        } catch (const std::exception &e) {
            cacheIndex_ = -1;
            Application->HandleException(e);
            return nullptr;
        }
    }
    return &cache_;
}

LRESULT TListView::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    canvas_.Release();
    if (msg == WM_PAINT) cacheIndex_ = -1;   // each painting asks for fresh rows
    return TWinControl::WndProc(msg, wp, lp);
}

bool TListView::OnNotify(NMHDR *hdr, LRESULT &result)
{
    switch (hdr->code) {
    case LVN_GETDISPINFOA: {
        auto *di = reinterpret_cast<NMLVDISPINFOA *>(hdr);
        LVITEMA &it = di->item;
        const TListItem *row = DataFor(it.iItem);
        if (it.mask & LVIF_TEXT && it.pszText && it.cchTextMax > 0) {
            const std::string *text = nullptr;
            if (row) {
                if (it.iSubItem == 0) text = &row->Caption;
                else if (static_cast<size_t>(it.iSubItem) <= row->SubItems.size())
                    text = &row->SubItems[static_cast<size_t>(it.iSubItem - 1)];
            }
            lstrcpynA(it.pszText, text ? text->c_str() : "", it.cchTextMax);
        }
        if (it.mask & LVIF_IMAGE) it.iImage = row && row->ImageIndex >= 0 ? row->ImageIndex : I_IMAGENONE;
        if (it.mask & LVIF_STATE) {
            it.stateMask |= LVIS_STATEIMAGEMASK;
            it.state = (it.state & ~LVIS_STATEIMAGEMASK) |
                       INDEXTOSTATEIMAGEMASK(row && row->StateIndex >= 0 ? row->StateIndex + 1 : 0);
        }
        result = 0;
        return true;
    }
    case LVN_ITEMCHANGED: {
        auto *nm = reinterpret_cast<NMLISTVIEW *>(hdr);
        if ((nm->uChanged & LVIF_STATE) && ((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED) && OnSelectItem) {
            int sel = Selected();
            SafeCall([&] { OnSelectItem(sel); });
        }
        return false;
    }
    case NM_CUSTOMDRAW: {
        auto *cd = reinterpret_cast<NMLVCUSTOMDRAW *>(hdr);
        result = CDRF_DODEFAULT;
        if (!OnCustomDrawSubItem) return true;
        DWORD stage = cd->nmcd.dwDrawStage;
        if (stage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
        } else if (stage == CDDS_ITEMPREPAINT) {
            result = CDRF_NOTIFYSUBITEMDRAW;
        } else if (stage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM)) {
            canvas_.Release();
            TFont keep = canvas_.Font();
            canvas_.SetHandle(cd->nmcd.hdc);
            canvas_.SetFont(font_);
            canvas_.SetBrushColor(clWindow);
            canvas_.ResetChanged();
            bool defaultDraw = true;
            int item = static_cast<int>(cd->nmcd.dwItemSpec);
            SafeCall([&] { OnCustomDrawSubItem(item, cd->iSubItem, cd->nmcd.uItemState, defaultDraw); });
            if (!defaultDraw) {
                result = CDRF_SKIPDEFAULT;
            } else {
                // The colour holds for this cell only: every cell starts from the list's own font.
                canvas_.TextWidth(std::string());
                cd->clrText = ColorToRGB(canvas_.Font().Color);
                result = CDRF_NEWFONT;
            }
            canvas_.Detach();
            canvas_.SetWindow(Handle());
            canvas_.SetFont(keep);
        }
        return true;
    }
    default:
        return false;
    }
}

}  // namespace ui
