// `korvelan-bench`: measures the similarity scans, the ranking keys and the selection.
//
//   korvelan-bench (--input FILE... | --random N [--seed S]) [--threads T] [--cutoff C]
//                  [--database FILE] [--no-reference] [--dump DIR] [--repeat R] [--select] [--trees]
//   korvelan-bench --logos ...   (logo drawing, see bench_logos.cpp)
//   korvelan-bench --read ...    (reading input files alone, see bench_read.cpp)
//
// Input files are read exactly as a run reads them, each file one dataset; random motifs have 6 to
// 20 positions, all in one dataset. Without --database the motifs are scanned against each other
// (forwardScan and backwardScan, the maxima pass: scan_seconds; getMaxScores and
// calculateSumScoresCompare, the selecting pass: key_seconds); with it they are scanned as input motifs
// against that collection (the database family). With --select (dataset scans only) the result
// selection of a run follows, as a run of type "All" calls it with ten top motifs and ten best matches,
// writing no report (with --trees also the distance tables); its time is added. --repeat R runs the
// scans and keys R times and reports the fastest pass (the machine may be shared). One line of
// key=value fields is printed. Unless --no-reference is given, the plain path then runs on the same
// motifs (every record, keys, grouping and stable sorts) and a second line gives its time and peak
// memory and whether both paths give the same best-match lists and, with --select, the same rankings,
// top lists and distance tables. --dump DIR writes the plain path's records (which it needs).
// --write FILE writes the random motifs as a JASPAR file instead, for whole runs through the dialogue.
#include <omp.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench.h"
#include "core/answers.h"
#include "core/consensus.h"
#include "core/globals.h"
#include "core/utilities.h"
#include "input/input.h"
#include "reference/dumps.h"
#include "reference/reference_path.h"
#include "scan/scan.h"
#include "scan/scan_kernel.h"

namespace korvelan::bench {
namespace {

struct Options {
  std::vector<std::string> inputs;
  long randomCount = -1;
  unsigned long seed = 1;
  int threads = 1;
  double cutoff = 0.75;
  std::string database;
  bool reference = true;
  bool select = false;
  bool trees = false;
  std::string dumpDir;
  std::string writePath;
  int repeat = 1;
};

[[noreturn]] void usage(const std::string& problem) {
  std::cerr << "korvelan-bench: " << problem << "\n"
            << "usage: korvelan-bench (--input FILE... | --random N [--seed S]) [--threads T] [--cutoff C]\n"
            << "                      [--database FILE] [--no-reference] [--dump DIR] [--repeat R] "
               "[--select] [--trees]\n"
            << "       korvelan-bench --logos ...\n"
            << "       korvelan-bench --read FILE... [--repeat R]\n";
  std::exit(2);
}

double number(const std::string& option, const char* text) {
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text || *end != '\0') usage("bad number for " + option + ": " + text);
  return value;
}

Options parse(int argc, char** argv) {
  Options options;
  for (int j = 1; j < argc; ++j) {
    const std::string arg = argv[j];
    auto value = [&]() -> const char* {
      if (j + 1 >= argc) usage(arg + " needs a value");
      return argv[++j];
    };
    if (arg == "--input") {
      while (j + 1 < argc && std::string(argv[j + 1]).rfind("--", 0) != 0)
        options.inputs.push_back(argv[++j]);
      if (options.inputs.empty()) usage("--input needs at least one file");
    } else if (arg == "--random") {
      options.randomCount = static_cast<long>(number(arg, value()));
    } else if (arg == "--seed") {
      options.seed = static_cast<unsigned long>(number(arg, value()));
    } else if (arg == "--threads") {
      options.threads = static_cast<int>(number(arg, value()));
    } else if (arg == "--cutoff") {
      options.cutoff = number(arg, value());
    } else if (arg == "--database") {
      options.database = value();
    } else if (arg == "--repeat") {
      options.repeat = static_cast<int>(number(arg, value()));
    } else if (arg == "--select") {
      options.select = true;
    } else if (arg == "--trees") {
      options.trees = true;
    } else if (arg == "--no-reference") {
      options.reference = false;
    } else if (arg == "--dump") {
      options.dumpDir = value();
    } else if (arg == "--write") {
      options.writePath = value();
    } else {
      usage("unknown argument " + arg);
    }
  }
  if (options.inputs.empty() == (options.randomCount < 0)) usage("give either --input or --random");
  if (options.threads < 1) usage("--threads must be at least 1");
  if (options.repeat < 1) usage("--repeat must be at least 1");
  if (options.select && !options.database.empty()) usage("--select measures the dataset selection only");
  if (!options.writePath.empty() && options.randomCount < 0) usage("--write needs --random");
  return options;
}

// Random motifs of 6 to 20 positions, each row scaled to sum 1, all in dataset 1.
std::vector<data> randomMotifs(long count, unsigned long seed) {
  std::mt19937_64 generator(seed);
  std::uniform_int_distribution<int> lengths(6, 20);
  std::uniform_real_distribution<double> values(0.0, 1.0);
  std::vector<data> motifs;
  for (long j = 0; j < count; ++j) {
    data motif;
    motif.motifID = j + 1;
    motif.motifName = "random" + std::to_string(j + 1);
    motif.datasetNum = 1;
    motif.motifNumInFile = j + 1;
    const int length = lengths(generator);
    for (int r = 0; r < length; ++r) {
      std::vector<double> row(4);
      double sum = 0.0;
      for (double& v : row) sum += (v = values(generator));
      for (double& v : row) v /= sum;
      motif.matrix.push_back(row);
    }
    motif.revCompMatrix = getRevCompMotif(motif.matrix);
    motif.consensus = getConsensusString(motif.matrix);
    motif.revCompConsensus = getConsensusString(motif.revCompMatrix);
    motifs.push_back(std::move(motif));
  }
  return motifs;
}

void readInputFiles(const std::vector<std::string>& paths) {
  inputPath = "";
  FileNameType.clear();
  for (std::size_t j = 0; j < paths.size(); ++j) {
    fileNameAndType file;
    file.fileName = paths[j];
    file.fileType = 2;
    file.datasetNum = static_cast<std::int32_t>(j + 1);
    FileNameType.push_back(file);
  }
  readInput(FileNameType);
}

// The motifs as a JASPAR file (one block per motif, each row of the four bases its values times 1000),
// for whole runs through the dialogue.
void writeMotifFile(const std::string& path) {
  std::ofstream out(path, std::ios::out | std::ios::trunc);
  out << std::fixed << std::setprecision(3);
  for (const data& motif : Datasets) {
    out << ">RND" << motif.motifID << "\t" << motif.motifName << "\n";
    for (int base = 0; base < 4; ++base) {
      out << "ACGT"[base] << "  [";
      for (const auto& row : motif.matrix) out << ' ' << row[static_cast<std::size_t>(base)] * 1000.0;
      out << " ]\n";
    }
    out << "\n";
  }
  if (!out) throw std::runtime_error("cannot write " + path);
}

double peakRssMb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

int runScanBenchmark(int argc, char** argv) {
  const Options options = parse(argc, argv);
  resetGlobals();
  numThread = options.threads;
  omp_set_num_threads(options.threads);
  simCutoff = options.cutoff;
  numTopMotif = 10;
  numBestMatches = 10;

  if (options.randomCount >= 0) {
    Datasets = randomMotifs(options.randomCount, options.seed);
    if (!options.writePath.empty()) {
      writeMotifFile(options.writePath);
      return 0;
    }
  } else {
    readInputFiles(options.inputs);
  }
  numFile = options.randomCount >= 0 ? 1 : static_cast<std::int32_t>(options.inputs.size());
  motifCluster = options.trees ? "Y" : "N";
  combinedMotifFlag = "Y";
  outputFileType = "All";
  outputFileFormat = "none";  // selects every list, writes no report
  const bool database = !options.database.empty();
  if (database) {
    readCollectionFile(options.database);
  }

  // The measured stages, as a run calls them; with --repeat the fastest pass counts.
  double seconds = 0.0, scanSeconds = 0.0, keySeconds = 0.0;
  scanning::ScanTotals forward, backward;
  for (int pass = 0; pass < options.repeat; ++pass) {
    maxScoresList.clear();
    maxScoresDatabaseList.clear();
    datasetMatches = {};
    databaseMatches = {};
    const double started = omp_get_wtime();
    forward = database ? forwardScanDatabase() : forwardScan();
    backward = database ? backwardScanDatabase() : backwardScan();
    const double scanned = omp_get_wtime();
    if (database)
      getMaxScoresDatabase(), calculateSumScoresCompareDatabase();
    else
      getMaxScores(), calculateSumScoresCompare();
    const double finished = omp_get_wtime();
    if (pass == 0 || finished - started < seconds)
      seconds = finished - started, scanSeconds = scanned - started, keySeconds = finished - scanned;
  }
  double selectSeconds = 0.0;
  reference::SelectionOutcome outcome;
  std::ostringstream console;  // the selection's empty console lines
  std::streambuf* saved = std::cout.rdbuf(console.rdbuf());
  if (options.select) {
    const double started = omp_get_wtime();
    outcome = reference::selectAndCapture(datasetMatches);
    selectSeconds = omp_get_wtime() - started;
  }
  std::cout.rdbuf(saved);
  const double peak = peakRssMb();

  std::ostringstream line;
  line << "scan=" << (database ? "database" : "dataset") << " motifs=" << Datasets.size();
  if (database) line << " database_motifs=" << DatabaseDatasets.size();
  line << " pairs=" << forward.pairs << " cells=" << (forward.positions + backward.positions) * 16
       << " records=" << forward.kept + backward.kept << " threads=" << options.threads
       << " cutoff=" << options.cutoff << " seconds=" << seconds << " scan_seconds=" << scanSeconds
       << " key_seconds=" << keySeconds << " peak_rss_mb=" << static_cast<long>(peak);
  if (options.select)
    line << " select_seconds=" << selectSeconds << " total_seconds=" << seconds + selectSeconds
         << " top_global=" << outcome.topGlobal.size()
         << " best_match_lists=" << outcome.topBestMatches.size();
  std::cout << line.str() << std::endl;

  // The plain path on the same motifs: every record, keys, then grouping and stable sorts.
  if (options.reference || !options.dumpDir.empty()) {
    const auto listA = scanning::refsOf(Datasets);
    const auto listB = database ? scanning::refsOf(DatabaseDatasets) : listA;
    const double refStarted = omp_get_wtime();
    std::vector<dataCombinedScore> records = reference::scanRecords(listA, listB, !database, options.threads);
    reference::setKeys(records, Datasets.size(), database);
    const selectedMatches plain =
        reference::selectFromRecords(records, Datasets.size(), database, numBestMatches,
                                     !database && severalFiles(), !database && treesWanted());
    const double refScanned = omp_get_wtime();
    if (!options.dumpDir.empty()) {
      outputPath = options.dumpDir;
      if (outputPath.back() != '/') outputPath += '/';
      if (database)
        writeCombinedScoreDatabaseList(records);
      else
        writeCombinedScoreList(records);
    }
    const std::size_t referenceRecords = records.size();
    std::vector<dataCombinedScore>().swap(records);
    std::string difference;
    if (referenceRecords != static_cast<std::size_t>(forward.kept + backward.kept))
      difference = "record count " + std::to_string(referenceRecords);
    else if (database)
      difference = reference::firstDifference(databaseMatches.bestMatches, plain.bestMatches);
    else if (options.select) {
      saved = std::cout.rdbuf(console.rdbuf());
      const reference::SelectionOutcome plainOutcome = reference::selectAndCapture(plain);
      std::cout.rdbuf(saved);
      difference = reference::firstDifference(outcome, plainOutcome);
    } else {
      difference = reference::firstDifference(datasetMatches.bestMatches, plain.bestMatches);
      if (difference.empty())
        difference = reference::firstDifference(datasetMatches.otherFileMatches, plain.otherFileMatches);
    }
    const double refSeconds = refScanned - refStarted;
    std::cout << "reference_seconds=" << refSeconds
              << " reference_peak_rss_mb=" << static_cast<long>(peakRssMb())
              << " identical=" << (difference.empty() ? "yes" : "no (" + difference + ")") << std::endl;
    if (!difference.empty()) return 1;
  }
  return 0;
}

}  // namespace
}  // namespace korvelan::bench

int main(int argc, char** argv) {
  try {
    if (argc > 1 && std::string(argv[1]) == "--logos") return korvelan::bench::runLogoBenchmark(argc, argv);
    if (argc > 1 && std::string(argv[1]) == "--read") return korvelan::bench::runReadBenchmark(argc, argv);
    return korvelan::bench::runScanBenchmark(argc, argv);
  } catch (const korvelan::RunEnded& ended) {
    std::cout.flush();
    return ended.status;
  } catch (const std::exception& error) {
    std::cerr << "korvelan-bench: " << error.what() << "\n";
    return 1;
  }
}
