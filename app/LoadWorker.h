#pragma once
// The load worker: opens one recording on its own thread and hands every step that
// touches the window to the window thread, in order.
//
// The worker never touches a widget. It runs the slow parts (rebuilding a card
// recording into the temporary folder, building the playback graph up to its first
// picture, reading the telemetry) and between them asks the window thread to run the
// window's steps, waiting until each has run. The window thread never waits for the
// worker: a new load stops the previous worker with a flag, and the new worker waits
// for the previous one to finish before it starts; steps of a stopped worker that were
// still queued are dropped when they come up.

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "map/MapPosition.h"
#include "sources/RecordingEntry.h"

class CDezirureDovuriDlg;
class TelemetrySamples;

namespace playback {
class CPlayer;
}

namespace app {

// One recording of the trip the loaded one belongs to (sources/Trips.h), for the
// map's trip route: its route, when a load before read it, or the entry to read it from.
struct TripLink {
  RecordingEntry entry;
  bool read = false;
  std::vector<mapview::MapPoint> route;
};

// What a load needs, taken from the list row and the recording set on the window
// thread when the load starts (the worker reads no widget and no shared list).
struct LoadRequest {
  int row = -1;
  std::string path;      // kColumnPath
  std::string fileName;  // kColumnFileName
  std::int32_t sourceKind = 3;
  RecordingEntry entry;        // the row's entry (a copy)
  void* cardHandle = nullptr;  // the open card connection, for card recordings
  std::string tempFolder;
  int channelCount = 0;  // the digit at position 20 of fileName, as atoi reads it
  // Where playback picks up once the recording is open (a recording taken up again
  // after a drop that opened nothing): a position in ms, -1 for the start, and
  // whether it stays paused there.
  std::int64_t resumeAtMs = -1;
  bool resumePaused = false;
  // The recordings that make up its trip, in order (empty for a recording alone), and
  // its own place among them (-1 when it lies inside the trip: an event recording
  // written during a normal one). The worker reads the routes not read yet.
  std::vector<TripLink> trip;
  int tripCurrent = -1;
};

// How long the worker lets the source settle before an open. The playback engine
// tears the previous recording's pipeline down, and closes its file or card handle,
// before it builds the next one, so there is nothing left to settle before the first
// attempt; a retry after a failed attempt waits a moment for a card that was busy.
inline constexpr int kSettleBeforeOpenMs = 0;
inline constexpr int kSettleBeforeRetryMs = 200;
inline constexpr int kOpenAttempts = 3;

class LoadWorker {
 public:
  LoadWorker(CDezirureDovuriDlg& dlg, playback::CPlayer& player);
  ~LoadWorker();
  LoadWorker(const LoadWorker&) = delete;
  LoadWorker& operator=(const LoadWorker&) = delete;

  // Starts a worker for `request`; a worker still running is asked to stop, and the
  // new one begins once it has.
  void Start(LoadRequest request);
  // Asks the running worker to stop between its steps.
  void RequestStop();
  // Asks to stop and waits for every worker to end (window destruction).
  void StopAndWait();
  // True from Start until the worker's last step ran on the window thread.
  bool Running() const { return running_.load(); }

 private:
  struct Job;
  // How one attempt of Open-recording ended.
  enum class Outcome { Opened, OpenFailed, UnsupportedVideo, RepairFailed, Stopped };
  void Run(const std::shared_ptr<Job>& job, const std::shared_ptr<Job>& previous);
  // Open-recording, one attempt; its failure message is shown by Run, once per load.
  Outcome OpenRecording(const std::shared_ptr<Job>& job);
  // Runs `step` on the window thread and waits until it ran; false when the worker
  // was stopped meanwhile (the step is then dropped if it has not run yet). The wait
  // ends the moment either happens.
  bool OnWindow(const std::shared_ptr<Job>& job, std::function<void()> step);
  // Sleeps up to `ms`, waking the moment the worker is stopped.
  void Pause(Job& job, int ms);

  CDezirureDovuriDlg& dlg_;
  playback::CPlayer& player_;
  std::shared_ptr<Job> current_;  // window thread only
  std::atomic<bool> running_{false};
};

}  // namespace app
