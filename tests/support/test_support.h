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
#include "core/report_files.h"
#include "support/answers.h"

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

// The dialogue text for a run in `folder` (each file given format 4).
std::string dialogueInput(const RunFolder& folder, const Answers& answers);

// The reports of collection matches (the report table's rows that need a collection), in table order.
std::vector<ReportId> collectionReports();
// Starts a run from the start values with a collection chosen (JASPAR, all taxa) and its outputs
// named as a run names them (nameOutputs, for the input folder folder.motifs()), and leaves each
// collection report as a file holding `text`.
void startCollectionRun(const RunFolder& folder, const std::string& text);

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

// --- alignments ---

// The fields of an alignment record that the tests set, in the record's order; each one left out
// keeps the record's start value.
struct Alignment {
  const char* direction = "";     // "Forward" or "Backward"
  std::int32_t firstDataset = 0;  // firstDatasetNum, of the scan's first motif
  std::int32_t secondDataset = 0;
  const char* flag = "";          // scanOrderFlag: "Y" for scan order, empty for swapped
  std::int64_t first = 0;         // firstMotifID, the motif listed first
  std::int64_t second = 0;
  TextRef firstName = {};         // firstMotifName, held by reference as in the record
  TextRef secondName = {};
  std::int32_t position = 0;
  std::int32_t overlap = 0;       // numOverlap
  double rawScore = 0.0;
  double key = 0.0;               // similarityScore, the ranking key
  const char* firstFormat = "";   // firstMatchingFormat: "Original Motif" or "Reverse Complement"
  const char* secondFormat = "";  // secondMatchingFormat
};
dataCombinedScore alignment(const Alignment& fields);
// The same for two input motifs, their names and dataset numbers taken from Datasets as the scans set
// them: the names in listing order, the dataset numbers in scan order (swapped when the flag is empty).
dataCombinedScore inputAlignment(Alignment fields);

}  // namespace korvelan::testing
