// A small SQL token reader for the tests, written apart from the engine's
// scanner (it shares no code with it): what "the same program" means when a
// test compares a formatter's input with its output.
//
//   - white space (blank, tab, CR, LF, FF) separates tokens and is not kept;
//   - comments: "--" to the end of the line (trailing blanks, tabs and CR
//     dropped) and "/* ... */";
//   - literals '...' and quoted names "..." (quote doubled or after a
//     backslash inside), numbers, names (letters, digits, _, $, bytes 128-255;
//     compared without ASCII case), operators of one to three characters,
//     punctuation; any other byte is a token of its own.
//
// Embedded sources are read as host text and EXEC SQL statements: host text
// (C comments and literals in it taken as they stand) is compared as bytes
// with the blanks and line ends at its two edges set aside; a statement
// (EXEC SQL through its ";") is compared token by token. A statement that
// END-EXEC ends before any ";" is host text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace prax::test {

struct SqlToken {
    enum Kind { Comment, Literal, QuotedName, Number, Name, Operator, Other } kind;
    std::string text;
    std::size_t offset = 0; // of its first byte in the text read
};

// The tokens of SQL text, in order.
std::vector<SqlToken> read_sql_tokens(std::string_view text);

// "" when `output` holds the same tokens as `input` (and, for an embedded
// source, the same host text between statements); else where they differ.
std::string compare_meaning(std::string_view input, std::string_view output, bool embedded);

} // namespace prax::test
