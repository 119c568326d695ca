// The item tree for the scanner tests (placeholder until the tree control exists).
#include "PublicFunctionFixture.h"

namespace qmtest {

struct ItemTree::Impl {};

ItemTree::ItemTree() : impl_(new Impl) {}
ItemTree::~ItemTree() = default;
ui::TTreeView *ItemTree::Tree() const { return nullptr; }

}  // namespace qmtest
