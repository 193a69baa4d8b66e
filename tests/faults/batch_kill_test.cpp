// The batch killed at random moments: a child formats a list of files in
// place and is sent SIGKILL; after every kill each file's last whole text, or
// that text formatted, must exist in full under the file's own name or its
// backup name. The batch then runs again on the same files, as a user would
// run it again after a crash, so a kill that left a half-written file must not
// cost the text on the next run either.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

#include "batch/batch.h"
#include "engine/engine.h"
#include "engine/options.h"
#include "tests/faults/fault_support.h"

namespace prax::faults {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A statement long enough that formatting it takes a while, so that kills
// land inside the engine's writes as well as between the file operations.
std::string long_sql(int statements)
{
    std::string text;
    for (int i = 0; i < statements; ++i) {
        text += "select a" + std::to_string(i) + ", b, c from t1 x, t2 y where x.k = y.k and (b > " +
                std::to_string(i) + " or c in (select d from u where e = 'it''s'));\n";
    }
    return text;
}

// The files of the batch: a few of the own samples and, where it exists, of the
// shared corpus; two long ones; one without SQL.
std::vector<std::pair<std::string, std::string>> batch_texts()
{
    std::vector<std::pair<std::string, std::string>> texts = {
        {"long1.sql", long_sql(800)},
        {"notes.txt", "Nothing to format here.\n"},
        {"long2.sql", long_sql(400)},
    };
    for (const fs::path &dir : {fs::path(PRAX_SAMPLES_DIR) / "sql", fs::path(PRAX_SAMPLES_DIR) / "embedded",
                               fs::path(PRAX_CORPUS_DIR) / "sql", fs::path(PRAX_CORPUS_DIR) / "embedded"}) {
        if (!fs::is_directory(dir))
            continue;
        int taken = 0;
        for (const auto &entry : fs::directory_iterator(dir)) {
            if (taken++ == 4)
                break;
            if (auto text = read_file(entry.path().string()))
                texts.emplace_back(entry.path().filename().string(), *text);
        }
    }
    return texts;
}

struct TrackedFile {
    std::string path;
    std::string whole; // the last text known to be complete under one of the names
};

class BatchKillTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        set_status_hook(nullptr);
        format_options = load_default_format_options();
    }
    void TearDown() override { format_options = default_format_options; }

    // The text and its formatted form, formatted once per distinct text.
    const std::optional<std::string> &formatted_once(const std::string &text)
    {
        auto it = cache_.find(text);
        if (it == cache_.end())
            it = cache_.emplace(text, formatted(text)).first;
        return it->second;
    }

    std::map<std::string, std::optional<std::string>> cache_;
};

// Runs the batch in a child; kills it after `delay` (or lets it finish when
// the delay is longer than the batch). Returns true when it was killed.
bool run_batch_killed_after(const std::vector<std::string> &files, std::chrono::microseconds delay)
{
    const pid_t child = ::fork();
    if (child == 0) {
        format_files_in_place(files);
        ::_exit(0);
    }
    if (child < 0)
        return false;
    std::this_thread::sleep_for(delay);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status);
}

TEST_F(BatchKillTest, EveryFilesTextSurvivesAKillAtAnyMoment)
{
    ScratchDir dir;
    ASSERT_FALSE(dir.path().empty());
    std::vector<TrackedFile> tracked;
    std::vector<std::string> files;
    for (const auto &[name, text] : batch_texts()) {
        tracked.push_back({dir.file(name), text});
        files.push_back(dir.file(name));
        write_file(dir.file(name), text);
    }

    // One uninterrupted batch on copies tells how long a run takes; kills
    // are spread over that time and a little beyond it.
    ScratchDir probe;
    std::vector<std::string> probe_files;
    for (const TrackedFile &file : tracked) {
        probe_files.push_back(probe.file(fs::path(file.path).filename().string()));
        write_file(probe_files.back(), file.whole);
    }
    // notes.txt holds no SQL, nor does host-language source without EXEC SQL.
    int without_sql = 0;
    const int saved_indentation = format_options.starting_indentation;
    for (const TrackedFile &file : tracked) {
        std::string out;
        const FormatRequest request{-1, is_host_source_path(file.path)};
        without_sql += prax::format_text(file.whole, out, request) == kNoSqlFound ? 1 : 0;
    }
    format_options.starting_indentation = saved_indentation;
    const Clock::time_point probe_start = Clock::now();
    ASSERT_EQ(format_files_in_place(probe_files), without_sql);
    const auto batch_time = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - probe_start);

    std::mt19937 random(20240611);
    std::uniform_int_distribution<long> delay_us(0, batch_time.count() + batch_time.count() / 5 + 1);
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(25);
    int kills = 0, iterations = 0;
    while (iterations < 400 && Clock::now() < deadline) {
        ++iterations;
        const long delay = delay_us(random);
        kills += run_batch_killed_after(files, std::chrono::microseconds(delay)) ? 1 : 0;
        for (TrackedFile &file : tracked) {
            const std::optional<std::string> &done = formatted_once(file.whole);
            const std::optional<std::string> own = read_file(file.path);
            const std::optional<std::string> backup = read_file(backup_name(file.path));
            auto is_whole = [&](const std::optional<std::string> &text) {
                return text && (*text == file.whole || (done && *text == *done));
            };
            ASSERT_TRUE(is_whole(own) || is_whole(backup))
                << file.path << ": text lost after a kill at " << delay << " us (iteration " << iterations << ")";
            // What stands under the own name becomes the text of the next run
            // when it is whole; a half-written file leaves the text in the backup.
            if (is_whole(own))
                file.whole = *own;
        }
    }
    RecordProperty("iterations", iterations);
    RecordProperty("kills", kills);
    EXPECT_GT(kills, iterations / 4) << "the kills came too late to test anything";
}

} // namespace
} // namespace prax::faults
