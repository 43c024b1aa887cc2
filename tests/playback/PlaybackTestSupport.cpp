#include "PlaybackTestSupport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <random>

namespace playback_test {

bool TestChannelWindow::WaitForFrames(int count, int ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return frames_ >= count; });
}

std::filesystem::path MakeRecording(const std::filesystem::path& folder, const std::string& name,
                                    const std::string& options) {
  const char* tool = std::getenv("TARVO_TOOL");
  const std::string program = tool && *tool ? tool : std::string(TARVO_BINARY_DIR) + "/bin/tarvo-tool";
  const std::filesystem::path out = folder / name;
  const std::string command = "'" + program + "' record '" + out.string() + "' " + options + " >/dev/null";
  if (std::system(command.c_str()) != 0 || !std::filesystem::exists(out)) return {};
  return out;
}

namespace {
// Tests never make a sound: the engine's null output unless the caller chose one.
const bool kQuietAudio = (::setenv("TARVO_AUDIO_SINK", "null", 0), true);
}  // namespace

const std::filesystem::path& ScratchFolder() {
  static TempFolder folder;
  return folder.Path();
}

namespace {
// The player writes its registry value into the program's config folder; in tests
// that folder is a temporary one.
const bool kTemporaryConfig = (::setenv("TARVO_CONFIG_DIR", (ScratchFolder() / "config").c_str(), 1), true);
}  // namespace

std::filesystem::path Recording(const std::string& kind) {
  (void)kQuietAudio;
  (void)kTemporaryConfig;
  static std::mutex mutex;
  static std::map<std::string, std::filesystem::path> made;
  static const std::map<std::string, std::pair<std::string, std::string>> kinds = {
      {"two-pcm", {"REC_20240512_083015_2.avi", "--cameras 2 --seconds 2 --size 320x180,192x108 --fps 15 --audio pcm"}},
      {"two-aac", {"REC_20240512_083215_2.avi", "--cameras 2 --seconds 2 --size 320x180,192x108 --fps 15 --audio aac"}},
      {"two-none",
       {"EVT_20240512_083415_2.avi", "--cameras 2 --seconds 2 --size 320x180,192x108 --fps 15 --audio none"}},
      {"one-aac", {"REC_20240512_083615_1.avi", "--cameras 1 --seconds 2 --size 320x180 --fps 15 --audio aac"}},
      {"four-aac", {"REC_20240512_083815_2.avi", "--cameras 4 --seconds 2 --size 192x108 --fps 15 --audio aac"}},
      {"cut",
       {"REC_20240512_084215_2.avi",
        "--cameras 2 --seconds 2 --size 320x180,192x108 --fps 15 --audio aac --cut-at 250000"}},
      {"long", {"REC_20240512_084015_2.avi", "--cameras 2 --seconds 6 --size 320x180,192x108 --fps 15 --audio pcm"}},
  };
  std::lock_guard<std::mutex> lock(mutex);
  auto found = made.find(kind);
  if (found != made.end()) return found->second;
  auto spec = kinds.find(kind);
  if (spec == kinds.end()) {
    ADD_FAILURE() << "no recording kind " << kind;
    return {};
  }
  const std::filesystem::path folder = ScratchFolder() / kind;
  std::filesystem::create_directories(folder);
  std::filesystem::path file =
      MakeRecording(folder, spec->second.first, spec->second.second + " --start \"2024-05-12 08:30:15\"");
  if (file.empty()) ADD_FAILURE() << "the simulator made no " << kind << " recording";
  made[kind] = file;
  return file;
}

double MeanOf(const std::uint8_t* pixels, int width, int stride, int x0, int y0, int x1, int y1, int channel) {
  (void)width;
  double sum = 0;
  long count = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      sum += pixels[static_cast<long>(y) * stride + x * 4 + channel];
      ++count;
    }
  return count ? sum / static_cast<double>(count) : 0.0;
}

}  // namespace playback_test
