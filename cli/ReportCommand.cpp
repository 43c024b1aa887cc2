// tarvo-tool report: the viewer's two-page printout of one position of a recording,
// as a PDF file.

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "cli/MediaSession.h"
#include "platform/FileOpen.h"
#include "settings/LanguageLibrary.h"
#include "settings/ViewerSettings.h"
#include "tools/capture/LocalTime.h"
#include "tools/capture/RecordingMoment.h"
#include "tools/print/PrintContext.h"
#include "tools/print/ReportPdf.h"

namespace cli {

namespace {

const char kReportHelp[] =
    "usage: tarvo-tool report FILE --at MS OUT.pdf [--language N]\n\n"
    "Writes the report the viewer prints for the recording FILE at position MS\n"
    "(milliseconds from its start) as the two A4 pages of OUT.pdf: page 1 the\n"
    "pictures of the front and, with two or more cameras, the rear camera; page 2\n"
    "the GPS position (0.00000000 without a valid fix there) and the G-sensor\n"
    "values at MS. There is no map view on the command line, so no map picture.\n"
    "Texts come from the viewer's language library: N (0 English, 1 Korean,\n"
    "2 German, 3 Japanese, 4 Chinese, 5 Dutch, 6 French, 7 Italian, 8 Polish,\n"
    "9 Portuguese, 10 Russian, 11 Spanish) or the viewer's setting; the title\n"
    "follows the viewer's MODEL setting.\n"
    "Exit status 1 when FILE cannot be read, MS is outside it or OUT.pdf cannot be\n"
    "written (a file already there is then kept).\n";

constexpr int kLanguageCount = 12;

struct ReportArgs {
  std::string file;
  std::string out;
  std::int32_t positionMs = -1;
  int language = -1;
};

int Usage(const char* message) {
  std::fprintf(stderr, "tarvo-tool report: %s (see --help)\n", message);
  return kExitUsage;
}

}  // namespace

int RunReport(const Args& args) {
  if (WantsHelp(args)) {
    std::fputs(kReportHelp, stdout);
    return kExitOk;
  }
  ReportArgs parsed;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--at" || a == "--language") {
      if (i + 1 >= args.size()) return Usage("an option lacks its value");
      const std::string& value = args[++i];
      if (a == "--at" && !ParseDigits(value, parsed.positionMs)) return Usage("--at takes milliseconds, e.g. 1500");
      if (a == "--language") {
        std::int32_t index = 0;
        if (!ParseDigits(value, index) || index >= kLanguageCount) return Usage("--language takes 0 to 11");
        parsed.language = index;
      }
    } else if (a.rfind("--", 0) == 0) {
      return Usage(("unknown option " + a).c_str());
    } else if (parsed.file.empty()) {
      parsed.file = a;
    } else if (parsed.out.empty()) {
      parsed.out = a;
    } else {
      return Usage("give one FILE and one OUT.pdf");
    }
  }
  if (parsed.file.empty() || parsed.out.empty()) return Usage("give FILE and OUT.pdf");
  if (parsed.positionMs < 0) return Usage("give the position with --at MS");

  ViewerSettings& settings = TheViewerSettings();
  ReadSettings(SettingsFilePath(), settings);
  if (parsed.language >= 0) {
    FreeLanguageLibrary(settings);
    settings.language = parsed.language;
  }

  MediaSession session;
  RecordingMoment moment;
  std::string error;
  if (!OpenRecordingMoment(moment, parsed.file, parsed.positionMs, error)) {
    std::fprintf(stderr, "tarvo-tool report: %s\n", error.c_str());
    return kExitFailed;
  }
  PrintContext context;
  TakeReportMoment(context, moment.Player(), moment.VideoChannels(), parsed.positionMs, moment.Samples(), QImage());
  ReportPrintOptions options;
  options.model = settings.model;
  options.language = settings.language;
  options.now = LocalTimeNow();
  int writeError = 0;
  if (!WriteReportPdf(parsed.out, context, options, &writeError)) {
    if (writeError != 0) {
      std::fprintf(stderr, "tarvo-tool report: cannot write %s: %s\n", parsed.out.c_str(),
                   platform::ErrorText(writeError).c_str());
    } else {
      std::fprintf(stderr, "tarvo-tool report: cannot draw the report for %s\n", parsed.out.c_str());
    }
    return kExitFailed;
  }
  std::printf("%s\n", parsed.out.c_str());
  return kExitOk;
}

}  // namespace cli
