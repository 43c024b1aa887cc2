// Formatting a card image end to end: the kept files, the two paths, the result
// codes and messages, and what happens when the format fails half way.

#include <gtest/gtest.h>

#include "device/CardFormatter.h"
#include "device/CardVolume.h"
#include "tests/device/DeviceTestSupport.h"

using namespace devicetest;

namespace {

constexpr uint64_t kFatOffset = 2048 * 512;
const std::string kSetupBytes = "Product Name            : Tarvo\r\nH/W Version             : V1.0.0\r\n";
// Bytes with a NUL inside: the literal's whole length, not its terminating NUL.
constexpr char kInstallerLiteral[] = "MSI installer of the card\0\x01\x02";
const std::string kInstallerBytes = std::string(kInstallerLiteral, sizeof kInstallerLiteral - 1);
const std::string kProgramInstallerBytes = "the installer beside the program";

std::string Messages(int number) {
  switch (number) {
    case 277:
      return "<legacy>";
    case 278:
      return "<failed>";
    case 279:
      return "<done>";
    case 280:
      return "<no script>";
    case 290:
      return "<kept in %1>";
    case 292:
      return "<card gone>";
    default:
      return "S" + std::to_string(number);
  }
}

class CardFormatting : public ::testing::Test {
 protected:
  void SetUp() override {
    VK_Kovr_Start();
    fs::create_directories(program);
    fs::copy_file(fs::path(TARVO_BINARY_DIR) / "bin" / device::kFormatScriptName, program / device::kFormatScriptName);
  }
  void TearDown() override { VK_Kovr_Stop(); }

  device::FormatRequest Request(const ImageCard& card, const std::string& model = "Tarvo") {
    device::FormatRequest r;
    r.card.root = card.root.string() + "/";
    r.card.physicalPath = card.image.string();
    r.modelName = model;
    r.volumeLabel = model;
    r.programFolder = program;
    r.safeFolder = safe;
    return r;
  }
  device::FormatOutcome Format(const device::FormatRequest& r, device::ProgramRunner run = device::RunProgram,
                               device::FormatPath path = device::FormatPath::kCardFileSystem) {
    device::CardFormatter formatter(r, Messages, std::move(run));
    return formatter.Run(path);
  }
  void PutCardFiles(const ImageCard& card) {
    WriteAll(card.root / "setup.cfg", kSetupBytes);
    WriteAll(card.root / device::kInstallerFileName, kInstallerBytes);
  }
  std::string FatFile(const ImageCard& card, const std::string& name, uint64_t offset = kFatOffset) {
    const fs::path out = temp / ("out-" + std::to_string(++outCount));
    if (!CopyOutOfFat(card.image, offset, name, out)) return "<missing>";
    return ReadAll(out);
  }
  std::vector<fs::path> SafeFolderContents() {
    std::vector<fs::path> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(safe, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
      if (it->is_regular_file()) files.push_back(it->path());
    return files;
  }

  testsupport::TempFolder temp;
  fs::path program = temp / "program";
  fs::path safe = temp / "safe";
  int outCount = 0;
};

TEST_F(CardFormatting, TarvoCardGetsPartitionsAreasAndALabelledFatHoldingTheKeptFiles) {
  const ImageCard card = AddImageCard(temp.Path(), "card", 256 * kMiB, false);
  PutCardFiles(card);
  const device::FormatOutcome out = Format(Request(card));
  EXPECT_TRUE(out.successful);
  EXPECT_EQ(device::kFormatSuccess, out.code);
  EXPECT_EQ("<done>", out.message);
  EXPECT_TRUE(out.keptFiles.empty());
  // Partitions and areas as the card file system wants them.
  device::CardPartition parts[4];
  ASSERT_TRUE(device::ReadCardPartitions(card.image.string(), parts));
  EXPECT_EQ(0x0C, parts[0].type);
  EXPECT_EQ(2048u, parts[0].startSector);
  EXPECT_EQ(100u * 2048, parts[0].sectorCount);
  EXPECT_EQ(0x4B, parts[1].type);
  EXPECT_NE(0, VK_Kovr_Check_Kovr_partition(card.image.c_str()));
  kovrtest::Card opened(card.image.string());
  ASSERT_TRUE(opened.Ok());
  ASSERT_EQ(3, VK_Kovr_Get_Area_Count(opened.Block()));
  KovrAreaInfo area{};
  ASSERT_EQ(0, VK_Kovr_Get_Area_Info(opened.Block(), 1, &area));
  EXPECT_STREQ("EVENT", area.name);
  EXPECT_EQ(20, area.percent);
  // FAT32 labelled "Tarvo" on partition 1, holding the kept files byte for byte.
  const std::vector<unsigned char> boot = testsupport::ReadBytesAt(card.image, kFatOffset, 512);
  EXPECT_EQ(0, std::memcmp(boot.data() + 82, "FAT32   ", 8));
  EXPECT_EQ("Tarvo", device::ReadVolumeLabel(card.image.string()));
  EXPECT_EQ(kSetupBytes, FatFile(card, "setup.cfg"));
  EXPECT_EQ(kInstallerBytes, FatFile(card, device::kInstallerFileName));
  // The root folder stands in for the mounted partition and shows the same files.
  EXPECT_EQ(kSetupBytes, ReadAll(card.root / "setup.cfg"));
  EXPECT_EQ(kInstallerBytes, ReadAll(card.root / device::kInstallerFileName));
  EXPECT_TRUE(SafeFolderContents().empty());
  EXPECT_FALSE(fs::exists(safe)) << "our folders are removed once the files are back";
  // A reader that checks the file system finds nothing wrong.
  const fs::path partition = temp / "p1.img";
  ASSERT_TRUE(
      Shell("dd if='" + card.image.string() + "' of='" + partition.string() + "' bs=1M skip=1 count=100 status=none"));
  EXPECT_TRUE(Shell("PATH=$PATH:/usr/sbin:/sbin fsck.fat -n '" + partition.string() + "' >/dev/null 2>&1"));
}

TEST_F(CardFormatting, CardWithoutInstallerGetsTheProgramsCopy) {
  WriteAll(program / device::kInstallerFileName, kProgramInstallerBytes);
  const ImageCard card = AddImageCard(temp.Path(), "card", 120 * kMiB, true);
  WriteAll(card.root / "setup.cfg", kSetupBytes);
  const device::FormatOutcome out = Format(Request(card));
  EXPECT_TRUE(out.successful);
  EXPECT_EQ(kProgramInstallerBytes, FatFile(card, device::kInstallerFileName));
  EXPECT_EQ(kProgramInstallerBytes, ReadAll(card.root / device::kInstallerFileName));
  EXPECT_EQ(kProgramInstallerBytes, ReadAll(program / device::kInstallerFileName)) << "the program keeps its own";
  EXPECT_EQ(kSetupBytes, FatFile(card, "setup.cfg"));
}

TEST_F(CardFormatting, SettingsFileInOtherLetterCaseIsNotKept) {
  const ImageCard card = AddImageCard(temp.Path(), "card", 120 * kMiB, true);
  WriteAll(card.root / "SETUP.CFG", kSetupBytes);
  const device::FormatOutcome out = Format(Request(card));
  EXPECT_TRUE(out.successful);
  EXPECT_EQ("<missing>", FatFile(card, "setup.cfg"));
  EXPECT_TRUE(fs::exists(card.root / "SETUP.CFG")) << "the stand-in folder is not emptied";
}

TEST_F(CardFormatting, FailureHalfWayKeepsTheFilesInTheSafeFolderAndSaysSo) {
  // 64 MiB: partition 1 is written, then nothing is left for partition 2.
  const ImageCard card = AddImageCard(temp.Path(), "small", 64 * kMiB, false);
  PutCardFiles(card);
  const device::FormatOutcome out = Format(Request(card));
  EXPECT_FALSE(out.successful);
  EXPECT_EQ(device::kFormatPartition2Failed, out.code);
  ASSERT_FALSE(out.keptFolder.empty());
  EXPECT_EQ(safe, out.keptFolder.parent_path());
  EXPECT_EQ("<failed> (1004)\n\n<kept in " + out.keptFolder.string() + ">", out.message);
  EXPECT_EQ(std::vector<std::string>({device::kInstallerFileName, "setup.cfg"}), out.keptFiles);
  EXPECT_EQ(kSetupBytes, ReadAll(out.keptFolder / "setup.cfg"));
  EXPECT_EQ(kInstallerBytes, ReadAll(out.keptFolder / device::kInstallerFileName));
  EXPECT_FALSE(fs::exists(card.root / "setup.cfg")) << "a card without a FAT does not get them back";
}

TEST_F(CardFormatting, FatWriteThatFailsKeepsTheFilesAndCountsAsFormatted) {
  const ImageCard card = AddImageCard(temp.Path(), "card", 120 * kMiB, true);
  PutCardFiles(card);
  const auto failingScript = [](const std::vector<std::string>& argv) {
    if (fs::path(argv[0]).filename() == device::kFormatScriptName) return 1;
    return device::RunProgram(argv);
  };
  const device::FormatOutcome out = Format(Request(card), failingScript);
  EXPECT_TRUE(out.successful) << "the card file system is new: the recordings are gone";
  EXPECT_EQ("<failed> (1006)\n\n<kept in " + out.keptFolder.string() + ">", out.message);
  EXPECT_EQ(kSetupBytes, ReadAll(out.keptFolder / "setup.cfg"));
}

TEST_F(CardFormatting, CardRemovedDuringTheFormatIsReported) {
  const ImageCard card = AddImageCard(temp.Path(), "card", 120 * kMiB, true);
  PutCardFiles(card);
  const auto pulled = [&card](const std::vector<std::string>&) {
    fs::remove(card.image);
    return 1;
  };
  const device::FormatOutcome out = Format(Request(card), pulled);
  EXPECT_EQ("<failed> (1006)\n\n<card gone>\n\n<kept in " + out.keptFolder.string() + ">", out.message);
  EXPECT_EQ(kInstallerBytes, ReadAll(out.keptFolder / device::kInstallerFileName));
}

TEST_F(CardFormatting, KeptFilesOfAnEarlierFailureAreNeverOverwritten) {
  const ImageCard small = AddImageCard(temp.Path(), "small", 64 * kMiB, false);
  WriteAll(small.root / "setup.cfg", "first");
  const device::FormatOutcome first = Format(Request(small));
  WriteAll(small.root / "setup.cfg", "second");
  const device::FormatOutcome second = Format(Request(small));
  ASSERT_NE(first.keptFolder, second.keptFolder);
  EXPECT_EQ("first", ReadAll(first.keptFolder / "setup.cfg"));
  EXPECT_EQ("second", ReadAll(second.keptFolder / "setup.cfg"));
}

TEST_F(CardFormatting, MissingScriptIsReportedAndTheFilesStaySafe) {
  fs::remove(program / device::kFormatScriptName);
  const ImageCard card = AddImageCard(temp.Path(), "card", 120 * kMiB, true);
  PutCardFiles(card);
  const device::FormatOutcome out = Format(Request(card));
  EXPECT_TRUE(out.successful);
  EXPECT_EQ("<no script>\n\n<kept in " + out.keptFolder.string() + ">", out.message);
  EXPECT_EQ(2u, out.keptFiles.size());
}

TEST_F(CardFormatting, LegacySystemChangesNothingAndPutsTheFilesBack) {
  const ImageCard card = AddImageCard(temp.Path(), "card", 120 * kMiB, true);
  PutCardFiles(card);
  const std::vector<unsigned char> before = testsupport::ReadBytesAt(card.image, 0, 4 * kMiB);
  device::FormatRequest r = Request(card);
  r.legacySystem = true;
  const device::FormatOutcome out = Format(r);
  EXPECT_FALSE(out.successful);
  EXPECT_EQ("<legacy>", out.message);
  EXPECT_EQ(before, testsupport::ReadBytesAt(card.image, 0, 4 * kMiB));
  EXPECT_EQ(kSetupBytes, ReadAll(card.root / "setup.cfg"));
  EXPECT_EQ(kInstallerBytes, ReadAll(card.root / device::kInstallerFileName));
  EXPECT_TRUE(SafeFolderContents().empty());
}

TEST_F(CardFormatting, DeviceWithoutCapacityIsUntouchedAndGetsItsFilesBack) {
  const ImageCard card{temp / "empty", temp / "empty.img"};
  fs::create_directories(card.root);
  testsupport::MakeSparse(card.image, 0);
  PutCardFiles(card);
  const device::FormatOutcome out = Format(Request(card));
  EXPECT_EQ(device::kFormatNoCapacity, out.code);
  EXPECT_EQ("<failed> (1001)", out.message);
  EXPECT_EQ(kSetupBytes, ReadAll(card.root / "setup.cfg"));
  EXPECT_TRUE(out.keptFiles.empty());
}

TEST_F(CardFormatting, PartitionsThatCannotBeDeletedLeaveTheCardAsItWasWithItsFiles) {
  const ImageCard card = AddImageCard(temp.Path(), "locked", 120 * kMiB, true);
  PutCardFiles(card);
  // An image nobody may write, not even root: the card reads, the delete fails (1002).
  if (!Shell("chattr +i '" + card.image.string() + "' 2>/dev/null")) GTEST_SKIP() << "chattr +i is not available here";
  const std::vector<unsigned char> before = testsupport::ReadBytesAt(card.image, 0, 4 * kMiB);
  const device::FormatOutcome out = Format(Request(card));
  Shell("chattr -i '" + card.image.string() + "'");
  EXPECT_EQ(device::kFormatDeleteFailed, out.code);
  EXPECT_FALSE(out.successful);
  EXPECT_EQ("<failed> (1002)", out.message);
  EXPECT_EQ(kSetupBytes, ReadAll(card.root / "setup.cfg")) << "the kept files are back on the card";
  EXPECT_EQ(kInstallerBytes, ReadAll(card.root / device::kInstallerFileName));
  EXPECT_TRUE(out.keptFiles.empty());
  EXPECT_EQ(before, testsupport::ReadBytesAt(card.image, 0, 4 * kMiB));
}

TEST_F(CardFormatting, PathChoiceFollowsTheCardFileSystemAndTheModel) {
  const ImageCard kovr = AddImageCard(temp.Path(), "kovr", 120 * kMiB, true);
  const ImageCard plain = AddImageCard(temp.Path(), "plain", 120 * kMiB, false);
  EXPECT_EQ(device::FormatPath::kCardFileSystem, device::ChooseFormatPath(Request(kovr, "").card, ""));
  EXPECT_EQ(device::FormatPath::kCardFileSystem, device::ChooseFormatPath(Request(plain).card, "Tarvo"));
  EXPECT_EQ(device::FormatPath::kPlain, device::ChooseFormatPath(Request(plain, "").card, ""));
}

TEST_F(CardFormatting, PlainPathWritesFatOnTheVolumeAndLeavesTheRestOfTheCard) {
  const ImageCard card = AddImageCard(temp.Path(), "plain", 120 * kMiB, false);
  // An ordinary card: one FAT partition at 1 MiB.
  ASSERT_TRUE(Shell("printf 'start=2048, type=c\\n' | PATH=$PATH:/usr/sbin:/sbin sfdisk -q '" + card.image.string() +
                    "' >/dev/null 2>&1"));
  PutCardFiles(card);
  device::FormatRequest r = Request(card, "");
  r.volumeLabel = "";
  const device::FormatOutcome out = Format(r, device::RunProgram, device::FormatPath::kPlain);
  EXPECT_TRUE(out.successful);
  EXPECT_EQ(0, out.code) << "the partition sequence does not run";
  EXPECT_EQ("<done>", out.message);
  EXPECT_EQ(0, VK_Kovr_Check_Kovr_partition(card.image.c_str()));
  EXPECT_EQ(kSetupBytes, FatFile(card, "setup.cfg"));
  EXPECT_EQ("", device::ReadVolumeLabel(card.image.string())) << "no model, no label";
  device::CardPartition parts[4];
  ASSERT_TRUE(device::ReadCardPartitions(card.image.string(), parts));
  EXPECT_EQ(0x0C, parts[0].type) << "the partition table stays";
}

TEST(Placeholders, OnePassSoValuesAreNeverExpandedAgain) {
  EXPECT_EQ("volume /a/%2 label T", device::FillPlaceholders("volume %1 label %2", {"/a/%2", "T"}));
  EXPECT_EQ("100% sure", device::FillPlaceholders("100% sure", {"x"}));
  EXPECT_EQ("%3 stays", device::FillPlaceholders("%3 stays", {"a", "b"}));
}

TEST(MountedVolumes, FoundThroughMountInfoAndSys) {
  testsupport::TempFolder temp;
  const fs::path sys = temp / "sys";
  const fs::path part = sys / "devices/pci0/usb1/block/sdb/sdb1";
  fs::create_directories(part);
  fs::create_directories(sys / "dev/block");
  fs::create_symlink(part, sys / "dev/block/8:17");
  WriteAll(part / "partition", "1\n");
  WriteAll(part / "start", "2048\n");
  WriteAll(part / "size", "204800\n");
  const fs::path disk = temp / "sdb";
  WriteAll(disk, "");
  const fs::path info = temp / "mountinfo";
  WriteAll(info, "36 25 8:17 / /media/u/My\\040Card rw - vfat /dev/sdb1 rw\n");
  const device::MountedVolume v =
      device::FindMountedVolume("/media/u/My Card/", disk.string(), info.string(), sys.string());
  EXPECT_TRUE(v.mounted);
  EXPECT_EQ("/dev/sdb1", v.node);
  EXPECT_EQ(2048u, v.startSector);
  EXPECT_EQ(204800u, v.sectorCount);
  EXPECT_FALSE(device::FindMountedVolume("/media/u/Other", disk.string(), info.string(), sys.string()).mounted);
  // A card without partitions, mounted whole.
  const fs::path whole = sys / "devices/pci0/usb2/block/sdd";
  fs::create_directories(whole);
  fs::create_symlink(whole, sys / "dev/block/8:48");
  WriteAll(whole / "size", "7744512\n");
  const fs::path floppy = temp / "sdd";
  WriteAll(floppy, "");
  WriteAll(
      info,
      "36 25 8:17 / /media/u/My\\040Card rw - vfat /dev/sdb1 rw\n37 25 8:48 / /media/u/WHOLE rw - vfat /dev/sdd rw\n");
  const device::MountedVolume w =
      device::FindMountedVolume("/media/u/WHOLE", floppy.string(), info.string(), sys.string());
  EXPECT_TRUE(w.mounted);
  EXPECT_EQ("/dev/sdd", w.node);
  EXPECT_EQ(0u, w.startSector);
  EXPECT_EQ(7744512u, w.sectorCount);
  const fs::path otherDisk = temp / "sdc";
  WriteAll(otherDisk, "");
  EXPECT_FALSE(device::FindMountedVolume("/media/u/My Card", otherDisk.string(), info.string(), sys.string()).mounted)
      << "a volume of another disk is not the card's";
}

TEST(MountedVolumes, PartitionNodesOfDiskNames) {
  EXPECT_EQ("/dev/sdb1", device::PartitionNode("/dev/sdb", 1));
  EXPECT_EQ("/dev/mmcblk0p1", device::PartitionNode("/dev/mmcblk0", 1));
  EXPECT_EQ("/dev/nvme0n1p2", device::PartitionNode("/dev/nvme0n1", 2));
}

}  // namespace
