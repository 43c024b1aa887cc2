#pragma once
// The two things an export makes from a planned range: the clip alone, or the
// evidence package, a folder holding
//   originals/   byte copies of the recordings the range runs through, as they are
//                (a card's cut-off recording too)
//   clip.mp4     the clip, made from those copies
//   telemetry.csv, telemetry.gpx   the telemetry records in the range
//   report.pdf   the viewer's two-page report at the range's first frame
//   summary.txt  what was exported, from where, how, and what the folder holds
//   SHA256SUMS   the sums of every file above, for `sha256sum -c` or tarvo-tool verify
// Both appear only when complete: the clip under a hidden name beside it, the package
// in a hidden folder beside it, renamed at the end. Cancelled or failed, they leave
// nothing behind.
//
// Needs a Qt Gui application (the overlay's text, the report's pages).

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "playback/export/ClipExporter.h"
#include "tools/export/ExportJob.h"
#include "tools/export/OverlayText.h"

namespace clipexport {

struct ExportRequest {
  ExportPlan plan;
  Layout layout = Layout::Side;
  Quality quality = Quality::Standard;
  OverlayFields fields;
  bool miles = false;       // the speed unit of the viewer's settings
  std::string timeZone;     // the viewer's TIME_ZONE: the burned-in clock, the CSV's local time
  bool mirrorRear = false;  // the viewer's rear-mirror setting
  bool background = false;  // below normal priority (the viewer)
  // For the package: who made it and from where, for the summary; the report's
  // language and title setting.
  std::string program;
  std::string sourceText;
  int language = 0;
  int model = 0;
};

struct ExportProgress {
  double fraction = 0;  // 0 ... 1 of the whole job
  double secondsLeft = -1;
  std::string step;  // what is being made, e.g. "clip.mp4"
};
using ExportProgressCallback = std::function<void(const ExportProgress&)>;

struct ExportOutcome {
  bool ok = false;
  bool cancelled = false;
  std::string error;
  std::filesystem::path output;  // the clip file or the package folder
  ClipResult clip;
};

// The names inside a package.
inline constexpr const char* kOriginalsFolder = "originals";
inline constexpr const char* kClipFileName = "clip.mp4";
inline constexpr const char* kTelemetryCsvName = "telemetry.csv";
inline constexpr const char* kTelemetryGpxName = "telemetry.gpx";
inline constexpr const char* kReportFileName = "report.pdf";
inline constexpr const char* kSummaryFileName = "summary.txt";

// The clip of the planned range into `clipPath`.
ExportOutcome ExportClipFile(const ExportRequest& request, const std::filesystem::path& clipPath,
                             const ExportProgressCallback& progress = {}, const std::atomic<bool>* cancel = nullptr);

// The evidence package into the folder `folder`, which must not exist yet or be empty.
ExportOutcome ExportEvidencePackage(const ExportRequest& request, const std::filesystem::path& folder,
                                    const ExportProgressCallback& progress = {},
                                    const std::atomic<bool>* cancel = nullptr);

// The engine's parts for a plan, reading the recordings where the plan names them
// (or, with `folder`, the copies of the same names in it).
std::vector<ClipSource> ClipSourcesOf(const ExportPlan& plan, const std::filesystem::path& folder = {});

}  // namespace clipexport
