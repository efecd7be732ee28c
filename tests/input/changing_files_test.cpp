// Input and collection files that change while they are read: a writer appending to the file, the
// file cut short, a fifo renamed onto its name. The reading must end, read only what the file held
// when it was opened, and never wait on a fifo.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "core/globals.h"
#include "input/blocks.h"
#include "input/input.h"
#include "input_helpers.h"

namespace korvelan {
namespace {

using testing::InputRun;

// `count` small motifs, one block each.
std::string motifs(int count, const std::string& name) {
  std::string text;
  for (int i = 0; i < count; ++i) text += ">" + name + std::to_string(i) + "\nACGT\n\n";
  return text;
}

void append(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out << text;
}

// Bounds what a reader that follows the writer could take in, so a fault fails the test instead of
// running it for ever.
constexpr int kMostChanges = 20'000;

// The file is changed from inside the reading, so every change falls between the open and the end:
// growing files are read to their size at the open whether the file takes one piece of reading or
// many, and a file cut short ends where it now ends.
TEST(ChangingFiles, ReadOnlyWhatTheFileHeldWhenOpened) {
  struct Case {
    const char* what;
    int motifCount;    // in the file at the open
    bool cut;          // cut to nothing at the first block instead of grown at every block
    int expectBlocks;  // blocks handed on
  };
  const Case cases[] = {
      {"a small file grown at every block", 3, false, 3},
      {"a file of many pieces grown at every block", 20'000, false, 20'000},
      {"a file of many pieces cut short", 20'000, true, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::TempDir dir;
    const std::string path = dir.path() + "m.txt";
    testing::writeFile(path, motifs(c.motifCount, "m"));
    int blocks = 0;
    int changes = 0;
    bool inOrder = true;
    const bool read = readBlocks(path, [&](inputBlock block) {
      inOrder = inOrder && block.size() == 2 && block[0][0] == ">m" + std::to_string(blocks);
      ++blocks;
      if (changes >= kMostChanges) return;
      ++changes;
      if (c.cut) {
        if (truncate(path.c_str(), 0) != 0) ADD_FAILURE() << "cannot cut the file";
        changes = kMostChanges;
      } else {
        append(path, ">late\nACGT\n\n");
      }
    });
    EXPECT_TRUE(read);
    EXPECT_TRUE(inOrder) << "a block not of the file as opened";
    if (c.expectBlocks >= 0) {
      EXPECT_EQ(blocks, c.expectBlocks);
    } else {
      EXPECT_GE(blocks, 1);
      EXPECT_LT(blocks, c.motifCount);  // what was read before the cut, nothing after
    }
  }
}

// A writer appending in a loop for as long as it likes (a file still being written, say). It starts
// appending only once the run has read from the file, so the size at the open is the fixture's; the
// run must end with the fixture's motifs alone while the writer goes on.
TEST(ChangingFiles, RunEndsWhileAWriterKeepsAppending) {
  InputRun run;
  const int count = 20'000;  // many pieces of reading, so the writer has a reading to race
  run.add("grows.txt", motifs(count, "m"));
  const std::string path = run.path() + "grows.txt";

  std::atomic<bool> stop{false};
  std::thread writer([&] {
    // The run's descriptor on the file, once the run has read from it: its position is then past 0.
    struct stat fixture {};
    if (stat(path.c_str(), &fixture) != 0) return;
    auto runHasRead = [&] {
      for (int fd = 3; fd < 1024; ++fd) {
        struct stat held {};
        if (stat(("/proc/self/fd/" + std::to_string(fd)).c_str(), &held) != 0 ||
            held.st_dev != fixture.st_dev || held.st_ino != fixture.st_ino)
          continue;
        std::ifstream info("/proc/self/fdinfo/" + std::to_string(fd));
        std::string field;
        long long position = 0;
        while (info >> field)
          if (field == "pos:" && info >> position) return position > 0;
      }
      return false;
    };
    while (!stop && !runHasRead()) std::this_thread::yield();
    std::ofstream out(path, std::ios::binary | std::ios::app);
    // 12 MB at most, should the run follow the writer.
    for (int i = 0; !stop && i < 1'000'000; ++i) out << ">late\nACGT\n\n" << std::flush;
  });
  run.read();
  stop = true;
  writer.join();
  ASSERT_EQ(Datasets.size(), static_cast<std::size_t>(count));
  EXPECT_EQ(Datasets.back().motifName, "m" + std::to_string(count - 1));
  EXPECT_EQ(FileNameType[0].motifCount, count);
}

// A fifo renamed onto the name again and again while the file is read: every reading is the file's
// one motif or the failure of a path that is not a regular file, and none waits for a writer. A
// reader left waiting on the fifo is let go by the renamer (it opens the fifo for writing), so a
// fault shows as a reading of nothing, never as a test that hangs.
TEST(ChangingFiles, FifoSwappedInForTheFileNeverStallsTheReading) {
  testing::TempDir dir;
  const std::string name = dir.path() + "m.txt";
  const std::string file = dir.path() + "file";
  const std::string fifo = dir.path() + "fifo";
  testing::writeFile(file, ">m0\nACGT\n\n");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

  std::atomic<bool> done{false};
  std::thread renamer([&] {
    while (!done) {
      for (const std::string* held : {&file, &fifo}) {
        std::rename(held->c_str(), name.c_str());
        std::rename(name.c_str(), held->c_str());
      }
      const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
      if (writer >= 0) close(writer);
    }
  });
  int files = 0, refused = 0, wrong = 0;
  for (int i = 0; i < 20'000; ++i) {
    int blocks = 0;
    if (!readBlocks(name, [&](inputBlock) { ++blocks; }))
      ++refused;
    else if (blocks == 1)
      ++files;
    else
      ++wrong;
  }
  done = true;
  renamer.join();
  EXPECT_EQ(wrong, 0) << files << " readings of the file, " << refused << " refused";
}

}  // namespace
}  // namespace korvelan
