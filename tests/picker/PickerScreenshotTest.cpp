// Pictures of the picker in English and Korean (<build>/screenshots/picker-*.png), and
// the layout they must show: the history row where the file-name row was, under the
// folder view, with the OK button at its right end and Cancel below it.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QFileSystemModel>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <filesystem>
#include <fstream>

#include "controls/ControlId.h"
#include "picker/CHistoryCombo.h"
#include "picker/CXFolderDialog.h"
#include "tests/picker/PickerTestSupport.h"

namespace {

namespace fs = std::filesystem;

QRect InDialog(const QWidget* widget, const QWidget* dialog) {
  return QRect(widget->mapTo(dialog, QPoint(0, 0)), widget->size());
}

void ShootPicker(int language, const std::string& fileName) {
  pickertest::EnsureApplication();
  pickertest::TempFolder folder;
  const fs::path shown = folder / "DCIM";
  for (const char* day : {"2026-12-08", "2026-12-09", "EVENT", "PARKING"}) fs::create_directories(shown / day);
  for (const char* clip : {"REC_20261208_091500_2.avi", "REC_20261208_091600_2.avi", "EVT_20261208_091742_2.avi",
                           "PRK_20261208_123000_1.avi"}) {
    std::ofstream(shown / clip) << "clip";
  }
  std::ofstream(shown / "readme.txt") << "hidden by the filter";
  fs::create_directories(folder / "card");
  pickertest::DriveTableScope table(folder / "drives.txt", {(folder / "card").string() + "|/dev/sdc|removable"});
  const QString profile = QString::fromStdString((folder / "profile.ini").string());
  pickertest::WriteHistory(profile, {shown.string(), (folder / "card").string(), "/home/user/Videos/dashcam"},
                           shown.string());

  CXFolderDialog picker(nullptr, language);
  picker.profileFile = profile;
  picker.resize(760, 460);
  picker.show();
  auto* view = picker.findChild<QAbstractItemView*>(QStringLiteral("listView"));
  ASSERT_NE(view, nullptr);
  auto* model = qobject_cast<QFileSystemModel*>(view->model());
  ASSERT_NE(model, nullptr);
  const QModelIndex root = model->index(QString::fromStdString(shown.string()));
  ASSERT_TRUE(pickertest::WaitFor([&] { return model->rowCount(root) >= 8; }));
  pickertest::WaitFor([] { return false; }, 300);  // icons and the sidebar settle

  const QImage image = picker.grab().toImage();
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), picker.size() * image.devicePixelRatio());
  const fs::path out = pickertest::ScreenshotFolder() / fileName;
  ASSERT_TRUE(image.save(QString::fromStdString(out.string()), "PNG"));
  EXPECT_GT(fs::file_size(out), 1000u);

  const QRect list = InDialog(picker.findChild<QWidget*>(QStringLiteral("splitter")), &picker);
  const QRect label = InDialog(FindControl<QLabel>(&picker, CXFolderDialog::kIdHistoryLabel), &picker);
  const QRect combo = InDialog(picker.HistoryCombo(), &picker);
  const QRect ok = InDialog(FindControl<QPushButton>(&picker, CXFolderDialog::kIdOk), &picker);
  const QRect cancel = InDialog(FindControl<QPushButton>(&picker, CXFolderDialog::kIdCancel), &picker);
  EXPECT_GT(combo.top(), list.bottom());
  EXPECT_LT(label.right(), combo.left());
  EXPECT_LT(combo.right(), ok.left());
  EXPECT_GT(combo.width(), picker.width() / 2);
  // One row: the label, the combo and OK share their middle line within a few pixels.
  EXPECT_LE(std::abs(label.center().y() - combo.center().y()), 4);
  EXPECT_LE(std::abs(ok.center().y() - combo.center().y()), 4);
  EXPECT_GT(cancel.top(), ok.bottom());
  EXPECT_EQ(cancel.left(), ok.left());
  EXPECT_TRUE(picker.rect().contains(cancel));
  EXPECT_GE(picker.findChild<QWidget*>(QStringLiteral("sidebar"))->width(), 150);
}

TEST(PickerScreenshot, English) { ShootPicker(0, "picker-en.png"); }

TEST(PickerScreenshot, Korean) { ShootPicker(1, "picker-ko.png"); }

}  // namespace
