#include "support/test_support.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <utility>

#include "core/collections.h"
#include "core/consensus.h"
#include "core/globals.h"
#include "driver/run.h"

namespace korvelan::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "korvelan-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern + "/";
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void writeFile(const std::string& path, const std::string& content) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out << content;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool fileExists(const std::string& path) { return fs::exists(path); }

std::vector<std::string> listDir(const std::string& dir) {
  std::vector<std::string> names;
  if (!fs::exists(dir)) return names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

ProgramRun runProgram(const std::string& input, const std::string& workDir, const std::string& extraEnv) {
  const std::string inputFile = workDir + ".korvelan-stdin";
  writeFile(inputFile, input);
  // Stand-in programs in the folder's bin/ come before the machine's own (a real php5, for one).
  const std::string command = "cd '" + workDir + "' && PATH='" + workDir + "bin':\"$PATH\" " + extraEnv +
                              " '" KORVELAN_BINARY "' < '" + inputFile + "' 2>&1";
  ProgramRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::remove(inputFile.c_str());
  return run;
}

std::string commandOutput(const std::string& command) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return output;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  pclose(pipe);
  return output;
}

bool installed(const std::string& program) {
  return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

bool processGone(pid_t pid) {
  if (kill(pid, 0) != 0) return true;
  const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
  const auto close = stat.rfind(')');
  return close != std::string::npos && stat.size() > close + 2 && stat[close + 2] == 'Z';
}

bool eventually(const std::function<bool()>& condition, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::string sourceDir() { return KORVELAN_SOURCE_DIR; }

std::string sharedDataDir() {
  const std::string dir = sourceDir() + "/../shared/data";
  return fs::is_directory(dir) ? dir : std::string();
}

const char* const kStandInPdf = "%PDF-1.4\n% stand-in\n";

namespace {

// Reads the page from the conversion script's $xmlPath line and leaves a small PDF beside it.
const char* const kStandInPhp5 =
    "#!/bin/sh\n"
    "page=$(sed -n 's/^[$]xmlPath = .\\(.*\\).;$/\\1/p' \"$1\")\n"
    "[ -n \"$page\" ] && printf '%%PDF-1.4\\n%% stand-in\\n' > \"${page%.html}.pdf\"\n"
    "exit 0\n";

}  // namespace

RunFolder::RunFolder() {
  writeFile(result() + ".keep", "");
  fs::create_directories(motifs());
  addProgram("weblogo-3.4/weblogo", "#!/bin/sh\necho 'stand-in image'\n");
  addProgram("bin/php5", kStandInPhp5);
}

void RunFolder::addFixture(const std::string& name, const std::string& area) {
  writeFile(motifs() + name, readFile(sourceDir() + "/tests/" + area + "/fixtures/" + name));
}

void RunFolder::addProgram(const std::string& relativePath, const std::string& script) {
  const std::string path = root() + relativePath;
  writeFile(path, script);
  fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
}

std::string dialogueInput(const RunFolder& folder, const Answers& a) {
  std::ostringstream in;
  in << a.files.size() << "\n" << a.topMotifs << "\n" << a.bestMatches << "\n" << a.cutoff << "\n" << a.threads
     << "\n" << folder.motifs() << "\n";
  for (const auto& f : a.files) in << f << "\n4\n";
  in << a.collection << "\n" << a.tree << "\n" << a.combine << "\n" << a.type << "\n" << a.format << "\n"
     << folder.result() << "\n";
  return in.str();
}

std::vector<ReportId> collectionReports() {
  std::vector<ReportId> reports;
  for (const ReportFile& report : reportFiles())
    if (report.needsCollection) reports.push_back(report.id);
  return reports;
}

void startCollectionRun(const RunFolder& folder, const std::string& text) {
  resetGlobals();
  DBName = "jasparAll";
  inputPath = folder.motifs();
  nameOutputs();
  for (ReportId report : collectionReports()) writeFile(reportPath(report), text);
}

std::string maskRun(std::string text, const std::string& folder) {
  text = std::regex_replace(text, std::regex("J_\\d{4}-\\d{2}-\\d{2}_\\d{4}_"), "J_<job>_");
  text = std::regex_replace(text, std::regex("\\d{2}-\\d{2}-\\d{4} \\d{2}:\\d{2}:\\d{2}"), "<date>");
  text = std::regex_replace(text, std::regex("Runtime: [0-9.e+-]+ seconds"), "Runtime: <time> seconds");
  for (std::size_t at; (at = text.find(folder)) != std::string::npos;) text.replace(at, folder.size(), "<root>/");
  return text;
}

std::vector<std::string> runOutputNames(const std::string& result) {
  std::vector<std::string> names;
  for (const auto& name : listDir(result))
    if (name.rfind("J_", 0) == 0 && name.find("image") == std::string::npos) names.push_back(name);
  return names;
}

std::string withoutJob(const std::string& name) { return name.substr(std::string("J_2026-12-10_1234_").size()); }

void expectGolden(const std::string& relativePath, const std::string& actual) {
  const std::string path = sourceDir() + "/tests/" + relativePath;
  if (std::getenv("KORVELAN_UPDATE_GOLDEN") != nullptr) writeFile(path, actual);
  ASSERT_TRUE(fileExists(path)) << "no golden file " << path;
  EXPECT_EQ(actual, readFile(path)) << "differs from " << path;
}

std::string generatedMotifs(const std::string& prefix, unsigned seed, int count, bool repeatNames,
                            bool withTaxon) {
  std::ostringstream out;
  unsigned state = seed;
  auto next = [&state]() { return (state = state * 1103515245u + 12345u) >> 16; };
  for (int m = 0; m < count; ++m) {
    const int length = 5 + static_cast<int>(next() % 12);
    out << ">" << prefix << seed << "." << m << " site" << (repeatNames ? m % 7 : m);
    if (withTaxon) out << " Taxon" << m % 3;
    out << "\n";
    for (const char base : {'A', 'C', 'G', 'T'}) {
      out << base << "  [";
      for (int p = 0; p < length; ++p) out << " " << (next() % 4 == 0 ? next() % 30 : next() % 4);
      out << " ]\n";
    }
    out << "\n";
  }
  return out.str();
}

motifMatrix randomRows(std::mt19937& generator, int length) {
  std::uniform_real_distribution<double> values(0.0, 1.0);
  motifMatrix rows;
  for (int r = 0; r < length; ++r) {
    std::vector<double> row(4);
    double sum = 0.0;
    for (double& v : row) sum += (v = values(generator));
    for (double& v : row) v /= sum;
    rows.push_back(row);
  }
  return rows;
}

data makeMotif(std::int64_t id, std::int32_t dataset, std::int64_t numInFile, const std::string& name,
               const motifMatrix& matrix, std::optional<motifMatrix> revComp) {
  data motif;
  motif.motifID = id;
  motif.motifName = name;
  motif.datasetNum = dataset;
  motif.motifNumInFile = numInFile;
  motif.matrix = matrix;
  motif.revCompMatrix = revComp ? *revComp : getRevCompMotif(matrix);
  motif.consensus = getConsensusString(motif.matrix);
  motif.revCompConsensus = getConsensusString(motif.revCompMatrix);
  return motif;
}

data handMadeMotif(std::int64_t id, const std::string& name, int dataset, motifMatrix matrix, motifMatrix rev,
                   const std::string& consensus, const std::string& revConsensus) {
  data m;
  m.motifID = id;
  m.motifNumInFile = id;
  m.motifName = name;
  m.datasetNum = dataset;
  m.matrix = std::move(matrix);
  m.revCompMatrix = std::move(rev);
  m.consensus = consensus;
  m.revCompConsensus = revConsensus;
  return m;
}

motifMatrix rowsOf(const std::string& word) {
  motifMatrix rows;
  for (char base : word) {
    std::vector<double> row(4, base == 'N' ? 0.25 : 0.0);
    const std::string bases = "ACGT";
    const auto at = bases.find(base);
    if (at != std::string::npos) row[at] = 1.0;
    rows.push_back(row);
  }
  return rows;
}

dataCombinedScore alignment(const Alignment& fields) {
  dataCombinedScore r;
  r.direction = fields.direction;
  r.firstDatasetNum = fields.firstDataset;
  r.secondDatasetNum = fields.secondDataset;
  r.scanOrderFlag = fields.flag;
  r.firstMotifID = fields.first;
  r.secondMotifID = fields.second;
  r.firstMotifName = fields.firstName;
  r.secondMotifName = fields.secondName;
  r.position = fields.position;
  r.numOverlap = fields.overlap;
  r.rawScore = fields.rawScore;
  r.similarityScore = fields.key;
  r.firstMatchingFormat = fields.firstFormat;
  r.secondMatchingFormat = fields.secondFormat;
  return r;
}

dataCombinedScore inputAlignment(Alignment fields) {
  const data& first = Datasets.at(static_cast<std::size_t>(fields.first - 1));
  const data& second = Datasets.at(static_cast<std::size_t>(fields.second - 1));
  const bool scanOrder = std::string(fields.flag) == "Y";
  fields.firstName = first.motifName;
  fields.secondName = second.motifName;
  fields.firstDataset = (scanOrder ? first : second).datasetNum;
  fields.secondDataset = (scanOrder ? second : first).datasetNum;
  return alignment(fields);
}

}  // namespace korvelan::testing
