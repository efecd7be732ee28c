// Motif input: the input files, the collections and the input listing.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "core/collections.h"
#include "core/records.h"

namespace korvelan {

// Reads every input file (inputPath + name) into Datasets and sets each file's motifCount.
void readInput(std::vector<fileNameAndType> files);
// Reads one input file (inputPath + fileName) block by block; fileIndex is its 0-based place in
// FileNameType. A file that cannot be read ends the run with the input failure.
void readInputFile(std::string fileName, std::int32_t fileIndex);
// The input listing's path for the job identifier `id`: outputPath + id + "input_motifs.txt". The
// listing of a run's own identifier is also its claim on that identifier.
std::string listingPath(const std::string& id);
// Writes the listing at listingPath(jobID).
void writeMotifInput();
// The input-files table of the listing and the text reports: the line "Input files and motif
// counts", the heading row ("File name", "Count of motifs", "Dataset #"), then one row per
// FileNameType entry, in left-aligned, blank-filled columns (the name column 10 wider than the
// longest name). Leaves left adjustment set on the stream.
void writeInputFilesTable(std::ostream& out);
// Prints the per-file summary table on standard output.
void printFileNameTypeCount();

// The listing of the loaded collection (DatabaseDatasets) under the family's listing name after
// outputPath + jobID: per motif its name, taxon or species and identifier, each on a line of its own
// in the words of the family, then its rows as the input listing shows them. Like the input listing,
// a file that cannot be made is left out without a message. No stage of a run calls it.
void writeCollectionListing(CollectionFamily family);
// Its named forms, one per family.
void writeJasparDatabase();
void writeTransfacDatabase();
void writeUniprobeDatabase();

// Collection loaders: fill DatabaseDatasets from the file DBName names under databases/ in the
// working directory, one record per block. A file that cannot be read ends the run with the input
// failure.
void readTransfacDatabase();
void readJasparDatabase();
void readUniprobeDatabase();
// Loads one JASPAR-layout collection file from any path, each motif taking its taxon from token 3
// of its header (as the all-taxa JASPAR set does).
void readCollectionFile(const std::string& path);


}  // namespace korvelan
