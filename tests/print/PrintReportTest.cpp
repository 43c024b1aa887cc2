// The report drawn into PDF files: the texts of both pages as a reader extracts
// them, the pictures per page, their rectangles on the page, the fonts and sizes.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <filesystem>
#include <regex>

#include "PdfInspection.h"
#include "settings/LanguageLibrary.h"
#include "tests/playback/PlaybackTestSupport.h"
#include "tests/support/FileBytes.h"
#include "tests/support/QtApplication.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "tools/capture/RecordingMoment.h"
#include "tools/print/PrintContext.h"
#include "tools/print/ReportLayout.h"
#include "tools/print/ReportPdf.h"

namespace fs = std::filesystem;
using namespace print_test;
using playback_test::Recording;
using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

QGuiApplication& App() { return testsupport::TestApplication<QGuiApplication>(); }
const bool kAppReady = (App(), true);

const fs::path kScreenshots = fs::path(TARVO_BINARY_DIR) / "screenshots" / "print";

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string Decimals(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.08f", value);
  return text;
}

std::string SpeedText(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", value);
  return text;
}

// A map view's picture: solid, so its place on the page can be measured.
QImage MapSnapshot() {
  QImage map(400, 200, QImage::Format_RGB32);
  map.fill(QColor(200, 30, 30));
  return map;
}

class PrintReport : public ::testing::Test {
 protected:
  void SetUp() override { UseLanguage(0); }
  void TearDown() override { UseLanguage(0); }
  void UseLanguage(int language) {
    FreeLanguageLibrary(TheViewerSettings());
    TheViewerSettings().language = language;
    options.language = language;
  }
  // The moment `positionMs` of a recording, printed into report.pdf.
  fs::path Print(const std::string& kind, std::int32_t positionMs, const QImage& map = QImage()) {
    std::string error;
    EXPECT_TRUE(moment.Open(Recording(kind).string(), error)) << error;
    EXPECT_TRUE(moment.ShowPosition(positionMs, error)) << error;
    PrintContext context;
    TakeReportMoment(context, moment.Player(), moment.VideoChannels(), positionMs, moment.Samples(), map);
    const fs::path pdf = dir / "report.pdf";
    EXPECT_TRUE(WriteReportPdf(pdf.string(), context, options));
    EXPECT_FALSE(context.attached);
    EXPECT_GT(context.pageWidth, 0);
    return pdf;
  }
  void Keep(const fs::path& pdf, const std::string& name) {
    fs::create_directories(kScreenshots);
    for (int page = 1; page <= 2; ++page) RenderPage(pdf, page, 60, kScreenshots / (name + "-" + std::to_string(page)));
  }

  TempFolder dir;
  RecordingMoment moment;
  ReportPrintOptions options{0, 0, {2024, 5, 12, 8, 3, 9, 456}, nullptr};
};

TEST_F(PrintReport, BothPagesCarryEveryTextOfTheMomentAndPageOneBothPictures) {
  const fs::path pdf = Print("long", 3500, MapSnapshot());
  Keep(pdf, "report-english");
  ASSERT_EQ(2, PageCount(pdf));
  const std::string one = PageText(pdf, 1);
  for (const char* line : {"Tarvo Viewer", "2024-05-12 08:03:09", "1. Video pictures",
                           "-Pictures at the current position", "-Front camera", "-Rear camera", "Page 1 of 2"})
    EXPECT_TRUE(Has(one, line)) << line << " missing from\n" << one;
  const ReportValues values = LookUpReportValues(moment.Samples(), 3500);
  ASSERT_NE(0.0, values.latitude) << "the fix at 4000 ms is valid";
  const std::string two = PageText(pdf, 2);
  for (const std::string& line :
       {std::string("2024-05-12 08:03:09"), std::string("2. Location"), "Lat : " + Decimals(values.latitude),
        "Long : " + Decimals(values.longitude), std::string("Map"), std::string("3. G-sensor"),
        "G-sensor values : X = " + Decimals(values.gX) + ", Y = " + Decimals(values.gY) +
            ", Z = " + Decimals(values.gZ),
        std::string("4. Speed and time"), "Speed : " + SpeedText(values.speed) + " km/h", "GPS time : " + values.clock,
        std::string("Page 2 of 2")})
    EXPECT_TRUE(Has(two, line)) << line << " missing from\n" << two;
  EXPECT_EQ(0u, values.clock.rfind("2024-05-12 08:", 0)) << values.clock;
  EXPECT_FALSE(Has(one, "Lat : "));
  EXPECT_FALSE(Has(two, "Front camera"));

  const std::vector<PdfPicture> first = PicturesOfPage(pdf, 1);
  ASSERT_EQ(2u, first.size());
  EXPECT_EQ(320, first[0].width);  // the cameras' full pictures
  EXPECT_EQ(180, first[0].height);
  EXPECT_EQ(192, first[1].width);
  EXPECT_EQ(108, first[1].height);
  const std::vector<PdfPicture> second = PicturesOfPage(pdf, 2);
  ASSERT_EQ(1u, second.size());
  EXPECT_EQ(400, second[0].width);
}

TEST_F(PrintReport, PicturesAndTheMapAreStretchedIntoTheirRectangles) {
  const fs::path pdf = Print("long", 3500, MapSnapshot());
  // At 72 dpi a pixel is a point. The printable area starts inside the margins.
  const double margin = kReportPdfMarginMm / 25.4 * 72;
  const double width = (210 - 2 * kReportPdfMarginMm) / 25.4 * 72;
  const double height = (297 - 2 * kReportPdfMarginMm) / 25.4 * 72;
  auto expected = [&](double x, double y, double w, double h) {
    return QRectF(margin + x * width, margin + y * height, w * width, h * height);
  };
  auto expectNear = [](const QRectF& want, const QRect& got, const char* what) {
    EXPECT_NEAR(want.left(), got.left(), 2.0) << what;
    EXPECT_NEAR(want.top(), got.top(), 2.0) << what;
    EXPECT_NEAR(want.right(), got.right() + 1, 2.0) << what;
    EXPECT_NEAR(want.bottom(), got.bottom() + 1, 2.0) << what;
  };
  const QImage page1 = RenderPage(pdf, 1, 72, dir / "page1");
  ASSERT_FALSE(page1.isNull());
  // The rear picture is dark to its edges: its ink is its rectangle.
  const QRectF rear = expected(0.20, 0.60, 0.60, 0.26);
  expectNear(rear, InkBounds(page1, rear.toAlignedRect().adjusted(-6, -6, 6, 6)), "rear picture");
  const QRectF front = expected(0.20, 0.24, 0.60, 0.26);
  const QRect frontInk = InkBounds(page1, front.toAlignedRect().adjusted(-6, -6, 6, 6));
  EXPECT_NEAR(front.left(), frontInk.left(), 2.0);
  EXPECT_NEAR(front.top(), frontInk.top(), 2.0);
  EXPECT_LE(frontInk.right(), front.right() + 2);
  const QImage page2 = RenderPage(pdf, 2, 72, dir / "page2");
  const QRectF map = expected(0.20, 0.25, 0.40, 0.20);
  expectNear(map, InkBounds(page2, map.toAlignedRect().adjusted(-6, -6, 6, 6)), "map");
  EXPECT_EQ(QColor(200, 30, 30), page2.pixelColor(map.center().toPoint()));
}

TEST_F(PrintReport, TextsSitAtTheirPercentagesWithTheLayoutsHeights) {
  const fs::path pdf = Print("two-pcm", 500);
  // Word boxes in points: the footer's "Page" starts at 80 % of the printable width.
  const std::string boxes = Output("pdftotext -bbox -f 1 -l 1 " + Quote(pdf.string()) + " - 2>/dev/null");
  const std::regex word(
      R"re(<word xMin="([0-9.]+)" yMin="([0-9.]+)" xMax="([0-9.]+)" yMax="([0-9.]+)">([^<]*)</word>)re");
  const double margin = kReportPdfMarginMm / 25.4 * 72;
  const double width = (210 - 2 * kReportPdfMarginMm) / 25.4 * 72;
  const double height = (297 - 2 * kReportPdfMarginMm) / 25.4 * 72;
  bool sawPage = false, sawTitle = false;
  for (std::sregex_iterator it(boxes.begin(), boxes.end(), word), end; it != end; ++it) {
    const double x = std::stod((*it)[1]), y = std::stod((*it)[2]), bottom = std::stod((*it)[4]);
    const std::string text = (*it)[5];
    if (text == "Page") {
      sawPage = true;
      EXPECT_NEAR(margin + 0.80 * width, x, 1.0);
      EXPECT_NEAR(margin + 0.95 * height, y, 1.5);
      // Size 20: a 12-point line, whatever the device's resolution.
      EXPECT_NEAR(12.0, bottom - y, 1.5);
    }
    if (text == "Tarvo" && y > margin + 0.09 * height && y < margin + 0.12 * height) {
      sawTitle = true;
      EXPECT_NEAR(margin + 0.30 * width, x, 1.0);
      EXPECT_NEAR(24.0, bottom - y, 3.0);  // size 40
    }
  }
  EXPECT_TRUE(sawPage);
  EXPECT_TRUE(sawTitle);
}

TEST_F(PrintReport, OneCameraWithoutAValidFixPrintsZerosNoRearPictureAndNoMap) {
  const fs::path pdf = Print("one-aac", 500, MapSnapshot());
  Keep(pdf, "report-one-camera-no-fix");
  const std::string one = PageText(pdf, 1);
  EXPECT_TRUE(Has(one, "-Front camera"));
  EXPECT_FALSE(Has(one, "Rear camera"));
  ASSERT_EQ(1u, PicturesOfPage(pdf, 1).size());
  EXPECT_EQ(320, PicturesOfPage(pdf, 1)[0].width);
  const std::string two = PageText(pdf, 2);
  EXPECT_TRUE(Has(two, "Lat : 0.00000000"));
  EXPECT_TRUE(Has(two, "Long : 0.00000000"));
  EXPECT_TRUE(PicturesOfPage(pdf, 2).empty()) << "no map without a valid fix";
  EXPECT_TRUE(Has(two, "Page 2 of 2"));
}

TEST_F(PrintReport, AModelOtherThanZeroPrintsNoTitleButEverythingElse) {
  options.model = 3;
  const fs::path pdf = Print("two-pcm", 500);
  for (int page = 1; page <= 2; ++page) {
    const std::string text = PageText(pdf, page);
    EXPECT_FALSE(Has(text, "Tarvo")) << text;
    EXPECT_TRUE(Has(text, "2024-05-12 08:03:09"));
    EXPECT_TRUE(Has(text, "Page " + std::to_string(page) + " of 2"));
  }
  EXPECT_TRUE(Has(PageText(pdf, 1), "1. Video pictures"));
  EXPECT_TRUE(Has(PageText(pdf, 2), "3. G-sensor"));
  EXPECT_EQ(2u, PicturesOfPage(pdf, 1).size());
}

TEST_F(PrintReport, WithoutALanguageLibraryOnlyTheFramesAndPicturesArePrinted) {
  UseLanguage(42);
  const fs::path pdf = Print("long", 3500, MapSnapshot());
  Keep(pdf, "report-no-language");
  const std::string one = PageText(pdf, 1);
  const std::string two = PageText(pdf, 2);
  EXPECT_TRUE(Has(one, "Page 1 of 2"));
  EXPECT_TRUE(Has(two, "Page 2 of 2"));
  EXPECT_TRUE(Has(one, "Tarvo Viewer"));
  EXPECT_FALSE(Has(one, "Video pictures"));
  EXPECT_FALSE(Has(one, "Front camera"));
  EXPECT_FALSE(Has(two, "Lat : "));
  EXPECT_FALSE(Has(two, " : X = "));
  EXPECT_EQ(2u, PicturesOfPage(pdf, 1).size());
  EXPECT_EQ(1u, PicturesOfPage(pdf, 2).size());
}

TEST_F(PrintReport, KoreanTextsAreDrawnWithAHangulFontAndStaySearchable) {
  UseLanguage(1);
  const fs::path pdf = Print("long", 3500);
  Keep(pdf, "report-korean");
  const std::string one = PageText(pdf, 1);
  EXPECT_TRUE(Has(one, "1. 영상 화면")) << one;
  EXPECT_TRUE(Has(one, "-후방 카메라")) << one;
  const std::string two = PageText(pdf, 2);
  EXPECT_TRUE(Has(two, "위도 : " + Decimals(LookUpReportValues(moment.Samples(), 3500).latitude))) << two;
  EXPECT_TRUE(Has(two, "G 센서 값 : X = ")) << two;
  EXPECT_TRUE(Has(Fonts(pdf), "NanumBarunGothic"));
}

TEST_F(PrintReport, JapaneseAndChineseTextsGetTheirCjkFaces) {
  UseLanguage(3);
  fs::path pdf = Print("two-pcm", 500);
  Keep(pdf, "report-japanese");
  EXPECT_TRUE(Has(PageText(pdf, 1), "-フロントカメラ"));
  EXPECT_TRUE(Has(PageText(pdf, 2), "緯度 : 0.00000000"));
  EXPECT_TRUE(Has(Fonts(pdf), "NotoSansCJKjp"));
  UseLanguage(4);
  pdf = Print("two-pcm", 500);
  EXPECT_TRUE(Has(PageText(pdf, 1), "-前摄像头"));
  EXPECT_TRUE(Has(PageText(pdf, 2), "纬度 : 0.00000000"));
  // Digits come from the Latin face in every language.
  EXPECT_TRUE(Has(Fonts(pdf), "DejaVuSansCondensed"));
}

TEST(PrintReportFile, AFileThatCannotBeWrittenIsReportedAndNothingIsReplaced) {
  TempFolder dir;
  PrintContext context;
  ReportPrintOptions options;
  options.languageString = [](int, std::string&) { return false; };
  EXPECT_FALSE(WriteReportPdf((dir / "gone" / "r.pdf").string(), context, options));
  EXPECT_FALSE(fs::exists(dir / "gone"));
  fs::create_directories(dir / "folder.pdf");
  EXPECT_FALSE(WriteReportPdf((dir / "folder.pdf").string(), context, options));
  EXPECT_TRUE(fs::is_directory(dir / "folder.pdf"));
  EXPECT_FALSE(WriteReportPdf("", context, options));
  // A written report replaces an older one whole.
  WriteBytes(dir / "old.pdf", "older report");
  EXPECT_TRUE(WriteReportPdf((dir / "old.pdf").string(), context, options));
  EXPECT_EQ("%PDF", ReadBytes(dir / "old.pdf").substr(0, 4));
  EXPECT_EQ(2, PageCount(dir / "old.pdf"));
}

}  // namespace
