// Helpers shared by the tests: scratch folders, files, and running the real program.
#pragma once

#include <string>
#include <vector>

namespace korvelan::testing {

// A fresh folder under the system temp folder, removed when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }  // ends in "/"
 private:
  std::string path_;
};

void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);
std::vector<std::string> listDir(const std::string& dir);  // names, sorted
std::vector<std::string> splitLines(const std::string& text);

// Output and exit status of the korvelan program run in `workDir` with `input` on its standard input.
struct ProgramRun {
  std::string output;
  int status = -1;
};
ProgramRun runProgram(const std::string& input, const std::string& workDir, const std::string& extraEnv = "");

// The source tree root, for fixtures and the shared data folder beside the checkout.
std::string sourceDir();

}  // namespace korvelan::testing
