// The report's pages as laid out: every text with its size and place, the pictures'
// rectangles, the values at the position and what missing texts leave out.

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <vector>

#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "settings/ViewerSettings.h"
#include "tools/print/ReportLayout.h"

namespace {

// English texts of the strings the report uses.
const std::map<int, std::string> kTexts = {
    {kStrCaptionMap, "Map"},
    {kStrLatitude, "Latitude"},
    {kStrLongitude, "Longitude"},
    {kStrPrintPictures, "Video pictures"},
    {kStrPrintPicturesNote, "Pictures at the current position"},
    {kStrPrintFront, "Front camera"},
    {kStrPrintRear, "Rear camera"},
    {kStrPrintLocation, "Location"},
    {kStrPrintGSensor, "G-sensor"},
    {kStrPrintGValue, "G-sensor values"},
    {kStrPrintDriving, "Speed and time"},
    {kStrPrintSpeed, "Speed"},
    {kStrPrintGpsTime, "GPS time"},
    {kStrUnitKmh, "km/h"},
    {kStrUnitMph, "mph"},
};

ReportLanguageLookup Texts(std::map<int, std::string> texts) {
  return [texts](int number, std::string& text) {
    auto found = texts.find(number);
    text = found == texts.end() ? "" : found->second;
    return found != texts.end();
  };
}

ReportPageInput Input() {
  ReportPageInput input;
  input.now = {2024, 5, 12, 8, 3, 9, 456};
  input.languageString = Texts(kTexts);
  return input;
}

// kind text size x y w h, readable in failure messages.
std::string Describe(const ReportItem& item) {
  static const char* const kKinds[] = {"text", "picture1", "picture2", "map"};
  return std::string(kKinds[static_cast<int>(item.kind)]) + " '" + item.text + "' " + std::to_string(item.size) + " (" +
         std::to_string(item.xPercent) + "," + std::to_string(item.yPercent) + ") " +
         std::to_string(item.widthPercent) + "x" + std::to_string(item.heightPercent);
}

std::vector<std::string> Describe(const std::vector<ReportItem>& items) {
  std::vector<std::string> lines;
  for (const ReportItem& item : items) lines.push_back(Describe(item));
  return lines;
}

TEST(ReportLayout, PageOneHoldsTheHeaderTheHeadingsBothPicturesAndTheFooter) {
  const std::vector<std::string> expected = {
      "text 'Tarvo Viewer' 20 (5,5) 0x0",
      "text '2024-05-12 08:03:09' 20 (80,5) 0x0",
      "text 'Tarvo Viewer' 40 (30,10) 0x0",
      "text '1. Video pictures' 25 (5,15) 0x0",
      "text '-Pictures at the current position' 20 (8,18) 0x0",
      "text '-Front camera' 20 (10,20) 0x0",
      "picture1 '' 0 (20,24) 60x26",
      "text '-Rear camera' 20 (10,56) 0x0",
      "picture2 '' 0 (20,60) 60x26",
      "text 'Tarvo Viewer' 20 (5,95) 0x0",
      "text 'Page 1 of 2' 20 (80,95) 0x0",
  };
  EXPECT_EQ(expected, Describe(ReportPageItems(1, Input())));
}

TEST(ReportLayout, PageTwoHoldsThePositionTheMapAndTheGValues) {
  ReportPageInput input = Input();
  input.values = {37.5665, 126.978, 0.03125, 1.0, 8.0, true, 41.484799, false, "2024-05-12 08:30:04"};
  input.hasMap = true;
  const std::vector<std::string> expected = {
      "text 'Tarvo Viewer' 20 (5,5) 0x0",
      "text '2024-05-12 08:03:09' 20 (80,5) 0x0",
      "text '2. Location' 25 (5,15) 0x0",
      "text 'Latitude : 37.56650000' 20 (8,18) 0x0",
      "text 'Longitude : 126.97800000' 20 (8,20) 0x0",
      "text 'Map' 20 (8,22) 0x0",
      "map '' 0 (20,25) 40x20",
      "text '3. G-sensor' 25 (5,50) 0x0",
      "text 'G-sensor values' 20 (8,53) 0x0",
      "text 'G-sensor values : X = 0.03125000, Y = 1.00000000, Z = 8.00000000' 20 (8,56) 0x0",
      "text '4. Speed and time' 25 (5,61) 0x0",
      "text 'Speed : 41.48 km/h' 20 (8,64) 0x0",
      "text 'GPS time : 2024-05-12 08:30:04' 20 (8,66) 0x0",
      "text 'Tarvo Viewer' 20 (5,95) 0x0",
      "text 'Page 2 of 2' 20 (80,95) 0x0",
  };
  EXPECT_EQ(expected, Describe(ReportPageItems(2, input)));
  // Without a valid fix both values are a dash.
  input.values.hasSpeed = false;
  input.values.clock.clear();
  const std::vector<std::string> lines = Describe(ReportPageItems(2, input));
  EXPECT_EQ("text 'Speed : -' 20 (8,64) 0x0", lines[11]);
  EXPECT_EQ("text 'GPS time : -' 20 (8,66) 0x0", lines[12]);
}

TEST(ReportLayout, OneCameraHasNoRearHeadingAndNoSecondPicture) {
  ReportPageInput input = Input();
  input.channelCount = 1;
  for (const ReportItem& item : ReportPageItems(1, input)) {
    EXPECT_NE(ReportItemKind::kPicture2, item.kind);
    EXPECT_NE("-Rear camera", item.text);
  }
  EXPECT_EQ(9u, ReportPageItems(1, input).size());
}

TEST(ReportLayout, FourCamerasPrintTheRearPictureThePlayerShows) {
  ReportPageInput input = Input();
  input.channelCount = 4;
  const std::vector<ReportItem> items = ReportPageItems(1, input);
  ASSERT_EQ(11u, items.size());
  EXPECT_EQ(ReportItemKind::kPicture2, items[8].kind);
}

TEST(ReportLayout, WithoutAValidFixBothCoordinatesAreZeroAndNoMapIsPrinted) {
  ReportPageInput input = Input();
  input.hasMap = true;
  const std::vector<ReportItem> items = ReportPageItems(2, input);
  const std::vector<std::string> lines = Describe(items);
  EXPECT_EQ("text 'Latitude : 0.00000000' 20 (8,18) 0x0", lines[3]);
  EXPECT_EQ("text 'Longitude : 0.00000000' 20 (8,20) 0x0", lines[4]);
  for (const ReportItem& item : items) EXPECT_NE(ReportItemKind::kMap, item.kind);
  // A position on the equator or the prime meridian counts as no fix, too.
  input.values.latitude = 37.5;
  for (const ReportItem& item : ReportPageItems(2, input)) EXPECT_NE(ReportItemKind::kMap, item.kind);
}

TEST(ReportLayout, AValidFixWithoutAMapViewPrintsNoMap) {
  ReportPageInput input = Input();
  input.values = {37.5, 127.0, 0, 0, 0, false, 0, false, ""};
  input.hasMap = false;
  for (const ReportItem& item : ReportPageItems(2, input)) EXPECT_NE(ReportItemKind::kMap, item.kind);
}

TEST(ReportLayout, AModelOtherThanZeroEmptiesTheTitlesOnly) {
  ReportPageInput input = Input();
  input.model = 2;
  for (int page = 1; page <= 2; ++page) {
    const std::vector<ReportItem> items = ReportPageItems(page, input);
    EXPECT_EQ("", items[0].text);
    EXPECT_EQ("2024-05-12 08:03:09", items[1].text);
    EXPECT_EQ("", items[items.size() - 2].text);
    EXPECT_EQ("Page " + std::to_string(page) + " of 2", items.back().text);
  }
  EXPECT_EQ("", ReportPageItems(1, input)[2].text);  // the big title
  EXPECT_EQ("1. Video pictures", ReportPageItems(1, input)[3].text);
  EXPECT_EQ("", ReportTitle(-1));
  EXPECT_EQ("Tarvo Viewer", ReportTitle(0));
}

TEST(ReportLayout, WithoutALanguageTheHeadingsAndValuesAreLeftOutTheFramesStay) {
  ReportPageInput input = Input();
  input.languageString = Texts({});
  input.values = {37.5, 127.0, 1, 1, 1, false, 0, false, ""};
  input.hasMap = true;
  EXPECT_EQ((std::vector<std::string>{
                "text 'Tarvo Viewer' 20 (5,5) 0x0",
                "text '2024-05-12 08:03:09' 20 (80,5) 0x0",
                "text 'Tarvo Viewer' 40 (30,10) 0x0",
                "picture1 '' 0 (20,24) 60x26",
                "picture2 '' 0 (20,60) 60x26",
                "text 'Tarvo Viewer' 20 (5,95) 0x0",
                "text 'Page 1 of 2' 20 (80,95) 0x0",
            }),
            Describe(ReportPageItems(1, input)));
  EXPECT_EQ((std::vector<std::string>{
                "text 'Tarvo Viewer' 20 (5,5) 0x0",
                "text '2024-05-12 08:03:09' 20 (80,5) 0x0",
                "map '' 0 (20,25) 40x20",
                "text 'Tarvo Viewer' 20 (5,95) 0x0",
                "text 'Page 2 of 2' 20 (80,95) 0x0",
            }),
            Describe(ReportPageItems(2, input)));
}

TEST(ReportLayout, OneMissingStringLeavesOutOnlyItsLine) {
  ReportPageInput input = Input();
  std::map<int, std::string> texts = kTexts;
  texts.erase(kStrLongitude);
  input.languageString = Texts(texts);
  const std::vector<std::string> lines = Describe(ReportPageItems(2, input));
  EXPECT_EQ(13u, lines.size());
  EXPECT_EQ("text 'Latitude : 0.00000000' 20 (8,18) 0x0", lines[3]);
  EXPECT_EQ("text 'Map' 20 (8,22) 0x0", lines[4]);
}

TEST(ReportLayout, OnlyPagesOneAndTwoExist) {
  EXPECT_TRUE(ReportPageItems(0, Input()).empty());
  EXPECT_TRUE(ReportPageItems(3, Input()).empty());
}

TEST(ReportLayout, TheLanguageLibraryGivesTheTextsByDefault) {
  ViewerSettings& settings = TheViewerSettings();
  FreeLanguageLibrary(settings);
  settings.language = 1;
  ReportPageInput input = Input();
  input.languageString = nullptr;
  const std::vector<ReportItem> items = ReportPageItems(1, input);
  ASSERT_EQ(11u, items.size());
  EXPECT_EQ("1. " + LanguageString(kStrPrintPictures), items[3].text);
  EXPECT_EQ("1. 영상 화면", items[3].text);
  settings.language = 42;
  FreeLanguageLibrary(settings);
  EXPECT_EQ(7u, ReportPageItems(1, input).size());
  settings.language = 0;
}

TEST(ReportPercent, PlacesAreTruncatedIntegerPercentagesOfThePage) {
  EXPECT_EQ(3968, PagePercent(4961, 80));  // 3968.8
  EXPECT_EQ(248, PagePercent(4961, 5));    // 248.05
  EXPECT_EQ(0, PagePercent(19, 5));
  EXPECT_EQ(INT_MAX / 100 * 95 + (INT_MAX % 100) * 95 / 100, PagePercent(INT_MAX, 95)) << "no overflow";
}

TEST(ReportValuesAt, PositionAndGValuesComeFromTheFirstSamplesAtOrAfterThePosition) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord("GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", 1000);
  samples.AddTelemetryRecord("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", 2000);
  samples.AddTelemetryRecord(std::string("M\x00\x1f\xff", 4), 1500);
  samples.AddTelemetryRecord(std::string("M\x20\x20\x20", 4), 2500);

  // At 500: the fix at 1000 is not valid, so no position; the reading at 1500 counts.
  ReportValues v = LookUpReportValues(samples, 500);
  EXPECT_EQ(0.0, v.latitude);
  EXPECT_EQ(0.0, v.longitude);
  EXPECT_EQ(0.03125, v.gX);
  EXPECT_EQ(1.0, v.gY);
  EXPECT_EQ(8.0, v.gZ);

  // At 2000: the valid fix, in decimal degrees through single precision.
  v = LookUpReportValues(samples, 2000);
  EXPECT_EQ(static_cast<double>(static_cast<float>(48.0 + 7.038 / 60)), v.latitude);
  EXPECT_EQ(static_cast<double>(static_cast<float>(11.0 + 31.0 / 60)), v.longitude);
  EXPECT_EQ(33.0 / 32, v.gX);

  // Past the last samples everything is 0.
  v = LookUpReportValues(samples, 2600);
  EXPECT_EQ(0.0, v.latitude);
  EXPECT_EQ(0.0, v.gX);
  EXPECT_EQ(0.0, v.gZ);
  EXPECT_FALSE(v.hasSpeed);
  EXPECT_EQ("", v.clock);
}

TEST(ReportValuesAt, SpeedFollowsTheUnitAndTheTimeTheZone) {
  ViewerSettings& settings = TheViewerSettings();
  const ViewerSettings saved = settings;
  TelemetrySamples samples;
  // 22.4 knots at 12:35:19 UTC, 23 March 1994 (the fix's hour is kept on the camera's
  // clock, 21).
  samples.AddTelemetryRecord("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W", 0);
  settings.speedInMiles = false;
  settings.timeZone = "";
  ReportValues v = LookUpReportValues(samples, 0);
  ASSERT_TRUE(v.hasSpeed);
  const double kmh = v.speed;
  EXPECT_EQ(static_cast<double>(static_cast<float>(22.4 * 1.852)), kmh);
  EXPECT_EQ("1994-03-23 21:35:19", v.clock);
  settings.speedInMiles = true;
  settings.timeZone = "Europe/Berlin";
  v = LookUpReportValues(samples, 0);
  EXPECT_TRUE(v.inMiles);
  EXPECT_EQ(kmh * 0.621371, v.speed);
  EXPECT_EQ("1994-03-23 13:35:19", v.clock);
  ReportPageInput input = Input();
  input.values = v;
  EXPECT_EQ("Speed : 25.78 mph", ReportPageItems(2, input)[10].text);
  settings.speedInMiles = saved.speedInMiles;
  settings.timeZone = saved.timeZone;
}

TEST(ReportValuesAt, TheValuesPrintWithEightDecimals) {
  TelemetrySamples samples;
  samples.AddTelemetryRecord("GPRMC,123519,A,4807.038,S,01131.000,W,022.4,084.4,230394,003.1,W", 0);
  ReportPageInput input = Input();
  input.values = LookUpReportValues(samples, 0);
  const std::vector<ReportItem> items = ReportPageItems(2, input);
  EXPECT_EQ("Latitude : -48.11729813", items[3].text);
  EXPECT_EQ("Longitude : -11.51666641", items[4].text);
}

}  // namespace
