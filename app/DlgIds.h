#pragma once
// Control ids of the main window, the string numbers of their tooltips and the skin
// pictures of its buttons. Several ids repeat across control kinds (1001 is both the
// Capture button and the G-sensor graph): a control is known by its kind and id.

#include <array>
#include <chrono>

#include "app/DlgLayout.h"
#include "settings/StringIds.h"

namespace app {

// Buttons
inline constexpr int kIdOpen = 1000;
inline constexpr int kIdMerge = 1333;
inline constexpr int kIdCapture = 1001;
inline constexpr int kIdZoom = 1006;
inline constexpr int kIdPrint = 1004;
inline constexpr int kIdSetting = 1005;
inline constexpr int kIdLayoutToggle = 1002;
inline constexpr int kIdAbout = 1007;
inline constexpr int kIdMinimise = 1008;
inline constexpr int kIdMaximise = 1009;
inline constexpr int kIdClose = 1010;
inline constexpr int kIdFront = 1025;
inline constexpr int kIdRear = 1027;
inline constexpr int kIdBoth = 1028;
inline constexpr int kIdPrevious = 1011;
inline constexpr int kIdRewind = 1012;
inline constexpr int kIdPlay = 1013;
inline constexpr int kIdPause = 1015;
inline constexpr int kIdFastForward = 1014;
inline constexpr int kIdNext = 1016;
inline constexpr int kIdSpeedReset = 1017;
inline constexpr int kIdBrightnessReset = 1018;
inline constexpr int kIdMute = 1019;
inline constexpr int kIdMapButton = 1020;
inline constexpr int kIdFilterAll = 1021;
inline constexpr int kIdFilterEvent = 1022;
inline constexpr int kIdFilterNormal = 1023;
inline constexpr int kIdFilterParking = 1024;
// Other template controls
inline constexpr int kIdSeekBar = 1026;
inline constexpr int kIdSpeedSlider = 1033;
inline constexpr int kIdBrightnessSlider = 1034;
inline constexpr int kIdFileList = 1003;
// Windows created at initialisation
inline constexpr int kIdVolume = 1002;
inline constexpr int kIdFrontScreen = 1004;
inline constexpr int kIdRearScreen = 1005;
inline constexpr int kIdMapPanel = 1006;
inline constexpr int kIdMapBrowser = 2091;
inline constexpr int kIdTimeText = 1007;
inline constexpr int kIdGsensorText = 1008;
inline constexpr int kIdMapCaption = 1009;
inline constexpr int kIdCoordText = 1010;
inline constexpr int kIdListCaption = 1013;
inline constexpr int kIdGsensorGraph = 1001;
inline constexpr int kIdSpeedGauge = 1003;

// Text control kinds of the main window.
inline constexpr int kTextKindTime = 1;
inline constexpr int kTextKindGsensor = 2;
inline constexpr int kTextKindMapCaption = 3;
inline constexpr int kTextKindCoordinates = 4;
inline constexpr int kTextKindListCaption = 7;

// Tooltip string numbers
inline constexpr int kTipNone = 0;

// Where a button's pictures come from: fixed ids, or the language's toggle set.
enum class ButtonSkin { Fixed, FilterAll, FilterEvent, FilterNormal, FilterParking, Front, Rear, Both };

struct ButtonSpec {
  DlgItem item;
  int id;
  int tooltip;  // language string number, 0 for none
  ButtonSkin skin;
  int normal, pressed, hover, disabled;  // Fixed only; 0 = none
};

inline constexpr std::array<ButtonSpec, 28> kButtonSpecs = {{
    {DlgItem::Open, kIdOpen, kStrTipOpen, ButtonSkin::Fixed, 19101, 19102, 19103, 0},
    {DlgItem::Merge, kIdMerge, kStrTipSaveCopy, ButtonSkin::Fixed, 19294, 19295, 19296, 19297},
    {DlgItem::Capture, kIdCapture, kStrTipCapture, ButtonSkin::Fixed, 19111, 19112, 19113, 19114},
    {DlgItem::Zoom, kIdZoom, kStrTipZoom, ButtonSkin::Fixed, 19121, 19122, 19123, 19124},
    {DlgItem::Print, kIdPrint, kStrTipPrint, ButtonSkin::Fixed, 19131, 19132, 19133, 19134},
    {DlgItem::Setting, kIdSetting, kStrTipSetting, ButtonSkin::Fixed, 19141, 19142, 19143, 0},
    {DlgItem::LayoutToggle, kIdLayoutToggle, kStrTipLayout, ButtonSkin::Fixed, 19151, 19152, 19153, 0},
    {DlgItem::About, kIdAbout, kStrTipAbout, ButtonSkin::Fixed, 19161, 19162, 19163, 0},
    {DlgItem::Minimise, kIdMinimise, kStrTipMinimize, ButtonSkin::Fixed, 18101, 18102, 18103, 0},
    {DlgItem::Maximise, kIdMaximise, kStrTipMaximize, ButtonSkin::Fixed, 18111, 18112, 18113, 0},
    {DlgItem::Close, kIdClose, kStrTipClose, ButtonSkin::Fixed, 18121, 18122, 18123, 0},
    {DlgItem::FrontChannel, kIdFront, kStrTipFront, ButtonSkin::Front, 0, 0, 0, 0},
    {DlgItem::RearChannel, kIdRear, kStrTipRear, ButtonSkin::Rear, 0, 0, 0, 0},
    {DlgItem::BothChannels, kIdBoth, kStrTipBoth, ButtonSkin::Both, 0, 0, 0, 0},
    {DlgItem::Previous, kIdPrevious, kStrTipPrevious, ButtonSkin::Fixed, 19171, 19172, 19173, 19174},
    {DlgItem::Rewind, kIdRewind, kStrTipRewind, ButtonSkin::Fixed, 19181, 19182, 19183, 19184},
    {DlgItem::Play, kIdPlay, kStrTipPlay, ButtonSkin::Fixed, 19191, 19192, 19193, 19194},
    {DlgItem::Pause, kIdPause, kStrTipPause, ButtonSkin::Fixed, 19195, 19196, 19197, 19198},
    {DlgItem::FastForward, kIdFastForward, kStrTipForward, ButtonSkin::Fixed, 19201, 19202, 19203, 19204},
    {DlgItem::Next, kIdNext, kStrTipNext, ButtonSkin::Fixed, 19211, 19212, 19213, 19214},
    {DlgItem::SpeedReset, kIdSpeedReset, kStrTipSpeedReset, ButtonSkin::Fixed, 19221, 19222, 0, 0},
    {DlgItem::BrightnessReset, kIdBrightnessReset, kStrTipBrightnessReset, ButtonSkin::Fixed, 19231, 19232, 0, 0},
    {DlgItem::Mute, kIdMute, kStrTipMute, ButtonSkin::Fixed, 19243, 19244, 0, 0},
    {DlgItem::MapButton, kIdMapButton, kTipNone, ButtonSkin::Fixed, 19251, 19252, 0, 19253},
    {DlgItem::FilterAll, kIdFilterAll, kStrTipFilterAll, ButtonSkin::FilterAll, 0, 0, 0, 0},
    {DlgItem::FilterEvent, kIdFilterEvent, kStrTipFilterEvent, ButtonSkin::FilterEvent, 0, 0, 0, 0},
    {DlgItem::FilterNormal, kIdFilterNormal, kStrTipFilterNormal, ButtonSkin::FilterNormal, 0, 0, 0, 0},
    {DlgItem::FilterParking, kIdFilterParking, kStrTipFilterParking, ButtonSkin::FilterParking, 0, 0, 0, 0},
}};

// Mute button pictures while the sound is on and while muted.
inline constexpr int kMuteSoundNormal = 19243;
inline constexpr int kMuteSoundPressed = 19244;
inline constexpr int kMuteMutedNormal = 19241;
inline constexpr int kMuteMutedPressed = 19242;

// Tooltips of the non-button controls.
inline constexpr int kTipSpeedSlider = kStrTipSpeedSlider;
inline constexpr int kTipBrightnessSlider = kStrTipBrightness;
inline constexpr int kTipVolume = kStrTipVolume;

// Slider set-up of the control bar.
inline constexpr int kSliderRangeMax = 100;
inline constexpr int kSliderCentre = 50;
// The rates [ and ] step through, beyond the speed slider's 0.1 to 2; the sound plays
// only between the two audible ends.
inline constexpr float kKeyRates[] = {0.125f, 0.25f, 0.5f, 1.0f, 2.0f, 4.0f, 8.0f};
inline constexpr float kAudibleRateMin = 0.5f;
inline constexpr float kAudibleRateMax = 2.0f;
// How long a capture or print waits for the picture of a frame step or seek on its way.
inline constexpr std::chrono::milliseconds kSettleForStill{2000};
inline constexpr int kSliderPage = 10;
inline constexpr int kSliderMargin = 15;
inline constexpr int kVolumeStartLevel = 5;

// The eleven top-bar buttons whose hover mark the window's own surface clears.
inline constexpr std::array<DlgItem, 11> kTopBarButtons = {
    DlgItem::Open,         DlgItem::Merge, DlgItem::Capture,  DlgItem::Zoom,     DlgItem::Print, DlgItem::Setting,
    DlgItem::LayoutToggle, DlgItem::About, DlgItem::Minimise, DlgItem::Maximise, DlgItem::Close};

}  // namespace app
