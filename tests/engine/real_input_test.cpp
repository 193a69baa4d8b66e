// Real scripts and embedded-SQL sources: formatting keeps what the text means
// (comments, literals, operators, names, host text) and a second run changes
// nothing. One test per kind of input, each a table of input -> output.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <thread>

#include "engine/layout.h"
#include "engine/tempfile.h"
#include "test_support.h"

namespace prax::test {
namespace {

using namespace std::string_literals;
using Tokens = std::vector<TraceToken>;

struct Case {
    const char *name;
    std::string input;
    std::string expected;
};

class RealInputTest : public EngineTest {};

// Formats each input with `options` and expects its output; then formats that
// output again and expects the same bytes.
void expect_outputs(const std::vector<Case> &cases, const FormatOptions &options,
                    const FormatRequest &request = FormatRequest{})
{
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const FormatRun run = format_text(c.input, options, request);
        EXPECT_EQ(run.result, kFormatOk);
        EXPECT_EQ(run.output, c.expected);
        const FormatRun again = format_text(run.output, options, request);
        EXPECT_EQ(again.output, run.output) << "a second run changed the output";
    }
}

// Tokens of an SQL text, white space (rule 26) left out.
Tokens sql_tokens(const std::string &input)
{
    Tokens out;
    for (const TraceToken &t : scan_tokens(input, ScanCondition::Sql)) {
        if (t.rule != 26)
            out.push_back(t);
    }
    return out;
}

TEST_F(RealInputTest, LineCommentsAreTokensOfTheirOwn)
{
    const struct {
        const char *name;
        std::string input;
        Tokens expected;
    } cases[] = {
        {"to the line feed, which is not part of it", "a -- x\ny", {{24, "a"}, {38, "-- x"}, {24, "y"}}},
        {"at the end of the input without a line feed", "a --", {{24, "a"}, {38, "--"}}},
        {"hyphens, then an arrow, are a comment", "a-->b", {{24, "a"}, {38, "-->b"}}},
        {"inside a literal: no comment", "'--x'", {{25, "'--x'"}}},
        {"inside a block comment: no comment", "/* -- x */y", {{11, "/* -- x */"}, {24, "y"}}},
        {"an apostrophe in it opens nothing", "-- don't\nb", {{38, "-- don't"}, {24, "b"}}},
        {"a name qualifier does not reach across it", "a -- c\n.b", {{24, "a"}, {38, "-- c"}, {30, "."}, {24, "b"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sql_tokens(c.input), c.expected);
    }
    expect_outputs(
        {
            {"ends its line; no case, no spacing", "select a -- list the Staff\n, b from t;",
             "SELECT     a -- list the Staff\n           , b \nFROM       t; \n \n"},
            {"trailing blanks, tabs and CR dropped; form feed kept", "select a --x\f \t\r \nfrom t;",
             "SELECT     a --x\f\nFROM       t; \n \n"},
            {"at the end of the input", "select a from t; -- end", "SELECT     a \nFROM       t; \n \n-- end\n"},
        },
        load_defaults());
}

TEST_F(RealInputTest, DoubledQuotesStayInTheirLiteral)
{
    const struct {
        std::string input;
        Tokens expected;
    } cases[] = {
        {"'a'''", {{25, "'a'''"}}},
        {"''''", {{25, "''''"}}},
        {"'it''s' x", {{25, "'it''s'"}, {24, "x"}}},
        {"\"a\"\"b\"", {{25, "\"a\"\"b\""}}},
        // After a backslash the quote is escaped and the next one closes.
        {"\"say \\\"hi\\\"\" x \"y\"", {{25, "\"say \\\"hi\\\"\""}, {24, "x"}, {25, "\"y\""}}},
        {"'a\\' b'", {{25, "'a\\' b'"}}},
        {"'a\\\\' b'", {{25, "'a\\\\' b'"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(sql_tokens(c.input), c.expected);
    }
    // A wrap cannot fall between the halves any more.
    expect_outputs({{"wrap", "select 'it''s a long literal' from t;",
                     "SELECT     \n           'it''s a long literal' \nFROM       t; \n \n"}},
                   with(load_defaults(), &FormatOptions::wrap_length, 20));
}

TEST_F(RealInputTest, OperatorsAndNamesAreNotSplit)
{
    const struct {
        std::string input;
        Tokens expected;
    } cases[] = {
        {"x:=1", {{24, "x"}, {29, ":="}, {27, "1"}}},
        {"a::text", {{24, "a"}, {29, "::"}, {24, "text"}}},
        {"b->>'k'", {{24, "b"}, {29, "->>"}, {25, "'k'"}}},
        {"c#>>d", {{24, "c"}, {29, "#>>"}, {24, "d"}}},
        {"p=>q<<r>>s&&t**u", {{24, "p"}, {29, "=>"}, {24, "q"}, {29, "<<"}, {24, "r"}, {29, ">>"},
                              {24, "s"}, {29, "&&"}, {24, "t"}, {29, "**"}, {24, "u"}}},
        {"e~*f!~g!~*h<=>i", {{24, "e"}, {29, "~*"}, {24, "f"}, {29, "!~"}, {24, "g"}, {29, "!~*"},
                             {24, "h"}, {29, "<=>"}, {24, "i"}}},
        {"j@>k<@l#>m", {{24, "j"}, {29, "@>"}, {24, "k"}, {29, "<@"}, {24, "l"}, {29, "#>"}, {24, "m"}}},
        {"gr\xC3\xB6\xC3\x9F" "e_total", {{24, "gr\xC3\xB6\xC3\x9F" "e_total"}}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(sql_tokens(c.input), c.expected);
    }
    expect_outputs({{"written as they stand", "select x:=1, a::text from t;",
                     "SELECT     x:=1, a::text \nFROM       t; \n \n"}},
                   load_defaults());
}

TEST_F(RealInputTest, EmbeddedStatementsSettle)
{
    const FormatOptions options = with(load_defaults(), &FormatOptions::starting_indentation, 8);
    expect_outputs(
        {
            {"the rest of the line after ; is consumed, blanks and a CR LF too",
             "x\nEXEC SQL commit;  \t\nEXEC SQL commit; \r\ny\n",
             "x\nEXEC SQL \nCOMMIT     ; \nEXEC SQL \nCOMMIT     ; \ny\n"},
            {"a second line end, a CR alone and blanks at the end are copied",
             "EXEC SQL commit;\n\nEXEC SQL commit;\rEXEC SQL commit;  ",
             "EXEC SQL \nCOMMIT     ; \n\nEXEC SQL \nCOMMIT     ; \n\rEXEC SQL \n COMMIT     ; \n  "},
            {"( before any statement keyword away from column 0 gains no blanks",
             "EXEC SQL call refresh(1);\n", "EXEC SQL call refresh(1); \n"},
        },
        options);
    // The same for "(" in pure SQL; at column 0 it is indented as before.
    expect_outputs({{"pure SQL", "x(1); (2); select a from t;",
                     "x(1); \n \n        (2); \n \n        SELECT     a \n        FROM       t; \n \n"}},
                   with(load_defaults(), &FormatOptions::starting_indentation, 8));
    // 16,383 blanks behind ";" are one token, like any other.
    const FormatRun run = format_text("EXEC SQL commit;" + std::string(16383, ' ') + "\n", options);
    EXPECT_EQ(run.result, kScannerFailed);
}

TEST_F(RealInputTest, CrLfInputGetsCrLfLineEnds)
{
    expect_outputs(
        {
            {"every line feed after a CR; the last line without a line end",
             "select a\r\nfrom t\r\nwhere x = 1;", "SELECT     a \r\nFROM       t \r\nWHERE      x = 1; \r\n \r\n"},
            {"comments end their lines with CR LF; inside they keep theirs",
             "select /* a\r\nb */ c -- d\r\nfrom t;",
             "SELECT     /* a\r\nb */\r\n           c -- d\r\nFROM       t; \r\n \r\n"},
            {"one bare line feed anywhere, even in a literal: LF", "select 'a\nb'\r\nfrom t;",
             "SELECT     'a\nb' \nFROM       t; \n \n"},
            {"embedded: host text copied, engine line ends CR LF",
             "int x;\r\nEXEC SQL select a from t;\r\nint y;\r\n",
             "int x;\r\nEXEC SQL SELECT     a \r\n         FROM       t; \r\nint y;\r\n"},
        },
        load_defaults());
}

TEST_F(RealInputTest, EndExecStatementsAreLeftAsTheyAre)
{
    const std::string cobol = "000100     EXEC SQL SELECT WS-VAR-SQLCODE INTO :WS-X FROM T\n"
                              "000200     END-EXEC.                                       PROG\n"
                              "000300     MOVE WS-A TO WS-B.\n"
                              "000400     exec sql begin declare section end-exec.\n";
    FormatRun run = format_text(cobol, load_defaults());
    EXPECT_EQ(run.result, kFormatOk);
    EXPECT_EQ(run.output, cobol);
    EXPECT_EQ(run.messages, (std::vector<std::string>{"Treat the text as embedded SQL\n",
                                                      "Statements ending with END-EXEC are left as they are\n"}));
    EXPECT_EQ(format_options.starting_indentation, 0); // no EXEC SQL column stored
    format_options = default_format_options;
    expect_outputs(
        {
            {"END-EXEC in a comment, a literal or a longer word does not count; ; decides",
             "EXEC SQL select :WS-END-EXEC, 'END-EXEC' /* END-EXEC */ from END-EXECUTE;\nEND-EXEC.\n",
             "EXEC SQL SELECT     :WS - END - EXEC, 'END-EXEC' /* END-EXEC */\n"
             "         FROM       END - EXECUTE; \nEND-EXEC.\n"},
        },
        load_defaults());
}

TEST_F(RealInputTest, HostSourceWithoutExecSqlHoldsNoSql)
{
    const std::string c = "// select a from t where b = 1\nint main() { $select x from y; }\n";
    FormatRun run = format_text(c, load_defaults(), FormatRequest{-1, true});
    EXPECT_EQ(run.result, kNoSqlFound);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.messages, (std::vector<std::string>{"No EXEC SQL statements found in host-language source\n"}));
    // Without the request the same text is taken for pure SQL, as before.
    EXPECT_EQ(format_text(c, load_defaults()).result, kFormatOk);
}

TEST_F(RealInputTest, CommentsAndLiteralsOfHostTextHideExecSql)
{
    expect_outputs(
        {
            {"line comment", "// EXEC SQL is handled below\nint x;\n", "// EXEC SQL is handled below\nint x;\n"},
            {"string and character literals", "printf(\"EXEC SQL\\\"\"); c = '\\''; EXEC SQL commit;\n",
             "printf(\"EXEC SQL\\\"\"); c = '\\''; EXEC SQL \n                                COMMIT     ; \n"},
            {"block comment over lines", "/* a\n EXEC SQL x; */ EXEC SQL commit;\n",
             "/* a\n EXEC SQL x; */ EXEC SQL \n                COMMIT     ; \n"},
            {"an unclosed comment and a quote without partner are ordinary",
             "\"x\nEXEC SQL commit;\n/* EXEC SQL commit;", "\"x\nEXEC SQL \nCOMMIT     ; \n/* EXEC SQL \n   COMMIT     ; \n"},
        },
        load_defaults(), FormatRequest{-1, true});
}

TEST_F(RealInputTest, ByteOrderMarkTakesNoPlace)
{
    const std::string bom = "\xEF\xBB\xBF";
    const std::string plain = format_text("select a from t where b = 1;", load_defaults()).output;
    expect_outputs({{"pure SQL", bom + "select a from t where b = 1;", bom + plain},
                    {"embedded", bom + "EXEC SQL commit;\n", bom + "EXEC SQL \nCOMMIT     ; \n"}},
                   load_defaults());
    FormatRun none = format_text(bom + "no statements", load_defaults());
    EXPECT_EQ(none.result, kNoSqlFound);
    EXPECT_EQ(none.output, "");
}

TEST_F(RealInputTest, ColumnsAreCountedOnScreen)
{
    // "é" and "ö" take one column each: the subquery's fields line up under
    // its SELECT, and the EXEC SQL layout stands at its screen column.
    expect_outputs(
        {
            {"pure SQL", "select a from t where b = '\xC3\xA9\xC3\xB6' and c in (select d from u);",
             "SELECT     a \nFROM       t \nWHERE      b = '\xC3\xA9\xC3\xB6' \n"
             "           AND c IN (SELECT     d \n"
             "                     FROM       u \n"
             "                    ); \n \n"},
            {"embedded", "/* \xC3\xA9 */ EXEC SQL select a from t;\n",
             "/* \xC3\xA9 */ EXEC SQL SELECT     a \n                 FROM       t; \n"},
        },
        load_defaults());
}

TEST_F(RealInputTest, OutputBeyondItsLimitFails)
{
    std::string input;
    for (int i = 0; i < 2000; ++i)
        input += "SELECT ";
    for (int i = 0; i < 2000; ++i)
        input += "FROM t ";
    FormatRun run = format_text(input, load_defaults());
    EXPECT_EQ(run.result, kScannerFailed);
    EXPECT_EQ(run.messages.back(), "The formatted text would be too large\n");
    expect_state_reset();
}

TEST_F(RealInputTest, InputThatCannotBeReadTwiceFails)
{
    std::string fifo, out;
    ASSERT_TRUE(create_temp_file(fifo));
    ASSERT_TRUE(create_temp_file(out));
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] {
        std::FILE *f = std::fopen(fifo.c_str(), "w");
        if (f) {
            std::fputs("select a from t;\n", f);
            std::fclose(f);
        }
    });
    std::vector<std::string> messages;
    set_status_hook([&](std::string_view text) { messages.emplace_back(text); });
    EXPECT_EQ(format_file(fifo.c_str(), out.c_str()), kInputNotOpened);
    writer.join();
    EXPECT_EQ(messages, (std::vector<std::string>{"The input cannot be read again from its start\n"}));
    std::remove(fifo.c_str());
    std::remove(out.c_str());
}

TEST_F(RealInputTest, LayoutArithmeticIsHeld)
{
    set_layout(INT_MAX - 3, 6, 256);
    EXPECT_EQ(engine_state.layout.keyword_right, kMaxColumn);
    EXPECT_EQ(engine_state.layout.item_column, kMaxColumn);
    reset_engine_state();
}

// An EXEC SQL at the column an out-of-range starting_indentation is held to
// still stores its column.
TEST_F(RealInputTest, ExecSqlColumnIsStoredEvenWhenEqualToTheHeldValue)
{
    format_text("EXEC SQL commit;\n", with(load_defaults(), &FormatOptions::starting_indentation, -1));
    EXPECT_EQ(format_options.starting_indentation, 0);
}

} // namespace
} // namespace prax::test
