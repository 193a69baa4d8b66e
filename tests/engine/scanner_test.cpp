// Token choice: rule priority, rejection of the aliased-item rule, the
// detection pass, and the scanner's fixed buffer.
#include <gtest/gtest.h>

#include "engine/scanner.h"
#include "test_support.h"

namespace prax::test {
namespace {

using Tokens = std::vector<TraceToken>;

// Tokens of an SQL text, white space (rule 26) left out for readability.
Tokens sql_tokens(const std::string &input)
{
    Tokens all = scan_tokens(input, ScanCondition::Sql), out;
    for (const TraceToken &t : all) {
        if (t.rule != 26)
            out.push_back(t);
    }
    return out;
}

struct TokenCase {
    const char *name;
    std::string input;
    Tokens expected;
};

class ScannerTest : public EngineTest {};

TEST_F(ScannerTest, LongestMatchThenLowestRuleNumber)
{
    const TokenCase cases[] = {
        {"keyword prefix of a name is a name", "ORDERS ONE SELECTED INSERT",
         {{24, "ORDERS"}, {24, "ONE"}, {24, "SELECTED"}, {24, "INSERT"}}},
        {"keyword beats a name of the same length", "INTO IN", {{17, "INTO"}, {21, "IN"}}},
        // A pattern never ends inside a name: "count(selected)" keeps its column.
        {"parenthesis pattern does not end inside a word", "(SELECTED", {{31, "("}, {24, "SELECTED"}}},
        {"statement head does not end inside a word", "CREATE TABLEX ", {{16, "CREATE"}, {24, "TABLEX"}}},
        {"clause phrase does not end inside a word", "order bytes ", {{24, "order"}, {24, "bytes"}}},
        {"case does not matter", "select Select sElEcT", {{13, "select"}, {13, "Select"}, {13, "sElEcT"}}},
        {"multi-word phrases", "group  by order\nby where current of ",
         {{15, "group  by"}, {15, "order\nby"}, {15, "where current of"}}},
        {"two hyphens begin a line comment", "--x\ny", {{38, "--x"}, {24, "y"}}},
        {"two-character operators", "a<>b||c->d", {{24, "a"}, {29, "<>"}, {24, "b"}, {29, "||"}, {24, "c->d"}}},
        {"outer-join marker", "a ( + )", {{24, "a"}, {28, "( + )"}}},
        {"qualified names and host variables", "a . b->c :h . x",
         {{24, "a . b->c"}, {22, ":h . x"}}},
        {"numbers", "1.5e+10 .5 1. 1e", {{27, "1.5e+10"}, {27, ".5"}, {27, "1."}, {27, "1"}, {24, "e"}}},
        {"comment with a paired asterisk", "/* a **/ b */x", {{11, "/* a **/ b */"}, {24, "x"}}},
        {"escaped quote inside a literal", "'it\\'s'", {{25, "'it\\'s'"}}},
        {"backslash before the closing quote at the end", "'a\\'", {{25, "'a\\'"}}},
        {"escaped quote makes a longer literal", "'a\\' b'", {{25, "'a\\' b'"}}},
        {"vertical tab is another character; 8-bit bytes continue a name", "ab\xc3\xa9\v",
         {{24, "ab\xc3\xa9"}, {37, "\v"}}},
        {"brackets", "[x]", {{35, "["}, {24, "x"}, {35, "]"}}},
    };
    for (const TokenCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sql_tokens(c.input), c.expected);
    }
}

TEST_F(ScannerTest, RejectsAliasedItemStartingWithKeyword)
{
    const TokenCase cases[] = {
        {"FROM t, u: FROM stays a clause keyword", "FROM t, u",
         {{17, "FROM"}, {24, "t"}, {33, ","}, {24, "u"}}},
        {"ORDER x,: rejected, and ORDER alone is a name", "ORDER x,",
         {{24, "ORDER"}, {24, "x"}, {33, ","}}},
        {"t1 x, is one aliased item", "FROM t1 x, t2",
         {{17, "FROM"}, {23, "t1 x,"}, {24, "t2"}}},
        {"x AS b, c: AS b, is rejected", "x AS b, c",
         {{24, "x"}, {21, "AS"}, {24, "b"}, {33, ","}, {24, "c"}}},
        {"keyword test ignores case", "select a, b", {{13, "select"}, {24, "a"}, {33, ","}, {24, "b"}}},
    };
    for (const TokenCase &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(sql_tokens(c.input), c.expected);
    }
}

TEST_F(ScannerTest, HostTextIsCopiedCharacterByCharacter)
{
    Tokens tokens = scan_tokens("x/*EXEC SQL BEGIN DECLARE SECTION", ScanCondition::Host);
    ASSERT_EQ(tokens.size(), 4u);
    EXPECT_EQ(tokens[0], (TraceToken{10, "x"}));
    EXPECT_EQ(tokens[3], (TraceToken{8, "EXEC SQL BEGIN DECLARE SECTION"}));
    // A complete C comment in host text is copied whole; EXEC SQL in it starts nothing.
    tokens = scan_tokens("/* EXEC SQL */", ScanCondition::Host);
    EXPECT_EQ(tokens, (Tokens{{40, "/*"}}));
}

// Detection outcome of an input: the status messages and the result.
struct Detection {
    const char *name;
    std::string input;
    int result;
    const char *message;
};

TEST_F(ScannerTest, DetectionDecidesTheMode)
{
    const char *pure = "Treat the text as pure SQL\n";
    const char *embedded = "Treat the text as embedded SQL\n";
    const char *none = "No SQL statements found\n";
    const Detection cases[] = {
        {"empty input", "", kNoSqlFound, none},
        {"host text only", "int main(void) { return 0; }\n", kNoSqlFound, none},
        {"keywords only in comments and literals", "/* select a from t */ x = 'select b from u';",
         kNoSqlFound, none},
        {"SELECT blank paren does not count", "SELECT (a)", kNoSqlFound, none},
        {"SELECT two blanks paren counts", "SELECT  (a)", kFormatOk, pure},
        {"SELECT at the very end does not count", "x SELECT", kNoSqlFound, none},
        {"SELECT and one blank at the very end does not count", "SELECT ", kNoSqlFound, none},
        {"keyword at the end of a longer word counts", "my_update x", kFormatOk, pure},
        {"xselect followed by a letter counts", "xselect y", kFormatOk, pure},
        {"selectx does not count", "selectx y", kNoSqlFound, none},
        {"INSERT INTO counts", "insert\ninto t values (1)", kFormatOk, pure},
        {"DROP is no detection keyword", "DROP TABLE x;", kNoSqlFound, none},
        {"DELETE is no detection keyword", "DELETE t1;", kNoSqlFound, none},
        {"lower-case exec sql", "int x; exec sql commit;", kFormatOk, embedded},
        {"EXEC and SQL on different lines", "EXEC\n  SQL commit;", kFormatOk, embedded},
        {"EXECSQL is not embedded SQL", "EXECSQL commit;", kNoSqlFound, none},
        {"EXEC SQL decides whatever came before", "select a from t; EXEC SQL commit;", kFormatOk, embedded},
        {"an apostrophe in host text hides EXEC SQL",
         "// don't\nEXEC SQL COMMIT;\n// it's\nselect b from u;\n", kFormatOk, pure},
        {"FROM gives back the slash of a comment", "FROM /* EXEC SQL */", kFormatOk, pure},
        {"a line comment after FROM hides its EXEC SQL", "select a\nfrom -- see exec sql docs\nt;", kFormatOk, pure},
        {"the comment toggle of two hyphens and a slash", "--/*\nselect a from t;\n--*/\n", kFormatOk, pure},
        {"C's i--) is no comment", "i--) EXEC SQL commit;", kFormatOk, embedded},
        {"two hyphens at the end of the input", "select a from t --", kFormatOk, pure},
    };
    for (const Detection &c : cases) {
        SCOPED_TRACE(c.name);
        FormatRun run = format_text(c.input, load_defaults());
        EXPECT_EQ(run.result, c.result);
        ASSERT_FALSE(run.messages.empty());
        EXPECT_EQ(run.messages.front(), c.message);
        if (c.result == kNoSqlFound) {
            EXPECT_EQ(run.messages.size(), 1u);
            EXPECT_EQ(run.output, "");
        }
    }
}

// Real runs decide the mode by hand (one pass over large reads); the
// detection rules stay the reference. Both must give the same result,
// messages and output, look-ahead limits included.
TEST_F(ScannerTest, DetectionByHandDecidesAsTheRules)
{
    std::vector<std::string> inputs = {
        "", "SELECT (a)", "SELECT  (a)", "SELECT\t\n(a)", "x SELECT", "SELECT ", "SELECT  ", "my_update x",
        "selectx y", "insert\ninto t", "insert into", "insert intox", "EXEC\n  SQL commit;", "EXECSQL x",
        "exec sq", "select a; EXEC SQL commit;", "// don't\nEXEC SQL COMMIT;\n// it's\nselect b from u;\n",
        "FROM /* EXEC SQL */", "where 'a' exec sql x;", "from EXEC SQL x;", "select a\nfrom -- see exec sql docs\nt;",
        "--/*\nselect a from t;\n--*/\n", "i--) EXEC SQL x;", "select a from t --", "-- exec sql\nselect a",
        R"('it''s' select a)", R"('a\')", R"('a\' b' select a)", R"("say \"hi\"" select a)", R"('a\''' select a)",
        R"('a\\' select a)", R"('' select a)", R"('''' exec sql x;)", "/* a **/ select a */ x", "/**/ select a",
        "/* select a", "'select a", "\"select a", "\xEF\xBB\xBFselect a from t", "select a\r\nfrom t\r\n",
        "SELECT\x80 a", std::string("\0select a\0", 10),
    };
    // Attempts around the look-ahead limit, some across the scanner's reads.
    for (int n = 16381; n <= 16384; ++n) {
        for (const std::string &before : {std::string("select a "), std::string(8185, '.')}) {
            inputs.push_back(before + std::string(n, ' ') + "select a");
            inputs.push_back(before + "/*" + std::string(n - 4, 'x') + "*/ select a");
            inputs.push_back(before + "/*" + std::string(n - 2, 'x'));
            inputs.push_back(before + "'" + std::string(n - 2, 'x') + "' select a");
            inputs.push_back(before + "'" + std::string(n - 1, 'x'));
            inputs.push_back(before + "-- " + std::string(n - 3, 'x') + "\nselect a");
            inputs.push_back(before + "FROM" + std::string(n - 5, ' ') + "x");
            inputs.push_back(before + "EXEC" + std::string(n - 7, '\n') + "SQL x;");
        }
    }
    FormatRequest host_source;
    host_source.host_source = true;
    for (const std::string &input : inputs) {
        for (const FormatRequest &request : {FormatRequest{}, host_source}) {
            SCOPED_TRACE(input.substr(0, 60));
            scanner_detect_by_rules(true);
            const FormatRun by_rules = format_text(input, load_defaults(), request);
            scanner_detect_by_rules(false);
            const FormatRun by_hand = format_text(input, load_defaults(), request);
            EXPECT_EQ(by_hand.result, by_rules.result);
            EXPECT_EQ(by_hand.messages, by_rules.messages);
            EXPECT_TRUE(by_hand.output == by_rules.output);
        }
    }
}

TEST_F(ScannerTest, EmbeddedModeReturnsToHostAfterEachStatement)
{
    Tokens tokens = scan_tokens("EXEC SQL COMMIT; x EXEC SQL ROLLBACK;", ScanCondition::Detect);
    std::vector<int> rules;
    for (const TraceToken &t : tokens)
        rules.push_back(t.rule);
    // Detection stops at the first EXEC SQL, then the input is read again in HOST.
    const std::vector<int> expected = {3, 9, 26, 16, 34, 10, 10, 10, 9, 26, 16, 34};
    EXPECT_EQ(rules, expected);
}

TEST_F(ScannerTest, TokenOfBufferSizeFailsTheRunAndTheNextRunWorks)
{
    const std::string overflow = "input buffer overflow, can't enlarge buffer because scanner uses REJECT\n";
    const struct {
        const char *name;
        std::string input;
    } cases[] = {
        {"unclosed comment", "select a from t; /*" + std::string(20000, 'x')},
        {"unclosed literal", "select a from t where b = '" + std::string(17000, 'x')},
        {"white space run in SQL", "select a from t" + std::string(16383, '\n') + ";"},
        {"white space run in detection", std::string(16383, ' ') + "select a from t;"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FormatRun run = format_text(c.input, load_defaults());
        EXPECT_EQ(run.result, kScannerFailed);
        ASSERT_FALSE(run.messages.empty());
        EXPECT_EQ(run.messages.back(), overflow);
        expect_state_reset();
        EXPECT_FORMATS("select a from t;", "SELECT     a \nFROM       t; \n \n", load_defaults());
    }
}

TEST_F(ScannerTest, ShortUnclosedCommentOrQuoteIsAnOrdinaryCharacter)
{
    EXPECT_EQ(sql_tokens("a /*b"), (Tokens{{24, "a"}, {30, "/"}, {30, "*"}, {24, "b"}}));
    EXPECT_EQ(sql_tokens("a 'b"), (Tokens{{24, "a"}, {37, "'"}, {24, "b"}}));
    // Just below the limit: the unclosed comment from the slash is 16,382 characters.
    std::string input = "select a from t; /*" + std::string(16380, 'x');
    FormatRun run = format_text(input, load_defaults());
    EXPECT_EQ(run.result, kFormatOk);
}

TEST_F(ScannerTest, InputLargerThanTheBufferFormatsLikeItsParts)
{
    // Tokens cross the 8 KiB read blocks and the 16 KiB buffer many times.
    const std::string statement = "select a, b from t where x = 'y' and z in (select c from u);\n";
    const std::string one = format_text(statement, load_defaults()).output;
    std::string input, expected;
    for (int i = 0; i < 2000; ++i) {
        input += statement;
        expected += one;
    }
    FormatRun run = format_text(input, load_defaults());
    EXPECT_EQ(run.result, kFormatOk);
    EXPECT_TRUE(run.output == expected);
}

} // namespace
} // namespace prax::test
