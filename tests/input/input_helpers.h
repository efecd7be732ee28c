// Shared helpers of the input tests: reading small motif files through the real reading loop.
#pragma once

#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/globals.h"
#include "input/input.h"
#include "support/test_support.h"

namespace korvelan::testing {

// Fresh globals and an input folder; files are written into it and read in the order given.
class InputRun {
 public:
  InputRun() {
    resetGlobals();
    inputPath = dir_.path();
  }
  const std::string& path() const { return dir_.path(); }
  void add(const std::string& name, const std::string& content) {
    writeFile(dir_.path() + name, content);
    addName(name);
  }
  void addName(const std::string& name) {
    FileNameType.push_back(fileNameAndType{name, 10, 0, static_cast<std::int32_t>(FileNameType.size() + 1)});
  }
  void read() { readInput(FileNameType); }

 private:
  TempDir dir_;
};

// Collects what is written to std::cout while it lives.
class CoutCapture {
 public:
  CoutCapture() : old_(std::cout.rdbuf(buffer_.rdbuf())) {}
  ~CoutCapture() { std::cout.rdbuf(old_); }
  std::string text() const { return buffer_.str(); }

 private:
  std::ostringstream buffer_;
  std::streambuf* old_;
};

}  // namespace korvelan::testing
