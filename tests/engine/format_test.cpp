// format_file end to end: results, state between runs, and the layout that the
// rule actions produce for each option.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "engine/tempfile.h"
#include "test_support.h"

namespace prax::test {
namespace {

using namespace std::string_literals;

class FormatTest : public EngineTest {};

TEST_F(FormatTest, WorkedExamples)
{
    EXPECT_FORMATS("select a, b from t where x = 1 and y = 2;",
                   "SELECT     a, b \n"
                   "FROM       t \n"
                   "WHERE      x = 1 \n"
                   "           AND y = 2; \n"
                   " \n",
                   load_defaults());
    EXPECT_FORMATS("select a, b from t where x = 1 and y = 2;",
                   "SELECT     a, b \n"
                   "  FROM     t \n"
                   " WHERE     x = 1 \n"
                   "           AND y = 2; \n"
                   " \n",
                   with(load_defaults(), &FormatOptions::alignment, 2));
    EXPECT_FORMATS("select a from t where b in (select c from u);",
                   "SELECT     a \n"
                   "FROM       t \n"
                   "WHERE      b IN (SELECT     c \n"
                   "                 FROM       u \n"
                   "                ); \n"
                   " \n",
                   load_defaults());
}

TEST_F(FormatTest, ResultsOfFailedRuns)
{
    std::string in, out;
    ASSERT_TRUE(create_temp_file(in));
    ASSERT_TRUE(create_temp_file(out));
    std::remove(out.c_str());
    std::remove(in.c_str());

    // Missing input: -1 and no output file.
    EXPECT_EQ(format_file(in.c_str(), out.c_str()), kInputNotOpened);
    EXPECT_NE(access(out.c_str(), F_OK), 0);
    // A directory is no input either.
    EXPECT_EQ(format_file("/tmp", out.c_str()), kInputNotOpened);
    EXPECT_NE(access(out.c_str(), F_OK), 0);

    // Output in a folder that does not exist: -2, and the input is closed again.
    write_file(in, "select a from t;");
    EXPECT_EQ(format_file(in.c_str(), "/nonexistent-folder/out.sql"), kOutputFailed);
    EXPECT_EQ(std::remove(in.c_str()), 0);
    expect_state_reset();
}

TEST_F(FormatTest, FullDeviceIsAWriteErrorNotASuccess)
{
    std::string in;
    ASSERT_TRUE(create_temp_file(in));
    write_file(in, "select a from t;\n");
    EXPECT_EQ(format_file(in.c_str(), "/dev/full"), kOutputFailed);
    std::remove(in.c_str());
}

TEST_F(FormatTest, RunsAreIndependentExceptForEmbeddedIndentation)
{
    FormatRun first = format_text("select a from t where (b = 1;", load_defaults());
    FormatRun second = format_text("select a from t where (b = 1;", load_defaults());
    EXPECT_EQ(first.output, second.output);

    // Each EXEC SQL stores its column into starting_indentation, which outlives the run.
    FormatOptions options = load_defaults();
    format_text("int n;\n    EXEC SQL commit;\n", options);
    EXPECT_EQ(format_options.starting_indentation, 4);
}

TEST_F(FormatTest, PresetColumnIsKept)
{
    std::string in, out;
    ASSERT_TRUE(create_temp_file(in));
    ASSERT_TRUE(create_temp_file(out));
    write_file(in, "select a, b from t;");
    format_options = load_defaults();
    EXPECT_EQ(format_file(in.c_str(), out.c_str(), FormatRequest{6}), kFormatOk);
    EXPECT_EQ(read_file(out), "SELECT     a, b \n      FROM       t; \n \n");
    std::remove(in.c_str());
    std::remove(out.c_str());
}

// The in-memory entry gives the file entry's bytes, and runs from several
// threads wait for each other instead of sharing the process-wide state.
TEST_F(FormatTest, TextEntryMatchesFileEntryAcrossThreads)
{
    format_options = load_defaults();
    const std::string input = "select a, b from t where x in (select y from u) and z = 1;";
    const std::string expected = format_text(input, format_options).output;
    std::vector<std::string> outputs(4);
    std::vector<std::thread> threads;
    for (std::string &output : outputs)
        threads.emplace_back([&] { EXPECT_EQ(prax::format_text(input, output), kFormatOk); });
    for (std::thread &t : threads)
        t.join();
    for (const std::string &output : outputs)
        EXPECT_EQ(output, expected);
    std::string untouched = "kept";
    EXPECT_EQ(prax::format_text("no statements here", untouched), kNoSqlFound);
}

// The descriptor entry gives the path entry's bytes and result, whatever the
// descriptors' offsets and the output file's old content; a pipe is refused.
TEST_F(FormatTest, DescriptorEntryMatchesFileEntry)
{
    format_options = load_defaults();
    const std::string inputs[] = {"select a, b from t where x = 1;", "\xEF\xBB\xBFselect a\r\nfrom t;\r\n",
                                  "no statements here", "select a from t where (b = 1;"};
    std::string in_path, out_path;
    ASSERT_TRUE(create_temp_file(in_path));
    ASSERT_TRUE(create_temp_file(out_path));
    for (const std::string &input : inputs) {
        const FormatRun expected = format_text(input, format_options);
        write_file(in_path, input);
        write_file(out_path, std::string(4096, 'x')); // longer than any output here
        std::FILE *in = std::fopen(in_path.c_str(), "r");
        std::FILE *out = std::fopen(out_path.c_str(), "r+");
        ASSERT_TRUE(in && out);
        ::lseek(fileno(in), 3, SEEK_SET);
        ::lseek(fileno(out), 100, SEEK_SET);
        EXPECT_EQ(format_fds(fileno(in), fileno(out)), expected.result) << input;
        std::fclose(in);
        std::fclose(out);
        if (expected.result == kFormatOk) {
            EXPECT_EQ(read_file(out_path), expected.output) << input;
        }
    }
    int pipe_fds[2];
    ASSERT_EQ(::pipe(pipe_fds), 0);
    std::FILE *out = std::fopen(out_path.c_str(), "w");
    EXPECT_EQ(format_fds(pipe_fds[0], fileno(out)), kInputNotOpened);
    std::fclose(out);
    ::close(pipe_fds[0]);
    ::close(pipe_fds[1]);
    std::remove(in_path.c_str());
    std::remove(out_path.c_str());
    expect_state_reset();
}

TEST(HostSourcePathTest, ExtensionsDecide)
{
    const std::pair<const char *, bool> cases[] = {
        {"a.c", true},        {"dir/x.PC", true},  {"p.pgc", true},     {"m.Cbl", true},
        {"k.cpy", true},      {"w.cpp", true},     {"q.sql", false},    {"notes", false},
        {"dir.c/q.sql", false}, {".c", false},     {"x.cs", false},     {"y.pco", true},
    };
    for (const auto &[path, expected] : cases)
        EXPECT_EQ(is_host_source_path(path), expected) << path;
}

TEST_F(FormatTest, DeepNestingIsWrittenCompletely)
{
    std::string input = "select a from t where x = " + std::string(1500, '(') + "1" + std::string(1500, ')') + ";";
    FormatRun run = format_text(input, with(load_defaults(), &FormatOptions::wrap_length, 25600));
    EXPECT_EQ(run.result, kFormatOk);
    // Marks beyond the stacks' capacity are dropped, but no character is.
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '('), 1500);
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), ')'), 1500);
    EXPECT_NE(run.output.find(std::string(1500, '(') + "1)"), std::string::npos);
}

TEST_F(FormatTest, KeywordCase)
{
    const FormatOptions base = load_defaults();
    EXPECT_FORMATS("select Ab from T;", "SELECT     Ab \nFROM       T; \n \n", base);
    EXPECT_FORMATS("SeLect Ab from T;", "SeLect     Ab \nfrom       T; \n \n",
                   with(base, &FormatOptions::keyword_case, 1));
    EXPECT_FORMATS("SELECT Ab FROM T;", "select     Ab \nfrom       T; \n \n",
                   with(base, &FormatOptions::keyword_case, 2));
    EXPECT_FORMATS("SELECT Ab FROM T;", "select     Ab \nfrom       T; \n \n",
                   with(base, &FormatOptions::keyword_case, 7));
}

TEST_F(FormatTest, ListItems)
{
    const FormatOptions one_per_line = with(load_defaults(), &FormatOptions::multi_item, 0);
    EXPECT_FORMATS("select a, b, c from t;",
                   "SELECT     a, \n"
                   "           b, \n"
                   "           c \n"
                   "FROM       t; \n"
                   " \n",
                   one_per_line);
    // An aliased item and its comma are one token; a break follows it too.
    EXPECT_FORMATS("select a from t1 x, t2;",
                   "SELECT     a \n"
                   "FROM       t1 x, \n"
                   "           t2; \n"
                   " \n",
                   one_per_line);
}

TEST_F(FormatTest, AndOrPosition)
{
    const std::string input = "select a from t where x = 1 and y = 2 or z = 3;";
    EXPECT_FORMATS(input,
                   "SELECT     a \n"
                   "FROM       t \n"
                   "WHERE      x = 1 AND \n"
                   "           y = 2 OR \n"
                   "           z = 3; \n"
                   " \n",
                   with(load_defaults(), &FormatOptions::and_or_position, 1));
    EXPECT_FORMATS(input,
                   "SELECT     a \n"
                   "FROM       t \n"
                   "WHERE      x = 1 AND y = 2 OR z = 3; \n"
                   " \n",
                   with(load_defaults(), &FormatOptions::and_or_position, 2));
}

TEST_F(FormatTest, NewlineAfterClauseKeywords)
{
    EXPECT_FORMATS("select a from t where x = 1;",
                   "SELECT \n"
                   "           a \n"
                   "FROM \n"
                   "           t \n"
                   "WHERE \n"
                   "           x = 1; \n"
                   " \n",
                   with(load_defaults(), &FormatOptions::newline_after_select, 1));
}

TEST_F(FormatTest, NewlineOnSelectAnchorsAtTheItemColumn)
{
    EXPECT_FORMATS("select a from t where b in (select c from u);",
                   "SELECT     a \n"
                   "FROM       t \n"
                   "WHERE      b IN ( \n"
                   "           SELECT     c \n"
                   "           FROM       u \n"
                   "                ); \n"
                   " \n",
                   with(load_defaults(), &FormatOptions::newline_on_select, 1));
}

TEST_F(FormatTest, StatementVerbsAndHeads)
{
    // A statement verb at the very start of the output follows a line holding one blank.
    EXPECT_FORMATS("update t set a = 1;",
                   " \n"
                   "UPDATE     t \n"
                   "SET        a = 1; \n"
                   " \n",
                   load_defaults());
    EXPECT_FORMATS("insert  into t values (1, 2);",
                   "INSERT INTO     t \n"
                   "VALUES          (1, 2); \n"
                   " \n",
                   load_defaults());
    // interval -4: item column 0 is not pushed, so ";" finds no indentation.
    FormatRun run = format_text("DROP TABLE x; select a from t;", with(load_defaults(), &FormatOptions::interval, -4));
    EXPECT_EQ(run.output.substr(0, 19), " \nDROP TABLE x; \n \n");
    ASSERT_GE(run.messages.size(), 2u);
    EXPECT_EQ(run.messages[1], "Unbalanced parenthesis\n");
}

TEST_F(FormatTest, Parentheses)
{
    // Spanning lines: the closing parenthesis stands under its opening one.
    EXPECT_FORMATS("select a from t where x in (1, 2, 3, 4, 5, 6, 7, 8, 9, 10);",
                   "SELECT     a \n"
                   "FROM       t \n"
                   "WHERE      x IN (1, 2, 3, 4, 5, \n"
                   "                 6, 7, 8, 9, 10 \n"
                   "                ); \n"
                   " \n",
                   with(load_defaults(), &FormatOptions::wrap_length, 32));
    // On one line it stays in the flow; without match_parenthesis it always does.
    EXPECT_FORMATS("select f(a) from t;", "SELECT     f(a) \nFROM       t; \n \n", load_defaults());
    EXPECT_FORMATS("select a from t where x in (select b from u);",
                   "SELECT     a \n"
                   "FROM       t \n"
                   "WHERE      x IN (SELECT     b \n"
                   "                 FROM       u); \n"
                   " \n",
                   with(load_defaults(), &FormatOptions::match_parenthesis, 0));
    EXPECT_FORMATS("select a from t where b (+) = c ( + );",
                   "SELECT     a \nFROM       t \nWHERE      b (+) = c (+); \n \n", load_defaults());
}

TEST_F(FormatTest, CommentsLiteralsAndOtherBytes)
{
    EXPECT_FORMATS("select /* x */ 'a  b', \"q\" from t;",
                   "SELECT     /* x */\n           'a  b', \"q\" \nFROM       t; \n \n", load_defaults());
    // A NUL byte, a vertical tab and 8-bit bytes reach the output like other characters.
    const std::string odd = "select a\0b, c\vd, \xe9t\xe9 from t;"s;
    FormatRun run = format_text(odd, load_defaults());
    EXPECT_EQ(run.result, kFormatOk);
    EXPECT_EQ(run.output, "SELECT     a\0b, c\vd, \xe9t\xe9 \nFROM       t; \n \n"s);
}

TEST_F(FormatTest, EmbeddedStatementsKeepTheHostText)
{
    EXPECT_FORMATS("int main() {\n"
                   "\tx = 1;\n"
                   "    EXEC SQL select a, b into :a, :b from t where c = :c;\n"
                   "    return 0;\n"
                   "}\n",
                   "int main() {\n"
                   "\tx = 1;\n"
                   "    EXEC SQL SELECT     a, b \n"
                   "             INTO       :a, :b \n"
                   "             FROM       t \n"
                   "             WHERE      c = :c; \n"
                   "    return 0;\n"
                   "}\n",
                   load_defaults());
    // A first statement without a statement keyword stays on its EXEC SQL line.
    FormatRun run = format_text("  EXEC SQL WHENEVER SQLERROR GOTO done;\n", load_defaults());
    EXPECT_EQ(run.output, "  EXEC SQL WHENEVER SQLERROR GOTO done; \n");
    EXPECT_EQ(run.messages.back(), "Unbalanced parenthesis\n");
    EXPECT_EQ(format_options.starting_indentation, 2);
}

} // namespace
} // namespace prax::test
