#include "app/DlgLayout.h"

namespace app {
namespace {

// Integer division rounding toward negative infinity: a control bar one pixel wider
// than its band must start one pixel further left, not stay put.
int FloorDiv(int numerator, int denominator) {
  int quotient = numerator / denominator;
  if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) {
    --quotient;
  }
  return quotient;
}

void Place(DlgLayout& layout, DlgItem item, int x, int y) {
  const ItemSize size = FixedItemSize(item);
  ItemPlacement& placement = layout[item];
  placement.moved = true;
  placement.rect = LayoutRect::FromSize(x, y, size.width, size.height);
}

void PlaceSized(DlgLayout& layout, DlgItem item, int x, int y, int width, int height) {
  ItemPlacement& placement = layout[item];
  placement.moved = true;
  placement.rect = LayoutRect::FromSize(x, y, width, height);
}

void SetShown(DlgLayout& layout, DlgItem item, bool shown) {
  layout[item].visibility = shown ? Visibility::Shown : Visibility::Hidden;
}

constexpr DlgItem kTopBar[] = {DlgItem::Open, DlgItem::Merge,        DlgItem::Capture, DlgItem::Print,
                               DlgItem::Zoom, DlgItem::LayoutToggle, DlgItem::Setting, DlgItem::About};
constexpr int kTopBarY = 9;
constexpr int kTopBarStep = 44;

void LayoutModeOne(const LayoutInput& in, DlgLayout& layout) {
  const int w = in.width;
  const int h = in.height;
  layout.infoRect = {7, h - 259, w - 297, h - 70};
  layout.videoRect = {12, 50, w - 302, h - 271};
  layout.barRect = {7, h - 63, w - 302, h - 7};
  const int columnHeight = h - 57;
  const int mapBottom = 50 + columnHeight * 2 / 5;
  layout.mapRect = {w - 287, 50, w - 7, mapBottom};
  layout.listRect = {w - 287, mapBottom, w - 7, mapBottom + columnHeight * 3 / 5};

  for (int i = 0; i < 8; ++i) {
    Place(layout, kTopBar[i], 9 + i * kTopBarStep, kTopBarY);
  }
  Place(layout, DlgItem::Close, w - 51, kTopBarY);
  Place(layout, DlgItem::Maximise, w - 95, kTopBarY);
  Place(layout, DlgItem::Minimise, w - 139, kTopBarY);

  const LayoutRect& info = layout.infoRect;
  PlaceSized(layout, DlgItem::GsensorGraph, info.left, info.top + 50, info.Width(), info.Height() - 92);
  PlaceSized(layout, DlgItem::GsensorText, info.left + 3, info.bottom - 33, 400, 20);

  const LayoutRect& map = layout.mapRect;
  PlaceSized(layout, DlgItem::MapCaption, map.left, map.top + 13, map.Width() - 50, 20);
  Place(layout, DlgItem::MapButton, map.left + 233, map.top + 4);
  for (DlgItem item : {DlgItem::MapPanel, DlgItem::MapNoData, DlgItem::MapNoConnected}) {
    PlaceSized(layout, item, map.left + 2, map.top + 38, map.Width() - 4, map.Height() - 71);
  }
  PlaceSized(layout, DlgItem::CoordText, map.left, map.bottom - 26, map.Width() - 10, 20);

  const LayoutRect& list = layout.listRect;
  PlaceSized(layout, DlgItem::ListCaption, list.left, list.top + 8, 92, 20);
  const int filterX = list.left + 98;
  const int filterY = list.top + 6;
  Place(layout, DlgItem::FilterAll, filterX, filterY);
  Place(layout, DlgItem::FilterEvent, filterX + 46, filterY);
  Place(layout, DlgItem::FilterNormal, filterX + 92, filterY);
  Place(layout, DlgItem::FilterParking, filterX + 138, filterY);
  PlaceSized(layout, DlgItem::FileList, list.left, list.top + 34, list.Width() - 18, list.Height() - 34);

  for (DlgItem item : kTopBar) SetShown(layout, item, true);
  for (DlgItem item : {DlgItem::Minimise, DlgItem::Maximise, DlgItem::Close, DlgItem::GsensorGraph,
                       DlgItem::GsensorText, DlgItem::ListCaption, DlgItem::FileList, DlgItem::FilterAll,
                       DlgItem::FilterEvent, DlgItem::FilterNormal, DlgItem::FilterParking}) {
    SetShown(layout, item, true);
  }
  SetShown(layout, DlgItem::MapCaption, in.mapEmbedded);
  SetShown(layout, DlgItem::CoordText, in.mapEmbedded);

  const MapVisibility mapShown = ApplyMapRule(in.gpsPresent, in.connected, in.mapEmbedded);
  SetShown(layout, DlgItem::MapPanel, mapShown.mapPanel);
  SetShown(layout, DlgItem::MapNoData, mapShown.noData);
  SetShown(layout, DlgItem::MapNoConnected, mapShown.noConnected);
  SetShown(layout, DlgItem::MapButton, mapShown.mapButton);

  layout.mapFrame = {map.left - 2, map.top, map.right + 2, map.bottom - 3};
  const LayoutRect& fileList = layout[DlgItem::FileList].rect;
  layout.listFrame = {list.left - 2, list.top, list.right + 2, fileList.bottom + 2};
}

void LayoutModeTwo(const LayoutInput& in, DlgLayout& layout) {
  const int w = in.width;
  const int h = in.height;
  layout.infoRect = {0, h - 144, w, h - 70};
  layout.videoRect = {0, 0, w, h - 156};
  layout.barRect = {7, h - 63, w, h - 7};
  Place(layout, DlgItem::LayoutToggle, layout.barRect.right - 50, layout.barRect.top - 3);
  SetShown(layout, DlgItem::LayoutToggle, true);

  for (DlgItem item : {DlgItem::Open,       DlgItem::Merge,       DlgItem::Capture,        DlgItem::Print,
                       DlgItem::Setting,    DlgItem::Zoom,        DlgItem::About,          DlgItem::Minimise,
                       DlgItem::Maximise,   DlgItem::Close,       DlgItem::GsensorGraph,   DlgItem::GsensorText,
                       DlgItem::MapCaption, DlgItem::CoordText,   DlgItem::ListCaption,    DlgItem::MapButton,
                       DlgItem::MapPanel,   DlgItem::MapNoData,   DlgItem::MapNoConnected, DlgItem::FileList,
                       DlgItem::FilterAll,  DlgItem::FilterEvent, DlgItem::FilterNormal,   DlgItem::FilterParking}) {
    SetShown(layout, item, false);
  }
}

void LayoutScreens(const LayoutInput& in, DlgLayout& layout) {
  const LayoutRect& video = layout.videoRect;
  ItemPlacement& front = layout[DlgItem::FrontScreen];
  ItemPlacement& rear = layout[DlgItem::RearScreen];
  front.moved = true;
  rear.moved = true;
  if (in.channelView == 3) {
    const int middle = video.left + (video.right - video.left) / 2;
    front.rect = FitSixteenNine({video.left, video.top, middle, video.bottom});
    rear.rect = FitSixteenNine({middle, video.top, video.right, video.bottom});
  } else if (in.channelView == 2) {
    front.rect = {};
    rear.rect = FitSixteenNine(video);
  } else {
    front.rect = FitSixteenNine(video);
    rear.rect = {};
  }
}

void LayoutBothModes(const LayoutInput& in, DlgLayout& layout) {
  LayoutScreens(in, layout);

  const int channelY = layout.videoRect.bottom + 10;
  const int bothX = layout.videoRect.right - 55;
  Place(layout, DlgItem::BothChannels, bothX, channelY);
  Place(layout, DlgItem::RearChannel, bothX - 53, channelY);
  Place(layout, DlgItem::FrontChannel, bothX - 106, channelY);

  const LayoutRect& info = layout.infoRect;
  // Wide enough for the play time, the speed factor and the GPS clock after them, short of the channel buttons.
  PlaceSized(layout, DlgItem::TimeText, info.left + 15, info.top + 3, 545, 20);
  SetShown(layout, DlgItem::TimeText, true);

  layout.graph = ComputeGsensorGeometry(info.Width(), info.Height() - 92);
  const GsensorGeometry& graph = layout.graph;
  PlaceSized(layout, DlgItem::SeekBar, info.left + graph.plotLeft - kSeekBarMargin + 2, info.top + 25,
             graph.plotRight - graph.plotLeft + 2 * kSeekBarMargin, 30);
  SetShown(layout, DlgItem::SeekBar, true);
  const LayoutRect& seek = layout[DlgItem::SeekBar].rect;
  layout.seekBand = {layout.barRect.left + 5, seek.top - 10, layout.barRect.right - 5, seek.bottom + 10};

  const int x0 = FloorDiv(layout.barRect.Width() - kControlBarWidth, 2) + 22;
  const int y = layout.barRect.top;
  Place(layout, DlgItem::Previous, x0, y);
  Place(layout, DlgItem::Rewind, x0 + 39, y);
  Place(layout, DlgItem::Play, x0 + 78, y);
  Place(layout, DlgItem::Pause, x0 + 78, y);
  Place(layout, DlgItem::FastForward, x0 + 117, y);
  Place(layout, DlgItem::Next, x0 + 156, y);
  Place(layout, DlgItem::SpeedReset, x0 + 205, y + 4);
  Place(layout, DlgItem::SpeedSlider, x0 + 230, y + 2);
  Place(layout, DlgItem::BrightnessReset, x0 + 328, y + 4);
  Place(layout, DlgItem::BrightnessSlider, x0 + 353, y + 2);
  Place(layout, DlgItem::Mute, x0 + 451, y + 4);
  Place(layout, DlgItem::Volume, x0 + 490, y + 4);
  Place(layout, DlgItem::SpeedGauge, x0 + 570, y - 3);
  for (DlgItem item : {DlgItem::Previous, DlgItem::Rewind, DlgItem::FastForward, DlgItem::Next, DlgItem::SpeedReset,
                       DlgItem::SpeedSlider, DlgItem::BrightnessReset, DlgItem::BrightnessSlider, DlgItem::Mute,
                       DlgItem::Volume, DlgItem::SpeedGauge}) {
    SetShown(layout, item, true);
  }
  layout.screenVisible = in.frontVisible || in.rearVisible;
}

}  // namespace

LayoutRect FitSixteenNine(const LayoutRect& area) {
  const int w = area.Width();
  const int h = area.Height();
  const int targetHeight = w * 9 / 16;
  if (targetHeight < h) {
    const int top = area.top + (h - targetHeight) / 2;
    return {area.left, top, area.right, top + targetHeight};
  }
  const int targetWidth = h * 16 / 9;
  const int left = area.left + (w - targetWidth) / 2;
  return {left, area.top, left + targetWidth, area.bottom};
}

MapVisibility ApplyMapRule(bool gpsPresent, bool connected, bool mapEmbedded) {
  MapVisibility shown;
  if (!gpsPresent) {
    shown.noData = true;
  } else if (!connected) {
    shown.noConnected = true;
  } else {
    shown.mapPanel = true;
    shown.mapButton = mapEmbedded;
  }
  return shown;
}

ItemSize FixedItemSize(DlgItem item) {
  switch (item) {
    case DlgItem::Open:
    case DlgItem::Merge:
    case DlgItem::Capture:
    case DlgItem::Print:
    case DlgItem::Zoom:
    case DlgItem::LayoutToggle:
    case DlgItem::Setting:
    case DlgItem::About:
      return {32, 31};
    case DlgItem::Minimise:
    case DlgItem::Maximise:
    case DlgItem::Close:
      return {30, 24};
    case DlgItem::FrontChannel:
    case DlgItem::RearChannel:
    case DlgItem::BothChannels:
      return {43, 19};
    case DlgItem::Previous:
    case DlgItem::Rewind:
    case DlgItem::Play:
    case DlgItem::Pause:
    case DlgItem::FastForward:
    case DlgItem::Next:
    case DlgItem::MapButton:
      return {32, 32};
    case DlgItem::SpeedReset:
    case DlgItem::BrightnessReset:
    case DlgItem::Mute:
      return {24, 24};
    case DlgItem::FilterAll:
    case DlgItem::FilterEvent:
    case DlgItem::FilterNormal:
    case DlgItem::FilterParking:
      return {43, 23};
    case DlgItem::SpeedSlider:
    case DlgItem::BrightnessSlider:
      return {95, 30};
    case DlgItem::Volume:
      return {70, 21};
    case DlgItem::SpeedGauge:
      return {124, 38};
    default:
      return {};
  }
}

DlgLayout ComputeLayout(const LayoutInput& input) {
  DlgLayout layout;
  if (input.layoutMode == 2) {
    LayoutModeTwo(input, layout);
  } else {
    LayoutModeOne(input, layout);
  }
  LayoutBothModes(input, layout);
  return layout;
}

}  // namespace app
