// The tools behind the main window's commands: the map view and its own window (the
// window is the map's host), still capture, the zoom window, and what the settings
// dialog needs of the window (it is that dialog's host too).

#include <QTimer>

#include "app/CDezirureDovuriDlg.h"
#include "app/DlgIds.h"
#include "app/NetworkState.h"
#include "app/WindowDialogs.h"
#include "controls/CBbListCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "map/CBbMapPanelCtrl.h"
#include "map/CMapDlg.h"
#include "map/CMapViewWnd.h"
#include "map/MapPlacement.h"
#include "map/MapWindows.h"
#include "playback/CPlayer.h"
#include "settings/ViewerSettings.h"
#include "sources/RecordingList.h"
#include "tools/capture/CaptureCommand.h"
#include "tools/zoom/CZoomDlg.h"

using app::DlgItem;

// --- the map's host ---

CBbMapPanelCtrl* CDezirureDovuriDlg::MainMapPanel() { return MapPanel(); }

void CDezirureDovuriDlg::ShowMapControls(bool shown) {
  for (DlgItem item : {DlgItem::MapButton, DlgItem::MapCaption, DlgItem::CoordText}) Item(item)->setVisible(shown);
  // The Map button also follows the map rule (no map without GPS and a connection).
  if (shown) ApplyMapRule();
}

int64_t CDezirureDovuriDlg::CurrentPositionMs() { return static_cast<int64_t>(player->GetPosition()); }

int CDezirureDovuriDlg::CurrentLayoutMode() { return layoutMode; }

// --- the settings dialog's host ---

std::string CDezirureDovuriDlg::LoadedDrive() const { return loadedDrive; }

// --- the tools ---

void CDezirureDovuriDlg::InstallTools() {
  mapWindows = new MapWindows(*this, this);
  // The map reads the loaded recording's fixes from the window's samples.
  mapWindows->View()->SetSamples(&telemetry);
  dialogs = std::make_unique<app::WindowDialogs>();
  // Created hidden at (800, 200), 425 x 330; it goes with the window.
  zoomDlg = new CZoomDlg(this);
}

void CDezirureDovuriDlg::CaptureCommand() {
  bool& active = commandActive[kCommandCapture];
  if (active) return;
  active = true;
  // Still capture pauses the player and keeps it paused.
  const playback::PlaybackState state = player->state();
  if (state == playback::kStateRunning) PausePlayback();
  if (state == playback::kStateRunning || state == playback::kStatePaused) {
    // A frame step or seek still on its way: the capture is its picture, the one the
    // time text already names.
    player->WaitUntilSettled(app::kSettleForStill);
    const std::string fileName =
        currentName.empty() ? FileList()->GetItemText(CurrentRow(), kColumnFileName) : currentName;
    RunCaptureCommand(*player, fileName, player->videoChannels(), TheViewerSettings(), this);
  }
  active = false;
}

void CDezirureDovuriDlg::ZoomCommand() { zoomDlg->ToggleZoom(); }

bool CDezirureDovuriDlg::MapEmbedded() const {
  return !mapWindows || mapWindows->Placement() == mapview::kPlacementEmbedded;
}

void CDezirureDovuriDlg::SetMapPlacement(int placement) {
  mapWindows->SetMapPlacement(placement, layoutMode);
  ApplyMapRule();
}

void CDezirureDovuriDlg::ShowRouteOnMap(bool hasGps, const std::vector<mapview::MapPoint>& trip) {
  CMapViewWnd* view = mapWindows->View();
  if (hasGps && connected) view->LoadMapPage();
  if (hasGps) {
    view->ShowTrack(mapview::RouteOfFixes(telemetry.gpsSamples), trip);
  } else {
    view->ShowTrack({});
  }
}

void CDezirureDovuriDlg::FollowOnMap(std::int32_t positionMs) {
  mapWindows->View()->ShowPosition(positionMs);
  float latitude = 0.0f, longitude = 0.0f;
  telemetry.FindPosition(positionMs, latitude, longitude);
  mapWindows->Dialog()->SetCoordinates(latitude, longitude);
}

void CDezirureDovuriDlg::LoadMapPageLater() {
  // The page is loaded a moment after the window shows, so start-up never waits for
  // the web engine; without a connection it waits for the first recording with GPS.
  constexpr int kMapPageDelayMs = 1000;
  QTimer::singleShot(kMapPageDelayMs, this, [this] {
    if (network->Connected()) {
      mapWindows->View()->LoadMapPage();
      mapPageLoaded = true;
    }
  });
}
