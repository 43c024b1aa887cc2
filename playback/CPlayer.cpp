#include "playback/CPlayer.h"

#include "platform/Registry.h"
#include "playback/Volume.h"

namespace playback {

namespace {
constexpr std::int64_t kUnitsPerMs = 10000;
constexpr const char* kUsingDShowKey = "SOFTWARE\\Nevroc";
constexpr const char* kUsingDShowValue = "usingDShow";
}  // namespace

CPlayer::CPlayer() { WriteUsingDShow(); }

CPlayer::~CPlayer() { Close(); }

void CPlayer::AttachWindows(ChannelWindow* window1, ChannelWindow* window2) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  channelCount = 2;
  channelWindow[0] = window1;
  channelWindow[1] = window2;
  channelWindow[2] = nullptr;
  channelWindow[3] = nullptr;
  for (int i = 0; i < kMaxChannels; ++i) {
    channelRect[i] = {};
    if (channelWindow[i]) channelRect[i] = {channelWindow[i]->ClientWidth(), channelWindow[i]->ClientHeight()};
  }
  if (!graph) {
    graph = std::make_unique<CPlaybackGraph>(channelCount, channelWindow[0], channelWindow[1], channelWindow[2],
                                             channelWindow[3]);
    graph->Reset(false, false);
  }
}

bool CPlayer::Open(const std::string& path, void* sourceHandle, std::int32_t sourceValue) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!channelWindow[0] || path.empty()) return false;
  if (graph) {
    graph->Stop();
    graph->SetPosition(0);
    Close();
  }
  graph = std::make_unique<CPlaybackGraph>(channelCount, channelWindow[0], channelWindow[1], channelWindow[2],
                                           channelWindow[3]);
  graph->Reset(sourceOption, useBrightnessFilter);
  if (graph->Build(path, sourceHandle, sourceValue) == kEngineFailure) {
    Close();
    return false;
  }
  return true;
}

bool CPlayer::Close() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  graph.reset();
  for (ClientRect& r : channelRect) r = {};
  return true;
}

bool CPlayer::GrabFrame(int channel, CapturedImage* image) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!graph) return true;
  return graph->GetCurrentImage(channel, image);
}

bool CPlayer::Seek(std::int32_t milliseconds) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!graph) return true;
  return !Failed(graph->SetPosition(static_cast<std::int64_t>(milliseconds) * kUnitsPerMs));
}

std::uint64_t CPlayer::GetPosition() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!graph) return 0;
  std::int64_t position = 0;
  if (Failed(graph->GetPosition(&position)) || position < 0) return 0;
  return static_cast<std::uint64_t>(position / kUnitsPerMs);
}

std::uint64_t CPlayer::GetDuration() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!graph) return 0;
  std::int64_t length = 0;
  if (Failed(graph->GetDuration(&length)) || length < 0) return 0;
  return static_cast<std::uint64_t>(length / kUnitsPerMs);
}

bool CPlayer::SetRate(float newRate) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!graph) return false;
  std::lock_guard<std::recursive_mutex> graphLock(graph->Mutex());
  const std::int32_t before = graph->state;
  graph->Pause();
  graph->rate = newRate;
  if (before == kStateRunning) graph->Play();
  return true;
}

bool CPlayer::SetVolume(std::int32_t percent) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!graph) return true;
  return !Failed(graph->SetVolume(VolumeAttenuation(percent)));
}

void WriteUsingDShow() {
  platform::Registry machine(platform::RegistryHive::kLocalMachine);
  machine.SetDword(kUsingDShowKey, kUsingDShowValue, 1);
}

}  // namespace playback
