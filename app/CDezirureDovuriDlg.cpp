#include "app/CDezirureDovuriDlg.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QScreen>

#include "app/DlgIds.h"
#include "controls/SkinImages.h"
#include "platform/Paths.h"
#include "sources/RecordingCollection.h"
#include "res/SkinIds.h"
#include "settings/ViewerSettings.h"

using app::DlgItem;
using app::Visibility;

namespace {

CDezirureDovuriDlg* mainDlg = nullptr;

}  // namespace

CDezirureDovuriDlg* TheMainDlg() { return mainDlg; }

int& MapPlacement() {
  static int placement = 1;
  return placement;
}

CDezirureDovuriDlg::CDezirureDovuriDlg(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      collection(std::make_unique<RecordingCollection>()) {
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
  if (const QImage& icon = skin::SkinImage(skin::kAppIcon); !icon.isNull()) {
    setWindowIcon(QIcon(QPixmap::fromImage(icon)));
  }

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

void CDezirureDovuriDlg::Register(DlgItem item, QWidget* widget) {
  items[static_cast<std::size_t>(item)] = widget;
}

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
      case Visibility::Shown: widget->setVisible(true); break;
      case Visibility::Hidden: widget->setVisible(false); break;
      case Visibility::Keep: break;
    }
  }
  setUpdatesEnabled(true);
  if (QWidget* list = Item(DlgItem::FileList)) list->update();
  update();
}

void CDezirureDovuriDlg::ToggleLayout() {
  layoutMode = layoutMode == 1 ? 2 : 1;
  setProperty("layoutMode", layoutMode);
  // Hidden while the children move so the switch shows as one change.
  const bool wasVisible = isVisible();
  if (wasVisible) hide();
  ApplyLayout();
  if (wasVisible) {
    show();
    raise();
    activateWindow();
  }
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
    case app::kIdLayoutToggle: ToggleLayout(); break;
    case app::kIdMinimise: showMinimized(); break;
    case app::kIdMaximise: ToggleMaximise(); break;
    case app::kIdClose: close(); break;
    default: break;
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
