// The properties every engine run must keep, whatever bytes and option values
// it is given. Shared by the libFuzzer target (clang, sanitizers) and by the
// regression test that replays saved findings in every build (g++ included),
// so a finding is checked the same way in both places.
//
// A case is an option header followed by the text to format; see decode_case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/options.h"

namespace prax::fuzz {

struct FuzzCase {
    FormatOptions options{};
    int column = 0;   // engine_state.column preset before each run
    std::string text; // the bytes to format
};

// Bytes of the header: one selector per option field (record order), then one
// for the preset column. Inputs shorter than that leave the rest at defaults.
inline constexpr std::size_t kHeaderSize = 13;

// Decodes a fuzzer input. Each option selector byte b gives:
//   0x00-0xDF  b - 32 (small values around every valid range, negatives too)
//   0xE0-0xEF  one of sixteen edge values (INT_MIN, -25601, 25601, INT_MAX, ...)
//   0xF0-0xFF  the next four bytes, little-endian, as any 32-bit value
// The column selector gives b for b < 0xF0, else one of a few large columns.
FuzzCase decode_case(const std::uint8_t *data, std::size_t size);

// The header that decodes to `options` with preset column `column` when every
// value lies in -32..191 (used to turn plain corpus files into seeds).
std::string encode_header(const FormatOptions &options, int column);

// Runs the case twice through format_file and checks:
//   - the result is 0, -999 or -3, and the engine state is reset afterwards;
//   - for 0, the output holds every input byte other than blank, tab, LF, CR
//     and FF, in order, ASCII letter case aside;
//   - for 0, the output is the same program (tests/sql_token_reader.h), and
//     formatting it again gives the same bytes (unless that run finds no SQL);
//   - the second run gives the same result and the same bytes, unless the
//     first run changed starting_indentation (embedded SQL records its column).
// Returns an empty string when all hold, else what went wrong.
// `work_dir` holds the two temporary files (created and removed here).
std::string check_case(const FuzzCase &c, const std::string &work_dir);

} // namespace prax::fuzz
