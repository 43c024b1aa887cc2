// A contact sheet of the whole skin: the pieces put together the way the windows draw
// them (to judge how they meet), then every image at 1:1 with its id.

#include "res/generator/ContactSheet.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>

#include "res/generator/ImageSet.h"
#include "res/generator/Style.h"

namespace gen {
namespace {

const QColor kSheetBg{0x2A, 0x2A, 0x2A};
const QColor kLabel{0xB0, 0xB0, 0xB0};

void Caption(QPainter& p, int x, int y, const QString& text) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(12);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(0xE0, 0xE0, 0xE0));
  p.drawText(x, y, text);
}

// The top bar of a 1034-pixel window, with a few buttons in other states.
void TopBar(QPainter& p, const ImageSet& s, int ox, int oy, int language) {
  const int w = 1034;
  p.fillRect(QRect(ox, oy, w, 60), kWindowBg);
  for (int x = 0; x < w; x += 100)
    p.drawImage(QPoint(ox + x, oy), s.Get(skin::kTopBarTile), QRect(0, 0, std::min(100, w - x), 33));
  const int ids[8] = {skin::kOpenHover,   skin::kMergeDisabled, skin::kCaptureNormal, skin::kPrintNormal,
                      skin::kZoomPressed, skin::kLayoutNormal,  skin::kSettingNormal, skin::kAboutNormal};
  const int xs[8] = {9, 53, 97, 141, 185, 229, 273, 317};
  for (int i = 0; i < 8; ++i) {
    p.fillRect(QRect(ox + xs[i], oy + 9, 32, 31), kWindowBg);
    s.Put(p, ids[i], ox + xs[i], oy + 9);
  }
  s.Put(p, skin::kMinimiseNormal, ox + w - 139, oy + 9);
  s.Put(p, skin::kMaximiseHover, ox + w - 95, oy + 9);
  s.Put(p, skin::kCloseHover, ox + w - 51, oy + 9);
  (void)language;
}

// The seek bar as the slider draws it, at 40 % progress.
void SeekBar(QPainter& p, const ImageSet& s, int ox, int oy, int width) {
  const int margin = 15, h = 10;
  const int w = width - 2 * margin;
  p.fillRect(QRect(ox, oy, width, 30), kWindowBg);
  QImage strip(w, h, QImage::Format_RGB32);
  {
    QPainter sp(&strip);
    for (int i = 0; i <= w / 10; ++i) sp.drawImage(QPoint(i * 10, 0), s.Get(skin::kSeekChannel), QRect(10, 0, 10, h));
    sp.drawImage(QPoint(0, 0), s.Get(skin::kSeekChannel), QRect(0, 0, 10, h));
    sp.drawImage(QPoint(w - 10, 0), s.Get(skin::kSeekChannel), QRect(537, 0, 10, h));
    const int progress = w * 40 / 100;
    for (int x = 0; x < progress; x += 3)
      sp.drawImage(QPoint(x, 1), s.Get(skin::kProgressTile), QRect(0, 0, std::min(3, progress - x), 7));
  }
  p.drawImage(ox + margin, oy + 10, strip);
  s.Put(p, skin::kSeekThumb, ox + margin + w * 40 / 100 - 5, oy + 4);
}

void SimpleSlider(QPainter& p, const ImageSet& s, int ox, int oy, int position) {
  p.fillRect(QRect(ox, oy, 95, 30), kBarBg);
  s.PutPart(p, skin::kSliderChannel, ox + 15, oy + (30 - 9) / 2, 66, 9, 0, 0);
  const int thumbLeft = ox + 15 + position * (66 - 11) / 100;
  s.PutPart(p, skin::kSliderThumb, thumbLeft, oy + 30 / 2 - 7, 11, 13, 1, 0);
}

void SpeedReadout(QPainter& p, const ImageSet& s, int ox, int oy, bool mph, double value) {
  s.Put(p, mph ? skin::kSpeedBackgroundMph : skin::kSpeedBackgroundKmh, ox, oy);
  const int t = static_cast<int>(value * 10);
  const int places[4] = {20, 32, 44, 60};
  if (t > 9) {
    const QString digits = QStringLiteral("%1").arg(t, 4, 10, QLatin1Char(' '));
    bool seen = false;
    for (int i = 0; i < 4; ++i) {
      const int d = digits[i] == QLatin1Char(' ') ? 0 : digits[i].digitValue();
      if (d == 0 && !seen) continue;
      seen = true;
      s.Put(p, skin::SpeedDigitId(d), ox + places[i], oy + 11);
      s.Put(p, skin::kSpeedPoint, ox + 55, oy + 11);
    }
  } else {
    s.Put(p, skin::SpeedDigitId(0), ox + 44, oy + 11);
    s.Put(p, skin::kSpeedPoint, ox + 55, oy + 11);
    s.Put(p, skin::SpeedDigitId(std::max(0, t)), ox + 60, oy + 11);
  }
}

// The control bar with the window's button positions, starting at x0.
void ControlBar(QPainter& p, const ImageSet& s, int ox, int oy) {
  p.fillRect(QRect(ox, oy - 10, 760, 56), kWindowBg);
  const int x0 = ox + 22;
  s.Put(p, skin::kPreviousNormal, x0, oy);
  s.Put(p, skin::kRewindHover, x0 + 39, oy);
  s.Put(p, skin::kPlayNormal, x0 + 78, oy);
  s.Put(p, skin::kForwardPressed, x0 + 117, oy);
  s.Put(p, skin::kNextDisabled, x0 + 156, oy);
  s.Put(p, skin::kSpeedResetNormal, x0 + 205, oy + 4);
  SimpleSlider(p, s, x0 + 230, oy + 2, 50);
  s.Put(p, skin::kBrightnessResetPressed, x0 + 328, oy + 4);
  SimpleSlider(p, s, x0 + 353, oy + 2, 75);
  s.Put(p, skin::kMuteSoundNormal, x0 + 451, oy + 4);
  s.Put(p, skin::kVolumeEmpty, x0 + 490, oy + 4);
  s.PutPart(p, skin::kVolumeFull, x0 + 490, oy + 4, 5 * 7, 21, 0, 0);
  SpeedReadout(p, s, x0 + 570, oy - 3, false, 41.48);
}

void ScrollBar(QPainter& p, const ImageSet& s, int ox, int oy, int height, int thumbTop) {
  p.fillRect(QRect(ox, oy, 18, height), QColor(0x4A, 0x52, 0x6B));
  s.Put(p, skin::kScrollTopCap, ox, oy);
  s.Put(p, skin::kScrollUp, ox, oy + 18);
  p.drawImage(QRect(ox, oy + 36, 18, height - 72), s.Get(skin::kScrollTrack));
  s.Put(p, skin::kScrollDown, ox, oy + height - 36);
  s.Put(p, skin::kScrollBottomCap, ox, oy + height - 18);
  s.Put(p, skin::kScrollThumb, ox, oy + thumbTop);
}

void AboutBox(QPainter& p, const ImageSet& s, int ox, int oy, int language) {
  const skin::LanguageSkin& l = skin::LanguageSkinFor(language);
  p.fillRect(QRect(ox, oy, 291, 160), kWindowBg);
  s.Put(p, l.aboutTitle, ox, oy);
  QFont font(QStringLiteral("NanumGothic"));
  font.setPixelSize(15);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(ox + 40, oy + 50 + 15, QStringLiteral("Tarvo Viewer"));
  p.drawText(ox + 40, oy + 80 + 15, QStringLiteral("Version 1.0.0 (Build 3920)"));
  s.Put(p, skin::kCardInfoNormal, ox + 105, oy + 118);
  s.Put(p, l.okNormal, ox + 198, oy + 118);
}

void ListHead(QPainter& p, const ImageSet& s, int ox, int oy, int language) {
  const skin::LanguageSkin& l = skin::LanguageSkinFor(language);
  p.fillRect(QRect(ox, oy, 280, 34), kPanelBg);
  s.Put(p, l.filterAll[1], ox + 98, oy + 6);
  s.Put(p, l.filterEvent[0], ox + 98 + 46, oy + 6);
  s.Put(p, l.filterNormal[0], ox + 98 + 92, oy + 6);
  s.Put(p, l.filterParking[2], ox + 98 + 138, oy + 6);
  p.fillRect(QRect(ox, oy + 40, 280, 19), kWindowBg);
  s.Put(p, l.front[1], ox + 280 - 55 - 106, oy + 40);
  s.Put(p, l.rear[0], ox + 280 - 55 - 53, oy + 40);
  s.Put(p, l.both[0], ox + 280 - 55, oy + 40);
}

}  // namespace

QImage BuildContactSheet(const std::vector<RenderedImage>& images) {
  const ImageSet s(images);
  const int sheetWidth = 1500;

  // Lay the grid out first to know the height.
  struct Item {
    const RenderedImage* r;
    QRect box;
    qreal scale;
  };
  std::vector<Item> items;
  int x = 10, y = 0, rowHeight = 0;
  const int gridTop = 1000;
  for (const RenderedImage& r : images) {
    const qreal scale = r.image.width() > 700 ? 0.4 : 1.0;
    const int w = std::max(60, static_cast<int>(r.image.width() * scale));
    const int h = static_cast<int>(r.image.height() * scale) + 16;
    if (x + w > sheetWidth - 10) {
      x = 10;
      y += rowHeight + 12;
      rowHeight = 0;
    }
    items.push_back({&r, QRect(x, gridTop + y, w, h), scale});
    x += w + 12;
    rowHeight = std::max(rowHeight, h);
  }
  const int height = gridTop + y + rowHeight + 20;

  QImage sheet = NewImage(sheetWidth, height, kSheetBg);
  QPainter p(&sheet);
  p.setRenderHint(QPainter::TextAntialiasing, true);

  Caption(p, 10, 20, QStringLiteral("Top bar (Open hover, Merge disabled, Zoom pressed, Maximise and Close hover)"));
  TopBar(p, s, 10, 30, 0);
  Caption(p, 10, 115, QStringLiteral("Seek bar at 40 %, control bar (speed 41.48), scroll bar"));
  SeekBar(p, s, 10, 125, 700);
  ControlBar(p, s, 10, 175);
  SpeedReadout(p, s, 800, 172, true, 100.0);
  SpeedReadout(p, s, 940, 172, false, 0.56);
  SpeedReadout(p, s, 1080, 172, false, 7.0);
  ScrollBar(p, s, 1250, 120, 200, 90);
  Caption(p, 10, 250, QStringLiteral("List head and channel toggles, per language; about boxes"));
  for (int lang = 0; lang < skin::kLanguageCount; ++lang) {
    const int col = lang % 4, row = lang / 4;
    ListHead(p, s, 10 + col * 300, 262 + row * 70, lang);
  }
  for (int lang = 0; lang < 4; ++lang) {
    AboutBox(p, s, 10 + lang * 305, 480, lang == 3 ? skin::kLanguageRussian : lang);
  }
  Caption(p, 10, 665, QStringLiteral("Map placeholders in the 276 x 203 panel"));
  for (int lang = 0; lang < 5; ++lang) {
    const skin::LanguageSkin& l = skin::LanguageSkinFor(lang);
    const int px = 10 + lang * 290;
    p.fillRect(QRect(px, 675, 276, 203), kPlaceholderBg);
    const QImage picture = s.Get(lang % 2 ? l.notConnectedPicture : l.noDataPicture);
    p.drawImage(px + (276 - picture.width()) / 2, 675 + (203 - picture.height()) / 2, picture);
  }
  Caption(p, 10, 990, QStringLiteral("Every image at 1:1 (the idle picture at 40 %), PNGs over the window background"));

  QFont labelFont(QStringLiteral("DejaVu Sans"));
  labelFont.setPixelSize(10);
  for (const Item& item : items) {
    const RenderedImage& r = *item.r;
    const QSize size(static_cast<int>(r.image.width() * item.scale), static_cast<int>(r.image.height() * item.scale));
    const QRect target(item.box.topLeft(), size);
    const bool placeholder = r.info.kind == skin::SkinKind::Png && r.info.language >= 0;
    p.fillRect(target, placeholder ? kPlaceholderBg : kWindowBg);
    if (item.scale == 1.0) {
      s.Put(p, r.info.id, target.x(), target.y());
    } else {
      p.setRenderHint(QPainter::SmoothPixmapTransform, true);
      p.drawImage(target, r.image);
    }
    p.setFont(labelFont);
    p.setPen(kLabel);
    p.drawText(item.box.left(), item.box.bottom() - 2, QString::number(r.info.id));
  }
  return sheet;
}

}  // namespace gen
