// Validators, text cleaners, number and clock formatting, paths, and the way a run ends early.
#pragma once

#include <cstddef>
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
// No control character (bytes 0 to 31 and 127; a tab only where allowed): an answer holding one is
// refused, since a NUL would cut the path the system sees short of what was typed.
bool checkPrintable(std::string text, bool tabAllowed);

// True when the path exists and is a directory (not a device, socket or other file type); a path
// holding a NUL is never one.
bool isValidPath(std::string path);

// Cleans a line in place: trailing and leading blanks go, inner runs of n blanks become ceil(n/2).
void removeSpaces(std::string& text);
// Keeps only blanks, '.' and digits.
std::string removeSpecialCharacters(std::string text);
// Number of words (runs of non-white-space characters).
int countToken(std::string text);

// A double as a default-formatted stream writes it (six significant digits).
std::string numberToString(double value);
// The value numberToString's text of `value` reads back as; numberToString gives that text again.
double sixDigitValue(double value);
// Base-10 digits from the start of the text (stops at the first non-digit), saturating at the
// 32-bit maximum instead of wrapping; no digit gives 0.
std::int32_t leadingInteger(const std::string& text);

std::string getCurrDateTime();        // local time as "%m-%d-%Y %X", for report footers
std::string getCurrDateTimeFormat();  // local time as "%Y-%m-%d_%H-%M-%S", for the job identifier
std::string getCurrentDirectory();    // working directory, or empty when it cannot be read
// The working directory for a stage that needs it (the collections, the PDF step); when it cannot
// be read (removed under the run, or too long) the run ends with the input failure rather than
// looking things up at the file-system root.
std::string workingDirectoryOrFail();

// A fresh folder of mode 0700 named `prefix` and six random characters in the temporary folder the
// program was given (TMPDIR) or else /tmp, by its full path (a helper started in another folder finds
// it too) of at most `longest` bytes; empty when none could be made.
std::string makePrivateFolder(const std::string& prefix, std::size_t longest);

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
// The same for a known file, followed by a line on the error stream naming it and the system's reason
// (errno value `error`; 0 when none is known). When both streams go to one place (a terminal) the
// console line is ended first.
[[noreturn]] void failOutputFile(const std::string& path, int error);
// The input-open failure: "Invalid input path or file name." and a line end, status 1.
[[noreturn]] void failInput();

}  // namespace korvelan
