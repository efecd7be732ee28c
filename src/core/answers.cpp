#include "core/answers.h"

#include "core/globals.h"

namespace korvelan {

bool textWanted() {
  return outputFileFormat == "Text" || outputFileFormat == "All";
}
bool pagesWanted() {
  return outputFileFormat == "HTML" || outputFileFormat == "PDF" || outputFileFormat == "All";
}
bool pdfWanted() {
  return outputFileFormat == "PDF" || outputFileFormat == "All";
}
bool pdfOnly() {
  return outputFileFormat == "PDF";
}
bool typeAll() {
  return outputFileType == "All";
}
bool databaseChosen() {
  return DBName.size() >= 2;
}
bool treesWanted() {
  return motifCluster == "Y";
}
bool mergeWanted() {
  return combinedMotifFlag == "Y";
}
bool severalFiles() {
  return numFile > 1;
}

}  // namespace korvelan
