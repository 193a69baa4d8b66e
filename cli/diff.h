// Unified diffs of a text and its formatted text, as `patch -p0` applies them.
#pragma once

#include <string>

namespace prax::cli {

// The unified diff (3 lines of context) that turns `before` into `after`,
// with "--- NAME" and "+++ NAME" headers; "" when the texts are equal. A last
// line without a line feed is marked "\ No newline at end of file".
std::string unified_diff(const std::string &name, const std::string &before, const std::string &after);

} // namespace prax::cli
