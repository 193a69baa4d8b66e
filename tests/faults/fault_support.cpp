// Helpers for the fault tests; see fault_support.h.
#include "tests/faults/fault_support.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "engine/engine.h"
#include "engine/options.h"
#include "engine/tempfile.h"

namespace prax::faults {

namespace fs = std::filesystem;

ScratchDir::ScratchDir()
{
    std::string pattern = (fs::temp_directory_path() / "prax-faults-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        path_ = pattern;
}

ScratchDir::~ScratchDir()
{
    if (path_.empty())
        return;
    std::error_code ignored;
    // Tests take permissions away; give them back so that everything goes.
    for (auto it = fs::recursive_directory_iterator(path_, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::vector<std::string> names_in(const std::string &dir)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<std::string> read_file(const std::string &path)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    std::FILE *f = std::fopen(path.c_str(), "rb");
    if (!f)
        return std::nullopt;
    std::string bytes;
    char chunk[1 << 16];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        bytes.append(chunk, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    if (!ok)
        return std::nullopt;
    return bytes;
}

void write_file(const std::string &path, const std::string &bytes)
{
    std::FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

bool exists(const std::string &path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

std::optional<std::string> formatted(const std::string &text)
{
    std::string in, out;
    if (!create_temp_file(in) || !create_temp_file(out))
        return std::nullopt;
    write_file(in, text);
    const int saved_indentation = format_options.starting_indentation;
    const int result = format_file(in.c_str(), out.c_str());
    format_options.starting_indentation = saved_indentation;
    std::optional<std::string> bytes;
    if (result == kFormatOk)
        bytes = read_file(out);
    std::remove(in.c_str());
    std::remove(out.c_str());
    return bytes;
}

namespace {

constexpr uid_t kNobody = 65534;

bool give_up_root()
{
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 &&
           ::geteuid() == kNobody;
}

} // namespace

std::optional<int> as_unprivileged(const std::function<int()> &body)
{
    int pipe_fds[2];
    if (::pipe(pipe_fds) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe_fds[0]);
        int result = 0;
        const char ok = give_up_root() ? 1 : 0;
        if (ok)
            result = body();
        if (::write(pipe_fds[1], &ok, 1) != 1 || ::write(pipe_fds[1], &result, sizeof result) != sizeof result)
            ::_exit(3);
        ::_exit(0);
    }
    ::close(pipe_fds[1]);
    char ok = 0;
    int result = 0;
    const bool got = child > 0 && ::read(pipe_fds[0], &ok, 1) == 1 &&
                     ::read(pipe_fds[0], &result, sizeof result) == sizeof result;
    ::close(pipe_fds[0]);
    if (child > 0)
        ::waitpid(child, nullptr, 0);
    if (!got || !ok)
        return std::nullopt;
    return result;
}

ProgramRun run_prax_format(const std::vector<std::string> &args, const std::string &stdin_path,
                           const std::string &stdout_path, bool unprivileged)
{
    ProgramRun run;
    std::string out_capture, err_capture;
    if (!create_temp_file(out_capture) || !create_temp_file(err_capture))
        return run;
    ::chmod(out_capture.c_str(), 0666);
    ::chmod(err_capture.c_str(), 0666);
    const std::string out_path = stdout_path.empty() ? out_capture : stdout_path;
    const pid_t child = ::fork();
    if (child == 0) {
        const int in = ::open(stdin_path.empty() ? "/dev/null" : stdin_path.c_str(), O_RDONLY);
        const int out = ::open(out_path.c_str(), O_WRONLY | O_TRUNC);
        const int err = ::open(err_capture.c_str(), O_WRONLY | O_TRUNC);
        if (in < 0 || out < 0 || err < 0 || (unprivileged && !give_up_root()))
            ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char *> argv;
        std::string program = PRAX_FORMAT_EXE_PATH;
        argv.push_back(program.data());
        std::vector<std::string> copies = args;
        for (std::string &arg : copies)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        // No profile of the user's may change the results.
        ::setenv("XDG_CONFIG_HOME", "/nonexistent-prax-config", 1);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.exit_code = WEXITSTATUS(status);
    run.out = read_file(out_capture).value_or("");
    run.err = read_file(err_capture).value_or("");
    std::remove(out_capture.c_str());
    std::remove(err_capture.c_str());
    return run;
}

} // namespace prax::faults
