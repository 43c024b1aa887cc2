// tarvo-tool capture: the still capture of the viewer's Capture button for one
// position of a recording, from the command line.

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "cli/Commands.h"
#include "cli/MediaSession.h"
#include "platform/FileOpen.h"
#include "settings/ViewerSettings.h"
#include "tools/capture/CaptureFolder.h"
#include "tools/capture/LocalTime.h"
#include "tools/capture/RecordingMoment.h"
#include "tools/capture/StillCapture.h"

namespace cli {

namespace {

const char kCaptureHelp[] =
    "usage: tarvo-tool capture FILE --at MS [--out FOLDER]\n\n"
    "Saves the pictures of the recording FILE at position MS (milliseconds from its\n"
    "start) as JPEG files at the cameras' full resolution, as the viewer's Capture\n"
    "button does: NAME-YYYY-MM-DD-HHhMMmSSsmmm(Track1).jpg for the front camera and,\n"
    "for a recording with two or more cameras, (Track2) for the rear one; NAME is\n"
    "FILE's name without its extension, the time is that of the run.\n"
    "FOLDER (made when missing) defaults to the viewer's capture folder, which is\n"
    "reset to the default and saved in the settings file when it does not exist.\n"
    "Prints the path of each file written. Exit status 1 when FILE cannot be read,\n"
    "MS is outside it, or a picture cannot be taken or written.\n";

struct CaptureArgs {
  std::string file;
  std::int32_t positionMs = -1;
  std::string out;
};

int Usage(const char* message) {
  std::fprintf(stderr, "tarvo-tool capture: %s (see --help)\n", message);
  return kExitUsage;
}

}  // namespace

int RunCapture(const Args& args) {
  if (WantsHelp(args)) {
    std::fputs(kCaptureHelp, stdout);
    return kExitOk;
  }
  CaptureArgs parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--at" || a == "--out") {
      if (i + 1 >= args.size()) return Usage("an option lacks its value");
      const std::string& value = args[++i];
      if (a == "--at" && !ParseDigits(value, parsed.positionMs)) return Usage("--at takes milliseconds, e.g. 1500");
      if (a == "--out") parsed.out = value;
    } else if (a.rfind("--", 0) == 0) {
      return Usage(("unknown option " + a).c_str());
    } else if (parsed.file.empty()) {
      parsed.file = a;
    } else {
      return Usage("give one FILE");
    }
  }
  if (parsed.file.empty()) return Usage("give a FILE");
  if (parsed.positionMs < 0) return Usage("give the position with --at MS");

  MediaSession session;
  RecordingMoment moment;
  std::string error;
  if (!OpenRecordingMoment(moment, parsed.file, parsed.positionMs, error)) {
    std::fprintf(stderr, "tarvo-tool capture: %s\n", error.c_str());
    return kExitFailed;
  }
  std::string folder;
  if (!parsed.out.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(parsed.out, ec);
    if (!std::filesystem::is_directory(parsed.out, ec)) {
      std::fprintf(stderr, "tarvo-tool capture: %s is not a folder that can be made\n", parsed.out.c_str());
      return kExitFailed;
    }
    folder = parsed.out;
    // "out/" names the same folder; the file names get one separator only.
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  } else {
    ViewerSettings& settings = TheViewerSettings();
    ReadSettings(SettingsFilePath(), settings);
    folder = ResolveCaptureFolder(settings, SettingsFilePath());
    if (folder.empty()) {
      std::fputs("tarvo-tool capture: there is no capture folder (no home folder); give --out FOLDER\n", stderr);
      return kExitFailed;
    }
  }

  const std::string fileName = std::filesystem::path(parsed.file).filename().string();
  const StillCaptureResult result =
      CaptureStill(moment.Player(), folder, fileName, moment.VideoChannels(), LocalTimeNow());
  if (result.track1Written) std::printf("%s\n", result.names.track1.c_str());
  if (result.track2Written) std::printf("%s\n", result.names.track2.c_str());
  if (!result.complete) {
    const std::string& failed = result.track1Written ? result.names.track2 : result.names.track1;
    if (result.writeError != 0) {
      std::fprintf(stderr, "tarvo-tool capture: cannot write %s: %s\n", failed.c_str(),
                   platform::ErrorText(result.writeError).c_str());
    } else {
      std::fprintf(stderr, "tarvo-tool capture: cannot take the picture for %s\n", failed.c_str());
    }
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace cli
