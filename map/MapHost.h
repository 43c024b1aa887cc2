#pragma once
// What the map needs from the main window: its map panel, its map controls, the
// player's position and its layout mode. The main window implements it; tests use a
// host of their own.

#include <cstdint>

class CBbMapPanelCtrl;

class MapHost {
 public:
  virtual ~MapHost() = default;

  // The main window's map panel (1006), where the embedded map sits.
  virtual CBbMapPanelCtrl* MainMapPanel() = 0;
  // Shows or hides the Map button (1020) and the map texts 1009 and 1010.
  virtual void ShowMapControls(bool shown) = 0;
  // The player's position in ms (0 when nothing plays).
  virtual int64_t CurrentPositionMs() = 0;
  // 1 everything, 2 the video alone.
  virtual int CurrentLayoutMode() = 0;

 protected:
  MapHost() = default;
  MapHost(const MapHost&) = default;
  MapHost& operator=(const MapHost&) = default;
};
