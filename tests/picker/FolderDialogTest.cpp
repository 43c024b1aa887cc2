// The folder picker as the user meets it: its controls and texts, the selection that
// follows navigation, typed paths, the refusal of a fixed disk's root and the history
// it keeps. Dialogs are shown without a nested event loop and confirmed through OnOK.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <memory>

#include "controls/ControlId.h"
#include "picker/CHistoryCombo.h"
#include "picker/CXFolderDialog.h"
#include "tests/picker/PickerTestSupport.h"

namespace {

namespace fs = std::filesystem;
using pickertest::ReadHistory;
using pickertest::WaitFor;
using pickertest::WriteHistory;
using Paths = std::vector<std::string>;

class FolderDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pickertest::EnsureApplication();
    recordings = (folder / "recordings").string();
    dayOne = recordings + "/2026-12-08";
    dayTwo = recordings + "/2026-12-09";
    clip = recordings + "/REC_20261208_091500_2.avi";
    fixed = (folder / "fixed").string();
    card = (folder / "card").string();
    for (const std::string& dir : {dayOne, dayTwo, fixed, card}) fs::create_directories(dir);
    std::ofstream(clip) << "clip";
    std::ofstream(recordings + "/notes.txt") << "not a recording";
    table = std::make_unique<pickertest::DriveTableScope>(
        folder / "drives.txt", Paths{fixed + "|/dev/sda|system", card + "|/dev/sdc|removable"});
  }
  void TearDown() override {
    dialog.reset();
    table.reset();
  }

  QString Profile() const { return QString::fromStdString((folder / "profile.ini").string()); }

  CXFolderDialog& Open(int language = 0) {
    dialog = std::make_unique<CXFolderDialog>(nullptr, language);
    dialog->profileFile = Profile();
    dialog->show();
    return *dialog;
  }
  QAbstractItemView* View() const { return dialog->findChild<QAbstractItemView*>(QStringLiteral("listView")); }
  QFileSystemModel* Model() const { return qobject_cast<QFileSystemModel*>(View()->model()); }

  // Moves the dialog into `path` and waits until the folder is listed.
  void GoTo(const std::string& path) {
    QFileSystemModel* model = Model();
    bool loaded = false;
    const auto watch = QObject::connect(model, &QFileSystemModel::directoryLoaded, [&](const QString& done) {
      if (done == QString::fromStdString(path)) loaded = true;
    });
    dialog->setDirectory(QString::fromStdString(path));
    WaitFor([&] { return loaded; }, 3000);
    QObject::disconnect(watch);
  }
  // The view's order is the model's row order once its delayed sort has run: folders
  // by name, then files.
  bool WaitSorted() {
    auto row = [&](const std::string& path) { return Model()->index(QString::fromStdString(path)).row(); };
    return WaitFor([&] { return row(dayOne) < row(dayTwo) && row(dayTwo) < row(clip); });
  }
  void Select(const Paths& paths) {
    QItemSelectionModel* selectionModel = View()->selectionModel();
    selectionModel->clearSelection();
    for (const std::string& path : paths) {
      selectionModel->select(Model()->index(QString::fromStdString(path)),
                             QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }
  void Type(const std::string& text) {
    CHistoryCombo* combo = dialog->HistoryCombo();
    combo->setEditText(QString::fromStdString(text));
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
  }
  std::string EditText() const { return dialog->HistoryCombo()->currentText().toStdString(); }
  std::string Directory() const { return dialog->directory().absolutePath().toStdString(); }
  QMessageBox* SelectError() const { return dialog->findChild<QMessageBox*>(QStringLiteral("SelectError")); }

  pickertest::TempFolder folder;
  std::unique_ptr<pickertest::DriveTableScope> table;
  std::unique_ptr<CXFolderDialog> dialog;
  std::string recordings, dayOne, dayTwo, clip, fixed, card;
};

TEST_F(FolderDialogTest, ControlsKeepTheirIdsAndTheStandardRowsAreHidden) {
  CXFolderDialog& picker = Open();
  auto* label = FindControl<QLabel>(&picker, CXFolderDialog::kIdHistoryLabel);
  auto* combo = FindControl<CHistoryCombo>(&picker, CXFolderDialog::kIdHistoryCombo);
  auto* ok = FindControl<QPushButton>(&picker, CXFolderDialog::kIdOk);
  auto* cancel = FindControl<QPushButton>(&picker, CXFolderDialog::kIdCancel);
  ASSERT_NE(label, nullptr);
  ASSERT_NE(combo, nullptr);
  ASSERT_NE(ok, nullptr);
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(combo, picker.HistoryCombo());
  EXPECT_TRUE(combo->isEditable());
  EXPECT_TRUE(label->isVisible());
  EXPECT_TRUE(combo->isVisible());
  EXPECT_TRUE(ok->isVisible());
  EXPECT_TRUE(cancel->isVisible());
  EXPECT_TRUE(ok->isDefault());
  for (const char* name : {"fileNameLabel", "fileNameEdit", "fileTypeLabel", "fileTypeCombo"}) {
    QWidget* standard = picker.findChild<QWidget*>(QString::fromUtf8(name));
    ASSERT_NE(standard, nullptr) << name;
    EXPECT_FALSE(standard->isVisible()) << name;
  }
  auto* buttons = picker.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
  ASSERT_NE(buttons, nullptr);
  EXPECT_FALSE(buttons->button(QDialogButtonBox::Open)->isVisible());
  picker.resize(700, 450);
  EXPECT_FALSE(buttons->button(QDialogButtonBox::Open)->isVisible());
  EXPECT_FALSE(picker.findChild<QWidget*>(QStringLiteral("fileNameEdit"))->isVisible());
}

TEST_F(FolderDialogTest, FiltersAviFilesAndAllowsSeveralChoices) {
  CXFolderDialog& picker = Open();
  EXPECT_TRUE(picker.testOption(QFileDialog::DontUseNativeDialog));
  // Qt keeps the filter without its leading blank.
  EXPECT_EQ(picker.nameFilters(), QStringList{QStringLiteral("avi (*.avi)")});
  EXPECT_EQ(picker.fileMode(), QFileDialog::ExistingFiles);
  EXPECT_EQ(View()->selectionMode(), QAbstractItemView::ExtendedSelection);
  GoTo(recordings);
  QFileSystemModel* model = Model();
  const QModelIndex root = model->index(QString::fromStdString(recordings));
  const auto* list = qobject_cast<const QListView*>(View());
  ASSERT_TRUE(WaitFor([&] { return model->rowCount(root) >= 3; }));
  QStringList shown;
  for (int row = 0; row < model->rowCount(root); ++row) {
    const QModelIndex item = model->index(row, 0, root);
    if (list && list->isRowHidden(row)) continue;
    // Files outside the filter stay in the model but are disabled or hidden.
    if (!model->fileInfo(item).isDir() && !(model->flags(item) & Qt::ItemIsEnabled)) continue;
    shown << model->fileName(item);
  }
  shown.sort();
  EXPECT_EQ(shown, (QStringList{QStringLiteral("2026-12-08"), QStringLiteral("2026-12-09"),
                                QStringLiteral("REC_20261208_091500_2.avi")}));
}

TEST_F(FolderDialogTest, CaptionsComeFromTheLanguageAsked) {
  {
    CXFolderDialog& picker = Open(0);
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("Open"));
    EXPECT_EQ(FindControl<QLabel>(&picker, CXFolderDialog::kIdHistoryLabel)->text(), QStringLiteral("Recent folders:"));
    EXPECT_EQ(FindControl<QPushButton>(&picker, CXFolderDialog::kIdOk)->text(), QStringLiteral("Select"));
  }
  {
    CXFolderDialog& picker = Open(1);
    EXPECT_EQ(picker.windowTitle().toStdString(), "\xEC\x97\xB4\xEA\xB8\xB0");
    EXPECT_EQ(FindControl<QLabel>(&picker, CXFolderDialog::kIdHistoryLabel)->text().toStdString(),
              "\xEC\xB5\x9C\xEA\xB7\xBC \xED\x8F\xB4\xEB\x8D\x94:");
    EXPECT_EQ(FindControl<QPushButton>(&picker, CXFolderDialog::kIdOk)->text().toStdString(),
              "\xEC\x84\xA0\xED\x83\x9D");
  }
}

TEST_F(FolderDialogTest, TitleReplacesTheOpenCaption) {
  dialog = std::make_unique<CXFolderDialog>(nullptr, 0);
  dialog->profileFile = Profile();
  dialog->title = QStringLiteral("Choose the card folder");
  dialog->show();
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Choose the card folder"));
}

TEST_F(FolderDialogTest, SelectionIsTheCurrentFolderAfterNavigation) {
  Open();
  GoTo(recordings);
  EXPECT_EQ(dialog->Selection(), Paths{recordings});
  EXPECT_EQ(dialog->ChosenFolder(), recordings);
  EXPECT_EQ(EditText(), recordings);
  GoTo(dayTwo);
  EXPECT_EQ(dialog->Selection(), Paths{dayTwo});
  EXPECT_EQ(EditText(), dayTwo);
}

TEST_F(FolderDialogTest, SelectionIsEachSelectedItemAndFallsBackToTheFolder) {
  Open();
  GoTo(recordings);
  ASSERT_TRUE(WaitSorted());
  Select({dayTwo, dayOne, clip});
  EXPECT_EQ(dialog->Selection(), (Paths{dayOne, dayTwo, clip}));
  EXPECT_EQ(dialog->ChosenFolder(), dayOne);
  EXPECT_EQ(EditText(), clip);  // each path is shown as it is added: the last stays
  Select({dayTwo});
  EXPECT_EQ(dialog->Selection(), Paths{dayTwo});
  EXPECT_EQ(EditText(), dayTwo);
  View()->selectionModel()->clearSelection();
  EXPECT_EQ(dialog->Selection(), Paths{recordings});
  EXPECT_EQ(EditText(), recordings);
}

TEST_F(FolderDialogTest, TypedExistingFolderMovesTheDialogThere) {
  Open();
  GoTo(recordings);
  Type(dayOne);
  EXPECT_EQ(Directory(), dayOne);
  EXPECT_EQ(dialog->Selection(), Paths{dayOne});
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), 0);
  Type("  ../2026-12-09/ ");  // relative to where the dialog is, with stray blanks
  EXPECT_EQ(Directory(), dayTwo);
  EXPECT_EQ(dialog->Selection(), Paths{dayTwo});
  EXPECT_EQ(EditText(), dayTwo);
}

TEST_F(FolderDialogTest, EnterOnTheComboItselfMovesTheDialogAndDoesNotConfirmIt) {
  // A real keyboard gives the focus to the combo, which gets the key before its edit.
  Open();
  GoTo(recordings);
  CHistoryCombo* combo = dialog->HistoryCombo();
  combo->setEditText(QString::fromStdString(dayOne));
  QTest::keyClick(combo, Qt::Key_Return);
  EXPECT_EQ(Directory(), dayOne);
  EXPECT_EQ(dialog->Selection(), Paths{dayOne});
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), 0);
}

TEST_F(FolderDialogTest, TypedMissingPathIsIgnored) {
  Open();
  GoTo(recordings);
  Type(recordings + "/no-such-folder");
  EXPECT_EQ(Directory(), recordings);
  EXPECT_EQ(dialog->Selection(), Paths{recordings});
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), 0);
  EXPECT_FALSE(fs::exists(Profile().toStdString()));
}

TEST_F(FolderDialogTest, TypedFileMovesToItsFolderAndSelectsIt) {
  Open();
  GoTo(dayOne);
  Type(clip);
  EXPECT_EQ(Directory(), recordings);
  EXPECT_TRUE(WaitFor([&] { return dialog->Selection() == Paths{clip}; }));
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(FolderDialogTest, OkOnTheFileSystemRootShowsSelectErrorAndStaysOpen) {
  Open();
  GoTo("/");
  ASSERT_EQ(dialog->Selection(), Paths{"/"});
  EXPECT_FALSE(dialog->OnOK());
  QMessageBox* box = SelectError();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(), QStringLiteral("Select error"));
  EXPECT_TRUE(box->isVisible());
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), 0);
  EXPECT_FALSE(fs::exists(Profile().toStdString()));
  box->accept();
  EXPECT_TRUE(WaitFor([&] { return SelectError() == nullptr; }));
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(FolderDialogTest, FixedMountPointIsRefusedAndCardRootAccepted) {
  Open();
  GoTo(fixed);
  EXPECT_FALSE(dialog->OnOK());
  ASSERT_NE(SelectError(), nullptr);
  SelectError()->accept();
  WaitFor([&] { return SelectError() == nullptr; });
  EXPECT_TRUE(dialog->isVisible());

  GoTo(card);
  EXPECT_TRUE(dialog->OnOK());
  EXPECT_EQ(SelectError(), nullptr);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->Selection(), Paths{card});
  EXPECT_EQ(ReadHistory(Profile()), (std::map<std::string, std::string>{{"Folder", card}, {"Folder0000", card}}));
}

TEST_F(FolderDialogTest, OneRootAmongSeveralChosenFoldersRefusesTheChoice) {
  std::error_code ec;
  fs::create_directory_symlink(fixed, recordings + "/fixed-disk", ec);
  ASSERT_FALSE(ec);
  Open();
  GoTo(recordings);
  Select({dayOne, recordings + "/fixed-disk"});
  ASSERT_EQ(dialog->Selection().size(), 2u);
  EXPECT_FALSE(dialog->OnOK());
  EXPECT_NE(SelectError(), nullptr);
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(FolderDialogTest, AcceptFromTheDialogItselfRunsTheSameCheck) {
  Open();
  GoTo("/");
  dialog->accept();  // where a double click on a file or the box's accept ends
  EXPECT_NE(SelectError(), nullptr);
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(FolderDialogTest, DoubleClickOnARecordingChoosesIt) {
  Open();
  GoTo(recordings);
  Select({clip});
  const QModelIndex item = Model()->index(QString::fromStdString(clip));
  emit View()->activated(item);  // what a double click or Enter on the item sends
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(dialog->Selection(), Paths{clip});
}

TEST_F(FolderDialogTest, DoubleClickOnAFolderEntersIt) {
  Open();
  GoTo(recordings);
  Select({dayOne});
  emit View()->activated(Model()->index(QString::fromStdString(dayOne)));
  EXPECT_EQ(Directory(), dayOne);
  EXPECT_EQ(dialog->Selection(), Paths{dayOne});
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(FolderDialogTest, ClickingOkChoosesClickingCancelDoesNot) {
  Open();
  GoTo(card);
  QTest::mouseClick(FindControl<QPushButton>(dialog.get(), CXFolderDialog::kIdOk), Qt::LeftButton);
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_TRUE(fs::exists(Profile().toStdString()));

  fs::remove(Profile().toStdString());
  Open();
  GoTo(dayOne);
  QTest::mouseClick(FindControl<QPushButton>(dialog.get(), CXFolderDialog::kIdCancel), Qt::LeftButton);
  EXPECT_EQ(dialog->result(), QDialog::Rejected);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_FALSE(fs::exists(Profile().toStdString()));
}

TEST_F(FolderDialogTest, DoModalReturnsOneForOkAndTwoForCancel) {
  dialog = std::make_unique<CXFolderDialog>(nullptr, 0);
  dialog->profileFile = Profile();
  dialog->setDirectory(QString::fromStdString(card));
  QTimer::singleShot(50, dialog.get(), [this] { dialog->OnOK(); });
  EXPECT_EQ(dialog->DoModal(), CXFolderDialog::kIdOk);
  EXPECT_EQ(dialog->ChosenFolder(), card);

  dialog = std::make_unique<CXFolderDialog>(nullptr, 0);
  dialog->profileFile = Profile();
  QTimer::singleShot(50, dialog.get(), [this] { dialog->reject(); });
  EXPECT_EQ(dialog->DoModal(), CXFolderDialog::kIdCancel);
}

TEST_F(FolderDialogTest, NewFolderEntersTheHistoryOnTopOfTenStored) {
  const Paths ten = pickertest::NumberedPaths((folder / "gone").string(), 10);
  WriteHistory(Profile(), ten, ten[0]);
  Open();
  EXPECT_EQ(dialog->HistoryCombo()->count(), 10);
  GoTo(dayOne);
  ASSERT_TRUE(dialog->OnOK());
  std::map<std::string, std::string> expected{{"Folder", dayOne}, {"Folder0000", dayOne}};
  for (int i = 0; i < 10; ++i) expected[pickertest::HistoryKey(i + 1)] = ten[i];
  EXPECT_EQ(ReadHistory(Profile()), expected);
}

TEST_F(FolderDialogTest, FolderChosenAgainMovesToTheTop) {
  Paths stored = pickertest::NumberedPaths((folder / "gone").string(), 10);
  stored[4] = dayTwo;
  WriteHistory(Profile(), stored, stored[0]);
  Open();
  GoTo(dayTwo);
  ASSERT_TRUE(dialog->OnOK());
  const std::map<std::string, std::string> history = ReadHistory(Profile());
  EXPECT_EQ(history.size(), 11u);
  EXPECT_EQ(history.at("Folder0000"), dayTwo);
  EXPECT_EQ(history.at("Folder0004"), stored[3]);
  EXPECT_EQ(history.at("Folder0005"), stored[5]);
  EXPECT_EQ(history.at("Folder0009"), stored[9]);
  EXPECT_EQ(history.count("Folder0010"), 0u);
  EXPECT_EQ(dialog->HistoryCombo()->count(), 10);
}

TEST_F(FolderDialogTest, SixtyStoredShowFiftyAndSavingCutsTheProfileToFifty) {
  WriteHistory(Profile(), pickertest::NumberedPaths((folder / "gone").string(), 60));
  Open();
  EXPECT_EQ(dialog->HistoryCombo()->count(), 50);
  GoTo(card);
  ASSERT_TRUE(dialog->OnOK());
  const std::map<std::string, std::string> history = ReadHistory(Profile());
  EXPECT_EQ(history.size(), 51u);
  EXPECT_EQ(history.count("Folder0049"), 1u);
  EXPECT_EQ(history.count("Folder0050"), 0u);
}

TEST_F(FolderDialogTest, SeveralChosenItemsRecordTheLastShownPath) {
  Open();
  GoTo(recordings);
  ASSERT_TRUE(WaitSorted());
  Select({dayOne, dayTwo});
  ASSERT_TRUE(dialog->OnOK());
  EXPECT_EQ(dialog->Selection(), (Paths{dayOne, dayTwo}));
  EXPECT_EQ(ReadHistory(Profile()).at("Folder0000"), dayTwo);
}

TEST_F(FolderDialogTest, OpensInTheMostRecentFolderOfTheHistory) {
  WriteHistory(Profile(), {dayTwo, dayOne}, dayTwo);
  Open();
  EXPECT_EQ(Directory(), dayTwo);
  EXPECT_EQ(dialog->Selection(), Paths{dayTwo});
  EXPECT_EQ(EditText(), dayTwo);
  EXPECT_EQ(dialog->HistoryCombo()->Items(),
            (QStringList{QString::fromStdString(dayTwo), QString::fromStdString(dayOne)}));
}

TEST_F(FolderDialogTest, SidebarOffersTheComputerHomeAndTheCardRootsOnly) {
  // A card root that is gone by the next opening must not stay behind.
  const std::string oldCard = (folder / "old-card").string();
  fs::create_directories(oldCard);
  table.reset();
  {
    pickertest::DriveTableScope before(folder / "before.txt", {oldCard + "|/dev/sdd|removable"});
    CXFolderDialog earlier(nullptr, 0);
    EXPECT_TRUE(earlier.sidebarUrls().contains(QUrl::fromLocalFile(QString::fromStdString(oldCard))));
  }
  table = std::make_unique<pickertest::DriveTableScope>(
      folder / "drives.txt", Paths{fixed + "|/dev/sda|system", card + "|/dev/sdc|removable"});
  Open();
  const QList<QUrl> expected = {QUrl(QStringLiteral("file:")), QUrl::fromLocalFile(QDir::homePath()),
                                QUrl::fromLocalFile(QString::fromStdString(card))};
  EXPECT_EQ(dialog->sidebarUrls(), expected);
}

TEST_F(FolderDialogTest, NothingToChooseInTheComputersListOfDisks) {
  Open();
  GoTo(recordings);
  dialog->setDirectory(QString());
  if (!dialog->Selection().empty()) GTEST_SKIP() << "this Qt shows a real folder for the computer";
  EXPECT_FALSE(dialog->OnOK());
  EXPECT_EQ(SelectError(), nullptr);
  EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
