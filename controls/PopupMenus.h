#pragma once
// Which popup of the context menu table (menu 149) holds the playback menu of each
// language. The table alternates, per language, between a playback and a filter popup.

constexpr int kPlaybackPopupByLanguage[12] = {2, 4, 0, 6, 20, 16, 10, 12, 18, 14, 22, 8};

// The playback popup index for `languageIndex`, or -1 outside 0..11.
constexpr int PlaybackPopupIndex(int languageIndex) {
  return languageIndex >= 0 && languageIndex < 12 ? kPlaybackPopupByLanguage[languageIndex] : -1;
}
