// File operations of the formatting commands; see fileops.h.
#include "app/fileops.h"

#include <cstdio>
#include <memory>

#include "engine/tempfile.h"

namespace prax {

std::string temp_in_path;
std::string temp_out_path;

namespace {

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Writes `text` to a stream opened with `mode`; a failing fclose (a full disk
// often shows only there) counts as a failed write.
int write_with_mode(const std::string &path, std::string_view text, const char *mode)
{
    std::FILE *f = std::fopen(path.c_str(), mode);
    if (!f)
        return -1;
    bool ok = text.empty() || std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0)
        ok = false;
    return ok ? 0 : -1;
}

} // namespace

int make_temp_names()
{
    remove_temp_names();
    std::string in;
    std::string out;
    if (!create_temp_file(in, std::string(), "prax-in"))
        return -1;
    if (!create_temp_file(out, std::string(), "prax-out")) {
        std::remove(in.c_str());
        return -1;
    }
    temp_in_path = in;
    temp_out_path = out;
    return 0;
}

void remove_temp_names()
{
    if (!temp_out_path.empty())
        std::remove(temp_out_path.c_str());
    if (!temp_in_path.empty())
        std::remove(temp_in_path.c_str());
    temp_out_path.clear();
    temp_in_path.clear();
}

int write_text_file(const std::string &path, std::string_view text)
{
    return write_with_mode(path, text, "wb");
}

int append_text_file(const std::string &path, std::string_view text)
{
    return write_with_mode(path, text, "ab");
}

int append_file_to_file(const std::string &source, const std::string &destination)
{
    FilePtr dst(std::fopen(destination.c_str(), "ab"));
    if (!dst)
        return -1;
    FilePtr src(std::fopen(source.c_str(), "rb"));
    if (!src)
        return -1;
    char buffer[8192];
    long long copied = 0;
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, src.get())) > 0) {
        if (std::fwrite(buffer, 1, n, dst.get()) != n)
            return -1;
        copied += static_cast<long long>(n);
    }
    if (std::ferror(src.get()))
        return -1;
    if (std::fclose(dst.release()) != 0)
        return -1;
    return copied > 0x7fffffff ? -1 : static_cast<int>(copied);
}

int read_file_text(const std::string &path, std::string &text)
{
    text.clear();
    FilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f)
        return -1;
    char buffer[8192];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f.get())) > 0)
        text.append(buffer, n);
    if (std::ferror(f.get())) {
        text.clear();
        return -1;
    }
    return 0;
}

} // namespace prax
