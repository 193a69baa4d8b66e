// Temporary files and their removal on signals: see temp_files.h.
#include "cli/temp_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace prax::cli {

namespace {

// A signal handler may only read what is already in place: a fixed table of
// paths, each published by its flag after its bytes are written.
constexpr int kSlots = 16;
constexpr std::size_t kPathMax = 4096;
char g_paths[kSlots][kPathMax];
volatile std::sig_atomic_t g_used[kSlots];

int take_slot(const std::string &path)
{
    if (path.size() >= kPathMax)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        if (!g_used[i]) {
            std::memcpy(g_paths[i], path.c_str(), path.size() + 1);
            g_used[i] = 1;
            return i;
        }
    }
    return -1;
}

void remove_and_reraise(int signal_number)
{
    for (int i = 0; i < kSlots; ++i) {
        if (g_used[i])
            ::unlink(g_paths[i]);
    }
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

} // namespace

void remove_temp_files_on_signals()
{
    struct sigaction action {};
    action.sa_handler = remove_and_reraise;
    sigemptyset(&action.sa_mask);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        sigaddset(&action.sa_mask, s);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        sigaction(s, &action, nullptr);
}

TempFile::TempFile(const std::string &dir, const char *stem)
{
    std::string base = dir;
    if (base.empty()) {
        const char *tmp = std::getenv("TMPDIR");
        base = (tmp && *tmp) ? tmp : "/tmp";
    }
    if (base.back() != '/')
        base += '/';
    std::vector<char> name(base.begin(), base.end());
    const std::string pattern = std::string(stem) + "-XXXXXX";
    name.insert(name.end(), pattern.begin(), pattern.end());
    name.push_back('\0');
    // Block the signals between creating the file and recording its name, so
    // that no stop falls in between.
    sigset_t block, old;
    sigemptyset(&block);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        sigaddset(&block, s);
    sigprocmask(SIG_BLOCK, &block, &old);
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ >= 0) {
        path_.assign(name.data());
        slot_ = take_slot(path_);
    }
    sigprocmask(SIG_SETMASK, &old, nullptr);
}

TempFile::~TempFile()
{
    if (fd_ >= 0)
        ::close(fd_);
    if (!path_.empty())
        ::unlink(path_.c_str());
    if (slot_ >= 0)
        g_used[slot_] = 0;
}

bool TempFile::rename_to(const std::string &target)
{
    if (std::rename(path_.c_str(), target.c_str()) != 0)
        return false;
    path_.clear();
    if (slot_ >= 0)
        g_used[slot_] = 0;
    slot_ = -1;
    return true;
}

} // namespace prax::cli
