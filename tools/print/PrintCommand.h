#pragma once
// The main window's Print command after its checks: the print dialog, then the
// two-page report of the moment on the chosen printer.
//
// The caller has done nothing while a load runs or when no recording is open or
// the player is neither playing nor paused, and paused it (playback stays paused).

#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "playback/CPlayer.h"
#include "settings/ViewerSettings.h"
#include "telemetry/TelemetrySamples.h"

class QPrinter;
class QWidget;

// Lets the user choose and set up the printer; false when cancelled.
using PrinterChooser = std::function<bool(QPrinter& printer, QWidget* parent)>;

// The print dialog, modal to `parent`. It offers printing to a PDF file beside the
// printers, as desktops print to PDF; a printer already set to a PDF file starts on it.
bool ShowPrintDialog(QPrinter& printer, QWidget* parent);

// Whether the system has any printer set up.
bool PrinterAvailable();

enum class PrintOutcome { Printed, Cancelled, Failed, FileNotWritten };

struct PrintResult {
  PrintOutcome outcome = PrintOutcome::Cancelled;
  // With FileNotWritten: the PDF file chosen and the errno why it could not be written.
  std::string file;
  int writeError = 0;
};

// Asks for the printer, then prints page 1 (the pictures of channel 1 and, with
// two or more video channels, channel 2) and page 2 (the GPS position at
// `positionMs` with `mapSnapshot`, and the G-sensor values) with the title by the
// settings' `model` and texts in their language. `mapSnapshot` is the map view's
// client area, null without a map view. Without any printer the dialog starts on the
// PDF file `pdfFile`. A PDF file chosen in the dialog is drawn whole and then written
// in one piece (FileNotWritten, with why, when it cannot be: no part of it is left);
// Failed when the printer would not start.
PrintResult RunPrintCommand(playback::CPlayer& player, int videoChannels, std::int32_t positionMs,
                            const TelemetrySamples& samples, const ViewerSettings& settings, const QImage& mapSnapshot,
                            const QString& pdfFile, QWidget* parent,
                            const PrinterChooser& choosePrinter = ShowPrintDialog);
