#pragma once
// The report as a PDF file: the printed pages on an A4 page with a printer's margins.

#include <QPageLayout>
#include <string>

#include "tools/print/PrintContext.h"
#include "tools/print/ReportPainter.h"

// PDF pages are drawn at this resolution, as a high-resolution printer would.
inline constexpr int kReportPdfDpi = 1200;
// The margins (millimetres) a printer keeps unprinted; the layout's percentages
// count from inside them.
inline constexpr double kReportPdfMarginMm = 6.0;

// A4 portrait with kReportPdfMarginMm on every side.
QPageLayout ReportPdfPageLayout();

// Draws both pages on `layout` at `resolution` dots per inch into the PDF file `path`
// (replaced). False when the file cannot be written, with the errno in `error` (0
// when the pages could not be drawn); a file already there is then kept as it was.
bool WriteReportPdf(const std::string& path, PrintContext& context, const ReportPrintOptions& options,
                    int* error = nullptr, const QPageLayout& layout = ReportPdfPageLayout(),
                    int resolution = kReportPdfDpi);
