// The batch job without the window system; see batch_core.h.
//
// Files are read and written as bytes: on this platform text mode and binary
// mode are the same, and the job-list's CR LF line ends are written explicitly.
#include "app/dialogs/batch_core.h"

#include <cstdio>
#include <optional>

#include <fcntl.h>
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
int format_keeping_options(const std::string &input, const std::string &output)
{
    const int saved_indentation = format_options.starting_indentation;
    const int result = format_file(input.c_str(), output.c_str());
    format_options.starting_indentation = saved_indentation;
    return result;
}

// Creates the empty output file with the original's permission bits before the
// engine opens it (the engine's open keeps an existing file's mode). Otherwise
// a private 0600 file would come back as a new file readable by everyone.
// The owner may write it meanwhile, so that a read-only file can still be
// formatted, as it could when the engine made a new file; finish_mode then
// gives it the original's bits exactly.
void precreate_with_mode(const std::string &path, mode_t mode)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0)
        return; // the engine reports the output itself
    ::fchmod(fd, (mode & 0777) | S_IWUSR);
    ::close(fd);
}

void finish_mode(const std::string &path, mode_t mode)
{
    ::chmod(path.c_str(), mode & 0777);
}

// Puts the backup back under the file's own name, replacing whatever output
// the engine left there. rename replaces the target in one step, so at every
// moment the text exists in full under one of the two names.
void restore_backup(const std::string &backup, const std::string &path)
{
    if (std::rename(backup.c_str(), path.c_str()) == 0)
        return;
    // The output may be something rename cannot replace (e.g. a directory made
    // meanwhile); remove what the engine wrote and try once more.
    std::remove(path.c_str());
    std::rename(backup.c_str(), path.c_str());
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
    // A path holding a NUL byte (a job list with binary content) names no file;
    // the C calls below would act on the part before the NUL, another file.
    if (path.empty() || path.find('\0') != std::string::npos)
        return kBackupFailed;
    const std::string backup = backup_name(path);
    // "query.sql~" is its own backup name: deleting the older backup would
    // delete the file itself, with nothing left to format.
    if (backup == path)
        return kBackupFailed;

    std::remove(backup.c_str()); // an older backup; whether there was one does not matter
    struct stat original {};
    const bool have_mode = ::stat(path.c_str(), &original) == 0;
    if (std::rename(path.c_str(), backup.c_str()) != 0)
        return kBackupFailed;
    if (have_mode)
        precreate_with_mode(path, original.st_mode);

    const int result = format_keeping_options(backup, path);
    if (result == kFormatOk && have_mode)
        finish_mode(path, original.st_mode);
    if (result != kFormatOk) {
        // No batch leaves a file empty or missing: a file without SQL would
        // otherwise become empty, and the next run would delete its only copy.
        restore_backup(backup, path);
    }
    return result;
}

int check_file(const std::string &path)
{
    std::string temp_path;
    if (!create_temp_file(temp_path))
        return kOutputFailed;
    int result = format_keeping_options(path, temp_path);
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

std::string make_job_entry(const std::string &dir, const std::string &name)
{
    // "*.sql" is the file name box's pattern, " x" a slip; neither names a file.
    // An empty name would make the directory itself an entry.
    if (name.empty() || name.front() == '*' || name.front() == ' ')
        return std::string();
    std::string entry = dir;
    if (entry.empty() || entry.back() != '/')
        entry += '/';
    entry += name;
    return entry;
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
    int failures = 0;
    for (const std::string &file : files) {
        const int result = format_in_place(file);
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
