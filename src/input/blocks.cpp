#include "input/blocks.h"

#include <sys/stat.h>

#include <cstring>
#include <fstream>
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

// The lines of a file, read in large pieces. Unlike getline it never holds more than one line of
// the permitted length (plus a piece), however long the line in the file is.
class LineReader {
 public:
  explicit LineReader(std::istream& in) : in_(in), piece_(std::size_t{1} << 16) {}

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
    if (!in_) return false;
    in_.read(piece_.data(), static_cast<std::streamsize>(piece_.size()));
    at_ = 0;
    end_ = static_cast<std::size_t>(in_.gcount());
    return end_ > 0;
  }

  std::istream& in_;
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
  // Only a regular file can be read to its end: a folder or a pipe would never give one.
  struct stat info {};
  if (path.empty() || path.find('\0') != std::string::npos || stat(path.c_str(), &info) != 0 ||
      !S_ISREG(info.st_mode))
    return false;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return false;

  LineReader lines(in);
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
