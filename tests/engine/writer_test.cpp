// The writer's column, line and wrap accounting, on a real (temporary) stream.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/layout.h"
#include "engine/writer.h"
#include "test_support.h"

namespace prax::test {
namespace {

class WriterTest : public EngineTest {
protected:
    void SetUp() override
    {
        format_options = load_defaults();
        out_ = std::tmpfile();
        ASSERT_NE(out_, nullptr);
        engine_state.out_file = out_;
        set_status_hook([this](std::string_view text) { messages_.emplace_back(text); });
    }
    void TearDown() override
    {
        reset_engine_state(); // writes out the line the writer still holds
        engine_state.out_file = nullptr;
        std::fclose(out_);
        EngineTest::TearDown();
    }
    std::string written()
    {
        finish_output(); // the writer holds the line in progress until the run ends
        std::fflush(out_);
        std::rewind(out_);
        std::string s;
        int c;
        while ((c = std::fgetc(out_)) != EOF)
            s += static_cast<char>(c);
        return s;
    }
    void emit(const std::string &s) { emit_text(s.data(), static_cast<int>(s.size())); }
    void wrapped(const std::string &s) { emit_wrapped(s.data(), static_cast<int>(s.size())); }

    std::FILE *out_ = nullptr;
    std::vector<std::string> messages_;
};

TEST_F(WriterTest, TabCountsTabWidthColumns)
{
    engine_state.column = 10;
    emit("ab\tc");
    EXPECT_EQ(engine_state.column, 21);
    EXPECT_EQ(engine_state.line, 0);
    EXPECT_EQ(engine_state.last_char, 'c');
    EXPECT_EQ(engine_state.last_was_space, 0);

    emit("a\n\tb");
    EXPECT_EQ(engine_state.column, 9);
    EXPECT_EQ(engine_state.line, 1);

    emit("x\ny\n");
    EXPECT_EQ(engine_state.column, 0);
    EXPECT_EQ(engine_state.line, 3);
    EXPECT_EQ(engine_state.last_was_space, 1);

    emit("\v");
    EXPECT_EQ(engine_state.last_was_space, 1) << "vertical tab is white space for the writer";
}

TEST_F(WriterTest, NewlineEndsLinesWithOneBlank)
{
    emit("a");
    emit_newline(false);
    emit_newline(false); // right after a line feed: nothing
    emit_newline(true);  // forced: a line holding one blank
    emit("b ");
    emit_newline(false); // the line already ends in a blank: no second one
    emit("c\t");
    emit_newline(false);
    EXPECT_EQ(written(), "a \n \nb \nc\t\n");
    EXPECT_EQ(engine_state.line, 4);
    EXPECT_EQ(engine_state.column, 0);
}

TEST_F(WriterTest, NewlineAtTheStartOfTheOutputWritesABlankLine)
{
    emit_newline(false);
    EXPECT_EQ(written(), " \n");
}

TEST_F(WriterTest, WrapsTokensThatEndBeyondWrapLength)
{
    indent_push(11);
    engine_state.column = 75;
    wrapped("abcde"); // ends exactly at 80: stays
    EXPECT_EQ(engine_state.column, 80);
    EXPECT_EQ(engine_state.line, 0);

    reset_engine_state();
    engine_state.out_file = out_;
    indent_push(11);
    engine_state.column = 76;
    wrapped("abcde");
    EXPECT_EQ(engine_state.line, 1);
    EXPECT_EQ(engine_state.column, 16);
    EXPECT_EQ(written(), "abcde \n           abcde");
    EXPECT_TRUE(messages_.empty());
}

TEST_F(WriterTest, LongTokenMovesOnceAndIsWrittenWhole)
{
    indent_push(2);
    emit("x");
    wrapped(std::string(100, 'y'));
    EXPECT_EQ(written(), "x \n  " + std::string(100, 'y'));
}

TEST_F(WriterTest, WrapLengthZeroBreaksBeforeEveryTokenInsideALine)
{
    format_options.wrap_length = 0;
    indent_push(3);
    wrapped("a");
    wrapped("b");
    EXPECT_EQ(written(), "   a \n   b");
}

TEST_F(WriterTest, WrappingOffKeepsTheFlow)
{
    format_options.wrap_enabled = 0;
    format_options.wrap_length = 0;
    indent_push(3);
    emit("a");
    wrapped("b");
    EXPECT_EQ(written(), "ab");
}

TEST_F(WriterTest, EmptyIndentStackReportsTheToken)
{
    wrapped("tok");
    EXPECT_EQ(written(), "tok");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], "Error detected, unbalanced parenthesis near token tok");
}

TEST_F(WriterTest, NeverSplitsAUtf8Character)
{
    indent_push(0);
    format_options.wrap_length = 5;
    emit("abcde");
    wrapped("\xc3"); // a lead byte may move to the next line
    EXPECT_EQ(engine_state.line, 1);
    wrapped("\xa9"); // its continuation byte stays behind it, past the wrap column
    format_options.wrap_length = 1;
    wrapped("\xa9");
    EXPECT_EQ(engine_state.line, 1);
    EXPECT_EQ(written(), "abcde \n\xc3\xa9\xa9");
}

TEST_F(WriterTest, TokensAreBytesWithALength)
{
    indent_push(0);
    wrapped(std::string("a\0b", 3));
    EXPECT_EQ(written(), std::string("a\0b", 3));
    EXPECT_EQ(engine_state.column, 3);
}

TEST_F(WriterTest, KeywordIsAlignedInItsField)
{
    struct {
        int alignment;
        int expected_column;
    } cases[] = {{0, 4}, {1, 5}, {2, 6}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.alignment);
        EXPECT_EQ(keyword_padding(c.alignment, 4, 10, 4, 0), c.expected_column);
    }
    // A keyword wider than its field, or a line past it, is written where the line stands.
    EXPECT_LT(keyword_padding(2, 0, 4, 6, 0), 0);
    EXPECT_EQ(keyword_padding(1, 0, 6, 5, 0), 0) << "halving truncates toward zero";
    EXPECT_EQ(keyword_padding(1, 0, 4, 7, 0), -1) << "halving truncates toward zero, not down";

    format_options.alignment = 1;
    set_layout(4, 6, 3); // field [4, 10], items at 13
    emit_keyword("FROM", 4, true);
    EXPECT_EQ(written(), "     FROM    ");
    EXPECT_EQ(engine_state.column, 13);
}

TEST_F(WriterTest, KeywordPaddingAndBreaks)
{
    set_layout(0, 6, 1); // items at 7
    emit("xx");
    emit_keyword("SELECT", 6, true);      // breaks the line first
    emit_keyword("WHERE", 5, false);      // already past the item column: one blank
    format_options.newline_after_select = 1;
    emit_keyword("FROM", 4, true);
    EXPECT_EQ(written(), "xx \nSELECT WHERE \nFROM \n");
}

} // namespace
} // namespace prax::test

namespace prax::test {
namespace {

// The bounded stack: a push onto a full stack is dropped, a pop from an empty
// one leaves the destination alone, and a reused slot holds only what was
// pushed into it (never the spare storage of an earlier entry).
TEST(BoundedStackTest, BoundsAndReuse)
{
    BoundedStack<BoundedStack<int>> saved;
    BoundedStack<int> a;
    a.push(1);
    a.push(2);
    saved.push(a);
    BoundedStack<int> out;
    out.push(9);
    saved.pop(out);
    EXPECT_EQ(out.size(), 2u);
    EXPECT_EQ(*out.top(), 2);
    BoundedStack<int> b;
    b.push(7);
    saved.push(b);  // reuses the popped slot
    saved.pop(out);
    EXPECT_EQ(out.size(), 1u);
    EXPECT_EQ(*out.top(), 7);
    saved.pop(out); // empty: untouched
    EXPECT_EQ(*out.top(), 7);

    BoundedStack<int> full;
    for (std::size_t i = 0; i < kStackCapacity + 5; ++i)
        full.push(static_cast<int>(i));
    EXPECT_EQ(full.size(), kStackCapacity);
    EXPECT_EQ(*full.top(), static_cast<int>(kStackCapacity) - 1);
    BoundedStack<int> copy = full;
    full.clear();
    EXPECT_TRUE(full.empty());
    EXPECT_EQ(copy.size(), kStackCapacity);
}

} // namespace
} // namespace prax::test
