// Protocol positions <-> byte offsets: line ends (LF, CR LF, lone CR), UTF-16
// code units against UTF-8 bytes, and positions beyond a line or the text.
#include <gtest/gtest.h>

#include <string>

#include "lsp/positions.h"

namespace {

using prax::lsp::offset_of;
using prax::lsp::Position;
using prax::lsp::position_of;
using prax::lsp::PositionEncoding;

constexpr auto kUtf16 = PositionEncoding::Utf16;
constexpr auto kUtf8 = PositionEncoding::Utf8;

struct Case {
    const char *name;
    std::string text;
    PositionEncoding encoding;
    Position position;
    std::size_t offset;
};

// "é" is 2 bytes / 1 UTF-16 unit; "😀" is 4 bytes / 2 UTF-16 units.
const Case kExact[] = {
    {"start of text", "ab\ncd", kUtf16, {0, 0}, 0},
    {"second line", "ab\ncd", kUtf16, {1, 1}, 4},
    {"after CR LF", "ab\r\ncd", kUtf16, {1, 1}, 5},
    {"end of a CR LF line", "ab\r\ncd", kUtf16, {0, 2}, 2},
    {"after a lone CR", "ab\rcd", kUtf16, {1, 0}, 3},
    {"empty line between CR LFs", "a\r\n\r\nb", kUtf16, {2, 0}, 5},
    {"after é, UTF-16", "é=1", kUtf16, {0, 1}, 2},
    {"after é, UTF-8", "é=1", kUtf8, {0, 2}, 2},
    {"after an astral char, UTF-16", "😀x", kUtf16, {0, 2}, 4},
    {"after an astral char, UTF-8", "😀x", kUtf8, {0, 4}, 4},
    {"after a NUL byte", std::string("a\0b", 3), kUtf16, {0, 2}, 2},
    {"after an invalid byte", "\xff" "a", kUtf16, {0, 1}, 1},
    {"end of text after a final LF", "a\n", kUtf16, {1, 0}, 2},
};

TEST(Positions, ConvertBothWays)
{
    for (const Case &c : kExact) {
        EXPECT_EQ(offset_of(c.text, c.position, c.encoding), c.offset) << c.name;
        EXPECT_EQ(position_of(c.text, c.offset, c.encoding), c.position) << c.name;
    }
}

// Positions a client may send that no offset maps back to.
const Case kHeld[] = {
    {"character beyond the line end stops before CR LF", "ab\r\ncd", kUtf16, {0, 9}, 2},
    {"character beyond the last line", "ab", kUtf16, {0, 9}, 2},
    {"line beyond the last", "ab\ncd", kUtf16, {7, 0}, 5},
    {"inside a UTF-16 pair stands after it", "😀x", kUtf16, {0, 1}, 4},
    {"inside a UTF-8 sequence stands after it", "é=1", kUtf8, {0, 1}, 2},
};

TEST(Positions, OutOfRangePositionsAreHeld)
{
    for (const Case &c : kHeld)
        EXPECT_EQ(offset_of(c.text, c.position, c.encoding), c.offset) << c.name;
}

TEST(Positions, OffsetBetweenCrAndLfIsTheLineEnd)
{
    EXPECT_EQ(position_of("ab\r\ncd", 3, kUtf16), (Position{0, 2}));
    EXPECT_EQ(position_of("ab", 99, kUtf16), (Position{0, 2}));
}

} // namespace
