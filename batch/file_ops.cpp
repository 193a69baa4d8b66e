// File operations of the batch core; see file_ops.h.
#include "batch/file_ops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace prax::batch_detail {

Fd &Fd::operator=(Fd &&other) noexcept
{
    if (this != &other)
        reset(other.release());
    return *this;
}

int Fd::release()
{
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void Fd::reset(int fd)
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

namespace {

constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
constexpr int kSignalCount = sizeof kCleanupSignals / sizeof kCleanupSignals[0];

// The temporary files a signal handler removes. At most a few exist at once
// (the formatted text and a backup copy); a slot is free while dirfd is -1.
struct CleanupSlot {
    volatile sig_atomic_t dirfd = -1;
    char name[64] = {};
};
CleanupSlot g_slots[4];
struct sigaction g_previous[kSignalCount];
bool g_installed[kSignalCount] = {};
int g_live_temps = 0;

void remove_temps_on_signal(int sig)
{
    const int saved_errno = errno;
    for (CleanupSlot &slot : g_slots) {
        if (slot.dirfd >= 0)
            ::unlinkat(slot.dirfd, slot.name, 0);
    }
    // Hand the signal on as if this handler had never been there: the
    // default action ends the process, a caller's own handler runs.
    for (int i = 0; i < kSignalCount; ++i) {
        if (kCleanupSignals[i] == sig && g_installed[i]) {
            ::sigaction(sig, &g_previous[i], nullptr);
            g_installed[i] = false;
        }
    }
    ::raise(sig);
    errno = saved_errno;
}

void install_handlers()
{
    if (g_live_temps++ > 0)
        return;
    struct sigaction action {};
    action.sa_handler = remove_temps_on_signal;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kSignalCount; ++i) {
        struct sigaction current {};
        ::sigaction(kCleanupSignals[i], nullptr, &current);
        // An ignored signal ends nothing (nohup, a caller that handles
        // SIGPIPE as a write error): leave it ignored.
        if (current.sa_handler == SIG_IGN && !(current.sa_flags & SA_SIGINFO))
            continue;
        g_installed[i] = ::sigaction(kCleanupSignals[i], &action, &g_previous[i]) == 0;
    }
}

void restore_handlers()
{
    if (--g_live_temps > 0)
        return;
    for (int i = 0; i < kSignalCount; ++i) {
        if (g_installed[i])
            ::sigaction(kCleanupSignals[i], &g_previous[i], nullptr);
        g_installed[i] = false;
    }
}

CleanupSlot *claim_slot(int dirfd, const std::string &name)
{
    if (name.size() >= sizeof g_slots[0].name)
        return nullptr;
    for (CleanupSlot &slot : g_slots) {
        if (slot.dirfd >= 0)
            continue;
        std::memcpy(slot.name, name.c_str(), name.size() + 1);
        slot.dirfd = dirfd; // last: the handler sees the slot only when complete
        return &slot;
    }
    return nullptr;
}

void free_slot(int dirfd, const std::string &name)
{
    for (CleanupSlot &slot : g_slots) {
        if (slot.dirfd == dirfd && name == slot.name) {
            slot.dirfd = -1;
            return;
        }
    }
}

std::string base_name(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool same_file(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool write_all(int fd, const char *data, std::size_t size, off_t offset)
{
    while (size > 0) {
        const ssize_t wrote = ::pwrite(fd, data, size, offset);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        data += wrote;
        size -= static_cast<std::size_t>(wrote);
        offset += wrote;
    }
    return true;
}

ssize_t read_some(int fd, char *buffer, std::size_t size, off_t offset)
{
    ssize_t got;
    do
        got = ::pread(fd, buffer, size, offset);
    while (got < 0 && errno == EINTR);
    return got;
}

// Reads until `size` bytes or the end of the file.
ssize_t read_full(int fd, char *buffer, std::size_t size, off_t offset)
{
    std::size_t total = 0;
    while (total < size) {
        const ssize_t got = read_some(fd, buffer + total, size - total, offset + static_cast<off_t>(total));
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        total += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(total);
}

void copy_xattrs(int from, int to)
{
    ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0)
        return;
    std::vector<char> names(static_cast<std::size_t>(size));
    size = ::flistxattr(from, names.data(), names.size());
    if (size <= 0)
        return;
    std::vector<char> value;
    for (const char *name = names.data(); name < names.data() + size; name += std::strlen(name) + 1) {
        const ssize_t length = ::fgetxattr(from, name, nullptr, 0);
        if (length < 0)
            continue;
        value.resize(static_cast<std::size_t>(length));
        if (::fgetxattr(from, name, value.data(), value.size()) != length)
            continue;
        // Attributes this process may not set (trusted.*, some security.*) stay behind.
        ::fsetxattr(to, name, value.data(), value.size(), 0);
    }
}

} // namespace

TempFile::TempFile(int dirfd, const std::string &dir_path) : dirfd_(dirfd)
{
    std::string pattern = dir_path;
    if (pattern.empty())
        pattern = ".";
    if (pattern.back() != '/')
        pattern += '/';
    pattern += kTempPrefix + std::to_string(::getpid()) + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    install_handlers();
    {
        // No signal between the file's creation and its cleanup slot.
        const SignalBlock block;
        fd_.reset(::mkostemp(buffer.data(), O_CLOEXEC));
        if (fd_) {
            name_ = base_name(buffer.data());
            claim_slot(dirfd_, name_);
        }
    }
    if (!fd_) {
        restore_handlers();
        return;
    }
    // mkstemp went by the directory's path: the file must lie in the
    // directory the descriptor holds, or nothing below may rename it.
    if (!still_named()) {
        free_slot(dirfd_, name_);
        restore_handlers();
        fd_.reset();
    }
}

TempFile::~TempFile()
{
    if (!fd_)
        return;
    if (!kept_ && still_named())
        ::unlinkat(dirfd_, name_.c_str(), 0);
    free_slot(dirfd_, name_);
    restore_handlers();
}

bool TempFile::still_named() const
{
    struct stat named {}, open {};
    return ::fstatat(dirfd_, name_.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd_.get(), &open) == 0 &&
           same_file(named, open);
}

void TempFile::keep()
{
    kept_ = true;
    free_slot(dirfd_, name_);
}

void copy_attributes(int from, const struct stat &from_info, int to)
{
    mode_t mode = from_info.st_mode & 07777;
    // Only root may give a file away; a member of the group may set the group.
    if (::fchown(to, from_info.st_uid, from_info.st_gid) != 0) {
        if (::fchown(to, static_cast<uid_t>(-1), from_info.st_gid) != 0)
            mode &= ~static_cast<mode_t>(S_ISGID);
        if (from_info.st_uid != ::geteuid())
            mode &= ~static_cast<mode_t>(S_ISUID);
    }
    copy_xattrs(from, to);
    // Last: a change of owner clears the set-id bits, and an access ACL set
    // above leaves its mask in the group bits, which are the original's again.
    ::fchmod(to, mode);
}

bool same_content(int a, int b)
{
    char ba[65536], bb[65536];
    for (off_t offset = 0;;) {
        const ssize_t na = read_full(a, ba, sizeof ba, offset);
        const ssize_t nb = read_full(b, bb, sizeof bb, offset);
        if (na < 0 || nb < 0 || na != nb || std::memcmp(ba, bb, static_cast<std::size_t>(na)) != 0)
            return false;
        if (na == 0)
            return true;
        offset += na;
    }
}

bool copy_content(int from, int to)
{
    char buffer[65536];
    off_t offset = 0;
    for (;;) {
        const ssize_t got = read_some(from, buffer, sizeof buffer, offset);
        if (got < 0)
            return false;
        if (got == 0)
            break;
        if (!write_all(to, buffer, static_cast<std::size_t>(got), offset))
            return false;
        offset += got;
    }
    return ::ftruncate(to, offset) == 0;
}

bool unchanged_since(int dirfd, const std::string &name, const struct stat &read)
{
    struct stat now {};
    return ::fstatat(dirfd, name.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(now.st_mode) &&
           same_file(now, read) && now.st_size == read.st_size && now.st_mtim.tv_sec == read.st_mtim.tv_sec &&
           now.st_mtim.tv_nsec == read.st_mtim.tv_nsec;
}

void remove_stale_temps(int dirfd, const struct timespec &run_start)
{
    const int listing = ::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return;
    DIR *dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return;
    }
    const std::size_t prefix = sizeof kTempPrefix - 1;
    while (const dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strncmp(name, kTempPrefix, prefix) != 0)
            continue;
        char *end = nullptr;
        errno = 0;
        const long pid = std::strtol(name + prefix, &end, 10);
        if (errno != 0 || end == name + prefix || *end != '-' || pid <= 0 || pid == ::getpid())
            continue;
        // A process that runs (or that we may not signal) may still own it.
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            continue;
        struct stat info {};
        if (::fstatat(dirfd, name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode) ||
            info.st_uid != ::geteuid())
            continue;
        const bool older = info.st_mtim.tv_sec < run_start.tv_sec ||
                           (info.st_mtim.tv_sec == run_start.tv_sec && info.st_mtim.tv_nsec < run_start.tv_nsec);
        if (older)
            ::unlinkat(dirfd, name, 0);
    }
    ::closedir(dir);
}

SignalBlock::SignalBlock()
{
    sigset_t block;
    sigemptyset(&block);
    for (int sig : kCleanupSignals)
        sigaddset(&block, sig);
    ::pthread_sigmask(SIG_BLOCK, &block, &previous_);
}

SignalBlock::~SignalBlock()
{
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

} // namespace prax::batch_detail
