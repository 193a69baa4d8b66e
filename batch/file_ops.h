// File operations of the batch core, all on open descriptors: a file is
// opened once by name (never through a symlink) and everything after that
// works on the descriptor or relative to the directory's descriptor, so that
// another user who can write the directory cannot redirect a step to a file
// of their choice by swapping a name.
#pragma once

#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <string>

namespace prax::batch_detail {

// An owned file descriptor.
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(Fd &&other) noexcept : fd_(other.release()) {}
    Fd &operator=(Fd &&other) noexcept;
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release();
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// The prefix of the batch's temporary files: ".prax-batch-<pid>-XXXXXX".
inline constexpr char kTempPrefix[] = ".prax-batch-";

// A temporary file of this process in the directory `dirfd` stands for,
// created exclusively (mkstemp). Until it is released or destroyed, SIGINT,
// SIGTERM, SIGHUP and SIGPIPE remove it before the process ends (unless the
// signal is ignored, which leaves it for the end of the run). The destructor
// removes the name, but only while it still names this file.
class TempFile {
public:
    // `dir_path` is the path of the directory `dirfd` was opened from.
    TempFile(int dirfd, const std::string &dir_path);
    ~TempFile();
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    explicit operator bool() const { return static_cast<bool>(fd_); }
    int fd() const { return fd_.get(); }
    const std::string &name() const { return name_; }
    // True while the name in the directory still refers to this file: a name
    // someone replaced is never renamed over the user's file.
    bool still_named() const;
    // The file got its final name (renamed): nothing to remove any more.
    void keep();

private:
    int dirfd_;
    Fd fd_;
    std::string name_;
    bool kept_ = false;
};

// Gives `to` the owner and group of `from_info` where this process may, its
// extended attributes (ACLs, capabilities, labels) where it may, and then its
// mode in one fchmod, set-id bits included unless the owner or group could
// not be kept (a set-user-id file must never come to belong to the runner).
void copy_attributes(int from, const struct stat &from_info, int to);

// True when the two open files hold the same bytes (read from the start).
bool same_content(int a, int b);

// Copies the whole content of `from` over `to` from the start and truncates
// `to` after it. Returns false on a read or write failure.
bool copy_content(int from, int to);

// True when `name` in `dirfd` is still the regular file `read` describes:
// same device and inode, same size, same modification time.
bool unchanged_since(int dirfd, const std::string &name, const struct stat &read);

// Removes the batch's temporary files in `dirfd` that a killed run left:
// named with the prefix and a process id that no longer runs, owned by this
// user, and last modified before `run_start`.
void remove_stale_temps(int dirfd, const struct timespec &run_start);

// Blocks SIGINT, SIGTERM, SIGHUP and SIGPIPE for its lifetime: a file
// written through its own inode is never left half-written by them.
class SignalBlock {
public:
    SignalBlock();
    ~SignalBlock();
    SignalBlock(const SignalBlock &) = delete;
    SignalBlock &operator=(const SignalBlock &) = delete;

private:
    sigset_t previous_;
};

} // namespace prax::batch_detail
