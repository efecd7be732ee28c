#include "driver/report_io.h"

#include "driver/utilities.h"

namespace korvelan {

void openReport(std::ofstream& stream, const std::string& path, OpenMode mode) {
  stream.clear();
  stream.open(path, mode == OpenMode::Create ? std::ios::out | std::ios::trunc : std::ios::out | std::ios::app);
  if (!stream.is_open()) failOutput();
}

void closeReport(std::ofstream& stream) {
  stream.close();
  if (stream.fail()) {
    stream.clear();
    failOutput();
  }
}

}  // namespace korvelan
