// Motif logos. For each motif the matrix goes into a small input file in the logo folder, the logo
// program draws it twice through the shell (as read, and with its reverse-complement option), and the
// input file is removed once both images are done. Motifs are drawn in parallel on the run's thread
// team; the drawing returns only when every image of the batch is finished.
#include "reports/logos.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "core/answers.h"
#include "core/globals.h"
#include "core/shell.h"
#include "core/utilities.h"
#include "reports/framing.h"

namespace korvelan {

namespace {

constexpr const char* kProgram = "weblogo-3.4/weblogo";
constexpr const char* kPlainOptions =
    " --format jpeg --sequence-type dna --units bits --composition none --first-index 1 "
    "--size medium --stacks-per-line 80 --show-xaxis YES --show-yaxis YES --ticmarks 1.0 --errorbars NO "
    "--stack-width 20 --resolution 96 --scale-width yes --color-scheme classic --color green A 'Adenine' "
    "--color blue C 'Cytosine' --color orange G 'Guanine' --color red T 'Thymine' < ";
constexpr const char* kRevCompOptions =
    " --format jpeg --sequence-type dna --units bits --composition none --first-index 1 "
    "--revcomp --size medium --stacks-per-line 80 --show-xaxis YES --show-yaxis YES --ticmarks 1.0 "
    "--errorbars NO --stack-width 20 --resolution 96 --scale-width yes --color-scheme classic --color green A "
    "'Adenine' --color blue C 'Cytosine' --color orange G 'Guanine' --color red T 'Thymine' < ";

struct LogoMotif {
  const motifMatrix* matrix;
  std::int64_t number;
};

struct LogoJob {
  std::string inputFile;
  std::string plainCommand;
  std::string revCompCommand;
};

// The logo input file: a header line, then per row its 1-based position and its values, each followed
// by a blank, in a stream of its own (default number format). False when the file does not open.
bool writeLogoInput(const std::string& path, const motifMatrix& matrix) {
  std::ofstream file(path, std::ios::out | std::ios::trunc);
  if (!file.is_open()) return false;
  file << "PO A C G T \n";
  for (std::size_t row = 0; row < matrix.size(); ++row) {
    file << row + 1 << ' ';
    for (double value : matrix[row]) file << value << ' ';
    file << '\n';
  }
  return true;
}

// Draws both logos of every motif. The input files are written here on the calling thread, so a
// file that does not open ends the run: the motifs before it are still drawn and cleaned up first.
void drawLogos(char prefix, const std::vector<LogoMotif>& motifs) {
  if (motifs.empty()) return;
  const std::string folder = outputPath + jobID + "image/";
  mkdir(folder.c_str(), 0777);  // exists already after the first batch of a run

  std::vector<LogoJob> jobs;
  jobs.reserve(motifs.size());
  bool failed = false;
  for (const LogoMotif& motif : motifs) {
    const std::string base = folder + jobID + prefix + std::to_string(motif.number);
    LogoJob job{base + ".txt", logoCommand(base + ".txt", base + ".jpeg", false),
                logoCommand(base + ".txt", base + "RevComp.jpeg", true)};
    if (!writeLogoInput(job.inputFile, *motif.matrix)) {
      failed = true;
      break;
    }
    jobs.push_back(std::move(job));
  }

  std::cout.flush();
  std::fflush(stdout);
  const long count = static_cast<long>(jobs.size());
#pragma omp parallel for schedule(dynamic, 1)
  for (long i = 0; i < count; ++i) {
    runShell(jobs[i].plainCommand);
    runShell(jobs[i].revCompCommand);
    std::remove(jobs[i].inputFile.c_str());
  }
  if (failed) failOutput();
}

void drawAll(char prefix, const std::vector<data>& list) {
  if (!pagesWanted()) return;
  std::vector<LogoMotif> motifs;
  motifs.reserve(list.size());
  for (const data& motif : list) motifs.push_back({&motif.matrix, motif.motifID});
  drawLogos(prefix, motifs);
}

}  // namespace

std::string logoCommand(const std::string& inputFile, const std::string& imageFile, bool revComp) {
  return shellWord(toolRoot(inputPath) + kProgram) + (revComp ? kRevCompOptions : kPlainOptions) +
         shellWord(inputFile) + " > " + shellWord(imageFile);
}

std::string logoImageTag(char prefix, std::int64_t number, bool revComp) {
  const std::string id = htmlEscape(jobID);
  const std::string n = std::to_string(number);
  return "<img src = '" + id + "image/" + id + prefix + n + (revComp ? "RevComp.jpeg'" : ".jpeg'") +
         (revComp ? "name = 'ImageRevComp" : "name = 'Image") + n +
         "' align = 'left' width = '350' height = '100' border = '0'> ";
}

void writeMotifImage(motifMatrix matrix, std::int64_t number) { drawLogos('M', {{&matrix, number}}); }
void writeDatabaseMotifImage(motifMatrix matrix, std::int64_t number) { drawLogos('D', {{&matrix, number}}); }

void writeMotif() { drawAll('M', Datasets); }
void writeDatabaseMotif() { drawAll('D', DatabaseDatasets); }

}  // namespace korvelan
