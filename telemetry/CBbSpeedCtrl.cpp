#include "telemetry/CBbSpeedCtrl.h"

#include <QPainter>
#include <cmath>
#include <cstdio>

#include "controls/CMemoryDC.h"
#include "controls/ControlId.h"
#include "controls/SkinImages.h"
#include "res/SkinIds.h"
#include "settings/ViewerSettings.h"

namespace {
// Left x of the four places: hundreds, tens, units, tenths (of the unit).
constexpr int kPlaceX[4] = {20, 32, 44, 60};
constexpr int kPlaceCount = 4;
}  // namespace

CBbSpeedCtrl::CBbSpeedCtrl(QWidget* parent) : QWidget(parent) {
  SetControlId(this, kControlId);
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(kWidth, kHeight);
}

void CBbSpeedCtrl::SetValue(double speed) { value = speed; }

void CBbSpeedCtrl::Redraw() { repaint(); }

std::vector<CBbSpeedCtrl::Glyph> CBbSpeedCtrl::Glyphs(double speed) {
  std::vector<Glyph> glyphs;
  const Glyph point{skin::kSpeedPoint, kPointX};
  // Tenths of the unit, truncated toward zero; NaN reads as nothing moving.
  const double scaled = std::isfinite(speed) ? std::trunc(speed * 10.0) : 0.0;
  if (scaled < 0.0) {
    glyphs.push_back({skin::SpeedDigitId(0), kPlaceX[2]});
    glyphs.push_back(point);
    return glyphs;
  }
  // Four places hold at most 999.9; faster readings show the most the readout can.
  const int tenths = scaled > 9999.0 ? 9999 : static_cast<int>(scaled);
  if (tenths <= 9) {
    glyphs.push_back({skin::SpeedDigitId(0), kPlaceX[2]});
    glyphs.push_back({skin::SpeedDigitId(tenths), kPlaceX[3]});
    glyphs.push_back(point);
    return glyphs;
  }
  char text[16];
  std::snprintf(text, sizeof text, "%4d", tenths);
  bool started = false;
  for (int place = 0; place < kPlaceCount; ++place) {
    const int digit = text[place] == ' ' ? 0 : text[place] - '0';
    if (!started && digit == 0) continue;
    started = true;
    glyphs.push_back({skin::SpeedDigitId(digit), kPlaceX[place]});
  }
  glyphs.push_back(point);
  return glyphs;
}

void CBbSpeedCtrl::paintEvent(QPaintEvent*) {
  CMemoryDC buffer;
  if (!buffer.Create(this, width(), height())) return;
  QPainter& p = buffer.Painter();
  p.fillRect(rect(), Qt::black);
  const int background = TheViewerSettings().speedInMiles ? skin::kSpeedBackgroundMph : skin::kSpeedBackgroundKmh;
  DrawSkinBitmap(p, background, 0, 0, width(), height());
  for (const Glyph& glyph : Glyphs(value)) {
    const int glyphWidth = glyph.image == skin::kSpeedPoint ? 6 : 10;
    DrawSkinBitmap(p, glyph.image, glyph.x, kDigitTop, glyphWidth, 18, true, skin::kSpeedKeyColour);
  }
  QPainter painter(this);
  buffer.CopyTo(painter);
}
