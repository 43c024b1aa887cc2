// Finding drives: the drive table and the machine's mounted volumes.

#include <gtest/gtest.h>

#include <map>
#include <set>

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

// A copy of /sys: sda holds the root file system, sdb is a USB disk with fixed media
// (an SSD, say), mmcblk0 is a built-in card slot.
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
  EXPECT_FALSE(d[2].removable) << "a USB disk with fixed media is no card: one Yes would repartition it";
  EXPECT_FALSE(d[2].systemDisk);
}

TEST_F(FakeSystem, RemovableFlagOfTheDiskIsEnough) {
  std::ofstream(fs::path(sys_) / "devices/pci0/ata1/block/sda/removable") << "1\n";
  const std::vector<drives::Drive> d = drives::ListMountedDrives(mountinfo_, sys_);
  ASSERT_FALSE(d.empty());
  EXPECT_TRUE(d[0].removable);
  EXPECT_TRUE(d[0].systemDisk) << "and still the system disk, which is never a source";
}

// A machine whose system sits under every stacking layer there is, and removable
// disks around it: which disks hold the system, which are in use, and which may be
// offered, mounted or not.
class StackedSystem : public ::testing::Test {
 protected:
  void SetUp() override {
    sys_ = temp_.Path() / "sys";
    // / on LVM (dm-1) inside LUKS (dm-0) on sda2; /home on btrfs over sdb1 and sdc1;
    // swap on sdd1; sde1 is an LVM physical volume nobody mounted.
    Disk("sda", "0", {"sda1", "sda2"});
    Disk("sdb", "0", {"sdb1"});
    Disk("sdc", "0", {"sdc1"});
    Disk("sdd", "0", {"sdd1"});
    Disk("sde", "1", {"sde1"});
    Stacked("dm-0", "253:0", {"sda2"});
    Stacked("dm-1", "253:1", {"dm-0"});
    fs::create_directories(Dev("sde1") / "holders/dm-2");
    for (const char* member : {"sdb1", "sdc1"}) {
      fs::create_directories(sys_ / "fs/btrfs/0f0f/devices");
      fs::create_directory_symlink(Dev(member), sys_ / "fs/btrfs/0f0f/devices" / member);
    }
    // Removable: a card with its FAT mounted, a stick with a second volume mounted,
    // a card with nothing mounted.
    Disk("sdf", "1", {"sdf1", "sdf2"});
    Disk("sdg", "1", {"sdg1", "sdg2"});
    Disk("mmcblk0", "0", {"mmcblk0p1"});
    files_.sysRoot = sys_.string();
    files_.mountInfo = (temp_.Path() / "mountinfo").string();
    files_.swaps = (temp_.Path() / "swaps").string();
    WriteTable(files_.swaps, "Filename Type Size Used Priority\n/dev/sdd1 partition 1000 0 -2\n");
  }

  fs::path Dev(const std::string& name) { return sys_ / "devices/virtual/block/all" / name; }

  void Disk(const std::string& name, const char* removable, const std::vector<std::string>& partitions) {
    const fs::path dir = sys_ / "devices/pci0/block" / name;
    fs::create_directories(dir / "device");
    std::ofstream(dir / "removable") << removable << "\n";
    std::ofstream(dir / "size") << 15523840 << "\n";
    Link(dir, name, Number());
    int n = 0;
    for (const std::string& p : partitions) {
      fs::create_directories(dir / p);
      std::ofstream(dir / p / "partition") << ++n << "\n";
      Link(dir / p, p, Number());
    }
  }

  void Stacked(const std::string& name, const std::string& number, const std::vector<std::string>& slaves) {
    const fs::path dir = sys_ / "devices/virtual/block" / name;
    fs::create_directories(dir / "slaves");
    for (const std::string& s : slaves) fs::create_directory_symlink(Dev(s), dir / "slaves" / s);
    Link(dir, name, number);
  }

  // Every device also under one folder of links, so slaves and holders can name it.
  void Link(const fs::path& dir, const std::string& name, const std::string& number) {
    for (const char* folder : {"dev/block", "class/block", "block", "devices/virtual/block/all"})
      fs::create_directories(sys_ / folder);
    fs::create_directory_symlink(dir, sys_ / "dev/block" / number);
    fs::create_directory_symlink(dir, sys_ / "class/block" / name);
    fs::create_directory_symlink(dir, sys_ / "devices/virtual/block/all" / name);
    std::ofstream(dir / "dev") << number << "\n";
    if (!fs::exists(dir / "partition")) fs::create_directory_symlink(dir, sys_ / "block" / name);
  }

  // Device numbers in the order the devices are made.
  std::string Number() { return "8:" + std::to_string(next_++); }

  TempFolder temp_;
  fs::path sys_;
  drives::MachineFiles files_;
  int next_ = 0;
};

TEST_F(StackedSystem, SystemAndHeldDisksAreFoundThroughEveryLayer) {
  // Numbers: sda 8:0-2, sdb 8:3-4, sdc 8:5-6, sdd 8:7-8, sde 8:9-10, sdf 8:11-13,
  // sdg 8:14-16, mmcblk0 8:17-18; the mountinfo above names them by these.
  WriteTable(files_.mountInfo,
             "21 1 253:1 / / rw - ext4 /dev/mapper/vg-root rw\n"
             "22 21 0:44 / /home rw - btrfs /dev/sdc1 rw\n"
             "23 21 8:12 / /media/u/CARD rw - vfat /dev/sdf1 rw\n"
             "24 21 8:15 / /media/u/STICK rw - vfat /dev/sdg1 rw\n"
             "25 21 8:16 / /media/u/data rw - ext4 /dev/sdg2 rw\n");
  const std::set<std::string> system = drives::SystemDisks(files_);
  EXPECT_EQ((std::set<std::string>{"sda", "sdb", "sdc", "sdd", "sde"}), system)
      << "root through LVM and LUKS, both btrfs devices of /home, the swap disk, the held disk";

  const std::vector<drives::Drive> d = drives::ListMachineDrives(files_);
  std::map<std::string, drives::Drive> byRoot;
  for (const drives::Drive& drive : d) byRoot[drive.root] = drive;
  ASSERT_EQ(1u, byRoot.count("/media/u/CARD"));
  EXPECT_TRUE(drives::MayOffer(byRoot["/media/u/CARD"]));
  EXPECT_TRUE(byRoot["/media/u/CARD"].mounted);
  EXPECT_FALSE(drives::MayOffer(byRoot["/media/u/STICK"])) << "its second volume is mounted";
  EXPECT_TRUE(byRoot["/media/u/data"].foreignMount);
  ASSERT_EQ(1u, byRoot.count("/dev/mmcblk0")) << "a card with nothing mounted is named by its device";
  EXPECT_FALSE(byRoot["/dev/mmcblk0"].mounted);
  EXPECT_TRUE(drives::MayOffer(byRoot["/dev/mmcblk0"]));
  EXPECT_EQ(15523840ull * 512, byRoot["/dev/mmcblk0"].sizeBytes);
  ASSERT_EQ(1u, byRoot.count("/dev/sde")) << "removable, unmounted and held: listed, never offered";
  EXPECT_FALSE(drives::MayOffer(byRoot["/dev/sde"]));
  for (const drives::Drive& drive : d)
    if (drive.device == "/dev/sda") {
      EXPECT_FALSE(drives::MayOffer(drive));
    }
}

}  // namespace
