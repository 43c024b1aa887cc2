#pragma once
// Values that the dashcam's software kept in single precision pass through it here too.

#include <cmath>
#include <limits>

namespace telemetry {

// The nearest float; out-of-range values saturate and a NaN becomes 0, since damaged
// records must not turn into undefined conversions.
inline float ToSingle(double value) {
  if (std::isnan(value)) return 0.0f;
  constexpr double kMax = std::numeric_limits<float>::max();
  if (value > kMax) return std::numeric_limits<float>::max();
  if (value < -kMax) return -std::numeric_limits<float>::max();
  return static_cast<float>(value);
}

}  // namespace telemetry
