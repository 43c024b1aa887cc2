#include "playback/CPlayer.h"

#include <utility>

#include "platform/Registry.h"
#include "playback/CPlaybackGraph.h"
#include "playback/Volume.h"

namespace playback {

namespace {
constexpr std::int64_t kUnitsPerMs = 10000;
constexpr const char* kUsingDShowKey = "SOFTWARE\\Nevroc";
constexpr const char* kUsingDShowValue = "usingDShow";
}  // namespace

// Tells the player which of its graphs ended or failed.
class CPlayer::Relay final : public PlaybackListener {
 public:
  Relay(CPlayer& player, const CPlaybackGraph* graph) : player_(player), graph_(graph) {}
  void OnEndOfStream() override { player_.OnGraphEnd(graph_, false); }
  void OnPicturesEnded() override { player_.OnGraphEnd(graph_, true); }
  void OnError(const std::string& text) override { player_.OnGraphError(graph_, text); }

 private:
  CPlayer& player_;
  const CPlaybackGraph* graph_;
};

CPlayer::CPlayer() {
  WriteUsingDShow();
  helper_ = std::thread(&CPlayer::HelperLoop, this);
}

CPlayer::~CPlayer() {
  Close();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  helperWake_.notify_all();
  helper_.join();
}

std::shared_ptr<CPlaybackGraph> CPlayer::MakeGraph() {
  auto* graph =
      new CPlaybackGraph(channelCount_, channelWindow_[0], channelWindow_[1], channelWindow_[2], channelWindow_[3]);
  auto* relay = new Relay(*this, graph);
  graph->SetListener(relay);
  // The relay outlives the graph's bus handler, which the graph's teardown removes.
  return std::shared_ptr<CPlaybackGraph>(graph, [relay](CPlaybackGraph* g) {
    delete g;
    delete relay;
  });
}

std::shared_ptr<CPlaybackGraph> CPlayer::Current() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return graph_;
}

std::shared_ptr<CPlaybackGraph> CPlayer::Graph() const { return Current(); }

void CPlayer::AttachWindows(ChannelWindow* window1, ChannelWindow* window2) {
  std::lock_guard<std::mutex> lock(mutex_);
  channelCount_ = 2;
  channelWindow_[0] = window1;
  channelWindow_[1] = window2;
  channelWindow_[2] = nullptr;
  channelWindow_[3] = nullptr;
  for (int i = 0; i < kMaxChannels; ++i) {
    channelRect_[i] = {};
    if (channelWindow_[i]) channelRect_[i] = {channelWindow_[i]->ClientWidth(), channelWindow_[i]->ClientHeight()};
  }
  if (!graph_ && !opening_) {
    std::shared_ptr<CPlaybackGraph> idle = MakeGraph();
    idle->Reset(false, false);
    graph_ = std::move(idle);
  }
}

void CPlayer::SetListener(PlaybackListener* listener) {
  std::lock_guard<std::mutex> lock(mutex_);
  listener_ = listener;
}

void CPlayer::SetSourceOption(bool option) {
  std::lock_guard<std::mutex> lock(mutex_);
  sourceOption_ = option;
}

bool CPlayer::sourceOption() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return sourceOption_;
}

ClientRect CPlayer::channelRect(int channel) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (channel < 0 || channel >= kMaxChannels) return {};
  return channelRect_[channel];
}

std::string CPlayer::UnsupportedVideo() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return unsupportedVideo_;
}

bool CPlayer::Opening() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return opening_;
}

bool CPlayer::Open(const std::string& path, CardSource card) {
  std::lock_guard<std::mutex> openLock(openMutex_);
  std::shared_ptr<CPlaybackGraph> old;
  bool sourceOption = false;
  std::shared_ptr<CPlaybackGraph> made;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    unsupportedVideo_.clear();
    if (!channelWindow_[0] || path.empty()) return false;
    old = std::move(graph_);
    opening_ = true;
    pending_ = {};
    for (ClientRect& r : channelRect_) r = {};
    sourceOption = sourceOption_;
    made = MakeGraph();
    openingGraph_ = made.get();
    endReported_ = false;
    // A recording opened by hand replaces whatever was prerolled to follow the old one.
    ++standbyGeneration_;
    standbyArmed_ = false;
    if (standby_) RetireLocked(std::move(standby_));
  }
  // The old recording goes first, outside the lock: a slider moved meanwhile finds no
  // graph instead of waiting for this one to wind down.
  if (old) {
    old->Stop();
    old->SetPosition(0);
    old->Teardown();
    old.reset();
  }
  std::shared_ptr<CPlaybackGraph> fresh = std::move(made);
  fresh->Reset(sourceOption, useBrightnessFilter_);
  // Any failing code is a failure: the engine's own, a filter that could not be
  // made, or a pipeline that would not start.
  const bool built = !Failed(fresh->Build(path, card));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    unsupportedVideo_ = built ? std::string() : fresh->UnsupportedVideo();
  }
  if (!built) {
    fresh->Teardown();
    std::lock_guard<std::mutex> lock(mutex_);
    opening_ = false;
    openingGraph_ = nullptr;
    pending_ = {};
    return false;
  }
  // What was asked for during the build goes to the new graph before anyone else can
  // reach it; a call that comes while that happens is picked up by the next round.
  for (;;) {
    Pending pending;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pending = std::exchange(pending_, {});
      if (!pending.attenuation && !pending.brightness && !pending.mirrored && !pending.rate) {
        graph_ = fresh;
        opening_ = false;
        openingGraph_ = nullptr;
        return true;
      }
    }
    ApplyPending(*fresh, pending);
  }
}

void CPlayer::ApplyPending(CPlaybackGraph& graph, const Pending& pending) {
  if (pending.rate) graph.ChangeRate(*pending.rate);
  if (pending.attenuation) graph.SetVolume(*pending.attenuation);
  if (pending.brightness) graph.SetBrightness(*pending.brightness);
  if (pending.mirrored) graph.SetRearMirror(*pending.mirrored);
}

bool CPlayer::Close() {
  std::shared_ptr<CPlaybackGraph> old;
  std::shared_ptr<CPlaybackGraph> standby;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    old = std::move(graph_);
    standby = std::move(standby_);
    standbyArmed_ = false;
    ++standbyGeneration_;
    for (ClientRect& r : channelRect_) r = {};
  }
  // Torn down now even when another thread still holds the graph for a moment: the
  // recording stops here, and that thread's calls find an empty pipeline.
  if (old) old->Teardown();
  if (standby) standby->Teardown();
  return true;
}

// --- the next recording ---

void CPlayer::RetireLocked(std::shared_ptr<CPlaybackGraph> graph) {
  retired_.push_back(std::move(graph));
  helperWake_.notify_all();
}

bool CPlayer::PrepareStandby(const std::string& path, CardSource card) {
  std::shared_ptr<CPlaybackGraph> fresh;
  bool sourceOption = false;
  std::uint64_t generation = 0;
  Pending settings;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!channelWindow_[0] || path.empty()) return false;
    generation = ++standbyGeneration_;
    standbyArmed_ = false;
    if (standby_) RetireLocked(std::move(standby_));
    fresh = MakeGraph();
    sourceOption = sourceOption_;
    settings = settings_;
  }
  fresh->Reset(sourceOption, useBrightnessFilter_);
  // Its first picture stays in its renderers until it takes over.
  fresh->SetPicturesShown(false);
  if (Failed(fresh->Build(path, card))) {
    fresh->Teardown();
    return false;
  }
  ApplyPending(*fresh, settings);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (generation == standbyGeneration_) {
      standby_ = std::move(fresh);
      return true;
    }
  }
  fresh->Teardown();
  return false;
}

std::shared_ptr<TelemetryRecordSource> CPlayer::StandbyTelemetrySource() {
  const std::shared_ptr<CPlaybackGraph> standby = Standby();
  return standby ? standby->TelemetrySource() : nullptr;
}

std::shared_ptr<CPlaybackGraph> CPlayer::Standby() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return standby_;
}

bool CPlayer::ArmStandby() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!standby_ || !graph_ || endReported_) return false;
  standbyArmed_ = true;
  return true;
}

void CPlayer::DropStandby() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++standbyGeneration_;
  standbyArmed_ = false;
  if (standby_) RetireLocked(std::move(standby_));
}

bool CPlayer::HandsOverAtEnd() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return switching_ || (standby_ && standbyArmed_ && !endReported_);
}

void CPlayer::OnGraphEnd(const CPlaybackGraph* graph, bool picturesOnly) {
  PlaybackListener* listener = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // The end of a graph that is no longer the current one says nothing.
    if (!graph_ || graph_.get() != graph || switching_) return;
    if (standby_ && standbyArmed_ && graph->state() == kStateRunning) {
      // Not on this streaming thread: the ended graph is torn down after the change,
      // which would wait for this very thread.
      switching_ = true;
      switchPending_ = true;
      switchFrom_ = graph;
      helperWake_.notify_all();
      return;
    }
    // Without a standby the end is the whole recording's, sound included.
    if (picturesOnly) return;
    endReported_ = true;
    listener = listener_;
  }
  if (listener) listener->OnEndOfStream();
}

void CPlayer::OnGraphError(const CPlaybackGraph* graph, const std::string& text) {
  PlaybackListener* listener = nullptr;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    // A standby's failure is no failure of what plays; a replaced graph's is stale.
    if (graph != graph_.get() && graph != openingGraph_) return;
    listener = listener_;
  }
  if (listener) listener->OnError(text);
}

void CPlayer::SwitchToStandby() {
  std::shared_ptr<CPlaybackGraph> ended;
  std::shared_ptr<CPlaybackGraph> next;
  PlaybackListener* listener = nullptr;
  Pending settings;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    switchPending_ = false;
    if (standby_ && standbyArmed_ && graph_ && graph_.get() == switchFrom_) {
      ended = graph_;
      next = std::move(standby_);
      standbyArmed_ = false;
      settings = settings_;
    } else {
      // Dropped between the end and now: the end goes to the listener after all,
      // unless another recording was opened meanwhile.
      switching_ = false;
      if (graph_ && graph_.get() == switchFrom_) {
        endReported_ = true;
        listener = listener_;
      }
    }
  }
  if (!next) {
    if (listener) listener->OnEndOfStream();
    return;
  }
  // What was asked for since the standby was built (a rate other than 1.0 is applied
  // by Play, with a seek to the start).
  ApplyPending(*next, settings);
  ended->SetPicturesShown(false);
  next->SetPicturesShown(true);
  next->Play();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    switching_ = false;
    if (graph_ == ended) {
      graph_ = next;
      endReported_ = false;
      listener = listener_;
    } else {
      // Opened or closed meanwhile: the standby is no longer wanted.
      RetireLocked(std::move(next));
    }
  }
  if (listener) listener->OnNextRecording();
  ended->Teardown();
}

void CPlayer::HelperLoop() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    helperWake_.wait(lock, [this] { return quit_ || switchPending_ || !retired_.empty(); });
    if (switchPending_) {
      lock.unlock();
      SwitchToStandby();
      lock.lock();
    } else if (!retired_.empty()) {
      std::shared_ptr<CPlaybackGraph> graph = std::move(retired_.back());
      retired_.pop_back();
      lock.unlock();
      graph->Teardown();
      graph.reset();
      lock.lock();
    } else {
      return;
    }
  }
}

bool CPlayer::GrabFrame(int channel, CapturedImage* image) {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  if (!graph) return true;
  return graph->GetCurrentImage(channel, image);
}

bool CPlayer::Seek(std::int32_t milliseconds) {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  if (!graph) return true;
  return !Failed(graph->SetPosition(static_cast<std::int64_t>(milliseconds) * kUnitsPerMs));
}

bool CPlayer::StepFrame(int direction, std::int32_t* positionMs) {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  if (!graph) return false;
  std::int64_t target = 0;
  if (Failed(graph->StepFrame(direction, &target))) return false;
  if (positionMs) *positionMs = static_cast<std::int32_t>(target / kUnitsPerMs);
  return true;
}

std::uint64_t CPlayer::GetPosition() {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  if (!graph) return 0;
  std::int64_t position = 0;
  if (Failed(graph->GetPosition(&position)) || position < 0) return 0;
  return static_cast<std::uint64_t>(position / kUnitsPerMs);
}

std::uint64_t CPlayer::GetDuration() {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  if (!graph) return 0;
  std::int64_t length = 0;
  if (Failed(graph->GetDuration(&length)) || length < 0) return 0;
  return static_cast<std::uint64_t>(length / kUnitsPerMs);
}

bool CPlayer::SetRate(float newRate) {
  std::shared_ptr<CPlaybackGraph> graph;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    settings_.rate = newRate;
    if (opening_) {
      pending_.rate = newRate;
      return true;
    }
    graph = graph_;
  }
  if (!graph) return false;
  graph->ChangeRate(newRate);
  return true;
}

bool CPlayer::SetVolume(std::int32_t percent) {
  const std::int32_t attenuation = VolumeAttenuation(percent);
  std::shared_ptr<CPlaybackGraph> graph;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    settings_.attenuation = attenuation;
    if (opening_) {
      pending_.attenuation = attenuation;
      return true;
    }
    graph = graph_;
  }
  if (!graph) return true;
  return !Failed(graph->SetVolume(attenuation));
}

bool CPlayer::SetBrightness(std::int32_t offset) {
  std::shared_ptr<CPlaybackGraph> graph;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    settings_.brightness = offset;
    if (opening_) {
      pending_.brightness = offset;
      return true;
    }
    graph = graph_;
  }
  return graph && !Failed(graph->SetBrightness(offset));
}

bool CPlayer::SetRearMirror(bool mirrored) {
  std::shared_ptr<CPlaybackGraph> graph;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    settings_.mirrored = mirrored;
    if (opening_) {
      pending_.mirrored = mirrored;
      return true;
    }
    graph = graph_;
  }
  return graph && !Failed(graph->SetRearMirror(mirrored));
}

bool CPlayer::Play() {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  return graph && !Failed(graph->Play());
}

bool CPlayer::Pause() {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  return graph && !Failed(graph->Pause());
}

bool CPlayer::Stop() {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  return graph && !Failed(graph->Stop());
}

bool CPlayer::RepaintAll() {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  return graph && !Failed(graph->RepaintAll());
}

bool CPlayer::RepaintChannel1() {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  return graph && !Failed(graph->RepaintChannel1());
}

bool CPlayer::WaitUntilSettled(std::chrono::milliseconds timeout) {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  return graph && graph->WaitUntilSettled(timeout);
}

PlaybackState CPlayer::state() const {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  return graph ? graph->state() : kStateEmpty;
}

std::int32_t CPlayer::videoChannels() const {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  return graph ? graph->videoChannels() : 0;
}

std::int64_t CPlayer::duration() const {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  return graph ? graph->duration() : 0;
}

float CPlayer::rate() const {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  return graph ? graph->rate() : 1.0f;
}

std::shared_ptr<TelemetryRecordSource> CPlayer::TelemetrySource() {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  return graph ? graph->TelemetrySource() : nullptr;
}

std::string CPlayer::LastError() {
  const std::shared_ptr<CPlaybackGraph> graph = Current();
  return graph ? graph->LastError() : std::string();
}

void WriteUsingDShow() {
  platform::Registry machine(platform::RegistryHive::kLocalMachine);
  machine.SetDword(kUsingDShowKey, kUsingDShowValue, 1);
}

}  // namespace playback
