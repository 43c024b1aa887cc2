#include "app/LoadWorker.h"

#include <QMetaObject>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "app/CDezirureDovuriDlg.h"
#include "playback/CPlayer.h"
#include "sources/CardRecording.h"
#include "sources/RecordingCollection.h"
#include "sources/avi/AviReader.h"
#include "sources/avi/AviTelemetrySource.h"
#include "sources/avi/FileByteSource.h"
#include "sources/avi/KovrByteSource.h"
#include "telemetry/LoadTelemetry.h"
#include "telemetry/TelemetrySamples.h"

namespace app {

namespace {

// The route of the valid fixes of a recording other than the loaded one (a file, or
// a file on the card through the card library, which takes one caller at a time).
std::vector<mapview::MapPoint> RouteOfRecording(const RecordingEntry& entry, void* cardHandle,
                                                const std::atomic<bool>* stop) {
  std::unique_ptr<ByteSource> source;
  if (entry.cardFileNumber > 0) {
    if (!cardHandle) return {};
    auto card = std::make_unique<KovrByteSource>(cardHandle, entry.fileName, entry.cardFileNumber);
    if (!card->IsOpen()) return {};
    source = std::move(card);
  } else {
    auto file = std::make_unique<FileByteSource>();
    if (!file->Open(entry.path)) return {};
    source = std::move(file);
  }
  avi::AviReader reader(*source);
  if (!reader.Open()) return {};
  avi::AviTelemetrySource records(reader);
  TelemetrySamples samples;
  LoadTelemetry(&records, samples, stop);
  return mapview::RouteOfFixes(samples.gpsSamples);
}

}  // namespace

struct LoadWorker::Job {
  explicit Job(LoadRequest r) : request(std::move(r)) {}
  // Asks the worker to stop and wakes it wherever it waits.
  void Stop() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      stop = true;
    }
    wake.notify_all();
  }

  LoadRequest request;
  // The errno of the last failed write into the temporary folder (worker thread only).
  int repairError = 0;
  // Set on the window thread only (under `mutex`, so no wait misses it); read by the
  // worker between its steps and by the telemetry reader between records.
  std::atomic<bool> stop{false};
  // Wakes the worker when a step it handed to the window has run, or when it is stopped.
  std::mutex mutex;
  std::condition_variable wake;
  std::thread thread;
};

LoadWorker::LoadWorker(CDezirureDovuriDlg& dlg, playback::CPlayer& player) : dlg_(dlg), player_(player) {}

LoadWorker::~LoadWorker() { StopAndWait(); }

void LoadWorker::Start(LoadRequest request) {
  std::shared_ptr<Job> previous = current_;
  if (previous) previous->Stop();
  auto job = std::make_shared<Job>(std::move(request));
  current_ = job;
  running_ = true;
  job->thread = std::thread([this, job, previous] { Run(job, previous); });
}

void LoadWorker::RequestStop() {
  if (current_) current_->Stop();
}

void LoadWorker::StopAndWait() {
  std::shared_ptr<Job> last = current_;
  if (!last) return;
  last->Stop();
  // Each worker waits for the one before it, so waiting for the last waits for all.
  if (last->thread.joinable()) last->thread.join();
  current_.reset();
  running_ = false;
}

bool LoadWorker::OnWindow(const std::shared_ptr<Job>& job, std::function<void()> step) {
  if (job->stop) return false;
  auto ran = std::make_shared<bool>(false);  // guarded by job->mutex
  QMetaObject::invokeMethod(
      &dlg_,
      [this, job, step = std::move(step), ran] {
        // A stopped worker's step that was still queued is dropped: the window has
        // moved on to another recording.
        if (current_ == job && !job->stop) step();
        {
          std::lock_guard<std::mutex> lock(job->mutex);
          *ran = true;
        }
        job->wake.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock<std::mutex> lock(job->mutex);
  job->wake.wait(lock, [&] { return *ran || job->stop; });
  return !job->stop;
}

void LoadWorker::Pause(Job& job, int ms) {
  std::unique_lock<std::mutex> lock(job.mutex);
  job.wake.wait_for(lock, std::chrono::milliseconds(ms), [&] { return job.stop.load(); });
}

void LoadWorker::Run(const std::shared_ptr<Job>& job, const std::shared_ptr<Job>& previous) {
  // The previous worker finishes its current step and ends; only then does this one
  // touch the player.
  if (previous && previous->thread.joinable()) previous->thread.join();
  auto opened = std::make_shared<bool>(false);
  auto attempts = std::make_shared<int>(0);
  if (!job->request.path.empty()) {
    Outcome last = Outcome::Opened;
    for (int attempt = 0; attempt < kOpenAttempts && !job->stop; ++attempt) {
      Pause(*job, attempt == 0 ? kSettleBeforeOpenMs : kSettleBeforeRetryMs);
      if (job->stop) break;
      ++*attempts;
      last = OpenRecording(job);
      if (last == Outcome::Opened) {
        *opened = true;
      } else {
        OnWindow(job, [this] { dlg_.HideScreens(); });
        // Pictures no decoder takes stay so: not tried again.
        if (last == Outcome::UnsupportedVideo) break;
      }
      auto started = std::make_shared<bool>(false);
      OnWindow(job, [this, started] { *started = dlg_.playStarted; });
      if (*started) break;
    }
    // One message for the whole load, after its last attempt, however many failed.
    if (!*opened && last == Outcome::OpenFailed) OnWindow(job, [this] { dlg_.LoadShowOpenFailure(); });
    if (!*opened && last == Outcome::RepairFailed)
      OnWindow(job, [this, error = job->repairError] { dlg_.LoadShowRepairFailure(error); });
    if (!*opened && last == Outcome::UnsupportedVideo) {
      OnWindow(job, [this, unsupported = player_.UnsupportedVideo()] { dlg_.LoadShowUnsupportedVideo(unsupported); });
    }
  }
  OnWindow(job, [this, opened, attempts] {
    running_ = false;
    dlg_.LoadDone(*opened, *attempts);
  });
}

LoadWorker::Outcome LoadWorker::OpenRecording(const std::shared_ptr<Job>& job) {
  const LoadRequest& request = job->request;
  player_.SetSourceOption(false);
  bool ok = false;
  switch (request.sourceKind) {
    case kSourceRemovableDrive:
    case kSourceChosenFiles:
      ok = player_.Open(request.path);
      break;
    case kSourceCard: {
      const repair::PrepareOutcome prepared =
          PrepareCardRecording(request.cardHandle, request.entry, request.tempFolder);
      switch (prepared.result) {
        case repair::PrepareResult::PlayDirectly:
          ok = player_.Open(request.entry.fileName, {request.cardHandle, request.entry.cardFileNumber});
          break;
        case repair::PrepareResult::Rebuilt:
        case repair::PrepareResult::Reused:
          ok = player_.Open(prepared.output.string());
          break;
        case repair::PrepareResult::CannotCreateFiles:
          job->repairError = prepared.writeError;
          return Outcome::RepairFailed;
        case repair::PrepareResult::RebuildFailed:
          // A rebuild that could not write is the temporary folder's fault, not the
          // recording's.
          job->repairError = prepared.writeError;
          if (prepared.writeError != 0) return Outcome::RepairFailed;
          ok = false;
          break;
        case repair::PrepareResult::NotReadable:
          ok = false;
          break;
      }
      break;
    }
    default:
      ok = false;
      break;
  }
  if (job->stop) return Outcome::Stopped;
  if (!ok) return player_.UnsupportedVideo().empty() ? Outcome::OpenFailed : Outcome::UnsupportedVideo;
  if (!OnWindow(job, [this, request] { dlg_.LoadStarted(request); })) return Outcome::Stopped;

  // The telemetry is read here, into arrays of the worker's own; the window takes
  // them over in one step, so no paint or lookup ever sees them half filled.
  auto samples = std::make_shared<TelemetrySamples>();
  const std::shared_ptr<TelemetryRecordSource> records = player_.TelemetrySource();
  LoadTelemetry(records.get(), *samples, &job->stop);
  if (job->stop) return Outcome::Stopped;
  std::vector<mapview::MapPoint> ownRoute;
  if (!request.trip.empty()) ownRoute = mapview::RouteOfFixes(samples->gpsSamples);
  const bool shown = OnWindow(job, [this, request, samples] { dlg_.LoadTelemetryReady(request, std::move(*samples)); });
  if (!shown) return Outcome::Stopped;
  // The trip's route comes after, so the picture, the readouts and the recording's own
  // route never wait for it. Routes read once are kept by the window: a trip's other
  // recordings are read at its first load only. A stop here still leaves the
  // recording opened.
  if (request.trip.empty()) return Outcome::Opened;
  auto trip = std::make_shared<std::vector<TripLink>>(request.trip);
  for (std::size_t i = 0; i < trip->size() && !job->stop; ++i) {
    TripLink& link = (*trip)[i];
    if (static_cast<int>(i) == request.tripCurrent)
      link.route = ownRoute;
    else if (!link.read)
      link.route = RouteOfRecording(link.entry, request.cardHandle, &job->stop);
    link.read = true;
  }
  if (!job->stop) OnWindow(job, [this, trip] { dlg_.LoadTripReady(std::move(*trip)); });
  return Outcome::Opened;
}

}  // namespace app
