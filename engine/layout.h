// Clause layout operations on engine_state: the keyword field and item column
// of the current clause, its indentation stack, the layouts saved for
// subqueries, and the marks of open parentheses.
#pragma once

namespace prax {

// keyword_left = left, keyword_right = left + width, item_column =
// keyword_right + gap; a positive item column is pushed as the indentation.
void set_layout(int left, int width, int gap);
// statement_reset: the next statement starts from a clean layout at
// starting_indentation, whatever the previous one left open.
void begin_statement_layout();
void indent_push(int column);
void indent_pop();
void save_layout();
void restore_layout();
void clear_saved_layouts();
void paren_push();
void paren_pop();
// current_paren = the parenthesis just written: (column - 1, line).
void mark_paren();

} // namespace prax
