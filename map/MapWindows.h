#pragma once
// The one map view and the map's own window, and SetMapPlacement, which moves the
// view between the main window's map panel and the map window's panel.
//
// The main window makes one MapWindows after its controls (its map panel must exist)
// and keeps it for its life. Every call belongs to the UI thread.

#include <QObject>

#include "map/MapPlacement.h"

class CBbMapPanelCtrl;
class CMapDlg;
class CMapViewWnd;
class MapHost;
class QWidget;

class MapWindows : public QObject {
  Q_OBJECT

 public:
  // Makes the view inside the host's map panel and the map window, hidden at
  // (800, 100), above `mainWindow`. The web engine is not started here (LoadMapPage).
  MapWindows(MapHost& host, QWidget* mainWindow);

  CMapViewWnd* View() const { return view; }
  CMapDlg* Dialog() const { return dialog; }

  // 1: hides the map window, moves the view into the main window's panel and shows
  // the main window's map controls in layout mode 1 (hides them in mode 2).
  // 2: shows the map window, moves the view into its panel and hides those controls.
  // Either way the marker is then put back at the player's position and the
  // placement is kept (Placement()); other values do nothing.
  void SetMapPlacement(int placement, int layoutMode);
  // Where the view is: mapview::kPlacementEmbedded or kPlacementOwnWindow.
  int Placement() const { return where; }

  // Moves the view into `panel`: the panel that hosted it forgets it (message 2025
  // with 0), `panel` becomes its parent and host, and the view fills it.
  void MoveViewTo(CBbMapPanelCtrl* panel);

 private:
  MapHost& host;
  // Both belong to the main window's widget tree and go with it.
  CMapViewWnd* view = nullptr;
  CMapDlg* dialog = nullptr;
  int where = mapview::kPlacementEmbedded;
};
