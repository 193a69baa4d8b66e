// Temporary files of one prax-format process, removed when they go out of
// scope and also when the process is stopped by SIGINT, SIGTERM, SIGHUP or
// SIGPIPE (a `| head` that closes the pipe, a Ctrl-C in a hook).
#pragma once

#include <string>

namespace prax::cli {

// Installs the signal handlers that remove every live TempFile, then end the
// process by the same signal. Call once, early in main().
void remove_temp_files_on_signals();

class TempFile {
public:
    // Creates a new file, mode 0600, in `dir` ("" for $TMPDIR or /tmp) named
    // "<stem>-XXXXXX". ok() tells whether it was made.
    explicit TempFile(const std::string &dir = std::string(), const char *stem = "prax-format");
    ~TempFile();
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    bool ok() const { return fd_ >= 0; }
    const std::string &path() const { return path_; }
    // The descriptor mkstemp returned, open for reading and writing.
    int fd() const { return fd_; }
    // Renames the file to `target` and forgets it (it is no longer removed).
    // Returns false with errno set when the rename fails (the file stays temporary).
    bool rename_to(const std::string &target);

private:
    std::string path_;
    int fd_ = -1;
    int slot_ = -1;
};

} // namespace prax::cli
