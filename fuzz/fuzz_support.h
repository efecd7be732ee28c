// What the libFuzzer targets share: a scratch run folder (in memory where the machine offers one),
// the fuzz input cut into input files, a console that swallows the program's lines, and the checks
// every motif must pass whatever the file held.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/utilities.h"

namespace korvelan::fuzzing {

namespace fs = std::filesystem;

// A folder of its own for this process, removed at exit; tmpfs when there is one. The path lives on
// to the very end (never destroyed), since the removal runs after static objects are gone.
inline const std::string& scratch() {
  static const std::string* path = [] {
    const std::string base = fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path().string();
    std::string pattern = base + "/korvelan-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    auto* kept = new std::string(pattern + "/");
    std::atexit([] {
      std::error_code ignored;
      fs::remove_all(scratch(), ignored);
    });
    return kept;
  }();
  return *path;
}

// Swallows what the stages print on standard output, so the fuzzer's own lines stay readable.
inline void quietConsole() {
  static std::ostringstream sink;
  static const bool done = [] {
    std::cout.rdbuf(sink.rdbuf());
    return true;
  }();
  (void)done;
  sink.str(std::string());
}

inline void writeBytes(const std::string& path, const std::uint8_t* bytes, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

// The input cut at form feeds into at most three files, written into `folder` as f1.txt, f2.txt, ...
// and listed in FileNameType.
inline void writeInputFiles(const std::string& folder, const std::uint8_t* bytes, std::size_t size) {
  fs::create_directories(folder);
  std::size_t from = 0;
  for (int file = 1; file <= 3; ++file) {
    std::size_t to = from;
    while (to < size && (bytes[to] != '\f' || file == 3)) ++to;
    const std::string name = "f" + std::to_string(file) + ".txt";
    writeBytes(folder + name, bytes + from, to - from);
    FileNameType.push_back(fileNameAndType{name, 10, 0, file});
    if (to >= size) break;
    from = to + 1;
  }
}

inline void removeFilesIn(const std::string& folder) {
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) fs::remove_all(entry.path(), ignored);
}

// Every motif, however odd its block: rows of four finite frequencies in [0, 1] summing to 1 (the
// consensus rows of three bases sum to 0.9999), both consensus strings one letter per row, names
// kept short.
inline void checkMotifs(const std::vector<data>& motifs) {
  for (const data& motif : motifs) {
    if (motif.motifName.size() > 255 || motif.databaseMotifID.size() > 255 ||
        motif.taxonOrSpecies.size() > 255)
      std::abort();
    if (motif.revCompMatrix.size() != motif.matrix.size()) std::abort();
    if (motif.consensus.size() != motif.matrix.size() || motif.revCompConsensus.size() != motif.matrix.size())
      std::abort();
    for (const auto& row : motif.matrix) {
      if (row.size() != 4) std::abort();
      double sum = 0;
      for (double value : row) {
        if (!std::isfinite(value) || value < 0 || value > 1 || std::signbit(value)) std::abort();
        sum += value;
      }
      if (std::fabs(sum - 1) > 1e-3) std::abort();
    }
  }
}

}  // namespace korvelan::fuzzing
