// The result tree's work on the item records it shares with the scan tree: the build from the scan
// tree, the ticks, the lowered counts after an exclusion and the recount after Finish. The main
// window's handlers call these with its two trees.
#pragma once
#include <cstdint>
#include <string>
#include "engine/CatalogueUnit.h"

namespace ui {
class TTreeView;
class TTreeNode;
}

// Tree pictures of the data module's tree image list.
constexpr int TreeImageRoot = 0;
constexpr int TreeImageItem = 5;
constexpr int TreeStateTicked = 6;
constexpr int TreeStateEmpty = 7;

// Copies the root, and the categories and items whose Count is above 0, from the scan tree; the new
// nodes carry the very records of the scan tree. Expands everything and selects the root (which
// raises the tree's change event). An empty scan tree leaves the result tree empty.
void CopyResultTree(ui::TTreeView *scanTree, ui::TTreeView *resultTree);

// A tick on a result-tree node: the node (root: every node; category: it and its items) shows the
// new state and its records take the new Checked value; the result items follow.
// Returns the new value.
bool ToggleResultNode(ui::TTreeView *resultTree, ui::TTreeNode *node);

// Lowers the counts after the row named itemName was excluded while `node` was chosen.
void LowerResultCounts(ui::TTreeView *resultTree, ui::TTreeNode *node, const std::string &itemName);

// Recounts every item of the scan tree from the result collections, then its categories and root.
void RecountScanTree(ui::TTreeView *scanTree);

// Adds to rec.Count one for every result item that matches (category, itemNo).
void CountResultItemsFor(int32_t category, int32_t itemNo, TSectionRec &rec);
