#pragma once
// What one print command works with: the device the pages go to, the page size, the
// pictures and the values of the moment being printed.

#include <QFont>
#include <QImage>
#include <QPagedPaintDevice>
#include <cstdint>

#include "playback/CPlayer.h"
#include "telemetry/TelemetrySamples.h"
#include "tools/print/ReportLayout.h"

struct PrintContext {
  // The printer (or PDF file) the pages are drawn on, and whether it is attached.
  QPagedPaintDevice* printer = nullptr;
  bool attached = false;
  // The copy count chosen in the print dialog; the printer system makes the copies.
  std::int32_t copies = 1;
  // The printable area in device pixels.
  std::int32_t pageWidth = 0;
  std::int32_t pageHeight = 0;
  // The font of the text being drawn.
  QFont font;
  // Channel 1 and 2 at the camera's full resolution; null when not grabbed.
  QImage picture1;
  QImage picture2;
  // The map view's client area as it was on screen; null without a map view.
  QImage mapWindow;
  // The position, G-sensor values, speed and GPS time of the moment.
  ReportValues values;
  // Video channels of the recording.
  std::int32_t channelCount = 2;
};

// Fills the pictures and values of the moment: `videoChannels` and the grabs of
// channel 1 (and 2 when there are two or more) from the player, the GPS position
// and G-sensor values at `positionMs`, and the map snapshot.
void TakeReportMoment(PrintContext& context, playback::CPlayer& player, int videoChannels, std::int32_t positionMs,
                      const TelemetrySamples& samples, const QImage& mapSnapshot);
