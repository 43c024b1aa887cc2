// Pictures of the main window for the documentation and for looking at: both layouts,
// at the minimum size and maximised on a full-HD screen, in English and Korean, with
// the list filled from a sample set. Saved under <build>/screenshots.

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTest>
#include <cmath>

#include "WindowInspector.h"
#include "WindowTestSupport.h"
#include "app/CDezirureDovuriDlg.h"
#include "app/DlgIds.h"
#include "controls/CBbButtonCtrl.h"
#include "settings/ViewerSettings.h"
#include "telemetry/CGSensorData.h"
#include "telemetry/TelemetrySamples.h"
#include "tests/support/TempFolder.h"

using app::DlgItem;

namespace {

struct Shot {
  const char* name;
  int language;
  int layoutMode;
  bool maximised;
};

class ScreenshotTest : public ::testing::TestWithParam<Shot> {
 protected:
  static void SetUpTestSuite() { apptest::EnsureApplication(); }
};

// A minute of driving at ten readings a second: a gentle swerve on X, braking and
// pulling away on Y, road noise on Z around 1 g, in the process-wide arrays the graph
// draws.
void LoadSampleDrive(TelemetrySamples& samples) {
  samples.Clear();
  for (int t = 0; t <= 60000; t += 100) {
    CGSensorData sample;
    const double s = t / 1000.0;
    sample.recordTime = t;
    sample.x = static_cast<int>(10 * std::sin(s / 4.0) + 3 * std::sin(s * 1.7));
    sample.y = static_cast<int>(s > 20 && s < 24 ? -22 * std::sin((s - 20) * 0.785) : 2 * std::sin(s));
    sample.z = static_cast<int>(32 + 4 * std::sin(s * 5.3) + 2 * std::cos(s * 11.0));
    samples.AddGSensorSample(sample);
  }
}

// True when the picture of `widget` has more than one colour: a skin image was drawn.
bool HasPicture(QWidget* widget) {
  const QImage image = widget->grab().toImage();
  const QRgb first = image.pixel(0, 0);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != first) return true;
    }
  }
  return false;
}

TEST_P(ScreenshotTest, MainWindowLooksComplete) {
  const Shot shot = GetParam();
  testsupport::TempFolder samples;
  apptest::MakeSampleRecordings(samples.Path());

  CDezirureDovuriDlg dlg;
  dlg.ChangeLanguage(shot.language);
  ASSERT_EQ(apptest::ListPaths(dlg, {samples.Path().string()}), 24);
  LoadSampleDrive(app::WindowInspector(dlg).Telemetry());
  if (shot.maximised) {
    dlg.showMaximized();
  } else {
    dlg.show();
  }
  if (shot.layoutMode == 2) dlg.ToggleLayout();
  QTest::qWait(30);
  const QSize expected = shot.maximised ? QSize(1920, 1080) : QSize(1034, 742);
  EXPECT_EQ(dlg.size(), expected);

  for (const app::ButtonSpec& spec : app::kButtonSpecs) {
    QWidget* button = app::WindowInspector(dlg).Button(spec.item);
    if (!button->isVisible()) continue;
    EXPECT_TRUE(HasPicture(button)) << "button " << spec.id << " has no picture";
  }

  const QImage picture = dlg.grab().toImage();
  EXPECT_EQ(picture.size(), expected);
  const std::filesystem::path out = apptest::ScreenshotFolder() / shot.name;
  EXPECT_TRUE(picture.save(QString::fromStdString(out.string())));
  dlg.ChangeLanguage(0);
}

INSTANTIATE_TEST_SUITE_P(
    Shots, ScreenshotTest,
    ::testing::Values(Shot{"main-en-layout1-min.png", 0, 1, false}, Shot{"main-en-layout2-min.png", 0, 2, false},
                      Shot{"main-en-layout1-max.png", 0, 1, true}, Shot{"main-en-layout2-max.png", 0, 2, true},
                      Shot{"main-ko-layout1-min.png", 1, 1, false}, Shot{"main-ko-layout2-min.png", 1, 2, false},
                      Shot{"main-ko-layout1-max.png", 1, 1, true}, Shot{"main-ko-layout2-max.png", 1, 2, true}),
    [](const ::testing::TestParamInfo<Shot>& param) {
      const std::string name = param.param.name;
      std::string id;
      for (char c : name.substr(0, name.size() - 4)) id += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return id;
    });

TEST(ViewerScreenshotMode, SavesTheWholeWindowAndExitsZero) {
  apptest::EnsureApplication();
  testsupport::TempFolder work;
  apptest::MakeSampleRecordings(work.Path());
  const std::filesystem::path out = apptest::ScreenshotFolder() / "viewer-screenshot-mode.png";
  std::filesystem::remove(out);

  QProcess viewer;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QString::fromStdString(apptest::OffscreenPlatform()));
  viewer.setProcessEnvironment(env);
  viewer.start(QStringLiteral(TARVO_BINARY_DIR "/bin/tarvo-viewer"),
               {QStringLiteral("--screenshot"), QString::fromStdString(out.string()), QStringLiteral("--after"),
                QStringLiteral("200"), QStringLiteral("--size"), QStringLiteral("1280x800"),
                QStringLiteral("--language"), QStringLiteral("1"), QString::fromStdString(work.Path().string())});
  ASSERT_TRUE(viewer.waitForFinished(30000));
  EXPECT_EQ(viewer.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(viewer.exitCode(), 0) << viewer.readAllStandardError().toStdString();
  const QImage picture(QString::fromStdString(out.string()));
  EXPECT_EQ(picture.size(), QSize(1280, 800));
}

TEST(ViewerScreenshotMode, BadOptionExitsTwoWithUsage) {
  apptest::EnsureApplication();
  QProcess viewer;
  viewer.start(QStringLiteral(TARVO_BINARY_DIR "/bin/tarvo-viewer"), {QStringLiteral("--layout"), QStringLiteral("7")});
  ASSERT_TRUE(viewer.waitForFinished(30000));
  EXPECT_EQ(viewer.exitCode(), 2);
  EXPECT_NE(viewer.readAllStandardError().indexOf("usage:"), -1);
}

}  // namespace
