// Another user, a signal or a kill at the worst moment of an in-place run or a
// profile save: each is made to happen at a fixed point (the engine's status
// message during the run, the profile's fsync), never left to timing.
//   - a temporary name swapped for a symlink to a file of ours: that file
//     keeps its mode and text, and the symlink never takes the user's name;
//   - SIGINT, SIGTERM, SIGHUP, SIGPIPE during a run: no temporary file stays;
//   - SIGKILL: the next run over the folder removes what the dead run left,
//     and nothing of a process that still runs.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "batch/batch.h"
#include "engine/engine.h"
#include "engine/options.h"
#include "tests/faults/fault_support.h"

// The profile's save has no hook of its own: this definition takes the place
// of the C library's fsync in this program and runs the armed action once,
// between the temporary file's writing and its rename.
namespace {
std::function<void()> g_at_fsync;
}
extern "C" int fsync(int fd)
{
    if (g_at_fsync)
        std::exchange(g_at_fsync, nullptr)();
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace prax::faults {
namespace {

namespace fs = std::filesystem;

const char kSql[] = "select a, b from t where x = 1 and y = 2;\n";

// The first name in `dir` that begins with `prefix`, or "".
std::string name_with_prefix(const std::string &dir, const std::string &prefix)
{
    for (const std::string &name : names_in(dir)) {
        if (name.rfind(prefix, 0) == 0)
            return name;
    }
    return std::string();
}

mode_t mode_of(const std::string &path)
{
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info.st_mode;
}

class RaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        format_options = load_default_format_options();
        ASSERT_FALSE(dir_.path().empty());
    }
    void TearDown() override
    {
        set_status_hook(nullptr);
        g_at_fsync = nullptr;
        format_options = default_format_options;
    }

    // Replaces the temporary file named `prefix`... in the scratch folder by a
    // symlink to `victim`; true when there was one to replace.
    bool swap_temp_for_link(const std::string &prefix, const std::string &victim)
    {
        const std::string name = name_with_prefix(dir_.path(), prefix);
        return !name.empty() && ::unlink(dir_.file(name).c_str()) == 0 &&
               ::symlink(victim.c_str(), dir_.file(name).c_str()) == 0;
    }

    // A private file of the runner's that the attack aims at.
    std::string make_victim()
    {
        const std::string victim = dir_.file("victim");
        write_file(victim, "private\n");
        EXPECT_EQ(::chmod(victim.c_str(), 0600), 0);
        return victim;
    }

    void expect_victim_untouched(const std::string &victim)
    {
        EXPECT_EQ(mode_of(victim) & 07777, 0600u);
        EXPECT_EQ(read_file(victim), "private\n");
    }

    ScratchDir dir_;
};

TEST_F(RaceTest, SwappedBatchTemporaryNeitherRemodesNorReplaces)
{
    const std::string victim = make_victim();
    const std::string file = dir_.file("q.sql");
    write_file(file, kSql);
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    bool swapped = false;
    set_status_hook([&](std::string_view) {
        if (!swapped)
            swapped = swap_temp_for_link(".prax-batch-", victim);
    });
    EXPECT_EQ(format_in_place(file), kOutputFailed);
    ASSERT_TRUE(swapped);
    expect_victim_untouched(victim);
    EXPECT_TRUE(S_ISREG(mode_of(file)));
    EXPECT_EQ(read_file(file), kSql);
}

TEST_F(RaceTest, SwappedProfileTemporaryNeitherRemodesNorReplaces)
{
    const std::string victim = make_victim();
    const std::string profile = dir_.file("prax.ini");
    write_file(profile, "[Formatting Options]\nInterval=9\n");
    ASSERT_EQ(::chmod(profile.c_str(), 0644), 0);
    bool swapped = false;
    g_at_fsync = [&] { swapped = swap_temp_for_link(".prax-profile-", victim); };
    EXPECT_NE(save_format_options(profile, default_format_options), 0);
    ASSERT_TRUE(swapped);
    expect_victim_untouched(victim);
    EXPECT_TRUE(S_ISREG(mode_of(profile)));
    EXPECT_EQ(read_file(profile), "[Formatting Options]\nInterval=9\n");
}

// Runs format_in_place on `file` in a child that sends itself `sig` from the
// engine's first status message; returns the child's pid once it has ended
// by that signal (0 when it ended otherwise).
pid_t run_killed_by(int sig, const std::string &file)
{
    const pid_t child = ::fork();
    if (child == 0) {
        set_status_hook([sig](std::string_view) { ::raise(sig); });
        format_in_place(file);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == sig ? child : 0;
}

TEST_F(RaceTest, SignalsRemoveTheBatchTemporary)
{
    const std::string file = dir_.file("q.sql");
    write_file(file, kSql);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        SCOPED_TRACE(sig);
        EXPECT_NE(run_killed_by(sig, file), 0);
        EXPECT_EQ(names_in(dir_.path()), std::vector<std::string>{"q.sql"});
        EXPECT_EQ(read_file(file), kSql);
    }
}

TEST_F(RaceTest, NextRunRemovesTemporariesOfAKilledRun)
{
    const std::string file = dir_.file("q.sql");
    write_file(file, kSql);
    const pid_t dead = run_killed_by(SIGKILL, file);
    ASSERT_NE(dead, 0);
    const std::string left = name_with_prefix(dir_.path(), ".prax-batch-" + std::to_string(dead) + "-");
    ASSERT_FALSE(left.empty()) << "a killed run leaves its temporary file, named after its process";
    // One of a process that still runs (init) is not stale, whatever its age.
    write_file(dir_.file(".prax-batch-1-abcdef"), "in use\n");

    write_file(dir_.file("other.sql"), kSql);
    EXPECT_EQ(format_in_place(dir_.file("other.sql")), kFormatOk);
    EXPECT_EQ(names_in(dir_.path()),
              (std::vector<std::string>{".prax-batch-1-abcdef", "other.sql", "other.sq~", "q.sql"}));
    EXPECT_EQ(read_file(file), kSql);
}

} // namespace
} // namespace prax::faults
