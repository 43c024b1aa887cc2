// Every test process gets a home of its own in the build folder, before anything
// runs: what the viewer makes in a home (the default capture folder under Documents,
// the folder picker's history) and what the tools it starts make there never land in
// the user's. Caches (fonts) stay the user's, so they are not built again; the
// viewer's temporary folder, which would sit there, goes into the test home.

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
  // The viewer's temporary folder sits in the cache; the user's own stays untouched.
  setenv("TARVO_TEMP_DIR", (home / "temp").c_str(), 0);
  return true;
}();

}  // namespace
