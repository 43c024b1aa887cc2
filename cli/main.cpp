// tarvo-tool: the viewer's core on the command line, for users' scripts and checks.

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "platform/Paths.h"

namespace cli {

bool WantsHelp(const Args& args) {
  for (const std::string& a : args)
    if (a == "-h" || a == "--help") return true;
  return false;
}

}  // namespace cli

namespace {

#if defined(TARVO_MEDIA_COMMANDS) && !defined(TARVO_MEDIA_HELPER)
// capture, report and export decode pictures with Qt and GStreamer. They run in a program of
// their own among the program's parts, so that every other command starts without loading those
// libraries (tens of milliseconds, a sixth of copying a large recording off a card).
constexpr const char* kMediaHelper = "tarvo-tool-media";

int RunInHelper(const char* verb, const cli::Args& args) {
  const std::string helper = (platform::ProgramFolder() / kMediaHelper).string();
  std::vector<std::string> words = {helper, verb};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  ::execv(helper.c_str(), argv.data());
  std::fprintf(stderr, "tarvo-tool: cannot start %s: %s\n", helper.c_str(), std::strerror(errno));
  return 1;
}

int RunCaptureCommand(const cli::Args& args) { return RunInHelper("capture", args); }
int RunReportCommand(const cli::Args& args) { return RunInHelper("report", args); }
int RunExportCommand(const cli::Args& args) { return RunInHelper("export", args); }
#elif defined(TARVO_MEDIA_COMMANDS)
int RunCaptureCommand(const cli::Args& args) { return cli::RunCapture(args); }
int RunReportCommand(const cli::Args& args) { return cli::RunReport(args); }
int RunExportCommand(const cli::Args& args) { return cli::RunExport(args); }
#endif

// Subcommands in the order --help lists them.
const cli::Subcommand kSubcommands[] = {
    {"list", "list the recordings of folders and files by type and time", cli::RunList},
    {"record", "record a simulated dashcam recording", cli::RunRecord},
    {"info", "summary of a recording: streams, cameras, sound, telemetry", cli::RunInfo},
    {"rebuild", "rebuild a cut-off recording, or add a silent sound track", cli::RunRebuild},
    {"telemetry", "print a recording's telemetry records (tsv, csv or gpx)", cli::RunTelemetry},
    {"setup-cfg", "write or normalize the dashcam's settings file setup.cfg", cli::RunSetupCfg},
    {"option-ini", "normalize the viewer's settings file option.ini", cli::RunOptionIni},
    {"card", "make, format, inspect and fill dashcam cards and card images", cli::RunCard},
    {"sources", "list the removable drives, cards and the folder item the viewer finds", cli::RunSources},
    {"verify", "check an evidence package against its SHA256SUMS", cli::RunVerify},
#ifdef TARVO_MEDIA_COMMANDS
    {"capture", "save the pictures at a position as JPEG files, as the Capture button does", RunCaptureCommand},
    {"report", "write the printed two-page report of a position as a PDF file", RunReportCommand},
    {"export", "a clip of a time range with the facts burned in, or an evidence package", RunExportCommand},
#endif
};

void PrintUsage(std::FILE* out) {
  std::fputs(
      "usage: tarvo-tool COMMAND [ARGS...]\n\n"
      "Dashcam recordings, cards and settings files from the command line.\n\n"
      "commands:\n",
      out);
  for (const cli::Subcommand& c : kSubcommands)
    if (c.name) std::fprintf(out, "  %-12s %s\n", c.name, c.summary);
  std::fputs("\n'tarvo-tool COMMAND --help' describes one command.\n", out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return 2;
  }
  const std::string name = argv[1];
  if (name == "-h" || name == "--help" || name == "help") {
    PrintUsage(stdout);
    return 0;
  }
  const cli::Args args(argv + 2, argv + argc);
  for (const cli::Subcommand& c : kSubcommands)
    if (c.name && name == c.name) return c.run(args);
  std::fprintf(stderr, "tarvo-tool: unknown command '%s'\n", name.c_str());
  PrintUsage(stderr);
  return 2;
}
