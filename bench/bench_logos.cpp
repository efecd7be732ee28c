// `korvelan-bench --logos N [--threads T] [--repeat R] [--no-renderer] [--jaspar FILE] [--wrapper PROGRAM]
// [--keep]`: draws both logos of N motifs through the real logo wrapper on T threads, once with the plain
// commands and once with the resident renderer (unless --no-renderer), and prints one line of key=value
// fields for each, the second with its speed-up and the images that differ from the plain ones.
//
// The motifs are the first N of the JASPAR collection in the shared data folder (or the file given),
// or random motifs when it is absent. The logos go into a scratch tool root that is removed afterwards
// unless --keep is given.
#include <omp.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench.h"
#include "core/consensus.h"
#include "core/globals.h"
#include "reports/framing.h"
#include "reports/logo_renderer.h"

namespace korvelan::bench {

namespace {

namespace fs = std::filesystem;

const fs::path kSourceRoot = fs::path(__FILE__).parent_path().parent_path();

// Rows of one position each, scaled to sum 1 (a position without counts becomes uniform).
motifMatrix normalized(const std::vector<std::vector<double>>& columnsByBase) {
  motifMatrix matrix;
  const std::size_t length = columnsByBase[0].size();
  for (std::size_t pos = 0; pos < length; ++pos) {
    std::vector<double> row(4, 0.25);
    double sum = 0;
    for (int base = 0; base < 4; ++base) sum += pos < columnsByBase[base].size() ? columnsByBase[base][pos] : 0;
    if (sum > 0)
      for (int base = 0; base < 4; ++base)
        row[base] = (pos < columnsByBase[base].size() ? columnsByBase[base][pos] : 0) / sum;
    matrix.push_back(row);
  }
  return matrix;
}

// The first `count` motifs of a JASPAR count file: a ">" line, then the A, C, G and T lines.
std::vector<motifMatrix> readJaspar(const std::string& path, long count) {
  std::vector<motifMatrix> motifs;
  std::ifstream in(path);
  std::string line;
  std::vector<std::vector<double>> bases;
  auto finish = [&] {
    if (bases.size() == 4 && !bases[0].empty()) motifs.push_back(normalized(bases));
    bases.clear();
  };
  while (static_cast<long>(motifs.size()) < count && std::getline(in, line)) {
    if (!line.empty() && line[0] == '>') {
      finish();
      continue;
    }
    if (line.empty() || std::string("ACGT").find(line[0]) == std::string::npos) continue;
    for (char& ch : line)
      if (ch == '[' || ch == ']' || ch == '\t' || (ch >= 'A' && ch <= 'Z')) ch = ' ';
    std::istringstream values(line);
    std::vector<double> row;
    for (double v; values >> v;) row.push_back(v);
    bases.push_back(row);
  }
  if (static_cast<long>(motifs.size()) < count) finish();
  return motifs;
}

std::vector<motifMatrix> randomMotifs(long count) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> length(6, 20);
  std::uniform_real_distribution<double> value(0.0, 1.0);
  std::vector<motifMatrix> motifs;
  for (long i = 0; i < count; ++i) {
    std::vector<std::vector<double>> bases(4);
    const int n = length(random);
    for (auto& base : bases)
      for (int pos = 0; pos < n; ++pos) base.push_back(std::pow(value(random), 4.0));
    motifs.push_back(normalized(bases));
  }
  return motifs;
}

struct LogoPass {
  double seconds = 0;
  double childSeconds = 0;
  long images = 0;
  long empty = 0;
  std::map<std::string, std::string> files;  // image name -> bytes
};

double childCpuSeconds() {
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  return static_cast<double>(children.ru_utime.tv_sec + children.ru_stime.tv_sec) +
         static_cast<double>(children.ru_utime.tv_usec + children.ru_stime.tv_usec) / 1e6;
}

// One drawing of every motif's logos into a fresh logo folder, with or without the renderer.
LogoPass drawPass(bool renderer) {
  const std::string folder = outputPath + jobID + "image";
  fs::remove_all(folder);
  if (renderer)
    unsetenv(kLogoRendererSwitch);
  else
    setenv(kLogoRendererSwitch, "off", 1);
  LogoPass pass;
  const double cpuBefore = childCpuSeconds();
  const double begin = omp_get_wtime();
  writeMotif();
  pass.seconds = omp_get_wtime() - begin;
  // CPU time of the logo program runs: with other load on the machine, the wall time alone misleads.
  pass.childSeconds = childCpuSeconds() - cpuBefore;
  unsetenv(kLogoRendererSwitch);
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() != ".jpeg") continue;
    ++pass.images;
    if (entry.file_size() == 0) ++pass.empty;
    std::ifstream in(entry.path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    pass.files[entry.path().filename().string()] = bytes.str();
  }
  return pass;
}

}  // namespace

int runLogoBenchmark(int argc, char** argv) {
  long count = 100;
  int threads = 1;
  int repeat = 1;
  bool keep = false;
  bool withRenderer = true;
  std::string jaspar = (kSourceRoot / "../shared/data/databases/jaspar/jaspar_pfm_all.txt").string();
  // The wrapper of the source tree; a build folder inside the tree finds it beside itself too.
  std::string wrapper = (kSourceRoot / "run/weblogo-3.4/weblogo").string();
  std::error_code noExe;
  const fs::path exe = fs::read_symlink("/proc/self/exe", noExe);
  if (!fs::exists(wrapper) && !noExe) wrapper = (exe.parent_path().parent_path() / "run/weblogo-3.4/weblogo").string();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--logos" && hasValue)
      count = std::atol(argv[++i]);
    else if (arg == "--threads" && hasValue)
      threads = std::atoi(argv[++i]);
    else if (arg == "--repeat" && hasValue)
      repeat = std::atoi(argv[++i]);
    else if (arg == "--jaspar" && hasValue)
      jaspar = argv[++i];
    else if (arg == "--wrapper" && hasValue)
      wrapper = argv[++i];
    else if (arg == "--no-renderer")
      withRenderer = false;
    else if (arg == "--keep")
      keep = true;
  }
  if (count < 1 || threads < 1 || repeat < 1) {
    std::cerr
        << "usage: korvelan-bench --logos N [--threads T] [--repeat R] [--no-renderer] [--jaspar FILE]\n"
           "                      [--wrapper PROGRAM] [--keep]\n";
    return 2;
  }
  if (!fs::exists(wrapper)) {
    std::cerr << "logo wrapper not found: " << wrapper << "\n";
    return 2;
  }

  std::string source = "jaspar";
  std::vector<motifMatrix> matrices;
  if (fs::exists(jaspar)) matrices = readJaspar(jaspar, count);
  if (static_cast<long>(matrices.size()) < count) {
    source = "random";
    matrices = randomMotifs(count);
  }

  std::string pattern = (fs::temp_directory_path() / "korvelan-bench-logos-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::cerr << "cannot make a scratch folder\n";
    return 2;
  }
  const std::string root = pattern + "/";
  fs::create_directories(root + "result");
  fs::create_directories(root + "weblogo-3.4");
  // The wrapper under its program name, and the files beside it (the renderer and its client).
  const fs::path wrapperFolder = fs::absolute(wrapper).parent_path();
  for (const auto& entry : fs::directory_iterator(wrapperFolder))
    if (entry.path().filename() != fs::path(wrapper).filename())
      fs::create_symlink(entry.path(), root + "weblogo-3.4/" + entry.path().filename().string());
  fs::create_symlink(fs::absolute(wrapper), root + "weblogo-3.4/weblogo");

  resetGlobals();
  inputPath = root + "motifs/";
  outputPath = root + "result/";
  jobID = "J_bench_";
  outputFileFormat = "HTML";
  Datasets.clear();
  for (std::size_t i = 0; i < matrices.size(); ++i) {
    data motif;
    motif.motifID = static_cast<std::int64_t>(i) + 1;
    motif.motifName = "motif" + std::to_string(i + 1);
    motif.datasetNum = 1;
    motif.motifNumInFile = motif.motifID;
    motif.matrix = matrices[i];
    motif.revCompMatrix = getRevCompMotif(motif.matrix);
    motif.consensus = getConsensusString(motif.matrix);
    motif.revCompConsensus = getConsensusString(motif.revCompMatrix);
    Datasets.push_back(motif);
  }

  // Side by side: the plain commands, then (unless turned off) the renderer, alternating when
  // repeated; each mode reports its fastest pass.
  omp_set_num_threads(threads);
  std::vector<bool> modes{false};
  if (withRenderer) modes.push_back(true);
  std::map<bool, LogoPass> best;
  for (int r = 0; r < repeat; ++r)
    for (bool mode : modes) {
      LogoPass pass = drawPass(mode);
      if (!best.count(mode) || pass.seconds < best[mode].seconds) best[mode] = std::move(pass);
    }

  const long wanted = 2 * static_cast<long>(matrices.size());
  bool complete = true;
  for (bool mode : modes) {
    const LogoPass& pass = best[mode];
    complete = complete && pass.images == wanted;
    std::cout << "mode=logos renderer=" << (mode ? "on" : "off") << " source=" << source
              << " motifs=" << matrices.size() << " threads=" << threads << " seconds=" << pass.seconds
              << " child_cpu_seconds=" << pass.childSeconds << " images=" << pass.images
              << " empty=" << pass.empty;
    if (mode) {
      long differing = 0;
      for (const auto& [name, bytes] : pass.files) {
        const auto plain = best[false].files.find(name);
        if (plain == best[false].files.end() || plain->second != bytes) ++differing;
      }
      complete = complete && differing == 0;
      std::cout << " differing_from_plain=" << differing << " speedup=" << best[false].seconds / pass.seconds;
    }
    std::cout << std::endl;
  }
  if (keep)
    std::cout << "folder=" << outputPath + jobID + "image" << std::endl;
  else
    fs::remove_all(root);
  resetGlobals();
  return complete ? 0 : 1;
}

}  // namespace korvelan::bench
