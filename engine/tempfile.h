// Unique temporary files, created exclusively (mkstemp), never a guessed name.
#pragma once

#include <string>

namespace prax {

// The mkstemp template for a temporary file in `dir` (the system's temporary
// directory, $TMPDIR or /tmp, when empty): "DIR/STEM-XXXXXX".
std::string temp_name_template(const std::string &dir, const char *stem);

// Creates a new empty file with a unique name in `dir` (the system's temporary
// directory when empty) and stores its path in `path`. Returns false on failure.
bool create_temp_file(std::string &path, const std::string &dir = std::string(),
                      const char *stem = "prax");

} // namespace prax
