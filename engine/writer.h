// The output writer. Every byte of formatted output goes through these
// operations, and each keeps engine_state's column, line, last_char and
// last_was_space in step with what was written. Output goes through one
// line buffer; only the layout extras ever take back what is in it (the
// writer's own blanks, or the last token of a line).
//
// Bytes leave the line buffer a line at a time, and the writer's own blanks
// wait for the next byte (see EngineState::line_buf); finish_output ends a
// run. During a run the lines are collected in the writer's own output
// buffer (writer_begin_run) and written in large blocks.
//
// Column accounting: by bytes written, except that a tab counts as tab_width
// columns (not a move to the next tab stop) and that a UTF-8 continuation
// byte (128-191 right after a byte from 128 to 255, the byte written just
// before even in an earlier write) takes no column.
//
// Line ends: every line end the writer makes is CR LF when the run's input
// uses CR LF throughout (engine_state.crlf), else LF.
#pragma once

#include <cstddef>

namespace prax {

// A run's output: between writer_begin_run and writer_end_run the bytes are
// collected in the writer's own 64 KiB buffer and written in large blocks;
// the end writes what is left (a failed write sets engine_state.write_failed).
// out_file must not change in between; finish_output belongs before the end.
// Outside a run each line goes to the stream as it leaves the line buffer.
void writer_begin_run();
void writer_end_run();
// The two as a scope, so that the buffer is written out however the run ends.
struct WriterRun {
    WriterRun() { writer_begin_run(); }
    ~WriterRun() { writer_end_run(); }
    WriterRun(const WriterRun &) = delete;
    WriterRun &operator=(const WriterRun &) = delete;
};

// Writes the text unchanged and accounts for it (len > 0).
void emit_text(const char *text, int len);
// Ends the line with the run's line end (LF, or CR LF), nothing before it.
void emit_line_end();
// Writes bytes that take no place on the line (a byte-order mark): the
// position fields are left as they are.
void emit_raw(const char *bytes, int len);
// Writes one blank.
void emit_space();
// Writes one blank unless the last byte written is white space.
void ensure_space();
// Ends the current line. Without `force`, nothing happens right after a line
// feed; every line ended here ends in a blank or tab before its line feed.
void emit_newline(bool force);
// Writes n blanks; nothing when n <= 0.
void emit_spaces(int n);
// Writes a clause keyword aligned in the current layout's keyword field, then
// pads to the item column or ends the line.
void emit_keyword(const char *text, int len, bool break_before);
// Writes a token in the flow, moving it to a new, indented line when it would
// end beyond wrap_length.
void emit_wrapped(const char *text, int len);
// The blanks the writer made since the last byte are not written (a line end,
// or ";" after "COMMIT", follows them); the column goes back.
void drop_pending_blanks();
// The last token written may not be moved to the next line by keep_punctuation
// (its action has recorded its column, as "(" and CASE do).
void forget_last_token();
// End of a run: writes out what the current line still holds.
void finish_output();
// A run that failed: what the writer still holds is dropped.
void drop_held_output();
// Newest entry of the current layout's indent stack, or -1 when it is empty.
int indent_top();

// Pure helper for the alignment arithmetic, usable without an output stream.
// Leading blanks before a keyword of length n in field [left, right] at `column`.
int keyword_padding(int alignment, int left, int right, int n, int column);
// Columns the text takes on screen when written after the byte `before`.
int display_width(const char *text, int len, unsigned char before);

} // namespace prax
