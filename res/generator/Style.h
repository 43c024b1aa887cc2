#pragma once
// The look shared by every generated skin image: palette, accent, fonts and the few
// backgrounds several images must continue seamlessly.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

namespace gen {

// Palette of the windows (as RGB).
inline const QColor kWindowBg{0x0A, 0x0A, 0x0A};
inline const QColor kBarBg{0x1E, 0x1E, 0x1E};
inline const QColor kPanelBg{0x14, 0x14, 0x14};
inline const QColor kStripe{0x50, 0x50, 0x50};
inline const QColor kFrame{0x64, 0x64, 0x64};
inline const QColor kPlaceholderBg{0x33, 0x33, 0x33};

// One restrained accent, used for selection, progress and the pressed state.
inline const QColor kAccent{0x2E, 0xA6, 0xBC};
inline const QColor kAccentLight{0x6C, 0xD2, 0xE2};
inline const QColor kAccentDark{0x17, 0x5E, 0x6C};
inline const QColor kDanger{0xC8, 0x3A, 0x30};

// Icon and text greys.
inline const QColor kIconNormal{0xC4, 0xC4, 0xC4};
inline const QColor kIconHover{0xFF, 0xFF, 0xFF};
inline const QColor kIconDisabled{0x4A, 0x4A, 0x4A};
inline const QColor kTextDim{0xA8, 0xA8, 0xA8};

// An image of the given size filled with `fill` (transparent when fill has alpha 0).
QImage NewImage(int width, int height, const QColor& fill);

// Prepares a painter for vector drawing (antialiasing, smooth pixmaps).
void Smooth(QPainter& painter);

// The row colour of the top-bar tile at row y (0..32). The window buttons sit at row 9
// and repeat these rows so that they continue the tile without a seam.
QColor TopBarRow(int y);

// A font able to show texts of `language` (Hangul, Kana and Han, Cyrillic, accented
// Latin), chosen by family explicitly.
QFont LanguageFont(int language, qreal pixelSize, bool bold, bool condensed = false);

// `font` made small enough (down to minPixels) for `text` to fit `maxWidth`.
QFont FitFont(QFont font, const QString& text, qreal maxWidth, qreal minPixels);

// A rounded rectangle aligned so that a 1-pixel border falls on whole pixels.
void RoundedBox(QPainter& painter, const QRectF& rect, qreal radius, const QColor& fill, const QColor& border);

// Draws `text` centred in `rect`, vertically by the font's cap height so that Latin,
// Cyrillic and CJK labels sit at the same optical middle.
void CentredText(QPainter& painter, const QRectF& rect, const QString& text, const QColor& colour);

}  // namespace gen
