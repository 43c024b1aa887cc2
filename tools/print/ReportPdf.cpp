#include "tools/print/ReportPdf.h"

#include <QBuffer>
#include <QMarginsF>
#include <QPageSize>
#include <QPdfWriter>
#include <cerrno>
#include <string_view>
#include <utility>

#include "platform/WholeFile.h"

QPageLayout ReportPdfPageLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                     QMarginsF(kReportPdfMarginMm, kReportPdfMarginMm, kReportPdfMarginMm, kReportPdfMarginMm),
                     QPageLayout::Millimeter);
}

bool WriteReportPdf(const std::string& path, PrintContext& context, const ReportPrintOptions& options, int* error,
                    const QPageLayout& layout, int resolution) {
  if (error != nullptr) *error = 0;
  if (path.empty()) {
    if (error != nullptr) *error = ENOENT;
    return false;
  }
  // Drawn whole in memory first, then written in one piece: a report that fails
  // half-way leaves no broken file and replaces none, and a failed write has its errno.
  QByteArray bytes;
  bool drawn = false;
  {
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return false;
    QPdfWriter writer(&buffer);
    writer.setResolution(resolution);
    writer.setPageLayout(layout);
    // The document has no name, as the printed one.
    writer.setTitle(QString());
    context.printer = &writer;
    const std::int32_t copies = std::exchange(context.copies, 1);
    drawn = PrintReportPages(context, options);
    context.copies = copies;
    context.printer = nullptr;
  }
  if (!drawn) return false;
  return platform::WriteWholeFile(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error);
}
