// The main window's markers on the seek bar: the hard G moments of the playing
// recording (and an event recording's trigger), found when its telemetry arrives and
// again when the threshold changes; Ctrl+Right and Ctrl+Left jump between them.

#include "app/CDezirureDovuriDlg.h"
#include "controls/CBbSliderCtrl.h"
#include "playback/CPlayer.h"
#include "settings/ViewerSettings.h"
#include "sources/RecordingCollection.h"

void CDezirureDovuriDlg::FindMarkersOf(const std::string& fileName) {
  markersOfEvent = RecordingCollection::GroupOfName(fileName) == kGroupEvent;
  seekMarkers = FindSeekMarkers(telemetry.gsensorSamples, TheViewerSettings().markerThreshold, markersOfEvent);
  ShowSeekMarkers();
}

void CDezirureDovuriDlg::RefindSeekMarkers() {
  seekMarkers = FindSeekMarkers(telemetry.gsensorSamples, TheViewerSettings().markerThreshold, markersOfEvent);
  ShowSeekMarkers();
}

void CDezirureDovuriDlg::ShowSeekMarkers() {
  const std::int32_t state = player->state();
  // Nothing playing, nothing marked: the bar then stands for no recording.
  if (state == playback::kStateRunning || state == playback::kStatePaused)
    SeekBar()->SetSeekMarkers(seekMarkers);
  else
    SeekBar()->SetSeekMarkers({});
}

void CDezirureDovuriDlg::JumpToMarker(bool next) {
  const std::int32_t state = player->state();
  if (busy || (state != playback::kStateRunning && state != playback::kStatePaused)) return;
  const auto position = static_cast<std::int64_t>(player->GetPosition());
  const std::int32_t target = next ? NextMarkerTime(seekMarkers, position) : PreviousMarkerTime(seekMarkers, position);
  if (target < 0) return;
  player->Seek(target);
  // A paused player's position is not shown by the timer: the bar moves here.
  SeekBar()->setRange(0, static_cast<int>(player->GetDuration()));
  SeekBar()->setValue(target);
  UpdatePosition();
}
