// Hand-built motifs and alignments for the result-selection tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/answers.h"
#include "core/globals.h"
#include "core/report_files.h"
#include "driver/result_stages.h"
#include "reference/reference_path.h"
#include "support/test_support.h"

namespace korvelan::testing {

struct MotifSpec {
  std::string name;
  std::int32_t file;
};

// One kept alignment: the motif listed first, the other one, its key. Its `position` is its 1-based index
// in the stored list, so a test can tell records apart by it.
struct AlignmentSpec {
  std::int64_t first;
  std::int64_t second;
  double key;
  const char* direction = "Forward";
};

// Resets the run and sets the settings most tests share: two files, two top motifs, two best matches,
// trees and combining asked for, output type "All", and a format that writes no report part.
class SelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    Answers answers;
    answers.files = {"a.txt", "b.txt"};
    answers.topMotifs = 2;
    answers.bestMatches = 2;
    answers.tree = "Y";
    answers.combine = "Y";
    answers.format = "None";
    applyAnswers(answers);
    outputPath = dir_.path();
    jobID = "J_test_";
    for (std::string* path : {&reportPath(ReportId::Results), &reportPath(ReportId::ResultsWithoutMotif),
                              &reportPath(ReportId::GlobalMatching), &reportPath(ReportId::HTMLResults),
                              &reportPath(ReportId::HTMLGlobalMatching)})
      *path = dir_.path() + "report.txt";
  }
  void TearDown() override { resetGlobals(); }

  static void setMotifs(const std::vector<MotifSpec>& motifs) {
    Datasets.clear();
    for (std::size_t i = 0; i < motifs.size(); ++i) {
      data motif;
      motif.motifID = static_cast<std::int64_t>(i + 1);
      motif.motifName = motifs[i].name;
      motif.datasetNum = motifs[i].file;
      Datasets.push_back(motif);
    }
  }

  // Records as the scans would give them (keys set); the motifs must be set first and stay unchanged.
  static void setAlignments(const std::vector<AlignmentSpec>& alignments) {
    records().clear();
    for (std::size_t i = 0; i < alignments.size(); ++i) {
      const AlignmentSpec& a = alignments[i];
      records().push_back(testing::inputAlignment({.direction = a.direction,
                                                   .flag = a.first < a.second ? "Y" : "",
                                                   .first = a.first,
                                                   .second = a.second,
                                                   .position = static_cast<std::int32_t>(i + 1),
                                                   .overlap = 4,
                                                   .key = a.key,
                                                   .firstFormat = "Original Motif",
                                                   .secondFormat = "Original Motif"}));
    }
  }

  // The records selected by the plain path into datasetMatches, as the key step would leave it with
  // the settings as they stand.
  static void keyStep() {
    datasetMatches = reference::selectFromRecords(records(), Datasets.size(), false, numBestMatches,
                                                  severalFiles(), treesWanted());
  }
  static std::vector<dataCombinedScore>& records() {
    static std::vector<dataCombinedScore> list;
    return list;
  }

  // Runs the key step's selection and the result selection, and returns what the latter printed.
  static std::string select() {
    keyStep();
    ::testing::internal::CaptureStdout();
    getResultsList();
    return ::testing::internal::GetCapturedStdout();
  }

  // The records of a list by their stored position.
  static std::vector<std::int32_t> tags(const bestMatchList& list) {
    std::vector<std::int32_t> out;
    for (const dataCombinedScore& r : list) out.push_back(r.position);
    return out;
  }
  static std::vector<std::vector<std::int32_t>> tags(const std::vector<bestMatchList>& lists) {
    std::vector<std::vector<std::int32_t>> out;
    for (const bestMatchList& list : lists) out.push_back(tags(list));
    return out;
  }
  static std::vector<std::pair<std::int64_t, double>> entries(const std::vector<commonBestMatches>& ranking) {
    std::vector<std::pair<std::int64_t, double>> out;
    for (const commonBestMatches& e : ranking) out.emplace_back(e.motifID, e.sumScores);
    return out;
  }

  // Five motifs, M1 and M2 in file 1, M3, M4 and M5 in file 2 (M5 has no alignment), and ten
  // alignments in shuffled key order, with keys exact in binary so the sums are exact.
  static void setStandardFixture() {
    setMotifs({{"M1", 1}, {"M2", 1}, {"M3", 2}, {"M4", 2}, {"M5", 2}});
    setAlignments({
        {1, 4, 0.375},              // 1
        {1, 3, 0.5},                // 2
        {3, 4, 0.125},              // 3
        {1, 2, 0.0625},             // 4
        {2, 4, 0.75},               // 5
        {1, 3, 0.25, "Backward"},   // 6
        {4, 3, 0.0},                // 7
        {3, 4, 0.125, "Backward"},  // 8: same partner and key as 3, stored later
        {2, 1, 0.125},              // 9
        {3, 1, 1.0},                // 10
    });
  }

 private:
  TempDir dir_;
};

}  // namespace korvelan::testing
