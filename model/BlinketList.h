// The program's ordered list container. It owns its entries: removing an entry or clearing the
// list destroys them.
#pragma once

#include <memory>
#include <utility>
#include <vector>

template <class T> class BlinketList {
public:
    void Append(std::unique_ptr<T> entry) {
        if (entry) {
            entries.push_back(std::move(entry));
        }
    }
    // Puts the entry before the one at the index; an index outside the list puts it at the end.
    void Insert(int index, std::unique_ptr<T> entry) {
        if (entry) {
            entries.insert(At(index) ? entries.begin() + index : entries.end(), std::move(entry));
        }
    }
    int Count() const { return static_cast<int>(entries.size()); }
    bool IsEmpty() const { return entries.empty(); }
    // The entry at the index, or null when the index is outside the list.
    T* At(int index) const {
        return index >= 0 && index < Count() ? entries[static_cast<size_t>(index)].get() : nullptr;
    }
    // Removes and destroys the entry at the index; an index outside the list does nothing.
    void RemoveAt(int index) {
        if (At(index)) {
            entries.erase(entries.begin() + index);
        }
    }
    // Exchanges the entry at the index with its predecessor; false when there is none.
    bool SwapWithPrevious(int index) {
        if (!At(index) || !At(index - 1)) {
            return false;
        }
        std::swap(entries[static_cast<size_t>(index) - 1], entries[static_cast<size_t>(index)]);
        return true;
    }
    // Exchanges the entry at the index with its successor; false when there is none.
    bool SwapWithNext(int index) { return SwapWithPrevious(index + 1); }
    void Clear() { entries.clear(); }

private:
    std::vector<std::unique_ptr<T>> entries;
};
