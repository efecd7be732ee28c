// The renderer runs as a child in a process group of its own, its standard input a pipe only this
// process writes to: closing that pipe (or this process dying) ends it, and the group is killed
// afterwards so that no drawing it started outlives the batch. It reports that it listens by one
// line on its standard output, another pipe, which it then closes.
#include "reports/logo_renderer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/globals.h"
#include "core/interrupts.h"
#include "core/shell.h"
#include "core/utilities.h"

namespace korvelan {

namespace {

// The renderer says it is ready once it listens, before it loads the logo library (drawings asked for
// meanwhile wait on its socket): starting takes well under a second even on a busy machine.
constexpr int kStartMilliseconds = 5000;
// The renderer ends within milliseconds of its input closing; past this it is killed.
constexpr int kStopMilliseconds = 2000;

// Waits until the renderer writes its ready line, ends, or the deadline passes.
bool awaitReady(int fd) {
  const timespec deadline = deadlineAfter(kStartMilliseconds);
  std::string line;
  while (line.size() < 6) {
    pollfd entry{fd, POLLIN, 0};
    const int polled = poll(&entry, 1, static_cast<int>(millisecondsUntil(deadline)));
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) return false;
    char buffer[8];
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    line.append(buffer, static_cast<std::size_t>(got));
  }
  return line == "ready\n";
}

std::string rendererSwitch() {
  const char* value = std::getenv(kLogoRendererSwitch);
  return value != nullptr ? value : "";
}

// The compiled client beside the running program, or "" when it is not built there.
std::string compiledClient() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "";
  const std::string client = (program.parent_path() / kLogoClientProgram).string();
  return access(client.c_str(), X_OK) == 0 ? client : "";
}

}  // namespace

std::string logoWaits(int limitSeconds) {
  if (limitSeconds <= 0) return "";
  const long long limitMs = 1000LL * limitSeconds;
  return std::to_string(limitMs * 2 / 3) + " " + std::to_string(limitMs / 4);
}

LogoRenderer::LogoRenderer(bool wanted) {
  for (std::size_t i = 0; i < kLogoBatchVariables.size(); ++i)
    if (const char* value = std::getenv(kLogoBatchVariables[i])) savedVariables_[i] = value;
  // During the batch they name this renderer's socket, waits and client, or none.
  for (const char* name : kLogoBatchVariables) unsetenv(name);
  const std::string waits = logoWaits(logoTimeLimit);
  if (!waits.empty()) setenv(kLogoWaitsVariable, waits.c_str(), 1);
  if (wanted && !waits.empty() && start()) {
    setenv(kLogoSocketVariable, socket_.c_str(), 1);
    const std::string client = rendererSwitch() == kLogoRendererPythonClient ? "" : compiledClient();
    if (!client.empty()) setenv(kLogoClientVariable, client.c_str(), 1);
  } else {
    stop();
  }
}

bool LogoRenderer::start() {
  if (rendererSwitch() == "off") return false;
  std::string script = toolRoot(inputPath) + "weblogo-3.4/renderer.py";
  if (access(script.c_str(), X_OK) != 0) return false;
  // In the temporary folder when the socket's path fits there.
  folder_ = makePrivateFolder("korvelan-logos-", sizeof(sockaddr_un::sun_path) - sizeof("/socket"));
  if (folder_.empty()) return false;
  socket_ = folder_ + "/socket";

  int lifeline[2];
  int ready[2];
  if (pipe2(lifeline, O_CLOEXEC) != 0) return false;
  if (pipe2(ready, O_CLOEXEC) != 0) {
    close(lifeline[0]);
    close(lifeline[1]);
    return false;
  }
  // Its error stream goes to a file of its folder, copied to the program's once it has ended.
  const int errors =
      open((folder_ + "/errors").c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  char* argv[] = {script.data(), socket_.data(), nullptr};
  const pid_t pid = errors < 0 ? -1 : spawnHelper(script.c_str(), argv, lifeline[0], ready[1], errors);
  if (errors >= 0) close(errors);
  close(lifeline[0]);
  close(ready[1]);
  lifeline_ = lifeline[1];
  if (pid > 0) {
    pid_ = pid;
    groupSlot_ = registerHelperGroup(pid);  // an interrupt of the run kills it and its drawings
  }
  const bool listening = pid > 0 && awaitReady(ready[0]);
  close(ready[0]);
  return listening;
}

LogoRenderer::~LogoRenderer() {
  stop();
  for (std::size_t i = 0; i < kLogoBatchVariables.size(); ++i)
    if (savedVariables_[i])
      setenv(kLogoBatchVariables[i], savedVariables_[i]->c_str(), 1);
    else
      unsetenv(kLogoBatchVariables[i]);
}

void LogoRenderer::stop() {
  unsetenv(kLogoSocketVariable);
  if (lifeline_ >= 0) close(lifeline_);
  lifeline_ = -1;
  if (pid_ > 0) {
    // A little while to end by itself; then it and whatever it left go.
    awaitHelperEnd(pid_, kStopMilliseconds);
    endHelper(pid_, groupSlot_);
    groupSlot_ = -1;
    pid_ = -1;
  }
  if (!folder_.empty()) {
    copyFileToErrorStream(folder_ + "/errors");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    folder_.clear();
  }
  socket_.clear();
}

}  // namespace korvelan
