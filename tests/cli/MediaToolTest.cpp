// tarvo-tool capture and report, run as a user's script would: a fresh home folder,
// no display, recordings made by the simulator.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <QGuiApplication>
#include <QImage>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/playback/PlaybackTestSupport.h"
#include "tests/print/PdfInspection.h"
#include "tests/support/FileBytes.h"
#include "tests/support/QtApplication.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "tools/capture/CaptureNames.h"
#include "tools/capture/LocalTime.h"

namespace fs = std::filesystem;
using namespace print_test;
using playback_test::Recording;
using testsupport::ReadBytes;
using testsupport::ScopedEnv;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

QGuiApplication& App() { return testsupport::TestApplication<QGuiApplication>(); }
const bool kAppReady = (App(), true);

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class MediaTool : public ::testing::Test {
 protected:
  void SetUp() override {
    // Recordings first: the simulator runs in the test's own environment.
    twoCameras = Recording("two-pcm");
    oneCamera = Recording("one-aac");
    withFix = Recording("long");
    fs::create_directories(config.Path());
  }
  // Runs tarvo-tool with `args` (already shell-safe) as a new user without a display;
  // a run still going after 60 s is ended (status 124).
  int Run(const std::string& args) {
    const std::string command = "timeout 60 env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                std::string(TARVO_BINARY_DIR) + "/bin/tarvo-tool' " + args + " >'" +
                                (dir / "out.txt").string() + "' 2>'" + (dir / "err.txt").string() + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Out() { return ReadBytes(dir / "out.txt"); }
  std::string Err() { return ReadBytes(dir / "err.txt"); }
  static std::string Q(const fs::path& path) { return "'" + path.string() + "'"; }

  TempFolder dir;
  TempFolder home;
  ScopedEnv homeEnv{"HOME", home.Path().c_str()};
  ScopedEnv xdg{"XDG_CONFIG_HOME", nullptr};
  TempFolder config;
  ScopedEnv configEnv{"TARVO_CONFIG_DIR", config.Path().c_str()};
  fs::path captureFolder = home / "Documents" / "CAM_CAPTURE";
  fs::path twoCameras, oneCamera, withFix;
};

TEST_F(MediaTool, CaptureWritesBothPicturesIntoANewUsersDefaultFolder) {
  ASSERT_FALSE(fs::exists(home / "Documents"));
  const std::string before = CaptureStamp(LocalTimeNow());
  ASSERT_EQ(0, Run("capture " + Q(twoCameras) + " --at 1000")) << Err();
  const std::string after = CaptureStamp(LocalTimeNow());
  const std::vector<std::string> written = Lines(Out());
  ASSERT_EQ(2u, written.size()) << Out();
  // As the viewer names them, with the time of the run.
  const std::regex name(std::regex_replace(captureFolder.string(), std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)") +
                        R"(/REC_20240512_083015_2-(\d{4}-\d\d-\d\d-\d\dh\d\dm\d\ds\d{3})\(Track([12])\)\.jpg)");
  std::smatch first, second;
  ASSERT_TRUE(std::regex_match(written[0], first, name)) << written[0];
  ASSERT_TRUE(std::regex_match(written[1], second, name)) << written[1];
  EXPECT_EQ("1", first[2].str());
  EXPECT_EQ("2", second[2].str());
  EXPECT_EQ(first[1].str(), second[1].str());
  EXPECT_LE(before, first[1].str());
  EXPECT_GE(after, first[1].str());
  EXPECT_EQ(QSize(320, 180), QImage(QString::fromStdString(written[0])).size());
  EXPECT_EQ(QSize(192, 108), QImage(QString::fromStdString(written[1])).size());
  // The missing capture folder was reset to the default and saved.
  EXPECT_TRUE(Has(ReadBytes(config / "option.ini"), "SAVE_DIRECTORY=" + captureFolder.string() + "\r\n"));
  EXPECT_EQ("", Err());
}

TEST_F(MediaTool, CaptureOfOneCameraIntoAGivenFolderWritesOneFileThere) {
  const fs::path out = dir / "evidence" / "claim 17";
  ASSERT_EQ(0, Run("capture " + Q(oneCamera) + " --at 500 --out " + Q(out.string() + "/"))) << Err();
  const std::vector<std::string> written = Lines(Out());
  ASSERT_EQ(1u, written.size());
  EXPECT_EQ(out, fs::path(written[0]).parent_path());
  EXPECT_TRUE(Has(written[0], "/REC_20240512_083615_1-")) << written[0];
  EXPECT_TRUE(Has(written[0], "(Track1).jpg"));
  EXPECT_EQ(QSize(320, 180), QImage(QString::fromStdString(written[0])).size());
  EXPECT_EQ(1, std::distance(fs::directory_iterator(out), fs::directory_iterator()));
  EXPECT_FALSE(fs::exists(captureFolder));
  EXPECT_FALSE(fs::exists(config / "option.ini"));
}

TEST_F(MediaTool, CaptureSaysWhyItCannotAndWritesNothing) {
  const fs::path out = dir / "caps";
  EXPECT_EQ(1, Run("capture " + Q(dir / "missing.avi") + " --at 0 --out " + Q(out)));
  EXPECT_EQ("tarvo-tool capture: cannot read " + (dir / "missing.avi").string() + ": No such file or directory\n",
            Err());
  WriteBytes(dir / "notes.avi", "not a recording");
  EXPECT_EQ(1, Run("capture " + Q(dir / "notes.avi") + " --at 0 --out " + Q(out)));
  EXPECT_TRUE(Has(Err(), "is not a recording")) << Err();
  EXPECT_EQ(1, Run("capture " + Q(twoCameras) + " --at 999999 --out " + Q(out)));
  EXPECT_TRUE(Has(Err(), "outside the recording")) << Err();
  EXPECT_EQ(1, Run("capture " + Q(dir / "card.img") + "::/NORMAL/REC.avi --at 0 --out " + Q(out)));
  EXPECT_TRUE(Has(Err(), "card get")) << Err();
  EXPECT_EQ("", Out());
  EXPECT_FALSE(fs::exists(out));
  EXPECT_FALSE(fs::exists(captureFolder));
}

TEST_F(MediaTool, CaptureArgumentsAreChecked) {
  EXPECT_EQ(2, Run("capture " + Q(twoCameras)));
  EXPECT_TRUE(Has(Err(), "--at MS")) << Err();
  EXPECT_EQ(2, Run("capture " + Q(twoCameras) + " --at 12x"));
  EXPECT_EQ(2, Run("capture " + Q(twoCameras) + " --at -5"));
  EXPECT_EQ(2, Run("capture " + Q(twoCameras) + " --at 99999999999"));
  EXPECT_EQ(2, Run("capture " + Q(twoCameras) + " " + Q(oneCamera) + " --at 0"));
  EXPECT_EQ(2, Run("capture --at 0"));
  EXPECT_EQ(2, Run("capture " + Q(twoCameras) + " --at"));
  EXPECT_EQ(2, Run("capture " + Q(twoCameras) + " --at 0 --quality 9"));
  ASSERT_EQ(0, Run("capture --help"));
  EXPECT_EQ(0u, Out().rfind("usage: tarvo-tool capture FILE --at MS [--out FOLDER]\n", 0));
}

TEST_F(MediaTool, ReportWritesTheTwoPagesOfTheMoment) {
  const fs::path pdf = dir / "claim.pdf";
  ASSERT_EQ(0, Run("report " + Q(withFix) + " --at 3500 " + Q(pdf))) << Err();
  EXPECT_EQ(pdf.string() + "\n", Out());
  ASSERT_EQ(2, PageCount(pdf));
  const std::string one = PageText(pdf, 1);
  EXPECT_TRUE(Has(one, "Tarvo Viewer"));
  EXPECT_TRUE(Has(one, "-Front camera"));
  EXPECT_TRUE(Has(one, "-Rear camera"));
  EXPECT_TRUE(Has(one, "Page 1 of 2"));
  const std::string two = PageText(pdf, 2);
  EXPECT_TRUE(std::regex_search(two, std::regex(R"(Lat : 3\d\.\d{8})"))) << two;
  EXPECT_TRUE(std::regex_search(two, std::regex(R"(Long : 12\d\.\d{8})"))) << two;
  EXPECT_TRUE(
      std::regex_search(two, std::regex(R"(G-sensor values : X = -?\d\.\d{8}, Y = -?\d\.\d{8}, Z = -?\d\.\d{8})")))
      << two;
  EXPECT_TRUE(std::regex_search(one, std::regex(R"(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)")));
  EXPECT_EQ(2u, PicturesOfPage(pdf, 1).size());
  EXPECT_TRUE(PicturesOfPage(pdf, 2).empty()) << "no map view on the command line";
}

TEST_F(MediaTool, ReportFollowsTheLanguageOptionAndAModelOutsideTheListIsTheOneModel) {
  WriteBytes(config / "option.ini", "[OPTION]\r\nMODEL=2\r\nLANGUAGE=0\r\n");
  const fs::path pdf = dir / "korean.pdf";
  ASSERT_EQ(0, Run("report " + Q(oneCamera) + " --at 500 " + Q(pdf) + " --language 1")) << Err();
  const std::string one = PageText(pdf, 1);
  EXPECT_TRUE(Has(one, "1. 영상 화면")) << one;
  EXPECT_FALSE(Has(one, "후방 카메라"));
  EXPECT_TRUE(Has(one, "Tarvo")) << "MODEL=2 is read as the one model";
  EXPECT_TRUE(Has(PageText(pdf, 2), "위도 : 0.00000000"));
  EXPECT_EQ(1u, PicturesOfPage(pdf, 1).size());
  EXPECT_EQ(2, Run("report " + Q(oneCamera) + " --at 500 " + Q(pdf) + " --language 12"));
}

TEST_F(MediaTool, ReportOfAnUnreadableFileFailsAndKeepsTheOutputFile) {
  const fs::path pdf = dir / "keep.pdf";
  WriteBytes(pdf, "earlier report");
  EXPECT_EQ(1, Run("report " + Q(dir / "missing.avi") + " --at 0 " + Q(pdf)));
  EXPECT_EQ("tarvo-tool report: cannot read " + (dir / "missing.avi").string() + ": No such file or directory\n",
            Err());
  EXPECT_EQ("earlier report", ReadBytes(pdf));
  EXPECT_EQ(1, Run("report " + Q(twoCameras) + " --at 0 " + Q(dir / "gone" / "r.pdf")));
  EXPECT_EQ("tarvo-tool report: cannot write " + (dir / "gone" / "r.pdf").string() + ": No such file or directory\n",
            Err());
  EXPECT_EQ(2, Run("report " + Q(twoCameras) + " --at 0"));
  ASSERT_EQ(0, Run("report --help"));
  EXPECT_EQ(0u, Out().rfind("usage: tarvo-tool report FILE --at MS OUT.pdf [--language N]\n", 0));
}

// A named pipe given as a recording hung every command for ever: the open waited for
// a writer before the file's kind was looked at.
TEST_F(MediaTool, ANamedPipeIsRefusedByEveryCommandAtOnce) {
  const fs::path pipe = dir / "REC_20240101_120000_2.avi";
  ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0600));
  const std::string refused = pipe.string() + ": is a named pipe (FIFO), not a file\n";
  const fs::path image = dir / "card.img";
  ASSERT_EQ(0, Run("card mkimage " + Q(image) + " 120M"));
  ASSERT_EQ(0, Run("card format " + Q(image)));
  const struct {
    std::string args;
    std::string error;
  } cases[] = {
      {"info " + Q(pipe), "tarvo-tool info: cannot open " + refused},
      {"telemetry " + Q(pipe), "tarvo-tool telemetry: cannot open " + refused},
      {"rebuild " + Q(pipe) + " " + Q(dir / "out.avi"), "tarvo-tool rebuild: cannot open " + refused},
      {"capture " + Q(pipe) + " --at 0 --out " + Q(dir / "caps"), "tarvo-tool capture: cannot read " + refused},
      {"report " + Q(pipe) + " --at 0 " + Q(dir / "r.pdf"), "tarvo-tool report: cannot read " + refused},
      {"card put " + Q(image) + " NORMAL " + Q(pipe), "tarvo-tool card: cannot read " + refused},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(1, Run(c.args)) << c.args;
    EXPECT_EQ(c.error, Err()) << c.args;
  }
  EXPECT_EQ(std::vector<std::string>({pipe.filename().string(), "card.img", "err.txt", "out.txt"}), [&] {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.Path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }());
}

TEST_F(MediaTool, TheToolListsBothCommandsAndItsCoreCommandsNeedNoDisplay) {
  ASSERT_EQ(0, Run("--help"));
  EXPECT_TRUE(Has(Out(), "  capture "));
  EXPECT_TRUE(Has(Out(), "  report "));
  ASSERT_EQ(0, Run("info " + Q(twoCameras)));
  EXPECT_TRUE(Has(Out(), "cameras: 2"));
}

}  // namespace
