// The main window's commands: the dispatch by command id, the operations several
// commands share (pause, play, stop and clear, hiding the screens), the speed,
// brightness and volume rules, channel views and type filters.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "app/CAboutDlg.h"
#include "app/CDezirureDovuriDlg.h"
#include "app/ContextMenus.h"
#include "app/DlgIds.h"
#include "app/LoadWorker.h"
#include "app/WindowDialogs.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbListCtrl.h"
#include "controls/CBbScreenCtrl.h"
#include "controls/CBbSimpleSliderCtrl.h"
#include "controls/CBbSliderCtrl.h"
#include "controls/CBbTextCtrl.h"
#include "controls/CBbVolumeCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/ControlEvents.h"
#include "controls/LanguageMessageBox.h"
#include "map/CMapViewWnd.h"
#include "map/MapPlacement.h"
#include "map/MapWindows.h"
#include "playback/CPlayer.h"
#include "settings/StringIds.h"
#include "settings/ViewerSettings.h"
#include "sources/RecordingCollection.h"
#include "sources/RecordingList.h"
#include "telemetry/TelemetrySamples.h"
#include "tools/capture/CaptureFolder.h"
#include "tools/print/PrintCommand.h"

using app::DlgItem;
using playback::kStateEmpty;
using playback::kStatePaused;
using playback::kStateRunning;
using playback::kStateStopped;

namespace {

constexpr int kSliderStep = 10;
constexpr int kMaxVolumePercent = 99;

bool IsOpen(std::int32_t state) { return state != kStateStopped && state != kStateEmpty; }

}  // namespace

void CDezirureDovuriDlg::OnButtonClicked(int id) { OnCommand(id); }

void CDezirureDovuriDlg::OnCommand(int id) {
  // Close and Alt+F4 always work; everything else waits for a running load.
  if (id == app::kIdClose) {
    close();
    return;
  }
  if (busy) return;
  switch (id) {
    case app::kIdOpen:
    case app::kMenuOpen:
      OpenCommand();
      break;
    case app::kIdMerge:
      MergeCommand();
      break;
    case app::kIdCapture:
      CaptureCommand();
      break;
    case app::kIdLayoutToggle:
      ToggleLayout();
      break;
    case app::kIdPrint:
      PrintCommand();
      break;
    case app::kIdSetting:
      SettingCommand();
      break;
    case app::kIdZoom:
      ZoomCommand();
      break;
    case app::kIdAbout:
      ShowAbout();
      break;
    case app::kIdMinimise:
      showMinimized();
      break;
    case app::kIdMaximise:
      ToggleMaximise();
      break;
    case app::kIdPrevious:
    case app::kMenuPrevious:
      PreviousCommand();
      break;
    case app::kIdRewind:
      if (player->state() == kStateRunning) SeekBy(-static_cast<std::int64_t>(TheViewerSettings().playValue) * 1000);
      break;
    case app::kIdPlay:
      PlayCommand();
      break;
    case app::kIdPause:
      if (player->state() == kStateRunning) PausePlayback();
      break;
    case app::kIdFastForward:
      if (player->state() == kStateRunning) SeekBy(static_cast<std::int64_t>(TheViewerSettings().playValue) * 1000);
      break;
    case app::kIdNext:
    case app::kMenuNext:
      NextCommand();
      break;
    case app::kIdSpeedReset:
    case app::kMenuSpeedReset: {
      keyRate = 0.0f;
      auto* time = TimeText();
      time->speedFactor = 1.0f;
      time->update();
      if (IsOpen(player->state())) player->SetRate(1.0f);
      SpeedSlider()->setValue(app::kSliderCentre);
      ApplyVolumeLevel();
      break;
    }
    case app::kIdBrightnessReset:
    case app::kMenuBrightnessReset:
      if (IsOpen(player->state())) player->SetBrightness(0);
      BrightnessSlider()->setValue(app::kSliderCentre);
      break;
    case app::kIdMute:
    case app::kMenuMute:
      ToggleMute();
      break;
    case app::kMenuKeyHelp:
      ShowKeyHelp();
      break;
    case app::kIdMapButton:
      MapCommand();
      break;
    case app::kIdFilterAll:
    case app::kIdFilterEvent:
    case app::kIdFilterNormal:
    case app::kIdFilterParking:
      TypeFilter(id);
      break;
    case app::kMenuFilterAll:
      TypeFilter(app::kIdFilterAll);
      break;
    case app::kMenuFilterEvent:
      TypeFilter(app::kIdFilterEvent);
      break;
    case app::kMenuFilterNormal:
      TypeFilter(app::kIdFilterNormal);
      break;
    case app::kMenuFilterParking:
      TypeFilter(app::kIdFilterParking);
      break;
    case app::kIdFront:
      ApplyChannelView(1);
      break;
    case app::kIdRear:
      ApplyChannelView(2);
      break;
    case app::kIdBoth:
      ApplyChannelView(3);
      break;
    case app::kMenuPlayPause:
      if (player->state() == kStateRunning) {
        PausePlayback();
      } else if (player->state() == kStatePaused) {
        StartPlayback();
      }
      break;
    case app::kMenuDarken:
      StepSlider(DlgItem::BrightnessSlider, -kSliderStep);
      break;
    case app::kMenuBrighten:
      StepSlider(DlgItem::BrightnessSlider, kSliderStep);
      break;
    case app::kMenuFaster:
      StepSlider(DlgItem::SpeedSlider, kSliderStep);
      break;
    case app::kMenuSlower:
      StepSlider(DlgItem::SpeedSlider, -kSliderStep);
      break;
    case app::kMenuVolumeUp:
      StepVolume(1);
      break;
    case app::kMenuVolumeDown:
      StepVolume(-1);
      break;
    case app::kMenuMarkStart:
    case app::kMenuMarkEnd:
      MarkCommand(id == app::kMenuMarkStart);
      break;
    case app::kMenuExportClip:
    case app::kMenuExportPackage:
      ExportCommand(id == app::kMenuExportClip);
      break;
    default:
      break;
  }
}

// --- the shared operations ---

void CDezirureDovuriDlg::PausePlayback() {
  player->Pause();
  StopPositionTimer();
  // The time text goes over to milliseconds at once.
  UpdatePosition();
  Item(DlgItem::Play)->show();
  Item(DlgItem::Pause)->hide();
}

void CDezirureDovuriDlg::StartPlayback() {
  player->Play();
  StartPositionTimer();
  Item(DlgItem::Pause)->show();
  Item(DlgItem::Play)->hide();
}

bool CDezirureDovuriDlg::PauseForDialog() {
  if (player->state() != kStateRunning) return false;
  PausePlayback();
  return true;
}

void CDezirureDovuriDlg::SetNeedsRecordingEnabled(bool enabled) {
  for (DlgItem item : {DlgItem::Merge, DlgItem::Capture, DlgItem::Print, DlgItem::Previous, DlgItem::Rewind,
                       DlgItem::Play, DlgItem::FastForward, DlgItem::Next}) {
    CBbButtonCtrl* button = Button(item);
    // Merge copies card recordings only.
    button->enabled = enabled && (item != DlgItem::Merge || collection->sourceKind == kSourceCard);
    button->Redraw();
  }
  Item(DlgItem::SeekBar)->setEnabled(enabled);
}

void CDezirureDovuriDlg::StopAndClear(bool hideScreens) {
  DropStandby();
  if (hideScreens) HideScreens();
  const std::int32_t state = player->state();
  if (state == kStateRunning || state == kStatePaused) player->Stop();
  // Timer 1 keeps running: its next tick finds the player stopped and shows 0.
  EmptyTempFolder();
  Item(DlgItem::Play)->show();
  Item(DlgItem::Pause)->hide();
  auto* seek = SeekBar();
  seek->setValue(0);
  seek->update();
  SetNeedsRecordingEnabled(false);
}

void CDezirureDovuriDlg::HideScreens() {
  Item(DlgItem::FrontScreen)->hide();
  Item(DlgItem::RearScreen)->hide();
  frontVisible = false;
  rearVisible = false;
  update();
}

void CDezirureDovuriDlg::ClearRecordings() {
  if (player->state() == kStateRunning) PausePlayback();
  loadedDrive.clear();
  StopAndClear(true);
  // The pause stopped timer 1; its next tick shows the time of no recording, 0.
  StartPositionTimer();
  for (DlgItem filter : {DlgItem::FilterAll, DlgItem::FilterEvent, DlgItem::FilterNormal, DlgItem::FilterParking}) {
    Button(filter)->enabled = false;
  }
  FileList()->DeleteAllItems();
  FileList()->SetHighlightRow(-1);
  rowTrips.clear();
  currentName.clear();
  ShowLanguageMessage(this, kStrNoRecordings);
  PostPrivateMessage(this, kMsgRepaintFilters, 0);
}

// --- commands ---

void CDezirureDovuriDlg::CloseCommand() {
  DropStandby();
  const std::int32_t state = player->state();
  if (state == kStateRunning || state == kStatePaused) {
    player->Stop();
    player->Close();
  }
  StopPositionTimer();
  EmptyTempFolder();
}

void CDezirureDovuriDlg::PreviousCommand() {
  const int index = CurrentRow();
  if (index == 0) return;
  StopAndClear(false);
  if (FileList()->GetItemCount() == 0 || index - 1 < 0) {
    HideScreens();
    return;
  }
  SelectAndLoad(index - 1);
}

void CDezirureDovuriDlg::NextCommand() {
  const int index = CurrentRow();
  const int count = FileList()->GetItemCount();
  if (index >= count - 1) return;
  StopAndClear(false);
  if (count == 0 || index < 0) {
    HideScreens();
    return;
  }
  SelectAndLoad(index + 1);
}

bool CDezirureDovuriDlg::SelectAndLoad(int row) {
  CBbListCtrl* list = FileList();
  if (row < 0 || row >= list->GetItemCount()) return false;
  list->SelectRow(row);
  list->EnsureVisible(row);
  LoadItem(row);
  return true;
}

void CDezirureDovuriDlg::PlayCommand() {
  const std::int32_t state = player->state();
  if (state == kStatePaused) {
    StartPlayback();
    return;
  }
  if (state != kStateStopped && state != kStateEmpty) return;
  // Stopped: the current row plays again from the start.
  const int row = CurrentRow() >= 0 ? CurrentRow() : FileList()->GetSelectedRow();
  if (row < 0 || FileList()->GetItemText(row, kColumnPath).empty()) return;
  LoadItem(row);
}

void CDezirureDovuriDlg::SeekBy(std::int64_t deltaMs) {
  const auto position = static_cast<std::int64_t>(player->GetPosition());
  const auto duration = static_cast<std::int64_t>(player->GetDuration());
  const std::int64_t target = std::clamp<std::int64_t>(position + deltaMs, 0, std::max<std::int64_t>(duration, 0));
  player->Seek(static_cast<std::int32_t>(target));
  UpdatePosition();
}

void CDezirureDovuriDlg::ShowAbout() {
  bool& active = commandActive[kCommandAbout];
  if (active) return;
  active = true;
  const bool resume = PauseForDialog();
  CAboutDlg about(languageIndex, collection.get(), this);
  if (about.exec() == QDialog::Accepted && TheViewerSettings().rearMirror && player->videoChannels() > 1 &&
      IsOpen(player->state())) {
    player->SetRearMirror(true);
  }
  if (resume) StartPlayback();
  active = false;
}

void CDezirureDovuriDlg::MergeCommand() {
  if (collection->sourceKind != kSourceCard) return;
  bool& active = commandActive[kCommandMerge];
  if (active) return;
  active = true;
  const bool resume = PauseForDialog();
  SaveCopyOfRow(CurrentRow() >= 0 ? CurrentRow() : FileList()->GetSelectedRow());
  if (resume) StartPlayback();
  active = false;
}

void CDezirureDovuriDlg::PrintCommand() {
  const std::int32_t state = player->state();
  if (state != kStateRunning && state != kStatePaused) return;
  bool& active = commandActive[kCommandPrint];
  if (active) return;
  active = true;
  PausePlayback();
  // A frame step or seek still on its way: the report shows its picture.
  player->WaitUntilSettled(app::kSettleForStill);
  // Without any printer the report goes to a PDF file named after the recording, in
  // the capture folder (as still captures find it); the dialog offers it and the box
  // says why.
  if (!PrinterAvailable()) ShowLanguageMessage(this, kStrPrintNoPrinter);
  const std::string name = currentName.empty() ? FileList()->GetItemText(CurrentRow(), kColumnFileName) : currentName;
  int settingsError = 0;
  const std::string folder = ResolveCaptureFolder(TheViewerSettings(), SettingsFilePath(), &settingsError);
  if (settingsError != 0) ShowWriteFailure(this, kStrSettingsNotSaved, SettingsFilePath().string(), settingsError);
  const QString pdf =
      folder.empty()
          ? QString()
          : QDir(QString::fromStdString(folder))
                .filePath(QFileInfo(QString::fromStdString(name)).completeBaseName() + QStringLiteral(".pdf"));
  // The map's picture goes on page 2 when the map shows a position.
  const QImage snapshot = mapPageLoaded && gpsPresent ? mapWindows->View()->MapSnapshot() : QImage();
  const PrintResult printed =
      RunPrintCommand(*player, player->videoChannels(), static_cast<std::int32_t>(player->GetPosition()), telemetry,
                      TheViewerSettings(), snapshot, pdf, this,
                      [this](QPrinter& printer, QWidget* parent) { return dialogs->ChoosePrinter(printer, parent); });
  if (printed.outcome == PrintOutcome::Failed) ShowLanguageMessage(this, kStrPrintFailed);
  if (printed.outcome == PrintOutcome::FileNotWritten)
    ShowWriteFailure(this, kStrReportNotSaved, printed.file, printed.writeError);
  active = false;
}

void CDezirureDovuriDlg::SettingCommand() {
  bool& active = commandActive[kCommandSetting];
  if (active) return;
  active = true;
  const bool resume = PauseForDialog();
  const bool confirmed = dialogs->RunSettings(*this, this);
  if (confirmed) {
    ViewerSettings& settings = TheViewerSettings();
    if (player->videoChannels() > 1 && IsOpen(player->state())) player->SetRearMirror(settings.rearMirror);
    ChangeLanguage(settings.language);
    RefindSeekMarkers();
  }
  if (resume && FileList()->GetItemCount() > 0) StartPlayback();
  active = false;
}

void CDezirureDovuriDlg::MapCommand() {
  SetMapPlacement(mapview::kPlacementOwnWindow);
  for (DlgItem item : {DlgItem::MapButton, DlgItem::MapCaption, DlgItem::CoordText}) Item(item)->hide();
}

// --- speed, brightness, volume ---

void CDezirureDovuriDlg::ApplySpeedSlider() {
  const float factor = keyRate > 0 ? keyRate : SpeedSlider()->SpeedFactor();
  auto* time = TimeText();
  time->speedFactor = factor;
  time->update();
  if (IsOpen(player->state())) player->SetRate(factor);
  // Sound far from its own pace is noise: 1/8, 1/4, 4 and 8 times are silent.
  ApplyVolumeLevel();
}

void CDezirureDovuriDlg::StepRate(int direction) {
  const float current = keyRate > 0 ? keyRate : SpeedSlider()->SpeedFactor();
  float next = current;
  if (direction > 0) {
    for (float rate : app::kKeyRates)
      if (rate > current * 1.001f) {
        next = rate;
        break;
      }
  } else {
    for (auto rate = std::rbegin(app::kKeyRates); rate != std::rend(app::kKeyRates); ++rate)
      if (*rate < current * 0.999f) {
        next = *rate;
        break;
      }
  }
  if (next == current) return;
  keyRate = next;
  ApplySpeedSlider();
}

void CDezirureDovuriDlg::StepFrame(int direction) {
  if (busy || player->state() != kStatePaused) return;
  std::int32_t positionMs = 0;
  if (!player->StepFrame(direction, &positionMs)) return;
  // Shown from the step itself: while a step before it is still settling, the
  // pipeline's own answer can be that one's or none.
  ShowTimeText(kStatePaused, positionMs);
  ShowPlace(positionMs, static_cast<std::int64_t>(player->GetDuration()));
}

void CDezirureDovuriDlg::ApplyBrightnessSlider() {
  const int offset = BrightnessSlider()->BrightnessOffset();
  if (!IsOpen(player->state())) return;
  player->SetBrightness(offset);
  // A paused picture is redrawn with the new brightness by seeking to where it is.
  if (player->state() == kStatePaused) player->Seek(static_cast<std::int32_t>(player->GetPosition()));
}

void CDezirureDovuriDlg::StepSlider(DlgItem which, int delta) {
  if (which == DlgItem::SpeedSlider) keyRate = 0.0f;
  auto* slider = Slider(which);
  slider->setValue(std::clamp(slider->value() + delta, 0, app::kSliderRangeMax));
  slider->update();
  if (which == DlgItem::SpeedSlider) {
    ApplySpeedSlider();
  } else {
    ApplyBrightnessSlider();
  }
}

void CDezirureDovuriDlg::ApplyVolumeLevel() {
  const int level = VolumeBar()->level;
  // The slider's rates always play within 0.5 to 2 (the graph holds them there); of
  // the key rates, those beyond are silent.
  const bool audible = keyRate == 0 || (keyRate >= app::kAudibleRateMin && keyRate <= app::kAudibleRateMax);
  player->SetVolume(muted || !audible ? 0 : std::clamp(level * 10 - 1, 0, kMaxVolumePercent));
}

void CDezirureDovuriDlg::StepVolume(int delta) {
  if (muted) ToggleMute();
  auto* volume = VolumeBar();
  const int level = volume->level + delta;
  if (level > CBbVolumeCtrl::kMaxLevel || level < 0) return;
  volume->level = level;
  volume->update();
  ApplyVolumeLevel();
}

void CDezirureDovuriDlg::ToggleMute() {
  muted = !muted;
  auto* volume = VolumeBar();
  CBbButtonCtrl* mute = Button(DlgItem::Mute);
  if (muted) {
    player->SetVolume(0);
    volume->drawEmpty = true;
    mute->SetImages(app::kMuteMutedNormal, app::kMuteMutedPressed, 0, 0);
  } else {
    volume->drawEmpty = false;
    ApplyVolumeLevel();
    mute->SetImages(app::kMuteSoundNormal, app::kMuteSoundPressed, 0, 0);
  }
  volume->update();
  mute->Redraw();
}

// --- channel views and type filters ---

void CDezirureDovuriDlg::ApplyChannelView(int view) {
  const std::int32_t state = player->state();
  const DlgItem buttonsByView[] = {DlgItem::FrontChannel, DlgItem::RearChannel, DlgItem::BothChannels};
  if (!IsOpen(state)) {
    // Without a recording only the mark of the view already chosen is drawn again.
    if (channelView == view) {
      Button(buttonsByView[view - 1])->selected = true;
      Button(buttonsByView[view - 1])->Redraw();
    }
    return;
  }
  channelView = view;
  for (int i = 0; i < 3; ++i) {
    Button(buttonsByView[i])->selected = i == view - 1;
    Button(buttonsByView[i])->Redraw();
  }
  frontVisible = view == 1 || view == 3;
  rearVisible = view == 2 || view == 3;
  ApplyLayout();
  player->RepaintAll();
}

void CDezirureDovuriDlg::TypeFilter(int filterId) {
  const DlgItem filters[] = {DlgItem::FilterAll, DlgItem::FilterEvent, DlgItem::FilterNormal, DlgItem::FilterParking};
  const int index = filterId - app::kIdFilterAll;
  if (index < 0 || index > 3 || !Button(filters[index])->enabled) return;
  // The row after the playing one may be another now.
  DropStandby();
  CBbListCtrl* list = FileList();
  switch (filterId) {
    case app::kIdFilterAll:
      collection->ListAll(*list);
      break;
    case app::kIdFilterEvent:
      collection->ListGroup(*list, kGroupEvent);
      break;
    case app::kIdFilterNormal:
      collection->ListGroup(*list, kGroupNormal);
      break;
    case app::kIdFilterParking:
      collection->ListGroup(*list, kGroupParking);
      break;
    default:
      break;
  }
  ShowTrips();
  for (int i = 0; i < 4; ++i) {
    Button(filters[i])->selected = i == index;
    Button(filters[i])->Redraw();
  }
  // The playing recording stays the current row when the new list has it.
  int current = -1;
  if (!currentName.empty()) {
    const QString wanted = QString::fromStdString(currentName);
    for (int row = 0; row < list->GetItemCount(); ++row) {
      if (QString::fromStdString(list->GetItemText(row, kColumnFileName)).compare(wanted, Qt::CaseInsensitive) == 0) {
        current = row;
        break;
      }
    }
  }
  if (current < 0 && list->GetItemCount() > 0) current = 0;
  list->SetHighlightRow(current);
  if (current >= 0) list->EnsureVisible(current);
}
