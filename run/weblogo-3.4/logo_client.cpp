// korvelan-logo-client PROGRAM [ARGUMENT...]: logo_client.py's work without an interpreter's start,
// which is most of what handing a logo command line to the resident renderer costs. The wrapper runs
// it when the program names it (KORVELAN_LOGO_CLIENT, set while a batch of logos is drawn, like the
// renderer's socket), else logo_client.py; both say the same and fall back the same way: the
// renderer's reply is taken only when it is complete (status, then standard output, then error
// output); without a socket or a reply wait, with a terminal as input, or with a renderer that
// refuses, fails or dies before its reply is complete, PROGRAM runs here on the same input.
//
// Messages (logo_wire.py): fields of an 8-byte big-endian length and that many bytes; the request is
// the working folder, the file mask (octal), standard input, the argument count, the arguments and
// one NAME=VALUE field per environment entry, ended by shutting down the sending side.
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/write_all.h"
#include "reports/logo_renderer.h"  // the batch's variable names

extern char** environ;

namespace korvelan {
namespace {

using Clock = std::chrono::steady_clock;

bool readAll(int fd, std::string& out) {
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) {
      out.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0) {
      return true;
    } else if (errno != EINTR) {
      return false;
    }
  }
}

void addField(std::string& message, std::string_view item) {
  for (int shift = 56; shift >= 0; shift -= 8)
    message += static_cast<char>((static_cast<std::uint64_t>(item.size()) >> shift) & 0xFF);
  message.append(item);
}

// The fields of a message; none when it breaks off inside one.
std::optional<std::vector<std::string_view>> fields(std::string_view blob) {
  std::vector<std::string_view> out;
  while (!blob.empty()) {
    if (blob.size() < 8) return std::nullopt;
    std::uint64_t size = 0;
    for (int i = 0; i < 8; ++i) size = (size << 8) | static_cast<unsigned char>(blob[i]);
    blob.remove_prefix(8);
    if (size > blob.size()) return std::nullopt;
    out.push_back(blob.substr(0, size));
    blob.remove_prefix(size);
  }
  return out;
}

// The reply wait in milliseconds, the first of the two waits the variable names ("REPLY PAGE");
// none unless both are whole numbers above 0.
std::optional<int> replyMilliseconds() {
  const char* text = std::getenv(kLogoWaitsVariable);
  if (text == nullptr) return std::nullopt;
  long waits[2] = {0, 0};
  for (long& wait : waits) {
    if (*text < '0' || *text > '9') return std::nullopt;
    char* end = nullptr;
    errno = 0;
    wait = std::strtol(text, &end, 10);
    if (errno != 0 || wait <= 0 || wait > 86'400'000) return std::nullopt;
    text = end;
    if (&wait == &waits[0] && *text++ != ' ') return std::nullopt;
  }
  if (*text != '\0') return std::nullopt;
  return static_cast<int>(waits[0]);
}

struct Answer {
  int status;
  std::string out;
  std::string err;
};

// Sends the request and takes the whole reply before the deadline; none when there is no complete one.
std::optional<Answer> askRenderer(const std::string& path, const std::string& request, int waitMs) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return std::nullopt;
  path.copy(address.sun_path, path.size());
  const int conn = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (conn < 0) return std::nullopt;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(waitMs);
  auto wait = [&](short events) {
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return false;
      pollfd entry{conn, events, 0};
      const int polled = poll(&entry, 1, static_cast<int>(left));
      if (polled > 0) return true;
      if (polled == 0 || errno != EINTR) return false;
    }
  };
  std::string reply;
  bool complete = false;
  // Connecting waits only while the renderer's queue is full, at most the whole wait; sending and
  // receiving wait until the deadline.
  const timeval connectWait{waitMs / 1000, (waitMs % 1000) * 1000};
  setsockopt(conn, SOL_SOCKET, SO_SNDTIMEO, &connectWait, sizeof connectWait);
  if (connect(conn, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
    std::string_view rest = request;
    bool sent = true;
    while (sent && !rest.empty()) {
      const ssize_t put = send(conn, rest.data(), rest.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
      if (put > 0)
        rest.remove_prefix(static_cast<std::size_t>(put));
      else if (put < 0 && errno == EAGAIN)
        sent = wait(POLLOUT);
      else
        sent = put < 0 && errno == EINTR;
    }
    if (sent && shutdown(conn, SHUT_WR) == 0) {
      char buffer[1 << 16];
      while (!complete) {
        const ssize_t got = recv(conn, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got > 0)
          reply.append(buffer, static_cast<std::size_t>(got));
        else if (got == 0)
          complete = true;
        else if (!(errno == EINTR || (errno == EAGAIN && wait(POLLIN))))
          break;
      }
    }
  }
  close(conn);
  if (!complete) return std::nullopt;
  const auto items = fields(reply);
  if (!items || items->size() != 3) return std::nullopt;
  // A decimal status; a negative one says the renderer refuses, and the command runs here.
  const std::string_view status = (*items)[0];
  if (status.empty() || status.size() > 9 || status.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  return Answer{std::atoi(std::string(status).c_str()), std::string((*items)[1]), std::string((*items)[2])};
}

std::string request(const std::string& stdinBytes, int argc, char** argv) {
  std::string message;
  std::string cwd(4096, '\0');
  while (getcwd(cwd.data(), cwd.size()) == nullptr) {
    if (errno != ERANGE) return "";
    cwd.resize(cwd.size() * 2);
  }
  cwd.resize(std::strlen(cwd.c_str()));
  const mode_t mask = umask(0);
  umask(mask);
  char octal[16];
  std::snprintf(octal, sizeof octal, "%o", static_cast<unsigned>(mask));
  addField(message, cwd);
  addField(message, octal);
  addField(message, stdinBytes);
  addField(message, std::to_string(argc));
  for (int i = 0; i < argc; ++i) addField(message, argv[i]);
  for (char** entry = environ; *entry != nullptr; ++entry) addField(message, *entry);
  return message;
}

int run(int argc, char** argv) {
  if (argc < 2) {
    writeAll(2, "usage: korvelan-logo-client PROGRAM [ARGUMENT...]\n");
    return 2;
  }
  const char* socketPath = std::getenv(kLogoSocketVariable);
  const std::optional<int> waitMs = replyMilliseconds();
  std::optional<std::string> stdinBytes;
  if (socketPath != nullptr && *socketPath != '\0' && waitMs && !isatty(0)) {
    std::string bytes;
    if (readAll(0, bytes)) stdinBytes = std::move(bytes);
  }
  if (stdinBytes) {
    const std::string message = request(*stdinBytes, argc - 1, argv + 1);
    const std::optional<Answer> answer =
        message.empty() ? std::nullopt : askRenderer(socketPath, message, *waitMs);
    if (answer) {
      if (!writeAll(1, answer->out)) {
        const std::string error = std::string("korvelan-logo-client: ") + std::strerror(errno) + "\n";
        writeAll(2, error);
        return 1;
      }
      writeAll(2, answer->err);
      return answer->status;
    }
    // The input is read already: the program gets the same bytes from a memory file.
    const int fd = memfd_create("logo-input", MFD_CLOEXEC);
    if (fd < 0 || !writeAll(fd, *stdinBytes) || lseek(fd, 0, SEEK_SET) != 0 || dup2(fd, 0) < 0) {
      const std::string error = std::string("korvelan-logo-client: ") + std::strerror(errno) + "\n";
      writeAll(2, error);
      return 1;
    }
    close(fd);
  }
  execvp(argv[1], argv + 1);
  const std::string error = std::string(argv[1]) + ": " + std::strerror(errno) + "\n";
  writeAll(2, error);
  return 127;
}

}  // namespace
}  // namespace korvelan

int main(int argc, char** argv) {
  return korvelan::run(argc, argv);
}
