#include "map/MapWindows.h"

#include "controls/ControlEvents.h"
#include "map/CBbMapPanelCtrl.h"
#include "map/CMapDlg.h"
#include "map/CMapViewWnd.h"
#include "map/MapHost.h"
#include "map/MapPlacement.h"

MapWindows::MapWindows(MapHost& mapHost, QWidget* mainWindow) : QObject(mainWindow), host(mapHost) {
  dialog = new CMapDlg(mainWindow);
  dialog->SetHost(&host);
  connect(dialog, &CMapDlg::CloseRequested, this,
          [this] { SetMapPlacement(mapview::kPlacementEmbedded, host.CurrentLayoutMode()); });
  CBbMapPanelCtrl* panel = host.MainMapPanel();
  view = new CMapViewWnd(panel);
  MoveViewTo(panel);
}

void MapWindows::MoveViewTo(CBbMapPanelCtrl* panel) {
  if (!view || !panel) return;
  QWidget* previous = view->parentWidget();
  if (previous && previous != panel) SendPrivateMessage(previous, kMsgMapPanelHost, 0);
  if (previous != panel) view->setParent(panel);
  SendPrivateMessage(panel, kMsgMapPanelHost, reinterpret_cast<std::intptr_t>(static_cast<QWidget*>(view)));
  view->setGeometry(panel->rect());
  view->show();
}

void MapWindows::SetMapPlacement(int placement, int layoutMode) {
  if (!view || !dialog) return;
  if (placement == mapview::kPlacementEmbedded) {
    where = placement;
    dialog->hide();
    MoveViewTo(host.MainMapPanel());
    host.ShowMapControls(layoutMode == 1);
  } else if (placement == mapview::kPlacementOwnWindow) {
    where = placement;
    dialog->show();
    MoveViewTo(dialog->Panel());
    host.ShowMapControls(false);
  } else {
    return;
  }
  view->ShowPosition(host.CurrentPositionMs());
}
