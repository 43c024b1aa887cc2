// Every test process gets a home of its own in the build folder, before anything
// runs: what the viewer makes in a home (the default capture folder under Documents,
// the folder picker's history) and what the tools it starts make there never land in
// the user's. Caches (fonts) stay the user's, so they are not built again.

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

const bool kHomeSet = [] {
  const std::filesystem::path home = std::filesystem::path(TARVO_BINARY_DIR) / "test-home";
  std::error_code ignored;
  std::filesystem::create_directories(home, ignored);
  if (const char* user = std::getenv("HOME"); user && !std::getenv("XDG_CACHE_HOME")) {
    setenv("XDG_CACHE_HOME", (std::filesystem::path(user) / ".cache").c_str(), 1);
  }
  setenv("HOME", home.c_str(), 1);
  return true;
}();

}  // namespace
