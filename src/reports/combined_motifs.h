// The three combined-motif lists, each described once: which top list's groups it merges and for
// which output types, the chain the merge builds, the finished chains, the report they go to and
// that report's banner. The merge stage runs over them in table order.
#pragma once

#include <array>
#include <vector>

#include "core/globals.h"
#include "core/report_files.h"

namespace korvelan {

enum class CombinedListId { Global, GlobalAndLocal, BestMatches };

struct CombinedList {
  CombinedListId id;
  std::vector<bestMatchList> RunState::*groups;  // the top list whose groups are merged
  bool everyType;                                // merged with "Global-Only" too, not only with "All"
  mergeChain RunState::*working;                 // the chain under construction
  std::vector<mergeChain> RunState::*chains;     // one finished chain per group
  ReportId report;
  // The banner over each chain: starsBefore '*', the title up to the top motif's ID, the ID,
  // " and Its Best Matches ", starsAfter '*'.
  int starsBefore;
  const char* title;
  int starsAfter;
};

const std::array<CombinedList, 3>& combinedLists();
const CombinedList& combinedList(CombinedListId id);

// Appends the list's finished chains to its report: per chain with an accepted step a banner, a
// table of the accepted steps and every step's placement with its alignment lines; an empty line for
// a chain without one.
void writeCombinedMotifs(const CombinedList& list);

}  // namespace korvelan
