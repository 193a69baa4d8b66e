// Clause layout operations. The stacks drop pushes when full and leave their
// destination alone when popped empty, so deep nesting never stops a run.
#include "engine/layout.h"

#include "engine/state.h"

namespace prax {

void set_layout(int left, int width, int gap)
{
    ClauseLayout &layout = engine_state.layout;
    // Held, not wrapped around: a line of millions of nested SELECTs at
    // interval 256 takes the edges past INT_MAX.
    layout.keyword_left = left;
    layout.keyword_right = held_column(static_cast<long long>(left) + width);
    layout.item_column = held_column(static_cast<long long>(layout.keyword_right) + gap);
    if (layout.item_column > 0)
        indent_push(layout.item_column);
}

void indent_push(int column)
{
    engine_state.layout.indent_stack.push(column);
}

void indent_pop()
{
    engine_state.layout.indent_stack.drop();
}

void save_layout()
{
    engine_state.saved_layouts.push(engine_state.layout);
}

void restore_layout()
{
    engine_state.saved_layouts.pop(engine_state.layout);
}

void clear_saved_layouts()
{
    engine_state.saved_layouts.clear();
}

void paren_push()
{
    engine_state.paren_stack.push(engine_state.current_paren);
}

void paren_pop()
{
    engine_state.paren_stack.pop(engine_state.current_paren);
}

void mark_paren()
{
    engine_state.current_paren = {engine_state.column - 1, engine_state.line};
}

} // namespace prax
