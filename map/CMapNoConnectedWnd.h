#pragma once
// Takes the map's place in the main window when there is no internet connection.

#include "map/MapPlaceholderWnd.h"

class CMapNoConnectedWnd : public MapPlaceholderWnd {
  Q_OBJECT

 public:
  static constexpr int kControlId = 1012;

  explicit CMapNoConnectedWnd(QWidget* parent);
};
