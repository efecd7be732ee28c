// `korvelan-bench --logos N [--threads T] [--jaspar FILE] [--wrapper PROGRAM] [--keep]`: draws both logos
// of N motifs through the real logo wrapper on T threads and prints key=value fields.
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
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench.h"
#include "core/consensus.h"
#include "core/globals.h"
#include "reports/framing.h"

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

}  // namespace

int runLogoBenchmark(int argc, char** argv) {
  long count = 100;
  int threads = 1;
  bool keep = false;
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
    else if (arg == "--jaspar" && hasValue)
      jaspar = argv[++i];
    else if (arg == "--wrapper" && hasValue)
      wrapper = argv[++i];
    else if (arg == "--keep")
      keep = true;
  }
  if (count < 1 || threads < 1) {
    std::cerr << "usage: korvelan-bench --logos N [--threads T] [--jaspar FILE] [--wrapper PROGRAM] [--keep]\n";
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

  omp_set_num_threads(threads);
  const double begin = omp_get_wtime();
  writeMotif();
  const double seconds = omp_get_wtime() - begin;
  // CPU time of the logo program runs: with other load on the machine, the wall time alone misleads.
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  const double childSeconds = static_cast<double>(children.ru_utime.tv_sec + children.ru_stime.tv_sec) +
                              static_cast<double>(children.ru_utime.tv_usec + children.ru_stime.tv_usec) / 1e6;

  long images = 0, empty = 0;
  for (const auto& entry : fs::directory_iterator(outputPath + jobID + "image")) {
    if (entry.path().extension() != ".jpeg") continue;
    ++images;
    if (entry.file_size() == 0) ++empty;
  }
  std::cout << "mode=logos source=" << source << " motifs=" << matrices.size() << " threads=" << threads
            << " seconds=" << seconds << " child_cpu_seconds=" << childSeconds << " images=" << images << " empty=" << empty << std::endl;
  if (keep)
    std::cout << "folder=" << outputPath + jobID + "image" << std::endl;
  else
    fs::remove_all(root);
  resetGlobals();
  return images == 2 * static_cast<long>(matrices.size()) ? 0 : 1;
}

}  // namespace korvelan::bench
