// Conversion between the protocol's text positions (line, character) and byte
// offsets into a document's text, which the server keeps as the UTF-8 bytes
// the client sent.
//
// A line ends at LF, CR LF or a lone CR, as the protocol counts lines. The
// character is counted in UTF-16 code units unless the client and server
// agreed on UTF-8, where it counts bytes. Bytes that are not valid UTF-8 (the
// text is the client's, not ours to judge) count one unit each, so every byte
// offset still has a position and back.
#pragma once

#include <cstddef>
#include <string_view>

namespace prax::lsp {

enum class PositionEncoding { Utf16, Utf8 };

struct Position {
    int line = 0;
    int character = 0;
    bool operator==(const Position &) const = default;
};

// The byte offset of `position`. A character beyond its line's end stands at
// the line end (before its CR LF); a line beyond the last is the end of the
// text; a position inside a character (the second unit of a UTF-16 pair)
// stands after that character.
std::size_t offset_of(std::string_view text, Position position, PositionEncoding encoding);

// The position of byte `offset` (held to the text's size).
Position position_of(std::string_view text, std::size_t offset, PositionEncoding encoding);

} // namespace prax::lsp
