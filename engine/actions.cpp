// The rule actions: they decide keyword case, line breaks, alignment and
// indentation, and write through the writer. Each follows its rule's steps in
// order; the layout model is described in engine.h (ClauseLayout).
#include "engine/actions.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string_view>

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

// ---- Layout extras ----

// SQL words beyond the classic keyword rules. all_keyword_case gives them the
// keyword case; case_layout and between_and place some of them.
enum class Word { None, Other, Case, When, Else, End };

bool same_word(const char *text, int len, const char *word)
{
    int i = 0;
    for (; i < len && word[i]; ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        if (c != word[i])
            return false;
    }
    return i == len && word[i] == 0;
}

Word lookup_word(const char *text, int len)
{
    // In byte order, for the binary search: this runs for every name in the flow.
    struct Entry {
        std::string_view word;
        Word kind;
    };
    static constexpr Entry kWords[] = {
        {"ADD", Word::Other}, {"ALTER", Word::Other}, {"ANALYZE", Word::Other}, {"ASC", Word::Other},
        {"BEGIN", Word::Other}, {"BY", Word::Other}, {"CASE", Word::Case}, {"CAST", Word::Other},
        {"CHECK", Word::Other}, {"COLLATE", Word::Other}, {"COLUMN", Word::Other}, {"CONFLICT", Word::Other},
        {"CONSTRAINT", Word::Other}, {"CROSS", Word::Other}, {"CURRENT", Word::Other},
        {"DEFAULT", Word::Other}, {"DELETE", Word::Other}, {"DESC", Word::Other}, {"DO", Word::Other},
        {"ELSE", Word::Else}, {"END", Word::End}, {"ESCAPE", Word::Other}, {"EXCEPT", Word::Other},
        {"EXPLAIN", Word::Other}, {"FALSE", Word::Other}, {"FILTER", Word::Other}, {"FIRST", Word::Other},
        {"FOLLOWING", Word::Other}, {"FOR", Word::Other}, {"FOREIGN", Word::Other}, {"FULL", Word::Other},
        {"FUNCTION", Word::Other}, {"GROUP", Word::Other}, {"IF", Word::Other}, {"ILIKE", Word::Other},
        {"INNER", Word::Other}, {"INSERT", Word::Other}, {"INTERSECT", Word::Other},
        {"INTERVAL", Word::Other}, {"IS", Word::Other}, {"JOIN", Word::Other}, {"KEY", Word::Other},
        {"LAST", Word::Other}, {"LATERAL", Word::Other}, {"LEFT", Word::Other}, {"LIMIT", Word::Other},
        {"MINUS", Word::Other}, {"NATURAL", Word::Other}, {"NOTHING", Word::Other}, {"NULLS", Word::Other},
        {"OFFSET", Word::Other}, {"ONLY", Word::Other}, {"ORDER", Word::Other}, {"OUTER", Word::Other},
        {"OVER", Word::Other}, {"PARTITION", Word::Other}, {"PRECEDING", Word::Other},
        {"PRIMARY", Word::Other}, {"PROCEDURE", Word::Other}, {"RANGE", Word::Other},
        {"RECURSIVE", Word::Other}, {"REFERENCES", Word::Other}, {"RENAME", Word::Other},
        {"REPLACE", Word::Other}, {"RETURNING", Word::Other}, {"RETURNS", Word::Other},
        {"RIGHT", Word::Other}, {"ROW", Word::Other}, {"ROWS", Word::Other}, {"SIMILAR", Word::Other},
        {"THEN", Word::Other}, {"TRIGGER", Word::Other}, {"TRUE", Word::Other}, {"TRUNCATE", Word::Other},
        {"UNBOUNDED", Word::Other}, {"USING", Word::Other}, {"WHEN", Word::When}, {"WINDOW", Word::Other},
        {"WITH", Word::Other}, {"WITHIN", Word::Other},
    };
    static_assert(std::is_sorted(std::begin(kWords), std::end(kWords),
                                 [](const Entry &a, const Entry &b) { return a.word < b.word; }));
    // Per length, a bit per first letter of a word of that length: most names
    // ("o.id", "customer_id", "t") are turned away before any comparison.
    static constexpr auto kStarts = [] {
        std::array<std::uint32_t, 11> starts{};
        for (const Entry &e : kWords)
            starts[e.word.size()] |= 1u << (e.word[0] - 'A');
        return starts;
    }();
    if (len < 2 || len > 10)
        return Word::None;
    char upper[10];
    for (int i = 0; i < len; ++i) {
        const char c = static_cast<char>(text[i] & ~0x20); // ASCII letters to upper case
        if (c < 'A' || c > 'Z')
            return Word::None; // the words are letters only
        if (i == 0 && !(kStarts[static_cast<std::size_t>(len)] & (1u << (c - 'A'))))
            return Word::None;
        upper[i] = c;
    }
    const std::string_view word(upper, static_cast<std::size_t>(len));
    const Entry *it = std::lower_bound(std::begin(kWords), std::end(kWords), word,
                                       [](const Entry &e, std::string_view w) { return e.word < w; });
    return it != std::end(kWords) && it->word == word ? it->kind : Word::None;
}

// all_keyword_case on the words of an aliased item ("a desc ,"): each word that
// is a keyword gets the keyword case, the name and the alias keep theirs.
void case_keywords_in_item(char *text, int len)
{
    static constexpr const char *kClassic[] = {"ALL", "ANY", "AS", "BETWEEN", "CONTAINS", "EXISTS",
                                               "IN", "LIKE", "NOT", "NULL", "SOME", "TO"};
    int i = 0;
    while (i < len) {
        int end = i;
        while (end < len && text[end] != ' ' && text[end] != ',')
            ++end;
        bool keyword = end > i && lookup_word(text + i, end - i) != Word::None;
        for (const char *word : kClassic)
            keyword = keyword || same_word(text + i, end - i, word);
        if (keyword)
            apply_keyword_case(text + i, end - i);
        i = end + 1;
    }
}

// Is the innermost open parenthesis one that opens no subquery (a function
// call, "over (", a column list)? keywords_in_parens keeps clause keywords
// there in the flow: "extract(year FROM d)", "over (partition by a ORDER BY b)".
bool in_plain_parens()
{
    return opt().keywords_in_parens && layout().paren_depth > 0;
}

// Does a comma at this point end an item of a clause-level list? With
// list_per_line: outside parentheses, or directly inside CREATE TABLE's;
// never inside a function call's. A WITH list breaks after each CTE.
bool comma_ends_line()
{
    const ClauseLayout &l = layout();
    const bool clause_level = l.paren_depth == 0 || (l.paren_depth == 1 && l.list_paren);
    if (opt().with_clauses && l.with_list && l.paren_depth == 0)
        return true;
    if (opt().list_per_line)
        return clause_level;
    return opt().multi_item == 0;
}

// Writes a keyword at the start of a line of its own, at `column`.
void keyword_on_new_line(const char *text, int len, int column)
{
    if (engine_state.column > 0)
        emit_newline(true);
    emit_spaces(column);
    emit_text(text, len);
}

// case_layout:
//   SELECT     CASE
//                  WHEN a = 1 THEN 'one'
//                  ELSE 'other'
//              END AS n
// Returns false when the word is not placed here (no CASE open, or not a CASE word).
bool place_case_word(Word word, char *text, int len)
{
    EngineState &st = engine_state;
    switch (word) {
    case Word::Case: {
        emit_wrapped(text, len);
        // step_indent: WHEN, ELSE and END go by the indentation of the
        // line, not by a CASE far to the right ("SELECT a, b, CASE").
        const int column = opt().step_indent && indent_top() >= 0 ? indent_top() : st.column - len;
        st.case_columns.push(column);
        indent_push(column + 4);
        forget_last_token();
        return true;
    }
    case Word::When:
    case Word::Else:
        if (st.case_columns.empty())
            return false;
        keyword_on_new_line(text, len, *st.case_columns.top() + 4);
        return true;
    case Word::End: {
        if (st.case_columns.empty())
            return false;
        int column = 0;
        st.case_columns.pop(column);
        if (indent_top() == column + 4)
            indent_pop();
        keyword_on_new_line(text, len, column);
        return true;
    }
    default:
        return false;
    }
}

// compact_operators: "count(*)", "t.*", and a unary minus after an operator,
// a comma or a parenthesis ("= -1", "(-x", ", -2"). Returns false when the
// operator is written the classic way.
bool compact_operator(char c)
{
    EngineState &st = engine_state;
    const unsigned char before = st.last_solid;
    if (c == '*' && (before == '(' || before == '.')) {
        drop_pending_blanks();
        emit_wrapped("*", 1);
        st.compact_star = true;
        return true;
    }
    if (c == '-' && before != 0 && std::strchr("(,=<>+-*/%|!^~&", before)) {
        if (before == '(')
            drop_pending_blanks();
        else
            ensure_space(); // "- -1", never "--1", which would start a comment
        emit_wrapped("-", 1);
        st.glue_next = true;
        return true;
    }
    return false;
}

// with_clauses: "WITH a AS (INSERT INTO t ... RETURNING x) SELECT ...": a
// statement directly in a CTE's parenthesis is laid out as a subquery of the
// WITH, so that its ")" brings back the WITH's layout. Returns false, having
// done nothing, elsewhere.
bool open_cte_statement(const char *text, int len)
{
    ClauseLayout &l = layout();
    if (!opt().with_clauses || !l.with_list || l.paren_depth != 1)
        return false;
    --l.paren_depth; // the "(" becomes the subquery's own
    indent_pop();
    const int outer_left = l.keyword_left;
    save_layout();
    set_layout(opt().step_indent ? outer_left + 4 : engine_state.column, len, opt().interval);
    emit_keyword(text, len, opt().step_indent != 0);
    layout().owner_paren = engine_state.current_paren;
    layout().close_column = opt().step_indent ? outer_left : -1;
    return true;
}

// keep_punctuation with match_parenthesis: a ")" that would not fit would
// move a token down, and the parenthesis would span lines on the next run;
// it stands under its "(" at once, as it will then.
bool rparen_would_move(int len)
{
    const EngineState &st = engine_state;
    return opt().keep_punctuation && opt().wrap_enabled && st.column > 0 &&
           st.column - st.pending_blanks + len > opt().wrap_length;
}

} // namespace

bool with_starts_statement()
{
    return format_options.with_clauses && engine_state.statement_open;
}

// WITH [RECURSIVE] at the start of a statement sets its layout, as wide as
// SELECT so that the CTE names line up with the main SELECT's items:
//   WITH       a AS (SELECT ...),
//              b AS (SELECT ...)
//   SELECT     ...
void sql_with(char *text, int len)
{
    len = squeeze_blanks(text, len);
    apply_keyword_case(text, len);
    // After EXEC SQL the statement is anchored at the EXEC SQL's column.
    const int left = layout().keyword_left < 0 ? opt().starting_indentation : layout().keyword_left;
    set_layout(left, len > 6 ? len : 6, opt().interval);
    layout().with_list = true;
    emit_keyword(text, len, true);
}

// UNION [ALL | DISTINCT], EXCEPT, INTERSECT, MINUS alone on a line at the left
// edge of the keyword field; the SELECT after it takes the same field.
//   SELECT     a
//   FROM       t
//   UNION ALL
//   SELECT     b
//   FROM       u
void sql_set_operator(char *text, int len)
{
    len = squeeze_blanks(text, len);
    apply_keyword_case(text, len);
    const int left = layout().keyword_left < 0 ? opt().starting_indentation : layout().keyword_left;
    keyword_on_new_line(text, len, left);
    emit_newline(false);
    layout().after_set_operator = true;
}

// [NATURAL] [INNER | LEFT | RIGHT | FULL | CROSS] [OUTER] JOIN is a clause
// keyword like FROM; its ON stays in the flow:
//   FROM       orders o
//   LEFT JOIN  items i ON i.order_id = o.id
void sql_join(char *text, int len)
{
    len = squeeze_blanks(text, len);
    apply_keyword_case(text, len);
    if (in_plain_parens())
        emit_wrapped(text, len);
    else
        emit_keyword(text, len, true);
    layout().in_join = true;
}

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
    if (opt().statement_reset)
        begin_statement_layout();
    layout().keyword_left = engine_state.column;
    layout().item_column = engine_state.column;
    engine_state.statement_open = true;
    emit_text(text, len);
}

// 10: host-language text is copied unchanged, byte by byte.
void host_char(char *text, int len)
{
    emit_text(text, len);
}

// ---- SQL ----

namespace {

// step_indent: a comment of one line that would end past the wrap length
// behind other text begins a line of its own at the indentation, as a token
// would:
//   AND (x = 1 OR y = 2) -- a remark longer than what is left of the line
void place_comment(const char *text, int len)
{
    const EngineState &st = engine_state;
    if (opt().step_indent && opt().wrap_enabled && st.line_indent >= 0 && indent_top() >= 0 &&
        !std::memchr(text, '\n', static_cast<std::size_t>(len)) &&
        st.column + display_width(text, len, st.last_char) > opt().wrap_length) {
        emit_newline(true);
        emit_spaces(indent_top());
    }
    emit_text(text, len);
}

} // namespace

// 11: a comment is copied and ends its line.
void sql_comment(char *text, int len)
{
    place_comment(text, len);
    emit_line_end();
}

// 38: "-- text" to the end of its line is a comment like rule 11's: copied
// without its trailing blanks, tabs and CR, and it ends its line, so the
// next token can never be joined onto it.
void sql_line_comment(char *text, int len)
{
    while (len > 2 && (text[len - 1] == ' ' || text[len - 1] == '\t' || text[len - 1] == '\r'))
        --len;
    place_comment(text, len);
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
    if (opt().step_indent && layout().keyword_left >= 0) {
        // step_indent: the SELECT begins the next line, 4 columns right
        // of the enclosing field; its ")" comes back to that field's edge:
        //   WHERE      b IN (
        //       SELECT     c
        //       FROM       u
        //   );
        const int outer_left = layout().keyword_left;
        save_layout();
        emit_wrapped(text, 1);
        forget_last_token();
        paren_push();
        mark_paren();
        set_layout(outer_left + 4, len - 1, opt().interval);
        emit_keyword(text + 1, len - 1, true);
        layout().owner_paren = engine_state.current_paren;
        layout().close_column = outer_left;
        return;
    }
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
    forget_last_token();
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
    layout().close_column = -1;
}

// 13: SELECT sets a layout: at starting_indentation for the statement's first,
// else at the enclosing item column (newline_on_select) or where it stands.
void sql_select(char *text, int len)
{
    apply_keyword_case(text, len);
    const ClauseLayout &l = layout();
    if ((opt().set_operators && l.after_set_operator) ||
        (opt().with_clauses && l.with_list && l.paren_depth == 0) ||
        (opt().step_indent && !engine_state.statement_open && l.paren_depth == 0)) {
        // The SELECT after UNION, after a WITH list, or (step_indent) after
        // another statement keyword ("INSERT INTO t (a, b) SELECT ...",
        // "CREATE VIEW v AS SELECT ...") takes over the field in place
        // (nothing saved: the ")" of an enclosing subquery must find the
        // layout outside it), instead of a field far right where it stands.
        set_layout(l.keyword_left < 0 ? opt().starting_indentation : l.keyword_left, len, opt().interval);
        emit_keyword(text, len, true);
        return;
    }
    save_layout();
    // step_indent: a SELECT inside a parenthesis that is not right behind it
    // ("(WITH c AS (...) SELECT ...)", "( /* x */ SELECT") begins a line at
    // the parenthesis' indentation, and its ")" brings back the layout
    // outside, as the ")" of a subquery does.
    const bool in_parens = opt().step_indent && layout().keyword_left >= 0 && layout().paren_depth > 0 &&
                           indent_top() >= 0;
    int left;
    if (layout().keyword_left < 0)
        left = opt().starting_indentation;
    else if (in_parens)
        left = indent_top();
    else if (opt().newline_on_select)
        left = layout().item_column;
    else
        left = engine_state.column;
    set_layout(left, len, opt().interval);
    emit_keyword(text, len, opt().newline_on_select != 0 || in_parens);
    if (in_parens) {
        layout().owner_paren = engine_state.current_paren;
        layout().close_column = -1;
        layout().in_parens = true;
    }
}

// 14: CREATE TABLE, DELETE FROM, INSERT INTO, ... set a statement's layout.
void sql_statement_head(char *text, int len)
{
    len = squeeze_blanks(text, len);
    apply_keyword_case(text, len);
    if (open_cte_statement(text, len))
        return;
    set_layout(opt().starting_indentation, len, opt().interval);
    layout().create_table = len > 6 && same_word(text + len - 5, 5, "TABLE");
    emit_keyword(text, len, true);
}

// 15: GROUP BY, ORDER BY, FOR UPDATE, ... are clause keywords of two words.
void sql_clause_phrase(char *text, int len)
{
    len = squeeze_blanks(text, len);
    apply_keyword_case(text, len);
    if (in_plain_parens()) {
        emit_wrapped(text, len);
        return;
    }
    layout().in_join = false;
    emit_keyword(text, len, true);
}

// 16: UPDATE, DROP, COMMIT, ... set a layout and always begin a new line
// (at the very start of the output that makes a line holding one blank).
void sql_statement_verb(char *text, int len)
{
    apply_keyword_case(text, len);
    if (open_cte_statement(text, len))
        return;
    set_layout(opt().starting_indentation, len, opt().interval);
    if (!opt().statement_reset)
        emit_newline(true);
    else if (engine_state.last_char != 0)
        emit_newline(false); // no empty line at the start of the output
    emit_keyword(text, len, true);
}

// 17: FROM, WHERE, SET, ... are aligned in the current keyword field.
void sql_clause_keyword(char *text, int len)
{
    apply_keyword_case(text, len);
    // "JOIN c ON c.id = o.cid": ON belongs to the JOIN's line.
    const bool join_on = opt().join_clauses && layout().in_join && len == 2 && same_word(text, len, "ON");
    if (join_on || in_plain_parens()) {
        emit_wrapped(text, len);
        return;
    }
    layout().in_join = false;
    emit_keyword(text, len, true);
}

// 18: UNION stands on a line of its own.
void sql_union(char *text, int len)
{
    if (opt().set_operators) {
        sql_set_operator(text, len);
        return;
    }
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
    if (engine_state.between_pending && len == 3) {
        // between_and: "BETWEEN 1 AND 2" stays on its line.
        engine_state.between_pending = false;
        ensure_space();
        emit_wrapped(text, len);
        return;
    }
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
    if (opt().between_and && len == 7 && same_word(text, len, "BETWEEN"))
        engine_state.between_pending = true;
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
    if (opt().all_keyword_case)
        case_keywords_in_item(text, len);
    emit_wrapped(text, len);
    if (comma_ends_line())
        emit_newline(true);
    ensure_space();
}

// 24: "s . t" is written "s.t".
void sql_name(char *text, int len)
{
    len = strip_blanks(text, len);
    if (opt().case_layout || opt().all_keyword_case) {
        const Word word = lookup_word(text, len);
        if (word != Word::None) {
            if (opt().all_keyword_case)
                apply_keyword_case(text, len);
            if (opt().case_layout && place_case_word(word, text, len))
                return;
        }
    }
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
    if (engine_state.column > 0 && !engine_state.glue_next)
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
    if (opt().compact_operators && len == 1 && compact_operator(text[0]))
        return;
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
    ClauseLayout &l = layout();
    // list_per_line: CREATE TABLE t (a int, b text) lists its columns one a line.
    l.list_paren = l.paren_depth == 0 ? l.create_table : l.list_paren;
    ++l.paren_depth;
    if (layout().keyword_left < 0) {
        if (engine_state.column == 0)
            emit_spaces(opt().starting_indentation);
        emit_text(text, len);
    } else if (opt().step_indent && l.paren_depth == 1 && l.create_table) {
        // step_indent: the column list of CREATE TABLE begins the next line,
        // 4 columns right of the keyword field; its ")" comes back to the edge:
        //   CREATE TABLE     t (
        //       a INTEGER NOT NULL, b TEXT CHECK (b <> '')
        //   );
        emit_wrapped(text, len);
        indent_push(l.keyword_left + 4);
        emit_newline(true);
        emit_spaces(l.keyword_left + 4);
    } else {
        const int outer = indent_top();
        emit_wrapped(text, len);
        // step_indent: lines begun inside go 4 columns past the enclosing
        // indentation, not behind a "(" far to the right. A line that began
        // left of that indentation (but not left of the item column) is the
        // base instead, so that "f(g(x" opened on one line steps once, not twice.
        const int behind = engine_state.column;
        const int step = std::min(outer, std::max(engine_state.line_indent, l.item_column)) + 4;
        indent_push(opt().step_indent && outer >= 0 && behind > step ? step : behind);
    }
    forget_last_token();
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
    int close_column = -1;
    if (layout().owner_paren == st.current_paren) {
        close_column = layout().close_column;
        const bool in_parens = layout().in_parens;
        restore_layout();
        // A SELECT after UNION or INSERT in the subquery saved a layout with
        // the same parenthesis; the ")" leaves them all, back to the layout
        // outside (the classic layout stops at the first).
        if (opt().step_indent || opt().with_clauses) {
            while (layout().owner_paren == st.current_paren && !st.saved_layouts.empty())
                restore_layout();
        }
        if (in_parens) {
            // The "(" was one of the layout outside (see sql_select).
            indent_pop();
            if (layout().paren_depth > 0)
                --layout().paren_depth;
        }
    } else {
        indent_pop();
        // The ")" of CREATE TABLE's column list (see sql_lparen).
        if (opt().step_indent && layout().paren_depth == 1 && layout().create_table)
            close_column = layout().keyword_left;
        if (layout().paren_depth > 0)
            --layout().paren_depth;
    }
    if (st.compact_star)
        drop_pending_blanks(); // "count( * )" -> "count(*)"
    if (opt().step_indent && close_column >= 0) {
        emit_newline(false);
        emit_spaces(close_column);
        emit_text(")", 1);
    } else if (opt().match_parenthesis && !opt().step_indent &&
               (st.line > st.current_paren.line || rparen_would_move(len))) {
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
    if (engine_state.compact_star)
        drop_pending_blanks(); // "t. * ," -> "t.*,"
    emit_wrapped(",", 1);
    if (comma_ends_line())
        emit_newline(true);
    ensure_space();
}

// 34: ";" ends the statement; in embedded SQL the host text resumes, less the
// rest of the ";"'s line when that holds only blanks and tabs: the forced
// newline already ended the line, and keeping both would add a line on every run.
void sql_semicolon(char *text, int len)
{
    EngineState &st = engine_state;
    if (indent_top() < 0)
        show_status_message("Unbalanced parenthesis\n");
    if (opt().statement_reset && st.keyword_pad_pending)
        drop_pending_blanks(); // "COMMIT;", not "COMMIT     ;"
    emit_wrapped(text, len);
    emit_newline(true);
    clear_saved_layouts();
    set_layout(-1, 0, 0);
    st.statement_open = true;
    st.between_pending = false;
    st.case_columns.clear();
    if (opt().statement_reset) {
        // The next statement starts clean at the left edge; in pure SQL one
        // empty line comes before it (and none after the last).
        begin_statement_layout();
        if (st.pure_sql == 1)
            st.gap_pending = true;
        else
            scanner_set_condition(ScanCondition::AfterStatement);
        return;
    }
    if (st.pure_sql == 1)
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
