#include "tools/print/ReportLayout.h"

#include <cstdio>

#include "settings/LanguageText.h"
#include "settings/StringIds.h"
#include "settings/ViewerSettings.h"
#include "telemetry/GpsClock.h"

namespace {

// " : %.08f" of a coordinate.
std::string CoordinateValue(double value) {
  char text[64];
  std::snprintf(text, sizeof text, " : %.08f", value);
  return text;
}

std::string HeaderTime(const LocalTime& t) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

ReportItem Text(std::string text, int size, int x, int y) {
  ReportItem item;
  item.text = std::move(text);
  item.size = size;
  item.xPercent = x;
  item.yPercent = y;
  return item;
}

ReportItem Picture(ReportItemKind kind, int x, int y, int width, int height) {
  ReportItem item;
  item.kind = kind;
  item.xPercent = x;
  item.yPercent = y;
  item.widthPercent = width;
  item.heightPercent = height;
  return item;
}

class PageBuilder {
 public:
  explicit PageBuilder(const ReportPageInput& input) : input_(input) {}

  void Add(ReportItem item) { items_.push_back(std::move(item)); }

  // A line made of language string `number`; left out when the string is missing.
  void AddLanguageLine(int number, const std::string& before, const std::string& after, int size, int x, int y) {
    std::string text;
    const bool found = input_.languageString ? input_.languageString(number, text) : LoadLanguageString(number, text);
    if (!found) return;
    Add(Text(before + text + after, size, x, y));
  }

  std::vector<ReportItem> Take() { return std::move(items_); }

 private:
  const ReportPageInput& input_;
  std::vector<ReportItem> items_;
};

}  // namespace

ReportValues LookUpReportValues(const TelemetrySamples& samples, std::int32_t positionMs) {
  ReportValues values;
  float latitude = 0, longitude = 0;
  if (samples.FindPosition(positionMs, latitude, longitude)) {
    values.latitude = latitude;
    values.longitude = longitude;
  }
  double x = 0, y = 0, z = 0;
  if (samples.FindGValues(positionMs, x, y, z)) {
    values.gX = x;
    values.gY = y;
    values.gZ = z;
  }
  values.inMiles = TheViewerSettings().speedInMiles;
  values.hasSpeed = samples.FindSpeed(positionMs, values.speed, values.inMiles);
  if (const CGPSData* fix = samples.FindGpsSample(positionMs)) {
    if (const auto clock = telemetry::FixClock(*fix, telemetry::ViewerZone().get()))
      values.clock = telemetry::ClockText(*clock);
  }
  return values;
}

std::string ReportTitle(std::int32_t model) { return model == 0 ? kReportTitle : ""; }

std::vector<ReportItem> ReportPageItems(int page, const ReportPageInput& input) {
  PageBuilder builder(input);
  if (page < 1 || page > kReportPageCount) return {};
  const std::string title = ReportTitle(input.model);
  builder.Add(Text(title, kReportHeaderSize, 5, 5));
  builder.Add(Text(HeaderTime(input.now), kReportHeaderSize, 80, 5));
  if (page == 1) {
    builder.Add(Text(title, kReportBigTitleSize, 30, 10));
    builder.AddLanguageLine(kStrPrintPictures, "1. ", "", kReportHeadingSize, 5, 15);
    builder.AddLanguageLine(kStrPrintPicturesNote, "-", "", kReportLineSize, 8, 18);
    builder.AddLanguageLine(kStrPrintFront, "-", "", kReportLineSize, 10, 20);
    builder.Add(Picture(ReportItemKind::kPicture1, 20, 24, 60, 26));
    // Every recording with a rear camera gets its picture; one with more than two
    // cameras shows channels 1 and 2 like the screen does.
    if (input.channelCount >= 2) {
      builder.AddLanguageLine(kStrPrintRear, "-", "", kReportLineSize, 10, 56);
      builder.Add(Picture(ReportItemKind::kPicture2, 20, 60, 60, 26));
    }
  } else {
    const ReportValues& v = input.values;
    builder.AddLanguageLine(kStrPrintLocation, "2. ", "", kReportHeadingSize, 5, 15);
    builder.AddLanguageLine(kStrLatitude, "", CoordinateValue(v.latitude), kReportLineSize, 8, 18);
    builder.AddLanguageLine(kStrLongitude, "", CoordinateValue(v.longitude), kReportLineSize, 8, 20);
    builder.AddLanguageLine(kStrCaptionMap, "", "", kReportLineSize, 8, 22);
    if (input.hasMap && v.latitude != 0 && v.longitude != 0) builder.Add(Picture(ReportItemKind::kMap, 20, 25, 40, 20));
    builder.AddLanguageLine(kStrPrintGSensor, "3. ", "", kReportHeadingSize, 5, 50);
    builder.AddLanguageLine(kStrPrintGValue, "", "", kReportLineSize, 8, 53);
    char values[160];
    std::snprintf(values, sizeof values, " : X = %.08f, Y = %.08f, Z = %.08f", v.gX, v.gY, v.gZ);
    builder.AddLanguageLine(kStrPrintGValue, "", values, kReportLineSize, 8, 56);
    builder.AddLanguageLine(kStrPrintDriving, "4. ", "", kReportHeadingSize, 5, 61);
    std::string speed = " : -";
    std::string unit;
    const bool unitFound = input.languageString ? input.languageString(v.inMiles ? kStrUnitMph : kStrUnitKmh, unit)
                                                : LoadLanguageString(v.inMiles ? kStrUnitMph : kStrUnitKmh, unit);
    if (v.hasSpeed && unitFound) {
      char number[64];
      std::snprintf(number, sizeof number, " : %.2f ", v.speed);
      speed = number + unit;
    }
    builder.AddLanguageLine(kStrPrintSpeed, "", speed, kReportLineSize, 8, 64);
    builder.AddLanguageLine(kStrPrintGpsTime, "", " : " + (v.clock.empty() ? std::string("-") : v.clock),
                            kReportLineSize, 8, 66);
  }
  builder.Add(Text(title, kReportHeaderSize, 5, 95));
  char footer[32];
  std::snprintf(footer, sizeof footer, "Page %d of 2", page);
  builder.Add(Text(footer, kReportHeaderSize, 80, 95));
  return builder.Take();
}

int PagePercent(int extent, int percent) { return static_cast<int>(static_cast<std::int64_t>(extent) * percent / 100); }
