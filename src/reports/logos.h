// Motif logos: each motif gets two JPEG images (as read, and its reverse complement) drawn by the
// sequence-logo program in the run's logo folder, outputPath + jobID + "image/".
#pragma once

#include <cstdint>
#include <string>

#include "core/records.h"

namespace korvelan {

// Both logos of one input motif (prefix 'M') or one collection motif (prefix 'D').
void writeMotifImage(motifMatrix matrix, std::int64_t number);
void writeDatabaseMotifImage(motifMatrix matrix, std::int64_t number);

// The shell command that draws one logo from a logo input file into an image file. Paths holding a
// character other than letters, digits and "_./+-" are quoted for the shell.
std::string logoCommand(const std::string& inputFile, const std::string& imageFile, bool revComp);

// The image tag an HTML report shows a logo with: prefix 'M' with an input motif's ID, 'D' with a
// collection motif's number; revComp picks the reverse-complement image.
std::string logoImageTag(char prefix, std::int64_t number, bool revComp);

}  // namespace korvelan
