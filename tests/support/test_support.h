// Helpers shared by the tests: scratch folders, files, and running the real program.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/records.h"

namespace korvelan::testing {

// A fresh folder under the system temp folder, removed when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }  // ends in "/"
 private:
  std::string path_;
};

void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
std::vector<std::string> listDir(const std::string& dir);  // names, sorted
std::vector<std::string> splitLines(const std::string& text);

// Output and exit status of the korvelan program run in `workDir` with `input` on its standard input.
struct ProgramRun {
  std::string output;
  int status = -1;
};
// Programs in `workDir` + "bin/" (a RunFolder's stand-ins) come first on its command search path.
ProgramRun runProgram(const std::string& input, const std::string& workDir, const std::string& extraEnv = "");

// What a shell command prints on its standard output.
std::string commandOutput(const std::string& command);
// True when the program is found on the command search path.
bool installed(const std::string& program);

// True when the process has ended (a zombie nobody reaps counts as ended).
bool processGone(pid_t pid);
// Waits until the condition holds, checking every 20 ms; false when it still fails after `seconds`.
bool eventually(const std::function<bool()>& condition, int seconds = 30);

// The source tree root, for fixtures and the shared data folder beside the checkout.
std::string sourceDir();

// The shared data folder beside the checkout (real collection files), or empty when it is absent:
// tests that read it skip when this is empty.
std::string sharedDataDir();

// --- whole runs ---

// A tool root for one run: motifs/ (the input folder), result/ (where the reports land), a stand-in
// logo program that leaves a small fake image and a stand-in bin/php5 that leaves kStandInPdf beside
// each page it is asked to convert, so whole runs with PDF output stay on this folder. Tests add input
// files, collections under databases/ and other stand-in programs as they need.
extern const char* const kStandInPdf;
struct RunFolder {
  TempDir dir;
  RunFolder();
  std::string root() const { return dir.path(); }
  std::string motifs() const { return dir.path() + "motifs/"; }
  std::string result() const { return dir.path() + "result/"; }
  // Copies tests/<area>/fixtures/<name> (default area: driver) into motifs/.
  void addFixture(const std::string& name, const std::string& area = "driver");
  // Writes an executable script under the tool root (for example "weblogo-3.4/weblogo").
  void addProgram(const std::string& relativePath, const std::string& script);
};

// The answers of one dialogue, with the defaults the whole-run tests use.
struct Answers {
  std::vector<std::string> files;
  int topMotifs = 5;
  int bestMatches = 3;
  std::string cutoff = "0.75";
  int threads = 2;
  int collection = 14;  // menu number; 14 is none
  std::string tree = "N";
  std::string combine = "N";
  std::string type = "All";
  std::string format = "Text";
};
// The dialogue text for a run in `folder` (each file given format 4).
std::string dialogueInput(const RunFolder& folder, const Answers& answers);
// Sets what the dialogue leaves for these answers, without running it: numFile and one FileNameType
// entry per file (format 4, no motif counted yet), the two counts, the cutoff, numThread, the
// collection's key, the tree and combine answers, the output type and format. The OpenMP thread
// count stays as it is.
void applyAnswers(const Answers& answers);

// Masks what differs from run to run: the job identifier (J_<job>_), creation dates (<date>), run
// times (Runtime: <time> seconds) and the temporary folder (<root>/).
std::string maskRun(std::string text, const std::string& folder);

// The run's output files, job identifier first (the image folder apart), sorted.
std::vector<std::string> runOutputNames(const std::string& result);
// A run output name without its job identifier "J_yyyy-mm-dd_nnnn_".
std::string withoutJob(const std::string& name);

// Compares text with the golden file at sourceDir() + "/tests/" + relativePath. With the environment
// variable KORVELAN_UPDATE_GOLDEN set, the golden file is rewritten from the text instead.
void expectGolden(const std::string& relativePath, const std::string& actual);

// --- motifs ---

// A motif record with its reverse complement (getRevCompMotif unless given) and consensus strings.
data makeMotif(std::int64_t id, std::int32_t dataset, std::int64_t numInFile, const std::string& name,
               const motifMatrix& matrix, std::optional<motifMatrix> revComp = std::nullopt);
// A motif record as the reports read it, with hand-given matrices and consensus strings (report tests
// whose consensus need not follow the matrix); its number in the file is its ID.
data handMadeMotif(std::int64_t id, const std::string& name, int dataset, motifMatrix matrix, motifMatrix rev,
                   const std::string& consensus, const std::string& revConsensus);
// Rows of a consensus word: a base letter gives 1 to its base, N gives 0.25 to each.
motifMatrix rowsOf(const std::string& word);
// Motifs in JASPAR layout from a fixed generator, of 5 to 16 positions, named <prefix><seed>.<m> and
// "site<m>" (with repeatNames "site<m % 7>", as names repeat in real collections), with a taxon token
// when asked. Enough of them make the scans and sorts split their work unevenly over threads.
std::string generatedMotifs(const std::string& prefix, unsigned seed, int count, bool repeatNames = false,
                            bool withTaxon = false);
// Rows of random values scaled to sum 1.
motifMatrix randomRows(std::mt19937& generator, int length);

}  // namespace korvelan::testing
