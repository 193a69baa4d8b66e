// The detection pass without the scanner: one pass over large reads that
// decides, exactly as the scanner's detection rules do, whether the input is
// host-language text with embedded SQL, pure SQL, or holds no SQL, and stops
// at the same look-ahead limit. The scanner's detection rules stay the
// reference (and serve the token trace); this is the fast road of real runs.
#pragma once

#include <cstdio>

namespace prax {

enum class DetectedMode { Embedded, PureSql, NoSql, Failed };

struct Detection {
    DetectedMode mode = DetectedMode::NoSql;
    bool sql_seen = false;         // a statement keyword was met before the decision
    const char *failure = nullptr; // Failed: the scanner's fatal message (no line feed)
};

// Reads `input` from where it stands up to its first EXEC SQL outside
// comments and literals, or to its end. Leaves the stream wherever it stopped.
Detection detect_sql(std::FILE *input);

} // namespace prax
