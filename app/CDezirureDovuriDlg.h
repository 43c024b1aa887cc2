#pragma once
// The viewer's one main window: a frameless skinned window that owns every control,
// lays them out in two modes (everything, or the video alone) and moves and resizes
// itself from its own surface. Split by concern: construction and layout here,
// controls in DlgControls.cpp, painting in DlgPainting.cpp, the frame in DlgFrame.cpp.

#include <QPoint>
#include <QRect>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/DlgLayout.h"
#include "map/MapPlacement.h"  // MapPlacement()
#include "telemetry/CGPSData.h"
#include "telemetry/CGSensorData.h"

class CBbButtonCtrl;
class CBbTextCtrl;
class CBbVolumeCtrl;
class RecordingCollection;

class CDezirureDovuriDlg : public QWidget {
  Q_OBJECT

 public:
  explicit CDezirureDovuriDlg(QWidget* parent = nullptr);
  ~CDezirureDovuriDlg() override;

  // --- state ---
  int layoutMode = 1;   // 1 everything, 2 video and control bar only
  int channelView = 1;  // 1 front, 2 rear, 3 both
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

  // Telemetry of the loaded recording, read by the graph, the gauge and the texts.
  std::vector<CGSensorData> gsensorSamples;
  std::vector<CGPSData> gpsSamples;

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
  // Handles a control's command by id (frame commands; the rest comes later).
  void OnCommand(int id);

  RecordingCollection& Collection() { return *collection; }
  // Lists the recordings of files and folders as if chosen in the folder picker and
  // enables the type filters that have rows; the number of rows.
  int OpenChosenPaths(const std::vector<std::string>& paths);

  const app::DlgLayout& CurrentLayout() const { return layout; }
  QWidget* Item(app::DlgItem item) const { return items[static_cast<std::size_t>(item)]; }
  CBbButtonCtrl* Button(app::DlgItem item) const { return buttons[static_cast<std::size_t>(item)]; }
  bool Initialised() const { return initialised; }

  // The 10-pixel resize bands: which edges a press at `pos` of a window of `size` grabs.
  static Qt::Edges ResizeEdgesAt(QPoint pos, QSize size);

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

 private:
  // DlgControls.cpp
  void CreateControls();
  void SetInitialControlState();
  void ApplyButtonSkins();
  void ApplyTooltips();
  void OnButtonClicked(int id);
  void ShowAbout();
  // Deletes the files (not the folders) of the temporary folder.
  void EmptyTempFolder() const;
  // DlgPainting.cpp
  void PaintBackground(QPainter& painter) const;
  void PaintIdlePicture(QPainter& painter, const QRect& area) const;
  // DlgFrame.cpp
  void ClearTopBarHover();
  void UpdateFrameCursor(QPoint pos);
  void DragFrame(QPoint globalPos);

  void Register(app::DlgItem item, QWidget* widget);

  std::unique_ptr<RecordingCollection> collection;
  std::array<QWidget*, app::kDlgItemCount> items{};
  std::array<CBbButtonCtrl*, app::kDlgItemCount> buttons{};
  app::DlgLayout layout;
  bool initialised = false;

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
