#include <algorithm>
#include <fstream>
#include <iomanip>
#include <iostream>

#include "core/collections.h"
#include "core/globals.h"
#include "core/program_texts.h"
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

// The input files with their motif counts and dataset numbers under the two headings given.
void writeFileTable(std::ostream& out, const char* nameHeading, const char* countHeading) {
  const int w = static_cast<int>(nameColumnWidth());
  out << std::left << std::setw(w) << nameHeading << std::setw(20) << countHeading << std::setw(15)
      << "Dataset #" << '\n';
  for (const auto& file : FileNameType)
    out << std::setw(w) << file.fileName << std::setw(20) << file.motifCount << std::setw(15)
        << file.datasetNum << '\n';
}

// Every listing of motifs: `opening` writes what comes before the motifs, `heading` the lines above
// each motif's rows; the rows follow with each value in fixed notation with six decimals and a tab
// after it, and two empty lines end each motif. A listing is a convenience copy: when its file
// cannot be made the run goes on without it, and without a message.
template <typename Opening, typename Heading>
void writeListing(const std::string& path, const std::vector<data>& motifs, Opening opening,
                  Heading heading) {
  std::ofstream out;
  if (!openUnchecked(out, path)) return;
  opening(out);
  out << std::fixed << std::setprecision(6);
  for (const data& motif : motifs) {
    heading(out, motif);
    for (const auto& row : motif.matrix) {
      for (double value : row) out << value << '\t';
      out << '\n';
    }
    out << "\n\n";
  }
}

}  // namespace

void writeCollectionListing(CollectionFamily family) {
  const CollectionFamilyFacts& facts = collectionFamily(family);
  writeListing(
      outputPath + jobID + facts.listingName, DatabaseDatasets, [](std::ostream&) {},
      [&facts](std::ostream& out, const data& motif) {
        out << "Motif name: " << motif.motifName << '\n'
            << facts.taxonWord << ": " << motif.taxonOrSpecies << '\n'
            << facts.identifierWord << ": " << motif.databaseMotifID << '\n';
      });
}

std::string listingPath(const std::string& id) {
  return outputPath + id + "input_motifs.txt";
}

void writeInputFilesTable(std::ostream& out) {
  out << "Input files and motif counts\n";
  writeFileTable(out, "File name", "Count of motifs");
}

void writeMotifInput() {
  writeListing(
      listingPath(jobID), Datasets,
      [](std::ostream& out) {
        out << kProgramTitle << '\n';
        out << kListingVersion << "\n\n";
        out << "Total number of motifs: " << Datasets.size() << "\n\n";
        writeInputFilesTable(out);
        out << "\nInput Motifs\n\n";
      },
      [](std::ostream& out, const data& motif) {
        out << "Dataset #: " << motif.datasetNum << "\tMotif ID: " << motif.motifID
            << "\tMotif name: " << motif.motifName << "\n\n";
      });
}

void printFileNameTypeCount() {
  std::cout << "\nYour input files, types, and counts are:\n\n";
  writeFileTable(std::cout, "File Name", "Count of Motifs");
  std::cout << std::endl;
}

// The named forms of writeCollectionListing, one per family.
void writeJasparDatabase() {
  writeCollectionListing(CollectionFamily::Jaspar);
}
void writeTransfacDatabase() {
  writeCollectionListing(CollectionFamily::Transfac);
}
void writeUniprobeDatabase() {
  writeCollectionListing(CollectionFamily::Uniprobe);
}

}  // namespace korvelan
