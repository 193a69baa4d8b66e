// The output writer: places tokens on lines and keeps the position fields of
// engine_state. See writer.h for the contract.
#include "engine/writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "engine/state.h"
#include "engine/options.h"
#include "engine/textops.h"

namespace prax {

namespace {

// The writer's own output buffer. Tokens are a few bytes long: copying them
// here while counting columns, and writing the buffer in large blocks, costs
// far less than a stream call per token.
constexpr std::size_t kBufferSize = 1 << 16;
char g_buffer[kBufferSize];
std::size_t g_used = 0;
// Between writer_begin_run and writer_end_run bytes wait in the buffer;
// outside a run (a caller driving the writer directly) each operation's
// bytes go to the stream at once.
bool g_in_run = false;

void flush()
{
    EngineState &st = engine_state;
    if (g_used > 0 && st.out_file && fwrite_unlocked(g_buffer, 1, g_used, st.out_file) != g_used)
        st.write_failed = true;
    g_used = 0;
}

inline void written_through()
{
    if (!g_in_run)
        flush();
}

// Counts the bytes a run writes and ends the run once they pass its limit:
// "SELECT " N times and then "FROM t " N times makes every FROM re-align
// all the open fields, so 280 KB of input would write 4.6 GB.
inline void count_written(std::size_t len)
{
    EngineState &st = engine_state;
    st.bytes_written += static_cast<long long>(len);
    if (st.output_limit > 0 && st.bytes_written > st.output_limit)
        throw RunAborted{kScannerFailed, "The formatted text would be too large\n"};
}

// Appends to the buffer (counted already).
inline void append(const char *bytes, std::size_t len)
{
    if (kBufferSize - g_used >= len) {
        std::memcpy(g_buffer + g_used, bytes, len);
        g_used += len;
        return;
    }
    while (len > 0) {
        if (g_used == kBufferSize)
            flush();
        const std::size_t n = std::min(len, kBufferSize - g_used);
        std::memcpy(g_buffer + g_used, bytes, n);
        g_used += n;
        bytes += n;
        len -= n;
    }
}

inline void write_bytes(const char *bytes, std::size_t len)
{
    count_written(len);
    append(bytes, len);
    written_through();
}

// A UTF-8 continuation byte (128-191) right after a byte from 128 to 255
// takes no column: "é" is one column on screen, not two.
inline bool takes_no_column(unsigned char c, unsigned char before)
{
    return c >= 0x80 && c <= 0xBF && before >= 0x80;
}

inline void set_last(unsigned char c)
{
    engine_state.last_char = c;
    engine_state.last_was_space = is_space_char(c) ? 1 : 0;
}

// A line without a line feed is written out once it is this long: the
// buffer stays small on host text without line ends, and only the last token
// of a very long line can no longer move.
constexpr std::size_t kLineBufferLimit = 1 << 16;

// Writes out line_buf through its last line feed (or whole, past the limit).
void flush_lines()
{
    EngineState &st = engine_state;
    std::string &buf = st.line_buf;
    std::size_t end = buf.rfind('\n');
    if (end == std::string::npos) {
        if (buf.size() < kLineBufferLimit)
            return;
        end = buf.size() - 1;
    }
    write_bytes(buf.data(), end + 1);
    buf.erase(0, end + 1);
    st.hold_start = -1;
    st.word_start = 0; // the offsets have moved: nothing before the buffer's start may move
}

inline const char *line_end_bytes()
{
    return engine_state.crlf ? "\r\n" : "\n";
}

// Before the next bytes: the empty line between statements, then the blanks
// that wait for them (dropped by trim_trailing_blanks when a line end follows).
inline void open_bytes(unsigned char first)
{
    EngineState &st = engine_state;
    if (__builtin_expect(st.gap_pending, 0)) {
        st.gap_pending = false;
        st.line_buf += line_end_bytes();
    }
    if (st.pending_blanks > 0) {
        if (!((first == '\n' || first == '\r') && format_options.trim_trailing_blanks))
            st.line_buf.append(static_cast<std::size_t>(st.pending_blanks), ' ');
        st.pending_blanks = 0;
    }
    st.keyword_pad_pending = false;
}

} // namespace

void drop_pending_blanks()
{
    EngineState &st = engine_state;
    st.column -= st.pending_blanks;
    st.pending_blanks = 0;
    st.keyword_pad_pending = false;
    set_last(st.last_solid);
}

void drop_held_output()
{
    EngineState &st = engine_state;
    st.line_buf.clear();
    st.pending_blanks = 0;
    st.gap_pending = false;
    st.hold_start = -1;
}

void forget_last_token()
{
    engine_state.hold_start = -1;
}

void finish_output()
{
    EngineState &st = engine_state;
    st.gap_pending = false;
    if (st.pending_blanks > 0 && !format_options.trim_trailing_blanks)
        st.line_buf.append(static_cast<std::size_t>(st.pending_blanks), ' ');
    st.pending_blanks = 0;
    std::string rest;
    rest.swap(st.line_buf);
    st.hold_start = -1;
    write_bytes(rest.data(), rest.size());
}

void writer_begin_run()
{
    g_used = 0;
    g_in_run = true;
}

void writer_end_run()
{
    flush();
    g_in_run = false;
}

int keyword_padding(int alignment, int left, int right, int n, int column)
{
    const long long l = left, r = right;
    switch (alignment) {
    case 1: return held_column((r + l - n) / 2 - column); // C++ division truncates toward zero
    case 2: return held_column(r - n - column);
    default: return held_column(l - column); // 0, and any value a hand-edited profile may hold
    }
}

int display_width(const char *text, int len, unsigned char before)
{
    int width = 0;
    for (int i = 0; i < len; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        width += takes_no_column(c, before) ? 0 : 1;
        before = c;
    }
    return width;
}

namespace {

// What the column count of a text needs to know: most tokens hold no tab,
// line feed or byte from 128 to 255, and then each byte is one column.
struct TextKind {
    bool high = false;      // a byte from 128 to 255 (a UTF-8 continuation takes no column)
    bool tab_or_lf = false; // a tab (tab_width columns) or a line feed
};

inline TextKind classify(const char *text, int len)
{
    unsigned char any = 0;
    bool tab_or_lf = false;
    for (int i = 0; i < len; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        any |= c;
        tab_or_lf |= c == '\t' || c == '\n';
    }
    return TextKind{any >= 0x80, tab_or_lf};
}

// emit_text with the text's kind known.
void put_text(const char *text, int len, TextKind kind)
{
    if (len <= 0)
        return;
    EngineState &st = engine_state;
    open_bytes(static_cast<unsigned char>(text[0]));
    if (st.line_indent < 0)
        st.line_indent = st.column;
    if (st.line_buf.empty() || st.line_buf.back() == ' ' || st.line_buf.back() == '\n')
        st.word_start = static_cast<int>(st.line_buf.size());
    st.line_buf.append(text, static_cast<std::size_t>(len));
    int lines = 0;
    if (!kind.high && !kind.tab_or_lf) {
        st.column = held_column(static_cast<long long>(st.column) + len);
    } else {
        long long column = st.column;
        int tabs = 0; // tabs after the last line feed
        unsigned char before = st.last_char;
        for (int i = 0; i < len; ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (c == '\n') {
                ++lines;
                column = 0;
                tabs = 0;
            } else if (!takes_no_column(c, before)) {
                ++column;
                tabs += c == '\t';
            }
            before = c;
        }
        st.column = held_column(column + static_cast<long long>(tabs) * (format_options.tab_width - 1));
        st.line = held_column(static_cast<long long>(st.line) + lines);
        if (lines > 0)
            st.line_indent = 0; // the text's own last line (of a comment, a literal)
    }
    st.hold_start = -1;
    st.glue_next = false;
    st.compact_star = false;
    st.last_solid = static_cast<unsigned char>(text[len - 1]);
    set_last(st.last_solid);
    if (lines > 0 || st.line_buf.size() >= kLineBufferLimit)
        flush_lines();
}

} // namespace

// compact_operators glues a unary minus to the token behind it ("-1", "-x");
// a token that itself starts with "-" keeps a blank from it, or "- --c" would
// become "---c", one comment, and "- ->" would become "-->".
static void keep_minus_apart(const char *text)
{
    if (engine_state.glue_next && text[0] == '-')
        ensure_space();
}

void emit_text(const char *text, int len)
{
    if (len <= 0)
        return;
    keep_minus_apart(text);
    put_text(text, len, classify(text, len));
}

void emit_line_end()
{
    EngineState &st = engine_state;
    if (st.gap_pending && st.column == 0) {
        // statement_reset: this line end is the empty line between statements.
        st.gap_pending = false;
        st.pending_blanks = 0;
    }
    open_bytes('\n');
    st.line_buf += line_end_bytes();
    st.column = 0;
    st.line_indent = -1;
    st.line = held_column(static_cast<long long>(st.line) + 1);
    st.last_solid = '\n';
    set_last('\n');
    flush_lines();
}

void emit_raw(const char *bytes, int len)
{
    if (len > 0)
        engine_state.line_buf.append(bytes, static_cast<std::size_t>(len));
}

void emit_space()
{
    emit_spaces(1);
}

void ensure_space()
{
    if (!engine_state.last_was_space)
        emit_space();
}

void emit_newline(bool force)
{
    EngineState &st = engine_state;
    if (!force && st.last_char == '\n')
        return;
    if (st.gap_pending && st.column == 0)
        ; // the line end is the empty line between statements: no blank
    else if (format_options.trim_trailing_blanks)
        st.pending_blanks = 0;
    else if (st.last_char != ' ' && st.last_char != '\t')
        emit_space();
    emit_line_end();
}

void emit_spaces(int n)
{
    if (n <= 0)
        return;
    EngineState &st = engine_state;
    st.column = held_column(static_cast<long long>(st.column) + n);
    st.pending_blanks = held_column(static_cast<long long>(st.pending_blanks) + n);
    st.keyword_pad_pending = false;
    set_last(' ');
}

void emit_keyword(const char *text, int len, bool break_before)
{
    EngineState &st = engine_state;
    const FormatOptions &opt = format_options;
    if (st.column > 0 && break_before)
        emit_newline(false);
    emit_spaces(keyword_padding(opt.alignment, st.layout.keyword_left, st.layout.keyword_right,
                                len, st.column));
    emit_text(text, len);
    if (opt.newline_after_select) {
        emit_newline(false);
    } else {
        emit_spaces(std::max(held_column(static_cast<long long>(st.layout.item_column) - st.column), 1));
        st.keyword_pad_pending = true;
    }
}

int indent_top()
{
    const int *top = engine_state.layout.indent_stack.top();
    return top ? *top : -1;
}

namespace {

bool is_closing_punctuation(const char *text, int len)
{
    return len == 1 && (text[0] == ',' || text[0] == ';' || text[0] == ')');
}

// keep_punctuation: "," (or ";", ")") does not fit behind `held`, the last
// token of the line; the break goes before `held` instead, when something
// stands before it on the line and it is no punctuation itself. Returns
// false when the token cannot move.
bool move_last_token_down(const char *text, int len)
{
    EngineState &st = engine_state;
    if (st.hold_start < 0)
        return false;
    const std::string &buf = st.line_buf;
    const std::size_t line_start = buf.rfind('\n') == std::string::npos ? 0 : buf.rfind('\n') + 1;
    // The token moves with what it is glued to ("MIN(o.at)", "x::int"): a
    // line end between them would be a blank in the flow on the next run,
    // and the line would come out otherwise.
    std::size_t start = static_cast<std::size_t>(std::min(st.hold_word_start, st.hold_start));
    std::size_t prev_end = std::min(start, static_cast<std::size_t>(st.hold_prev_end));
    while (prev_end > line_start && buf[prev_end - 1] == ' ')
        --prev_end;
    if (prev_end <= line_start || buf.find_first_not_of(' ', line_start) >= prev_end)
        return false;
    std::string held = buf.substr(start);
    if (held.empty() || is_closing_punctuation(held.data(), static_cast<int>(held.size())))
        return false;
    // The column at prev_end: back from the held token's over what lies between.
    const std::size_t between = static_cast<std::size_t>(st.hold_prev_end) - prev_end;
    const char *from = buf.data() + prev_end;
    const long long tabs = std::count(from, from + between, '\t');
    const int prev_column = held_column(st.hold_prev_column - display_width(from, static_cast<int>(between), 0) -
                                        tabs * (format_options.tab_width - 1));
    // Where the token would have gone had it wrapped itself: ")" may have
    // closed a parenthesis since. A word that began before the token began
    // in the indentation in force now.
    const int indent = start < static_cast<std::size_t>(st.hold_start) ? indent_top() : st.hold_indent;
    st.pending_blanks = 0; // "a ," becomes "a,": the blank would end the line
    st.line_buf.resize(prev_end);
    st.column = prev_column;
    st.last_solid = static_cast<unsigned char>(st.line_buf.back());
    set_last(st.last_solid);
    emit_newline(true);
    emit_spaces(indent);
    emit_text(held.data(), static_cast<int>(held.size()));
    emit_text(text, len);
    return true;
}

} // namespace

void emit_wrapped(const char *text, int len)
{
    if (len > 0)
        keep_minus_apart(text);
    EngineState &st = engine_state;
    const FormatOptions &opt = format_options;
    const TextKind kind = classify(text, len);
    if (st.column != 0) {
        // A byte that continues a UTF-8 character never starts a new line: a
        // break there would split the character.
        const unsigned char first = static_cast<unsigned char>(text[0]);
        const bool continues_char = first >= 0x80 && first <= 0xBF && st.last_char >= 0x80;
        const long long end =
            static_cast<long long>(st.column) + (kind.high ? display_width(text, len, st.last_char) : len);
        if (!opt.wrap_enabled || end <= opt.wrap_length || continues_char) {
            const int prev_end = static_cast<int>(st.line_buf.size());
            const int prev_column = st.column - st.pending_blanks;
            // Punctuation behind the last token joins it: "name)" (or
            // "name )") moves down as one when the ";" behind it does not fit.
            const int glued_to = is_closing_punctuation(text, len) ? st.hold_start : -1;
            put_text(text, len, kind);
            if (opt.keep_punctuation && st.last_char != '\n') {
                if (glued_to >= 0) {
                    st.hold_start = glued_to;
                    return;
                }
                st.hold_indent = indent_top();
                st.hold_prev_end = prev_end;
                st.hold_prev_column = prev_column;
                st.hold_start = static_cast<int>(st.line_buf.size()) - len;
                st.hold_word_start = st.word_start;
            }
            return;
        }
        if (opt.keep_punctuation && is_closing_punctuation(text, len)) {
            // "id ," that would end past the wrap length by its blank alone
            // becomes "id,", so that a second run decides the same.
            if (st.pending_blanks > 0 && st.column - st.pending_blanks + len <= opt.wrap_length) {
                const int glued_to = st.hold_start; // as "id,": it joins the token
                drop_pending_blanks();
                emit_text(text, len);
                st.hold_start = glued_to;
                return;
            }
            // Nothing can move (the token before stands alone at its
            // line's indentation): the punctuation stays on the line.
            if (!move_last_token_down(text, len))
                emit_text(text, len);
            return;
        }
        emit_newline(true);
    }
    const int indent = indent_top();
    if (indent < 0) {
        std::string message = "Error detected, unbalanced parenthesis near token ";
        message.append(text, static_cast<std::size_t>(len));
        show_status_message(message);
    }
    emit_spaces(indent);
    put_text(text, len, kind);
}

} // namespace prax
