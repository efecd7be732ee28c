#include "reports/logo_renderer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <omp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
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

// A tool root linking to the real wrapper, renderer and client of the source tree, and a private
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
    for (const auto& entry : fs::directory_iterator(testing::sourceDir() + "/run/weblogo-3.4"))
      fs::create_symlink(entry.path(), root.path() + "weblogo-3.4/" + entry.path().filename().string());
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
      motif(4, {}),  // the command fails on it: no image either way
  };
  rendererSwitch.set("off");
  writeMotif();
  const std::map<std::string, std::string> plain = images();
  ASSERT_EQ(plain.size(), 6u);
  EXPECT_EQ(plain.count(kJob + "M4.jpeg"), 0u);
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

// Fields as the renderer's messages carry them: each an 8-byte big-endian length, then its bytes.
std::string packed(const std::vector<std::string>& items) {
  std::string out;
  for (const std::string& item : items) {
    for (int shift = 56; shift >= 0; shift -= 8) out += static_cast<char>((item.size() >> shift) & 0xFF);
    out += item;
  }
  return out;
}

// Answers of a renderer that cannot draw: each leaves the image to the command.
struct BadAnswer {
  const char* what;
  std::string bytes;
};
const std::vector<BadAnswer> kBadAnswers = {
    {"closes without answering", ""},
    {"dies halfway through its answer", packed({"0", std::string(4096, 'x')}).substr(0, 100)},
    {"refuses", packed({"-1", "", ""})},
    {"answers garbage", "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFFno message"},
    {"answers two fields", packed({"0", "\xFF\xD8"})},
};

// A stand-in listening at a path: reads each request to its end, writes the same answer, closes.
class StandInServer {
 public:
  StandInServer(const std::string& path, std::string answer) : answer_(std::move(answer)) {
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    EXPECT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
    EXPECT_EQ(listen(listener_, 16), 0);
    thread_ = std::thread([this] {
      for (int conn; (conn = accept(listener_, nullptr, nullptr)) >= 0; close(conn)) {
        ++asked_;
        char buffer[4096];
        while (read(conn, buffer, sizeof buffer) > 0) {
        }
        if (!answer_.empty()) {
          EXPECT_GT(send(conn, answer_.data(), answer_.size(), MSG_NOSIGNAL), 0);
        }
      }
    });
  }
  ~StandInServer() {
    shutdown(listener_, SHUT_RDWR);  // ends the waiting accept
    thread_.join();
    close(listener_);
  }
  int asked() const { return asked_; }

 private:
  std::string answer_;
  int listener_ = -1;
  std::atomic<int> asked_{0};
  std::thread thread_;
};

TEST_F(LogoRendererTest, WrapperDrawsThePlainImageWhenTheRendererCannotAnswer) {
  const std::string input = root.path() + "in.txt";
  const std::string image = root.path() + "out.jpeg";
  writeFile(input, "PO A C G T \n1 0.5 0 0.5 0 \n2 0 0.9 0.05 0.05 \n3 0.25 0.25 0.25 0.25 \n");
  EXPECT_TRUE(runShell(logoCommand(input, image, true)).succeeded());
  const std::string plain = readFile(image);
  ASSERT_EQ(plain.substr(0, 2), "\xFF\xD8");
  auto expectThePlainImage = [&] {
    fs::remove(image);
    EXPECT_TRUE(runShell(logoCommand(input, image, true)).succeeded());
    EXPECT_EQ(readFile(image), plain);
  };

  {
    SCOPED_TRACE("renderer killed, its socket left behind");
    const LogoRenderer renderer;
    ASSERT_TRUE(renderer.running());
    for (pid_t pid : rendererProcesses()) kill(pid, SIGKILL);
    ASSERT_TRUE(fs::exists(renderer.socketPath()));
    expectThePlainImage();
  }
  expectNothingLeft();
  {
    SCOPED_TRACE("no socket");
    socketVariable.set(temp.path() + "gone/socket");
    expectThePlainImage();
  }
  for (const BadAnswer& bad : kBadAnswers) {
    SCOPED_TRACE(bad.what);
    const std::string socketPath = temp.path() + "stand-in";
    {
      const StandInServer renderer(socketPath, bad.bytes);
      socketVariable.set(socketPath);
      expectThePlainImage();
      EXPECT_EQ(renderer.asked(), 1);
    }
    fs::remove(socketPath);
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

// The renderer reads only its lifeline and never writes to the terminal: its error stream is a file
// of its own, copied to the program's once it has ended.
TEST(LogoRendererStreams, RendererMessagesComeThroughTheProgramsErrorStream) {
  TempDir root;
  ScopedVariable tmpdir{"TMPDIR"};
  ScopedVariable rendererSwitch{kLogoRendererSwitch};
  tmpdir.set(root.path());
  rendererSwitch.unset();
  resetGlobals();
  inputPath = root.path() + "motifs/";
  writeFile(root.path() + "weblogo-3.4/renderer.py",
            "#!/bin/sh\nreadlink /proc/$$/fd/0 /proc/$$/fd/2 > '" + root.path() +
                "streams'\necho renderer-message >&2\necho ready\nexec cat > /dev/null\n");
  chmod((root.path() + "weblogo-3.4/renderer.py").c_str(), 0755);
  ::testing::internal::CaptureStderr();
  const std::string ownErrors = fs::read_symlink("/proc/self/fd/2").string();
  {
    const LogoRenderer renderer;
    EXPECT_TRUE(renderer.running());
  }
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "renderer-message\n");
  const std::vector<std::string> streams = testing::splitLines(readFile(root.path() + "streams"));
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_EQ(streams[0].rfind("pipe:", 0), 0u) << streams[0];
  EXPECT_NE(streams[1], ownErrors);
  resetGlobals();
}

// The renderer dies with the program, even when the program is killed with SIGKILL (one that does not
// end when its lifeline closes, too).
TEST(LogoRendererStreams, RendererDiesWithTheProgram) {
  TempDir root;
  ScopedVariable tmpdir{"TMPDIR"};
  ScopedVariable rendererSwitch{kLogoRendererSwitch};
  tmpdir.set(root.path());
  rendererSwitch.unset();
  resetGlobals();
  inputPath = root.path() + "motifs/";
  const std::string pidFile = root.path() + "pid";
  writeFile(root.path() + "weblogo-3.4/renderer.py",
            "#!/bin/sh\necho $$ > '" + pidFile + ".part'\nmv '" + pidFile + ".part' '" + pidFile +
                "'\necho ready\nexec sleep 60 < /dev/null > /dev/null\n");
  chmod((root.path() + "weblogo-3.4/renderer.py").c_str(), 0755);
  const pid_t program = fork();
  ASSERT_GE(program, 0);
  if (program == 0) {
    const LogoRenderer renderer;
    pause();
    _exit(0);
  }
  ASSERT_TRUE(testing::eventually([&] { return !readFile(pidFile).empty(); }));
  const pid_t renderer = std::stoi(readFile(pidFile));
  kill(program, SIGKILL);
  waitpid(program, nullptr, 0);
  EXPECT_TRUE(testing::eventually([&] { return testing::processGone(renderer); }, 10));
  kill(renderer, SIGKILL);
  resetGlobals();
}

}  // namespace
}  // namespace korvelan
