// tarvo-tool rebuild: the viewer's decision and rebuild for one recording.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <system_error>

#include "cli/Commands.h"
#include "platform/FileOpen.h"
#include "platform/ProcessFolder.h"
#include "sources/avi/FileByteSource.h"
#include "sources/avi/RecordingInput.h"
#include "tools/repair/RecordingRebuild.h"

namespace cli {

namespace {

const char kRebuildHelp[] =
    "usage: tarvo-tool rebuild IN OUT\n"
    "       (IN may be a file on a card: CARD::/FOLDER/NAME)\n\n"
    "Does what the viewer does before playing a card recording: a cut-off recording\n"
    "is repaired (with a silent sound track when it has no sound); an intact one\n"
    "without sound gets the silent track; an intact one with sound needs nothing and\n"
    "OUT is not written. IN is only read. On failure OUT is not left behind.\n"
    "The work is done in a hidden folder beside OUT (.tarvo-rebuild-PID-XXXXXX), removed\n"
    "afterwards; one that an ended run left there is removed by the next run.\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "tarvo-tool rebuild: %s\n", message.c_str());
  return 1;
}

// The private folders beside OUT for the temporary files, so the result can be
// renamed into place and nothing half-written ever carries OUT's name.
constexpr const char* kScratchPrefix = ".tarvo-rebuild-";

}  // namespace

int RunRebuild(const Args& args) {
  if (WantsHelp(args)) {
    std::fputs(kRebuildHelp, stdout);
    return 0;
  }
  if (args.size() != 2) return Fail("give IN and OUT (see --help)");
  const std::filesystem::path in = args[0], out = args[1];
  std::error_code ec;
  if (std::filesystem::equivalent(in, out, ec)) return Fail("OUT must not be IN: the recording is only read");
  if (std::filesystem::is_directory(out, ec)) return Fail(out.string() + " is a folder");
  std::string why;
  const std::unique_ptr<ByteSource> opened = OpenRecordingInput(in.string(), &why);
  if (!opened) return Fail("cannot open " + in.string() + ": " + why);
  ByteSource& input = *opened;
  repair::RecordingHead head;
  if (!repair::ReadRecordingHead(input, head)) return Fail(in.string() + " is not a recording (header unreadable)");
  if (repair::PlaysDirectly(head)) {
    std::printf("%s is intact and has sound: nothing to rebuild, %s not written\n", in.c_str(), out.c_str());
    return 0;
  }
  std::filesystem::path folder = out.parent_path();
  if (folder.empty()) folder = ".";
  // A run that was killed left its folder; its files are only of use to that run.
  platform::RemoveEndedProcessFolders(folder, kScratchPrefix, repair::IsRebuildFileName);
  platform::ProcessFolder scratch;
  int error = 0;
  if (!scratch.Create(folder, kScratchPrefix, repair::IsRebuildFileName, &error))
    return Fail("cannot create a temporary folder in " + folder.string() + ": " + platform::ErrorText(error));
  const repair::PrepareOutcome outcome = repair::PrepareRecording(input, in.filename().string(), scratch.Path());
  switch (outcome.result) {
    case repair::PrepareResult::Rebuilt:
      break;
    case repair::PrepareResult::CannotCreateFiles:
      return Fail("cannot create the temporary files in " + scratch.Path().string() + ": " +
                  platform::ErrorText(outcome.writeError));
    case repair::PrepareResult::RebuildFailed: {
      std::string text = in.string() + ": " + repair::RebuildResultText(outcome.rebuild);
      if (outcome.writeError != 0) text += ": " + platform::ErrorText(outcome.writeError);
      return Fail(text);
    }
    default:
      return Fail("cannot rebuild " + in.string());
  }
  std::filesystem::rename(outcome.output, out, ec);
  if (ec) return Fail("cannot write " + out.string() + ": " + ec.message());
  std::printf("%s: %s into %s\n", in.c_str(),
              head.riffSize == 0 ? (head.noAudio ? "repaired with a silent sound track" : "repaired")
                                 : "silent sound track added",
              out.c_str());
  return 0;
}

}  // namespace cli
