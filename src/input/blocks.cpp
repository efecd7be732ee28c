#include "input/blocks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <utility>

#include "core/utilities.h"

namespace korvelan {

std::string cleanLine(std::string line) {
  removeSpaces(line);
  while (!line.empty()) {
    const char last = line.back();
    if (last != ' ' && last != '\n' && last != '\r' && last != '\t') break;
    line.pop_back();
  }
  return line;
}

std::vector<std::string> splitTokens(const std::string& line) {
  std::vector<std::string> tokens;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    const std::size_t from = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > from) tokens.push_back(line.substr(from, i - from));
  }
  return tokens;
}

namespace {

// An input or collection file held open for reading, with the size it had when it was opened.
// It is opened before it is looked at, so what is checked is what is read: a fifo or a device put
// in place of the named file cannot stall the open (O_NONBLOCK), and only a regular file is taken.
class InputFile {
 public:
  explicit InputFile(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return;
    fd_ = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) return;
    struct stat info {};
    // Only a regular file can be read to its end: a folder or a pipe would never give one.
    if (fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
      close();
      return;
    }
    const int flags = fcntl(fd_, F_GETFL);
    if (flags != -1) fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK);
    left_ = static_cast<std::size_t>(info.st_size);
  }
  ~InputFile() { close(); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool isOpen() const { return fd_ >= 0; }

  // Reads up to `size` bytes into `to`; 0 at the end of the size the file had when opened (a file
  // that grows while it is read would otherwise keep the reading going for as long as its writer
  // does), at its real end if it shrank, and at a read error.
  std::size_t read(char* to, std::size_t size) {
    while (fd_ >= 0 && left_ > 0) {
      const ssize_t got = ::read(fd_, to, std::min(size, left_));
      if (got > 0) {
        left_ -= static_cast<std::size_t>(got);
        return static_cast<std::size_t>(got);
      }
      if (got < 0 && errno == EINTR) continue;
      break;
    }
    return 0;
  }

 private:
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

  int fd_ = -1;
  std::size_t left_ = 0;
};

// The lines of a file, read in large pieces. Unlike getline it never holds more than one line of
// the permitted length (plus a piece), however long the line in the file is.
class LineReader {
 public:
  explicit LineReader(InputFile& in) : in_(in), piece_(std::size_t{1} << 16) {}

  // The next line without its line feed; false when the file (or its readable part) has ended
  // with no character left. Sets `tooLong` instead when the line passes kMaxLineLength.
  bool next(std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    bool any = false;
    while (true) {
      if (at_ == end_ && !refill()) return any;
      any = true;
      const char* from = piece_.data() + at_;
      const auto* feed = static_cast<const char*>(std::memchr(from, '\n', end_ - at_));
      const std::size_t take = feed != nullptr ? static_cast<std::size_t>(feed - from) : end_ - at_;
      if (line.size() + take > kMaxLineLength) {
        tooLong = true;
        return true;
      }
      line.append(from, take);
      at_ += take;
      if (feed != nullptr) {
        ++at_;
        return true;
      }
    }
  }

 private:
  bool refill() {
    at_ = 0;
    end_ = in_.read(piece_.data(), piece_.size());
    return end_ > 0;
  }

  InputFile& in_;
  std::vector<char> piece_;
  std::size_t at_ = 0;
  std::size_t end_ = 0;
};

[[noreturn]] void failLongLine(const std::string& path, std::size_t lineNumber) {
  std::cout << "Error: line " << lineNumber << " of " << path << " is longer than " << kMaxLineLength
            << " characters." << std::endl;
  endRun(1);
}

}  // namespace

bool readBlocks(const std::string& path, const std::function<void(inputBlock)>& onBlock) {
  InputFile file(path);
  if (!file.isOpen()) return false;

  LineReader lines(file);
  inputBlock block;
  std::string line;
  std::size_t lineNumber = 0;
  bool tooLong = false;
  // Reading stops at the end of the file and at a read error alike; either way the pending block
  // is handed on as if an empty line had followed it.
  while (lines.next(line, tooLong)) {
    ++lineNumber;
    if (tooLong) failLongLine(path, lineNumber);
    line = cleanLine(std::move(line));
    if (!line.empty()) {
      block.push_back(splitTokens(line));
    } else if (!block.empty()) {
      onBlock(std::move(block));
      block.clear();
    }
  }
  if (!block.empty()) onBlock(std::move(block));
  return true;
}

}  // namespace korvelan
