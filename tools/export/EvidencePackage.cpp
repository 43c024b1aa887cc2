#include "tools/export/EvidencePackage.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <map>
#include <set>
#include <system_error>

#include "sources/RecordingCollection.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "telemetry/GpsClock.h"
#include "telemetry/LoadTelemetry.h"
#include "tools/capture/LocalTime.h"
#include "tools/capture/RecordingMoment.h"
#include "tools/export/Checksums.h"
#include "tools/export/OverlayPainter.h"
#include "tools/export/TelemetryFiles.h"
#include "tools/print/PrintContext.h"
#include "tools/print/ReportPdf.h"

namespace clipexport {

namespace {

constexpr std::size_t kCopyBlock = 4 << 20;
// Shares of the package's progress bar: copying the originals, the clip, the rest.
constexpr double kCopyShare = 0.15;
constexpr double kClipShare = 0.80;

std::vector<OverlayPart> OverlayPartsOf(const ExportPlan& plan) {
  std::vector<OverlayPart> parts;
  for (const RangePart& part : plan.range.parts)
    parts.push_back({plan.recordings[part.recording].fileName, plan.recordings[part.recording].clockStart});
  return parts;
}

// Runs the engine; progress of the clip is mapped onto [offset, offset + share).
ClipResult RunEngine(const ExportRequest& request, const std::vector<ClipSource>& sources,
                     const std::filesystem::path& clipPath, const ExportProgressCallback& progress, double offset,
                     double share, double secondsBefore, const std::atomic<bool>* cancel) {
  OverlayPainter painter(OverlayPartsOf(request.plan), request.fields, request.miles,
                         telemetry::ZoneNamed(request.timeZone));
  ClipOptions options;
  options.layout = request.layout;
  options.quality = request.quality;
  options.mirrorRear = request.mirrorRear;
  options.background = request.background;
  options.overlay = request.fields.Any() ? &painter : nullptr;
  return ExportClip(
      sources, options, clipPath.string(),
      [&](const ClipProgress& p) {
        if (!progress || p.framesTotal <= 0) return;
        ExportProgress out;
        const double done = static_cast<double>(p.framesDone) / static_cast<double>(p.framesTotal);
        out.fraction = offset + share * done;
        out.step = clipPath.filename().string();
        // The time left of the whole job, from the pace so far.
        const double elapsed = secondsBefore + p.secondsElapsed;
        if (out.fraction > 0.01) out.secondsLeft = elapsed * (1 - out.fraction) / out.fraction;
        progress(out);
      },
      cancel);
}

ExportOutcome Failed(const std::string& error) {
  ExportOutcome outcome;
  outcome.error = error;
  return outcome;
}

bool WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  return static_cast<bool>(out);
}

// Byte copy of a recording, as it is (a cut-off one too).
bool CopyOriginal(const JobRecording& recording, const std::filesystem::path& target, int64_t& bytes,
                  const std::function<void(int64_t)>& copied, const std::atomic<bool>* cancel, std::string& error) {
  const std::unique_ptr<ByteSource> source = OpenJobRecording(recording);
  if (!source) {
    error = "cannot read " + recording.fileName;
    return false;
  }
  std::ofstream out(target, std::ios::binary | std::ios::trunc);
  std::vector<char> block(kCopyBlock);
  const int64_t size = source->Size();
  int64_t offset = 0;
  while (offset < size) {
    if (cancel && cancel->load()) return false;
    const int64_t want = std::min<int64_t>(static_cast<int64_t>(block.size()), size - offset);
    const int64_t got = source->ReadAt(offset, block.data(), want);
    if (got != want) {
      error = "cannot read " + recording.fileName + " whole (stopped at byte " + std::to_string(offset) + ")";
      return false;
    }
    out.write(block.data(), static_cast<std::streamsize>(got));
    offset += got;
    copied(got);
  }
  out.close();
  if (!out) {
    error = "cannot write " + target.string();
    return false;
  }
  bytes = size;
  return true;
}

TelemetrySamples SamplesOf(const std::filesystem::path& copy) {
  TelemetrySamples samples;
  FileByteSource file;
  if (!file.Open(copy.string())) return samples;
  avi::AviReader reader(file);
  if (!reader.Open()) return samples;
  avi::AviTelemetrySource source(reader);
  LoadTelemetry(&source, samples);
  return samples;
}

std::string Seconds(int64_t units) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", static_cast<double>(units) / kUnitsPerSecond);
  return text;
}

std::string Offset(int64_t units) {
  const int64_t ms = RoundToMs(units) / kUnitsPerMs;
  char text[32];
  std::snprintf(text, sizeof text, "%02lld:%02lld.%03lld", static_cast<long long>(ms / 60000),
                static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
  return text;
}

std::string NowText() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  char text[64];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S (UTC%z)", &tm);
  return text;
}

struct CopiedOriginal {
  std::string name;  // in originals/
  int64_t bytes = 0;
};

std::string Summary(const ExportRequest& request, const std::map<std::size_t, CopiedOriginal>& originals,
                    const ClipResult& clip) {
  const ExportPlan& plan = request.plan;
  const RangePart& last = plan.range.parts.back();
  const int64_t firstClock = plan.FirstFrameClock();
  const int64_t endClock = plan.recordings[last.recording].clockStart * kUnitsPerSecond + RoundToMs(last.stop);
  const double fps =
      clip.frameRateDenominator > 0 ? static_cast<double>(clip.frameRateNumerator) / clip.frameRateDenominator : 0.0;
  const EncoderSettings encoder = EncoderSettingsOf(request.quality);
  char line[512];
  std::string s = "Evidence package\n\n";
  s += "Program: " + request.program + "\n";
  s += "Made: " + NowText() + ", the computer's clock\n";
  s += "Source: " + request.sourceText + "\n\n";
  std::snprintf(line, sizeof line, "Range asked for: %s to %s\n", ClockText(plan.from).c_str(),
                ClockText(plan.to).c_str());
  s += line;
  std::snprintf(line, sizeof line, "Range exported: %lld frames from %s.%03lld, %s, at %.3f frames per second\n",
                static_cast<long long>(plan.range.frames), ClockText(firstClock).c_str(),
                static_cast<long long>(firstClock / kUnitsPerMs % 1000),
                Seconds(clip.frames > 0 && fps > 0
                            ? static_cast<int64_t>(static_cast<double>(clip.frames * kUnitsPerSecond) / fps)
                            : endClock - firstClock)
                    .c_str(),
                fps);
  s += line;
  const std::shared_ptr<const platform::TimeZone> zone = telemetry::ZoneNamed(request.timeZone);
  s += std::string("Clock: every date and time here") + (zone ? "" : " and in the clip") +
       " is the dashcam's own clock, as written in the\n"
       "recording names (the dashcam keeps Korean time, UTC+09:00); a recording's moment is the time in\n"
       "its name plus the position in it. GPS times (gps_utc in telemetry.csv, telemetry.gpx) are UTC as\n"
       "the receiver sent them.\n";
  if (zone)
    s += "The clip's clock and the local_time column of telemetry.csv are the local time of " + zone->Name() +
         ",\nwith its offset from UTC at each moment.\n";
  s += "\n";
  s += "Recordings (byte copies in originals/, parts used in the clip):\n";
  for (const RangePart& part : plan.range.parts) {
    const JobRecording& r = plan.recordings[part.recording];
    const auto copy = originals.find(part.recording);
    std::snprintf(line, sizeof line, "  %s  starts %s, %lld bytes%s; frames %s to %s (%lld frames)\n",
                  copy != originals.end() ? copy->second.name.c_str() : r.fileName.c_str(),
                  ClockText(r.clockStart * kUnitsPerSecond).c_str(),
                  static_cast<long long>(copy != originals.end() ? copy->second.bytes : 0),
                  r.OnCard() ? ", from the card" : "", Offset(part.start).c_str(), Offset(part.stop).c_str(),
                  static_cast<long long>(part.frames));
    s += line;
  }
  s += "\nProduced:\n";
  std::snprintf(line, sizeof line,
                "  %s  %dx%d H.264 (x264 %s, CRF %d) and %s, layout %s,\n"
                "      overlay %s, %lld frames: every frame of the range once, at the recordings' frame rate\n",
                kClipFileName, clip.width, clip.height, encoder.preset, encoder.crf,
                clip.audio ? ("AAC sound (" + clip.audioEncoder + ")").c_str() : "no sound", LayoutName(request.layout),
                OverlayFieldsText(request.fields).c_str(), static_cast<long long>(clip.frames));
  s += line;
  s += std::string("  ") + kTelemetryCsvName + ", " + kTelemetryGpxName +
       "  the G-sensor readings and GPS fixes of the range (GPX: the valid fixes)\n";
  s += std::string("  ") + kReportFileName + "  the two-page report at " + ClockText(firstClock) + "\n";
  s += std::string("  ") + kSummaryFileName + "  this text\n";
  s += std::string("  ") + kChecksumFileName +
       "  SHA-256 of every file above; check with `sha256sum -c SHA256SUMS` in this folder\n"
       "      or `tarvo-tool verify FOLDER`\n";
  return s;
}

// A name for the copy that no earlier copy has taken.
std::string UniqueName(const std::string& fileName, std::set<std::string>& taken) {
  std::string name = RecordingCollection::SafeLocalName(fileName);
  const std::filesystem::path p(name);
  for (int n = 2; taken.count(name); ++n)
    name = p.stem().string() + " (" + std::to_string(n) + ")" + p.extension().string();
  taken.insert(name);
  return name;
}

}  // namespace

std::vector<ClipSource> ClipSourcesOf(const ExportPlan& plan, const std::filesystem::path& folder) {
  std::vector<ClipSource> sources;
  for (const RangePart& part : plan.range.parts) {
    const JobRecording& r = plan.recordings[part.recording];
    ClipSource s;
    if (folder.empty()) {
      s.path = r.path;
      s.cardHandle = r.cardHandle;
      s.cardFileNumber = r.cardFileNumber;
    } else {
      s.path = (folder / r.fileName).string();
    }
    s.start = part.start;
    s.stop = part.stop;
    s.frames = part.frames;
    sources.push_back(std::move(s));
  }
  return sources;
}

ExportOutcome ExportClipFile(const ExportRequest& request, const std::filesystem::path& clipPath,
                             const ExportProgressCallback& progress, const std::atomic<bool>* cancel) {
  ExportOutcome outcome;
  outcome.output = clipPath;
  outcome.clip = RunEngine(request, ClipSourcesOf(request.plan), clipPath, progress, 0.0, 1.0, 0.0, cancel);
  outcome.ok = outcome.clip.ok;
  outcome.cancelled = outcome.clip.cancelled;
  outcome.error = outcome.clip.error;
  return outcome;
}

ExportOutcome ExportEvidencePackage(const ExportRequest& request, const std::filesystem::path& folder,
                                    const ExportProgressCallback& progress, const std::atomic<bool>* cancel) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (request.plan.range.parts.empty()) return Failed("the range holds no recording");
  if (fs::exists(folder, ec) && !(fs::is_directory(folder, ec) && fs::is_empty(folder, ec)))
    return Failed(folder.string() + " already holds files; an evidence package needs a new or empty folder");
  const fs::path parent = folder.has_parent_path() ? folder.parent_path() : fs::path(".");
  const fs::path work = parent / ("." + folder.filename().string() + ".part");
  fs::remove_all(work, ec);
  if (!fs::create_directories(work / kOriginalsFolder, ec)) return Failed("cannot create " + work.string());
  // Whatever ends the job early takes the half-made folder with it.
  struct Cleanup {
    fs::path path;
    bool keep = false;
    ~Cleanup() {
      std::error_code e;
      if (!keep) fs::remove_all(path, e);
    }
  } cleanup{work};
  const auto cancelled = [&] { return cancel && cancel->load(); };
  const auto stop = [&](const std::string& error) {
    ExportOutcome outcome = Failed(cancelled() ? "cancelled" : error);
    outcome.cancelled = cancelled();
    return outcome;
  };
  const auto started = std::chrono::steady_clock::now();
  const auto elapsed = [&] {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  };

  // 1. The originals, byte for byte, each recording once.
  const ExportPlan& plan = request.plan;
  std::vector<std::size_t> used;
  for (const RangePart& part : plan.range.parts)
    if (std::find(used.begin(), used.end(), part.recording) == used.end()) used.push_back(part.recording);
  int64_t total = 0, done = 0;
  for (const std::size_t i : used)
    if (const auto bytes = OpenJobRecording(plan.recordings[i])) total += std::max<int64_t>(0, bytes->Size());
  std::map<std::size_t, CopiedOriginal> originals;  // by recording of the plan
  ExportPlan copies = plan;                         // the same plan over the copies
  std::set<std::string> taken;
  for (const std::size_t i : used) {
    CopiedOriginal copy;
    copy.name = UniqueName(plan.recordings[i].fileName, taken);
    std::string error;
    const bool ok = CopyOriginal(
        plan.recordings[i], work / kOriginalsFolder / copy.name, copy.bytes,
        [&](int64_t bytes) {
          done += bytes;
          if (!progress || total <= 0) return;
          ExportProgress p;
          p.fraction = kCopyShare * static_cast<double>(done) / static_cast<double>(total);
          p.step = copy.name;
          progress(p);
        },
        cancel, error);
    if (!ok) return stop(error);
    JobRecording& local = copies.recordings[i];
    local.fileName = copy.name;
    local.path = (work / kOriginalsFolder / copy.name).string();
    local.cardHandle = nullptr;
    local.cardFileNumber = -1;
    originals[i] = copy;
  }

  // 2. The clip, from the copies: what the package shows is what it holds.
  ExportRequest local = request;
  local.plan = copies;
  const ClipResult clip = RunEngine(local, ClipSourcesOf(copies), work / kClipFileName, progress, kCopyShare,
                                    kClipShare, elapsed(), cancel);
  if (!clip.ok) return stop(clip.error);

  // 3. The telemetry of the range.
  std::vector<TelemetrySamples> samples;
  samples.reserve(copies.range.parts.size());
  std::vector<TelemetryPart> parts;
  for (const RangePart& part : copies.range.parts) {
    const JobRecording& r = copies.recordings[part.recording];
    samples.push_back(SamplesOf(r.path));
    parts.push_back({r.fileName, r.clockStart, part.start, part.stop, &samples.back()});
  }
  const std::string trackName = ClockText(copies.FirstFrameClock());
  if (!WriteText(work / kTelemetryCsvName,
                 TelemetryCsv(parts, request.miles, telemetry::ZoneNamed(request.timeZone).get())) ||
      !WriteText(work / kTelemetryGpxName, TelemetryGpx(parts, trackName)))
    return stop("cannot write the telemetry files in " + work.string());
  if (cancelled()) return stop("cancelled");

  // 4. The report at the first frame of the range.
  {
    RecordingMoment moment;
    std::string error;
    if (!moment.Open(copies.FirstRecording().path, error) || !moment.ShowPosition(copies.FirstFrameMs(), error))
      return stop("cannot make the report: " + error);
    PrintContext context;
    TakeReportMoment(context, moment.Player(), moment.VideoChannels(), copies.FirstFrameMs(), moment.Samples(),
                     QImage());
    ReportPrintOptions options;
    options.model = request.model;
    options.language = request.language;
    options.now = LocalTimeNow();
    if (!WriteReportPdf((work / kReportFileName).string(), context, options))
      return stop("cannot write " + (work / kReportFileName).string());
  }
  if (cancelled()) return stop("cancelled");

  // 5. The summary, 6. the sums of everything.
  if (!WriteText(work / kSummaryFileName, Summary(request, originals, clip)))
    return stop("cannot write " + (work / kSummaryFileName).string());
  std::vector<std::string> files;
  for (const std::size_t i : used) files.push_back(std::string(kOriginalsFolder) + "/" + originals[i].name);
  for (const char* name : {kClipFileName, kTelemetryCsvName, kTelemetryGpxName, kReportFileName, kSummaryFileName})
    files.push_back(name);
  std::string error;
  if (!WriteChecksumFile(work, files, error, cancel)) return stop(error);

  // The finished folder takes the asked name in one step.
  if (fs::exists(folder, ec)) fs::remove(folder, ec);
  fs::rename(work, folder, ec);
  if (ec) return stop("cannot name the package " + folder.string() + ": " + ec.message());
  cleanup.keep = true;
  ExportOutcome outcome;
  outcome.ok = true;
  outcome.output = folder;
  outcome.clip = clip;
  if (progress) {
    ExportProgress p;
    p.fraction = 1.0;
    p.secondsLeft = 0;
    progress(p);
  }
  return outcome;
}

}  // namespace clipexport
