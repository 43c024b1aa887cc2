#pragma once
// The drawing functions of the generator, one per family of skin images. Each returns
// an image of exactly the size the skin table gives.

#include <QImage>
#include <QString>
#include <vector>

#include "res/generator/Icons.h"

namespace gen {

enum class ButtonState { Normal, Pressed, Hover, Disabled, Selected };

// Buttons.cpp
QImage DrawTopButton(Icon icon, ButtonState state);  // 32 x 31, alpha
enum class WindowButton { Minimise, Maximise, Close };
QImage DrawWindowButton(WindowButton which, ButtonState state);  // 30 x 24
QImage DrawTransportButton(Icon icon, ButtonState state);        // 32 x 32
QImage DrawSmallButton(Icon icon, ButtonState state);            // 24 x 24
QImage DrawMapButton(ButtonState state);                         // 32 x 32
QImage DrawMapClose(ButtonState state);                          // 30 x 24
QImage DrawCardInfo(ButtonState state);                          // 83 x 32

// Pieces.cpp
QImage DrawTopBarTile();
QImage DrawSeekChannel();
QImage DrawSeekThumb();
QImage DrawProgressTile();
QImage DrawSliderChannel();
QImage DrawSliderThumb();
QImage DrawScrollPiece(int id);
QImage DrawVolume(bool full);
QImage DrawSpeedBackground(bool mph);
QImage DrawSpeedDigit(int digit);
QImage DrawSpeedPoint();

// LanguageImages.cpp
enum class Filter { All, Normal, Event, Parking };
enum class Channel { Front, Rear, Both };
QImage DrawFilterToggle(int language, Filter filter, ButtonState state);
QImage DrawChannelToggle(int language, Channel channel, ButtonState state);
QImage DrawOkButton(int language, ButtonState state);
QImage DrawAboutTitle(int language);
QImage DrawPlaceholder(int language, bool noData);
// How each text of a language's pictures fits, measured with the fonts the drawing
// chooses: `used` is the text's advance (for the placeholders, the bottom of their
// wrapped texts) against the `room` the picture gives it.
struct TextFit {
  const char* picture;
  QString text;
  int pixelSize;
  qreal used;
  qreal room;
};
std::vector<TextFit> LanguageTextFits(int language);

// Pictures.cpp
QImage DrawIdlePicture();
QImage DrawAppIcon(int size);
// The application icon's drawing on a 256 x 256 canvas (pictures and the SVG icon).
void PaintAppIcon(QPainter& painter);
// <outDir>/hicolor/scalable/apps/<name>.svg and <outDir>/hicolor/<n>x<n>/apps/<name>.png
// for 48, 128 and 256 pixels; false when one cannot be written.
bool WriteAppIcons(const QString& outDir, const QString& name);

}  // namespace gen
