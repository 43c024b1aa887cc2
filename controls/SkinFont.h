#pragma once
// The skin's one text face. The windows were designed around a Hangul gulim-style sans
// at 12, 13 and 15 pixels; on Linux NanumGothic plays that part, with Noto CJK for
// Japanese and Chinese texts and the system sans as the last resort.

#include <QFont>

namespace skin {

constexpr int kFontSmall = 12;
constexpr int kFontNormal = 13;
constexpr int kFontLarge = 15;

// Weight 400, no italic, underline or strike-out, at `pixelHeight` pixels.
QFont SkinFont(int pixelHeight);

}  // namespace skin
