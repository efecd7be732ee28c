#include "driver/dialogue.h"

#include <omp.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/collections.h"
#include "core/globals.h"
#include "core/utilities.h"

namespace korvelan {

namespace {

const char* const kInvalidInput = "Invalid input. Please, re-enter.";

// How an answer is read: one blank-separated word (several may share a line), or a whole line.
enum class Read { Word, Line };

using Acceptance = std::function<bool(const std::string&)>;

// Says the question, then reads answers until one is accepted, saying the refusal after each of the
// others (the question is not repeated); returns the accepted answer. The input ending before an
// answer is accepted ends the run rather than re-asking forever.
std::string ask(std::istream& in, std::ostream& out, const std::string& question, Read read,
                const Acceptance& accepted, const char* refusal = kInvalidInput) {
  out << question << std::endl;
  while (true) {
    std::string answer;
    if (!(read == Read::Word ? static_cast<bool>(in >> answer) : static_cast<bool>(std::getline(in, answer))))
      endRun(1);
    if (accepted(answer)) return answer;
    out << refusal << std::endl;
    in.clear();
  }
}

// A whole number in [low, high] (high 0: no upper bound); "2.5" counts as 2.
Acceptance wholeNumber(std::int32_t low, std::int32_t high) {
  return [low, high](const std::string& answer) {
    if (!checkNumeric(answer)) return false;
    const std::int32_t value = leadingInteger(answer);
    return value >= low && (high == 0 || value <= high);
  };
}

Acceptance oneOf(std::vector<std::string> choices) {
  return [choices = std::move(choices)](const std::string& answer) {
    return std::find(choices.begin(), choices.end(), answer) != choices.end();
  };
}

bool offeredCutoff(const std::string& answer) {
  if (!checkDouble(answer)) return false;
  const double value = std::strtod(answer.c_str(), nullptr);
  for (double cutoff : {0.5, 0.6, 0.7, 0.75, 0.8, 0.85, 0.9})
    if (value == cutoff) return true;
  return false;
}

// A path or a file name is used as typed, so one holding a control character (a NUL would cut it
// short of what was typed) ends the run before anything is read or written.
Acceptance endingOnControlCharacters(bool tabAllowed, Acceptance accepted) {
  return [tabAllowed, accepted = std::move(accepted)](const std::string& answer) {
    if (!checkPrintable(answer, tabAllowed)) failInput();
    return accepted(answer);
  };
}

// The collection key of a database menu answer; null for an answer not on the menu.
const char* menuKey(const std::string& answer) {
  for (const Collection& collection : collections())
    if (answer == std::to_string(collection.menuNumber)) return collection.key;
  return answer == std::to_string(kNoCollectionChoice) ? kNoCollectionKey : nullptr;
}

// The question for the collection, with its menu and the empty lines around it.
std::string databaseQuestion() {
  std::string question = "Enter database name by selecting a number in the list below:\n\n";
  for (const Collection& collection : collections())
    question += "(" + std::to_string(collection.menuNumber) + ") " + collection.menuLabel + "\n";
  return question + "(" + std::to_string(kNoCollectionChoice) + ") " + kNoCollectionLabel + "\n";
}

const char* const kFormatMenu =
    "Enter input file names and formats (for example: 1). See the user manual for each format:\n\n"
    "(1) TRANSFAC\n(2) TRANSFAC-like\n(3) PSSM\n(4) Jaspar\n(5) MEME output\n(6) Consensus sequence\n"
    "(7) Sequence Alignment\n(8) Matrices (Horizonal)\n(9) Matrices (Vertical)\n(10) Unspecified\n";

}  // namespace

void runDialogue(std::istream& in, std::ostream& out) {
  // Each answer is read as typed into a local (the ...Input texts), then turned into its setting.
  const std::string numFileInput =
      ask(in, out, "Please, enter number of files to read (must be > 0):", Read::Word, wholeNumber(1, 0));
  numFile = leadingInteger(numFileInput);
  in.get();

  const std::string numTopMotifInput =
      ask(in, out, "Please, enter number of top significant motifs (must be > 0 and <= 50):", Read::Word,
          wholeNumber(1, 50));
  numTopMotif = leadingInteger(numTopMotifInput);

  const std::string numBestMatchesInput =
      ask(in, out, "Please, enter number of best matches (must be > 0 and <= 50):", Read::Word,
          wholeNumber(1, 50));
  numBestMatches = leadingInteger(numBestMatchesInput);

  const std::string simCutoffInput = ask(
      in, out,
      "Please, select a cutoff for similarity (>= 0.5, >= 0.6, >= 0.7, >= 0.75, >= 0.8, >= 0.85, >= 0.9):",
      Read::Word, offeredCutoff);
  simCutoff = std::strtod(simCutoffInput.c_str(), nullptr);

  const std::string numThreadInput =
      ask(in, out, "Please, enter number of threads (must be >= 1):", Read::Word, checkNumThreads);
  numThread = leadingInteger(numThreadInput);
  const std::int32_t maxThreadsAvailable = omp_get_max_threads();
  out << "Maximum number of threads available on your machine is " << maxThreadsAvailable << "." << std::endl;
  out << "This is the maximum number of threads can be allocated to run this program." << std::endl
      << std::endl;
  if (numThread > maxThreadsAvailable) numThread = maxThreadsAvailable;
  omp_set_num_threads(numThread);
  in.get();

  inputPath =
      ask(in, out,
          "Please, enter input file's location (full path, for example, C:\\MyDocuments\\ for Windows "
          "and /home/MyFolder/ for Linux):",
          Read::Line, endingOnControlCharacters(true, [](const std::string&) { return true; }));

  out << std::endl << kFormatMenu << std::endl;
  for (std::int32_t i = 1; i <= numFile; ++i) {
    const std::string inputFilename =
        ask(in, out, "Please, enter file name (in text format .txt, name without spaces):", Read::Line,
            endingOnControlCharacters(false, checkSpace), "Please, re-enter file name without spaces:");
    const std::string inputFileFormat = ask(in, out, "Please, enter file format:", Read::Line,
                                            wholeNumber(1, 10), "Invalid file format. Please, re-enter:");
    const std::int32_t inputFileFormatNum = leadingInteger(inputFileFormat);
    FileNameType.push_back(fileNameAndType{inputFilename, inputFileFormatNum, 0, i});
  }

  out << std::endl;
  const std::string DBNameInput = ask(in, out, databaseQuestion(), Read::Word,
                                      [](const std::string& answer) { return menuKey(answer) != nullptr; });
  DBName = menuKey(DBNameInput);
  in.get();

  motifCluster =
      ask(in, out, "Would you like to generate motif tree? (Y or N):", Read::Line, oneOf({"Y", "N"}));
  combinedMotifFlag =
      ask(in, out, "Would you like to combine similar motifs? (Y or N):", Read::Line, oneOf({"Y", "N"}));
  outputFileType = ask(in, out, "Please, enter an output file type (Global-Only, All):", Read::Line,
                       oneOf({"Global-Only", "All"}), "Invalid output file type. Please, re-enter.");
  outputFileFormat =
      ask(in, out, "Please, enter an output file format (Text, HTML, PDF, All):", Read::Line,
          oneOf({"Text", "HTML", "PDF", "All"}), "Invalid output file format. Please, re-enter.");

  // Only checked: every output goes to the result folder beside the input folder, outputPath, which
  // nameOutputs sets.
  [[maybe_unused]] const std::string outputFolderInput = ask(
      in, out,
      "please, enter output file's location (full path, for example, C:\\MyDocuments\\ for Windows and "
      "/home/MyFolder/ for Linux):",
      Read::Line,
      [](const std::string& answer) { return checkPrintable(answer, true) && isValidPath(answer); },
      "Invalid path. Please, re-enter.");
}

}  // namespace korvelan
