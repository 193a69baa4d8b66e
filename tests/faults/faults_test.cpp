// Fault injection through the engine, the batch core, the profile and
// prax-format: a full device, an output directory that is missing or goes
// away during the run, an input that is a directory, files the process may not
// read (as root, by giving up root in a child), a read error in mid-file,
// broken profiles and job lists. Each must end with a clear result or message
// and leave every byte of the user's text where it was.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <filesystem>

#include "batch/batch.h"
#include "engine/engine.h"
#include "engine/options.h"
#include "tests/faults/fault_support.h"

namespace prax::faults {
namespace {

namespace fs = std::filesystem;

const char kSql[] = "select a, b from t where x = 1 and y = 2;\n";

// SQL whose formatted text is well over the engine's 64 KiB output buffer, so
// that a full device fails during the run and not only at the final flush.
std::string long_sql()
{
    std::string text;
    for (int i = 0; i < 3000; ++i)
        text += "select a, b from t where x = " + std::to_string(i) + ";\n";
    return text;
}

bool same_options(const FormatOptions &a, const FormatOptions &b)
{
    FormatOptions x = a, y = b;
    for (const char *name : kOptionFieldNames) {
        if (*option_field(x, name) != *option_field(y, name))
            return false;
    }
    return true;
}

class FaultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        format_options = load_default_format_options();
        set_status_hook([this](std::string_view text) { messages_.emplace_back(text); });
        ASSERT_FALSE(dir_.path().empty());
    }
    void TearDown() override
    {
        set_status_hook(nullptr);
        format_options = default_format_options;
    }

    ScratchDir dir_;
    std::vector<std::string> messages_;
};

TEST_F(FaultTest, FullDeviceIsAWriteFailureNeverASuccess)
{
    for (const std::string &text : {std::string(kSql), long_sql()}) {
        SCOPED_TRACE(text.size());
        const std::string in = dir_.file("in.sql");
        write_file(in, text);
        EXPECT_EQ(format_file(in.c_str(), "/dev/full"), kOutputFailed);
        EXPECT_EQ(read_file(in), text);
        // The failure leaves nothing behind: the next run formats normally.
        EXPECT_EQ(formatted(text).has_value(), true);
    }
    EXPECT_EQ(write_job_list("/dev/full", {"a.sql", "b.sql"}), kJobListNotWritten);
}

TEST_F(FaultTest, MissingOutputDirectoryCreatesNothing)
{
    const std::string in = dir_.file("in.sql");
    write_file(in, kSql);
    const std::string out = dir_.file("gone/out.sql");
    EXPECT_EQ(format_file(in.c_str(), out.c_str()), kOutputFailed);
    EXPECT_EQ(names_in(dir_.path()), std::vector<std::string>{"in.sql"});
    EXPECT_EQ(read_file(in), kSql);
}

// The detection pass's message arrives while the run is under way: the
// directory is moved (or deleted) between detection and formatting.
TEST_F(FaultTest, OutputDirectoryThatGoesAwayDuringTheRun)
{
    const std::string in = dir_.file("in.sql");
    write_file(in, kSql);
    const std::optional<std::string> expected = formatted(kSql);
    ASSERT_TRUE(expected);
    fs::create_directory(dir_.file("out"));

    // Moved away: the open file goes with it and receives the whole text.
    set_status_hook([&](std::string_view) { fs::rename(dir_.file("out"), dir_.file("moved")); });
    EXPECT_EQ(format_file(in.c_str(), dir_.file("out/x.sql").c_str()), kFormatOk);
    EXPECT_EQ(read_file(dir_.file("moved/x.sql")), expected);

    // Deleted: the file is written to the end but no longer has a name; the
    // run ends normally (nothing of the input is touched) and the next run works.
    set_status_hook([&](std::string_view) { fs::remove_all(dir_.file("moved")); });
    EXPECT_EQ(format_file(in.c_str(), dir_.file("moved/x.sql").c_str()), kFormatOk);
    EXPECT_FALSE(exists(dir_.file("moved")));
    set_status_hook(nullptr);
    EXPECT_EQ(read_file(in), kSql);
    EXPECT_EQ(formatted(kSql), expected);
}

// The batch works relative to the folder it opened: when the folder moves
// during the run, the file is formatted where it now lies, its backup beside
// it, and nothing appears under the folder's old name.
TEST_F(FaultTest, BatchDirectoryMovedDuringTheRunKeepsTheOriginal)
{
    fs::create_directory(dir_.file("work"));
    const std::string file = dir_.file("work/q.sql");
    write_file(file, kSql);
    const std::optional<std::string> expected = formatted(kSql);
    set_status_hook([&](std::string_view) { fs::rename(dir_.file("work"), dir_.file("moved")); });
    EXPECT_EQ(format_in_place(file), kFormatOk);
    EXPECT_EQ(read_file(dir_.file("moved/q.sql")), expected);
    EXPECT_EQ(read_file(dir_.file("moved/q.sq~")), kSql);
    EXPECT_FALSE(exists(dir_.file("work")));
}

TEST_F(FaultTest, DirectoryAsInputFailsWithoutTouchingAnything)
{
    const std::string sub = dir_.file("sub.sql");
    fs::create_directory(sub);
    const std::string out = dir_.file("out.sql");
    EXPECT_EQ(format_file(sub.c_str(), out.c_str()), kInputNotOpened);
    EXPECT_FALSE(exists(out));
    // In place: the directory keeps its name and gets no backup.
    EXPECT_EQ(format_in_place(sub), kInputNotOpened);
    EXPECT_TRUE(fs::is_directory(sub));
    EXPECT_EQ(names_in(dir_.path()), std::vector<std::string>{"sub.sql"});
    std::vector<std::string> list = {"kept"};
    EXPECT_EQ(read_job_list(sub, list), kJobListNotOpened);
    EXPECT_EQ(list, std::vector<std::string>{"kept"});
}

// A read error in mid-file (/proc/self/mem opens, but reading address 0
// fails) is the scanner's fatal "input in flex scanner failed": result -3,
// the message, and a clean scanner for the next run.
TEST_F(FaultTest, ReadErrorInMidFileIsAScannerFailure)
{
    const std::string out = dir_.file("out.sql");
    EXPECT_EQ(format_file("/proc/self/mem", out.c_str()), kScannerFailed);
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(messages_.back(), "input in flex scanner failed\n");
    EXPECT_EQ(formatted(kSql).has_value(), true);
}

// chmod 000 does not stop root; a child that has given up root is stopped.
TEST_F(FaultTest, UnreadableFilesAreRefusedAndKeptWhole)
{
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0777), 0);
    const std::string file = dir_.file("secret.sql");
    const std::string profile = dir_.file("prax.ini");
    const std::string list = dir_.file("jobs.lis");
    write_file(file, kSql);
    write_file(profile, "[Formatting Options]\nInterval=9\n");
    write_file(list, file + "\n");
    for (const std::string &path : {file, profile, list})
        ASSERT_EQ(::chmod(path.c_str(), 0), 0);

    const std::optional<int> engine = as_unprivileged(
        [&] { return format_file(file.c_str(), dir_.file("out.sql").c_str()); });
    if (!engine)
        GTEST_SKIP() << "cannot give up root here (no setuid), so permission bits do not apply";
    EXPECT_EQ(*engine, kInputNotOpened);
    EXPECT_FALSE(exists(dir_.file("out.sql")));

    EXPECT_EQ(as_unprivileged([&] { return format_in_place(file); }), kInputNotOpened);
    EXPECT_EQ(read_file(file), kSql);
    EXPECT_FALSE(exists(backup_name(file)));

    EXPECT_EQ(as_unprivileged([&] {
        std::vector<std::string> entries;
        return read_job_list(list, entries);
    }), kJobListNotOpened);

    // An unreadable profile loads the load defaults and is never replaced.
    EXPECT_EQ(as_unprivileged([&] {
        FormatOptions options = default_format_options;
        options.interval = 77;
        load_format_options(profile, options);
        return options.interval;
    }), 5);
    EXPECT_EQ(as_unprivileged([&] { return save_format_options(profile, default_format_options); }), -1);
    ASSERT_EQ(::chmod(profile.c_str(), 0600), 0);
    EXPECT_EQ(read_file(profile), "[Formatting Options]\nInterval=9\n");

    const ProgramRun cli = run_prax_format({"--no-profile", file}, "", "", true);
    EXPECT_EQ(cli.exit_code, 1);
    EXPECT_EQ(cli.err, "prax-format: " + file + ": cannot open the input for reading\n");
    EXPECT_EQ(cli.out, "");
}

TEST_F(FaultTest, ProfileThatIsADirectoryGivesDefaultsAndIsNotReplaced)
{
    const std::string profile = dir_.file("prax.ini");
    fs::create_directory(profile);
    FormatOptions options = default_format_options;
    options.alignment = 2;
    options.interval = 99;
    load_format_options(profile, options);
    EXPECT_TRUE(same_options(options, load_default_format_options()));
    std::string error;
    EXPECT_EQ(save_format_options(profile, options, &error), -1);
    EXPECT_EQ(error, "cannot read " + profile);
    EXPECT_TRUE(fs::is_directory(profile));
}

TEST_F(FaultTest, GarbageProfileLoadsDefaultsForBadValuesAndKeepsItsBytes)
{
    const std::string profile = dir_.file("prax.ini");
    const std::string junk = std::string("\x00\xff\xfe junk \x01\x02", 12) + std::string(100000, 'z');
    write_file(profile, junk + "\n[Formatting Options]\nInterval=abc\nAlignment=\x80\x81\n"
                              "Wrap length=99999999999999999999\nKey Word Case=-99999999999999999999\n");
    FormatOptions options = default_format_options;
    load_format_options(profile, options);
    EXPECT_EQ(options.interval, 5);  // not a number: the load default
    EXPECT_EQ(options.alignment, 0); // not a number: the load default
    EXPECT_EQ(options.wrap_length, INT_MAX);
    EXPECT_EQ(options.keyword_case, INT_MIN);
    // Formatting with these values ends and keeps the text.
    format_options = options;
    EXPECT_TRUE(formatted(kSql).has_value());

    FormatOptions saved = load_default_format_options();
    saved.interval = -4;
    ASSERT_EQ(save_format_options(profile, saved), 0);
    FormatOptions loaded = default_format_options;
    load_format_options(profile, loaded);
    EXPECT_TRUE(same_options(loaded, saved));
    const std::optional<std::string> text = read_file(profile);
    ASSERT_TRUE(text);
    EXPECT_EQ(text->substr(0, junk.size()), junk);
}

TEST_F(FaultTest, JobListWithBinaryContentAndLongWordsKeepsEntriesWhole)
{
    const std::string long_word = dir_.file(std::string(100000, 'w') + ".sql");
    const std::string binary = std::string("a\0b.sql", 7);
    const std::string high = "\xff\xfe\x80.sql";
    const std::string list_path = dir_.file("jobs.lis");
    write_file(list_path, binary + " \t" + high + "\r\n\v\f" + long_word + "\n" + binary + "\n");
    std::vector<std::string> list;
    ASSERT_EQ(read_job_list(list_path, list), 0);
    EXPECT_EQ(list, (std::vector<std::string>{binary, high, long_word}));

    // Written back and read again: the same entries, whole.
    ASSERT_EQ(write_job_list(dir_.file("again.lis"), list), 0);
    std::vector<std::string> again;
    ASSERT_EQ(read_job_list(dir_.file("again.lis"), again), 0);
    EXPECT_EQ(again, (std::vector<std::string>{long_word, high, binary}));

    // None of them names a file that can be formatted: each fails, nothing is made.
    std::vector<int> results;
    EXPECT_EQ(format_job_list_in_place(list_path, [&](const std::string &, int r) { results.push_back(r); }), 3);
    EXPECT_EQ(results, (std::vector<int>{kBackupFailed, kBackupFailed, kBackupFailed}));
    EXPECT_EQ(names_in(dir_.path()), (std::vector<std::string>{"again.lis", "jobs.lis"}));
}

TEST_F(FaultTest, CommandLineReportsEachFaultWithItsExitStatus)
{
    const std::string in = dir_.file("in.sql");
    write_file(in, kSql);
    const std::string program = "prax-format: ";

    ProgramRun run = run_prax_format({"--no-profile", in}, "", "/dev/full");
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, program + "cannot write standard output\n");

    run = run_prax_format({"--no-profile", in, "-o", "/dev/full"});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, program + "/dev/full: cannot write the output\n");

    run = run_prax_format({"--no-profile", in, "-o", dir_.file("gone/out.sql")});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, program + dir_.file("gone/out.sql") + ": cannot write the output: No such file or directory\n");

    // A device that never ends is refused, not copied until the disk is full.
    run = run_prax_format({"--no-profile", "/dev/zero"});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, program + "/dev/zero: cannot format a device (not a file, a pipe or a terminal)\n");

    // One token (here a run of line feeds) beyond the scanner's buffer: the
    // engine's own message is the cause.
    const std::string big = dir_.file("big.sql");
    write_file(big, "select a from t;\n" + std::string(20000, '\n'));
    run = run_prax_format({"--no-profile", big});
    EXPECT_EQ(run.exit_code, 2);
    EXPECT_EQ(run.err, program + big + ": input buffer overflow, can't enlarge buffer because scanner uses REJECT\n");
    EXPECT_EQ(run.out, "");

    // In place, the file that hits the limit keeps its text and gets no backup.
    run = run_prax_format({"--no-profile", "--in-place", big});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(read_file(big), "select a from t;\n" + std::string(20000, '\n'));
    EXPECT_FALSE(exists(backup_name(big)));

    // A job list of binary words: every entry is reported, nothing is made.
    const std::string list = dir_.file("jobs.lis");
    write_file(list, std::string("\x01\x02 \xff", 4) + "\n");
    run = run_prax_format({"--no-profile", "--job-list", list});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(run.err, program + "\xff: cannot rename the file to its backup name\n" + program +
                           "\x01\x02: cannot rename the file to its backup name\n");
    EXPECT_EQ(read_file(in), kSql);
}

} // namespace
} // namespace prax::faults
