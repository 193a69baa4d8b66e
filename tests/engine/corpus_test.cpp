// Properties that must hold on real input, for every sample and every option
// variant: the run succeeds, the output is the same program (same tokens,
// same host text between statements; see tests/sql_token_reader.h), and
// formatting the output again gives the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "test_support.h"
#include "tests/sql_token_reader.h"

namespace prax::test {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> files_in(const fs::path &root, std::initializer_list<const char *> subs)
{
    std::vector<fs::path> files;
    for (const char *sub : subs) {
        if (!fs::is_directory(root / sub))
            continue;
        for (const auto &entry : fs::directory_iterator(root / sub))
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::pair<std::string, FormatOptions>> option_variants()
{
    const FormatOptions base = load_defaults();
    std::vector<std::pair<std::string, FormatOptions>> v = {{"load defaults", base}};
    const struct {
        const char *name;
        int FormatOptions::*field;
        std::vector<int> values;
    } changes[] = {
        {"alignment", &FormatOptions::alignment, {1, 2}},
        {"keyword_case", &FormatOptions::keyword_case, {1, 2}},
        {"and_or_position", &FormatOptions::and_or_position, {1, 2}},
        {"multi_item", &FormatOptions::multi_item, {0}},
        {"newline_on_select", &FormatOptions::newline_on_select, {1}},
        {"newline_after_select", &FormatOptions::newline_after_select, {1}},
        {"match_parenthesis", &FormatOptions::match_parenthesis, {0}},
        {"wrap_length", &FormatOptions::wrap_length, {0, 20, 30, 25600}},
        {"interval", &FormatOptions::interval, {-4, 256}},
        {"starting_indentation", &FormatOptions::starting_indentation, {8, 40}},
    };
    for (const auto &c : changes) {
        for (int value : c.values)
            v.emplace_back(std::string(c.name) + "=" + std::to_string(value), with(base, c.field, value));
    }
    FormatOptions all = base;
    all.alignment = 2;
    all.keyword_case = 2;
    all.multi_item = 0;
    all.and_or_position = 1;
    all.wrap_length = 30;
    all.newline_after_select = 1;
    all.match_parenthesis = 0;
    all.starting_indentation = 8;
    v.emplace_back("all of alignment 2, keyword_case 2, multi_item 0, and_or_position 1, wrap_length 30, "
                   "newline_after_select, match_parenthesis 0, starting_indentation 8",
                   all);
    return v;
}

bool shown(const FormatRun &run, const char *message)
{
    return std::find(run.messages.begin(), run.messages.end(), message) != run.messages.end();
}

// Formats the file under every variant and checks both properties; a COBOL
// source (END-EXEC statements only) must come out exactly as it went in.
void expect_same_program_and_stable(const fs::path &file, bool cobol)
{
    const std::string input = read_file(file.string());
    const FormatRequest request{-1, is_host_source_path(file.string())};
    for (const auto &[name, options] : option_variants()) {
        SCOPED_TRACE(file.filename().string() + " with " + name);
        const FormatRun run = format_text(input, options, request);
        if (run.result == kScannerFailed)
            continue; // a single token beyond the scanner's limit
        if (request.host_source && run.result == kNoSqlFound) {
            // Host-language source in which detection finds no EXEC SQL
            // (another embedding syntax, or one hidden by a quote): left as it is.
            EXPECT_TRUE(shown(run, "No EXEC SQL statements found in host-language source\n"));
            EXPECT_EQ(run.output, "");
            continue;
        }
        ASSERT_EQ(run.result, kFormatOk);
        const bool embedded = shown(run, "Treat the text as embedded SQL\n");
        EXPECT_EQ(compare_meaning(input, run.output, embedded), "");
        if (cobol)
            EXPECT_TRUE(run.output == input) << "a COBOL source changed";
        const FormatRun again = format_text(run.output, options, request);
        if (again.result == kNoSqlFound)
            continue;
        ASSERT_EQ(again.result, kFormatOk);
        EXPECT_TRUE(again.output == run.output) << "a second run changed the output";
    }
}

void expect_no_sql(const fs::path &file)
{
    SCOPED_TRACE(file.filename().string());
    const FormatRequest request{-1, is_host_source_path(file.string())};
    const FormatRun run = format_text(read_file(file.string()), load_defaults(), request);
    EXPECT_EQ(run.result, kNoSqlFound);
    EXPECT_EQ(run.output, "");
}

class CorpusTest : public EngineTest {};

TEST_F(CorpusTest, OwnSamplesKeepTheirMeaningAndSettle)
{
    const fs::path root = PRAX_SAMPLES_DIR;
    const std::vector<fs::path> files = files_in(root, {"sql", "embedded"});
    ASSERT_FALSE(files.empty()) << "no samples in " << root;
    for (const fs::path &file : files)
        expect_same_program_and_stable(file, false);
    for (const fs::path &file : files_in(root, {"cobol"}))
        expect_same_program_and_stable(file, true);
    format_options = default_format_options;
}

TEST_F(CorpusTest, OwnSamplesWithoutSqlAreReported)
{
    const std::vector<fs::path> files = files_in(PRAX_SAMPLES_DIR, {"nosql"});
    ASSERT_FALSE(files.empty());
    for (const fs::path &file : files)
        expect_no_sql(file);
    format_options = default_format_options;
}

TEST_F(CorpusTest, SharedCorpusKeepsItsMeaningAndSettles)
{
    const fs::path root = PRAX_SHARED_CORPUS_DIR;
    if (!fs::is_directory(root))
        GTEST_SKIP() << "skipped: ../shared/corpus not found";
    for (const fs::path &file : files_in(root, {"sql", "embedded"}))
        expect_same_program_and_stable(file, false);
    for (const fs::path &file : files_in(root, {"nosql"}))
        expect_no_sql(file);
    format_options = default_format_options;
}

} // namespace
} // namespace prax::test
