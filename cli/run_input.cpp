// Formatting or checking one input: see run_input.h.
//
// The engine reads its input twice (a detection pass, then the formatting
// pass), so it is given a regular file: the input itself when it is one, else
// a copy (a pipe, a FIFO, /dev/stdin, `<(cat q.sql)`). Files are handed to the
// engine as /proc/self/fd/N of descriptors opened here, so the engine opens
// exactly the file that was checked, never a name someone could swap.
#include "cli/run_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "cli/diff.h"
#include "cli/fd_io.h"
#include "engine/engine.h"

namespace prax::cli {

namespace {

constexpr std::size_t kChunk = 1 << 16;

std::string fd_path(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

// Compares two files chunk by chunk, never holding either whole.
bool same_content(int a, int b)
{
    struct stat sa, sb;
    if (::fstat(a, &sa) != 0 || ::fstat(b, &sb) != 0 || sa.st_size != sb.st_size)
        return false;
    std::vector<char> x(kChunk), y(kChunk);
    for (off_t at = 0; at < sa.st_size;) {
        const ssize_t n = ::pread(a, x.data(), x.size(), at);
        if (n <= 0 || ::pread(b, y.data(), static_cast<std::size_t>(n), at) != n ||
            std::memcmp(x.data(), y.data(), static_cast<std::size_t>(n)) != 0)
            return false;
        at += n;
    }
    return true;
}

// The input as a readable regular file: its own descriptor, or a copy of a
// non-seekable input in a temporary file.
struct Source {
    int fd = -1;
    bool owned = false;
    std::unique_ptr<TempFile> copy;
    ~Source()
    {
        if (owned)
            ::close(fd);
    }
};

// Returns "" or why the input cannot be read.
std::string open_source(const std::string &name, Source &source)
{
    int fd = 0;
    if (name != "-") {
        fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return "cannot open the input for reading";
        source.owned = true;
        source.fd = fd;
        ::fcntl(fd, F_SETFL, 0); // blocking reads from here on (a FIFO opened without a writer waits no more)
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))
        return "cannot open the input for reading";
    if (S_ISREG(info.st_mode) && ::lseek(fd, 0, SEEK_CUR) >= 0) {
        source.fd = fd;
        return std::string();
    }
    // A device other than a terminal or /dev/null (/dev/zero, /dev/full, a
    // disk) never ends or is no text: copying it would fill the disk.
    if ((S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) && !::isatty(fd) &&
        !(S_ISCHR(info.st_mode) && major(info.st_rdev) == 1 && minor(info.st_rdev) == 3))
        return "cannot format a device (not a file, a pipe or a terminal)";
    source.copy = std::make_unique<TempFile>();
    if (!source.copy->ok())
        return std::string("cannot make a temporary copy of the input: ") + std::strerror(errno);
    if (!copy_fd(fd, source.copy->fd()))
        return std::string("cannot read the input: ") + std::strerror(errno);
    if (source.owned)
        ::close(fd);
    source.owned = false;
    source.fd = source.copy->fd();
    return std::string();
}

EngineRun run_engine(const InputPlan &plan, int in_fd, int out_fd)
{
    format_options = plan.options;
    FormatRequest request;
    request.host_source = plan.host_source;
    EngineRun run;
    capture_engine(run, [&] { return format_file(fd_path(in_fd).c_str(), fd_path(out_fd).c_str(), request); });
    return run;
}

void output_failed(const Arguments &args, Outcome &outcome, int error)
{
    outcome.err += line(args.output, error ? std::string("cannot write the output: ") + std::strerror(error)
                                           : std::string("cannot write the output"));
    outcome.status = kExitChanges;
}

// Formats into `out_fd`; text with no SQL is copied through unchanged.
// Returns false after reporting a failure.
bool format_into(const InputPlan &plan, const Arguments &args, Source &source, int out_fd, Outcome &outcome)
{
    const EngineRun run = run_engine(plan, source.fd, out_fd);
    add_messages(plan, args, run, outcome);
    if (run.result == kNoSqlFound) {
        if (::ftruncate(out_fd, 0) != 0 && errno != EINVAL) {
            output_failed(args, outcome, errno);
            return false;
        }
        ::lseek(out_fd, 0, SEEK_SET);
        if (::lseek(source.fd, 0, SEEK_SET) < 0 || !copy_fd(source.fd, out_fd)) {
            output_failed(args, outcome, errno);
            return false;
        }
        return true;
    }
    if (run.result == kOutputFailed) {
        output_failed(args, outcome, 0);
        return false;
    }
    if (run.result != kFormatOk) {
        report_failure(plan, run, false, outcome);
        return false;
    }
    return true;
}

// Writes the formatted text to --output through a temporary file beside it,
// renamed over it only when complete: a failed run leaves OUTPUT as it was.
// An OUTPUT that exists and is no regular file (a FIFO, /dev/stdout, a
// terminal) is written straight into: it cannot be replaced by a rename; so
// is a name under /dev or /proc (-o /dev/stdout means the standard output,
// not the file it happens to be).
void format_to_output(const InputPlan &plan, const Arguments &args, Source &source, Outcome &outcome)
{
    std::string target = args.output;
    struct stat old;
    const bool exists = ::stat(target.c_str(), &old) == 0;
    const bool special = target.rfind("/dev/", 0) == 0 || target.rfind("/proc/", 0) == 0;
    if (exists && (special || !S_ISREG(old.st_mode))) {
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0)
            return output_failed(args, outcome, errno);
        format_into(plan, args, source, fd, outcome);
        ::close(fd);
        return;
    }
    char resolved[PATH_MAX];
    struct stat link;
    if (::lstat(target.c_str(), &link) == 0 && S_ISLNK(link.st_mode) && ::realpath(target.c_str(), resolved))
        target = resolved; // write the link's target; the link stays
    const std::size_t slash = target.rfind('/');
    TempFile temp(slash == std::string::npos ? "." : target.substr(0, slash + 1), ".prax-format");
    if (!temp.ok())
        return output_failed(args, outcome, errno);
    if (!format_into(plan, args, source, temp.fd(), outcome))
        return;
    if (exists) {
        ::fchmod(temp.fd(), old.st_mode & 07777);
        if (::fchown(temp.fd(), old.st_uid, old.st_gid) != 0) {
            // Not allowed to give the file away: it is the runner's now, as any rewrite makes it.
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(temp.fd(), 0666 & ~mask);
    }
    if (::fsync(temp.fd()) != 0 || !temp.rename_to(target))
        output_failed(args, outcome, errno);
}

} // namespace

void capture_engine(EngineRun &run, const std::function<int()> &work)
{
    run.messages.clear();
    set_status_hook([&run](std::string_view text) {
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos)
                end = text.size();
            if (end > start)
                run.messages.emplace_back(text.substr(start, end - start));
            start = end + 1;
        }
    });
    run.result = work();
    set_status_hook(nullptr);
}

std::string line(const std::string &file, const std::string &text)
{
    return std::string(kProgram) + ": " + file + ": " + text + "\n";
}

// Reports a failed run into `outcome`: the engine's own message is the cause
// of a scanner failure ("input buffer overflow, ...", "input in flex scanner
// failed" for a read error, "The formatted text would be too large").
void report_failure(const InputPlan &plan, const EngineRun &run, bool checking, Outcome &outcome)
{
    std::string cause;
    switch (run.result) {
    case kInputNotOpened: cause = "cannot open the input for reading"; break;
    case kOutputFailed: cause = "cannot write the output"; break;
    case kScannerFailed:
        cause = run.messages.empty() ? "the scanner failed" : run.messages.back();
        break;
    default: cause = "formatting failed (result " + std::to_string(run.result) + ")"; break;
    }
    outcome.err += line(plan.shown_name, cause);
    outcome.status = checking || run.result == kScannerFailed ? kExitUsage : kExitChanges;
}

// The engine's notes on what it took the text for; its other messages
// (an unbalanced parenthesis, say) are warnings about the text.
static bool is_note(const std::string &message)
{
    return message.rfind("Treat the text as ", 0) == 0 || message == "No SQL statements found" ||
           message == "No EXEC SQL statements found in host-language source" ||
           message == "Statements ending with END-EXEC are left as they are";
}

// The engine's messages of a run as lines of `outcome`: notes with -v,
// warnings unless -q; a scanner failure's own message is its cause, reported
// by report_failure.
void add_messages(const InputPlan &plan, const Arguments &args, const EngineRun &run, Outcome &outcome)
{
    const std::size_t shown = run.result == kScannerFailed && !run.messages.empty() ? run.messages.size() - 1
                                                                                    : run.messages.size();
    for (std::size_t i = 0; i < shown; ++i) {
        if (args.verbosity >= (is_note(run.messages[i]) ? 2 : 1))
            outcome.err += line(plan.shown_name, run.messages[i]);
    }
    if (run.result == kNoSqlFound && args.verbosity >= 2)
        outcome.err += line(plan.shown_name, "no SQL: left as it is");
}

Outcome run_input(const InputPlan &plan, const Arguments &args)
{
    Outcome outcome;
    outcome.err = plan.notes;
    const bool checking = args.mode == Mode::kCheck;
    Source source;
    if (std::string error = open_source(plan.name, source); !error.empty()) {
        outcome.err += line(plan.shown_name, error);
        outcome.status = checking ? kExitUsage : kExitChanges;
        return outcome;
    }
    if (!args.output.empty()) {
        format_to_output(plan, args, source, outcome);
        return outcome;
    }

    auto formatted = std::make_unique<TempFile>();
    if (!formatted->ok()) {
        outcome.err += line(plan.shown_name, std::string("cannot make a temporary file: ") + std::strerror(errno));
        outcome.status = checking ? kExitUsage : kExitChanges;
        return outcome;
    }
    const EngineRun run = run_engine(plan, source.fd, formatted->fd());
    add_messages(plan, args, run, outcome);
    if (run.result == kNoSqlFound) {
        // Text with no SQL counts as formatted: passed through as it is.
        if (!checking) {
            formatted.reset();
            outcome.out_file = std::move(source.copy);
            if (!outcome.out_file && !read_whole(source.fd, outcome.out)) {
                outcome.err += line(plan.shown_name, "cannot read the input");
                outcome.status = kExitChanges;
            }
            ::lseek(outcome.out_file ? outcome.out_file->fd() : source.fd, 0, SEEK_SET);
        }
        return outcome;
    }
    if (run.result != kFormatOk) {
        report_failure(plan, run, checking, outcome);
        return outcome;
    }
    if (!checking) {
        ::lseek(formatted->fd(), 0, SEEK_SET);
        outcome.out_file = std::move(formatted);
        return outcome;
    }
    if (same_content(source.fd, formatted->fd()))
        return outcome;
    outcome.status = kExitChanges;
    if (args.check)
        outcome.err += "would reformat " + plan.shown_name + "\n";
    if (args.diff) {
        std::string before, after;
        if (!read_whole(source.fd, before) || !read_whole(formatted->fd(), after)) {
            outcome.err += line(plan.shown_name, "cannot read the texts to compare");
            outcome.status = kExitUsage;
            return outcome;
        }
        outcome.out = unified_diff(plan.shown_name, before, after);
    }
    return outcome;
}

bool emit(Outcome &outcome)
{
    if (!outcome.err.empty()) {
        std::fputs(outcome.err.c_str(), stderr);
        std::fflush(stderr);
    }
    bool ok = write_all(STDOUT_FILENO, outcome.out.data(), outcome.out.size());
    if (outcome.out_file)
        ok = copy_fd(outcome.out_file->fd(), STDOUT_FILENO) && ok;
    return ok;
}

} // namespace prax::cli
