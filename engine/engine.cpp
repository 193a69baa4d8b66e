// The engine's entries (format_file, format_text), its process-wide state and
// its message hook.
#include "engine/engine.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

#include "engine/layout.h"
#include "engine/options.h"
#include "engine/scanner.h"
#include "engine/state.h"
#include "engine/tempfile.h"
#include "engine/writer.h"

namespace prax {

EngineState engine_state;

namespace {
StatusHook g_status_hook;
constexpr std::size_t kOutputBufferSize = 1 << 16;

int held_to(int value, int low, int high)
{
    return value < low ? low : (value > high ? high : value);
}

// A hand-edited profile may hold any int. The options that become blank
// counts and columns are held to the dialog's ranges for the run: with
// "Interval=539238432" every clause keyword would be followed by half a
// gigabyte of blanks, and INT_MIN would overflow the column arithmetic.
// tab_width (always 8) is held to 0..16 for the same reason. The other
// options only choose between cases and need no bounds.
void hold_options_to_ranges(FormatOptions &options)
{
    options.interval = held_to(options.interval, -4, 256);
    options.starting_indentation = held_to(options.starting_indentation, 0, 25600);
    options.tab_width = held_to(options.tab_width, 0, 16);
}
} // namespace

void reset_engine_state()
{
    EngineState &st = engine_state;
    // Bytes the writer still holds belong to the output: never drop them.
    if (st.out_file && !st.line_buf.empty())
        finish_output();
    st.write_failed = false;
    st.column = 0;
    st.last_was_space = 0;
    st.line = 0;
    st.pure_sql = 0;
    st.sql_seen = 0;
    st.last_char = 0;
    st.host_source = false;
    st.crlf = false;
    st.byte_order_mark = false;
    st.output_limit = 0;
    st.bytes_written = 0;
    st.indentation_stored = false;
    st.end_exec_shown = false;
    st.paren_stack.clear();
    st.saved_layouts.clear();
    st.current_paren = ParenMark{};
    st.layout = ClauseLayout{};
    st.line_buf.clear();
    st.pending_blanks = 0;
    st.last_solid = 0;
    st.gap_pending = false;
    st.keyword_pad_pending = false;
    st.hold_start = -1;
    st.hold_prev_end = 0;
    st.hold_prev_column = 0;
    st.hold_indent = 0;
    st.line_indent = -1;
    st.word_start = 0;
    st.hold_word_start = 0;
    st.statement_open = true;
    st.between_pending = false;
    st.glue_next = false;
    st.compact_star = false;
    st.case_columns.clear();
}

void set_status_hook(StatusHook hook)
{
    g_status_hook = std::move(hook);
}

StatusHook status_hook()
{
    return g_status_hook;
}

void show_status_message(std::string_view text)
{
    if (g_status_hook)
        g_status_hook(text);
}

namespace {

// One run at a time: the state above is process-wide.
std::mutex g_run_lock;

// What a run must know of its input before it writes anything.
struct InputSurvey {
    long long size = 0;           // bytes in all
    bool crlf = false;            // holds a line feed, and every line feed follows a CR
    bool byte_order_mark = false; // begins with EF BB BF
};

// Reads the input once to its end and puts it back at the start of its text
// (behind a byte-order mark). False when it cannot be read again (a pipe).
bool survey_input(std::FILE *in, InputSurvey &survey)
{
    char chunk[1 << 16];
    long long line_feeds = 0, after_cr = 0;
    char before = 0;
    std::size_t n;
    unsigned char head[3] = {0, 0, 0};
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) {
        for (std::size_t i = 0; i < n && survey.size + static_cast<long long>(i) < 3; ++i)
            head[survey.size + static_cast<long long>(i)] = static_cast<unsigned char>(chunk[i]);
        const char *p = chunk;
        const char *end = chunk + n;
        while (const char *lf = static_cast<const char *>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) {
            ++line_feeds;
            const char previous = lf == chunk ? before : lf[-1];
            after_cr += previous == '\r';
            p = lf + 1;
        }
        before = chunk[n - 1];
        survey.size += static_cast<long long>(n);
    }
    survey.crlf = line_feeds > 0 && after_cr == line_feeds;
    survey.byte_order_mark = survey.size >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF;
    std::clearerr(in);
    return std::fseek(in, survey.byte_order_mark ? 3 : 0, SEEK_SET) == 0;
}

// Formats `in` into `out` (both open; neither is closed here). The caller
// holds g_run_lock. Returns the scanner's result, or kOutputFailed when the
// output was not written completely (a full disk shows only when the buffered
// output is flushed, so a short write must not be taken for a success).
int run_format(std::FILE *in, std::FILE *out, const FormatRequest &request)
{
    reset_engine_state();
    InputSurvey survey;
    if (!survey_input(in, survey)) {
        // A pipe or FIFO is read to its end by the survey and cannot be read
        // again for the formatting pass: fail rather than write nothing.
        show_status_message("The input cannot be read again from its start\n");
        return kInputNotOpened;
    }
    engine_state.out_file = out;
    engine_state.write_failed = false;
    engine_state.host_source = request.host_source;
    engine_state.crlf = survey.crlf;
    engine_state.byte_order_mark = survey.byte_order_mark;
    // No layout needs more than this; beyond it the text is a pathological
    // nesting whose output would fill the disk.
    engine_state.output_limit = 64 * survey.size + (1 << 20);

    // The record is put back as it was given after the run, except for a
    // starting_indentation the run stored itself (the column of an EXEC SQL)
    // in a classic run.
    const FormatOptions as_given = format_options;
    hold_options_to_ranges(format_options);
    if (request.start_column >= 0) {
        format_options.starting_indentation = held_to(request.start_column, 0, 25600);
        engine_state.column = format_options.starting_indentation;
    }

    if (format_options.statement_reset)
        begin_statement_layout();
    int result;
    {
        // scan_input ends with finish_output, so the line buffer is empty
        // when the run's buffer is written out.
        const WriterRun output;
        result = scan_input(in, ScanCondition::Detect);
    }

    const int stored_indentation = format_options.starting_indentation;
    format_options = as_given;
    // A flag, not a comparison: an EXEC SQL at the column an out-of-range
    // value was held to must still replace that value.
    if (request.start_column < 0 && engine_state.indentation_stored)
        format_options.starting_indentation = stored_indentation;

    const bool written = !engine_state.write_failed && std::fflush(out) == 0 && !std::ferror(out);
    engine_state.out_file = nullptr;
    reset_engine_state();
    if (result == kFormatOk && !written)
        return kOutputFailed;
    return result;
}

// Runs `in` into `out` and closes both; a failed close of `out` (the last
// buffered bytes not written) fails a run that went well.
int run_and_close(std::FILE *in, std::FILE *out, const FormatRequest &request)
{
    int result = run_format(in, out, request);
    std::fclose(in);
    if (std::fclose(out) != 0 && result == kFormatOk)
        result = kOutputFailed;
    return result;
}

// A stream on a copy of `fd`, which stays open when the stream is closed.
std::FILE *stream_on_copy(int fd, const char *mode)
{
    const int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    std::FILE *stream = copy < 0 ? nullptr : ::fdopen(copy, mode);
    if (!stream && copy >= 0)
        ::close(copy);
    return stream;
}

} // namespace

bool is_host_source_path(std::string_view path)
{
    static constexpr std::string_view kExtensions[] = {".c", ".h", ".cc", ".cpp", ".pc", ".pgc",
                                                       ".ec", ".sqc", ".cbl", ".cob", ".cpy", ".pco"};
    const std::size_t slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string_view::npos || dot == 0)
        return false;
    const std::string_view extension = name.substr(dot);
    for (std::string_view known : kExtensions) {
        if (known.size() != extension.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < known.size() && same; ++i) {
            const unsigned char c = static_cast<unsigned char>(extension[i]);
            same = (c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) == static_cast<unsigned char>(known[i]);
        }
        if (same)
            return true;
    }
    return false;
}

int format_file(const char *input_path, const char *output_path, const FormatRequest &request)
{
    std::lock_guard<std::mutex> lock(g_run_lock);
    std::FILE *in = std::fopen(input_path, "r");
    if (!in)
        return kInputNotOpened;
    // fopen accepts a directory on this platform; reading it would fail later.
    struct stat info;
    if (fstat(fileno(in), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(in);
        return kInputNotOpened;
    }
    std::FILE *out = std::fopen(output_path, "w");
    if (!out) {
        std::fclose(in);
        return kOutputFailed;
    }
    std::setvbuf(out, nullptr, _IOFBF, kOutputBufferSize);
    return run_and_close(in, out, request);
}

int format_fds(int in_fd, int out_fd, const FormatRequest &request)
{
    std::lock_guard<std::mutex> lock(g_run_lock);
    struct stat in_info, out_info;
    if (::fstat(in_fd, &in_info) != 0 || !S_ISREG(in_info.st_mode) || ::lseek(in_fd, 0, SEEK_SET) != 0)
        return kInputNotOpened;
    // An empty file is not truncated: on ext4 truncating marks the file for a
    // flush when it is closed, a second disk write before the caller's fsync.
    if (::fstat(out_fd, &out_info) != 0 || !S_ISREG(out_info.st_mode) ||
        (out_info.st_size != 0 && ::ftruncate(out_fd, 0) != 0) || ::lseek(out_fd, 0, SEEK_SET) != 0)
        return kOutputFailed;
    std::FILE *in = stream_on_copy(in_fd, "r");
    if (!in)
        return kInputNotOpened;
    std::FILE *out = stream_on_copy(out_fd, "w");
    if (!out) {
        std::fclose(in);
        return kOutputFailed;
    }
    std::setvbuf(out, nullptr, _IOFBF, kOutputBufferSize);
    return run_and_close(in, out, request);
}

int format_text(std::string_view input, std::string &output, const FormatRequest &request)
{
    std::lock_guard<std::mutex> lock(g_run_lock);
    // fmemopen wants a writable buffer even for reading (an empty one is fine).
    std::string source(input);
    std::FILE *in = fmemopen(source.data(), source.size(), "r");
    if (!in)
        return kInputNotOpened;
    char *buffer = nullptr;
    std::size_t size = 0;
    std::FILE *out = open_memstream(&buffer, &size);
    if (!out) {
        std::fclose(in);
        return kOutputFailed;
    }
    const int result = run_and_close(in, out, request);
    if (result == kFormatOk)
        output.assign(buffer, size);
    std::free(buffer);
    return result;
}

std::vector<TraceToken> scan_tokens(const std::string &input, ScanCondition start)
{
    std::vector<TraceToken> tokens;
    std::string in_path, out_path;
    if (!create_temp_file(in_path) || !create_temp_file(out_path))
        return tokens;
    std::FILE *in = std::fopen(in_path.c_str(), "w+");
    std::FILE *out = std::fopen(out_path.c_str(), "w");
    if (in && out) {
        std::fwrite(input.data(), 1, input.size(), in);
        std::rewind(in);
        reset_engine_state();
        InputSurvey survey;
        survey_input(in, survey);
        engine_state.crlf = survey.crlf;
        engine_state.byte_order_mark = survey.byte_order_mark;
        engine_state.out_file = out;
        if (start == ScanCondition::Sql)
            engine_state.pure_sql = 1;
        scanner_set_trace(&tokens);
        {
            const WriterRun output;
            scan_input(in, start);
        }
        scanner_set_trace(nullptr);
        engine_state.out_file = nullptr;
        reset_engine_state();
    }
    if (in)
        std::fclose(in);
    if (out)
        std::fclose(out);
    std::remove(in_path.c_str());
    std::remove(out_path.c_str());
    return tokens;
}

} // namespace prax
