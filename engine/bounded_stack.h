// A fixed-capacity stack for the engine's indentation, parenthesis and
// saved-layout stacks. A push onto a full stack is dropped and a pop from an
// empty stack leaves the destination unchanged, so a deeply nested statement
// never stops a run; it only loses the marks it could not store.
#pragma once

#include <cstddef>
#include <vector>

namespace prax {

inline constexpr std::size_t kStackCapacity = 1024;

template <typename T>
class BoundedStack {
public:
    // Pushes a copy of `value`; ignored when the stack already holds kStackCapacity entries.
    void push(const T &value)
    {
        if (items_.size() < kStackCapacity)
            items_.push_back(value);
    }
    // Moves the newest entry into `out`; `out` is untouched when the stack is empty.
    void pop(T &out)
    {
        if (items_.empty())
            return;
        out = std::move(items_.back());
        items_.pop_back();
    }
    // Removes the newest entry, if any.
    void drop()
    {
        if (!items_.empty())
            items_.pop_back();
    }
    const T *top() const { return items_.empty() ? nullptr : &items_.back(); }
    bool empty() const { return items_.empty(); }
    std::size_t size() const { return items_.size(); }
    void clear() { items_.clear(); }

private:
    std::vector<T> items_;
};

} // namespace prax
