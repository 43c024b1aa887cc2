#pragma once
// The standby worker: prerolls the recording that follows the playing one, so that the
// player hands over to it at the end without a gap.
//
// On a thread of its own it rebuilds a card recording into the temporary folder when
// it needs that, builds the player's standby graph up to its first picture and reads
// the recording's telemetry; then it hands the request and the samples to the window
// thread, which arms the standby. The window thread never waits for it: a drop asks it
// to stop and releases the player's standby, and each worker waits for the one before
// it before it starts.

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "app/LoadWorker.h"
#include "telemetry/TelemetrySamples.h"

namespace app {

class StandbyWorker {
 public:
  // What the window needs of the standby's recording when it takes over.
  struct Prepared {
    LoadRequest request;
    TelemetrySamples samples;
  };
  // Runs on `window`'s thread once the standby is built and its telemetry read (the
  // window arms the player's standby then).
  using Ready = std::function<void()>;
  StandbyWorker(QObject& window, playback::CPlayer& player, Ready ready);
  ~StandbyWorker();
  StandbyWorker(const StandbyWorker&) = delete;
  StandbyWorker& operator=(const StandbyWorker&) = delete;

  // Starts prerolling `request`'s recording (window thread).
  void Start(LoadRequest request);
  // Stops the worker and releases the player's standby (window thread; never waits).
  void Drop();
  // The standby took over: its recording's request and samples, and nothing is asked
  // for until the next Start (window thread). Null when none was ready.
  std::unique_ptr<Prepared> TakePrepared();
  // True from Start until Drop or Consumed, however the worker ended.
  bool Asked() const { return asked_; }
  // Asks to stop and waits for every worker to end (window destruction).
  void StopAndWait();

 private:
  struct Job;
  void Run(const std::shared_ptr<Job>& job, const std::shared_ptr<Job>& previous);

  QObject& window_;
  playback::CPlayer& player_;
  Ready ready_;
  std::shared_ptr<Job> current_;  // window thread only
  bool asked_ = false;
  std::unique_ptr<Prepared> prepared_;  // window thread only
};

}  // namespace app
