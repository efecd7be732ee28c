// HTML-to-PDF conversion: one procedure for every page, run through a PHP script of the run's own.
#include "reports/pdf.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "core/answers.h"
#include "core/globals.h"
#include "core/interrupts.h"
#include "core/report_io.h"
#include "core/shell.h"
#include "core/utilities.h"
#include "reports/framing.h"

namespace korvelan {

namespace {

std::string princeScript(const std::string& workingDirectory, const std::string& page) {
  return "<?php\n"
         "require '" +
         singleQuotedLiteral(workingDirectory) +
         "/prince.php';\n"
         "$prince = new Prince('/usr/local/bin/prince');\n"
         "if(!$prince) die('Cannot instantiate Prince.');\n"
         "$prince->setHTML(TRUE);\n"
         "$prince->setLog('prince.log');\n"
         "$xmlPath = '" +
         singleQuotedLiteral(page) +
         "';\n"
         "$msgs = array();\n"
         "$convert = $prince->convert_file($xmlPath, $msgs);\n"
         "if(!$convert)\n"
         "{\n"
         "echo 'nothing converted';\n"
         "var_dump($msgs);\n"
         "}\n"
         "?>\n";
}

// Size of the plain file at `path` (never through a link), or -1 when there is none.
long long fileSize(const std::string& path) {
  struct stat info {};
  if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return static_cast<long long>(info.st_size);
}

// Why no PDF came out of this page, in a few words for the error stream.
std::string missingPdfReason(const ShellResult& run, int limit, long long pdfSize) {
  if (!run.started) return "the shell could not be started";
  if (run.timedOut)
    return "the PDF step was stopped after " + secondsText(limit) + ", its time limit for this page";
  if (run.status == 127) return "php5 was not found";
  if (run.status != 0) return "php5 ended with status " + std::to_string(run.status);
  // The run made the PDF's file itself before the converter ran, so an empty file and none are one case.
  if (pdfSize == 0) return "the PDF is empty";
  return "the converter made none or an empty one";
}

void reportMissingPdf(const std::string& pagePath, const std::string& reason, bool sayKept) {
  std::cout.flush();
  std::cerr << "No PDF was made from " << pagePath << " (" << reason << ")"
            << (sayKept && fileSize(pagePath) >= 0 ? "; the HTML page is kept." : ".") << std::endl;
}

// The converter interface prints into a private folder beside the PDF, named "." + the PDF's name +
// "-" + 16 hexadecimal digits, and renames the result onto the PDF's name. A converter stopped on
// the way leaves that folder; it goes here (only a folder of the run's own user, never a link).
void removeConverterLeftovers(const std::string& pdfPath) {
  const std::size_t slash = pdfPath.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : pdfPath.substr(0, slash + 1);
  const std::string prefix = "." + pdfPath.substr(slash == std::string::npos ? 0 : slash + 1) + "-";
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() != prefix.size() + 16 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.find_first_not_of("0123456789abcdef", prefix.size()) != std::string::npos)
      continue;
    struct stat info {};
    if (lstat(it->path().c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) continue;
    std::error_code ignored;
    std::filesystem::remove_all(it->path(), ignored);
  }
}

}  // namespace

void convertPageToPDF(ReportId page) {
  std::string base = reportFile(page).defaultName;
  base.erase(base.size() - std::string(".html").size());
  const std::string stem = outputPath + jobID + base;
  const std::string pagePath = stem + ".html";
  const std::string scriptPath = stem + ".php";
  const std::string pdfPath = stem + ".pdf";
  // From here on an interrupt is handled below, so the script and the PDF's placeholder never stay.
  HelperStep step("the PDF step");

  // Opened only to learn that the page is there and readable; it stays open until the page is done.
  std::ifstream pageStream(pagePath);
  if (!pageStream.is_open()) {
    step.finish();
    reportMissingPdf(pagePath, "the page does not open", false);
    return;
  }
  // prince.php lies in the working directory; with that unknown the script would look at the root.
  const std::string workingDirectory = getCurrentDirectory();
  if (workingDirectory.empty()) {
    step.finish();
    reportMissingPdf(pagePath, "the working directory cannot be read, and prince.php lies there", true);
    return;
  }
  // The script is a file of the run's own: a name that is taken (a script planted in a shared result
  // folder, say) ends the run before anything is run.
  const std::string scriptText = princeScript(workingDirectory, pagePath);
  std::ofstream script;
  if (!openUnchecked(script, scriptPath)) failOutputFile(scriptPath, errno);
  script << scriptText;
  script.flush();
  if (!script) {
    const int error = errno;
    script.close();
    removeOwnOutput(scriptPath);
    failOutputFile(scriptPath, error);
  }
  script.close();
  // The interpreter runs a copy the result folder cannot reach: whoever may write there could put a
  // script of their own under the name beside the page before it is read.
  PrivateScript privateCopy(jobID + base + ".php");
  if (!privateCopy.write(scriptText)) {
    removeOwnOutput(scriptPath);
    step.finish();
    reportMissingPdf(pagePath,
                     "its conversion script could not be copied to the run's private temporary folder", true);
    return;
  }
  // The converter puts the PDF under its name, so the run makes it first as a file of its own: a
  // name that is taken ends the run, and the script goes first.
  std::ofstream pdf;
  if (!openUnchecked(pdf, pdfPath)) {
    const int error = errno;
    removeOwnOutput(scriptPath);
    failOutputFile(pdfPath, error);
  }
  pdf.close();

  const int limit = limitForFile(pdfTimeLimit, pdfTimeLimitPerMiB, pagePath);
  std::cout.flush();  // what the run printed so far comes before what the interpreter prints
  const ShellResult run = runShell("php5 " + shellWord(privateCopy.path()), limit);
  removeOwnOutput(scriptPath);
  removeUnwrittenOutput(pdfPath);  // no empty PDF stays behind when none was made
  removeConverterLeftovers(pdfPath);
  step.finish();

  // The page goes only once its PDF is there: a failed conversion must not lose the report.
  const long long pdfSize = fileSize(pdfPath);
  if (pdfSize > 0) {
    if (pdfOnly()) std::remove(pagePath.c_str());
  } else {
    reportMissingPdf(pagePath, missingPdfReason(run, limit, pdfSize), pdfOnly() || run.timedOut);
  }
  pageStream.close();
}

// The named forms of convertPageToPDF, one per report page.
void convertHTMLToPDFGlobal() {
  convertPageToPDF(ReportId::HTMLGlobalMatching);
}
void convertHTMLToPDFGlobalDatabaseMatch() {
  convertPageToPDF(ReportId::DatabaseMatchingGlobalMatchingHTML);
}
void convertHTMLToPDF() {
  convertPageToPDF(ReportId::HTMLResults);
}
void convertHTMLToPDFDatabaseMatch() {
  convertPageToPDF(ReportId::DatabaseMatchingHTML);
}

}  // namespace korvelan
