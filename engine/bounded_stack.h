// A fixed-capacity stack for the engine's indentation, parenthesis and
// saved-layout stacks. A push onto a full stack is dropped and a pop from an
// empty stack leaves the destination unchanged, so a deeply nested statement
// never stops a run; it only loses the marks it could not store.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace prax {

inline constexpr std::size_t kStackCapacity = 1024;

// Popped slots keep their storage: a ClauseLayout saved and restored once per
// subquery would otherwise allocate its indent stack anew every time (10 MB of
// 50-deep subqueries spent most of its time in the allocator). A push copies
// into a slot that already has capacity; a pop swaps the slot's value out, so
// the slot keeps the destination's old storage for the next push.
template <typename T>
class BoundedStack {
public:
    BoundedStack() = default;
    BoundedStack(BoundedStack &&) noexcept = default;
    BoundedStack &operator=(BoundedStack &&) noexcept = default;
    // Copies take the entries only, never the spare storage.
    BoundedStack(const BoundedStack &other)
        : items_(other.items_.begin(), other.items_.begin() + static_cast<std::ptrdiff_t>(other.count_)),
          count_(other.count_)
    {
    }
    BoundedStack &operator=(const BoundedStack &other)
    {
        if (this != &other) {
            items_.assign(other.items_.begin(), other.items_.begin() + static_cast<std::ptrdiff_t>(other.count_));
            count_ = other.count_;
        }
        return *this;
    }

    // Pushes a copy of `value`; ignored when the stack already holds kStackCapacity entries.
    void push(const T &value)
    {
        if (count_ >= kStackCapacity)
            return;
        if (count_ < items_.size())
            items_[count_] = value;
        else
            items_.push_back(value);
        ++count_;
    }
    // Moves the newest entry into `out`; `out` is untouched when the stack is empty.
    void pop(T &out)
    {
        if (count_ == 0)
            return;
        using std::swap;
        swap(out, items_[--count_]);
    }
    // Removes the newest entry, if any.
    void drop()
    {
        if (count_ > 0)
            --count_;
    }
    const T *top() const { return count_ == 0 ? nullptr : &items_[count_ - 1]; }
    bool empty() const { return count_ == 0; }
    std::size_t size() const { return count_; }
    void clear() { count_ = 0; }

private:
    std::vector<T> items_; // items_[0, count_) are the entries; the rest is spare storage
    std::size_t count_ = 0;
};

} // namespace prax
