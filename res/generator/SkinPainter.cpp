#include "res/generator/SkinPainter.h"

#include "res/generator/Drawers.h"

namespace gen {
namespace {

using skin::LanguageSkin;

// States of a button family whose ids follow the order normal, pressed, hover, disabled.
ButtonState StateAt(int index) {
  static const ButtonState kOrder[4] = {ButtonState::Normal, ButtonState::Pressed, ButtonState::Hover,
                                        ButtonState::Disabled};
  return kOrder[index];
}

struct Family {
  int first;
  int count;
  Icon icon;
};

const Family kTopButtons[] = {
    {skin::kOpenNormal, 3, Icon::Open},       {skin::kMergeNormal, 4, Icon::Merge},
    {skin::kCaptureNormal, 4, Icon::Capture}, {skin::kZoomNormal, 4, Icon::Zoom},
    {skin::kPrintNormal, 4, Icon::Print},     {skin::kSettingNormal, 3, Icon::Setting},
    {skin::kLayoutNormal, 3, Icon::Layout},   {skin::kAboutNormal, 3, Icon::About},
};

const Family kTransport[] = {
    {skin::kPreviousNormal, 4, Icon::Previous}, {skin::kRewindNormal, 4, Icon::Rewind},
    {skin::kPlayNormal, 4, Icon::Play},         {skin::kPauseNormal, 4, Icon::Pause},
    {skin::kForwardNormal, 4, Icon::Forward},   {skin::kNextNormal, 4, Icon::Next},
};

const Family kSmall[] = {
    {skin::kSpeedResetNormal, 2, Icon::SpeedReset},
    {skin::kBrightnessResetNormal, 2, Icon::BrightnessReset},
    {skin::kMuteMutedNormal, 2, Icon::Muted},
    {skin::kMuteSoundNormal, 2, Icon::SoundOn},
};

bool InFamily(const Family& family, int id, int& index) {
  if (id < family.first || id >= family.first + family.count) return false;
  index = id - family.first;
  return true;
}

QImage RenderLanguageImage(int id, int language) {
  const LanguageSkin& s = skin::kLanguageSkins[static_cast<std::size_t>(language)];
  const ButtonState toggleStates[3] = {ButtonState::Normal, ButtonState::Selected, ButtonState::Disabled};
  const int* filters[4] = {s.filterAll, s.filterNormal, s.filterEvent, s.filterParking};
  for (int f = 0; f < 4; ++f) {
    for (int k = 0; k < 3; ++k) {
      if (filters[f][k] == id) return DrawFilterToggle(language, static_cast<Filter>(f), toggleStates[k]);
    }
  }
  const int* channels[3] = {s.front, s.rear, s.both};
  for (int c = 0; c < 3; ++c) {
    for (int k = 0; k < 2; ++k) {
      if (channels[c][k] == id) return DrawChannelToggle(language, static_cast<Channel>(c), toggleStates[k]);
    }
  }
  if (id == s.okNormal) return DrawOkButton(language, ButtonState::Normal);
  if (id == s.okPressed) return DrawOkButton(language, ButtonState::Pressed);
  if (id == s.aboutTitle) return DrawAboutTitle(language);
  if (id == s.noDataPicture) return DrawPlaceholder(language, true);
  if (id == s.notConnectedPicture) return DrawPlaceholder(language, false);
  return QImage();
}

}  // namespace

QImage RenderSkinImage(const skin::SkinImage& info) {
  const int id = info.id;
  if (info.language >= 0) return RenderLanguageImage(id, info.language);
  int index = 0;
  for (const Family& family : kTopButtons) {
    if (InFamily(family, id, index)) return DrawTopButton(family.icon, StateAt(index));
  }
  for (const Family& family : kTransport) {
    if (InFamily(family, id, index)) return DrawTransportButton(family.icon, StateAt(index));
  }
  for (const Family& family : kSmall) {
    if (InFamily(family, id, index)) return DrawSmallButton(family.icon, StateAt(index));
  }
  const Family windowButtons[] = {{skin::kMinimiseNormal, 3, Icon::Close},
                                  {skin::kMaximiseNormal, 3, Icon::Close},
                                  {skin::kCloseNormal, 3, Icon::Close}};
  for (int w = 0; w < 3; ++w) {
    if (InFamily(windowButtons[w], id, index)) {
      return DrawWindowButton(static_cast<WindowButton>(w), StateAt(index));
    }
  }
  if (InFamily({skin::kMapButtonNormal, 2, Icon::MapOut}, id, index)) return DrawMapButton(StateAt(index));
  if (id == skin::kMapButtonDisabled) return DrawMapButton(ButtonState::Disabled);
  if (InFamily({skin::kMapCloseNormal, 3, Icon::Close}, id, index)) return DrawMapClose(StateAt(index));
  if (id >= skin::kSpeedDigit0 && id <= skin::kSpeedDigit0 + 9) return DrawSpeedDigit(id - skin::kSpeedDigit0);
  switch (id) {
    case skin::kTopBarTile:
      return DrawTopBarTile();
    case skin::kSeekChannel:
      return DrawSeekChannel();
    case skin::kSeekThumb:
      return DrawSeekThumb();
    case skin::kProgressTile:
      return DrawProgressTile();
    case skin::kSliderChannel:
      return DrawSliderChannel();
    case skin::kSliderThumb:
      return DrawSliderThumb();
    case skin::kScrollTopCap:
    case skin::kScrollUp:
    case skin::kScrollTrack:
    case skin::kScrollDown:
    case skin::kScrollBottomCap:
    case skin::kScrollThumb:
      return DrawScrollPiece(id);
    case skin::kVolumeEmpty:
      return DrawVolume(false);
    case skin::kVolumeFull:
      return DrawVolume(true);
    case skin::kSpeedBackgroundKmh:
      return DrawSpeedBackground(false);
    case skin::kSpeedBackgroundMph:
      return DrawSpeedBackground(true);
    case skin::kSpeedPoint:
      return DrawSpeedPoint();
    case skin::kCardInfoNormal:
      return DrawCardInfo(ButtonState::Normal);
    case skin::kCardInfoPressed:
      return DrawCardInfo(ButtonState::Pressed);
    case skin::kAppIcon:
      return DrawAppIcon(info.width);
    case skin::kIdlePicture:
      return DrawIdlePicture();
    default:
      return QImage();
  }
}

}  // namespace gen
