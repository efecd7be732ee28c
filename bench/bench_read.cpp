// `korvelan-bench --read FILE... [--repeat R]`: reads the files as a run reads its input files (each
// file one dataset, every block recognised and read) and prints key=value fields: files, bytes,
// motifs, seconds (the fastest of R passes) and peak memory. Nothing else of a run takes part.
#include <omp.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "bench.h"
#include "core/globals.h"
#include "input/input.h"

namespace korvelan::bench {

namespace {
[[noreturn]] void readUsage(const std::string& problem) {
  std::cerr << "korvelan-bench: " << problem << "\n"
            << "usage: korvelan-bench --read FILE... [--repeat R]\n";
  std::exit(2);
}
}  // namespace

int runReadBenchmark(int argc, char** argv) {
  std::vector<std::string> paths;
  int repeat = 1;
  for (int j = 2; j < argc; ++j) {
    const std::string arg = argv[j];
    if (arg == "--repeat") {
      if (j + 1 >= argc) readUsage("--repeat needs a value");
      repeat = std::atoi(argv[++j]);
      if (repeat < 1) readUsage("--repeat must be at least 1");
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.empty()) readUsage("--read needs at least one file");

  long long bytes = 0;
  for (const std::string& path : paths) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) bytes += info.st_size;
  }
  double best = 0.0;
  std::size_t motifs = 0;
  for (int pass = 0; pass < repeat; ++pass) {
    resetGlobals();
    inputPath = "";
    for (std::size_t j = 0; j < paths.size(); ++j)
      FileNameType.push_back(fileNameAndType{paths[j], 10, 0, static_cast<std::int32_t>(j + 1)});
    const double started = omp_get_wtime();
    readInput(FileNameType);
    const double seconds = omp_get_wtime() - started;
    if (pass == 0 || seconds < best) best = seconds;
    motifs = Datasets.size();
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::cout << "read files=" << paths.size() << " bytes=" << bytes << " motifs=" << motifs
            << " seconds=" << best << " peak_rss_mb=" << usage.ru_maxrss / 1024 << std::endl;
  return 0;
}

}  // namespace korvelan::bench
