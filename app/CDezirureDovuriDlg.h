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
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/DlgLayout.h"
#include "app/LoadWorker.h"
#include "device/SettingDlgHost.h"
#include "device/SettingDlgModel.h"  // device::CardFilePaths
#include "map/MapHost.h"
#include "platform/ProcessFolder.h"
#include "sources/Trips.h"
#include "telemetry/SeekMarkers.h"
#include "telemetry/TelemetrySamples.h"

class CBbButtonCtrl;
class CBbGsensorCtrl;
class CBbListCtrl;
class CBbMapPanelCtrl;
class CBbScreenCtrl;
class CBbSimpleSliderCtrl;
class CBbSliderCtrl;
class CBbSpeedCtrl;
class CBbTextCtrl;
class CBbVolumeCtrl;
class CExportDlg;
class CFileLoadDlg;
class MapPlaceholderWnd;
class MapWindows;
class CZoomDlg;
class RecordingCollection;
class SeekTarget;

namespace playback {
class CPlayer;
}
namespace clipexport {
class ExportMarks;
}
namespace app {
class KeyHelpWindow;
class LoadWorker;
class NetworkState;
class PlayerEvents;
class StandbyWorker;
class WindowDialogs;
class WindowInspector;
struct LoadRequest;
}  // namespace app

// The window is the map's host (its panel, controls and position) and the settings
// dialog's (the listed card, Clear recordings, the card files); both see only those
// interfaces of it.
class CDezirureDovuriDlg : public QWidget, private MapHost, private SettingDlgHost {
  Q_OBJECT

 public:
  explicit CDezirureDovuriDlg(QWidget* parent = nullptr);
  ~CDezirureDovuriDlg() override;

  // A command by id: a button, a menu item or a key's command (DlgCommands.cpp).
  void OnCommand(int id);
  // Esc and the layout button: switches between the two modes.
  void ToggleLayout();
  // Makes `language` the viewer's language: settings record, library, pictures, texts.
  void ChangeLanguage(int language);
  // Opens files and folders exactly as a drop of them does: the source they belong
  // to is looked up (a card's root opens the card), the set is filled and the loading
  // dialog (mode 3) lists it and starts row 0. False when nothing could be opened
  // (the loading dialog then reports that there are no recordings).
  bool OpenDroppedPaths(const std::vector<std::string>& paths);
  // Clear recordings: the shown set is no longer valid (loading dialog, settings
  // dialog).
  void ClearRecordings() override;
  // Closing writes the settings file; a screenshot run leaves it as it found it.
  void SetWriteSettingsOnClose(bool write) { writeSettingsOnClose = write; }
  // SIGTERM, SIGINT or SIGHUP: ends the viewer as Close does (player stopped,
  // settings written, temporary folder removed), without asking anything.
  void EndBySignal();

  // The 10-pixel resize bands: which edges a press at `pos` of a window of `size` grabs.
  static Qt::Edges ResizeEdgesAt(QPoint pos, QSize size);

 signals:
  // A load worker finished (busy is clear again); `opened` when its recording plays.
  void LoadFinished(bool opened);
  // A position update moved the readouts and the map marker to `positionMs`.
  void PositionShown(std::int32_t positionMs);

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

  // Re-entry marks of the commands that open a window of their own.
  enum CommandMark { kCommandOpen, kCommandMerge, kCommandCapture, kCommandPrint, kCommandSetting, kCommandAbout };

  // --- MapHost and SettingDlgHost (DlgTools.cpp) ---
  CBbMapPanelCtrl* MainMapPanel() override;
  void ShowMapControls(bool shown) override;
  int64_t CurrentPositionMs() override;
  int CurrentLayoutMode() override;
  std::string LoadedDrive() const override;
  device::CardFilePaths* CardFiles() override { return &cardFiles; }

  // --- layout ---
  // Runs the layout pass over the current client size and applies it in one go.
  void ApplyLayout();
  void ToggleMaximise();
  // Shows the map panel or the placeholder that stands in for it, from `gpsPresent`,
  // `connected` and the map placement (the full layout only; after each load).
  void ApplyMapRule();
  // Re-applies every picture and tooltip that depends on the language.
  void ApplyLanguage(int language);

  // --- sources (DlgSources.cpp) ---
  // The Open command's work once a folder was picked: the source of `folder` (or the
  // folder item), opened with the picked paths, then the loading dialog in mode 2.
  bool OpenPickedPaths(const std::vector<std::string>& paths);
  // The loading dialog's fill: lists the set, enables the filters from typePresent,
  // selects "all", starts row 0; or the no-recordings path. The number of rows.
  int FillFileList(const std::string& sourceLabel);
  void OnFilesDropped(const QStringList& paths);
  int SourceIndexFor(const std::string& path);
  void RunLoadingDialog(int mode, const std::string& sourceLabel);
  // Loads the recording a drop stopped again, at its position (nothing when none).
  void ResumeInterrupted();
  void SaveCopyOfRow(int row);

  // --- playback (DlgLoad.cpp) ---
  // Load item n: mark it current and start a load worker for it. With `resumeAtMs`
  // (not -1) playback starts there, paused when `resumePaused`.
  void LoadItem(int row, std::int64_t resumeAtMs = -1, bool resumePaused = false);
  // One position update, as timer 1 runs it.
  void UpdatePosition();
  // The time text for the player's `state` at `positionMs`.
  void ShowTimeText(std::int32_t state, std::int32_t positionMs);
  // The seek bar, the marks and the telemetry readouts at `position` (ms).
  void ShowPlace(std::int64_t position, std::int64_t duration);
  // True while a load worker runs.
  bool LoadRunning() const;
  // The row the position timer and Previous/Next count from (the playing row).
  int CurrentRow() const;
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
  void LoadShowUnsupportedVideo(const std::string& name);
  // `writeError` the errno of the failed write into the temporary folder (a full or
  // unwritable folder is named), 0 when the card's recording could not be read.
  void LoadShowRepairFailure(int writeError);
  void LoadStarted(const app::LoadRequest& request);
  // The channel buttons, channel view and rear mirror for the recording `request` plays.
  void ShowChannelsOf(const app::LoadRequest& request);
  void LoadTelemetryReady(const app::LoadRequest& request, TelemetrySamples samples);
  // The routes of the loaded recording's trip, each read (after LoadTelemetryReady).
  void LoadTripReady(std::vector<app::TripLink> trip);
  void LoadDone(bool opened, int attempts);
  bool SelectAndLoad(int row);
  // What a load or a standby of `row` needs, taken from the list and the recording set.
  app::LoadRequest RequestForRow(int row);
  // The next recording, prerolled so that the end of this one hands over to it without
  // a gap: asked for once the playing recording is close to its end (position timer).
  void PrepareNextRecording(std::int64_t positionMs, std::int64_t durationMs);
  // The standby is built and its telemetry read: the player may hand over to it.
  void StandbyReady();
  // The player handed over: the list, the time, the telemetry and the map move to the
  // new recording as its first picture shows.
  void OnNextRecording();
  // Releases the standby (a stop, another row, another list); never waits.
  void DropStandby();

  // --- shared operations and commands (DlgCommands.cpp) ---
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
  // [ (-1) and ]: the next of the key rates below or above the one playing.
  void StepRate(int direction);
  // , (-1) and . while paused: the previous or next picture, and its place.
  void StepFrame(int direction);
  void TypeFilter(int filterId);
  void OnButtonClicked(int id);
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

  // --- controls (DlgControls.cpp) ---
  void CreateControls();
  void SetInitialControlState();
  void ApplyButtonSkins();
  void ApplyTooltips();
  // Deletes the files (not the folders) of the temporary folder.
  void EmptyTempFolder() const;
  // Makes the window's temporary folder when it has none (the first time after
  // removing the folders of viewers that ended without removing theirs).
  void OpenTempFolder();
  // Writes the settings file; a failure is shown in a box with the file and why
  // when `tellUser`, else written to the standard error. Whether it was written.
  bool SaveSettings(bool tellUser);
  void Register(app::DlgItem item, QWidget* widget);
  // Any control as a widget, for the layout pass and visibility.
  QWidget* Item(app::DlgItem item) const { return items[static_cast<std::size_t>(item)]; }
  CBbButtonCtrl* Button(app::DlgItem item) const { return buttons[static_cast<std::size_t>(item)]; }
  // Each of the other controls by its own type.
  CBbListCtrl* FileList() const { return controls.fileList; }
  CBbSliderCtrl* SeekBar() const { return controls.seekBar; }
  CBbSimpleSliderCtrl* SpeedSlider() const { return controls.speedSlider; }
  CBbSimpleSliderCtrl* BrightnessSlider() const { return controls.brightnessSlider; }
  CBbSimpleSliderCtrl* Slider(app::DlgItem which) const;
  CBbVolumeCtrl* VolumeBar() const { return controls.volume; }
  CBbTextCtrl* TimeText() const { return controls.timeText; }
  CBbTextCtrl* GsensorText() const { return controls.gsensorText; }
  CBbTextCtrl* CoordText() const { return controls.coordText; }
  CBbScreenCtrl* Screen(app::DlgItem which) const;
  CBbGsensorCtrl* GsensorGraph() const { return controls.gsensorGraph; }
  CBbSpeedCtrl* SpeedGauge() const { return controls.speedGauge; }
  CBbMapPanelCtrl* MapPanel() const { return controls.mapPanel; }
  MapPlaceholderWnd* Placeholder(app::DlgItem which) const;

  // --- keys, painting, frame ---
  bool HandleKey(const QKeyEvent* key);
  void ShowContextMenu(int popupIndex, const QPoint& globalPos);
  // The key-help window (F1): opened once, raised when asked for again.
  void ShowKeyHelp();
  void PaintBackground(QPainter& painter) const;
  void PaintIdlePicture(QPainter& painter, const QRect& area) const;
  void ClearTopBarHover();
  void UpdateFrameCursor(QPoint pos);
  void DragFrame(QPoint globalPos);

  // --- export (DlgExport.cpp): its marks (keys I and O) on the seek bar, and its dialog ---
  void MarkCommand(bool start);
  void ExportCommand(bool clip);
  void ShowExportMarks();

  // --- trips (DlgTrips.cpp) ---
  // After every listing: the rows' trips, from the recordings' lengths, and the list's
  // separators where one begins.
  void ShowTrips();
  // The trip of list row `row` for its load: its recordings with the routes read
  // before; nothing for a recording alone.
  void FillTrip(app::LoadRequest& request, int row) const;
  // The whole route of `trip` when every recording's route is at hand (the loaded
  // one's `own`); empty otherwise.
  std::vector<mapview::MapPoint> TripRoute(const std::vector<app::TripLink>& trip, int current,
                                           const std::vector<mapview::MapPoint>& own) const;
  // --- markers on the seek bar (DlgMarkers.cpp) ---
  // The markers of the telemetry just handed over, for the recording `fileName`.
  void FindMarkersOf(const std::string& fileName);
  // Again with the threshold of the settings (after the settings dialog).
  void RefindSeekMarkers();
  // On the bar while a recording is open, else none.
  void ShowSeekMarkers();
  // Ctrl+Right (next) and Ctrl+Left.
  void JumpToMarker(bool next);

  // --- tools (DlgTools.cpp) ---
  void InstallTools();
  void LoadMapPageLater();
  // Moves the map between the window's panel and its own window.
  void SetMapPlacement(int placement);
  bool MapEmbedded() const;
  // After each load: the recording's route on the map (none without GPS), over its
  // trip's when that is at hand.
  void ShowRouteOnMap(bool hasGps, const std::vector<mapview::MapPoint>& trip = {});
  // Each position update: the map marker and the map window's coordinates.
  void FollowOnMap(std::int32_t positionMs);

  // --- state ---
  int layoutMode = 1;   // 1 everything, 2 video and control bar only
  int channelView = 1;  // 1 front, 2 rear, 3 both
  // Set while a load worker runs (window thread only). Every command but Close and
  // the speed and brightness sliders is ignored then.
  bool busy = false;
  std::array<bool, 8> commandActive{};
  bool positionTimerOn = false;
  bool muted = false;
  // The rate [ and ] chose (1/8 to 8); 0 while the speed slider decides.
  float keyRate = 0.0f;
  bool frontVisible = false;
  bool rearVisible = false;
  bool gpsPresent = false;
  bool connected = false;
  bool mapPageLoaded = false;
  bool playStarted = false;
  std::string currentName;
  // The window's own folder under the shared temporary root (DlgExit.cpp); empty
  // while it could not be made, with the errno of that in tempFolderError.
  std::string tempFolder;
  int tempFolderError = 0;
  bool tempRootCleaned = false;
  platform::ProcessFolder ownTempFolder;
  std::string loadedDrive;
  int languageIndex = 0;
  // The text of the last pipeline error the player reported.
  QString lastPlaybackError;
  bool writeSettingsOnClose = true;
  // Set once the settings were written at the end (Close or a signal).
  bool settingsSaved = false;
  // A signal ends the viewer: no box waits for an answer any more.
  bool endingBySignal = false;
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
  bool initialised = false;

  // --- what the window owns ---
  std::unique_ptr<RecordingCollection> collection;
  std::unique_ptr<playback::CPlayer> player;
  // The loaded recording's GPS and G-sensor samples, which the graph, the readouts,
  // the map and the printout read; the load worker hands over each recording's set.
  TelemetrySamples telemetry;
  // The trips of the list's rows (ShowTrips), the loaded recording's trip and its
  // place in it (LoadItem), and the routes of trip recordings read so far, by path,
  // for the source open now.
  std::vector<trips::TripRow> rowTrips;
  std::vector<app::TripLink> loadedTrip;
  int loadedTripIndex = -1;
  std::map<std::string, std::vector<mapview::MapPoint>> tripRoutes;
  // The markers of that telemetry, and whether it is an event recording's.
  std::vector<SeekMarker> seekMarkers;
  bool markersOfEvent = false;
  // The card files of the card the settings dialog chose last and the volume label,
  // kept for the life of the window as the card format uses them.
  device::CardFilePaths cardFiles;
  std::unique_ptr<app::PlayerEvents> playerEvents;
  std::unique_ptr<app::NetworkState> network;
  std::unique_ptr<CFileLoadDlg> loadDlg;
  std::unique_ptr<app::LoadWorker> worker;
  std::unique_ptr<app::StandbyWorker> standby;
  std::unique_ptr<SeekTarget> seekTarget;
  std::unique_ptr<app::WindowDialogs> dialogs;
  std::unique_ptr<clipexport::ExportMarks> exportMarks;
  QPointer<CExportDlg> exportDlg;         // the open export dialog, if any
  MapWindows* mapWindows = nullptr;       // a child of the window
  CZoomDlg* zoomDlg = nullptr;            // a child of the window
  app::KeyHelpWindow* keyHelp = nullptr;  // a child of the window, made on first use
  std::array<QWidget*, app::kDlgItemCount> items{};
  std::array<CBbButtonCtrl*, app::kDlgItemCount> buttons{};
  struct Controls {
    CBbListCtrl* fileList = nullptr;
    CBbSliderCtrl* seekBar = nullptr;
    CBbSimpleSliderCtrl* speedSlider = nullptr;
    CBbSimpleSliderCtrl* brightnessSlider = nullptr;
    CBbVolumeCtrl* volume = nullptr;
    CBbTextCtrl* timeText = nullptr;
    CBbTextCtrl* gsensorText = nullptr;
    CBbTextCtrl* coordText = nullptr;
    CBbScreenCtrl* frontScreen = nullptr;
    CBbScreenCtrl* rearScreen = nullptr;
    CBbGsensorCtrl* gsensorGraph = nullptr;
    CBbSpeedCtrl* speedGauge = nullptr;
    CBbMapPanelCtrl* mapPanel = nullptr;
    MapPlaceholderWnd* mapNoData = nullptr;
    MapPlaceholderWnd* mapNoConnected = nullptr;
  };
  Controls controls;
  app::DlgLayout layout;

  // Timers: 1 position update (200 ms while playing), 4 the load after a double click
  // (1000 ms, once), 7 the start-up notice (1 ms, once).
  QBasicTimer positionTimer;
  QBasicTimer doubleClickTimer;
  QBasicTimer startupTimer;

  // A drag that the window system did not take over (no compositor support, or the
  // offscreen platform): moved or resized here from the mouse deltas.
  Qt::Edges dragEdges;
  bool dragging = false;
  bool movePending = false;
  QPoint dragStart;
  QRect dragStartGeometry;
};

// Paths given on the command line, opened by the first start-up tick as a drop of
// them would be (the loading dialog in mode 3 takes the start-up notice's place).
void SetStartupPaths(std::vector<std::string> paths);
