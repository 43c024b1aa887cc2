// The main window's background: everything between the controls, painted in one pass
// into a buffer of the client size and copied at once, so the window never flickers
// while the timers repaint it.

#include <QPaintEvent>
#include <QPainter>

#include "app/CDezirureDovuriDlg.h"
#include "controls/SkinImages.h"
#include "controls/SkinPalette.h"
#include "res/SkinIds.h"

namespace {

QRect ToQRect(const app::LayoutRect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }

// A one-pixel frame of the frame grey around `area`, filled with `fill`.
void FramedPanel(QPainter& painter, const QRect& area, COLORREF fill) {
  if (area.isEmpty()) return;
  painter.fillRect(area, skin::ToColor(skin::kFrame));
  painter.fillRect(area.adjusted(1, 1, -1, -1), skin::ToColor(fill));
}

constexpr int kTopTileWidth = 100;
constexpr int kTopTileHeight = 33;

}  // namespace

void CDezirureDovuriDlg::PaintIdlePicture(QPainter& painter, const QRect& area) const {
  if (area.isEmpty()) return;
  const QImage& idle = skin::LoadSkinImage(skin::kIdlePicture);
  // The whole video area belongs to the picture, also where a 16:9 fit leaves bars
  // (in the video layout the area reaches up over the top-bar tiles).
  painter.fillRect(area, skin::ToColor(skin::kWindowBackground));
  if (idle.isNull()) return;
  const app::LayoutRect fit = app::FitSixteenNine({area.left(), area.top(), area.right() + 1, area.bottom() + 1});
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(ToQRect(fit), idle);
  painter.restore();
}

void CDezirureDovuriDlg::PaintBackground(QPainter& painter) const {
  painter.fillRect(rect(), skin::ToColor(skin::kWindowBackground));

  const QImage& tile = skin::LoadSkinImage(skin::kTopBarTile);
  if (!tile.isNull()) {
    for (int i = 0; i <= width() / kTopTileWidth; ++i) {
      painter.drawImage(QPoint(i * kTopTileWidth, 0), tile, QRect(0, 0, kTopTileWidth, kTopTileHeight));
    }
  }

  const QRect video = ToQRect(layout.videoRect);
  if (frontVisible || rearVisible) {
    FramedPanel(painter, video.adjusted(-1, -1, 1, 1), skin::kWindowBackground);
  } else {
    PaintIdlePicture(painter, video);
  }

  FramedPanel(painter, ToQRect(layout.seekBand), skin::kBarBackground);

  if (layoutMode == 1) {
    FramedPanel(painter, ToQRect(layout.mapFrame), skin::kPanelBackground);
    FramedPanel(painter, ToQRect(layout.listFrame), skin::kPanelBackground);
  }
}

void CDezirureDovuriDlg::paintEvent(QPaintEvent* /*event*/) {
  // QWidget already paints through a back buffer, which plays the memory DC's part.
  QPainter painter(this);
  PaintBackground(painter);
}
