#pragma once
// The two pages of the printed report of one moment of a recording, as a list of
// texts and pictures placed in percent of the printable page. Page 1 holds the
// camera pictures, page 2 the GPS position with the map and the G-sensor values.
// Drawing them on a printer or a PDF file is the painter's job (ReportPainter.h).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "telemetry/TelemetrySamples.h"
#include "tools/capture/LocalTime.h"

inline constexpr int kReportPageCount = 2;
inline constexpr const char* kReportTitle = "Tarvo Viewer";

// Text sizes of the report; a painter turns them into font heights.
inline constexpr int kReportHeaderSize = 20;
inline constexpr int kReportBigTitleSize = 40;
inline constexpr int kReportHeadingSize = 25;
inline constexpr int kReportLineSize = 20;

// The values page 2 shows: the position in decimal degrees (0 without a valid fix)
// and the G-sensor axes in g (0 without a reading), at or after the position; the
// speed in the viewer's unit and the fix's time on the viewer's clock.
struct ReportValues {
  double latitude = 0;
  double longitude = 0;
  double gX = 0;
  double gY = 0;
  double gZ = 0;
  bool hasSpeed = false;  // a valid fix
  double speed = 0;
  bool inMiles = false;  // `speed` in mph rather than km/h
  std::string clock;     // "YYYY-MM-DD HH:MM:SS"; empty without a valid, dated fix
};

ReportValues LookUpReportValues(const TelemetrySamples& samples, std::int32_t positionMs);

enum class ReportItemKind { kText, kPicture1, kPicture2, kMap };

struct ReportItem {
  ReportItemKind kind = ReportItemKind::kText;
  std::string text;  // UTF-8; only for kText
  int size = 0;      // text size; 0 for pictures
  int xPercent = 0;  // top-left corner
  int yPercent = 0;
  int widthPercent = 0;  // pictures only
  int heightPercent = 0;
};

// Reads language string `number` into `text`; false when there is none.
using ReportLanguageLookup = std::function<bool(int number, std::string& text)>;

struct ReportPageInput {
  std::int32_t model = 0;  // the viewer's MODEL setting: the title shows only for 0
  LocalTime now;           // the time in the header
  int channelCount = 2;    // video channels of the recording
  ReportValues values;
  bool hasMap = false;  // a map snapshot exists
  // LoadLanguageString when empty.
  ReportLanguageLookup languageString;
};

// "Tarvo Viewer" for model 0, empty for every other model.
std::string ReportTitle(std::int32_t model);

// The items of page 1 or 2, in drawing order. Headings and values whose language
// string is missing are left out; the header and footer lines always stay.
std::vector<ReportItem> ReportPageItems(int page, const ReportPageInput& input);

// `percent` of `extent`, truncated as integers.
int PagePercent(int extent, int percent);
