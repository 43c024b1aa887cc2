#include "playback/Volume.h"

#include <cmath>

namespace playback {

namespace {
constexpr double kFloor = 1e-10;
constexpr std::int32_t kSilence = -10000;
}  // namespace

std::int32_t VolumeAttenuation(int percent) {
  if (percent < 0) percent = 0;
  if (percent > 100) percent = 100;
  const float fraction = static_cast<float>(percent) / 100.0f;
  const double level = kFloor + static_cast<double>(fraction) * (1.0 - kFloor);
  return static_cast<std::int32_t>(std::trunc(1000.0 * std::log10(level)));
}

double GainOfAttenuation(std::int32_t attenuation) {
  if (attenuation <= kSilence) return 0.0;
  if (attenuation >= 0) return 1.0;
  return std::pow(10.0, static_cast<double>(attenuation) / 2000.0);
}

}  // namespace playback
