// Properties that must hold on real input, for every sample and every option
// variant: the run succeeds, the output is the same program (same tokens,
// same host text between statements; see tests/sql_token_reader.h), and
// formatting the output again gives the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string_view>

#include <strings.h>

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
    // The layout extras, each alone, the modern style, and every extra at once.
    for (const LayoutExtra &e : kLayoutExtras)
        v.emplace_back(e.name, with(base, e.field, 1));
    FormatOptions modern = base;
    apply_style(modern, "modern");
    v.emplace_back("--style modern", modern);
    modern.list_per_line = 1;
    v.emplace_back("every layout extra", modern);
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
        if (cobol) {
            EXPECT_TRUE(run.output == input) << "a COBOL source changed";
        }
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

// The limits the modern style keeps on real queries, checked line by line
// on its output:
//   - no line is longer than the wrap length, unless it holds a single token
//     after its indentation (a word: with the qualifiers and punctuation
//     glued to it, "s.long_name(", "x);") or a token that alone is longer
//     than the wrap length;
//   - in a statement whose subqueries nest no deeper than two (at most two
//     "(SELECT" / "(WITH" parentheses open around any token of it), no line
//     is indented past column 24.
// Lines that continue a token of several lines (a block comment, a literal)
// are the input's own and not looked at. Returns "file:line: why" per fault.
constexpr int kModernMaxIndent = 24;
constexpr int kModernMaxDepth = 2;

int columns(std::string_view text)
{
    int n = 0;
    for (unsigned char c : text)
        n += c == '\t' ? 8 : (c & 0xC0) == 0x80 ? 0 : 1;
    return n;
}

std::vector<std::string> modern_limit_faults(const std::string &name, const std::string &text, int wrap)
{
    const std::vector<SqlToken> tokens = read_sql_tokens(text);
    // Subquery depth of each statement, and the statement of each token.
    std::vector<int> statement_of(tokens.size()), statement_depth(1, 0);
    std::vector<bool> parens; // open parentheses: does each open a subquery?
    int depth = 0;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const std::string &t = tokens[i].text;
        statement_of[i] = static_cast<int>(statement_depth.size()) - 1;
        if (t == "(" && tokens[i].kind == SqlToken::Operator) {
            const bool sub = i + 1 < tokens.size() && tokens[i + 1].kind == SqlToken::Name &&
                             (strcasecmp(tokens[i + 1].text.c_str(), "select") == 0 ||
                              strcasecmp(tokens[i + 1].text.c_str(), "with") == 0);
            parens.push_back(sub);
            depth += sub;
            statement_depth.back() = std::max(statement_depth.back(), depth);
        } else if (t == ")" && !parens.empty()) {
            depth -= parens.back();
            parens.pop_back();
        } else if (t == ";") {
            parens.clear();
            depth = 0;
            statement_depth.push_back(0);
        }
    }
    std::vector<std::string> faults;
    std::size_t next = 0; // first token not ending before the line
    int line_no = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        std::string_view line(text.data() + start, end - start);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        ++line_no;
        while (next < tokens.size() && tokens[next].offset + tokens[next].text.size() <= start)
            ++next;
        // The tokens on this line: [next, last); `words`: runs of them with
        // no blank between ("t.total),").
        std::size_t last = next;
        int longest = 0, words = 0;
        while (last < tokens.size() && tokens[last].offset < end) {
            const SqlToken &t = tokens[last];
            const std::size_t from = std::max(t.offset, start), to = std::min(t.offset + t.text.size(), end);
            longest = std::max(longest, columns(std::string_view(text).substr(from, to - from)));
            words += last == next || tokens[last - 1].offset + tokens[last - 1].text.size() < t.offset;
            ++last;
        }
        const bool continues = next < tokens.size() && tokens[next].offset < start;
        const std::string where = name + ":" + std::to_string(line_no) + ": ";
        const int width = columns(line);
        if (width > wrap && words > 1 && longest <= wrap)
            faults.push_back(where + std::to_string(width) + " columns: " + std::string(line));
        const int indent = static_cast<int>(line.find_first_not_of(' '));
        if (!continues && last > next && indent > kModernMaxIndent &&
            statement_depth[statement_of[next]] <= kModernMaxDepth)
            faults.push_back(where + "indented " + std::to_string(indent) + ": " + std::string(line));
        start = end + 1;
    }
    return faults;
}

// Formats every file in --style modern and lists what breaks the limits.
void expect_modern_limits(const std::vector<fs::path> &files)
{
    FormatOptions options = load_defaults();
    apply_style(options, "modern");
    std::string faults;
    for (const fs::path &file : files) {
        const FormatRun run = format_text(read_file(file.string()), options);
        ASSERT_EQ(run.result, kFormatOk) << file;
        for (const std::string &fault : modern_limit_faults(file.filename().string(), run.output, options.wrap_length))
            faults += fault + "\n";
    }
    EXPECT_TRUE(faults.empty()) << "lines beyond the limits:\n" << faults;
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

TEST_F(CorpusTest, OwnSamplesInModernStyleKeepTheLineLimits)
{
    expect_modern_limits(files_in(PRAX_SAMPLES_DIR, {"sql"}));
}

TEST_F(CorpusTest, SharedCorpusInModernStyleKeepsTheLineLimits)
{
    const fs::path root = PRAX_SHARED_CORPUS_DIR;
    if (!fs::is_directory(root / "sql"))
        GTEST_SKIP() << "skipped: ../shared/corpus/sql not found";
    expect_modern_limits(files_in(root, {"sql"}));
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
