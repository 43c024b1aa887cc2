#pragma once
// Encodes the simulated cameras and microphone with GStreamer: moving test pictures
// showing the camera's name and the recording clock, H.264 from x264 in the dashcam's
// access-unit form, and AAC or PCM sound.

#include <cstdint>
#include <string>
#include <vector>

#include "sources/avi/AviReader.h"

namespace simulator {

struct CameraSettings {
  int id = 0;  // parameter-set id: 0 front, 1 rear
  std::string name;
  int width = 0;
  int height = 0;
  int bitrateKbps = 0;
};

struct EncodeSettings {
  std::vector<CameraSettings> cameras;
  int framesPerSecond = 30;
  int frames = 0;  // per camera
  double seconds = 0;
  avi::AudioKind audio = avi::AudioKind::None;
  uint64_t clockStartNs = 0;  // the camera clock's time of day at the first frame
  std::string dateText;       // shown beside the camera's name
};

struct EncodedVideo {
  std::vector<std::vector<uint8_t>> units;  // access units, Annex-B
  std::vector<bool> keyFrames;
};

struct EncodedMedia {
  std::vector<EncodedVideo> cameras;
  std::vector<std::vector<uint8_t>> audio;  // AAC frames, or PCM blocks of 0.1 s
  std::vector<uint8_t> audioConfig;         // AAC AudioSpecificConfig
  uint32_t audioSampleRate = 0;
  uint16_t audioChannels = 0;
  uint32_t audioBytesPerSecond = 0;
};

constexpr uint32_t kSimulatorSampleRate = 22050;
constexpr uint32_t kAacSamplesPerFrame = 1024;
constexpr uint32_t kPcmSamplesPerBlock = 2205;

bool EncodeMedia(const EncodeSettings& settings, EncodedMedia& media, std::string& error);

}  // namespace simulator
