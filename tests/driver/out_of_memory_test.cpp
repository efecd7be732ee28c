// Allocation failures inside the parallel regions. An exception that leaves an OpenMP region ends the
// process, so each region must catch it and hand it on after the region; main then ends the run
// with its message (the whole-run test in program_test.cpp). This program's operator new can be told
// to fail every allocation made inside a parallel region, or every allocation at all.
#include <gtest/gtest.h>
#include <omp.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>

#include "core/globals.h"
#include "core/interrupts.h"
#include "driver/result_stages.h"
#include "reports/framing.h"
#include "scan/scan.h"
#include "support/test_support.h"

namespace {
std::atomic<bool> failInRegions{false};
std::atomic<bool> failEverywhere{false};
}  // namespace

// These are the allocation functions themselves, so free() pairs with their malloc().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (failEverywhere.load(std::memory_order_relaxed)) throw std::bad_alloc();
  if (failInRegions.load(std::memory_order_relaxed) && omp_in_parallel()) throw std::bad_alloc();
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
  return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (failEverywhere.load(std::memory_order_relaxed)) return nullptr;
  if (failInRegions.load(std::memory_order_relaxed) && omp_in_parallel()) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
void operator delete[](void* block, const std::nothrow_t&) noexcept {
  std::free(block);
}
void operator delete(void* block) noexcept {
  std::free(block);
}
void operator delete[](void* block) noexcept {
  std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
  std::free(block);
}
#pragma GCC diagnostic pop

namespace korvelan {
namespace {

// Fails the allocations of parallel regions while it lives.
struct FailingRegions {
  FailingRegions() { failInRegions = true; }
  ~FailingRegions() { failInRegions = false; }
};

class OutOfMemory : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    testing::Answers answers;
    answers.files = {"a.txt", "b.txt"};
    answers.cutoff = "0.5";
    answers.threads = 4;
    answers.format = "none";  // selects every list and writes no report
    testing::applyAnswers(answers);
    omp_set_num_threads(4);
    const char* words[] = {"ACGTACGT", "ACGTTCGT", "TTGACGTCAA", "GGGACTTTCC", "TGACGTCA", "CACGTGAC"};
    for (int k = 0; k < 6; ++k)
      Datasets.push_back(testing::makeMotif(k + 1, k < 3 ? 1 : 2, k % 3 + 1, "m" + std::to_string(k + 1),
                                            testing::rowsOf(words[k])));
  }
  void TearDown() override {
    omp_set_num_threads(omp_get_num_procs());
    resetGlobals();
  }
};

// Both passes: the maxima pass of the scans and the selecting pass of the key step.
TEST_F(OutOfMemory, ScanRegionsHandTheFailureToTheCallingThread) {
  {
    FailingRegions failing;
    EXPECT_THROW(forwardScan(), std::bad_alloc);
  }
  forwardScan();
  backwardScan();
  getMaxScores();
  {
    FailingRegions failing;
    EXPECT_THROW(calculateSumScoresCompare(), std::bad_alloc);
  }
  calculateSumScoresCompare();
  ASSERT_EQ(datasetMatches.bestMatches.size(), 6u);
  EXPECT_FALSE(datasetMatches.bestMatches[0].empty());
  ::testing::internal::CaptureStdout();
  getResultsList();
  ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(commonBestScoreResultList.size(), 6u);
}

// The logo input files go whatever became of the drawing.
TEST_F(OutOfMemory, LogoRegionHandsTheFailureOnAndLeavesNoInputFile) {
  testing::RunFolder folder;
  inputPath = folder.motifs();
  outputPath = folder.result();
  jobID = "J_2026-12-10_1111_";
  outputFileFormat = "HTML";
  {
    FailingRegions failing;
    EXPECT_THROW(writeMotif(), std::bad_alloc);
  }
  const std::string images = outputPath + jobID + "image/";
  ASSERT_TRUE(std::filesystem::is_directory(images));
  for (const std::string& name : testing::listDir(images))
    EXPECT_EQ(name.find(".txt"), std::string::npos) << name;
}

// The run's temporary folder goes at the end of a run that ran out of memory, with what a helper
// left in it, though the recursive removal itself cannot get the memory it needs.
TEST(OutOfMemoryAtTheEnd, TemporaryFolderGoesAllTheSame) {
  testing::TempDir base;
  const char* given = std::getenv("TMPDIR");
  const std::string saved = given != nullptr ? given : "";
  setenv("TMPDIR", base.path().c_str(), 1);
  {
    std::optional<HelperScope> scope;
    scope.emplace();
    const std::string folder = scope->temporaryFolder();
    ASSERT_FALSE(folder.empty());
    std::filesystem::create_directories(folder + "/left/by/a/helper");
    testing::writeFile(folder + "/left/by/file", "x");
    failEverywhere = true;
    scope.reset();
    failEverywhere = false;
  }
  EXPECT_EQ(testing::listDir(base.path()), std::vector<std::string>{});
  if (given != nullptr)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
}

}  // namespace
}  // namespace korvelan
