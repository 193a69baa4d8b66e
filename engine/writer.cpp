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

// Blanks are written in runs from this block rather than one by one.
constexpr char kBlanks[] = "                                                                "
                           "                                                                ";
constexpr int kBlankRun = sizeof(kBlanks) - 1;

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

} // namespace

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
    count_written(static_cast<std::size_t>(len));
    const std::size_t size = static_cast<std::size_t>(len);
    if (size <= 32 && kBufferSize - g_used >= size) {
        char *dst = g_buffer + g_used;
        for (std::size_t i = 0; i < size; ++i)
            dst[i] = text[i];
        g_used += size;
    } else {
        append(text, size);
    }
    if (!kind.high && !kind.tab_or_lf) {
        st.column = held_column(static_cast<long long>(st.column) + len);
    } else {
        long long column = st.column;
        int tabs = 0; // tabs after the last line feed
        int lines = 0;
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
    }
    set_last(static_cast<unsigned char>(text[len - 1]));
    written_through();
}

} // namespace

void emit_text(const char *text, int len)
{
    if (len > 0)
        put_text(text, len, classify(text, len));
}

void emit_line_end()
{
    EngineState &st = engine_state;
    if (st.crlf)
        write_bytes("\r\n", 2);
    else
        write_bytes("\n", 1);
    st.column = 0;
    st.line = held_column(static_cast<long long>(st.line) + 1);
    set_last('\n');
    written_through();
}

void emit_raw(const char *bytes, int len)
{
    if (len > 0)
        write_bytes(bytes, static_cast<std::size_t>(len));
    written_through();
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
    if (st.last_char != ' ' && st.last_char != '\t')
        emit_space();
    emit_line_end();
}

void emit_spaces(int n)
{
    if (n <= 0)
        return;
    EngineState &st = engine_state;
    st.column = held_column(static_cast<long long>(st.column) + n);
    if (n <= kBlankRun && kBufferSize - g_used >= static_cast<std::size_t>(kBlankRun)) {
        // The usual few blanks: one copy of fixed size; the bytes beyond n
        // are overwritten by what follows.
        count_written(static_cast<std::size_t>(n));
        std::memcpy(g_buffer + g_used, kBlanks, kBlankRun);
        g_used += static_cast<std::size_t>(n);
        n = 0;
    }
    while (n > 0) {
        int run = std::min(n, kBlankRun);
        write_bytes(kBlanks, static_cast<std::size_t>(run));
        n -= run;
    }
    set_last(' ');
    written_through();
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
    if (opt.newline_after_select)
        emit_newline(false);
    else
        emit_spaces(std::max(held_column(static_cast<long long>(st.layout.item_column) - st.column), 1));
}

int indent_top()
{
    const int *top = engine_state.layout.indent_stack.top();
    return top ? *top : -1;
}

void emit_wrapped(const char *text, int len)
{
    EngineState &st = engine_state;
    const FormatOptions &opt = format_options;
    const TextKind kind = classify(text, len);
    if (st.column != 0) {
        // A byte that continues a UTF-8 character never starts a new line: a
        // break there would split the character.
        const unsigned char first = static_cast<unsigned char>(text[0]);
        const bool continues_char = first >= 0x80 && first <= 0xBF && st.last_char >= 0x80;
        if (!opt.wrap_enabled || continues_char ||
            static_cast<long long>(st.column) + (kind.high ? display_width(text, len, st.last_char) : len) <=
                opt.wrap_length) {
            put_text(text, len, kind);
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
