#pragma once
// TCList: a thin owning list. Items are freed when removed, when the list is cleared
// and when the list is destroyed. A list of drawing objects reads and writes itself
// by class name with LoadList / StoreList (core/typeset/Formen.h).
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace kd {

template <class T>
class TCList {
public:
    TCList() = default;
    TCList(TCList&&) noexcept = default;
    TCList& operator=(TCList&&) noexcept = default;

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    T* operator[](int i) const { return items_[static_cast<std::size_t>(i)].get(); }
    T* Items(int i) const { return (*this)[i]; }

    T* Add(std::unique_ptr<T> item) {
        items_.push_back(std::move(item));
        return items_.back().get();
    }
    // Inserts before index i (0..Count()).
    T* Insert(int i, std::unique_ptr<T> item) {
        auto it = items_.insert(items_.begin() + i, std::move(item));
        return it->get();
    }
    // Removes item i and frees it.
    void DeleteItem(int i) { items_.erase(items_.begin() + i); }
    // Takes item i out of the list without freeing it.
    std::unique_ptr<T> Extract(int i) {
        auto p = std::move(items_[static_cast<std::size_t>(i)]);
        items_.erase(items_.begin() + i);
        return p;
    }
    void Exchange(int i, int j) { std::swap(items_[std::size_t(i)], items_[std::size_t(j)]); }
    void ClearItems() { items_.clear(); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    std::vector<std::unique_ptr<T>> items_;
};

} // namespace kd
