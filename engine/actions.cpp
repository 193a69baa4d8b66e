// The rule actions: they decide keyword case, line breaks, alignment and
// indentation, and write through the writer. Each follows its rule's steps in
// order; the layout model is described in engine.h (ClauseLayout).
#include "engine/actions.h"

#include "engine/engine.h"
#include "engine/state.h"
#include "engine/layout.h"
#include "engine/options.h"
#include "engine/scanner.h"
#include "engine/textops.h"
#include "engine/writer.h"

namespace prax {

namespace {

inline const FormatOptions &opt()
{
    return format_options;
}

inline ClauseLayout &layout()
{
    return engine_state.layout;
}

// Keywords that are written in the flow, with only their case changed.
void keyword_in_flow(char *text, int len)
{
    apply_keyword_case(text, len);
    emit_wrapped(text, len);
}

} // namespace

// ---- Host-language text ----

// 8: EXEC SQL BEGIN/END DECLARE SECTION stays host text; only its case changes.
void host_declare_section(char *text, int len)
{
    apply_keyword_case(text, len);
    emit_text(text, len);
}

// 9: EXEC SQL starts an embedded statement, anchored where it stands:
//      int n;  EXEC SQL SELECT a
//                       FROM   t;
void host_exec_sql(char *text, int len)
{
    apply_keyword_case(text, len);
    scanner_set_condition(ScanCondition::Sql);
    layout().keyword_left = engine_state.column;
    layout().item_column = engine_state.column;
    // The one effect of a run that outlives it: the caller may restore it.
    format_options.starting_indentation = engine_state.column;
    engine_state.indentation_stored = true;
    emit_text(text, len);
}

// 10: host-language text is copied unchanged, byte by byte.
void host_char(char *text, int len)
{
    emit_text(text, len);
}

// ---- SQL ----

// 11: a comment is copied and ends its line.
void sql_comment(char *text, int len)
{
    emit_text(text, len);
    emit_line_end();
}

// 38: "-- text" to the end of its line is a comment like rule 11's: copied
// without its trailing blanks, tabs and CR, and it ends its line, so the
// next token can never be joined onto it.
void sql_line_comment(char *text, int len)
{
    while (len > 2 && (text[len - 1] == ' ' || text[len - 1] == '\t' || text[len - 1] == '\r'))
        --len;
    emit_text(text, len);
    emit_line_end();
}

// 12: "(SELECT" opens a subquery with a layout of its own, anchored just
// behind the parenthesis (or at the item column with newline_on_select):
//   WHERE      b IN (SELECT     c
//                    FROM       u
//                   );
void sql_subquery_select(char *text, int len)
{
    len = strip_blanks(text, len);
    apply_keyword_case(text, len);
    save_layout();
    if (layout().keyword_left < 0) {
        // No statement keyword yet: the subquery starts the statement.
        emit_newline(false);
        emit_spaces(opt().starting_indentation);
        emit_text(text, 1);
        set_layout(engine_state.column, 6, opt().interval); // 6: the width of SELECT
    } else {
        emit_wrapped(text, 1);
    }
    paren_push();
    mark_paren();
    char *keyword = text + 1;
    const int keyword_len = len - 1;
    if (opt().newline_on_select) {
        set_layout(layout().item_column, keyword_len, opt().interval);
        emit_keyword(keyword, keyword_len, true);
    } else {
        set_layout(engine_state.column, keyword_len, opt().interval);
        emit_keyword(keyword, keyword_len, false);
    }
    layout().owner_paren = engine_state.current_paren;
}

// 13: SELECT sets a layout: at starting_indentation for the statement's first,
// else at the enclosing item column (newline_on_select) or where it stands.
void sql_select(char *text, int len)
{
    apply_keyword_case(text, len);
    save_layout();
    int left;
    if (layout().keyword_left < 0)
        left = opt().starting_indentation;
    else if (opt().newline_on_select)
        left = layout().item_column;
    else
        left = engine_state.column;
    set_layout(left, len, opt().interval);
    emit_keyword(text, len, opt().newline_on_select != 0);
}

// 14: CREATE TABLE, DELETE FROM, INSERT INTO, ... set a statement's layout.
void sql_statement_head(char *text, int len)
{
    len = squeeze_blanks(text, len);
    apply_keyword_case(text, len);
    set_layout(opt().starting_indentation, len, opt().interval);
    emit_keyword(text, len, true);
}

// 15: GROUP BY, ORDER BY, FOR UPDATE, ... are clause keywords of two words.
void sql_clause_phrase(char *text, int len)
{
    len = squeeze_blanks(text, len);
    apply_keyword_case(text, len);
    emit_keyword(text, len, true);
}

// 16: UPDATE, DROP, COMMIT, ... set a layout and always begin a new line
// (at the very start of the output that makes a line holding one blank).
void sql_statement_verb(char *text, int len)
{
    apply_keyword_case(text, len);
    set_layout(opt().starting_indentation, len, opt().interval);
    emit_newline(true);
    emit_keyword(text, len, true);
}

// 17: FROM, WHERE, SET, ... are aligned in the current keyword field.
void sql_clause_keyword(char *text, int len)
{
    apply_keyword_case(text, len);
    emit_keyword(text, len, true);
}

// 18: UNION stands on a line of its own.
void sql_union(char *text, int len)
{
    apply_keyword_case(text, len);
    emit_keyword(text, len, true);
    emit_newline(false);
}

// 19: AND / OR by and_or_position:
//   0:  x = 1          1:  x = 1 AND       2:  x = 1 AND y = 2
//       AND y = 2          y = 2
void sql_and_or(char *text, int len)
{
    apply_keyword_case(text, len);
    switch (opt().and_or_position) {
    case 0:
        if (engine_state.column > 0)
            emit_newline(true);
        emit_wrapped(text, len);
        break;
    case 1:
        ensure_space();
        emit_wrapped(text, len);
        emit_newline(true);
        break;
    default:
        ensure_space();
        emit_wrapped(text, len);
        break;
    }
}

// 20: DISTINCT, TABLE, INDEX, ... in the flow.
void sql_object_keyword(char *text, int len)
{
    keyword_in_flow(text, len);
}

// 21: AS, IN, LIKE, NOT, NULL, ... in the flow.
void sql_operator_keyword(char *text, int len)
{
    keyword_in_flow(text, len);
}

// 22: ":h . x" is written ":h.x".
void sql_host_variable(char *text, int len)
{
    len = strip_blanks(text, len);
    emit_wrapped(text, len);
}

// 23: "t1   x ," is written "t1 x ," as one token; it ends a list item.
void sql_aliased_item(char *text, int len)
{
    len = squeeze_blanks(text, len);
    emit_wrapped(text, len);
    if (opt().multi_item == 0)
        emit_newline(true);
    ensure_space();
}

// 24: "s . t" is written "s.t".
void sql_name(char *text, int len)
{
    len = strip_blanks(text, len);
    emit_wrapped(text, len);
}

// 25: literals are written unchanged.
void sql_string(char *text, int len)
{
    emit_wrapped(text, len);
}

// 26: white space of the input, line feeds included, becomes at most one
// blank, and none at the start of a line.
void sql_space(char *, int)
{
    if (engine_state.column > 0)
        ensure_space();
}

// 27
void sql_number(char *text, int len)
{
    emit_wrapped(text, len);
}

// 28: "a ( + )" is written "a (+)".
void sql_outer_join(char *, int)
{
    ensure_space();
    emit_wrapped("(+)", 3);
}

// 29: "!=", "<=", "||", ... get no blanks of their own.
void sql_operator2(char *text, int len)
{
    emit_wrapped(text, len);
}

// 30: one-character operators get a blank on each side, except "." and ":".
void sql_operator1(char *text, int len)
{
    if (len == 1 && (text[0] == '.' || text[0] == ':')) {
        emit_wrapped(text, len);
        return;
    }
    ensure_space();
    emit_wrapped(text, len);
    ensure_space();
}

// 31: lines begun inside parentheses are indented to just behind "(".
//
// Before any statement keyword the "(" is indented to starting_indentation
// only at the start of a line: "refresh(1)" must not gain blanks on every run.
void sql_lparen(char *text, int len)
{
    if (layout().keyword_left < 0) {
        if (engine_state.column == 0)
            emit_spaces(opt().starting_indentation);
        emit_text(text, len);
    } else {
        emit_wrapped(text, len);
        indent_push(engine_state.column);
    }
    paren_push();
    mark_paren();
}

// 32: a ")" that closes the subquery owning the layout brings back the
// enclosing layout. With match_parenthesis, one on a later line than its "("
// stands alone under it:
//   (a +
//    b
//   )
void sql_rparen(char *text, int len)
{
    EngineState &st = engine_state;
    if (layout().owner_paren == st.current_paren)
        restore_layout();
    else
        indent_pop();
    if (opt().match_parenthesis && st.line > st.current_paren.line) {
        emit_newline(true);
        emit_spaces(st.current_paren.column);
        emit_text(")", 1);
    } else {
        emit_wrapped(text, len);
    }
    paren_pop();
}

// 33
void sql_comma(char *, int)
{
    emit_wrapped(",", 1);
    if (opt().multi_item == 0)
        emit_newline(true);
    ensure_space();
}

// 34: ";" ends the statement; in embedded SQL the host text resumes, less the
// rest of the ";"'s line when that holds only blanks and tabs: the forced
// newline already ended the line, and keeping both would add a line on every run.
void sql_semicolon(char *text, int len)
{
    if (indent_top() < 0)
        show_status_message("Unbalanced parenthesis\n");
    emit_wrapped(text, len);
    emit_newline(true);
    clear_saved_layouts();
    set_layout(-1, 0, 0);
    if (engine_state.pure_sql == 1)
        emit_newline(true);
    else
        scanner_set_condition(ScanCondition::AfterStatement);
}

// 35
void sql_bracket(char *text, int len)
{
    emit_wrapped(text, len);
}

// 37: any other byte (vertical tab, NUL, "#", bytes 128-255, ...).
void sql_other(char *text, int len)
{
    emit_wrapped(text, len);
}

} // namespace prax
