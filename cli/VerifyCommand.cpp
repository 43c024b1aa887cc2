// tarvo-tool verify: checks an evidence package against its SHA256SUMS.

#include <cstdio>
#include <string>

#include "cli/Commands.h"
#include "tools/export/Checksums.h"

namespace cli {

namespace {

const char kVerifyHelp[] =
    "usage: tarvo-tool verify FOLDER\n\n"
    "Checks the evidence package FOLDER (made by tarvo-tool export --package or the\n"
    "viewer): every file its SHA256SUMS lists must be there with the same SHA-256, and\n"
    "no other file may have been added. Prints one line per file (OK, CHANGED,\n"
    "MISSING, NOT LISTED) and a last line with the outcome.\n"
    "Exit status 0 when the package is intact, 1 when any file differs, is missing or\n"
    "was added, or the folder holds no SHA256SUMS.\n";

}  // namespace

int RunVerify(const Args& args) {
  if (WantsHelp(args)) {
    std::fputs(kVerifyHelp, stdout);
    return kExitOk;
  }
  if (args.size() != 1 || args[0].rfind("--", 0) == 0) {
    std::fputs("tarvo-tool verify: give one FOLDER (see --help)\n", stderr);
    return kExitUsage;
  }
  const std::string& folder = args[0];
  const clipexport::VerifyReport report = clipexport::VerifyChecksumFile(folder);
  if (!report.listRead) {
    std::fprintf(stderr, "tarvo-tool verify: %s holds no readable %s\n", folder.c_str(), clipexport::kChecksumFileName);
    return kExitFailed;
  }
  for (const std::string& name : report.good) std::printf("OK          %s\n", name.c_str());
  for (const std::string& name : report.bad) std::printf("CHANGED     %s\n", name.c_str());
  for (const std::string& name : report.missing) std::printf("MISSING     %s\n", name.c_str());
  for (const std::string& name : report.unlisted) std::printf("NOT LISTED  %s\n", name.c_str());
  for (const std::string& line : report.malformed) std::printf("BAD LINE    %s\n", line.c_str());
  if (report.Passed()) {
    std::printf("intact: %zu files match %s\n", report.good.size(), clipexport::kChecksumFileName);
    return kExitOk;
  }
  std::printf("NOT intact: %zu changed, %zu missing, %zu not listed, %zu bad lines in %s\n", report.bad.size(),
              report.missing.size(), report.unlisted.size(), report.malformed.size(), clipexport::kChecksumFileName);
  return kExitFailed;
}

}  // namespace cli
