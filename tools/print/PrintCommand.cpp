#include "tools/print/PrintCommand.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "tools/capture/LocalTime.h"
#include "tools/print/PrintContext.h"
#include "tools/print/ReportPainter.h"

bool ShowPrintDialog(QPrinter& printer, QWidget* parent) {
  QPrintDialog dialog(&printer, parent);
  dialog.setObjectName(QStringLiteral("PrintDialog"));
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  return dialog.exec() == QDialog::Accepted;
}

bool PrinterAvailable() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

PrintOutcome RunPrintCommand(playback::CPlayer& player, int videoChannels, std::int32_t positionMs,
                             const TelemetrySamples& samples, const ViewerSettings& settings, const QImage& mapSnapshot,
                             const QString& pdfFile, QWidget* parent, const PrinterChooser& choosePrinter) {
  QPrinter printer(QPrinter::HighResolution);
  if (!PrinterAvailable() && !pdfFile.isEmpty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfFile);
  }
  if (!choosePrinter || !choosePrinter(printer, parent)) return PrintOutcome::Cancelled;
  // The document has no name.
  printer.setDocName(QString());
  PrintContext context;
  context.printer = &printer;
  context.copies = printer.copyCount();
  TakeReportMoment(context, player, videoChannels, positionMs, samples, mapSnapshot);
  ReportPrintOptions options;
  options.model = settings.model;
  options.language = settings.language;
  options.now = LocalTimeNow();
  return PrintReportPages(context, options) ? PrintOutcome::Printed : PrintOutcome::Failed;
}
