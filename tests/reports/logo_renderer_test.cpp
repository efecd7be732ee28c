#include "reports/logo_renderer.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <omp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/globals.h"
#include "core/shell.h"
#include "core/utilities.h"
#include "reports/framing.h"
#include "reports/logos.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

namespace fs = std::filesystem;
using testing::listDir;
using testing::readFile;
using testing::TempDir;
using testing::writeFile;

const std::string kJob = "J_2026-12-10_5150_";

data motif(std::int64_t id, motifMatrix matrix) {
  data m;
  m.motifID = id;
  m.matrix = std::move(matrix);
  return m;
}

// An environment variable set (or unset) for one test, and restored afterwards.
class ScopedVariable {
 public:
  explicit ScopedVariable(const char* name) : name_(name) {
    if (const char* value = std::getenv(name)) saved_ = value;
  }
  ~ScopedVariable() {
    if (saved_)
      setenv(name_, saved_->c_str(), 1);
    else
      unsetenv(name_);
  }
  void set(const std::string& value) const { setenv(name_, value.c_str(), 1); }
  void unset() const { unsetenv(name_); }
  const std::string& saved() const { return *saved_; }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

// A tool root holding the real wrapper, renderer and client of the source tree, and a private
// temporary folder for the renderer's socket folder. standIn() is a folder with a plain `weblogo`
// command that only records its call and prints "PLAIN": with it first on PATH, a real image can only
// come from the renderer, and "PLAIN" shows that the wrapper ran the command itself.
class LogoRendererTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v weblogo >/dev/null 2>&1") != 0) GTEST_SKIP() << "weblogo is not installed";
    resetGlobals();
    jobID = kJob;
    outputFileFormat = "HTML";
    inputPath = root.path() + "motifs/";
    outputPath = root.path() + "result/";
    fs::create_directories(outputPath);
    fs::create_directories(root.path() + "weblogo-3.4");
    for (const char* name : {"weblogo", "renderer.py", "logo_client.py"})
      fs::create_symlink(testing::sourceDir() + "/run/weblogo-3.4/" + name,
                         root.path() + "weblogo-3.4/" + name);
    writeFile(standIn.path() + "weblogo", "#!/bin/sh\n{ printf '%s\\n' \"$@\"; echo --stdin--; cat; } > '" +
                                              standIn.path() + "call'\necho PLAIN\n");
    chmod((standIn.path() + "weblogo").c_str(), 0755);
    tmpdir.set(temp.path());
    rendererSwitch.unset();
    socketVariable.unset();
  }
  void TearDown() override {
    omp_set_num_threads(savedThreads);
    resetGlobals();
  }

  void putStandInFirst() const { path.set(standIn.path() + ":" + path.saved()); }
  std::string logoFolder() const { return outputPath + kJob + "image/"; }
  std::map<std::string, std::string> images() const {
    std::map<std::string, std::string> found;
    for (const std::string& name : listDir(logoFolder())) found[name] = readFile(logoFolder() + name);
    return found;
  }
  // Live processes running this tool root's renderer (a forked drawing shows the same command line).
  std::vector<pid_t> rendererProcesses() const {
    const std::string script = root.path() + "weblogo-3.4/renderer.py";
    std::vector<pid_t> found;
    for (const auto& entry : fs::directory_iterator("/proc")) {
      const std::string name = entry.path().filename().string();
      if (name.find_first_not_of("0123456789") != std::string::npos) continue;
      if (readFile(entry.path().string() + "/cmdline").find(script) != std::string::npos)
        found.push_back(std::stoi(name));
    }
    return found;
  }
  // No renderer, socket or socket folder is left, and the socket is no longer named to children.
  void expectNothingLeft() const {
    EXPECT_TRUE(rendererProcesses().empty());
    EXPECT_TRUE(listDir(temp.path()).empty());
    EXPECT_EQ(std::getenv(kLogoSocketVariable), nullptr);
  }

  TempDir root;
  TempDir standIn;
  TempDir temp;
  ScopedVariable path{"PATH"};
  ScopedVariable tmpdir{"TMPDIR"};
  ScopedVariable rendererSwitch{kLogoRendererSwitch};
  ScopedVariable socketVariable{kLogoSocketVariable};
  int savedThreads = omp_get_max_threads();
};

TEST_F(LogoRendererTest, RendererDrawsTheSameImagesAsThePlainCommand) {
  omp_set_num_threads(4);
  Datasets = {
      motif(1, {{0.9, 0.05, 0.03, 0.02}, {0.1, 0.1, 0.7, 0.1}, {0, 0, 0, 1}, {0.25, 0.25, 0.25, 0.25}}),
      motif(2, {{0.001, 0.997, 0.001, 0.001}, {0.5, 0, 0.5, 0}, {0.2, 0.3, 0.4, 0.1}, {1, 0, 0, 0}}),
      motif(3, {{0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0.02, 0.96, 0.02}, {0.4, 0.1, 0.1, 0.4}, {0, 0, 0, 1}}),
      motif(4, {}),  // the command fails on it: an empty image both ways
  };
  rendererSwitch.set("off");
  writeMotif();
  const std::map<std::string, std::string> plain = images();
  ASSERT_EQ(plain.size(), 8u);
  EXPECT_EQ(plain.at(kJob + "M4.jpeg"), "");
  EXPECT_EQ(plain.at(kJob + "M1RevComp.jpeg").substr(0, 2), "\xFF\xD8");
  EXPECT_NE(plain.at(kJob + "M1.jpeg"), plain.at(kJob + "M1RevComp.jpeg"));

  fs::remove_all(logoFolder());
  rendererSwitch.unset();
  putStandInFirst();
  writeMotif();
  EXPECT_EQ(images(), plain);
  EXPECT_FALSE(testing::fileExists(standIn.path() + "call"));  // no command ran on its own
  expectNothingLeft();
}

TEST_F(LogoRendererTest, NothingOutlivesABatchThatEndsTheRun) {
  // The input motifs' batch makes the logo folder; in the collection's batch motif 2's logo input
  // cannot be written, which ends the run after motif 1 is drawn.
  Datasets = {motif(1, {{1, 0, 0, 0}, {0, 1, 0, 0}})};
  writeMotif();
  DatabaseDatasets = {motif(1, {{0, 0, 1, 0}, {0, 1, 0, 0}}), motif(2, {{0, 0, 1, 0}})};
  fs::create_directories(logoFolder() + kJob + "D2.txt");
  ::testing::internal::CaptureStdout();
  int status = -1;
  try {
    writeDatabaseMotif();
  } catch (const RunEnded& ended) {
    status = ended.status;
  }
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(readFile(logoFolder() + kJob + "D1.jpeg").substr(0, 2), "\xFF\xD8");
  expectNothingLeft();
}

// A renderer's stand-in that reads a request and dies halfway through its reply.
void answerHalfAndDie(int listener) {
  const int conn = accept(listener, nullptr, nullptr);
  char buffer[4096];
  while (read(conn, buffer, sizeof buffer) > 0) {
  }
  const char partial[] =
      "\0\0\0\0\0\0\0\x01"
      "0"
      "\0\0\0\0\0\0\x10\0"
      "\xFF\xD8";
  EXPECT_GT(write(conn, partial, sizeof partial - 1), 0);
  close(conn);
}

TEST_F(LogoRendererTest, WrapperRunsTheCommandItselfWhenTheRendererCannotAnswer) {
  const std::string input = root.path() + "in.txt";
  const std::string image = root.path() + "out.jpeg";
  writeFile(input, "PO A C G T \n1 0.5 0 0.5 0 \n");
  putStandInFirst();
  auto expectPlainRun = [&] {
    fs::remove(standIn.path() + "call");
    runShell(logoCommand(input, image, true));
    EXPECT_EQ(readFile(image), "PLAIN\n");
    const std::string call = readFile(standIn.path() + "call");
    EXPECT_TRUE(call.starts_with("--datatype\ntransfac\n--format\njpeg\n")) << call;
    EXPECT_NE(call.find("\n--revcomp\n"), std::string::npos);
    EXPECT_EQ(call.substr(call.find("--stdin--\n") + 10), readFile(input));  // the same input bytes
  };

  {
    SCOPED_TRACE("no socket");
    socketVariable.set(temp.path() + "gone/socket");
    expectPlainRun();
  }
  {
    SCOPED_TRACE("renderer killed, its socket left behind");
    const LogoRenderer renderer;
    ASSERT_TRUE(renderer.running());
    for (pid_t pid : rendererProcesses()) kill(pid, SIGKILL);
    ASSERT_TRUE(fs::exists(renderer.socketPath()));
    expectPlainRun();
  }
  {
    SCOPED_TRACE("renderer dies in the middle of its reply");
    const std::string socketPath = temp.path() + "half";
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 1), 0);
    std::thread server(answerHalfAndDie, listener);
    socketVariable.set(socketPath);
    expectPlainRun();
    server.join();
    close(listener);
  }
}

TEST_F(LogoRendererTest, StoppingEndsDrawingsStillRunning) {
  const std::string fifo = root.path() + "never-written";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  putStandInFirst();
  std::optional<LogoRenderer> renderer(std::in_place);
  ASSERT_TRUE(renderer->running());
  const std::string socketFolder = fs::path(renderer->socketPath()).parent_path().string();
  EXPECT_EQ(fs::status(socketFolder).permissions(), fs::perms::owner_all);
  EXPECT_STREQ(std::getenv(kLogoSocketVariable), renderer->socketPath().c_str());

  // The drawing waits for ever on its input file; the wrapper waits for the drawing.
  std::thread wrapper([&] {
    runShell(shellWord(root.path() + "weblogo-3.4/weblogo") + " --fin " + shellWord(fifo) +
             " < /dev/null > " + shellWord(root.path() + "out.jpeg"));
  });
  // A writer's open without waiting succeeds only once the drawing has the file open for reading;
  // held open, it keeps the drawing waiting for its input.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  int writer = -1;
  while (writer < 0 && std::chrono::steady_clock::now() < deadline) {
    writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer < 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_GE(writer, 0) << "the drawing never opened its input";
  EXPECT_GE(rendererProcesses().size(), 2u);

  renderer.reset();
  wrapper.join();
  if (writer >= 0) close(writer);
  expectNothingLeft();
  EXPECT_EQ(readFile(root.path() + "out.jpeg"), "PLAIN\n");  // the wrapper then ran the command itself
}

}  // namespace
}  // namespace korvelan
