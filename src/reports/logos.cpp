// Motif logos. For each motif the matrix goes into a small input file in the logo folder, the logo
// program draws it twice through the shell (as read, and with its reverse-complement option), and the
// input file is removed once both images are done. Motifs are drawn in parallel on the run's thread
// team; the drawing returns only when every image of the batch is finished.
#include "reports/logos.h"

#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "core/answers.h"
#include "core/globals.h"
#include "core/interrupts.h"
#include "core/parallel.h"
#include "core/report_io.h"
#include "core/shell.h"
#include "core/utilities.h"
#include "reports/framing.h"
#include "reports/logo_renderer.h"

namespace korvelan {

namespace {

constexpr const char* kProgram = "weblogo-3.4/weblogo";
// The logo program's options, before and after the one the reverse-complement logo adds.
constexpr const char* kOptionsBefore =
    " --format jpeg --sequence-type dna --units bits --composition none --first-index 1 ";
constexpr const char* kRevCompOption = "--revcomp ";
constexpr const char* kOptionsAfter =
    "--size medium --stacks-per-line 80 --show-xaxis YES --show-yaxis YES --ticmarks 1.0 --errorbars NO "
    "--stack-width 20 --resolution 96 --scale-width yes --color-scheme classic --color green A 'Adenine' "
    "--color blue C 'Cytosine' --color orange G 'Guanine' --color red T 'Thymine' < ";

// The logo folder's name after the job identifier, and a logo's name after its motif's number.
constexpr const char* kImageFolder = "image";
const char* imageSuffix(bool revComp) {
  return revComp ? "RevComp.jpeg" : ".jpeg";
}

// After this many logo commands of a run were stopped at their time limit, the run starts no more:
// a logo program that hangs would otherwise cost the limit for each of its images, one after another.
constexpr std::int32_t kStoppedCommandsBeforeGivingUp = 3;

struct LogoMotif {
  const motifMatrix* matrix;
  std::int64_t number;
};

enum class ImageOutcome { Drawn, Failed, NotStarted };

struct LogoJob {
  std::string inputFile;
  std::string plainImage;
  std::string revCompImage;
  ImageOutcome plain = ImageOutcome::NotStarted;
  ImageOutcome revComp = ImageOutcome::NotStarted;
};

std::atomic_ref<std::int32_t> stoppedCommands() {
  return std::atomic_ref<std::int32_t>(runState.logoCommandsStopped);
}

bool logosGivenUp() {
  return stoppedCommands().load() >= kStoppedCommandsBeforeGivingUp;
}

// The logo input file: a header line, then per row its 1-based position and its values, each followed
// by a blank, in a stream of its own (default number format). False when the file does not open.
bool writeLogoInput(const std::string& path, const motifMatrix& matrix) {
  std::ofstream file;
  if (!openUnchecked(file, path)) return false;
  file << "PO A C G T \n";
  for (std::size_t row = 0; row < matrix.size(); ++row) {
    file << row + 1 << ' ';
    for (double value : matrix[row]) file << value << ' ';
    file << '\n';
  }
  return true;
}

// An image counts as drawn when its command ended well in time and left a non-empty file. Any other
// image goes: a failed or stopped command may have left part of one, which a page would show broken
// (the folder is the run's own).
ImageOutcome drawImage(const std::string& inputFile, const std::string& image, bool revComp) {
  if (logosGivenUp()) return ImageOutcome::NotStarted;
  const ShellResult drawn = runShell(logoCommand(inputFile, image, revComp), logoTimeLimit);
  if (drawn.timedOut) stoppedCommands().fetch_add(1);
  struct stat info {};
  const bool present = lstat(image.c_str(), &info) == 0 && S_ISREG(info.st_mode);
  if (drawn.succeeded() && present && info.st_size > 0) return ImageOutcome::Drawn;
  if (present) std::remove(image.c_str());
  return ImageOutcome::Failed;
}

// The reports stay sound without their pictures, so images that could not be drawn only earn one
// warning, on the error stream.
void warnAboutMissingImages(const std::vector<LogoJob>& jobs, const std::string& folder) {
  std::size_t missing = 0;
  std::size_t notStarted = 0;
  for (const LogoJob& job : jobs) {
    for (ImageOutcome outcome : {job.plain, job.revComp}) {
      missing += outcome != ImageOutcome::Drawn ? 1 : 0;
      notStarted += outcome == ImageOutcome::NotStarted ? 1 : 0;
    }
  }
  if (missing == 0) return;
  constexpr const char* kFailed = "the logo program failed, ran too long or wrote nothing";
  std::cout.flush();
  std::cerr << "Warning: " << missing << " of " << 2 * jobs.size() << " logo images could not be drawn in "
            << folder;
  if (notStarted == 0) {
    std::cerr << " (" << kFailed << ")." << std::endl;
    return;
  }
  std::cerr << ": " << notStarted << " were not tried, since " << kStoppedCommandsBeforeGivingUp
            << " logo commands had been stopped at their time limit of " << secondsText(logoTimeLimit)
            << " and no more are started in this run";
  if (missing > notStarted) std::cerr << "; " << missing - notStarted << " because " << kFailed;
  std::cerr << "." << std::endl;
}

// Draws both logos of every motif. The input files are written here on the calling thread, so a
// file that does not open ends the run: the motifs before it are still drawn first. Every input file
// is removed, whatever became of its drawing.
void drawLogos(char prefix, const std::vector<LogoMotif>& motifs) {
  if (motifs.empty()) return;
  // From here on an interrupt is handled below: the renderer stops, its folder and the logo input
  // files go, and no command starts any more.
  HelperStep step("the logo stage");
  // The folder must be the run's own (made now, or earlier in this run): the images are written
  // through the shell, which would follow a link planted under their names in a folder of old.
  const std::string folderName = outputPath + jobID + kImageFolder;
  if (!makeOutputFolder(folderName)) failOutputFile(folderName, errno);
  const std::string folder = folderName + "/";

  std::vector<LogoJob> jobs;
  std::string unopened;
  int openError = 0;
  try {
    jobs.reserve(motifs.size());
    for (const LogoMotif& motif : motifs) {
      const std::string base = folder + jobID + prefix + std::to_string(motif.number);
      if (!writeLogoInput(base + ".txt", *motif.matrix)) {
        openError = errno;
        unopened = base + ".txt";
        break;
      }
      jobs.push_back(LogoJob{base + ".txt", base + imageSuffix(false), base + imageSuffix(true)});
    }
  } catch (...) {
    for (const LogoJob& job : jobs) std::remove(job.inputFile.c_str());
    throw;
  }

  std::cout.flush();
  std::fflush(stdout);
  RegionGuard guard;
  {
    // The batch's commands draw in one loaded renderer, unless none will start.
    const LogoRenderer renderer(!jobs.empty() && !logosGivenUp());
    const long count = static_cast<long>(jobs.size());
#pragma omp parallel for schedule(dynamic, 1)
    for (long i = 0; i < count; ++i) {
      LogoJob& job = jobs[static_cast<std::size_t>(i)];
      guard.run([&] {
        job.plain = drawImage(job.inputFile, job.plainImage, false);
        job.revComp = drawImage(job.inputFile, job.revCompImage, true);
      });
      std::remove(job.inputFile.c_str());
    }
  }
  step.finish();
  guard.rethrow();
  if (!unopened.empty()) failOutputFile(unopened, openError);
  warnAboutMissingImages(jobs, folder);
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
  return shellWord(toolRoot(inputPath) + kProgram) + kOptionsBefore + (revComp ? kRevCompOption : "") +
         kOptionsAfter + shellWord(inputFile) + " > " + shellWord(imageFile);
}

std::string logoImageTag(char prefix, std::int64_t number, bool revComp) {
  const std::string id = htmlEscape(jobID);
  const std::string n = std::to_string(number);
  return "<img src = '" + id + kImageFolder + "/" + id + prefix + n + imageSuffix(revComp) + "'" +
         (revComp ? "name = 'ImageRevComp" : "name = 'Image") + n +
         "' align = 'left' width = '350' height = '100' border = '0'> ";
}

void writeMotifImage(motifMatrix matrix, std::int64_t number) { drawLogos('M', {{&matrix, number}}); }
void writeDatabaseMotifImage(motifMatrix matrix, std::int64_t number) { drawLogos('D', {{&matrix, number}}); }

void writeMotif() { drawAll('M', Datasets); }
void writeDatabaseMotif() { drawAll('D', DatabaseDatasets); }

}  // namespace korvelan
