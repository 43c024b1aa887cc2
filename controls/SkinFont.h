#pragma once
// The skin's text face. The windows were designed around a Hangul gulim-style sans
// at 12, 13 and 15 pixels; on Linux NanumGothic plays that part, Noto CJK that of the
// Japanese and Chinese faces, and the system sans is the last resort.

#include <QFont>

namespace skin {

constexpr int kFontSmall = 12;
constexpr int kFontNormal = 13;
constexpr int kFontLarge = 15;

// Weight 400, no italic, underline or strike-out, at `pixelHeight` pixels, for the
// texts of the language the viewer runs in.
QFont SkinFont(int pixelHeight);

// The same for the texts of language `language` (the viewer's index, 0..11): every
// Han, kana or Hangul character of a language comes from one face, the one its
// readers expect (Japanese from Noto Sans CJK JP, Chinese from Noto Sans CJK SC,
// Korean and the rest from NanumGothic), never a character here and there from
// another face. Any other index gives the faces of Korean and the rest.
QFont SkinFont(int pixelHeight, int language);

}  // namespace skin
