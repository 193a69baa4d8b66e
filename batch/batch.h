// The batch job without the window system: backup naming, formatting one file
// in place, reading and writing job-list files (".lis"), and the loops that the
// Batch job dialog and the command-line formatter run over a list of files.
//
// Nothing here includes Qt or shows anything: results are integers, and what a
// caller wants to say about a file it says through a BatchReporter.
// Paths are byte strings as the file system has them; "/" separates directories.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace prax {

// Results of the batch job beyond format_file's own (0, -1, -2, -3, -999).
enum BatchResult : int {
    kBackupFailed = -12,      // the file cannot be moved to its backup name; it is untouched
    kFileChanged = -13,       // another program changed the file during the run; it is left as it is
    kJobListNotOpened = -20,  // a job-list file cannot be opened (reading or writing)
    kJobListNotWritten = -21, // a job-list file was opened but not written completely
    kJobListTooLarge = -22,   // a job-list file is larger than kMaxJobListBytes
};

// Results of check_file beyond format_file's failures.
enum CheckResult : int {
    kCheckUnchanged = 0, // formatting the file gives its own content
    kCheckDiffers = 1,   // formatting the file would change it
};

// How a file is formatted in place. The defaults are the Batch job's.
struct InPlaceOptions {
    // Keep the previous text under the file's backup name (backup_name).
    bool backup = true;
    // A file whose formatted text equals its text is not written at all: same
    // inode, same modification time, no backup.
    bool skip_unchanged = false;
    // A file with no SQL is left untouched and counts as done (result 0).
    bool no_sql_is_success = false;
};

// Called once per file a loop reports on: the file as given and its result.
using BatchReporter = std::function<void(const std::string &file, int result)>;

// The backup name of `path`: its last character replaced by "~" when the path
// holds a full stop anywhere (directories included), else ".~" appended.
//   "/sql/QUERY.SQL" -> "/sql/QUERY.SQ~"    "/sql/README" -> "/sql/README.~"
//   "/v1.0/QUERY"    -> "/v1.0/QUER~"       "NAME."       -> "NAME~"
std::string backup_name(const std::string &path);

// Formats the file at `path` in place. The engine writes into a temporary
// file beside the original; only a complete result replaces the file (one
// rename), so the file's own name holds a whole text at every moment, even
// when the process is killed. With `options.backup` the previous text is kept
// under the backup name (an older file of that name is deleted first).
//
// Results: 0; kBackupFailed when the path names no file (missing, a dangling
// link; nothing is touched, the backup name included) or the file cannot be
// moved aside; kInputNotOpened when it is not a regular file (a directory, a
// FIFO, a device) or cannot be read; kFileChanged when another program changed
// or replaced the file while it was formatted (its new text stays); otherwise
// format_file's failure. On any failure the file keeps its text and no backup
// of this run is left.
//
// - A symlink is followed: its target is formatted (its backup lies beside the
//   target) and the link stays a link.
// - A file whose own name (as given) ends in a host-language extension is
//   formatted as host-language source (is_host_source_path).
// - The formatted file keeps the mode (set-id bits included), the owner and
//   group where the process may set them, and the extended attributes. A file
//   with several hard links is written through its own inode, after a complete
//   copy of its text is safe under the backup name (or, without a backup,
//   under "NAME.prax-saved-XXXXXX" until the write is done), so every name
//   shows the formatted text.
// - format_options.starting_indentation (which the engine changes for
//   host-language text) is the same afterwards as before.
// - The temporary file ".prax-batch-PID-XXXXXX" is removed on SIGINT, SIGTERM,
//   SIGHUP and SIGPIPE; one left by a killed run is removed by the next run
//   over the same folder.
//
// Each call is a run of its own; InPlaceRun formats several files as one run.
int format_in_place(const std::string &path);
int format_in_place(const std::string &path, const InPlaceOptions &options);

// Several files formatted in place as one run: each file (device and inode,
// whatever path names it) is formatted once; a second path to a file already
// done returns 0 and touches nothing. Stale temporary files are looked for
// once per folder.
class InPlaceRun {
public:
    explicit InPlaceRun(const InPlaceOptions &options = InPlaceOptions{});
    ~InPlaceRun();
    InPlaceRun(const InPlaceRun &) = delete;
    InPlaceRun &operator=(const InPlaceRun &) = delete;

    // format_in_place within this run.
    int format(const std::string &path);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// Formats the regular file `path` into an unnamed temporary file and compares
// the result with the file's content a block at a time; writes nothing else.
// Returns kCheckUnchanged, kCheckDiffers, kInputNotOpened (also for anything
// but a regular file) or format_file's failure (kOutputFailed also when no
// temporary file can be made).
int check_file(const std::string &path);

// ---- Job lists -----------------------------------------------------------

// Entries are equal when they are equal without regard to ASCII letter case.
bool same_job_entry(std::string_view a, std::string_view b);

// Appends `entry` to `list` unless an equal entry is there. Returns true when added.
bool add_job_entry(std::vector<std::string> &list, const std::string &entry);

// `dir` and `name` joined with one "/" between them.
std::string join_path(const std::string &dir, const std::string &name);

// The entry that adding file `name` of directory `dir` gives: the directory with
// "/" appended when it has none at its end, then the name. Returns an empty
// string when the name adds nothing: empty, a pattern ("*..."), or beginning
// with a blank.
std::string make_job_entry(const std::string &dir, const std::string &name);

// Writes `list` to the job-list file `path` (created or truncated): one entry
// per line, each ended by CR LF, the last entry first; empty entries are left
// out. Returns 0, kJobListNotOpened, or kJobListNotWritten.
int write_job_list(const std::string &path, const std::vector<std::string> &list);

// The largest job-list file read_job_list reads.
inline constexpr long long kMaxJobListBytes = 64LL * 1024 * 1024;

// Reads the job-list file `path`: words separated by white space (blank, tab,
// LF, VT, FF, CR); each word is appended to `list` unless an equal entry is
// there. Words are kept whole whatever their length. Returns 0;
// kJobListNotOpened (also for anything but a regular file) or
// kJobListTooLarge, with `list` unchanged.
int read_job_list(const std::string &path, std::vector<std::string> &list);

// ---- Batch loops ---------------------------------------------------------

// The Batch job dialog's Beautify: one InPlaceRun over every non-empty entry,
// from the last entry to the first. `on_result`, when set, hears every file's
// result, failures and successes. Returns the number of files that failed.
int run_batch(const std::vector<std::string> &entries, const BatchReporter &on_result = {});

// prax-format --in-place: one InPlaceRun over the files in the order given.
// `on_failure`, when set, hears each file whose result is not 0.
// Returns the number of files that failed.
int format_files_in_place(const std::vector<std::string> &files, const BatchReporter &on_failure = {});
int format_files_in_place(const std::vector<std::string> &files, const InPlaceOptions &options,
                          const BatchReporter &on_failure = {});

// prax-format --job-list: reads the job-list file and formats its entries in
// the batch's order (as run_batch). When the list cannot be read, `on_failure`
// hears (list_path, kJobListNotOpened or kJobListTooLarge) and 1 is returned.
// Otherwise returns the number of files that failed.
int format_job_list_in_place(const std::string &list_path, const BatchReporter &on_failure = {});

// prax-format --check: check_file for each file in the order given.
// `on_report`, when set, hears each file that would change (kCheckDiffers) or
// cannot be formatted (a negative result). Returns how many it heard about.
int check_files(const std::vector<std::string> &files, const BatchReporter &on_report = {});

// A short English reason for a result of the functions above, for messages
// such as "prax-format: a.sql: no SQL found".
const char *batch_result_text(int result);

} // namespace prax
