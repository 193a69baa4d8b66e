// Which formatting options a document is formatted with: the profile that
// prax-format would use for the file, read again whenever it changes on disk.
#pragma once

#include <cstdint>
#include <string>

#include "engine/engine.h"

namespace prax::lsp {

// The profile for a file at `file_path`: ".prax.ini" in the file's folder or
// the nearest folder above it, else the per-user profile when it exists, else
// "" (the built-in load defaults). An empty `file_path` (a document that is no
// file) skips the project search.
std::string find_profile_for(const std::string &file_path);

// Keeps the options of the last profile read and reads it again only when its
// path, size or modification time changed (a user who saves the profile sees
// the next format request use it, without restarting the server).
class ProfileCache {
public:
    const FormatOptions &options_for(const std::string &file_path);

private:
    std::string path_;
    std::int64_t size_ = -1;
    std::int64_t mtime_ns_ = -1;
    bool loaded_ = false;
    FormatOptions options_ = default_format_options;
};

} // namespace prax::lsp
