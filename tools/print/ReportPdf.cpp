#include "tools/print/ReportPdf.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>

bool WriteReportPdf(const std::string& path, PrintContext& context, const ReportPrintOptions& options) {
  if (path.empty()) return false;
  // A report that fails half-way must not leave a broken file, nor replace one.
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly)) return false;
  bool drawn = false;
  {
    QPdfWriter writer(&file);
    writer.setResolution(kReportPdfDpi);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                    QMarginsF(kReportPdfMarginMm, kReportPdfMarginMm, kReportPdfMarginMm, kReportPdfMarginMm),
                    QPageLayout::Millimeter));
    // The document has no name, as the printed one.
    writer.setTitle(QString());
    context.printer = &writer;
    context.copies = 1;
    drawn = PrintReportPages(context, options);
    context.printer = nullptr;
  }
  if (!drawn) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}
