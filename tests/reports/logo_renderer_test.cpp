#include "reports/logo_renderer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <omp.h>
#include <poll.h>
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

// A live process of this test's renderer: the renderer, its copies and drawings (korvelan-draw), its
// converters and their pages (korvelan-gs).
struct OwnProcess {
  pid_t pid;
  std::string name;
};

// The compiled client the build puts beside the test programs, and the Python one.
struct Client {
  const char* what;
  std::string program;  // the compiled client's path, or empty for logo_client.py
};
std::vector<Client> clients() {
  return {{"compiled client", fs::path(KORVELAN_BINARY).parent_path() / kLogoClientProgram},
          {"logo_client.py", ""}};
}

// A writer's end of a fifo, opened once a drawing has the fifo open for reading (an open without
// waiting succeeds only then), or -1 after 30 s; held open, it keeps the drawing waiting for its input.
int writerOnceRead(const std::string& fifo) {
  int writer = -1;
  testing::eventually([&] { return (writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) >= 0; },
                      30);
  return writer;
}

// True once a socket listens at the path.
bool listening(const std::string& path) {
  for (const std::string& line : testing::splitLines(readFile("/proc/net/unix"))) {
    const auto at = line.rfind(' ');
    // Flags 00010000: accepting connections.
    if (at != std::string::npos && line.substr(at + 1) == path &&
        line.find(" 00010000 ") != std::string::npos)
      return true;
  }
  return false;
}

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
    for (const ScopedVariable* variable : {&socketVariable, &waitsVariable, &clientVariable})
      variable->unset();
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
  // Every socket of a renderer lies in the test's own temporary folder, and each of the renderer's
  // processes names one on its command line (a forked one shows its parent's).
  std::vector<OwnProcess> ownProcesses() const {
    std::vector<OwnProcess> found;
    for (const auto& entry : fs::directory_iterator("/proc")) {
      const std::string name = entry.path().filename().string();
      if (name.find_first_not_of("0123456789") != std::string::npos) continue;
      if (readFile(entry.path().string() + "/cmdline").find(temp.path()) == std::string::npos) continue;
      std::string comm = readFile(entry.path().string() + "/comm");
      if (!comm.empty() && comm.back() == '\n') comm.pop_back();
      found.push_back({std::stoi(name), comm});
    }
    return found;
  }
  std::size_t ownProcesses(const std::string& name) const {
    std::size_t count = 0;
    for (const OwnProcess& process : ownProcesses()) count += process.name == name ? 1 : 0;
    return count;
  }
  // Whether a converter of this test's renderer was seen while `work` ran.
  template <class Work>
  bool converterSeenDuring(Work&& work) const {
    std::atomic<bool> seen{false};
    {
      const std::jthread watch([&](std::stop_token stop) {
        while (!stop.stop_requested() && !seen.load()) {
          if (ownProcesses("korvelan-gs") > 0) seen.store(true);
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
      });
      work();
    }
    return seen.load();
  }
  std::size_t converters(const LogoRenderer& renderer) const {
    std::size_t count = 0;
    for (const std::string& name : listDir(fs::path(renderer.socketPath()).parent_path().string() + "/"))
      count += name.starts_with("gs-") ? 1 : 0;
    return count;
  }
  std::string converterSocket(const LogoRenderer& renderer) const {
    const std::string folder = fs::path(renderer.socketPath()).parent_path().string() + "/";
    for (const std::string& name : listDir(folder))
      if (name.starts_with("gs-")) return folder + name;
    return "";
  }
  // No renderer, converter, socket or socket folder is left (nor, given the renderer's process group,
  // any process of that group), and the batch's variables are no longer named to children.
  void expectNothingLeft(pid_t group = -1) const {
    EXPECT_TRUE(testing::eventually([&] { return ownProcesses().empty(); }, 10));
    if (group > 0) {
      EXPECT_TRUE(testing::eventually([&] { return kill(-group, 0) != 0; }, 10)) << group;
    }
    EXPECT_TRUE(listDir(temp.path()).empty());
    for (const char* name : kLogoBatchVariables) EXPECT_EQ(std::getenv(name), nullptr) << name;
  }
  // The batch's variables as a renderer names them, for the renderer at `socketPath`.
  void nameRenderer(const std::string& socketPath, const Client& client) const {
    socketVariable.set(socketPath);
    waitsVariable.set(logoWaits(logoTimeLimit));
    if (client.program.empty())
      clientVariable.unset();
    else
      clientVariable.set(client.program);
  }

  TempDir root;
  TempDir standIn;
  TempDir temp;
  ScopedVariable path{"PATH"};
  ScopedVariable tmpdir{"TMPDIR"};
  ScopedVariable rendererSwitch{kLogoRendererSwitch};
  ScopedVariable socketVariable{kLogoSocketVariable};
  ScopedVariable waitsVariable{kLogoWaitsVariable};
  ScopedVariable clientVariable{kLogoClientVariable};
  int savedThreads = omp_get_max_threads();
};

TEST_F(LogoRendererTest, RendererDrawsTheSameImagesAsThePlainCommand) {
  omp_set_num_threads(4);
  // Motifs 1, 2 and 5 have one length, so one converter converts several of their pages.
  Datasets = {
      motif(1, {{0.9, 0.05, 0.03, 0.02}, {0.1, 0.1, 0.7, 0.1}, {0, 0, 0, 1}, {0.25, 0.25, 0.25, 0.25}}),
      motif(2, {{0.001, 0.997, 0.001, 0.001}, {0.5, 0, 0.5, 0}, {0.2, 0.3, 0.4, 0.1}, {1, 0, 0, 0}}),
      motif(3, {{0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0.02, 0.96, 0.02}, {0.4, 0.1, 0.1, 0.4}, {0, 0, 0, 1}}),
      motif(4, {}),  // the command fails on it: no image either way
      motif(5, {{0.3, 0.2, 0.2, 0.3}, {0, 0, 0, 1}, {1, 0, 0, 0}, {0.1, 0.7, 0.1, 0.1}}),
  };
  rendererSwitch.set("off");
  writeMotif();
  const std::map<std::string, std::string> plain = images();
  ASSERT_EQ(plain.size(), 8u);
  EXPECT_EQ(plain.count(kJob + "M4.jpeg"), 0u);
  EXPECT_EQ(plain.at(kJob + "M1RevComp.jpeg").substr(0, 2), "\xFF\xD8");
  EXPECT_NE(plain.at(kJob + "M1.jpeg"), plain.at(kJob + "M1RevComp.jpeg"));

  putStandInFirst();
  // Without the Ghostscript layer, the whole renderer through logo_client.py, and through the compiled
  // client (the switch unset).
  for (const std::string mode : {kLogoRendererWithoutGhostscript, kLogoRendererPythonClient, ""}) {
    SCOPED_TRACE(mode.empty() ? "whole renderer" : mode);
    fs::remove_all(logoFolder());
    if (mode.empty())
      rendererSwitch.unset();
    else
      rendererSwitch.set(mode);
    // The layer converts unless it is switched off: a layer that failed to load would leave the
    // conversions to the command unseen, with the same images.
    EXPECT_EQ(converterSeenDuring([&] { writeMotif(); }), mode != kLogoRendererWithoutGhostscript);
    EXPECT_EQ(images(), plain);
    EXPECT_FALSE(testing::fileExists(standIn.path() + "call"));  // no command ran on its own
    expectNothingLeft();
  }
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

// Answers of a renderer or converter that cannot answer: each leaves the image to the command.
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

// A stand-in renderer or converter listening at a path: reads each request to its end, writes the
// same answer, closes.
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

class LogoFallbackTest : public LogoRendererTest {
 protected:
  void SetUp() override {
    LogoRendererTest::SetUp();
    if (IsSkipped()) return;
    writeFile(input, "PO A C G T \n1 0.5 0 0.5 0 \n2 0 0.9 0.05 0.05 \n3 0.25 0.25 0.25 0.25 \n");
    EXPECT_TRUE(runShell(logoCommand(input, image, true)).succeeded());
    plain = readFile(image);
    ASSERT_EQ(plain.substr(0, 2), "\xFF\xD8");
  }
  // Draws the logo through the wrapper again: it must be the plain command's image.
  void expectThePlainImage() const {
    fs::remove(image);
    EXPECT_TRUE(runShell(logoCommand(input, image, true), logoTimeLimit).succeeded());
    EXPECT_EQ(readFile(image), plain);
  }

  const std::string input = root.path() + "in.txt";
  const std::string image = root.path() + "out.jpeg";
  std::string plain;
};

TEST_F(LogoFallbackTest, WrapperDrawsThePlainImageWhenTheRendererCannotAnswer) {
  for (const Client& client : clients()) {
    SCOPED_TRACE(client.what);
    {
      SCOPED_TRACE("renderer killed with its converter, its socket left behind");
      const LogoRenderer renderer;
      ASSERT_TRUE(renderer.running());
      nameRenderer(renderer.socketPath(), client);
      expectThePlainImage();  // starts the converter
      ASSERT_TRUE(testing::eventually([&] { return ownProcesses("korvelan-gs") == 1; }, 30));
      for (const OwnProcess& process : ownProcesses()) kill(process.pid, SIGKILL);
      ASSERT_TRUE(fs::exists(renderer.socketPath()));
      expectThePlainImage();
    }
    expectNothingLeft();
    {
      SCOPED_TRACE("no socket");
      nameRenderer(temp.path() + "gone/socket", client);
      expectThePlainImage();
    }
    for (const BadAnswer& bad : kBadAnswers) {
      SCOPED_TRACE(bad.what);
      const std::string socketPath = temp.path() + "stand-in";
      {
        const StandInServer renderer(socketPath, bad.bytes);
        nameRenderer(socketPath, client);
        expectThePlainImage();
        EXPECT_EQ(renderer.asked(), 1);
      }
      fs::remove(socketPath);
    }
    for (const char* name : kLogoBatchVariables) unsetenv(name);
  }
}

TEST_F(LogoFallbackTest, PythonClientTakesOverFromACompiledClientThatDoesNotStart) {
  const std::string broken = root.path() + "broken-client";
  writeFile(broken, "#!/nonexistent/interpreter\n");
  chmod(broken.c_str(), 0755);
  const LogoRenderer renderer;
  ASSERT_TRUE(renderer.running());
  putStandInFirst();  // the plain command would draw "PLAIN"
  nameRenderer(renderer.socketPath(), {"broken", broken});
  expectThePlainImage();
  EXPECT_FALSE(testing::fileExists(standIn.path() + "call"));
}

TEST_F(LogoFallbackTest, RendererConvertsWithTheCommandWhenItsConverterCannotAnswer) {
  pid_t group = -1;
  {
    const LogoRenderer renderer;
    ASSERT_TRUE(renderer.running());
    group = renderer.processGroup();
    expectThePlainImage();  // starts the converter of this command line, which converts the page
    const std::string converter = converterSocket(renderer);
    ASSERT_FALSE(converter.empty());
    EXPECT_TRUE(listening(converter));
    // The converter alone, once the page's own process, which answered already, has ended.
    EXPECT_TRUE(testing::eventually([&] { return ownProcesses("korvelan-gs") == 1; }, 10));
    expectThePlainImage();
    {
      SCOPED_TRACE("converter killed, its socket left behind");
      for (const OwnProcess& process : ownProcesses())
        if (process.name == "korvelan-gs") kill(process.pid, SIGKILL);
      ASSERT_TRUE(testing::eventually([&] { return ownProcesses("korvelan-gs") == 0; }, 10));
      expectThePlainImage();
    }
    {
      SCOPED_TRACE("converter that does not start: its socket closes while the page waits there");
      fs::remove(converter);
      const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      converter.copy(address.sun_path, sizeof address.sun_path - 1);
      ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
      ASSERT_EQ(listen(listener, 16), 0);
      std::thread drawing([&] { expectThePlainImage(); });
      pollfd waiting{listener, POLLIN, 0};
      EXPECT_EQ(poll(&waiting, 1, 30'000), 1);  // the page is in the queue
      close(listener);
      drawing.join();
    }
    for (const BadAnswer& bad : kBadAnswers) {
      SCOPED_TRACE(bad.what);
      fs::remove(converter);
      const StandInServer standIn(converter, bad.bytes);
      expectThePlainImage();
      EXPECT_EQ(standIn.asked(), 1);
    }
  }
  expectNothingLeft(group);
}

// A batch runs at most 16 converters at once (each holds some 10 MB), and the pages of more command
// lines are converted by the command; a converter that has had no page for a third of the page wait
// ends. Timed here by the logo time limit: with 600 s, no converter ends while the test draws.
TEST_F(LogoFallbackTest, ConvertersAreFewAndEndWhenIdle) {
  logoTimeLimit = 600;
  {
    const LogoRenderer renderer;
    ASSERT_TRUE(renderer.running());
    // Motifs of 17 lengths: 17 conversion command lines.
    std::atomic<int> next{1};
    std::vector<std::thread> drawings;
    for (int t = 0; t < 8; ++t)
      drawings.emplace_back([&] {
        for (int length; (length = next++) <= 17;) {
          const std::string base = root.path() + "length" + std::to_string(length);
          std::string rows = "PO A C G T \n";
          for (int row = 1; row <= length; ++row) rows += std::to_string(row) + " 0.7 0.1 0.1 0.1 \n";
          writeFile(base + ".txt", rows);
          EXPECT_TRUE(runShell(logoCommand(base + ".txt", base + ".jpeg", false), logoTimeLimit).succeeded());
          EXPECT_EQ(readFile(base + ".jpeg").substr(0, 2), "\xFF\xD8") << length;
        }
      });
    for (std::thread& drawing : drawings) drawing.join();
    EXPECT_EQ(converters(renderer), 16u);
    EXPECT_TRUE(testing::eventually([&] { return ownProcesses("korvelan-gs") == 16; }, 10));  // pages gone
  }
  expectNothingLeft();

  logoTimeLimit = 12;  // a page wait of 3 s: a converter ends after 1 s without pages
  const LogoRenderer renderer;
  ASSERT_TRUE(renderer.running());
  expectThePlainImage();
  EXPECT_EQ(converters(renderer), 1u);
  EXPECT_TRUE(
      testing::eventually([&] { return converters(renderer) == 0 && ownProcesses("korvelan-gs") == 0; }, 30));
  expectThePlainImage();  // a converter again
  EXPECT_EQ(converters(renderer), 1u);
}

// A renderer stopped by the program, or its process group killed as an interrupt of the run kills it,
// leaves nothing: not its copies, a drawing still running, its converters or their pages.
TEST_F(LogoFallbackTest, NothingOutlivesTheRendererWhenItIsStoppedOrKilled) {
  const std::string fifo = root.path() + "never-written";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const bool killed : {false, true}) {
    SCOPED_TRACE(killed ? "group killed" : "stopped");
    std::optional<LogoRenderer> renderer(std::in_place);
    ASSERT_TRUE(renderer->running());
    const pid_t group = renderer->processGroup();
    const std::string socketFolder = fs::path(renderer->socketPath()).parent_path().string();
    EXPECT_EQ(fs::status(socketFolder).permissions(), fs::perms::owner_all);
    EXPECT_STREQ(std::getenv(kLogoSocketVariable), renderer->socketPath().c_str());
    EXPECT_STREQ(std::getenv(kLogoWaitsVariable), logoWaits(logoTimeLimit).c_str());
    expectThePlainImage();
    ASSERT_TRUE(testing::eventually([&] { return listening(converterSocket(*renderer)); }, 30));

    // The drawing waits for ever on its input file; the wrapper waits for the drawing.
    putStandInFirst();
    std::thread wrapper([&] {
      runShell(shellWord(root.path() + "weblogo-3.4/weblogo") + " --fin " + shellWord(fifo) +
               " < /dev/null > " + shellWord(root.path() + "hanging.jpeg"));
    });
    const int writer = writerOnceRead(fifo);
    EXPECT_GE(writer, 0) << "the drawing never opened its input";
    EXPECT_EQ(ownProcesses("korvelan-draw"), 1u);
    EXPECT_TRUE(testing::eventually([&] { return ownProcesses("korvelan-gs") == 1; }, 10));  // pages gone

    if (killed) {
      kill(-group, SIGKILL);
      EXPECT_TRUE(testing::eventually([&] { return ownProcesses().empty(); }, 10));
    }
    renderer.reset();
    wrapper.join();
    if (writer >= 0) close(writer);
    expectNothingLeft(group);
    EXPECT_EQ(readFile(root.path() + "hanging.jpeg"), "PLAIN\n");  // the wrapper then ran the command itself
    path.set(path.saved());
  }
}

// The program hands its logo time limit to the renderer and the clients: a drawing that does not end
// is given up in time for the command to run on its own inside the limit, and the renderer stops it.
TEST_F(LogoRendererTest, DrawingThatHangsIsGivenUpInsideTheTimeLimit) {
  const std::string fifo = root.path() + "never-written";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  logoTimeLimit = 6;
  putStandInFirst();
  const LogoRenderer renderer;
  ASSERT_TRUE(renderer.running());
  for (const Client& client : clients()) {
    SCOPED_TRACE(client.what);
    nameRenderer(renderer.socketPath(), client);
    const std::string image = root.path() + "out.jpeg";
    fs::remove(image);
    // The drawing waits for its input until the image is written.
    std::thread holder([&] {
      const int writer = writerOnceRead(fifo);
      testing::eventually([&] { return !readFile(image).empty(); }, 30);
      if (writer >= 0) close(writer);
    });
    const ShellResult drawn = runShell(shellWord(root.path() + "weblogo-3.4/weblogo") + " --fin " +
                                           shellWord(fifo) + " < /dev/null > " + shellWord(image),
                                       logoTimeLimit);
    holder.join();
    EXPECT_TRUE(drawn.succeeded());
    EXPECT_EQ(readFile(image), "PLAIN\n");
    EXPECT_TRUE(testing::eventually([&] { return ownProcesses("korvelan-draw") == 0; }, 10));
  }
}

// A renderer that does not start leaves nothing of what it started.
TEST_F(LogoRendererTest, FailedStartLeavesNothing) {
  const std::string script = root.path() + "weblogo-3.4/renderer.py";
  fs::remove(script);
  writeFile(script, "#!/bin/sh\nsleep 300 > /dev/null &\necho $! > '" + root.path() + "started'\nexit 3\n");
  chmod(script.c_str(), 0755);
  EXPECT_FALSE(LogoRenderer().running());
  const std::string started = readFile(root.path() + "started");
  ASSERT_FALSE(started.empty());
  EXPECT_TRUE(testing::eventually([&] { return testing::processGone(std::stoi(started)); }, 10));
  expectNothingLeft();
}

// A tool root whose renderer is the stand-in script given to useRenderer.
class StandInRenderer : public ::testing::Test {
 protected:
  void SetUp() override {
    tmpdir.set(root.path());
    rendererSwitch.unset();
    resetGlobals();
    inputPath = root.path() + "motifs/";
  }
  void TearDown() override { resetGlobals(); }
  void useRenderer(const std::string& script) const {
    writeFile(root.path() + "weblogo-3.4/renderer.py", script);
    chmod((root.path() + "weblogo-3.4/renderer.py").c_str(), 0755);
  }

  TempDir root;
  ScopedVariable tmpdir{"TMPDIR"};
  ScopedVariable rendererSwitch{kLogoRendererSwitch};
};

// The renderer reads only its lifeline and never writes to the terminal: its error stream is a file
// of its own, copied to the program's once it has ended.
TEST_F(StandInRenderer, RendererMessagesComeThroughTheProgramsErrorStream) {
  useRenderer("#!/bin/sh\nreadlink /proc/$$/fd/0 /proc/$$/fd/2 > '" + root.path() +
              "streams'\necho renderer-message >&2\necho ready\nexec cat > /dev/null\n");
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
}

// The renderer dies with the program, even when the program is killed with SIGKILL (one that does not
// end when its lifeline closes, too).
TEST_F(StandInRenderer, RendererDiesWithTheProgram) {
  const std::string pidFile = root.path() + "pid";
  useRenderer("#!/bin/sh\necho $$ > '" + pidFile + ".part'\nmv '" + pidFile + ".part' '" + pidFile +
              "'\necho ready\nexec sleep 60 < /dev/null > /dev/null\n");
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
}

}  // namespace
}  // namespace korvelan
