#include "tools/zoom/CZoomDlg.h"

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimerEvent>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "controls/SkinFont.h"
#include "controls/SkinPalette.h"
#include "settings/LanguageText.h"
#include "settings/StringIds.h"
#include "tools/zoom/CaptureCheck.h"

namespace {

zoom::Rect ToZoomRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }
QRect ToQRect(const zoom::Rect& r) { return QRect(r.x, r.y, r.width, r.height); }

bool IsWaylandSession() {
  const char* display = std::getenv("WAYLAND_DISPLAY");
  const char* session = std::getenv("XDG_SESSION_TYPE");
  return (display != nullptr && display[0] != '\0') || (session != nullptr && std::strcmp(session, "wayland") == 0);
}

bool AllBlack(const QImage& picture) {
  const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
    for (int x = 0; x < rgb.width(); ++x)
      if ((line[x] & 0x00FFFFFFu) != 0) return false;
  }
  return true;
}

QColor SelfAreaGrey() {
  return QColor(skin::RValue(zoom::kSelfAreaGrey), skin::GValue(zoom::kSelfAreaGrey),
                skin::BValue(zoom::kSelfAreaGrey));
}

}  // namespace

CZoomDlg::CZoomDlg(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      grabScreen(&CZoomDlg::GrabScreenPart),
      waylandSession(IsWaylandSession()),
      platformName(QGuiApplication::platformName().toStdString()) {
  setObjectName(QStringLiteral("CZoomDlg"));
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Never destroyed before its owner: a close only hides it.
  setAttribute(Qt::WA_DeleteOnClose, false);
  setAttribute(Qt::WA_QuitOnClose, false);
  SetCaption();
  move(kInitialX, kInitialY);
  resize(kInitialWidth, kInitialHeight);
}

CZoomDlg::~CZoomDlg() { magnifyTimer.stop(); }

void CZoomDlg::ToggleZoom() {
  if (zoomVisible) {
    HideZoom();
  } else {
    SetCaption();
    show();
    zoomVisible = true;
    // The timer runs only while the window is shown: a hidden magnifier costs nothing.
    magnifyTimer.start(kMagnifyPeriodMs, this);
  }
  update();
}

void CZoomDlg::SetCaption() {
  std::string caption;
  if (LoadLanguageString(kStrZoomCaption, caption)) setWindowTitle(QString::fromStdString(caption));
}

void CZoomDlg::HideZoom() {
  magnifyTimer.stop();
  hide();
  zoomVisible = false;
}

void CZoomDlg::closeEvent(QCloseEvent* event) {
  // Accepted, the close only hides the window (it is never deleted on close); turned
  // down, it could also hold up the application's quit, which closes every window.
  if (zoomVisible) HideZoom();
  event->accept();
}

void CZoomDlg::timerEvent(QTimerEvent* event) {
  if (event->timerId() != magnifyTimer.timerId()) {
    QWidget::timerEvent(event);
    return;
  }
  if (zoomVisible) Magnify();
}

QPixmap CZoomDlg::GrabScreenPart(QScreen* screen, const QRect& part) {
  return screen->grabWindow(0, part.x(), part.y(), part.width(), part.height());
}

bool CZoomDlg::GrabSource(const zoom::Rect& source, QImage& picture) const {
  const QRect wanted = ToQRect(source);
  const QScreen* primary = QGuiApplication::primaryScreen();
  const qreal ratio = primary ? primary->devicePixelRatio() : 1.0;
  picture = QImage(wanted.size() * ratio, QImage::Format_RGB32);
  picture.setDevicePixelRatio(ratio);
  picture.fill(Qt::black);
  QPainter painter(&picture);
  // Under X11 every screen is a part of one root window: the screen at the root's origin
  // reads any rectangle of it in one request, across screen borders, and its own
  // coordinates are the root's.
  if (platformName == "xcb") {
    for (QScreen* screen : QGuiApplication::screens()) {
      if (screen->geometry().topLeft() != QPoint(0, 0)) continue;
      const QPixmap grabbed = grabScreen(screen, wanted);
      if (grabbed.isNull()) return false;
      painter.drawPixmap(QRect(QPoint(0, 0), wanted.size()), grabbed);
      return true;
    }
  }
  bool any = false;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect screenArea = screen->geometry();
    const QRect part = screenArea & wanted;
    if (part.isEmpty()) continue;
    // Only the rectangle that is magnified is read, screen by screen, never the
    // whole desktop.
    const QPixmap grabbed = grabScreen(screen, part.translated(-screenArea.topLeft()));
    if (grabbed.isNull()) return false;
    painter.drawPixmap(QRect(part.topLeft() - wanted.topLeft(), part.size()), grabbed);
    any = true;
  }
  return any;
}

void CZoomDlg::Magnify() {
  ++magnifyCount;
  if (!zoom::PlatformCanCapture(platformName)) {
    // The notice stays as it is: repainted once, not on every tick.
    if (!captureRefused) update();
    captureRefused = true;
    return;
  }
  const QScreen* primary = QGuiApplication::primaryScreen();
  if (primary == nullptr) return;
  zoom::ZoomInput input;
  input.virtualScreen = ToZoomRect(primary->virtualGeometry());
  input.client = ToZoomRect(QRect(mapToGlobal(QPoint(0, 0)), size()));
  const QPoint cursor = QCursor::pos();
  input.cursorX = cursor.x();
  input.cursorY = cursor.y();
  input.zoomFactor = zoomFactor;
  plan = zoom::PlanMagnification(input);
  if (plan.source.IsEmpty()) return;

  QImage picture;
  zoom::CaptureFacts facts;
  facts.platformName = platformName;
  facts.waylandSession = waylandSession;
  facts.grabNull = !GrabSource(plan.source, picture);
  facts.grabAllBlack = !facts.grabNull && waylandSession && AllBlack(picture);
  captureRefused = zoom::CaptureRefused(facts);
  if (!captureRefused) {
    if (!plan.selfAreaInSource.IsEmpty()) {
      QPainter painter(&picture);
      painter.fillRect(ToQRect(plan.selfAreaInSource), SelfAreaGrey());
    }
    sourcePicture = std::move(picture);
  }
  update();
}

void CZoomDlg::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (captureRefused) {
    painter.fillRect(rect(), skin::ToColor(skin::kWindowBackground));
    std::string notice;
    if (!LoadLanguageString(kStrZoomNoCapture, notice)) return;
    painter.setFont(skin::SkinFont(skin::kFontLarge));
    painter.setPen(skin::ToColor(skin::kDefaultText));
    painter.drawText(rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextWordWrap,
                     QString::fromStdString(notice));
    return;
  }
  if (sourcePicture.isNull()) {
    painter.fillRect(rect(), SelfAreaGrey());
    return;
  }
  // The stretch over the whole client area smooths, as a halftone stretch does.
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(rect(), sourcePicture);
}
