#pragma once
// Where the one map view sits: 1 in the main window's map panel, 2 in the map's own
// window. MapWindows keeps it; it starts at 1.

namespace mapview {

inline constexpr int kPlacementEmbedded = 1;
inline constexpr int kPlacementOwnWindow = 2;

}  // namespace mapview
