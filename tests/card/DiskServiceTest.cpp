// Cards through the desktop's disk service, on the mock service of a private system
// bus: which disks are offered, a card seen with nothing mounted, a refused open, and
// the same as a user who may not open the card image itself.

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>

#include "device/CardList.h"
#include "tests/card/CardTestSupport.h"
#include "tests/support/FileBytes.h"
#include "tests/support/MockDiskService.h"
#include "tests/support/TempFolder.h"

using namespace kovrtest;
using namespace testsupport;

namespace {

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs tarvo-tool with the bus of the mock (and `prefix`, a user switch, before it).
ToolRun Tool(const std::string& arguments, const std::string& environment, const std::string& prefix = "") {
  TempFolder scratch;
  const std::string err = (scratch.Path() / "err").string();
  ::chmod(scratch.Path().c_str(), 0777);
  const std::string cmd = prefix + " env " + environment + " " + std::string(TARVO_BINARY_DIR) + "/bin/tarvo-tool " +
                          arguments + " 2>" + err;
  ToolRun run;
  std::FILE* pipe = ::popen(cmd.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buf{};
  size_t n = 0;
  while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) run.out.append(buf.data(), n);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = ReadBytes(err);
  return run;
}

// A plain card reader's card: partition 1 FAT (not mounted), partition 2 the card
// file system, as the mock describes it.
std::string CardSpec(const std::string& image, const char* extra = "") {
  return std::string("{'Image': <'") + image +
         "'>, 'Size': <uint64 125829120>, 'MediaRemovable': <true>, "
         "'Partitions': <[{'Number': <uint32 1>, 'Type': <'0x0c'>, 'IdType': <'vfat'>, 'IdLabel': <'TARVO'>}, "
         "{'Number': <uint32 2>, 'Type': <'0x4b'>}]>" +
         extra + "}";
}

class DiskService : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const std::string missing = MockDiskService::Missing(); !missing.empty()) GTEST_SKIP() << missing;
    service_ = std::make_unique<MockDiskService>();
    if (!service_->Ready()) GTEST_SKIP() << "the mock disk service did not start";
    image_ = MakeFormattedCard(temp_.Path());
    ASSERT_FALSE(image_.empty());
    ASSERT_FALSE(cardtest::Record(temp_.Path(), "REC_20240101_120000_2.avi", "").empty());
    const std::string put = std::string(TARVO_BINARY_DIR) + "/bin/tarvo-tool card put '" + image_ + "' NORMAL '" +
                            (temp_.Path() / "REC_20240101_120000_2.avi").string() + "' >/dev/null";
    ASSERT_EQ(0, std::system(put.c_str()));
    // Only the service may open the card: the user made below cannot.
    ::chmod(image_.c_str(), 0600);
    environment_ = "DBUS_SYSTEM_BUS_ADDRESS=" + service_->Address() + " TARVO_DRIVE_TABLE=";
  }

  TempFolder temp_;
  std::unique_ptr<MockDiskService> service_;
  std::string image_;
  std::string environment_;
};

TEST_F(DiskService, OnlyTheUnmountedCardIsOfferedNeverASystemHeldOrForeignDisk) {
  ASSERT_TRUE(service_->AddDisk("sdx", CardSpec(image_)));
  ASSERT_TRUE(service_->AddDisk("sda",
                                "{'Size': <uint64 500107862016>, 'HintSystem': <true>, 'ConnectionBus': <''>, "
                                "'Partitions': <[{'Number': <uint32 1>, 'IdType': <'ext4'>, 'MountPoint': <'/'>}]>}"));
  // Removable media the system uses all the same: an LVM physical volume, a LUKS
  // container, a stick whose second partition is mounted.
  ASSERT_TRUE(service_->AddDisk("sdy",
                                "{'Size': <uint64 8000000000>, 'MediaRemovable': <true>, "
                                "'Partitions': <[{'Number': <uint32 1>, 'IdType': <'LVM2_member'>}]>}"));
  ASSERT_TRUE(service_->AddDisk("sdz",
                                "{'Size': <uint64 8000000000>, 'MediaRemovable': <true>, "
                                "'IdType': <'crypto_LUKS'>}"));
  ASSERT_TRUE(
      service_->AddDisk("sdw",
                        "{'Size': <uint64 8000000000>, 'MediaRemovable': <true>, "
                        "'Partitions': <[{'Number': <uint32 1>, 'IdType': <'vfat'>, 'MountPoint': <'/media/u/STICK'>}, "
                        "{'Number': <uint32 2>, 'IdType': <'ext4'>, 'MountPoint': <'/media/u/data'>}]>}"));
  // A removable disk that is the system itself (a live stick): the service says so.
  ASSERT_TRUE(
      service_->AddDisk("sdv", "{'Size': <uint64 8000000000>, 'MediaRemovable': <true>, 'HintSystem': <true>}"));

  const std::string env = environment_ + " TARVO_DISK_ACCESS=service";
  const ToolRun sources = Tool("sources", env);
  ASSERT_EQ(0, sources.status) << sources.err;
  EXPECT_EQ(0u, sources.out.find("0\t/dev/sdx\t/dev/sdx\t1\n")) << sources.out;
  EXPECT_EQ(std::string::npos, sources.out.find("\n1\t/dev/")) << "one card, nothing else: " << sources.out;

  const ToolRun list = Tool("list --card /dev/sdx", env);
  EXPECT_EQ(0, list.status) << list.err;
  EXPECT_NE(std::string::npos, list.out.find("REC_20240101_120000_2.avi")) << list.out;

  ScopedEnv access(drives::kDiskAccessVariable, "service");
  ScopedEnv table(drives::kDriveTableVariable, nullptr);
  const std::vector<device::CardEntry> cards = device::ListCards();
  ASSERT_EQ(1u, cards.size());
  EXPECT_EQ("/dev/sdx", cards[0].physicalPath);
  EXPECT_EQ("/dev/sdx", cards[0].root) << "nothing mounted: the card is named by its device";
  EXPECT_EQ("TARVO(/dev/sdx)", device::CardEntryText(cards[0]));
  EXPECT_TRUE(cards[0].throughService);
}

TEST_F(DiskService, ARefusedOpenIsNamedNotSilent) {
  ASSERT_TRUE(service_->AddDisk("sdx", CardSpec(image_, ", 'Refuse': <true>")));
  const std::string env = environment_ + " TARVO_DISK_ACCESS=service";
  // Listing asks nobody: the partition type the service reports makes it a card.
  const ToolRun sources = Tool("sources", env);
  EXPECT_EQ(0u, sources.out.find("0\t/dev/sdx\t/dev/sdx\t1\n")) << sources.out;
  const ToolRun list = Tool("list --card /dev/sdx", env);
  EXPECT_EQ(1, list.status);
  EXPECT_EQ("KOVR drive cannot be opened\n", list.out) << "the library's one line, and the cause beside it";
  EXPECT_NE(std::string::npos,
            list.err.find("/dev/sdx cannot be opened: access refused by the system (Not authorized to perform "
                          "operation)"))
      << list.err;
}

// The user a desktop has: not root, not in the disk group.
TEST_F(DiskService, AUserWithoutRightsToTheDiskReachesTheCardThroughTheService) {
  if (::geteuid() != 0) GTEST_SKIP() << "making a user needs root";
  if (!getpwnam("tarvo-card-user") &&
      std::system("useradd --system --no-create-home --shell /usr/sbin/nologin tarvo-card-user >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "useradd cannot make a user here";
  const passwd* user = getpwnam("tarvo-card-user");
  ASSERT_NE(nullptr, user);
  const std::string as = "setpriv --reuid=" + std::to_string(user->pw_uid) +
                         " --regid=" + std::to_string(user->pw_gid) + " --clear-groups";
  ASSERT_TRUE(service_->AddDisk("sdx", CardSpec(image_)));
  // The temporary folder of the test is the user's home for the tool's settings.
  const std::string env = environment_ + " HOME=/tmp XDG_CONFIG_HOME=/tmp XDG_CACHE_HOME=/tmp";
  const ToolRun sources = Tool("sources", env, as);
  EXPECT_EQ(0u, sources.out.find("0\t/dev/sdx\t/dev/sdx\t1\n")) << sources.out << sources.err;
  const ToolRun list = Tool("list --card /dev/sdx", env, as);
  EXPECT_EQ(0, list.status) << list.err;
  EXPECT_NE(std::string::npos, list.out.find("REC_20240101_120000_2.avi")) << list.out;

  // Without the service the same user is told why, by the tool and for the image.
  const std::string noBus = "DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/bus HOME=/tmp XDG_CONFIG_HOME=/tmp";
  const ToolRun alone = Tool("sources", noBus, as);
  EXPECT_NE(std::string::npos, alone.err.find("no disk service (UDisks2) answers on the system bus")) << alone.err;
  const ToolRun direct = Tool("list --card '" + image_ + "'", noBus, as);
  EXPECT_EQ(1, direct.status);
  EXPECT_NE(std::string::npos, direct.err.find("access refused by the system (Permission denied)")) << direct.err;
}

}  // namespace
