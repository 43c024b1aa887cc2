#include "app/LoadWorker.h"

#include <QMetaObject>
#include <chrono>
#include <future>

#include "app/CDezirureDovuriDlg.h"
#include "playback/CPlayer.h"
#include "sources/CardRecording.h"
#include "sources/RecordingCollection.h"
#include "telemetry/LoadTelemetry.h"
#include "telemetry/TelemetrySamples.h"

namespace app {
namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(5);

}  // namespace

struct LoadWorker::Job {
  explicit Job(LoadRequest r) : request(std::move(r)) {}
  LoadRequest request;
  // Set on the window thread only; read by the worker between its steps.
  std::atomic<bool> stop{false};
  std::thread thread;
};

LoadWorker::LoadWorker(CDezirureDovuriDlg& dlg, playback::CPlayer& player) : dlg_(dlg), player_(player) {}

LoadWorker::~LoadWorker() { StopAndWait(); }

void LoadWorker::Start(LoadRequest request) {
  std::shared_ptr<Job> previous = current_;
  if (previous) previous->stop = true;
  auto job = std::make_shared<Job>(std::move(request));
  current_ = job;
  running_ = true;
  job->thread = std::thread([this, job, previous] { Run(job, previous); });
}

void LoadWorker::RequestStop() {
  if (current_) current_->stop = true;
}

void LoadWorker::StopAndWait() {
  std::shared_ptr<Job> last = current_;
  if (!last) return;
  last->stop = true;
  // Each worker waits for the one before it, so waiting for the last waits for all.
  if (last->thread.joinable()) last->thread.join();
  current_.reset();
  running_ = false;
}

bool LoadWorker::OnWindow(const std::shared_ptr<Job>& job, std::function<void()> step) {
  if (job->stop) return false;
  auto ran = std::make_shared<std::promise<void>>();
  std::future<void> done = ran->get_future();
  QMetaObject::invokeMethod(
      &dlg_,
      [this, job, step = std::move(step), ran] {
        // A stopped worker's step that was still queued is dropped: the window has
        // moved on to another recording.
        if (current_ == job && !job->stop) step();
        ran->set_value();
      },
      Qt::QueuedConnection);
  while (done.wait_for(kPollInterval) != std::future_status::ready) {
    if (job->stop) return false;
  }
  return !job->stop;
}

void LoadWorker::Pause(const Job& job, int ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!job.stop && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(kPollInterval);
}

void LoadWorker::Run(const std::shared_ptr<Job>& job, const std::shared_ptr<Job>& previous) {
  // The previous worker finishes its current step and ends; only then does this one
  // touch the player.
  if (previous && previous->thread.joinable()) previous->thread.join();
  auto opened = std::make_shared<bool>(false);
  if (!job->request.path.empty()) {
    for (int attempt = 0; attempt < kOpenAttempts && !job->stop; ++attempt) {
      Pause(*job, attempt == 0 ? kSettleBeforeOpenMs : kSettleBeforeRetryMs);
      if (job->stop) break;
      if (OpenRecording(job)) {
        *opened = true;
      } else {
        OnWindow(job, [this] { dlg_.HideScreens(); });
        // Pictures no decoder takes stay so: said once, not tried again.
        if (!player_.UnsupportedVideo().empty()) break;
      }
      auto started = std::make_shared<bool>(false);
      OnWindow(job, [this, started] { *started = dlg_.playStarted; });
      if (*started) break;
    }
  }
  OnWindow(job, [this, opened] {
    running_ = false;
    dlg_.LoadDone(*opened);
  });
}

bool LoadWorker::OpenRecording(const std::shared_ptr<Job>& job) {
  const LoadRequest& request = job->request;
  player_.SetSourceOption(false);
  bool ok = false;
  switch (request.sourceKind) {
    case kSourceRemovableDrive:
    case kSourceChosenFiles:
      ok = player_.Open(request.path, nullptr, -1);
      break;
    case kSourceCard: {
      const repair::PrepareOutcome prepared =
          PrepareCardRecording(request.cardHandle, request.entry, request.tempFolder);
      switch (prepared.result) {
        case repair::PrepareResult::PlayDirectly:
          ok = player_.Open(request.entry.fileName, request.cardHandle, request.entry.cardFileNumber);
          break;
        case repair::PrepareResult::Rebuilt:
        case repair::PrepareResult::Reused:
          ok = player_.Open(prepared.output.string(), nullptr, -1);
          break;
        case repair::PrepareResult::CannotCreateFiles:
          OnWindow(job, [this] { dlg_.LoadShowRepairFailure(); });
          return false;
        case repair::PrepareResult::NotReadable:
        case repair::PrepareResult::RebuildFailed:
          ok = false;
          break;
      }
      break;
    }
    default:
      ok = false;
      break;
  }
  if (job->stop) return false;
  if (!ok) {
    const std::string unsupported = player_.UnsupportedVideo();
    if (!unsupported.empty())
      OnWindow(job, [this, unsupported] { dlg_.LoadShowUnsupportedVideo(unsupported); });
    else
      OnWindow(job, [this] { dlg_.LoadShowOpenFailure(); });
    return false;
  }
  if (!OnWindow(job, [this, request] { dlg_.LoadStarted(request); })) return false;

  // The telemetry is read here, into arrays of the worker's own; the window takes
  // them over in one step, so no paint or lookup ever sees them half filled.
  auto samples = std::make_shared<TelemetrySamples>();
  const std::shared_ptr<TelemetryRecordSource> records = player_.TelemetrySource();
  LoadTelemetry(records.get(), *samples, &job->stop);
  if (job->stop) return false;
  return OnWindow(job, [this, request, samples] { dlg_.LoadTelemetryReady(request, std::move(*samples)); });
}

}  // namespace app
