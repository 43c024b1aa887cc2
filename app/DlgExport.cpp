// The main window's part of the export: the start and end marks at the playing
// position (keys I and O, the menu), shown on the seek bar, and the export dialog
// (tools/export/CExportDlg), one at a time.

#include "app/CDezirureDovuriDlg.h"
#include "app/DlgIds.h"
#include "controls/CBbSliderCtrl.h"
#include "playback/CPlayer.h"
#include "sources/RecordingCollection.h"
#include "tools/export/CExportDlg.h"
#include "tools/export/ExportMarks.h"

void CDezirureDovuriDlg::MarkCommand(bool start) {
  const std::int32_t state = player->state();
  if (state != playback::kStateRunning && state != playback::kStatePaused) return;
  const RecordingEntry* entry = collection->EntryForRow(CurrentRow());
  if (!entry) return;
  const auto position = static_cast<std::int32_t>(player->GetPosition());
  if (start)
    exportMarks->SetStart(*entry, position);
  else
    exportMarks->SetEnd(*entry, position);
  ShowExportMarks();
}

void CDezirureDovuriDlg::ShowExportMarks() {
  CBbSliderCtrl* seek = SeekBar();
  const RecordingEntry* entry = collection->EntryForRow(CurrentRow());
  const std::int32_t state = player->state();
  clipexport::MarksOnRecording on;
  if (entry && (state == playback::kStateRunning || state == playback::kStatePaused))
    on = exportMarks->On(*entry, static_cast<std::int32_t>(player->GetDuration()));
  seek->SetMarks(on.start, on.end, on.bandFrom, on.bandTo);
}

void CDezirureDovuriDlg::ExportCommand(bool clip) {
  // The dialog is modeless: playback goes on while it is open and while it exports.
  if (exportDlg) {
    exportDlg->raise();
    exportDlg->activateWindow();
    return;
  }
  exportDlg = RunExportCommand(clip ? ExportKind::Clip : ExportKind::Package, *exportMarks, *collection, this);
}
