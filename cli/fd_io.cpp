// Descriptor reads and writes: see fd_io.h.
#include "cli/fd_io.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

namespace prax::cli {

namespace {
// One transfer of read(2) or write(2) at a time until `size` bytes are done.
template <typename Transfer, typename Pointer>
bool transfer_all(Transfer transfer, int fd, Pointer data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = transfer(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}
} // namespace

bool write_all(int fd, const void *data, std::size_t size)
{
    return transfer_all(::write, fd, static_cast<const char *>(data), size);
}

bool read_all(int fd, void *data, std::size_t size)
{
    return transfer_all(::read, fd, static_cast<char *>(data), size);
}

bool read_chunks(int fd, const std::function<bool(const char *, std::size_t)> &take)
{
    std::vector<char> chunk(1 << 16);
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n == 0;
        if (!take(chunk.data(), static_cast<std::size_t>(n)))
            return false;
    }
}

bool copy_fd(int from, int to)
{
    return read_chunks(from, [to](const char *data, std::size_t size) { return write_all(to, data, size); });
}

bool read_whole(int fd, std::string &text)
{
    text.clear();
    return ::lseek(fd, 0, SEEK_SET) >= 0 && read_chunks(fd, [&text](const char *data, std::size_t size) {
               text.append(data, size);
               return true;
           });
}

} // namespace prax::cli
