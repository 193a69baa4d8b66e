// Helpers for the fault tests: a fresh directory per test, whole-file reads
// and writes, and running code or prax-format in a child process.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace prax::faults {

// A fresh directory under the temporary directory, removed with its content.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The whole content of a regular file, or nothing when it cannot be read.
std::optional<std::string> read_file(const std::string &path);
void write_file(const std::string &path, const std::string &bytes);
bool exists(const std::string &path);
// The names in a folder, sorted.
std::vector<std::string> names_in(const std::string &dir);

// The text format_file makes of `text` with the current options, or nothing
// when the engine does not format it (no SQL, scanner limit).
std::optional<std::string> formatted(const std::string &text);

// Runs `body` in a forked child that has given up root (user and group
// "nobody", 65534), so that permission bits apply. Returns body's result, or
// nothing when the child could not give up root.
std::optional<int> as_unprivileged(const std::function<int()> &body);

struct ProgramRun {
    int exit_code = -1; // -1: did not exit normally
    std::string out;
    std::string err;
};

// Runs prax-format with `args`; standard input from `stdin_path` ("" for
// /dev/null), standard output to `stdout_path` ("" for a capture file).
ProgramRun run_prax_format(const std::vector<std::string> &args, const std::string &stdin_path = "",
                           const std::string &stdout_path = "", bool unprivileged = false);

} // namespace prax::faults
