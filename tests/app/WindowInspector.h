#pragma once
// The one way the suites reach into the main window: its state, its controls, what it
// owns and the operations it keeps to itself, and the questions it asks a person.
// Tests only; the window names this class its friend.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/CDezirureDovuriDlg.h"
#include "app/WindowDialogs.h"

namespace app {

class WindowInspector {
 public:
  explicit WindowInspector(CDezirureDovuriDlg& window) : dlg_(window) {}

  // --- state ---
  int LayoutMode() const { return dlg_.layoutMode; }
  int ChannelView() const { return dlg_.channelView; }
  bool Busy() const { return dlg_.busy; }
  // Stands in for a load that runs (every command but Close and the sliders waits).
  void SetBusy(bool busy) { dlg_.busy = busy; }
  bool Muted() const { return dlg_.muted; }
  bool FrontVisible() const { return dlg_.frontVisible; }
  bool GpsPresent() const { return dlg_.gpsPresent; }
  void SetGpsPresent(bool present) { dlg_.gpsPresent = present; }
  void SetConnected(bool connected) { dlg_.connected = connected; }
  const std::string& CurrentName() const { return dlg_.currentName; }
  void SetCurrentName(std::string name) { dlg_.currentName = std::move(name); }
  const std::string& TempFolder() const { return dlg_.tempFolder; }
  const std::string& LoadedDrive() const { return dlg_.loadedDrive; }
  const QString& LastPlaybackError() const { return dlg_.lastPlaybackError; }
  int LastLoadAttempts() const { return dlg_.lastLoadAttempts; }
  int CurrentRow() const { return dlg_.CurrentRow(); }
  bool LoadRunning() const { return dlg_.LoadRunning(); }
  const DlgLayout& Layout() const { return dlg_.layout; }

  // --- what it owns ---
  RecordingCollection& Collection() { return *dlg_.collection; }
  playback::CPlayer& Player() { return *dlg_.player; }
  CFileLoadDlg* LoadingDialog() { return dlg_.loadDlg.get(); }
  TelemetrySamples& Telemetry() { return dlg_.telemetry; }
  MapWindows* Map() { return dlg_.mapWindows; }
  // The window as the settings dialog's host, as its Setting command hands it over.
  SettingDlgHost& SettingHost() { return dlg_; }

  // --- controls ---
  QWidget* Item(DlgItem item) const { return dlg_.Item(item); }
  CBbButtonCtrl* Button(DlgItem item) const { return dlg_.Button(item); }
  CBbListCtrl* FileList() const { return dlg_.FileList(); }
  CBbSliderCtrl* SeekBar() const { return dlg_.SeekBar(); }
  CBbSimpleSliderCtrl* SpeedSlider() const { return dlg_.SpeedSlider(); }
  CBbSimpleSliderCtrl* BrightnessSlider() const { return dlg_.BrightnessSlider(); }
  CBbVolumeCtrl* Volume() const { return dlg_.VolumeBar(); }
  CBbTextCtrl* TimeText() const { return dlg_.TimeText(); }
  CBbTextCtrl* GsensorText() const { return dlg_.GsensorText(); }
  CBbTextCtrl* CoordText() const { return dlg_.CoordText(); }
  CBbScreenCtrl* Screen(DlgItem which) const { return dlg_.Screen(which); }
  CBbGsensorCtrl* GsensorGraph() const { return dlg_.GsensorGraph(); }
  CBbSpeedCtrl* SpeedGauge() const { return dlg_.SpeedGauge(); }

  // --- operations the window keeps to itself ---
  void ApplyLayout() { dlg_.ApplyLayout(); }
  void ApplyMapRule() { dlg_.ApplyMapRule(); }
  bool OpenPickedPaths(const std::vector<std::string>& paths) { return dlg_.OpenPickedPaths(paths); }
  void LoadItem(int row) { dlg_.LoadItem(row); }
  void StopAndClear(bool hideScreens) { dlg_.StopAndClear(hideScreens); }
  void PausePlayback() { dlg_.PausePlayback(); }
  void StartPlayback() { dlg_.StartPlayback(); }
  void UpdatePosition() { dlg_.UpdatePosition(); }
  void StepVolume(int delta) { dlg_.StepVolume(delta); }
  void ToggleMute() { dlg_.ToggleMute(); }
  // The slider `controlId` was moved (its value set already).
  void SliderScrolled(int controlId) { dlg_.OnSliderScrolled(controlId, 0); }

  // Answers the window's dialogs (folder picker, printer, settings) from `dialogs`.
  void AnswerDialogsWith(std::unique_ptr<WindowDialogs> dialogs) { dlg_.dialogs = std::move(dialogs); }
  // The box of a card recording's rebuild that failed with `writeError` (0: unreadable).
  void ShowRepairFailure(int writeError) { dlg_.LoadShowRepairFailure(writeError); }

  // The window's key handler, as a key press reaches it; true when it took the key.
  bool PressKey(const QKeyEvent& key) { return dlg_.HandleKey(&key); }
  // The key-help window once F1 made it; null before.
  KeyHelpWindow* KeyHelp() const { return dlg_.keyHelp; }

 private:
  CDezirureDovuriDlg& dlg_;
};

}  // namespace app
