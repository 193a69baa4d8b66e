// Whole reads and writes on file descriptors, retried after EINTR.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace prax::cli {

// Writes all `size` bytes; false on an error.
bool write_all(int fd, const void *data, std::size_t size);
// Reads exactly `size` bytes; false on an error or an early end.
bool read_all(int fd, void *data, std::size_t size);
// Hands every chunk read from `fd` (from its offset to its end) to `take`,
// which returns false to stop with a failure. False on a read error too.
bool read_chunks(int fd, const std::function<bool(const char *, std::size_t)> &take);
// Copies `from` (from its offset) to `to`.
bool copy_fd(int from, int to);
// The whole content of `fd` from its start.
bool read_whole(int fd, std::string &text);

} // namespace prax::cli
