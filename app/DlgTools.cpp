// The tools the main window's commands hand their work to: the map view and its own
// window, still capture, printing, the device settings dialog and the folder picker.
// Each command's work is a replaceable function, set here to the real tool.

#include <QTimer>

#include "app/CDezirureDovuriDlg.h"
#include "app/DlgIds.h"
#include "app/NetworkState.h"
#include "app/WindowDialogs.h"
#include "app/WindowHosts.h"
#include "controls/CBbListCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "map/CBbMapPanelCtrl.h"
#include "map/CMapDlg.h"
#include "map/CMapViewWnd.h"
#include "map/MapWindows.h"
#include "playback/CPlayer.h"
#include "settings/ViewerSettings.h"
#include "telemetry/TelemetrySamples.h"
#include "tools/capture/CaptureCommand.h"
#include "tools/zoom/CZoomDlg.h"

using app::DlgItem;

namespace app {

CBbMapPanelCtrl* WindowMapHost::MainMapPanel() { return static_cast<CBbMapPanelCtrl*>(dlg_.Item(DlgItem::MapPanel)); }

void WindowMapHost::ShowMapControls(bool shown) {
  for (DlgItem item : {DlgItem::MapButton, DlgItem::MapCaption, DlgItem::CoordText}) {
    dlg_.Item(item)->setVisible(shown);
  }
  // The Map button also follows the map rule (no map without GPS and a connection).
  if (shown) dlg_.ApplyMapRule();
}

int64_t WindowMapHost::CurrentPositionMs() { return static_cast<int64_t>(dlg_.Player().GetPosition()); }

int WindowMapHost::CurrentLayoutMode() { return dlg_.layoutMode; }

std::string WindowSettingHost::LoadedDrive() const { return dlg_.loadedDrive; }

void WindowSettingHost::ClearRecordings() { dlg_.ClearRecordings(); }

}  // namespace app

void CDezirureDovuriDlg::InstallTools() {
  mapHost = std::make_unique<app::WindowMapHost>(*this);
  settingHost = std::make_unique<app::WindowSettingHost>(*this);
  mapWindows = new MapWindows(*mapHost, this);
  dialogs = std::make_unique<app::WindowDialogs>();

  captureHandler = [this] {
    const std::string fileName = currentName.empty() ? FileList()->GetItemText(CurrentRow(), 5) : currentName;
    RunCaptureCommand(*player, fileName, player->videoChannels(), TheViewerSettings(), this);
  };
  // Created hidden at (800, 200), 425 x 330; it goes with the window.
  zoomDlg = new CZoomDlg(this);
  zoomHandler = [this] { zoomDlg->ToggleZoom(); };
  placementHandler = [this](int placement) {
    mapWindows->SetMapPlacement(placement, layoutMode);
    ApplyMapRule();
  };
  positionHandler = [this](std::int32_t positionMs) {
    mapWindows->View()->ShowPosition(positionMs);
    float latitude = 0.0f, longitude = 0.0f;
    TheTelemetrySamples().FindPosition(positionMs, latitude, longitude);
    mapWindows->Dialog()->SetCoordinates(latitude, longitude);
  };
  trackHandler = [this](bool hasGps) {
    if (hasGps && connected) mapWindows->View()->LoadMapPage();
    if (hasGps) {
      mapWindows->View()->ShowTrack();
    } else {
      mapWindows->View()->ShowTrack({});
    }
  };
  resendHandler = [this] { mapWindows->View()->ResendPosition(); };
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
