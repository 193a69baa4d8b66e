// Clause layout operations. The stacks drop pushes when full and leave their
// destination alone when popped empty, so deep nesting never stops a run.
#include "engine/layout.h"

#include "engine/options.h"
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
    // A new layout starts with none of the layout extras' marks of the one it
    // was copied from; close_column stays, since a SELECT after UNION keeps
    // the field of the subquery it stands in.
    layout.paren_depth = 0;
    layout.list_paren = false;
    layout.create_table = false;
    layout.in_join = false;
    layout.with_list = false;
    layout.after_set_operator = false;
    layout.in_parens = false;
    engine_state.statement_open = engine_state.statement_open && left < 0;
}

void begin_statement_layout()
{
    EngineState &st = engine_state;
    st.layout = ClauseLayout{};
    st.saved_layouts.clear();
    st.current_paren = ParenMark{};
    st.paren_stack.clear();
    st.case_columns.clear();
    st.between_pending = false;
    st.statement_open = true;
    indent_push(format_options.starting_indentation);
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
