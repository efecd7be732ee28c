// The result-selection stages of the run: each takes the selection steps (results/results.h) in turn
// and writes the report parts (reports/sections.h) at their places in between.
#pragma once

namespace korvelan {

// The input motifs compared with each other: distances, then the global ranking and part (with one
// input file, the one-file note in its place), then the global-and-local ranking and, with output
// type "All", the global-and-local and each-motif parts.
void getResultsList();

// The database parts: every input motif against the collection (output type "All"), and the top
// global motifs against it.
void getDatabaseResultsList();
void getDatabaseGlobalResultsList();

}  // namespace korvelan
