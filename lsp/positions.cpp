// Position <-> byte offset conversion; see positions.h.
#include "lsp/positions.h"

namespace prax::lsp {

namespace {

struct CharSize {
    std::size_t bytes;
    int units; // in the agreed encoding
};

bool continues(std::string_view text, std::size_t i)
{
    return i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80;
}

// The character starting at byte `i`: "é" is 2 bytes and one UTF-16 unit,
// "𝄞" is 4 bytes and two UTF-16 units (a surrogate pair).
CharSize char_at(std::string_view text, std::size_t i, PositionEncoding encoding)
{
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    std::size_t bytes = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        bytes = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        bytes = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        bytes = 4;
    for (std::size_t k = 1; k < bytes; ++k) {
        if (!continues(text, i + k))
            return {1, 1}; // a broken sequence: its lead byte counts alone
    }
    if (encoding == PositionEncoding::Utf8)
        return {bytes, static_cast<int>(bytes)};
    return {bytes, bytes == 4 ? 2 : 1};
}

bool is_line_break(char c)
{
    return c == '\n' || c == '\r';
}

} // namespace

std::size_t offset_of(std::string_view text, Position position, PositionEncoding encoding)
{
    std::size_t i = 0;
    for (int line = 0; line < position.line; ++line) {
        while (i < text.size() && !is_line_break(text[i]))
            ++i;
        if (i == text.size())
            return i;
        i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    }
    int units = 0;
    while (i < text.size() && !is_line_break(text[i]) && units < position.character) {
        const CharSize size = char_at(text, i, encoding);
        i += size.bytes;
        units += size.units;
    }
    return i;
}

Position position_of(std::string_view text, std::size_t offset, PositionEncoding encoding)
{
    if (offset > text.size())
        offset = text.size();
    Position position;
    std::size_t i = 0;
    while (i < offset) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            // An offset between CR and LF is still on the CR's line, at its end.
            if (i + 1 == offset)
                break;
            i += 2;
            ++position.line;
            position.character = 0;
        } else if (is_line_break(c)) {
            ++i;
            ++position.line;
            position.character = 0;
        } else {
            const CharSize size = char_at(text, i, encoding);
            i += size.bytes;
            position.character += size.units;
        }
    }
    return position;
}

} // namespace prax::lsp
