#pragma once
// Runs a command line the way a script does and keeps its standard output and exit
// status; what it writes to standard error is dropped.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

namespace testsupport {

struct ToolRun {
  int code = -1;  // exit status, -1 when it did not exit by itself
  std::string out;
};

inline ToolRun RunCommand(const std::string& command) {
  ToolRun run;
  std::FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> buffer{};
  std::size_t n = 0;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
  const int status = ::pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// tarvo-tool of this build with `arguments` (shell words), in UTC.
inline ToolRun RunTarvoTool(const std::string& arguments) {
  return RunCommand("TZ=UTC " + std::string(TARVO_BINARY_DIR) + "/bin/tarvo-tool " + arguments);
}

}  // namespace testsupport
