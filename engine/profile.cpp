// The classic INI profile: see profile.h.
#include "engine/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "engine/options.h"
#include "engine/tempfile.h"

namespace prax {

namespace {

std::string trim(const std::string &s)
{
    const char *blanks = " \t\r\f\v";
    std::size_t b = s.find_first_not_of(blanks);
    if (b == std::string::npos)
        return std::string();
    std::size_t e = s.find_last_not_of(blanks);
    return s.substr(b, e - b + 1);
}

bool same_name(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

bool make_parent_dirs(const std::string &path)
{
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        std::string dir = path.substr(0, slash);
        if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

} // namespace

bool IniProfile::load(const std::string &path, std::string *error)
{
    lines_.clear();
    auto fail = [&](std::string why) {
        if (error)
            *error = std::move(why);
        return false;
    };
    // O_NONBLOCK: opening a FIFO must not wait for a writer; the type test
    // below then refuses it, as it refuses /dev/zero and directories.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return true;
        return fail(std::strerror(errno));
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return fail("not a regular file");
    }
    // Read one byte beyond the limit to tell a file that has grown past it.
    std::string text;
    char chunk[4096];
    ssize_t n = 0;
    while (text.size() <= kMaxProfileSize && (n = ::read(fd, chunk, sizeof chunk)) != 0) {
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            break;
        text.append(chunk, static_cast<std::size_t>(n));
    }
    const int read_errno = errno;
    ::close(fd);
    if (n < 0)
        return fail(std::strerror(read_errno));
    if (text.size() > kMaxProfileSize)
        return fail("larger than 1 MiB");
    parse(text);
    return true;
}

void IniProfile::parse(const std::string &text)
{
    lines_.clear();
    // A UTF-8 byte order mark, as some editors write, is not part of the first line.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        parse(text.substr(3));
        return;
    }
    line_end_ = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    std::string section;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string raw = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : end + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        Line line;
        line.raw = raw;
        std::string t = trim(raw);
        if (!t.empty() && t[0] == '[' && t.find(']') != std::string::npos) {
            section = trim(t.substr(1, t.find(']') - 1));
            line.is_header = true;
            line.section = section;
        } else if (!t.empty() && t[0] != ';' && t.find('=') != std::string::npos) {
            line.section = section;
            line.key = trim(t.substr(0, t.find('=')));
        } else {
            line.section = section;
        }
        lines_.push_back(std::move(line));
    }
}

int IniProfile::find_key(const std::string &section, const std::string &key) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line &l = lines_[i];
        if (!l.is_header && !l.key.empty() && same_name(l.section, section) && same_name(l.key, key))
            return static_cast<int>(i);
    }
    return -1;
}

std::optional<std::string> IniProfile::get_string(const std::string &section, const std::string &key) const
{
    int i = find_key(section, key);
    if (i < 0)
        return std::nullopt;
    const std::string &raw = lines_[static_cast<std::size_t>(i)].raw;
    return trim(raw.substr(raw.find('=') + 1));
}

int IniProfile::get_int(const std::string &section, const std::string &key, int fallback) const
{
    std::optional<std::string> value = get_string(section, key);
    if (!value)
        return fallback;
    const char *s = value->c_str();
    const char *digits = s + ((*s == '+' || *s == '-') ? 1 : 0);
    if (*digits < '0' || *digits > '9')
        return fallback; // no number
    errno = 0;
    long long n = std::strtoll(s, nullptr, 10);
    if (n > INT_MAX)
        return INT_MAX;
    if (n < INT_MIN)
        return INT_MIN;
    return static_cast<int>(n);
}

void IniProfile::set_string(const std::string &section, const std::string &key, const std::string &value)
{
    int i = find_key(section, key);
    if (i >= 0) {
        Line &l = lines_[static_cast<std::size_t>(i)];
        l.raw = l.key + "=" + value;
        return;
    }
    Line line;
    line.raw = key + "=" + value;
    line.section = section;
    line.key = key;
    // After the last non-blank line of the section, when the section exists.
    int last = -1;
    for (std::size_t j = 0; j < lines_.size(); ++j) {
        if (same_name(lines_[j].section, section) && (lines_[j].is_header || !trim(lines_[j].raw).empty()))
            last = static_cast<int>(j);
    }
    if (last >= 0 && !lines_.empty()) {
        // The section exists (it has a header, or keys before any header for "").
        bool has_header = false;
        for (const Line &l : lines_)
            has_header = has_header || (l.is_header && same_name(l.section, section));
        if (has_header) {
            lines_.insert(lines_.begin() + last + 1, std::move(line));
            return;
        }
    }
    if (!lines_.empty() && !trim(lines_.back().raw).empty())
        lines_.push_back(Line{});
    Line header;
    header.raw = "[" + section + "]";
    header.section = section;
    header.is_header = true;
    lines_.push_back(std::move(header));
    lines_.push_back(std::move(line));
}

void IniProfile::set_int(const std::string &section, const std::string &key, int value)
{
    set_string(section, key, std::to_string(value));
}

void IniProfile::remove_key(const std::string &section, const std::string &key)
{
    int i = find_key(section, key);
    if (i >= 0)
        lines_.erase(lines_.begin() + i);
}

std::string IniProfile::text() const
{
    std::string out;
    for (const Line &l : lines_) {
        out += l.raw;
        out += line_end_;
    }
    return out;
}

bool IniProfile::save(const std::string &path, std::string *error) const
{
    auto fail = [&](const std::string &why) {
        if (error)
            *error = why;
        return false;
    };
    auto fail_errno = [&](int err) { return fail("cannot write " + path + ": " + std::strerror(err)); };
    if (!make_parent_dirs(path))
        return fail("cannot create the folder of " + path + ": " + std::strerror(errno));
    // Everything after mkstemp works on its descriptor and on the folder's
    // descriptor: in a folder another user can write, a temporary name swapped
    // for a symlink must neither re-mode nor replace a file of ours.
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const int dirfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd < 0)
        return fail_errno(errno);
    std::string pattern = (dir == "/" ? "" : dir) + "/.prax-profile-XXXXXX";
    const int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        close(dirfd);
        return fail_errno(err);
    }
    const std::string temp = pattern.substr(pattern.rfind('/') + 1);
    const std::string body = text();
    int err = 0;
    for (std::size_t done = 0; done < body.size() && err == 0;) {
        const ssize_t wrote = write(fd, body.data() + done, body.size() - done);
        if (wrote > 0)
            done += static_cast<std::size_t>(wrote);
        else if (errno != EINTR)
            err = wrote < 0 ? errno : EIO;
    }
    struct stat info, ours, named;
    if (err == 0 && fstatat(dirfd, name.c_str(), &info, 0) == 0)
        fchmod(fd, info.st_mode & 07777); // keep the profile's permissions
    if (err == 0 && fsync(fd) != 0)
        err = errno;
    // The temporary name must still be ours before it replaces the profile.
    if (err == 0 && (fstat(fd, &ours) != 0 || fstatat(dirfd, temp.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0 ||
                     ours.st_dev != named.st_dev || ours.st_ino != named.st_ino))
        err = EEXIST;
    if (err == 0 && renameat(dirfd, temp.c_str(), dirfd, name.c_str()) != 0)
        err = errno;
    if (err != 0 && err != EEXIST)
        unlinkat(dirfd, temp.c_str(), 0);
    close(fd);
    close(dirfd);
    if (err != 0)
        return fail_errno(err);
    return true;
}

std::string find_project_profile(const std::string &dir)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path folder = fs::absolute(dir.empty() ? fs::path(".") : fs::path(dir), ec).lexically_normal();
    if (ec)
        return std::string();
    if (folder.has_relative_path() && folder.filename().empty())
        folder = folder.parent_path(); // "/work/q/" -> "/work/q"
    for (;;) {
        const fs::path candidate = folder / ".prax.ini";
        struct stat info;
        if (::stat(candidate.c_str(), &info) == 0 && !S_ISDIR(info.st_mode))
            return candidate.string();
        if (!folder.has_relative_path())
            return std::string(); // the root was searched
        folder = folder.parent_path();
    }
}

std::string profile_for(const std::string &input_path)
{
    const std::size_t slash = input_path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : input_path.substr(0, slash + 1);
    std::string project = find_project_profile(dir);
    if (!project.empty())
        return project;
    const std::string user = default_profile_path();
    struct stat info;
    return ::stat(user.c_str(), &info) == 0 ? user : std::string();
}

} // namespace prax
