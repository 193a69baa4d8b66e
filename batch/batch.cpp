// The batch job without the window system; see batch.h.
//
// Files are read and written as bytes: on this platform text mode and binary
// mode are the same, and the job-list's CR LF line ends are written explicitly.
#include "batch/batch.h"

#include <cerrno>
#include <cstdio>
#include <unordered_set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/engine.h"

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

// The whole content of a regular file of at most `limit` bytes. Anything else
// (a directory, a FIFO, /dev/zero) is refused before a byte is read, so it
// neither hangs nor grows without end.
int read_regular_file(const std::string &path, long long limit, std::string &text)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return kJobListNotOpened;
    struct stat info {};
    int result = 0;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        result = kJobListNotOpened;
    else if (info.st_size > limit)
        result = kJobListTooLarge;
    char buffer[65536];
    while (result == 0) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            result = kJobListNotOpened;
        else if (got == 0)
            break;
        else if (static_cast<long long>(text.size()) + got > limit)
            result = kJobListTooLarge; // it grew while being read
        else
            text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return result;
}

// The key under which an entry is unique: its ASCII case folded.
std::string folded(std::string_view entry)
{
    std::string key(entry);
    for (char &c : key)
        c = fold_case(c);
    return key;
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
    std::string text;
    if (const int result = read_regular_file(path, kMaxJobListBytes, text); result != 0)
        return result;
    // One hash set of the entries so far: 100,000 entries took minutes when
    // each new word was compared with every entry before it.
    std::unordered_set<std::string> present;
    for (const std::string &entry : list)
        present.insert(folded(entry));
    size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && is_list_space(text[pos]))
            ++pos;
        const size_t start = pos;
        while (pos < text.size() && !is_list_space(text[pos]))
            ++pos;
        if (pos > start) {
            std::string word = text.substr(start, pos - start);
            if (present.insert(folded(word)).second)
                list.push_back(std::move(word));
        }
    }
    return 0;
}

int run_batch(const std::vector<std::string> &entries, const BatchReporter &on_result)
{
    InPlaceRun run;
    int failures = 0;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->empty())
            continue;
        const int result = run.format(*it);
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
    InPlaceRun run(options);
    int failures = 0;
    for (const std::string &file : files) {
        const int result = run.format(file);
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
    if (const int result = read_job_list(list_path, entries); result != 0) {
        if (on_failure)
            on_failure(list_path, result);
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
    case kFileChanged: return "the file was changed by another program meanwhile; left as it is";
    case kJobListNotOpened: return "cannot open the job list";
    case kJobListNotWritten: return "cannot write the job list";
    case kJobListTooLarge: return "the job list is larger than 64 MiB";
    default: return "formatting failed";
    }
}

} // namespace prax
