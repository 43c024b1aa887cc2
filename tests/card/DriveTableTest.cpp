// Finding drives: the drive table and the machine's mounted volumes.

#include <gtest/gtest.h>

#include "sources/DriveProbe.h"
#include "tests/card/CardTestSupport.h"
#include "tests/support/TempFolder.h"

using namespace kovrtest;
using namespace testsupport;
using namespace cardtest;

namespace {

TEST(DriveTable, LinesGiveRootDeviceAndFlags) {
  TempFolder temp;
  const fs::path table = temp.Path() / "drives";
  WriteTable(table,
             "# root|device|flags\n"
             "\n"
             "/media/card | /tmp/card.img | removable\n"
             "/|/dev/sda|system\n"
             "/media/usb|/dev/sdc|removable,system\n"
             "no separators here\n"
             "/media/x|/dev/sdx|\n");
  std::vector<drives::Drive> d;
  ASSERT_TRUE(drives::ReadDriveTable(table.string(), d));
  ASSERT_EQ(4u, d.size());
  EXPECT_EQ("/media/card", d[0].root);
  EXPECT_EQ("/tmp/card.img", d[0].device);
  EXPECT_TRUE(d[0].removable);
  EXPECT_FALSE(d[0].systemDisk);
  EXPECT_FALSE(d[1].removable);
  EXPECT_TRUE(d[1].systemDisk);
  EXPECT_TRUE(d[2].removable);
  EXPECT_TRUE(d[2].systemDisk);
  EXPECT_EQ("/dev/sdx", d[3].device);
  EXPECT_FALSE(d[3].removable);
}

TEST(DriveTable, ALineWithoutRootOrDeviceIsSkippedNotMadeADrive) {
  // Found by fuzzing: "ROOT||flags" gave a drive with no device behind it.
  TempFolder temp;
  const fs::path table = temp.Path() / "drives";
  WriteTable(table, "/media/card||removable\n |/dev/sdb|removable\n/media/ok|/tmp/ok.img|removable\n");
  std::vector<drives::Drive> d;
  ASSERT_TRUE(drives::ReadDriveTable(table.string(), d));
  ASSERT_EQ(1u, d.size());
  EXPECT_EQ("/media/ok", d[0].root);
}

TEST(DriveTable, UnreadableTableMeansNoDrivesNotTheMachinesOwn) {
  TempFolder temp;
  DriveTableScope scope(temp.Path() / "missing");
  EXPECT_TRUE(drives::ListDrives().empty());
}

TEST(DriveProbe, MountinfoEscapesAreDecoded) {
  EXPECT_EQ("/media/my card", drives::DecodeMountField("/media/my\\040card"));
  EXPECT_EQ("/a\\b", drives::DecodeMountField("/a\\134b"));
  EXPECT_EQ("/end\\04", drives::DecodeMountField("/end\\04"));
}

// A copy of /sys: sda holds the root file system, sdb sits behind a USB card reader
// that calls its slot fixed, mmcblk0 is a built-in card slot.
class FakeSystem : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path sys = temp_.Path() / "sys";
    MakeDisk(sys, "devices/pci0/ata1/block/sda", "sda", "0", "8:0", {{"sda1", "8:1"}});
    MakeDisk(sys, "devices/pci0/usb1/1-1/block/sdb", "sdb", "0", "8:16", {{"sdb1", "8:17"}});
    MakeDisk(sys, "devices/pci0/mmc_host/mmc0/block/mmcblk0", "mmcblk0", "0", "179:0", {{"mmcblk0p1", "179:1"}});
    sys_ = sys.string();
    mountinfo_ = (temp_.Path() / "mountinfo").string();
    WriteTable(mountinfo_,
               "21 1 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n"
               "30 21 0:5 / /proc rw - proc proc rw\n"
               "40 21 8:17 / /media/user/TARVO\\040CARD rw - vfat /dev/sdb1 rw\n"
               "41 21 8:17 /DCIM /mnt/bind rw - vfat /dev/sdb1 rw\n"
               "42 21 179:1 / /media/user/SD rw - vfat /dev/mmcblk0p1 rw\n"
               "43 21 8:1 / /home rw - ext4 /dev/sda1 rw\n");
  }

  static void MakeDisk(const fs::path& sys, const std::string& devicePath, const std::string& disk,
                       const std::string& removable, const std::string& number,
                       const std::vector<std::pair<std::string, std::string>>& partitions) {
    const fs::path dir = sys / devicePath;
    fs::create_directories(dir);
    std::ofstream(dir / "removable") << removable << "\n";
    fs::create_directories(sys / "block");
    fs::create_directories(sys / "dev/block");
    fs::create_directory_symlink(dir, sys / "block" / disk);
    fs::create_directory_symlink(dir, sys / "dev/block" / number);
    for (const auto& [name, num] : partitions) {
      fs::create_directories(dir / name);
      std::ofstream(dir / name / "partition") << "1\n";
      fs::create_directory_symlink(dir / name, sys / "dev/block" / num);
    }
  }

  TempFolder temp_;
  std::string sys_;
  std::string mountinfo_;
};

TEST_F(FakeSystem, VolumesComeWithTheirDiskAndWhetherItIsRemovable) {
  const std::vector<drives::Drive> d = drives::ListMountedDrives(mountinfo_, sys_);
  ASSERT_EQ(3u, d.size()) << "one drive per volume: no /proc, no bind mount, no second /home";
  EXPECT_EQ("/", d[0].root);
  EXPECT_EQ("/dev/sda", d[0].device);
  EXPECT_FALSE(d[0].removable);
  EXPECT_TRUE(d[0].systemDisk);
  EXPECT_EQ("/media/user/SD", d[1].root);
  EXPECT_EQ("/dev/mmcblk0", d[1].device);
  EXPECT_TRUE(d[1].removable);
  EXPECT_EQ("/media/user/TARVO CARD", d[2].root);
  EXPECT_EQ("/dev/sdb", d[2].device);
  EXPECT_TRUE(d[2].removable) << "a USB card reader counts as removable";
  EXPECT_FALSE(d[2].systemDisk);
}

TEST_F(FakeSystem, RemovableFlagOfTheDiskIsEnough) {
  std::ofstream(fs::path(sys_) / "devices/pci0/ata1/block/sda/removable") << "1\n";
  const std::vector<drives::Drive> d = drives::ListMountedDrives(mountinfo_, sys_);
  ASSERT_FALSE(d.empty());
  EXPECT_TRUE(d[0].removable);
  EXPECT_TRUE(d[0].systemDisk) << "and still the system disk, which is never a source";
}

}  // namespace
