#include "engine/tempfile.h"

#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace prax {

std::string temp_name_template(const std::string &dir, const char *stem)
{
    std::string base = dir;
    if (base.empty()) {
        const char *tmp = std::getenv("TMPDIR");
        base = (tmp && *tmp) ? tmp : "/tmp";
    }
    if (base.back() != '/')
        base += '/';
    return base + stem + "-XXXXXX";
}

bool create_temp_file(std::string &path, const std::string &dir, const char *stem)
{
    const std::string pattern = temp_name_template(dir, stem);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0)
        return false;
    close(fd);
    path.assign(name.data());
    return true;
}

} // namespace prax
