#include "core/report_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "core/globals.h"
#include "core/utilities.h"

namespace korvelan {

namespace {

// Writers of several threads (the logo and conversion steps) may open outputs at once.
std::mutex registryMutex;

bool sameIdentity(std::uint64_t device, std::uint64_t inode, const struct stat& info) {
  return device == static_cast<std::uint64_t>(info.st_dev) && inode == static_cast<std::uint64_t>(info.st_ino);
}

bool sameFile(const CreatedOutput& known, const struct stat& info) {
  return sameIdentity(known.device, known.inode, info);
}

CreatedOutput* createdAt(const std::string& path) {
  for (CreatedOutput& known : createdOutputs)
    if (known.path == path) return &known;
  return nullptr;
}

void remember(const std::string& path, const struct stat& info) {
  CreatedOutput* known = createdAt(path);
  if (known == nullptr) known = &createdOutputs.emplace_back(CreatedOutput{path});
  known->device = static_cast<std::uint64_t>(info.st_dev);
  known->inode = static_cast<std::uint64_t>(info.st_ino);
}

// True when `path` is, by name or by file identity, one of the run's input files.
bool namesInputFile(const std::string& path) {
  struct stat target {};
  const bool exists = stat(path.c_str(), &target) == 0;
  for (const fileNameAndType& file : FileNameType) {
    const std::string input = inputPath + file.fileName;
    if (input == path) return true;
    struct stat info {};
    if (exists && stat(input.c_str(), &info) == 0 && info.st_dev == target.st_dev &&
        info.st_ino == target.st_ino)
      return true;
  }
  return false;
}

// A new file at `path`, made with exclusive creation (which refuses any name that is taken, a link
// too, even one pointing nowhere) and remembered as the run's own; -1 with errno set when it
// cannot be made. The caller holds registryMutex.
int createFresh(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  struct stat info {};
  if (fstat(fd, &info) != 0) {
    const int error = errno;
    close(fd);
    errno = error;
    return -1;
  }
  remember(path, info);
  return fd;
}

// An existing plain file at `path` opened for writing, with its identity in `info`; never a link,
// a device or a pipe (opening one of those could block, or act on the device). -1 with errno set
// (EEXIST for a name taken by something else, ENOENT when there is nothing).
int openExistingPlain(const std::string& path, struct stat& info) {
  struct stat named {};
  if (lstat(path.c_str(), &named) != 0) return -1;
  if (!S_ISREG(named.st_mode)) {
    errno = EEXIST;
    return -1;
  }
  const int fd = open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ELOOP) errno = EEXIST;  // replaced by a link meanwhile
    return -1;
  }
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    errno = EEXIST;
    return -1;
  }
  return fd;
}

// A descriptor for writing on the run's own file at `path`, or -1 with errno set. The file the run
// made there before is reopened only if it is still that very file (not replaced). For Create any
// other name that is taken is refused, since the file is made with exclusive creation. Append may
// also go on with a plain file of the user's own that the run did not make (one name, no link:
// nobody else's file can hide behind it).
int ownedDescriptor(const std::string& path, OpenMode mode) {
  if (path.empty() || path.find('\0') != std::string::npos) {
    errno = EINVAL;
    return -1;
  }
  if (namesInputFile(path)) {
    errno = EEXIST;
    return -1;
  }
  std::lock_guard<std::mutex> lock(registryMutex);
  const CreatedOutput* known = createdAt(path);
  if (known != nullptr || mode == OpenMode::Append) {
    struct stat info {};
    const int fd = openExistingPlain(path, info);
    if (fd >= 0) {
      const bool own =
          known != nullptr ? sameFile(*known, info) : info.st_uid == geteuid() && info.st_nlink == 1;
      if (own) {
        remember(path, info);
        return fd;
      }
      close(fd);
      errno = EEXIST;
      return -1;
    }
    if (errno != ENOENT) return -1;
    // Nothing there: a file the run removed itself (a conversion script after use), or a report
    // first opened for appending. Made afresh.
  }
  return createFresh(path);
}

// Opens the stream on the file behind the descriptor and closes the descriptor. The stream
// always appends: Create has emptied the file through the descriptor already, so the text is the
// same as after a truncating open. Through /proc the stream gets the very file the descriptor
// holds, whatever the name points at by then; without /proc the name is opened and checked to be
// that file still.
bool attach(std::ofstream& stream, int fd, const std::string& path, OpenMode mode) {
  if (mode == OpenMode::Create && ftruncate(fd, 0) != 0) {
    const int error = errno;
    close(fd);
    errno = error;
    return false;
  }
  stream.clear();
  stream.open("/proc/self/fd/" + std::to_string(fd), std::ios::out | std::ios::app);
  if (!stream.is_open()) {
    stream.clear();
    stream.open(path, std::ios::out | std::ios::app);
    struct stat held {};
    struct stat named {};
    if (stream.is_open() && (fstat(fd, &held) != 0 || lstat(path.c_str(), &named) != 0 ||
                             held.st_dev != named.st_dev || held.st_ino != named.st_ino)) {
      stream.close();
      errno = EEXIST;
    }
  }
  const int error = errno;
  close(fd);
  errno = error;
  return stream.is_open();
}

bool openOwned(std::ofstream& stream, const std::string& path, OpenMode mode) {
  if (stream.is_open()) closeReport(stream);  // left open by its last writer: what it wrote must not be lost
  stream.clear();
  const int fd = ownedDescriptor(path, mode);
  if (fd < 0) return false;
  if (!attach(stream, fd, path, mode)) return false;
  std::lock_guard<std::mutex> lock(registryMutex);
  for (OpenOutput& open : openOutputs) {
    if (open.stream == &stream) {
      open.path = path;
      return true;
    }
  }
  openOutputs.push_back(OpenOutput{&stream, path});
  return true;
}

// The path the stream was opened on, forgotten as the stream closes.
std::string takePath(const std::ofstream& stream) {
  std::lock_guard<std::mutex> lock(registryMutex);
  for (auto it = openOutputs.begin(); it != openOutputs.end(); ++it) {
    if (it->stream == &stream) {
      std::string path = std::move(it->path);
      openOutputs.erase(it);
      return path;
    }
  }
  return "an output file";
}

}  // namespace

void openReport(std::ofstream& stream, const std::string& path, OpenMode mode) {
  if (!openOwned(stream, path, mode)) failOutputFile(path, errno);
}

std::ofstream& openReport(ReportId report, OpenMode mode) {
  std::ofstream& stream = reportStream(report);
  openReport(stream, reportPath(report), mode);
  return stream;
}

bool openUnchecked(std::ofstream& stream, const std::string& path) {
  return openOwned(stream, path, OpenMode::Create);
}

void closeReport(std::ofstream& stream) {
  const std::string path = takePath(stream);
  // errno still tells why a write failed before; a clean stream's failure comes from the close.
  if (!stream.fail()) errno = 0;
  stream.close();
  if (stream.fail()) {
    const int error = errno;
    stream.clear();
    failOutputFile(path, error);
  }
}

bool claimOutput(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) {
    errno = EINVAL;
    return false;
  }
  int fd = -1;
  {
    std::lock_guard<std::mutex> lock(registryMutex);
    fd = createFresh(path);
  }
  if (fd < 0) return false;
  close(fd);
  return true;
}

namespace {

void removeOwn(const std::string& path, bool onlyUnwritten) {
  std::lock_guard<std::mutex> lock(registryMutex);
  if (const CreatedOutput* known = createdAt(path))
    unlinkIfStill(path.c_str(), known->device, known->inode, onlyUnwritten);
}

}  // namespace

bool createdIdentity(const std::string& path, std::uint64_t& device, std::uint64_t& inode) {
  std::lock_guard<std::mutex> lock(registryMutex);
  const CreatedOutput* known = createdAt(path);
  if (known == nullptr) return false;
  device = known->device;
  inode = known->inode;
  return true;
}

void unlinkIfStill(const char* path, std::uint64_t device, std::uint64_t inode, bool onlyUnwritten) {
  struct stat info {};
  if (lstat(path, &info) == 0 && S_ISREG(info.st_mode) && (!onlyUnwritten || info.st_size == 0) &&
      sameIdentity(device, inode, info))
    unlink(path);
}

void removeUnwrittenOutput(const std::string& path) {
  removeOwn(path, true);
}

void removeOwnOutput(const std::string& path) {
  removeOwn(path, false);
}

bool makeOutputFolder(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) {
    errno = EINVAL;
    return false;
  }
  std::lock_guard<std::mutex> lock(registryMutex);
  struct stat info {};
  if (const CreatedOutput* known = createdAt(path))
    if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && sameFile(*known, info)) return true;
  if (mkdir(path.c_str(), 0777) != 0) return false;
  if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
    errno = ENOTDIR;
    return false;
  }
  remember(path, info);
  return true;
}

}  // namespace korvelan
