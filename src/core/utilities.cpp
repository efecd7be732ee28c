#include "core/utilities.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <iostream>
#include <sstream>
#include <utility>

namespace korvelan {

namespace {
bool allOf(const std::string& text, const char* allowed) {
  for (char ch : text)
    if (std::strchr(allowed, ch) == nullptr || ch == '\0') return false;
  return true;
}
bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

// True when both descriptors lead to the same file, pipe or terminal.
bool sameDestination(int first, int second) {
  struct stat a {};
  struct stat b {};
  return fstat(first, &a) == 0 && fstat(second, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void sayOutputFailure() {
  std::cout << "Invalid output path or output filename." << std::flush;
}

std::string formatNow(const char* format) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buffer[100];
  std::size_t n = std::strftime(buffer, sizeof buffer, format, &local);
  return std::string(buffer, n);
}
}  // namespace

bool checkNumeric(std::string text) { return allOf(text, "0123456789."); }

bool checkDouble(std::string text) {
  int dots = 0;
  for (char ch : text) {
    if (ch == '.')
      ++dots;
    else if (!isDigit(ch))
      return false;
  }
  return dots == 1;
}

bool checkNumThreads(std::string text) {
  bool nonZero = false;
  for (char ch : text) {
    if (!isDigit(ch)) return false;
    if (ch != '0') nonZero = true;
  }
  return nonZero;
}

bool checkIUPAC(std::string text) { return allOf(text, "ABCDGHKMNRSTVWY-"); }
bool checkNucleotide(std::string text) { return allOf(text, "ACGT-"); }
bool checkSpace(std::string text) { return text.find(' ') == std::string::npos; }
bool checkNumericOrSpace(std::string text) { return !text.empty() && (isDigit(text[0]) || text[0] == ' '); }

bool checkPrintable(std::string text, bool tabAllowed) {
  for (unsigned char ch : text)
    if ((ch < 0x20 && !(tabAllowed && ch == '\t')) || ch == 0x7f) return false;
  return true;
}

bool isValidPath(std::string path) {
  struct stat info {};
  return path.find('\0') == std::string::npos && stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void removeSpaces(std::string& text) {
  std::size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ') --end;
  std::size_t from = 0;
  while (from < end && text[from] == ' ') ++from;
  // One pass that removes the first blank of each pair it meets and never looks back, so a run of
  // n blanks ends as ceil(n/2): column spacing that files and readers already rely on. The pass
  // copies rather than erasing in place, so a long line costs its length, not its length squared.
  std::string kept;
  kept.reserve(end - from);
  std::size_t r = from;
  while (r + 1 < end) {
    if (text[r] == ' ' && text[r + 1] == ' ') {
      kept += ' ';  // the second blank of the pair stays, and the pass goes on after it
      r += 2;
    } else {
      kept += text[r];
      r += 1;
    }
  }
  if (r < end) kept += text[r];
  text = std::move(kept);
}

std::string removeSpecialCharacters(std::string text) {
  std::string kept;
  kept.reserve(text.size());
  for (char ch : text)
    if (ch == ' ' || ch == '.' || isDigit(ch)) kept += ch;
  return kept;
}

int countToken(std::string text) {
  int count = 0;
  bool inWord = false;
  for (unsigned char ch : text) {
    if (std::isspace(ch)) {
      inWord = false;
    } else if (!inWord) {
      inWord = true;
      ++count;
    }
  }
  return count;
}

std::string numberToString(double value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

double sixDigitValue(double value) {
  // The default stream format is printf's %.6g; from_chars reads as strtod does, without a locale.
  char text[64];
  const auto written = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 6);
  double back = value;
  std::from_chars(text, written.ptr, back);
  return back;
}

std::int32_t leadingInteger(const std::string& text) {
  std::int64_t value = 0;
  for (char ch : text) {
    if (!isDigit(ch)) break;
    value = value * 10 + (ch - '0');
    if (value > INT32_MAX) return INT32_MAX;
  }
  return static_cast<std::int32_t>(value);
}

std::string getCurrDateTime() { return formatNow("%m-%d-%Y %X"); }
std::string getCurrDateTimeFormat() { return formatNow("%Y-%m-%d_%H-%M-%S"); }

std::string getCurrentDirectory() {
  char buffer[4096];
  if (getcwd(buffer, sizeof buffer) == nullptr) return std::string();
  return std::string(buffer);
}

std::string workingDirectoryOrFail() {
  std::string directory = getCurrentDirectory();
  if (directory.empty()) failInput();
  return directory;
}

std::string makePrivateFolder(const std::string& prefix, std::size_t longest) {
  const char* given = std::getenv("TMPDIR");
  for (std::string base : {given != nullptr ? std::string(given) : std::string(), std::string("/tmp")}) {
    if (base.empty()) continue;
    if (base.front() != '/') {
      const std::string workingDirectory = getCurrentDirectory();
      if (workingDirectory.empty()) continue;
      base = workingDirectory + "/" + base;
    }
    if (base.back() != '/') base += '/';
    std::string pattern = base + prefix + "XXXXXX";
    if (pattern.size() > longest) continue;
    if (mkdtemp(pattern.data()) != nullptr) return pattern;
  }
  return "";
}

std::string toolRoot(const std::string& inputFolder) {
  std::string root = inputFolder.size() < 7 ? inputFolder : inputFolder.substr(0, inputFolder.size() - 7);
  if (!root.empty() && root.back() != '/') root += '/';
  return root;
}

std::string htmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    switch (ch) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += ch;
    }
  }
  return out;
}

void endRun(int status) {
  std::cout.flush();
  throw RunEnded{status};
}

void failOutput() {
  sayOutputFailure();
  endRun(1);
}

void failOutputFile(const std::string& path, int error) {
  sayOutputFailure();
  // The console line has no line end of its own; where both streams reach one place (a terminal, or
  // one file for both) the error line would run on from it.
  if (sameDestination(STDOUT_FILENO, STDERR_FILENO)) std::cerr << '\n';
  std::cerr << "Error writing " << path << ": " << (error != 0 ? std::strerror(error) : "the write failed")
            << std::endl;
  endRun(1);
}

void failInput() {
  std::cout << "Invalid input path or file name." << std::endl;
  endRun(1);
}

}  // namespace korvelan
