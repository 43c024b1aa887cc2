#pragma once
// The subcommands of tarvo-tool. Each lives in its own file and receives the
// arguments after its name; it prints its own --help and returns the exit code.

#include <string>
#include <vector>

namespace cli {

using Args = std::vector<std::string>;

// Exit status shared by the subcommands: done, failed, wrong arguments.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct Subcommand {
  const char* name;
  const char* summary;
  int (*run)(const Args& args);
};

// True when args ask for help (-h or --help anywhere).
bool WantsHelp(const Args& args);

// tarvo-tool list (ListCommand.cpp).
int RunList(const Args& args);
// The recording commands: the simulator, the summary, the rebuild and the telemetry dump.
int RunRecord(const Args& args);
int RunInfo(const Args& args);
int RunRebuild(const Args& args);
int RunTelemetry(const Args& args);

// The settings files: setup.cfg of the dashcam and the viewer's option.ini.
int RunSetupCfg(const Args& args);
int RunOptionIni(const Args& args);
// tarvo-tool card (CardCommand.cpp).
int RunCard(const Args& args);
// tarvo-tool sources (SourcesCommand.cpp).
int RunSources(const Args& args);
// The viewer's still capture and printout of one position (built with the viewer's
// Qt Gui side).
int RunCapture(const Args& args);
int RunReport(const Args& args);
// The clip and evidence package of a range (ExportCommand.cpp, with the Qt Gui side),
// and the package's check (VerifyCommand.cpp, core only).
int RunExport(const Args& args);
int RunVerify(const Args& args);

}  // namespace cli
