#include "core/utilities.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "support/test_support.h"

namespace korvelan {
namespace {

struct ValidatorCase {
  bool (*check)(std::string);
  const char* name;
  std::string text;
  bool expected;
};

TEST(Validators, CharacterClassTable) {
  const ValidatorCase cases[] = {
      {checkNumeric, "checkNumeric", "1.2.3", true},   {checkNumeric, "checkNumeric", "", true},
      {checkNumeric, "checkNumeric", "-1", false},     {checkNumeric, "checkNumeric", "abc", false},
      {checkDouble, "checkDouble", "1.2.3", false},    {checkDouble, "checkDouble", "", false},
      {checkDouble, "checkDouble", ".5", true},        {checkDouble, "checkDouble", "5.", true},
      {checkDouble, "checkDouble", "5", false},        {checkNumThreads, "checkNumThreads", "10", true},
      {checkNumThreads, "checkNumThreads", "12", true}, {checkNumThreads, "checkNumThreads", "007", true},
      {checkNumThreads, "checkNumThreads", "0", false}, {checkNumThreads, "checkNumThreads", "00", false},
      {checkNumThreads, "checkNumThreads", "-1", false}, {checkNumThreads, "checkNumThreads", "", false},
      {checkIUPAC, "checkIUPAC", "ACGTN-RYSWKMBDHV", true}, {checkIUPAC, "checkIUPAC", "acgt", false},
      {checkIUPAC, "checkIUPAC", "U", false},          {checkIUPAC, "checkIUPAC", "", true},
      {checkNucleotide, "checkNucleotide", "AC-GT", true}, {checkNucleotide, "checkNucleotide", "ACGN", false},
      {checkSpace, "checkSpace", "my\tfile.txt", true}, {checkSpace, "checkSpace", "my file.txt", false},
      {checkSpace, "checkSpace", "", true},
  };
  for (const auto& c : cases) EXPECT_EQ(c.check(c.text), c.expected) << c.name << "(\"" << c.text << "\")";
}

TEST(Validators, IsValidPathAcceptsOnlyExistingFolders) {
  testing::TempDir dir;
  testing::writeFile(dir.path() + "plain.txt", "x");
  EXPECT_TRUE(isValidPath(dir.path()));
  EXPECT_FALSE(isValidPath(dir.path() + "plain.txt"));
  EXPECT_FALSE(isValidPath(dir.path() + "missing/"));
  // Other file types whose mode shares bits with a folder's: a socket (and a block device).
  const std::string socketPath = dir.path() + "s";
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  EXPECT_FALSE(isValidPath(socketPath));
  close(fd);
  EXPECT_FALSE(isValidPath("/dev/null"));
  // A NUL would cut the path to a folder that exists.
  EXPECT_FALSE(isValidPath(dir.path() + std::string(1, '\0') + "x"));
}

TEST(Validators, ControlCharactersAreRefused) {
  EXPECT_TRUE(checkPrintable("/home/me/my motifs/", false));
  EXPECT_TRUE(checkPrintable("caf\xC3\xA9.txt", false));  // bytes above 127 are text
  EXPECT_TRUE(checkPrintable("a\tb", true));
  EXPECT_FALSE(checkPrintable("a\tb", false));
  for (const std::string& bad :
       {std::string("a\0b", 3), std::string("a\rb"), std::string("\x1b[2J"), std::string("a\x7f")})
    EXPECT_FALSE(checkPrintable(bad, true));
}

TEST(TextCleaning, RemoveSpacesHalvesInnerRunsAndTrims) {
  std::string text = "  1   2    3  ";
  removeSpaces(text);
  EXPECT_EQ(text, "1  2  3");
  std::string tabs = "a\t\tb ";
  removeSpaces(tabs);
  EXPECT_EQ(tabs, "a\t\tb");
  std::string blanks = "     ";
  removeSpaces(blanks);
  EXPECT_EQ(blanks, "");
  std::string five = "x     y";  // five blanks become three
  removeSpaces(five);
  EXPECT_EQ(five, "x   y");
}

TEST(TextCleaning, SpecialCharactersAndTokens) {
  EXPECT_EQ(removeSpecialCharacters("[ 12 -3.5e2 ]"), " 12 3.52 ");
  EXPECT_EQ(removeSpecialCharacters("A"), "");
  EXPECT_EQ(countToken("  ab c\td  "), 3);
}

TEST(Numbers, DefaultStreamFormat) {
  EXPECT_EQ(numberToString(1000), "1000");
  EXPECT_EQ(numberToString(1.0 / 3.0), "0.333333");
  EXPECT_EQ(numberToString(1e6), "1e+06");
  EXPECT_EQ(numberToString(4e-5), "4e-05");
  EXPECT_EQ(numberToString(4821), "4821");
}

TEST(Numbers, LeadingIntegerSaturatesInsteadOfWrapping) {
  EXPECT_EQ(leadingInteger("2.5"), 2);
  EXPECT_EQ(leadingInteger(".5"), 0);
  EXPECT_EQ(leadingInteger("007"), 7);
  EXPECT_EQ(leadingInteger("2147483647"), 2147483647);
  EXPECT_EQ(leadingInteger("3000000000"), 2147483647);
  EXPECT_EQ(leadingInteger("4294967297"), 2147483647);  // wrapping would give 1
  EXPECT_EQ(leadingInteger("99999999999999999999999"), 2147483647);
}

TEST(Clock, FormatsHaveTheirShapes) {
  const std::string stamp = getCurrDateTimeFormat();
  ASSERT_EQ(stamp.size(), 19u);
  EXPECT_EQ(stamp[4], '-');
  EXPECT_EQ(stamp[10], '_');
  EXPECT_EQ(stamp[13], '-');
  const std::string footer = getCurrDateTime();
  ASSERT_EQ(footer.size(), 19u);
  EXPECT_EQ(footer[2], '-');
  EXPECT_EQ(footer[10], ' ');
  EXPECT_EQ(footer[13], ':');
  EXPECT_FALSE(getCurrentDirectory().empty());
}

TEST(Paths, ToolRootDropsTheLastSevenCharacters) {
  const std::pair<std::string, std::string> cases[] = {
      {"/data/motifs/input/", "/data/motifs/"},  // "/input/" dropped, separator restored
      {"root/motifs/", "root/"},
      {"ab/", "ab/"},  // shorter than seven: all of it
      {"motifs/", ""},
      {"", ""},
      {"/home/u/run/motifs/", "/home/u/run/"},
  };
  for (const auto& [input, root] : cases) EXPECT_EQ(toolRoot(input), root) << input;
}

TEST(Html, EscapesTheFiveCharacters) {
  EXPECT_EQ(htmlEscape("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&#39;f");
  EXPECT_EQ(htmlEscape("MA0004.1 Arnt"), "MA0004.1 Arnt");
}

// What the output failure shows on a terminal that both streams write to: the console line ends
// before the error line, which so starts a line of its own (the terminal turns each line end into
// a carriage return and a line feed).
TEST(OutputFailure, OnATerminalTheErrorLineStartsALineOfItsOwn) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);
  std::cout.flush();
  std::fflush(stdout);
  const int savedOut = dup(STDOUT_FILENO);
  const int savedErr = dup(STDERR_FILENO);
  dup2(terminal, STDOUT_FILENO);
  dup2(terminal, STDERR_FILENO);
  int status = 0;
  try {
    failOutputFile("/gone/J_Results.txt", ENOENT);
  } catch (const RunEnded& ended) {
    status = ended.status;
  }
  std::cout.flush();
  std::fflush(stdout);
  dup2(savedOut, STDOUT_FILENO);
  dup2(savedErr, STDERR_FILENO);
  close(savedOut);
  close(savedErr);
  close(terminal);
  std::string screen;
  char buffer[256];
  pollfd entry{master, POLLIN, 0};
  while (poll(&entry, 1, 1000) > 0) {
    const ssize_t got = read(master, buffer, sizeof buffer);
    if (got <= 0) break;
    screen.append(buffer, static_cast<std::size_t>(got));
  }
  close(master);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(screen,
            "Invalid output path or output filename.\r\nError writing /gone/J_Results.txt: No such file or "
            "directory\r\n");
}

}  // namespace
}  // namespace korvelan
