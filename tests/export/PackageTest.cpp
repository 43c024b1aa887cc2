// The evidence package, made and checked the way a user does it with tarvo-tool:
// byte copies of the recordings, the clip, the telemetry, the report and the summary,
// all under SHA256SUMS; any changed byte or missing file makes verify fail and name
// it. Made from a card, the copies are the card's files as they are, a cut-off one
// too. Cancelled, nothing is left behind.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <atomic>
#include <cstdio>
#include <sstream>

#include "kovr/Kovr.h"
#include "sources/RecordingCollection.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "telemetry/LoadTelemetry.h"
#include "tests/simulator/RecordingFixtures.h"
#include "tests/support/FileBytes.h"
#include "tests/support/QtApplication.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "tools/export/Checksums.h"
#include "tools/export/EvidencePackage.h"

namespace {

using namespace clipexport;

std::string Tool() { return std::string(TARVO_BINARY_DIR) + "/bin/tarvo-tool"; }

// Runs a command; its exit status and standard output.
int Shell(const std::string& command, std::string& out) {
  out.clear();
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return -1;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) out += line;
  const int status = ::pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Package : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new testsupport::TempFolder("tarvo-package-");
    std::filesystem::create_directory(folder_->Path() / "rec");
    for (int second : {15, 17, 19}) {
      simulator::RecordOptions o = fixtures::SmallOptions(2, 2, avi::AudioKind::Aac);
      o.start = fixtures::CameraClock(8, 30, second);
      recordings_.push_back(fixtures::Record(o, folder_->Path() / "rec"));
    }
  }
  static void TearDownTestSuite() {
    delete folder_;
    recordings_.clear();
  }
  static testsupport::TempFolder* folder_;
  static std::vector<std::filesystem::path> recordings_;
};

testsupport::TempFolder* Package::folder_ = nullptr;
std::vector<std::filesystem::path> Package::recordings_;

// The telemetry records of a recording whose times lie in [fromMs, toMs).
int RecordsIn(const std::filesystem::path& recording, int fromMs, int toMs) {
  FileByteSource file;
  EXPECT_TRUE(file.Open(recording.string()));
  avi::AviReader reader(file);
  EXPECT_TRUE(reader.Open());
  avi::AviTelemetrySource source(reader);
  TelemetrySamples samples;
  LoadTelemetry(&source, samples);
  int count = 0;
  for (const auto& s : samples.gpsSamples) count += s.recordTime >= fromMs && s.recordTime < toMs;
  for (const auto& s : samples.gsensorSamples) count += s.recordTime >= fromMs && s.recordTime < toMs;
  return count;
}

TEST_F(Package, VerifiesAndNamesEveryChangedOrMissingFile) {
  const auto package = folder_->Path() / "evidence";
  std::string out;
  ASSERT_EQ(0, Shell("TARVO_AUDIO_SINK=null '" + Tool() + "' export '" + (folder_->Path() / "rec").string() +
                         "' --from '2024-05-12 08:30:16' --to '2024-05-12 08:30:18' --layout front --package '" +
                         package.string() + "'",
                     out));
  EXPECT_EQ(package.string() + "\n", out);
  const std::vector<std::string> files = {"originals/" + recordings_[0].filename().string(),
                                          "originals/" + recordings_[1].filename().string(),
                                          kClipFileName,
                                          kTelemetryCsvName,
                                          kTelemetryGpxName,
                                          kReportFileName,
                                          kSummaryFileName};
  // Exactly these files and the list, nothing half-made beside the package.
  std::vector<std::string> found;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(package))
    if (entry.is_regular_file()) found.push_back(std::filesystem::relative(entry.path(), package).generic_string());
  std::sort(found.begin(), found.end());
  std::vector<std::string> expected = files;
  expected.push_back(kChecksumFileName);
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, found);
  EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(folder_->Path()), {}));  // rec/ and the package
  for (int r = 0; r < 2; ++r)
    EXPECT_EQ(testsupport::ReadBytes(recordings_[r]), testsupport::ReadBytes(package / files[r])) << files[r];
  EXPECT_EQ("%PDF", testsupport::ReadBytes(package / kReportFileName).substr(0, 4));
  // The telemetry of 08:30:16 to 08:30:18: the second half of the first recording,
  // the first half of the second; a header line above the records.
  const std::string csv = testsupport::ReadBytes(package / kTelemetryCsvName);
  EXPECT_EQ(1 + RecordsIn(recordings_[0], 1000, 2000) + RecordsIn(recordings_[1], 0, 1000),
            std::count(csv.begin(), csv.end(), '\n'));
  const std::string summary = testsupport::ReadBytes(package / kSummaryFileName);
  EXPECT_NE(std::string::npos, summary.find("Range asked for: 2024-05-12 08:30:16 to 2024-05-12 08:30:18\n"));
  EXPECT_NE(std::string::npos, summary.find("Range exported: 60 frames from 2024-05-12 08:30:16.000, 2.000 s"));
  EXPECT_NE(std::string::npos, summary.find("frames 00:01.000 to 00:02.000 (30 frames)\n")) << summary;
  EXPECT_NE(std::string::npos, summary.find("UTC+09:00"));

  ASSERT_EQ(0, Shell("cd '" + package.string() + "' && sha256sum --quiet -c SHA256SUMS", out)) << out;
  ASSERT_EQ(0, Shell("'" + Tool() + "' verify '" + package.string() + "'", out)) << out;
  EXPECT_NE(std::string::npos, out.find("intact: 7 files match SHA256SUMS"));
  // One changed byte anywhere is found and named.
  for (const std::string& name : files) {
    const auto path = package / name;
    const std::string bytes = testsupport::ReadBytes(path);
    std::string changed = bytes;
    changed[changed.size() / 2] = static_cast<char>(changed[changed.size() / 2] ^ 1);
    testsupport::WriteBytes(path, changed);
    EXPECT_EQ(1, Shell("'" + Tool() + "' verify '" + package.string() + "'", out)) << name;
    EXPECT_NE(std::string::npos, out.find("CHANGED     " + name + "\n")) << out;
    EXPECT_NE(std::string::npos, out.find("NOT intact: 1 changed, 0 missing")) << out;
    testsupport::WriteBytes(path, bytes);
  }
  std::filesystem::rename(package / kReportFileName, folder_->Path() / "moved.pdf");
  EXPECT_EQ(1, Shell("'" + Tool() + "' verify '" + package.string() + "'", out));
  EXPECT_NE(std::string::npos, out.find("MISSING     report.pdf\n")) << out;
  std::filesystem::rename(folder_->Path() / "moved.pdf", package / kReportFileName);
  EXPECT_EQ(0, Shell("'" + Tool() + "' verify '" + package.string() + "'", out)) << out;

  // A package is never written over.
  EXPECT_EQ(1, Shell("'" + Tool() + "' export '" + (folder_->Path() / "rec").string() +
                         "' --from '2024-05-12 08:30:16' --to '2024-05-12 08:30:18' --package '" + package.string() +
                         "' 2>&1",
                     out));
  EXPECT_NE(std::string::npos, out.find("already holds files")) << out;
}

TEST_F(Package, CardRecordingsAreCopiedAsTheyAreAndCancelLeavesNothing) {
  testsupport::TestApplication<QGuiApplication>();
  testsupport::ScopedEnv sink("TARVO_AUDIO_SINK", "null");
  // The first recording whole and the second cut off by a power cut, on a card.
  const auto image = folder_->Path() / "card.img";
  std::string out;
  const std::string card = "'" + Tool() + "' card ";
  ASSERT_EQ(0, Shell(card + "mkimage '" + image.string() + "' 120M", out));
  ASSERT_EQ(0, Shell(card + "format '" + image.string() + "'", out));
  ASSERT_EQ(0, Shell(card + "put '" + image.string() + "' NORMAL '" + recordings_[0].string() + "'", out));
  ASSERT_EQ(0,
            Shell(card + "put '" + image.string() + "' NORMAL '" + recordings_[1].string() + "' --cut-at 40000", out));
  ASSERT_EQ(0, Shell(card + "ls '" + image.string() + "' NORMAL", out));
  std::vector<JobRecording> list;
  std::istringstream listing(out);
  std::string name, size;
  int32_t number = 0;
  ASSERT_EQ(0, VK_Kovr_Start());
  unsigned char block[KOVR_CONNECTION_BLOCK_SIZE] = {};
  ASSERT_EQ(0, VK_Kovr_Device_Open(image.string().c_str(), KOVR_OPEN_DEFAULT, block));
  while (listing >> name >> number >> size) {
    RecordingEntry entry;
    entry.fileName = name;
    entry.cardFileNumber = number;
    RecordingCollection::ParseRecordingName(name, entry);
    JobRecording r;
    ASSERT_TRUE(JobRecordingOf(entry, block, r));
    list.push_back(r);
  }
  ASSERT_EQ(2u, list.size());
  int64_t from = 0;
  ASSERT_TRUE(ParseClockText("2024-05-12 08:30:16", from));
  ExportRequest request;
  request.layout = Layout::Front;
  std::string error;
  ASSERT_TRUE(
      PlanExport(list, from * kUnitsPerSecond, (from + 1) * kUnitsPerSecond + kUnitsPerSecond / 2, request.plan, error))
      << error;
  ASSERT_EQ(2u, request.plan.range.parts.size());

  // Cancelled while it copies: no package, no half-made folder.
  std::atomic<bool> cancel{false};
  const auto before = std::distance(std::filesystem::directory_iterator(folder_->Path()), {});
  ExportOutcome outcome = ExportEvidencePackage(
      request, folder_->Path() / "from-card", [&](const ExportProgress&) { cancel = true; }, &cancel);
  EXPECT_TRUE(outcome.cancelled);
  EXPECT_EQ(before, std::distance(std::filesystem::directory_iterator(folder_->Path()), {}));

  outcome = ExportEvidencePackage(request, folder_->Path() / "from-card");
  ASSERT_TRUE(outcome.ok) << outcome.error;
  EXPECT_TRUE(VerifyChecksumFile(folder_->Path() / "from-card").Passed());
  for (const JobRecording& r : list) {
    const auto copied = folder_->Path() / "card-copy";
    ASSERT_EQ(0, Shell(card + "get '" + image.string() + "' NORMAL " + r.fileName + " '" + copied.string() + "'", out));
    EXPECT_EQ(testsupport::ReadBytes(copied),
              testsupport::ReadBytes(folder_->Path() / "from-card/originals" / r.fileName))
        << r.fileName;
  }
  EXPECT_EQ(40000u, std::filesystem::file_size(folder_->Path() / "from-card/originals" / list[1].fileName));
  VK_Kovr_Device_Close(block);
  VK_Kovr_Stop();
}

}  // namespace
