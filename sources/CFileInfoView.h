#pragma once
// The card information view: how many recordings of each type the open card holds and
// how many gigabytes they take, and, where the marker file "User.bin" sits beside the
// viewer, a list of every file with its size. Opened from the about box.

#include <QDialog>
#include <filesystem>

#include "sources/FileInformation.h"

class CBbTextCtrl;
class QTreeWidget;
class RecordingCollection;

class CFileInfoView : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kIdList = 1141;
  static constexpr int kIdOk = 1;
  static constexpr int kIdTotal = 1000;
  static constexpr int kIdNormal = 1001;
  static constexpr int kIdEvent = 1002;
  static constexpr int kIdParking = 1003;
  static constexpr int kIdHeading = 1004;
  static constexpr int kKindTotal = 12;
  static constexpr int kKindEvent = 13;
  static constexpr int kKindParking = 14;
  static constexpr int kKindNormal = 15;
  static constexpr int kKindHeading = 16;
  static constexpr int kWideWidth = 634;
  static constexpr int kWideHeight = 742;
  static constexpr int kNarrowWidth = 250;
  static constexpr int kNarrowHeight = 230;

  // `markerFolder` is where "User.bin" is looked for: the viewer's own folder.
  CFileInfoView(fileinfo::FileFigures figures, int languageIndex, QWidget* owner,
                const std::filesystem::path& markerFolder);

  // The about box's card information button: gathers the figures of `set` and runs the
  // view modally over `owner`, or shows the refusal's message (none when no language
  // library loads). The refusal's string number, 0 when the view ran.
  static int ShowFor(const RecordingCollection& set, int languageIndex, QWidget* owner);

  bool ListShown() const { return wide; }
  const fileinfo::FileFigures& Figures() const { return figures; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls(int languageIndex);
  void PlaceControls();
  void FillList();
  void FillRows();
  void CentreOnOwner();

  fileinfo::FileFigures figures;
  bool wide = false;
  QTreeWidget* list = nullptr;
  CBbTextCtrl* heading = nullptr;
  CBbTextCtrl* rows[4] = {};  // total, normal, event, parking
  QWidget* ok = nullptr;
};
