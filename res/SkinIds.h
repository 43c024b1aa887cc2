#pragma once
// Every skin image of the viewer by its numeric id, with its size, how it is drawn and
// what it is for. Plain C++ (no Qt), shared by the skinned controls, the windows, the
// skin generator and the tests.
//
// Images are compiled in as ":/skin/<id>.png" (see SkinResources.h). Three kinds:
//  - Bitmap: opaque, drawn as is.
//  - KeyedBitmap: opaque file, but every pixel of exactly `keyColour` is left undrawn.
//  - Png: carries alpha and is blended over what the control painted first.

#include <array>
#include <cstddef>
#include <cstdint>

namespace skin {

enum class SkinKind : std::uint8_t { Bitmap, KeyedBitmap, Png };

struct SkinImage {
  int id;
  int width;
  int height;
  SkinKind kind;
  std::uint32_t keyColour;  // 0xRRGGBB; meaningful for KeyedBitmap only
  int language;             // language index for language-specific images, else -1
  const char* role;
};

// Language indices of the viewer settings.
inline constexpr int kLanguageEnglish = 0;
inline constexpr int kLanguageKorean = 1;
inline constexpr int kLanguageGerman = 2;
inline constexpr int kLanguageJapanese = 3;
inline constexpr int kLanguageChinese = 4;
inline constexpr int kLanguageDutch = 5;
inline constexpr int kLanguageFrench = 6;
inline constexpr int kLanguageItalian = 7;
inline constexpr int kLanguagePolish = 8;
inline constexpr int kLanguagePortuguese = 9;
inline constexpr int kLanguageRussian = 10;
inline constexpr int kLanguageSpanish = 11;
inline constexpr int kLanguageCount = 12;

// ---- Top bar (PNG with alpha, 32 x 31) ----
inline constexpr int kTopButtonWidth = 32;
inline constexpr int kTopButtonHeight = 31;
inline constexpr int kOpenNormal = 19101;
inline constexpr int kOpenPressed = 19102;
inline constexpr int kOpenHover = 19103;
inline constexpr int kMergeNormal = 19294;
inline constexpr int kMergePressed = 19295;
inline constexpr int kMergeHover = 19296;
inline constexpr int kMergeDisabled = 19297;
inline constexpr int kCaptureNormal = 19111;
inline constexpr int kCapturePressed = 19112;
inline constexpr int kCaptureHover = 19113;
inline constexpr int kCaptureDisabled = 19114;
inline constexpr int kZoomNormal = 19121;
inline constexpr int kZoomPressed = 19122;
inline constexpr int kZoomHover = 19123;
inline constexpr int kZoomDisabled = 19124;
inline constexpr int kPrintNormal = 19131;
inline constexpr int kPrintPressed = 19132;
inline constexpr int kPrintHover = 19133;
inline constexpr int kPrintDisabled = 19134;
inline constexpr int kSettingNormal = 19141;
inline constexpr int kSettingPressed = 19142;
inline constexpr int kSettingHover = 19143;
inline constexpr int kLayoutNormal = 19151;
inline constexpr int kLayoutPressed = 19152;
inline constexpr int kLayoutHover = 19153;
inline constexpr int kAboutNormal = 19161;
inline constexpr int kAboutPressed = 19162;
inline constexpr int kAboutHover = 19163;

// ---- Window buttons (bitmaps, 30 x 24) ----
inline constexpr int kWindowButtonWidth = 30;
inline constexpr int kWindowButtonHeight = 24;
inline constexpr int kMinimiseNormal = 18101;
inline constexpr int kMinimisePressed = 18102;
inline constexpr int kMinimiseHover = 18103;
inline constexpr int kMaximiseNormal = 18111;
inline constexpr int kMaximisePressed = 18112;
inline constexpr int kMaximiseHover = 18113;
inline constexpr int kCloseNormal = 18121;
inline constexpr int kClosePressed = 18122;
inline constexpr int kCloseHover = 18123;

// ---- Control bar transport (bitmaps, 32 x 32) ----
inline constexpr int kTransportButtonSize = 32;
inline constexpr int kPreviousNormal = 19171;
inline constexpr int kPreviousPressed = 19172;
inline constexpr int kPreviousHover = 19173;
inline constexpr int kPreviousDisabled = 19174;
inline constexpr int kRewindNormal = 19181;
inline constexpr int kRewindPressed = 19182;
inline constexpr int kRewindHover = 19183;
inline constexpr int kRewindDisabled = 19184;
inline constexpr int kPlayNormal = 19191;
inline constexpr int kPlayPressed = 19192;
inline constexpr int kPlayHover = 19193;
inline constexpr int kPlayDisabled = 19194;
inline constexpr int kPauseNormal = 19195;
inline constexpr int kPausePressed = 19196;
inline constexpr int kPauseHover = 19197;
inline constexpr int kPauseDisabled = 19198;
inline constexpr int kForwardNormal = 19201;
inline constexpr int kForwardPressed = 19202;
inline constexpr int kForwardHover = 19203;
inline constexpr int kForwardDisabled = 19204;
inline constexpr int kNextNormal = 19211;
inline constexpr int kNextPressed = 19212;
inline constexpr int kNextHover = 19213;
inline constexpr int kNextDisabled = 19214;

// ---- Control bar small buttons (bitmaps, 24 x 24) ----
inline constexpr int kSmallButtonSize = 24;
inline constexpr int kSpeedResetNormal = 19221;
inline constexpr int kSpeedResetPressed = 19222;
inline constexpr int kBrightnessResetNormal = 19231;
inline constexpr int kBrightnessResetPressed = 19232;
inline constexpr int kMuteMutedNormal = 19241;  // shown while muted
inline constexpr int kMuteMutedPressed = 19242;
inline constexpr int kMuteSoundNormal = 19243;  // shown while the sound is on
inline constexpr int kMuteSoundPressed = 19244;

// ---- Map column ----
inline constexpr int kMapButtonNormal = 19251;  // 32 x 32, undocks the map
inline constexpr int kMapButtonPressed = 19252;
inline constexpr int kMapButtonDisabled = 19253;
inline constexpr int kMapCloseNormal = 157;  // 30 x 24, close button of the map window
inline constexpr int kMapClosePressed = 158;
inline constexpr int kMapCloseHover = 159;

// ---- Sliders, seek bar, top-bar tile ----
inline constexpr int kSeekChannel = 1034;    // 547 x 10: caps 0..9 and 537..546, tile 10..19
inline constexpr int kSeekThumb = 1036;      // 11 x 22
inline constexpr int kSliderChannel = 1040;  // 66 x 9
inline constexpr int kSliderThumb = 1042;    // 12 x 13, drawn from (1, 0) as 11 x 13
inline constexpr int kProgressTile = 1055;   // 3 x 7
inline constexpr int kTopBarTile = 1057;     // 100 x 33

// ---- List scroll bar (bitmaps) ----
inline constexpr int kScrollTopCap = 162;     // 18 x 18
inline constexpr int kScrollUp = 163;         // 18 x 18
inline constexpr int kScrollTrack = 164;      // 12 x 1, stretched to 18 wide
inline constexpr int kScrollDown = 165;       // 18 x 18
inline constexpr int kScrollBottomCap = 166;  // 18 x 18
inline constexpr int kScrollThumb = 167;      // 18 x 18

// ---- Volume bar (bitmaps, 70 x 21) ----
inline constexpr int kVolumeEmpty = 20001;
inline constexpr int kVolumeFull = 20002;

// ---- Speed readout ----
inline constexpr int kSpeedBackgroundKmh = 20011;  // 124 x 38
inline constexpr int kSpeedBackgroundMph = 20053;  // 124 x 38
inline constexpr int kSpeedPoint = 20012;          // 6 x 18, white key
inline constexpr int kSpeedDigit0 = 20014;         // 10 x 18 each, white key; digit d is 20014 + d
inline constexpr std::uint32_t kSpeedKeyColour = 0xFFFFFF;
constexpr int SpeedDigitId(int digit) { return kSpeedDigit0 + digit; }

// ---- About box ----
inline constexpr int kCardInfoNormal = 1336;  // 83 x 32
inline constexpr int kCardInfoPressed = 1335;

// ---- Application ----
inline constexpr int kAppIcon = 198;        // 256 x 256 PNG, also the window icon
inline constexpr int kIdlePicture = 20100;  // 1280 x 720, shown when no screen is visible

// ---- Language-specific images ----
// Toggle images are {normal, selected, disabled}; channel toggles have no disabled image.
struct LanguageSkin {
  int filterAll[3];
  int filterNormal[3];
  int filterEvent[3];
  int filterParking[3];
  int front[2];
  int rear[2];
  int both[2];
  int okNormal;  // about box OK, 83 x 32
  int okPressed;
  int aboutTitle;           // 291 x 28
  int noDataPicture;        // PNG, map placeholder without GPS data
  int notConnectedPicture;  // PNG, map placeholder without a connection
};

inline constexpr int kFilterWidth = 43;
inline constexpr int kFilterHeight = 23;
inline constexpr int kChannelWidth = 43;
inline constexpr int kChannelHeight = 19;
inline constexpr int kOkWidth = 83;
inline constexpr int kOkHeight = 32;
inline constexpr int kAboutTitleWidth = 291;
inline constexpr int kAboutTitleHeight = 28;
inline constexpr int kPlaceholderWidth = 256;
inline constexpr int kPlaceholderHeight = 180;

namespace detail {

constexpr LanguageSkin FromBase(int b, int ok, int okPressed, int title, int noData, int notConnected) {
  return LanguageSkin{{b, b + 1, b + 2},
                      {b + 3, b + 4, b + 5},
                      {b + 6, b + 7, b + 8},
                      {b + 9, b + 10, b + 11},
                      {b + 12, b + 13},
                      {b + 14, b + 15},
                      {b + 16, b + 17},
                      ok,
                      okPressed,
                      title,
                      noData,
                      notConnected};
}

}  // namespace detail

// Indexed by language index.
inline constexpr std::array<LanguageSkin, kLanguageCount> kLanguageSkins = {{
    detail::FromBase(172, 192, 193, 194, 191, 190),  // English
    LanguageSkin{{19261, 19262, 19263},
                 {19271, 19272, 19273},
                 {19281, 19282, 19283},
                 {19291, 19292, 19293},
                 {20031, 20032},
                 {20041, 20042},
                 {20051, 20052},
                 1094,
                 1095,
                 1092,
                 148,
                 155},                                     // Korean
    detail::FromBase(1100, 1120, 1121, 1122, 1119, 1118),  // German
    detail::FromBase(1123, 1143, 1144, 1145, 1142, 1141),  // Japanese
    detail::FromBase(1284, 1304, 1305, 1306, 1303, 1302),  // Chinese
    detail::FromBase(1238, 1258, 1259, 1260, 1257, 1256),  // Dutch
    detail::FromBase(1169, 1189, 1190, 1191, 1188, 1187),  // French
    detail::FromBase(1192, 1212, 1213, 1214, 1211, 1210),  // Italian
    detail::FromBase(1261, 1281, 1282, 1283, 1280, 1279),  // Polish
    detail::FromBase(1215, 1235, 1236, 1237, 1234, 1233),  // Portuguese
    detail::FromBase(1307, 1327, 1328, 1329, 1326, 1325),  // Russian
    detail::FromBase(1146, 1166, 1167, 1168, 1165, 1164),  // Spanish
}};

// The images of `language`; English for an index outside 0..11.
constexpr const LanguageSkin& LanguageSkinFor(int language) {
  return kLanguageSkins[language >= 0 && language < kLanguageCount ? language : 0];
}

// ---- The table of all images ----
inline constexpr std::size_t kSharedImageCount = 106;
inline constexpr std::size_t kImagesPerLanguage = 23;
inline constexpr std::size_t kSkinImageCount = kSharedImageCount + kImagesPerLanguage * kLanguageCount;

namespace detail {

constexpr SkinImage Bmp(int id, int w, int h, const char* role) {
  return SkinImage{id, w, h, SkinKind::Bitmap, 0, -1, role};
}
constexpr SkinImage Keyed(int id, int w, int h, const char* role) {
  return SkinImage{id, w, h, SkinKind::KeyedBitmap, kSpeedKeyColour, -1, role};
}
constexpr SkinImage Png(int id, int w, int h, const char* role) {
  return SkinImage{id, w, h, SkinKind::Png, 0, -1, role};
}

inline constexpr std::array<SkinImage, kSharedImageCount> kSharedImages = {{
    Png(kOpenNormal, 32, 31, "Open, normal"),
    Png(kOpenPressed, 32, 31, "Open, pressed"),
    Png(kOpenHover, 32, 31, "Open, hover"),
    Png(kMergeNormal, 32, 31, "Merge, normal"),
    Png(kMergePressed, 32, 31, "Merge, pressed"),
    Png(kMergeHover, 32, 31, "Merge, hover"),
    Png(kMergeDisabled, 32, 31, "Merge, disabled"),
    Png(kCaptureNormal, 32, 31, "Capture, normal"),
    Png(kCapturePressed, 32, 31, "Capture, pressed"),
    Png(kCaptureHover, 32, 31, "Capture, hover"),
    Png(kCaptureDisabled, 32, 31, "Capture, disabled"),
    Png(kZoomNormal, 32, 31, "Zoom, normal"),
    Png(kZoomPressed, 32, 31, "Zoom, pressed"),
    Png(kZoomHover, 32, 31, "Zoom, hover"),
    Png(kZoomDisabled, 32, 31, "Zoom, disabled"),
    Png(kPrintNormal, 32, 31, "Print, normal"),
    Png(kPrintPressed, 32, 31, "Print, pressed"),
    Png(kPrintHover, 32, 31, "Print, hover"),
    Png(kPrintDisabled, 32, 31, "Print, disabled"),
    Png(kSettingNormal, 32, 31, "Setting, normal"),
    Png(kSettingPressed, 32, 31, "Setting, pressed"),
    Png(kSettingHover, 32, 31, "Setting, hover"),
    Png(kLayoutNormal, 32, 31, "Layout toggle, normal"),
    Png(kLayoutPressed, 32, 31, "Layout toggle, pressed"),
    Png(kLayoutHover, 32, 31, "Layout toggle, hover"),
    Png(kAboutNormal, 32, 31, "About, normal"),
    Png(kAboutPressed, 32, 31, "About, pressed"),
    Png(kAboutHover, 32, 31, "About, hover"),
    Bmp(kMinimiseNormal, 30, 24, "Minimise, normal"),
    Bmp(kMinimisePressed, 30, 24, "Minimise, pressed"),
    Bmp(kMinimiseHover, 30, 24, "Minimise, hover"),
    Bmp(kMaximiseNormal, 30, 24, "Maximise / restore, normal"),
    Bmp(kMaximisePressed, 30, 24, "Maximise / restore, pressed"),
    Bmp(kMaximiseHover, 30, 24, "Maximise / restore, hover"),
    Bmp(kCloseNormal, 30, 24, "Close, normal"),
    Bmp(kClosePressed, 30, 24, "Close, pressed"),
    Bmp(kCloseHover, 30, 24, "Close, hover"),
    Bmp(kPreviousNormal, 32, 32, "Previous recording, normal"),
    Bmp(kPreviousPressed, 32, 32, "Previous recording, pressed"),
    Bmp(kPreviousHover, 32, 32, "Previous recording, hover"),
    Bmp(kPreviousDisabled, 32, 32, "Previous recording, disabled"),
    Bmp(kRewindNormal, 32, 32, "Rewind, normal"),
    Bmp(kRewindPressed, 32, 32, "Rewind, pressed"),
    Bmp(kRewindHover, 32, 32, "Rewind, hover"),
    Bmp(kRewindDisabled, 32, 32, "Rewind, disabled"),
    Bmp(kPlayNormal, 32, 32, "Play, normal"),
    Bmp(kPlayPressed, 32, 32, "Play, pressed"),
    Bmp(kPlayHover, 32, 32, "Play, hover"),
    Bmp(kPlayDisabled, 32, 32, "Play, disabled"),
    Bmp(kPauseNormal, 32, 32, "Pause, normal"),
    Bmp(kPausePressed, 32, 32, "Pause, pressed"),
    Bmp(kPauseHover, 32, 32, "Pause, hover"),
    Bmp(kPauseDisabled, 32, 32, "Pause, disabled"),
    Bmp(kForwardNormal, 32, 32, "Fast forward, normal"),
    Bmp(kForwardPressed, 32, 32, "Fast forward, pressed"),
    Bmp(kForwardHover, 32, 32, "Fast forward, hover"),
    Bmp(kForwardDisabled, 32, 32, "Fast forward, disabled"),
    Bmp(kNextNormal, 32, 32, "Next recording, normal"),
    Bmp(kNextPressed, 32, 32, "Next recording, pressed"),
    Bmp(kNextHover, 32, 32, "Next recording, hover"),
    Bmp(kNextDisabled, 32, 32, "Next recording, disabled"),
    Bmp(kSpeedResetNormal, 24, 24, "Speed reset, normal"),
    Bmp(kSpeedResetPressed, 24, 24, "Speed reset, pressed"),
    Bmp(kBrightnessResetNormal, 24, 24, "Brightness reset, normal"),
    Bmp(kBrightnessResetPressed, 24, 24, "Brightness reset, pressed"),
    Bmp(kMuteMutedNormal, 24, 24, "Mute button while muted, normal"),
    Bmp(kMuteMutedPressed, 24, 24, "Mute button while muted, pressed"),
    Bmp(kMuteSoundNormal, 24, 24, "Mute button while the sound is on, normal"),
    Bmp(kMuteSoundPressed, 24, 24, "Mute button while the sound is on, pressed"),
    Bmp(kMapButtonNormal, 32, 32, "Map to own window, normal"),
    Bmp(kMapButtonPressed, 32, 32, "Map to own window, pressed"),
    Bmp(kMapButtonDisabled, 32, 32, "Map to own window, disabled"),
    Bmp(kMapCloseNormal, 30, 24, "Map window close, normal"),
    Bmp(kMapClosePressed, 30, 24, "Map window close, pressed"),
    Bmp(kMapCloseHover, 30, 24, "Map window close, hover"),
    Bmp(kSeekChannel, 547, 10, "Seek bar channel strip (left cap, tile, right cap)"),
    Bmp(kSeekThumb, 11, 22, "Seek bar thumb"),
    Bmp(kSliderChannel, 66, 9, "Speed and brightness slider channel"),
    Bmp(kSliderThumb, 12, 13, "Speed and brightness slider thumb (used from x = 1)"),
    Bmp(kProgressTile, 3, 7, "Seek bar progress tile"),
    Bmp(kTopBarTile, 100, 33, "Top bar tile"),
    Bmp(kScrollTopCap, 18, 18, "Scroll bar top cap"),
    Bmp(kScrollUp, 18, 18, "Scroll bar up button"),
    Bmp(kScrollTrack, 12, 1, "Scroll bar track (stretched to 18 wide)"),
    Bmp(kScrollDown, 18, 18, "Scroll bar down button"),
    Bmp(kScrollBottomCap, 18, 18, "Scroll bar bottom cap"),
    Bmp(kScrollThumb, 18, 18, "Scroll bar thumb"),
    Bmp(kVolumeEmpty, 70, 21, "Volume bar, empty"),
    Bmp(kVolumeFull, 70, 21, "Volume bar, full"),
    Bmp(kSpeedBackgroundKmh, 124, 38, "Speed readout background, km/h"),
    Bmp(kSpeedBackgroundMph, 124, 38, "Speed readout background, mph"),
    Keyed(kSpeedPoint, 6, 18, "Speed readout decimal point"),
    Keyed(kSpeedDigit0 + 0, 10, 18, "Speed readout digit 0"),
    Keyed(kSpeedDigit0 + 1, 10, 18, "Speed readout digit 1"),
    Keyed(kSpeedDigit0 + 2, 10, 18, "Speed readout digit 2"),
    Keyed(kSpeedDigit0 + 3, 10, 18, "Speed readout digit 3"),
    Keyed(kSpeedDigit0 + 4, 10, 18, "Speed readout digit 4"),
    Keyed(kSpeedDigit0 + 5, 10, 18, "Speed readout digit 5"),
    Keyed(kSpeedDigit0 + 6, 10, 18, "Speed readout digit 6"),
    Keyed(kSpeedDigit0 + 7, 10, 18, "Speed readout digit 7"),
    Keyed(kSpeedDigit0 + 8, 10, 18, "Speed readout digit 8"),
    Keyed(kSpeedDigit0 + 9, 10, 18, "Speed readout digit 9"),
    Bmp(kCardInfoNormal, 83, 32, "About box card-information button, normal"),
    Bmp(kCardInfoPressed, 83, 32, "About box card-information button, pressed"),
    Png(kAppIcon, 256, 256, "Application and window icon"),
    Bmp(kIdlePicture, 1280, 720, "Idle picture in the video area"),
}};

constexpr void AddLanguage(std::array<SkinImage, kSkinImageCount>& all, std::size_t& n, int language) {
  const LanguageSkin& s = kLanguageSkins[static_cast<std::size_t>(language)];
  auto add = [&](int id, int w, int h, SkinKind kind, const char* role) {
    all[n++] = SkinImage{id, w, h, kind, 0, language, role};
  };
  constexpr SkinKind b = SkinKind::Bitmap;
  add(s.filterAll[0], kFilterWidth, kFilterHeight, b, "Filter all, normal");
  add(s.filterAll[1], kFilterWidth, kFilterHeight, b, "Filter all, selected");
  add(s.filterAll[2], kFilterWidth, kFilterHeight, b, "Filter all, disabled");
  add(s.filterNormal[0], kFilterWidth, kFilterHeight, b, "Filter normal, normal");
  add(s.filterNormal[1], kFilterWidth, kFilterHeight, b, "Filter normal, selected");
  add(s.filterNormal[2], kFilterWidth, kFilterHeight, b, "Filter normal, disabled");
  add(s.filterEvent[0], kFilterWidth, kFilterHeight, b, "Filter event, normal");
  add(s.filterEvent[1], kFilterWidth, kFilterHeight, b, "Filter event, selected");
  add(s.filterEvent[2], kFilterWidth, kFilterHeight, b, "Filter event, disabled");
  add(s.filterParking[0], kFilterWidth, kFilterHeight, b, "Filter parking, normal");
  add(s.filterParking[1], kFilterWidth, kFilterHeight, b, "Filter parking, selected");
  add(s.filterParking[2], kFilterWidth, kFilterHeight, b, "Filter parking, disabled");
  add(s.front[0], kChannelWidth, kChannelHeight, b, "Front channel, normal");
  add(s.front[1], kChannelWidth, kChannelHeight, b, "Front channel, selected");
  add(s.rear[0], kChannelWidth, kChannelHeight, b, "Rear channel, normal");
  add(s.rear[1], kChannelWidth, kChannelHeight, b, "Rear channel, selected");
  add(s.both[0], kChannelWidth, kChannelHeight, b, "Both channels, normal");
  add(s.both[1], kChannelWidth, kChannelHeight, b, "Both channels, selected");
  add(s.okNormal, kOkWidth, kOkHeight, b, "About box OK, normal");
  add(s.okPressed, kOkWidth, kOkHeight, b, "About box OK, pressed");
  add(s.aboutTitle, kAboutTitleWidth, kAboutTitleHeight, b, "About box title");
  add(s.noDataPicture, kPlaceholderWidth, kPlaceholderHeight, SkinKind::Png, "Map placeholder: no GPS data");
  add(s.notConnectedPicture, kPlaceholderWidth, kPlaceholderHeight, SkinKind::Png, "Map placeholder: no connection");
}

constexpr std::array<SkinImage, kSkinImageCount> BuildSkinImages() {
  std::array<SkinImage, kSkinImageCount> all{};
  std::size_t n = 0;
  for (const SkinImage& image : kSharedImages) all[n++] = image;
  for (int language = 0; language < kLanguageCount; ++language) AddLanguage(all, n, language);
  return all;
}

}  // namespace detail

// Every skin image: the shared ones first, then 23 per language in language order.
inline constexpr std::array<SkinImage, kSkinImageCount> kSkinImages = detail::BuildSkinImages();

// The table row of `id`, or nullptr when no image has that id.
constexpr const SkinImage* FindSkinImage(int id) {
  for (const SkinImage& image : kSkinImages) {
    if (image.id == id) return &image;
  }
  return nullptr;
}

// No id appears twice (checked at compile time).
constexpr bool SkinIdsAreUnique() {
  for (std::size_t i = 0; i < kSkinImages.size(); ++i) {
    for (std::size_t j = i + 1; j < kSkinImages.size(); ++j) {
      if (kSkinImages[i].id == kSkinImages[j].id) return false;
    }
  }
  return true;
}
static_assert(SkinIdsAreUnique(), "two skin images share an id");

}  // namespace skin
