#include "app/StandbyWorker.h"

#include <QMetaObject>

#include "playback/CPlayer.h"
#include "sources/CardRecording.h"
#include "sources/RecordingCollection.h"
#include "telemetry/LoadTelemetry.h"

namespace app {

struct StandbyWorker::Job {
  explicit Job(LoadRequest r) : request(std::move(r)) {}
  LoadRequest request;
  std::atomic<bool> stop{false};
  std::thread thread;
};

StandbyWorker::StandbyWorker(QObject& window, playback::CPlayer& player, Ready ready)
    : window_(window), player_(player), ready_(std::move(ready)) {}

StandbyWorker::~StandbyWorker() { StopAndWait(); }

void StandbyWorker::Start(LoadRequest request) {
  std::shared_ptr<Job> previous = current_;
  if (previous) previous->stop = true;
  auto job = std::make_shared<Job>(std::move(request));
  current_ = job;
  asked_ = true;
  prepared_.reset();
  job->thread = std::thread([this, job, previous] { Run(job, previous); });
}

std::unique_ptr<StandbyWorker::Prepared> StandbyWorker::TakePrepared() {
  asked_ = false;
  return std::move(prepared_);
}

void StandbyWorker::Drop() {
  if (current_) current_->stop = true;
  asked_ = false;
  prepared_.reset();
  // A build still running is thrown away when it finishes.
  player_.DropStandby();
}

void StandbyWorker::StopAndWait() {
  std::shared_ptr<Job> last = current_;
  if (!last) return;
  last->stop = true;
  // Each worker waits for the one before it, so waiting for the last waits for all.
  if (last->thread.joinable()) last->thread.join();
  current_.reset();
  asked_ = false;
}

void StandbyWorker::Run(const std::shared_ptr<Job>& job, const std::shared_ptr<Job>& previous) {
  if (previous && previous->thread.joinable()) previous->thread.join();
  if (job->stop) return;
  const LoadRequest& request = job->request;
  std::string path = request.path;
  playback::CardSource card;
  if (request.sourceKind == kSourceCard) {
    const repair::PrepareOutcome prepared = PrepareCardRecording(request.cardHandle, request.entry, request.tempFolder);
    switch (prepared.result) {
      case repair::PrepareResult::PlayDirectly:
        path = request.entry.fileName;
        card = {request.cardHandle, request.entry.cardFileNumber};
        break;
      case repair::PrepareResult::Rebuilt:
      case repair::PrepareResult::Reused:
        path = prepared.output.string();
        break;
      default:
        // The end goes the ordinary way, whose load says what failed.
        return;
    }
  } else if (request.sourceKind != kSourceRemovableDrive && request.sourceKind != kSourceChosenFiles) {
    return;
  }
  if (job->stop || !player_.PrepareStandby(path, card)) return;
  auto samples = std::make_shared<TelemetrySamples>();
  const std::shared_ptr<TelemetryRecordSource> records = player_.StandbyTelemetrySource();
  LoadTelemetry(records.get(), *samples, &job->stop);
  if (job->stop) return;
  QMetaObject::invokeMethod(
      &window_,
      [this, job, samples] {
        // A drop or a newer standby since: this one is no longer wanted.
        if (current_ != job || job->stop) return;
        prepared_ = std::make_unique<Prepared>(Prepared{job->request, std::move(*samples)});
        ready_();
      },
      Qt::QueuedConnection);
}

}  // namespace app
