// Every process-wide variable of a run, with its start value. The stages take no arguments and
// hand their results on through these; only the main thread writes them outside the scan and sort
// regions.
//
// All of them live in one RunState object, whose member initialisers are the start values (the
// report names start as the defaults of the report table). Each variable's own name, used everywhere
// else, is a reference to its member, declared below the structure in the same order; the reports are
// reached by ReportId (reportPath and its kin, core/report_files.h). A run starts from that state, and
// resetGlobals() returns to it, so a variable added here can never miss the reset. What one file alone
// uses is that file's own, unless it is a per-run value that resetGlobals must clear (a counter of the
// run, say): that belongs here too. The two fixed values of the scoring are
// constants (core/scoring.h).
#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "core/records.h"
#include "core/report_files.h"
#include "core/scoring.h"

namespace korvelan {

// A file or folder this run created, by path and file identity (see core/report_io.h).
struct CreatedOutput {
  std::string path;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
};

// One report of the run: its name, its full path and the stream every writer of the report shares.
struct ReportSlot {
  std::string name;
  std::string path;
  std::ofstream stream;
};

// A stream open on an output file, with the file's path for the failure message.
struct OpenOutput {
  const std::ofstream* stream = nullptr;
  std::string path;
};

struct RunState {
  // Settings and counters.
  std::int64_t matrixIDNum = 1;     // next input motif ID
  std::int64_t mNum = 1;            // number of the next motif within the current input file
  std::int32_t dNum = 1;            // dataset number of the file being read
  std::int32_t numFile = 0;         // number of input files
  std::int32_t numTopMotif = 0;     // 1 to 50
  std::int32_t numBestMatches = 0;  // 1 to 50
  double simCutoff = 0.0;           // 0.5, 0.6, 0.7, 0.75, 0.8, 0.85 or 0.9
  std::int32_t numThread = 0;       // thread count, capped at what the OpenMP runtime offers
  std::string inputPath;            // input folder as typed, unchecked
  std::string DBName;               // database key or "N"; no database when shorter than two characters
  std::string motifCluster;         // tree answer "Y" or "N"
  std::string combinedMotifFlag;    // combine answer "Y" or "N"
  std::string outputFileType;       // "Global-Only" or "All"
  std::string outputFileFormat;     // "Text", "HTML", "PDF" or "All"
  std::string outputPath;           // the result folder every output goes to (nameOutputs)
  std::string jobID;                // run prefix of every output name
  double wtime = 0.0;               // run time, seconds
  std::int32_t motifNameLength = 0;  // longest input motif name
  double maxSumScoreCompare = 0.0;   // largest ranking key, base of default tree distances

  // Every report's name (the default name until the outputs are named), full path and stream, by
  // ReportId (core/report_files.h).
  std::array<ReportSlot, kReportCount> reports;

  // Motifs, input files, alignments, selections and merges: each list with the stage that fills it
  // and what its index means.
  // The dialogue, one entry per input file; index = dataset number - 1 (the typed order).
  std::vector<fileNameAndType> FileNameType;
  // readInput; index = motif ID - 1 (all files in reading order).
  std::vector<data> Datasets;
  // The collection loader of the database step; index = collection motif number - 1 (file order).
  std::vector<data> DatabaseDatasets;
  // calculateSumScoresCompare: the input motifs' best matches with each other, selected as the
  // second scan goes (the scans keep no list of every alignment).
  selectedMatches datasetMatches;
  // calculateSumScoresCompareDatabase (type "All"): the input motifs' best matches in the collection.
  selectedMatches databaseMatches;
  // calculateSumScoresCompareDatabaseGlobal: the top global motifs' best matches in the collection.
  selectedMatches databaseGlobalMatches;
  // forwardScan, backwardScan; index = input motif ID - 1.
  std::vector<maxScores> maxScoresList;
  // forwardScanDatabase, backwardScanDatabase; index = input motif ID - 1.
  std::vector<maxScores> maxScoresDatabaseList;
  // forwardScanDatabaseGlobal, backwardScanDatabaseGlobal; index = input motif ID - 1.
  std::vector<maxScores> maxScoresDatabaseGlobalList;
  // getResultsList's global ranking (two or more files); index = rank, best first.
  std::vector<commonBestMatches> globalMatchingScoreResultList;
  // getResultsList's global-and-local ranking; index = rank, best first.
  std::vector<commonBestMatches> commonBestScoreResultList;
  // getResultsList (two or more files): the best matches of the top global motifs; index = rank.
  std::vector<bestMatchList> topGlobalMatchingResults;
  // getResultsList (combining, type "All"): the best matches of the top motifs; index = rank.
  std::vector<bestMatchList> topGlobalAndLocalMatchingResults;
  // getResultsList (combining, type "All"): every motif's best matches, empty ones left out, in
  // motif-ID order.
  std::vector<bestMatchList> topBestMatchesResults;
  // getResultsList (trees): row and column m - 1 belong to input motif ID m.
  distanceTable distanceMatrix;
  // getResultsList (trees, two or more files): row and column k - 1 belong to the k-th of the top
  // global motifs and their best matches.
  distanceTable distanceMatrixGlobal;
  // The merge drivers: the chain of the group being merged, one entry per merge step, for each of the
  // three top lists.
  mergeChain mergedMotifList;
  mergeChain mergedMotifListGlobalAndLocal;
  mergeChain mergedMotifListBestMatches;
  // The merge drivers: one finished chain per merged group, in the order of its top list.
  std::vector<mergeChain> mergedMotifGlobalMatching;
  std::vector<mergeChain> mergedMotifGlobalAndLocalMatching;
  std::vector<mergeChain> mergedMotifBestMatches;

  // Outputs, kept by the report opener (core/report_io.cpp): what the run created, in the order it
  // made them (later writers reopen exactly those); the streams open now, in the order they opened;
  // and how long a helper may run before it is stopped (seconds): one logo command; one page's
  // conversion, growing with the page's size; one tree drawing, growing with its distance matrix
  // file's size.
  std::vector<CreatedOutput> createdOutputs;
  std::vector<OpenOutput> openOutputs;
  std::int32_t logoTimeLimit = 60;
  // Logo commands of the run stopped at logoTimeLimit (read and counted atomically by the logo stage).
  std::int32_t logoCommandsStopped = 0;
  std::int32_t pdfTimeLimit = 600;  // and per started MiB of the page:
  std::int32_t pdfTimeLimitPerMiB = 60;
  std::int32_t treeTimeLimit = 300;  // and per started MiB of the CSV file:
  std::int32_t treeTimeLimitPerMiB = 10;
};

// The state of the running program, built from the start values by the static initialiser of
// core/globals.cpp; no other file's static initialiser reads it, so the order in which the files'
// static objects are built does not matter.
extern RunState runState;

// The names of the members above, in the same order. A reference to a member of a static object is
// bound at compile time (constinit holds each to that), never by code that runs before main.

// Settings and counters.
inline constinit auto& matrixIDNum = runState.matrixIDNum;
inline constinit auto& mNum = runState.mNum;
inline constinit auto& dNum = runState.dNum;
inline constinit auto& numFile = runState.numFile;
inline constinit auto& numTopMotif = runState.numTopMotif;
inline constinit auto& numBestMatches = runState.numBestMatches;
inline constinit auto& simCutoff = runState.simCutoff;
inline constinit auto& numThread = runState.numThread;
inline constinit auto& inputPath = runState.inputPath;
inline constinit auto& DBName = runState.DBName;
inline constinit auto& motifCluster = runState.motifCluster;
inline constinit auto& combinedMotifFlag = runState.combinedMotifFlag;
inline constinit auto& outputFileType = runState.outputFileType;
inline constinit auto& outputFileFormat = runState.outputFileFormat;
inline constinit auto& outputPath = runState.outputPath;
inline constinit auto& jobID = runState.jobID;
inline constinit auto& wtime = runState.wtime;
inline constinit auto& motifNameLength = runState.motifNameLength;
inline constinit auto& maxSumScoreCompare = runState.maxSumScoreCompare;

// Motifs, input files, alignments, selections and merges.
inline constinit auto& FileNameType = runState.FileNameType;
inline constinit auto& Datasets = runState.Datasets;
inline constinit auto& DatabaseDatasets = runState.DatabaseDatasets;
inline constinit auto& datasetMatches = runState.datasetMatches;
inline constinit auto& databaseMatches = runState.databaseMatches;
inline constinit auto& databaseGlobalMatches = runState.databaseGlobalMatches;
inline constinit auto& maxScoresList = runState.maxScoresList;
inline constinit auto& maxScoresDatabaseList = runState.maxScoresDatabaseList;
inline constinit auto& maxScoresDatabaseGlobalList = runState.maxScoresDatabaseGlobalList;
inline constinit auto& globalMatchingScoreResultList = runState.globalMatchingScoreResultList;
inline constinit auto& commonBestScoreResultList = runState.commonBestScoreResultList;
inline constinit auto& topGlobalMatchingResults = runState.topGlobalMatchingResults;
inline constinit auto& topGlobalAndLocalMatchingResults = runState.topGlobalAndLocalMatchingResults;
inline constinit auto& topBestMatchesResults = runState.topBestMatchesResults;
inline constinit auto& distanceMatrix = runState.distanceMatrix;
inline constinit auto& distanceMatrixGlobal = runState.distanceMatrixGlobal;
inline constinit auto& mergedMotifList = runState.mergedMotifList;
inline constinit auto& mergedMotifListGlobalAndLocal = runState.mergedMotifListGlobalAndLocal;
inline constinit auto& mergedMotifListBestMatches = runState.mergedMotifListBestMatches;
inline constinit auto& mergedMotifGlobalMatching = runState.mergedMotifGlobalMatching;
inline constinit auto& mergedMotifGlobalAndLocalMatching = runState.mergedMotifGlobalAndLocalMatching;
inline constinit auto& mergedMotifBestMatches = runState.mergedMotifBestMatches;

// Outputs.
inline constinit auto& createdOutputs = runState.createdOutputs;
inline constinit auto& openOutputs = runState.openOutputs;
inline constinit auto& logoTimeLimit = runState.logoTimeLimit;
inline constinit auto& pdfTimeLimit = runState.pdfTimeLimit;
inline constinit auto& pdfTimeLimitPerMiB = runState.pdfTimeLimitPerMiB;
inline constinit auto& treeTimeLimit = runState.treeTimeLimit;
inline constinit auto& treeTimeLimitPerMiB = runState.treeTimeLimitPerMiB;

// Puts every variable above back to its start value and closes every report stream, so a test can
// start a run from scratch.
void resetGlobals();

}  // namespace korvelan
