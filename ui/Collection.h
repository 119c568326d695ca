// A collection of owned items kept in the order they were added; an item's index is its position.
#pragma once
#include <memory>
#include <stdexcept>
#include <vector>

namespace ui {

template <class Item>
class TCollection {
public:
    TCollection() = default;
    TCollection(const TCollection &) = delete;
    TCollection &operator=(const TCollection &) = delete;
    virtual ~TCollection() = default;

    int Count() const { return static_cast<int>(items_.size()); }
    // Appends a new item and returns its index.
    int Add()
    {
        items_.push_back(std::make_unique<Item>());
        return Count() - 1;
    }
    Item *Items(int index) const
    {
        if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
        return items_[static_cast<size_t>(index)].get();
    }
    // Removes the item at index; the later items move down by one.
    void Delete(int index)
    {
        if (index < 0 || index >= Count()) throw std::out_of_range("List index out of bounds");
        items_.erase(items_.begin() + index);
    }
    void Clear() { items_.clear(); }
    // Keeps, in order, only the items for which keep(item) is true; one pass.
    template <class Pred>
    void KeepIf(Pred keep)
    {
        std::vector<std::unique_ptr<Item>> kept;
        kept.reserve(items_.size());
        for (auto &p : items_)
            if (keep(*p)) kept.push_back(std::move(p));
        items_.swap(kept);
    }

private:
    std::vector<std::unique_ptr<Item>> items_;
};

}  // namespace ui
