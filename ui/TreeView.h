// Tree view over comctl32's SysTreeView32. Nodes are objects of ours; the control holds a pointer to
// each node as the item's data, so a node is found from the control's notifications.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <memory>
#include <string>
#include <vector>
#include "ui/Canvas.h"
#include "ui/Control.h"

namespace ui {

class TImageList;
class TTreeView;

// What lies at a point of the tree (TVM_HITTEST flags).
const UINT htNowhere = TVHT_NOWHERE;
const UINT htOnIcon = TVHT_ONITEMICON;
const UINT htOnLabel = TVHT_ONITEMLABEL;
const UINT htOnStateIcon = TVHT_ONITEMSTATEICON;
const UINT htOnItem = TVHT_ONITEM;          // icon, label or state icon
const UINT htOnIndent = TVHT_ONITEMINDENT;
const UINT htOnButton = TVHT_ONITEMBUTTON;
const UINT htOnRight = TVHT_ONITEMRIGHT;    // right of the text

class TTreeNode {
public:
    void *Data = nullptr;                         // the node's record
    int AbsoluteIndex() const;                    // from 0 over all nodes in display order
    int Level() const;                            // 0 for a root node
    int Index() const;                            // position among its siblings
    TTreeNode *Parent() const { return parent_; }
    int Count() const { return static_cast<int>(children_.size()); }   // children
    TTreeNode *Item(int i) const { return children_[static_cast<size_t>(i)]; }
    bool HasChildren() const { return !children_.empty(); }
    RECT DisplayRect(bool textOnly) const;        // client coordinates of the tree
    HTREEITEM ItemId() const { return id_; }
    TTreeView *Owner() const { return owner_; }
    const std::string &Text() const { return text_; }
    void SetText(const std::string &text);
    int ImageIndex() const { return image_; }
    void SetImageIndex(int i);
    int SelectedIndex() const { return selectedImage_; }
    void SetSelectedIndex(int i);
    int StateIndex() const { return state_; }     // -1: none
    void SetStateIndex(int i);                    // picture i of the state image list
    bool Selected() const;
    bool Expanded() const;
    void Expand(bool recurse);
    void Collapse();

private:
    friend class TTreeView;
    TTreeView *owner_ = nullptr;
    TTreeNode *parent_ = nullptr;
    HTREEITEM id_ = nullptr;
    std::string text_;
    int image_ = -1, selectedImage_ = -1, state_ = -1;
    mutable int absoluteIndex_ = -1;
    std::vector<TTreeNode *> children_;
};

class TTreeView : public TWinControl {
public:
    // A bordered tree with buttons and lines; extraStyle adds TVS_ bits (TVS_FULLROWSELECT ...).
    void Create(TWinControl *parent, int left, int top, int width, int height, DWORD extraStyle = 0);
    TCanvas *Canvas();                            // paints on the tree outside WM_PAINT
    void SetFont(const TFont &font) override;
    void SetImages(TImageList *images);
    void SetStateImages(TImageList *images);
    int Indent() const;
    void SetIndent(int pixels);
    // Whole-row selection; the control allows it only without lines, so lines go.
    void SetRowSelect(bool on);
    // Stops (and restarts) the redrawing while many nodes change.
    void BeginUpdate();
    void EndUpdate();

    int NodeCount() const;                        // all nodes
    TTreeNode *Node(int absoluteIndex) const;     // nullptr when out of range
    int RootCount() const { return static_cast<int>(roots_.size()); }
    TTreeNode *Root(int i) const { return roots_[static_cast<size_t>(i)]; }
    TTreeNode *AddChild(TTreeNode *parent, const std::string &text, void *data);   // parent nullptr: root
    void Delete(TTreeNode *node);                 // the node and all below it
    void Clear();
    void FullExpand();
    TTreeNode *Selected() const;
    void SetSelected(TTreeNode *node);
    UINT GetHitTestInfoAt(int x, int y) const;    // ht... flags
    TTreeNode *GetNodeAt(int x, int y) const;     // the node on whose row (x, y) lies

    // After the selection moved to node (nullptr: none).
    std::function<void(TTreeNode *node)> OnChange;
    // Before the tree draws a node; state holds CDIS_ flags. The canvas is on the tree's DC with the
    // tree's font and the window colour as brush; a font or brush set here is also used for the
    // node's text. defaultDraw false: the tree does not draw the node.
    std::function<void(TTreeNode *node, UINT state, bool &defaultDraw)> OnCustomDrawItem;
    // After the tree drew a node, on the same canvas. A tree that selects whole rows fills each row
    // after OnCustomDrawItem, so what must stay beside the text is painted here.
    std::function<void(TTreeNode *node, UINT state)> OnAfterDrawItem;

protected:
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnNotify(NMHDR *hdr, LRESULT &result) override;

private:
    friend class TTreeNode;
    void SetItemImages(TTreeNode *node);
    void Reindex() const;
    TTreeNode *NodeFromItem(HTREEITEM item) const;
    // Runs paint with the canvas on the custom-draw DC in the tree's font and window colour.
    void PaintOnItemDC(HDC dc, const std::function<void()> &paint);
    void Forget(TTreeNode *node);

    TCanvas canvas_;
    std::vector<std::unique_ptr<TTreeNode>> store_;
    std::vector<TTreeNode *> roots_;
    mutable std::vector<TTreeNode *> order_;      // display order, rebuilt when dirty_
    mutable bool dirty_ = true;
    bool quiet_ = false;                          // no OnChange while nodes are being deleted
};

}  // namespace ui
