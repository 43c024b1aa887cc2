#pragma once
// The volume control's percent and the audio output's attenuation.

#include <cstdint>

namespace playback {

// Attenuation in hundredths of a decibel for a volume of `percent` (0 ... 99, clamped
// to 0 ... 100): 1000 * log10(1e-10 + p/100 * (1 - 1e-10)) truncated toward zero,
// with p/100 in single precision. 0 % gives -10000 (silence), 99 % gives -4.
std::int32_t VolumeAttenuation(int percent);

// Linear gain of an attenuation in hundredths of a decibel (0 ... -10000); -10000 and
// below are silence.
double GainOfAttenuation(std::int32_t attenuation);

}  // namespace playback
