#include "input/blocks.h"

#include <sys/stat.h>

#include <fstream>
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

bool readBlocks(const std::string& path, const std::function<void(inputBlock)>& onBlock) {
  // Only a regular file can be read to its end: a folder or a pipe would never give one.
  struct stat info {};
  if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in.is_open()) return false;

  inputBlock block;
  std::string line;
  // getline stops at the end of the file and at a read error alike; either way the pending block
  // is handed on as if an empty line had followed it.
  while (std::getline(in, line)) {
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
