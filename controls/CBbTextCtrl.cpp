#include "controls/CBbTextCtrl.h"

#include <QPainter>
#include <string>

#include "controls/CMemoryDC.h"
#include "controls/ControlId.h"
#include "controls/SkinFont.h"
#include "settings/ApplicationStrings.h"
#include "settings/LanguageText.h"
#include "settings/StringIds.h"

namespace {

constexpr COLORREF kCoordinateText = 0xC8C8C8;
constexpr COLORREF kAxisX = skin::kGsensorAxisColours[0];
constexpr COLORREF kAxisY = skin::kGsensorAxisColours[1];
constexpr COLORREF kAxisZ = skin::kGsensorAxisColours[2];

// The language string, or a null QString when no library can give it.
QString Language(int number) {
  std::string text;
  if (!LoadLanguageString(number, text)) return QString();
  return QString::fromStdString(text);
}

}  // namespace

CBbTextCtrl::CBbTextCtrl(int controlId, int textKind, QWidget* parent) : QWidget(parent), kind(textKind) {
  SetControlId(this, controlId);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QString CBbTextCtrl::FormatTime(int ms, bool milliseconds) {
  const int minutes = ms / 60000;
  const int seconds = ms / 1000 - minutes * 60;
  if (milliseconds) return QString::asprintf("%02d:%02d.%03d", minutes, seconds, ms % 1000);
  return QString::asprintf("%02d:%02d", minutes, seconds);
}

std::vector<CBbTextCtrl::TextRun> CBbTextCtrl::Layout() const {
  using skin::kFontLarge;
  using skin::kFontNormal;
  using skin::kFontSmall;
  std::vector<TextRun> runs;
  const COLORREF white = skin::kDefaultText;
  switch (kind) {
    case 1: {
      const QString playTime = Language(kStrPlayTime);
      const QString speed = Language(kStrPlaySpeed);
      if (playTime.isNull() || speed.isNull()) break;
      runs.push_back({QPoint(10, 2),
                      playTime + QStringLiteral("    ") + FormatTime(positionMs, showMilliseconds) +
                          QStringLiteral("  /  ") + FormatTime(durationMs),
                      white, kFontNormal});
      // The slowest key rate, 1/8, would round to 0.12: it shows all three digits.
      const double factor = static_cast<double>(speedFactor);
      const QString rate =
          speedFactor == 0.125f ? QString::asprintf("   %.3f x", factor) : QString::asprintf("   %.2f x", factor);
      runs.push_back({QPoint(260, 2), speed + rate, white, kFontNormal});
      if (!clockText.isEmpty()) runs.push_back({QPoint(400, 2), clockText, white, kFontNormal});
      break;
    }
    case 2:
      if (hasGsensor) {
        runs.push_back({QPoint(10, 3), QString::asprintf("X:  %.6f", gX), kAxisX, kFontNormal});
        runs.push_back({QPoint(110, 3), QString::asprintf("Y:  %.6f", gY), kAxisY, kFontNormal});
        runs.push_back({QPoint(210, 3), QString::asprintf("Z:  %.6f", gZ), kAxisZ, kFontNormal});
      } else {
        runs.push_back({QPoint(10, 3), QStringLiteral("X:  -"), kAxisX, kFontNormal});
        runs.push_back({QPoint(110, 3), QStringLiteral("Y:  -"), kAxisY, kFontNormal});
        runs.push_back({QPoint(210, 3), QStringLiteral("Z:  -"), kAxisZ, kFontNormal});
      }
      break;
    case 3:
    case 5: {
      const QString caption = Language(kStrCaptionMap);
      if (!caption.isNull()) runs.push_back({QPoint(10, 3), caption, white, kFontNormal});
      break;
    }
    case 4:
    case 6: {
      const QString lat = Language(kStrLatitude);
      const QString lon = Language(kStrLongitude);
      if (lat.isNull() || lon.isNull()) break;
      const bool wide = kind == 6;
      const QString text = lat + QString::asprintf(wide ? ":  %.6f    " : ": %.6f  ", static_cast<double>(latitude)) +
                           lon + QString::asprintf(wide ? ":  %.6f" : ": %.6f", static_cast<double>(longitude));
      runs.push_back({wide ? QPoint(10, 3) : QPoint(3, 3), text, kCoordinateText, kFontNormal});
      break;
    }
    case 7: {
      const QString caption = Language(kStrCaptionList);
      if (caption.isNull()) break;
      // The designers centred this caption by an estimate of 6 pixels per character.
      const int x = (width() - 6 * static_cast<int>(caption.size())) / 2;
      runs.push_back({QPoint(x, 3), caption, white, kFontNormal});
      break;
    }
    case 8:
      runs.push_back({QPoint(10, 3), QStringLiteral("%1 Viewer").arg(QStringLiteral("Tarvo")), white, kFontLarge});
      break;
    case 9:
      runs.push_back({QPoint(10, 3), QStringLiteral("Version 1.0.0 (Build 3920)"), white, kFontLarge});
      break;
    case 10:
    case 11: {
      const int numbers[2][3] = {{kStrLoadingLine1, kStrLoadingLine2, kStrLoadingLine3},
                                 {kStrWelcomeLine1, kStrWelcomeLine2, kStrWelcomeLine3}};
      const int* lines = numbers[kind - 10];
      for (int i = 0; i < 3; ++i) {
        const QString line = Language(lines[i]);
        if (!line.isNull()) runs.push_back({QPoint(10, 3 + 15 * i), line, white, kFontSmall});
      }
      break;
    }
    case 12:
    case 13:
    case 14:
    case 15: {
      static constexpr int kLabels[] = {kAppStrInfoRowAll, kAppStrInfoRowEvent, kAppStrInfoRowParking,
                                        kAppStrInfoRowNormal};
      const QString* counts[] = {&countAll, &countEvent, &countParking, &countNormal};
      const QString* sizes[] = {&sizeAll, &sizeEvent, &sizeParking, &sizeNormal};
      const int row = kind - 12;
      runs.push_back({QPoint(10, 3), QString::fromUtf8(ApplicationString(kLabels[row])), white, kFontLarge});
      runs.push_back({QPoint(80, 3), *counts[row], white, kFontLarge});
      runs.push_back({QPoint(150, 3), *sizes[row], white, kFontLarge});
      break;
    }
    case 16:
      runs.push_back({QPoint(10, 3), QString::fromUtf8(ApplicationString(kAppStrInfoHeading)), white, kFontLarge});
      break;
    default:
      break;
  }
  return runs;
}

void CBbTextCtrl::paintEvent(QPaintEvent*) {
  CMemoryDC buffer;
  if (!buffer.Create(this, width(), height())) return;
  QPainter& p = buffer.Painter();
  p.fillRect(rect(), skin::ToColor(backgroundColour));
  for (const TextRun& run : Layout()) {
    const QFont font = skin::SkinFont(run.fontHeight);
    p.setFont(font);
    p.setPen(skin::ToColor(run.colour));
    // Positions name the top-left corner of the text cell, as the layouts were drawn.
    const QFontMetrics metrics(font);
    p.drawText(run.at.x(), run.at.y() + metrics.ascent(), run.text);
  }
  QPainter painter(this);
  buffer.CopyTo(painter);
}
