#include "app/CDezirureDovuriDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QResizeEvent>
#include <QScreen>
#include <QTimerEvent>
#include <filesystem>

#include "app/BrowserSurface.h"
#include "app/DecoderRegistry.h"
#include "app/DlgIds.h"
#include "app/LoadWorker.h"
#include "app/NetworkState.h"
#include "app/PlayerEvents.h"
#include "app/StandbyWorker.h"
#include "app/WindowDialogs.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbListCtrl.h"
#include "controls/CBbScreenCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/ControlEvents.h"
#include "controls/SeekTarget.h"
#include "controls/ViewerStyle.h"
#include "map/CMapViewWnd.h"
#include "map/MapPlaceholderWnd.h"
#include "map/MapWindows.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "playback/CPlayer.h"
#include "res/SkinResources.h"
#include "settings/ViewerSettings.h"
#include "sources/CFileLoadDlg.h"
#include "sources/RecordingCollection.h"
#include "telemetry/CBbGsensorCtrl.h"
#include "tools/export/ExportMarks.h"

using app::DlgItem;
using app::Visibility;

namespace {

constexpr int kStartupTimerMs = 1;

std::vector<std::string>& StartupPaths() {
  static std::vector<std::string> paths;
  return paths;
}

}  // namespace

void SetStartupPaths(std::vector<std::string> paths) { StartupPaths() = std::move(paths); }

CDezirureDovuriDlg::CDezirureDovuriDlg(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      collection(std::make_unique<RecordingCollection>()),
      player(std::make_unique<playback::CPlayer>()),
      exportMarks(std::make_unique<clipexport::ExportMarks>()) {
  // Construction: settings, icon, size and start state.
  // The viewer's own dialogs and the standard ones (boxes, pickers) all take the
  // skin's dark colours.
  if (auto* application = qobject_cast<QApplication*>(QCoreApplication::instance())) {
    skin::ApplyViewerStyle(*application);
  }
  ViewerSettings& settings = TheViewerSettings();
  ReadSettings(SettingsFilePath(), settings);
  setObjectName(QStringLiteral("CDezirureDovuriDlg"));
  setWindowIcon(QIcon(QString::fromLatin1(skin::kWindowIconPath)));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setMinimumSize(app::kMinimumWidth, app::kMinimumHeight);
  resize(app::kMinimumWidth, app::kMinimumHeight);
  setProperty("layoutMode", layoutMode);
  languageIndex = settings.language;

  // Initialisation, in the viewer's order.
  platform::Registry userHive(platform::RegistryHive::kCurrentUser);
  app::PrepareDecoderRegistry(userHive);
  for (const char* folder : {"NORMAL", "INFINITE", "EVENT", "PARKING"}) collection->AddCardFolder(folder);
  collection->AddExtension("AVI");
  setWindowTitle(QStringLiteral("%1 Viewer").arg(QStringLiteral("Tarvo")));

  CreateControls();
  SetInitialControlState();
  // Before the map's browser can exist, so that the window is made once.
  app::PrepareBrowserSurface(*this);
  InstallTools();
  playerEvents = std::make_unique<app::PlayerEvents>(this);
  player->SetListener(playerEvents.get());
  player->AttachWindows(Screen(DlgItem::FrontScreen), Screen(DlgItem::RearScreen));
  network = std::make_unique<app::NetworkState>();
  loadDlg = std::make_unique<CFileLoadDlg>(this);
  loadDlg->fill = [this](const std::string& label) { FillFileList(label); };
  worker = std::make_unique<app::LoadWorker>(*this, *player);
  standby = std::make_unique<app::StandbyWorker>(*this, *player, [this] { StandbyReady(); });

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  ApplyLanguage(languageIndex);
  OpenTempFolder();
  setAcceptDrops(true);
  // Keys reach the window before the focused control, as its shortcuts must.
  qApp->installEventFilter(this);
  startupTimer.start(kStartupTimerMs, this);
  initialised = true;
  ApplyLayout();
}

CDezirureDovuriDlg::~CDezirureDovuriDlg() {
  if (qApp) qApp->removeEventFilter(this);
  doubleClickTimer.stop();
  positionTimer.stop();
  // The worker is stopped by its flag and waited for; it is never killed.
  worker->StopAndWait();
  standby->StopAndWait();
  const std::int32_t state = player->state();
  if (state == playback::kStateRunning || state == playback::kStatePaused) player->Stop();
  player->Close();
  // A window that was never closed (a test, an exit from elsewhere) still writes them.
  if (writeSettingsOnClose && !settingsSaved) SaveSettings(false);
  ownTempFolder.Remove();
}

void CDezirureDovuriDlg::Register(DlgItem item, QWidget* widget) { items[static_cast<std::size_t>(item)] = widget; }

CBbScreenCtrl* CDezirureDovuriDlg::Screen(DlgItem which) const {
  return which == DlgItem::RearScreen ? controls.rearScreen : controls.frontScreen;
}

CBbSimpleSliderCtrl* CDezirureDovuriDlg::Slider(DlgItem which) const {
  return which == DlgItem::BrightnessSlider ? controls.brightnessSlider : controls.speedSlider;
}

MapPlaceholderWnd* CDezirureDovuriDlg::Placeholder(DlgItem which) const {
  return which == DlgItem::MapNoConnected ? controls.mapNoConnected : controls.mapNoData;
}

void CDezirureDovuriDlg::ApplyLayout() {
  if (!initialised) return;
  app::LayoutInput in;
  in.width = width();
  in.height = height();
  in.layoutMode = layoutMode;
  in.channelView = channelView;
  in.mapEmbedded = MapEmbedded();
  in.gpsPresent = gpsPresent;
  in.connected = connected;
  in.frontVisible = frontVisible;
  in.rearVisible = rearVisible;
  layout = app::ComputeLayout(in);

  // Move everything first and change visibility after, so that no child shows for a
  // moment at its old place.
  setUpdatesEnabled(false);
  for (std::size_t i = 0; i < app::kDlgItemCount; ++i) {
    QWidget* widget = items[i];
    const app::ItemPlacement& placement = layout.items[i];
    if (!widget || !placement.moved) continue;
    const app::LayoutRect& r = placement.rect;
    widget->setGeometry(r.left, r.top, r.Width(), r.Height());
  }
  for (std::size_t i = 0; i < app::kDlgItemCount; ++i) {
    QWidget* widget = items[i];
    if (!widget) continue;
    switch (layout.items[i].visibility) {
      case Visibility::Shown:
        widget->setVisible(true);
        break;
      case Visibility::Hidden:
        widget->setVisible(false);
        break;
      case Visibility::Keep:
        break;
    }
  }
  // The screens follow the channel view's visibility, not the layout's.
  Item(DlgItem::FrontScreen)->setVisible(frontVisible);
  Item(DlgItem::RearScreen)->setVisible(rearVisible);
  // The graph keeps the geometry the seek bar was lined up with.
  GsensorGraph()->SetPlotGeometry(layout.graph);
  // The list's scroll bar is a sibling of the list and follows it.
  CBbListCtrl* list = FileList();
  if (list) {
    if (QWidget* bar = list->ScrollBar()) bar->setVisible(!list->isHidden());
  }
  setUpdatesEnabled(true);
  if (list) list->update();
  update();
  player->RepaintAll();
  // The map page shows its last position again at its new size.
  if (layoutMode == 1 && mapWindows) mapWindows->View()->ResendPosition();
}

void CDezirureDovuriDlg::ToggleLayout() {
  layoutMode = layoutMode == 1 ? 2 : 1;
  setProperty("layoutMode", layoutMode);
  // The pass runs with updates held (ApplyLayout), so the switch shows as one change.
  // The window stays mapped: unmapping a frameless window lets some window managers
  // place it anew, and the switch must neither move nor size it.
  ApplyLayout();
  ApplyMapRule();
  for (CBbButtonCtrl* button : buttons) {
    if (button) button->update();  // top-bar faces draw a mode-dependent background
  }
  if (isVisible()) {
    raise();
    activateWindow();
  }
}

void CDezirureDovuriDlg::ApplyMapRule() {
  if (layoutMode != 1) {
    for (DlgItem item : {DlgItem::MapPanel, DlgItem::MapNoData, DlgItem::MapNoConnected, DlgItem::MapButton}) {
      Item(item)->setVisible(false);
    }
    return;
  }
  const app::MapVisibility shown = app::ApplyMapRule(gpsPresent, connected, MapEmbedded());
  Item(DlgItem::MapPanel)->setVisible(shown.mapPanel);
  Item(DlgItem::MapNoData)->setVisible(shown.noData);
  Item(DlgItem::MapNoConnected)->setVisible(shown.noConnected);
  Item(DlgItem::MapButton)->setVisible(shown.mapButton);
}

void CDezirureDovuriDlg::ToggleMaximise() {
  if (isMaximized()) {
    showNormal();
  } else {
    showMaximized();
  }
}

void CDezirureDovuriDlg::closeEvent(QCloseEvent* event) {
  // Alt+F4, the window manager's close and the Close button all end here.
  CloseCommand();
  if (writeSettingsOnClose && !settingsSaved) SaveSettings(!endingBySignal);
  QWidget::closeEvent(event);
}

void CDezirureDovuriDlg::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  player->RepaintAll();
  if (!shownOnce) {
    shownOnce = true;
    LoadMapPageLater();
  }
}

void CDezirureDovuriDlg::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ApplyLayout();
}

void CDezirureDovuriDlg::timerEvent(QTimerEvent* event) {
  const int id = event->timerId();
  if (id == positionTimer.timerId()) {
    OnPositionTimer();
  } else if (id == doubleClickTimer.timerId()) {
    OnDoubleClickTimer();
  } else if (id == startupTimer.timerId()) {
    OnStartupTimer();
  } else {
    QWidget::timerEvent(event);
  }
}

void CDezirureDovuriDlg::OnStartupTimer() {
  startupTimer.stop();
  // Paths from the command line are opened as a drop of them would be; their loading
  // dialog takes the start-up notice's place.
  std::vector<std::string> paths = std::move(StartupPaths());
  StartupPaths().clear();
  if (!paths.empty()) {
    OpenDroppedPaths(paths);
    return;
  }
  // A source opened before the first tick has its own loading dialog running.
  if (loadDlg->TimerActive()) return;
  RunLoadingDialog(CFileLoadDlg::kModeStartup, std::string());
}

bool CDezirureDovuriDlg::event(QEvent* event) {
  if (event->type() == app::PlaybackEvent::EventType()) {
    const auto* playbackEvent = static_cast<const app::PlaybackEvent*>(event);
    // An event of an earlier recording that comes after the next one started.
    if (playbackEvent->load != playerEvents->CurrentLoad()) return true;
    if (playbackEvent->kind == app::PlaybackEvent::Kind::EndOfStream) {
      OnEndOfStream();
    } else if (playbackEvent->kind == app::PlaybackEvent::Kind::NextRecording) {
      OnNextRecording();
    } else {
      OnPlaybackError(playbackEvent->text);
    }
    return true;
  }
  switch (PrivateMessageEvent::MessageOf(event)) {
    case kMsgVolumeLevel:
      if (busy) return true;
      // Any choice on the volume bar ends a mute; the bar has set its level already.
      if (muted) {
        ToggleMute();
      } else {
        ApplyVolumeLevel();
      }
      return true;
    case kMsgRepaintFilters:
      for (DlgItem filter : {DlgItem::FilterAll, DlgItem::FilterEvent, DlgItem::FilterNormal, DlgItem::FilterParking}) {
        Button(filter)->Redraw();
      }
      return true;
    default:
      return QWidget::event(event);
  }
}
