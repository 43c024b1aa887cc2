// A mock of the main window at its minimum size, put together from the skin images with
// the window's own rectangles, to judge whether the pieces look like one product before
// the real window exists. Text and list contents are stand-ins.

#include "res/generator/WindowMock.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "res/generator/ImageSet.h"
#include "res/generator/Style.h"

namespace gen {
namespace {

QFont UiFont(int px) {
  QFont font(QStringLiteral("NanumGothic"));
  font.setPixelSize(px);
  return font;
}

void Frame(QPainter& p, const QRect& r, const QColor& fill) {
  p.fillRect(r, kFrame);
  p.fillRect(r.adjusted(1, 1, -1, -1), fill);
}

void Graph(QPainter& p, const QRect& r) {
  p.fillRect(r, kWindowBg);
  const int w = r.width(), h = r.height();
  const int left = 20, top = 10, bottom = h - 5, column = (w - 10 - 20) / 12, right = left + 12 * column;
  const int mid = (bottom - 10) / 2 + 10, offset = (bottom - 10) / 4 + 5;
  const QColor grid(0x78, 0x78, 0x78);
  p.save();
  p.translate(r.topLeft());
  p.setPen(QPen(grid, 1));
  p.drawLine(left, top, left, bottom);
  p.drawLine(right, top, right, bottom);
  p.setPen(QPen(grid, 1, Qt::DotLine));
  for (int i = 1; i < 12; ++i) p.drawLine(left + i * column, top, left + i * column, bottom);
  for (int y : {mid - offset, mid, mid + offset}) p.drawLine(left, y, right, y);
  p.setFont(UiFont(10));
  p.setPen(grid);
  p.drawText(left - 10, top + 5, QStringLiteral("2"));
  p.drawText(left - 10, mid + 5, QStringLiteral("0"));
  p.drawText(left - 14, bottom + 5, QStringLiteral("-2"));
  const QColor colours[3] = {QColor(0xFF, 0x64, 0x00), QColor(0xFF, 0xFF, 0x00), QColor(0x00, 0xFF, 0x00)};
  const int half = (bottom - top) / 2;
  for (int axis = 0; axis < 3; ++axis) {
    QPainterPath path;
    path.moveTo(left, mid);
    for (int x = 0; x <= right - left; x += 3) {
      const double raw = (axis == 2 ? 8 : 0) + 10 * std::sin(x * 0.05 + axis) * std::cos(x * 0.013 * (axis + 1));
      path.lineTo(left + x, mid - raw * 0.0315 * half * 0.5);
    }
    p.setPen(QPen(colours[axis], 1));
    p.drawPath(path);
  }
  p.restore();
}

}  // namespace

QImage BuildWindowMock(const std::vector<RenderedImage>& images, int language) {
  const ImageSet s(images);
  const skin::LanguageSkin& l = skin::LanguageSkinFor(language);
  const int W = 1034, H = 742;
  QImage image = NewImage(W, H, kWindowBg);
  QPainter p(&image);
  p.setRenderHint(QPainter::TextAntialiasing, true);

  const QRect info(QPoint(7, H - 259), QPoint(W - 297 - 1, H - 70 - 1));
  const QRect video(QPoint(12, 50), QPoint(W - 302 - 1, H - 271 - 1));
  const QRect bar(QPoint(7, H - 63), QPoint(W - 302 - 1, H - 7 - 1));
  const int e = H - 57;
  const QRect map(QPoint(W - 287, 50), QPoint(W - 7 - 1, 50 + e * 2 / 5 - 1));
  const QRect list(QPoint(W - 287, 50 + e * 2 / 5), QPoint(W - 7 - 1, 50 + e * 2 / 5 + e * 3 / 5 - 1));

  for (int x = 0; x < W; x += 100) s.Put(p, skin::kTopBarTile, x, 0);
  // Idle picture with the 16:9 fit.
  {
    const int target = video.width() * 9 / 16;
    QRect fit = video;
    if (target < video.height()) {
      fit = QRect(video.left(), video.top() + (video.height() - target) / 2, video.width(), target);
    } else {
      const int width = video.height() * 16 / 9;
      fit = QRect(video.left() + (video.width() - width) / 2, video.top(), width, video.height());
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(fit, s.Get(skin::kIdlePicture));
  }
  // Seek band and the seek bar lined up with the graph.
  const int graphW = info.width(), column = (graphW - 10 - 20) / 12;
  const int plotRight = 20 + 12 * column;
  const QRect seek(info.left() + 20 - 15 + 2, info.top() + 25, plotRight - 20 + 30, 30);
  Frame(p, QRect(QPoint(bar.left() + 5, seek.top() - 10), QPoint(bar.right() - 5, seek.bottom() + 10)), kBarBg);
  {
    const int margin = 15, w = seek.width() - 2 * margin, h = 10;
    p.fillRect(seek, kWindowBg);
    QImage strip(w, h, QImage::Format_RGB32);
    QPainter sp(&strip);
    const QImage channel = s.Get(skin::kSeekChannel);
    for (int i = 0; i <= w / 10; ++i) sp.drawImage(QPoint(i * 10, 0), channel, QRect(10, 0, 10, h));
    sp.drawImage(QPoint(0, 0), channel, QRect(0, 0, 10, h));
    sp.drawImage(QPoint(w - 10, 0), channel, QRect(537, 0, 10, h));
    const int progress = w * 35 / 100;
    for (int x = 0; x < progress; x += 3)
      sp.drawImage(QPoint(x, 1), s.Get(skin::kProgressTile), QRect(0, 0, std::min(3, progress - x), 7));
    sp.end();
    p.drawImage(seek.left() + margin, seek.top() + 10, strip);
    s.Put(p, skin::kSeekThumb, seek.left() + margin + progress - 5, seek.top() + 4);
  }
  p.setFont(UiFont(13));
  p.setPen(Qt::white);
  p.drawText(info.left() + 15 + 10, info.top() + 3 + 14, QStringLiteral("Time    01:12  /  03:00"));
  p.drawText(info.left() + 15 + 260, info.top() + 3 + 14, QStringLiteral("Speed   1.00 x"));
  Graph(p, QRect(info.left(), info.top() + 50, info.width(), info.height() - 92));
  p.setPen(QColor(0xFF, 0x64, 0x00));
  p.drawText(info.left() + 13, info.bottom() - 33 + 16, QStringLiteral("X:  0.031250"));
  p.setPen(QColor(0xFF, 0xFF, 0x00));
  p.drawText(info.left() + 113, info.bottom() - 33 + 16, QStringLiteral("Y:  -0.125000"));
  p.setPen(QColor(0x00, 0xFF, 0x00));
  p.drawText(info.left() + 213, info.bottom() - 33 + 16, QStringLiteral("Z:  1.000000"));

  // Channel buttons, control bar.
  const int x0c = video.right() + 1 - 55, yc = video.bottom() + 1 + 10;
  s.Put(p, l.both[0], x0c, yc);
  s.Put(p, l.rear[0], x0c - 53, yc);
  s.Put(p, l.front[1], x0c - 106, yc);
  const int x0 = 21, y = bar.top();
  s.Put(p, skin::kPreviousNormal, x0, y);
  s.Put(p, skin::kRewindNormal, x0 + 39, y);
  s.Put(p, skin::kPauseNormal, x0 + 78, y);
  s.Put(p, skin::kForwardNormal, x0 + 117, y);
  s.Put(p, skin::kNextHover, x0 + 156, y);
  s.Put(p, skin::kSpeedResetNormal, x0 + 205, y + 4);
  for (int sx : {x0 + 230, x0 + 353}) {
    p.fillRect(QRect(sx, y + 2, 95, 30), kBarBg);
    s.PutPart(p, skin::kSliderChannel, sx + 15, y + 2 + 10, 66, 9, 0, 0);
    s.PutPart(p, skin::kSliderThumb, sx + 15 + 27, y + 2 + 8, 11, 13, 1, 0);
  }
  s.Put(p, skin::kBrightnessResetNormal, x0 + 328, y + 4);
  s.Put(p, skin::kMuteSoundNormal, x0 + 451, y + 4);
  s.Put(p, skin::kVolumeEmpty, x0 + 490, y + 4);
  s.PutPart(p, skin::kVolumeFull, x0 + 490, y + 4, 35, 21, 0, 0);
  s.Put(p, skin::kSpeedBackgroundKmh, x0 + 570, y - 3);
  s.Put(p, skin::SpeedDigitId(6), x0 + 570 + 32, y - 3 + 11);
  s.Put(p, skin::SpeedDigitId(2), x0 + 570 + 44, y - 3 + 11);
  s.Put(p, skin::kSpeedPoint, x0 + 570 + 55, y - 3 + 11);
  s.Put(p, skin::SpeedDigitId(4), x0 + 570 + 60, y - 3 + 11);

  // Right column.
  Frame(p, QRect(QPoint(map.left() - 2, map.top()), QPoint(map.right() + 2, map.bottom() - 3)), kPanelBg);
  const int listBottom = list.top() + 34 + (list.height() - 34);
  Frame(p, QRect(QPoint(list.left() - 2, list.top()), QPoint(list.right() + 2, std::min(H - 1, listBottom + 2))),
        kPanelBg);
  p.setPen(Qt::white);
  p.drawText(map.left() + 10, map.top() + 13 + 16, QStringLiteral("Map"));
  s.Put(p, skin::kMapButtonNormal, map.left() + 233, map.top() + 4);
  const QRect panel(map.left() + 2, map.top() + 38, map.width() - 4, map.height() - 71);
  p.fillRect(panel, kPlaceholderBg);
  const QImage placeholder = s.Get(l.noDataPicture);
  p.drawImage(panel.left() + (panel.width() - placeholder.width()) / 2,
              panel.top() + (panel.height() - placeholder.height()) / 2, placeholder);
  p.setPen(QColor(0xC8, 0xC8, 0xC8));
  p.drawText(map.left() + 3, map.bottom() - 26 + 16, QStringLiteral("Latitude: 0.000000  Longitude: 0.000000"));
  p.setPen(Qt::white);
  p.drawText(list.left() + 20, list.top() + 8 + 16, QStringLiteral("Recordings"));
  s.Put(p, l.filterAll[1], list.left() + 98, list.top() + 6);
  s.Put(p, l.filterEvent[0], list.left() + 98 + 46, list.top() + 6);
  s.Put(p, l.filterNormal[0], list.left() + 98 + 92, list.top() + 6);
  s.Put(p, l.filterParking[2], list.left() + 98 + 138, list.top() + 6);
  const QRect rows(list.left(), list.top() + 34, list.width() - 18, list.height() - 34);
  p.fillRect(rows, QColor(0x4C, 0x55, 0x76));
  p.fillRect(QRect(rows.left(), rows.top(), rows.width(), 20), kBarBg);
  p.setFont(UiFont(13));
  p.setPen(Qt::white);
  p.drawText(rows.left() + 4, rows.top() + 15, QStringLiteral("No"));
  p.drawText(rows.left() + 45, rows.top() + 15, QStringLiteral("Type"));
  p.drawText(rows.left() + 110, rows.top() + 15, QStringLiteral("Date"));
  p.drawText(rows.left() + 168, rows.top() + 15, QStringLiteral("Time"));
  for (int r = 0; r < 14; ++r) {
    const QRect row(rows.left(), rows.top() + 20 + r * 18, rows.width(), 18);
    const bool highlight = r == 2;
    p.fillRect(row,
               highlight ? QColor(0x00, 0x80, 0x80) : (r % 2 ? QColor(0x32, 0x32, 0x32) : QColor(0x46, 0x46, 0x46)));
    p.setPen(highlight ? QColor(0xC8, 0xC8, 0xC8) : QColor(0xB4, 0xB4, 0xB4));
    p.drawText(row.left() + 4, row.top() + 13, QString::number(r + 1));
    p.drawText(row.left() + 45, row.top() + 13, r % 3 ? QStringLiteral("Normal") : QStringLiteral("Event"));
    p.drawText(row.left() + 110, row.top() + 13, QStringLiteral("2026-12-0%1").arg(r % 9 + 1));
    p.drawText(row.left() + 190, row.top() + 13, QStringLiteral("12:%1:00").arg(10 + r, 2, 10, QLatin1Char('0')));
  }
  const int sbx = rows.right() + 1, sby = rows.top(), sbh = rows.height();
  s.Put(p, skin::kScrollTopCap, sbx, sby);
  s.Put(p, skin::kScrollUp, sbx, sby + 18);
  p.drawImage(QRect(sbx, sby + 36, 18, sbh - 72), s.Get(skin::kScrollTrack));
  s.Put(p, skin::kScrollDown, sbx, sby + sbh - 36);
  s.Put(p, skin::kScrollBottomCap, sbx, sby + sbh - 18);
  s.Put(p, skin::kScrollThumb, sbx, sby + 37);

  // Top bar buttons last, over the tile.
  const int ids[8] = {skin::kOpenNormal, skin::kMergeNormal,  skin::kCaptureNormal, skin::kPrintNormal,
                      skin::kZoomNormal, skin::kLayoutNormal, skin::kSettingNormal, skin::kAboutHover};
  const int xs[8] = {9, 53, 97, 141, 185, 229, 273, 317};
  for (int i = 0; i < 8; ++i) s.Put(p, ids[i], xs[i], 9);
  s.Put(p, skin::kMinimiseNormal, W - 139, 9);
  s.Put(p, skin::kMaximiseNormal, W - 95, 9);
  s.Put(p, skin::kCloseNormal, W - 51, 9);
  return image;
}

}  // namespace gen
