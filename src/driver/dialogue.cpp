#include "driver/dialogue.h"

#include <omp.h>

#include <cstdlib>
#include <string>

#include "core/collections.h"
#include "core/globals.h"
#include "core/utilities.h"

namespace korvelan {

namespace {

const char* const kInvalidInput = "Invalid input. Please, re-enter.";

// Reads one blank-separated answer; the input ending here ends the run rather than re-asking forever.
std::string readWord(std::istream& in) {
  std::string word;
  if (!(in >> word)) endRun(1);
  return word;
}

std::string readLine(std::istream& in) {
  std::string line;
  if (!std::getline(in, line)) endRun(1);
  return line;
}

void say(std::ostream& out, const char* text) { out << text << std::endl; }

void refuse(std::istream& in, std::ostream& out, const char* message) {
  say(out, message);
  in.clear();
}

// Whole-number answer in [low, high] (high 0: no upper bound), stored as text and as number.
std::int32_t askWholeNumber(std::istream& in, std::ostream& out, std::string& answer, std::int32_t low,
                            std::int32_t high) {
  while (true) {
    answer = readWord(in);
    if (checkNumeric(answer)) {
      std::int32_t value = leadingInteger(answer);
      if (value >= low && (high == 0 || value <= high)) return value;
    }
    refuse(in, out, kInvalidInput);
  }
}

// Whole-line answer that must be one of the given texts.
std::string askChoice(std::istream& in, std::ostream& out, std::initializer_list<const char*> choices,
                      const char* message) {
  while (true) {
    std::string answer = readLine(in);
    for (const char* choice : choices)
      if (answer == choice) return answer;
    refuse(in, out, message);
  }
}

bool isOfferedCutoff(double value) {
  for (double cutoff : {0.5, 0.6, 0.7, 0.75, 0.8, 0.85, 0.9})
    if (value == cutoff) return true;
  return false;
}

}  // namespace

void runDialogue(std::istream& in, std::ostream& out) {
  say(out, "Please, enter number of files to read (must be > 0):");
  numFile = askWholeNumber(in, out, numFileInput, 1, 0);
  in.get();

  say(out, "Please, enter number of top significant motifs (must be > 0 and <= 50):");
  numTopMotif = askWholeNumber(in, out, numTopMotifInput, 1, 50);

  say(out, "Please, enter number of best matches (must be > 0 and <= 50):");
  numBestMatches = askWholeNumber(in, out, numBestMatchesInput, 1, 50);

  say(out,
      "Please, select a cutoff for similarity (>= 0.5, >= 0.6, >= 0.7, >= 0.75, >= 0.8, >= 0.85, >= 0.9):");
  while (true) {
    simCutoffInput = readWord(in);
    if (checkDouble(simCutoffInput)) {
      simCutoff = std::strtod(simCutoffInput.c_str(), nullptr);
      if (isOfferedCutoff(simCutoff)) break;
    }
    refuse(in, out, kInvalidInput);
  }

  say(out, "Please, enter number of threads (must be >= 1):");
  while (true) {
    numThreadInput = readWord(in);
    if (checkNumThreads(numThreadInput)) break;
    refuse(in, out, kInvalidInput);
  }
  numThread = leadingInteger(numThreadInput);
  maxThreadsAvailable = omp_get_max_threads();
  out << "Maximum number of threads available on your machine is " << maxThreadsAvailable << "." << std::endl;
  out << "This is the maximum number of threads can be allocated to run this program." << std::endl << std::endl;
  if (numThread > maxThreadsAvailable) numThread = maxThreadsAvailable;
  omp_set_num_threads(numThread);
  in.get();

  say(out,
      "Please, enter input file's location (full path, for example, C:\\MyDocuments\\ for Windows and "
      "/home/MyFolder/ for Linux):");
  // A path is used as typed, so one holding a control character (a NUL would cut it short of what
  // was typed) ends the run before anything is read or written.
  inputPath = readLine(in);
  if (!checkPrintable(inputPath, true)) failInput();

  out << std::endl;
  say(out, "Enter input file names and formats (for example: 1). See the user manual for each format:");
  out << std::endl;
  for (const char* item : {"(1) TRANSFAC", "(2) TRANSFAC-like", "(3) PSSM", "(4) Jaspar", "(5) MEME output",
                           "(6) Consensus sequence", "(7) Sequence Alignment", "(8) Matrices (Horizonal)",
                           "(9) Matrices (Vertical)", "(10) Unspecified"})
    say(out, item);
  out << std::endl;

  for (std::int32_t i = 1; i <= numFile; ++i) {
    say(out, "Please, enter file name (in text format .txt, name without spaces):");
    while (true) {
      inputFilename = readLine(in);
      if (!checkPrintable(inputFilename, false)) failInput();
      if (checkSpace(inputFilename)) break;
      refuse(in, out, "Please, re-enter file name without spaces:");
    }
    say(out, "Please, enter file format:");
    while (true) {
      inputFileFormat = readLine(in);
      if (checkNumeric(inputFileFormat)) {
        inputFileFormatNum = leadingInteger(inputFileFormat);
        if (inputFileFormatNum >= 1 && inputFileFormatNum <= 10) break;
      }
      refuse(in, out, "Invalid file format. Please, re-enter:");
    }
    InputFiles = fileNameAndType{inputFilename, inputFileFormatNum, 0, i};
    FileNameType.push_back(InputFiles);
  }

  out << std::endl;
  say(out, "Enter database name by selecting a number in the list below:");
  out << std::endl;
  for (const Collection& collection : collections())
    out << "(" << collection.menuNumber << ") " << collection.menuLabel << std::endl;
  out << "(" << kNoCollectionChoice << ") " << kNoCollectionLabel << std::endl;
  out << std::endl;
  const char* key = nullptr;
  while (key == nullptr) {
    DBNameInput = readWord(in);
    for (const Collection& collection : collections())
      if (DBNameInput == std::to_string(collection.menuNumber)) key = collection.key;
    if (DBNameInput == std::to_string(kNoCollectionChoice)) key = kNoCollectionKey;
    if (key == nullptr) refuse(in, out, kInvalidInput);
  }
  DBName = key;
  in.get();

  say(out, "Would you like to generate motif tree? (Y or N):");
  motifCluster = askChoice(in, out, {"Y", "N"}, kInvalidInput);
  say(out, "Would you like to combine similar motifs? (Y or N):");
  combinedMotifFlag = askChoice(in, out, {"Y", "N"}, kInvalidInput);
  say(out, "Please, enter an output file type (Global-Only, All):");
  outputFileType = askChoice(in, out, {"Global-Only", "All"}, "Invalid output file type. Please, re-enter.");
  say(out, "Please, enter an output file format (Text, HTML, PDF, All):");
  outputFileFormat =
      askChoice(in, out, {"Text", "HTML", "PDF", "All"}, "Invalid output file format. Please, re-enter.");

  say(out,
      "please, enter output file's location (full path, for example, C:\\MyDocuments\\ for Windows and "
      "/home/MyFolder/ for Linux):");
  while (true) {
    outputPath = readLine(in);
    if (checkPrintable(outputPath, true) && isValidPath(outputPath)) break;
    refuse(in, out, "Invalid path. Please, re-enter.");
  }
}

}  // namespace korvelan
