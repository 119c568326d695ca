#include "app/ResultTreeUnit.h"
#include "app/ResultItemUnit.h"
#include "ui/TreeView.h"

namespace {

TSectionRec *Rec(ui::TTreeNode *node)
{
    return node ? static_cast<TSectionRec *>(node->Data) : nullptr;
}

void Lower(TSectionRec *rec)
{
    if (!rec) return;
    rec->Count = rec->Count - 1 < 0 ? 0 : rec->Count - 1;
}

void SetTick(ui::TTreeNode *node, bool value)
{
    node->SetStateIndex(value ? TreeStateTicked : TreeStateEmpty);
    if (TSectionRec *r = Rec(node)) r->Checked = value ? 1 : 0;
}

ui::TTreeNode *AddCopy(ui::TTreeView *tree, ui::TTreeNode *parent, ui::TTreeNode *from, int image)
{
    TSectionRec *rec = Rec(from);
    ui::TTreeNode *node = tree->AddChild(parent, from->Text(), rec);
    node->SetImageIndex(image);
    node->SetSelectedIndex(image);
    node->SetStateIndex(rec && rec->Checked ? TreeStateTicked : TreeStateEmpty);
    return node;
}

}  // namespace

void CopyResultTree(ui::TTreeView *scanTree, ui::TTreeView *resultTree)
{
    resultTree->BeginUpdate();
    resultTree->Clear();
    ui::TTreeNode *root = nullptr;
    ui::TTreeNode *category = nullptr;
    for (int i = 0; i < scanTree->NodeCount(); ++i) {
        ui::TTreeNode *from = scanTree->Node(i);
        TSectionRec *rec = Rec(from);
        switch (from->Level()) {
        case 0:
            root = AddCopy(resultTree, nullptr, from, TreeImageRoot);
            category = nullptr;
            break;
        case 1:
            category = nullptr;
            if (root && rec && rec->Count > 0) category = AddCopy(resultTree, root, from, rec->Category + 1);
            break;
        case 2:
            // An item with a count always follows its own category's node, which then was copied.
            if (category && rec && rec->Count > 0) AddCopy(resultTree, category, from, TreeImageItem);
            break;
        default:
            break;
        }
    }
    if (resultTree->NodeCount() > 0) resultTree->Node(0)->Expand(true);
    resultTree->EndUpdate();
    if (resultTree->NodeCount() > 0) resultTree->SetSelected(resultTree->Node(0));
}

bool ToggleResultNode(ui::TTreeView *resultTree, ui::TTreeNode *node)
{
    const bool value = node->StateIndex() != TreeStateTicked;
    TSectionRec *rec = Rec(node);
    switch (node->Level()) {
    case 0:
        for (int i = 0; i < resultTree->NodeCount(); ++i) SetTick(resultTree->Node(i), value);
        for (int i = 0; i < node->Count(); ++i)
            if (TSectionRec *cat = Rec(node->Item(i))) CheckResultItems(cat->Category, 0, value);
        break;
    case 1:
        for (int i = 0; i < node->Count(); ++i) SetTick(node->Item(i), value);
        SetTick(node, value);
        if (rec) CheckResultItems(rec->Category, 0, value);
        break;
    default:
        SetTick(node, value);
        if (rec) CheckResultItems(rec->Category, rec->ItemNo, value);
        break;
    }
    return value;
}

void LowerResultCounts(ui::TTreeView *resultTree, ui::TTreeNode *node, const std::string &itemName)
{
    if (!node) return;
    switch (node->Level()) {
    case 0:
        Lower(Rec(node));
        for (int i = 1; i < resultTree->NodeCount(); ++i) {
            ui::TTreeNode *n = resultTree->Node(i);
            if (n->Level() == 2 && n->Text() == itemName) {
                Lower(Rec(n));
                Lower(Rec(n->Parent()));
                break;
            }
        }
        break;
    case 1:
        Lower(Rec(node));
        for (int i = 0; i < node->Count(); ++i) {
            if (node->Item(i)->Text() == itemName) {
                Lower(Rec(node->Item(i)));
                break;
            }
        }
        Lower(Rec(node->Parent()));
        break;
    default:
        Lower(Rec(node));
        Lower(Rec(node->Parent()));
        if (node->Parent()) Lower(Rec(node->Parent()->Parent()));
        break;
    }
}

void CountResultItemsFor(int32_t category, int32_t itemNo, TSectionRec &rec)
{
    rec.Count += CountMatchingResultItems(category, itemNo);
}

void RecountScanTree(ui::TTreeView *scanTree)
{
    for (int i = 0; i < scanTree->NodeCount(); ++i) {
        ui::TTreeNode *n = scanTree->Node(i);
        if (n->Level() == 1)
            if (TSectionRec *r = Rec(n)) r->Count = 0;
    }
    for (int i = 1; i < scanTree->NodeCount(); ++i) {
        ui::TTreeNode *n = scanTree->Node(i);
        TSectionRec *r = Rec(n);
        if (n->Level() != 2 || !r) continue;
        r->Count = 0;
        CountResultItemsFor(r->Category, r->ItemNo, *r);
        if (TSectionRec *cat = Rec(n->Parent())) cat->Count += r->Count;
    }
    ui::TTreeNode *root = scanTree->Node(0);
    if (TSectionRec *r = Rec(root)) {
        r->Count = 0;
        for (int i = 0; i < scanTree->NodeCount(); ++i) {
            ui::TTreeNode *n = scanTree->Node(i);
            if (n->Level() == 1)
                if (TSectionRec *cat = Rec(n)) r->Count += cat->Count;
        }
    }
}
