// The batch job without the window system; see batch.h.
//
// Files are read and written as bytes: on this platform text mode and binary
// mode are the same, and the job-list's CR LF line ends are written explicitly.
#include "batch/batch.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/engine.h"
#include "engine/options.h"
#include "engine/tempfile.h"

namespace prax {
namespace {

// ASCII-only folding: bytes 128-255 are never letters, whatever the locale.
char fold_case(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The white space that separates words of a job-list file.
bool is_list_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The whole content of a file, or nothing when it cannot be opened or read
// (a directory opens but does not read).
std::optional<std::string> read_whole_file(const std::string &path)
{
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::nullopt;
    std::string text;
    char buffer[8192];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed)
        return std::nullopt;
    return text;
}

// Runs format_file and puts back starting_indentation, which the engine sets to
// the column of each EXEC SQL of host-language text. Without this, a C file
// whose EXEC SQL stands at column 4 would indent every later file of a batch.
int format_keeping_options(const std::string &input, const std::string &output,
                           const FormatRequest &request = FormatRequest{})
{
    const int saved_indentation = format_options.starting_indentation;
    const int result = format_file(input.c_str(), output.c_str(), request);
    format_options.starting_indentation = saved_indentation;
    return result;
}

// The directory a path's file lies in, for a temporary file beside it.
std::string directory_of(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Puts the original under the backup name while it stays under its own name
// too (a second link), so that the file's own name never goes missing. Where
// the file system has no hard links, the file is moved instead.
bool keep_as_backup(const std::string &path, const std::string &backup, bool &still_in_place)
{
    still_in_place = ::link(path.c_str(), backup.c_str()) == 0;
    return still_in_place || std::rename(path.c_str(), backup.c_str()) == 0;
}

// True when the two files hold the same bytes (compared a block at a time).
bool same_content(const std::string &a, const std::string &b)
{
    std::FILE *fa = std::fopen(a.c_str(), "rb");
    std::FILE *fb = fa ? std::fopen(b.c_str(), "rb") : nullptr;
    bool same = fa && fb;
    char ba[8192], bb[8192];
    while (same) {
        const size_t na = std::fread(ba, 1, sizeof ba, fa);
        const size_t nb = std::fread(bb, 1, sizeof bb, fb);
        same = na == nb && std::memcmp(ba, bb, na) == 0 && !std::ferror(fa) && !std::ferror(fb);
        if (na == 0)
            break;
    }
    if (fa)
        std::fclose(fa);
    if (fb)
        std::fclose(fb);
    return same;
}

} // namespace

std::string backup_name(const std::string &path)
{
    std::string backup = path;
    if (!backup.empty() && backup.find('.') != std::string::npos)
        backup.back() = '~';
    else
        backup += ".~";
    return backup;
}

int format_in_place(const std::string &path)
{
    return format_in_place(path, InPlaceOptions{});
}

int format_in_place(const std::string &given, const InPlaceOptions &options)
{
    // A path holding a NUL byte (a job list with binary content) names no file;
    // the C calls below would act on the part before the NUL, another file.
    if (given.empty() || given.find('\0') != std::string::npos)
        return kBackupFailed;
    // A symlink is followed: the target is formatted and the link stays.
    std::string path = given;
    struct stat link_info {};
    if (::lstat(given.c_str(), &link_info) == 0 && S_ISLNK(link_info.st_mode)) {
        char *target = ::realpath(given.c_str(), nullptr);
        if (!target)
            return kBackupFailed; // a dangling link: nothing to format
        path = target;
        std::free(target);
    }
    FormatRequest request;
    request.host_source = is_host_source_path(given);

    const std::string backup = backup_name(path);
    // "query.sql~" is its own backup name: deleting the older backup would
    // delete the file itself, with nothing left to format.
    if (options.backup && backup == path)
        return kBackupFailed;
    // An unchanged file keeps everything, its older backup included.
    if (options.backup && !options.skip_unchanged)
        std::remove(backup.c_str()); // an older backup; whether there was one does not matter
    struct stat original {};
    if (::lstat(path.c_str(), &original) != 0)
        return kBackupFailed; // nothing to move aside
    const bool have_mode = ::stat(path.c_str(), &original) == 0;

    // The formatted text goes to a temporary file beside the original and
    // replaces it only when complete. Formatting straight into the file's own
    // name, with the original moved to the backup, left a half-written file
    // when the process was killed; running the batch again then deleted the
    // backup, the only whole copy of the text, as "an older backup".
    std::string temp;
    if (!create_temp_file(temp, directory_of(path), ".prax-batch"))
        return kBackupFailed; // a directory we cannot write: the rename would fail too
    // The engine's open keeps an existing file's mode: the formatted file gets
    // the original's bits (the owner may write it meanwhile, for a read-only file).
    if (have_mode)
        ::chmod(temp.c_str(), (original.st_mode & 0777) | S_IWUSR);

    const int result = format_keeping_options(path, temp, request);
    if (result != kFormatOk) {
        // No batch leaves a file empty or missing: a file without SQL keeps its text.
        std::remove(temp.c_str());
        return (result == kNoSqlFound && options.no_sql_is_success) ? kFormatOk : result;
    }
    if (options.skip_unchanged && same_content(path, temp)) {
        std::remove(temp.c_str());
        return kFormatOk;
    }
    if (have_mode)
        ::chmod(temp.c_str(), original.st_mode & 0777);

    bool still_in_place = false;
    if (options.backup) {
        if (options.skip_unchanged)
            std::remove(backup.c_str());
        if (!keep_as_backup(path, backup, still_in_place)) {
            std::remove(temp.c_str());
            return kBackupFailed;
        }
    }
    // rename replaces the file's own name in one step: it names the original
    // or the formatted text at every moment, never a part of either.
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        if (options.backup) {
            if (!still_in_place)
                std::rename(backup.c_str(), path.c_str());
            else
                std::remove(backup.c_str());
        }
        std::remove(temp.c_str());
        return kOutputFailed;
    }
    return kFormatOk;
}

int check_file(const std::string &path)
{
    std::string temp_path;
    if (!create_temp_file(temp_path))
        return kOutputFailed;
    FormatRequest request;
    request.host_source = is_host_source_path(path);
    int result = format_keeping_options(path, temp_path, request);
    if (result == kFormatOk) {
        const std::optional<std::string> original = read_whole_file(path);
        const std::optional<std::string> formatted = read_whole_file(temp_path);
        if (!original)
            result = kInputNotOpened;
        else if (!formatted)
            result = kOutputFailed;
        else
            result = (*original == *formatted) ? kCheckUnchanged : kCheckDiffers;
    }
    std::remove(temp_path.c_str());
    return result;
}

bool same_job_entry(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (fold_case(a[i]) != fold_case(b[i]))
            return false;
    }
    return true;
}

bool add_job_entry(std::vector<std::string> &list, const std::string &entry)
{
    for (const std::string &present : list) {
        if (same_job_entry(present, entry))
            return false;
    }
    list.push_back(entry);
    return true;
}

std::string join_path(const std::string &dir, const std::string &name)
{
    std::string entry = dir;
    if (entry.empty() || entry.back() != '/')
        entry += '/';
    entry += name;
    return entry;
}

std::string make_job_entry(const std::string &dir, const std::string &name)
{
    // "*.sql" is the file name box's pattern, " x" a slip; neither names a file.
    // An empty name would make the directory itself an entry.
    if (name.empty() || name.front() == '*' || name.front() == ' ')
        return std::string();
    return join_path(dir, name);
}

int write_job_list(const std::string &path, const std::vector<std::string> &list)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return kJobListNotOpened;
    bool failed = false;
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        if (it->empty())
            continue;
        if (std::fwrite(it->data(), 1, it->size(), file) != it->size() || std::fputs("\r\n", file) == EOF)
            failed = true;
    }
    // A full device shows up at the last flush, so fclose counts as a write.
    if (std::fclose(file) != 0)
        failed = true;
    return failed ? kJobListNotWritten : 0;
}

int read_job_list(const std::string &path, std::vector<std::string> &list)
{
    const std::optional<std::string> text = read_whole_file(path);
    if (!text)
        return kJobListNotOpened;
    size_t pos = 0;
    while (pos < text->size()) {
        while (pos < text->size() && is_list_space((*text)[pos]))
            ++pos;
        const size_t start = pos;
        while (pos < text->size() && !is_list_space((*text)[pos]))
            ++pos;
        if (pos > start)
            add_job_entry(list, text->substr(start, pos - start));
    }
    return 0;
}

int run_batch(const std::vector<std::string> &entries, const BatchReporter &on_result)
{
    int failures = 0;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->empty())
            continue;
        const int result = format_in_place(*it);
        if (result != kFormatOk)
            ++failures;
        if (on_result)
            on_result(*it, result);
    }
    return failures;
}

int format_files_in_place(const std::vector<std::string> &files, const BatchReporter &on_failure)
{
    return format_files_in_place(files, InPlaceOptions{}, on_failure);
}

int format_files_in_place(const std::vector<std::string> &files, const InPlaceOptions &options,
                          const BatchReporter &on_failure)
{
    int failures = 0;
    for (const std::string &file : files) {
        const int result = format_in_place(file, options);
        if (result == kFormatOk)
            continue;
        ++failures;
        if (on_failure)
            on_failure(file, result);
    }
    return failures;
}

int format_job_list_in_place(const std::string &list_path, const BatchReporter &on_failure)
{
    std::vector<std::string> entries;
    if (read_job_list(list_path, entries) != 0) {
        if (on_failure)
            on_failure(list_path, kJobListNotOpened);
        return 1;
    }
    return run_batch(entries, [&](const std::string &file, int result) {
        if (result != kFormatOk && on_failure)
            on_failure(file, result);
    });
}

int check_files(const std::vector<std::string> &files, const BatchReporter &on_report)
{
    int reported = 0;
    for (const std::string &file : files) {
        const int result = check_file(file);
        if (result == kCheckUnchanged)
            continue;
        ++reported;
        if (on_report)
            on_report(file, result);
    }
    return reported;
}

const char *batch_result_text(int result)
{
    switch (result) {
    case kFormatOk: return "formatted";
    case kCheckDiffers: return "formatting would change the file";
    case kInputNotOpened: return "cannot open the file";
    case kOutputFailed: return "cannot write the formatted text";
    case kScannerFailed: return "the scanner failed";
    case kNoSqlFound: return "no SQL found";
    case kBackupFailed: return "cannot rename the file to its backup name";
    case kJobListNotOpened: return "cannot open the job list";
    case kJobListNotWritten: return "cannot write the job list";
    default: return "formatting failed";
    }
}

} // namespace prax
