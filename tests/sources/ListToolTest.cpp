// tarvo-tool list: what users' scripts read from it.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

namespace {

using testsupport::MakeFile;
using testsupport::ReadBytes;
using testsupport::TempFolder;

struct ToolRun {
  int status = -1;
  std::string out;
};

// Runs the tool with `arguments` (already quoted); standard error goes to `errFile`.
ToolRun Tool(const std::string& arguments, const std::string& errFile) {
  const std::string command =
      "TARVO_CONFIG_DIR=/nonexistent '" TARVO_BINARY_DIR "/bin/tarvo-tool' list " + arguments + " 2>'" + errFile + "'";
  ToolRun run;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class ListTool : public ::testing::Test {
 protected:
  std::string Quote(const std::string& path) const { return "'" + path + "'"; }
  // The path of `relative` inside the test's folder.
  std::string At(const std::string& relative) const { return (temp.Path() / relative).string(); }
  void File(const std::string& relative) const { MakeFile(temp.Path() / relative); }

  TempFolder temp;
  std::string errFile = At("stderr.txt");
};

TEST_F(ListTool, PrintsSixTabSeparatedColumnsInDateOrder) {
  File("set/REC_20120315_134501_2.avi");
  File("set/deep/er/EVT_20120315_134400_1.avi");
  File("set/notes.txt");
  const ToolRun run = Tool("--language 0 " + Quote(At("set")), errFile);
  EXPECT_EQ(run.status, 0);
  const std::string expected = "1\t2012-03-15\t13:44:00\t" + LanguageString(kStrLabelEvent) + "\t" +
                               (At("set/deep/er/EVT_20120315_134400_1.avi")) +
                               "\tEVT_20120315_134400_1.avi\n"
                               "2\t2012-03-15\t13:45:01\t" +
                               LanguageString(kStrLabelNormal) + "\t" + (At("set/REC_20120315_134501_2.avi")) +
                               "\tREC_20120315_134501_2.avi\n";
  EXPECT_EQ(run.out, expected);
}

TEST_F(ListTool, GroupListsOneTypeNumberedFromOne) {
  File("set/REC_20120315_134501_2.avi");
  File("set/PRK_20120315_134502_2.avi");
  File("set/PAR_20120315_134503_2.avi");
  const ToolRun run = Tool("--group parking " + Quote(At("set")), errFile);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.substr(0, 2), "1\t");
  EXPECT_NE(run.out.find("PRK_20120315_134502_2.avi\n"), std::string::npos);
  EXPECT_EQ(run.out.find("PAR_"), std::string::npos);
  EXPECT_EQ(run.out.find("REC_"), std::string::npos);
  const ToolRun all = Tool(Quote(At("set")), errFile);
  EXPECT_NE(all.out.find("\tUnKnown\t"), std::string::npos);
}

// A newline in a name split a recording over two lines of the output.
TEST_F(ListTool, ControlCharactersInNamesAreEscapedSoEachRecordingStaysOneLine) {
  File("a\nb\\c/REC_20120315_134501_2\t\x01.avi");
  const ToolRun run = Tool("--language 0 " + Quote(At("a\nb\\c")), errFile);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "1\t2012-03-15\t13:45:01\t" + LanguageString(kStrLabelNormal) + "\t" +
                         At("a\\nb\\\\c/REC_20120315_134501_2\\t\\x01.avi") + "\tREC_20120315_134501_2\\t\\x01.avi\n");
}

TEST_F(ListTool, FileNamedWithoutExtensionIsFoundWithAvi) {
  File("REC_20120315_134501_2.avi");
  const ToolRun run = Tool(Quote(At("REC_20120315_134501_2")), errFile);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("\tREC_20120315_134501_2.avi\n"), std::string::npos);
}

TEST_F(ListTool, MissingPathFailsWithAMessage) {
  const ToolRun run = Tool(Quote(At("gone")), errFile);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(ReadBytes(errFile).find("gone"), std::string::npos);
}

TEST_F(ListTool, FolderWithoutRecordingsFailsWithAMessage) {
  File("empty/clip.mp4");
  const ToolRun run = Tool(Quote(At("empty")), errFile);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(ReadBytes(errFile).find("no recordings"), std::string::npos);
}

TEST_F(ListTool, WrongArgumentsAreUsageErrors) {
  EXPECT_EQ(Tool("", errFile).status, 2);
  EXPECT_EQ(Tool("--group sometimes x", errFile).status, 2);
  EXPECT_EQ(Tool("--language x y", errFile).status, 2);
  EXPECT_EQ(Tool("--language", errFile).status, 2);
  EXPECT_EQ(Tool("--language 12 x", errFile).status, 2) << "a language without a library would list no types";
  EXPECT_EQ(Tool("--frobnicate x", errFile).status, 2);
}

TEST_F(ListTool, HelpDescribesTheColumns) {
  const ToolRun run = Tool("--help", errFile);
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("usage: tarvo-tool list"), std::string::npos);
  EXPECT_NE(run.out.find("number, date, time, type, path, file name"), std::string::npos);
  EXPECT_NE(run.out.find("Control characters in paths and names are written as C escapes"), std::string::npos);
}

}  // namespace
