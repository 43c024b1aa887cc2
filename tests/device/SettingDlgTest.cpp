// The settings dialog driven offscreen as a user drives it: the lists, the buttons,
// the keys, formatting a card image, and screenshots in three languages.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include "controls/ControlId.h"
#include "controls/ViewerStyle.h"
#include "device/CSettingDlg.h"
#include "device/SettingDlgHost.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "tests/device/DeviceTestSupport.h"
#include "tests/support/MockDiskService.h"
#include "tests/support/ReadOnlyFolder.h"

using namespace devicetest;

namespace {

class TestHost : public SettingDlgHost {
 public:
  std::string LoadedDrive() const override { return loaded; }
  void ClearRecordings() override {
    ++clears;
    loaded.clear();
  }
  std::string loaded;
  int clears = 0;
};

void EnsureApplication() {
  if (QApplication::instance()) return;
  static int argc = 1;
  static char name[] = "device_dialog_test";
  static char* argv[] = {name, nullptr};
  auto* application = new QApplication(argc, argv);
  // As the viewer shows the dialog.
  skin::ApplyViewerStyle(*application);
}

class SettingDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    env.Set("TARVO_CONFIG_DIR", config.string());
    env.Set("TARVO_DRIVE_TABLE", table.string());
    UseHome(env, temp / "home");
    fs::create_directories(config);
    fs::create_directories(temp / "home");
    WriteAll(table, "");
    EnsureApplication();
    VK_Kovr_Start();
    UseLanguage(0);
  }
  void TearDown() override {
    dialog.reset();
    VK_Kovr_Stop();
    UseLanguage(0);
  }
  static void UseLanguage(int index) {
    ViewerSettings& viewer = TheViewerSettings();
    // Every test starts from the defaults, whatever an earlier OK stored.
    void* library = viewer.languageLibrary;
    viewer = ViewerSettings{};
    viewer.languageLibrary = library;
    viewer.language = index;
    LoadLanguageLibrary(viewer);
  }
  void WriteOptions(const std::string& options) { WriteAll(config / "option.ini", "[OPTION]\r\n" + options); }
  ImageCard AddCard(const std::string& name, uint64_t size = 120 * kMiB, bool formatted = true) {
    const ImageCard card = AddImageCard(temp.Path(), name, size, formatted);
    tableText += TableLine(card);
    WriteAll(table, tableText);
    return card;
  }
  CSettingDlg& Open() {
    // The main window reads option.ini when it starts; the dialog shows that record.
    ReadSettings(config / "option.ini", TheViewerSettings());
    dialog = std::make_unique<CSettingDlg>(&host, nullptr);
    dialog->askUser = [this](const QString& text, QMessageBox::StandardButtons buttons) {
      asked.push_back(text.toStdString());
      if (answers.empty()) return (buttons & QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::No;
      const QMessageBox::StandardButton answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    };
    return *dialog;
  }
  template <typename T = QWidget>
  T* Control(int id) {
    T* control = FindControl<T>(dialog.get(), id);
    EXPECT_NE(nullptr, control) << "control " << id;
    return control;
  }
  QComboBox* List(int id) { return Control<QComboBox>(id); }
  void ChooseCard(int index) { List(CSettingDlg::kIdCard)->setCurrentIndex(index); }
  bool WaitForFormat() {
    if (!dialog->Formatting()) return true;
    QSignalSpy done(dialog.get(), &CSettingDlg::FormatFinished);
    return done.wait(60000);
  }

  testsupport::TempFolder temp;
  fs::path config = temp / "config";
  fs::path table = temp / "drives.txt";
  std::string tableText;
  EnvScope env;
  TestHost host;
  std::unique_ptr<CSettingDlg> dialog;
  std::vector<std::string> asked;
  std::vector<QMessageBox::StandardButton> answers;
};

TEST_F(SettingDialog, OpensAt900By710WithTitleAndTemplateIds) {
  Open();
  EXPECT_EQ(QSize(900, 710), dialog->size());
  EXPECT_EQ("Settings", dialog->windowTitle().toStdString());
  EXPECT_EQ("Format", Control<QPushButton>(CSettingDlg::kIdFormat)->text().toStdString());
  EXPECT_EQ(1, List(CSettingDlg::kIdModel)->count());
  EXPECT_EQ("Tarvo", List(CSettingDlg::kIdModel)->currentText().toStdString());
  EXPECT_EQ(20, List(CSettingDlg::kIdYear)->count());
  EXPECT_EQ("2011", List(CSettingDlg::kIdYear)->itemText(0).toStdString());
  EXPECT_FALSE(List(CSettingDlg::kIdYear)->isEnabled()) << "clock lists wait for the clock box";
  EXPECT_FALSE(List(CSettingDlg::kIdParkingMode)->isEnabled());
  EXPECT_EQ(2, List(CSettingDlg::kIdParkingMode)->count());
  EXPECT_EQ(0, List(CSettingDlg::kIdFrameRate)->count());
  EXPECT_EQ("11.9V", List(CSettingDlg::kIdCutOff)->currentText().toStdString());
  EXPECT_TRUE(Control<QRadioButton>(CSettingDlg::kId12V)->isChecked());
  EXPECT_EQ(1, Control<QSlider>(CSettingDlg::kIdJumpStep)->minimum());
  EXPECT_EQ(10, Control<QSlider>(CSettingDlg::kIdJumpStep)->maximum());
  EXPECT_EQ(-1, List(CSettingDlg::kIdCard)->currentIndex());
  EXPECT_TRUE(Control<QWidget>(1127)->isHidden());
}

TEST_F(SettingDialog, CardWithoutSetupCfgResetsTheDeviceHalfAndLeavesTheViewerHalf) {
  WriteOptions("SAVE_DIRECTORY=/captures/here\r\nPLAY_VALUE=8\r\nREAR_MIRROR=1\r\n");
  const ImageCard card = AddCard("cam");
  Open();
  EXPECT_EQ("/captures/here", Control<QLineEdit>(CSettingDlg::kIdCaptureFolder)->text().toStdString());
  EXPECT_EQ(8, Control<QSlider>(CSettingDlg::kIdJumpStep)->value());
  EXPECT_EQ("8", Control<QLabel>(CSettingDlg::kIdJumpValue)->text().toStdString());
  List(CSettingDlg::kIdAccTrigger)->setCurrentIndex(6);
  List(CSettingDlg::kIdSpeaker)->setCurrentIndex(0);
  Control<QCheckBox>(CSettingDlg::kIdAudio)->setChecked(false);
  Control<QRadioButton>(CSettingDlg::kId24V)->click();
  Control<QSlider>(CSettingDlg::kIdJumpStep)->setValue(2);
  ASSERT_EQ(1, List(CSettingDlg::kIdCard)->count());
  EXPECT_EQ("(" + card.root.string() + "/)", List(CSettingDlg::kIdCard)->itemText(0).toStdString());
  ChooseCard(0);
  EXPECT_EQ(3, List(CSettingDlg::kIdAccTrigger)->currentIndex());
  EXPECT_EQ(3, List(CSettingDlg::kIdSpeaker)->currentIndex());
  EXPECT_TRUE(Control<QCheckBox>(CSettingDlg::kIdAudio)->isChecked());
  EXPECT_TRUE(Control<QRadioButton>(CSettingDlg::kId12V)->isChecked());
  EXPECT_EQ("11.9V", List(CSettingDlg::kIdCutOff)->currentText().toStdString());
  EXPECT_EQ("/captures/here", Control<QLineEdit>(CSettingDlg::kIdCaptureFolder)->text().toStdString());
  EXPECT_EQ(2, Control<QSlider>(CSettingDlg::kIdJumpStep)->value());
  EXPECT_EQ("2", Control<QLabel>(CSettingDlg::kIdJumpValue)->text().toStdString());
  EXPECT_TRUE(Control<QCheckBox>(CSettingDlg::kIdRearMirror)->isChecked());
}

// A model the list does not hold once left the dialog without a model: the card's
// set-up was neither read nor written. It is the one model now.
TEST_F(SettingDialog, AModelIndexOutsideTheListIsTheOneModelAndTheCardIsReadAsUsual) {
  WriteOptions("MODEL=2147483647\r\n");
  const ImageCard card = AddCard("cam");
  const std::string setup =
      "Product Name            : Tarvo\r\nH/W Version             : V1.0.0\r\n"
      "S/W Version             : V1.00\r\nAcc Trigger Level       : 6\r\n";
  WriteAll(card.root / "setup.cfg", setup);
  Open();
  EXPECT_EQ(0, List(CSettingDlg::kIdModel)->currentIndex());
  EXPECT_EQ(5, List(CSettingDlg::kIdLcdOff)->count());
  EXPECT_EQ(6, List(CSettingDlg::kIdSpeaker)->count());
  ChooseCard(0);
  EXPECT_EQ(6, List(CSettingDlg::kIdAccTrigger)->currentIndex()) << "read from the card";
  dialog->OnOk();
  EXPECT_EQ(QDialog::Accepted, dialog->result());
  EXPECT_NE(std::string::npos, ReadAll(config / "option.ini").find("MODEL=0\r\n"));
}

TEST_F(SettingDialog, TwentyFourVoltsWithElevenNineSelectedSelectsTwentyThreeEight) {
  Open();
  ASSERT_EQ("11.9V", List(CSettingDlg::kIdCutOff)->currentText().toStdString());
  QTest::mouseClick(Control<QRadioButton>(CSettingDlg::kId24V), Qt::LeftButton);
  EXPECT_TRUE(Control<QRadioButton>(CSettingDlg::kId24V)->isChecked());
  EXPECT_EQ("23.8V", List(CSettingDlg::kIdCutOff)->currentText().toStdString());
  EXPECT_EQ(7, List(CSettingDlg::kIdCutOff)->count());
}

TEST_F(SettingDialog, OkWithoutCardAnsweredCancelStaysOpenAndWritesNothing) {
  AddCard("cam");
  Open();
  dialog->show();
  answers = {QMessageBox::Cancel};
  QTest::mouseClick(Control<QPushButton>(CSettingDlg::kIdOk), Qt::LeftButton);
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("No memory card is selected.\nOnly the viewer settings will be saved.", asked[0]);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(fs::exists(config / "option.ini"));
  answers = {QMessageBox::Ok};
  QTest::mouseClick(Control<QPushButton>(CSettingDlg::kIdOk), Qt::LeftButton);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(QDialog::Accepted, dialog->result());
  // The viewer keeps the language and the speed unit it runs with.
  const std::string ini = ReadAll(config / "option.ini");
  EXPECT_NE(std::string::npos, ini.find("LANGUAGE=0\r\n"));
  EXPECT_NE(std::string::npos, ini.find("SPEED=0\r\n"));
  EXPECT_EQ(0, TheViewerSettings().language);
}

TEST_F(SettingDialog, TheLanguageListNamesEachLanguageInItselfAndOkStoresTheChoice) {
  WriteOptions("LANGUAGE=6\r\nSPEED=1\r\n");
  UseLanguage(6);
  Open();
  QComboBox* languages = List(CSettingDlg::kIdLanguage);
  ASSERT_EQ(12, languages->count());
  EXPECT_EQ(QStringLiteral("English"), languages->itemText(0));
  EXPECT_EQ(QStringLiteral("한국어"), languages->itemText(1));
  EXPECT_EQ(QStringLiteral("Русский"), languages->itemText(10));
  EXPECT_EQ(6, languages->currentIndex());
  languages->setCurrentIndex(2);
  answers = {QMessageBox::Ok};
  dialog->OnOk();
  EXPECT_EQ(QDialog::Accepted, dialog->result());
  const std::string ini = ReadAll(config / "option.ini");
  EXPECT_NE(std::string::npos, ini.find("LANGUAGE=2\r\n"));
  EXPECT_NE(std::string::npos, ini.find("SPEED=1\r\n"));
  EXPECT_EQ(2, TheViewerSettings().language);
  EXPECT_TRUE(TheViewerSettings().speedInMiles);
  // The library of the new language is loaded at once.
  EXPECT_EQ("Sprache", LanguageString(kStrSettingLanguageGroup));
}

TEST_F(SettingDialog, TheUnitAndTheZoneAreShownAndOkStoresTheChoice) {
  const std::string savedZone = TheViewerSettings().timeZone;
  WriteOptions("SPEED=1\r\nTIME_ZONE=Europe/Berlin\r\n");
  Open();
  QComboBox* zones = List(CSettingDlg::kIdZone);
  auto* kmh = Control<QRadioButton>(CSettingDlg::kIdKmh);
  auto* mph = Control<QRadioButton>(CSettingDlg::kIdMph);
  EXPECT_EQ(QStringLiteral("Camera clock (UTC+9)"), zones->itemText(0));
  EXPECT_EQ(QStringLiteral("Europe/Berlin"), zones->currentText());
  EXPECT_TRUE(mph->isChecked());
  EXPECT_FALSE(kmh->isChecked());
  // The unit buttons are a pair of their own: the voltage buttons keep their state.
  const bool volt12 = Control<QRadioButton>(CSettingDlg::kId12V)->isChecked();
  kmh->click();
  EXPECT_FALSE(mph->isChecked());
  EXPECT_EQ(volt12, Control<QRadioButton>(CSettingDlg::kId12V)->isChecked());
  zones->setCurrentIndex(zones->findText(QStringLiteral("Asia/Seoul")));
  answers = {QMessageBox::Ok};
  dialog->OnOk();
  std::string ini = ReadAll(config / "option.ini");
  EXPECT_NE(std::string::npos, ini.find("SPEED=0\r\nTIME_ZONE=Asia/Seoul\r\n"));
  EXPECT_FALSE(TheViewerSettings().speedInMiles);
  EXPECT_EQ("Asia/Seoul", TheViewerSettings().timeZone);
  // Back to the camera's clock: no zone is stored. A zone this system lacks stays.
  WriteOptions("TIME_ZONE=Mars/Olympus\r\n");
  Open();
  zones = List(CSettingDlg::kIdZone);
  EXPECT_EQ(QStringLiteral("Mars/Olympus"), zones->currentText());
  zones->setCurrentIndex(0);
  answers = {QMessageBox::Ok};
  dialog->OnOk();
  ini = ReadAll(config / "option.ini");
  EXPECT_NE(std::string::npos, ini.find("TIME_ZONE=\r\n"));
  TheViewerSettings().timeZone = savedZone;
}

TEST_F(SettingDialog, OkWithCardWritesSetupCfgAndTimeCfgByteForByte) {
  const ImageCard card = AddCard("cam");
  Open();
  ChooseCard(0);
  QTest::mouseClick(Control<QCheckBox>(CSettingDlg::kIdClockBox), Qt::LeftButton);
  ASSERT_TRUE(List(CSettingDlg::kIdYear)->isEnabled());
  List(CSettingDlg::kIdYear)->setCurrentText("2012");
  List(CSettingDlg::kIdMonth)->setCurrentText("03");
  List(CSettingDlg::kIdDay)->setCurrentText("07");
  List(CSettingDlg::kIdHour)->setCurrentText("09");
  List(CSettingDlg::kIdMinute)->setCurrentText("05");
  List(CSettingDlg::kIdSecond)->setCurrentText("30");
  List(CSettingDlg::kIdAccTrigger)->setCurrentIndex(5);
  dialog->OnOk();
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(QDialog::Accepted, dialog->result());
  EXPECT_EQ(
      "Product Name            : Tarvo\r\nH/W Version             : V1.0.0\r\n"
      "S/W Version             : V1.00\r\nAcc Trigger Level       : 5\r\n"
      "REC Video Qulity        : 3\r\nREC Audio Enable        : 1\r\n"
      "SPK Vol                 : 3\r\nVideo Channles          : 2\r\n"
      "Car Battery Volt        : 0\r\nBattery CutOff Volt     : 3\r\n"
      "Power Off Timer         : 2\r\nLCD Off Time            : 1\r\n",
      ReadAll(card.root / "setup.cfg"));
  EXPECT_EQ("12/03/07\r\n09/05/30\r\n", ReadAll(card.root / "time.cfg"));
}

TEST_F(SettingDialog, OkSaysWhichFilesCouldNotBeWrittenAndWhyAndKeepsTheRest) {
  const ImageCard card = AddCard("cam");
  WriteOptions("LANGUAGE=0\r\n");
  Open();
  ChooseCard(0);
  QTest::mouseClick(Control<QCheckBox>(CSettingDlg::kIdClockBox), Qt::LeftButton);
  {
    const testsupport::ReadOnlyFolder lockedCard(card.root);
    const testsupport::ReadOnlyFolder lockedConfig(config);
    dialog->OnOk();
  }
  EXPECT_EQ(asked,
            (std::vector<std::string>{"The dashcam settings could not be written to " +
                                          (card.root / "setup.cfg").string() + ".\nWriting there is not permitted.",
                                      "The dashcam clock could not be written to " + (card.root / "time.cfg").string() +
                                          ".\nWriting there is not permitted.",
                                      "The settings could not be saved in " + (config / "option.ini").string() +
                                          ".\nWriting there is not permitted."}));
  EXPECT_FALSE(fs::exists(card.root / "setup.cfg"));
  EXPECT_EQ(ReadAll(config / "option.ini"), "[OPTION]\r\nLANGUAGE=0\r\n");
}

TEST_F(SettingDialog, CardOf128GigabytesIsNotListed) {
  AddCard("big", 128'000'000'000ull, false);
  const ImageCard small = AddCard("small");
  Open();
  ASSERT_EQ(1, List(CSettingDlg::kIdCard)->count());
  EXPECT_EQ("(" + small.root.string() + "/)", List(CSettingDlg::kIdCard)->itemText(0).toStdString());
}

TEST_F(SettingDialog, CardListFollowsTheDriveTable) {
  const ImageCard first = AddCard("first");
  Open();
  ChooseCard(0);
  ASSERT_EQ(1, List(CSettingDlg::kIdCard)->count());
  AddCard("second");
  QTRY_COMPARE_WITH_TIMEOUT(List(CSettingDlg::kIdCard)->count(), 2, 5000);
  EXPECT_EQ(0, List(CSettingDlg::kIdCard)->currentIndex()) << "the chosen card stays chosen";
  tableText.clear();
  WriteAll(table, "");
  QTRY_COMPARE_WITH_TIMEOUT(List(CSettingDlg::kIdCard)->count(), 0, 5000);
  EXPECT_EQ(nullptr, dialog->Model().SelectedCard());
}

TEST_F(SettingDialog, EscapeClosesAndWritesNothing) {
  const ImageCard card = AddCard("cam");
  Open();
  dialog->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
  ChooseCard(0);
  QTest::keyClick(dialog.get(), Qt::Key_Escape);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(QDialog::Rejected, dialog->result());
  EXPECT_FALSE(fs::exists(config / "option.ini"));
  EXPECT_FALSE(fs::exists(card.root / "setup.cfg"));
  EXPECT_TRUE(asked.empty());
}

TEST_F(SettingDialog, EnterIsOkAndAskedWithoutACard) {
  Open();
  dialog->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
  answers = {QMessageBox::Cancel};
  QTest::keyClick(dialog.get(), Qt::Key_Return);
  EXPECT_EQ(1u, asked.size());
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_FALSE(fs::exists(config / "option.ini"));
}

TEST_F(SettingDialog, FormatAnsweredNoChangesNothing) {
  const ImageCard card = AddCard("cam");
  WriteAll(card.root / "setup.cfg", "kept");
  const std::vector<unsigned char> before = testsupport::ReadBytesAt(card.image, 0, 4 * kMiB);
  Open();
  ChooseCard(0);
  answers = {QMessageBox::No};
  QTest::mouseClick(Control<QPushButton>(CSettingDlg::kIdFormat), Qt::LeftButton);
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("All data on the memory card will be erased.\nFormat the card now?", asked[0]);
  EXPECT_FALSE(dialog->Formatting());
  EXPECT_EQ(before, testsupport::ReadBytesAt(card.image, 0, 4 * kMiB));
  EXPECT_EQ("kept", ReadAll(card.root / "setup.cfg"));
}

TEST_F(SettingDialog, FormattingTheListedCardClearsTheMainWindowsList) {
  const ImageCard card = AddCard("cam");
  const ImageCard other = AddCard("other");
  WriteAll(card.root / "setup.cfg", "Product Name            : Tarvo\r\n");
  host.loaded = card.root.string();  // without the slash: roots compare alike
  Open();
  dialog->show();
  ChooseCard(0);
  answers = {QMessageBox::Yes, QMessageBox::Ok};
  dialog->FormatCard();
  EXPECT_TRUE(dialog->Formatting());
  EXPECT_EQ(Qt::WaitCursor, QApplication::overrideCursor() ? QApplication::overrideCursor()->shape() : Qt::ArrowCursor);
  QWidget* notice = dialog->findChild<QWidget*>(QStringLiteral("FormatBusyNotice"));
  ASSERT_NE(nullptr, notice);
  EXPECT_TRUE(notice->isVisible());
  QTest::keyClick(dialog.get(), Qt::Key_Escape);
  dialog->reject();
  EXPECT_TRUE(dialog->isVisible()) << "a format in progress keeps its dialog";
  ASSERT_TRUE(WaitForFormat());
  EXPECT_EQ(nullptr, QApplication::overrideCursor());
  ASSERT_EQ(2u, asked.size());
  EXPECT_EQ("The memory card has been formatted.", asked[1]);
  EXPECT_EQ(1, host.clears);
  EXPECT_EQ("Tarvo(" + card.root.string() + "/)", List(CSettingDlg::kIdCard)->itemText(0).toStdString())
      << "the list shows the new label";
  EXPECT_EQ(0, List(CSettingDlg::kIdCard)->currentIndex());
  EXPECT_EQ("Product Name            : Tarvo\r\n", ReadAll(card.root / "setup.cfg"));
  const fs::path back = temp / "back.cfg";
  ASSERT_TRUE(CopyOutOfFat(card.image, 2048 * 512, "setup.cfg", back));
  EXPECT_EQ("Product Name            : Tarvo\r\n", ReadAll(back));
  // Another card formatted leaves the main window's list alone.
  host.loaded = card.root.string() + "/";
  ChooseCard(1);
  ASSERT_EQ(other.image.string(), dialog->Model().SelectedCard()->physicalPath);
  answers = {QMessageBox::Yes, QMessageBox::Ok};
  dialog->FormatCard();
  ASSERT_TRUE(WaitForFormat());
  EXPECT_EQ(1, host.clears);
  EXPECT_EQ(card.root.string() + "/", host.loaded);
}

TEST_F(SettingDialog, FormatFailingHalfWaySaysWhereTheFilesAre) {
  const ImageCard card = AddCard("small", 64 * kMiB, false);
  WriteAll(card.root / "setup.cfg", "kept settings");
  host.loaded = card.root.string();
  Open();
  ChooseCard(0);
  answers = {QMessageBox::Yes, QMessageBox::Ok};
  dialog->FormatCard();
  ASSERT_TRUE(WaitForFormat());
  const device::FormatOutcome& out = dialog->LastFormatOutcome();
  ASSERT_EQ(2u, asked.size());
  EXPECT_EQ(
      "Formatting failed (1004)\n\nThe card's files could not be put back on the card. They are kept in this "
      "folder:\n" +
          out.keptFolder.string(),
      asked[1]);
  EXPECT_EQ(config / "format-keep", out.keptFolder.parent_path());
  EXPECT_EQ("kept settings", ReadAll(out.keptFolder / "setup.cfg"));
  EXPECT_EQ(0, host.clears);
}

TEST_F(SettingDialog, PlainCardAsksAgainBeforeItsVolumeIsFormatted) {
  const ImageCard card = AddCard("plain", 120 * kMiB, false);
  Open();
  // Without a model a card without the card file system is formatted plain.
  List(CSettingDlg::kIdModel)->setCurrentIndex(-1);
  ChooseCard(0);
  answers = {QMessageBox::Yes, QMessageBox::No};
  dialog->FormatCard();
  ASSERT_EQ(2u, asked.size());
  EXPECT_EQ(
      "Format the volume " + card.root.string() + "/ with FAT32 and the label \"\"?\nAll data on it will be erased.",
      asked[1]);
  EXPECT_FALSE(dialog->Formatting());
  EXPECT_EQ("", device::ReadVolumeLabel(card.image.string()));
}

// Screenshots for the eye: every text must fit its control.
TEST_F(SettingDialog, LcdOffKeepsItsTextAndTheIconIsSet) {
  UseLanguage(2);
  WriteOptions("LANGUAGE=2\r\n");
  Open();
  EXPECT_EQ("LCD OFF", Control<QGroupBox>(1068)->title().toStdString()) << "in every language";
  EXPECT_EQ("LCD OFF", Control<QLabel>(1101)->text().toStdString());
  EXPECT_FALSE(dialog->windowIcon().isNull());
  EXPECT_EQ(QSize(64, 64), dialog->windowIcon().pixmap(64, 64).size());
}

TEST_F(SettingDialog, CardGoneWhileTheQuestionIsOpenStopsTheFormatCleanly) {
  const ImageCard card = AddCard("cam");
  const std::vector<unsigned char> before = testsupport::ReadBytesAt(card.image, 0, 4 * kMiB);
  Open();
  ChooseCard(0);
  // The user answers only after the card has gone and the list was built again (the
  // entry the question was about is freed by then).
  dialog->askUser = [this](const QString& text, QMessageBox::StandardButtons) {
    asked.push_back(text.toStdString());
    if (asked.size() == 1) {
      WriteAll(table, "");
      EXPECT_TRUE(QTest::qWaitFor([this] { return List(CSettingDlg::kIdCard)->count() == 0; }, 5000));
      return QMessageBox::Yes;
    }
    return QMessageBox::Ok;
  };
  dialog->FormatCard();
  EXPECT_FALSE(dialog->Formatting());
  ASSERT_EQ(2u, asked.size());
  EXPECT_EQ("The memory card can no longer be reached. Check that it is still inserted.", asked[1]);
  EXPECT_EQ(before, testsupport::ReadBytesAt(card.image, 0, 4 * kMiB));
}

// Cards of the desktop's disk service: put in and taken out while the dialog is open,
// a refused open, and a card formatted through a descriptor alone.
TEST_F(SettingDialog, DiskServiceCardsComeGoAreRefusedAndFormatThroughTheService) {
  if (const std::string missing = testsupport::MockDiskService::Missing(); !missing.empty()) GTEST_SKIP() << missing;
  testsupport::MockDiskService service;
  if (!service.Ready()) GTEST_SKIP() << "the mock disk service did not start";
  env.Set("TARVO_DRIVE_TABLE", "");
  env.Set("TARVO_DISK_ACCESS", "service");
  const ImageCard card = AddImageCard(temp.Path(), "svc", 120 * kMiB, true);
  const std::string spec = "{'Image': <'" + card.image.string() +
                           "'>, 'Size': <uint64 125829120>, 'MediaRemovable': <true>, 'Partitions': "
                           "<[{'Number': <uint32 1>, 'IdType': <'vfat'>, 'IdLabel': <'CAM'>}, "
                           "{'Number': <uint32 2>, 'Type': <'0x4b'>}]>";
  Open();
  EXPECT_EQ(0, List(CSettingDlg::kIdCard)->count());
  ASSERT_TRUE(service.AddDisk("sdx", spec + "}"));
  QTRY_COMPARE_WITH_TIMEOUT(List(CSettingDlg::kIdCard)->count(), 1, 5000);
  EXPECT_EQ("CAM(/dev/sdx)", List(CSettingDlg::kIdCard)->itemText(0).toStdString());
  ChooseCard(0);
  // Taken out while the question is open.
  dialog->askUser = [&](const QString& text, QMessageBox::StandardButtons) {
    asked.push_back(text.toStdString());
    if (asked.size() == 1) {
      service.RemoveDisk("sdx");
      EXPECT_TRUE(QTest::qWaitFor([this] { return List(CSettingDlg::kIdCard)->count() == 0; }, 5000));
      return QMessageBox::Yes;
    }
    return QMessageBox::Ok;
  };
  dialog->FormatCard();
  ASSERT_EQ(2u, asked.size());
  EXPECT_EQ("The memory card can no longer be reached. Check that it is still inserted.", asked[1]);
  EXPECT_FALSE(dialog->Formatting());

  // Put in (again), chosen and formatted, answering Yes: what the format said.
  const auto formatAfterPlugging = [&](const std::string& extra) {
    EXPECT_TRUE(service.AddDisk("sdx", spec + extra + "}"));
    EXPECT_TRUE(QTest::qWaitFor([this] { return List(CSettingDlg::kIdCard)->count() == 1; }, 5000));
    ChooseCard(0);
    asked.clear();
    answers = {QMessageBox::Yes, QMessageBox::Ok};
    dialog->FormatCard();
    EXPECT_TRUE(WaitForFormat());
    return asked.size() == 2 ? asked[1] : std::string("<asked ") + std::to_string(asked.size()) + " times>";
  };
  // The user may not open it.
  Open();
  const std::string refused = formatAfterPlugging(", 'Refuse': <true>");
  EXPECT_EQ(0u, refused.find("The system refused access to the memory card /dev/sdx.")) << refused;
  EXPECT_FALSE(dialog->LastFormatOutcome().successful);

  // And one it may: partitions, card file system and FAT all through descriptors.
  ASSERT_TRUE(service.RemoveDisk("sdx"));
  EXPECT_EQ("The memory card has been formatted.", formatAfterPlugging(""));
  EXPECT_TRUE(dialog->LastFormatOutcome().successful);
  std::string label;
  ASSERT_TRUE(Shell(
      "MTOOLS_SKIP_CHECK=1 mlabel -s -i '" + card.image.string() + "@@" + std::to_string(2048 * 512) + "' ::", &label));
  EXPECT_NE(std::string::npos, label.find("arvo")) << label;
}

TEST_F(SettingDialog, ScreenshotsInEnglishGermanAndKorean) {
  AddCard("cam");
  const fs::path folder = fs::path(TARVO_BINARY_DIR) / "screenshots";
  fs::create_directories(folder);
  const std::pair<int, const char*> languages[] = {{0, "en"}, {2, "de"}, {1, "ko"}};
  for (const auto& [index, code] : languages) {
    UseLanguage(index);
    WriteOptions("LANGUAGE=" + std::to_string(index) +
                 "\r\nPLAY_VALUE=5\r\nSAVE_DIRECTORY=/home/user/Documents/CAM_CAPTURE\r\n");
    Open();
    ChooseCard(0);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    const QPixmap shot = dialog->grab();
    EXPECT_EQ(QSize(900, 710), shot.size());
    const fs::path file = folder / (std::string("setting-dlg-") + code + ".png");
    EXPECT_TRUE(shot.save(QString::fromStdString(file.string())));
    dialog.reset();
  }
}

}  // namespace
