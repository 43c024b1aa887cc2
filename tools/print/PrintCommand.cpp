#include "tools/print/PrintCommand.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include "tools/capture/LocalTime.h"
#include "tools/print/PrintContext.h"
#include "tools/print/ReportPainter.h"
#include "tools/print/ReportPdf.h"

bool ShowPrintDialog(QPrinter& printer, QWidget* parent) {
  QPrintDialog dialog(&printer, parent);
  dialog.setObjectName(QStringLiteral("PrintDialog"));
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  return dialog.exec() == QDialog::Accepted;
}

bool PrinterAvailable() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

PrintResult RunPrintCommand(playback::CPlayer& player, int videoChannels, std::int32_t positionMs,
                            const TelemetrySamples& samples, const ViewerSettings& settings, const QImage& mapSnapshot,
                            const QString& pdfFile, QWidget* parent, const PrinterChooser& choosePrinter) {
  QPrinter printer(QPrinter::HighResolution);
  if (!PrinterAvailable() && !pdfFile.isEmpty()) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfFile);
  }
  PrintResult result;
  if (!choosePrinter || !choosePrinter(printer, parent)) return result;
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
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
    // The printer's own PDF output opens the file as it starts and says nothing of
    // why it could not: the pages are drawn on the page chosen, then written here.
    result.file = printer.outputFileName().toStdString();
    const bool written =
        WriteReportPdf(result.file, context, options, &result.writeError, printer.pageLayout(), printer.resolution());
    result.outcome = written ? PrintOutcome::Printed
                             : (result.writeError != 0 ? PrintOutcome::FileNotWritten : PrintOutcome::Failed);
    return result;
  }
  result.outcome = PrintReportPages(context, options) ? PrintOutcome::Printed : PrintOutcome::Failed;
  return result;
}
