// List view in report style over comctl32's SysListView32: columns, grid lines, row selection,
// state images, and either rows of its own or owner data (a count, and OnData fills row i when the
// control is about to show it).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>
#include "ui/Canvas.h"
#include "ui/Control.h"

namespace ui {

class TImageList;

// One row as OnData fills it.
struct TListItem {
    int Index = 0;
    std::string Caption;
    std::vector<std::string> SubItems;   // the columns after the first
    int StateIndex = -1;                 // picture of the state image list, -1: none
    int ImageIndex = -1;
};

class TListView : public TWinControl {
public:
    // A bordered report list with whole-row selection and one selected row at a time.
    void Create(TWinControl *parent, int left, int top, int width, int height, bool ownerData, bool multiSelect = false);
    void SetGridLines(bool on);
    void SetRowSelect(bool on);
    int AddColumn(const std::string &caption, int width, int align = LVCFMT_LEFT);
    int ColumnCount() const;
    int ColumnWidth(int i) const;
    void SetColumnWidth(int i, int width);
    void SetStateImages(TImageList *images);
    void SetSmallImages(TImageList *images);
    TCanvas *Canvas() { return &canvas_; }

    // Owner data.
    void SetItemCount(int count);
    std::function<void(TListItem &item)> OnData;

    // Rows of its own.
    int AddItem(const std::string &caption, const std::vector<std::string> &subItems = {}, int stateIndex = -1,
                void *data = nullptr);
    void SetItemText(int item, int subItem, const std::string &text);   // subItem 0 is the caption
    void SetItemStateIndex(int item, int stateIndex);
    void *ItemData(int item) const;
    void DeleteItem(int item);
    void Clear();

    // Both kinds.
    int ItemCount() const;
    std::string ItemText(int item, int subItem) const;   // as shown
    int ItemStateIndex(int item) const;
    int Selected() const;             // the first selected row, -1 when none
    void SetSelected(int item);       // -1: none
    bool IsSelected(int item) const;
    int TopIndex() const;
    int VisibleRowCount() const;      // rows that fit in the client area
    // The row at a client point (-1: none); flags receives the LVHT_ flags.
    int HitTest(int x, int y, UINT *flags = nullptr) const;
    bool OnStateIcon(int x, int y) const;
    // Makes the control ask OnData again for the rows it shows.
    void UpdateItems(int first, int last);
    void Invalidate() override;
    void Scroll(int dy);

    // Before a cell is drawn: the canvas has the list's font; a font colour set there is used for the
    // cell. subItem 0 is the first column.
    std::function<void(int item, int subItem, UINT state, bool &defaultDraw)> OnCustomDrawSubItem;
    std::function<void(int item)> OnSelectItem;   // the selected row changed (-1: none)

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnNotify(NMHDR *hdr, LRESULT &result) override;

private:
    const TListItem *DataFor(int item);
    bool ownerData_ = false;
    TCanvas canvas_;
    TListItem cache_;
    int cacheIndex_ = -1;
};

}  // namespace ui
