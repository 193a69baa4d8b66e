// The formatting commands' text steps without the editor: where a selection
// starts, what is spliced back around a formatted selection, the size limit,
// and the user's starting_indentation after every step. The engine's own
// output is the oracle.
#include <gtest/gtest.h>

#include <string>

#include "app/beautify.h"
#include "engine/engine.h"
#include "engine/options.h"

namespace prax {
namespace {

using namespace std::string_literals;

constexpr int kUserIndentation = 3;
const std::string kSql = "select a, b from t where x = 1 and y = 2";
constexpr std::size_t kNoLimit = std::size_t(-1);

class BeautifyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        format_options = default_format_options;
        format_options.starting_indentation = kUserIndentation;
    }
    void TearDown() override
    {
        // Every step puts the user's option back.
        EXPECT_EQ(format_options.starting_indentation, kUserIndentation);
        format_options = default_format_options;
    }

    // The engine's output for `text` at `column` (-1: a whole-text run).
    static std::string engine(const std::string &text, int column, bool host = false)
    {
        const int saved = format_options.starting_indentation;
        std::string out;
        EXPECT_EQ(format_text(text, out, FormatRequest{column, host}), kFormatOk) << text;
        format_options.starting_indentation = saved;
        return out;
    }
};

TEST_F(BeautifyTest, SelectionColumnCountsFromTheLastLineFeed)
{
    struct Row {
        std::string text;
        std::size_t pos;
        int column;
    } rows[] = {
        {"select", 0, 0},
        {"abcd select", 5, 5},
        {"x\n\tselect", 3, 1},   // a tab is one column
        {"a\r\n  select", 5, 2}, // CR LF: the line starts after the LF
        {"a\rb select", 4, 4},   // a lone CR ends no line
        {"ab", 9, 2},            // past the end: the end
    };
    for (const Row &row : rows)
        EXPECT_EQ(selection_column(row.text, row.pos), row.column) << row.text << " @" << row.pos;
}

TEST_F(BeautifyTest, SelectionIsFormattedAtItsColumnAndSplicedBack)
{
    // Bytes around the selection go back untouched, awkward ones included.
    const std::string prefix = "-- first\r\n\xff\xfe\r\n      ";
    const std::string suffix = "\r\n-- after \xc3\x28\0x"s;
    const std::string text = prefix + kSql + suffix;
    const BeautifyResult result = beautify_text(text, prefix.size(), prefix.size() + kSql.size(), false, kNoLimit);

    ASSERT_EQ(result.status, BeautifyStatus::kOk);
    const std::string formatted = engine(kSql, 6);
    EXPECT_EQ(result.text, prefix + formatted + suffix);
    EXPECT_EQ(result.formatted_begin, prefix.size());
    EXPECT_EQ(result.formatted_end, prefix.size() + formatted.size());
}

TEST_F(BeautifyTest, WholeTextIsAClassicRun)
{
    const std::string host = "int main() {\n    EXEC SQL select a from t;\n}\n";
    for (const auto &[text, start, end, isHost] :
         {std::tuple{"-- keep\n" + kSql, 0u, 0u, false}, std::tuple{host, 5u, 5u, true}}) {
        const BeautifyResult result = beautify_text(text, start, end, isHost, kNoLimit);
        ASSERT_EQ(result.status, BeautifyStatus::kOk) << text;
        EXPECT_EQ(result.text, engine(text, -1, isHost));
        EXPECT_EQ(result.formatted_begin, 0u);
        EXPECT_EQ(result.formatted_end, result.text.size());
        // The engine recorded the EXEC SQL column while it ran; the user's value is back.
        EXPECT_EQ(format_options.starting_indentation, kUserIndentation);
    }
}

TEST_F(BeautifyTest, FailuresAndTheSizeLimit)
{
    EXPECT_EQ(beautify_text("", 0, 0, false, kNoLimit).status, BeautifyStatus::kFailed);
    EXPECT_EQ(beautify_text("hello world\n", 0, 0, false, kNoLimit).status, BeautifyStatus::kFailed);
    EXPECT_EQ(beautify_text("select a from t; hello world", 17, 28, false, kNoLimit).status, BeautifyStatus::kFailed);
    // Host-language source without EXEC SQL holds no SQL, whatever its words.
    const std::string c = "/* select the rows */\nint select_rows(void);\n";
    EXPECT_EQ(beautify_text(c, 0, 0, true, kNoLimit).status, BeautifyStatus::kFailed);

    // The limit counts the whole new text, the unformatted bytes included.
    const std::string prefix(100, 'x');
    const std::string text = prefix + "\n" + kSql;
    const std::size_t whole = prefix.size() + 1 + engine(kSql, 0).size();
    EXPECT_EQ(beautify_text(text, prefix.size() + 1, text.size(), false, whole).status, BeautifyStatus::kOk);
    EXPECT_EQ(beautify_text(text, prefix.size() + 1, text.size(), false, whole - 1).status, BeautifyStatus::kTooLarge);
}

TEST_F(BeautifyTest, ClipboardTextIsFormattedFromColumnZero)
{
    std::string out;
    ASSERT_TRUE(beautify_clip(kSql, false, out));
    EXPECT_EQ(out, engine(kSql, -1));
    const std::string host = "void f() {\n  EXEC SQL select a from t;\n}\n";
    ASSERT_TRUE(beautify_clip(host, true, out));
    EXPECT_EQ(out, engine(host, -1, true));
    EXPECT_FALSE(beautify_clip("just words", false, out));
}

} // namespace
} // namespace prax
