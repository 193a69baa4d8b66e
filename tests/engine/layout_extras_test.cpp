// The layout extras, each option on its own, byte for byte. The two
// properties (same program, a second run changes nothing) of every extra,
// alone and all together, are checked on real input with the corpus test.
#include <gtest/gtest.h>

#include <initializer_list>

#include "test_support.h"

namespace prax::test {
namespace {

class LayoutExtrasTest : public EngineTest {};

// Load defaults with the given extras on.
FormatOptions extras(std::initializer_list<int FormatOptions::*> on)
{
    FormatOptions options = load_defaults();
    for (int FormatOptions::*field : on)
        options.*field = 1;
    return options;
}

FormatOptions modern()
{
    FormatOptions options = load_defaults();
    EXPECT_TRUE(apply_style(options, "modern"));
    return options;
}

using O = FormatOptions;

TEST_F(LayoutExtrasTest, ModernStyleLaysOutJoinsAndUnion)
{
    EXPECT_FORMATS("select o.id, c.name from orders o join customers c on c.id = o.customer_id "
                   "left join items i on i.order_id = o.id where o.total > 0 union all "
                   "select 0, 'none' from dual;",
                   "SELECT     o.id, c.name\n"
                   "FROM       orders o\n"
                   "JOIN       customers c ON c.id = o.customer_id\n"
                   "LEFT JOIN  items i ON i.order_id = o.id\n"
                   "WHERE      o.total > 0\n"
                   "UNION ALL\n"
                   "SELECT     0, 'none'\n"
                   "FROM       dual;\n",
                   modern());
}

TEST_F(LayoutExtrasTest, TrimTrailingBlanksLeavesNoBlankAtALineEnd)
{
    EXPECT_FORMATS("select a, b from t where x = 1;",
                   "SELECT     a, b\n"
                   "FROM       t\n"
                   "WHERE      x = 1;\n"
                   "\n",
                   extras({&O::trim_trailing_blanks}));
    // Host text keeps its own blanks.
    EXPECT_FORMATS("int n;  \nEXEC SQL SELECT a INTO :n FROM t;\n\t \nint m;\n",
                   "int n;  \n"
                   "EXEC SQL SELECT     a\n"
                   "         INTO       :n\n"
                   "         FROM       t;\n"
                   "\t \n"
                   "int m;\n",
                   extras({&O::trim_trailing_blanks}));
}

TEST_F(LayoutExtrasTest, StatementResetStartsEachStatementAtTheLeftEdge)
{
    // The unclosed "(" of the first statement does not indent the next, COMMIT
    // gets no padding, one empty line between statements and none before.
    EXPECT_FORMATS("update t set a = 1 where (b = 2; commit; select x from y;",
                   "UPDATE     t\n"
                   "SET        a = 1\n"
                   "WHERE      (b = 2;\n"
                   "\n"
                   "COMMIT;\n"
                   "\n"
                   "SELECT     x\n"
                   "FROM       y;\n",
                   extras({&O::statement_reset, &O::trim_trailing_blanks}));
    EXPECT_FORMATS("select a from t; commit ;",
                   "SELECT     a \n"
                   "FROM       t; \n"
                   "\n"
                   "COMMIT; \n",
                   extras({&O::statement_reset}));
}

TEST_F(LayoutExtrasTest, SetOperatorsStandAloneAndTheNextSelectTakesTheField)
{
    EXPECT_FORMATS("select a from t union all select b from u except select c from v;",
                   "SELECT     a\n"
                   "FROM       t\n"
                   "UNION ALL\n"
                   "SELECT     b\n"
                   "FROM       u\n"
                   "EXCEPT\n"
                   "SELECT     c\n"
                   "FROM       v;\n"
                   "\n",
                   extras({&O::set_operators, &O::trim_trailing_blanks}));
}

TEST_F(LayoutExtrasTest, WithClausesPutOneCtePerLineAndTheMainSelectAtTheEdge)
{
    EXPECT_FORMATS("with a as (select x from t), b as (select y from a) select * from b;",
                   "WITH       a AS (SELECT     x\n"
                   "                 FROM       t\n"
                   "                ),\n"
                   "           b AS (SELECT     y\n"
                   "                 FROM       a\n"
                   "                )\n"
                   "SELECT     *\n"
                   "FROM       b;\n"
                   "\n",
                   extras({&O::with_clauses, &O::trim_trailing_blanks}));
    // A data-changing CTE is a subquery of the WITH too.
    EXPECT_FORMATS("with d as (delete from t returning k) select k from d;",
                   "WITH       d AS (\n"
                   "    DELETE FROM     t RETURNING k\n"
                   ")\n"
                   "SELECT     k\n"
                   "FROM       d;\n",
                   modern());
}

TEST_F(LayoutExtrasTest, JoinClausesAreClauseKeywordsWithOnInTheFlow)
{
    EXPECT_FORMATS("select a from t natural join u left outer join v on v.id = t.id and v.k = 1 "
                   "cross join w where b = 1;",
                   "SELECT     a\n"
                   "FROM       t\n"
                   "NATURAL JOIN u\n"
                   "LEFT OUTER JOIN v ON v.id = t.id\n"
                   "           AND v.k = 1\n"
                   "CROSS JOIN w\n"
                   "WHERE      b = 1;\n"
                   "\n",
                   extras({&O::join_clauses, &O::trim_trailing_blanks}));
}

TEST_F(LayoutExtrasTest, KeywordsInParensStayInTheFlow)
{
    EXPECT_FORMATS("select extract(year from d), rank() over (partition by a order by b) from t order by c;",
                   "SELECT     extract(year FROM d), rank() over (partition by a ORDER BY b)\n"
                   "FROM       t\n"
                   "ORDER BY   c;\n"
                   "\n",
                   extras({&O::keywords_in_parens, &O::trim_trailing_blanks}));
}

TEST_F(LayoutExtrasTest, CaseLayoutIndentsWhenAndElseUnderCase)
{
    EXPECT_FORMATS("select case when a = 1 then 'x' when a = 2 then 'y' else 'z' end as n from t;",
                   "SELECT     case\n"
                   "               when a = 1 then 'x'\n"
                   "               when a = 2 then 'y'\n"
                   "               else 'z'\n"
                   "           end AS n\n"
                   "FROM       t;\n"
                   "\n",
                   extras({&O::case_layout, &O::trim_trailing_blanks}));
}

TEST_F(LayoutExtrasTest, BetweenAndStaysOnItsLine)
{
    EXPECT_FORMATS("select a from t where b between 1 and 2 and c = 3;",
                   "SELECT     a\n"
                   "FROM       t\n"
                   "WHERE      b BETWEEN 1 AND 2\n"
                   "           AND c = 3;\n"
                   "\n",
                   extras({&O::between_and, &O::trim_trailing_blanks}));
}

TEST_F(LayoutExtrasTest, CompactOperatorsDropInnerBlanks)
{
    // "a - -1" keeps its blank: "--" would begin a comment.
    EXPECT_FORMATS("select count( * ), t.*, - 1, a - 1, f(- x), a = - b, a - - 1 from t;",
                   "SELECT     count(*), t.*, -1, a - 1, f(-x), a = -b, a - -1\n"
                   "FROM       t;\n"
                   "\n",
                   extras({&O::compact_operators, &O::trim_trailing_blanks}));
    // Nor may a unary minus run into a comment or an operator that starts
    // with "-": "---", "-->" would read differently.
    EXPECT_FORMATS("select a * -\n-- c\n, b * - ->c from t;",
                   "SELECT     a * - -- c\n"
                   "           , b * - ->c\n"
                   "FROM       t;\n"
                   "\n",
                   extras({&O::compact_operators, &O::trim_trailing_blanks}));
}

TEST_F(LayoutExtrasTest, KeepPunctuationMovesTheTokenBeforeIt)
{
    FormatOptions options = extras({&O::trim_trailing_blanks});
    options.wrap_length = 30;
    EXPECT_FORMATS("select abcdefgh, abcdefghi, x from t;",
                   "SELECT     abcdefgh, abcdefghi\n"
                   "           , x\n"
                   "FROM       t;\n"
                   "\n",
                   options);
    options.keep_punctuation = 1;
    EXPECT_FORMATS("select abcdefgh, abcdefghi, x from t;",
                   "SELECT     abcdefgh,\n"
                   "           abcdefghi, x\n"
                   "FROM       t;\n"
                   "\n",
                   options);
}

TEST_F(LayoutExtrasTest, KeepPunctuationMovesTheWordGluedToTheToken)
{
    // The token moves with what is glued to it, and a blank before the
    // punctuation changes nothing (a second run would not see it).
    FormatOptions options = extras({&O::keep_punctuation, &O::trim_trailing_blanks});
    options.wrap_length = 30;
    const struct {
        const char *input, *expected;
    } cases[] = {
        {"select aaaaa, min(abcdefg), x from t;", "SELECT     aaaaa,\n           min(abcdefg), x\nFROM       t;\n\n"},
        {"select aaaaaa, f(bb, cccc);", "SELECT     aaaaaa, f(bb,\n                     cccc);\n\n"},
        {"select aaaaaa, f(bb, cccc );", "SELECT     aaaaaa, f(bb,\n                     cccc);\n\n"},
        {"select aaaaaaa, bbbbb::int, c;", "SELECT     aaaaaaa,\n           bbbbb::int, c;\n\n"},
        {"select g(aaaaa, f(bbbbb) );", "SELECT     g(aaaaa,\n           f(bbbbb) );\n\n"},
    };
    for (const auto &c : cases)
        EXPECT_FORMATS(c.input, c.expected, options);
}

TEST_F(LayoutExtrasTest, AllKeywordCaseReachesTheOtherKeywords)
{
    FormatOptions options = extras({&O::all_keyword_case});
    options.keyword_case = 2;
    EXPECT_FORMATS("SELECT A, B DESC, C FROM T LEFT JOIN U USING (K) WHERE A IS NOT NULL LIMIT 5;",
                   "select     A, B desc, C \n"
                   "from       T left join U using (K) \n"
                   "where      A is not null limit 5; \n"
                   " \n",
                   options);
}

TEST_F(LayoutExtrasTest, ListPerLineBreaksClauseLevelListsOnly)
{
    EXPECT_FORMATS("insert into t values (1, 2), (3, 4); create table t (a int, b numeric(7, 2)); "
                   "select f(a, b), c from t;",
                   "INSERT INTO     t\n"
                   "VALUES          (1, 2),\n"
                   "                (3, 4);\n"
                   "\n"
                   "CREATE TABLE     t (a int,\n"
                   "                    b numeric(7, 2)\n"
                   "                   );\n"
                   "\n"
                   "SELECT     f(a, b),\n"
                   "           c\n"
                   "FROM       t;\n"
                   "\n",
                   extras({&O::list_per_line, &O::trim_trailing_blanks}));
}

TEST_F(LayoutExtrasTest, StepIndentNestsSubqueriesByFourColumns)
{
    EXPECT_FORMATS("select a from t where b in (select c from u where d in (select e from v)) and f = g(1, 2);",
                   "SELECT     a\n"
                   "FROM       t\n"
                   "WHERE      b IN (\n"
                   "    SELECT     c\n"
                   "    FROM       u\n"
                   "    WHERE      d IN (\n"
                   "        SELECT     e\n"
                   "        FROM       v\n"
                   "    )\n"
                   ")\n"
                   "           AND f = g(1, 2);\n"
                   "\n",
                   extras({&O::step_indent, &O::trim_trailing_blanks}));
}

// The modern style keeps lines near the left edge: a SELECT behind another
// statement keyword takes the statement's field, CREATE TABLE's columns and
// CASE's words go by the indentation, parentheses opened on one line step
// once, a comment that does not fit begins its own line.
TEST_F(LayoutExtrasTest, ModernStyleStaysNearTheLeftEdge)
{
    const struct {
        int wrap;
        const char *input, *expected;
    } cases[] = {
        {80, "insert into t (a, b) select x, y from u;",
         "INSERT INTO     t (a, b)\n"
         "SELECT     x, y\n"
         "FROM       u;\n"},
        {80, "create table t (a int not null, b text check (b <> ''));",
         "CREATE TABLE     t (\n"
         "    a int NOT NULL, b text CHECK (b <> '')\n"
         ");\n"},
        {80, "select a, case when b = 1 then 'x' else 'y' end as c from t;",
         "SELECT     a, CASE\n"
         "               WHEN b = 1 THEN 'x'\n"
         "               ELSE 'y'\n"
         "           END AS c\n"
         "FROM       t;\n"},
        {30, "select f(g(aaaa, bbbb, cccc, dddd)) from t;",
         "SELECT     f(g(aaaa, bbbb,\n"
         "               cccc, dddd))\n"
         "FROM       t;\n"},
        {30, "select aaaa, bbbb -- a remark too long\nfrom t;",
         "SELECT     aaaa, bbbb\n"
         "           -- a remark too long\n"
         "FROM       t;\n"},
        {80, "select a from t where b in ( /* k */ select c from u) and d = 1;",
         "SELECT     a\n"
         "FROM       t\n"
         "WHERE      b IN ( /* k */\n"
         "               SELECT     c\n"
         "               FROM       u)\n"
         "           AND d = 1;\n"},
    };
    for (const auto &c : cases)
        EXPECT_FORMATS(c.input, c.expected, with(modern(), &O::wrap_length, c.wrap));
}

} // namespace
} // namespace prax::test
