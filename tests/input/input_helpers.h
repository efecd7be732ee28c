// Shared helpers of the input tests: reading small motif files through the real reading loop, and
// collections through the real loaders.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/globals.h"
#include "core/utilities.h"
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

// A fresh run in a scratch working directory (where the loaders look for databases/), restored
// afterwards.
class CollectionRun {
 public:
  CollectionRun() : previous_(getCurrentDirectory()) {
    resetGlobals();
    if (chdir(dir_.path().c_str()) != 0) ADD_FAILURE() << "cannot enter " << dir_.path();
    cwd_ = getCurrentDirectory();
  }
  ~CollectionRun() {
    if (chdir(previous_.c_str()) != 0) ADD_FAILURE() << "cannot return to " << previous_;
  }
  const std::string& cwd() const { return cwd_; }  // the working directory as the loaders see it
  void write(const std::string& relative, const std::string& content) {
    writeFile(dir_.path() + relative, content);
  }

 private:
  TempDir dir_;
  std::string previous_;
  std::string cwd_;
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
