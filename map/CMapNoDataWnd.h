#pragma once
// Takes the map's place in the main window when the recording has no GPS data.

#include "map/MapPlaceholderWnd.h"

class CMapNoDataWnd : public MapPlaceholderWnd {
  Q_OBJECT

 public:
  static constexpr int kControlId = 1011;

  explicit CMapNoDataWnd(QWidget* parent);
};
