// Which chosen folders OK refuses: "/" and fixed mount points, never a card's root.

#include <gtest/gtest.h>

#include <filesystem>

#include "picker/SelectRule.h"
#include "sources/DriveTable.h"
#include "tests/picker/PickerTestSupport.h"

namespace {

using drives::Drive;
using picker::FirstRefusedPath;
using picker::IsFixedDriveRoot;

Drive MakeDrive(const std::string& root, const char* device, bool removable, bool systemDisk) {
  Drive d;
  d.root = root;
  d.device = device;
  d.removable = removable;
  d.systemDisk = systemDisk;
  d.mounted = true;
  return d;
}
Drive Fixed(const std::string& root) { return MakeDrive(root, "/dev/sda", false, false); }
Drive Card(const std::string& root) { return MakeDrive(root, "/dev/sdc", true, false); }

TEST(SelectRule, FileSystemRootIsRefusedEvenWithNoDrivesKnown) {
  EXPECT_TRUE(IsFixedDriveRoot("/", {}));
  EXPECT_TRUE(IsFixedDriveRoot("//", {}));
  EXPECT_TRUE(IsFixedDriveRoot("/.", {}));
  EXPECT_TRUE(IsFixedDriveRoot("/tmp/..", {}));
  EXPECT_TRUE(IsFixedDriveRoot("/", {MakeDrive("/", "/dev/sda", false, true)}));
}

TEST(SelectRule, FixedMountPointIsRefusedInAnySpelling) {
  const std::vector<Drive> drives = {Fixed("/"), Fixed("/mnt/data"), Card("/media/card")};
  EXPECT_TRUE(IsFixedDriveRoot("/mnt/data", drives));
  EXPECT_TRUE(IsFixedDriveRoot("/mnt/data/", drives));
  EXPECT_TRUE(IsFixedDriveRoot("/mnt/./data", drives));
  EXPECT_TRUE(IsFixedDriveRoot("/mnt/data", {Fixed("/mnt/data/")}));
}

TEST(SelectRule, FoldersBelowAFixedRootAreAccepted) {
  const std::vector<Drive> drives = {Fixed("/"), Fixed("/mnt/data")};
  EXPECT_FALSE(IsFixedDriveRoot("/mnt/data/recordings", drives));
  EXPECT_FALSE(IsFixedDriveRoot("/mnt", drives));
  EXPECT_FALSE(IsFixedDriveRoot("/home", drives));
  EXPECT_FALSE(IsFixedDriveRoot("/mnt/data/clip.avi", drives));
}

TEST(SelectRule, RootOfARemovableCardIsAccepted) {
  const std::vector<Drive> drives = {Fixed("/"), Card("/media/user/CARD")};
  EXPECT_FALSE(IsFixedDriveRoot("/media/user/CARD", drives));
  EXPECT_FALSE(IsFixedDriveRoot("/media/user/CARD/", drives));
  EXPECT_FALSE(IsFixedDriveRoot("/media/user/CARD/NORMAL", drives));
}

TEST(SelectRule, DriveTableMayDeclareTheFileSystemRootACard) { EXPECT_FALSE(IsFixedDriveRoot("/", {Card("/")})); }

TEST(SelectRule, EmptyPathIsNoRoot) { EXPECT_FALSE(IsFixedDriveRoot("", {Fixed("/")})); }

TEST(SelectRule, LinkToAFixedRootIsRefusedAndLinkToACardAccepted) {
  pickertest::TempFolder folder;
  std::filesystem::create_directories(folder / "fixed");
  std::filesystem::create_directories(folder / "card");
  std::filesystem::create_directory_symlink(folder / "fixed", folder / "to-fixed");
  std::filesystem::create_directory_symlink(folder / "card", folder / "to-card");
  std::filesystem::create_directory_symlink("/", folder / "to-root");
  const std::vector<Drive> drives = {Fixed((folder / "fixed").string()), Card((folder / "card").string())};
  EXPECT_TRUE(IsFixedDriveRoot((folder / "to-fixed").string(), drives));
  EXPECT_TRUE(IsFixedDriveRoot((folder / "to-root").string(), drives));
  EXPECT_FALSE(IsFixedDriveRoot((folder / "to-card").string(), drives));
  EXPECT_FALSE(IsFixedDriveRoot(folder.Path().string(), drives));
}

TEST(SelectRule, FirstRefusedPathNamesTheFirstRootInTheSelection) {
  const std::vector<Drive> drives = {Fixed("/mnt/data"), Card("/media/card")};
  EXPECT_EQ(FirstRefusedPath({"/media/card", "/home/u/clips", "/mnt/data", "/"}, drives), 2);
  EXPECT_EQ(FirstRefusedPath({"/", "/mnt/data"}, drives), 0);
  EXPECT_EQ(FirstRefusedPath({"/media/card", "/home/u/clips"}, drives), -1);
  EXPECT_EQ(FirstRefusedPath({}, drives), -1);
}

TEST(SelectRule, DrivesFromTheDriveTableDecide) {
  pickertest::TempFolder folder;
  std::filesystem::create_directories(folder / "fixed");
  std::filesystem::create_directories(folder / "card");
  const std::string fixed = (folder / "fixed").string();
  const std::string card = (folder / "card").string();
  pickertest::DriveTableScope table(folder / "drives.txt",
                                    {"# test drives", fixed + "|/dev/sda|system", card + "|/dev/sdc|removable"});
  const std::vector<Drive> drives = drives::ListDrives();
  ASSERT_EQ(drives.size(), 2u);
  EXPECT_TRUE(IsFixedDriveRoot(fixed, drives));
  EXPECT_FALSE(IsFixedDriveRoot(card, drives));
  EXPECT_TRUE(IsFixedDriveRoot("/", drives));
}

}  // namespace
