#include "map/MapPlacement.h"

int& MapPlacement() {
  static int placement = mapview::kPlacementEmbedded;
  return placement;
}
