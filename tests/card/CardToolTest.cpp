// tarvo-tool card, sources and list --card, run as a user runs them.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdio>

#include "tests/card/CardTestSupport.h"
#include "tests/support/FileBytes.h"
#include "tests/support/TempFolder.h"

using namespace kovrtest;
using namespace testsupport;
using namespace cardtest;

namespace {

struct ToolRun {
  int status = -1;
  std::string out;
};

ToolRun Tool(const std::string& arguments, const std::string& environment = "") {
  const std::string cmd =
      environment + " " + std::string(TARVO_BINARY_DIR) + "/bin/tarvo-tool " + arguments + " 2>/dev/null";
  ToolRun run;
  std::FILE* pipe = ::popen(cmd.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buf{};
  size_t n = 0;
  while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) run.out.append(buf.data(), n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class CardTool : public ::testing::Test {
 protected:
  void SetUp() override {
    image_ = (temp_.Path() / "card.img").string();
    ASSERT_EQ(0, Tool("card mkimage '" + image_ + "' 120M").status);
    const ToolRun format = Tool("card format '" + image_ + "'");
    ASSERT_EQ(0, format.status);
    ASSERT_EQ(0u, format.out.find("1000 success\n")) << format.out;
  }
  TempFolder temp_;
  std::string image_;
};

TEST_F(CardTool, EverySubcommandAnswersHelp) {
  for (const char* c : {"card --help", "sources --help", "list --help"}) {
    const ToolRun r = Tool(c);
    EXPECT_EQ(0, r.status) << c;
    EXPECT_NE(std::string::npos, r.out.find("usage: tarvo-tool")) << c;
  }
  EXPECT_NE(std::string::npos, Tool("list --help").out.find("--card DEV"));
}

TEST_F(CardTool, PutListsAndGetsByteForByte) {
  const fs::path file = temp_.Path() / "REC_20240101_120000_2.avi";
  const std::vector<unsigned char> data = Pattern(1500007, 3);
  {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  }
  const ToolRun put = Tool("card put '" + image_ + "' NORMAL '" + file.string() + "'");
  ASSERT_EQ(0, put.status);
  EXPECT_EQ("/NORMAL/REC_20240101_120000_2.avi\t1\t1500007\n", put.out);
  const ToolRun cut = Tool("card put '" + image_ + "' EVENT '" + file.string() + "' --cut-at 4000");
  EXPECT_EQ("/EVENT/REC_20240101_120000_2.avi\t2\t4000\tcut\n", cut.out);
  EXPECT_EQ("REC_20240101_120000_2.avi\t1\t1500007\n", Tool("card ls '" + image_ + "' NORMAL").out);
  EXPECT_EQ("NORMAL/REC_20240101_120000_2.avi\t1\t1500007\nEVENT/REC_20240101_120000_2.avi\t2\t4000\n",
            Tool("card ls '" + image_ + "'").out);
  const fs::path back = temp_.Path() / "back.avi";
  ASSERT_EQ(0, Tool("card get '" + image_ + "' NORMAL REC_20240101_120000_2.avi '" + back.string() + "'").status);
  EXPECT_EQ(data, ReadBytesAt(back, 0, 2000000));
  EXPECT_EQ(1, Tool("card get '" + image_ + "' NORMAL missing.avi '" + back.string() + "'").status);
  const ToolRun info = Tool("card info '" + image_ + "'");
  EXPECT_NE(std::string::npos, info.out.find("partition 1: type 0x0C, start sector 2048, 204800 sectors (100 MiB)"));
  EXPECT_NE(std::string::npos, info.out.find("area NORMAL: 40 %, 6291456 bytes (6 MiB)"));
  EXPECT_NE(std::string::npos, info.out.find("1 files, 1500007 bytes used"));
}

// A put that filled its area left a closed file of the first part, which listed and
// copied as if whole.
TEST_F(CardTool, APutThatDoesNotFitItsAreaLeavesNothingThatPassesForTheFile) {
  const fs::path big = temp_.Path() / "REC_20240101_120000_2.avi";
  {
    const std::vector<unsigned char> data = Pattern(7 << 20, 5);  // NORMAL holds 6 MiB
    std::ofstream(big, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  }
  const ToolRun put = Tool("card put '" + image_ + "' NORMAL '" + big.string() + "'");
  EXPECT_EQ(1, put.status);
  EXPECT_EQ("", put.out);
  EXPECT_EQ("", Tool("card ls '" + image_ + "' NORMAL").out);
  const fs::path back = temp_.Path() / "back.avi";
  EXPECT_EQ(1, Tool("card get '" + image_ + "' NORMAL REC_20240101_120000_2.avi '" + back.string() + "'").status);
  EXPECT_FALSE(fs::exists(back));
  EXPECT_NE(std::string::npos,
            Tool("card info '" + image_ + "'").out.find("area NORMAL: 40 %, 6291456 bytes (6 MiB) at"));
  // The area still takes what fits.
  const fs::path small = temp_.Path() / "REC_20240101_120100_2.avi";
  std::ofstream(small) << std::string(5000, 's');
  EXPECT_EQ(0, Tool("card put '" + image_ + "' NORMAL '" + small.string() + "'").status);
  EXPECT_EQ("REC_20240101_120100_2.avi\t2\t5000\n", Tool("card ls '" + image_ + "' NORMAL").out);
}

TEST_F(CardTool, ListCardShowsTheRowsOfList) {
  const fs::path file = temp_.Path() / "EVT_20240305_101112_2.avi";
  std::ofstream(file) << std::string(3000, 'e');
  ASSERT_EQ(0, Tool("card put '" + image_ + "' EVENT '" + file.string() + "'").status);
  const ToolRun list =
      Tool("list --language 0 --card '" + image_ + "'", "TARVO_CONFIG_DIR='" + temp_.Path().string() + "'");
  ASSERT_EQ(0, list.status);
  // number, date, time, type (a language label), path, file name
  EXPECT_EQ(0u, list.out.find("1\t2024-03-05\t10:11:12\t")) << list.out;
  EXPECT_NE(std::string::npos, list.out.find("\tEVT_20240305_101112_2.avi\tEVT_20240305_101112_2.avi\n"));
  const ToolRun bad = Tool("list --card '" + (temp_.Path() / "none.img").string() + "'");
  EXPECT_EQ(1, bad.status);
  EXPECT_EQ("KOVR drive cannot be opened\n", bad.out);
}

TEST_F(CardTool, SourcesFollowTheDriveTable) {
  const fs::path table = temp_.Path() / "drives";
  WriteTable(table, "/|/dev/sda|system\n" + temp_.Path().string() + "|" + image_ + "|removable\n");
  const ToolRun r = Tool("sources", "TARVO_DRIVE_TABLE='" + table.string() + "'");
  ASSERT_EQ(0, r.status);
  EXPECT_EQ("0\t" + temp_.Path().string() + "/\t" + image_ + "\t1\n1\t내 컴퓨터에서 찾기\t\t2\n", r.out);
  WriteTable(table, "/|/dev/sda|system\n");
  EXPECT_EQ("0\t내 컴퓨터에서 찾기\t\t2\n", Tool("sources", "TARVO_DRIVE_TABLE='" + table.string() + "'").out);
}

TEST_F(CardTool, InfoTelemetryAndRebuildReadRecordingsOnTheCard) {
  const fs::path rec = temp_.Path() / "EVT_20240101_120000_2.avi";
  ASSERT_EQ(0, Tool("record '" + rec.string() + "' --seconds 2 --size 320x180 --fps 10 --cut-at 150000").status);
  ASSERT_EQ(0, Tool("card put '" + image_ + "' EVENT '" + rec.string() + "' --cut-at 150000").status);
  const std::string onCard = "'" + image_ + "::/EVENT/EVT_20240101_120000_2.avi'";
  const ToolRun info = Tool("info " + onCard);
  ASSERT_EQ(0, info.status);
  EXPECT_NE(std::string::npos, info.out.find("size: 150000 bytes\nstate: cut-off\n")) << info.out;
  const ToolRun telemetry = Tool("telemetry " + onCard);
  EXPECT_EQ(0, telemetry.status);
  EXPECT_EQ(telemetry.out, Tool("telemetry '" + rec.string() + "'").out);
  const fs::path fixed = temp_.Path() / "fixed.avi";
  ASSERT_EQ(0, Tool("rebuild " + onCard + " '" + fixed.string() + "'").status);
  EXPECT_NE(std::string::npos, Tool("info '" + fixed.string() + "'").out.find("state: intact\nindex: present\n"));
  EXPECT_EQ(1, Tool("info '" + image_ + "::/EVENT/missing.avi'").status);
}

// A named pipe given as the card held every command in its open for ever.
TEST_F(CardTool, ANamedPipeIsNoCardAndIsRefusedAtOnce) {
  const fs::path pipe = temp_.Path() / "card.pipe";
  ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0600));
  for (const std::string command : {"card info", "card ls", "list --card"}) {
    const ToolRun r = Tool(command + " '" + pipe.string() + "'", "timeout 20");
    EXPECT_EQ(1, r.status) << command << ": 124 when it waited";
  }
  EXPECT_EQ(1, Tool("card put '" + pipe.string() + "' NORMAL '" + image_ + "'", "timeout 20").status);
  EXPECT_EQ(1, Tool("card format --yes '" + pipe.string() + "'", "timeout 20").status);
}

TEST_F(CardTool, BadArgumentsAreRefused) {
  EXPECT_EQ(2, Tool("card").status);
  EXPECT_EQ(2, Tool("card mkimage x 12Q").status);
  EXPECT_EQ(2, Tool("card frobnicate").status);
  EXPECT_EQ(1, Tool("card ls '" + (temp_.Path() / "none.img").string() + "'").status);
  const fs::path blank = temp_.Path() / "blank.img";
  ASSERT_EQ(0, Tool("card mkimage '" + blank.string() + "' 1M").status);
  EXPECT_EQ(1, Tool("card format '" + blank.string() + "'").status);
  EXPECT_NE(std::string::npos,
            Tool("card format '" + blank.string() + "'").out.find("1003 creating partition 1 failed"));
}

TEST_F(CardTool, FormatRefusesSystemAndMountedDevicesAndAsksForYesWithoutATerminal) {
  // /dev/null stands for a device: not a file, and harmless should anything open it.
  const fs::path table = temp_.Path() / "drives.table";
  WriteTable(table, "/|/dev/null|removable,system\n");
  ToolRun r = Tool("card format /dev/null --yes", "TARVO_DRIVE_TABLE='" + table.string() + "'");
  EXPECT_EQ(1, r.status);
  EXPECT_EQ("", r.out) << "nothing ran";
  WriteTable(table, "/media/u/CARD|/dev/null|removable\n");
  EXPECT_EQ(1, Tool("card format /dev/null --yes", "TARVO_DRIVE_TABLE='" + table.string() + "'").status);
  WriteTable(table, "");
  r = Tool("card format /dev/null < /dev/null", "TARVO_DRIVE_TABLE='" + table.string() + "'");
  EXPECT_EQ(2, r.status) << "a device without a terminal to ask needs --yes";
  EXPECT_EQ("", r.out);
}

}  // namespace
