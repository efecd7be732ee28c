// The one way every output file of a run is created, opened and closed.
//
// Every output is a file of the run's own: it is made afresh with exclusive creation, without
// following a symbolic link, so a name that is already taken (an older file, a link planted in a
// shared result folder, one of the run's input files) is never written into. The run remembers
// what it created; a later writer of the same file reopens exactly that file and nothing that
// has been put under its name since.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "core/report_files.h"

namespace korvelan {

enum class OpenMode { Create, Append };

// Opens the stream on a file of the run's own at `path`. Create makes the file (or empties the one
// the run made there before); Append writes on at the end of the run's file (making it when there
// is none yet). A file that does not open, or a name that is taken, ends the run with the output
// failure message and status 1. Formatting state stays with the stream object.
void openReport(std::ofstream& stream, const std::string& path, OpenMode mode);

// The same for one of the run's reports, on its own stream and path; returns the stream.
std::ofstream& openReport(ReportId report, OpenMode mode);

// Opens an output file the run writes without the open test (the input listing, the PDF conversion
// scripts, the logo input files) as Create does: false when it does not open, and the caller goes on
// without it.
bool openUnchecked(std::ofstream& stream, const std::string& path);

// Closes the stream; a stream that failed while writing or closing (disk full, file removed) ends
// the run like a file that did not open, after a line on the error stream naming the file and the
// system's reason, so a lost report never passes as a success.
void closeReport(std::ofstream& stream);

// Creates the empty file `path` as the run's own (the claim of a job identifier): false, with errno
// set, when it cannot be made; EEXIST means the name is taken.
bool claimOutput(const std::string& path);

// Removes a file the run created at `path` and never wrote into, such as the claim of a run that
// ended before it wrote anything.
void removeUnwrittenOutput(const std::string& path);

// Removes the file the run created at `path`, written or not, as long as it is still that very
// file (a conversion script after use): whatever has been put under its name since stays.
void removeOwnOutput(const std::string& path);

// The identity (device and inode) of the file the run created at `path`; false when it made none.
bool createdIdentity(const std::string& path, std::uint64_t& device, std::uint64_t& inode);

// Unlinks `path` while it is still the regular file of that identity and, with `onlyUnwritten`,
// empty. Takes no lock and needs no memory, so a signal handler may call it.
void unlinkIfStill(const char* path, std::uint64_t device, std::uint64_t inode, bool onlyUnwritten);

// Makes the folder `path` for the run's files (mode 0777 less the umask). A folder the run made
// before is used again; otherwise mkdir must succeed, so nothing is ever written into a folder or a
// link that was there before. False, with errno set, when it cannot.
bool makeOutputFolder(const std::string& path);

}  // namespace korvelan
