// The history combo over a real INI profile: what it loads, what it writes, and Enter
// in its edit field.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "picker/CHistoryCombo.h"
#include "picker/SettingsProfileStore.h"
#include "tests/picker/PickerTestSupport.h"
#include "tests/support/ScopedEnv.h"

namespace {

using pickertest::ReadHistory;
using pickertest::TempFolder;
using pickertest::WriteHistory;
using Values = std::map<std::string, std::string>;

class HistoryComboTest : public ::testing::Test {
 protected:
  static CHistoryCombo* MakeCombo() {
    pickertest::EnsureApplication();
    return new CHistoryCombo;
  }
  void SetUp() override {
    combo.section = QStringLiteral("FolderHistory");
    combo.keyPrefix = QStringLiteral("Folder");
    combo.saveLast = true;
    combo.SetMaxItems(50);
  }
  QString File() const { return QString::fromStdString((folder / "profile.ini").string()); }

  TempFolder folder;
  std::unique_ptr<CHistoryCombo> owned{MakeCombo()};
  CHistoryCombo& combo = *owned;
};

QStringList ToList(const std::vector<std::string>& paths) {
  QStringList out;
  for (const std::string& path : paths) out << QString::fromStdString(path);
  return out;
}

TEST_F(HistoryComboTest, LoadShowsTheStoredListAndTheFirstItemInTheEdit) {
  const std::vector<std::string> ten = pickertest::NumberedPaths("/r", 10);
  WriteHistory(File(), ten, ten[3]);
  QSettings profile(File(), QSettings::IniFormat);
  combo.LoadHistory(profile);
  EXPECT_EQ(combo.Items(), ToList(ten));
  EXPECT_EQ(combo.currentIndex(), 3);
  EXPECT_EQ(combo.currentText(), QStringLiteral("/r/folder0"));
}

TEST_F(HistoryComboTest, SaveWritesTheNewFolderFirstAndSelectsIt) {
  const std::vector<std::string> ten = pickertest::NumberedPaths("/r", 10);
  WriteHistory(File(), ten, ten[0]);
  {
    QSettings profile(File(), QSettings::IniFormat);
    combo.LoadHistory(profile);
    combo.setEditText(QStringLiteral("/r/new"));
    combo.SaveHistory(profile);
  }
  Values expected{{"Folder", "/r/new"}, {"Folder0000", "/r/new"}};
  for (int i = 0; i < 10; ++i) {
    expected["Folder" + QStringLiteral("%1").arg(i + 1, 4, 10, QLatin1Char('0')).toStdString()] = ten[i];
  }
  EXPECT_EQ(ReadHistory(File()), expected);
  EXPECT_EQ(combo.count(), 11);
  EXPECT_EQ(combo.currentIndex(), 0);
  EXPECT_EQ(combo.currentText(), QStringLiteral("/r/new"));
}

TEST_F(HistoryComboTest, ProfileFileHasTheSectionAndKeyNamesAsWritten) {
  {
    QSettings profile(File(), QSettings::IniFormat);
    combo.setEditText(QStringLiteral("/media/card"));
    combo.SaveHistory(profile);
  }
  std::ifstream in(folder / "profile.ini");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "[FolderHistory]\nFolder=/media/card\nFolder0000=/media/card\n");
}

TEST_F(HistoryComboTest, NonAsciiFolderNamesSurviveTheProfile) {
  const std::string korean = "/home/user/\xEB\xB8\x94\xEB\x9E\x99\xEB\xB0\x95\xEC\x8A\xA4 2026";
  {
    QSettings profile(File(), QSettings::IniFormat);
    combo.setEditText(QString::fromStdString(korean));
    combo.SaveHistory(profile);
  }
  CHistoryCombo again;
  again.section = combo.section;
  again.keyPrefix = combo.keyPrefix;
  again.saveLast = true;
  again.SetMaxItems(50);
  QSettings profile(File(), QSettings::IniFormat);
  again.LoadHistory(profile);
  ASSERT_EQ(again.count(), 1);
  EXPECT_EQ(again.itemText(0).toStdString(), korean);
}

TEST_F(HistoryComboTest, MoreThanFiftyStoredShowsFiftyAndSavingDeletesTheRest) {
  const std::vector<std::string> sixty = pickertest::NumberedPaths("/r", 60);
  WriteHistory(File(), sixty);
  QSettings profile(File(), QSettings::IniFormat);
  combo.LoadHistory(profile);
  EXPECT_EQ(combo.count(), 50);
  combo.setEditText(QStringLiteral("/r/folder20"));
  combo.SaveHistory(profile);
  profile.sync();
  const Values stored = ReadHistory(File());
  EXPECT_EQ(stored.size(), 51u);  // Folder0000..Folder0049 and Folder
  EXPECT_EQ(stored.at("Folder0000"), "/r/folder20");
  EXPECT_EQ(stored.at("Folder0001"), "/r/folder0");
  EXPECT_EQ(stored.at("Folder0021"), "/r/folder21");
  EXPECT_EQ(stored.at("Folder0049"), "/r/folder49");
  EXPECT_EQ(stored.count("Folder0050"), 0u);
  EXPECT_EQ(stored.count("Folder0059"), 0u);
}

TEST_F(HistoryComboTest, LoweringTheMaximumDeletesItemsBeyondIt) {
  combo.addItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")});
  combo.SetMaxItems(2);
  EXPECT_EQ(combo.Items(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
  EXPECT_EQ(combo.MaxItems(), 2);
}

TEST_F(HistoryComboTest, EnterConfirmsTheTypedTextWithoutAddingAnItem) {
  QSignalSpy confirmed(&combo, &CHistoryCombo::PathConfirmed);
  combo.show();
  combo.setEditText(QStringLiteral("/typed/path"));
  QTest::keyClick(combo.lineEdit(), Qt::Key_Return);
  QTest::keyClick(combo.lineEdit(), Qt::Key_Enter);
  ASSERT_EQ(confirmed.count(), 2);
  EXPECT_EQ(confirmed.at(0).at(0).toString(), QStringLiteral("/typed/path"));
  EXPECT_EQ(combo.count(), 0);
  EXPECT_EQ(combo.currentText(), QStringLiteral("/typed/path"));
}

TEST(ProfileLocation, DefaultProfileSitsInTheConfigFolder) {
  pickertest::EnsureApplication();
  const std::string name = QCoreApplication::applicationName().toStdString() + ".ini";
  EXPECT_EQ(picker::DefaultProfileFile().toStdString(), std::string(std::getenv("TARVO_CONFIG_DIR")) + "/" + name);
  testsupport::ScopedEnv forced("TARVO_CONFIG_DIR", nullptr);
  EXPECT_EQ(picker::DefaultProfileFile().toStdString(),
            std::string(std::getenv("XDG_CONFIG_HOME")) + "/tarvo-viewer/" + name);
}

}  // namespace
