// The engine's process-wide working state, for the engine's own files only.
//
// Nothing outside engine/ (and the engine's white-box tests) includes this
// header: callers reach the engine through engine/engine.h, whose entries set
// up, run and reset this state under one lock.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "engine/bounded_stack.h"
#include "engine/engine.h"

namespace prax {

// A parenthesis as written: its output column and the output line it is on.
struct ParenMark {
    int column = 0;
    int line = -1; // -1: no open parenthesis
    bool operator==(const ParenMark &) const = default;
};

// The layout of the clause being written.
//
//   SELECT     a, b        keyword field [keyword_left, keyword_right] = [0, 6]
//   FROM       t           item_column = keyword_right + interval = 11
//   WHERE      x = 1
//              AND y = 2   lines the writer begins: indent_stack's newest entry
struct ClauseLayout {
    int keyword_left = -1;          // left edge of the keyword field; -1: no statement keyword yet
    int keyword_right = 0;          // keyword_left plus the width of the keyword that set it
    int item_column = 0;            // column at which the clause's items begin
    BoundedStack<int> indent_stack; // indentation of every line the writer begins
    ParenMark owner_paren;          // left parenthesis of the subquery owning this layout

    // Layout extras; set_layout clears all but close_column for each new layout.
    int paren_depth = 0;            // parentheses open in this layout that open no subquery
    bool list_paren = false;        // the depth-1 parenthesis holds a clause-level list (CREATE TABLE t (...))
    bool create_table = false;      // the layout was set by CREATE TABLE
    bool in_join = false;           // a JOIN keyword was placed: its ON stays in the flow
    bool with_list = false;         // the layout was set by WITH: its CTEs, one per line
    bool after_set_operator = false; // UNION & co. was placed: the next SELECT takes this field
    int close_column = -1;          // step_indent: column of the ")" that closes this subquery
    bool in_parens = false;         // step_indent: a SELECT set it inside a parenthesis of the
                                    //   layout outside, which its ")" closes
};

struct EngineState {
    // Output of the run in progress.
    std::FILE *out_file = nullptr;  // every writer operation writes here
    bool write_failed = false;      // a write to out_file failed during this run

    // Position of the writer; `column` is preset from the request before a run.
    int column = 0;                 // column of the next character; a tab counts tab_width
    int line = 0;                   // line breaks written in this run
    unsigned char last_char = 0;    // last byte written (0: none)
    int last_was_space = 0;         // 1 when last_char is white space

    // Mode, decided by the detection pass.
    int pure_sql = 0;               // 1: the whole input is SQL; 0: host text with embedded SQL
    int sql_seen = 0;               // a statement keyword was met during detection

    // Facts of the run, set before the scan (see survey_input in engine.cpp).
    bool host_source = false;       // the caller says: host-language source (FormatRequest)
    bool crlf = false;              // every line end the engine writes is CR LF
    bool byte_order_mark = false;   // the input begins with EF BB BF (written first, no column)
    long long output_limit = 0;     // bytes the output may reach; 0: no limit
    long long bytes_written = 0;    // bytes written so far in this run
    bool indentation_stored = false; // an EXEC SQL stored its column into starting_indentation
    bool end_exec_shown = false;    // the END-EXEC message was shown in this run

    // Clause layout and parentheses; carried across statements of one run.
    ClauseLayout layout;                    // layout of the clause being written
    BoundedStack<ClauseLayout> saved_layouts; // layouts of enclosing SELECTs
    ParenMark current_paren;                // innermost open parenthesis
    BoundedStack<ParenMark> paren_stack;    // enclosing open parentheses

    // The line being written. Bytes reach out_file a line at a time, and the
    // blanks the writer makes wait until a non-blank byte follows, so that the
    // layout extras can drop them at a line end or before ";" and ")", and
    // move the last token of a line down before ",", ";" or ")".
    std::string line_buf;           // bytes of the current line not yet in out_file
    int pending_blanks = 0;         // writer-made blanks not yet in line_buf (counted in column)
    unsigned char last_solid = 0;   // last byte put into line_buf or out_file (0: none)
    bool gap_pending = false;       // statement_reset: an empty line goes before the next byte
    bool keyword_pad_pending = false; // the pending blanks are a clause keyword's padding
    int hold_start = -1;            // keep_punctuation: line_buf offset of the last token placed
                                    //   in the flow, -1: none that may move
    int hold_prev_end = 0;          // line_buf length before that token and its blanks
    int hold_prev_column = 0;       // column there
    int hold_indent = 0;            // indentation in force when that token was placed
    int word_start = 0;             // line_buf offset of the last text written after a blank
                                    //   or a line end: where the run of glued tokens begins
    int hold_word_start = 0;        // word_start when the held token was placed
    int line_indent = -1;           // column of the first byte written on the current line;
                                    //   -1: nothing written on it yet

    // Layout extras: state of the statement being written.
    bool statement_open = true;     // no statement keyword has set a layout in this statement yet
    bool between_pending = false;   // between_and: BETWEEN met, its AND not yet
    bool glue_next = false;         // compact_operators: no blank after this unary minus
    bool compact_star = false;      // compact_operators: the last token was "*" of "(*" or ".*"
    BoundedStack<int> case_columns; // case_layout: column of every open CASE
};

extern EngineState engine_state;

// Resets every field but out_file to its start-up value.
void reset_engine_state();

// Start conditions of the scanner. AfterStatement is HOST right behind an
// embedded statement's ";", where the rest of that line is consumed.
enum class ScanCondition { Detect, Host, Sql, AfterStatement };

// Ends a run early with a result and a status message (a run that would write
// too much, an input that cannot be read again). Thrown by the writer and the
// scanner, caught where the scan starts.
struct RunAborted {
    int result;
    const char *message;
};

// Columns and layout edges are held to this bound, so that the column
// arithmetic (sums of two of them) never overflows an int, whatever the
// input (a 58 MB line of nested SELECTs at interval 256 reaches 2^31).
inline constexpr int kMaxColumn = 1 << 30;
inline int held_column(long long value)
{
    return value > kMaxColumn ? kMaxColumn : (value < -kMaxColumn ? -kMaxColumn : static_cast<int>(value));
}

// One token as the scanner chose it: the rule number and the matched bytes.
struct TraceToken {
    int rule;
    std::string text;
    bool operator==(const TraceToken &) const = default;
};

// Test hook: scans `input` from start condition `start` with every rule action
// running as in a real run (output discarded), and returns the tokens in the
// order their actions ran. A match rejected by the aliased-item rule is not listed.
// In the SQL condition, pure_sql is set so that ";" does not return to HOST.
std::vector<TraceToken> scan_tokens(const std::string &input, ScanCondition start);

} // namespace prax
