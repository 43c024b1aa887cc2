#pragma once
// The viewer's one main window: a frameless skinned window that owns every control,
// the player, the recording set and the loading dialog, lays the controls out in two
// modes (everything, or the video alone) and moves and resizes itself from its own
// surface. Split by concern: construction and layout here, controls in
// DlgControls.cpp, painting in DlgPainting.cpp, the frame in DlgFrame.cpp, commands in
// DlgCommands.cpp, keys and menus in DlgKeys.cpp, loading and the position timer in
// DlgLoad.cpp, sources and drops in DlgSources.cpp.

#include <QBasicTimer>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/DlgLayout.h"
#include "map/MapPlacement.h"  // MapPlacement()

class CBbButtonCtrl;
class CBbListCtrl;
class CBbScreenCtrl;
class CBbSimpleSliderCtrl;
class CBbTextCtrl;
class CBbVolumeCtrl;
class CExportDlg;
class CFileLoadDlg;
class MapWindows;
class CZoomDlg;
class RecordingCollection;
class SeekTarget;
class TelemetrySamples;

namespace playback {
class CPlayer;
}
namespace clipexport {
class ExportMarks;
}
namespace app {
class LoadWorker;
class NetworkState;
class PlayerEvents;
class WindowDialogs;
class WindowInspector;
class WindowMapHost;
class WindowSettingHost;
struct LoadRequest;
}  // namespace app

class CDezirureDovuriDlg : public QWidget {
  Q_OBJECT

 public:
  explicit CDezirureDovuriDlg(QWidget* parent = nullptr);
  ~CDezirureDovuriDlg() override;

  // --- state ---
  int layoutMode = 1;   // 1 everything, 2 video and control bar only
  int channelView = 1;  // 1 front, 2 rear, 3 both
  // Set while a load worker runs (window thread only). Every command but Close and
  // the speed and brightness sliders is ignored then.
  bool busy = false;
  // Re-entry marks of the commands that open a window of their own.
  enum CommandMark { kCommandOpen, kCommandMerge, kCommandCapture, kCommandPrint, kCommandSetting, kCommandAbout };
  std::array<bool, 8> commandActive{};
  bool positionTimerOn = false;
  bool muted = false;
  bool frontVisible = false;
  bool rearVisible = false;
  bool gpsPresent = false;
  bool connected = false;
  bool mapPageLoaded = false;
  bool playStarted = false;
  std::string currentName;
  std::string tempFolder;
  std::string loadedDrive;
  int languageIndex = 0;
  // The work of the media commands, supplied by their tools (empty: the command only
  // pauses and resumes).
  std::function<void()> captureHandler;
  std::function<void()> zoomHandler;
  // Moves the map between the window's panel (1) and its own window (2).
  std::function<void(int)> placementHandler;
  // After each load: the recording's route on the map (false: it has no GPS).
  std::function<void(bool)> trackHandler;
  // After each layout pass: the map marker shown again.
  std::function<void()> resendHandler;
  // Each position update with the position in ms (the map marker follows it).
  std::function<void(std::int32_t)> positionHandler;
  // The text of the last pipeline error the player reported.
  QString lastPlaybackError;
  // Closing writes the settings file (screenshot runs leave it as they found it).
  bool writeSettingsOnClose = true;

  // Runs the layout pass over the current client size and applies it in one go.
  void ApplyLayout();
  // Esc and the layout button: switches between the two modes.
  void ToggleLayout();
  void ToggleMaximise();
  // Shows the map panel or the placeholder that stands in for it, from `gpsPresent`,
  // `connected` and the map placement (the full layout only; after each load).
  void ApplyMapRule();
  // Re-applies every picture and tooltip that depends on the language.
  void ApplyLanguage(int language);
  // Makes `language` the viewer's language: settings record, library, pictures, texts.
  void ChangeLanguage(int language);
  // A command by id: a button, a menu item or a key's command (DlgCommands.cpp).
  void OnCommand(int id);

  RecordingCollection& Collection() { return *collection; }
  playback::CPlayer& Player() { return *player; }
  CBbListCtrl* FileList() const;
  CFileLoadDlg* LoadingDialog() const { return loadDlg.get(); }
  CZoomDlg* ZoomWindow() const { return zoomDlg; }

  // --- sources (DlgSources.cpp) ---
  // Opens files and folders exactly as a drop of them does: the source they belong
  // to is looked up (a card's root opens the card), the set is filled and the loading
  // dialog (mode 3) lists it and starts row 0. False when nothing could be opened
  // (the loading dialog then reports that there are no recordings).
  bool OpenDroppedPaths(const std::vector<std::string>& paths);
  // The Open command's work once a folder was picked: the source of `folder` (or the
  // folder item), opened with the picked paths, then the loading dialog in mode 2.
  bool OpenPickedPaths(const std::vector<std::string>& paths);
  // The loading dialog's fill: lists the set, enables the filters from typePresent,
  // selects "all", starts row 0; or the no-recordings path. The number of rows.
  int FillFileList(const std::string& sourceLabel);
  // Clear recordings: the shown set is no longer valid (loading dialog, settings
  // dialog).
  void ClearRecordings();

  // --- playback (DlgLoad.cpp) ---
  // Load item n: mark it current and start a load worker for it. With `resumeAtMs`
  // (not -1) playback starts there, paused when `resumePaused`.
  void LoadItem(int row, std::int64_t resumeAtMs = -1, bool resumePaused = false);
  // One position update, as timer 1 runs it.
  void UpdatePosition();
  // True while a load worker runs.
  bool LoadRunning() const;
  // How many times the last finished load tried to open its recording (1 to 3).
  int LastLoadAttempts() const { return lastLoadAttempts; }
  // The load worker's order of UI steps is fixed; tests wait for it with this.
  // The row the position timer and Previous/Next count from (the playing row).
  int CurrentRow() const;

  // --- shared operations (DlgCommands.cpp) ---
  void PausePlayback();
  void StartPlayback();
  // Pauses a running player; true when it was running (resume with StartPlayback).
  bool PauseForDialog();
  void StopAndClear(bool hideScreens);
  void HideScreens();
  void ApplyChannelView(int view);
  void ApplySpeedSlider();
  void ApplyBrightnessSlider();
  void ApplyVolumeLevel();
  void ToggleMute();
  void StepVolume(int delta);
  void StepSlider(app::DlgItem slider, int delta);
  void TypeFilter(int filterId);

  const app::DlgLayout& CurrentLayout() const { return layout; }
  QWidget* Item(app::DlgItem item) const { return items[static_cast<std::size_t>(item)]; }
  CBbButtonCtrl* Button(app::DlgItem item) const { return buttons[static_cast<std::size_t>(item)]; }
  bool Initialised() const { return initialised; }

  // The 10-pixel resize bands: which edges a press at `pos` of a window of `size` grabs.
  static Qt::Edges ResizeEdgesAt(QPoint pos, QSize size);

 signals:
  // A load worker finished (busy is clear again); `opened` when its recording plays.
  void LoadFinished(bool opened);

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  friend class app::LoadWorker;
  friend class app::WindowInspector;  // tests only

  // DlgControls.cpp
  void CreateControls();
  void SetInitialControlState();
  void ApplyButtonSkins();
  void ApplyTooltips();
  void OnButtonClicked(int id);
  // Deletes the files (not the folders) of the temporary folder.
  void EmptyTempFolder() const;
  // DlgCommands.cpp
  void ShowAbout();
  void OpenCommand();
  void MergeCommand();
  void SettingCommand();
  void CaptureCommand();
  void PrintCommand();
  void ZoomCommand();
  void MapCommand();
  void CloseCommand();
  void PreviousCommand();
  void NextCommand();
  void PlayCommand();
  void SeekBy(std::int64_t deltaMs);
  void SetNeedsRecordingEnabled(bool enabled);
  void SaveCopyOfRow(int row);
  // DlgKeys.cpp
  bool HandleKey(const QKeyEvent* key);
  void ShowContextMenu(int popupIndex, const QPoint& globalPos);
  // DlgLoad.cpp
  void OnPositionTimer();
  void OnDoubleClickTimer();
  void OnStartupTimer();
  void OnRowDoubleClicked(int row);
  void OnSliderScrolled(int controlId, int position);
  void OnEndOfStream();
  void OnPlaybackError(const QString& text);
  void EndOfRecording(std::int64_t position);
  void StartPositionTimer();
  void StopPositionTimer();
  // The load worker's UI steps, run on the window thread in the worker's order.
  void LoadShowOpenFailure();
  // Pictures of a codec no decoder here takes; `code` names it.
  void LoadShowUnsupportedVideo(const std::string& code);
  void LoadShowRepairFailure();
  void LoadStarted(const app::LoadRequest& request);
  void LoadTelemetryReady(const app::LoadRequest& request, TelemetrySamples samples);
  void LoadDone(bool opened, int attempts);
  bool SelectAndLoad(int row);
  // DlgPainting.cpp
  void PaintBackground(QPainter& painter) const;
  void PaintIdlePicture(QPainter& painter, const QRect& area) const;
  // DlgFrame.cpp
  void ClearTopBarHover();
  void UpdateFrameCursor(QPoint pos);
  void DragFrame(QPoint globalPos);
  // DlgSources.cpp
  void OnFilesDropped(const QStringList& paths);
  int SourceIndexFor(const std::string& path);
  void RunLoadingDialog(int mode, const std::string& sourceLabel);
  // Loads the recording a drop stopped again, at its position (nothing when none).
  void ResumeInterrupted();

  // DlgExport.cpp: the export's marks (keys I and O) on the seek bar, and its dialog.
  void MarkCommand(bool start);
  void ExportCommand(bool clip);
  void ShowExportMarks();

  // DlgTools.cpp
  void InstallTools();
  void LoadMapPageLater();

  void Register(app::DlgItem item, QWidget* widget);
  CBbScreenCtrl* Screen(app::DlgItem item) const;

  std::unique_ptr<RecordingCollection> collection;
  std::unique_ptr<playback::CPlayer> player;
  std::unique_ptr<app::PlayerEvents> playerEvents;
  std::unique_ptr<app::NetworkState> network;
  std::unique_ptr<CFileLoadDlg> loadDlg;
  std::unique_ptr<app::LoadWorker> worker;
  std::unique_ptr<SeekTarget> seekTarget;
  std::unique_ptr<app::WindowMapHost> mapHost;
  std::unique_ptr<app::WindowSettingHost> settingHost;
  std::unique_ptr<app::WindowDialogs> dialogs;
  std::unique_ptr<clipexport::ExportMarks> exportMarks;
  QPointer<CExportDlg> exportDlg;    // the open export dialog, if any
  MapWindows* mapWindows = nullptr;  // a child of the window
  CZoomDlg* zoomDlg = nullptr;       // a child of the window
  std::array<QWidget*, app::kDlgItemCount> items{};
  std::array<CBbButtonCtrl*, app::kDlgItemCount> buttons{};
  app::DlgLayout layout;
  bool initialised = false;

  // Timers: 1 position update (200 ms while playing), 4 the load after a double click
  // (1000 ms, once), 7 the start-up notice (1 ms, once).
  QBasicTimer positionTimer;
  QBasicTimer doubleClickTimer;
  QBasicTimer startupTimer;
  int pendingRow = -1;       // the row of the last double click, for timer 4
  int lastLoadAttempts = 0;  // how many times the last load tried to open its recording
  // Whether the last Open or drop opened its source; a failed one leaves the list as
  // it was (the loading dialog then only reports that nothing was found).
  bool sourceOpened = false;
  // What played when a drop stopped it, taken up again when the drop opens nothing.
  struct Interrupted {
    int row = -1;
    std::int64_t positionMs = 0;
    bool paused = false;
  };
  Interrupted interrupted;
  bool shownOnce = false;

  // A drag that the window system did not take over (no compositor support, or the
  // offscreen platform): moved or resized here from the mouse deltas.
  Qt::Edges dragEdges;
  bool dragging = false;
  bool movePending = false;
  QPoint dragStart;
  QRect dragStartGeometry;
};

// The main window, for the windows that reach it (map, loading and settings dialogs).
CDezirureDovuriDlg* TheMainDlg();

// Paths given on the command line, opened by the first start-up tick as a drop of
// them would be (the loading dialog in mode 3 takes the start-up notice's place).
void SetStartupPaths(std::vector<std::string> paths);
