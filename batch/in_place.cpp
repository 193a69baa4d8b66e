// Formatting files in place and checking them; see batch.h. Every step after
// the file's one open by name works on descriptors (file_ops.h).
#include "batch/batch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <unordered_map>
#include <unordered_set>

#include "batch/file_ops.h"
#include "engine/engine.h"

namespace prax {

using batch_detail::Fd;
using batch_detail::TempFile;

namespace {

struct FileId {
    dev_t dev;
    ino_t ino;
    bool operator==(const FileId &) const = default;
};

struct FileIdHash {
    std::size_t operator()(const FileId &id) const
    {
        return std::hash<unsigned long long>()(static_cast<unsigned long long>(id.ino) * 1000003u ^
                                               static_cast<unsigned long long>(id.dev));
    }
};

FileId id_of(const struct stat &info)
{
    return {info.st_dev, info.st_ino};
}

// Runs the engine from one open file into another and puts back
// starting_indentation, which the engine sets to the column of each EXEC SQL
// of host-language text. Without this, a C file whose EXEC SQL stands at
// column 4 would indent every later file of a batch.
int format_fd(int in, int out, const FormatRequest &request)
{
    const int saved_indentation = format_options.starting_indentation;
    const int result = format_fds(in, out, request);
    format_options.starting_indentation = saved_indentation;
    return result;
}

std::string directory_of(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string base_name(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Opens a regular file for reading without following a symlink and without
// blocking on a FIFO; anything else is refused.
Fd open_regular(int dirfd, const std::string &name, struct stat &info)
{
    Fd fd(::openat(dirfd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (fd && (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)))
        fd.reset();
    return fd;
}

// A complete copy of the open file `from`, with its attributes, synced to disk
// before it gets a name: `name`, replacing a file of that name, or when
// `name` is empty, "FROM_NAME.prax-saved-XXXXXX" (a fresh name). Returns the
// name, or an empty string on failure.
std::string write_copy(int dirfd, const std::string &dir, int from, const struct stat &info,
                       const std::string &from_name, const std::string &name)
{
    TempFile copy(dirfd, dir);
    if (!copy || !batch_detail::copy_content(from, copy.fd()))
        return std::string();
    batch_detail::copy_attributes(from, info, copy.fd());
    if (::fsync(copy.fd()) != 0 || !copy.still_named())
        return std::string();
    if (name.empty()) {
        // The temporary name's random part makes the fresh name; linkat never replaces.
        const std::string fresh = from_name + ".prax-saved-" + copy.name().substr(copy.name().size() - 6);
        return ::linkat(dirfd, copy.name().c_str(), dirfd, fresh.c_str(), 0) == 0 ? fresh : std::string();
    }
    if (::renameat(dirfd, copy.name().c_str(), dirfd, name.c_str()) != 0)
        return std::string();
    copy.keep();
    return name;
}

} // namespace

struct InPlaceRun::State {
    InPlaceOptions options;
    struct timespec started {};
    std::unordered_map<FileId, int, FileIdHash> done;     // files read (with their result), and files made
    std::unordered_set<FileId, FileIdHash> swept_folders; // folders searched for stale temporaries

    int format(const std::string &given);
    int format_open(int dirfd, const std::string &dir, const std::string &name, const std::string &backup,
                    const std::string &given, int in, const struct stat &read);
    int replace(int dirfd, const std::string &name, const std::string &backup, TempFile &formatted);
    int write_through(int dirfd, const std::string &dir, const std::string &name, const std::string &backup, int in,
                      const struct stat &read, TempFile &formatted);
};

InPlaceRun::InPlaceRun(const InPlaceOptions &options) : state_(std::make_unique<State>())
{
    state_->options = options;
    ::clock_gettime(CLOCK_REALTIME, &state_->started);
}

InPlaceRun::~InPlaceRun() = default;

int InPlaceRun::format(const std::string &path)
{
    return state_->format(path);
}

int InPlaceRun::State::format(const std::string &given)
{
    // A path holding a NUL byte (a job list with binary content) names no file;
    // the C calls below would act on the part before the NUL, another file.
    if (given.empty() || given.find('\0') != std::string::npos)
        return kBackupFailed;
    // Nothing is touched, the older backup included, before the path is known
    // to name a regular file: "--in-place ." would otherwise delete "~", and a
    // missing "q.sql" its "q.sq~".
    struct stat target {};
    if (::stat(given.c_str(), &target) != 0)
        return kBackupFailed; // missing, or a dangling link: nothing to move aside
    if (!S_ISREG(target.st_mode))
        return kInputNotOpened;
    // The same file under a second name is formatted once, with one result.
    if (const auto it = done.find(id_of(target)); it != done.end())
        return it->second;
    std::string path = given;
    struct stat link {};
    if (::lstat(given.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char *resolved = ::realpath(given.c_str(), nullptr);
        if (!resolved)
            return kBackupFailed;
        path = resolved;
        std::free(resolved);
    }
    const std::string dir = directory_of(path);
    const std::string name = base_name(path);
    // The backup name differs from the file's only in its last character(s),
    // so it lies in the same folder.
    const std::string backup = base_name(backup_name(path));
    // "query.sql~" is its own backup name: deleting the older backup would
    // delete the file itself, with nothing left to format.
    if (options.backup && backup == name)
        return kBackupFailed;

    const Fd dirfd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirfd)
        return kBackupFailed;
    struct stat folder {};
    if (::fstat(dirfd.get(), &folder) == 0 && swept_folders.insert(id_of(folder)).second)
        batch_detail::remove_stale_temps(dirfd.get(), started);

    struct stat read {};
    const Fd in = open_regular(dirfd.get(), name, read);
    if (!in)
        return kInputNotOpened;
    const auto [it, fresh] = done.try_emplace(id_of(read), kFormatOk);
    if (!fresh)
        return it->second;
    int &recorded = it->second; // references into the map outlive its rehashing
    recorded = format_open(dirfd.get(), dir, name, backup, given, in.get(), read);
    return recorded;
}

// The rest of a file's run, once it is open and known to be new to this run.
int InPlaceRun::State::format_open(int dirfd, const std::string &dir, const std::string &name,
                                   const std::string &backup, const std::string &given, int in,
                                   const struct stat &read)
{
    // The classic order: the older backup goes first. An unchanged file keeps
    // everything, so then it goes only when a new backup is made.
    if (options.backup && !options.skip_unchanged)
        ::unlinkat(dirfd, backup.c_str(), 0);

    // The formatted text goes to a temporary file beside the original and
    // replaces it only when complete. Formatting straight into the file's own
    // name, with the original moved to the backup, left a half-written file
    // when the process was killed; running the batch again then deleted the
    // backup, the only whole copy of the text, as "an older backup".
    TempFile formatted(dirfd, dir);
    if (!formatted)
        return kBackupFailed; // a folder we cannot write: the rename would fail too
    FormatRequest request;
    request.host_source = is_host_source_path(given);
    const int result = format_fd(in, formatted.fd(), request);
    if (result != kFormatOk) {
        // No batch leaves a file empty or missing: a file without SQL keeps its text.
        return (result == kNoSqlFound && options.no_sql_is_success) ? kFormatOk : result;
    }
    if (options.skip_unchanged && batch_detail::same_content(in, formatted.fd()))
        return kFormatOk;
    batch_detail::copy_attributes(in, read, formatted.fd());
    if (::fsync(formatted.fd()) != 0)
        return kOutputFailed;
    // A file another program saved meanwhile keeps that program's text.
    if (!batch_detail::unchanged_since(dirfd, name, read))
        return kFileChanged;
    if (read.st_nlink > 1)
        return write_through(dirfd, dir, name, backup, in, read, formatted);
    return replace(dirfd, name, backup, formatted);
}

// The usual case: the formatted file takes the original's name in one rename.
int InPlaceRun::State::replace(int dirfd, const std::string &name, const std::string &backup, TempFile &formatted)
{
    // The original stays under its own name while it gets the backup name too
    // (a second link), so that its own name never goes missing. Where the
    // file system has no hard links, the file is moved instead.
    bool moved_aside = false;
    if (options.backup) {
        if (options.skip_unchanged)
            ::unlinkat(dirfd, backup.c_str(), 0);
        if (::linkat(dirfd, name.c_str(), dirfd, backup.c_str(), 0) != 0) {
            if (::renameat(dirfd, name.c_str(), dirfd, backup.c_str()) != 0)
                return kBackupFailed;
            moved_aside = true;
        }
    }
    // A temporary name someone replaced (by a symlink, say) is never renamed
    // over the user's file. rename replaces the file's own name in one step:
    // it names the original or the formatted text at every moment.
    if (!formatted.still_named() || ::renameat(dirfd, formatted.name().c_str(), dirfd, name.c_str()) != 0) {
        if (moved_aside)
            ::renameat(dirfd, backup.c_str(), dirfd, name.c_str());
        else if (options.backup)
            ::unlinkat(dirfd, backup.c_str(), 0);
        return kOutputFailed;
    }
    formatted.keep();
    struct stat made {};
    if (::fstat(formatted.fd(), &made) == 0)
        done.emplace(id_of(made), kFormatOk);
    return kFormatOk;
}

// A file with several names: the formatted text is written through its own
// inode so that every name shows it. A complete copy of the original is made
// safe first, under the backup name or a name of its own that goes when the
// write is done; a failed write is undone from that copy.
int InPlaceRun::State::write_through(int dirfd, const std::string &dir, const std::string &name,
                                     const std::string &backup, int in, const struct stat &read, TempFile &formatted)
{
    Fd out(::openat(dirfd, name.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat opened {};
    if (!out) // a read-only file: replaced by rename, its other names keep the old text
        return replace(dirfd, name, backup, formatted);
    if (::fstat(out.get(), &opened) != 0 || opened.st_dev != read.st_dev || opened.st_ino != read.st_ino)
        return kFileChanged;

    if (options.backup && options.skip_unchanged)
        ::unlinkat(dirfd, backup.c_str(), 0);
    const std::string saved = write_copy(dirfd, dir, in, read, name, options.backup ? backup : std::string());
    if (saved.empty())
        return kBackupFailed;
    const Fd copy = [&] {
        struct stat info {};
        return open_regular(dirfd, saved, info);
    }();

    struct stat formatted_info {};
    ::fstat(formatted.fd(), &formatted_info);
    bool written = false, intact = true;
    {
        const batch_detail::SignalBlock block; // never half-written by a signal
        // Room first: a full disk then fails before the file is touched.
        const int room = formatted_info.st_size > read.st_size
                             ? ::posix_fallocate(out.get(), 0, formatted_info.st_size)
                             : 0;
        if (room == 0 || room == EOPNOTSUPP || room == EINVAL) {
            written = batch_detail::copy_content(formatted.fd(), out.get()) && ::fsync(out.get()) == 0;
            if (!written)
                intact = copy && batch_detail::copy_content(copy.get(), out.get());
        }
    }
    // Without a backup, the copy goes unless it is the only whole text left.
    if (!options.backup && intact)
        ::unlinkat(dirfd, saved.c_str(), 0);
    return written ? kFormatOk : kOutputFailed;
}

int format_in_place(const std::string &path)
{
    return format_in_place(path, InPlaceOptions{});
}

int format_in_place(const std::string &path, const InPlaceOptions &options)
{
    return InPlaceRun(options).format(path);
}

int check_file(const std::string &path)
{
    struct stat info {};
    Fd in(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!in || ::fstat(in.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return kInputNotOpened;
    // An unnamed file: nothing to remove afterwards, nothing left by a kill.
    const char *tmp = std::getenv("TMPDIR");
    Fd out(::open(tmp && *tmp ? tmp : "/tmp", O_RDWR | O_TMPFILE | O_CLOEXEC, 0600));
    if (!out) {
        std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/prax-check-XXXXXX";
        out.reset(::mkostemp(name.data(), O_CLOEXEC));
        if (out)
            ::unlink(name.c_str());
    }
    if (!out)
        return kOutputFailed;
    FormatRequest request;
    request.host_source = is_host_source_path(path);
    const int result = format_fd(in.get(), out.get(), request);
    if (result != kFormatOk)
        return result;
    return batch_detail::same_content(in.get(), out.get()) ? kCheckUnchanged : kCheckDiffers;
}

} // namespace prax
