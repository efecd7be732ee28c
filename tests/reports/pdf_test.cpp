// PDF conversion: the script beside each page, the command that runs it, what stays and what goes,
// the converter interface in run/prince.php, and one real conversion.
#include "reports/pdf.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "core/globals.h"
#include "core/interrupts.h"
#include "core/shell.h"
#include "core/utilities.h"
#include "support/test_support.h"

namespace korvelan {
namespace {

namespace fs = std::filesystem;
using testing::fileExists;
using testing::readFile;
using testing::splitLines;
using testing::TempDir;
using testing::writeFile;

const std::string kJob = "J_2026-12-10_4321_";

using testing::commandOutput;
using testing::installed;

void writeProgram(const std::string& path, const std::string& script) {
  writeFile(path, script);
  fs::permissions(path, fs::perms::owner_all);
}

// Collects what is written to std::cerr while it lives.
class CerrCapture {
 public:
  CerrCapture() : old_(std::cerr.rdbuf(buffer_.rdbuf())) {}
  ~CerrCapture() { std::cerr.rdbuf(old_); }
  std::string text() const { return buffer_.str(); }

 private:
  std::ostringstream buffer_;
  std::streambuf* old_;
};

// A stand-in php5 first on the command search path. It records its arguments (one per line), a copy
// of the script it was given (when there was one), and does what the test's "mode" file says:
// "pdf" leaves a PDF beside the page the script names, "empty" an empty one, "none" nothing,
// "fail" nothing with exit status 3, "wait" waits for a child of its own that never ends, and
// "leave" leaves the PDF and a child that ignores SIGTERM. Before all that, when the test names a
// file in "swap", it renames "planted.php" onto it, as someone who may write there would.
class PdfTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetGlobals();
    jobID = kJob;
    outputPath = out.path();
    outputFileFormat = "PDF";
    savedPath = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", (tools.path() + "bin:" + savedPath).c_str(), 1);
    writeProgram(tools.path() + "bin/php5",
                 "#!/bin/sh\nt='" + tools.path() + "'\n" + R"SH(printf '%s\n' "$@" > "$t/args"
if [ -f "$t/swap" ]; then cp "$t/planted.php" "$t/planted.tmp"; mv "$t/planted.tmp" "$(cat "$t/swap")"; fi
[ -f "$1" ] && cp "$1" "$t/seen.php"
page=$(sed -n 's/^[$]xmlPath = .\(.*\).;$/\1/p' "$1" 2>/dev/null | sed 's/\\\(.\)/\1/g')
[ -n "$page" ] || exit 0
case $(cat "$t/mode") in
  pdf) printf '%%PDF-1.4\n' > "${page%.html}.pdf" ;;
  empty) : > "${page%.html}.pdf" ;;
  fail) exit 3 ;;
  wait) sleep 300 & echo $! > "$t/child"; wait ;;
  leave) printf '%%PDF-1.4\n' > "${page%.html}.pdf"; (trap '' TERM; exec sleep 60) & echo $! > "$t/child" ;;
esac
exit 0
)SH");
    setMode("pdf");
    helpers.emplace();
  }
  void TearDown() override {
    helpers.reset();
    setenv("PATH", savedPath.c_str(), 1);
    resetGlobals();
  }

  void setMode(const std::string& mode) { writeFile(tools.path() + "mode", mode); }
  std::string page(const std::string& base) const { return outputPath + kJob + base + ".html"; }
  std::string pdf(const std::string& base) const { return outputPath + kJob + base + ".pdf"; }
  std::string script(const std::string& base) const { return outputPath + kJob + base + ".php"; }
  // The copy of the script that the interpreter is given, in the run's private folder.
  std::string privateScript(const std::string& base) const {
    return runTemporaryFolder() + "/" + kJob + base + ".php";
  }
  std::string args() const { return readFile(tools.path() + "args"); }
  std::string seenScript() const { return readFile(tools.path() + "seen.php"); }

  TempDir tools;
  TempDir out;
  std::string savedPath;
  std::optional<HelperScope> helpers;  // the run's private folder and interrupt handling
};

// The fifteen lines, each ended by one line feed.
std::string expectedScript(const std::string& requireDir, const std::string& pagePath) {
  const std::string lines[] = {
      "<?php",
      "require '" + requireDir + "/prince.php';",
      "$prince = new Prince('/usr/local/bin/prince');",
      "if(!$prince) die('Cannot instantiate Prince.');",
      "$prince->setHTML(TRUE);",
      "$prince->setLog('prince.log');",
      "$xmlPath = '" + pagePath + "';",
      "$msgs = array();",
      "$convert = $prince->convert_file($xmlPath, $msgs);",
      "if(!$convert)",
      "{",
      "echo 'nothing converted';",
      "var_dump($msgs);",
      "}",
      "?>",
  };
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

TEST_F(PdfTest, ScriptLinesAndCommandLine) {
  const std::string base = "HTML_Global_Matching_Results";
  {
    SCOPED_TRACE("ordinary paths");
    writeFile(page(base), "<html></html>\n");
    convertPageToPDF(ReportId::HTMLGlobalMatching);
    EXPECT_EQ(seenScript(), expectedScript(getCurrentDirectory(), page(base)));
    EXPECT_EQ(args(), privateScript(base) + "\n");
    EXPECT_FALSE(fileExists(script(base)));
    EXPECT_FALSE(fileExists(privateScript(base)));
  }
  {
    SCOPED_TRACE("an apostrophe and a backslash in both paths");
    const std::string odd = tools.path() + "odd/";  // not in TMPDIR: the step empties that
    const std::string work = odd + "it's\\here";
    fs::create_directories(work);
    outputPath = odd + "Bob's \\ $(out)/";
    writeFile(page(base), "<html></html>\n");
    const fs::path before = fs::current_path();
    fs::current_path(work);
    convertPageToPDF(ReportId::HTMLGlobalMatching);
    fs::current_path(before);
    const std::string escapedPage = odd + "Bob\\'s \\\\ $(out)/" + kJob + base + ".html";
    EXPECT_EQ(seenScript(), expectedScript(odd + "it\\'s\\\\here", escapedPage));
    EXPECT_EQ(args(), privateScript(base) + "\n");
    EXPECT_TRUE(fileExists(pdf(base)));  // the stand-in read the page path back out of the script
    EXPECT_FALSE(fileExists(script(base)));
  }
}

// The script, the PDF and the interpreter's copy take the page's name, less ".html", for every page.
TEST_F(PdfTest, EachPageGivesItsNameToItsScriptAndPdf) {
  const std::pair<ReportId, const char*> pages[] = {
      {ReportId::HTMLGlobalMatching, "HTML_Global_Matching_Results"},
      {ReportId::DatabaseMatchingGlobalMatchingHTML, "HTML_Results_Database_Matching_Global_Matching"},
      {ReportId::HTMLResults, "HTML_Results"},
      {ReportId::DatabaseMatchingHTML, "HTML_Results_Database_Matching"},
      {ReportId::MotifTreeGlobalHTML, "Global_Matching_Motif_Tree"},
      {ReportId::MotifTreeHTML, "Motif_Tree"},
  };
  for (const auto& [id, base] : pages) {
    SCOPED_TRACE(base);
    writeFile(page(base), "<html></html>\n");
    convertPageToPDF(id);
    EXPECT_EQ(args(), privateScript(base) + "\n");
    EXPECT_TRUE(fileExists(pdf(base)));
    EXPECT_FALSE(fileExists(page(base)));
  }
}

TEST_F(PdfTest, PageGoesOnlyOnceItsPdfIsThere) {
  struct Case {
    const char* format;
    const char* mode;
    bool pageWritten;
    bool pageStays;
    const char* message;  // on the error stream; empty for none
  };
  const Case cases[] = {
      {"PDF", "pdf", true, false, ""},
      {"All", "pdf", true, true, ""},
      {"PDF", "none", true, true, "(the converter made none or an empty one); the HTML page is kept.\n"},
      {"PDF", "empty", true, true, "(the converter made none or an empty one); the HTML page is kept.\n"},
      {"PDF", "fail", true, true, "(php5 ended with status 3); the HTML page is kept.\n"},
      {"All", "none", true, true, "(the converter made none or an empty one).\n"},
      {"PDF", "pdf", false, false, "(the page does not open).\n"},
  };
  const std::string base = "HTML_Results";
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " " + c.mode + (c.pageWritten ? "" : " no page"));
    fs::remove_all(out.path());
    fs::create_directories(out.path());
    fs::remove(tools.path() + "seen.php");
    fs::remove(tools.path() + "args");
    outputFileFormat = c.format;
    setMode(c.mode);
    if (c.pageWritten) writeFile(page(base), "<html></html>\n");
    CerrCapture errors;
    convertPageToPDF(ReportId::HTMLResults);
    EXPECT_EQ(fileExists(page(base)), c.pageStays);
    EXPECT_EQ(args(), c.pageWritten ? privateScript(base) + "\n" : "");  // no page, nothing to run
    EXPECT_EQ(fileExists(tools.path() + "seen.php"), c.pageWritten);
    EXPECT_FALSE(fileExists(script(base)));
    if (*c.message == '\0')
      EXPECT_EQ(errors.text(), "");
    else
      EXPECT_EQ(errors.text(), "No PDF was made from " + page(base) + " " + c.message);
  }
}

TEST_F(PdfTest, LinkPlantedUnderThePdfNameEndsTheRunAndLeavesItsTargetAlone) {
  writeFile(page("HTML_Results"), "<html></html>\n");
  const std::string victim = tools.path() + "victim.txt";
  writeFile(victim, "keep me");
  fs::create_symlink(victim, pdf("HTML_Results"));
  EXPECT_THROW(convertPageToPDF(ReportId::HTMLResults), RunEnded);
  EXPECT_EQ(readFile(victim), "keep me");
  EXPECT_TRUE(fileExists(page("HTML_Results")));
}

TEST_F(PdfTest, MissingInterpreterIsReported) {
  setenv("PATH", "/nonexistent", 1);
  writeFile(page("HTML_Results"), "<html></html>\n");
  CerrCapture errors;
  convertPageToPDF(ReportId::HTMLResults);
  EXPECT_TRUE(fileExists(page("HTML_Results")));
  EXPECT_EQ(errors.text(), "No PDF was made from " + page("HTML_Results") +
                               " (php5 was not found); the HTML page is kept.\n");
}

// A name the step needs that is already taken ends the run before anything is run: a planted script
// is never run, and the step's own script does not stay behind.
TEST_F(PdfTest, TakenScriptOrPdfNameEndsTheRunBeforeAnythingRuns) {
  const std::string base = "HTML_Results";
  const struct {
    const char* what;
    std::string planted;
  } cases[] = {{"script", script(base)}, {"pdf", pdf(base)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(out.path());
    fs::create_directories(out.path());
    writeFile(page(base), "<html></html>\n");
    const std::string planted = "<?php file_put_contents('" + tools.path() + "ran', 'x'); ?>\n";
    writeFile(c.planted, planted);
    CerrCapture errors;
    ::testing::internal::CaptureStdout();
    int status = -1;
    try {
      convertPageToPDF(ReportId::HTMLResults);
    } catch (const RunEnded& ended) {
      status = ended.status;
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Invalid output path or output filename.");
    EXPECT_EQ(status, 1);
    EXPECT_EQ(errors.text(), "Error writing " + c.planted + ": File exists\n");
    EXPECT_FALSE(fileExists(tools.path() + "args"));  // php5 never ran
    EXPECT_EQ(readFile(c.planted), planted);
    EXPECT_EQ(testing::listDir(out.path()),
              (std::vector<std::string>{fs::path(page(base)).filename(), fs::path(c.planted).filename()}));
  }
}

// With the working directory gone prince.php cannot be found: the page is kept, the error stream says
// why, and the next page is tried all the same.
TEST_F(PdfTest, UnreadableWorkingDirectoryKeepsThePagesAndGoesOn) {
  writeFile(page("HTML_Results"), "<html></html>\n");
  writeFile(page("HTML_Global_Matching_Results"), "<html></html>\n");
  TempDir gone;
  const fs::path before = fs::current_path();
  fs::create_directories(gone.path() + "here");
  fs::current_path(gone.path() + "here");
  fs::remove(gone.path() + "here");
  CerrCapture errors;
  EXPECT_NO_THROW(convertPageToPDF(ReportId::HTMLGlobalMatching));
  EXPECT_NO_THROW(convertPageToPDF(ReportId::HTMLResults));
  fs::current_path(before);
  const std::string why =
      " (the working directory cannot be read, and prince.php lies there); the HTML page is kept.\n";
  EXPECT_EQ(errors.text(), "No PDF was made from " + page("HTML_Global_Matching_Results") + why +
                               "No PDF was made from " + page("HTML_Results") + why);
  EXPECT_TRUE(fileExists(page("HTML_Results")));
  EXPECT_TRUE(fileExists(page("HTML_Global_Matching_Results")));
  EXPECT_FALSE(fileExists(tools.path() + "args"));
  EXPECT_EQ(testing::listDir(out.path()).size(), 2u);  // no script, no PDF
}

// Someone who may write in the result folder renames a script of their own onto the conversion
// script's name once the run has written it: the interpreter still gets the run's own text, from the
// run's private folder, and the planted script is left where it was put.
TEST_F(PdfTest, ScriptSwappedInTheResultFolderIsNeverRun) {
  const std::string base = "HTML_Results";
  writeFile(page(base), "<html></html>\n");
  const std::string planted = "<?php file_put_contents('" + tools.path() + "ran', 'x'); ?>\n";
  writeFile(tools.path() + "planted.php", planted);
  writeFile(tools.path() + "swap", script(base));
  convertPageToPDF(ReportId::HTMLResults);
  ASSERT_FALSE(runTemporaryFolder().empty());
  EXPECT_EQ(fs::status(runTemporaryFolder()).permissions(), fs::perms::owner_all);
  EXPECT_EQ(args(), privateScript(base) + "\n");
  EXPECT_EQ(seenScript(), expectedScript(getCurrentDirectory(), page(base)));
  EXPECT_EQ(readFile(script(base)), planted);
  EXPECT_TRUE(fileExists(pdf(base)));
  EXPECT_FALSE(fileExists(privateScript(base)));
}

// Without a copy of its own to run (no private folder, or the copy cannot be made) nothing is run:
// the page stays and the error stream says why.
TEST_F(PdfTest, NoPrivateCopyMeansNoConversion) {
  const std::string base = "HTML_Results";
  for (const char* what : {"copy cannot be made", "no private folder"}) {
    SCOPED_TRACE(what);
    writeFile(page(base), "<html></html>\n");
    if (std::string(what) == "no private folder")
      helpers.reset();
    else
      fs::create_directories(privateScript(base));  // a folder where the copy would go
    CerrCapture errors;
    convertPageToPDF(ReportId::HTMLResults);
    EXPECT_FALSE(fileExists(tools.path() + "args"));
    EXPECT_EQ(errors.text(), "No PDF was made from " + page(base) +
                                 " (its conversion script could not be copied to the run's private "
                                 "temporary folder); the HTML page is kept.\n");
    EXPECT_EQ(testing::listDir(out.path()), std::vector<std::string>{fs::path(page(base)).filename()});
  }
}

// A converter that leaves a child of its own running, one that ignores SIGTERM, takes it along when
// it ends.
TEST_F(PdfTest, NothingTheConverterStartedOutlivesIt) {
  setMode("leave");
  writeFile(page("HTML_Results"), "<html></html>\n");
  convertPageToPDF(ReportId::HTMLResults);
  EXPECT_TRUE(fileExists(pdf("HTML_Results")));
  const std::string child = readFile(tools.path() + "child");
  ASSERT_FALSE(child.empty());
  EXPECT_TRUE(testing::eventually([&] { return testing::processGone(std::stoi(child)); }, 5));
}

// A converter that never ends is stopped at the step's limit with all it started; the page stays
// whatever the format, and the conversion returns so that the run goes on.
TEST_F(PdfTest, ConversionPastItsLimitIsStoppedAndThePageKept) {
  pdfTimeLimit = 1;
  pdfTimeLimitPerMiB = 0;
  setMode("wait");
  const std::string base = "HTML_Results";
  for (const char* format : {"PDF", "All"}) {
    SCOPED_TRACE(format);
    outputFileFormat = format;
    writeFile(page(base), "<html></html>\n");
    fs::remove(tools.path() + "child");
    CerrCapture errors;
    const auto begun = std::chrono::steady_clock::now();
    convertPageToPDF(ReportId::HTMLResults);
    EXPECT_LT(std::chrono::steady_clock::now() - begun, std::chrono::seconds(20));
    EXPECT_EQ(errors.text(), "No PDF was made from " + page(base) +
                                 " (the PDF step was stopped after 1 second, its time limit for this page); "
                                 "the HTML page is kept.\n");
    EXPECT_EQ(testing::listDir(out.path()), std::vector<std::string>{fs::path(page(base)).filename()});
    const std::string child = readFile(tools.path() + "child");
    ASSERT_FALSE(child.empty());
    EXPECT_TRUE(testing::eventually([&] { return testing::processGone(std::stoi(child)); }));
  }
}

// run/prince.php through php-cli, against a stand-in converter that records its arguments, prints
// lines in the converter's log form and leaves what the "mode" file beside it says.
class PrinceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!installed("php")) GTEST_SKIP() << "php-cli is not installed";
    writeFile(dir.path() + "driver.php",
              "<?php\n"
              "require $argv[1];\n"
              "$p = new Prince($argv[2]);\n"
              "$p->setHTML(TRUE);\n"
              "$p->setLog($argv[4]);\n"
              "$msgs = array('left over');\n"
              "$ok = $p->convert_file($argv[3], $msgs);\n"
              "echo $ok ? \"true\\n\" : \"false\\n\";\n"
              "foreach ($msgs as $m) echo $m[0], '|', $m[1], '|', $m[2], \"\\n\";\n");
    const std::string converter = "#!/bin/sh\nd='" + dir.path() + "'\n" + R"SH(printf '%s\n' "$@" > "$d/args"
for a in "$@"; do
  case $a in
    --print-to-pdf=*) out=${a#--print-to-pdf=} ;;
    --user-data-dir=*) echo "${a#--user-data-dir=}" > "$d/profile" ;;
  esac
done
stat -c %a "$(dirname "$out")" > "$d/folder-mode"
echo '[1210/140802.734470:ERROR:dbus/bus.cc:405] Failed to connect' >&2
echo '[5:7:1210/1.2:WARNING:render(12)] slow font' >&2
echo '[1210/1.3:INFO:page.cc:9] loaded' >&2
echo '12 bytes written to file'
case $(cat "$d/mode") in
  pdf) printf '%%PDF-1.4 ok\n' > "$out" ;;
  empty) : > "$out" ;;
  none) exit 2 ;;
esac
)SH";
    writeProgram(dir.path() + "converter", converter);
    writeProgram(dir.path() + "bin/chromium-headless-shell", converter);
    pagePath = dir.path() + "it's a page/J_x_HTML_Results.html";
    writeFile(pagePath, "<html><body>hello</body></html>\n");
  }

  // The conversion's result line and messages, one "kind|location|text" line each.
  std::vector<std::string> convert(const std::string& mode, const std::string& converter) {
    writeFile(dir.path() + "mode", mode);
    auto word = [](const std::string& s) { return "'" + s + "'"; };
    return splitLines(commandOutput("PATH='" + dir.path() + "bin':\"$PATH\" php " +
                                    word(dir.path() + "driver.php") + " " +
                                    word(testing::sourceDir() + "/run/prince.php") + " " + word(converter) +
                                    " \"" + pagePath + "\" " + word(dir.path() + "prince.log") + " 2>&1"));
  }
  std::string pdfPath() const { return dir.path() + "it's a page/J_x_HTML_Results.pdf"; }

  // The converter was told to print into a private folder beside the PDF (the argument after
  // `flag`, or the one that begins with it), of mode 0700 while it ran, and gone afterwards.
  void expectPrivateOutput(const std::vector<std::string>& args, const std::string& flag) {
    std::string printed;
    for (std::size_t i = 0; i < args.size(); ++i) {
      if (flag.back() == '=' && args[i].starts_with(flag)) printed = args[i].substr(flag.size());
      if (flag.back() != '=' && args[i] == flag && i + 1 < args.size()) printed = args[i + 1];
    }
    const fs::path folder = fs::path(printed).parent_path();
    EXPECT_EQ(fs::path(printed).filename(), "J_x_HTML_Results.pdf");
    EXPECT_EQ(folder.parent_path(), fs::path(pdfPath()).parent_path());
    const std::string name = folder.filename().string();
    EXPECT_TRUE(name.starts_with(".J_x_HTML_Results.pdf-") && name.size() == 22 + 16) << name;
    EXPECT_EQ(readFile(dir.path() + "folder-mode"), "700\n");
    EXPECT_FALSE(fileExists(folder.string()));
  }

  TempDir dir;
  std::string pagePath;
};

TEST_F(PrinceTest, ConvertsBesideThePageAndReportsMessages) {
  const auto lines = convert("pdf", dir.path() + "converter");
  EXPECT_EQ(lines, (std::vector<std::string>{"true", "err|dbus/bus.cc:405|Failed to connect",
                                             "wrn|render(12)|slow font", "inf|page.cc:9|loaded",
                                             "inf||12 bytes written to file"}));
  EXPECT_EQ(readFile(pdfPath()), "%PDF-1.4 ok\n");

  const auto args = splitLines(readFile(dir.path() + "args"));
  ASSERT_FALSE(args.empty());
  for (const char* flag :
       {"--headless", "--no-sandbox", "--no-pdf-header-footer", "--disable-background-networking",
        "--disable-component-update", "--no-first-run", "--disable-sync", "--disable-gpu"})
    EXPECT_NE(std::find(args.begin(), args.end(), flag), args.end()) << flag;
  expectPrivateOutput(args, "--print-to-pdf=");
  EXPECT_EQ(args.back(), "file://" + dir.path() + "it%27s%20a%20page/J_x_HTML_Results.html");
  // A fresh profile for the conversion, gone afterwards.
  const std::string profile = readFile(dir.path() + "profile");
  EXPECT_FALSE(profile.empty());
  EXPECT_FALSE(fileExists(profile.substr(0, profile.size() - 1)));
}

TEST_F(PrinceTest, FailuresReturnFalseAndEveryConversionIsLogged) {
  writeFile(pdfPath(), "stale");
  auto lines = convert("none", dir.path() + "converter");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "false");
  EXPECT_EQ(lines.back(), "err|" + pdfPath() + "|no PDF was made (converter exit status 2)");
  EXPECT_FALSE(fileExists(pdfPath()));  // an earlier PDF does not pass for this conversion

  lines = convert("empty", dir.path() + "converter");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "false");
  EXPECT_EQ(lines.back(), "err|" + pdfPath() + "|the converter wrote an empty PDF; it was removed");
  EXPECT_FALSE(fileExists(pdfPath()));

  fs::remove(pagePath);
  lines = convert("pdf", dir.path() + "converter");
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "false", "err|" + pagePath + "|the page does not exist or cannot be read"}));

  const std::string log = readFile(dir.path() + "prince.log");
  const auto logLines = splitLines(log);
  int conversions = 0;
  for (const auto& line : logLines)
    conversions += line.find(" converting " + pagePath + " to " + pdfPath()) != std::string::npos;
  EXPECT_EQ(conversions, 3);
  EXPECT_NE(log.find("\nerr: dbus/bus.cc:405: Failed to connect\n"), std::string::npos);
  EXPECT_NE(log.find("\nerr: " + pdfPath() + ": no PDF was made (converter exit status 2)\n"),
            std::string::npos);
  ASSERT_FALSE(logLines.empty());
  EXPECT_NE(logLines.back().find(" finished: failure"), std::string::npos);
}

TEST_F(PrinceTest, ConverterThatIsNotExecutableGivesWayToOurs) {
  // The stand-in chromium-headless-shell on the search path takes over.
  for (const std::string& named : {dir.path() + "no-such-prince", dir.path() + "mode"}) {
    SCOPED_TRACE(named);
    fs::remove(pdfPath());
    const auto lines = convert("pdf", named);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "true");
    EXPECT_EQ(readFile(pdfPath()), "%PDF-1.4 ok\n");
  }
}

// Whatever stands under the PDF's name (a link planted there, say) is replaced by the finished PDF,
// never written through.
TEST_F(PrinceTest, FinishedPdfReplacesALinkUnderItsNameWithoutWritingThroughIt) {
  const std::string victim = dir.path() + "victim.txt";
  writeFile(victim, "keep me");
  fs::create_symlink(victim, pdfPath());
  const auto lines = convert("pdf", dir.path() + "converter");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "true");
  EXPECT_EQ(readFile(victim), "keep me");
  EXPECT_FALSE(fs::is_symlink(pdfPath()));
  EXPECT_EQ(readFile(pdfPath()), "%PDF-1.4 ok\n");
  expectPrivateOutput(splitLines(readFile(dir.path() + "args")), "--print-to-pdf=");
}

// A program called prince is called in its own form, "prince INPUT -o OUTPUT", and its console lines
// become messages; any other program named by the constructor gets the other command line.
TEST_F(PrinceTest, ProgramCalledPrinceGetsItsOwnCommandLine) {
  writeProgram(dir.path() + "bin/prince",
               "#!/bin/sh\nd='" + dir.path() + "'\n" + R"SH(printf '%s\n' "$@" > "$d/args"
stat -c %a "$(dirname "$3")" > "$d/folder-mode"
echo 'prince: warning: no font for U+2022'
echo "prince: $1:3: error: bad tag" >&2
echo 'done'
printf '%%PDF-1.4 prince\n' > "$3"
)SH");
  const auto lines = convert("pdf", dir.path() + "bin/prince");
  EXPECT_EQ(lines, (std::vector<std::string>{"true", "wrn||no font for U+2022",
                                             "err|" + pagePath + ":3|bad tag", "inf||done"}));
  EXPECT_EQ(readFile(pdfPath()), "%PDF-1.4 prince\n");
  const auto args = splitLines(readFile(dir.path() + "args"));
  ASSERT_EQ(args.size(), 3u);
  EXPECT_EQ(args[0], pagePath);
  EXPECT_EQ(args[1], "-o");
  expectPrivateOutput(args, "-o");
}

// A Global-Only run with format "PDF" of two small files (three motifs each) through the real
// interpreter launcher, prince.php and converter; with the real logo program too, or its stand-in.
auto realConverterRun(testing::RunFolder& folder, bool realLogos) {
  folder.addFixture("files_a.txt");
  folder.addFixture("files_b.txt");
  fs::remove(folder.root() + "bin/php5");
  if (realLogos) {
    fs::remove(folder.root() + "weblogo-3.4/weblogo");
    fs::create_symlink(testing::sourceDir() + "/run/weblogo-3.4/weblogo",
                       folder.root() + "weblogo-3.4/weblogo");
  }
  fs::copy_file(testing::sourceDir() + "/run/prince.php", folder.root() + "prince.php");
  testing::Answers answers;
  answers.files = {"files_a.txt", "files_b.txt"};
  answers.type = "Global-Only";
  answers.format = "PDF";
  return testing::runProgram(testing::dialogueInput(folder, answers), folder.root());
}

// A whole run with the real interpreter launcher, prince.php and converter: a small global-matching
// page (two files, three motifs each) with its logos becomes a landscape PDF with page numbers, and with
// format "PDF" only the PDF stays.
TEST(PdfConversion, RealConverterMakesALandscapePdfWithLogosAndPageNumbers) {
  for (const char* program :
       {"php5", "chromium-headless-shell", "pdftotext", "pdfinfo", "pdfimages", "weblogo"})
    if (!installed(program)) GTEST_SKIP() << program << " is not installed";
  testing::RunFolder folder;
  const auto run = realConverterRun(folder, true);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output.find("No PDF"), std::string::npos) << run.output;

  std::vector<std::string> names;
  for (const auto& name : testing::runOutputNames(folder.result()))
    names.push_back(testing::withoutJob(name));
  EXPECT_EQ(names, (std::vector<std::string>{"HTML_Global_Matching_Results.pdf", "input_motifs.txt"}));
  std::string pdfFile;
  for (const auto& name : testing::runOutputNames(folder.result()))
    if (name.ends_with(".pdf")) pdfFile = folder.result() + name;
  ASSERT_FALSE(pdfFile.empty());

  const std::string text = commandOutput("pdftotext '" + pdfFile + "' -");
  EXPECT_NE(text.find("KORVELAN - KORVELAN Detection Tool"), std::string::npos) << text;
  EXPECT_NE(text.find("Page 1 of"), std::string::npos) << text;

  const std::string info = commandOutput("pdfinfo '" + pdfFile + "' 2>&1");
  double width = 0, height = 0;
  const auto at = info.find("Page size:");
  ASSERT_NE(at, std::string::npos) << info;
  ASSERT_EQ(std::sscanf(info.c_str() + at, "Page size: %lf x %lf", &width, &height), 2) << info;
  EXPECT_GT(width, height);

  // The logos reach the PDF through their paths relative to the page: colour images (the heading's
  // shadow is the one grey image).
  const std::string imageList = commandOutput("pdfimages -list '" + pdfFile + "'");
  int colourImages = 0;
  for (const auto& line : splitLines(imageList)) {
    std::istringstream fields(line);
    std::string pageNumber, number, type, width, height, colour;
    if (fields >> pageNumber >> number >> type >> width >> height >> colour && type == "image" &&
        colour != "gray")
      ++colourImages;
  }
  EXPECT_GT(colourImages, 0) << imageList;
  EXPECT_TRUE(fileExists(folder.root() + "prince.log"));
}

// The word's left and right edge on the page, from pdftotext -bbox (both 0 when it is not there).
std::pair<double, double> wordEdges(const std::string& bboxPage, const std::string& word) {
  const std::string at = ">" + word + "</word>";
  const auto end = bboxPage.find(at);
  if (end == std::string::npos) return {0, 0};
  const auto begin = bboxPage.rfind("<word", end);
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
  std::sscanf(bboxPage.c_str() + begin, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &xMin,
              &yMin, &xMax, &yMax);
  return {xMin, xMax};
}

// The alignment lines ask for Courier New; the converter must find a monospace font for them (Liberation
// Mono on Debian), or "------BTGACGTA" over "CTATWTWTGG----" no longer lines up letter by letter.
TEST(PdfConversion, AlignmentLinesAreInAMonospaceFontAndLineUp) {
  for (const char* program : {"php5", "chromium-headless-shell", "pdftotext", "pdffonts"})
    if (!installed(program)) GTEST_SKIP() << program << " is not installed";
  testing::RunFolder folder;
  const auto run = realConverterRun(folder, false);  // the page's text is what counts here
  ASSERT_EQ(run.status, 0) << run.output;
  std::string pdfFile;
  for (const auto& name : testing::runOutputNames(folder.result()))
    if (name.ends_with(".pdf")) pdfFile = folder.result() + name;
  ASSERT_FALSE(pdfFile.empty()) << run.output;

  const std::string fonts = commandOutput("pdffonts '" + pdfFile + "'");
  EXPECT_NE(fonts.find("Mono"), std::string::npos) << fonts << "(is fonts-liberation installed?)";

  const auto layout = splitLines(commandOutput("pdftotext -layout '" + pdfFile + "' -"));
  const auto top = std::find(layout.begin(), layout.end(), "------BTGACGTA");
  ASSERT_NE(top, layout.end());
  ASSERT_NE(top + 1, layout.end());
  EXPECT_EQ(top[1], "CTATWTWTGG----");  // the next line, from the same column on
  // Each letter in the same column: the two lines of 14 letters start and end at the same place.
  const std::string boxes = commandOutput("pdftotext -bbox '" + pdfFile + "' -");
  const auto upper = wordEdges(boxes, "------BTGACGTA");
  const auto lower = wordEdges(boxes, "CTATWTWTGG----");
  EXPECT_GT(upper.second, upper.first);
  EXPECT_NEAR(upper.first, lower.first, 0.01);
  EXPECT_NEAR(upper.second, lower.second, 0.01) << "the letters are of different widths";
}

}  // namespace
}  // namespace korvelan
