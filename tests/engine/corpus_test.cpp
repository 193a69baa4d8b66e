// Properties that must hold on real input: for every corpus file and option
// variant, the run succeeds and only white space and letter case change.
#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace prax::test {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> corpus_files()
{
    std::vector<fs::path> files;
    for (const char *sub : {"sql", "embedded"}) {
        const fs::path dir = fs::path(PRAX_CORPUS_DIR) / sub;
        if (!fs::is_directory(dir))
            continue;
        for (const auto &entry : fs::directory_iterator(dir))
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
        {"wrap_length", &FormatOptions::wrap_length, {0, 20, 25600}},
        {"interval", &FormatOptions::interval, {-4, 256}},
        {"starting_indentation", &FormatOptions::starting_indentation, {40}},
    };
    for (const auto &c : changes) {
        for (int value : c.values)
            v.emplace_back(std::string(c.name) + "=" + std::to_string(value), with(base, c.field, value));
    }
    return v;
}

TEST(CorpusTest, FormattingChangesOnlyWhiteSpaceAndCase)
{
    const std::vector<fs::path> files = corpus_files();
    ASSERT_FALSE(files.empty()) << "corpus not found at " << PRAX_CORPUS_DIR;
    for (const fs::path &file : files) {
        const std::string input = read_file(file.string());
        const std::string expected = essence(input);
        for (const auto &[name, options] : option_variants()) {
            SCOPED_TRACE(file.filename().string() + " with " + name);
            FormatRun run = format_text(input, options);
            if (run.result == kScannerFailed)
                continue; // a single token beyond the scanner's limit
            ASSERT_EQ(run.result, kFormatOk);
            EXPECT_TRUE(essence(run.output) == expected);
        }
    }
    format_options = default_format_options;
    expect_state_reset();
}

TEST(CorpusTest, FilesWithoutSqlAreReported)
{
    const fs::path dir = fs::path(PRAX_CORPUS_DIR) / "nosql";
    ASSERT_TRUE(fs::is_directory(dir));
    for (const auto &entry : fs::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().filename().string());
        FormatRun run = format_text(read_file(entry.path().string()), load_defaults());
        EXPECT_EQ(run.result, kNoSqlFound);
        EXPECT_EQ(run.output, "");
    }
    format_options = default_format_options;
}

} // namespace
} // namespace prax::test
