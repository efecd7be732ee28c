// The one way input and collection files are read: line by line, cleaned, and cut into blocks of
// consecutive non-empty lines.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace korvelan {

// One block of an input or collection file: its lines in file order, each split into tokens at blanks
// and tabs. No line of a block is empty and no token is empty.
using inputBlock = std::vector<std::vector<std::string>>;

// A line as read, cleaned: surplus blanks removed (removeSpaces), then every trailing blank, tab,
// carriage return and line feed. A line of only such characters becomes empty.
std::string cleanLine(std::string line);

// The tokens of a line: the pieces between blanks and tabs; a run of them separates once.
std::vector<std::string> splitTokens(const std::string& line);

// The longest line a file may hold (1 MiB, without its line end). One line is never worth more: a
// longer one is an input error.
constexpr std::size_t kMaxLineLength = std::size_t{1} << 20;

// Reads the file at `path` and calls `onBlock` once per run of non-empty cleaned lines, in file
// order. A run at the end of the file is a block whether or not the file ends with a line end, and
// a read error ends the file as its end does. The file is read only up to the size it had when it
// was opened: what a writer appends meanwhile is not read. Returns false, calling nothing, when
// `path` is not a readable regular file (missing, a folder, a fifo, a device, no permission), and
// never waits for a fifo's writer; the caller reports it. A line longer than kMaxLineLength ends
// the run with a message naming the file and the line (status 1). Every input and collection file
// is read through here.
bool readBlocks(const std::string& path, const std::function<void(inputBlock)>& onBlock);

}  // namespace korvelan
