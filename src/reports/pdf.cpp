// HTML-to-PDF conversion: one procedure for every page, run through a PHP script beside the page.
#include "reports/pdf.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "core/answers.h"
#include "core/globals.h"
#include "core/report_io.h"
#include "core/shell.h"
#include "core/utilities.h"
#include "reports/framing.h"

namespace korvelan {

namespace {

void writePrinceScript(std::ostream& out, const std::string& workingDirectory, const std::string& page) {
  out << "<?php\n"
      << "require '" << singleQuotedLiteral(workingDirectory) << "/prince.php';\n"
      << "$prince = new Prince('/usr/local/bin/prince');\n"
      << "if(!$prince) die('Cannot instantiate Prince.');\n"
      << "$prince->setHTML(TRUE);\n"
      << "$prince->setLog('prince.log');\n"
      << "$xmlPath = '" << singleQuotedLiteral(page) << "';\n"
      << "$msgs = array();\n"
      << "$convert = $prince->convert_file($xmlPath, $msgs);\n"
      << "if(!$convert)\n"
      << "{\n"
      << "echo 'nothing converted';\n"
      << "var_dump($msgs);\n"
      << "}\n"
      << "?>\n";
}

// Size of the file, or -1 when there is none.
long long fileSize(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
  return static_cast<long long>(info.st_size);
}

// Why no PDF came out of this page, in a few words for the error stream.
std::string missingPdfReason(bool pageOpened, const ShellResult& run, long long pdfSize) {
  if (!pageOpened) return "the page does not open";
  if (!run.started) return "the shell could not be started";
  if (run.status == 127) return "php5 was not found";
  if (run.status != 0) return "php5 ended with status " + std::to_string(run.status);
  // The run made the PDF's file itself before the converter ran, so an empty file and none are one case.
  if (pdfSize == 0) return "the PDF is empty";
  return "the converter made none or an empty one";
}

}  // namespace

void convertPageToPDF(ReportId page) {
  std::string base = reportFile(page).defaultName;
  base.erase(base.size() - std::string(".html").size());
  const std::string stem = outputPath + jobID + base;
  const std::string pagePath = stem + ".html";
  const std::string scriptPath = stem + ".php";
  const std::string pdfPath = stem + ".pdf";
  // prince.php lies in the working directory; with that unknown the script would look at the root.
  const std::string workingDirectory = workingDirectoryOrFail();

  // Opened only to learn that the page is there and readable; it stays open until the page is done.
  std::ifstream pageStream(pagePath);
  const bool pageOpened = pageStream.is_open();
  if (pageOpened) {
    std::ofstream script;
    if (openUnchecked(script, scriptPath)) {
      writePrinceScript(script, workingDirectory, pagePath);
      script.close();
    }
  }
  // The converter writes the PDF through its name, so the run makes it first as a file of its own:
  // a link planted under that name ends the run instead of being written through.
  std::ofstream pdf;
  if (!openUnchecked(pdf, pdfPath)) failOutputFile(pdfPath, errno);
  closeReport(pdf);
  std::cout.flush();  // the interpreter shares the console: what the run printed so far comes first
  const ShellResult run = runShell("php5 " + shellWord(scriptPath));
  std::remove(scriptPath.c_str());
  removeUnwrittenOutput(pdfPath);  // no empty PDF stays behind when none was made

  // The page goes only once its PDF is there: a failed conversion must not lose the report.
  const long long pdfSize = fileSize(pdfPath);
  if (pdfSize > 0) {
    if (pdfOnly()) std::remove(pagePath.c_str());
  } else {
    std::cerr << "No PDF was made from " << pagePath << " (" << missingPdfReason(pageOpened, run, pdfSize)
              << ")" << (pdfOnly() && fileSize(pagePath) >= 0 ? "; the HTML page is kept." : ".")
              << std::endl;
  }
  pageStream.close();
}

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
