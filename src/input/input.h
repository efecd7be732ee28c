// Motif input: the input files, the collections and the input listing.
#pragma once

#include <string>
#include <vector>

#include "driver/records.h"

namespace korvelan {

// Reads every input file (inputPath + name) into Datasets and sets each file's motifCount.
void readInput(std::vector<fileNameAndType> files);
// Writes outputPath + jobID + "input_motifs.txt".
void writeMotifInput();
// Prints the per-file summary table on standard output.
void printFileNameTypeCount();

// Collection loaders: fill DatabaseDatasets from the file DBName names under databases/.
void readTransfacDatabase();
void readJasparDatabase();
void readUniprobeDatabase();

}  // namespace korvelan
