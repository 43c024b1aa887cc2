// tarvo-tool export: a clip of a stretch of driving with the facts burned in, or the
// evidence package around it.

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "app/AppInfo.h"
#include "cli/Commands.h"
#include "cli/MediaSession.h"
#include "settings/ViewerSettings.h"
#include "sources/RecordingCollection.h"
#include "tools/export/EvidencePackage.h"

namespace cli {

namespace {

const char kExportHelp[] =
    "usage: tarvo-tool export FILE|FOLDER... --from \"YYYY-MM-DD HH:MM:SS\" --to \"YYYY-MM-DD HH:MM:SS\"\n"
    "                         OUT.mp4 | --package FOLDER\n"
    "                         [--layout front|rear|side|pip] [--overlay time,speed,position,g|none]\n"
    "                         [--quality high|standard]\n\n"
    "Makes an MP4 clip (H.264 and AAC, index at the front) of the stretch from --from to\n"
    "--to on the dashcam's clock (the times in the recording names). The range may run\n"
    "through consecutive recordings of the files and folders given. Every frame of the\n"
    "range is in the clip once, at the recordings' frame rate, with the sound.\n\n"
    "  --layout    front or rear camera alone, side by side (each at its own aspect), or\n"
    "              the rear camera in a corner of the front one (pip)      [side]\n"
    "  --overlay   facts burned into each frame: the date and time, the speed, the\n"
    "              position, the G-sensor values, and the recording's name [all]\n"
    "  --quality   high (x264 medium, CRF 18) or standard (veryfast, CRF 23) [standard]\n"
    "  --package FOLDER  instead of OUT.mp4: the evidence package in FOLDER (new or empty):\n"
    "              byte copies of the recordings, clip.mp4, telemetry.csv and .gpx, the\n"
    "              report at the start (report.pdf), summary.txt and SHA256SUMS\n"
    "              (check it with tarvo-tool verify FOLDER)\n\n"
    "The speed unit, the rear mirror and the report's language and title follow the\n"
    "viewer's settings file. Ctrl+C stops the export and leaves nothing behind.\n"
    "Exit status 1 when the range cannot be exported (a file already there is kept).\n";

std::atomic<bool> gCancel{false};

void OnSignal(int) { gCancel.store(true); }

int Usage(const std::string& message) {
  std::fprintf(stderr, "tarvo-tool export: %s (see --help)\n", message.c_str());
  return kExitUsage;
}

bool EndsWithMp4(const std::string& path) {
  if (path.size() < 4) return false;
  std::string tail = path.substr(path.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".mp4";
}

// One progress line, rewritten in place on a terminal.
class ProgressLine {
 public:
  void Show(const clipexport::ExportProgress& p) {
    if (!isatty(STDERR_FILENO)) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < std::chrono::milliseconds(250) && p.fraction < 1.0) return;
    last_ = now;
    std::fprintf(stderr, "\r%3d%%  %-28.28s", static_cast<int>(p.fraction * 100), p.step.c_str());
    if (p.secondsLeft >= 0) std::fprintf(stderr, " %4.0f s left", p.secondsLeft);
    std::fflush(stderr);
    shown_ = true;
  }
  ~ProgressLine() {
    if (shown_) std::fputs("\n", stderr);
  }

 private:
  std::chrono::steady_clock::time_point last_{};
  bool shown_ = false;
};

}  // namespace

int RunExport(const Args& args) {
  if (WantsHelp(args)) {
    std::fputs(kExportHelp, stdout);
    return kExitOk;
  }
  std::vector<std::string> inputs;
  std::string from, to, out, package;
  clipexport::ExportRequest request;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--from" || a == "--to" || a == "--layout" || a == "--overlay" || a == "--quality" || a == "--package") {
      if (i + 1 >= args.size()) return Usage(a + " needs a value");
      const std::string& value = args[++i];
      if (a == "--from") from = value;
      if (a == "--to") to = value;
      if (a == "--package") package = value;
      if (a == "--layout" && !clipexport::ParseLayout(value, request.layout))
        return Usage("--layout takes front, rear, side or pip");
      if (a == "--overlay" && !clipexport::ParseOverlayFields(value, request.fields))
        return Usage("--overlay takes time, speed, position, g (separated by commas) or none");
      if (a == "--quality" && !clipexport::ParseQuality(value, request.quality))
        return Usage("--quality takes high or standard");
    } else if (a.rfind("--", 0) == 0) {
      return Usage("unknown option " + a);
    } else {
      inputs.push_back(a);
    }
  }
  if (package.empty()) {
    if (inputs.empty() || !EndsWithMp4(inputs.back())) return Usage("give OUT.mp4 last, or --package FOLDER");
    out = inputs.back();
    inputs.pop_back();
  }
  if (inputs.empty()) return Usage("give the recordings (files or folders)");
  int64_t fromSeconds = 0, toSeconds = 0;
  if (!clipexport::ParseClockText(from, fromSeconds) || !clipexport::ParseClockText(to, toSeconds))
    return Usage("give --from and --to as \"YYYY-MM-DD HH:MM:SS\"");

  ViewerSettings& settings = TheViewerSettings();
  ReadSettings(SettingsFilePath(), settings);
  request.miles = settings.speedInMiles;
  request.timeZone = settings.timeZone;
  request.mirrorRear = settings.rearMirror;
  request.language = settings.language;
  request.model = settings.model;
  request.program = std::string("tarvo-tool export, ") + app::kAppName + " " + app::kAppVersion;

  RecordingCollection set;
  set.AddExtension("AVI");
  if (!set.OpenChosenPaths(inputs)) {
    std::fputs("tarvo-tool export: no recordings (.avi files) found in the given paths\n", stderr);
    return kExitFailed;
  }
  std::vector<clipexport::JobRecording> recordings;
  for (const RecordingEntry& entry : set.entries) {
    clipexport::JobRecording r;
    if (clipexport::JobRecordingOf(entry, nullptr, r)) recordings.push_back(std::move(r));
  }
  request.sourceText = "files and folders: ";
  for (std::size_t i = 0; i < inputs.size(); ++i) request.sourceText += (i ? ", " : "") + inputs[i];
  std::string error;
  if (!clipexport::PlanExport(std::move(recordings), fromSeconds * clipexport::kUnitsPerSecond,
                              toSeconds * clipexport::kUnitsPerSecond, request.plan, error)) {
    std::fprintf(stderr, "tarvo-tool export: %s\n", error.c_str());
    return kExitFailed;
  }

  MediaSession session;
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  clipexport::ExportOutcome outcome;
  {
    ProgressLine line;
    const auto show = [&line](const clipexport::ExportProgress& p) { line.Show(p); };
    outcome = package.empty() ? clipexport::ExportClipFile(request, out, show, &gCancel)
                              : clipexport::ExportEvidencePackage(request, package, show, &gCancel);
  }
  if (!outcome.ok) {
    std::fprintf(stderr, "tarvo-tool export: %s\n",
                 outcome.cancelled ? "stopped; nothing was written" : outcome.error.c_str());
    return kExitFailed;
  }
  std::printf("%s\n", outcome.output.string().c_str());
  return kExitOk;
}

}  // namespace cli
