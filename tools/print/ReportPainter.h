#pragma once
// Draws the two report pages of a PrintContext on its device: a printer from the
// print dialog in the viewer, a PDF file in tarvo-tool and the tests.
//
// Text heights: the layout gives a size s and reads it as a cell height of 5 * s
// device pixels on the 600-dpi printers it was laid out for. Printers today run at
// 300 to 1200 dpi and the PDF writer at 1200, so the height is scaled by the
// device's resolution: size 20 is a 12-point line on every device, the proportions
// of the page stay those of the layout, and the longest line fits its page.

#include <QFont>
#include <QPaintDevice>
#include <cstdint>
#include <string>

#include "tools/capture/LocalTime.h"
#include "tools/print/PrintContext.h"
#include "tools/print/ReportLayout.h"

// The resolution whose device pixels the layout's text heights are.
inline constexpr int kReportLayoutDpi = 600;

// The report's font for text size `size` on `device`, with glyphs for `language`
// (Hangul for Korean, kana and kanji for Japanese, hanzi for Chinese).
QFont ReportFont(int size, const QPaintDevice& device, int language);

struct ReportPrintOptions {
  std::int32_t model = 0;  // the viewer's MODEL setting
  int language = 0;        // the viewer's LANGUAGE setting, for the font
  LocalTime now;
  // LoadLanguageString when empty.
  ReportLanguageLookup languageString;
};

// Reads the page size from the attached device and draws page 1 and page 2. False
// when nothing could be drawn (the device would not start, e.g. a PDF file that
// cannot be created).
bool PrintReportPages(PrintContext& context, const ReportPrintOptions& options);
