#include "core/report_io.h"

#include "core/utilities.h"

namespace korvelan {

void openReport(std::ofstream& stream, const std::string& path, OpenMode mode) {
  stream.clear();
  stream.open(path,
              mode == OpenMode::Create ? std::ios::out | std::ios::trunc : std::ios::out | std::ios::app);
  if (!stream.is_open()) failOutput();
}

std::ofstream& openReport(ReportId report, OpenMode mode) {
  std::ofstream& stream = reportStream(report);
  openReport(stream, reportPath(report), mode);
  return stream;
}

bool openUnchecked(std::ofstream& stream, const std::string& path) {
  stream.clear();
  stream.open(path, std::ios::out | std::ios::trunc);
  return stream.is_open();
}

void closeReport(std::ofstream& stream) {
  stream.close();
  if (stream.fail()) {
    stream.clear();
    failOutput();
  }
}

}  // namespace korvelan
