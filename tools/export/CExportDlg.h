#pragma once
// The export dialog: the marked range, the layout, the facts burned in, the quality
// and where to save; then a progress bar with the time left and Cancel. The export
// runs on a thread of its own (its pipelines below normal priority), so the window
// stays responsive and playback can go on while it runs. At the end the folder that
// holds the clip or the package opens in the file manager. The dialog is modeless,
// one at a time; closing it while an export runs cancels the export.

#include <QDialog>
#include <QPointer>
#include <QString>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "tools/capture/CaptureCommand.h"  // FolderOpener
#include "tools/export/EvidencePackage.h"
#include "tools/export/ExportMarks.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class RecordingCollection;

enum class ExportKind { Clip, Package };

class CExportDlg : public QDialog {
  Q_OBJECT

 public:
  // `request` holds the planned range and the settings' values; `keep` keeps what
  // its card recordings refer to alive as long as the dialog.
  CExportDlg(ExportKind kind, clipexport::ExportRequest request, std::shared_ptr<std::vector<unsigned char>> keep,
             const QString& destination, QWidget* parent, FolderOpener openFolder = OpenFolderInFileManager);
  ~CExportDlg() override;

  ExportKind Kind() const { return kind_; }
  QString Destination() const;
  void SetDestination(const QString& path);
  // The choices as the export will take them.
  clipexport::ExportRequest Choices() const;
  void SetChoices(clipexport::Layout layout, const clipexport::OverlayFields& fields, clipexport::Quality quality);

  // Where the finished export's folder is shown (tests keep the file manager shut).
  void SetFolderOpener(FolderOpener openFolder) { openFolder_ = std::move(openFolder); }

  // What the Export and Cancel buttons do.
  void StartExport();
  void CancelExport();
  bool Running() const { return running_; }
  // The outcome of the last export (valid once Finished was emitted).
  const clipexport::ExportOutcome& Outcome() const { return outcome_; }
  // The text under the progress bar.
  QString StatusText() const;

 signals:
  void Finished(bool ok);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void Browse();
  void OnProgress(const clipexport::ExportProgress& progress);
  void OnDone(const clipexport::ExportOutcome& outcome);
  void SetEditable(bool editable);
  void Join();

  ExportKind kind_;
  clipexport::ExportRequest request_;
  std::shared_ptr<std::vector<unsigned char>> keep_;
  FolderOpener openFolder_;

  QComboBox* layout_ = nullptr;
  QCheckBox* time_ = nullptr;
  QCheckBox* speed_ = nullptr;
  QCheckBox* position_ = nullptr;
  QCheckBox* gValues_ = nullptr;
  QComboBox* quality_ = nullptr;
  QLineEdit* destination_ = nullptr;
  QPushButton* browse_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  QPushButton* start_ = nullptr;
  QPushButton* cancel_ = nullptr;

  std::thread worker_;
  std::atomic<bool> cancelFlag_{false};
  bool running_ = false;
  clipexport::ExportOutcome outcome_;
};

// The Export clip... and Export evidence package... commands after the window's
// checks: without both marks the user is told how to set them; a range the
// recordings of `collection`'s list cannot give is refused with the reason;
// otherwise the dialog opens (modeless, deleted when closed) and is returned.
CExportDlg* RunExportCommand(ExportKind kind, const clipexport::ExportMarks& marks, RecordingCollection& collection,
                             QWidget* parent);

// The destination the dialog offers: in the capture folder, named after the range's
// first recording and clock time, "....mp4" or "..._evidence", never one that exists.
QString DefaultExportDestination(ExportKind kind, const clipexport::ExportPlan& plan, const std::string& folder);
