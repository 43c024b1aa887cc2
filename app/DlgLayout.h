#pragma once
// The main window's geometry: every child's rectangle and show/hide decision for a
// client size, layout mode and state flags. Pure arithmetic, no widgets, so the
// rules can be checked on their own and the window only applies the result.

#include <array>
#include <cstddef>

#include "telemetry/GsensorGeometry.h"

namespace app {

struct LayoutRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  bool operator==(const LayoutRect&) const = default;

  static LayoutRect FromSize(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }
};

// The part of `area` a 16:9 picture covers: full width centred vertically when the
// area is taller than 16:9, otherwise full height centred horizontally.
LayoutRect FitSixteenNine(const LayoutRect& area);

// Every child the layout pass places or shows, in creation order.
enum class DlgItem {
  // top bar
  Open,
  Merge,
  Capture,
  Print,
  Zoom,
  LayoutToggle,
  Setting,
  About,
  Minimise,
  Maximise,
  Close,
  // under the video
  FrontChannel,
  RearChannel,
  BothChannels,
  // control bar
  Previous,
  Rewind,
  Play,
  Pause,
  FastForward,
  Next,
  SpeedReset,
  SpeedSlider,
  BrightnessReset,
  BrightnessSlider,
  Mute,
  Volume,
  SpeedGauge,
  // info area
  SeekBar,
  TimeText,
  GsensorGraph,
  GsensorText,
  // map column
  MapCaption,
  MapButton,
  MapPanel,
  MapNoData,
  MapNoConnected,
  CoordText,
  // list column
  ListCaption,
  FilterAll,
  FilterEvent,
  FilterNormal,
  FilterParking,
  FileList,
  // video
  FrontScreen,
  RearScreen,
};
inline constexpr std::size_t kDlgItemCount = static_cast<std::size_t>(DlgItem::RearScreen) + 1;

// Whether a pass shows a child, hides it, or leaves it as the commands last set it
// (Play/Pause, channel buttons and screens belong to playback, not to the layout).
enum class Visibility { Keep, Shown, Hidden };

struct ItemPlacement {
  bool moved = false;  // false: the pass leaves the child where it is
  LayoutRect rect;
  Visibility visibility = Visibility::Keep;
};

// The seek bar is laid out from the graph's own geometry.
using ::ComputeGsensorGeometry;
using ::GsensorGeometry;

struct MapVisibility {
  bool mapPanel = false;
  bool noData = false;
  bool noConnected = false;
  bool mapButton = false;
};
// Which of the map column's windows stand in for the map.
MapVisibility ApplyMapRule(bool gpsPresent, bool connected, bool mapEmbedded);

struct LayoutInput {
  int width = 0;  // client size
  int height = 0;
  int layoutMode = 1;   // 1 standard, 2 video only
  int channelView = 1;  // 1 front, 2 rear, 3 both
  bool mapEmbedded = true;
  bool gpsPresent = false;
  bool connected = false;
  bool frontVisible = false;
  bool rearVisible = false;
};

struct DlgLayout {
  LayoutRect videoRect;
  LayoutRect infoRect;
  LayoutRect barRect;
  LayoutRect mapRect;   // layout mode 1 only
  LayoutRect listRect;  // layout mode 1 only
  GsensorGeometry graph;
  std::array<ItemPlacement, kDlgItemCount> items{};

  // Background pieces painted behind the children.
  LayoutRect seekBand;   // framed band around the seek bar
  LayoutRect mapFrame;   // mode 1: framed panel behind the map column
  LayoutRect listFrame;  // mode 1: framed panel behind the list column
  bool screenVisible = false;

  const ItemPlacement& operator[](DlgItem item) const { return items[static_cast<std::size_t>(item)]; }
  ItemPlacement& operator[](DlgItem item) { return items[static_cast<std::size_t>(item)]; }
};

// Fixed sizes of the children that the layout only moves.
struct ItemSize {
  int width = 0;
  int height = 0;
};
ItemSize FixedItemSize(DlgItem item);

inline constexpr int kMinimumWidth = 1034;
inline constexpr int kMinimumHeight = 742;
inline constexpr int kTopBarHeight = 40;  // double clicks here maximise
inline constexpr int kResizeBorder = 10;
inline constexpr int kControlBarWidth = 726;  // the control bar row is centred in barRect
inline constexpr int kSeekBarMargin = 15;     // channel inset at both ends of the seek bar

DlgLayout ComputeLayout(const LayoutInput& input);

}  // namespace app
