// The item tree for the scanner tests: a shown form holding a tree with the Scan page's layout.
#include "PublicFunctionFixture.h"
#include "ui/Form.h"
#include "ui/TreeView.h"

namespace qmtest {

struct ItemTree::Impl {
    ui::TForm form;
    ui::TTreeView tree;
    TSectionRec root;
    TSectionRec categories[TraceCategoryCount];
};

ItemTree::ItemTree() : impl_(new Impl)
{
    impl_->form.CreateForm("QmEngineTestForm", "engine test", 420, 700, ui::bsSingle, false);
    impl_->tree.Create(&impl_->form, 0, 0, 400, 690);
    impl_->root.CategoryCaption = "My Computer";
    ui::TTreeNode *root = impl_->tree.AddChild(nullptr, "My Computer", &impl_->root);
    for (int c = 0; c < TraceCategoryCount; ++c) {
        TSectionRec &cat = impl_->categories[c];
        cat.Category = c;
        cat.CategoryCaption = CategoryCaption(c);
        ui::TTreeNode *node = impl_->tree.AddChild(root, cat.CategoryCaption, &cat);
        for (TSectionRec *rec : *ScanItemLists[c]) impl_->tree.AddChild(node, rec->ItemCaption, rec);
    }
    impl_->tree.FullExpand();
    // Expanding scrolls to the last node; the tests read the first rows.
    SendMessageA(impl_->tree.Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(root->ItemId()));
    impl_->form.Show();
    PumpMessages();
}

ItemTree::~ItemTree() = default;

ui::TTreeView *ItemTree::Tree() const { return &impl_->tree; }

TSectionRec *ItemTree::RootRecord() const { return &impl_->root; }
TSectionRec *ItemTree::CategoryRecord(int c) const { return &impl_->categories[c]; }

}  // namespace qmtest
