#pragma once
// The sound side of a graph: the decoder of compressed sound and the audio renderer
// with its volume and balance.

#include <gst/gst.h>

#include <cstdint>

#include "playback/GstSupport.h"
#include "playback/ResultCodes.h"

namespace playback {

// A new decoder bin named `name` for the compressed sound the caps name ("sink": AAC
// raw with its codec data or ADTS, MPEG audio layers 1 to 3, IMA ADPCM; "src": raw
// audio). Null for any other sound or when its decoder is not installed.
ElementRef MakeAudioDecoder(const char* name, const GstCaps* caps);

// What the graph changes on the audio renderer.
class AudioControl {
 public:
  virtual ~AudioControl() = default;
  // Attenuation in hundredths of a decibel, -10000 (silence) ... 0 (full).
  virtual HResult PutVolume(std::int32_t attenuation) = 0;
  virtual std::int32_t Volume() const = 0;
  // -10000 (left only) ... 0 (centred) ... +10000 (right only).
  virtual HResult PutBalance(std::int32_t balance) = 0;
  virtual std::int32_t Balance() const = 0;
  // True when the sound goes to a real audio device, false for the null output.
  virtual bool HasDevice() const = 0;
};

// A new audio renderer bin named `name` with one "sink" pad for raw audio, ending in
// the desktop's audio output, or in a null output that keeps time and drops the
// sound where the machine has no audio device. TARVO_AUDIO_SINK names the output
// element to use instead ("null" forces the null output, as tests do).
ElementRef MakeAudioRenderer(const char* name);

// The control of a renderer made by MakeAudioRenderer; null for any other element.
AudioControl* AudioControlOf(GstElement* renderer);

}  // namespace playback
