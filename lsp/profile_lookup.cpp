// Profile lookup for the language server; see profile_lookup.h.
#include "lsp/profile_lookup.h"

#include <sys/stat.h>

namespace prax::lsp {

namespace {

bool is_regular_file(const std::string &path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

std::string find_profile_for(const std::string &file_path)
{
    // A document that is no file has no project folder: the per-user profile.
    if (file_path.empty()) {
        const std::string user = default_profile_path();
        return is_regular_file(user) ? user : std::string();
    }
    return profile_for(file_path);
}

const FormatOptions &ProfileCache::options_for(const std::string &file_path)
{
    const std::string path = find_profile_for(file_path);
    std::int64_t size = -1, mtime_ns = -1;
    struct stat info;
    if (!path.empty() && ::stat(path.c_str(), &info) == 0) {
        size = info.st_size;
        mtime_ns = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    }
    if (loaded_ && path == path_ && size == size_ && mtime_ns == mtime_ns_)
        return options_;
    options_ = load_default_format_options();
    if (!path.empty())
        load_format_options(path, options_);
    path_ = path;
    size_ = size;
    mtime_ns_ = mtime_ns;
    loaded_ = true;
    return options_;
}

} // namespace prax::lsp
