// Score-list dumps. Each writes through a stream of its own in the default format; a file that does
// not open is passed over silently (the writes go to a failed stream).
#include "reference/dumps.h"

#include <fstream>
#include <string>

#include "core/globals.h"

namespace korvelan {
namespace {

const char* const kCombinedTitle = "------------------ Combined score list ----------------";
const char* const kScoreTitle = "------------------ Score list ----------------";

// The field order of each dump: where the flag stands, if anywhere.
enum class FlagPlace { None, BeforeIDs, AfterNames };

void writeList(const std::string& fileName, const char* title, const std::vector<dataCombinedScore>& list,
               FlagPlace flag) {
  std::ofstream out(outputPath + fileName, std::ios::out | std::ios::trunc);
  out << title << '\n';
  for (const dataCombinedScore& r : list) {
    out << r.direction << '\t' << r.firstMotifID << '\t' << r.firstDatasetNum << '\t' << r.secondDatasetNum
        << '\t' << r.firstMotifNumInFile << '\t' << r.secondMotifNumInFile << '\t';
    if (flag == FlagPlace::BeforeIDs) out << r.scanOrderFlag << '\t';
    out << r.firstMotifID << '\t' << r.secondMotifID << '\t' << r.firstMotifName << '\t' << r.secondMotifName
        << '\t';
    if (flag == FlagPlace::AfterNames) out << r.scanOrderFlag << '\t';
    out << r.position << '\t' << r.numOverlap << '\t' << r.firstMatchingFormat << '\t'
        << r.secondMatchingFormat << '\t' << r.rawScore << '\t' << r.scoreDiff << '\t' << r.overlapDiff
        << '\t' << r.similarityScore << '\t' << '\n';
  }
  out.close();
}

}  // namespace

void writeCombinedScoreList(const std::vector<dataCombinedScore>& list) {
  writeList("combinedScore.txt", kCombinedTitle, list, FlagPlace::None);
}

void writeCombinedScoreDatabaseList(const std::vector<dataCombinedScore>& list) {
  writeList("combinedScoreDatabase.txt", kCombinedTitle, list, FlagPlace::BeforeIDs);
}

void writeScoreList(const std::vector<dataCombinedScore>& list, std::int64_t n) {
  writeList("ScoreDBG" + std::to_string(n) + ".txt", kScoreTitle, list, FlagPlace::AfterNames);
}

}  // namespace korvelan
