// Tree view over comctl32's SysTreeView32.
// (Contract: the engine's scanners and count painter use the members marked [engine]; keep them.)
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>

namespace ui {

class TCanvas;
class TTreeView;

class TTreeNode {
public:
    void *Data = nullptr;                         // [engine] the node's record
    int AbsoluteIndex() const;                    // [engine] from 0 over all nodes in display order
    int Level() const;                            // [engine] 0 for a root node
    TTreeNode *Parent() const { return parent_; } // [engine]
    int Count() const { return static_cast<int>(children_.size()); }   // [engine] children
    TTreeNode *Item(int i) const { return children_[static_cast<size_t>(i)]; }   // [engine]
    RECT DisplayRect(bool textOnly) const;        // [engine] client coordinates of the tree
    HTREEITEM ItemId() const { return id_; }
    TTreeView *Owner() const { return owner_; }
    std::string Text() const;
    void SetText(const std::string &text);
    void SetImageIndex(int i);
    void SetSelectedIndex(int i);
    void SetStateIndex(int i);                    // picture i of the state image list
    int StateIndex() const;
    void Expand(bool recurse);

private:
    friend class TTreeView;
    TTreeView *owner_ = nullptr;
    TTreeNode *parent_ = nullptr;
    HTREEITEM id_ = nullptr;
    std::vector<TTreeNode *> children_;
};

class TTreeView /* : public TWinControl (ui's control base) */ {
public:
    HWND Handle() const;
    int Width() const;                            // [engine] the control's width in pixels
    TCanvas *Canvas();                            // [engine] paints on the tree outside WM_PAINT
    int NodeCount() const;                        // [engine] all nodes
    TTreeNode *Node(int absoluteIndex) const;     // [engine] nullptr when out of range
    TTreeNode *AddChild(TTreeNode *parent, const std::string &text, void *data);   // parent nullptr: root
    void Clear();
    void FullExpand();
    TTreeNode *Selected() const;
    void SetSelected(TTreeNode *node);
};

}  // namespace ui
