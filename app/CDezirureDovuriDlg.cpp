#include "app/CDezirureDovuriDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScreen>
#include <filesystem>

#include "app/CAboutDlg.h"
#include "app/DlgIds.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbListCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "controls/ControlEvents.h"
#include "platform/Paths.h"
#include "res/SkinResources.h"
#include "settings/ViewerSettings.h"
#include "sources/RecordingCollection.h"
#include "telemetry/CBbGsensorCtrl.h"

using app::DlgItem;
using app::Visibility;

namespace {

CDezirureDovuriDlg* mainDlg = nullptr;

}  // namespace

CDezirureDovuriDlg* TheMainDlg() { return mainDlg; }

CDezirureDovuriDlg::CDezirureDovuriDlg(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), collection(std::make_unique<RecordingCollection>()) {
  mainDlg = this;
  setObjectName(QStringLiteral("CDezirureDovuriDlg"));
  setWindowTitle(QStringLiteral("%1 Viewer").arg(QStringLiteral("Tarvo")));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  setMinimumSize(app::kMinimumWidth, app::kMinimumHeight);
  resize(app::kMinimumWidth, app::kMinimumHeight);
  setProperty("layoutMode", layoutMode);

  ViewerSettings& settings = TheViewerSettings();
  ReadSettings(SettingsFilePath(), settings);
  languageIndex = settings.language;
  setWindowIcon(QIcon(QString::fromLatin1(skin::kWindowIconPath)));

  for (const char* folder : {"NORMAL", "INFINITE", "EVENT", "PARKING"}) {
    collection->AddCardFolder(folder);
  }
  collection->AddExtension("AVI");
  tempFolder = platform::TempFolder().string();

  CreateControls();
  SetInitialControlState();
  ApplyLanguage(languageIndex);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  // Keys reach the window before the focused control, as its shortcuts must.
  qApp->installEventFilter(this);
  initialised = true;
  ApplyLayout();
}

CDezirureDovuriDlg::~CDezirureDovuriDlg() {
  if (qApp) qApp->removeEventFilter(this);
  if (mainDlg == this) mainDlg = nullptr;
}

void CDezirureDovuriDlg::Register(DlgItem item, QWidget* widget) { items[static_cast<std::size_t>(item)] = widget; }

void CDezirureDovuriDlg::ApplyLayout() {
  if (!initialised) return;
  app::LayoutInput in;
  in.width = width();
  in.height = height();
  in.layoutMode = layoutMode;
  in.channelView = channelView;
  in.mapEmbedded = MapPlacement() == 1;
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
  // The graph keeps the geometry the seek bar was lined up with.
  if (auto* graph = static_cast<CBbGsensorCtrl*>(Item(DlgItem::GsensorGraph))) {
    graph->SetPlotGeometry(layout.graph);
  }
  // The list's scroll bar is a sibling of the list and follows it.
  auto* list = static_cast<CBbListCtrl*>(Item(DlgItem::FileList));
  if (list) {
    if (QWidget* bar = list->ScrollBar()) bar->setVisible(!list->isHidden());
  }
  setUpdatesEnabled(true);
  if (list) list->update();
  update();
}

void CDezirureDovuriDlg::ToggleLayout() {
  layoutMode = layoutMode == 1 ? 2 : 1;
  setProperty("layoutMode", layoutMode);
  // The pass runs with updates held (ApplyLayout), so the switch shows as one change.
  // The window stays mapped: unmapping a frameless window lets some window managers
  // place it anew, and the switch must neither move nor size it.
  ApplyLayout();
  for (CBbButtonCtrl* button : buttons) {
    if (button) button->update();  // top-bar faces draw a mode-dependent background
  }
  if (isVisible()) {
    raise();
    activateWindow();
  }
}

void CDezirureDovuriDlg::ApplyMapRule() {
  if (layoutMode != 1) return;
  const app::MapVisibility shown = app::ApplyMapRule(gpsPresent, connected, MapPlacement() == 1);
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

void CDezirureDovuriDlg::OnCommand(int id) {
  switch (id) {
    case app::kIdLayoutToggle:
      ToggleLayout();
      break;
    case app::kIdMinimise:
      showMinimized();
      break;
    case app::kIdMaximise:
      ToggleMaximise();
      break;
    case app::kIdClose:
      close();
      break;  // closeEvent does the closing work
    case app::kIdAbout:
      ShowAbout();
      break;
    default:
      break;
  }
}

void CDezirureDovuriDlg::closeEvent(QCloseEvent* event) {
  EmptyTempFolder();
  QWidget::closeEvent(event);
}

void CDezirureDovuriDlg::EmptyTempFolder() const {
  if (tempFolder.empty()) return;
  // Files only: folders a user may have put there stay, and a link is removed as a
  // link, never followed to what it points at.
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(tempFolder, error)) {
    std::error_code itemError;
    if (item.is_directory(itemError) && !item.is_symlink(itemError)) continue;
    std::filesystem::remove(item.path(), itemError);
  }
}

void CDezirureDovuriDlg::ShowAbout() {
  bool& active = commandActive[kCommandAbout];
  if (active) return;
  active = true;
  CAboutDlg about(languageIndex, this);
  about.exec();
  active = false;
}

bool CDezirureDovuriDlg::event(QEvent* event) {
  switch (PrivateMessageEvent::MessageOf(event)) {
    case kMsgVolumeLevel:
      // Any choice on the volume bar ends a mute.
      if (muted) {
        muted = false;
        CBbButtonCtrl* mute = Button(DlgItem::Mute);
        mute->SetImages(app::kMuteSoundNormal, app::kMuteSoundPressed, 0, 0);
        mute->Redraw();
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

void CDezirureDovuriDlg::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ApplyLayout();
}

bool CDezirureDovuriDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget && widget->window() == this) {
      const auto* key = static_cast<QKeyEvent*>(event);
      if (key->key() == Qt::Key_Escape && !busy) {
        ToggleLayout();
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}
