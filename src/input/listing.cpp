#include <algorithm>
#include <fstream>
#include <iomanip>
#include <iostream>

#include "core/globals.h"
#include "core/report_io.h"
#include "input/input.h"

namespace korvelan {

namespace {
// Width of the file-name column: the longest input file name + 10.
std::size_t nameColumnWidth() {
  std::size_t longest = 0;
  for (const auto& file : FileNameType) longest = std::max(longest, file.fileName.size());
  return longest + 10;
}

void writeFileTable(std::ostream& out, const char* nameHeading, const char* countHeading) {
  const int w = static_cast<int>(nameColumnWidth());
  out << std::left << std::setw(w) << nameHeading << std::setw(20) << countHeading << std::setw(15)
      << "Dataset #" << '\n';
  for (const auto& file : FileNameType)
    out << std::setw(w) << file.fileName << std::setw(20) << file.motifCount << std::setw(15)
        << file.datasetNum << '\n';
}
}  // namespace

void writeMotifInput() {
  // The listing is a convenience copy: when it cannot be written the run goes on without it.
  std::ofstream out;
  openUnchecked(out, outputPath + jobID + "input_motifs.txt");
  out << "KORVELAN - KORVELAN Detection Tool\n";
  out << "Version 2.1\n\n";
  out << "Total number of motifs: " << Datasets.size() << "\n\n";
  out << "Input files and motif counts\n";
  writeFileTable(out, "File name", "Count of motifs");
  out << "\nInput Motifs\n\n";
  out << std::fixed << std::setprecision(6);
  for (const auto& motif : Datasets) {
    out << "Dataset #: " << motif.datasetNum << "\tMotif ID: " << motif.motifID
        << "\tMotif name: " << motif.motifName << "\n\n";
    for (const auto& row : motif.matrix) {
      for (double value : row) out << value << '\t';
      out << '\n';
    }
    out << "\n\n";
  }
}

void printFileNameTypeCount() {
  std::cout << "\nYour input files, types, and counts are:\n\n";
  writeFileTable(std::cout, "File Name", "Count of Motifs");
  std::cout << std::endl;
}

}  // namespace korvelan
