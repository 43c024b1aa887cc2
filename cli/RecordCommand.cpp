// tarvo-tool record: the dashcam simulator.

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include "cli/Commands.h"
#include "tools/simulator/Simulator.h"

namespace cli {

namespace {

const char kRecordHelp[] =
    "usage: tarvo-tool record OUT.avi|FOLDER [options]\n\n"
    "Records a simulated dashcam recording: H.264 pictures showing each camera's name\n"
    "and the recording clock, sound, GPS fixes at 1 Hz and G-sensor readings at 10 Hz\n"
    "along a drive through Seoul. Into a FOLDER the file is named TYP_YYYYMMDD_HHMMSS_C.avi.\n\n"
    "options:\n"
    "  --cameras N        cameras, 1 or 2 (up to 4 for tests)          [2]\n"
    "  --seconds S        length in seconds                            [10]\n"
    "  --size WxH[,WxH]   picture size per camera; the last one repeats [1280x720,640x360]\n"
    "  --fps F            frames per second of each camera             [30]\n"
    "  --bitrate KBPS     bit rate of camera 1, the others in proportion [2000]\n"
    "  --audio KIND       aac, pcm or none                             [aac]\n"
    "  --type CODE        REC, EVT, PRK, MDI or MOT                    [REC]\n"
    "  --start TIME       camera clock at the start, \"YYYY-MM-DD HH:MM:SS\" [now]\n"
    "  --route FILE.gpx   drive along this track instead of the built-in drive\n"
    "  --cut-at BYTES     leave the file as a power cut at this byte would\n"
    "  --no-gps           record no GPS fixes (a camera without a receiver)\n"
    "  --brake-at S       a hard braking at second S: the G-sensor reads 1 g along the car,\n"
    "                     then 0.8 g for the rest of that second\n";

bool ParseInt(const std::string& text, long long lo, long long hi, long long& value) {
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end || errno || v < lo || v > hi) return false;
  value = v;
  return true;
}

bool ParseSizes(const std::string& text, std::vector<simulator::PictureSize>& sizes) {
  sizes.clear();
  size_t pos = 0;
  while (pos <= text.size()) {
    const size_t comma = text.find(',', pos);
    const std::string one = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
    int w = 0, h = 0;
    char rest = 0;
    if (std::sscanf(one.c_str(), "%dx%d%c", &w, &h, &rest) != 2) return false;
    sizes.push_back({w, h});
    if (comma == std::string::npos) break;
    pos = comma + 1;
  }
  return !sizes.empty();
}

bool ParseStart(const std::string& text, std::tm& t) {
  t = std::tm{};
  char rest = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &t.tm_year, &t.tm_mon, &t.tm_mday, &t.tm_hour, &t.tm_min,
                  &t.tm_sec, &rest) != 6 &&
      std::sscanf(text.c_str(), "%4d%2d%2d_%2d%2d%2d%c", &t.tm_year, &t.tm_mon, &t.tm_mday, &t.tm_hour, &t.tm_min,
                  &t.tm_sec, &rest) != 6)
    return false;
  if (t.tm_year < 1970 || t.tm_year > 2069 || t.tm_mon < 1 || t.tm_mon > 12 || t.tm_mday < 1 || t.tm_mday > 31 ||
      t.tm_hour > 23 || t.tm_min > 59 || t.tm_sec > 59 || t.tm_hour < 0 || t.tm_min < 0 || t.tm_sec < 0)
    return false;
  t.tm_year -= 1900;
  t.tm_mon -= 1;
  return true;
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "tarvo-tool record: %s\n", message.c_str());
  return 1;
}

}  // namespace

int RunRecord(const Args& args) {
  if (WantsHelp(args)) {
    std::fputs(kRecordHelp, stdout);
    return 0;
  }
  simulator::RecordOptions options;
  const std::time_t now = std::time(nullptr);
  localtime_r(&now, &options.start);
  std::string out;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      if (!out.empty()) return Fail("more than one output given");
      out = a;
      continue;
    }
    if (a == "--no-gps") {
      options.gps = false;
      continue;
    }
    if (i + 1 >= args.size()) return Fail(a + " needs a value");
    const std::string v = args[++i];
    long long n = 0;
    if (a == "--cameras") {
      if (!ParseInt(v, 1, simulator::kMaxCameras, n)) return Fail("--cameras must be 1 to 4");
      options.cameras = static_cast<int>(n);
    } else if (a == "--seconds") {
      char* end = nullptr;
      options.seconds = std::strtod(v.c_str(), &end);
      if (v.empty() || *end || !(options.seconds > 0) || options.seconds > 86400)
        return Fail("--seconds must be a number above 0");
    } else if (a == "--size") {
      if (!ParseSizes(v, options.sizes)) return Fail("--size takes WxH[,WxH...], e.g. 1920x1080,1280x720");
    } else if (a == "--fps") {
      if (!ParseInt(v, 1, 120, n)) return Fail("--fps must be 1 to 120");
      options.framesPerSecond = static_cast<int>(n);
    } else if (a == "--bitrate") {
      if (!ParseInt(v, 1, 200000, n)) return Fail("--bitrate takes kbit/s");
      options.bitrateKbps = static_cast<int>(n);
    } else if (a == "--audio") {
      if (v == "aac")
        options.audio = avi::AudioKind::Aac;
      else if (v == "pcm")
        options.audio = avi::AudioKind::Pcm;
      else if (v == "none")
        options.audio = avi::AudioKind::None;
      else
        return Fail("--audio must be aac, pcm or none");
    } else if (a == "--type") {
      if (v != "REC" && v != "EVT" && v != "PRK" && v != "MDI" && v != "MOT")
        return Fail("--type must be REC, EVT, PRK, MDI or MOT");
      options.typeCode = v;
    } else if (a == "--start") {
      if (!ParseStart(v, options.start)) return Fail("--start takes \"YYYY-MM-DD HH:MM:SS\"");
    } else if (a == "--route") {
      options.route = v;
    } else if (a == "--brake-at") {
      char* end = nullptr;
      options.brakeAt = std::strtod(v.c_str(), &end);
      if (v.empty() || *end || !(options.brakeAt >= 0) || options.brakeAt > 86400)
        return Fail("--brake-at must be a second of the recording");
    } else if (a == "--cut-at") {
      if (!ParseInt(v, 0, INT64_MAX, n)) return Fail("--cut-at takes a byte count");
      options.cutAt = n;
    } else {
      return Fail("unknown option " + a);
    }
  }
  if (out.empty()) return Fail("no output given (see --help)");
  std::filesystem::path written;
  std::string error;
  if (!simulator::RecordRecording(options, out, written, error)) return Fail(error);
  std::printf("%s\n", written.c_str());
  return 0;
}

}  // namespace cli
