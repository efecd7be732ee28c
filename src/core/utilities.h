// Validators, text cleaners, number and clock formatting, paths, and the way a run ends early.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace korvelan {

// Character-class tests on dialogue answers and file tokens (bytes compared exactly).
bool checkNumeric(std::string text);       // digits and '.' only; the empty text passes
bool checkDouble(std::string text);        // digits and exactly one '.'
bool checkNumThreads(std::string text);    // digits only, at least one of them not 0
bool checkIUPAC(std::string text);         // A B C D G H K M N R S T V W Y and '-'; empty passes
bool checkNucleotide(std::string text);    // A C G T and '-'; empty passes
bool checkSpace(std::string text);         // no blank (tabs allowed); empty passes
bool checkNumericOrSpace(std::string text);  // first character a digit or a blank; empty fails

// True when the path exists and is a directory.
bool isValidPath(std::string path);

// Cleans a line in place: trailing and leading blanks go, inner runs of n blanks become ceil(n/2).
void removeSpaces(std::string& text);
// Keeps only blanks, '.' and digits.
std::string removeSpecialCharacters(std::string text);
// Number of words (runs of non-white-space characters).
int countToken(std::string text);

// A double as a default-formatted stream writes it (six significant digits).
std::string numberToString(double value);
// Base-10 digits from the start of the text (stops at the first non-digit), saturating at the
// 32-bit maximum instead of wrapping; no digit gives 0.
std::int32_t leadingInteger(const std::string& text);

std::string getCurrDateTime();        // local time as "%m-%d-%Y %X", for report footers
std::string getCurrDateTimeFormat();  // local time as "%Y-%m-%d_%H-%M-%S", for the job identifier
std::string getCurrentDirectory();    // working directory, or empty when it cannot be read

// The tool root of a run: the input folder less its last seven characters (all of it when shorter),
// ending in "/" unless empty. The output folder is root + "result/"; the logo program lies under it too.
std::string toolRoot(const std::string& inputFolder);

// Text made safe to insert into an HTML page: & < > " ' become entities.
std::string htmlEscape(std::string_view text);

// Ends the run: a stage that meets a fatal condition prints its message and calls this. main turns
// it into the process exit status; nothing else catches it.
struct RunEnded {
  int status;
};
[[noreturn]] void endRun(int status);

// The report-open failure: "Invalid output path or output filename." with no line end, status 1.
[[noreturn]] void failOutput();
// The input-open failure: "Invalid input path or file name." and a line end, status 1.
[[noreturn]] void failInput();

}  // namespace korvelan
