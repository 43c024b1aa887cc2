#pragma once
// The folder picker of the Open command. A file dialog (Qt's own widgets, not the
// desktop's, because it carries a control of ours) that shows folders and the .avi
// recordings in them for orientation, and whose file-name and file-type rows give way
// to a history combo of the folders chosen before. The selection follows the user's
// navigation: the current folder, or the items selected in it (folders or files, one
// or several). OK refuses the root of a fixed disk with "Select error".
//
//   CXFolderDialog picker(this, languageIndex);
//   if (picker.DoModal() == CXFolderDialog::kIdOk) Open(picker.Selection());

#include <QFileDialog>
#include <QString>
#include <string>
#include <vector>

class CHistoryCombo;
class QAbstractItemView;
class QLabel;
class QPushButton;

class CXFolderDialog : public QFileDialog {
  Q_OBJECT

 public:
  // DoModal's results, also the ids of the OK and Cancel buttons.
  static constexpr int kIdOk = 1;
  static constexpr int kIdCancel = 2;
  static constexpr int kIdHistoryLabel = 1001;
  static constexpr int kIdHistoryCombo = 1002;
  static constexpr int kHistoryMaxItems = 50;
  static constexpr const char* kHistorySection = "FolderHistory";
  static constexpr const char* kHistoryKeyPrefix = "Folder";
  static constexpr const char* kFilter = " avi (*.avi)";
  static constexpr const char* kSelectError = "Select error";
  // For the language argument: the texts of the viewer's active language library.
  static constexpr int kActiveLanguage = -1;

  // `languageIndex` chooses the library the captions come from (0 English ... 11
  // Spanish, or kActiveLanguage).
  explicit CXFolderDialog(QWidget* parent = nullptr, int languageIndex = kActiveLanguage);

  // The caption; empty means the language's "Open" text. Read when the dialog shows.
  QString title;
  // The profile the history lives in (DefaultProfileFile() unless changed before the
  // dialog shows); empty keeps no history.
  QString profileFile;

  // Runs the dialog modally: kIdOk when the user confirmed a choice, else kIdCancel.
  int DoModal();

  // The chosen paths (UTF-8): the current folder, or each selected folder or file.
  const std::vector<std::string>& Selection() const { return selection; }
  // The first chosen path; empty when there is none.
  std::string ChosenFolder() const { return selection.empty() ? std::string() : selection.front(); }

  CHistoryCombo* HistoryCombo() const { return historyCombo; }

  // What the OK button does: with a fixed disk's root among the chosen paths, shows
  // "Select error" and stays open (false); otherwise saves the history and closes with
  // OK (true). Also false while nothing is chosen.
  bool OnOK();

  // Double clicks on files and the dialog's own accept paths end here too.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildHistoryRow();
  void HideStandardControls();
  void AddCardPlaces();
  void WidenSidebar();
  void InitDialog();
  void OnFolderChange(const QString& folder);
  void OnSelChange();
  void OnPathConfirmed(const QString& typed);
  void ShowInEdit(const QString& path);
  void ShowSelectError();

  int languageIndex;
  bool initialised = false;
  // The folder the dialog shows; empty for the computer's list of file systems.
  QString currentFolder;
  std::vector<std::string> selection;
  CHistoryCombo* historyCombo = nullptr;
  QLabel* historyLabel = nullptr;
  QPushButton* okButton = nullptr;
  QAbstractItemView* shellView = nullptr;
};
