#include "core/utilities.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <climits>
#include <ctime>
#include <iostream>
#include <sstream>

namespace korvelan {

namespace {
bool allOf(const std::string& text, const char* allowed) {
  for (char ch : text)
    if (std::strchr(allowed, ch) == nullptr || ch == '\0') return false;
  return true;
}
bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

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

bool isValidPath(std::string path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && (info.st_mode & S_IFDIR) != 0;
}

void removeSpaces(std::string& text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  std::size_t lead = 0;
  while (lead < text.size() && text[lead] == ' ') ++lead;
  text.erase(0, lead);
  // One pass that removes the first blank of each pair it meets and never looks back, so a run of
  // n blanks ends as ceil(n/2): column spacing that files and readers already rely on.
  for (std::size_t i = 0; i + 1 < text.size(); ++i)
    if (text[i] == ' ' && text[i + 1] == ' ') text.erase(i, 1);
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
  std::cout << "Invalid output path or output filename." << std::flush;
  endRun(1);
}

void failInput() {
  std::cout << "Invalid input path or file name." << std::endl;
  endRun(1);
}

}  // namespace korvelan
