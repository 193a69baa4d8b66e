// Tests of the batch job's core on real files in a fresh temporary directory:
// backup names, formatting in place (success, refused rename, failed format),
// job-list files, the batch loops and the check used by prax-format --check.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <utility>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <sys/xattr.h>
#include <dirent.h>
#include <unistd.h>

#include "batch/batch.h"
#include "engine/engine.h"
#include "engine/options.h"

namespace {

const char kSql[] = "select a, b from t where x = 1 and y = 2;\n";
const char kNoSql[] = "Just some notes,\nnothing to format here.\n";

std::string read_bytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_bytes(const std::string &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

bool exists(const std::string &path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> names_in(const std::string &dir)
{
    std::vector<std::string> names;
    if (DIR *d = ::opendir(dir.c_str())) {
        while (dirent *e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(d);
    }
    return names;
}

class BatchCoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/prax-batch-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dir_ = pattern;
        prax::format_options = prax::default_format_options;
    }
    void TearDown() override
    {
        prax::format_options = prax::default_format_options;
        std::system(("rm -rf '" + dir_ + "'").c_str());
    }
    std::string path(const std::string &name) const { return dir_ + "/" + name; }

    // What the engine makes of `text`, formatted outside the batch.
    std::string formatted(const std::string &text)
    {
        const std::string in = path("reference.in"), out = path("reference.out");
        write_bytes(in, text);
        EXPECT_EQ(prax::format_file(in.c_str(), out.c_str()), prax::kFormatOk);
        std::string result = read_bytes(out);
        std::remove(in.c_str());
        std::remove(out.c_str());
        return result;
    }

    std::string dir_;
};

TEST(BackupName, ReplacesLastCharacterWhenThePathHoldsAFullStop)
{
    EXPECT_EQ(prax::backup_name("/sql/QUERY.SQL"), "/sql/QUERY.SQ~");
    EXPECT_EQ(prax::backup_name("/sql/README"), "/sql/README.~");
    // The full stop of a directory counts.
    EXPECT_EQ(prax::backup_name("/v1.0/QUERY"), "/v1.0/QUER~");
    EXPECT_EQ(prax::backup_name("NAME."), "NAME~");
}

TEST_F(BatchCoreTest, FormatInPlaceKeepsOriginalInBackup)
{
    const std::string file = path("query.sql");
    write_bytes(file, kSql);
    write_bytes(path("query.sq~"), "an older backup\n");
    const std::string expected = formatted(kSql);

    EXPECT_EQ(prax::format_in_place(file), prax::kFormatOk);
    EXPECT_EQ(read_bytes(file), expected);
    EXPECT_EQ(read_bytes(path("query.sq~")), kSql);
}

TEST_F(BatchCoreTest, FormatInPlaceKeepsPermissionBits)
{
    // A private file stays private; a read-only file is formatted and stays
    // read-only; set-id bits of a file of our own stay.
    for (const mode_t mode : {mode_t(0600), mode_t(0640), mode_t(0444), mode_t(0775), mode_t(04755), mode_t(02750)}) {
        SCOPED_TRACE(mode);
        const std::string file = path("mode.sql");
        std::remove(file.c_str());
        write_bytes(file, kSql);
        ASSERT_EQ(::chmod(file.c_str(), mode), 0);
        ASSERT_EQ(prax::format_in_place(file), prax::kFormatOk);
        struct stat st;
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
    }
}

// Owner and group (when this process may set them) and extended attributes
// stay with the formatted file.
TEST_F(BatchCoreTest, FormatInPlaceKeepsOwnerAndExtendedAttributes)
{
    const std::string file = path("owned.sql");
    write_bytes(file, kSql);
    const bool root = ::geteuid() == 0;
    if (root)
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    const bool have_xattr = ::setxattr(file.c_str(), "user.prax.origin", "batch", 5, 0) == 0;
    if (!root && !have_xattr)
        GTEST_SKIP() << "neither root nor user extended attributes here";
    struct stat before;
    ASSERT_EQ(::stat(file.c_str(), &before), 0);

    ASSERT_EQ(prax::format_in_place(file), prax::kFormatOk);
    struct stat after;
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino); // replaced by the formatted file, not rewritten
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    if (have_xattr) {
        char value[16] = {};
        EXPECT_EQ(::getxattr(file.c_str(), "user.prax.origin", value, sizeof value), 5);
        EXPECT_STREQ(value, "batch");
    }
}

// A file with a second name (a hard link) is formatted under both names, and
// its text before is safe in the backup, or nowhere when no backup is asked for.
TEST_F(BatchCoreTest, HardLinkedFileIsWrittenThroughItsInode)
{
    for (const bool backup : {true, false}) {
        SCOPED_TRACE(backup);
        write_bytes(path("a.sql"), kSql);
        ASSERT_EQ(::link(path("a.sql").c_str(), path("b.sql").c_str()), 0);
        struct stat before, after;
        ASSERT_EQ(::stat(path("a.sql").c_str(), &before), 0);
        prax::InPlaceOptions options;
        options.backup = backup;
        ASSERT_EQ(prax::format_in_place(path("a.sql"), options), prax::kFormatOk);
        ASSERT_EQ(::stat(path("b.sql").c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_nlink, 2u);
        EXPECT_EQ(read_bytes(path("b.sql")), formatted(kSql));
        std::vector<std::string> names = names_in(dir_);
        std::sort(names.begin(), names.end());
        if (backup) {
            EXPECT_EQ(read_bytes(path("a.sq~")), kSql);
            EXPECT_EQ(names, (std::vector<std::string>{"a.sql", "a.sq~", "b.sql"}));
        } else {
            EXPECT_EQ(names, (std::vector<std::string>{"a.sql", "b.sql"}));
        }
        for (const std::string &name : names)
            std::remove(path(name).c_str());
    }
}

// Nothing is touched, the file with the backup name included, unless the path
// names a regular file (after following a symlink); none of these hangs.
TEST_F(BatchCoreTest, OnlyARegularFileHasItsBackupReplaced)
{
    ASSERT_EQ(::symlink("nowhere.sql", path("dangling.sql").c_str()), 0);
    ASSERT_EQ(::mkdir(path("sub.sql").c_str(), 0700), 0);
    ASSERT_EQ(::mkfifo(path("pipe.sql").c_str(), 0600), 0);
    const struct {
        std::string path;
        std::string backup;
        int result;
    } cases[] = {
        {path("gone.sql"), path("gone.sq~"), prax::kBackupFailed},
        {path("dangling.sql"), path("dangling.sq~"), prax::kBackupFailed},
        {path("sub.sql"), path("sub.sq~"), prax::kInputNotOpened},
        {path("pipe.sql"), path("pipe.sq~"), prax::kInputNotOpened},
        {dir_ + "/.", dir_ + "/~", prax::kInputNotOpened},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.path);
        ASSERT_EQ(prax::backup_name(c.path), c.backup);
        write_bytes(c.backup, "kept\n");
        EXPECT_EQ(prax::format_in_place(c.path), c.result);
        EXPECT_EQ(read_bytes(c.backup), "kept\n");
    }
}

// One file under several spellings in one run is formatted once: its backup
// holds its text before the run, not the text of a first pass.
TEST_F(BatchCoreTest, EachFileIsFormattedOncePerRun)
{
    ASSERT_EQ(::mkdir(path("d").c_str(), 0700), 0);
    const std::string file = path("d/q.sql");
    const std::vector<std::string> spellings = {file, file, path("d/./q.sql"), path("d//q.sql"), path("link.sql")};
    ASSERT_EQ(::symlink("d/q.sql", path("link.sql").c_str()), 0);
    const std::string done = formatted(kSql);
    auto check = [&](int failures) {
        EXPECT_EQ(failures, 0);
        EXPECT_EQ(read_bytes(file), done);
        EXPECT_EQ(read_bytes(path("d/q.sq~")), kSql);
        write_bytes(file, kSql); // a fresh original for the next loop
    };
    write_bytes(file, kSql);
    check(prax::format_files_in_place(spellings));
    check(prax::run_batch(spellings));
    ASSERT_EQ(prax::write_job_list(path("jobs.lis"), spellings), 0);
    check(prax::format_job_list_in_place(path("jobs.lis")));

    // A file that fails fails under each of its names, and is tried once.
    write_bytes(path("n.txt"), kNoSql);
    std::vector<int> results;
    prax::format_files_in_place({path("n.txt"), dir_ + "/./n.txt"},
                                [&](const std::string &, int result) { results.push_back(result); });
    EXPECT_EQ(results, (std::vector<int>{prax::kNoSqlFound, prax::kNoSqlFound}));
}

// A file another program saves while the engine runs keeps that program's
// text, whether it wrote the file itself or put a new file in its place.
TEST_F(BatchCoreTest, FileChangedDuringTheRunIsLeftAsItIs)
{
    const std::string file = path("q.sql");
    const std::string theirs = "select 'saved by the editor meanwhile' from t;\n";
    const std::function<void()> saves[] = {
        [&] { write_bytes(file, theirs); },
        [&] {
            write_bytes(path("new.sql"), theirs);
            ASSERT_EQ(std::rename(path("new.sql").c_str(), file.c_str()), 0);
        },
    };
    for (const auto &save : saves) {
        write_bytes(file, kSql);
        bool saved = false;
        prax::set_status_hook([&](std::string_view) {
            if (!std::exchange(saved, true))
                save();
        });
        EXPECT_EQ(prax::format_in_place(file), prax::kFileChanged);
        prax::set_status_hook(nullptr);
        EXPECT_TRUE(saved);
        EXPECT_EQ(read_bytes(file), theirs);
        EXPECT_EQ(names_in(dir_), std::vector<std::string>{"q.sql"});
    }
}


TEST_F(BatchCoreTest, FormatInPlaceRefusesFilesItCannotMoveAside)
{
    // "x.sql~" is its own backup name: it must not be deleted as the older backup.
    write_bytes(path("edit.sql~"), kSql);
    EXPECT_EQ(prax::format_in_place(path("edit.sql~")), prax::kBackupFailed);
    EXPECT_EQ(read_bytes(path("edit.sql~")), kSql);

    // A path with a NUL byte would otherwise act on the file its prefix names.
    write_bytes(path("a.sql"), kSql);
    EXPECT_EQ(prax::format_in_place(path("a.sql") + std::string(1, '\0') + "x"), prax::kBackupFailed);
    EXPECT_EQ(read_bytes(path("a.sql")), kSql);
    EXPECT_FALSE(exists(path("a.sq~")));
}

TEST_F(BatchCoreTest, FailedFormatPutsTheOriginalBack)
{
    const std::string file = path("notes.txt");
    write_bytes(file, kNoSql);
    EXPECT_EQ(prax::format_in_place(file), prax::kNoSqlFound);
    EXPECT_EQ(read_bytes(file), kNoSql);
    EXPECT_FALSE(exists(path("notes.tx~")));
    // A second run used to delete the only copy of the text.
    EXPECT_EQ(prax::format_in_place(file), prax::kNoSqlFound);
    EXPECT_EQ(read_bytes(file), kNoSql);
    EXPECT_EQ(names_in(dir_), std::vector<std::string>{"notes.txt"});
}

TEST_F(BatchCoreTest, FormatInPlaceRestoresStartingIndentation)
{
    prax::format_options.starting_indentation = 3;
    const std::string file = path("host.pc");
    write_bytes(file, "int main()\n{\n        EXEC SQL SELECT a FROM t;\n}\n");
    prax::format_in_place(file);
    EXPECT_EQ(prax::format_options.starting_indentation, 3);
}

// prax-format --in-place: no backup, already formatted files left alone,
// files without SQL left alone as done.
TEST_F(BatchCoreTest, InPlaceOptionsLeaveUnchangedAndSqlLessFilesAlone)
{
    prax::InPlaceOptions options;
    options.backup = false;
    options.skip_unchanged = true;
    options.no_sql_is_success = true;
    const std::string done = formatted(kSql);
    write_bytes(path("raw.sql"), kSql);
    write_bytes(path("done.sql"), done);
    write_bytes(path("notes.txt"), kNoSql);
    struct stat before, after;
    ASSERT_EQ(::stat(path("done.sql").c_str(), &before), 0);
    ::usleep(20000); // a rewrite would show in the modification time

    EXPECT_EQ(prax::format_files_in_place({path("raw.sql"), path("done.sql"), path("notes.txt")}, options), 0);
    EXPECT_EQ(read_bytes(path("raw.sql")), done);
    EXPECT_EQ(read_bytes(path("notes.txt")), kNoSql);
    ASSERT_EQ(::stat(path("done.sql").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    std::vector<std::string> names = names_in(dir_);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"done.sql", "notes.txt", "raw.sql"}));
}

// A symlink is followed: the target is formatted (backup beside it), the link stays.
TEST_F(BatchCoreTest, InPlaceFollowsSymlinks)
{
    ASSERT_EQ(::mkdir(path("store").c_str(), 0700), 0);
    write_bytes(path("store/real.sql"), kSql);
    ASSERT_EQ(::symlink("store/real.sql", path("link.sql").c_str()), 0);
    EXPECT_EQ(prax::format_in_place(path("link.sql")), prax::kFormatOk);
    struct stat st;
    ASSERT_EQ(::lstat(path("link.sql").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(read_bytes(path("store/real.sql")), formatted(kSql));
    EXPECT_EQ(read_bytes(path("store/real.sq~")), kSql);
    EXPECT_FALSE(exists(path("link.sq~")));
}

// A C file with SQL words but no EXEC SQL holds no SQL; the same text named .sql does.
TEST_F(BatchCoreTest, HostSourceIsDecidedByTheFilesOwnName)
{
    const std::string text = "int main(void) { return 0; }\nselect a from t;\n";
    std::string out;
    prax::FormatRequest host;
    host.host_source = true;
    ASSERT_EQ(prax::format_text(text, out, host), prax::kNoSqlFound);
    write_bytes(path("prog.c"), text);
    ASSERT_EQ(::symlink("prog.c", path("prog.sql").c_str()), 0);
    EXPECT_EQ(prax::format_in_place(path("prog.c")), prax::kNoSqlFound);
    EXPECT_EQ(prax::check_file(path("prog.c")), prax::kNoSqlFound);
    EXPECT_EQ(prax::format_in_place(path("prog.sql")), prax::kFormatOk);
}

TEST(JobEntry, JoinsDirectoryAndNameAndRefusesPatternsAndBlanks)
{
    EXPECT_EQ(prax::make_job_entry("/", "A.SQL"), "/A.SQL");
    EXPECT_EQ(prax::make_job_entry("/sql", "A.SQL"), "/sql/A.SQL");
    EXPECT_EQ(prax::make_job_entry("/sql/", "A.SQL"), "/sql/A.SQL");
    EXPECT_EQ(prax::make_job_entry("/sql", "*.sql"), "");
    EXPECT_EQ(prax::make_job_entry("/sql", " A.SQL"), "");
    EXPECT_EQ(prax::make_job_entry("/sql", ""), "");
    // A name picked from the file list is joined as it is.
    EXPECT_EQ(prax::join_path("/sql", " A.SQL"), "/sql/ A.SQL");
    EXPECT_EQ(prax::join_path("/", "*x"), "/*x");
}

TEST(JobEntry, EqualEntriesIgnoreAsciiCaseOnly)
{
    std::vector<std::string> list;
    EXPECT_TRUE(prax::add_job_entry(list, "/SQL/A.SQL"));
    EXPECT_FALSE(prax::add_job_entry(list, "/sql/a.sql"));
    EXPECT_TRUE(prax::add_job_entry(list, "/sql/a.sq"));
    // Bytes above 127 are not letters: \xC4 and \xE4 differ.
    EXPECT_TRUE(prax::add_job_entry(list, "/\xC4.sql"));
    EXPECT_TRUE(prax::add_job_entry(list, "/\xE4.sql"));
    EXPECT_EQ(list.size(), 4u);
}

TEST_F(BatchCoreTest, JobListRoundTripReversesOrderWithCrLf)
{
    const std::string list_file = path("jobs.lis");
    const std::vector<std::string> list{"/a/one.sql", "", "/a/two.sql", "/a/three.sql"};
    ASSERT_EQ(prax::write_job_list(list_file, list), 0);
    EXPECT_EQ(read_bytes(list_file), "/a/three.sql\r\n/a/two.sql\r\n/a/one.sql\r\n");

    std::vector<std::string> read_back;
    ASSERT_EQ(prax::read_job_list(list_file, read_back), 0);
    EXPECT_EQ(read_back, (std::vector<std::string>{"/a/three.sql", "/a/two.sql", "/a/one.sql"}));

    ASSERT_EQ(prax::write_job_list(list_file, {}), 0);
    EXPECT_EQ(read_bytes(list_file), "");
}

TEST_F(BatchCoreTest, ReadJobListSplitsWordsAndSkipsEqualEntries)
{
    const std::string long_word = "/" + std::string(5000, 'x') + ".sql";
    write_bytes(path("jobs.lis"), " /a/b.sql\t/a/c d.sql\r\n\v\f/A/B.SQL /a/\xE9.sql " + long_word + "\n/x/y");
    std::vector<std::string> list{"/x/Y"};
    ASSERT_EQ(prax::read_job_list(path("jobs.lis"), list), 0);
    EXPECT_EQ(list, (std::vector<std::string>{"/x/Y", "/a/b.sql", "/a/c", "d.sql", "/a/\xE9.sql", long_word}));
}

TEST_F(BatchCoreTest, JobListFilesThatCannotBeUsed)
{
    std::vector<std::string> list{"/keep.sql"};
    EXPECT_EQ(prax::read_job_list(path("missing.lis"), list), prax::kJobListNotOpened);
    EXPECT_EQ(prax::read_job_list(dir_, list), prax::kJobListNotOpened); // a directory opens but does not read
    // Only regular files, and none beyond 64 MiB: /dev/zero never ends, a FIFO blocks.
    EXPECT_EQ(prax::read_job_list("/dev/zero", list), prax::kJobListNotOpened);
    ASSERT_EQ(::mkfifo(path("fifo.lis").c_str(), 0600), 0);
    EXPECT_EQ(prax::read_job_list(path("fifo.lis"), list), prax::kJobListNotOpened);
    write_bytes(path("huge.lis"), "/a.sql\n");
    ASSERT_EQ(::truncate(path("huge.lis").c_str(), prax::kMaxJobListBytes + 1), 0); // sparse
    EXPECT_EQ(prax::read_job_list(path("huge.lis"), list), prax::kJobListTooLarge);
    EXPECT_EQ(list, std::vector<std::string>{"/keep.sql"});

    EXPECT_EQ(prax::write_job_list(dir_, list), prax::kJobListNotOpened);
    EXPECT_EQ(prax::write_job_list(path("no/such/dir.lis"), list), prax::kJobListNotOpened);
    if (exists("/dev/full"))
        EXPECT_EQ(prax::write_job_list("/dev/full", list), prax::kJobListNotWritten);
}

TEST_F(BatchCoreTest, BatchRunsFromLastEntryToFirst)
{
    write_bytes(path("a.sql"), kSql);
    write_bytes(path("b.txt"), kNoSql);
    std::vector<std::pair<std::string, int>> heard;
    const int failures = prax::run_batch({path("a.sql"), "", path("b.txt"), path("missing.sql")},
                                         [&](const std::string &file, int result) { heard.emplace_back(file, result); });
    EXPECT_EQ(failures, 2);
    const std::vector<std::pair<std::string, int>> expected{
        {path("missing.sql"), prax::kBackupFailed}, {path("b.txt"), prax::kNoSqlFound}, {path("a.sql"), prax::kFormatOk}};
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(read_bytes(path("a.sq~")), kSql);
}

TEST_F(BatchCoreTest, CommandLineLoopsReportOnlyFailuresInTheirOrder)
{
    write_bytes(path("a.sql"), kSql);
    write_bytes(path("b.sql"), kSql);
    write_bytes(path("n.txt"), kNoSql);
    std::vector<std::string> failed;
    auto record = [&](const std::string &file, int) { failed.push_back(file); };

    EXPECT_EQ(prax::format_files_in_place({path("n.txt"), path("a.sql"), path("none.sql")}, record), 2);
    EXPECT_EQ(failed, (std::vector<std::string>{path("n.txt"), path("none.sql")}));

    // The job list holds b then n; the batch's order takes n first.
    failed.clear();
    ASSERT_EQ(prax::write_job_list(path("jobs.lis"), {path("n.txt"), path("b.sql")}), 0);
    EXPECT_EQ(prax::format_job_list_in_place(path("jobs.lis"), record), 1);
    EXPECT_EQ(failed, std::vector<std::string>{path("n.txt")});
    EXPECT_EQ(read_bytes(path("b.sq~")), kSql);

    failed.clear();
    EXPECT_EQ(prax::format_job_list_in_place(path("none.lis"), record), 1);
    EXPECT_EQ(failed, std::vector<std::string>{path("none.lis")});
    EXPECT_STREQ(prax::batch_result_text(prax::kNoSqlFound), "no SQL found");
}

TEST_F(BatchCoreTest, CheckComparesWithoutWritingAnything)
{
    // Temporary files of the check go to TMPDIR; point it at a directory of our own.
    const std::string tmp = path("tmp");
    ASSERT_EQ(::mkdir(tmp.c_str(), 0700), 0);
    const char *old_tmpdir = std::getenv("TMPDIR");
    const std::string saved = old_tmpdir ? old_tmpdir : "";
    ::setenv("TMPDIR", tmp.c_str(), 1);

    const std::string once = formatted(kSql);
    write_bytes(path("raw.sql"), kSql);
    write_bytes(path("once.sql"), once);
    write_bytes(path("n.txt"), kNoSql);
    const int twice_differs = formatted(once) == once ? prax::kCheckUnchanged : prax::kCheckDiffers;

    ASSERT_NE(once, kSql); // keywords come out in upper case
    EXPECT_EQ(prax::check_file(path("raw.sql")), prax::kCheckDiffers);
    EXPECT_EQ(prax::check_file(path("once.sql")), twice_differs);
    EXPECT_EQ(prax::check_file(path("n.txt")), prax::kNoSqlFound);
    EXPECT_EQ(prax::check_file(path("none.sql")), prax::kInputNotOpened);

    std::vector<std::string> heard;
    const int reported = prax::check_files({path("n.txt"), path("once.sql")},
                                           [&](const std::string &file, int) { heard.push_back(file); });
    EXPECT_EQ(reported, static_cast<int>(heard.size()));
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard.front(), path("n.txt"));

    EXPECT_TRUE(names_in(tmp).empty());
    EXPECT_EQ(read_bytes(path("raw.sql")), kSql);
    EXPECT_FALSE(exists(path("raw.sq~")));
    if (old_tmpdir)
        ::setenv("TMPDIR", saved.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

} // namespace
