#include "tools/print/ReportPainter.h"

#include <QPainter>
#include <QStringList>
#include <algorithm>

namespace {

// The layout was drawn with a font whose cell (ascent + descent) is 2288 of its
// 2048 em units and whose ascent is 1854 of them; glyph size and baseline follow
// those proportions whatever family draws them, so every language keeps the
// layout's text sizes and places.
constexpr double kCellUnits = 2288.0;
constexpr double kAscentUnits = 1854.0;
constexpr double kEmUnits = 2048.0;

// Language indices whose texts need glyphs beyond Latin and Cyrillic.
constexpr int kLanguageKorean = 1;
constexpr int kLanguageJapanese = 3;
constexpr int kLanguageChinese = 4;

double CellHeight(int size, const QPaintDevice& device) { return 5.0 * size * device.logicalDpiY() / kReportLayoutDpi; }

QStringList FamiliesFor(int language) {
  // Latin, Cyrillic and digits come from DejaVu Sans Condensed in every language:
  // its widths are within a few percent of the layout's font, so the lines fill
  // their places as laid out, and it is a TrueType face, whose text stays
  // searchable and copyable in a PDF file (the CJK faces are CFF fonts whose
  // digits and punctuation the PDF writer cannot map back to text). Hangul, kana
  // and Han characters fall through to the face of the language, with the Han
  // forms its readers expect.
  QStringList families{QStringLiteral("DejaVu Sans Condensed")};
  if (language == kLanguageJapanese) families << QStringLiteral("Noto Sans CJK JP");
  if (language == kLanguageChinese) families << QStringLiteral("Noto Sans CJK SC");
  if (language == kLanguageKorean) families << QStringLiteral("NanumBarunGothic");
  families << QStringLiteral("Noto Sans CJK KR") << QStringLiteral("DejaVu Sans");
  return families;
}

struct PageGeometry {
  int width = 0;
  int height = 0;
  QRect Rect(const ReportItem& item) const {
    return QRect(PagePercent(width, item.xPercent), PagePercent(height, item.yPercent),
                 PagePercent(width, item.widthPercent), PagePercent(height, item.heightPercent));
  }
};

void DrawText(QPainter& painter, PrintContext& context, const ReportItem& item, const PageGeometry& page,
              int language) {
  if (item.text.empty()) return;
  const QFont previous = painter.font();
  context.font = ReportFont(item.size, *context.printer, language);
  painter.setFont(context.font);
  // The layout places a text by the top-left corner of its cell.
  const double baseline = CellHeight(item.size, *context.printer) * kAscentUnits / kCellUnits;
  painter.drawText(QPointF(PagePercent(page.width, item.xPercent), PagePercent(page.height, item.yPercent) + baseline),
                   QString::fromStdString(item.text));
  painter.setFont(previous);
  context.font = previous;
}

void DrawPicture(QPainter& painter, const QImage& picture, const QRect& rect) {
  // A picture that could not be grabbed is left out.
  if (picture.isNull() || rect.isEmpty()) return;
  painter.drawImage(rect, picture);
}

void DrawPage(QPainter& painter, PrintContext& context, const std::vector<ReportItem>& items, const PageGeometry& page,
              int language) {
  for (const ReportItem& item : items) {
    switch (item.kind) {
      case ReportItemKind::kText:
        DrawText(painter, context, item, page, language);
        break;
      case ReportItemKind::kPicture1:
        DrawPicture(painter, context.picture1, page.Rect(item));
        break;
      case ReportItemKind::kPicture2:
        DrawPicture(painter, context.picture2, page.Rect(item));
        break;
      case ReportItemKind::kMap:
        // The whole client area of the map, stretched to its rectangle.
        DrawPicture(painter, context.mapWindow, page.Rect(item));
        break;
    }
  }
}

}  // namespace

QFont ReportFont(int size, const QPaintDevice& device, int language) {
  QFont font;
  font.setFamilies(FamiliesFor(language));
  font.setPixelSize(std::max(1, static_cast<int>(CellHeight(size, device) * kEmUnits / kCellUnits)));
  font.setWeight(QFont::Normal);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

bool PrintReportPages(PrintContext& context, const ReportPrintOptions& options) {
  if (!context.printer) return false;
  QPainter painter;
  if (!painter.begin(context.printer)) return false;
  context.attached = true;
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::TextAntialiasing);
  context.pageWidth = context.printer->width();
  context.pageHeight = context.printer->height();
  context.font = ReportFont(kReportHeaderSize, *context.printer, options.language);
  painter.setFont(context.font);
  painter.setPen(Qt::black);

  ReportPageInput input;
  input.model = options.model;
  input.now = options.now;
  input.channelCount = context.channelCount;
  input.values = context.values;
  input.hasMap = !context.mapWindow.isNull();
  input.languageString = options.languageString;
  const PageGeometry page{context.pageWidth, context.pageHeight};
  for (int number = 1; number <= kReportPageCount; ++number) {
    if (number > 1) context.printer->newPage();
    DrawPage(painter, context, ReportPageItems(number, input), page, options.language);
  }
  painter.end();
  context.attached = false;
  return true;
}
