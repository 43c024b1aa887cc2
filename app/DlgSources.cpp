// Where recordings come from: the Open command with the folder picker, drops on the
// window and the list, paths from the command line, the loading dialog's fill of the
// file list, and saving a copy of a card recording.

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>
#include <utility>

#include "app/CDezirureDovuriDlg.h"
#include "app/DlgIds.h"
#include "app/WindowDialogs.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbListCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/ControlEvents.h"
#include "controls/LanguageMessageBox.h"
#include "device/CardFormatter.h"
#include "playback/CPlayer.h"
#include "settings/LanguageLibrary.h"
#include "settings/StringIds.h"
#include "sources/CFileLoadDlg.h"
#include "sources/RecordingCollection.h"

using app::DlgItem;
using playback::kStatePaused;
using playback::kStateRunning;

namespace {

// Roots and picked folders compare with one "/" at the end, however they were typed.
std::string WithSlash(std::string path) {
  if (path.empty() || path.back() != '/') path += '/';
  return path;
}

}  // namespace

int CDezirureDovuriDlg::SourceIndexFor(const std::string& path) {
  const int count = collection->EnumerateSources();
  // Every source but the last (the folder item) is a drive or card by its root.
  for (int i = 0; i + 1 < count; ++i) {
    if (WithSlash(collection->sources[static_cast<std::size_t>(i)].root) == WithSlash(path)) return i;
  }
  return count - 1;
}

void CDezirureDovuriDlg::RunLoadingDialog(int mode, const std::string& sourceLabel) {
  loadDlg->mode = mode;
  loadDlg->sourceLabel = sourceLabel;
  loadDlg->Run();
}

bool CDezirureDovuriDlg::OpenDroppedPaths(const std::vector<std::string>& paths) {
  if (busy || paths.empty()) return false;
  const std::int32_t state = player->state();
  interrupted = {};
  if (state == kStateRunning || state == kStatePaused) {
    // The recording stops before the drop opens anything (a card opened now replaces
    // the connection it may be reading through); it is taken up again where it was
    // when the drop opens nothing.
    interrupted = {CurrentRow(), static_cast<std::int64_t>(player->GetPosition()), state == kStatePaused};
    player->Stop();
    player->Close();
  }
  EmptyTempFolder();
  const int index = SourceIndexFor(paths.front());
  sourceOpened = collection->OpenSourceWithDrop(index, paths);
  RunLoadingDialog(CFileLoadDlg::kModeDrop, paths.front());
  return sourceOpened;
}

bool CDezirureDovuriDlg::OpenPickedPaths(const std::vector<std::string>& paths) {
  if (paths.empty()) return false;
  const int index = SourceIndexFor(paths.front());
  sourceOpened = collection->OpenSourceWithChoice(index, paths);
  RunLoadingDialog(CFileLoadDlg::kModeOpen, paths.front());
  return sourceOpened;
}

void CDezirureDovuriDlg::OpenCommand() {
  bool& active = commandActive[kCommandOpen];
  if (active) return;
  active = true;
  // Playback stays paused: whatever is chosen replaces what plays.
  PauseForDialog();
  const std::vector<std::string> chosen = dialogs->PickFolders(this, languageIndex);
  if (!chosen.empty()) OpenPickedPaths(chosen);
  active = false;
}

void CDezirureDovuriDlg::OnFilesDropped(const QStringList& paths) {
  std::vector<std::string> dropped;
  for (const QString& path : paths) dropped.push_back(path.toStdString());
  OpenDroppedPaths(dropped);
}

void CDezirureDovuriDlg::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && !busy) event->acceptProposedAction();
}

void CDezirureDovuriDlg::dropEvent(QDropEvent* event) {
  QStringList paths;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  OnFilesDropped(paths);
}

int CDezirureDovuriDlg::FillFileList(const std::string& sourceLabel) {
  if (!sourceOpened) {
    // Nothing new to show: the recordings listed before stay as they are, and the one
    // a drop stopped plays on from where it was. A card the system would not open
    // says why.
    const drives::AccessError& problem = collection->openProblem;
    if (problem.problem != drives::AccessProblem::kNone)
      ShowMessage(this, QString::fromStdString(device::AccessMessage(problem, collection->openProblemDevice,
                                                                     [](int n) { return LanguageString(n); })));
    else
      ShowLanguageMessage(this, kStrNoRecordings);
    PostPrivateMessage(this, kMsgRepaintFilters, 0);
    ResumeInterrupted();
    return 0;
  }
  interrupted = {};
  QApplication::setOverrideCursor(Qt::WaitCursor);
  constexpr DlgItem kFilters[] = {DlgItem::FilterAll, DlgItem::FilterNormal, DlgItem::FilterEvent,
                                  DlgItem::FilterParking};
  for (DlgItem filter : kFilters) Button(filter)->enabled = false;
  CBbListCtrl* list = FileList();
  const int rows = collection->ListAll(*list);
  // Routes kept from the source before may name other files now.
  tripRoutes.clear();
  ShowTrips();
  if (rows == 0) {
    QApplication::restoreOverrideCursor();
    ClearRecordings();
    return 0;
  }
  // The root of the source the list came from (a card's mount point or device), or the
  // path chosen: formatting that card must drop the list.
  const SourceEntry* source = collection->CurrentSource();
  loadedDrive = source && source->kind != kSourceChosenFiles ? source->root : sourceLabel;
  // typePresent: [0] any row, [1] normal, [2] event, [3] parking.
  for (int i = 0; i < 4; ++i) {
    CBbButtonCtrl* button = Button(kFilters[i]);
    button->enabled = collection->typePresent[i] != 0;
    button->selected = i == 0;
    button->Redraw();
  }
  StopAndClear(true);
  list->SelectRow(0);
  list->setFocus();
  list->EnsureVisible(0);
  list->update();
  LoadItem(0);
  PostPrivateMessage(this, kMsgRepaintFilters, 0);
  QApplication::restoreOverrideCursor();
  return rows;
}

void CDezirureDovuriDlg::ResumeInterrupted() {
  const Interrupted was = std::exchange(interrupted, {});
  if (was.row < 0 || was.row >= FileList()->GetItemCount()) return;
  LoadItem(was.row, was.positionMs, was.paused);
}

void CDezirureDovuriDlg::SaveCopyOfRow(int row) {
  if (!collection->EntryForRow(row)) return;
  const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  const QString suggested = desktop + QStringLiteral("/") + QString::fromStdString(collection->SuggestedCopyName(row));
  const QString filter = QStringLiteral("video(*.%1)").arg(QString::fromStdString(collection->defaultExtension));
  const QString destination = dialogs->ChooseSaveFile(this, suggested, filter);
  if (destination.isEmpty()) return;
  int error = 0;
  if (!collection->SaveRecordingCopy(row, destination.toStdString(), &error))
    ShowWriteFailure(this, kStrRecordingNotSaved, destination.toStdString(), error);
}
