// Loading a recording and keeping the window in step with its playback: Load item n,
// the load worker's window steps, the position timer, the end of a recording, the
// delayed load after a double click and the sliders.

#include <QApplication>
#include <QCursor>
#include <algorithm>

#include "app/CDezirureDovuriDlg.h"
#include "app/DlgIds.h"
#include "app/LoadWorker.h"
#include "app/NetworkState.h"
#include "app/PlayerEvents.h"
#include "app/StandbyWorker.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbListCtrl.h"
#include "controls/CBbSimpleSliderCtrl.h"
#include "controls/CBbSliderCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/LanguageMessageBox.h"
#include "map/MapPlacement.h"
#include "playback/CPlayer.h"
#include "settings/ApplicationStrings.h"
#include "settings/LanguageText.h"
#include "settings/StringIds.h"
#include "settings/ViewerSettings.h"
#include "sources/CFileLoadDlg.h"
#include "sources/RecordingCollection.h"
#include "sources/RecordingList.h"
#include "telemetry/CBbGsensorCtrl.h"
#include "telemetry/CBbSpeedCtrl.h"
#include "telemetry/GpsClock.h"
#include "telemetry/TelemetrySamples.h"
#include "tools/repair/RecordingRebuild.h"

using app::DlgItem;
using playback::kStatePaused;
using playback::kStateRunning;

namespace {

constexpr int kPositionPeriodMs = 200;
constexpr int kDoubleClickDelayMs = 1000;
// A double-clicked row is loaded only when its path column looks like a path.
constexpr std::size_t kShortestPath = 4;

}  // namespace

int CDezirureDovuriDlg::CurrentRow() const { return FileList()->highlightRow; }

bool CDezirureDovuriDlg::LoadRunning() const { return worker->Running(); }

void CDezirureDovuriDlg::StartPositionTimer() {
  if (positionTimerOn) return;
  positionTimer.start(kPositionPeriodMs, this);
  positionTimerOn = true;
}

void CDezirureDovuriDlg::StopPositionTimer() {
  positionTimer.stop();
  positionTimerOn = false;
}

app::LoadRequest CDezirureDovuriDlg::RequestForRow(int row) {
  CBbListCtrl* list = FileList();
  app::LoadRequest request;
  request.row = row;
  request.path = list->GetItemText(row, kColumnPath);
  request.fileName = list->GetItemText(row, kColumnFileName);
  request.sourceKind = collection->sourceKind;
  if (const RecordingEntry* entry = collection->EntryForRow(row)) request.entry = *entry;
  request.cardHandle = collection->device.Block();
  OpenTempFolder();
  request.tempFolder = tempFolder;
  request.channelCount = RecordingCollection::ChannelCountFromName(request.fileName);
  FillTrip(request, row);
  return request;
}

void CDezirureDovuriDlg::LoadItem(int row, std::int64_t resumeAtMs, bool resumePaused) {
  DropStandby();
  FileList()->SetHighlightRow(row);
  app::LoadRequest request = RequestForRow(row);
  request.resumeAtMs = resumeAtMs;
  request.resumePaused = resumePaused;
  loadedTrip = request.trip;
  loadedTripIndex = request.tripCurrent;
  // Events of the recording that played until now are stale from here on.
  playerEvents->NextLoad();
  playStarted = false;
  busy = true;
  worker->Start(std::move(request));
}

// --- the worker's window steps, in its order ---

void CDezirureDovuriDlg::LoadShowOpenFailure() { ShowLanguageMessage(this, kStrOpenFailed); }

void CDezirureDovuriDlg::LoadShowUnsupportedVideo(const std::string& code) {
  std::string text;
  if (!LoadLanguageString(kStrUnsupportedVideo, text)) return;
  ShowMessage(this, QString::fromStdString(text).arg(QString::fromStdString(code)));
}

void CDezirureDovuriDlg::ShowChannelsOf(const app::LoadRequest& request) {
  // Channel buttons by the digit the name carries at position 20.
  const bool twoChannels = request.channelCount == 2;
  for (DlgItem item : {DlgItem::FrontChannel, DlgItem::RearChannel, DlgItem::BothChannels}) {
    Item(item)->setVisible(twoChannels);
  }
  if (!twoChannels) channelView = 1;
  ApplyChannelView(channelView);
  SetNeedsRecordingEnabled(true);
  if (TheViewerSettings().rearMirror && player->videoChannels() > 1) player->SetRearMirror(true);
}

void CDezirureDovuriDlg::LoadStarted(const app::LoadRequest& request) {
  StartPositionTimer();
  loadDlg->hide();
  playStarted = player->Play();
  if (layoutMode == 1) FileList()->clearFocus();
  ShowChannelsOf(request);
  ApplyVolumeLevel();
  // The speed factor: pause, set the rate, run again when it was running.
  ApplySpeedSlider();
  ApplyBrightnessSlider();
  if (request.resumeAtMs > 0) player->Seek(static_cast<std::int32_t>(request.resumeAtMs));
}

void CDezirureDovuriDlg::LoadTelemetryReady(const app::LoadRequest& request, TelemetrySamples samples) {
  telemetry = std::move(samples);
  GsensorGraph()->update();
  FindMarkersOf(request.fileName);
  currentName = request.fileName;
  // The map rule with what this recording carries.
  const bool hasGps = !telemetry.gpsSamples.empty();
  connected = network->Connected();
  gpsPresent = hasGps;
  if (!hasGps && !MapEmbedded()) SetMapPlacement(mapview::kPlacementEmbedded);
  if (hasGps && connected) mapPageLoaded = true;
  ShowRouteOnMap(hasGps, TripRoute(request.trip, request.tripCurrent, mapview::RouteOfFixes(telemetry.gpsSamples)));
  ApplyMapRule();
  update();
  Item(DlgItem::Pause)->show();
  Item(DlgItem::Play)->hide();
  if (request.resumePaused) PausePlayback();
}

void CDezirureDovuriDlg::LoadDone(bool opened, int attempts) {
  busy = false;
  lastLoadAttempts = attempts;
  emit LoadFinished(opened);
}

// --- the position timer ---

namespace {

// The GPS clock of the fix at a position, in the viewer's time zone; empty without a
// valid, dated fix.
QString ClockAt(const TelemetrySamples& samples, std::int32_t positionMs) {
  const CGPSData* fix = samples.FindGpsSample(positionMs);
  if (fix == nullptr) return {};
  const std::optional<platform::CivilTime> clock = telemetry::FixClock(*fix, telemetry::ViewerZone().get());
  return clock ? QString::fromStdString(telemetry::ClockText(*clock)) : QString();
}

}  // namespace

void CDezirureDovuriDlg::OnPositionTimer() { UpdatePosition(); }

void CDezirureDovuriDlg::UpdatePosition() {
  auto* seek = SeekBar();
  seek->clearFocus();
  seek->update();
  const std::int32_t state = player->state();
  ShowTimeText(state, static_cast<std::int32_t>(player->GetPosition()));
  if (state != kStateRunning) return;

  const auto position = static_cast<std::int64_t>(player->GetPosition());
  const auto duration = static_cast<std::int64_t>(player->GetDuration());
  if (position >= duration) {
    // An armed standby takes over at the end by itself; the window follows when the
    // player says it did.
    if (!player->HandsOverAtEnd()) EndOfRecording(position);
    return;
  }
  ShowPlace(position, duration);
}

void CDezirureDovuriDlg::ShowTimeText(std::int32_t state, std::int32_t positionMs) {
  auto* time = TimeText();
  // A paused picture is looked at frame by frame: its time to the millisecond.
  time->showMilliseconds = state == kStatePaused;
  if (state == kStateRunning || state == kStatePaused) {
    time->durationMs = static_cast<int>(player->GetDuration());
    time->positionMs = positionMs;
    // The samples are only looked at while no load worker fills them.
    if (!busy) time->clockText = ClockAt(telemetry, time->positionMs);
  } else {
    time->durationMs = 0;
    time->positionMs = 0;
    time->clockText.clear();
  }
  time->update();
}

void CDezirureDovuriDlg::ShowPlace(std::int64_t position, std::int64_t duration) {
  auto* seek = SeekBar();
  seek->setRange(0, static_cast<int>(duration));
  if (!seek->dragging) seek->setValue(static_cast<int>(position));
  ShowExportMarks();
  ShowSeekMarkers();
  seek->update();
  if (busy) return;
  PrepareNextRecording(position, duration);

  const TelemetrySamples& samples = telemetry;
  const auto p = static_cast<std::int32_t>(position);
  double speed = 0.0;
  samples.FindSpeed(p, speed);
  auto* gauge = SpeedGauge();
  gauge->SetValue(speed);
  gauge->Redraw();
  FollowOnMap(p);
  emit PositionShown(p);
  if (layoutMode != 1) return;
  auto* gText = GsensorText();
  double x = 0.0, y = 0.0, z = 0.0;
  gText->hasGsensor = samples.FindGValues(p, x, y, z);
  gText->gX = x;
  gText->gY = y;
  gText->gZ = z;
  gText->update();
  auto* coordinates = CoordText();
  float latitude = 0.0f, longitude = 0.0f;
  samples.FindPosition(p, latitude, longitude);
  coordinates->latitude = latitude;
  coordinates->longitude = longitude;
  coordinates->update();
}

void CDezirureDovuriDlg::EndOfRecording(std::int64_t position) {
  auto* seek = SeekBar();
  seek->setValue(static_cast<int>(position));
  StopAndClear(false);
  ShowExportMarks();  // nothing plays now: the marks leave the bar until the next load shows its own
  ShowSeekMarkers();
  CBbListCtrl* list = FileList();
  const int count = list->GetItemCount();
  const int current = CurrentRow();
  if (count == 0 || current < 0) {
    HideScreens();
    return;
  }
  if (current + 1 < count) {
    SelectAndLoad(current + 1);
    return;
  }
  // The last recording played: back to the first row, nothing playing.
  list->SetHighlightRow(0);
  list->SelectRow(0);
  list->EnsureVisible(0);
  channelView = 1;
  HideScreens();
}

void CDezirureDovuriDlg::OnEndOfStream() {
  // The end is noticed at once rather than at the next tick, so the next recording
  // follows without a pause.
  if (!busy && player->state() == kStateRunning) UpdatePosition();
}

// --- the next recording, prerolled ---

namespace {

// How long before the end of a recording (at 1.0) the next one is prerolled: ample
// time for a build under load, and short enough that two graphs rarely live together.
constexpr std::int64_t kStandbyLeadMs = 5000;

}  // namespace

void CDezirureDovuriDlg::PrepareNextRecording(std::int64_t positionMs, std::int64_t durationMs) {
  if (standby->Asked()) return;
  const float rate = std::max(player->rate(), 1.0f);
  if (static_cast<double>(durationMs - positionMs) > static_cast<double>(kStandbyLeadMs) * rate) return;
  const int current = CurrentRow();
  const int next = current + 1;
  if (current < 0 || next >= FileList()->GetItemCount()) return;
  if (FileList()->GetItemText(next, kColumnPath).size() < kShortestPath) return;
  standby->Start(RequestForRow(next));
}

void CDezirureDovuriDlg::StandbyReady() {
  // Refused when the end came first: the end then took the ordinary way.
  if (!player->ArmStandby()) DropStandby();
}

void CDezirureDovuriDlg::DropStandby() { standby->Drop(); }

void CDezirureDovuriDlg::OnNextRecording() {
  const std::unique_ptr<app::StandbyWorker::Prepared> prepared = standby->TakePrepared();
  if (!prepared) return;
  const app::LoadRequest& request = prepared->request;
  CBbListCtrl* list = FileList();
  list->SetHighlightRow(request.row);
  list->SelectRow(request.row);
  list->EnsureVisible(request.row);
  // What a load does once it plays, but the player already plays it with the volume,
  // brightness and rate of the one before.
  ShowChannelsOf(request);
  // The trip's routes were read by the load that began it; the next one's is at hand.
  loadedTrip = request.trip;
  loadedTripIndex = request.tripCurrent;
  LoadTelemetryReady(request, std::move(prepared->samples));
  UpdatePosition();
}

void CDezirureDovuriDlg::OnPlaybackError(const QString& text) {
  lastPlaybackError = text;
  if (busy || player->state() != kStateRunning) return;
  // The recording is damaged from here on: say so, then go on as at its end.
  PausePlayback();
  ShowLanguageMessage(this, kStrOpenFailed);
  if (!busy) EndOfRecording(static_cast<std::int64_t>(player->GetPosition()));
}

// --- double clicks and sliders ---

void CDezirureDovuriDlg::OnRowDoubleClicked(int row) {
  // A click while a recording loads is dropped, not kept for when the load is done.
  if (busy) return;
  pendingRow = row;
  doubleClickTimer.stop();
  doubleClickTimer.start(kDoubleClickDelayMs, this);
}

void CDezirureDovuriDlg::OnDoubleClickTimer() {
  doubleClickTimer.stop();
  if (busy) return;
  CBbListCtrl* list = FileList();
  if (list->GetItemCount() == 0 || pendingRow < 0 || pendingRow >= list->GetItemCount()) return;
  if (list->GetItemText(pendingRow, kColumnPath).size() < kShortestPath) return;
  StopAndClear(false);
  LoadItem(pendingRow);
}

void CDezirureDovuriDlg::OnSliderScrolled(int controlId, int /*position*/) {
  // The sliders act even while a load runs; the player takes their values without
  // waiting for it.
  Item(DlgItem::SeekBar)->clearFocus();
  if (controlId == app::kIdSpeedSlider) {
    keyRate = 0.0f;
    ApplySpeedSlider();
  } else if (controlId == app::kIdBrightnessSlider) {
    ApplyBrightnessSlider();
  }
}
