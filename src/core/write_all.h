// Writing a whole buffer to a descriptor with nothing but write(2): safe inside a signal handler, and
// in this header alone so that the compiled logo client, which links no library of the program, uses
// it too.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <string_view>

namespace korvelan {

// Writes the bytes, going on after an interrupted or partial write; false when they could not all be
// written.
inline bool writeAll(int fd, const char* bytes, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

inline bool writeAll(int fd, std::string_view text) {
  return writeAll(fd, text.data(), text.size());
}

}  // namespace korvelan
